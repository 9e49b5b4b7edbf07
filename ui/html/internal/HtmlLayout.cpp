#include "ui/html/internal/HtmlLayout.h"

#include <algorithm>
#include <cstdlib>
#include <new>

using namespace HtmlMarkup;

namespace {

// GDI keeps to 27-bit coordinates; a rectangle beyond them is pulled in, so
// that no pen arithmetic can overflow, whatever a caller passes.
constexpr LONG coordinateLimit = 1 << 27;
// Sizes stop growing here: nested size tags would otherwise ask for fonts
// so large that measuring them takes seconds.
constexpr LONG largestFont = 512;
// Text keeps this far from the rectangle's right edge.
constexpr int rightMargin = 2;
// The height of a line is measured with both an ascender and a descender.
constexpr wchar_t lineProbe[] = L"Hg";

LONG Clamp(LONG value, LONG low, LONG high)
{
    return std::max(low, std::min(value, high));
}

RECT ClampRect(const RECT& r)
{
    return {Clamp(r.left, -coordinateLimit, coordinateLimit), Clamp(r.top, -coordinateLimit, coordinateLimit),
            Clamp(r.right, -coordinateLimit, coordinateLimit), Clamp(r.bottom, -coordinateLimit, coordinateLimit)};
}

bool IsLinkCode(int code)
{
    return code >= DrawHTML::fontLink && code <= DrawHTML::fontLink9;
}

} // namespace

HtmlLayout::HtmlLayout(DrawHTML& owner, HDC dc, bool drawing, DrawHTMLLinks* links, const DrawHTMLTools& tools)
    : owner(owner), dc(dc), drawing(drawing), links(links), tools(tools), rect(ClampRect(owner.rect))
{
}

// Styles left open by the text are closed here, innermost first, so every
// font a tag made is deselected before it is freed.
HtmlLayout::~HtmlLayout()
{
    while (!records.Empty())
        CloseRecord();
}

int HtmlLayout::Run(const wchar_t* start, unsigned int count)
{
    text = start;
    textEnd = start + count;
    p = start;

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, tools.textColor);
    if (tools.font)
        SelectObject(dc, tools.font);
    fontHeight = Measure(lineProbe, 2).cy;

    penX = rect.left;
    lineStartX = penX;
    penY = rect.top;
    // A leading line feed is a wanted empty line; other white space is not.
    SkipBlanks(textEnd);
    StartLine();

    for (;;) {
        const wchar_t* end = scopes.Empty() ? textEnd : scopes.Top().end;
        if (!full && p < end) {
            Step(end);
            continue;
        }
        if (scopes.Empty())
            break;
        CloseScope();
    }

    if (drawing && MoreTextAfter(p)) {
        // Text was cut off at the bottom: three dots in the corner say so.
        for (int x : {rect.right - 3, rect.right - 5, rect.right - 7}) {
            MoveToEx(dc, x, rect.bottom - 1, nullptr);
            LineTo(dc, x + 1, rect.bottom - 1);
        }
    }
    return penY - rect.top + lineHeight;
}

// --- the processing loop ---------------------------------------------------------------

void HtmlLayout::Step(const wchar_t* end)
{
    const wchar_t* before = p;
    if (WriteText(end, false) == Flow::full) {
        full = true;
        return;
    }
    if (p >= end)
        return;
    if (*p == L'\n') {
        ++p;
        NewLine(false);
    } else if (*p == L'<') {
        HandleTag(end);
    }
    // Every step consumes text or fills the rectangle; this keeps a slip in
    // that promise from ever becoming an endless loop.
    if (p == before && !full)
        ++p;
}

void HtmlLayout::HandleTag(const wchar_t* end)
{
    Tag tag = ReadTag(p, textEnd);
    if (verbatim && tag.kind != TagKind::verbatimOff)
        tag.kind = TagKind::none;
    if (tag.kind == TagKind::none) {
        // Not markup: the "<" starts a word of its own.
        if (WriteText(end, true) == Flow::full)
            full = true;
        return;
    }

    p += tag.length;
    switch (tag.kind) {
    case TagKind::lineBreak:
        NewLine(false);
        break;
    case TagKind::halfBreak:
        NewLine(true);
        break;
    case TagKind::verbatimOn:
        verbatim = true;
        break;
    case TagKind::verbatimOff:
        verbatim = false;
        break;
    case TagKind::noBreakOn:
        noBreak = true;
        break;
    case TagKind::noBreakOff:
        noBreak = false;
        break;
    case TagKind::closeStyle:
        CloseRecord();
        break;
    case TagKind::openStyle:
        OpenStyle(tag.style, p);
        break;
    case TagKind::none:
        break;
    }
}

