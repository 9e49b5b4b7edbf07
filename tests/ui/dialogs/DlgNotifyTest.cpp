#include <gtest/gtest.h>

#include <string>

#include "DlgProbe.h"
#include "common/DrawProbe.h"
#include "common/TestSupport.h"

namespace {

// Records the notifications and commands the dialog hands to it.
class ListenerCtrl : public ZnCtrl {
public:
    int OnNotify(NMHDR* header, LRESULT* result) override
    {
        codes.push_back(header->code);
        if (!answer)
            return 0;
        *result = answer;
        return 1;
    }
    int OnCommand(WORD code, LRESULT* result) override
    {
        commands.push_back(code);
        if (!answer)
            return 0;
        *result = answer;
        return 1;
    }
    std::vector<UINT> codes;
    std::vector<WORD> commands;
    LRESULT answer = 0;
};

class NotifyTest : public PlainDlgTest {
protected:
    LRESULT Notify(NMHDR* header)
    {
        return SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
    }
    NMTTDISPINFOW TipRequest(UINT_PTR id, UINT flags = 0)
    {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = window;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOW;
        info.uFlags = flags;
        return info;
    }
};

} // namespace

TEST_F(NotifyTest, TooltipTextComesFromGetTootTip)
{
    dlg.tipText = L"Type a name here";
    NMTTDISPINFOW info = TipRequest(IDC_EDIT);
    Notify(&info.hdr);
    ASSERT_EQ(dlg.tipIds, (std::vector<unsigned int>{IDC_EDIT}));
    EXPECT_EQ(info.lpszText, info.szText);
    EXPECT_STREQ(info.szText, L"Type a name here");
}

TEST_F(NotifyTest, NarrowTooltipRequestGetsNarrowText)
{
    dlg.tipText = L"Narrow tip";
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = window;
    info.hdr.idFrom = IDC_CHECK;
    info.hdr.code = TTN_GETDISPINFOA;
    Notify(&info.hdr);
    EXPECT_EQ(info.lpszText, info.szText);
    EXPECT_STREQ(info.szText, "Narrow tip");
    EXPECT_EQ(info.hinst, nullptr);

    // The narrow record's flags lie elsewhere than the wide one's.
    NMTTDISPINFOA byWindow = {};
    byWindow.hdr.hwndFrom = window;
    byWindow.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(window, IDOK));
    byWindow.hdr.code = TTN_GETDISPINFOA;
    byWindow.uFlags = TTF_IDISHWND;
    Notify(&byWindow.hdr);
    EXPECT_EQ(dlg.tipIds, (std::vector<unsigned int>{IDC_CHECK, IDOK}));

    dlg.tipStringId = IDS_TIP;
    NMTTDISPINFOA fromTable = {};
    fromTable.hdr = {window, IDC_EDIT, static_cast<UINT>(TTN_GETDISPINFOA)};
    Notify(&fromTable.hdr);
    EXPECT_EQ(fromTable.hinst, TestModule());
    EXPECT_EQ(fromTable.lpszText, MAKEINTRESOURCEA(IDS_TIP));
}

TEST_F(NotifyTest, ToolGivenByWindowIsAskedForByItsControlId)
{
    dlg.tipText = L"x";
    NMTTDISPINFOW info = TipRequest(reinterpret_cast<UINT_PTR>(GetDlgItem(window, IDOK)), TTF_IDISHWND);
    Notify(&info.hdr);
    EXPECT_EQ(dlg.tipIds, (std::vector<unsigned int>{IDOK}));
}

TEST_F(NotifyTest, StringResourceTipIsHandedOverAsAResource)
{
    dlg.tipStringId = IDS_TIP;
    NMTTDISPINFOW info = TipRequest(IDC_EDIT);
    Notify(&info.hdr);
    EXPECT_EQ(info.hinst, TestModule());
    EXPECT_EQ(info.lpszText, MAKEINTRESOURCEW(IDS_TIP));
    EXPECT_TRUE(dlg.tipIds.empty());
}

TEST_F(NotifyTest, LongTipIsCutToTheTextField)
{
    dlg.tipText = std::wstring(200, L'w');
    NMTTDISPINFOW info = TipRequest(IDC_EDIT);
    Notify(&info.hdr);
    EXPECT_EQ(lstrlenW(info.szText), 79);
}

TEST_F(NotifyTest, TooltipWindowGetsItsTextFromTheDialog)
{
    dlg.tipText = L"From the dialog";
    TooltipCtrl tips;
    ASSERT_TRUE(tips.Create(window));
    HWND edit = GetDlgItem(window, IDC_EDIT);
    tips.AddToolWnd(window, edit, 1);
    wchar_t text[80] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(edit);
    tool.lpszText = text;
    SendMessageW(tips.hWnd, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    if (dlg.tipIds.empty())
        GTEST_SKIP() << "this tooltip control does not ask its owner for the text on TTM_GETTEXT";
    EXPECT_EQ(dlg.tipIds.front(), static_cast<unsigned int>(IDC_EDIT));
    EXPECT_STREQ(text, L"From the dialog");
}

TEST(DlgNotify, NotificationOfAListsHeaderGoesToTheList)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_LIST, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    ListenerCtrl list;
    ASSERT_TRUE(list.Init(&dlg, IDC_LIST));
    HWND header = reinterpret_cast<HWND>(SendDlgItemMessageW(h, IDC_LIST, LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    NMHDR note = {header, 0, NM_RCLICK};
    list.answer = 5;
    EXPECT_EQ(SendMessageW(h, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note)), 5);
    EXPECT_EQ(list.codes, (std::vector<UINT>{static_cast<UINT>(NM_RCLICK)}));
    DestroyWindow(h);
}

TEST(DlgNotify, CommandOfAnAttachedControlGoesToItFirst)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    ListenerCtrl ok;
    ASSERT_TRUE(ok.Init(&dlg, IDOK));
    ok.answer = 3;
    EXPECT_EQ(SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok.hWnd)), 3);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(dlg.clicked.empty());
    ok.answer = 0;
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok.hWnd));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(ok.commands.size(), 2u);
}

