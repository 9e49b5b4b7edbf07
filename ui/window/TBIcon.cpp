#include "ui/window/TBIcon.h"

#include <shlwapi.h>

#include <atomic>
#include <cstdarg>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "base/ScopeGuards.h"
#include "base/StrFormat.h"
#include "ui/window/internal/TrayNotify.h"

UINT TBIcon::uMsgTaskbarCreated = 0;

namespace {

// The shell reads only as much of the record as its version knows.
UINT NotifyRecordSize(unsigned shellVersion)
{
    if (shellVersion < 0x0500)
        return NOTIFYICONDATAW_V1_SIZE;
    if (shellVersion <= 0x0600)
        return NOTIFYICONDATAW_V2_SIZE;
    if (shellVersion == 0x0601)
        return NOTIFYICONDATAW_V3_SIZE;
    return sizeof(NOTIFYICONDATAW);
}

#ifdef _WIN64
static_assert(NOTIFYICONDATAW_V1_SIZE == 168 && NOTIFYICONDATAW_V2_SIZE == 952 && NOTIFYICONDATAW_V3_SIZE == 968
    && sizeof(NOTIFYICONDATAW) == 976);
#endif

// The shell's version cannot change while the process runs.
UINT CurrentRecordSize()
{
    static std::atomic<UINT> size{0};
    UINT known = size.load();
    if (!known) {
        known = NotifyRecordSize(GetVerDll(L"shell32.dll"));
        size.store(known);
    }
    return known;
}

// Shared by every tray icon of the process: a handler's menu or dialog
// stays the only one, whichever icon is clicked meanwhile. The window of
// the running handler is kept so that its popups, not those of the icon
// clicked, come forward.
std::atomic<int> handlerBusy{0};
std::atomic<HWND> handlerWnd{nullptr};

} // namespace

unsigned GetVerDll(const wchar_t* dll)
{
    const unsigned unknown = 0x0400;
    if (!dll || !*dll)
        return unknown;
    DLL_Loader loader(dll);
    auto getVersion = loader.Get<DLLGETVERSIONPROC>("DllGetVersion");
    if (!getVersion)
        return unknown;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    if (FAILED(getVersion(&info)))
        return unknown;
    DWORD major = info.dwMajorVersion > 0xFF ? 0xFF : info.dwMajorVersion;
    DWORD minor = info.dwMinorVersion > 0xFF ? 0xFF : info.dwMinorVersion;
    return static_cast<unsigned>(major << 8 | minor);
}

// --- lifetime --------------------------------------------------------------------------

TBIcon::TBIcon()
    : nid{},
      shown(0),
      blinkTimer(blinkTimerId),
      balloonTimer(balloonTimerId),
      mainIcon(nullptr),
      iconSize{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)},
      hasBlinkIcon(0),
      blinkIconSize{},
      blinkPhase(0),
      blinkInterval(0)
{
    nid.cbSize = CurrentRecordSize();
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE;
    nid.uCallbackMessage = msgCallback;
    if (!uMsgTaskbarCreated)
        uMsgTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
}

TBIcon::~TBIcon()
{
    // An icon left behind would point at a window no object answers for.
    if (shown)
        Notify(NIM_DELETE);
    shown = 0;
    blinkTimer.Stop();
    balloonTimer.Stop();
    blinkIcon.Reset();
    loadedMainIcon.Reset();
}

// --- default handlers ----------------------------------------------------------------

int TBIcon::ShouldShowIcon()
{
    return 1;
}

int TBIcon::OnMyCompanyMessage(WPARAM, LPARAM, LRESULT*)
{
    return 0;
}

void TBIcon::OnLeftClick()
{
}

void TBIcon::OnDoubleClick()
{
}

void TBIcon::OnRightClick()
{
}

void TBIcon::OnBaloonShow()
{
}

void TBIcon::OnBaloonHide()
{
}

void TBIcon::OnBaloonTimeout()
{
}

void TBIcon::OnBaloonClick()
{
}

void TBIcon::OnMouseMove()
{
}

void TBIcon::OnCreateWnd()
{
}

void TBIcon::OnDestroyWnd()
{
    ShowIcon(0);
}

// --- the hidden window ---------------------------------------------------------------

int TBIcon::CreateWnd(const wchar_t* className)
{
    int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    if (!CreateEx(0, className, L"", WS_POPUP, x, y, 1, 1, nullptr, nullptr, nullptr))
        return 0;
    nid.hWnd = hWnd;
    return 1;
}

void TBIcon::DestroyWnd(const wchar_t* className)
{
    if (IsReady()) {
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
        return;
    }
    if (!className)
        return;
    if (HWND other = FindWindowW(className, nullptr))
        PostMessageW(other, WM_CLOSE, 0, 0);
}

// --- the record ----------------------------------------------------------------------

