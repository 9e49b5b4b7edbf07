#include "common/TestSupport.h"

#include <gtest/gtest.h>

namespace {

thread_local ModalWatchdog* activeWatchdog = nullptr;

BOOL CALLBACK EndThreadDialog(HWND hwnd, LPARAM)
{
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0)
        EndDialog(hwnd, IDCANCEL);
    return TRUE;
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

ModalWatchdog::ModalWatchdog(UINT budgetMs)
{
    activeWatchdog = this;
    timer = SetTimer(nullptr, 0, budgetMs, OnTimer);
}

ModalWatchdog::~ModalWatchdog()
{
    KillTimer(nullptr, timer);
    activeWatchdog = nullptr;
}

void CALLBACK ModalWatchdog::OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (!activeWatchdog || activeWatchdog->fired)
        return;
    activeWatchdog->fired = true;
    ADD_FAILURE() << "watchdog: a modal loop did not end in time";
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), EndThreadDialog, 0);
    PostQuitMessage(1);
}

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    wchar_t name[64];
    wsprintfW(name, L"pvdll-test-%lu-%ld", GetCurrentProcessId(), InterlockedIncrement(&counter));
    path = std::wstring(temp) + name;
    RemoveTree(path);
    CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(path);
}
