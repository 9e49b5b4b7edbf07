#include "threads/ProcessLaunch.h"

#include <shellapi.h>
#include <versionhelpers.h>

#include <cwchar>

#include "base/LibraryEntry.h"
#include "base/Owners.h"
#include "base/ScopeGuards.h"
#include "storage/Paths.h"
#include "threads/ZnThread.h"
#include "threads/internal/LaunchVerb.h"
#include "threads/internal/ShellLaunch.h"

namespace {

constexpr unsigned cchPath = MAX_PATH;
constexpr DWORD waitSliceMs = 200;

// The wait cursor for the length of a launch (the window layer's
// ZnWaitCursor lies above this layer).
class LaunchWaitCursor {
public:
    LaunchWaitCursor() : previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) { }
    ~LaunchWaitCursor() { SetCursor(previous); }
    LaunchWaitCursor(const LaunchWaitCursor&) = delete;
    LaunchWaitCursor& operator=(const LaunchWaitCursor&) = delete;

private:
    HCURSOR previous;
};

// Entry points that older systems lack, looked up once. The modules stay
// loaded while the library is.
using IsUserAnAdminFn = BOOL(WINAPI*)();
using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);

IsUserAnAdminFn IsUserAnAdminEntry()
{
    static const DLL_Loader shell32(L"shell32.dll");
    static const IsUserAnAdminFn entry = shell32.Get<IsUserAnAdminFn>("IsUserAnAdmin");
    return entry;
}

ChangeWindowMessageFilterFn ChangeWindowMessageFilterEntry()
{
    static const DLL_Loader user32(L"user32.dll");
    static const ChangeWindowMessageFilterFn entry
        = user32.Get<ChangeWindowMessageFilterFn>("ChangeWindowMessageFilter");
    return entry;
}

bool HasElevation()
{
    return IsWindowsVistaOrGreater();
}

// The token's information of one fixed-size kind; false when it cannot be
// read.
template <typename T>
bool ReadToken(TOKEN_INFORMATION_CLASS kind, T* out)
{
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return false;
    DWORD size = 0;
    return GetTokenInformation(token.Get(), kind, out, sizeof(T), &size) && size == sizeof(T);
}

const wchar_t* NullIfEmpty(const wchar_t* text)
{
    return text && text[0] ? text : nullptr;
}

// ShellExecuteEx as every launch here makes it: no message box of the
// shell's, and done before returning, so that a caller that ends right
// after still launches.
bool Execute(SHELLEXECUTEINFOW& info)
{
    info.cbSize = sizeof(info);
    info.fMask |= SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    return ShellExecuteExW(&info) != FALSE;
}

HWND ShellWindow()
{
    return FindWindowW(L"Progman", nullptr);
}

int RunPath(HWND owner, const wchar_t* path, const wchar_t* parameters, const wchar_t* verb)
{
    LaunchWaitCursor wait;
    SHELLEXECUTEINFOW info = {};
    info.hwnd = owner ? owner : GetDesktopWindow();
    info.lpVerb = NullIfEmpty(verb);
    info.lpFile = path;
    info.lpParameters = NullIfEmpty(parameters);
    info.nShow = SW_SHOWNORMAL;
    return Execute(info) ? 1 : 0;
}

int FailLaunch(void** process, unsigned long* error, DWORD code)
{
    if (process)
        *process = nullptr;
    if (error)
        *error = code;
    SetLastError(code);
    return 0;
}

} // namespace

// --- elevation ---------------------------------------------------------------

TOKEN_ELEVATION_TYPE GetElevationType()
{
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    if (!HasElevation() || !ReadToken(TokenElevationType, &type))
        return TokenElevationTypeDefault;
    return type;
}

int IsSplitToken()
{
    return GetElevationType() != TokenElevationTypeDefault ? 1 : 0;
}

int IsElevated()
{
    if (!HasElevation())
        return IsAdminXP();
    TOKEN_ELEVATION elevation = {};
    if (!ReadToken(TokenElevation, &elevation))
        return 0;
    return elevation.TokenIsElevated ? 1 : 0;
}

int ShouldAskToRestartAsAdmin()
{
    return GetElevationType() == TokenElevationTypeDefault && !IsAdminXP() ? 1 : 0;
}

int IsAdminXP()
{
    IsUserAnAdminFn entry = IsUserAnAdminEntry();
    if (!entry)
        return 1;
    return entry() ? 1 : 0;
}

int MyChangeWindowMessageFilter(unsigned int message, unsigned long flag)
{
    ChangeWindowMessageFilterFn entry = ChangeWindowMessageFilterEntry();
    if (!entry)
        return 0;
    return entry(message, flag) ? 1 : 0;
}

// --- launching -------------------------------------------------------------------