HICON TBIcon::LoadTrayIcon(unsigned iconId)
{
    bool fromLibrary = static_cast<int>(iconId) < 0;
    unsigned id = fromLibrary ? 0u - iconId : iconId;
    if (id == 0 || id > 0xFFFF)
        return nullptr;
    HINSTANCE module = fromLibrary ? hiDLL : GetMyProductInfo()->GetAppInstance();
    return static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(static_cast<WORD>(id)), IMAGE_ICON, iconSize.cx, iconSize.cy, 0));
}

void TBIcon::SetIcon(unsigned iconId, unsigned blinkIconId, unsigned long blinkMs)
{
    loadedMainIcon.Reset(LoadTrayIcon(iconId));
    mainIcon = loadedMainIcon.Get();
    blinkIcon.Reset();
    hasBlinkIcon = blinkIconId != 0;
    if (hasBlinkIcon) {
        blinkIcon.Reset(LoadTrayIcon(blinkIconId));
        blinkIconSize = iconSize;
        blinkInterval = blinkMs;
    } else {
        blinkTimer.Stop();
    }
    blinkPhase = 0;
    nid.hIcon = mainIcon;
    nid.uFlags |= NIF_ICON;
}

void TBIcon::SetIcon(HICON icon)
{
    loadedMainIcon.Reset();
    mainIcon = icon;
    if (!blinkPhase)
        nid.hIcon = icon;
    nid.uFlags |= NIF_ICON;
}

void TBIcon::SetTip(const wchar_t* format, ...)
{
    // A shell that knows only the first record reads 64 characters of the
    // tip: a longer text would reach it unterminated.
    unsigned room = nid.cbSize < NOTIFYICONDATAW_V2_SIZE ? 64 : ARRAYSIZE(nid.szTip);
    va_list args;
    va_start(args, format);
    StrFormatV(nid.szTip, room, format ? format : L"", args);
    va_end(args);
    nid.uFlags |= NIF_TIP;
}

void TBIcon::SetBalloon(const wchar_t* title, unsigned long infoFlags, unsigned seconds, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    StrFormatV(nid.szInfo, ARRAYSIZE(nid.szInfo), format ? format : L"", args);
    va_end(args);
    StrFormat(nid.szInfoTitle, ARRAYSIZE(nid.szInfoTitle), L"%s", title ? title : L"");
    nid.dwInfoFlags = infoFlags;
    const unsigned maxSeconds = 0x7FFFFFFF / 1000;
    nid.uTimeout = (seconds > maxSeconds ? maxSeconds : seconds) * 1000;
    nid.uFlags |= NIF_INFO;
}

void TBIcon::EmptyBalloon()
{
    nid.szInfo[0] = 0;
    nid.szInfoTitle[0] = 0;
    nid.dwInfoFlags = 0;
    nid.uTimeout = 0;
}

void TBIcon::HideBalloon(int update)
{
    balloonTimer.Stop();
    EmptyBalloon();
    // The shell takes the balloon down only when told about the balloon,
    // even when balloons are disabled for the record.
    if (update && shown)
        Notify(NIM_MODIFY, nid.uFlags | NIF_INFO);
}

void TBIcon::EnableBaloon(int enable)
{
    if (enable)
        nid.uFlags |= NIF_INFO;
    else
        nid.uFlags &= ~NIF_INFO;
}

BOOL TBIcon::Notify(DWORD message, UINT flags)
{
    if (hWnd)
        nid.hWnd = hWnd;
    UINT own = nid.uFlags;
    nid.uFlags = flags;
    BOOL done = ShellNotify(message, &nid);
    nid.uFlags = own;
    // Whenever a balloon reaches the shell, its own time-out starts over.
    if (done && (message == NIM_ADD || message == NIM_MODIFY) && (flags & NIF_INFO))
        StartBalloonTimer();
    return done;
}

BOOL TBIcon::UpdateIcon()
{
    return shown ? Notify(NIM_MODIFY) : FALSE;
}

BOOL TBIcon::SetFocus()
{
    return shown ? Notify(NIM_SETFOCUS) : FALSE;
}

// --- showing and blinking ------------------------------------------------------------

int TBIcon::ShowIcon(int show)
{
    show = show ? 1 : 0;
    if (show == shown)
        return shown;
    if (show && !ShouldShowIcon())
        return shown;
    if (hWnd)
        nid.hWnd = hWnd;
    if (!show) {
        if (Notify(NIM_DELETE))
            Hidden();
        return shown;
    }
    // A refused add starts nothing: the next ShowIcon(1) tries again.
    if (!Notify(NIM_ADD))
        return shown;
    shown = 1;
    if (hasBlinkIcon) {
        ShowPhase(!blinkPhase);
        StartBlinkTimer();
    }
    return shown;
}

void TBIcon::Hidden()
{
    shown = 0;
    blinkTimer.Stop();
    balloonTimer.Stop();
    blinkPhase = 0;
    nid.hIcon = mainIcon;
}

