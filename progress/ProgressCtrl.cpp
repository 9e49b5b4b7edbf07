#include "progress/ProgressCtrl.h"

#include "base/StrFormat.h"
#include "progress/internal/TaskbarProgress.h"
#include "threads/ZnThread.h"
#include "ui/dialogs/ZnDlg.h"

namespace {

// The bar's window while it exists: a bar that is gone must not hand back
// the 0 a failed message answers.
HWND LiveBar(const ZnProgressCtrl* ctrl)
{
    HWND bar = ctrl ? ctrl->GetHwnd() : nullptr;
    return bar && IsWindow(bar) ? bar : nullptr;
}

} // namespace

// --- ProgressExForCtrl ---------------------------------------------------

void ProgressExForCtrl::SetText(int line, const wchar_t* format, va_list args)
{
    if (ctrl)
        ctrl->SetText(line, format, args);
}

void ProgressExForCtrl::DoStepIt()
{
    if (HWND bar = LiveBar(ctrl)) {
        SendMessageW(bar, PBM_STEPIT, 0, 0);
        int shown = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
        if (shown >= lower && shown <= upper)
            pos = shown;
    }
    if (ctrl)
        ctrl->SetTaskbarValue(pos, lower, upper);
}

void ProgressExForCtrl::DoSetPos(int position)
{
    if (HWND bar = LiveBar(ctrl))
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    if (ctrl)
        ctrl->SetTaskbarValue(position, lower, upper);
}

void ProgressExForCtrl::DoSetRange(int lowerBound, int upperBound)
{
    // 32-bit range: PBM_SETRANGE would cut the bounds to 16 bits.
    if (HWND bar = LiveBar(ctrl)) {
        SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(lowerBound), static_cast<LPARAM>(upperBound));
        SendMessageW(bar, PBM_SETSTEP, 1, 0);
    }
    if (ctrl)
        ctrl->SetTaskbarState(TBPF_NORMAL);
}

void ProgressExForCtrl::ProcessAllMessages()
{
    ZnThread::ProcessAllMessages(nullptr);
}

// --- ZnProgressCtrl ------------------------------------------------------

ZnProgressCtrl::ZnProgressCtrl() : taskbarWnd(nullptr), lineIds{}
{
    progress.SetCtrl(this);
}

ZnProgressCtrl::~ZnProgressCtrl()
{
    EnableTaskbarProgress(nullptr);
}

int ZnProgressCtrl::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnProgressCtrl") == 0 || ZnCtrl::IsKindOf(className));
}

LRESULT ZnProgressCtrl::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ENABLE) {
        HWND dialog = dlg ? dlg->GetHwnd() : nullptr;
        for (unsigned lineId : lineIds) {
            if (lineId && dialog)
                EnableWindow(GetDlgItem(dialog, static_cast<int>(lineId)), wParam ? TRUE : FALSE);
        }
    }
    return ZnCtrl::OnWndMessage(msg, wParam, lParam);
}

int ZnProgressCtrl::Init(ZnDlg* dialog, unsigned controlId, int lowerBound, int upperBound, int position)
{
    int attached = ZnCtrl::Init(dialog, controlId);
    for (unsigned& lineId : lineIds)
        lineId = 0;
    progress.SetRange64(lowerBound, upperBound);
    progress.SetPos64(position);
    return attached;
}

void ZnProgressCtrl::SetupLines(unsigned id1, unsigned id2, unsigned id3, unsigned id4)
{
    lineIds[0] = id1;
    lineIds[1] = id2;
    lineIds[2] = id3;
    lineIds[3] = id4;
    for (int line = 0; line < lineCount; ++line)
        SetText(line, L"");
}

unsigned ZnProgressCtrl::GetLineId(int line) const
{
    return line >= 0 && line < lineCount ? lineIds[line] : 0;
}

void ZnProgressCtrl::SetText(int line, const wchar_t* text)
{
    unsigned lineId = GetLineId(line);
    HWND dialog = dlg ? dlg->GetHwnd() : nullptr;
    if (lineId && dialog)
        SetDlgItemTextW(dialog, static_cast<int>(lineId), text ? text : L"");
}

void ZnProgressCtrl::SetText(int line, const wchar_t* format, va_list args)
{
    wchar_t text[textLimit];
    StrFormatV(text, textLimit, format ? format : L"", args);
    SetText(line, text);
}

void ZnProgressCtrl::SetTextFmt(int line, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    SetText(line, format, args);
    va_end(args);
}

void ZnProgressCtrl::Pause(BOOL pause)
{
    progress.Pause(pause);
    if (HWND bar = LiveBar(this))
        SendMessageW(bar, PBM_SETSTATE, pause ? PBST_PAUSED : PBST_NORMAL, 0);
    SetTaskbarState(pause ? TBPF_PAUSED : TBPF_NORMAL);
}

void ZnProgressCtrl::DoMarquee(BOOL on, unsigned intervalMs)
{
    HWND bar = LiveBar(this);
    if (!bar)
        return;
    // The style first when turning on, last when turning off: the control
    // takes PBM_SETMARQUEE only while it has the style.
    LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
    if (on) {
        SetWindowLongPtrW(bar, GWL_STYLE, style | PBS_MARQUEE);
        SendMessageW(bar, PBM_SETMARQUEE, TRUE, static_cast<LPARAM>(intervalMs));
    } else {
        SendMessageW(bar, PBM_SETMARQUEE, FALSE, static_cast<LPARAM>(intervalMs));
        SetWindowLongPtrW(bar, GWL_STYLE, style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    }
}

void ZnProgressCtrl::EnableTaskbarProgress(HWND topLevel)
{
    if (taskbar) {
        taskbar->SetProgressState(taskbarWnd, TBPF_NOPROGRESS);
        taskbar.Reset();
    }
    taskbarWnd = nullptr;
    if (!topLevel || !HasTaskbarProgress())
        return;
    // Without the object (no shell, no COM on this thread) the taskbar
    // calls are skipped; the bar itself works the same.
    if (SUCCEEDED(CreateTaskbarList(taskbar)) && taskbar)
        taskbarWnd = topLevel;
    else
        taskbar.Reset();
}

void ZnProgressCtrl::SetTaskbarValue(int position, int lowerBound, int upperBound)
{
    if (!taskbar)
        return;
    // The button knows no lower bound: it is shown the way into the range.
    __int64 total = static_cast<__int64>(upperBound) - lowerBound;
    __int64 done = static_cast<__int64>(position) - lowerBound;
    if (total <= 0)
        total = 1;
    if (done < 0)
        done = 0;
    else if (done > total)
        done = total;
    taskbar->SetProgressValue(taskbarWnd, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total));
}

void ZnProgressCtrl::SetTaskbarState(TBPFLAG state)
{
    if (taskbar)
        taskbar->SetProgressState(taskbarWnd, state);
}
