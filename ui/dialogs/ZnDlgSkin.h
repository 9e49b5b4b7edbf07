// Dialog skins. A skin replaces a dialog's frame and background with a
// picture: the dialog becomes a layered window without caption, its client
// area shows the picture stretched by nine-slice scaling, a colour key cuts
// out the transparent parts, and rectangular areas of the picture act as
// buttons with normal, hot, pressed, disabled and hidden looks.
//
// Pictures and metric records come from a skin library that the
// application names (EnableSkinMode); it exports five entry points, each
// returning a record the skin library owns.
#pragma once

#include <windows.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "base/ZnList.h"
#include "ui/window/TooltipCtrl.h"

class ZnDlg;
class ZnDlgSkin;

// Which skin the skin library is asked for; the message-box skin is 3, the
// other kinds are the application's to number.
typedef int SKIN_KIND;
constexpr SKIN_KIND SKIN_KIND_MSGBOX = 3;

struct SKIN_METRICS {
    int pictureId;             // picture resource of the skin library
    COLORREF colorKey;         // made transparent (LWA_COLORKEY)
    COLORREF textColor;        // static and button text on the skin
    DWORD reserved;
    RECT stretch;              // picture pixels that stretch; empty: all of it
    int pageColors;            // non-zero: pages on this skin take the three below
    COLORREF pageBkgColor;
    COLORREF pageTextColor;
    COLORREF pageThirdColor;
};

// One area; a table of them ends with a record whose id is 0.
struct SKIN_AREA_METRICS {
    int id;                    // command id sent, tooltip id, key of the area
    int x, y, cx, cy;          // picture coordinates
    int normalPicture;         // pictures of the skin library, 0: none
    int hotPicture;            // also state normal while focused
    int pressedPicture;
    int disabledPicture;
    int extra[2];              // kept with the area, not interpreted
};

struct SKIN_WIZ_METRICS {
    int headerTop, headerBottom;   // band the wizard's header controls are centred in
    int buttonsTop, buttonsBottom; // band the wizard's buttons are centred in
    RECT pageRect;                 // where the wizard's pages go
    int reserved[4];
};

struct SKIN_MENU_METRICS {
    DWORD words[3];
};

// Read by the icon buttons.
struct SKIN_ICON_BTN_METRICS;

// --- skin mode: the skin library of the process ----------------------------------

// file non-null: one more user; the first loads the skin library (by full
// path only; a relative name is refused) and resolves its entry points. A
// library without them is let go again and skin mode stays off. Null: one
// user less; the last frees everything and turns skin mode off.
PVDLL_API void EnableSkinMode(const wchar_t* file);
PVDLL_API void SetDllSkin(HMODULE module);
PVDLL_API HMODULE GetDllSkin();
PVDLL_API int IsSkinMode();

// The skin library's records; null without skin mode.
PVDLL_API SKIN_METRICS* GetSkinMetrics(SKIN_KIND kind);
PVDLL_API SKIN_AREA_METRICS* GetSkinAreas(SKIN_KIND kind);
PVDLL_API SKIN_WIZ_METRICS* GetSkinWizMetrics();
PVDLL_API SKIN_MENU_METRICS* GetSkinMenuMetrics();
PVDLL_API SKIN_ICON_BTN_METRICS* GetSkinIconBtnMetrics(SKIN_KIND kind);
// The menu metrics copied when skin mode began, for the owner-drawn menus;
// null without skin mode.
PVDLL_API const SKIN_MENU_METRICS* GetSkinModeMenuMetrics();
// The message-box skin (kind 3) made when skin mode began; null without.
PVDLL_API ZnDlgSkin* GetMsgBoxSkin();

// A picture resource of the skin library rendered into a bitmap of its
// natural size (BMP, JPEG, GIF: whatever the system picture loader reads);
// null when there is none. The caller owns the bitmap.
PVDLL_API HBITMAP LoadSkinPicture(int pictureId);

// --- areas -------------------------------------------------------------------------

enum SkinAreaState { areaNormal = 0, areaHot = 1, areaPressed = 2, areaHidden = 3 };