void HtmlLayout::OpenStyle(int style, const wchar_t* tagEnd)
{
    const Style& tag = StyleAt(style);
    Scope scope = {ScopeEnd(style, tagEnd), style, CLR_INVALID, nullptr, nullptr, nullptr};
    // Without room to remember the tag it is taken as no tag at all.
    if (!records.Push(StyleRecord{FontHandle(), nullptr, fontHeight, CLR_INVALID}))
        return;
    if (!scopes.Push(std::move(scope))) {
        records.Pop();
        return;
    }

    switch (tag.kind) {
    case StyleKind::font:
        ApplyFont(tag.code);
        if (IsLinkCode(tag.code) && links) {
            unsigned int offset = static_cast<unsigned int>(tag.code - DrawHTML::fontLink);
            if (auto* area = new (std::nothrow) DrawHTMLLinkArea(owner.linkCmdId + offset))
                OpenLink(area, scopes.Top());
        }
        break;
    case StyleKind::color:
        records.Top().previousColor = SetTextColor(dc, tag.color);
        scopes.Top().previousColor = records.Top().previousColor;
        break;
    case StyleKind::center:
        ++centerDepth;
        break;
    }
}

// The end of the innermost scope's text: its links are finished, its
// colour put back, and its closing tag, when that is what follows,
// consumed (closing the innermost style, as any closing tag does).
void HtmlLayout::CloseScope()
{
    Scope scope = scopes.Top();
    scopes.Pop();
    if (scope.link)
        CloseLink(scope);
    const Style& tag = StyleAt(scope.style);
    if (tag.kind == StyleKind::color && scope.previousColor != CLR_INVALID)
        SetTextColor(dc, scope.previousColor);

    wchar_t closing[12];
    int closingLength = ClosingTag(scope.style, closing);
    if (StartsWith(p, textEnd, closing)) {
        p += closingLength;
        CloseRecord();
    }
    if (tag.kind == StyleKind::center)
        --centerDepth;
}

// Positions where tags open only grow, so a closing tag found once answers
// every later search that starts at or before it.
const wchar_t* HtmlLayout::ScopeEnd(int style, const wchar_t* from)
{
    ScopeEndCache& cache = scopeEnds[style];
    bool known = cache.searchedFrom && from >= cache.searchedFrom && (!cache.found || from <= cache.found);
    if (!known) {
        wchar_t closing[12];
        ClosingTag(style, closing);
        cache.searchedFrom = from;
        cache.found = Find(from, textEnd, closing);
    }
    return cache.found ? cache.found : textEnd;
}

void HtmlLayout::CloseRecord()
{
    if (records.Empty())
        return;
    StyleRecord& record = records.Top();
    if (record.previousColor != CLR_INVALID)
        SetTextColor(dc, record.previousColor);
    if (record.previousFont) {
        SelectObject(dc, record.previousFont);
        fontHeight = record.previousFontHeight;
    }
    records.Pop();
}

void HtmlLayout::ApplyFont(int code)
{
    HFONT current = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    LOGFONTW font;
    if (!current || !GetObjectW(current, sizeof(font), &font))
        return;

    // Sizes change the height's magnitude, whichever sign it has. A height
    // of 0 ("the default") is taken as the font's real character height
    // first: 2 more than 0 would be a font two pixels high.
    auto resize = [&](int delta) {
        if (font.lfHeight == 0) {
            TEXTMETRICW metrics;
            if (GetTextMetricsW(dc, &metrics))
                font.lfHeight = -(metrics.tmHeight - metrics.tmInternalLeading);
        }
        LONG magnitude = std::max<LONG>(1, std::min(largestFont, std::abs(font.lfHeight) + delta));
        font.lfHeight = font.lfHeight < 0 ? -magnitude : magnitude;
    };
    switch (code) {
    case DrawHTML::fontBold:
        font.lfWeight = FW_BOLD;
        break;
    case DrawHTML::fontItalic:
        font.lfItalic = TRUE;
        break;
    case DrawHTML::fontUnderline:
        font.lfUnderline = TRUE;
        break;
    case DrawHTML::fontHeading:
        resize(4);
        font.lfWeight = FW_HEAVY;
        break;
    case DrawHTML::fontBig:
        resize(2);
        break;
    case DrawHTML::fontSmall:
        resize(-2);
        break;
    case DrawHTML::fontAntialiased:
        font.lfQuality = ANTIALIASED_QUALITY;
        break;
    case DrawHTML::fontClearType:
        font.lfQuality = CLEARTYPE_QUALITY;
        break;
    case DrawHTML::fontStrikeOut:
        font.lfStrikeOut = TRUE;
        break;
    default: // the links
        font.lfUnderline = TRUE;
        break;
    }

    StyleRecord& record = records.Top();
    FontHandle made(CreateFontIndirectW(&font));
    // A font that cannot be had leaves the text in the one it has.
    if (made && SelectObject(dc, made.Get())) {
        record.previousFont = current;
        record.previousFontHeight = fontHeight;
        record.font = std::move(made);
        fontHeight = Measure(lineProbe, 2).cy;
        RecordHeight(fontHeight);
    }
    if (IsLinkCode(code) && GetTextColor(dc) != tools.linkColor)
        record.previousColor = SetTextColor(dc, tools.linkColor);
}

