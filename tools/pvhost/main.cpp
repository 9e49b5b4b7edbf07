// pvhost: a small start-menu host. It loads PVDLL.dll with LoadLibraryW as
// the shell's host does, finds the plain exports with GetProcAddress, and
// uses the framework through the import library as the product's modules do.
//
//   pvhost                every service below, headless (winx dismissed)
//   pvhost identity       the product identity and a few text services
//   pvhost settings       the product's registry root and its option words
//   pvhost names          every standard start-menu item's text
//   pvhost winx [--choose N]
//                         the Win+X menu with two host submenus; --choose
//                         picks the N-th item (0: dismiss) for headless runs
//   pvhost about          the About box (closed at once)
//   pvhost help           opens the online help page in the browser
//   pvhost check4updates [--answer TEXT]
//                         an update check against a local server of this
//                         process (answering "OK." or TEXT); the request,
//                         the answer and the state written are printed
//
// The last three go through the plain export "Launchora". Every dialog and
// message box they show is printed and closed at once, so the run stays
// headless. Without a word, every service but help runs (help would start
// the user's browser).
#include <windows.h>

#include <cstdarg>
#include <string>

#include "PVDLL.h"
#include "common/ConsoleOut.h"
#include "common/Folders.h"
#include "LocalHttpServer.h"

namespace {

void ShowIdentity()
{
    ProductInfo* product = GetMyProductInfo();
    Print(L"Product         %s (id %u, store id \"%s\")\n", product->GetName(), product->GetID(),
          product->GetStoreID());
    Print(L"Version         %s | %s | %s\n", product->GetVersionStr(), product->GetVersionStrLong(0),
          product->GetVersionStrRev(0));
    Print(L"Version numbers 0x%08X, 0x%016I64X\n", product->GetVersionNum(), product->GetVersionQWORD());
    Print(L"Revision        %s (%u), release month %u\n", product->GetRevisionStr(), product->GetRevisionNum(),
          product->GetReleaseMonth());
    Print(L"Edition         \"%s\", arch \"%s\", %s, (c) %s\n", product->GetEditionShort(), product->GetArch(),
          product->GetForOS(), product->GetCopyrightYear());
    wchar_t title[128];
    Print(L"Title           \"%s\"\n", product->MakeTitleLong(title, 128));
    Print(L"Root key        %s\n", product->GetAppRootKey());
    Print(L"Component       %s\n", product->GetComponent());
    Print(L"App instance    %p (PVDLL.dll is %p)\n", product->GetAppInstance(), hiDLL);

    short id = static_cast<short>(product->GetIconID());
    HINSTANCE instance = nullptr;
    product->ConvertResourceId(id, instance);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(id));
    Print(L"Icon            %d -> id %d in %p, %s\n", product->GetIconID(), id, instance,
          icon ? L"loaded" : L"missing");
    Print(L"Library text    \"%s\"\n", static_cast<const wchar_t*>(ResStr(-20102)));
}

// The plain exports are what a host outside the framework finds by name.
void ShowDigests(HMODULE library)
{
    typedef void(__cdecl * Sha1CalcFn)(unsigned char*, const void*, unsigned);
    auto sha1Calc = reinterpret_cast<Sha1CalcFn>(reinterpret_cast<void*>(GetProcAddress(library, "SHA1_Calc")));
    if (!sha1Calc) {
        Print(L"SHA1_Calc       not exported!\n");
        return;
    }
    unsigned char digest[20];
    sha1Calc(digest, "abc", 3);
    wchar_t hex[41];
    BinToHex(hex, 41, digest, 20);
    Print(L"SHA1_Calc       \"abc\" -> %s\n", hex);

    unsigned char md5[16];
    CalcMD5(md5, "abc", 3);
    BinToHex(hex, 41, md5, 16);
    Print(L"CalcMD5         \"abc\" -> %s\n", hex);
    Print(L"CRC32           \"123456789\" -> %08X\n", CRC32("123456789", 9));

    const unsigned char bytes[] = {1, 2, 3, 0xFF};
    wchar_t base64[16];
    BinToBase64FS(base64, 16, bytes, 4);
    Print(L"BinToBase64FS   01 02 03 FF -> %s\n", base64);
}

