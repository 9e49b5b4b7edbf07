// Page managers: a dialog that shows one of several pages (ZnDlgPage.h) at
// a time in the place of a hidden placeholder control, with navigation by
// Back and Next buttons, by Ctrl+Tab / Ctrl+Page Up / Ctrl+Page Down (in a
// manager without those buttons) or by code, validation when a page is
// left, and apply and close passes over all pages.
//
// ZnDlgPageMan is the plain manager, a settings dialog whose pages cycle.
// ZnDlgWizard is a linear sequence: its Next becomes OK on the last step,
// it shows a large title, icons and a caption of its own, can lay itself
// out on a wizard skin, and asks before Cancel leaves a step in the middle.
//
// The manager does not own its pages: a page removed from the list is
// handed to the page callback (SetPageCallback), which may delete it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "base/PVDLLApi.h"
#include "base/ZnList.h"
#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgPage.h"
#include "ui/window/ImageBtn.h"
#include "ui/window/LargeStaticTextCtl.h"
#include "ui/window/TooltipCtrl.h"

class PVDLL_API ZnDlgPageMan : public ZnDlg {
public:
    // The navigation buttons, as bits of EnableButton's masks.
    enum WizBtn : unsigned int { btnBack = 1, btnNext = 2, btnCancel = 4, btnHelp = 8, btnOK = 16, btnAll = 31 };
    // The delayed actions of a manager.
    enum Action : unsigned long {
        actionRestoreFocus = 601,
        actionPressBack = 602,
        actionPressNext = 603,
        actionPressOK = 604,
    };
    // A page that refused to be left is not asked again for this long.
    enum : DWORD { refusalGuardMs = 500 };
    // PressButton presses Back, Next and OK this much later.
    enum : DWORD { pressDelayMs = 200 };
    // The remembered focus control comes back this long after activation.
    enum : DWORD { refocusDelayMs = 100 };

    // Control ids (0: the manager has no such control). spareId is kept
    // for a derived manager's own use.
    ZnDlgPageMan(unsigned int spareId, unsigned int headerId, unsigned int placeholderId, unsigned int backId,
        unsigned int nextId, ZnDlgSkin* skin = nullptr);
    ~ZnDlgPageMan() override;

    // "ZnDlgPageMan", then as ZnDlg.
    int IsKindOf(const wchar_t* className) override;
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(int id, NMHDR* header) override;
    LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The apply pass (OnApply(1)), then the dialog's OnOK.
    LRESULT OnOK() override;
    LRESULT OnCommand(unsigned short id, unsigned short code, HWND control) override;
    // OK, Cancel, Help, "Back [Alt+B]" and "Next [Alt+N]".
    int GetTootTip(unsigned int id, wchar_t* buffer, unsigned int size) override;
    using ZnDlg::GetTootTip;
    int CanClose(int code) override;
    void DoClose(int code) override;
    // The placeholder and the pages take the change; the buttons below
    // them follow it.
    void OnResize(int dx, int dy) override;
    void OnDelayedAction(unsigned long action) override;
    void OnActivate(int active) override;
    // Ctrl+Tab, Ctrl+Page Up/Down, and Tab into and out of the page.
    int PreTranslateMessage(MSG* msg) override;

    // --- virtual operations with their defaults ---
    // Runs the manager from a derived class's idea of its template; the
    // default has none and returns 0.
    virtual int Do(HWND parent);
    // The active page is ready (after its own OnReady). Empty.
    virtual void OnReady();
    // 1: with one page, Next shows as OK.
    virtual int ShouldChangeNextToOkIfOnePage();
    // 0: Back hides on the first page.
    virtual int ShouldKeepBackBtnVisible();
    // Moves one page on (forward) or back; see the class comment.
    virtual int SetNextPage(int forward);
    virtual void UpdatePagesFromData();
    virtual void UpdateDataFromPages();
    // A page ran its UpdateData. Empty.
    virtual void OnPageUpdateData();
    // Shows or hides the header control.
    virtual void OnUpdateHeaderText(int show);
    // The apply pass over all pages: 0 when a page refused (it is then
    // the active one).
    virtual int OnApply(int code);

    // --- the page list ---
    // Called with ZnList::eventRemoved and the page whenever a page leaves
    // the list (also when the manager goes); the callback may delete it.
    void SetPageCallback(unsigned __int64 context, ZnList::Callback callback);
    int AddPage(ZnDlgPage* page);
    // After the active page (at the front when none is active).
    int InsertPage(ZnDlgPage* page);
    // Null: the last page. An active page hands over to a neighbour first
    // (the next one, else the one before); when none takes over, no page
    // is active afterwards. 0 when the page is not listed.
    int RemovePage(ZnDlgPage* page = nullptr);
    // After the active page unless listed already; sets its auto-pop flag.
    int PushPage(ZnDlgPage* page, int autoPop);
    // Hides the header, removes the page and clears its auto-pop flag.
    int PopPage(ZnDlgPage* page);
    ZnDlgPage* GetPage(int index) const;
    int GetPageIndex(const ZnDlgPage* page) const;
    int GetPageCount() const { return pages.GetCount(); }
    ZnDlgPage* GetActivePage() const { return activePage; }
    HWND GetActivePageWnd() const { return activePageWnd; }
    int GetActiveIndex() const;
    ZnDlgPage* GetLastActivePage() const;
    int IsActivePageFirst() const;
    int IsActivePageLast() const;
    // The neighbour of page (null: of the active one); null at either end.
    ZnDlgPage* GetNextPage(ZnDlgPage* page, int forward) const;
    unsigned int GetPlaceholderID() const { return placeholderId; }
    unsigned int GetHeaderID() const { return headerId; }
    unsigned int GetBackID() const { return backId; }
    unsigned int GetNextID() const { return nextId; }
    unsigned int GetSpareID() const { return spareId; }
    // The page shown first (before the manager is up); clamped to the list.
    void SetStartPage(int index) { startIndex = index; }

