// HtmlLayout: one pass of DrawHTML::Draw over one text, measuring or
// drawing. The markup's nesting is kept on explicit stacks rather than in
// recursion, so text of any depth costs heap, not stack.
//
// A pass gathers consecutive words of one style in a buffer and measures
// and draws them as one run. The measuring pass records each line's height
// and width in the DrawHTML's line table; the drawing pass reads them back
// to align text to the bottom of its line and to centre lines.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/internal/GrowArray.h"
#include "ui/html/DrawHTML.h"
#include "ui/html/internal/HtmlMarkup.h"

class HtmlLayout {
public:
    HtmlLayout(DrawHTML& owner, HDC dc, bool drawing, DrawHTMLLinks* links, const DrawHTMLTools& tools);
    ~HtmlLayout();
    HtmlLayout(const HtmlLayout&) = delete;
    HtmlLayout& operator=(const HtmlLayout&) = delete;

    // Lays out length characters; returns the height used.
    int Run(const wchar_t* text, unsigned int length);

private:
    // What a style tag changed, undone when its record is closed.
    struct StyleRecord {
        FontHandle font;      // the font this tag made; null when it made none
        HFONT previousFont;
        int previousFontHeight;
        COLORREF previousColor; // CLR_INVALID when the tag kept the colour
    };
    // One open style tag's scope: the text up to its closing tag.
    struct Scope {
        const wchar_t* end;
        int style;            // -1 for the whole text
        COLORREF previousColor;
        DrawHTMLLinkArea* link;       // the link this scope opened, if any
        DrawHTMLLinkArea* outerLink;  // the link open around it
        const wchar_t* linkStart;
    };
    // Where each style's closing tag was last found, so that deep nesting
    // searches every stretch of text once, not once per open tag.
    struct ScopeEndCache {
        const wchar_t* searchedFrom;
        const wchar_t* found; // null: none from searchedFrom on
    };
    enum class Flow { more, full };
    enum class Overflow { kept, wrapped, full };

    // --- the processing loop ---
    void Step(const wchar_t* end);
    void HandleTag(const wchar_t* end);
    void OpenStyle(int style, const wchar_t* tagEnd);
    void CloseScope();
    const wchar_t* ScopeEnd(int style, const wchar_t* from);
    void CloseRecord();
    void ApplyFont(int code);
    void UseFont(HFONT font);
    bool MoreTextAfter(const wchar_t* p) const;

    // --- writing text ---
    Flow WriteText(const wchar_t* end, bool literalLt);
    bool ReadWord(const wchar_t* end, bool literalLt);
    bool SkipBlanks(const wchar_t* end);
    void AppendSpace(const wchar_t* source);
    Overflow Wrap(int width, bool beganLine, bool continuing);
    int LastBreak(int fit) const;
    Flow BreakAfterWrap();
    void HandBack(int keep);
    void Flush();
    SIZE Measure(const wchar_t* s, int n) const;
    int FitCount(const wchar_t* s, int n, int maxWidth) const;

    // --- lines ---
    bool HasRoom() const;
    void StartLine();
    void NewLine(bool half);
    void RecordHeight(int height);
    int CentreShift() const;

    // --- links ---
    void OpenLink(DrawHTMLLinkArea* area, Scope& scope);
    void CloseLink(Scope& scope);
    void StartLinkRect(DrawHTMLLinkArea* area);
    void EndLinkRect(DrawHTMLLinkArea* area, int x);

    DrawHTML& owner;
    HDC dc;
    bool drawing;
    DrawHTMLLinks* links;
    const DrawHTMLTools& tools;
    RECT rect;

    const wchar_t* text = nullptr;
    const wchar_t* textEnd = nullptr;
    const wchar_t* p = nullptr;
    bool full = false;

    bool noBreak = false;
    int centerDepth = 0; // open <CENTER> scopes
    bool verbatim = false;

    int penX = 0;
    // Where the line's text begins (its indent), and whether any is there.
    int lineStartX = 0;
    bool lineEmpty = true;
    // The last run stopped inside a word because the buffer was full.
    bool midWord = false;
    int penY = 0;
    int lineHeight = 0;
    unsigned int lineIndex = 0;
    // The "Hg" height of the font now selected.
    int fontHeight = 0;

    DrawHTMLLinkArea* currentLink = nullptr;
    GrowArray<StyleRecord> records;
    GrowArray<Scope> scopes;
    ScopeEndCache scopeEnds[HtmlMarkup::styleCount] = {};

    // The word buffer: room for the "..." of a shortened run besides the
    // text, and for each character the place in the text it came from.
    static constexpr int bufferSize = 1024;
    wchar_t buffer[bufferSize + 3];
    const wchar_t* source[bufferSize + 1];
    int length = 0;
    // Where the words of the buffer begin (the first excepted): the places
    // a run may be cut when it does not fit.
    int breaks[bufferSize];
    int breakCount = 0;
};
