#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

// A dialog with tooltips for its edit and its buttons.
class TipDlg : public ZnDlg {
public:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override
    {
        LRESULT answer = ZnDlg::OnInitDialog(wParam, lParam);
        if (tips.Create(hWnd)) {
            for (int id : {IDC_EDIT, IDOK, IDCANCEL})
                tips.AddToolWnd(hWnd, GetDlgItem(id), 1);
        }
        return answer;
    }
    int GetTootTip(unsigned int, wchar_t* buffer, unsigned int size) override
    {
        lstrcpynW(buffer, L"tip", static_cast<int>(size));
        return 1;
    }
    TooltipCtrl tips;
};

} // namespace

TEST(DlgLeaks, TwoHundredDialogsWithTooltipsLeaveNoWindowBehind)
{
    const int windowsBefore = CountThreadWindows();
    int stillThere = 0;
    int made = 0;
    for (int i = 0; i < 200; ++i) {
        TipDlg dlg;
        HWND h = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 1);
        if (!h)
            continue;
        ++made;
        HWND tip = dlg.tips.hWnd;
        HWND edit = dlg.GetDlgItem(IDC_EDIT);
        // A tooltip asked for its text on the way.
        NMTTDISPINFOW info = {};
        info.hdr = {tip, reinterpret_cast<UINT_PTR>(edit), TTN_GETDISPINFOW};
        info.uFlags = TTF_IDISHWND;
        SendMessageW(h, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        if (i % 2)
            dlg.CloseDialog(IDOK);
        else
            SendMessageW(h, WM_CLOSE, 0, 0), PumpUntil([&] { return !IsWindow(h); }, 1000);
        stillThere += IsWindow(h) + IsWindow(tip) + IsWindow(edit);
    }
    EXPECT_EQ(made, 200);
    EXPECT_EQ(stillThere, 0);
    EXPECT_EQ(CountThreadWindows(), windowsBefore);
}
