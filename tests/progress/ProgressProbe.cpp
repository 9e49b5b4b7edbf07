#include "ProgressProbe.h"

DWORD ManualClock::now = 0;

ManualClock::ManualClock(DWORD start)
{
    now = start;
    SetProgressTickSource(&ManualClock::Now);
}

ManualClock::~ManualClock()
{
    SetProgressTickSource(nullptr);
}

void BarDialogTest::SetUp()
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    window = dlg.Modeless(IDD_BAR, GetModuleHandleW(nullptr), nullptr, 0);
    ASSERT_NE(nullptr, window);
    ASSERT_NE(nullptr, Bar());
}

void BarDialogTest::TearDown()
{
    if (IsWindow(window))
        DestroyWindow(window);
}

std::wstring BarDialogTest::Text(int id) const
{
    wchar_t text[2048] = {};
    GetDlgItemTextW(window, id, text, 2048);
    return text;
}
