// The update check's dialogs: what they show for the choices given them,
// the choices they hand back (Continue or the close button), the prompt's
// line about the last check, one dialog of each kind at a time, and the
// offer's link to the page about the update (web addresses only).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/OnlineSupport.h"
#include "PVDLL.h"
#include "common/DrawProbe.h"
#include "common/TestWindow.h"
#include "resources/resource.h"

namespace {

// Runs the step once on the update dialog of this thread when it is up,
// from a thread timer that the dialog's modal loop dispatches.
class OnDialog {
public:
    explicit OnDialog(std::function<void(HWND)> step) : step(std::move(step))
    {
        current = this;
        timer = SetTimer(nullptr, 0, 20, OnTimer);
    }
    ~OnDialog()
    {
        KillTimer(nullptr, timer);
        current = nullptr;
    }
    OnDialog(const OnDialog&) = delete;
    OnDialog& operator=(const OnDialog&) = delete;

    HWND Dialog() const { return dialog; }

private:
    static BOOL CALLBACK Find(HWND window, LPARAM found)
    {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (lstrcmpW(name, L"#32770") || !IsWindowVisible(window) || !GetDlgItem(window, IDC_UPDATE_TITLE))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        OnDialog* self = current;
        if (!self || self->dialog)
            return;
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&found));
        if (!found)
            return;
        self->dialog = found;
        KillTimer(nullptr, self->timer);
        self->step(found);
    }

    static inline OnDialog* current = nullptr;
    std::function<void(HWND)> step;
    UINT_PTR timer;
    HWND dialog = nullptr;
};

ZnStaticHTML* HtmlOf(HWND dialog, int id)
{
    ZnCtrl* control = ZnDlg::GetDlgCtrl(GetDlgItem(dialog, id));
    return control && control->IsKindOf(L"ZnStaticHTML") ? static_cast<ZnStaticHTML*>(control) : nullptr;
}

std::wstring Markup(HWND dialog, int id)
{
    wchar_t text[600] = {};
    if (ZnStaticHTML* html = HtmlOf(dialog, id))
        html->GetHTMLText(text, 600);
    return text;
}

std::wstring Text(HWND window)
{
    wchar_t text[300] = {};
    GetWindowTextW(window, text, 300);
    return text;
}

std::wstring ItemText(HWND dialog, int id)
{
    return Text(GetDlgItem(dialog, id));
}