const wchar_t* ElevationVerb()
{
    if (GetElevationType() == TokenElevationTypeDefault) {
        // No split token: a user who may write the machine's settings has
        // all there is already.
        RegHandle machine;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS, machine.Put()) == ERROR_SUCCESS)
            return nullptr;
        return L"runas";
    }
    return IsElevated() ? nullptr : L"runas";
}

int MyShellExec(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
    const wchar_t* directory, void** process, unsigned long* error)
{
    if (process)
        *process = nullptr;
    SHELLEXECUTEINFOW info = {};
    info.fMask = process ? SEE_MASK_NOCLOSEPROCESS : 0;
    info.hwnd = owner;
    info.lpVerb = NullIfEmpty(verb);
    info.lpFile = file;
    info.lpParameters = NullIfEmpty(parameters);
    info.lpDirectory = NullIfEmpty(directory);
    info.nShow = SW_SHOWNORMAL;
    bool ok = Execute(info);
    DWORD code = ok ? 0 : GetLastError();
    if (error)
        *error = code;
    if (!ok)
        return 0;
    if (process)
        *process = info.hProcess;
    return 1;
}

int RunAs(HWND owner, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory, void** process)
{
    return MyShellExec(owner ? owner : ShellWindow(), L"runas", file, parameters, directory, process, nullptr);
}

int RunElevated(HWND owner, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory, void** process,
    unsigned long* error, int viaShell)
{
    if (!owner)
        owner = ShellWindow();
    const wchar_t* verb = ElevationVerb();
    if (viaShell)
        return LaunchThroughShell(owner, verb, file, parameters, directory, process, error);
    return MyShellExec(owner, verb, file, parameters, directory, process, error);
}

int RunNonElevated(HWND owner, const wchar_t* file, const wchar_t* parameters, const wchar_t* directory, void** process,
    unsigned long* error, int viaShell)
{
    if (!viaShell && !(HasElevation() && IsElevated()))
        return MyShellExec(owner, nullptr, file, parameters, directory, process, error);
    return LaunchThroughShell(owner, nullptr, file, parameters, directory, process, error);
}

int CanRunNonElevated(int)
{
    return ShellWindow() ? 1 : 0;
}

// --- files of the application and of the library ---------------------------------

