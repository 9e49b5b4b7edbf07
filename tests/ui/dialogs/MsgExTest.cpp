// The framework's message box, answered by a thread timer while its own
// loop runs: button sets, default button and keys, the check box and its
// stored answer, one box at a time, the instance id, device arrival, the
// callbacks, links up the owner chain (never into another process), texts,
// layout, pictures and leaks.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "DlgProbe.h"
#include "MsgProbe.h"
#include "SkinSupport.h"
#include "common/CreationLog.h"
#include "common/TestSupport.h"
#include "ui/html/ZnStaticHTML.h"

namespace {

constexpr int buttonIds[3] = {IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON2, IDC_MSGEX_BUTTON3};

class MsgExTest : public testing::Test {
protected:
    void TearDown() override
    {
        MsgExSetLinkCallback(nullptr, nullptr);
        MsgExSetButtonCallback(nullptr, nullptr);
        MsgExSetActivatePrevID(0);
    }
    ModalWatchdog watchdog{60000};
};

ZnStaticHTML* HtmlOf(HWND box)
{
    ZnWnd* bound = ZnWnd::FromHandle(GetDlgItem(box, IDC_MSGEX_TEXT));
    return bound && bound->IsKindOf(L"ZnStaticHTML") ? static_cast<ZnStaticHTML*>(bound) : nullptr;
}

std::wstring Markup(HWND box)
{
    wchar_t text[2100] = {};
    if (ZnStaticHTML* html = HtmlOf(box))
        html->GetHTMLText(text, 2100);
    return text;
}

// A click in the middle of the first area of the box's link ("<A>").
void ClickLink(HWND box)
{
    ZnStaticHTML* html = HtmlOf(box);
    ASSERT_NE(html, nullptr);
    for (POS pos = html->GetLinks().GetHeadPos(); pos;) {
        DrawHTMLLinkArea* area = html->GetLinks().GetArea(pos);
        if (area->id != IDC_MSGEX_TEXT || !area->rects.GetHeadPos())
            continue;
        auto* r = static_cast<const RECT*>(area->rects.GetAt(area->rects.GetHeadPos()));
        LPARAM at = MAKELPARAM((r->left + r->right) / 2, (r->top + r->bottom) / 2);
        SendMessageW(html->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(html->GetHwnd(), WM_LBUTTONUP, 0, at);
        return;
    }
    ADD_FAILURE() << "no link in the box";
}

} // namespace

// --- buttons and keys -------------------------------------------------------------------

TEST_F(MsgExTest, EveryButtonSetShowsItsWordsAndGivesTheirCodes)
{
    struct Set {
        unsigned int type;
        const wchar_t* words[3];
        int codes[3];
    };
    const Set sets[] = {
        {MB_OK, {L"OK", L"", L""}, {IDOK, 0, 0}},
        {MB_OKCANCEL, {L"OK", L"", L"&Cancel"}, {IDOK, 0, IDCANCEL}},
        {MB_ABORTRETRYIGNORE, {L"&Retry", L"&Continue", L"&Cancel"}, {IDRETRY, IDCONTINUE, IDCANCEL}},
        {MB_YESNOCANCEL, {L"&Yes", L"&No", L"&Cancel"}, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {L"&Yes", L"&No", L""}, {IDYES, IDNO, 0}},
        {MB_RETRYCANCEL, {L"&Retry", L"", L"&Cancel"}, {IDRETRY, 0, IDCANCEL}},
        {MB_CANCELTRYCONTINUE, {L"&Retry", L"&Continue", L"&Cancel"}, {IDRETRY, IDCONTINUE, IDCANCEL}},
        {MB_OKCANCEL | MB_EX_CONTINUE, {L"OK", L"", L"&Continue"}, {IDOK, 0, IDCONTINUE}},
        {MB_RETRYCANCEL | MB_EX_CONTINUE, {L"&Retry", L"", L"&Continue"}, {IDRETRY, 0, IDCONTINUE}},
    };
    for (const Set& set : sets) {
        for (int i = 0; i < 3; ++i) {
            if (!set.codes[i])
                continue;
            std::wstring words[3];
            int code = WithBox([&] { return MsgEx(nullptr, set.type, L"Which one?"); },
                [&](HWND box) {
                    for (int w = 0; w < 3; ++w)
                        words[w] = IsWindowVisible(GetDlgItem(box, buttonIds[w])) ? ItemText(box, buttonIds[w]) : L"";
                    ClickItem(box, buttonIds[i]);
                });
            EXPECT_EQ(code, set.codes[i]) << "type " << std::hex << set.type << " button " << i;
            for (int w = 0; w < 3; ++w)
                EXPECT_EQ(words[w], set.words[w]) << "type " << std::hex << set.type << " place " << w;
        }
    }
    // The close button and the system menu's Close give Cancel.
    EXPECT_EQ(
        WithBox([] { return MsgEx(nullptr, MB_YESNO, L"Close"); }, [](HWND box) { SendMessageW(box, WM_CLOSE, 0, 0); }),
        IDCANCEL);
    EXPECT_EQ(WithBox([] { return MsgEx(nullptr, MB_YESNO, L"Close"); },
                  [](HWND box) { SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }),
        IDCANCEL);
}

TEST_F(MsgExTest, DefaultButtonTwoAndThreeTakeTheFocusAndEnter)
{
    struct Case {
        unsigned int type;
        int focused;
        int code;
    };
    for (Case c :
        {Case{MB_YESNOCANCEL, IDC_MSGEX_BUTTON1, IDYES}, Case{MB_YESNOCANCEL | MB_DEFBUTTON2, IDC_MSGEX_BUTTON2, IDNO},
            Case{MB_YESNOCANCEL | MB_DEFBUTTON3, IDC_MSGEX_BUTTON3, IDCANCEL},
            Case{MB_OKCANCEL | MB_DEFBUTTON2, IDC_MSGEX_BUTTON3, IDCANCEL}}) {
        int focused = 0;
        LRESULT defId = 0;
        int code = WithBox([&] { return MsgEx(nullptr, c.type, L"Default"); },
            [&](HWND box) {
                focused = GetDlgCtrlID(GetFocus());
                defId = SendMessageW(box, DM_GETDEFID, 0, 0);
                // Enter where no button has the focus is IDOK: the default button.
                SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            });
        EXPECT_EQ(code, c.code) << "type " << c.type;
        EXPECT_EQ(focused, c.focused) << "type " << c.type;
        EXPECT_EQ(LOWORD(defId), c.focused) << "type " << c.type;
    }
}

TEST_F(MsgExTest, LetterKeysPressTheButtonOfTheirWord)
{
    struct Case {
        unsigned int type;
        WPARAM key;
        int code;
        WPARAM stray; // a word the box does not show: nothing happens
    };
    for (Case c :
        {Case{MB_YESNO, 'N', IDNO, 'R'}, Case{MB_YESNOCANCEL, 'Y', IDYES, 'O'}, Case{MB_RETRYCANCEL, 'R', IDRETRY, 'Y'},
            Case{MB_ABORTRETRYIGNORE, 'C', IDCANCEL, 'N'}, Case{MB_OK, 'O', IDOK, 'C'}}) {
        int code = WithBox([&] { return MsgEx(nullptr, c.type, L"Keys"); },
            [&](HWND) {
                PostMessageW(GetFocus(), WM_KEYDOWN, c.stray, 0);
                PostMessageW(GetFocus(), WM_KEYDOWN, c.key, 0);
            });
        EXPECT_EQ(code, c.code) << "key " << static_cast<char>(c.key);
    }
}

TEST_F(MsgExTest, ButtonCallbackHearsTheCodeAndMayKeepTheBoxOpen)
{
    std::vector<unsigned int> heard;
    MsgExSetButtonCallback(
        [](HWND, unsigned int code, void* data) {
            auto* codes = static_cast<std::vector<unsigned int>*>(data);
            codes->push_back(code);
            return codes->size() > 1 ? 1 : 0;
        },
        &heard);
    int code = WithBox([] { return MsgEx(nullptr, MB_YESNO, L"Sure?"); },
        [](HWND box) {
            ClickItem(box, IDC_MSGEX_BUTTON2);
            EXPECT_TRUE(IsWindow(box)) << "the first answer, 0, keeps it open";
            ClickItem(box, IDC_MSGEX_BUTTON2);
        });
    EXPECT_EQ(code, IDNO);
    EXPECT_EQ(heard, (std::vector<unsigned int>{IDNO, IDNO}));
}

// --- the check box ---------------------------------------------------------------------

TEST_F(MsgExTest, TickedBoxRemembersTheCodeOfTheButtonChosen)
{
    int dontShow = 0;
    auto tickAndSayNo = [](HWND box) {
        EXPECT_EQ(ItemText(box, IDC_MSGEX_DONTSHOW), L"Don't show this message again");
        CheckDlgButton(box, IDC_MSGEX_DONTSHOW, BST_CHECKED);
        ClickItem(box, IDC_MSGEX_BUTTON2);
    };
    EXPECT_EQ(
        WithBox([&] { return MsgExFmt(nullptr, MB_YESNO, &dontShow, L"Delete %d files?", 3); }, tickAndSayNo), IDNO);
    EXPECT_EQ(dontShow, IDNO) << "the code of the button chosen, not just 'ticked'";
    // Unticked: nothing is remembered.
    dontShow = 0;
    EXPECT_EQ(WithBox([&] { return MsgExFmt(nullptr, MB_YESNO, &dontShow, L"Again"); },
                  [](HWND box) {
                      CheckDlgButton(box, IDC_MSGEX_DONTSHOW, BST_UNCHECKED);
                      ClickItem(box, IDC_MSGEX_BUTTON1);
                  }),
        IDYES);
    EXPECT_EQ(dontShow, 0);
}

TEST_F(MsgExTest, StoredAnswerIsGivenUnseenWithoutAskingTheButtonCallback)
{
    // The callback would veto everything: asked, it would keep a box that
    // nobody sees open for ever.
    int callbackCalls = 0;
    MsgExSetButtonCallback(
        [](HWND, unsigned int, void* data) {
            ++*static_cast<int*>(data);
            return 0;
        },
        &callbackCalls);
    ModalWatchdog quick(5000);
    bool seen = false;
    BoxTicker watcher([&] { seen = seen || ShownBox(); });
    int dontShow = IDRETRY;
    EXPECT_EQ(MsgExFmt(nullptr, MB_RETRYCANCEL, &dontShow, L"Insert the disc"), IDRETRY);
    EXPECT_EQ(dontShow, IDRETRY);
    // A stored code the box has no button for (the 1 of older files) is
    // its default button; a box with OK takes the 1 as OK.
    struct Case {
        unsigned int type;
        int code;
    };
    for (Case c : {Case{MB_YESNO, IDYES}, Case{MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
             Case{MB_OKCANCEL | MB_DEFBUTTON2, IDOK}}) {
        int stored = 1;
        EXPECT_EQ(MsgExFmt(nullptr, c.type, &stored, L"Old answer"), c.code) << "type " << c.type;
        EXPECT_EQ(stored, 1);
    }
    EXPECT_FALSE(seen);
    EXPECT_EQ(callbackCalls, 0);
    EXPECT_EQ(MsgExGetOpenBox(), nullptr);
}

TEST_F(MsgExTest, WithoutPointerTheCheckBoxIsHiddenAndTheBoxShorterByItsPlace)
{
    int dontShow = 0, withHeight = 0, withoutHeight = 0, distance = 0;
    bool hidden = false;
    auto height = [](HWND box) {
        RECT r;
        GetWindowRect(box, &r);
        return r.bottom - r.top;
    };
    WithBox([&] { return MsgExFmt(nullptr, MB_OK, &dontShow, L"Same text"); },
        [&](HWND box) {
            withHeight = height(box);
            distance = ItemClientRect(box, IDC_MSGEX_BELOW_CHECK).top - ItemClientRect(box, IDC_MSGEX_DONTSHOW).top;
            ClickItem(box, IDC_MSGEX_BUTTON1);
        });
    WithBox([&] { return MsgExFmt(nullptr, MB_OK, L"Same text"); },
        [&](HWND box) {
            withoutHeight = height(box);
            hidden = !IsWindowVisible(GetDlgItem(box, IDC_MSGEX_DONTSHOW));
            ClickItem(box, IDC_MSGEX_BUTTON1);
        });
    EXPECT_TRUE(hidden);
    EXPECT_GT(distance, 0);
    EXPECT_EQ(withHeight - withoutHeight, distance);
}

// --- one box at a time, instance id, device arrival ------------------------------------

namespace {

struct SecondCall {
    bool done = false;
    int result = -5;
    HWND openWhenStarted = nullptr;
} second;

void CALLBACK StartSecondBox(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    second.openWhenStarted = MsgExGetOpenBox();
    second.result = MsgEx(nullptr, MB_YESNO, L"second");
    second.done = true;
}

} // namespace

TEST_F(MsgExTest, ASecondBoxWaitsUntilTheFirstOneIsClosed)
{
    second = {};
    HWND first = nullptr;
    bool firstGoneWhenSecondShown = false;
    DWORD askedAt = 0;
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (box && !first) {
            first = box;
            askedAt = GetTickCount();
            SetTimer(nullptr, 0, 10, StartSecondBox);
        } else if (box && box == first && GetTickCount() - askedAt > 200) {
            // The second call has been waiting a while: close the first.
            ClickItem(box, IDC_MSGEX_BUTTON1);
        } else if (box && box != first) {
            firstGoneWhenSecondShown = !IsWindow(first);
            EXPECT_EQ(ItemText(box, IDC_MSGEX_TEXT), L"second");
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    EXPECT_EQ(MsgEx(nullptr, MB_OK, L"first"), IDOK);
    EXPECT_TRUE(second.done);
    EXPECT_EQ(second.openWhenStarted, first);
    EXPECT_EQ(second.result, IDYES);
    EXPECT_TRUE(firstGoneWhenSecondShown);
}

namespace {

void CALLBACK StartSameInstance(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    second.result = MsgEx(nullptr, MB_OK, L"same instance");
    second.done = true;
}

} // namespace

TEST_F(MsgExTest, ABoxOfTheSameInstanceIdIsBroughtForwardInstead)
{
    second = {};
    MsgExSetActivatePrevID(4711);
    bool asked = false;
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (box && !asked)
            asked = SetTimer(nullptr, 0, 10, StartSameInstance) != 0;
        else if (box && second.done)
            ClickItem(box, IDC_MSGEX_BUTTON1);
    });
    EXPECT_EQ(MsgEx(nullptr, MB_OK, L"first instance"), IDOK);
    EXPECT_TRUE(second.done);
    EXPECT_EQ(second.result, 0);
}

TEST_F(MsgExTest, DeviceArrivalPressesRetryWhereAsked)
{
    auto arrive = [](HWND box) {
        SendMessageW(box, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
        if (IsWindow(box))
            ClickItem(box, IDC_MSGEX_BUTTON3);
    };
    EXPECT_EQ(WithBox([] { return MsgEx(nullptr, MB_RETRYCANCEL | MB_EX_DEVICE_RETRY, L"Insert"); }, arrive), IDRETRY);
    EXPECT_EQ(WithBox([] { return MsgEx(nullptr, MB_RETRYCANCEL, L"Insert"); }, arrive), IDCANCEL);
}

// --- links -------------------------------------------------------------------------------

TEST_F(MsgExTest, LinkClickAsksTheLinkCallbackAndClosesWithANonZeroAnswer)
{
    int calls = 0;
    MsgExSetLinkCallback(
        [](HWND, void* data) -> unsigned int { return ++*static_cast<int*>(data) > 1 ? 42u : 0u; }, &calls);
    std::wstring markup;
    int code = WithBox([] { return MsgExFmtLink(L"Open the site", nullptr, MB_OK, L"Hello <B>%s</B>", L"world"); },
        [&](HWND box) {
            markup = Markup(box);
            ClickLink(box);
            EXPECT_TRUE(IsWindow(box)) << "the first answer, 0, keeps it open";
            ClickLink(box);
        });
    EXPECT_EQ(code, 42);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(markup, L"Hello <B>world</B><br><br><A>Open the site</A>");

    // The link and the format as string ids; a long message is cut, the link
    // never.
    AppInstance app(TestModule(), L"MsgExTest");
    MsgExSetLinkCallback(nullptr, nullptr);
    auto read = [&](HWND box) {
        markup = Markup(box);
        ClickItem(box, IDC_MSGEX_BUTTON1);
    };
    int dontShow = 0;
    auto libraryWord = reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(-27055));
    WithBox([&] { return MsgExFmtLink(libraryWord, nullptr, MB_OK, &dontShow, IDS_TIP); }, read);
    EXPECT_EQ(markup, L"A tip from the string table<br><br><A>&Continue</A>");
    std::wstring longText(3000, L'x');
    WithBox([&] { return MsgExFmtLink(L"Still here", nullptr, MB_OK, L"%s", longText.c_str()); }, read);
    EXPECT_EQ(markup.size(), 2047u);
    EXPECT_EQ(markup.substr(markup.size() - 25), L"<br><br><A>Still here</A>");
}

TEST_F(MsgExTest, WithoutLinkCallbackTheOwnerChainIsAskedWithCode150)
{
    ProbeDlg top, middle;
    HWND topWnd = top.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(topWnd, nullptr);
    // The box's owner does not answer; its own owner does.
    HWND middleWnd = middle.Modeless(IDD_PLAIN, TestModule(), topWnd, 1);
    ASSERT_NE(middleWnd, nullptr);
    RecordingHook answering(L"link");
    answering.watched = GetCompanyMessage();
    answering.onWatched = [](ZnDlg*, WPARAM code, LPARAM result) {
        if (code == MSGEX_LINK_CODE)
            *reinterpret_cast<unsigned int*>(result) = 9;
    };
    answering.answer = true;
    answering.answerValue = 1;
    answering.AddToDlg(&top);
    bool ownerDisabled = false;
    int code = WithBox([&] { return MsgExFmtLink(L"Ask", middleWnd, MB_OK, L"Linked"); },
        [&](HWND box) {
            ownerDisabled = !IsWindowEnabled(middleWnd);
            ClickLink(box);
        });
    EXPECT_EQ(code, 9);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(middleWnd));
    EXPECT_EQ(answering.seen, 1);
    // Other programs' broadcasts (instance queries) may reach the dialog too.
    EXPECT_EQ(std::count(middle.companyCodes.begin(), middle.companyCodes.end(), MSGEX_LINK_CODE), 1);
    answering.RemoveFromDlg(&top);
    DestroyWindow(middleWnd);
    DestroyWindow(topWnd);
}

