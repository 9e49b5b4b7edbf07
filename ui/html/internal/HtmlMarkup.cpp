#include "ui/html/internal/HtmlMarkup.h"

#include <cwctype>

#include "ui/html/DrawHTML.h"

namespace HtmlMarkup {

namespace {

constexpr Style styles[styleCount] = {
    {L"B", StyleKind::font, DrawHTML::fontBold, 0},
    {L"I", StyleKind::font, DrawHTML::fontItalic, 0},
    {L"U", StyleKind::font, DrawHTML::fontUnderline, 0},
    {L"H", StyleKind::font, DrawHTML::fontHeading, 0},
    {L"BIG", StyleKind::font, DrawHTML::fontBig, 0},
    {L"SMALL", StyleKind::font, DrawHTML::fontSmall, 0},
    {L"A", StyleKind::font, DrawHTML::fontLink, 0},
    {L"A1", StyleKind::font, DrawHTML::fontLink1, 0},
    {L"A2", StyleKind::font, DrawHTML::fontLink2, 0},
    {L"A3", StyleKind::font, DrawHTML::fontLink3, 0},
    {L"A4", StyleKind::font, DrawHTML::fontLink4, 0},
    {L"A5", StyleKind::font, DrawHTML::fontLink5, 0},
    {L"A6", StyleKind::font, DrawHTML::fontLink6, 0},
    {L"A7", StyleKind::font, DrawHTML::fontLink7, 0},
    {L"A8", StyleKind::font, DrawHTML::fontLink8, 0},
    {L"A9", StyleKind::font, DrawHTML::fontLink9, 0},
    {L"AA", StyleKind::font, DrawHTML::fontAntialiased, 0},
    {L"CT", StyleKind::font, DrawHTML::fontClearType, 0},
    {L"D", StyleKind::font, DrawHTML::fontStrikeOut, 0},
    {L"RED", StyleKind::color, DrawHTML::colorRed, RGB(128, 0, 0)},
    {L"GREEN", StyleKind::color, DrawHTML::colorGreen, RGB(0, 128, 0)},
    {L"BLUE", StyleKind::color, DrawHTML::colorBlue, RGB(0, 0, 128)},
    {L"GREY", StyleKind::color, DrawHTML::colorGrey, RGB(128, 128, 128)},
    {L"LTRED", StyleKind::color, DrawHTML::colorLtRed, RGB(192, 0, 0)},
    {L"LTGREEN", StyleKind::color, DrawHTML::colorLtGreen, RGB(0, 192, 0)},
    {L"LTBLUE", StyleKind::color, DrawHTML::colorLtBlue, RGB(0, 0, 192)},
    {L"LTGREY", StyleKind::color, DrawHTML::colorLtGrey, RGB(192, 192, 192)},
    {L"DKRED", StyleKind::color, DrawHTML::colorDkRed, RGB(64, 0, 0)},
    {L"DKGREEN", StyleKind::color, DrawHTML::colorDkGreen, RGB(0, 64, 0)},
    {L"DKBLUE", StyleKind::color, DrawHTML::colorDkBlue, RGB(0, 0, 64)},
    {L"DKGREY", StyleKind::color, DrawHTML::colorDkGrey, RGB(64, 64, 64)},
    {L"CENTER", StyleKind::center, 0, 0},
};

// The longest tag name, "/LTGREEN", and one more to tell it from longer
// unknown names.
constexpr int longestName = 8;

wchar_t FoldCase(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return static_cast<wchar_t>(c - L'a' + L'A');
    return c < 0x80 ? c : static_cast<wchar_t>(towupper(c));
}

bool SameName(const wchar_t* name, int length, const wchar_t* known)
{
    int i = 0;
    for (; i < length; ++i) {
        if (known[i] == L'\0' || FoldCase(name[i]) != known[i])
            return false;
    }
    return known[i] == L'\0';
}

int FindStyle(const wchar_t* name, int length)
{
    for (int i = 0; i < styleCount; ++i) {
        if (SameName(name, length, styles[i].name))
            return i;
    }
    return -1;
}

} // namespace

const Style& StyleAt(int index)
{
    return styles[index];
}

Tag ReadTag(const wchar_t* p, const wchar_t* end)
{
    const wchar_t* name = p + 1;
    const wchar_t* close = name;
    while (close < end && close - name <= longestName && *close != L'>')
        ++close;
    if (close >= end || *close != L'>')
        return {TagKind::none, -1, 0};

    int length = static_cast<int>(close - name);
    int whole = length + 2;
    if (SameName(name, length, L"BR"))
        return {TagKind::lineBreak, -1, whole};
    if (SameName(name, length, L"BRHALF"))
        return {TagKind::halfBreak, -1, whole};
    if (SameName(name, length, L"T"))
        return {TagKind::verbatimOn, -1, whole};
    if (SameName(name, length, L"/T"))
        return {TagKind::verbatimOff, -1, whole};
    if (SameName(name, length, L"NOBR"))
        return {TagKind::noBreakOn, -1, whole};
    if (SameName(name, length, L"/NOBR"))
        return {TagKind::noBreakOff, -1, whole};
    bool closing = length > 0 && *name == L'/';
    int style = closing ? FindStyle(name + 1, length - 1) : FindStyle(name, length);
    if (style < 0)
        return {TagKind::none, -1, 0};
    return {closing ? TagKind::closeStyle : TagKind::openStyle, style, whole};
}

int ClosingTag(int style, wchar_t* out)
{
    int n = 0;
    out[n++] = L'<';
    out[n++] = L'/';
    for (const wchar_t* c = styles[style].name; *c; ++c)
        out[n++] = *c;
    out[n++] = L'>';
    out[n] = L'\0';
    return n;
}

Entity ReadEntity(const wchar_t* p, const wchar_t* end)
{
    // The ";" must come within ten characters after the "&".
    static constexpr int reach = 10;
    static constexpr struct {
        const wchar_t* name;
        wchar_t character;
    } entities[] = {{L"AMP", L'&'}, {L"LT", L'<'}, {L"GT", L'>'}, {L"NBSP", 0x00A0}};

    const wchar_t* name = p + 1;
    const wchar_t* semicolon = name;
    while (semicolon < end && semicolon - p <= reach && *semicolon != L';')
        ++semicolon;
    if (semicolon >= end || *semicolon != L';' || semicolon - p > reach)
        return {0, 0};
    int length = static_cast<int>(semicolon - name);
    for (const auto& entity : entities) {
        if (SameName(name, length, entity.name))
            return {entity.character, length + 2};
    }
    return {0, 0};
}

bool StartsWith(const wchar_t* p, const wchar_t* end, const wchar_t* item)
{
    for (; *item; ++item, ++p) {
        if (p >= end || FoldCase(*p) != FoldCase(*item))
            return false;
    }
    return true;
}

const wchar_t* Find(const wchar_t* p, const wchar_t* end, const wchar_t* item)
{
    if (!*item)
        return p;
    wchar_t first = FoldCase(*item);
    for (; p < end; ++p) {
        if (FoldCase(*p) == first && StartsWith(p, end, item))
            return p;
    }
    return nullptr;
}

} // namespace HtmlMarkup