    // --- activation and navigation ---
    int SetActivePage(int index, int setFocus);
    int SetActivePage(ZnDlgPage* page, int setFocus);
    // Asks the active page (OnKillActive(code)), unless a page refused less
    // than refusalGuardMs ago: then 0 without asking.
    int CanKillActivePage(int code);
    // mask: WizBtn bits. Returns the mask of those that were enabled.
    unsigned int EnableButton(unsigned int mask, int enable);
    void ShowButton(unsigned int id, int show);
    // Back, Next and OK are pressed pressDelayMs later; Cancel and Help
    // at once (posted).
    void PressButton(unsigned int button);
    void ChangeNavButtons_OKToNext();
    void ChangeNavButtons_NextToOK();
    void ChangeNavButtons_EnableBack(int enable, int keepVisible);
    void UpdateNavButtons();
    // At most 256 characters, into the header control.
    void SetHeaderText(const wchar_t* format, ...);
    // A control of the active page focused after the next activation.
    void SetPageItemFocus(int id) { focusItemId = id; }
    int GetPageItemFocus() const { return focusItemId; }
    // The active page's OnBtnNext with the manager's window disabled.
    int DoBtnNext();
    void BroadcastMsgToPages(UINT msg, WPARAM wParam, LPARAM lParam);
    // ModelessWithLoop: non-zero when the manager closed with 1 (OK).
    int Do(int disableOwner, int templateId, HINSTANCE module, HWND parent);

    int IsWizard() const { return wizard; }

protected:
    // The control id of a WizBtn bit (0 when the manager has none).
    unsigned int ButtonId(unsigned int button) const;
    // Hidden buttons without a skin stand above the dialog, out of reach.
    void ParkButton(unsigned int id, int park);
    // Enabled and shown: the button itself, or on a skin its area.
    int IsButtonLive(unsigned int id) const;
    // SetActivePage; askOld 0 skips the leaving page's consent (a page
    // being removed, a page brought forward by a failed pass).
    int Activate(ZnDlgPage* page, int setFocus, int askOld);
    // Back, Next, or a wizard's OK: the page's consent, then the move.
    // 0 when the command goes no further.
    int OnNavButton(unsigned int id);
    void FitPagesToPlaceholder();
    // Focus and visibility of a control of the active page.
    void FocusPageItem(HWND control);
    // Tab, Shift+Tab: 1 when the manager moved the focus itself.
    int OnTabKey(HWND focus, int backward);
    // Whether the apply pass goes over page.
    static int IsPageOpen(const ZnDlgPage* page);

    int wizard;
    unsigned int spareId;
    unsigned int headerId;
    unsigned int placeholderId;
    unsigned int backId;
    unsigned int nextId;
    int focusItemId;
    int startIndex;
    int lastActiveIndex;
    HIMAGELIST imageList;
    ZnDlgPage* activePage;
    HWND activePageWnd;
    ZnDlgPage* lastActivePage;
    ZnList pages;
    DWORD lastRefusalTick;
    int refusedOnce;
    int applying;
    TooltipCtrl tips;
    // Button tops as the template placed them, for bringing parked ones
    // back: Back, Next, OK, Cancel, Help.
    int parkedTop[5];
    int parked[5];
};

class PVDLL_API ZnDlgWizard : public ZnDlgPageMan {
public:
    // iconId, captionId, cancelConfirmId: 0 for none. cancelConfirmId is
    // the string of the Yes/No question asked when Cancel leaves a middle
    // step. imageButton (copied; may be null) makes the control
    // imageButtonId an image button.
    ZnDlgWizard(unsigned int headerId, unsigned int placeholderId, unsigned int backId, unsigned int nextId,
        unsigned int iconId, unsigned int captionId, unsigned int cancelConfirmId, int resizable,
        ImageBtnDescriptor* imageButton, unsigned int imageButtonId, ZnDlgSkin* skin = nullptr);
    ~ZnDlgWizard() override;

    int IsKindOf(const wchar_t* className) override;
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(unsigned short id, unsigned short code, HWND control) override;
    int CanClose(int code) override;
    int OnCtlColor(unsigned int msg, HDC dc, HWND control, HBRUSH* brush) override;
    void OnResize(int dx, int dy) override;
    void OnFirstSkinStretch(ZnDlgSkin* skin) override;
    void OnUpdateHeaderText(int show) override;
    // The placement record of a resizable wizard (remembered size); null:
    // none.
    virtual MyWindowPlacement* GetResizingInfo();

    LargeStaticTextCtl& GetLargeTitle() { return largeTitle; }
    ImageBtn* GetImageButton() const { return imageBtn; }
    // The factor the wizard was enlarged by for the screen's DPI, in
    // hundredths (100: not enlarged).
    int GetDpiEnlargement() const { return dpiPercent; }
    // The size a window of cx x cy takes at dpi (between 97 and 112 DPI;
    // other values keep it). Never overflows.
    static SIZE EnlargeForDpi(int cx, int cy, int dpiX, int dpiY);

protected:
    // Cancel from a middle step asks first; 1 to go on closing.
    int ConfirmCancel();

    LargeStaticTextCtl largeTitle;
    ZnIconForDlg icons;
    ImageBtnDescriptor imageDescriptor;
    int hasImageDescriptor;
    ImageBtn* imageBtn;
    int resizable;
    unsigned int iconId;
    unsigned int captionId;
    unsigned int cancelConfirmId;
    unsigned int imageBtnId;
    int hasHelp;
    int hasCancel;
    int hasOK;
    int dpiPercent;
};