bool HtmlLayout::MoreTextAfter(const wchar_t* at) const
{
    while (at < textEnd && IsWhite(*at))
        ++at;
    return at < textEnd;
}

// --- writing text ----------------------------------------------------------------------

// Gathers the words up to the next tag or line feed in one buffer, as long
// as they share a line, and draws them as one run. Reports full when the
// rectangle has no room for more.
HtmlLayout::Flow HtmlLayout::WriteText(const wchar_t* end, bool literalLt)
{
    length = 0;
    breakCount = 0;
    const wchar_t* start = p;
    bool blank = SkipBlanks(end);
    bool atWordEnd = p >= end || *p == L'\n' || (*p == L'<' && (!verbatim || StartsWith(p, textEnd, L"</T>")));
    if (!literalLt && atWordEnd) {
        // Only white space before a tag or a break: it still keeps apart
        // the words around it.
        if (blank && !lineEmpty && HasRoom()) {
            AppendSpace(start);
            Flush();
        }
        return Flow::more;
    }
    if (!HasRoom()) {
        p = start;
        return Flow::full;
    }
    if (blank && !lineEmpty)
        AppendSpace(start);

    bool beganLine = lineEmpty;
    bool continuing = midWord;
    bool first = true;
    while (length < bufferSize) {
        int wordStart = length;
        if (!ReadWord(end, literalLt && first))
            break;
        first = false;
        if (wordStart > 0)
            breaks[breakCount++] = wordStart;
        if (lineEmpty) {
            // Capitals stand on the edge; anything else keeps a pixel off
            // it, and the whole line moves with it.
            penX = rect.left + (buffer[0] >= L'A' && buffer[0] <= L'Z' ? 0 : 1);
            lineStartX = penX;
            lineEmpty = false;
        }
        SIZE size = Measure(buffer, length);
        RecordHeight(size.cy);
        if (penX + size.cx > rect.right - rightMargin) {
            Overflow overflow = Wrap(size.cx, beganLine, continuing);
            if (overflow == Overflow::full)
                return Flow::full;
            if (overflow == Overflow::wrapped) {
                // What was handed back is read again on the new line.
                beganLine = true;
                continuing = false;
                continue;
            }
        }
        const wchar_t* gapStart = p;
        if (SkipBlanks(end) && !(length == 0 && lineEmpty))
            AppendSpace(gapStart);
        if (p >= end || penY >= rect.bottom)
            break;
    }
    // A word cut by the full buffer goes on in the next run.
    midWord = length == bufferSize && p < end && !IsWhite(*p) && *p != L'<';
    Flush();
    return Flow::more;
}

// The buffer does not fit the rest of the line. It is cut at the last
// place where a word begins (after white space, or at a path separator)
// such that what comes before fits; without one, a word that fits a whole
// line moves to the next, and a longer one is broken between characters,
// an empty line keeping one character at least so that even a rectangle
// narrower than one consumes text on every line. A <NOBR> run is never
// broken: it moves to the next line, or, when it begins the line, stays
// and is shortened when drawn.
HtmlLayout::Overflow HtmlLayout::Wrap(int width, bool beganLine, bool continuing)
{
    int room = rect.right - rightMargin - penX;
    int cut;
    if (noBreak) {
        if (beganLine || continuing)
            return Overflow::kept;
        cut = 0;
    } else {
        int fit = FitCount(buffer, length, room);
        cut = LastBreak(fit);
        if (cut < 0) {
            bool fitsWholeLine = width <= rect.right - rect.left - rightMargin - 1;
            if (!beganLine && fitsWholeLine)
                cut = 0;
            else
                cut = fit == 0 && beganLine ? 1 : fit;
        }
        if (cut >= length)
            return Overflow::kept;
    }
    HandBack(cut);
    while (length > 0 && buffer[length - 1] == L' ')
        --length;
    return BreakAfterWrap() == Flow::full ? Overflow::full : Overflow::wrapped;
}

