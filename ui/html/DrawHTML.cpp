#include "ui/html/DrawHTML.h"

#include <algorithm>
#include <optional>

#include "base/internal/DllHeap.h"
#include "ui/html/internal/HtmlLayout.h"
#include "ui/html/internal/HtmlMarkup.h"
#include "ui/window/DrawHelpers.h"
#include "ui/window/ZnDC.h"

DrawHTML::DrawHTML(unsigned int linkCmdId) : rect{}, linkCmdId(linkCmdId), lines(nullptr), lineCapacity(0)
{
}

DrawHTML::~DrawHTML()
{
    DllHeap::Free(lines);
}

bool DrawHTML::ReserveLine(unsigned int index)
{
    if (index < lineCapacity)
        return true;
    unsigned int wanted = std::max(256u, lineCapacity);
    while (wanted <= index) {
        if (wanted > UINT_MAX / 2)
            return false;
        wanted *= 2;
    }
    auto* grown = DllHeap::AllocArrayZero<LineMetric>(wanted);
    if (!grown)
        return false;
    if (lines)
        CopyMemory(grown, lines, lineCapacity * sizeof(LineMetric));
    DllHeap::Free(lines);
    lines = grown;
    lineCapacity = wanted;
    return true;
}

void DrawHTML::ClearLines()
{
    if (lines)
        ZeroMemory(lines, lineCapacity * sizeof(LineMetric));
}

int DrawHTML::Draw(DrawMode mode, HDC dc, RECT* layoutRect, const wchar_t* text, unsigned int length,
                   DrawHTMLLinks* links, DrawHTMLTools* tools)
{
    CritSecLock hold(lock);
    if (layoutRect)
        rect = *layoutRect;
    if (links)
        links->Reset();
    if (!dc)
        return 0;
    if (!text)
        length = 0;

    std::optional<DrawHTMLTools> standIn;
    if (!tools)
        tools = &standIn.emplace();
    // The DC's state is the caller's: whatever the text leaves selected or
    // set, the caller gets the DC back as it gave it.
    ZnDC keep(dc, 1);
    HtmlLayout layout(*this, dc, mode == modeDraw, links, *tools);
    return layout.Run(text, length);
}

void DrawHTML::OnPaint(HWND wnd, ZnDC& dc, const wchar_t* text, unsigned int length, int fillBackground,
                       DrawHTMLLinks* links, DrawHTMLTools* tools, int drawFrame)
{
    std::optional<DrawHTMLTools> standIn;
    if (!tools)
        tools = &standIn.emplace();
    RECT client;
    if (!GetClientRect(wnd, &client))
        return;
    HDC hdc = dc.Handle();
    if (fillBackground)
        PaintRect(hdc, &client, tools->bkgColor);
    if (drawFrame) {
        // The dots' gaps show the background, not the DC's own colour.
        int mode = SetBkMode(hdc, TRANSPARENT);
        DrawRect(hdc, client.left, client.top, client.right - client.left, client.bottom - client.top,
                 tools->textColor, PS_DOT);
        SetBkMode(hdc, mode);
    }
    if (!text || !length)
        return;

    {
        CritSecLock hold(lock);
        ClearLines();
    }
    {
        CompatibleDC measuring(hdc);
        Draw(modeMeasure, measuring, &client, text, length, links, tools);
    }
    Draw(modeDraw, hdc, &client, text, length, links, tools);
}

unsigned int DrawHTML::GetHTMLTextStripTags(const wchar_t* html, wchar_t* out, int count)
{
    unsigned int total = 0;
    auto put = [&](wchar_t c) {
        if (out && total + 1 < static_cast<unsigned int>(std::max(count, 0)))
            out[total] = c;
        ++total;
    };
    for (const wchar_t* p = html; p && *p;) {
        if (*p != L'<') {
            put(*p++);
        } else if (IsNextItem(p, L"<BR>")) {
            put(L'\r');
            put(L'\n');
        } else {
            while (*p && *p != L'>')
                ++p;
            if (!*p)
                break;
            ++p;
        }
    }
    if (out && count > 0)
        out[std::min(total, static_cast<unsigned int>(count - 1))] = L'\0';
    return total + 1;
}

int DrawHTML::IsLinkArea(DrawHTMLLinks* links, int x, int y) const
{
    return FindLinkArea(links, x, y) != nullptr;
}

unsigned int DrawHTML::GetLinkAreaID(DrawHTMLLinks* links, int x, int y) const
{
    DrawHTMLLinkArea* area = FindLinkArea(links, x, y);
    return area ? area->id : 0;
}

DrawHTMLLinkArea* DrawHTML::FindLinkArea(DrawHTMLLinks* links, int x, int y) const
{
    if (!links)
        return nullptr;
    for (POS pos = links->GetHeadPos(); pos;) {
        DrawHTMLLinkArea* area = links->GetArea(pos);
        if (area->IsPointOverLink(x, y))
            return area;
    }
    return nullptr;
}

namespace {

// The end of a terminated string, for the unbounded forms.
const wchar_t* TextEnd(const wchar_t* p)
{
    return p + wcslen(p);
}

} // namespace

int DrawHTML::IsNextItem(const wchar_t*& p, const wchar_t* item)
{
    // A mismatch stops the comparison at p's terminator at the latest.
    return p && item ? IsNextItem(p, p + wcslen(item), item) : 0;
}

int DrawHTML::IsNextItem(const wchar_t*& p, const wchar_t* end, const wchar_t* item)
{
    if (!p || !item || !HtmlMarkup::StartsWith(p, end, item))
        return 0;
    p += wcslen(item);
    return 1;
}

const wchar_t* DrawHTML::FindNextItem(const wchar_t* p, const wchar_t* item)
{
    return p && item ? FindNextItem(p, TextEnd(p), item) : nullptr;
}

const wchar_t* DrawHTML::FindNextItem(const wchar_t* p, const wchar_t* end, const wchar_t* item)
{
    return p && item ? HtmlMarkup::Find(p, end, item) : nullptr;
}
