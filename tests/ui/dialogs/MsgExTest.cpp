// The framework's message box, answered by a thread timer while its own
// loop runs: button sets and their codes, the default button, keys, the
// check box and its stored answer, one box at a time, the instance id,
// device arrival, the callbacks, links up the owner chain (and never into
// another process), texts given as ids, pictures and leaks.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <memory>
#include <string>
#include <vector>

#include "DlgProbe.h"
#include "MsgProbe.h"
#include "SkinSupport.h"
#include "common/DrawProbe.h"
#include "common/ImportHook.h"
#include "common/TestSupport.h"
#include "ui/html/ZnStaticHTML.h"

namespace {

constexpr int buttonIds[3] = {IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON2, IDC_MSGEX_BUTTON3};

// The process-wide settings back to none, whatever a test set.
struct CleanSettings {
    CleanSettings() { Reset(); }
    ~CleanSettings() { Reset(); }
    static void Reset()
    {
        MsgExSetLinkCallback(nullptr, nullptr);
        MsgExSetButtonCallback(nullptr, nullptr);
        MsgExSetActivatePrevID(0);
    }
};

class MsgExTest : public testing::Test {
protected:
    CleanSettings clean;
    ModalWatchdog watchdog{60000};
};

// Shows a box and clicks the button id as soon as it is shown; the box's
// words are kept.
int AnswerWith(unsigned int type, int id, std::vector<std::wstring>* words = nullptr)
{
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (!box)
            return;
        if (words) {
            for (int each : buttonIds)
                words->push_back(ItemShown(box, each) ? ItemText(box, each) : L"");
        }
        ClickItem(box, id);
    });
    return MsgEx(nullptr, type, L"Which one?");
}

ZnStaticHTML* HtmlOf(HWND box)
{
    ZnWnd* bound = ZnWnd::FromHandle(GetDlgItem(box, IDC_MSGEX_TEXT));
    return bound && bound->IsKindOf(L"ZnStaticHTML") ? static_cast<ZnStaticHTML*>(bound) : nullptr;
}

// A click at the centre of the first area of the text's own link ("<A>").
bool ClickOwnLink(HWND box)
{
    ZnStaticHTML* html = HtmlOf(box);
    if (!html)
        return false;
    POS pos = html->GetLinks().GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = html->GetLinks().GetArea(pos);
        if (area->id != IDC_MSGEX_TEXT || !area->rects.GetHeadPos())
            continue;
        const RECT* r = static_cast<const RECT*>(area->rects.GetAt(area->rects.GetHeadPos()));
        LPARAM at = MAKELPARAM((r->left + r->right) / 2, (r->top + r->bottom) / 2);
        SendMessageW(html->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(html->GetHwnd(), WM_LBUTTONUP, 0, at);
        return true;
    }
    return false;
}

} // namespace

// --- buttons -------------------------------------------------------------------------

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
    };
    for (const Set& set : sets) {
        for (int i = 0; i < 3; ++i) {
            if (!set.codes[i])
                continue;
            std::vector<std::wstring> words;
            EXPECT_EQ(AnswerWith(set.type, buttonIds[i], &words), set.codes[i])
                << "type " << set.type << " button " << i;
            ASSERT_EQ(words.size(), 3u);
            for (int w = 0; w < 3; ++w)
                EXPECT_EQ(words[w], set.words[w]) << "type " << set.type << " place " << w;
        }
    }
}