// The last place where a word begins such that the text before it, without
// its trailing white space, is fit characters or fewer and not empty; -1
// when there is none.
int HtmlLayout::LastBreak(int fit) const
{
    for (int i = breakCount - 1; i >= 0; --i) {
        int keep = breaks[i];
        while (keep > 0 && buffer[keep - 1] == L' ')
            --keep;
        if (keep > 0 && keep <= fit)
            return breaks[i];
    }
    return -1;
}

// Draws what the buffer holds and wraps to a new line; a link being laid
// out gets a rectangle to the right edge and a new one on the next line.
HtmlLayout::Flow HtmlLayout::BreakAfterWrap()
{
    if (currentLink)
        EndLinkRect(currentLink, rect.right - rect.left);
    Flush();
    NewLine(false);
    if (currentLink)
        StartLinkRect(currentLink);
    return HasRoom() ? Flow::more : Flow::full;
}

bool HtmlLayout::ReadWord(const wchar_t* end, bool literalLt)
{
    int start = length;
    while (p < end && length < bufferSize) {
        wchar_t c = *p;
        int advance = 1;
        if (c == L'\n' || (IsBlank(c) && !noBreak))
            break;
        if (verbatim) {
            if (c == L'<' && StartsWith(p, textEnd, L"</T>"))
                break;
        } else if (c == L'<') {
            if (!literalLt || length > start)
                break;
        } else if (c == L'&') {
            Entity entity = ReadEntity(p, end);
            if (entity.length) {
                c = entity.character;
                advance = entity.length;
            }
        }
        // Paths and addresses may break at their separators, which begin
        // the next word.
        if (!noBreak && length > start && (*p == L'/' || *p == L'\\'))
            break;
        source[length] = p;
        buffer[length++] = IsBlank(c) ? L' ' : c;
        p += advance;
    }
    return length > start;
}

bool HtmlLayout::SkipBlanks(const wchar_t* end)
{
    const wchar_t* from = p;
    while (p < end && IsBlank(*p))
        ++p;
    return p != from;
}

void HtmlLayout::AppendSpace(const wchar_t* from)
{
    if (length < bufferSize) {
        source[length] = from;
        buffer[length++] = L' ';
    }
}

void HtmlLayout::HandBack(int keep)
{
    p = source[keep];
    length = keep;
}

// Draws the buffer as one run at the pen and moves the pen past it. A run
// too wide for what is left of the line (a <NOBR> run) is shortened and
// ends in "..."; one that begins its line shows one character at least.
void HtmlLayout::Flush()
{
    wchar_t* run = buffer;
    int count = length;
    length = 0;
    if (count > 0 && *run == L' ' && lineEmpty) {
        ++run;
        --count;
    }
    if (count == 0)
        return;

    bool beginsLine = penX == lineStartX;
    SIZE size = Measure(run, count);
    int room = rect.right - penX - rightMargin;
    if (size.cx > room) {
        while (count > 0 && run[count - 1] == L' ')
            --count;
        if (count == 0)
            return;
        size = Measure(run, count);
    }
    int width = size.cx;
    int shown = count;
    if (size.cx > room) {
        shown = FitCount(run, count, room);
        if (shown > 3) {
            shown = FitCount(run, count, room - Measure(L"...", 3).cx);
            run[shown++] = L'.';
            run[shown++] = L'.';
            run[shown++] = L'.';
        } else if (shown == 0 && beginsLine) {
            shown = 1;
        }
    }

    RecordHeight(size.cy);
    if (drawing && shown > 0)
        TextOutW(dc, penX + CentreShift(), penY + lineHeight - size.cy, run, shown);
    penX += width;
    if (!drawing && owner.ReserveLine(lineIndex)) {
        int& lineWidth = owner.lines[lineIndex].width;
        lineWidth = std::max(lineWidth, penX - static_cast<int>(rect.left));
    }
}