void ShowTextServices()
{
    wchar_t text[64];
    SizeToStr(text, 64, 1536, 0);
    Print(L"SizeToStr       1536 bytes -> %s\n", text);
    SizeToStr(text, 64, 5ULL << 30, 1);
    Print(L"                5 GiB -> %s\n", text);
    GetTextRemaining(3661, text, 64, 1);
    Print(L"Time remaining  3661 s -> %s\n", text);
    Print(L"Current time    %u s since 1995-12-26\n", GetCurTime());

    wchar_t line[] = L"  Launchora  ";
    StrTrimW(line);
    Print(L"StrTrimW        \"  Launchora  \" -> \"%s\"\n", line);
    wchar_t tokens[] = L"about;help;check4updates";
    Print(L"GetToken        item 2 of \"%s\" -> %s\n", tokens, GetToken(tokens, L";", 2));
}

// Every 32-bit value below the root is an option word; subkeys hold the
// settings of the product's components and dialogs.
void ShowSettings()
{
    const wchar_t* rootPath = GetMyProductInfo()->GetAppRootKey();
    Print(L"Root key        %s\n", rootPath);
    MoveLegacySettings(1, GetMyProductInfo()->GetName());
    RegKey root(rootPath, 0);
    if (!root.IsOpen()) {
        Print(L"                (not there yet: nothing has been stored)\n");
        return;
    }
    wchar_t name[256];
    int words = 0;
    for (int more = root.GetFirstValue(name, 256); more; more = root.GetNextValue(name, 256)) {
        if (root.GetValueType(name) != REG_DWORD)
            continue;
        BoolOpts opts(name);
        opts.Load();
        Print(L"Option word     %-24s 0x%08X\n", name[0] ? name : L"(default)", opts.GetAll());
        ++words;
    }
    if (!words)
        Print(L"                (no option words)\n");
    for (int more = root.GetFirstSubKey(name, 256); more; more = root.GetNextSubKey(name, 256))
        Print(L"Subkey          %s\n", name);
}

// --- start-menu item names ------------------------------------------------------

typedef const wchar_t* (*TranslateFn)(const wchar_t*, const wchar_t*);

void ShowNames(HMODULE library)
{
    auto translate = reinterpret_cast<TranslateFn>(reinterpret_cast<void*>(GetProcAddress(library, "TranslateDll")));
    if (!translate) {
        Print(L"TranslateDll    not exported!\n");
        return;
    }
    static const wchar_t* const standardKeys[] = {
        L"Menu.User", L"Menu.Programs", L"Menu.Network", L"Menu.ComputerFolder", L"Menu.DocumentsLibrary",
        L"Menu.PicturesLibrary", L"Menu.MusicLibrary", L"Menu.VideosLibrary", L"Menu.Downloads", L"Menu.RecordedTV",
        L"Menu.Games", L"Menu.Homegroup", L"Menu.Favorites", L"Menu.Printers", L"Menu.DevicesAndPrinters",
        L"Menu.ControlPanel", L"Menu.Help", L"Menu.Search", L"Menu.SearchFiles", L"Menu.SearchComputers",
        L"Menu.SearchPrinter", L"Menu.SearchBox", L"Menu.Empty", L"Menu.Internet", L"Menu.Email",
        L"Menu.AllPrograms", L"Menu.ShutDownBox", L"Menu.ShutDown", L"Menu.Logoff", L"Menu.LogoffShort",
        L"Menu.Restart", L"Menu.Lock", L"Menu.Hibernate", L"Menu.Sleep", L"Menu.Undock", L"Menu.Disconnect",
        L"Menu.SwitchUser", L"Menu.Run", L"Menu.Start", L"Menu.Apps", L"Menu.Settings", L"Menu.StartScreen",
    };
    for (const wchar_t* key : standardKeys)
        Print(L"%-26s %s\n", key, translate(key, L"?"));
    // The host's own items: a translation file next to the library
    // ("StartMenuL10N.ini", a section per UI language) may name them.
    static const struct {
        const wchar_t* key;
        const wchar_t* english;
    } hostItems[] = {
        {L"Menu.PinnedPrograms", L"Pinned programs"},
        {L"Menu.RecentItems", L"Recent items"},
        {L"Menu.SearchPrompt", L"Search programs and files"},
    };
    for (const auto& item : hostItems)
        Print(L"%-26s %s\n", item.key, translate(item.key, item.english));
}

// --- the Win+X menu ----------------------------------------------------------------

typedef int (*ShowWinXFn)(HWND, HMENU, const wchar_t*, HMENU);

