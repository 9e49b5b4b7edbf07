// The system message box with the product's conventions: found by its
// class and caption, its owner by the rules (active window, none, the last
// active pop-up), answered by a thread timer; the pause callback around
// it; no box for no error; the texts of error codes and their fallbacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DlgProbe.h"
#include "MsgProbe.h"
#include "common/TestSupport.h"

namespace {

BOOL CALLBACK FindSystemBox(HWND window, LPARAM found)
{
    wchar_t kind[16] = {}, caption[64] = {};
    GetClassNameW(window, kind, 16);
    GetWindowTextW(window, caption, 64);
    if (lstrcmpW(kind, L"#32770") || lstrcmpW(caption, GetMyProductInfo()->GetName()) || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM all)
{
    wchar_t text[2100] = {};
    GetWindowTextW(child, text, 2100);
    *reinterpret_cast<std::wstring*>(all) += text + std::wstring(L"|");
    return TRUE;
}

struct Seen {
    HWND box = nullptr;
    HWND owner = nullptr;
    std::wstring texts; // of the box's children, each followed by "|"
};

// Runs show() and answers the system box it shows with the button id.
Seen Answer(int id, const std::function<int()>& show)
{
    Seen seen;
    ModalWatchdog watchdog(15000);
    BoxTicker ticker([&] {
        HWND box = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindSystemBox, reinterpret_cast<LPARAM>(&box));
        if (!box || seen.box)
            return;
        seen.box = box;
        seen.owner = GetWindow(box, GW_OWNER);
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&seen.texts));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    });
    EXPECT_EQ(show(), id);
    return seen;
}

std::vector<int> pauses;

// The system's own text for code, without trailing line breaks.
std::wstring SystemText(DWORD code)
{
    wchar_t text[1024] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 1024, nullptr);
    std::wstring result(text, length);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r'))
        result.pop_back();
    return result;
}

} // namespace

TEST(MsgSystemBox, OwnedByTheLastActivePopupOfTheOwnerOrNone)
{
    ProbeDlg main, popup;
    HWND mainWnd = main.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    HWND popupWnd = popup.Modeless(IDD_PLAIN, TestModule(), mainWnd, 1);
    ASSERT_TRUE(mainWnd && popupWnd);
    SetActiveWindow(popupWnd);
    Seen seen = Answer(IDNO, [&] { return Msg(mainWnd, MB_YESNO | MB_ICONQUESTION, L"Keep the changes?"); });
    EXPECT_EQ(seen.owner, popupWnd) << "the owner's last active pop-up";
    EXPECT_NE(seen.texts.find(L"Keep the changes?\n |"), std::wstring::npos) << seen.texts.c_str();

    // Null: the active window.
    SetActiveWindow(mainWnd);
    HWND active = GetActiveWindow();
    seen = Answer(IDOK, [&] { return MsgFmt(nullptr, MB_OK, L"%d items, %s", 3, L"sorted"); });
    EXPECT_EQ(seen.owner, active ? GetLastActivePopup(active) : nullptr);
    EXPECT_NE(seen.texts.find(L"3 items, sorted\n |"), std::wstring::npos) << seen.texts.c_str();

    // 1: no owner at all.
    seen = Answer(IDOK, [] { return Msg(reinterpret_cast<HWND>(1), MB_OK, L"Alone"); });
    EXPECT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.owner, nullptr);
    DestroyWindow(popupWnd);
    DestroyWindow(mainWnd);
}

TEST(MsgSystemBox, PauseCallbackHearsZeroBeforeAndOneAfter)
{
    pauses.clear();
    MsgSetPauseResumeCallback([](int resumed) { pauses.push_back(resumed); });
    Answer(IDOK, [] { return Msg(reinterpret_cast<HWND>(1), MB_OK, L"Paused"); });
    MsgSetPauseResumeCallback(nullptr);
    EXPECT_EQ(pauses, (std::vector<int>{0, 1}));
    Answer(IDOK, [] { return Msg(reinterpret_cast<HWND>(1), MB_OK, L"No callback"); });
    EXPECT_EQ(pauses.size(), 2u);
}

TEST(MsgSystemBox, LastErrorShowsTheErrorTextAndNothingWithoutError)
{
    bool boxSeen = false;
    {
        ModalWatchdog watchdog(5000);
        BoxTicker ticker([&] {
            HWND box = nullptr;
            EnumThreadWindows(GetCurrentThreadId(), FindSystemBox, reinterpret_cast<LPARAM>(&box));
            if (box) {
                boxSeen = true;
                PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            }
        });
        SetLastError(0);
        EXPECT_EQ(MsgLastError(nullptr, MB_OK, 0), 1);
        EXPECT_EQ(MsgHRESULT(nullptr, S_OK, MB_OK, 0), 1);
    }
    EXPECT_FALSE(boxSeen);

    AppInstance app(TestModule(), L"MsgBoxTest");
    const std::wstring error = GetLastErrorText(ERROR_FILE_NOT_FOUND);
    Seen seen = Answer(IDOK, [] {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return MsgLastError(reinterpret_cast<HWND>(1), MB_OK, IDS_TIP);
    });
    EXPECT_NE(seen.texts.find(L"A tip from the string table\n\n" + error + L"\n |"), std::wstring::npos)
        << seen.texts.c_str();
    seen = Answer(
        IDOK, [] { return MsgHRESULT(reinterpret_cast<HWND>(1), static_cast<long>(0x80070005), 0xFFFFFFFF, 0); });
    EXPECT_NE(seen.texts.find(L"|" + std::wstring(GetLastErrorText(static_cast<int>(0x80070005))) + L"\n |"),
        std::wstring::npos)
        << "only the error's text: " << seen.texts.c_str();
}

TEST(MsgErrorText, SystemTextsWithoutTrailingLineBreaks)
{
    const std::wstring expected = SystemText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(expected.empty()) << "the system has a text for ERROR_FILE_NOT_FOUND";
    EXPECT_EQ(GetLastErrorText(ERROR_FILE_NOT_FOUND), expected);
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetLastErrorText(0), SystemText(ERROR_ACCESS_DENIED)) << "0: the last error";
    // A Win32 error as a result code: the system's own text, or the plain code's.
    const std::wstring wrapped = SystemText(0x80070002);
    EXPECT_EQ(GetLastErrorText(static_cast<int>(0x80070002)), wrapped.empty() ? expected : wrapped);
}

TEST(MsgErrorText, FallbacksWhereTheSystemHasNoText)
{
    struct Case {
        DWORD code;
        const wchar_t* text;
    };
    for (Case c : {Case{0x80072EEE, L"The password was not allowed."}, Case{0x80040201, L"IDispatch error #1"},
             Case{0x8004FFFF, L"IDispatch error #65023"}, Case{0x80040200, L"Unknown error 0x80040200"},
             Case{0xA0041234, L"Unknown error 0xA0041234"}}) {
        // Each fallback applies only where the system has nothing to say.
        if (SystemText(c.code).empty() && SystemText(c.code & 0xFFFF).empty())
            EXPECT_STREQ(GetLastErrorText(static_cast<int>(c.code)), c.text);
        else
            RecordProperty("system_text", "the system knows a text for one of the codes");
    }
}