TEST_F(MsgExTest, AnOwnerOfAnotherProcessIsNeverSentTheResultPointer)
{
    std::wstring command = L"\"" + ModuleFolder() + L"\\pvdlgpeer.exe\" owner";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    KernelHandle process(info.hProcess), thread(info.hThread);
    HWND peer = nullptr;
    PumpUntil([&] { return (peer = FindWindowW(L"PvdlgPeerOwner", L"pvdlgpeer owner")) != nullptr; }, 10000);
    ASSERT_NE(peer, nullptr);
    auto ask = [peer](WPARAM code) {
        DWORD_PTR reply = 99;
        SendMessageTimeoutW(peer, GetCompanyMessage(), code, 0, SMTO_ABORTIFHUNG, 2000, &reply);
        return reply;
    };
    DWORD_PTR heard = 99;
    int code = WithBox([&] { return MsgExFmtLink(L"Ask", peer, MB_OK, L"Owned by another process"); },
        [&](HWND box) {
            ClickLink(box);
            heard = ask(9150);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        });
    EXPECT_EQ(code, IDOK) << "the link stayed unanswered";
    EXPECT_EQ(heard, 0u);
    // The peer does count code 150 when it gets one.
    EXPECT_EQ(ask(MSGEX_LINK_CODE), 1u);
    PostMessageW(peer, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.Get(), 5000);
}