int choiceKeys = -1;  // -1: a person chooses

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    static HMENU shown = nullptr;
    if (msg == WM_INITMENUPOPUP && choiceKeys >= 0 && !shown) {
        shown = reinterpret_cast<HMENU>(wParam);
        if (choiceKeys == 0) {
            PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            for (int i = 0; i < choiceKeys; ++i)
                PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
            // The second Return takes the first command of an opened submenu.
            PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void AddShortcut(const wchar_t* group, const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    StrFormat(path, MAX_PATH, L"%s\\%s.lnk", group, name);
    wchar_t cmd[MAX_PATH];
    ExpandEnvironmentStringsW(L"%SystemRoot%\\system32\\cmd.exe", cmd, MAX_PATH);
    CreateLink(cmd, path, L"/c exit");
}

// A WinX folder laid out like Windows' own, when the user has none.
void EnsureWinXFolder()
{
    wchar_t winX[MAX_PATH] = L"%LOCALAPPDATA%\\Microsoft\\Windows\\WinX";
    DoEnvironmentSubstW(winX, MAX_PATH);
    if (IsFolderExists(winX))
        return;
    static const wchar_t* const groups[][4] = {
        {L"01 - Desktop", nullptr},
        {L"1 - Run", L"2 - Search", L"3 - File Explorer", nullptr},
        {L"01 - Command Prompt", L"02 - Command Prompt (Admin)", L"03 - Task Manager", nullptr},
    };
    CreateFolders(winX);
    for (int n = 0; n < 3; ++n) {
        wchar_t group[MAX_PATH];
        StrFormat(group, MAX_PATH, L"%s\\Group%d", winX, n + 1);
        CreateDirectoryW(group, nullptr);
        for (const wchar_t* const* name = groups[n]; *name; ++name)
            AddShortcut(group, *name);
    }
    Print(L"WinX            made a Windows-like folder in %s\n", winX);
}

int ShowWinX(HMODULE library, int choose)
{
    auto show = reinterpret_cast<ShowWinXFn>(reinterpret_cast<void*>(GetProcAddress(library, "ShowRightClickMenuWinX")));
    if (!show) {
        Print(L"ShowRightClickMenuWinX not exported!\n");
        return 1;
    }
    CoInit com;
    EnsureWinXFolder();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PvHostStartButton";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Start", WS_POPUP | WS_VISIBLE, 0, 0, 48, 40,
                                nullptr, nullptr, wc.hInstance, nullptr);

    // The host's submenus, made afresh for every call.
    HMENU settings = CreatePopupMenu();
    AppendMenuW(settings, MF_STRING, 100, L"Start menu settings");
    AppendMenuW(settings, MF_STRING, 101, L"Help");
    HMENU product = CreatePopupMenu();
    AppendMenuW(product, MF_STRING, 200, L"About Launchora");
    AppendMenuW(product, MF_STRING, 201, L"Check for updates");

    choiceKeys = choose;
    int result = show(host, settings, L"Settings", product);
    DestroyWindow(host);
    if (result < 0)
        Print(L"WinX            there is no WinX folder (-1)\n");
    else if (result == 0)
        Print(L"WinX            dismissed, or a shortcut was chosen and run (0)\n");
    else
        Print(L"WinX            the host's command %d was chosen\n", result);
    return 0;
}

// --- the command entry ----------------------------------------------------------------

typedef int (*LaunchoraFn)(const wchar_t*);

// Prints and closes every dialog of this thread as soon as it shows, for
// the life of the object: the About box, the update check's boxes and
// dialogs, and any box the shell might show.
class DialogCloser {
public:
    DialogCloser() : timer(SetTimer(nullptr, 0, 150, OnTimer)) {}
    ~DialogCloser() { KillTimer(nullptr, timer); }
    DialogCloser(const DialogCloser&) = delete;
    DialogCloser& operator=(const DialogCloser&) = delete;

private:
    static BOOL CALLBACK CollectText(HWND child, LPARAM data)
    {
        if (!IsWindowVisible(child))
            return TRUE;
        wchar_t text[512] = {};
        ZnWnd* bound = ZnWnd::FromHandle(child);
        if (bound && bound->IsKindOf(L"ZnStaticHTML"))
            static_cast<ZnStaticHTML*>(bound)->GetHTMLTextStripTags(text, 512);
        else
            GetWindowTextW(child, text, 512);
        // One line per dialog: line breaks of a text become spaces.
        for (wchar_t* p = text; *p; ++p) {
            if (*p == L'\r' || *p == L'\n')
                *p = L' ';
        }
        if (text[0]) {
            auto* line = reinterpret_cast<std::wstring*>(data);
            *line += L"\n                  ";
            *line += text;
        }
        return TRUE;
    }

    static BOOL CALLBACK CloseOne(HWND window, LPARAM)
    {
        wchar_t cls[16] = {};
        GetClassNameW(window, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window))
            return TRUE;
        wchar_t caption[256] = {};
        GetWindowTextW(window, caption, 256);
        std::wstring texts;
        EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
        Print(L"Dialog          \"%s\" (closed at once):%s\n", caption, texts.c_str());
        // Escape's command: every dialog and box of the library takes it,
        // and so does the system's message box.
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        EnumThreadWindows(GetCurrentThreadId(), CloseOne, 0);
    }

    UINT_PTR timer;
};

