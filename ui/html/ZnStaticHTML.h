// ZnStaticHTML: a static text control of a dialog shown as mini-HTML. The
// control's window text is taken as markup, painted with DrawHTML; links
// show the hand cursor, and a click on one (or Space or Enter while the
// control has the focus) reaches the dialog as WM_COMMAND.
//
// Link ids: "<A>" stands for the control's own id, "<A1>" … "<A9>" for the
// control's id + 1 … + 9, so a dialog keeps the nine ids after such a
// control free.
//
// The keyboard reaches every link: while the control has the focus one of
// its links is the current one (the first when the focus came forward, the
// last when it came back with Shift+Tab). Tab, Shift+Tab and the arrow keys
// move between links; Tab leaves the control after its last link, Shift+Tab
// before its first. Space or Enter clicks the current link. A control whose
// links all report one id frames itself as a whole, as a button would. A link id has to fit the low word of
// WM_COMMAND's wParam and must not be IDC_STATIC: a control whose id is IDC_STATIC or above 0xFFFF has no links, and a
// link whose id would pass 0xFFFE is not one.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "ui/html/DrawHTML.h"
#include "ui/window/ZnCtrl.h"

class ZnDC;

class PVDLL_API ZnStaticHTML : public ZnCtrl {
public:
    // The size of the buffer the member MakeLink and MakeHtml build in.
    static constexpr unsigned int makeBufferSize = 256;

    ZnStaticHTML();
    ~ZnStaticHTML() override;

    // "ZnStaticHTML", "ZnCtrl" and "ZnWnd".
    int IsKindOf(const wchar_t* className) override;
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Reloads the system colours and font: colours set earlier are lost.
    void OnSystemSettingChange(WPARAM wParam, LPARAM lParam) override;
    void OnInit() override;

    void SetTextColor(COLORREF c) { tools.textColor = c; }
    COLORREF GetTextColor() const { return tools.textColor; }
    void SetLinkColor(COLORREF c) { tools.SetLinkColor(c); }
    COLORREF GetLinkColor() const { return tools.linkColor; }
    void SetBkgColor(COLORREF c) { tools.SetBkgColor(c); }
    COLORREF GetBkgColor() const { return tools.GetBkgColor(); }
    void SetFixedFont(int fixed) { tools.SetFixedFont(fixed); }
    // The dialog paints the control's background (its skin shows through).
    void SetTransparent(int on) { transparent = on; }
    int IsTransparent() const { return transparent; }

    void SetHTMLText(const wchar_t* markup);
    // An empty text when the string is missing; returns whether the text is
    // non-empty.
    int SetHTMLText(int stringId, HINSTANCE module);
    // Copies the markup, cut to count characters with the terminator; returns
    // the markup's whole length.
    unsigned int GetHTMLText(wchar_t* buffer, int count);
    unsigned int GetHTMLTextLength() const { return htmlLength; }
    unsigned int GetHTMLTextStripTags(wchar_t* buffer, int count);

    // The height the markup needs in rect.
    int CalcHeight(HDC dc, RECT* rect);

    // The text becomes a link of the control's own id (or a colour, a style:
    // format holds one "%s" for the text, "%%" for a percent sign and no
    // other conversion). Both return 0 and leave the text when the markup
    // cannot be built.
    int MakeLink();
    int MakeHtml(const wchar_t* format);

    // The markup builders behind them, for any buffer: out has room for
    // outCount characters, the terminator included, and is always
    // terminated when outCount > 0. MakeLink cuts text so that the closing
    // tag always fits (never inside a surrogate pair) and fails when not even
    // the tags fit; MakeHtml cuts the result where the buffer ends and fails
    // on a format it does not take. Both return the length written, 0 on
    // failure.
    static unsigned int MakeLink(wchar_t* out, unsigned int outCount, const wchar_t* text);
    static unsigned int MakeHtml(wchar_t* out, unsigned int outCount, const wchar_t* format, const wchar_t* text);

    // The id a click at (x, y) of the client area reports; 0 outside every
    // link and for a link whose id is not a command id.
    unsigned int GetLinkIdAt(int x, int y);
    // Whether the last layout had a link that reports a command.
    int HasLinks();
    // The id of the link Space or Enter would click, 0 without the focus or
    // links.
    unsigned int GetKeyLinkId() const { return hasFocus ? keyLink : 0; }
    // The link areas of the last paint or CalcHeight, relative to the client
    // area's origin after a paint.
    DrawHTMLLinks& GetLinks() { return links; }

protected:
    int UpdateText(const wchar_t* text);
    void OnPaint(ZnDC& dc, PAINTSTRUCT& ps);
    // The id of the link after (step 1) or before (step -1) the link with
    // id from, in the order the links were laid out; 0 when there is none.
    // From 0 it gives the first or the last link.
    unsigned int NextLinkId(unsigned int from, int step);
    // Whether the links report more than one id.
    int HasSeveralLinks();
    void MoveKeyLink(int step);
    void ClickLink(unsigned int linkId);

    int transparent;
    int hover;
    int hasFocus;
    int notify;
    DrawHTML html;
    DrawHTMLLinks links;
    DrawHTMLTools tools;
    wchar_t* htmlText;
    unsigned int htmlLength;
    unsigned int keyLink;
};
