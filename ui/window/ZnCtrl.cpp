#include "ui/window/ZnCtrl.h"

#include <new>

#include "base/internal/DllHeap.h"
#include "storage/FileQuery.h"
#include "storage/Paths.h"
#include "ui/window/internal/CtrlDialogLink.h"

namespace {

HWND DialogWindow(ZnDlg* dlg)
{
    const CtrlDialogLink* link = GetCtrlDialogLink();
    return dlg && link ? link->window(dlg) : nullptr;
}

// The text a dropped path gives a control of style, or false when the
// drop does not suit the control.
bool DroppedText(DWORD style, const wchar_t* path, wchar_t* text)
{
    if (style & ZnCtrl::dropFileName) {
        lstrcpynW(text, LocateFileName(path), MAX_PATH);
        return true;
    }
    if (style & ZnCtrl::dropFolder) {
        lstrcpynW(text, path, MAX_PATH);
        if (IsFolderExists(path))
            return true;
        StripFileName(text);
        // A root keeps its separator ("C:\", "\\"); any other folder drops it.
        size_t length = wcslen(text);
        if (length > 1 && (text[length - 1] == L'\\' || text[length - 1] == L'/')) {
            wchar_t before = text[length - 2];
            if (before != L'\\' && before != L'/' && before != L':')
                text[length - 1] = L'\0';
        }
        return true;
    }
    if ((style & ZnCtrl::dropExistingFile) && IsFileExists(path)) {
        lstrcpynW(text, path, MAX_PATH);
        return true;
    }
    if (style & ZnCtrl::dropAnyPath) {
        lstrcpynW(text, path, MAX_PATH);
        return true;
    }
    return false;
}

} // namespace

ZnCtrl::ZnCtrl() : dlg(nullptr), id(0), name(nullptr), myStyle(0), savedText(nullptr)
{
    isControl = 1;
}

ZnCtrl::~ZnCtrl()
{
    DllHeap::Free(savedText);
}

int ZnCtrl::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnCtrl") == 0 || ZnWnd::IsKindOf(className));
}

void ZnCtrl::OnInit()
{
}

void ZnCtrl::PostInitDialog()
{
}

int ZnCtrl::OnCtlColor(UINT msg, HDC dc, HBRUSH*)
{
    if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN)
        return 0;
    if (const CtrlDialogLink* link = GetCtrlDialogLink(); link && dlg)
        link->paintSkinBehind(dlg, hWnd, dc);
    return 0;
}

void ZnCtrl::OnOK()
{
    Store();
}

void ZnCtrl::OnDropFiles(HDROP drop)
{
    // A path too long for a path buffer is refused whole: a cut one would
    // name some other file.
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    UINT length = count ? DragQueryFileW(drop, 0, nullptr, 0) : 0;
    if (length > 0 && length < MAX_PATH) {
        wchar_t path[MAX_PATH];
        wchar_t text[MAX_PATH];
        if (DragQueryFileW(drop, 0, path, MAX_PATH) == length && DroppedText(myStyle, path, text))
            SetWindowTextW(hWnd, text);
    }
    DragFinish(drop);
}

int ZnCtrl::OnCommand(WORD, LRESULT*)
{
    return 0;
}

int ZnCtrl::OnNotify(NMHDR*, LRESULT*)
{
    return 0;
}

void ZnCtrl::OnDrawItem(DRAWITEMSTRUCT*)
{
}

void ZnCtrl::OnMeasureItem(MEASUREITEMSTRUCT*)
{
}

void ZnCtrl::OnDeleteItem(DELETEITEMSTRUCT*)
{
}

void ZnCtrl::Store()
{
}

void ZnCtrl::Load()
{
}

LRESULT ZnCtrl::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (const CtrlDialogLink* link = GetCtrlDialogLink(); link && dlg)
            link->focusChanged(dlg, id, msg == WM_SETFOCUS);
        break;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        break;
    }
    return ZnWnd::OnWndMessage(msg, wParam, lParam);
}

int ZnCtrl::Init(ZnDlg* dialog, UINT controlId, const wchar_t* controlName, DWORD style)
{
    if (dlg)
        return 1;
    HWND dialogWnd = DialogWindow(dialog);
    HWND control = dialogWnd ? ::GetDlgItem(dialogWnd, static_cast<int>(controlId)) : nullptr;
    if (!control)
        return 0;

    // A specialised control takes the place of the plain one the dialog
    // attached on its own.
    if (ZnWnd* bound = ZnWnd::FromHandle(control); bound && bound != this) {
        bound->Unsubclass();
        if (bound->autoDelete)
            delete bound;
    }
    if (!Subclass(control))
        return 0;

    dlg = dialog;
    id = controlId;
    name = controlName;
    myStyle = style;
    if (myStyle & dropMask)
        DragAcceptFiles(hWnd, TRUE);
    OnInit();
    return 1;
}

ZnCtrl* ZnCtrl::AutoInit(ZnDlg* dialog, UINT controlId)
{
    auto* control = new (std::nothrow) ZnCtrl;
    if (!control)
        return nullptr;
    control->autoDelete = 1;
    if (!control->Init(dialog, controlId)) {
        delete control;
        return nullptr;
    }
    return control;
}

void ZnCtrl::ShowCtrl(int show)
{
    if (HWND dialogWnd = DialogWindow(dlg))
        ShowWindow(::GetDlgItem(dialogWnd, static_cast<int>(id)), show ? SW_SHOW : SW_HIDE);
}

const wchar_t* ZnCtrl::GetOriginalText()
{
    if (!savedText && hWnd) {
        int length = GetWindowTextLengthW(hWnd);
        if (length > 0) {
            DllBlock<wchar_t> text(DllHeap::AllocArray<wchar_t>(static_cast<size_t>(length) + 1));
            if (text && GetWindowTextW(hWnd, text.Get(), length + 1) > 0)
                savedText = text.Release();
        }
    }
    return savedText ? savedText : L"";
}
