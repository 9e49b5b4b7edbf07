// What the web-link tests share: a stand-in browser registered for a test
// protocol, a test file type or "http" (and removed again), the file it
// leaves, a spy on the library's calls of the shell's execute functions,
// and answerers for the boxes and dialogs a call shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/ImportHook.h"
#include "common/TestSupport.h"
#include "online/WebLinks.h"

// Points the library's base URL elsewhere for a test's life.
class BaseUrl {
public:
    explicit BaseUrl(const wchar_t* url) : saved(pszMyCompanyURL) { pszMyCompanyURL = url; }
    ~BaseUrl() { pszMyCompanyURL = saved; }
    BaseUrl(const BaseUrl&) = delete;
    BaseUrl& operator=(const BaseUrl&) = delete;

private:
    const wchar_t* saved;
};

// The stand-in browser's command line, written to a file of a temporary
// folder that the environment names for the programs this process starts.
class BrowserMarker {
public:
    BrowserMarker();
    ~BrowserMarker();
    BrowserMarker(const BrowserMarker&) = delete;
    BrowserMarker& operator=(const BrowserMarker&) = delete;

    // The command line the browser was started with, once its file is
    // there; empty when it did not come within ms.
    std::wstring Wait(DWORD ms = 10000);
    // Whether the browser stays away for ms.
    bool StaysAway(DWORD ms = 1500) { return Wait(ms).empty(); }

private:
    TempFolder folder;
    std::wstring file;
};

// Registrations of the stand-in browser among the current user's classes,
// removed with everything below them when the object goes. Wine's root of
// the classes shows only the machine's: a protocol or file type of the
// test is written there too, so that the shell finds it as Windows would
// through the merged view ("http" is never touched there: Wine's own
// handler lives in that key).
class TestClasses {
public:
    TestClasses() = default;
    ~TestClasses();
    TestClasses(const TestClasses&) = delete;
    TestClasses& operator=(const TestClasses&) = delete;

    // The browser's command for a protocol ("pvtestproto", or "http" for
    // the current user only); command overrides the usual
    // "\"browser\" \"%1\"".
    void Protocol(const std::wstring& name, const std::wstring& command = L"");
    // A file type (".pvtestpage") opened by the browser.
    void FileType(const std::wstring& extension);

    static std::wstring BrowserPath();

private:
    void Write(HKEY root, const std::wstring& sub, const wchar_t* name, const std::wstring& value);
    void Keep(HKEY root, const std::wstring& sub);

    std::vector<std::pair<HKEY, std::wstring>> created;
};

// The library's ShellExecuteW and ShellExecuteExW calls, seen and
// optionally refused, for the life of the object.
class ShellSpy {
public:
    enum Mode {
        passThrough, // every call goes to the shell
        failFirst, // the first ShellExecuteW call fails, later ones go to the shell
        failAll, // every ShellExecuteW call fails
        succeedQuietly // every call answers success without starting anything
    };
    struct Call {
        std::wstring file;
        std::wstring parameters;
        HWND window;
        ULONG mask; // ShellExecuteExW only
        bool extended;
        std::wstring verb; // "" for the default verb
        int show;
    };

    explicit ShellSpy(Mode mode, bool failExtended = false);
    ~ShellSpy();
    ShellSpy(const ShellSpy&) = delete;
    ShellSpy& operator=(const ShellSpy&) = delete;

    bool Hooked() const { return execute.Hooked() && executeEx.Hooked(); }
    const std::vector<Call>& Calls() const { return calls; }

private:
    static HINSTANCE WINAPI Execute(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static BOOL WINAPI ExecuteEx(SHELLEXECUTEINFOW*);

    Mode mode;
    bool failExtended;
    std::vector<Call> calls;
    ImportHook execute;
    ImportHook executeEx;
};

// Answers the MsgEx boxes that open on this thread: remembers each one's
// text and presses the next of the buttons given (IDC_MSGEX_BUTTON1...),
// one box per button.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int buttonId) : BoxAnswerer(std::vector<int>{buttonId}) { }
    explicit BoxAnswerer(std::vector<int> buttons);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<std::wstring>& Texts() const { return texts; }
    // The words of each box's visible buttons, joined by "|".
    const std::vector<std::wstring>& Buttons() const { return words; }
    // Ticks the box's check box before pressing.
    void TickCheckBox() { tick = true; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    std::vector<int> buttons;
    size_t answered = 0;
    bool tick = false;
    HWND lastBox = nullptr;
    std::vector<std::wstring> texts;
    std::vector<std::wstring> words;
    UINT_PTR timer;
};

// The icon resources the library loads for its boxes (by their ids), for
// the life of the object.
class IconSpy {
public:
    IconSpy();
    ~IconSpy();
    IconSpy(const IconSpy&) = delete;
    IconSpy& operator=(const IconSpy&) = delete;

    bool Hooked() const { return hook.Hooked(); }
    const std::vector<unsigned>& Ids() const { return ids; }

private:
    static HANDLE WINAPI Load(HINSTANCE, LPCWSTR, UINT, int, int, UINT);

    std::vector<unsigned> ids;
    ImportHook hook;
};

// Clicks the buttons of the task dialog that opens on this thread, one
// after the other, waiting for each click to be handled; remembers whether
// the dialog was still there before each click.
class TaskDialogClicker {
public:
    explicit TaskDialogClicker(std::vector<int> buttons);
    ~TaskDialogClicker();
    TaskDialogClicker(const TaskDialogClicker&) = delete;
    TaskDialogClicker& operator=(const TaskDialogClicker&) = delete;

    // How many clicks reached a dialog, and its text as seen.
    size_t Clicked() const { return clicked; }
    const std::wstring& Texts() const { return seen; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    std::vector<int> buttons;
    size_t clicked = 0;
    std::wstring seen;
    UINT_PTR timer;
};

// The site the library was built with (the same build setting) and the
// URL of one of its pages.
std::wstring BuiltSite();
std::wstring BuiltPageUrl(const std::wstring& key);

// The contents of a file as text (UTF-16 without a mark), empty when absent.
std::wstring ReadWideFile(const std::wstring& path);
