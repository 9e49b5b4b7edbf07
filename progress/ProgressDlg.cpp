#include "progress/ProgressDlg.h"

#include <cstdint>
#include <new>
#include <utility>

#include "base/ProductInfo.h"
#include "progress/Progress.h"
#include "resources/resource.h"
#include "ui/dialogs/MsgBox.h"

MyWindowPlacement ProgressDlg::wpResizing;

namespace {

constexpr unsigned maxLines = 4;

// A string of this library, as the message boxes take it.
const wchar_t* LibraryText(int id)
{
    return reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(-id));
}

} // namespace

ProgressDlg::ProgressDlg()
    : moving(0),
      centerWnd(nullptr),
      canCancel(TRUE),
      thread(nullptr),
      linesCount(maxLines),
      userCancelled(0),
      confirming(0),
      closeWhileConfirming(0),
      lineIds{IDC_PROGRESS_LINE1, IDC_PROGRESS_LINE2, IDC_PROGRESS_LINE3, IDC_PROGRESS_LINE4},
      ticker(nullptr),
      barPosted(0),
      barDone(0)
{
    // Each bound and position travels whole in one message parameter.
    static_assert(sizeof(WPARAM) == sizeof(__int64) && sizeof(LPARAM) == sizeof(__int64));
}

ProgressDlg::~ProgressDlg()
{
    delete std::exchange(ticker, nullptr);
}

void ProgressDlg::Setup(ProgressThread* owningThread, HWND centerOn, unsigned lines, BOOL cancelAllowed)
{
    thread = owningThread;
    centerWnd = centerOn;
    SetLinesCount(lines);
    canCancel = cancelAllowed;
}

HWND ProgressDlg::GetLiveHWND() const
{
    HWND window = hWnd;
    return window && IsWindow(window) ? window : nullptr;
}

void ProgressDlg::SetTitle(const wchar_t* title)
{
    if (HWND window = GetLiveHWND())
        SetWindowTextW(window, title ? title : L"");
}

void ProgressDlg::SetText(int line, const wchar_t* text)
{
    if (line < 0 || static_cast<unsigned>(line) >= linesCount || !GetLiveHWND())
        return;
    progressCtrl.SetText(line, text ? text : L"");
}

int ProgressDlg::PostBar(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND window = GetLiveHWND();
    InterlockedIncrement(&barPosted);
    if (window && PostMessageW(window, msg, wParam, lParam))
        return 1;
    InterlockedDecrement(&barPosted);
    return 0;
}

void ProgressDlg::SetRange(int lower, int upper)
{
    PostBar(msgSetRange, static_cast<WPARAM>(static_cast<__int64>(lower)), static_cast<LPARAM>(upper));
}

