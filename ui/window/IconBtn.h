// IconBtn: an owner-drawn push button of the framework's dialogs showing a
// small icon, a text or both, either as a classic push button or as a
// hyperlink-like one (coloured, underlined text, hand cursor, hover colour
// and hover icon).
//
// Every icon button of the process draws with one shared set of colours,
// pens, brushes and fonts. Initialize makes it on first use and
// Uninitialize frees all of it (fonts included) when the last user goes;
// each button holds one use for its lifetime. A process that only wants
// the shared set calls the two around its work.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "ui/window/ZnCtrl.h"

class PVDLL_API IconBtn : public ZnCtrl {
public:
    enum Style : DWORD {
        centerVert = 1, // else the content's top is at dy
        centerHorz = 2, // else its left is at dx
        linkStyle = 4, // a hyperlink-like button
        defaultStyle = 0xFFFF, // the process-wide default (to the constructor)
    };
    enum : int {
        defaultPos = 0xFFFF, // dx: take the process-wide dx and dy
    };
    enum State : DWORD {
        stateChecked = 1,
        stateFocusFrame = 8,
    };

    // Icon ids >= 0 name icons of the registered application (of this
    // library without one), negative ids icons of this library; 0 none.
    // Both are loaded at small-icon size.
    explicit IconBtn(
        int iconId = 0, int hotIconId = 0, DWORD style = defaultStyle, int dx = defaultPos, int dy = defaultPos);
    ~IconBtn() override;
    IconBtn(const IconBtn&) = delete;
    IconBtn& operator=(const IconBtn&) = delete;

    // Non-zero when the shared set is there (the first call makes it and
    // keeps style, dx and dy as the defaults); 0 when it could not be made,
    // and then no use is counted.
    static int Initialize(DWORD style, int dx, int dy);
    // Gives one use back; the last one frees the whole shared set.
    static void Uninitialize();
    // The current use count (0: nothing shared exists).
    static long GetUseCount();

    static void SetLinkColor(COLORREF color);
    static void SetActiveLinkColor(COLORREF color);
    // Rebuild the shared text or link font, or this button's own font, from
    // the current text font (link font for a link-style button): the height
    // grown by sizeDelta, weight, italic and strike-out when non-zero, and
    // face (at most 31 characters) when given and installed. Return 0 when
    // no font could be made or nothing is shared (before Initialize).
    static int SetTextFontProperties(int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face);
    static int SetLinkFontProperties(int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face);
    int SetThisFontProperties(int sizeDelta, LONG weight, int italic, int strikeOut, const wchar_t* face);

    int IsKindOf(const wchar_t* className) override;
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnInit() override;
    void OnDrawItem(DRAWITEMSTRUCT* item) override;
    virtual void DrawButton(HDC dc, RECT* rect, UINT state);

    operator HICON() const { return hIcon.Get(); }
    HICON GetHotIcon() const { return hIconHot.Get(); }
    DWORD GetStyle() const { return style; }
    DWORD GetState() const { return state; }
    int IsHover() const { return hover; }

protected:
    // The icon drawn for the item state: the hover icon under the mouse
    // when there is one, else the normal icon.
    virtual HICON IconFor(UINT itemState);

    IconHandle hIcon;
    SIZE iconSize = {};
    IconHandle hIconHot;
    SIZE hotIconSize = {};
    int dx = 0;
    int dy = 0;
    DWORD state = 0;
    DWORD style = 0;
    int hover = 0;
    FontHandle hFontThis;
    // A link-style button shows the hand cursor under the mouse.
    int handCursor = 1;

private:
    int initialized = 0;
};