TEST_F(MsgExTest, CloseButtonAndSystemCloseGiveCancel)
{
    for (UINT way : {0u, 1u}) {
        BoxTicker ticker([&] {
            if (HWND box = ShownBox())
                way ? SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0) : SendMessageW(box, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(MsgEx(nullptr, MB_YESNO, L"Close me"), IDCANCEL) << "way " << way;
    }
}

TEST_F(MsgExTest, ContinueTakesTheCancelPlaceWhereAsked)
{
    for (unsigned int type : {MB_OKCANCEL | MB_EX_CONTINUE, MB_RETRYCANCEL | MB_EX_CONTINUE}) {
        std::vector<std::wstring> words;
        EXPECT_EQ(AnswerWith(type, IDC_MSGEX_BUTTON3, &words), IDCONTINUE);
        EXPECT_EQ(words[2], L"&Continue");
    }
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
        BoxTicker ticker([&] {
            HWND box = ShownBox();
            if (!box)
                return;
            focused = GetDlgCtrlID(GetFocus());
            defId = SendMessageW(box, DM_GETDEFID, 0, 0);
            // Enter where no button has the focus is IDOK: the default button.
            SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        EXPECT_EQ(MsgEx(nullptr, c.type, L"Default"), c.code) << "type " << c.type;
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
        WPARAM stray; // a word the box does not show
    };
    for (Case c :
        {Case{MB_YESNO, 'N', IDNO, 'R'}, Case{MB_YESNOCANCEL, 'Y', IDYES, 'O'}, Case{MB_RETRYCANCEL, 'R', IDRETRY, 'Y'},
            Case{MB_ABORTRETRYIGNORE, 'C', IDCANCEL, 'N'}, Case{MB_OK, 'O', IDOK, 'C'}}) {
        bool posted = false;
        BoxTicker ticker([&] {
            HWND box = ShownBox();
            if (!box || posted)
                return;
            posted = true;
            // A key without its word in the box does nothing first.
            PostMessageW(GetFocus(), WM_KEYDOWN, c.stray, 0);
            PostMessageW(GetFocus(), WM_KEYDOWN, c.key, 0);
        });
        EXPECT_EQ(MsgEx(nullptr, c.type, L"Keys"), c.code) << "key " << static_cast<char>(c.key);
    }
}

TEST_F(MsgExTest, ButtonCallbackHearsTheCodeAndMayKeepTheBoxOpen)
{
    struct Heard {
        std::vector<unsigned int> codes;
        HWND box = nullptr;
    } heard;
    MsgExSetButtonCallback(
        [](HWND box, unsigned int code, void* data) {
            auto* h = static_cast<Heard*>(data);
            h->codes.push_back(code);
            h->box = box;
            return h->codes.size() > 1 ? 1 : 0;
        },
        &heard);
    HWND shown = nullptr;
    BoxTicker ticker([&] {
        if ((shown = ShownBox()) != nullptr)
            ClickItem(shown, IDC_MSGEX_BUTTON2);
    });
    EXPECT_EQ(MsgEx(nullptr, MB_YESNO, L"Sure?"), IDNO);
    EXPECT_EQ(heard.codes, (std::vector<unsigned int>{IDNO, IDNO})) << "the first answer 0 kept it open";
    EXPECT_EQ(heard.box, shown);
}

// --- the check box ---------------------------------------------------------------------

TEST_F(MsgExTest, TickedBoxRemembersTheCodeOfTheButtonChosen)
{
    int dontShow = 0;
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            EXPECT_TRUE(ItemShown(box, IDC_MSGEX_DONTSHOW));
            EXPECT_EQ(ItemText(box, IDC_MSGEX_DONTSHOW), L"Don't show this message again");
            CheckDlgButton(box, IDC_MSGEX_DONTSHOW, BST_CHECKED);
            ClickItem(box, IDC_MSGEX_BUTTON2);
        }
    });
    EXPECT_EQ(MsgExFmt(nullptr, MB_YESNO, &dontShow, L"Delete %d files?", 3), IDNO);
    EXPECT_EQ(dontShow, IDNO) << "the code of the button chosen, not just 'ticked'";
    // The next box gives the same answer.
    EXPECT_EQ(MsgExFmt(nullptr, MB_YESNO, &dontShow, L"Delete %d files?", 3), IDNO);
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
    bool seen = false;
    int dontShow = IDRETRY;
    int result = 0;
    {
        ModalWatchdog quick(5000);
        BoxTicker watcher([&] { seen = seen || ShownBox() != nullptr; });
        result = MsgExFmt(nullptr, MB_RETRYCANCEL, &dontShow, L"Insert the disc");
    }
    EXPECT_EQ(result, IDRETRY);
    EXPECT_FALSE(seen);
    EXPECT_EQ(callbackCalls, 0);
    EXPECT_EQ(dontShow, IDRETRY);
    EXPECT_EQ(MsgExGetOpenBox(), nullptr);
}