void ProgressDlg::SetRange64(__int64 lower, __int64 upper)
{
    PostBar(msgSetRange64, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void ProgressDlg::SetPos(int pos)
{
    SetPos64(pos);
}

void ProgressDlg::SetPos64(__int64 pos)
{
    PostBar(msgSetPos, 0, static_cast<LPARAM>(pos));
}

int ProgressDlg::StepIt()
{
    return PostBar(msgStep, 0, 0);
}

int ProgressDlg::Settle(unsigned timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (InterlockedCompareExchange(&barDone, 0, 0) >= InterlockedCompareExchange(&barPosted, 0, 0))
            return 1;
        if (!GetLiveHWND() || GetTickCount() - start >= timeoutMs)
            return 0;
        Sleep(1);
    }
}

void ProgressDlg::SetLinesCount(unsigned count)
{
    if (!hWnd)
        linesCount = count == 0 || count > maxLines ? maxLines : count;
}

void ProgressDlg::EnableTicker(unsigned intervalMs, unsigned maxTicks, unsigned* ticksOut)
{
    if (!GetLiveHWND())
        return;
    delete std::exchange(ticker, nullptr);
    ticker = new (std::nothrow) ProgressTicker(GetDlgItem(IDC_PROGRESS_BAR), intervalMs, maxTicks, FALSE, ticksOut);
}

void ProgressDlg::PauseTicker(BOOL pause)
{
    if (ticker)
        ticker->Pause(pause);
}

void ProgressDlg::BringToTop()
{
    if (GetLiveHWND() && !moving)
        SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

void ProgressDlg::BringToTopHere()
{
    if (!hWnd || moving)
        return;
    SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(hWnd);
}

LRESULT ProgressDlg::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    EnableResizing(flagResizable, &wpResizing);
    ZnDlg::OnInitDialog(wParam, lParam);
    icons.Init(hWnd, GetMyProductInfo()->GetIconID(), 1);
    if (centerWnd)
        CenterWindow(centerWnd);
    SetForegroundWindow(hWnd);

    progressCtrl.Init(this, IDC_PROGRESS_BAR, 0, 1, 0);
    progressCtrl.SetupLines(lineIds[0], lineIds[1], lineIds[2], lineIds[3]);
    userCancelled = 0;
    progressCtrl.EnableTaskbarProgress(hWnd);

    LRESULT focusDefault = TRUE;
    if (canCancel) {
        SetDlgItemFocus(IDCANCEL);
        focusDefault = FALSE;
    } else {
        EnableDlgItem(IDCANCEL, 0);
    }

    if (thread) {
        // Registered first, asked second: a close requested in between is
        // seen here, one requested later finds the window (Progress::Close).
        thread->OnDlgUp(this);
        if (thread->IsCloseRequested())
            PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        thread->SetDlgReady();
    }
    return focusDefault;
}

LRESULT ProgressDlg::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case msgStep:
        if (progressCtrl.StepIt())
            BringToTopHere();
        InterlockedIncrement(&barDone);
        return 1;
    case msgSetPos:
        progressCtrl.SetPos64(static_cast<__int64>(lParam));
        BringToTopHere();
        InterlockedIncrement(&barDone);
        return 1;
    case msgSetRange:
        progressCtrl.Setup64(static_cast<__int64>(wParam), static_cast<__int64>(lParam), 0);
        InterlockedIncrement(&barDone);
        return 1;
    case msgSetRange64:
        progressCtrl.SetRange64(static_cast<__int64>(wParam), static_cast<__int64>(lParam));
        InterlockedIncrement(&barDone);
        return 1;
    case WM_ENTERSIZEMOVE:
        InterlockedExchange(&moving, 1);
        break;
    case WM_EXITSIZEMOVE:
        InterlockedExchange(&moving, 0);
        break;
    case WM_DESTROY:
        // The taskbar object belongs to this thread's apartment.
        progressCtrl.EnableTaskbarProgress(nullptr);
        break;
    default:
        break;
    }
    return ZnDlg::OnDlgMessage(msg, wParam, lParam);
}

LRESULT ProgressDlg::OnOK()
{
    if (confirming) {
        // The worker closes while the user is being asked: the question is
        // moot; the dialog ends once the box is gone (see OnCancel).
        InterlockedExchange(&closeWhileConfirming, 1);
        HWND box = MsgExGetOpenBox();
        if (box && GetWindowThreadProcessId(box, nullptr) == GetCurrentThreadId())
            PostMessageW(box, WM_CLOSE, 0, 0);
        return 1;
    }
    return ZnDlg::OnOK();
}

LRESULT ProgressDlg::OnCancel()
{
    if (!canCancel || confirming)
        return 1;
    InterlockedExchange(&confirming, 1);
    int answer = MsgEx(hWnd, MB_YESNO | MB_ICONQUESTION, LibraryText(IDS_CONFIRM_CANCEL));
    InterlockedExchange(&confirming, 0);
    if (closeWhileConfirming)
        return ZnDlg::OnOK();
    if (answer != IDYES)
        return 1;
    userCancelled = 1;
    return ZnDlg::OnCancel();
}

void ProgressDlg::ShiftItem(int id, int dx, int dy, int dcx, int dcy)
{
    HWND item = GetDlgItem(id);
    RECT rect;
    if (!item || !GetDlgItemRect(id, &rect))
        return;
    // The style, not IsWindowVisible: the dialog itself is hidden while it
    // is being set up.
    const bool visible = (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible)
        ShowWindow(item, SW_HIDE);
    SetWindowPos(item, nullptr, rect.left + dx, rect.top + dy, rect.right - rect.left + dcx,
        rect.bottom - rect.top + dcy, SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : 0));
}

void ProgressDlg::OnResize(int dx, int dy)
{
    for (unsigned id : lineIds)
        ShiftItem(static_cast<int>(id), 0, 0, dx, 0);
    ShiftItem(IDC_PROGRESS_BAR, 0, dy, dx, 0);
    ShiftItem(IDCANCEL, dx, dy, 0, 0);
    ShiftItem(IDC_PROGRESS_FRAME, 0, 0, dx, dy);
}

void ProgressDlg::OnInitRect(RECT& rect)
{
    int total = 0;
    for (unsigned line = maxLines - 1; line >= linesCount && line > 0; --line) {
        RECT self;
        RECT above;
        if (GetDlgItemRect(static_cast<int>(lineIds[line]), &self)
            && GetDlgItemRect(static_cast<int>(lineIds[line - 1]), &above))
            total += self.bottom - above.bottom;
        HideDlgItem(static_cast<int>(lineIds[line]));
    }
    if (total) {
        OnResize(0, -total);
        rect.bottom -= total;
    }
}
