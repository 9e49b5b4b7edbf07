// ImageBtn: a push button of a dialog that shows a picture, and optionally
// its own window text beside it, instead of the push-button face. It stays
// a button for everything else: a click, Space while it has the focus, or
// Enter while it is the default button sends the dialog its command, and
// it shows the focus rectangle around its content.
//
// The picture is one cell of a horizontal strip: from the left, the looks
// for normal, hot (under the mouse), pressed and disabled. A strip with
// fewer cells lets the normal look stand in for the ones it lacks. Pixels
// of the transparent colour let the dialog's background show through.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "ui/window/ZnCtrl.h"

struct ImageBtnDescriptor {
    enum Flags : DWORD {
        textBefore = 1, // the text stands left of the picture (else right of it)
    };

    // A negative id names a bitmap of this library (the absolute id); a
    // positive one a bitmap of module or, without one, of the registered
    // application (this library when none is registered).
    int bitmapId;
    HINSTANCE module;
    // One cell of the strip, in pixels.
    int cellWidth;
    int cellHeight;
    // CLR_INVALID: every pixel is drawn.
    COLORREF transparent;
    // Pixels between the picture and the text.
    int textGap;
    DWORD flags;
};

class PVDLL_API ImageBtn : public ZnCtrl {
public:
    enum Cell : int { cellNormal = 0, cellHot = 1, cellPressed = 2, cellDisabled = 3, cellCount = 4 };

    // Loads the strip at once; a strip that cannot be loaded leaves a
    // button that shows its text only (IsLoaded says so).
    explicit ImageBtn(const ImageBtnDescriptor& descriptor);
    ~ImageBtn() override;

    // "ImageBtn", "ZnCtrl" and "ZnWnd".
    int IsKindOf(const wchar_t* className) override;
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The button becomes owner-drawn, keeping whether it was the default.
    void OnInit() override;
    void OnDrawItem(DRAWITEMSTRUCT* item) override;

    // The whole button as it looks in itemState (ODS_ flags), into rect of
    // dc; what OnDrawItem draws.
    void Draw(HDC dc, const RECT& rect, UINT itemState);
    // The cell shown in itemState: disabled, pressed, hot, else normal, each
    // only when the strip has it.
    int CellFor(UINT itemState) const;

    int IsLoaded() const { return image.IsValid(); }
    int GetCellCount() const { return cells; }
    int IsHover() const { return hover; }
    // The dialog's default button (the one Enter presses).
    int IsDefault() const { return defaultButton; }
    const ImageBtnDescriptor& GetDescriptor() const { return descriptor; }

protected:
    void DrawCell(HDC dc, int x, int y, int cell);
    void SetHover(int on);

    ImageBtnDescriptor descriptor;
    // The strip with its transparent pixels made black, and the mask that
    // is white where they were: ANDing the mask and then ORing the strip
    // leaves the background under them, without msimg32's TransparentBlt.
    BitmapHandle image;
    BitmapHandle mask;
    int cells = 0;
    int hover = 0;
    int defaultButton = 0;
};
