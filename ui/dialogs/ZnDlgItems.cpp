// ZnDlg: the thin wrappers over the dialog's controls, their placement,
// and groups of controls that hide together.
#include "ui/dialogs/ZnDlg.h"

#include <cstdarg>

#include "base/LibraryEntry.h"
#include "base/StrFormat.h"
#include "base/internal/DllHeap.h"
#include "text/ResStr.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/window/WndFunctions.h"

namespace {

constexpr UINT placeFlags = SWP_NOZORDER | SWP_NOACTIVATE;

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

BOOL SetFormatted(HWND dialog, int id, const wchar_t* format, va_list args)
{
    wchar_t text[1024];
    StrFormatV(text, 1024, format ? format : L"", args);
    return ::SetDlgItemTextW(dialog, id, text);
}

BOOL SetResourceFormatted(HWND dialog, int id, HINSTANCE module, int stringId, va_list args)
{
    ResStr format;
    format.Load(stringId, module ? module : hiDLL);
    return SetFormatted(dialog, id, format, args);
}

} // namespace

HWND ZnDlg::GetDlgItem(int id) const
{
    return hWnd ? ::GetDlgItem(hWnd, id) : nullptr;
}

LRESULT ZnDlg::SendDlgItemMsg(int id, UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return SendDlgItemMessageW(hWnd, id, msg, wParam, lParam);
}

ZnCtrl* ZnDlg::GetDlgCtrl(int id) const
{
    return GetDlgCtrl(GetDlgItem(id));
}

ZnCtrl* ZnDlg::GetDlgCtrl(HWND control)
{
    // Only control objects: a page bound to a child window is a dialog.
    ZnWnd* bound = ZnWnd::FromHandle(control);
    return bound && bound->IsKindOf(L"ZnCtrl") ? static_cast<ZnCtrl*>(bound) : nullptr;
}

int ZnDlg::GetDlgItemID(HWND control)
{
    if (!control)
        return -1;
    int id = GetDlgCtrlID(control);
    return id == 0xFFFF || id == -1 ? -1 : id;
}