// --- texts and layout ----------------------------------------------------------------------

TEST_F(MsgExTest, TextsAreIdsOnlyWhenTheWholePointerSaysSo)
{
    AppInstance app(TestModule(), L"MsgExTest");
    auto shown = [](const wchar_t* text) {
        std::wstring seen;
        WithBox([&] { return MsgEx(nullptr, MB_OK, text); },
            [&](HWND box) {
                seen = ItemText(box, IDC_MSGEX_TEXT);
                ClickItem(box, IDC_MSGEX_BUTTON1);
            });
        return seen;
    };
    EXPECT_EQ(shown(reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(-27052))), L"&Retry") << "the library's";
    EXPECT_EQ(shown(MAKEINTRESOURCEW(IDS_TIP)), L"A tip from the string table") << "the application's";

    // A string whose address, cut to 32 bits, would look like an id.
    void* place = nullptr;
    for (ULONG_PTR at : {0x100000000ull, 0x200000000ull, 0x3FFFF0000ull, 0x7F00000000ull}) {
        if ((place = VirtualAlloc(reinterpret_cast<void*>(at), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)))
            break;
    }
    if (!place)
        GTEST_SKIP() << "no memory above 4 GB at an address with an id-like low half";
    lstrcpyW(static_cast<wchar_t*>(place), L"A string far up");
    EXPECT_EQ(shown(static_cast<const wchar_t*>(place)), L"A string far up");
    VirtualFree(place, 0, MEM_RELEASE);
}

