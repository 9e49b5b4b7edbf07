#include "threads/InstanceActivation.h"

#include "base/ProductInfo.h"

namespace {

constexpr WPARAM askActivateIfId = 3;
constexpr WPARAM askActivate = 4;
constexpr WPARAM askIsId = 121;
constexpr UINT sendTimeoutMs = 1000;

// Zero when the receiver is hung, too slow or gone.
LRESULT SendGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* delivered = nullptr)
{
    DWORD_PTR reply = 0;
    bool ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, sendTimeoutMs, &reply) != 0;
    if (delivered)
        *delivered = ok;
    return ok ? static_cast<LRESULT>(reply) : 0;
}

struct Search {
    unsigned long id;
    HWND found;
};

BOOL CALLBACK AskToActivate(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    if (SendGuarded(window, GetCompanyMessage(), askActivateIfId, static_cast<LPARAM>(search->id)) != activationReply)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindPrevWnd(const wchar_t* className, const wchar_t* title, unsigned short id)
{
    for (HWND window = FindWindowExW(nullptr, nullptr, className, title); window;
         window = FindWindowExW(nullptr, window, className, title)) {
        if (!id || SendGuarded(window, GetCompanyMessage(), askIsId, id))
            return window;
    }
    return nullptr;
}

bool OwnedByThisThread(HWND window)
{
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

void RestoreIfMinimised(HWND window)
{
    if (!window || !IsIconic(window))
        return;
    // Another thread's window might be hung; do not wait for it.
    if (OwnedByThisThread(window))
        ShowWindow(window, SW_RESTORE);
    else
        ShowWindowAsync(window, SW_RESTORE);
}

void BringForward(HWND window)
{
    RestoreIfMinimised(window);
    DoAttachThreadInputActivateWindow(GetLastActivePopup(window));
}

} // namespace

HWND ActivatePreviousInstance(unsigned long id)
{
    Search search = {id, nullptr};
    EnumWindows(AskToActivate, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LRESULT OnActivatePreviousInstance(unsigned long id, HWND window, unsigned int message, WPARAM wParam, LPARAM lParam)
{
    if (message != GetCompanyMessage())
        return 0;
    bool forUs = (wParam == askActivateIfId && lParam == static_cast<LPARAM>(id)) || (wParam == askActivate && lParam == 0);
    if (!forUs)
        return 0;
    HWND top = GetAncestor(window, GA_ROOT);
    RestoreIfMinimised(window);
    if (top && top != window)
        RestoreIfMinimised(top);
    DoAttachThreadInputActivateWindow(GetLastActivePopup(top ? top : window));
    return activationReply;
}

int ActivatePrevWnd(const wchar_t* className, const wchar_t* title, unsigned short id)
{
    HWND window = FindPrevWnd(className, title, id);
    if (!window)
        return 0;
    if (SendGuarded(window, GetCompanyMessage(), askActivateIfId, id))
        return 1;
    BringForward(window);
    return 1;
}

int ClosePrevWnd(const wchar_t* className, const wchar_t* title, unsigned short id)
{
    HWND window = FindPrevWnd(className, title, id);
    if (!window)
        return 0;
    bool delivered = false;
    SendGuarded(window, WM_CLOSE, 0, 0, &delivered);
    return delivered;
}

int ActivatePrevDlg(unsigned short id)
{
    return ActivatePrevWnd(L"#32770", nullptr, id);
}

void DoAttachThreadInputActivateWindow(HWND window)
{
    if (!window)
        return;
    DWORD self = GetCurrentThreadId();
    HWND foreground = GetForegroundWindow();
    DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    // Windows lets only the foreground thread hand the foreground on; with
    // its input attached to ours, we count as that thread.
    bool attached = other && other != self && AttachThreadInput(other, self, TRUE);
    SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(other, self, FALSE);
}
