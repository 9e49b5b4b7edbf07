#include <gtest/gtest.h>

#include "PVDLL.h"

// Without a dialog there is no child to attach to: the control stays
// unattached and can be attached later.
TEST(ZnCtrlInit, WithoutDialogLeavesControlUnattached)
{
    ZnCtrl control;
    EXPECT_EQ(0, control.Init(nullptr, 100));
    EXPECT_EQ(nullptr, control.GetDlg());
    EXPECT_EQ(nullptr, control.hWnd);
}