SIZE HtmlLayout::Measure(const wchar_t* s, int n) const
{
    SIZE size = {0, 0};
    if (n > 0 && !GetTextExtentPoint32W(dc, s, n, &size))
        size = {0, 0};
    size.cy = std::min<LONG>(size.cy, coordinateLimit);
    return size;
}

int HtmlLayout::FitCount(const wchar_t* s, int n, int maxWidth) const
{
    INT fit = 0;
    SIZE size;
    if (n <= 0 || maxWidth <= 0 || !GetTextExtentExPointW(dc, s, n, maxWidth, &fit, nullptr, &size))
        return 0;
    return std::min(static_cast<int>(fit), n);
}

// --- lines -------------------------------------------------------------------------------

// A line is laid out only when it fits wholly, judged by the font it starts
// in (the same in both passes, so the two never disagree); the first line
// always gets its chance.
bool HtmlLayout::HasRoom() const
{
    if (penY >= rect.bottom)
        return false;
    return penY == rect.top || penY + fontHeight <= rect.bottom;
}

void HtmlLayout::StartLine()
{
    lineHeight = 0;
    if (!drawing && owner.ReserveLine(lineIndex))
        owner.lines[lineIndex] = {0, 0};
    RecordHeight(fontHeight);
}

void HtmlLayout::NewLine(bool half)
{
    penX = rect.left;
    lineStartX = penX;
    lineEmpty = true;
    penY += (half ? lineHeight / 2 : lineHeight) + 1;
    ++lineIndex;
    StartLine();
    // Breaks past the bottom lay nothing out; stopping here also keeps the
    // pen from running away on a text of endless breaks.
    if (penY >= rect.bottom)
        full = true;
}

// The measuring pass keeps the tallest height met on the line; the drawing
// pass takes what it recorded, so text aligns to the line's bottom from its
// first word on. A line never measured is measured as it goes.
void HtmlLayout::RecordHeight(int height)
{
    const DrawHTML::LineMetric* recorded = lineIndex < owner.lineCapacity ? &owner.lines[lineIndex] : nullptr;
    if (drawing && recorded && recorded->height) {
        lineHeight = recorded->height;
        return;
    }
    lineHeight = std::max(lineHeight, height);
    if (!drawing && owner.ReserveLine(lineIndex))
        owner.lines[lineIndex].height = lineHeight;
}

int HtmlLayout::CentreShift() const
{
    if (!centerDepth || !drawing || lineIndex >= owner.lineCapacity)
        return 0;
    int room = rect.right - rect.left - rightMargin - owner.lines[lineIndex].width;
    return std::max(0, room / 2);
}

// --- links -------------------------------------------------------------------------------

// An inner link takes over: the outer one's rectangle ends where the inner
// begins and a new one starts where the inner ends, so each link's
// rectangles cover its own text only.
void HtmlLayout::OpenLink(DrawHTMLLinkArea* area, Scope& scope)
{
    if (currentLink)
        EndLinkRect(currentLink, penX + CentreShift() - rect.left);
    scope.outerLink = currentLink;
    scope.link = area;
    scope.linkStart = p;
    currentLink = area;
    StartLinkRect(area);
}

void HtmlLayout::CloseLink(Scope& scope)
{
    EndLinkRect(scope.link, penX + CentreShift() - rect.left);
    scope.link->AddText(scope.linkStart, p);
    if (!links->AddTail(scope.link))
        delete scope.link;
    currentLink = scope.outerLink;
    if (currentLink)
        StartLinkRect(currentLink);
}

void HtmlLayout::StartLinkRect(DrawHTMLLinkArea* area)
{
    LONG width = std::max<LONG>(0, rect.right - rect.left);
    LONG height = std::max<LONG>(0, rect.bottom - rect.top);
    area->StartRect(Clamp(penX + CentreShift() - rect.left, 0, width), Clamp(penY - rect.top, 0, height));
}

// Rectangles stay inside the layout rectangle, however far a shortened run
// or a tall last line reaches.
void HtmlLayout::EndLinkRect(DrawHTMLLinkArea* area, int x)
{
    LONG width = std::max<LONG>(0, rect.right - rect.left);
    LONG height = std::max<LONG>(0, rect.bottom - rect.top);
    area->EndRect(Clamp(x, 0, width), Clamp(penY - rect.top + lineHeight, 0, height));
}
