#include "progress/SysProgress.h"

#include <commctrl.h>
#include <shlguid.h>

#include <cwchar>

namespace {

void CopyText(wchar_t (&out)[SysProgress::textChars], const wchar_t* text)
{
    if (text == out)
        return;
    if (!text)
        text = L"";
    wcsncpy(out, text, SysProgress::textChars - 1);
    out[SysProgress::textChars - 1] = L'\0';
}

struct WindowSearch {
    const wchar_t* title;
    HWND skip;
    HWND found;
};

BOOL CALLBACK HasProgressBar(HWND child, LPARAM param)
{
    wchar_t name[32];
    if (GetClassNameW(child, name, 32) && lstrcmpiW(name, PROGRESS_CLASSW) == 0) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK LookAtWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (window == search->skip)
        return TRUE;
    // Only this process's windows: another program's dialog of the same
    // title is none of ours.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    wchar_t name[16];
    if (!GetClassNameW(window, name, 16) || lstrcmpW(name, L"#32770") != 0)
        return TRUE;
    wchar_t text[SysProgress::textChars];
    GetWindowTextW(window, text, SysProgress::textChars);
    if (lstrcmpW(text, search->title) != 0)
        return TRUE;
    bool hasBar = false;
    EnumChildWindows(window, HasProgressBar, reinterpret_cast<LPARAM>(&hasBar));
    if (!hasBar)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

SysProgress::SysProgress(HWND parentWnd, const wchar_t* titleText, unsigned startFlags, const wchar_t* cancelText)
    : found(nullptr),
      paused(0),
      stopped(0),
      comInitialized(0),
      parent(parentWnd),
      title{},
      cancelMsg{},
      lines{},
      flags(startFlags),
      done(0),
      total(0),
      done64(0),
      total64(0)
{
    if (parent == reinterpret_cast<HWND>(1))
        parent = FindWindowW(L"Progman", nullptr);
    CopyText(title, titleText);
    CopyText(cancelMsg, cancelText);
}

SysProgress::~SysProgress()
{
    Stop();
    if (comInitialized)
        CoUninitialize();
}

void SysProgress::Stop()
{
    stopped = 1;
    if (!dialog)
        return;
    if (HWND window = FindProgressWindow())
        ::ShowWindow(window, SW_HIDE);
    dialog->StopProgressDialog();
    dialog.Reset();
    found = nullptr;
}

void SysProgress::Show(BOOL show)
{
    if (!show) {
        Stop();
        return;
    }
    stopped = 0;
    if (!dialog) {
        HRESULT hr = CoCreateInstance(
            CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IProgressDialog, dialog.PutVoid());
        if (hr == CO_E_NOTINITIALIZED && !comInitialized) {
            if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
                comInitialized = 1;
                CoCreateInstance(
                    CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IProgressDialog, dialog.PutVoid());
            }
        }
    }
    if (!dialog)
        return;
    dialog->SetTitle(title);
    if (cancelMsg[0])
        dialog->SetCancelMsg(cancelMsg, nullptr);
    dialog->Timer(paused ? PDTIMER_PAUSE : PDTIMER_RESET, nullptr);
    for (unsigned line = 0; line < 3; ++line) {
        if (lines[line][0])
            dialog->SetLine(line + 1, lines[line], FALSE, nullptr);
    }
    if (done || total)
        dialog->SetProgress(done, total);
    if (done64 || total64)
        dialog->SetProgress64(done64, total64);
    dialog->StartProgressDialog(parent, nullptr, flags, nullptr);
}

void SysProgress::ShowWindow()
{
    if (HWND window = FindProgressWindow())
        ::ShowWindow(window, SW_SHOW);
    if (dialog)
        dialog->StartProgressDialog(parent, nullptr, flags, nullptr);
}

void SysProgress::HideWindow()
{
    if (HWND window = FindProgressWindow())
        ::ShowWindow(window, SW_HIDE);
    if (dialog)
        dialog->StopProgressDialog();
}

void SysProgress::SetLine(unsigned line, const wchar_t* text)
{
    if (line < 1 || line > 3)
        return;
    CopyText(lines[line - 1], text);
    if (dialog)
        dialog->SetLine(line, lines[line - 1], FALSE, nullptr);
}

void SysProgress::Update(unsigned doneNow, unsigned totalNow)
{
    done = doneNow;
    total = totalNow;
    if (dialog)
        dialog->SetProgress(done, total);
}

void SysProgress::Update64(unsigned __int64 doneNow, unsigned __int64 totalNow)
{
    done64 = doneNow;
    total64 = totalNow;
    if (dialog)
        dialog->SetProgress64(done64, total64);
}

void SysProgress::Pause(BOOL pause)
{
    int wanted = pause ? 1 : 0;
    if (wanted == paused)
        return;
    paused = wanted;
    if (dialog)
        dialog->Timer(paused ? PDTIMER_PAUSE : PDTIMER_RESUME, nullptr);
}

int SysProgress::IsCanceled()
{
    if (stopped)
        return 1;
    return dialog && dialog->HasUserCancelled() ? 1 : 0;
}

HWND SysProgress::FindProgressWindow()
{
    if (found && IsWindow(found))
        return found;
    WindowSearch search = {title, parent, nullptr};
    EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&search));
    found = search.found;
    return found;
}
