// ZnDlg: closing with OK, Cancel or any code.
#include "ui/dialogs/ZnDlg.h"

LRESULT ZnDlg::OnOK()
{
    return Close(IDOK, 1, 1);
}

LRESULT ZnDlg::OnCancel()
{
    return Close(IDCANCEL, 0, 0);
}

int ZnDlg::CloseDialog(int code, int okControls)
{
    if (okControls == -1)
        okControls = code != IDCANCEL;
    return Close(code, 0, okControls);
}

int ZnDlg::CanClose(int)
{
    return 1;
}

void ZnDlg::DoClose(int)
{
    closed = 1;
}

int ZnDlg::Close(int code, int updateData, int okControls)
{
    if (!hWnd || closing)
        return 0;
    if (updateData && !dataUpdated && !UpdateData())
        return 0;
    closing = 1;
    if (!CanClose(code)) {
        closing = 0;
        // The user may change what made the close fail: the next OK reads
        // the controls again.
        dataUpdated = 0;
        return 0;
    }
    result = code;
    if (okControls) {
        for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (ZnCtrl* control = GetDlgCtrl(child); control && control->GetDlg() == this)
                control->OnOK();
        }
    }
    DoClose(code);
    FillPlacement();
    closing = 0;
    // Destroying the window may delete this object (auto-delete): nothing
    // of it is touched afterwards.
    EndDialog(code);
    return 1;
}

void ZnDlg::EndDialog(int code)
{
    if (!hWnd)
        return;
    result = code;
    if (modeless)
        DestroyWindow(hWnd);
    else
        ::EndDialog(hWnd, code);
}

void ZnDlg::FillPlacement()
{
    if (!placement || !hWnd)
        return;
    placement->Initialize();
    if (!GetWindowPlacement(hWnd, placement))
        placement->length = 0;
}
