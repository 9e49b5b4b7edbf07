// Pages: the child dialogs a page manager (ZnDlgPageMan.h) shows one at a
// time over its placeholder control.
//
// ZnDlgScrollable is a child dialog that scrolls vertically when it is
// taller than the place it is given: the height it was made with is its
// total height, the height of its window its visible height. It scrolls by
// its scroll bar, the mouse wheel, and whenever a control that takes the
// focus lies outside the visible part.
//
// ZnDlgPage is one page: it knows its manager, its header text and its
// template, answers the manager's questions when it is entered and left
// and when the manager's buttons are pressed, and shows message boxes
// owned by the manager.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "ui/dialogs/ZnDlg.h"

class ZnDlgPageMan;

class PVDLL_API ZnDlgScrollable : public ZnDlgChild {
public:
    // Within this distance of the page's top and bottom edges a focused
    // control counts as hidden.
    enum : int { visibleMargin = 4 };

    explicit ZnDlgScrollable(ZnDlgSkin* skin = nullptr);

    // "ZnDlgScrollable", then as ZnDlg.
    int IsKindOf(const wchar_t* className) override;
    // Notes the total height: the page's height as its template makes it.
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    // The scroll bar, the wheel, and a button release on the page itself.
    LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    // Takes the new visible height into the scroll bar.
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    // Scrolls so that control lies visibleMargin pixels inside the top and
    // bottom edges (its top wins when it is taller than the page).
    void EnsureDlgItemVisible(HWND control) override;
    void EnsureDlgItemVisible(int id);

    // SB_ codes of WM_VSCROLL; position for the thumb codes.
    void OnWmScroll(int code, int position);
    // Every wheel message is one line: up for a delta of 0 or more.
    void OnWmMouseWheel(int delta);
    // Moves the contents by dy pixels (positive: further down the page),
    // never before the top or past the end. Returns the distance moved.
    int DoScroll(int dy);
    // The page's contents grew (or shrank) by dTotal; visible is the new
    // visible height (0 or less: as it is).
    void OnChangeTotalHeight(int dTotal, int visible);

    int GetTotalHeight() const { return totalHeight; }
    int GetVisibleHeight() const { return visibleHeight; }
    int GetScrollPosition() const { return scrollPos; }
    // total - visible, 0 when the page fits.
    int GetScrollRange() const;
    int GetLineStep() const;
    int GetPageStep() const;

protected:
    // The bar's range, page and position as they stand; the bar stays,
    // disabled, once a page needed it.
    void UpdateScrollBar();
    // Focuses the focused control again (or the first tab stop) and keeps
    // it in view: a click on the page's own background.
    void RefocusAfterClick();

    int totalHeight;
    int visibleHeight;
    int scrollPos;
    int barShown;
};

class PVDLL_API ZnDlgPage : public ZnDlgScrollable {
public:
    // header: the text the manager's header control shows while this page
    // is active (not copied; null: none). module: where the template lies
    // (null: this library).
    ZnDlgPage(
        ZnDlgPageMan* manager, unsigned int templateId, const wchar_t* header = nullptr, HINSTANCE module = nullptr);

    // "ZnDlgPage", then as ZnDlgScrollable.
    int IsKindOf(const wchar_t* className) override;
    // Remembers the manager (a page manager as parent), then as ZnDlgChild.
    int Init(ZnDlg* parent, unsigned int templateId, unsigned int placeholderId, HINSTANCE module, int show) override;
    // Tells the manager (OnPageUpdateData) and marks the data updated.
    int UpdateData() override;
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // With update-on-command, UpdateData comes first.
    LRESULT OnCommand(unsigned short id, unsigned short code, HWND control) override;

    // --- what the manager asks ---
    // May the page be left? code: 0 for another page, 1 for apply, else
    // the code the manager closes with. Default: yes.
    virtual int OnKillActive(int code);
    // May the page become active? Default: yes.
    virtual int OnSetActive();
    // The page has become active and shows.
    virtual void OnReady();
    // Next (or OK) was pressed: non-zero lets the manager move on. Default:
    // an auto-pop page is popped; otherwise the remembered focus control
    // is forgotten and a wizard's Back is enabled when its first page is
    // left.
    virtual int OnBtnNext();
    // Back was pressed. Default: an auto-pop page is popped.
    virtual int OnBtnBack();
    // The apply pass: UpdateData, then the controls' OnOK.
    virtual int OnApply();
    // The manager was activated (non-zero) or deactivated.
    virtual void OnWmActivate(int active);

    // --- settings ---
    void UpdateOnCommand(int on) { updateOnCommand = on; }
    int IsUpdateOnCommand() const { return updateOnCommand; }
    void KeepPageActive(int on) { keepActive = on; }
    int ShouldKeepPageActive() const { return keepActive; }
    void SetAutoPop(int on) { autoPop = on; }
    int IsAutoPop() const { return autoPop; }
    void SetHeaderText(const wchar_t* text) { header = text; }
    const wchar_t* GetHeaderText() const { return header; }

    ZnDlgPageMan* GetManager() const { return manager; }
    // The template as given to the constructor (a negative id: this
    // library's).
    int GetPageTemplateID() const { return pageTemplateId; }
    HINSTANCE GetPageModule() const { return pageModule; }
    int IsFirstPage() const;
    // Forwarded to the manager.
    void SetPageItemFocus(int id);
    int PushPage(ZnDlgPage* page, int autoPop);
    int PopPage();
    // Runs before the page's OnBtnNext (from DoBtnNext); default: yes.
    virtual int PreBtnNext();

    // Message boxes owned by the manager's window (see MsgBox.h).
    int MsgFmt(unsigned int type, const wchar_t* format, ...);
    int MsgFmt(unsigned int type, int formatId, ...);
    int MsgExFmt(unsigned int type, const wchar_t* format, ...);
    int MsgExFmt(unsigned int type, int formatId, ...);

protected:
    // The window message boxes of this page belong to.
    HWND BoxOwner() const;
    HWND BoxOwnerKeepingLastError();

    ZnDlgPageMan* manager;
    const wchar_t* header;
    HINSTANCE pageModule;
    int pageTemplateId;
    int keepActive;
    int updateOnCommand;
    int autoPop;
};