class PVDLL_API ZnDlgSkinArea {
public:
    // The pictures an area shows.
    enum Look { lookNormal, lookHot, lookPressed, lookDisabled, lookHidden, lookCount };

    ZnDlgSkinArea();
    explicit ZnDlgSkinArea(const SKIN_AREA_METRICS* metrics);
    ZnDlgSkinArea(int id, int x, int y, int cx, int cy, int normalPicture, int hotPicture, int pressedPicture,
                  int disabledPicture, int extra1, int extra2);
    virtual ~ZnDlgSkinArea();
    ZnDlgSkinArea(const ZnDlgSkinArea&) = delete;
    ZnDlgSkinArea& operator=(const ZnDlgSkinArea&) = delete;

    // Redraws the skin under the area from the stretched picture.
    virtual void EraseBkg(ZnDlg* dlg);
    virtual void Draw(ZnDlgSkin* skin, HDC dc);
    // Draws into the dialog's window now.
    virtual void Draw(ZnDlg* dlg);

    // Sets the rectangle and id and loads the four pictures (0: none).
    void Init(int id, int x, int y, int cx, int cy, int normalPicture, int hotPicture, int pressedPicture,
              int disabledPicture, int extra1, int extra2);

    SkinAreaState GetState() const { return state; }
    void SetState(SkinAreaState newState) { state = newState; }
    void Enable(int enable) { disabled = !enable; }
    int IsEnabled() const { return !disabled; }
    void SetFocus(int on) { focus = on; }
    int IsFocus() const { return focus; }
    int IsHidden() const { return state == areaHidden; }
    int GetID() const { return id; }

    // Loads a picture of the skin library as one look; 0 when there is
    // none (the look keeps what it had).
    int SetJPG(Look look, int pictureId);
    // Takes bitmap (the old one of the look is freed); a null bitmap or
    // one without pixels is refused (0) and stays the caller's.
    int SetBitmap(Look look, HBITMAP bitmap);
    HBITMAP GetBitmap(Look look) const;
    // The bitmap of the area's state and marks; null draws nothing.
    HBITMAP GetBitmapToDraw() const;
    void DrawBitmap(ZnDlgSkin* skin, HDC dc, HBITMAP bitmap, int x, int y);

    RECT rect; // dialog client coordinates
    int id;
    int disabled;
    int focus;
    int extra[2];
    SkinAreaState state;

private:
    BitmapHandle looks[lookCount];
};

// --- the skin of one dialog ----------------------------------------------------------

class PVDLL_API ZnDlgSkin {
public:
    // Nothing is loaded yet: SetSkin loads the picture.
    explicit ZnDlgSkin(SKIN_METRICS* metrics = nullptr);
    virtual ~ZnDlgSkin();
    ZnDlgSkin(const ZnDlgSkin&) = delete;
    ZnDlgSkin& operator=(const ZnDlgSkin&) = delete;

    // After the picture was rendered (empty).
    virtual void OnSetSkin(HDC dc, int cx, int cy);
    // WM_CTLCOLORBTN and WM_CTLCOLORSTATIC: the metrics' text colour on a
    // transparent background, the null brush. Non-zero when answered.
    virtual int OnCtlColor(UINT msg, HDC dc, HBRUSH* brush);
    // Draws the stretched skin (and, when the whole client area is drawn,
    // the areas) into dc; cx or cy of -1: the client width or height.
    virtual void DrawSkin(HDC dc, int x, int y, int cx, int cy);
    virtual void OnMouseMove(WPARAM keys, int x, int y);
    virtual void OnMouseClick(UINT msg, WPARAM keys, int x, int y);

    // Loads the metrics' picture from the skin library; 0 without skin mode
    // or when the picture cannot be loaded.
    int SetSkin(SKIN_METRICS* metrics);
    // Takes bitmap (null removes the skin); one of zero width or height is
    // refused (0). The old bitmap is freed.
    int SetSkin(HBITMAP bitmap, unsigned long colorKey, RECT* stretch);
    // Layered and captionless, or back to the saved style.
    int ShowSkin(int on);
    int IsSkinShown() const { return shown; }
    int IsSkinSet() const { return picture.IsValid(); }
    const SKIN_METRICS* GetMetrics() const { return metrics; }
    ZnDlg* GetDlg() const { return dlg; }

