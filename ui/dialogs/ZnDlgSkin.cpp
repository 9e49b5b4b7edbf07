// The skin of one dialog: its picture, its areas, the layered look of the
// dialog and the mouse over the areas. The drawing is in ZnDlgSkinDraw.cpp.
#include "ui/dialogs/ZnDlgSkin.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/internal/SkinPixels.h"
#include "ui/window/ZnDC.h"

namespace {

typedef BOOL(WINAPI* SetLayeredAttributesCall)(HWND wnd, COLORREF key, BYTE alpha, DWORD flags);

// Looked up once: a system without layered windows simply shows no skins.
SetLayeredAttributesCall LayeredAttributes()
{
    static const SetLayeredAttributesCall call = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<SetLayeredAttributesCall>(
                   reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")))
                    : nullptr;
    }();
    return call;
}

// What the skin removes from the dialog's frame: the caption with its
// buttons and the sizing border (the dialog sizes by hit-testing instead),
// and the extended edges, so that the client area is the whole window.
constexpr LONG_PTR kSkinStyleMask = static_cast<LONG_PTR>(0xFF30FFFF);
constexpr LONG_PTR kFrameExStyles = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;

void FrameChanged(HWND wnd)
{
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
        SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace

ZnDlgSkin::ZnDlgSkin(SKIN_METRICS* skinMetrics)
    : metrics(skinMetrics),
      mouseArea(nullptr),
      dlg(nullptr),
      dlgWnd(nullptr),
      shown(0),
      active(1),
      pictureSize(),
      stretchedSize(),
      stretch(),
      colorKey(0),
      savedStyle(0),
      drawingSuspended(0),
      firstStretchPending(1),
      savedExStyle(0),
      pressedArea(nullptr)
{
}

ZnDlgSkin::~ZnDlgSkin()
{
    while (!areas.IsEmpty())
        std::unique_ptr<ZnDlgSkinArea> leaving(static_cast<ZnDlgSkinArea*>(areas.RemoveHead()));
}

void ZnDlgSkin::OnSetSkin(HDC, int, int)
{
}

int ZnDlgSkin::OnCtlColor(UINT msg, HDC dc, HBRUSH* brush)
{
    if (msg != WM_CTLCOLORBTN && msg != WM_CTLCOLORSTATIC)
        return 0;
    SetTextColor(dc, metrics ? metrics->textColor : RGB(0, 0, 0x80));
    SetBkMode(dc, TRANSPARENT);
    if (brush)
        *brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return 1;
}

// --- the picture and the dialog --------------------------------------------------------

int ZnDlgSkin::SetSkin(SKIN_METRICS* skinMetrics)
{
    if (skinMetrics)
        metrics = skinMetrics;
    if (!metrics || !IsSkinMode())
        return 0;
    BitmapHandle loaded(LoadSkinPicture(metrics->pictureId));
    if (!loaded)
        return 0;
    SIZE size = SkinPixels::BitmapSize(loaded.Get());
    {
        CompatibleDC memory(nullptr);
        if (SelectObject(memory, loaded.Get()))
            OnSetSkin(memory, size.cx, size.cy);
    }
    RECT skinStretch = metrics->stretch;
    if (!SetSkin(loaded.Get(), metrics->colorKey, &skinStretch))
        return 0;
    loaded.Release();
    return 1;
}

int ZnDlgSkin::SetSkin(HBITMAP bitmap, unsigned long key, RECT* stretchRect)
{
    if (!bitmap) {
        picture.Reset();
        stretched.Reset();
        pictureSize = stretchedSize = {};
        if (shown)
            ShowSkin(0);
        return 1;
    }
    SIZE size = SkinPixels::BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return 0;
    if (picture.Get() != bitmap)
        picture.Reset(bitmap);
    pictureSize = size;
    colorKey = key;
    // Kept within the picture and the right way round, so that no piece
    // of the nine has a negative size.
    RECT r = stretchRect ? *stretchRect : RECT{};
    auto clamp = [](LONG v, LONG high) { return v < 0 ? 0 : (v > high ? high : v); };
    LONG left = clamp(std::min(r.left, r.right), size.cx), right = clamp(std::max(r.left, r.right), size.cx);
    LONG top = clamp(std::min(r.top, r.bottom), size.cy), bottom = clamp(std::max(r.top, r.bottom), size.cy);
    stretch = {left, top, right, bottom};
    stretched.Reset();
    stretchedSize = {};
    if (dlgWnd && IsWindow(dlgWnd))
        ShowSkin(1);
    return 1;
}

int ZnDlgSkin::ShowSkin(int on)
{
    if (!dlgWnd || !IsWindow(dlgWnd))
        return 0;
    SetLayeredAttributesCall setLayered = LayeredAttributes();
    if (on && (!setLayered || !picture))
        on = 0;
    if (on) {
        if (!shown) {
            savedStyle = GetWindowLongPtrW(dlgWnd, GWL_STYLE);
            savedExStyle = GetWindowLongPtrW(dlgWnd, GWL_EXSTYLE);
            SetWindowLongPtrW(dlgWnd, GWL_STYLE, savedStyle & kSkinStyleMask);
            SetWindowLongPtrW(dlgWnd, GWL_EXSTYLE, (savedExStyle & ~kFrameExStyles) | WS_EX_LAYERED);
            shown = 1;
        }
        setLayered(dlgWnd, colorKey, 0, LWA_COLORKEY);
        FrameChanged(dlgWnd);
    } else if (shown) {
        SetWindowLongPtrW(dlgWnd, GWL_EXSTYLE, savedExStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        SetWindowLongPtrW(dlgWnd, GWL_STYLE, savedStyle);
        shown = 0;
        FrameChanged(dlgWnd);
    }
    // The areas' tooltips mean something only over the skin.
    tooltips.Activate(shown);
    return shown == on ? 1 : 0;
}

int ZnDlgSkin::Init(ZnDlg* owner)
{
    if (!owner || !owner->hWnd)
        return 0;
    dlg = owner;
    dlgWnd = owner->hWnd;
    if (tooltips.Create(dlgWnd)) {
        for (POS pos = areas.GetHeadPos(); pos;) {
            auto* area = static_cast<ZnDlgSkinArea*>(areas.GetNext(pos));
            if (!area->IsHidden())
                tooltips.AddTool(dlgWnd, area->id, &area->rect);
        }
    }
    ShowSkin(picture.IsValid());
    return 1;
}

void ZnDlgSkin::UnInit()
{
    if (dlgWnd && GetCapture() == dlgWnd && pressedArea)
        ReleaseCapture();
    tooltips.Destroy();
    tooltips.hWnd = nullptr;
    dlg = nullptr;
    dlgWnd = nullptr;
    shown = 0;
    mouseArea = nullptr;
    pressedArea = nullptr;
    // A skin shown again on another dialog starts with no area under the
    // mouse.
    for (POS pos = areas.GetHeadPos(); pos;) {
        auto* area = static_cast<ZnDlgSkinArea*>(areas.GetNext(pos));
        if (area->state == areaHot || area->state == areaPressed)
            area->state = areaNormal;
    }
}

void ZnDlgSkin::OnResize(int, int)
{
}

void ZnDlgSkin::OnActivate(ZnDlg* owner, int isActive)
{
    if (owner && !dlg) {
        dlg = owner;
        dlgWnd = owner->hWnd;
    }
    const int now = isActive ? 1 : 0;
    if (now == active)
        return;
    active = now;
    if (dlgWnd && shown)
        RedrawWindow(dlgWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ZnDlgSkin::OnSizeMove(int inLoop)
{
    drawingSuspended = inLoop ? 1 : 0;
    if (!inLoop && dlgWnd && shown)
        RedrawWindow(dlgWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ZnDlgSkin::OnEnable(ZnDlg*, int)
{
}

// --- areas --------------------------------------------------------------------------------

void ZnDlgSkin::AddArea(ZnDlgSkinArea* area)
{
    if (!area)
        return;
    // The skin owns what it is given, even when the list cannot take it.
    if (!areas.AddTail(area)) {
        delete area;
        return;
    }
    if (tooltips.hWnd && !area->IsHidden())
        tooltips.AddTool(dlgWnd, area->id, &area->rect);
}

void ZnDlgSkin::AddAreas(const SKIN_AREA_METRICS* table)
{
    for (; table && table->id; ++table)
        AddArea(new (std::nothrow) ZnDlgSkinArea(table));
}

void ZnDlgSkin::RemoveArea(int id)
{
    ZnDlgSkinArea* area = FindArea(id);
    if (!area)
        return;
    POS pos = areas.Find(area);
    areas.RemoveAt(pos);
    std::unique_ptr<ZnDlgSkinArea> leaving(area);
    if (mouseArea == area)
        mouseArea = nullptr;
    if (pressedArea == area)
        pressedArea = nullptr;
    if (tooltips.hWnd)
        tooltips.DelTool(dlgWnd, id);
    if (dlgWnd)
        InvalidateRect(dlgWnd, &area->rect, TRUE);
}

void ZnDlgSkin::RemoveAreas(const SKIN_AREA_METRICS* table)
{
    for (; table && table->id; ++table)
        RemoveArea(table->id);
}

ZnDlgSkinArea* ZnDlgSkin::FindArea(int id) const
{
    for (POS pos = areas.GetHeadPos(); pos;) {
        auto* area = static_cast<ZnDlgSkinArea*>(areas.GetNext(pos));
        if (area->id == id)
            return area;
    }
    return nullptr;
}

ZnDlgSkinArea* ZnDlgSkin::FindArea(int x, int y) const
{
    const POINT pt = {x, y};
    for (POS pos = areas.GetHeadPos(); pos;) {
        auto* area = static_cast<ZnDlgSkinArea*>(areas.GetNext(pos));
        if (!area->IsHidden() && PtInRect(&area->rect, pt))
            return area;
    }
    return nullptr;
}

int ZnDlgSkin::GetAreaRect(int id, RECT* rect) const
{
    ZnDlgSkinArea* area = FindArea(id);
    if (!area || !rect)
        return 0;
    *rect = area->rect;
    return 1;
}

ZnDlgSkinArea* ZnDlgSkin::GetFocusArea() const
{
    for (POS pos = areas.GetHeadPos(); pos;) {
        auto* area = static_cast<ZnDlgSkinArea*>(areas.GetNext(pos));
        if (area->IsFocus())
            return area;
    }
    return nullptr;
}

void ZnDlgSkin::MoveArea(ZnDlgSkinArea* area, int dx, int dy)
{
    if (!area || (!dx && !dy))
        return;
    RECT old = area->rect;
    OffsetRect(&area->rect, dx, dy);
    if (tooltips.hWnd)
        tooltips.MoveTool(dlgWnd, area->id, dx, dy);
    if (dlgWnd) {
        InvalidateRect(dlgWnd, &old, TRUE);
        InvalidateRect(dlgWnd, &area->rect, TRUE);
    }
}

void ZnDlgSkin::MoveArea(int id, int dx, int dy)
{
    MoveArea(FindArea(id), dx, dy);
}

void ZnDlgSkin::MoveAreas(const SKIN_AREA_METRICS* table, int dx, int dy)
{
    for (; table && table->id; ++table)
        MoveArea(FindArea(table->id), dx, dy);
}

void ZnDlgSkin::MoveAreas(int dx, int dy)
{
    for (POS pos = areas.GetHeadPos(); pos;)
        MoveArea(static_cast<ZnDlgSkinArea*>(areas.GetNext(pos)), dx, dy);
}

void ZnDlgSkin::StretchAreas()
{
    for (POS pos = areas.GetHeadPos(); pos;) {
        auto* area = static_cast<ZnDlgSkinArea*>(areas.GetNext(pos));
        StretchRect(area->rect, 1, 1);
        if (tooltips.hWnd && !area->IsHidden())
            tooltips.AddTool(dlgWnd, area->id, &area->rect);
    }
}

void ZnDlgSkin::ShowArea(int id, int show)
{
    ZnDlgSkinArea* area = FindArea(id);
    if (!area || (show ? !area->IsHidden() : area->IsHidden()))
        return;
    area->SetState(show ? areaNormal : areaHidden);
    if (!show) {
        if (mouseArea == area)
            mouseArea = nullptr;
        if (pressedArea == area)
            pressedArea = nullptr;
    }
    if (tooltips.hWnd) {
        if (show)
            tooltips.AddTool(dlgWnd, area->id, &area->rect);
        else
            tooltips.DelTool(dlgWnd, area->id);
    }
    RedrawArea(area);
}

void ZnDlgSkin::SetAreaState(int id, SkinAreaState newState)
{
    if (ZnDlgSkinArea* area = FindArea(id)) {
        area->SetState(newState);
        RedrawArea(area);
    }
}

void ZnDlgSkin::EnableArea(int id, int enable)
{
    ZnDlgSkinArea* area = FindArea(id);
    if (!area)
        return;
    area->Enable(enable);
    if (!enable) {
        // Enabled again later, it starts afresh.
        if (!area->IsHidden())
            area->SetState(areaNormal);
        if (pressedArea == area)
            pressedArea = nullptr;
    }
    RedrawArea(area);
}

int ZnDlgSkin::IsAreaEnabled(int id) const
{
    ZnDlgSkinArea* area = FindArea(id);
    return area ? area->IsEnabled() : 0;
}

void ZnDlgSkin::DrawArea(int id)
{
    RedrawArea(FindArea(id));
}

void ZnDlgSkin::FocusArea(int id)
{
    for (POS pos = areas.GetHeadPos(); pos;) {
        auto* area = static_cast<ZnDlgSkinArea*>(areas.GetNext(pos));
        const int focused = id != 0 && area->id == id;
        if (area->IsFocus() != focused) {
            area->SetFocus(focused);
            RedrawArea(area);
        }
    }
}

void ZnDlgSkin::RedrawArea(ZnDlgSkinArea* area)
{
    if (area && dlg && dlgWnd && shown)
        area->Draw(dlg);
}

// --- the mouse ----------------------------------------------------------------------------

void ZnDlgSkin::TrackMouse(WPARAM keys, int x, int y)
{
    ZnDlgSkinArea* area = FindArea(x, y);
    if (area == mouseArea)
        return;
    if (ZnDlgSkinArea* old = std::exchange(mouseArea, area)) {
        if (!old->IsHidden() && old->IsEnabled()) {
            old->SetState(areaNormal);
            RedrawArea(old);
        }
    }
    if (area && area->IsEnabled()) {
        // Pressed again only over the area the button went down on: only
        // there does letting go send anything.
        area->SetState((keys & MK_LBUTTON) && area == pressedArea ? areaPressed : areaHot);
        RedrawArea(area);
    }
}

void ZnDlgSkin::OnMouseMove(WPARAM keys, int x, int y)
{
    TrackMouse(keys, x, y);
    if (tooltips.hWnd)
        tooltips.RelayEvent(dlgWnd, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
}

void ZnDlgSkin::OnMouseClick(UINT msg, WPARAM keys, int x, int y)
{
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        TrackMouse(keys, x, y);
        ZnDlgSkinArea* area = mouseArea;
        if (area && area->IsEnabled() && !area->IsHidden()) {
            pressedArea = area;
            area->SetState(areaPressed);
            RedrawArea(area);
            // Letting go outside the dialog must reach it too, to cancel.
            if (dlgWnd)
                SetCapture(dlgWnd);
        }
    } else if (msg == WM_LBUTTONUP) {
        ZnDlgSkinArea* pressed = std::exchange(pressedArea, nullptr);
        if (dlgWnd && GetCapture() == dlgWnd)
            ReleaseCapture();
        TrackMouse(keys, x, y);
        ZnDlgSkinArea* area = mouseArea;
        if (area && area == pressed && area->IsEnabled() && !area->IsHidden()) {
            area->SetState(areaHot);
            RedrawArea(area);
            if (dlgWnd)
                PostMessageW(dlgWnd, WM_COMMAND, MAKEWPARAM(area->id, BN_CLICKED), 0);
        }
    }
    if (tooltips.hWnd)
        tooltips.RelayEvent(dlgWnd, msg, keys, MAKELPARAM(x, y));
}
