#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

// Counts its objects, to see one deleted by a control that takes its place.
class CountedCtrl : public ZnCtrl {
public:
    CountedCtrl() { ++alive; }
    ~CountedCtrl() override { --alive; }
    static inline int alive = 0;
};

// A drop of one path as the shell makes it: DROPFILES, then the wide path
// and an empty one. The receiver frees it (DragFinish).
HDROP MakeDrop(const std::wstring& path)
{
    size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class CtrlTest : public PlainDlgTest {
protected:
    std::wstring Text(int id)
    {
        wchar_t text[1024] = {};
        GetDlgItemTextW(window, id, text, 1024);
        return text;
    }
    // The edit's text after path was dropped on an edit of style.
    std::wstring DropOnEdit(DWORD style, const std::wstring& path)
    {
        ZnCtrl edit;
        EXPECT_TRUE(edit.Init(&dlg, IDC_EDIT, nullptr, style));
        SetDlgItemTextW(window, IDC_EDIT, L"before");
        SendMessageW(edit.hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(path)), 0);
        edit.Unsubclass();
        return Text(IDC_EDIT);
    }

};

} // namespace

TEST_F(CtrlTest, EveryControlGetsAPlainObjectButNotTheStaticWithoutId)
{
    for (int id : {IDC_EDIT, IDC_LABEL, IDC_CHECK, IDOK, IDCANCEL}) {
        ZnCtrl* control = dlg.GetDlgCtrl(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->GetDlg(), &dlg);
        EXPECT_EQ(control->GetID(), static_cast<UINT>(id));
        EXPECT_TRUE(control->autoDelete);
    }
    HWND unnamed = FindWindowExW(window, nullptr, L"Static", L"static");
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(ZnDlg::GetDlgItemID(unnamed), -1);
    EXPECT_EQ(ZnDlg::GetDlgCtrl(unnamed), nullptr);
    EXPECT_EQ(ZnDlg::GetDlgCtrl(window), nullptr);
}

TEST_F(CtrlTest, SpecialisedControlReplacesAndDeletesTheAutomaticOne)
{
    auto* plain = new CountedCtrl;
    plain->autoDelete = 1;
    ASSERT_TRUE(plain->Init(&dlg, IDC_LABEL));
    EXPECT_EQ(CountedCtrl::alive, 1);
    EXPECT_EQ(dlg.GetDlgCtrl(IDC_LABEL), plain);

    ZnCtrl special;
    ASSERT_TRUE(special.Init(&dlg, IDC_LABEL));
    EXPECT_EQ(CountedCtrl::alive, 0);
    EXPECT_EQ(dlg.GetDlgCtrl(IDC_LABEL), &special);
    special.Unsubclass();
}

TEST_F(CtrlTest, AutoInitOfAMissingControlMakesNothing)
{
    EXPECT_EQ(ZnCtrl::AutoInit(&dlg, 4242), nullptr);
    int before = CountedCtrl::alive;
    CountedCtrl missing;
    EXPECT_EQ(missing.Init(&dlg, 4242), 0);
    EXPECT_EQ(missing.GetDlg(), nullptr);
    EXPECT_EQ(CountedCtrl::alive, before + 1);
}

TEST_F(CtrlTest, OriginalTextIsTheFirstTextRead)
{
    ZnCtrl* label = dlg.GetDlgCtrl(IDC_LABEL);
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->GetOriginalText(), L"Label text");
    SetDlgItemTextW(window, IDC_LABEL, L"changed");
    EXPECT_STREQ(label->GetOriginalText(), L"Label text");
    ZnCtrl* edit = dlg.GetDlgCtrl(IDC_EDIT);
    EXPECT_STREQ(edit->GetOriginalText(), L"");
}

TEST_F(CtrlTest, ControlAcceptsDropsOnlyWithADropStyle)
{
    ZnCtrl plain;
    ASSERT_TRUE(plain.Init(&dlg, IDC_LABEL));
    EXPECT_FALSE(GetWindowLongPtrW(plain.hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    plain.Unsubclass();
    ZnCtrl dropping;
    ASSERT_TRUE(dropping.Init(&dlg, IDC_EDIT, L"edit", ZnCtrl::dropAnyPath));
    EXPECT_TRUE(GetWindowLongPtrW(dropping.hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_STREQ(dropping.GetName(), L"edit");
    dropping.Unsubclass();
}

TEST_F(CtrlTest, DroppedPathsAsEachStyleTakesThem)
{
    TempFolder temp;
    std::wstring file = temp / L"notes.txt";
    std::wstring folder = temp / L"sub";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring missing = temp / L"missing.txt";

    EXPECT_EQ(DropOnEdit(ZnCtrl::dropAnyPath, missing), missing);
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropFileName, file), L"notes.txt");
    // The folder that holds a file, without a trailing separator.
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropFolder, file), temp.Path());
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropFolder, folder), folder);
    // A drive root keeps its separator.
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropFolder, L"C:\\no-such-file.txt"), L"C:\\");
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropExistingFile, file), file);
    // An existing-file control ignores a folder and a missing file.
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropExistingFile, folder), L"before");
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropExistingFile, missing), L"before");
    EXPECT_EQ(DropOnEdit(0, file), L"before");
}

TEST_F(CtrlTest, DropLongerThanAPathBufferIsRefusedWhole)
{
    std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L".txt";
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropAnyPath, longPath), L"before");
    std::wstring fits = L"C:\\" + std::wstring(MAX_PATH - 8, L'b') + L".txt";
    EXPECT_EQ(DropOnEdit(ZnCtrl::dropAnyPath, fits), fits);
}

// --- pages are not controls ---------------------------------------------------------------------

TEST(DlgPageNotControl, PageOfADialogGetsNoControlObject)
{
    ProbeDlg host;
    ZnDlgChild page;
    host.atInit = [&](ProbeDlg& h) { page.Init(&h, IDD_PAGE, IDC_PLACEHOLDER, TestModule(), 1); };
    HWND h = host.Modeless(IDD_HOST, TestModule(), nullptr, 1);
    ASSERT_NE(h, nullptr);
    ASSERT_NE(page.hWnd, nullptr);
    EXPECT_EQ(ZnWnd::FromHandle(page.hWnd), &page);
    EXPECT_EQ(ZnDlg::GetDlgCtrl(page.hWnd), nullptr);
    // The page's own controls belong to the page.
    ZnCtrl* edit = page.GetDlgCtrl(IDC_PAGE_EDIT);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetDlg(), &page);

    // Commands and notifications naming the page do not treat it as a control.
    int pageId = GetDlgCtrlID(page.hWnd);
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(pageId, BN_CLICKED), reinterpret_cast<LPARAM>(page.hWnd));
    NMHDR note = {page.hWnd, static_cast<UINT_PTR>(pageId), NM_CLICK};
    EXPECT_EQ(SendMessageW(h, WM_NOTIFY, pageId, reinterpret_cast<LPARAM>(&note)), 0);
    EXPECT_TRUE(IsWindow(page.hWnd));
    DestroyWindow(h);
    EXPECT_EQ(page.hWnd, nullptr);
}