TEST_F(MsgExTest, LastErrorTextFollowsTheMessageOnlyAfterASeparator)
{
    const std::wstring error = GetLastErrorText(ERROR_FILE_NOT_FOUND);
    auto shown = [](DWORD lastError, unsigned int type, const wchar_t* text) {
        std::wstring seen;
        WithBox(
            [&] {
                SetLastError(lastError);
                return MsgEx(nullptr, MB_OK | MB_EX_LAST_ERROR | type, text);
            },
            [&](HWND box) {
                seen = (type & MB_EX_HTML) ? Markup(box) : ItemText(box, IDC_MSGEX_TEXT);
                ClickItem(box, IDC_MSGEX_BUTTON1);
            });
        return seen;
    };
    EXPECT_EQ(shown(ERROR_FILE_NOT_FOUND, 0, L"Cannot open"), L"Cannot open\n\n" + error);
    EXPECT_EQ(shown(ERROR_FILE_NOT_FOUND, 0, L""), error) << "no separator after an empty message";
    EXPECT_EQ(shown(0, 0, L"No error"), L"No error");
    EXPECT_EQ(shown(ERROR_FILE_NOT_FOUND, MB_EX_HTML, L"<B>Failed</B>"), L"<B>Failed</B><br><br>" + error);
}

TEST_F(MsgExTest, BoxGrowsWithItsTextAndTheButtonsStayBelowIt)
{
    struct Look {
        RECT window, text, button;
    };
    auto look = [](unsigned int type, const std::wstring& text) {
        Look seen = {};
        WithBox([&] { return MsgEx(nullptr, type, text.c_str()); },
            [&](HWND box) {
                GetWindowRect(box, &seen.window);
                seen.text = ItemClientRect(box, IDC_MSGEX_TEXT);
                seen.button = ItemClientRect(box, IDC_MSGEX_BUTTON1);
                ClickItem(box, IDC_MSGEX_BUTTON1);
            });
        return seen;
    };
    for (unsigned int html : {0u, static_cast<unsigned int>(MB_EX_HTML)}) {
        std::wstring lines;
        for (int i = 0; i < 12; ++i)
            lines += html ? L"A line of its own<br>" : L"A line of its own\n";
        Look one = look(html, L"One line"), twelve = look(html, lines);
        const int grown = (twelve.text.bottom - twelve.text.top) - (one.text.bottom - one.text.top);
        EXPECT_GT(grown, 60) << "html " << html;
        EXPECT_EQ((twelve.window.bottom - twelve.window.top) - (one.window.bottom - one.window.top), grown);
        EXPECT_EQ(twelve.button.top - one.button.top, grown) << "html " << html;
    }
}

