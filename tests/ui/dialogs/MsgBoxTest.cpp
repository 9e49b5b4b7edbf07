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

struct Found {
    HWND box = nullptr;
};

BOOL CALLBACK FindSystemBox(HWND window, LPARAM context)
{
    wchar_t kind[16] = {}, caption[64] = {};
    GetClassNameW(window, kind, 16);
    GetWindowTextW(window, caption, 64);
    // The framework's own boxes have the same class and caption.
    if (lstrcmpW(kind, L"#32770") || lstrcmpW(caption, GetMyProductInfo()->GetName()) || !IsWindowVisible(window)
        || window == MsgExGetOpenBox())
        return TRUE;
    reinterpret_cast<Found*>(context)->box = window;
    return FALSE;
}

// The system box of this thread that is shown, or null.
HWND SystemBox()
{
    Found found;
    EnumThreadWindows(GetCurrentThreadId(), FindSystemBox, reinterpret_cast<LPARAM>(&found));
    return found.box;
}

BOOL CALLBACK CollectText(HWND child, LPARAM context)
{
    wchar_t text[1024] = {};
    GetWindowTextW(child, text, 1024);
    *reinterpret_cast<std::wstring*>(context) += text;
    *reinterpret_cast<std::wstring*>(context) += L"|";
    return TRUE;
}

// The texts of the box's children, each followed by "|".
std::wstring BoxTexts(HWND box)
{
    std::wstring all;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&all));
    return all;
}

// What was seen of the box that a timer answered with the button id.
struct Seen {
    HWND box = nullptr;
    HWND owner = nullptr;
    std::wstring texts;
    bool foreground = false;
};

Seen Answer(int id, const std::function<int()>& show)
{
    Seen seen;
    ModalWatchdog watchdog(15000);
    BoxTicker ticker([&] {
        HWND box = SystemBox();
        if (!box || seen.box)
            return;
        seen.box = box;
        seen.owner = GetWindow(box, GW_OWNER);
        seen.texts = BoxTexts(box);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    });
    int result = show();
    EXPECT_EQ(result, id);
    return seen;
}

std::vector<int> pauses;

void RecordPause(int resumed)
{
    pauses.push_back(resumed);
}

// The system's own text for code, without trailing line breaks; empty when
// it has none.
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

TEST(MsgSystemBox, OwnedByTheLastActivePopupOfTheOwnerWithTheProductCaption)
{
    ProbeDlg main;
    HWND mainWnd = main.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(mainWnd, nullptr);
    ProbeDlg popup;
    HWND popupWnd = popup.Modeless(IDD_PLAIN, TestModule(), mainWnd, 1);
    ASSERT_NE(popupWnd, nullptr);
    SetActiveWindow(popupWnd);

    Seen seen = Answer(IDNO, [&] { return Msg(mainWnd, MB_YESNO | MB_ICONQUESTION, L"Keep the changes?"); });
    EXPECT_EQ(seen.owner, popupWnd) << "the owner's last active pop-up";
    EXPECT_NE(seen.texts.find(L"Keep the changes?\n |"), std::wstring::npos) << seen.texts.c_str();

    // Without an owner the active window is the owner.
    SetActiveWindow(mainWnd);
    HWND active = GetActiveWindow();
    seen = Answer(IDOK, [&] { return MsgFmt(nullptr, MB_OK, L"%d items, %s", 3, L"sorted"); });
    EXPECT_EQ(seen.owner, active ? GetLastActivePopup(active) : nullptr);
    EXPECT_NE(seen.texts.find(L"3 items, sorted\n |"), std::wstring::npos) << seen.texts.c_str();
    DestroyWindow(popupWnd);
    DestroyWindow(mainWnd);
}

TEST(MsgSystemBox, OwnerOneMeansNoOwner)
{
    ProbeDlg main;
    HWND mainWnd = main.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(mainWnd, nullptr);
    SetActiveWindow(mainWnd);
    Seen seen = Answer(IDOK, [] { return Msg(reinterpret_cast<HWND>(1), MB_OK, L"Alone"); });
    EXPECT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.owner, nullptr);
    DestroyWindow(mainWnd);
}

TEST(MsgSystemBox, PauseCallbackHearsZeroBeforeAndOneAfter)
{
    pauses.clear();
    MsgSetPauseResumeCallback(RecordPause);
    std::vector<int> duringBox;
    Answer(IDOK, [&] { return MsgFmt(reinterpret_cast<HWND>(1), MB_OK, IDS_TIP); });
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
        BoxTicker ticker([&] { boxSeen = boxSeen || SystemBox(); });
        SetLastError(0);
        EXPECT_EQ(MsgLastError(nullptr, MB_OK, 0), 1);
        EXPECT_EQ(MsgHRESULT(nullptr, S_OK, MB_OK, 0), 1);
        PumpFor(50);
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
    EXPECT_NE(
        seen.texts.find(std::wstring(GetLastErrorText(static_cast<int>(0x80070005))) + L"\n |"), std::wstring::npos)
        << seen.texts.c_str();
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
    // Each fallback applies only where the system has nothing to say.
    if (SystemText(0x80072EEE).empty() && SystemText(0x2EEE).empty()) {
        EXPECT_STREQ(GetLastErrorText(static_cast<int>(0x80072EEE)), L"The password was not allowed.");
    }
    if (SystemText(0x80040205).empty()) {
        EXPECT_STREQ(GetLastErrorText(static_cast<int>(0x80040205)), L"IDispatch error #5");
    }
    if (SystemText(0x8004FFFF).empty()) {
        EXPECT_STREQ(GetLastErrorText(static_cast<int>(0x8004FFFF)), L"IDispatch error #65023");
    }
    ASSERT_TRUE(SystemText(0xA0041234).empty());
    EXPECT_STREQ(GetLastErrorText(static_cast<int>(0xA0041234)), L"Unknown error 0xA0041234");
    if (SystemText(0x80040200).empty()) {
        EXPECT_STREQ(GetLastErrorText(static_cast<int>(0x80040200)), L"Unknown error 0x80040200")
            << "just below the IDispatch range";
    }
}