LaunchoraFn FindLaunchora(HMODULE library)
{
    auto launchora = reinterpret_cast<LaunchoraFn>(reinterpret_cast<void*>(GetProcAddress(library, "Launchora")));
    if (!launchora)
        Print(L"Launchora       not exported!\n");
    return launchora;
}

int RunWord(HMODULE library, const wchar_t* word)
{
    LaunchoraFn launchora = FindLaunchora(library);
    if (!launchora)
        return 1;
    DialogCloser closer;
    int result = launchora(word);
    Print(L"Launchora       \"%s\" -> %d\n", word, result);
    return result == 0 ? 0 : 1;
}

int ShowHelp(HMODULE library)
{
    wchar_t url[2048];
    MakeGoOnlineURL(url, 2048, L"launchora-help");
    Print(L"Help page       %s\n", url);
    return RunWord(library, L"help");
}

// The "UpdateServer" value of the product's "Setup" key points this user's
// checks at the local server; the value that was there (or none) comes
// back with the object.
class UpdateServerOverride {
public:
    explicit UpdateServerOverride(unsigned short port) : key(GetMyProductInfo()->GetAppRootKey(), L"Setup", 1)
    {
        if (!key.IsOpen())
            return;
        hadValue = key.GetValueType(valueName) == REG_SZ;
        if (hadValue)
            key.GetStr(valueName, previous, 300, L"");
        wchar_t server[64];
        StrFormat(server, 64, L"127.0.0.1:%u", port);
        set = key.PutStr(valueName, server, 0);
    }
    ~UpdateServerOverride()
    {
        if (!set)
            return;
        if (hadValue)
            key.PutStr(valueName, previous, 0);
        else
            key.DelValue(valueName);
    }
    UpdateServerOverride(const UpdateServerOverride&) = delete;
    UpdateServerOverride& operator=(const UpdateServerOverride&) = delete;

    bool IsSet() const { return set != 0; }

private:
    static constexpr const wchar_t* valueName = L"UpdateServer";
    RegKey key;
    bool hadValue = false;
    int set = 0;
    wchar_t previous[300] = {};
};