namespace {

// The buttons sent BCM_SETSHIELD (TRUE) on this thread.
std::vector<HWND> shielded;

LRESULT CALLBACK RecordShield(int code, WPARAM wParam, LPARAM lParam)
{
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == BCM_SETSHIELD && sent->lParam)
        shielded.push_back(sent->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(MsgExTest, TopmostIconShieldAndCentreOnTheOwner)
{
    ProbeDlg owner;
    HWND ownerWnd = owner.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(ownerWnd, nullptr);
    HookHandle hook(SetWindowsHookExW(WH_CALLWNDPROC, RecordShield, nullptr, GetCurrentThreadId()));
    for (unsigned int type : {0u, static_cast<unsigned int>(MB_TOPMOST | MB_EX_SHIELD)}) {
        shielded.clear();
        bool topmost = false;
        int iconWidth = 0;
        LONG dx = 99;
        HWND first = nullptr;
        WithBox([&] { return MsgEx(ownerWnd, type, L"On top?"); },
            [&](HWND box) {
                topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                RECT icon = ItemClientRect(box, IDC_MSGEX_ICON), r, o;
                iconWidth = icon.right - icon.left;
                GetWindowRect(box, &r);
                GetWindowRect(ownerWnd, &o);
                dx = (r.left + r.right) / 2 - (o.left + o.right) / 2;
                first = GetDlgItem(box, IDC_MSGEX_BUTTON1);
                ClickItem(box, IDC_MSGEX_BUTTON1);
            });
        EXPECT_EQ(topmost, type != 0);
        EXPECT_EQ(shielded, type ? std::vector<HWND>{first} : std::vector<HWND>{});
        EXPECT_EQ(iconWidth, 48) << "a 48-pixel icon below 144 DPI";
        EXPECT_LE(std::abs(dx), 2);
    }
    DestroyWindow(ownerWnd);
}

TEST_F(MsgExTest, TopmostOnceEndsAtTheFirstActivation)
{
    // Owned windows stay topmost under Wine whatever they are told (see the
    // README): the box must have no owner, so no window may be active.
    SetActiveWindow(nullptr);
    bool topmost = true, active = false;
    HWND boxOwner = nullptr;
    WithBox([] { return MsgEx(nullptr, MB_OK | MB_EX_TOPMOST_ONCE, L"On top once"); },
        [&](HWND box) {
            topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            active = GetActiveWindow() == box;
            boxOwner = GetWindow(box, GW_OWNER);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        });
    if (boxOwner)
        GTEST_SKIP() << "a window was active: the box was owned, and Wine keeps owned windows topmost";
    EXPECT_TRUE(active);
    EXPECT_FALSE(topmost);
}

// --- skin, pictures, leaks -------------------------------------------------------------------

TEST_F(MsgExTest, SetSkinReplacesTheMessageBoxSkinOnlyInSkinMode)
{
    MsgEx_SetSkin(GetSkinMetrics(TestSkin::kindNine), nullptr);
    EXPECT_EQ(GetMsgBoxSkin(), nullptr) << "no skin without skin mode";
    TestSkinMode mode;
    ASSERT_NE(GetMsgBoxSkin(), nullptr);
    MsgEx_SetSkin(GetSkinMetrics(TestSkin::kindNine), GetSkinAreas(TestSkin::kindNine));
    ASSERT_NE(GetMsgBoxSkin(), nullptr);
    EXPECT_EQ(GetMsgBoxSkin()->GetMetrics(), GetSkinMetrics(TestSkin::kindNine));
    EXPECT_NE(GetMsgBoxSkin()->FindArea(TestSkin::areaCentre), nullptr);
    LONG_PTR style = 0;
    auto readStyle = [&](HWND box) {
        style = GetWindowLongPtrW(box, GWL_STYLE);
        ClickItem(box, IDC_MSGEX_BUTTON1);
    };
    WithBox([] { return MsgEx(nullptr, MB_OK, L"Skinned"); }, readStyle);
    EXPECT_EQ(style & WS_CAPTION, 0) << "the skin's template has no caption";
    MsgEx_SetSkin(nullptr, nullptr);
    EXPECT_EQ(GetMsgBoxSkin(), nullptr);
    WithBox([] { return MsgEx(nullptr, MB_OK, L"Plain again"); }, readStyle);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
}

TEST_F(MsgExTest, PicturesOfAnHtmlBoxPlainAndOnTheMessageBoxSkin)
{
    for (const wchar_t* name : {L"msgex_html_links", L"msgex_skinned"}) {
        std::unique_ptr<TestSkinMode> mode(name[6] == L's' ? new TestSkinMode : nullptr);
        int drawn = 0;
        int dontShow = 0;
        WithBox(
            [&] {
                return MsgExFmtLink(L"Tell me more", nullptr, MB_YESNO | MB_ICONQUESTION, &dontShow,
                    L"<B>Launchora</B> found <A>3 new items</A> in your start menu.<br>Would you like to "
                    L"<I>sort</I> them now?");
            },
            [&](HWND box) {
                RECT client;
                GetClientRect(box, &client);
                Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
                ComposeClientArea(box, canvas);
                SavePng(name, canvas.Pixels().data(), client.right, client.bottom);
                for (int y = 0; y < client.bottom; ++y)
                    for (int x = 0; x < client.right; ++x)
                        drawn += canvas.At(x, y) != GetSysColor(COLOR_BTNFACE);
                ClickItem(box, IDC_MSGEX_BUTTON1);
            });
        EXPECT_GT(drawn, 500) << name;
    }
}

TEST_F(MsgExTest, TwoHundredBoxesLeaveNoWindowOrIconBehind)
{
    const int windowsBefore = CountThreadWindows();
    CreationLog icons(CreationLog::images);
    ASSERT_TRUE(icons.Hooked()) << "the library loads its icons with LoadImageW";
    const unsigned int iconBits[] = {MB_ICONINFORMATION, MB_ICONQUESTION, MB_ICONHAND, MB_ICONEXCLAMATION};
    int answered = 0;
    for (int round = 0; round < 200; ++round) {
        int dontShow = 0;
        int code = WithBox(
            [&] {
                return MsgExFmtLink(L"More", nullptr, MB_YESNO | iconBits[round % 4], &dontShow,
                    L"Box <B>%d</B> of <I>two hundred</I>", round + 1);
            },
            [&](HWND box) {
                // The text painted once, as the screen would.
                HWND text = GetDlgItem(box, IDC_MSGEX_TEXT);
                Canvas canvas(300, 100);
                SendMessageW(text, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
                ClickItem(box, round % 2 ? IDC_MSGEX_BUTTON2 : IDC_MSGEX_BUTTON1);
            });
        answered += code == (round % 2 ? IDNO : IDYES);
    }
    EXPECT_EQ(answered, 200);
    EXPECT_EQ(icons.icons.size(), 200u);
    EXPECT_EQ(icons.IconsAlive(), 0u);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
}
