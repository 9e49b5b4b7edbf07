// The grammar of the mini-HTML markup: which tags exist, what each does,
// and the entities. Every reader here is bounded by an end pointer and
// never reads at or past it, so text need not be terminated.
#pragma once

#include <windows.h>

namespace HtmlMarkup {

enum class TagKind {
    none,          // not a tag: the "<" is text
    lineBreak,     // <BR>
    halfBreak,     // <BRHALF>
    verbatimOn,    // <T>
    verbatimOff,   // </T>
    openStyle,     // a font, colour or centre tag
    closeStyle,    // its closing form
    noBreakOn,     // <NOBR>
    noBreakOff,    // </NOBR>
};

// The style tags, each with a slot of its own for the scope-end search.
enum class StyleKind { font, color, center };

struct Style {
    const wchar_t* name;   // upper case, without brackets
    StyleKind kind;
    int code;              // DrawHTML::FontChange or DrawHTML::ColorChange
    COLORREF color;        // colour tags: the text colour
};

// Font, colour and centre tags in their recognition order.
constexpr int styleCount = 32;
const Style& StyleAt(int index);

struct Tag {
    TagKind kind;
    int style;             // openStyle and closeStyle: the index into the styles
    int length;            // characters of the whole tag, brackets included
};

// The tag at p (which stands at "<"), or kind none.
Tag ReadTag(const wchar_t* p, const wchar_t* end);

// Writes "</NAME>" of style index into out (room for 12); returns its length.
int ClosingTag(int style, wchar_t* out);

// The entity at p (which stands at "&"): its character and its length, or
// length 0 when none is there.
struct Entity {
    wchar_t character;
    int length;
};
Entity ReadEntity(const wchar_t* p, const wchar_t* end);

// Case-insensitive comparisons of markup; item is terminated.
bool StartsWith(const wchar_t* p, const wchar_t* end, const wchar_t* item);
const wchar_t* Find(const wchar_t* p, const wchar_t* end, const wchar_t* item);

inline bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r';
}
inline bool IsWhite(wchar_t c)
{
    return IsBlank(c) || c == L'\n';
}

} // namespace HtmlMarkup