namespace {

// folder, a separator when missing, then name (null: module's file name).
int ComposePath(wchar_t* buffer, const wchar_t* folder, const wchar_t* name, HMODULE module)
{
    wchar_t own[cchPath];
    if (!name) {
        DWORD length = GetModuleFileNameW(module, own, cchPath);
        if (!length || length >= cchPath) {
            buffer[0] = L'\0';
            return 0;
        }
        name = LocateFileName(own);
    }
    size_t folderLength = wcsnlen(folder, cchPath);
    bool separator = folderLength && (folder[folderLength - 1] == L'\\' || folder[folderLength - 1] == L'/');
    size_t nameLength = wcslen(name);
    size_t total = folderLength + (separator ? 0 : 1) + nameLength;
    if (total >= cchPath) {
        buffer[0] = L'\0';
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    wchar_t composed[cchPath];
    wmemcpy(composed, folder, folderLength);
    size_t at = folderLength;
    if (!separator)
        composed[at++] = L'\\';
    wmemcpy(composed + at, name, nameLength);
    composed[at + nameLength] = L'\0';
    wmemcpy(buffer, composed, total + 1);
    return 1;
}

} // namespace

int GetLocalPath(wchar_t* buffer, const wchar_t* name, HMODULE module)
{
    if (!buffer)
        return 0;
    wchar_t home[cchPath] = {};
    // Without a home folder the name would be taken from the drive's root.
    if (!GetHomeDir(home) || !home[0]) {
        buffer[0] = L'\0';
        return 0;
    }
    return ComposePath(buffer, home, name, module);
}

int GetSatellitePath(wchar_t* buffer, const wchar_t* name)
{
    if (!buffer)
        return 0;
    wchar_t library[cchPath];
    DWORD length = GetModuleFileNameW(hiDLL, library, cchPath);
    if (!length || length >= cchPath) {
        buffer[0] = L'\0';
        return 0;
    }
    wchar_t folder[cchPath];
    wcscpy(folder, library);
    StripFileName(folder);
    return ComposePath(buffer, folder, name ? name : LocateFileName(library), nullptr);
}

int RunLocalFile(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* verb)
{
    wchar_t path[cchPath];
    return GetLocalPath(path, name, nullptr) ? RunPath(owner, path, parameters, verb) : 0;
}

int RunSatelliteFile(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* verb)
{
    wchar_t path[cchPath];
    return GetSatellitePath(path, name) ? RunPath(owner, path, parameters, verb) : 0;
}

int RunLocalFileElevated(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* directory,
    void** process, unsigned long* error, int viaShell)
{
    wchar_t path[cchPath];
    if (!GetLocalPath(path, name, nullptr))
        return FailLaunch(process, error, ERROR_FILENAME_EXCED_RANGE);
    return RunElevated(owner, path, parameters, directory, process, error, viaShell);
}

int RunLocalFileNonElevated(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* directory,
    void** process, unsigned long* error, int viaShell)
{
    wchar_t path[cchPath];
    if (!GetLocalPath(path, name, nullptr))
        return FailLaunch(process, error, ERROR_FILENAME_EXCED_RANGE);
    return RunNonElevated(owner, path, parameters, directory, process, error, viaShell);
}

int RunSatelliteFileElevated(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* directory,
    void** process, unsigned long* error, int viaShell)
{
    wchar_t path[cchPath];
    if (!GetSatellitePath(path, name))
        return FailLaunch(process, error, ERROR_FILENAME_EXCED_RANGE);
    return RunElevated(owner, path, parameters, directory, process, error, viaShell);
}

int RunSatelliteFileNonElevated(HWND owner, const wchar_t* name, const wchar_t* parameters, const wchar_t* directory,
    void** process, unsigned long* error, int viaShell)
{
    wchar_t path[cchPath];
    if (!GetSatellitePath(path, name))
        return FailLaunch(process, error, ERROR_FILENAME_EXCED_RANGE);
    return RunNonElevated(owner, path, parameters, directory, process, error, viaShell);
}

int LocalFileExists(const wchar_t* name)
{
    wchar_t path[cchPath];
    if (!GetLocalPath(path, name, nullptr))
        return 0;
    DWORD attributes = GetFileAttributes2(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

// --- other launches ---------------------------------------------------------------------

int RunFile(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory, const wchar_t* verb)
{
    LaunchWaitCursor wait;
    HWND active = GetActiveWindow();
    SHELLEXECUTEINFOW info = {};
    info.hwnd = active ? GetLastActivePopup(active) : nullptr;
    info.lpVerb = NullIfEmpty(verb);
    info.lpFile = file;
    info.lpParameters = NullIfEmpty(parameters);
    info.lpDirectory = NullIfEmpty(directory);
    info.nShow = SW_SHOWNORMAL;
    return Execute(info) ? 1 : 0;
}

void* StartProcess(const wchar_t* file, const wchar_t* parameters, const wchar_t* directory)
{
    SHELLEXECUTEINFOW info = {};
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file;
    info.lpParameters = NullIfEmpty(parameters);
    info.lpDirectory = NullIfEmpty(directory);
    info.nShow = SW_SHOWNORMAL;
    return Execute(info) ? info.hProcess : nullptr;
}

int GetLaunchFolder(wchar_t* out, const wchar_t* exePath)
{
    if (!out)
        return 0;
    out[0] = L'\0';
    if (!exePath || wcsnlen(exePath, cchPath) >= cchPath)
        return 0;
    wchar_t folder[cchPath];
    wcscpy(folder, exePath);
    StripFileName(folder);
    // A root too loses its separator: the working folder is passed as the
    // folder part of the path, "C:" for "C:\app.exe".
    StripBackSlash(folder);
    wcscpy(out, folder);
    return out[0] ? 1 : 0;
}

int RunMyself(const wchar_t* parameters)
{
    wchar_t exe[cchPath];
    DWORD length = GetModuleFileNameW(nullptr, exe, cchPath);
    if (!length || length >= cchPath)
        return 0;
    wchar_t folder[cchPath];
    GetLaunchFolder(folder, exe);
    SHELLEXECUTEINFOW info = {};
    info.lpVerb = L"open";
    info.lpFile = exe;
    info.lpParameters = NullIfEmpty(parameters);
    info.lpDirectory = NullIfEmpty(folder);
    info.nShow = SW_SHOW;
    return Execute(info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32 ? 1 : 0;
}

// --- waiting -----------------------------------------------------------------------------

int WaitForProcess(void* process)
{
    KernelHandle owned(process);
    if (!owned)
        return 0;
    bool pumping = true;
    for (;;) {
        DWORD waited = WaitForSingleObject(owned.Get(), waitSliceMs);
        if (waited == WAIT_OBJECT_0)
            break;
        if (waited != WAIT_TIMEOUT)
            return 0;
        // After a WM_QUIT the application's loop is to see it: it stays
        // queued and we only wait.
        if (pumping)
            pumping = ZnThread::ProcessAllMessages(nullptr) != 0;
    }
    DWORD code = STILL_ACTIVE;
    if (!GetExitCodeProcess(owned.Get(), &code))
        return 0;
    return code == 0 ? 1 : 0;
}

int ProcessAllMessages(HWND window)
{
    return ZnThread::ProcessAllMessages(window);
}