TEST_F(MsgExTest, StoredOneOfOlderFilesAnswersWithTheDefaultButton)
{
    struct Case {
        unsigned int type;
        int code;
    };
    // A box that has OK takes the 1 as OK, whatever its default.
    for (Case c : {Case{MB_OK, IDOK}, Case{MB_YESNO, IDYES}, Case{MB_YESNO | MB_DEFBUTTON2, IDNO},
             Case{MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL}, Case{MB_OKCANCEL | MB_DEFBUTTON2, IDOK}}) {
        int stored = 1;
        EXPECT_EQ(MsgExFmt(nullptr, c.type, &stored, L"Old answer"), c.code) << "type " << c.type;
        EXPECT_EQ(stored, 1);
    }
}

TEST_F(MsgExTest, UntickedBoxStoresNothing)
{
    AppInstance app(TestModule(), L"MsgExTest");
    int dontShow = 0;
    std::wstring shown;
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            shown = ItemText(box, IDC_MSGEX_TEXT);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    EXPECT_EQ(MsgExFmt(nullptr, MB_YESNO, &dontShow, IDS_TIP), IDYES);
    EXPECT_EQ(shown, L"A tip from the string table");
    EXPECT_EQ(dontShow, 0);
}

TEST_F(MsgExTest, WithoutPointerTheCheckBoxIsHiddenAndTheBoxShorterByItsPlace)
{
    int withHeight = 0, withoutHeight = 0, distance = 0;
    bool hidden = false;
    int dontShow = 0;
    {
        BoxTicker ticker([&] {
            if (HWND box = ShownBox()) {
                withHeight = WindowHeight(box);
                distance = ItemClientRect(box, IDC_MSGEX_BELOW_CHECK).top - ItemClientRect(box, IDC_MSGEX_DONTSHOW).top;
                ClickItem(box, IDC_MSGEX_BUTTON1);
            }
        });
        EXPECT_EQ(MsgExFmt(nullptr, MB_OK, &dontShow, L"Same text"), IDOK);
    }
    {
        BoxTicker ticker([&] {
            if (HWND box = ShownBox()) {
                withoutHeight = WindowHeight(box);
                hidden = !ItemShown(box, IDC_MSGEX_DONTSHOW);
                ClickItem(box, IDC_MSGEX_BUTTON1);
            }
        });
        EXPECT_EQ(MsgExFmt(nullptr, MB_OK, L"Same text"), IDOK);
    }
    EXPECT_TRUE(hidden);
    EXPECT_GT(distance, 0);
    EXPECT_EQ(withHeight - withoutHeight, distance);
}

// --- one box at a time, instance id, device arrival ------------------------------------

