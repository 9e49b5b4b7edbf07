#include "common/OnlineSupport.h"

#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "PVDLL.h"

namespace {

ShellSpy* activeSpy = nullptr;
IconSpy* activeIconSpy = nullptr;
BoxAnswerer* activeAnswerer = nullptr;
TaskDialogClicker* activeClicker = nullptr;

const wchar_t* userClasses = L"Software\\Classes\\";

bool RootShowsUserClasses(const std::wstring& name)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return text;
}

BOOL CALLBACK CollectText(HWND child, LPARAM data)
{
    auto* all = reinterpret_cast<std::wstring*>(data);
    *all += WindowText(child);
    *all += L"\n";
    return TRUE;
}

// A box's message: the markup of an HTML text, the window text otherwise.
std::wstring BoxText(HWND box)
{
    HWND control = GetDlgItem(box, IDC_MSGEX_TEXT);
    ZnWnd* bound = ZnWnd::FromHandle(control);
    if (bound && bound->IsKindOf(L"ZnStaticHTML")) {
        wchar_t markup[2048] = {};
        static_cast<ZnStaticHTML*>(bound)->GetHTMLText(markup, 2048);
        return markup;
    }
    return WindowText(control);
}

struct DialogSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM data)
{
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        reinterpret_cast<DialogSearch*>(data)->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

// --- BrowserMarker -----------------------------------------------------------------

BrowserMarker::BrowserMarker() : file(folder / L"browser.txt")
{
    SetEnvironmentVariableW(L"PVTESTBROWSER_MARKER", file.c_str());
}

BrowserMarker::~BrowserMarker()
{
    SetEnvironmentVariableW(L"PVTESTBROWSER_MARKER", nullptr);
}

std::wstring BrowserMarker::Wait(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES)
            return ReadWideFile(file);
        if (GetTickCount() - start >= ms)
            return L"";
        Sleep(50);
    }
}

// --- TestClasses -------------------------------------------------------------------

TestClasses::~TestClasses()
{
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        RegDeleteTreeW(it->first, it->second.c_str());
}

std::wstring TestClasses::BrowserPath()
{
    return ModuleFolder() + L"\\pvtestbrowser.exe";
}

void TestClasses::Keep(HKEY root, const std::wstring& sub)
{
    created.emplace_back(root, sub);
}

void TestClasses::Write(HKEY root, const std::wstring& sub, const wchar_t* name, const std::wstring& value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(root, sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS)
        << "cannot write the test's classes";
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void TestClasses::Protocol(const std::wstring& name, const std::wstring& command)
{
    std::wstring line = command.empty() ? L"\"" + BrowserPath() + L"\" \"%1\"" : command;
    std::wstring key = userClasses + name;
    Keep(HKEY_CURRENT_USER, key);
    Write(HKEY_CURRENT_USER, key, L"", L"URL:" + name);
    Write(HKEY_CURRENT_USER, key, L"URL Protocol", L"");
    Write(HKEY_CURRENT_USER, key + L"\\shell\\open\\command", nullptr, line);
    if (name != L"http" && !RootShowsUserClasses(name)) {
        std::wstring machine = userClasses + name;
        Keep(HKEY_LOCAL_MACHINE, machine);
        Write(HKEY_LOCAL_MACHINE, machine, L"", L"URL:" + name);
        Write(HKEY_LOCAL_MACHINE, machine, L"URL Protocol", L"");
        Write(HKEY_LOCAL_MACHINE, machine + L"\\shell\\open\\command", nullptr, line);
    }
}

void TestClasses::FileType(const std::wstring& extension)
{
    std::wstring progId = L"pvtest" + extension.substr(1) + L".file";
    std::wstring line = L"\"" + BrowserPath() + L"\" \"%1\"";
    HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    for (HKEY root : roots) {
        Keep(root, userClasses + extension);
        Write(root, userClasses + extension, nullptr, progId);
        Keep(root, userClasses + progId);
        Write(root, userClasses + progId + L"\\shell\\open\\command", nullptr, line);
        if (RootShowsUserClasses(extension))
            break;
    }
}

// --- ShellSpy ----------------------------------------------------------------------

ShellSpy::ShellSpy(Mode mode, bool failExtended)
    : mode(mode),
      failExtended(failExtended),
      execute("shell32.dll", "ShellExecuteW", reinterpret_cast<void*>(&Execute)),
      executeEx("shell32.dll", "ShellExecuteExW", reinterpret_cast<void*>(&ExecuteEx))
{
    activeSpy = this;
}

ShellSpy::~ShellSpy()
{
    activeSpy = nullptr;
}

HINSTANCE WINAPI ShellSpy::Execute(
    HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show)
{
    ShellSpy* spy = activeSpy;
    spy->calls.push_back({file ? file : L"", parameters ? parameters : L"", window, 0, false, verb ? verb : L"", show});
    size_t plain = 0;
    for (const Call& call : spy->calls)
        plain += call.extended ? 0 : 1;
    if (spy->mode == failAll || (spy->mode == failFirst && plain == 1))
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
    if (spy->mode == succeedQuietly)
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    typedef HINSTANCE(WINAPI * Fn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    return spy->execute.Original<Fn>()(window, verb, file, parameters, folder, show);
}

BOOL WINAPI ShellSpy::ExecuteEx(SHELLEXECUTEINFOW* info)
{
    ShellSpy* spy = activeSpy;
    spy->calls.push_back({info->lpFile ? info->lpFile : L"", info->lpParameters ? info->lpParameters : L"", info->hwnd,
        info->fMask, true, info->lpVerb ? info->lpVerb : L"", info->nShow});
    if (spy->failExtended) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return FALSE;
    }
    if (spy->mode == succeedQuietly)
        return TRUE;
    typedef BOOL(WINAPI * Fn)(SHELLEXECUTEINFOW*);
    return spy->executeEx.Original<Fn>()(info);
}

// --- BoxAnswerer -------------------------------------------------------------------

BoxAnswerer::BoxAnswerer(std::vector<int> buttons) : buttons(std::move(buttons))
{
    activeAnswerer = this;
    timer = SetTimer(nullptr, 0, 50, OnTimer);
}

BoxAnswerer::~BoxAnswerer()
{
    KillTimer(nullptr, timer);
    activeAnswerer = nullptr;
}

void CALLBACK BoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    BoxAnswerer* self = activeAnswerer;
    if (!self || self->answered >= self->buttons.size())
        return;
    HWND box = MsgExGetOpenBox();
    if (!box || box == self->lastBox || !IsWindow(box))
        return;
    self->lastBox = box;
    int button = self->buttons[self->answered++];
    self->texts.push_back(BoxText(box));
    std::wstring shown;
    for (int id : {IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON2, IDC_MSGEX_BUTTON3}) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button))
            shown += (shown.empty() ? L"" : L"|") + WindowText(button);
    }
    self->words.push_back(shown);
    if (self->tick)
        SendDlgItemMessageW(box, IDC_MSGEX_DONTSHOW, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageW(box, button, BM_CLICK, 0, 0);
}

