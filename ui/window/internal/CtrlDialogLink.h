// What a control asks of the dialog that holds it. Controls live in a
// lower layer than dialogs and know a dialog only by this table, which the
// dialog layer hands over before its first dialog exists; until then (or
// in a process with no dialogs) controls behave as controls of a plain,
// unskinned window.
#pragma once

#include <windows.h>

class ZnDlg;

struct CtrlDialogLink {
    // The dialog's window.
    HWND (*window)(ZnDlg* dlg);
    // Draws the skin that lies behind control (the dialog's own, or for a
    // child dialog that of the dialog showing it) into dc; 0 without skin.
    int (*paintSkinBehind)(ZnDlg* dlg, HWND control, HDC dc);
    // The control with id gained (focused 1) or lost the focus: the skin's
    // area of that id, if any, is redrawn.
    void (*focusChanged)(ZnDlg* dlg, UINT id, int focused);
    // The dialog's own background, text and third colour; 0 when it keeps
    // the system's (no background brush of its own).
    int (*colors)(ZnDlg* dlg, COLORREF* background, COLORREF* text, COLORREF* third);
};

// Process-wide; the table must outlive every control.
void SetCtrlDialogLink(const CtrlDialogLink* link);
const CtrlDialogLink* GetCtrlDialogLink();
