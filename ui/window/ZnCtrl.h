// ZnCtrl: the framework's control object. It attaches to an existing child
// control of a dialog by id, subclasses it, and gives it virtual handlers
// that the dialog calls for the messages that concern the control
// (commands, notifications, owner drawing, colours). It shows the dialog's
// skin behind static controls and buttons, tells the skin when it gains
// or loses the focus, and can take a file or folder dropped on it.
//
// Every specialised control derives from it; a dialog attaches a plain one
// (AutoInit) to every child that has no object of its own.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "base/PVDLLApi.h"
#include "ui/window/ZnWnd.h"

class ZnDlg;

class PVDLL_API ZnCtrl : public ZnWnd {
public:
    // What a control does with a path dropped on it (any bit makes it
    // accept dropped files).
    enum DropStyle : DWORD {
        dropAnyPath = 0x80000000,      // the path, whatever it names
        dropFileName = 0x40000000,     // the file name and extension only
        dropFolder = 0x20000000,       // the folder: the path, or the folder holding it
        dropExistingFile = 0x10000000, // the path when it names an existing file
        dropMask = 0xF0000000,
    };

    ZnCtrl();
    ~ZnCtrl() override;

    // "ZnCtrl" and "ZnWnd".
    int IsKindOf(const wchar_t* className) override;
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Called once, at the end of a successful Init.
    virtual void OnInit();
    // Called by the dialog after WM_INITDIALOG.
    virtual void PostInitDialog();
    // WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: draws the skin behind the
    // control when the dialog has one. Returns 0 (no brush).
    virtual int OnCtlColor(UINT msg, HDC dc, HBRUSH* brush);
    // The dialog closes with OK: the default stores the control's value.
    virtual void OnOK();
    virtual void OnDropFiles(HDROP drop);
    // Non-zero when handled; *result is then the answer.
    virtual int OnCommand(WORD code, LRESULT* result);
    virtual int OnNotify(NMHDR* header, LRESULT* result);
    virtual void OnDrawItem(DRAWITEMSTRUCT* item);
    virtual void OnMeasureItem(MEASUREITEMSTRUCT* item);
    virtual void OnDeleteItem(DELETEITEMSTRUCT* item);

    // Attaches to the child of dlg with id: a plain automatic object the
    // dialog made earlier for it is replaced (and deleted). Returns 0, and
    // leaves the object unattached so that Init may be tried again, when
    // the dialog has no such child or it cannot be subclassed. name is not
    // copied. Does nothing (returns 1) when the object is already attached.
    int Init(ZnDlg* dlg, UINT id, const wchar_t* name = nullptr, DWORD myStyle = 0);
    // A plain control that deletes itself with its window; null (nothing
    // made) when the dialog has no child with id.
    static ZnCtrl* AutoInit(ZnDlg* dlg, UINT id);

    UINT GetID() const { return id; }
    ZnDlg* GetDlg() const { return dlg; }
    const wchar_t* GetName() const { return name; }
    DWORD GetMyStyle() const { return myStyle; }
    void ModifyMyStyle(DWORD remove, DWORD add) { myStyle = (myStyle & ~remove) | add; }
    void ShowCtrl(int show);
    // The control's text as first read (later changes do not show); an
    // empty text when it had none.
    const wchar_t* GetOriginalText();

protected:
    virtual void Store();
    virtual void Load();

    ZnDlg* dlg;
    UINT id;
    const wchar_t* name;
    DWORD myStyle;
    wchar_t* savedText;
};