// --- IconSpy -----------------------------------------------------------------------

IconSpy::IconSpy() : hook("user32.dll", "LoadImageW", reinterpret_cast<void*>(&Load))
{
    activeIconSpy = this;
}

IconSpy::~IconSpy()
{
    activeIconSpy = nullptr;
}

HANDLE WINAPI IconSpy::Load(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    IconSpy* self = activeIconSpy;
    if (type == IMAGE_ICON && IS_INTRESOURCE(name))
        self->ids.push_back(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    typedef HANDLE(WINAPI * Fn)(HINSTANCE, LPCWSTR, UINT, int, int, UINT);
    return self->hook.Original<Fn>()(module, name, type, cx, cy, flags);
}

// --- TaskDialogClicker -------------------------------------------------------------

TaskDialogClicker::TaskDialogClicker(std::vector<int> buttons) : buttons(std::move(buttons))
{
    activeClicker = this;
    timer = SetTimer(nullptr, 0, 100, OnTimer);
}

TaskDialogClicker::~TaskDialogClicker()
{
    KillTimer(nullptr, timer);
    activeClicker = nullptr;
}

void CALLBACK TaskDialogClicker::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    TaskDialogClicker* self = activeClicker;
    if (!self || self->clicked >= self->buttons.size())
        return;
    DialogSearch search;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return;
    if (self->seen.empty()) {
        self->seen = WindowText(search.found) + L"\n";
        EnumChildWindows(search.found, CollectText, reinterpret_cast<LPARAM>(&self->seen));
    }
    int button = self->buttons[self->clicked++];
    SendMessageW(search.found, TDM_CLICK_BUTTON, static_cast<WPARAM>(button), 0);
}

std::wstring BuiltSite()
{
    return L"" PVDLL_COMPANY_URL;
}

std::wstring BuiltPageUrl(const std::wstring& key)
{
    std::wstring site = BuiltSite();
    if (site.empty() || site.back() != L'/')
        site += L'/';
    return site + L"go/?p=" + key;
}

std::wstring ReadWideFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"";
    std::wstring text;
    DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE) {
        text.resize(size / sizeof(wchar_t));
        DWORD read = 0;
        ReadFile(file, text.data(), size, &read, nullptr);
        text.resize(read / sizeof(wchar_t));
    }
    CloseHandle(file);
    return text;
}