std::vector<std::wstring> ComboTexts(HWND combo)
{
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

bool IsKind(HWND dialog, int id, const wchar_t* kind)
{
    ZnCtrl* control = ZnDlg::GetDlgCtrl(GetDlgItem(dialog, id));
    return control && control->IsKindOf(kind);
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void SelectReminder(HWND dialog, int index)
{
    HWND combo = GetDlgItem(dialog, IDC_UPDATE_REMIND);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_UPDATE_REMIND, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

RECT ItemRect(HWND dialog, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void SavePicture(HWND dialog, const wchar_t* name)
{
    RECT client;
    GetClientRect(dialog, &client);
    Canvas canvas(client.right, client.bottom, GetSysColor(COLOR_BTNFACE));
    ComposeClientArea(dialog, canvas);
    EXPECT_FALSE(SavePng(name, canvas.Pixels().data(), canvas.cx, canvas.cy).empty()) << "could not save " << name;
}

// A click in the middle of the first area of the description's links.
void ClickDescriptionLink(HWND dialog)
{
    ZnStaticHTML* html = HtmlOf(dialog, IDC_UPDATE_DESCR);
    ASSERT_NE(html, nullptr);
    // A paint lays the links out where the control shows them.
    Canvas scratch(400, 200);
    SendMessageW(html->GetHwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(scratch.dc), PRF_CLIENT);
    for (POS pos = html->GetLinks().GetHeadPos(); pos;) {
        DrawHTMLLinkArea* area = html->GetLinks().GetArea(pos);
        if (!area->rects.GetHeadPos())
            continue;
        auto* r = static_cast<const RECT*>(area->rects.GetAt(area->rects.GetHeadPos()));
        LPARAM at = MAKELPARAM((r->left + r->right) / 2, (r->top + r->bottom) / 2);
        SendMessageW(html->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(html->GetHwnd(), WM_LBUTTONUP, 0, at);
        return;
    }
    ADD_FAILURE() << "no link in the description";
}

// The server's answer with an update.
void Offer(UpdateIni& answer, const wchar_t* descr, const wchar_t* moreInfo)
{
    lstrcpynW(answer.szVersion, L"22.1", UpdateIni::fieldSize);
    lstrcpynW(answer.szDescr, descr, UpdateIni::fieldSize);
    lstrcpynW(answer.szUrlMoreInfo, moreInfo, UpdateIni::fieldSize);
    lstrcpynW(answer.szUrlDownload, L"https://example.test/download/setup.exe", UpdateIni::fieldSize);
}

std::wstring PromptTitle()
{
    return std::wstring(L"Would you like to check for updates to ") + GetMyProductInfo()->GetName() + L"?";
}

} // namespace

// --- what the dialogs show ------------------------------------------------------------------

TEST(UpdatePrompt, ShowsTheChoicesItWasGiven)
{
    ModalWatchdog watchdog;
    DlgCheckForUpdates prompt(12, c4uMonthly, 1, nullptr);
    prompt.yes = 0;
    OnDialog step([&](HWND dialog) {
        EXPECT_EQ(Text(dialog), PromptTitle());
        EXPECT_EQ(Markup(dialog, IDC_UPDATE_TITLE), L"<b><dkgrey>" + PromptTitle() + L"</dkgrey></b>");
        EXPECT_NE(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), 0) << "no application icon";
        EXPECT_EQ(ItemText(dialog, IDC_UPDATE_DAYS), L"Last check for updates was 12 days ago.");
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_UPDATE_DAYS)));
        EXPECT_EQ(ItemText(dialog, IDC_UPDATE_YES), L"Yes, check for updates now.");
        EXPECT_EQ(ItemText(dialog, IDC_UPDATE_NO), L"No, not this time.");
        EXPECT_FALSE(IsDlgButtonChecked(dialog, IDC_UPDATE_YES));
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_UPDATE_NO));
        EXPECT_EQ(ItemText(dialog, IDC_UPDATE_REMIND_LABEL), L"Remind me:");
        HWND combo = GetDlgItem(dialog, IDC_UPDATE_REMIND);
        EXPECT_EQ(ComboTexts(combo), (std::vector<std::wstring>{L"Tomorrow", L"Next week", L"Next month", L"Never"}));
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), c4uMonthly);
        EXPECT_EQ(ItemText(dialog, IDC_UPDATE_AUTO), L"Check for updates automatically, without asking me");
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_UPDATE_AUTO));
        EXPECT_EQ(ItemText(dialog, IDOK), L"Continue");
        EXPECT_TRUE(IsKind(dialog, IDOK, L"ImageBtn"));
        EXPECT_TRUE(IsKind(dialog, IDCANCEL, L"IconBtn"));
        // Another program of the run may hold the foreground for a moment, which takes the
        // focus from this thread; the dialog hands it back to the same control when it is
        // active again, as it does for a user who clicks back into it.
        if (GetActiveWindow() != dialog)
            SetForegroundWindow(dialog);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_UPDATE_NO)) << "the preset choice has the focus";
        SavePicture(dialog, L"update_prompt");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(prompt.Run(nullptr), IDCANCEL);
    EXPECT_FALSE(watchdog.Fired());
}

TEST(UpdateOffer, ShowsTheChoicesItWasGivenAndTheDescriptionWithItsLink)
{
    ModalWatchdog watchdog;
    UpdateIni answer;
    Offer(answer, L"Version 22.1 opens the menu <b>twice as fast</b> and fixes the search box.",
        L"https://example.test/whatsnew");
    DlgGetUpdates offer(answer, c4uWeekly);
    OnDialog step([&](HWND dialog) {
        EXPECT_EQ(Text(dialog), L"An update is available:");
        EXPECT_EQ(Markup(dialog, IDC_UPDATE_TITLE), L"<b><dkgrey>An update is available:</dkgrey></b>");
        EXPECT_NE(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), 0) << "no application icon";
        EXPECT_EQ(Markup(dialog, IDC_UPDATE_DESCR), std::wstring(answer.szDescr) + L"<br><A>More information...</A>");
        EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(dialog, IDC_UPDATE_DESCR), GWL_STYLE) & WS_TABSTOP)
            << "the link is reachable from the keyboard";
        EXPECT_EQ(ItemText(dialog, IDC_UPDATE_YES), L"Yes, download and install it now.");
        EXPECT_EQ(ItemText(dialog, IDC_UPDATE_NO), L"No, not this time.");
        EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_UPDATE_YES));
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_UPDATE_REMIND), CB_GETCURSEL, 0, 0), c4uWeekly);
        EXPECT_EQ(GetDlgItem(dialog, IDC_UPDATE_AUTO), nullptr) << "the offer has no automatic-check box";
        EXPECT_EQ(GetDlgItem(dialog, IDC_UPDATE_DAYS), nullptr);
        EXPECT_TRUE(IsKind(dialog, IDOK, L"ImageBtn"));
        SavePicture(dialog, L"update_offer");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(offer.Run(nullptr), IDOK);
    EXPECT_EQ(offer.yes, 1);
    EXPECT_EQ(offer.remindFreq, c4uWeekly);
}

