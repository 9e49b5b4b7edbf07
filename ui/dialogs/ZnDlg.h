// ZnDlg: a dialog made from a resource template, as an object with virtual
// handlers. The object binds itself to the dialog window while the window
// is being created, routes every dialog message through a chain of
// message hooks to its virtual operations, and adds what the framework's
// dialogs share: resizing with a minimum size and a grip, dragging by the
// body, skins, alignment on the owner, delayed actions, tooltips, context
// help, single-instance activation and a remembered position.
//
// ZnDlgMain is an application's main dialog, ZnDlgChild a dialog shown
// inside another one (the base of pages).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "base/ZnList.h"
#include "ui/window/FullWndDragger.h"
#include "ui/window/ZnCtrl.h"
#include "ui/window/ZnTimer.h"
#include "ui/window/ZnWnd.h"

class ZnDlg;
class ZnDlgSkin;

// The hook every dialog owns, last in its chain: it turns dialog messages
// into the dialog's virtual operations.
class PVDLL_API ZnDlgMsgHandler : public WMHook {
public:
    int OnWndMessage(ZnWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    int OnDlgMessage(ZnDlg* dlg, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// A group of controls (ids first...last) that can be hidden, the controls
// from nextId on moving up by its measured height.
struct ZnCtrlGroup {
    UINT firstId;
    UINT lastId;
    UINT nextId;
    int height;
};

class PVDLL_API ZnDlg : public ZnWnd {
public:
    enum Flags : unsigned long {
        flagResizeX = 0x1,
        flagResizeY = 0x2,
        flagResizable = 0x3,           // both: resizable, the template size the minimum
        flagNoGrip = 0x4,
        flagNoHideOnInit = 0x8,        // not hidden and shown around the first placement
        flagFixWidth = 0x10,
        flagFixHeight = 0x20,
        flagFixFirstSize = 0x30,       // both: the first non-empty size stays
        flagResizeAllBorders = 0x100,
        flagSkinSizeLoops = 0x200,     // the skin hears of move and size loops
        flagTopmostUntilActive = 0x400,
        flagNeverMaximize = 0x800,
        flagNoDragArrow = 0x40000000,  // no arrow cursor over the draggable body
        flagCreateHidden = 0x80000000,
    };
    enum Alignment { alignNone = 0, alignCenter = 1, alignCascade = 2, alignMouse = 3 };
    // The codes of the company message a dialog answers (see
    // threads/InstanceActivation.h for 3, 4 and 121).
    enum CompanyCode { codeActivateIfId = 3, codeActivate = 4, codeHelpRequest = 100, codeIsTemplate = 121 };
    // The thread message that ends a ModelessWithLoop loop.
    static constexpr UINT msgEndOwnLoop = WM_USER + 10;

    // The record a help request (code 100) carries.
    struct HelpRequest {
        unsigned int helpId;
        const wchar_t* page;
    };
    struct ResizeData {
        RECT rect;        // current window rectangle
        SIZE size;        // current size
        SIZE previous;    // size before the last change
        SIZE minimum;     // the template size
    };

    explicit ZnDlg(ZnDlgSkin* skin = nullptr);
    ~ZnDlg() override;

    // --- ZnWnd ---
    // "ZnDlg" and "ZnWnd".
    int IsKindOf(const wchar_t* className) override;
    void PreInit() override;
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPostNcDestroy() override;
    void OnActivate(int active) override;
    void OnEnable(int enabled) override;
    void OnSystemSettingChange(WPARAM wParam, LPARAM lParam) override;

    // --- virtual operations with their defaults ---
    // With flagNeverMaximize, WS_MAXIMIZE leaves the style.
    virtual void OnPreCreate(CREATESTRUCTW* create);
    virtual int UpdateControls();
    // Marks the data updated.
    virtual int UpdateData();
    virtual LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    // The first show measures the control groups and updates the controls.
    virtual void OnShowWindow(int show, unsigned long status);
    // The control first, then tooltip texts.
    virtual LRESULT OnNotify(int id, NMHDR* header);
    // The hook chain, newest hook first; stores DWLP_MSGRESULT.
    virtual LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Non-zero when handled (*result is the answer).
    virtual int OnMyCompanyMsg(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void OnHelp(HELPINFO* info);
    virtual LRESULT OnOK();
    virtual LRESULT OnCancel();
    virtual LRESULT OnCommand(unsigned short id, unsigned short code, HWND control);
    // Non-zero swallows the command.
    virtual int OnSysCommand(unsigned short command, unsigned short x, unsigned short y);
    virtual int OnStyleChanging(int which, STYLESTRUCT* style);
    virtual void OnButtonClicked(unsigned short id);
    virtual void OnComboSelChanged(unsigned short id);
    virtual void OnDeleteItem(unsigned int id, void* item);
    // Non-zero with *brush set when answered.
    virtual int OnCtlColor(unsigned int msg, HDC dc, HWND control, HBRUSH* brush);
    // Tooltip texts: non-zero when one was given.
    virtual int GetTootTip(unsigned int id, wchar_t* buffer, unsigned int size);
    virtual int GetTootTip(unsigned int id, HINSTANCE& module, unsigned short& stringId);
    virtual const wchar_t* GetHtmlPage(unsigned int helpId);
    virtual void OnHtmlHelpError(const wchar_t* page);
    // 0 keeps the dialog open.
    virtual int CanClose(int code);
    virtual void DoClose(int code);
    virtual void OnResize(int dx, int dy);
    // The drag hook, the skin, topmost with flagTopmostUntilActive.
    virtual void OnInitDone();
    virtual void OnInitRect(RECT& rect);
    virtual void OnWindowPosChanging(WINDOWPOS* pos);
    virtual void OnWindowPosChanged(WINDOWPOS* pos);
    virtual void OnMouseMove(WPARAM keys, int x, int y);
    virtual void EnsureDlgItemVisible(HWND control);
    virtual void OnDelayedAction(unsigned long action);
    virtual void DrawSkin(HDC dc);
    virtual void OnFirstSkinStretch(ZnDlgSkin* skin);
    virtual void OnDrawSkin(ZnDlgSkin* skin, HDC dc);

    // --- creation and life ---
    // A negative id, or a null module, means this library's template with
    // the absolute id. Returns the code the dialog closed with, -1 when it
    // could not be made.
    LRESULT Modal(int templateId, HINSTANCE module, HWND parent);
    // Null when the dialog cannot be made.
    HWND Modeless(int templateId, HINSTANCE module, HWND parent, int show);
    // Modeless and shown, then a message loop of its own until this dialog
    // is gone; disables the owner meanwhile when asked. Returns the code
    // the dialog closed with, -1 when it could not be made.
    int ModelessWithLoop(int disableOwner, int templateId, HINSTANCE module, HWND parent, HWND* created = nullptr);
    // Modeless from a template in memory; 0 when it cannot be made.
    int CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent);
    // Binds the object pending on this thread to window.
    static void SubclassDlg(HWND window);
    // The dialog procedure of every framework dialog.
    static INT_PTR CALLBACK ModalProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    // Counts users of this thread's creation hook.
    static void SetDlgHook(int on);
    // Asks the last initialised dialog to come forward; 0 when there is none.
    static int ActivateActiveDlg();
    // The dialog being created on this thread, until its window binds it.
    static ZnDlg* GetPendingDlg();

    // Closes with code; the controls' OnOK runs when okControls is non-zero
    // (-1: unless code is IDCANCEL). 0 when the dialog stays open.
    int CloseDialog(int code, int okControls = -1);
    void EndDialog(int code);

    // --- the hook chain (the hook added last is asked first) ---
    void AddDlgHook(WMHook* hook);
    // Removal during a walk of the chain takes effect when the walk ends.
    void RemoveDlgHook(WMHook* hook);
    void RemoveAllDlgHooks();
    // Runs the chain from the hook after `after` (null: from the newest).
    LRESULT DoDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam, WMHook* after);

    // A one-shot OnDelayedAction(action) after delayMs; 0 cancels. The
    // dialog has one such slot: arming it again replaces what was pending.
    int DelayAction(unsigned long action, unsigned long delayMs);
    // A one-shot OnDelayedAction(action) after delayMs that leaves every
    // other pending action alone, so that two parts of a dialog may each
    // wait for their own moment. Queuing an action again moves its time;
    // a delay of 0 takes only that action back. 0 when the dialog already
    // waits for as many actions as it keeps (queuedActionSlots).
    int QueueAction(unsigned long action, unsigned long delayMs);
    int IsActionQueued(unsigned long action) const;
    enum : int { queuedActionSlots = 6 };

    // --- resizing, dragging, colours, placement ---
    // placement (may be null) receives the window placement when the
    // dialog closes and gives the first one.
    void EnableResizing(unsigned long flags, MyWindowPlacement* placement = nullptr);
    void DisableResizing();
    void StoreResizingInfo();
    void Resize();
    const ResizeData& GetResizeData() const { return sizes; }
    void EnableFullDrag(int on);
    int IsFullDrag() const { return dragger != nullptr; }
    // 0xFFFFFFFF as background: no brush of its own.
    void SetDlgColors(unsigned long background, unsigned long text, unsigned long third);
    void SetAlignment(int mode) { alignment = mode; }
    void AlignDlg();
    void CenterWindow(HWND reference);
    void CascadeWindow(HWND reference);
    void SetFlags(unsigned long mask, int on);
    // All bits of mask set.
    int IsFlag(unsigned long mask) const { return (flags & mask) == mask; }
    unsigned long GetFlags() const { return flags; }
    void SetHelpID(unsigned int id) { helpId = id; }

    // --- state ---
    int IsInitialized() const { return initialized; }
    int IsClosing() const { return closing; }
    int IsClosed() const { return closed; }
    int WereControlsUpdated() const { return controlsUpdated; }
    int IsValid() const { return initialized && !closed && controlsUpdated; }
    int IsSkinSet() const;
    int IsChildDlg() const { return childDlg; }
    int IsModeless() const { return modeless; }
    LRESULT GetResult() const { return result; }
    int GetTemplateID() const { return templateId; }
    // The id this dialog is single by across processes; 0 when it has none.
    unsigned short GetInstanceId() const { return singleInstanceId; }
    HINSTANCE GetModule() const { return module; }
    ZnDlgSkin* GetSkin() const { return skin; }
    // The skin this dialog shows on: its own, or the one of the dialog
    // that shows it (a child dialog).
    ZnDlgSkin* GetDisplaySkin() const;
    HWND GetParentWnd() const { return parentWnd; }
    COLORREF GetBkgColor() const { return bkgColor; }
    COLORREF GetTextColor() const { return textColor; }
    COLORREF GetThirdColor() const { return thirdColor; }
    // SetDlgColors gave the dialog a background of its own.
    int HasOwnColors() const { return bkgBrush ? 1 : 0; }

    // --- controls (thin wrappers over the child with the id) ---
    HWND GetDlgItem(int id) const;
    LRESULT SendDlgItemMsg(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // The control object attached to the child, or null.
    ZnCtrl* GetDlgCtrl(int id) const;
    static ZnCtrl* GetDlgCtrl(HWND control);
    // -1 for IDC_STATIC (0xFFFF) and for a window without id.
    static int GetDlgItemID(HWND control);
    void SetDlgDefaulButton(int id);
    void EnableDlgItem(int id, int enable);
    void ShowDlgItem(int id, int show);
    // Disabled and hidden.
    void HideDlgItem(int id);
    // Enabled and shown, or disabled and hidden.
    void TurnDlgItem(int id, int on);
    // Posts BN_CLICKED of id.
    void SimulateButton(int id);
    int IsDlgItemEnabled(int id) const;
    int IsDlgItemVisible(int id) const;
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int check);
    void CheckRadioButton(int first, int last, int checked);
    // The checked one of first...last, 0 when none is.
    int GetCheckedRadioButton(int first, int last) const;
    int GetDlgItemTextLength(int id) const;
    int GetDlgItemTextW(int id, wchar_t* buffer, int count) const;
    BOOL SetDlgItemTextW(int id, const wchar_t* text);
    // A string resource of module (null: this library).
    BOOL SetDlgItemTextW(int id, int stringId, HINSTANCE module = nullptr);
    BOOL SetDlgItemTextFmt(int id, const wchar_t* format, ...);
    BOOL SetDlgItemTextFmt(int id, int stringId, ...);
    BOOL SetDlgItemTextFmt(int id, HINSTANCE module, int stringId, ...);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, int isSigned = 0) const;
    BOOL SetDlgItemInt(int id, UINT value, int isSigned = 0);
    void SetSpinRange(int id, int low, int high);
    // Client coordinates of the dialog.
    int GetDlgItemRect(int id, RECT* rect) const;
    HWND GetNextDlgTabItem(HWND control) const;
    HWND GetPrevDlgTabItem(HWND control) const;
    void NextDlgCtrl();
    void PrevDlgCtrl();
    void SetDlgItemFocus(int id);
    void MoveCtrl(int id, int dx, int dy);
    void ResizeCtrl(int id, int dcx, int dcy);
    void MoveResizeCtrl(int id, int dx, int dy, int dcx, int dcy);
    // To the position (and size) of the control slotId.
    void MoveCtrlToSlot(int id, int slotId);
    void MoveResizeCtrlToSlot(int id, int slotId);
    // As MoveCtrlToSlot, keeping the button's own width right-aligned.
    void MoveButtonToSlot(int id, int slotId);
    // Moves one edge (0 left, 1 top, 2 right, 3 bottom) by delta.
    void MoveCtrlEdge(int id, int edge, int delta);
    // Centres the control horizontally in the dialog.
    void CenterCtrl(int id);
    // Centres the control horizontally over reference.
    void CenterDlgItem(int id, int reference);
    // Lines up the left edges of first...last with the first one.
    void AlignDlgItems(int first, int last);
    void EnableDlgItems(int first, int last, int enable);
    void ShowDlgItems(int first, int last, int show);
    // A group of controls first...last; the controls from nextId on
    // follow it up and down.
    void AddCtrlGroup(UINT firstId, UINT lastId, UINT nextId);
    ZnCtrlGroup* FindCtrlGroup(UINT firstId);
    void ShowCtrlGroup(UINT firstId, int show);
    // Grows or shrinks the dialog by dy.
    void AdjustHeight(int dy);
    // Paints the dialog's background under the control.
    void EraseCtrlBkg(HDC dc, HWND control);
    void ValidateDlgItem(int id);
    void RedrawAllControls();
    // Moves a navigation button (Back/Next) by dx when the other is hidden.
    void ShiftNavButton(int id, int dx);

protected:
    friend class ZnDlgMsgHandler;
    friend class ZnDlgSkin;

    void PostInitDialog();
    // A dialog that must stay single across processes gives the id it is
    // known by: the built-in handler then answers the company message's
    // question for that id (code 121) instead of for the template id, and
    // comes forward when asked for it (code 3). 0 takes the id away.
    void SetInstanceId(unsigned short id) { singleInstanceId = id; }
    // OK, Cancel and CloseDialog share it.
    int Close(int code, int updateData, int okControls);
    void FillPlacement();

    // Creation state.
    int modeless;
    int runOwnLoop;
    int alignment;
    LRESULT result;
    HINSTANCE module;
    int templateId;
    unsigned int helpId;
    unsigned short singleInstanceId;

    // Marks.
    int controlsUpdated;
    int childDlg;
    int updatingControls;
    int firstShowDone;
    int initialized;
    int closing;
    int closed;
    int dataUpdated;

    ZnDlgSkin* skin;
    FullWndDragger* dragger;
    // A drag hook taken off: kept, since it may be on the stack of the
    // message that took it off.
    FullWndDragger* spareDragger;
    HWND parentWnd;
    ZnDlgMsgHandler handler;
    MyWindowPlacement* placement;
    ResizeData sizes;
    unsigned long flags;

    ZnList dlgHooks;
    int dispatchDepth;
    int removeDlgHooksPending;

    ZnList ctrlGroups;

    COLORREF bkgColor;
    COLORREF textColor;
    COLORREF thirdColor;
    BrushHandle bkgBrush;

    ZnTimer delayTimer;
    unsigned long pendingAction;
    // One timer per queued action; an empty slot's action is 0.
    ZnTimer queuedTimers[queuedActionSlots];
    unsigned long queuedActions[queuedActionSlots];
};

// An application's main dialog: an About item in the system menu, the
// application's icons, the position kept in the registry.
class PVDLL_API ZnDlgMain : public ZnDlg {
public:
    ZnDlgMain(HINSTANCE module, int iconId, ZnDlgSkin* skin = nullptr);
    ~ZnDlgMain() override;

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnAbout();