    // --- areas (owned by the skin, in insertion order) ---
    void AddArea(ZnDlgSkinArea* area);
    // Adds one area per record until the record with id 0.
    void AddAreas(const SKIN_AREA_METRICS* table);
    void RemoveArea(int id);
    void RemoveAreas(const SKIN_AREA_METRICS* table);
    ZnDlgSkinArea* FindArea(int id) const;
    // The first area, in list order, that holds the client point and is
    // not hidden.
    ZnDlgSkinArea* FindArea(int x, int y) const;
    int GetAreaRect(int id, RECT* rect) const;
    ZnDlgSkinArea* GetFocusArea() const;
    void MoveArea(ZnDlgSkinArea* area, int dx, int dy);
    void MoveArea(int id, int dx, int dy);
    void MoveAreas(const SKIN_AREA_METRICS* table, int dx, int dy);
    void MoveAreas(int dx, int dy);
    void StretchAreas();
    void ShowArea(int id, int show);
    void SetAreaState(int id, SkinAreaState state);
    void EnableArea(int id, int enable);
    int IsAreaEnabled(int id) const;
    void DrawArea(int id);
    // The area with id gets the focus mark (0: none has it).
    void FocusArea(int id);

    // Picture coordinates to stretched ones.
    void StretchX(long& x) const;
    void StretchY(long& y) const;
    // stretchX, stretchY: which sides of rect to map.
    void StretchRect(RECT& rect, int stretchX, int stretchY) const;

    // The part of the skin behind control, for transparent controls and
    // child dialogs.
    void DrawCtrlSkinBkg(HDC dc, HWND control);
    void OnActivate(ZnDlg* dlg, int active);
    // Drawing waits while the user moves or sizes the dialog.
    void OnSizeMove(int inLoop);
    void OnEnable(ZnDlg* dlg, int enable);
    HWND GetTooltips() const { return tooltips.hWnd; }

protected:
    friend class ZnDlg;
    // Attaches to dlg (from the dialog's OnInitDone): tooltips for the
    // areas, the layered look when there is a picture.
    virtual int Init(ZnDlg* dlg);
    virtual void UnInit();
    virtual void OnResize(int dx, int dy);

    // Makes the stretched bitmap for the client size when it changed.
    void StretchSkin();
    // The same for a client area of cx x cy (a skin drawn without a dialog).
    void StretchSkin(int cx, int cy);
    // The area under the point becomes the one under the mouse; the looks
    // that change are redrawn.
    void TrackMouse(WPARAM keys, int x, int y);
    // Redraws area in the dialog's window (nothing without a dialog).
    void RedrawArea(ZnDlgSkinArea* area);

    SKIN_METRICS* metrics;
    ZnDlgSkinArea* mouseArea;
    ZnDlg* dlg;
    HWND dlgWnd;
    TooltipCtrl tooltips;
    BitmapHandle picture;
    BitmapHandle stretched;
    int shown;
    int active;
    SIZE pictureSize;
    SIZE stretchedSize;
    RECT stretch;
    COLORREF colorKey;
    LONG_PTR savedStyle;
    ZnList areas;
    int drawingSuspended;
    int firstStretchPending;
    LONG_PTR savedExStyle;
    // The area the left button went down on, until it comes up: only
    // that area's release sends its command.
    ZnDlgSkinArea* pressedArea;
};

// The skin of a wizard: also the wizard's own metrics, mapped to the
// stretched size at the first draw.
class PVDLL_API ZnDlgWizSkin : public ZnDlgSkin {
public:
    ZnDlgWizSkin(SKIN_WIZ_METRICS* wizMetrics, SKIN_METRICS* metrics);

    const SKIN_WIZ_METRICS& GetWizMetrics() const { return wiz; }
    // Called from the wizard's OnFirstSkinStretch: the button band moves by
    // the height change, the page rectangle is mapped.
    void StretchWizMetrics();

protected:
    SKIN_WIZ_METRICS wiz;
};
