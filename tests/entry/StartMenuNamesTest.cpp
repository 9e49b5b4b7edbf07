#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"
#include "common/ImportHook.h"
#include "common/RawFile.h"
#include "common/TestSupport.h"
#include "common/Translations.h"

namespace {

const wchar_t* const allKeys[] = {
    L"Menu.User",          L"Menu.Programs",         L"Menu.NetworkFolder",   L"Menu.Network",
    L"Menu.ComputerFolder", L"Menu.DocumentsLibrary", L"Menu.PicturesLibrary", L"Menu.MusicLibrary",
    L"Menu.VideosLibrary", L"Menu.Downloads",        L"Menu.RecordedTV",      L"Menu.Games",
    L"Menu.Homegroup",     L"Menu.Favorites",        L"Menu.Printers",        L"Menu.DevicesAndPrinters",
    L"Menu.ControlPanel",  L"Menu.Help",             L"Menu.Search",          L"Menu.SearchFiles",
    L"Menu.SearchComputers", L"Menu.SearchPrinter",  L"Menu.SearchBox",       L"Menu.Empty",
    L"Menu.Internet",      L"Menu.Email",            L"Menu.AllPrograms",     L"Menu.ShutDownBox",
    L"Menu.ShutDown",      L"Menu.Logoff",           L"Menu.LogoffShort",     L"Menu.Restart",
    L"Menu.Lock",          L"Menu.Hibernate",        L"Menu.Sleep",           L"Menu.Undock",
    L"Menu.Disconnect",    L"Menu.SwitchUser",       L"Menu.Run",             L"Menu.Start",
    L"Menu.Apps",          L"Menu.Settings",         L"Menu.StartScreen",
};

// Counts the library's calls into the platform while alive.
class WindowsCalls {
public:
    WindowsCalls()
        : folders("shell32.dll", "SHGetKnownFolderItem", reinterpret_cast<void*>(&CountFolder)),
          modules("kernel32.dll", "GetModuleHandleW", reinterpret_cast<void*>(&CountModule))
    {
        count = 0;
        self = this;
    }
    ~WindowsCalls() { self = nullptr; }
    bool Hooked() const { return folders.Hooked() && modules.Hooked(); }
    static inline int count = 0;

private:
    typedef HRESULT(WINAPI* FolderFn)(REFKNOWNFOLDERID, KNOWN_FOLDER_FLAG, HANDLE, REFIID, void**);
    typedef HMODULE(WINAPI* ModuleFn)(LPCWSTR);
    static HRESULT WINAPI CountFolder(REFKNOWNFOLDERID id, KNOWN_FOLDER_FLAG flags, HANDLE token, REFIID riid,
                                      void** out)
    {
        ++count;
        return self->folders.Original<FolderFn>()(id, flags, token, riid, out);
    }
    static HMODULE WINAPI CountModule(LPCWSTR name)
    {
        ++count;
        return self->modules.Original<ModuleFn>()(name);
    }
    ImportHook folders;
    ImportHook modules;
    static inline WindowsCalls* self = nullptr;
};

// A translation file next to the library for the time of the test.
class TranslationFile {
public:
    explicit TranslationFile(const std::string& utf8) : path(ModuleFolder() + L"\\StartMenuL10N.ini")
    {
        PutBytes(path, "\xEF\xBB\xBF" + utf8);
        ForgetTranslations();
    }
    ~TranslationFile()
    {
        DeleteFileW(path.c_str());
        ForgetTranslations();
    }
    TranslationFile(const TranslationFile&) = delete;
    TranslationFile& operator=(const TranslationFile&) = delete;

private:
    std::wstring path;
};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

int callbackCalls = 0;
const wchar_t* callbackAnswer = nullptr;

const wchar_t* Callback(const wchar_t*, const wchar_t*)
{
    ++callbackCalls;
    return callbackAnswer;
}

} // namespace

// Runs first: the tables are process-wide and nothing may have asked yet.
TEST(StartMenuNames, AnswersAreCachedAndWindowsIsAskedOnce)
{
    {
        WindowsCalls calls;
        ASSERT_TRUE(calls.Hooked());
        const wchar_t* first = TranslateDll(L"Menu.Downloads", nullptr);
        const wchar_t* second = TranslateDll(L"Menu.Undock", nullptr);
        EXPECT_GT(WindowsCalls::count, 0);
        WindowsCalls::count = 0;
        EXPECT_EQ(TranslateDll(L"Menu.Downloads", nullptr), first);
        EXPECT_EQ(TranslateDll(L"Menu.Undock", nullptr), second);
        EXPECT_EQ(WindowsCalls::count, 0);
    }
}