// --- context help -----------------------------------------------------------------------------

TEST_F(NotifyTest, HelpPageThatCannotBeOpenedIsReported)
{
    dlg.ownPage = L"C:\\no such folder\\no such page.html";
    HELPINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_EQ(SendMessageW(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(dlg.helpErrors, (std::vector<std::wstring>{dlg.ownPage}));
    // The Help button asks the same.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
    EXPECT_EQ(dlg.helpErrors.size(), 2u);
}

TEST_F(NotifyTest, HelpPageIsOpenedThroughTheShell)
{
    std::wstring marker = ModuleFolder() + L"\\pvdlgpeer-opened.txt";
    DeleteFileW(marker.c_str());
    dlg.ownPage = ModuleFolder() + L"\\pvdlgpeer.exe";
    SendMessageW(window, WM_HELP, 0, 0);
    EXPECT_TRUE(dlg.helpErrors.empty());
    EXPECT_TRUE(PumpUntil([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000));
    DeleteFileW(marker.c_str());
}

TEST_F(NotifyTest, DialogWithoutAnyPageDoesNothing)
{
    SendMessageW(window, WM_HELP, 0, 0);
    EXPECT_TRUE(dlg.helpErrors.empty());
    // Asked itself once (0) and, as the top window, for its template id.
    EXPECT_EQ(dlg.pageAsked, (std::vector<unsigned int>{0, IDD_PLAIN}));
}

TEST(DlgHelp, PageWithoutHelpAsksUpTheChainOfOwners)
{
    ProbeDlg owner;
    HWND ownerWnd = owner.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(ownerWnd, nullptr);
    owner.requestPage = L"C:\\missing\\owner-help.html";
    ProbeDlg host;
    HWND hostWnd = host.Modeless(IDD_HOST, TestModule(), ownerWnd, 0);
    ASSERT_NE(hostWnd, nullptr);
    ProbeDlg page;
    page.childDlg = 1;
    page.SetAlignment(ZnDlg::alignNone);
    ASSERT_NE(page.Modeless(IDD_PAGE, TestModule(), hostWnd, 1), nullptr);
    page.SetHelpID(555);

    SendMessageW(page.hWnd, WM_HELP, 0, 0);
    EXPECT_EQ(host.pageAsked, (std::vector<unsigned int>{555}));
    EXPECT_EQ(owner.pageAsked, (std::vector<unsigned int>{555}));
    EXPECT_EQ(page.helpErrors, (std::vector<std::wstring>{owner.requestPage}));
    DestroyWindow(hostWnd);
    DestroyWindow(ownerWnd);
}

TEST(DlgHelp, RequestThatIsNotThisThreadsOwnIsIgnored)
{
    ProbeDlg dlg;
    HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
    ASSERT_NE(h, nullptr);
    dlg.requestPage = L"C:\\page.html";
    // A record nobody on this thread is asking with: it may come from
    // another process, where the pointer means nothing here.
    ZnDlg::HelpRequest forged = {IDD_PLAIN, nullptr};
    EXPECT_EQ(SendMyCompanyMsg(h, ZnDlg::codeHelpRequest, reinterpret_cast<LPARAM>(&forged)), 0);
    EXPECT_EQ(forged.page, nullptr);
    EXPECT_TRUE(dlg.pageAsked.empty());
    DestroyWindow(h);
}

TEST_F(NotifyTest, PictureOfATooltipShownForAControl)
{
    dlg.tipText = L"Type a name here";
    TooltipCtrl tips;
    ASSERT_TRUE(tips.Create(window));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    // A tracking tool shows without a mouse; its text is still asked of the dialog.
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = window;
    tool.uId = IDC_EDIT;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ASSERT_TRUE(SendMessageW(tips.hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
    SendMessageW(tips.hWnd, TTM_TRACKPOSITION, 0, MAKELPARAM(40, 40));
    SendMessageW(tips.hWnd, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    PumpFor(50);
    ASSERT_TRUE(IsWindowVisible(tips.hWnd));
    RECT tip;
    GetClientRect(tips.hWnd, &tip);
    ASSERT_GT(tip.right, 20);
    Canvas canvas(tip.right, tip.bottom, RGB(255, 0, 255));
    SendMessageW(tips.hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT | PRF_ERASEBKGND);
    SavePng(L"tooltip", canvas.Pixels().data(), canvas.cx, canvas.cy);
    int text = 0;
    for (int y = 0; y < canvas.cy; ++y)
        for (int x = 0; x < canvas.cx; ++x)
            text += canvas.At(x, y) == GetSysColor(COLOR_INFOTEXT);
    EXPECT_GT(text, 20) << "the tip's text is drawn";
    EXPECT_EQ(dlg.tipIds.front(), static_cast<unsigned int>(IDC_EDIT));
}
