#include <gtest/gtest.h>

#include "DlgProbe.h"
#include "common/TestSupport.h"

namespace {

class DelayTest : public PlainDlgTest {};

} // namespace

TEST_F(DelayTest, ArmedTwiceOnlyTheSecondFiresAndOnlyOnce)
{
    EXPECT_TRUE(dlg.DelayAction(5, 20));
    EXPECT_TRUE(dlg.DelayAction(6, 10));
    PumpFor(150);
    EXPECT_EQ(dlg.actions, (std::vector<unsigned long>{6}));
}

TEST_F(DelayTest, ZeroDelayCancels)
{
    EXPECT_EQ(dlg.DelayAction(0, 0), 1);
    EXPECT_TRUE(dlg.DelayAction(7, 20));
    EXPECT_EQ(dlg.DelayAction(7, 0), 1);
    PumpFor(100);
    EXPECT_TRUE(dlg.actions.empty());
}

TEST_F(DelayTest, HandlerMayArmTheNextAction)
{
    dlg.atDelayed = [](ProbeDlg& d, unsigned long action) {
        if (action < 3)
            d.DelayAction(action + 1, 10);
    };
    dlg.DelayAction(1, 10);
    PumpFor(200);
    EXPECT_EQ(dlg.actions, (std::vector<unsigned long>{1, 2, 3}));
}

TEST_F(DelayTest, OtherTimersOfTheDialogAreNotDelayedActions)
{
    // The window's own delayed action and a timer of the dialog's code.
    dlg.DelayActionWnd(9, 10);
    SetTimer(window, 1, 10, nullptr);
    dlg.DelayAction(4, 120);
    PumpFor(60);
    KillTimer(window, 1);
    EXPECT_TRUE(dlg.actions.empty());
    PumpFor(150);
    EXPECT_EQ(dlg.actions, (std::vector<unsigned long>{4}));
}