TEST(UpdateOffer, TheDescriptionTakesTheRoomItNeedsAndTheChoicesFollow)
{
    ModalWatchdog watchdog;
    // Ten lines: more than the template has room for.
    std::wstring longText;
    for (int line = 1; line <= 10; ++line)
        longText += L"Fix " + std::to_wstring(line) + L"<br>";
    UpdateIni shortOne;
    Offer(shortOne, L"One fix.", L"");
    UpdateIni longOne;
    Offer(longOne, longText.c_str(), L"https://example.test/whatsnew");
    auto measure = [](const UpdateIni& answer, RECT& yes, RECT& client) {
        DlgGetUpdates offer(answer, c4uDaily);
        OnDialog step([&](HWND dialog) {
            yes = ItemRect(dialog, IDC_UPDATE_YES);
            GetClientRect(dialog, &client);
            RECT descr = ItemRect(dialog, IDC_UPDATE_DESCR);
            EXPECT_LE(descr.bottom, yes.top);
            Click(dialog, IDCANCEL);
        });
        offer.Run(nullptr);
    };
    RECT shortYes, shortClient, longYes, longClient;
    measure(shortOne, shortYes, shortClient);
    measure(longOne, longYes, longClient);
    EXPECT_GT(longYes.top, shortYes.top);
    EXPECT_EQ(longClient.bottom - shortClient.bottom, longYes.top - shortYes.top);
}

TEST(UpdatePrompt, TheLineAboutTheLastCheckGoesWhenThereWasNone)
{
    ModalWatchdog watchdog;
    RECT withLine = {}, without = {}, clientWith = {}, clientWithout = {}, line = {};
    bool lineVisible = true;
    {
        DlgCheckForUpdates prompt(5, c4uWeekly, 0, nullptr);
        OnDialog step([&](HWND dialog) {
            withLine = ItemRect(dialog, IDC_UPDATE_YES);
            line = ItemRect(dialog, IDC_UPDATE_DAYS);
            GetClientRect(dialog, &clientWith);
            Click(dialog, IDCANCEL);
        });
        prompt.Run(nullptr);
    }
    {
        DlgCheckForUpdates prompt(0, c4uWeekly, 0, nullptr);
        OnDialog step([&](HWND dialog) {
            lineVisible = IsWindowVisible(GetDlgItem(dialog, IDC_UPDATE_DAYS));
            without = ItemRect(dialog, IDC_UPDATE_YES);
            GetClientRect(dialog, &clientWithout);
            Click(dialog, IDCANCEL);
        });
        prompt.Run(nullptr);
    }
    EXPECT_FALSE(lineVisible);
    // The choices move up into the line's place, and the dialog shrinks by as much.
    EXPECT_EQ(without.top, line.top);
    EXPECT_EQ(clientWith.bottom - clientWithout.bottom, withLine.top - without.top);
}

// --- the choices handed back ----------------------------------------------------------------