namespace {

struct SecondCall {
    bool started = false;
    bool done = false;
    int result = -5;
    HWND openWhenStarted = nullptr;
} second;

void CALLBACK StartSecondBox(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    second.started = true;
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
    DWORD startedAt = 0;
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (!box)
            return;
        if (!first) {
            first = box;
            SetTimer(nullptr, 0, 10, StartSecondBox);
        } else if (box == first && second.started) {
            // The second call has been waiting for a while: the first box
            // is still the open one.
            if (!startedAt)
                startedAt = GetTickCount();
            else if (GetTickCount() - startedAt > 150)
                ClickItem(box, IDC_MSGEX_BUTTON1);
        } else if (box != first) {
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
    EXPECT_EQ(MsgExGetOpenBox(), nullptr);
}

namespace {

void CALLBACK StartSameInstance(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    second.started = true;
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
        if (!box)
            return;
        if (!asked) {
            asked = true;
            SetTimer(nullptr, 0, 10, StartSameInstance);
        } else if (second.done) {
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    EXPECT_EQ(MsgEx(nullptr, MB_OK, L"first instance"), IDOK);
    EXPECT_TRUE(second.done);
    EXPECT_EQ(second.result, 0);
}

TEST_F(MsgExTest, DeviceArrivalPressesRetryWhereAsked)
{
    {
        BoxTicker ticker([&] {
            if (HWND box = ShownBox())
                SendMessageW(box, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
        });
        EXPECT_EQ(MsgEx(nullptr, MB_RETRYCANCEL | MB_EX_DEVICE_RETRY, L"Insert the disc"), IDRETRY);
    }
    // Without the bit a device changes nothing.
    int arrivals = 0;
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (!box)
            return;
        if (arrivals++ < 3)
            SendMessageW(box, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
        else
            ClickItem(box, IDC_MSGEX_BUTTON3);
    });
    EXPECT_EQ(MsgEx(nullptr, MB_RETRYCANCEL, L"Insert the disc"), IDCANCEL);
}

// --- links ---------------------------------------------------------------------------------

TEST_F(MsgExTest, LinkClickAsksTheLinkCallbackAndClosesWithANonZeroAnswer)
{
    struct Asked {
        int calls = 0;
        HWND box = nullptr;
    } asked;
    MsgExSetLinkCallback(
        [](HWND box, void* data) -> unsigned int {
            auto* a = static_cast<Asked*>(data);
            a->box = box;
            return ++a->calls > 1 ? 42u : 0u;
        },
        &asked);
    std::wstring markup;
    bool clicked = false;
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (!box)
            return;
        if (ZnStaticHTML* html = HtmlOf(box)) {
            wchar_t text[256];
            html->GetHTMLText(text, 256);
            markup = text;
        }
        clicked = ClickOwnLink(box);
    });
    EXPECT_EQ(MsgExFmtLink(L"Open the site", nullptr, MB_OK, L"Hello <B>%s</B>", L"world"), 42);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(markup, L"Hello <B>world</B><br><br><A>Open the site</A>");
    EXPECT_EQ(asked.calls, 2) << "the first answer, 0, kept the box open";
    EXPECT_NE(asked.box, nullptr);
}

TEST_F(MsgExTest, WithoutLinkCallbackTheOwnerChainIsAskedWithCode150)
{
    ProbeDlg top;
    HWND topWnd = top.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(topWnd, nullptr);
    RecordingHook answering(L"link");
    answering.watched = GetCompanyMessage();
    answering.onWatched = [](ZnDlg*, WPARAM code, LPARAM result) {
        if (code == MSGEX_LINK_CODE)
            *reinterpret_cast<unsigned int*>(result) = 9;
    };
    answering.answer = true;
    answering.answerValue = 1;
    answering.AddToDlg(&top);
    // The box's owner does not answer; its own owner does.
    ProbeDlg middle;
    HWND middleWnd = middle.Modeless(IDD_PLAIN, TestModule(), topWnd, 1);
    ASSERT_NE(middleWnd, nullptr);

    bool ownerDisabled = false;
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            ownerDisabled = !IsWindowEnabled(middleWnd);
            ClickOwnLink(box);
        }
    });
    EXPECT_EQ(MsgExFmtLink(L"Ask", middleWnd, MB_OK, L"Linked"), 9);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(middleWnd));
    EXPECT_EQ(answering.seen, 1);
    EXPECT_EQ(middle.companyCodes, std::vector<int>{MSGEX_LINK_CODE});
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
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    HWND peer = nullptr;
    PumpUntil([&] { return (peer = FindWindowW(L"PvdlgPeerOwner", L"pvdlgpeer owner")) != nullptr; }, 10000);
    ASSERT_NE(peer, nullptr);
    const UINT company = GetCompanyMessage();

    int clicks = 0;
    LRESULT peerHeard = -1;
    BoxTicker ticker([&] {
        HWND box = ShownBox();
        if (!box)
            return;
        if (clicks++ < 3) {
            ClickOwnLink(box);
            return;
        }
        DWORD_PTR count = 99;
        SendMessageTimeoutW(peer, company, 9150, 0, SMTO_ABORTIFHUNG, 2000, &count);
        peerHeard = static_cast<LRESULT>(count);
        ClickItem(box, IDC_MSGEX_BUTTON1);
    });
    int result = MsgExFmtLink(L"Ask", peer, MB_OK, L"Owned by another process");
    if (result == -1) {
        PostMessageW(peer, WM_CLOSE, 0, 0);
        GTEST_SKIP() << "a dialog owned by another process's window cannot be made here";
    }
    EXPECT_EQ(result, IDOK) << "the links stayed unanswered";
    EXPECT_EQ(peerHeard, 0);
    // The peer does answer code 150 when it is sent to it: the count above
    // is not zero only because it is deaf.
    DWORD_PTR reply = 0;
    SendMessageTimeoutW(peer, company, MSGEX_LINK_CODE, 0, SMTO_ABORTIFHUNG, 2000, &reply);
    EXPECT_EQ(reply, 1u);
    PostMessageW(peer, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.Get(), 5000);
}

// --- texts -------------------------------------------------------------------------------------

