// TBIcon: a product module's icon in the taskbar's notification area, with
// its tooltip, an optional balloon and an optional second icon it blinks
// with. The object owns a hidden window that receives the shell's
// notifications and turns them into virtual handlers, adds the icon again
// when the shell restarts, and closes itself when another module of the
// product asks the product's modules to shut down.
//
// Everything belongs to the thread that owns the hidden window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "base/Owners.h"
#include "base/PVDLLApi.h"
#include "ui/window/ZnTimer.h"
#include "ui/window/ZnWnd.h"

// The version of a system DLL as its DllGetVersion reports it, major and
// minor packed as 0xMMmm; 0x0400 when the DLL or the function is missing.
PVDLL_API unsigned GetVerDll(const wchar_t* dll);

class PVDLL_API TBIcon : public ZnWnd {
public:
    // The callback message of the icon, and what the shell's notifications
    // become once translated (posted to the own window).
    enum : UINT {
        msgCallback = WM_USER + 1,
        msgLeftClick = WM_USER + 2,
        msgDoubleClick,
        msgRightClick,
        msgBalloonShow,
        msgBalloonHide,
        msgBalloonTimeout,
        msgBalloonClick,
        msgMouseMove,
    };
    // Apart from each other and from ZnWnd's delayed action (1), so that
    // no timer ever stops another.
    enum : UINT_PTR { blinkTimerId = 0x5442, balloonTimerId = 0x5443 };

    TBIcon();
    // Removes an icon still shown, frees both icons and stops both timers;
    // the window is not destroyed (as with ZnWnd).
    ~TBIcon() override;

    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // 0 keeps ShowIcon(1) from adding the icon.
    virtual int ShouldShowIcon();
    // The company message, before the shut-down request is looked at.
    // Non-zero: handled, and *result is the answer.
    virtual int OnMyCompanyMessage(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void OnLeftClick();
    virtual void OnDoubleClick();
    virtual void OnRightClick();
    virtual void OnBaloonShow();
    virtual void OnBaloonHide();
    virtual void OnBaloonTimeout();
    virtual void OnBaloonClick();
    virtual void OnMouseMove();
    // WM_CREATE of the hidden window.
    virtual void OnCreateWnd();
    // WM_DESTROY of the hidden window: the default removes the icon.
    virtual void OnDestroyWnd();

    // Creates the hidden window, of a class already registered in the
    // library's module (ZnWnd::RegisterClassExW). 0 on failure.
    int CreateWnd(const wchar_t* className);
    // Asks the own window, or else the first top-level window of
    // className, to close (posted WM_CLOSE).
    void DestroyWnd(const wchar_t* className);

    // Loads the icons at the small-icon size: a negative id (cast to
    // unsigned) names one of the library, a positive one one of the current
    // product module (of the library when none is registered). A blinkIconId
    // of 0 drops the blink icon. The icons are the object's.
    void SetIcon(unsigned iconId, unsigned blinkIconId, unsigned long blinkMs);
    // The handle stays the caller's and must live while it is shown; an
    // icon the object had loaded is freed.
    void SetIcon(HICON icon);
    // Texts longer than the shell's fields are cut, always terminated.
    void SetTip(const wchar_t* format, ...);
    // seconds: how long the balloon stays before the object empties it
    // itself (0: only the shell's own time-out).
    void SetBalloon(const wchar_t* title, unsigned long infoFlags, unsigned seconds, const wchar_t* format, ...);
    void HideBalloon(int update);
    void EnableBaloon(int enable);
    // Sends the record to the shell when the icon is shown.
    BOOL UpdateIcon();
    BOOL SetFocus();
    int IsIconShown() const { return shown; }
    // Adds (show non-zero) or removes the icon; the shown flag after.
    int ShowIcon(int show);
    void Blink(int on);
    void DoBlink();

    // RegisterWindowMessageW("TaskbarCreated"), set by the constructor.
    static UINT uMsgTaskbarCreated;

protected:
    NOTIFYICONDATAW nid;
    int shown;
    ZnTimer blinkTimer;
    ZnTimer balloonTimer;
    // What phase 0 shows: the loaded main icon or the caller's handle.
    HICON mainIcon;
    IconHandle loadedMainIcon;
    SIZE iconSize;
    // A blink icon was asked for (its handle may be null when the resource
    // is missing: the shell then shows an empty slot).
    int hasBlinkIcon;
    IconHandle blinkIcon;
    SIZE blinkIconSize;
    int blinkPhase;
    unsigned long blinkInterval;

private:
    // Sends the record with the given flags in place of its own.
    BOOL Notify(DWORD message, UINT flags);
    BOOL Notify(DWORD message) { return Notify(message, nid.uFlags); }
    void ShowPhase(int phase);
    void StartBlinkTimer();
    // Starts the balloon's own time-out when a balloon is in the record.
    void StartBalloonTimer();
    void EmptyBalloon();
    // The icon is gone from the notification area.
    void Hidden();
    void RunHandler(UINT msg);
    HICON LoadTrayIcon(unsigned iconId);
};