TEST(UpdatePrompt, ContinueHandsBackTheChoicesMade)
{
    ModalWatchdog watchdog;
    DlgCheckForUpdates prompt(3, c4uWeekly, 1, nullptr);
    OnDialog step([&](HWND dialog) {
        // "No": the check does not run from the dialog.
        Click(dialog, IDC_UPDATE_NO);
        SelectReminder(dialog, c4uNever);
        Click(dialog, IDC_UPDATE_AUTO);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(prompt.Run(nullptr), IDOK);
    EXPECT_EQ(prompt.yes, 0);
    EXPECT_EQ(prompt.remindFreq, c4uNever);
    EXPECT_EQ(prompt.autoCheck, 0);
}

TEST(UpdatePrompt, TheCloseButtonCancelsAndStillHandsBackTheChoices)
{
    ModalWatchdog watchdog;
    DlgCheckForUpdates prompt(3, c4uWeekly, 0, nullptr);
    OnDialog step([&](HWND dialog) {
        Click(dialog, IDC_UPDATE_NO);
        SelectReminder(dialog, c4uDaily);
        Click(dialog, IDC_UPDATE_AUTO);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(prompt.Run(nullptr), IDCANCEL);
    EXPECT_FALSE(watchdog.Fired()) << "the close button did not close";
    EXPECT_EQ(prompt.yes, 0);
    EXPECT_EQ(prompt.remindFreq, c4uDaily);
    EXPECT_EQ(prompt.autoCheck, 1);
}

TEST(UpdateOffer, EscapeAndTheCloseButtonCancelAndHandBackTheChoices)
{
    ModalWatchdog watchdog;
    UpdateIni answer;
    Offer(answer, L"A fix.", L"https://example.test/whatsnew");
    for (bool escape : {false, true}) {
        DlgGetUpdates offer(answer, c4uWeekly);
        OnDialog step([&](HWND dialog) {
            Click(dialog, IDC_UPDATE_NO);
            SelectReminder(dialog, c4uMonthly);
            if (escape) {
                MSG msg = {GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
                IsDialogMessageW(dialog, &msg);
            } else {
                Click(dialog, IDCANCEL);
            }
        });
        EXPECT_EQ(offer.Run(nullptr), IDCANCEL) << (escape ? "Escape" : "close button");
        EXPECT_EQ(offer.yes, 0);
        EXPECT_EQ(offer.remindFreq, c4uMonthly);
    }
    EXPECT_FALSE(watchdog.Fired());
}

// --- one of each at a time ------------------------------------------------------------------

namespace {

// Opens the dialog, and from it a second one of its kind while another
// window has the foreground; closes the first. Returns what the second Run
// gave, and which window had the foreground after it.
template <typename Dialog>
void SecondRunWhileOneIsOpen(
    Dialog& first, Dialog& second, unsigned short ownId, unsigned short otherId, int templateId)
{
    TestWindow other({L"PVDLLTestUpdateOther", DefWindowProcW, 0, L"other", WS_POPUP | WS_VISIBLE});
    LRESULT secondResult = 0;
    HWND foreground = nullptr;
    OnDialog step([&](HWND dialog) {
        // Known by its instance id alone, not by its template.
        EXPECT_EQ(SendMyCompanyMsg(dialog, ZnDlg::codeIsTemplate, ownId), 1);
        EXPECT_EQ(SendMyCompanyMsg(dialog, ZnDlg::codeIsTemplate, otherId), 0);
        EXPECT_EQ(SendMyCompanyMsg(dialog, ZnDlg::codeIsTemplate, templateId), 0);
        EXPECT_EQ(SendMyCompanyMsg(dialog, ZnDlg::codeIsTemplate, 0), 0);
        SetForegroundWindow(other);
        ASSERT_EQ(GetForegroundWindow(), other.Handle());
        secondResult = second.Run(nullptr);
        foreground = GetForegroundWindow();
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(first.Run(nullptr), IDCANCEL);
    EXPECT_EQ(secondResult, -1);
    EXPECT_EQ(foreground, step.Dialog()) << "the open one was not brought forward";
    EXPECT_FALSE(second.IsInitialized()) << "the second one was made after all";
}

} // namespace

TEST(UpdatePrompt, ASecondPromptBringsTheOpenOneForwardInstead)
{
    ModalWatchdog watchdog;
    DlgCheckForUpdates first(2, c4uWeekly, 0, nullptr);
    DlgCheckForUpdates second(2, c4uWeekly, 0, nullptr);
    SecondRunWhileOneIsOpen(
        first, second, DlgCheckForUpdates::instanceIdPrompt, DlgGetUpdates::instanceIdOffer, IDD_UPDATE_PROMPT);
}

TEST(UpdateOffer, ASecondOfferBringsTheOpenOneForwardInstead)
{
    ModalWatchdog watchdog;
    UpdateIni answer;
    Offer(answer, L"A fix.", L"");
    DlgGetUpdates first(answer, c4uWeekly);
    DlgGetUpdates second(answer, c4uWeekly);
    SecondRunWhileOneIsOpen(
        first, second, DlgGetUpdates::instanceIdOffer, DlgCheckForUpdates::instanceIdPrompt, IDD_UPDATE_OFFER);
}

// --- the page about the update --------------------------------------------------------------

TEST(UpdateOffer, TheDescriptionsLinkOpensTheMoreInfoPage)
{
    ModalWatchdog watchdog;
    TestClasses classes;
    classes.Protocol(L"http");
    BrowserMarker marker;
    // The shell's own handler would be Wine's browser: the registered
    // program opens it instead.
    ShellSpy spy(ShellSpy::failFirst);
    ASSERT_TRUE(spy.Hooked());
    UpdateIni answer;
    Offer(answer, L"Faster menus.", L"http://example.test/whatsnew?v=22.1");
    DlgGetUpdates offer(answer, c4uWeekly);
    OnDialog step([&](HWND dialog) {
        ClickDescriptionLink(dialog);
        EXPECT_TRUE(IsWindow(dialog)) << "the link leaves the dialog open";
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(offer.Run(nullptr), IDCANCEL);
    std::wstring line = marker.Wait();
    EXPECT_NE(line.find(L"http://example.test/whatsnew?v=22.1"), std::wstring::npos) << testing::PrintToString(line);
}

TEST(UpdateOffer, SpaceOnTheDescriptionOpensTheMoreInfoPageToo)
{
    ModalWatchdog watchdog;
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    // The server's own link stands for the page: no second one is added.
    UpdateIni answer;
    Offer(answer, L"Read <A>what is new</A>.", L"https://example.test/new");
    DlgGetUpdates offer(answer, c4uWeekly);
    std::wstring markup;
    OnDialog step([&](HWND dialog) {
        markup = Markup(dialog, IDC_UPDATE_DESCR);
        HWND descr = GetDlgItem(dialog, IDC_UPDATE_DESCR);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(descr), TRUE);
        SendMessageW(descr, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(descr, WM_KEYUP, VK_SPACE, 0);
        // The click is posted: it comes before the close posted after it.
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
            reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    });
    EXPECT_EQ(offer.Run(nullptr), IDCANCEL);
    EXPECT_EQ(markup, L"Read <A>what is new</A>.");
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(spy.Calls()[0].file, L"https://example.test/new");
}

TEST(UpdateOffer, AMoreInfoAddressThatIsNoWebAddressOpensNothing)
{
    ModalWatchdog watchdog;
    ShellSpy spy(ShellSpy::succeedQuietly);
    ASSERT_TRUE(spy.Hooked());
    for (const wchar_t* address : {L"file:///C:/windows/system32/calc.exe", L"C:\\windows\\notepad.exe",
             L"\"C:\\windows\\notepad.exe\" /p x", L"javascript:alert(1)", L"http://"}) {
        UpdateIni answer;
        Offer(answer, L"See <A>the notes</A>.", address);
        DlgGetUpdates offer(answer, c4uWeekly);
        std::wstring markup;
        OnDialog step([&](HWND dialog) {
            markup = Markup(dialog, IDC_UPDATE_DESCR);
            ClickDescriptionLink(dialog);
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(offer.Run(nullptr), IDCANCEL);
        EXPECT_EQ(markup, L"See <A>the notes</A>.") << "a link was added for " << testing::PrintToString(address);
        EXPECT_TRUE(spy.Calls().empty()) << testing::PrintToString(address);
    }
    // Without any address the description gets no link either.
    UpdateIni bare;
    Offer(bare, L"Plain words.", L"");
    DlgGetUpdates offer(bare, c4uWeekly);
    std::wstring markup;
    OnDialog step([&](HWND dialog) {
        markup = Markup(dialog, IDC_UPDATE_DESCR);
        Click(dialog, IDCANCEL);
    });
    offer.Run(nullptr);
    EXPECT_EQ(markup, L"Plain words.");
}

// --- the settings' list ---------------------------------------------------------------------

TEST(UpdateSettingsList, PopulateFreqListFillsTheFourFrequenciesKeepingTheSelection)
{
    ModalWatchdog watchdog;
    DlgCheckForUpdates prompt(1, c4uWeekly, 0, nullptr);
    std::vector<std::wstring> texts;
    int selected = -5;
    int again = -5;
    OnDialog step([&](HWND dialog) {
        // A list of the settings' own over the dialog's combo box.
        ZnComboList list;
        ASSERT_TRUE(list.Init(&prompt, IDC_UPDATE_REMIND));
        list.SetCurSel(c4uMonthly);
        PopulateFreqList(list);
        texts = ComboTexts(list.hWnd);
        selected = list.GetCurSel();
        list.ResetContent();
        PopulateFreqList(list);
        again = list.GetCurSel();
        Click(dialog, IDCANCEL);
    });
    prompt.Run(nullptr);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Daily", L"Weekly", L"Monthly", L"Never"}));
    EXPECT_EQ(selected, c4uMonthly);
    EXPECT_EQ(again, CB_ERR) << "nothing was selected before";
}