TEST_F(MsgExTest, TextsAreIdsOnlyWhenTheWholePointerSaysSo)
{
    std::wstring shown;
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            shown = ItemText(box, IDC_MSGEX_TEXT);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    // A negative id: a string of the library.
    EXPECT_EQ(MsgEx(nullptr, MB_OK, reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(-27052))), IDOK);
    EXPECT_EQ(shown, L"&Retry");
    // A positive id: a string of the application.
    AppInstance app(TestModule(), L"MsgExTest");
    EXPECT_EQ(MsgEx(nullptr, MB_OK, MAKEINTRESOURCEW(IDS_TIP)), IDOK);
    EXPECT_EQ(shown, L"A tip from the string table");

    // A string whose address, cut to 32 bits, would look like an id.
    void* place = nullptr;
    for (ULONG_PTR at : {0x100000000ull, 0x200000000ull, 0x3FFFF0000ull, 0x7F00000000ull}) {
        place = VirtualAlloc(reinterpret_cast<void*>(at), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (place)
            break;
    }
    if (!place)
        GTEST_SKIP() << "no memory above 4 GB at an address with an id-like low half";
    lstrcpyW(static_cast<wchar_t*>(place), L"A string far up");
    EXPECT_EQ(MsgEx(nullptr, MB_OK, static_cast<const wchar_t*>(place)), IDOK);
    EXPECT_EQ(shown, L"A string far up");
    VirtualFree(place, 0, MEM_RELEASE);
}