TEST(StartMenuNames, EveryKnownKeyHasAText)
{
    for (const wchar_t* key : allKeys) {
        const wchar_t* text = TranslateDll(key, nullptr);
        ASSERT_NE(text, nullptr) << key;
        EXPECT_GT(lstrlenW(text), 0) << key;
    }
}

TEST(StartMenuNames, KeysMatchWithoutRegardToCase)
{
    const wchar_t* exact = TranslateDll(L"Menu.Restart", L"fallback");
    EXPECT_EQ(TranslateDll(L"menu.restart", L"fallback"), exact);
    EXPECT_EQ(TranslateDll(L"MENU.RESTART", L"fallback"), exact);
}

TEST(StartMenuNames, EnglishTextAnswersWhenWindowsHasNone)
{
    // This system has neither explorer.exe's string 8234 nor twinui.dll:
    // the English text is kept in the first row and answers from then on.
    const wchar_t* text = TranslateDll(L"Menu.ControlPanel", nullptr);
    HMODULE twinui = LoadLibraryExW(L"twinui.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (twinui) {
        FreeLibrary(twinui);
        GTEST_SKIP() << "this system has twinui.dll";
    }
    EXPECT_STREQ(text, L"Control Panel");
    WindowsCalls calls;
    EXPECT_EQ(TranslateDll(L"Menu.ControlPanel", nullptr), text);
    EXPECT_EQ(WindowsCalls::count, 0);
}

TEST(StartMenuNames, UnknownKeysGoToTheCallbackOnly)
{
    callbackCalls = 0;
    callbackAnswer = L"from the host";
    SetFindTranslationCallback(Callback);
    EXPECT_STREQ(TranslateDll(L"Custom.Key", L"fallback"), L"from the host");
    EXPECT_EQ(callbackCalls, 1);
    TranslateDll(L"Menu.Restart", L"fallback");
    EXPECT_EQ(callbackCalls, 1);
    callbackAnswer = nullptr;
    EXPECT_EQ(TranslateDll(L"Custom.Key", L"fallback"), nullptr);  // even null, unchanged
    SetFindTranslationCallback(nullptr);
}

TEST(StartMenuNames, WithoutFileOrCallbackTheFallbackItselfComesBack)
{
    ForgetTranslations();
    const wchar_t* fallback = L"my fallback";
    EXPECT_EQ(TranslateDll(L"Custom.Nowhere", fallback), fallback);
    EXPECT_EQ(TranslateDll(nullptr, fallback), fallback);
}

TEST(StartMenuNames, TranslationFileAnswersInTheFirstPreferredLanguage)
{
    std::string language = Narrow(FirstUILanguage());
    ASSERT_FALSE(language.empty());
    TranslationFile file("[xx-XX]\r\nCustom.Hello=Wrong\r\n[" + language +
                         "]\r\nCustom.Hello=Hello there\nCustom.Hello=Second\r\ncustom.other=Other\r\n");
    const wchar_t* hello = TranslateDll(L"Custom.Hello", L"fallback");
    EXPECT_STREQ(hello, L"Hello there");
    EXPECT_STREQ(TranslateDll(L"CUSTOM.OTHER", L"fallback"), L"Other");
    EXPECT_STREQ(TranslateDll(L"Custom.Missing", L"fallback"), L"fallback");
    EXPECT_EQ(TranslateDll(L"Custom.Hello", L"fallback"), hello);
    // Table keys never reach the file.
    EXPECT_STRNE(TranslateDll(L"Menu.Run", L"fallback"), L"fallback");
}

TEST(StartMenuNames, FileWithOnlyAnotherLanguageAnswersNothing)
{
    TranslationFile file("[xx-XX]\r\nCustom.Hello=Wrong\r\n");
    const wchar_t* fallback = L"fallback";
    EXPECT_EQ(TranslateDll(L"Custom.Hello", fallback), fallback);
}

TEST(StartMenuNames, HostileTranslationFilesAreHarmless)
{
    std::string language = Narrow(FirstUILanguage());
    std::string longValue(5000, 'v');
    TranslationFile file("[" + language + "]\r\n" + std::string(600, 'k') + "=x\r\nlong=" + longValue +
                         "\r\nctl=a\x01z\r\n[" + language);
    EXPECT_EQ(lstrlenW(TranslateDll(L"long", L"fallback")), 259);
    EXPECT_STREQ(TranslateDll(L"ctl", L"fallback"), L"a.z");
}