    // Nothing when a placement record is set.
    void StorePosition();
    void RestorePosition();

protected:
    IconHandle bigIcon;
    IconHandle smallIcon;
};

// A dialog shown inside another dialog, over a placeholder control.
class PVDLL_API ZnDlgChild : public ZnDlg {
public:
    explicit ZnDlgChild(ZnDlgSkin* skin = nullptr);

    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    // A child never closes by itself: both return 1 and do nothing.
    LRESULT OnOK() override;
    LRESULT OnCancel() override;
    // Forwarded to the parent dialog.
    void OnButtonClicked(unsigned short id) override;
    void OnComboSelChanged(unsigned short id) override;
    // Made as a child of parent and laid over its control placeholderId.
    virtual int Init(ZnDlg* parent, unsigned int templateId, unsigned int placeholderId, HINSTANCE module,
                     int show);

    ZnDlg* GetParentDlg() const { return parentDlg; }

protected:
    ZnDlg* parentDlg;
};

// A dialog's two icons, freed with the object.
class PVDLL_API ZnIconForDlg {
public:
    ZnIconForDlg() = default;
    // A negative id: this library's icon; otherwise the application's.
    // small: also a small icon (else the large one serves for both).
    int Init(HWND dlg, int iconId, int small);
    int InitEx(HWND dlg, int iconId);
    operator HICON() const { return bigIcon.Get(); }
    HICON GetSmall() const { return smallIcon ? smallIcon.Get() : bigIcon.Get(); }

private:
    IconHandle bigIcon;
    SIZE bigSize = {};
    IconHandle smallIcon;
    SIZE smallSize = {};
};

// Remembered positions: prefix + "posLeft" / "posTop" (see WndFunctions.h).