void TBIcon::ShowPhase(int phase)
{
    blinkPhase = phase ? 1 : 0;
    nid.hIcon = blinkPhase ? blinkIcon.Get() : mainIcon;
    nid.uFlags |= NIF_ICON;
    // Only the icon: a balloon still in the record would pop up again at
    // every change.
    if (shown)
        Notify(NIM_MODIFY, NIF_ICON);
}

void TBIcon::StartBlinkTimer()
{
    if (hWnd)
        blinkTimer.Start(hWnd, blinkInterval, nullptr, blinkTimerId);
}

void TBIcon::StartBalloonTimer()
{
    if (hWnd && nid.szInfo[0] && nid.uTimeout)
        balloonTimer.Start(hWnd, nid.uTimeout, nullptr, balloonTimerId);
}

void TBIcon::Blink(int on)
{
    if (on) {
        if (!hasBlinkIcon || !shown)
            return;
        ShowPhase(!blinkPhase);
        StartBlinkTimer();
        return;
    }
    blinkTimer.Stop();
    if (blinkPhase)
        ShowPhase(0);
}

void TBIcon::DoBlink()
{
    if (!hasBlinkIcon && !blinkPhase)
        return;
    ShowPhase(!blinkPhase);
}

// --- messages --------------------------------------------------------------------------

void TBIcon::RunHandler(UINT msg)
{
    if (handlerBusy.exchange(1)) {
        // A handler's menu or dialog is still open: bring it forward rather
        // than open a second one.
        HWND running = handlerWnd.load();
        if (!running || !IsWindow(running))
            running = hWnd;
        HWND popup = GetLastActivePopup(running);
        SetForegroundWindow(popup ? popup : running);
        return;
    }
    handlerWnd.store(hWnd);
    switch (msg) {
    case msgLeftClick:
        OnLeftClick();
        break;
    case msgDoubleClick:
        OnDoubleClick();
        break;
    case msgRightClick:
        OnRightClick();
        break;
    case msgBalloonShow:
        OnBaloonShow();
        break;
    case msgBalloonHide:
        OnBaloonHide();
        break;
    case msgBalloonTimeout:
        OnBaloonTimeout();
        break;
    case msgBalloonClick:
        OnBaloonClick();
        break;
    default:
        OnMouseMove();
        break;
    }
    // The handler may have destroyed the window: nothing of it is touched.
    handlerWnd.store(nullptr);
    handlerBusy.store(0);
}

LRESULT TBIcon::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == GetCompanyMessage()) {
        LRESULT result = 0;
        if (OnMyCompanyMessage(wParam, lParam, &result))
            return result;
        if (wParam == 1 && LOWORD(lParam) == GetMyProductInfo()->GetID())
            DestroyWnd(nullptr);
    } else if (uMsgTaskbarCreated && msg == uMsgTaskbarCreated) {
        // The restarted shell holds no icon of ours, whatever the delete
        // answers; a hidden icon stays hidden.
        if (shown) {
            ShowIcon(0);
            Hidden();
            ShowIcon(1);
        }
    } else {
        switch (msg) {
        case msgCallback: {
            UINT posted = 0;
            switch (LOWORD(lParam)) {
            case WM_LBUTTONUP:
                posted = msgLeftClick;
                break;
            case WM_LBUTTONDBLCLK:
                posted = msgDoubleClick;
                break;
            case WM_RBUTTONUP:
                posted = msgRightClick;
                break;
            case NIN_BALLOONSHOW:
                posted = msgBalloonShow;
                break;
            case NIN_BALLOONHIDE:
                posted = msgBalloonHide;
                break;
            case NIN_BALLOONTIMEOUT:
                posted = msgBalloonTimeout;
                break;
            case NIN_BALLOONUSERCLICK:
                posted = msgBalloonClick;
                break;
            case WM_MOUSEMOVE:
                posted = msgMouseMove;
                break;
            default:
                break;
            }
            if (posted)
                PostMessageW(hWnd, posted, wParam, 0);
            break;
        }
        case msgLeftClick:
        case msgDoubleClick:
        case msgRightClick:
        case msgBalloonShow:
        case msgBalloonHide:
        case msgBalloonTimeout:
        case msgBalloonClick:
        case msgMouseMove:
            // Handled here alone: the handler may have destroyed the window.
            RunHandler(msg);
            return 0;
        case WM_TIMER:
            if (wParam == blinkTimerId && blinkTimer.IsTicking()) {
                DoBlink();
            } else if (wParam == balloonTimerId && balloonTimer.IsTicking()) {
                balloonTimer.Stop();
                EmptyBalloon();
                if (shown)
                    Notify(NIM_MODIFY, nid.uFlags | NIF_INFO);
            }
            break;
        case WM_CREATE:
            OnCreateWnd();
            break;
        case WM_DESTROY:
            OnDestroyWnd();
            // The window's timers end with it, whatever the icon did.
            blinkTimer.Stop();
            balloonTimer.Stop();
            break;
        case WM_CLOSE:
            Destroy();
            return 0;
        default:
            break;
        }
    }
    return ZnWnd::OnWndMessage(msg, wParam, lParam);
}