std::wstring Widen(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// A time of the update state, seconds since 1995-12-26, beside now.
void PrintStateTime(const wchar_t* name, DWORD value, DWORD now)
{
    if (value == 0)
        Print(L"                %-11s 0 (never / not scheduled)\n", name);
    else if (value == UpdateState::nextDisabled)
        Print(L"                %-11s 0x%08X (checks disabled)\n", name, value);
    else if (value > now)
        Print(L"                %-11s %u (in %u h %02u min)\n", name, value, (value - now) / 3600,
              (value - now) % 3600 / 60);
    else
        Print(L"                %-11s %u (%u s ago)\n", name, value, now - value);
}

int CheckForUpdatesDemo(HMODULE library, const wchar_t* answer)
{
    LaunchoraFn launchora = FindLaunchora(library);
    if (!launchora)
        return 1;
    LocalHttpServer server;
    if (!server.Port()) {
        Print(L"Update check    cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::string reply = "OK.";
    if (answer) {
        int bytes = WideCharToMultiByte(CP_ACP, 0, answer, -1, nullptr, 0, nullptr, nullptr);
        reply.assign(bytes > 1 ? static_cast<size_t>(bytes - 1) : 0, '\0');
        WideCharToMultiByte(CP_ACP, 0, answer, -1, reply.data(), bytes, nullptr, nullptr);
    }
    server.Answer(reply);
    UpdateServerOverride point(server.Port());
    if (!point.IsSet()) {
        Print(L"Update check    cannot write the \"UpdateServer\" value\n");
        return 1;
    }
    Print(L"Update server   127.0.0.1:%u, a server of this process answering \"%s\"\n", server.Port(),
          Widen(reply).c_str());

    int status = RunWord(library, L"check4updates");

    std::vector<LocalHttpServer::Request> requests = server.Requests();
    if (requests.empty())
        Print(L"Server          no request came\n");
    for (const LocalHttpServer::Request& request : requests) {
        Print(L"Server got      %s /%s\n", Widen(request.method).c_str(),
              Widen(request.path.empty() || request.path[0] != '/' ? request.path : request.path.substr(1)).c_str());
        Print(L"                %s\n", Widen(request.body).c_str());
        Print(L"Server answered \"%s\"\n", Widen(reply).c_str());
    }

    // What the check wrote, as stored (the process's enforced policy is
    // never written).
    RegKey setup(GetMyProductInfo()->GetAppRootKey(), L"Setup", 0);
    Print(L"State written   %s\\Setup\n", GetMyProductInfo()->GetAppRootKey());
    if (setup.IsOpen()) {
        const DWORD now = GetCurTime();
        for (const wchar_t* name : {UpdateState::pszLastUpdate, UpdateState::pszNextUpdate,
                                    UpdateState::pszRemindFrequency, UpdateState::pszAutoCheck}) {
            if (setup.GetValueType(name) != REG_DWORD)
                Print(L"                %-11s (not stored)\n", name);
            else if (name == UpdateState::pszLastUpdate || name == UpdateState::pszNextUpdate)
                PrintStateTime(name, static_cast<DWORD>(setup.GetInt(name, 0)), now);
            else
                Print(L"                %-11s %d\n", name, setup.GetInt(name, 0));
        }
    }
    int autoCheck = 0;
    Check4UpdatesFreq freq = c4uWeekly;
    GetCheck4UpdatesSettings(&autoCheck, &freq);
    Print(L"In force        frequency %d (0: daily), automatic check %d (the policy the check words enforce)\n",
          freq, autoCheck);
    return status;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    HMODULE library = LoadLibraryW(L"PVDLL.dll");
    if (!library) {
        Print(L"pvhost: cannot load PVDLL.dll (error %lu)\n", GetLastError());
        return 1;
    }
    const wchar_t* command = argc > 1 ? argv[1] : L"all";
    bool all = lstrcmpiW(command, L"all") == 0;
    int status = 0;
    if (all || lstrcmpiW(command, L"identity") == 0) {
        ShowIdentity();
        ShowTextServices();
        ShowDigests(library);
    }
    if (all || lstrcmpiW(command, L"settings") == 0)
        ShowSettings();
    if (all || lstrcmpiW(command, L"names") == 0)
        ShowNames(library);
    if (all || lstrcmpiW(command, L"about") == 0)
        status |= RunWord(library, L"about");
    if (all || lstrcmpiW(command, L"check4updates") == 0) {
        const wchar_t* answer = nullptr;
        if (argc > 3 && lstrcmpiW(argv[2], L"--answer") == 0)
            answer = argv[3];
        status |= CheckForUpdatesDemo(library, answer);
    }
    if (all) {
        status |= ShowWinX(library, 0);
    } else if (lstrcmpiW(command, L"winx") == 0) {
        int choose = -1;
        if (argc > 3 && lstrcmpiW(argv[2], L"--choose") == 0)
            choose = _wtoi(argv[3]);
        status = ShowWinX(library, choose);
    } else if (lstrcmpiW(command, L"help") == 0) {
        status = ShowHelp(library);
    } else if (lstrcmpiW(command, L"identity") != 0 && lstrcmpiW(command, L"settings") != 0 &&
               lstrcmpiW(command, L"names") != 0 && lstrcmpiW(command, L"about") != 0 &&
               lstrcmpiW(command, L"check4updates") != 0) {
        Print(L"usage: pvhost [identity|settings|names|winx [--choose N]|about|help|check4updates [--answer "
              L"TEXT]]\n");
        status = 2;
    }
    FreeLibrary(library);
    return status;
}
