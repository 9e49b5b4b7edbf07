#include "ProgressSupport.h"

namespace {

struct WorkerJob {
    std::function<void()> body;
};

DWORD WINAPI RunJob(void* param)
{
    auto* job = static_cast<WorkerJob*>(param);
    job->body();
    delete job;
    return 0;
}

} // namespace

bool RunWorker(const std::function<void()>& body, DWORD budgetMs)
{
    auto* job = new WorkerJob{body};
    HANDLE thread = CreateThread(nullptr, 0, RunJob, job, 0, nullptr);
    if (!thread) {
        delete job;
        return false;
    }
    const DWORD start = GetTickCount();
    bool ended = false;
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= budgetMs)
            break;
        DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, budgetMs - spent, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    CloseHandle(thread);
    return ended;
}

ThreadGate::ThreadGate() : open(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    ProgressSeams::SetThreadStartHook(&Hold, this);
}

ThreadGate::~ThreadGate()
{
    ProgressSeams::SetThreadStartHook(nullptr, nullptr);
    SetEvent(open);
    // A thread may still be inside Hold: it reads nothing of ours after the
    // wait, but the handle must outlive its wait.
    NoThreadLeft();
    CloseHandle(open);
}

void ThreadGate::Hold(void* self)
{
    auto* gate = static_cast<ThreadGate*>(self);
    ++gate->reached;
    WaitForSingleObject(gate->open, 20000);
}

bool NoThreadLeft(DWORD timeoutMs)
{
    return PumpUntil([] { return ProgressSeams::ThreadsAlive() == 0; }, timeoutMs);
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[1100] = {};
    GetDlgItemTextW(dialog, id, text, 1100);
    return text;
}

bool ItemVisible(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item && (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE);
}

int BarPos(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_PROGRESS_DLG_BAR, PBM_GETPOS, 0, 0));
}

PBRANGE BarRange(HWND dialog)
{
    PBRANGE range = {};
    SendDlgItemMessageW(dialog, IDC_PROGRESS_DLG_BAR, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    return range;
}

int WindowHeight(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

RECT ItemRect(HWND dialog, int id)
{
    RECT rect = {};
    HWND item = GetDlgItem(dialog, id);
    GetWindowRect(item, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE FreshDialogSize(unsigned lines)
{
    SIZE size = {};
    ProgressDlg::wpResizing.length = 0;
    RunWorker([&] {
        Progress progress(nullptr, 0, 0, lines, TRUE);
        RECT rect = {};
        GetWindowRect(progress.GetDlgHWND(), &rect);
        size = {rect.right - rect.left, rect.bottom - rect.top};
    });
    ProgressDlg::wpResizing.length = 0;
    return size;
}