void ZnDlg::SetDlgDefaulButton(int id)
{
    LRESULT old = SendMessageW(hWnd, DM_GETDEFID, 0, 0);
    if (HIWORD(old) == DC_HASDEFID && LOWORD(old) != id) {
        if (HWND button = GetDlgItem(LOWORD(old)))
            SendMessageW(button, BM_SETSTYLE, GetWindowLongPtrW(button, GWL_STYLE) & ~BS_DEFPUSHBUTTON & 0xFFFF, TRUE);
    }
    SendMessageW(hWnd, DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

void ZnDlg::EnableDlgItem(int id, int enable)
{
    EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
}

void ZnDlg::ShowDlgItem(int id, int show)
{
    ShowWindow(GetDlgItem(id), show ? SW_SHOW : SW_HIDE);
}

void ZnDlg::HideDlgItem(int id)
{
    EnableDlgItem(id, 0);
    ShowDlgItem(id, 0);
}

void ZnDlg::TurnDlgItem(int id, int on)
{
    EnableDlgItem(id, on);
    ShowDlgItem(id, on);
}

void ZnDlg::SimulateButton(int id)
{
    ::SimulateButton(hWnd, id);
}

int ZnDlg::IsDlgItemEnabled(int id) const
{
    HWND control = GetDlgItem(id);
    return control && IsWindowEnabled(control);
}

int ZnDlg::IsDlgItemVisible(int id) const
{
    HWND control = GetDlgItem(id);
    return control && (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

int ZnDlg::IsDlgButtonChecked(int id) const
{
    return static_cast<int>(::IsDlgButtonChecked(hWnd, id));
}

void ZnDlg::CheckDlgButton(int id, int check)
{
    ::CheckDlgButton(hWnd, id, static_cast<UINT>(check));
}

void ZnDlg::CheckRadioButton(int first, int last, int checked)
{
    ::CheckRadioButton(hWnd, first, last, checked);
}

int ZnDlg::GetCheckedRadioButton(int first, int last) const
{
    for (int id = first; id <= last; ++id) {
        if (::IsDlgButtonChecked(hWnd, id) == BST_CHECKED)
            return id;
    }
    return 0;
}

int ZnDlg::GetDlgItemTextLength(int id) const
{
    return GetWindowTextLengthW(GetDlgItem(id));
}

int ZnDlg::GetDlgItemTextW(int id, wchar_t* buffer, int count) const
{
    return static_cast<int>(::GetDlgItemTextW(hWnd, id, buffer, count));
}

BOOL ZnDlg::SetDlgItemTextW(int id, const wchar_t* text)
{
    return ::SetDlgItemTextW(hWnd, id, text ? text : L"");
}

BOOL ZnDlg::SetDlgItemTextW(int id, int stringId, HINSTANCE textModule)
{
    ResStr text;
    text.Load(stringId, textModule ? textModule : hiDLL);
    return ::SetDlgItemTextW(hWnd, id, text);
}

BOOL ZnDlg::SetDlgItemTextFmt(int id, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    BOOL done = SetFormatted(hWnd, id, format, args);
    va_end(args);
    return done;
}

BOOL ZnDlg::SetDlgItemTextFmt(int id, int stringId, ...)
{
    va_list args;
    va_start(args, stringId);
    BOOL done = SetResourceFormatted(hWnd, id, hiDLL, stringId, args);
    va_end(args);
    return done;
}

BOOL ZnDlg::SetDlgItemTextFmt(int id, HINSTANCE textModule, int stringId, ...)
{
    va_list args;
    va_start(args, stringId);
    BOOL done = SetResourceFormatted(hWnd, id, textModule, stringId, args);
    va_end(args);
    return done;
}

UINT ZnDlg::GetDlgItemInt(int id, BOOL* translated, int isSigned) const
{
    return ::GetDlgItemInt(hWnd, id, translated, isSigned ? TRUE : FALSE);
}

BOOL ZnDlg::SetDlgItemInt(int id, UINT value, int isSigned)
{
    return ::SetDlgItemInt(hWnd, id, value, isSigned ? TRUE : FALSE);
}

void ZnDlg::SetSpinRange(int id, int low, int high)
{
    SendDlgItemMsg(id, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

int ZnDlg::GetDlgItemRect(int id, RECT* rect) const
{
    HWND control = GetDlgItem(id);
    if (!control || !rect)
        return 0;
    *rect = ClientRectOf(hWnd, control);
    return 1;
}

HWND ZnDlg::GetNextDlgTabItem(HWND control) const
{
    return ::GetNextDlgTabItem(hWnd, control, FALSE);
}

HWND ZnDlg::GetPrevDlgTabItem(HWND control) const
{
    return ::GetNextDlgTabItem(hWnd, control, TRUE);
}

void ZnDlg::NextDlgCtrl()
{
    SendMessageW(hWnd, WM_NEXTDLGCTL, 0, FALSE);
}

void ZnDlg::PrevDlgCtrl()
{
    SendMessageW(hWnd, WM_NEXTDLGCTL, 1, FALSE);
}

void ZnDlg::SetDlgItemFocus(int id)
{
    if (HWND control = GetDlgItem(id))
        SendMessageW(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void ZnDlg::MoveCtrl(int id, int dx, int dy)
{
    MoveResizeCtrl(id, dx, dy, 0, 0);
}

void ZnDlg::ResizeCtrl(int id, int dcx, int dcy)
{
    MoveResizeCtrl(id, 0, 0, dcx, dcy);
}

void ZnDlg::MoveResizeCtrl(int id, int dx, int dy, int dcx, int dcy)
{
    RECT rect;
    if (!GetDlgItemRect(id, &rect))
        return;
    SetWindowPos(GetDlgItem(id), nullptr, rect.left + dx, rect.top + dy, rect.right - rect.left + dcx,
        rect.bottom - rect.top + dcy, placeFlags);
}

void ZnDlg::MoveCtrlToSlot(int id, int slotId)
{
    RECT slot;
    if (GetDlgItem(id) && GetDlgItemRect(slotId, &slot))
        SetWindowPos(GetDlgItem(id), nullptr, slot.left, slot.top, 0, 0, placeFlags | SWP_NOSIZE);
}

void ZnDlg::MoveResizeCtrlToSlot(int id, int slotId)
{
    RECT slot;
    if (GetDlgItem(id) && GetDlgItemRect(slotId, &slot))
        SetWindowPos(
            GetDlgItem(id), nullptr, slot.left, slot.top, slot.right - slot.left, slot.bottom - slot.top, placeFlags);
}

void ZnDlg::MoveButtonToSlot(int id, int slotId)
{
    RECT slot, own;
    if (!GetDlgItemRect(id, &own) || !GetDlgItemRect(slotId, &slot))
        return;
    SetWindowPos(GetDlgItem(id), nullptr, slot.right - (own.right - own.left), slot.top, 0, 0, placeFlags | SWP_NOSIZE);
}

void ZnDlg::MoveCtrlEdge(int id, int edge, int delta)
{
    RECT rect;
    if (!GetDlgItemRect(id, &rect))
        return;
    switch (edge) {
    case 0:
        rect.left += delta;
        break;
    case 1:
        rect.top += delta;
        break;
    case 2:
        rect.right += delta;
        break;
    case 3:
        rect.bottom += delta;
        break;
    default:
        return;
    }
    SetWindowPos(
        GetDlgItem(id), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, placeFlags);
}

void ZnDlg::CenterCtrl(int id)
{
    RECT rect, client;
    if (!GetDlgItemRect(id, &rect))
        return;
    GetClientRect(hWnd, &client);
    int x = (client.right - (rect.right - rect.left)) / 2;
    SetWindowPos(GetDlgItem(id), nullptr, x, rect.top, 0, 0, placeFlags | SWP_NOSIZE);
}

void ZnDlg::CenterDlgItem(int id, int reference)
{
    RECT rect, around;
    if (!GetDlgItemRect(id, &rect) || !GetDlgItemRect(reference, &around))
        return;
    int x = around.left + ((around.right - around.left) - (rect.right - rect.left)) / 2;
    SetWindowPos(GetDlgItem(id), nullptr, x, rect.top, 0, 0, placeFlags | SWP_NOSIZE);
}

void ZnDlg::AlignDlgItems(int first, int last)
{
    RECT anchor;
    if (!GetDlgItemRect(first, &anchor))
        return;
    for (int id = first + 1; id <= last; ++id) {
        RECT rect;
        if (GetDlgItemRect(id, &rect))
            SetWindowPos(GetDlgItem(id), nullptr, anchor.left, rect.top, 0, 0, placeFlags | SWP_NOSIZE);
    }
}

void ZnDlg::EnableDlgItems(int first, int last, int enable)
{
    for (int id = first; id <= last; ++id)
        EnableDlgItem(id, enable);
}

void ZnDlg::ShowDlgItems(int first, int last, int show)
{
    for (int id = first; id <= last; ++id)
        ShowDlgItem(id, show);
}

// --- groups of controls ---------------------------------------------------------------------

void ZnDlg::AddCtrlGroup(UINT firstId, UINT lastId, UINT nextId)
{
    if (FindCtrlGroup(firstId))
        return;
    auto* group = static_cast<ZnCtrlGroup*>(DllHeap::AllocZero(sizeof(ZnCtrlGroup)));
    if (!group)
        return;
    *group = {firstId, lastId, nextId, 0};
    // Measured now when the dialog is up; otherwise at its first show.
    RECT first, next;
    if (GetDlgItemRect(static_cast<int>(firstId), &first) && GetDlgItemRect(static_cast<int>(nextId), &next))
        group->height = next.top - first.top;
    if (!ctrlGroups.AddTail(group))
        DllHeap::Free(group);
}

ZnCtrlGroup* ZnDlg::FindCtrlGroup(UINT firstId)
{
    for (POS pos = ctrlGroups.GetHeadPos(); pos;) {
        auto* group = static_cast<ZnCtrlGroup*>(ctrlGroups.GetNext(pos));
        if (group->firstId == firstId)
            return group;
    }
    return nullptr;
}

void ZnDlg::ShowCtrlGroup(UINT firstId, int show)
{
    ZnCtrlGroup* group = FindCtrlGroup(firstId);
    if (!group || !hWnd)
        return;
    HWND first = GetDlgItem(static_cast<int>(group->firstId));
    if (!first || (IsDlgItemVisible(static_cast<int>(group->firstId)) != 0) == (show != 0))
        return;
    // The controls that follow the group are those whose top edge is at or
    // below the top of nextId (before anything moves).
    RECT next = {};
    bool hasNext = GetDlgItemRect(static_cast<int>(group->nextId), &next) != 0;
    int shift = show ? group->height : -group->height;
    for (UINT id = group->firstId; id <= group->lastId; ++id)
        ShowDlgItem(static_cast<int>(id), show);
    if (hasNext && shift) {
        for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            int id = GetDlgItemID(child);
            if (id >= static_cast<int>(group->firstId) && id <= static_cast<int>(group->lastId))
                continue;
            RECT rect = ClientRectOf(hWnd, child);
            if (rect.top >= next.top)
                SetWindowPos(child, nullptr, rect.left, rect.top + shift, 0, 0, placeFlags | SWP_NOSIZE);
        }
    }
    AdjustHeight(shift);
}

void ZnDlg::AdjustHeight(int dy)
{
    if (!dy || !hWnd)
        return;
    // The minimum follows, or the size limits would undo the change.
    if (sizes.minimum.cy > 0)
        sizes.minimum.cy += dy;
    ResizeWnd(hWnd, 0, dy);
}

void ZnDlg::EraseCtrlBkg(HDC dc, HWND control)
{
    if (!dc || !control)
        return;
    if (ZnDlgSkin* shown = GetDisplaySkin(); shown && shown->IsSkinSet()) {
        shown->DrawCtrlSkinBkg(dc, control);
        return;
    }
    RECT rect;
    GetClientRect(control, &rect);
    FillRect(dc, &rect, bkgBrush ? bkgBrush.Get() : GetSysColorBrush(COLOR_BTNFACE));
}

void ZnDlg::ValidateDlgItem(int id)
{
    if (HWND control = GetDlgItem(id))
        ValidateRect(control, nullptr);
}

void ZnDlg::RedrawAllControls()
{
    if (hWnd)
        RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void ZnDlg::ShiftNavButton(int id, int dx)
{
    if (IsDlgItemVisible(id))
        MoveCtrl(id, dx, 0);
}