TEST_F(MsgExTest, LastErrorTextFollowsTheMessageOnlyAfterASeparator)
{
    std::wstring shown;
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            shown = ItemText(box, IDC_MSGEX_TEXT);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    const std::wstring error = GetLastErrorText(ERROR_FILE_NOT_FOUND);
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(MsgExFmt(nullptr, MB_OK | MB_EX_LAST_ERROR, L"Cannot open %s", L"a.txt"), IDOK);
    EXPECT_EQ(shown, L"Cannot open a.txt\n\n" + error);
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(MsgEx(nullptr, MB_OK | MB_EX_LAST_ERROR, L""), IDOK);
    EXPECT_EQ(shown, error) << "no separator before the error of an empty message";
    SetLastError(0);
    EXPECT_EQ(MsgEx(nullptr, MB_OK | MB_EX_LAST_ERROR, L"No error"), IDOK);
    EXPECT_EQ(shown, L"No error");

    std::wstring markup;
    BoxTicker html([&] {
        if (HWND box = ShownBox()) {
            wchar_t text[512] = {};
            if (ZnStaticHTML* control = HtmlOf(box))
                control->GetHTMLText(text, 512);
            markup = text;
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(MsgEx(nullptr, MB_OK | MB_EX_LAST_ERROR | MB_EX_HTML, L"<B>Failed</B>"), IDOK);
    EXPECT_EQ(markup, L"<B>Failed</B><br><br>" + error);
}

// --- layout and window states ------------------------------------------------------------

TEST_F(MsgExTest, BoxGrowsWithItsTextAndKeepsTheButtonsBelowIt)
{
    struct Look {
        int height = 0;
        RECT text = {};
        RECT button = {};
    };
    auto show = [](unsigned int type, const wchar_t* text) {
        Look look;
        BoxTicker ticker([&] {
            if (HWND box = ShownBox()) {
                look.height = WindowHeight(box);
                look.text = ItemClientRect(box, IDC_MSGEX_TEXT);
                look.button = ItemClientRect(box, IDC_MSGEX_BUTTON1);
                ClickItem(box, IDC_MSGEX_BUTTON1);
            }
        });
        EXPECT_EQ(MsgEx(nullptr, type, text), IDOK);
        return look;
    };
    std::wstring lines;
    for (int i = 0; i < 12; ++i)
        lines += L"A line of its own<br>";
    for (unsigned int html : {0u, static_cast<unsigned int>(MB_EX_HTML)}) {
        Look one = show(MB_OK | html, L"One line");
        std::wstring many = lines;
        if (!html) {
            for (size_t at; (at = many.find(L"<br>")) != std::wstring::npos;)
                many.replace(at, 4, L"\n");
        }
        Look twelve = show(MB_OK | html, many.c_str());
        const int grown = (twelve.text.bottom - twelve.text.top) - (one.text.bottom - one.text.top);
        EXPECT_GT(grown, 60) << "html " << html;
        EXPECT_EQ(twelve.height - one.height, grown) << "html " << html;
        EXPECT_EQ(twelve.button.top - one.button.top, grown) << "html " << html;
        EXPECT_GE(twelve.button.top, twelve.text.bottom) << "html " << html;
    }
}

TEST_F(MsgExTest, TopmostStaysAndTheBoxIsCentredOnItsOwner)
{
    ProbeDlg owner;
    HWND ownerWnd = owner.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
    ASSERT_NE(ownerWnd, nullptr);
    for (unsigned int type : {0u, static_cast<unsigned int>(MB_TOPMOST)}) {
        bool topmost = false, active = false;
        HWND boxOwner = nullptr;
        POINT centre = {}, ownerCentre = {};
        BoxTicker ticker([&] {
            if (HWND box = ShownBox()) {
                topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                active = GetActiveWindow() == box;
                boxOwner = GetWindow(box, GW_OWNER);
                RECT r, o;
                GetWindowRect(box, &r);
                GetWindowRect(ownerWnd, &o);
                centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                ownerCentre = {(o.left + o.right) / 2, (o.top + o.bottom) / 2};
                ClickItem(box, IDC_MSGEX_BUTTON1);
            }
        });
        EXPECT_EQ(MsgEx(ownerWnd, MB_OK | type, L"On top?"), IDOK);
        EXPECT_TRUE(active) << "type " << type;
        EXPECT_EQ(boxOwner, ownerWnd);
        EXPECT_EQ(topmost, type == MB_TOPMOST) << "type " << type;
        EXPECT_LE(std::abs(centre.x - ownerCentre.x), 2) << "type " << type;
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
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            active = GetActiveWindow() == box;
            boxOwner = GetWindow(box, GW_OWNER);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    EXPECT_EQ(MsgEx(nullptr, MB_OK | MB_EX_TOPMOST_ONCE, L"On top once"), IDOK);
    if (boxOwner)
        GTEST_SKIP() << "a window was active: the box was owned, and Wine keeps owned windows topmost";
    EXPECT_TRUE(active);
    EXPECT_FALSE(topmost);
}

namespace {

std::vector<std::pair<HWND, WPARAM>> shieldMessages;

LRESULT CALLBACK RecordShield(int code, WPARAM wParam, LPARAM lParam)
{
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == BCM_SETSHIELD)
        shieldMessages.push_back({sent->hwnd, sent->lParam});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(MsgExTest, ShieldBitPutsTheShieldOnTheFirstButtonOnly)
{
    shieldMessages.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordShield, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    HWND first = nullptr;
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            if (!first)
                first = GetDlgItem(box, IDC_MSGEX_BUTTON1);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    EXPECT_EQ(MsgEx(nullptr, MB_YESNO | MB_EX_SHIELD, L"Elevate?"), IDYES);
    const auto withShield = shieldMessages;
    shieldMessages.clear();
    EXPECT_EQ(MsgEx(nullptr, MB_YESNO, L"Plain"), IDYES);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(withShield.size(), 1u);
    EXPECT_EQ(withShield[0].first, first);
    EXPECT_EQ(withShield[0].second, TRUE);
    EXPECT_TRUE(shieldMessages.empty());
}

// --- skin -----------------------------------------------------------------------------------------

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
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            style = GetWindowLongPtrW(box, GWL_STYLE);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    EXPECT_EQ(MsgEx(nullptr, MB_OK, L"Skinned"), IDOK);
    EXPECT_EQ(style & WS_CAPTION, 0) << "the skin's template has no caption";
    MsgEx_SetSkin(nullptr, nullptr);
    EXPECT_EQ(GetMsgBoxSkin(), nullptr);
    EXPECT_EQ(MsgEx(nullptr, MB_OK, L"Plain again"), IDOK);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
}

// --- pictures and leaks ---------------------------------------------------------------------

namespace {

const wchar_t* const pictureText
    = L"<B>Launchora</B> found <A1>3 new items</A1> in your start menu.<br>Would you like to "
      L"<I>sort</I> them now?";

// The box's client area composed into a picture and saved; how many of
// its pixels are not the button face.
int SaveBoxPicture(HWND box, const wchar_t* name)
{
    RECT client;
    GetClientRect(box, &client);
    Canvas canvas(client.right, client.bottom, RGB(255, 0, 255));
    ComposeClientArea(box, canvas);
    SavePng(name, canvas.Pixels().data(), client.right, client.bottom);
    int other = 0;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            other += canvas.At(x, y) != face;
    return other;
}

int ShowForPicture(const wchar_t* name, int* otherPixels, RECT* iconRect)
{
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            *otherPixels = SaveBoxPicture(box, name);
            *iconRect = ItemClientRect(box, IDC_MSGEX_ICON);
            ClickItem(box, IDC_MSGEX_BUTTON1);
        }
    });
    int dontShow = 0;
    return MsgExFmtLink(L"Tell me more", nullptr, MB_YESNO | MB_ICONQUESTION, &dontShow, pictureText);
}

} // namespace

TEST_F(MsgExTest, PictureOfAnHtmlBoxWithLinks)
{
    int other = 0;
    RECT icon = {};
    EXPECT_EQ(ShowForPicture(L"msgex_html_links", &other, &icon), IDYES);
    EXPECT_GT(other, 500) << "icon, text and buttons drawn";
    EXPECT_EQ(icon.right - icon.left, 48);
}

TEST_F(MsgExTest, PictureOfTheSameBoxOnTheMessageBoxSkin)
{
    TestSkinMode mode;
    ASSERT_NE(GetMsgBoxSkin(), nullptr);
    int other = 0;
    RECT icon = {};
    EXPECT_EQ(ShowForPicture(L"msgex_skinned", &other, &icon), IDYES);
    EXPECT_GT(other, 500);
}

namespace {

// The icons the library loads while alive, through its imports.
class LoadedIcons {
public:
    LoadedIcons() : hook("user32.dll", "LoadImageW", reinterpret_cast<void*>(&Load))
    {
        made.clear();
        self = this;
    }
    ~LoadedIcons() { self = nullptr; }
    bool Hooked() const { return hook.Hooked(); }
    size_t Made() const { return made.size(); }
    size_t Alive() const
    {
        size_t alive = 0;
        for (HANDLE icon : made) {
            ICONINFO info = {};
            if (GetIconInfo(static_cast<HICON>(icon), &info)) {
                ++alive;
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
            }
        }
        return alive;
    }

private:
    static HANDLE WINAPI Load(HINSTANCE module, LPCWSTR name, UINT kind, int cx, int cy, UINT flags)
    {
        typedef HANDLE(WINAPI * Fn)(HINSTANCE, LPCWSTR, UINT, int, int, UINT);
        HANDLE got = self->hook.Original<Fn>()(module, name, kind, cx, cy, flags);
        if (got && kind == IMAGE_ICON)
            made.push_back(got);
        return got;
    }

    ImportHook hook;
    static inline std::vector<HANDLE> made;
    static inline LoadedIcons* self = nullptr;
};

} // namespace

TEST_F(MsgExTest, TwoHundredBoxesLeaveNoWindowOrIconBehind)
{
    const int windowsBefore = CountThreadWindows();
    LoadedIcons icons;
    ASSERT_TRUE(icons.Hooked()) << "the library loads its icons with LoadImageW";
    const unsigned int iconBits[] = {MB_ICONINFORMATION, MB_ICONQUESTION, MB_ICONHAND, MB_ICONEXCLAMATION};
    int answered = 0;
    int round = 0;
    BoxTicker ticker([&] {
        if (HWND box = ShownBox()) {
            // Links and the text laid out once more, as a paint would.
            RECT client;
            GetClientRect(GetDlgItem(box, IDC_MSGEX_TEXT), &client);
            Canvas canvas(client.right, client.bottom);
            SendMessageW(
                GetDlgItem(box, IDC_MSGEX_TEXT), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
            ClickItem(box, round % 2 ? IDC_MSGEX_BUTTON2 : IDC_MSGEX_BUTTON1);
        }
    });
    for (round = 0; round < 200; ++round) {
        int dontShow = 0;
        int code = MsgExFmtLink(L"More", nullptr, MB_YESNO | iconBits[round % 4], &dontShow,
            L"Box <B>%d</B> of <A1>two hundred</A1>", round + 1);
        answered += code == (round % 2 ? IDNO : IDYES);
    }
    EXPECT_EQ(answered, 200);
    EXPECT_EQ(icons.Made(), 200u);
    EXPECT_EQ(icons.Alive(), 0u);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
    EXPECT_EQ(MsgExGetOpenBox(), nullptr);
}
