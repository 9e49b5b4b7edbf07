#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

#include "ProgressProbe.h"
#include "progress/internal/TaskbarProgress.h"

namespace {

class ProgressCtrlTest : public BarDialogTest {
protected:
    void Attach(int lowerBound, int upperBound, int position)
    {
        ASSERT_EQ(1, ctrl.Init(&dlg, IDC_BAR, lowerBound, upperBound, position));
    }
    std::vector<std::wstring> Lines() const
    {
        return {Text(IDC_LINE1), Text(IDC_LINE2), Text(IDC_LINE3), Text(IDC_LINE4)};
    }

    ZnProgressCtrl ctrl;
};

// Formats through the virtual SetText of ProgressEx, as code that only
// knows a ProgressEx does.
void SetTextThrough(ProgressEx* progress, int line, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    progress->SetText(line, format, args);
    va_end(args);
}

} // namespace

// --- the bar ---------------------------------------------------------------

TEST_F(ProgressCtrlTest, InitSetsRangeAndPositionOnTheBar)
{
    Attach(0, 200, 50);
    EXPECT_TRUE(ctrl.IsKindOf(L"ZnProgressCtrl"));
    EXPECT_TRUE(ctrl.IsKindOf(L"ZnCtrl"));
    EXPECT_EQ(Bar(), ctrl.GetHwnd());
    EXPECT_EQ(0, BarLimit(TRUE));
    EXPECT_EQ(200, BarLimit(FALSE));
    EXPECT_EQ(50, BarPos());
}

TEST_F(ProgressCtrlTest, LargeRangesReachTheBarScaled)
{
    Attach(0, 200000, 100000);
    EXPECT_EQ(4u, ctrl.GetProgressEx()->GetScale());
    EXPECT_EQ(50000, BarLimit(FALSE));
    EXPECT_EQ(25000, BarPos());
}

// Bounds above 65535 that need no scale reach the bar whole: 16-bit range
// messages would cut them.
TEST_F(ProgressCtrlTest, BoundsAbove16BitsReachTheBar)
{
    Attach(0, 10, 0);
    ctrl.Setup64(100000, 150000, 120000);
    EXPECT_EQ(100000, BarLimit(TRUE));
    EXPECT_EQ(150000, BarLimit(FALSE));
    EXPECT_EQ(120000, BarPos());
}

TEST_F(ProgressCtrlTest, StepsMoveTheBarOneUnitEach)
{
    Attach(0, 10, 0);
    EXPECT_EQ(1, ctrl.StepIt());
    EXPECT_EQ(1, ctrl.StepIt());
    EXPECT_EQ(1, ctrl.StepIt());
    EXPECT_EQ(3, BarPos());
    EXPECT_EQ(3, ctrl.GetProgressEx()->GetPos());
    ctrl.SetPos64(7);
    EXPECT_EQ(7, BarPos());
}

TEST_F(ProgressCtrlTest, AFullBarDoesNotStartOver)
{
    Attach(0, 3, 2);
    EXPECT_EQ(1, ctrl.StepIt());
    EXPECT_EQ(1, ctrl.StepIt());
    EXPECT_EQ(3, BarPos());
    EXPECT_EQ(3, ctrl.GetProgressEx()->GetPos());
}

TEST_F(ProgressCtrlTest, BookkeepingGoesOnWhenTheBarIsGone)
{
    Attach(0, 10, 4);
    DestroyWindow(window);
    EXPECT_EQ(1, ctrl.StepIt());
    EXPECT_EQ(5, ctrl.GetProgressEx()->GetPos());
    ctrl.SetTextFmt(0, L"%d", 1);
    ctrl.Pause(TRUE);
    ctrl.DoMarquee(TRUE, 10);
}

TEST_F(ProgressCtrlTest, CancelIsReadBack)
{
    Attach(0, 10, 0);
    EXPECT_EQ(0u, ctrl.IsCanceled());
    ctrl.Cancel(TRUE);
    EXPECT_EQ(1u, ctrl.IsCanceled());
    EXPECT_EQ(1u, ctrl.GetProgressEx()->IsCanceled());
}

// --- text lines ------------------------------------------------------------

TEST_F(ProgressCtrlTest, SetupLinesEmptiesTheLinesGiven)
{
    Attach(0, 10, 0);
    ctrl.SetupLines(IDC_LINE1, IDC_LINE2, 0, IDC_LINE4);
    EXPECT_EQ((std::vector<std::wstring>{L"", L"", L"x", L""}), Lines());
    EXPECT_EQ(static_cast<unsigned>(IDC_LINE4), ctrl.GetLineId(3));
    EXPECT_EQ(0u, ctrl.GetLineId(2));
    EXPECT_EQ(0u, ctrl.GetLineId(4));
    EXPECT_EQ(0u, ctrl.GetLineId(-1));
}

TEST_F(ProgressCtrlTest, TextsGoToTheirLines)
{
    Attach(0, 10, 0);
    ctrl.SetupLines(IDC_LINE1, IDC_LINE2, 0, IDC_LINE4);
    ctrl.SetText(0, L"first");
    ctrl.SetTextFmt(1, L"%d of %s", 5, L"ten");
    SetTextThrough(ctrl.GetProgressEx(), 3, L"%s %u%%", L"done", 40u);
    // No line 2, and no line 4 or -1: nothing changes.
    ctrl.SetText(2, L"lost");
    ctrl.SetText(4, L"lost");
    ctrl.SetText(-1, L"lost");
    EXPECT_EQ((std::vector<std::wstring>{L"first", L"5 of ten", L"x", L"done 40%"}), Lines());
    EXPECT_EQ(L"spare", Text(IDC_SPARE));
}

TEST_F(ProgressCtrlTest, FormattedTextsStopAt1023Characters)
{
    Attach(0, 10, 0);
    ctrl.SetupLines(IDC_LINE1, 0, 0, 0);
    std::wstring longText(1500, L'a');
    ctrl.SetTextFmt(0, L"%s", longText.c_str());
    EXPECT_EQ(std::wstring(1023, L'a'), Text(IDC_LINE1));
}

TEST_F(ProgressCtrlTest, DisablingTheBarDisablesItsLines)
{
    Attach(0, 10, 0);
    ctrl.SetupLines(IDC_LINE1, IDC_LINE2, 0, IDC_LINE4);
    EnableWindow(Bar(), FALSE);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_LINE1)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_LINE2)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_LINE4)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_LINE3)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SPARE)));
    EnableWindow(Bar(), TRUE);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_LINE1)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_LINE2)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_LINE4)));
}

// --- pause and marquee -----------------------------------------------------

namespace {

// Records the states the bar is told to take.
class StateRecorder : public WMHook {
public:
    int OnWndMessage(ZnWnd*, UINT msg, WPARAM wParam, LPARAM, LRESULT*) override
    {
        if (msg == PBM_SETSTATE)
            states.push_back(static_cast<int>(wParam));
        return 0;
    }
    std::vector<int> states;
};

// Whether this comctl32 keeps a bar's state (Wine's answers PBST_NORMAL
// to every PBM_GETSTATE).
bool BarKeepsStates(HWND bar)
{
    SendMessageW(bar, PBM_SETSTATE, PBST_ERROR, 0);
    bool kept = SendMessageW(bar, PBM_GETSTATE, 0, 0) == PBST_ERROR;
    SendMessageW(bar, PBM_SETSTATE, PBST_NORMAL, 0);
    return kept;
}

} // namespace

TEST_F(ProgressCtrlTest, PauseTellsTheBarItsState)
{
    Attach(0, 10, 3);
    StateRecorder recorder;
    ctrl.AddWndHook(&recorder);
    ctrl.Pause(TRUE);
    EXPECT_EQ(1u, ctrl.GetProgressEx()->GetPauseCount());
    ctrl.Pause(FALSE);
    EXPECT_EQ(0u, ctrl.GetProgressEx()->GetPauseCount());
    ctrl.RemoveWndHook(&recorder);
    EXPECT_EQ((std::vector<int>{PBST_PAUSED, PBST_NORMAL}), recorder.states);
}

TEST_F(ProgressCtrlTest, PauseShowsOnTheBar)
{
    Attach(0, 10, 3);
    if (!BarKeepsStates(Bar()))
        GTEST_SKIP() << "this comctl32 keeps no bar state (PBM_GETSTATE always answers PBST_NORMAL)";
    ctrl.Pause(TRUE);
    EXPECT_EQ(PBST_PAUSED, SendMessageW(Bar(), PBM_GETSTATE, 0, 0));
    ctrl.Pause(FALSE);
    EXPECT_EQ(PBST_NORMAL, SendMessageW(Bar(), PBM_GETSTATE, 0, 0));
}

TEST_F(ProgressCtrlTest, MarqueeTurnsTheStyleOnAndOff)
{
    Attach(0, 10, 0);
    ctrl.DoMarquee(TRUE, 30);
    EXPECT_TRUE(GetWindowLongPtrW(Bar(), GWL_STYLE) & PBS_MARQUEE);
    ctrl.DoMarquee(FALSE, 30);
    EXPECT_FALSE(GetWindowLongPtrW(Bar(), GWL_STYLE) & PBS_MARQUEE);
    // A plain bar again: positions show.
    ctrl.SetPos64(6);
    EXPECT_EQ(6, BarPos());
}

// --- the taskbar button ------------------------------------------------------

namespace {

// Records what the control tells the taskbar.
class FakeTaskbar : public ITaskbarList3 {
public:
    struct Value {
        HWND window;
        ULONGLONG done, total;
    };
    struct State {
        HWND window;
        TBPFLAG flags;
    };

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_ITaskbarList || iid == IID_ITaskbarList2 || iid == IID_ITaskbarList3) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND window, ULONGLONG done, ULONGLONG total) override
    {
        values.push_back({window, done, total});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND window, TBPFLAG flags) override
    {
        states.push_back({window, flags});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return S_OK; }

    long refs = 0;
    std::vector<Value> values;
    std::vector<State> states;
};

FakeTaskbar* fakeTaskbar = nullptr;

HRESULT MakeFakeTaskbar(ComPtr<ITaskbarList3>& out)
{
    fakeTaskbar->AddRef();
    out = ComPtr<ITaskbarList3>(fakeTaskbar);
    return S_OK;
}

HRESULT RefuseTaskbar(ComPtr<ITaskbarList3>&)
{
    return REGDB_E_CLASSNOTREG;
}

// The taskbar object is the test's own: what the control tells the
// taskbar has no effect under Wine that a test could see.
class TaskbarTest : public ProgressCtrlTest {
protected:
    void SetUp() override
    {
        ProgressCtrlTest::SetUp();
        if (!HasTaskbarProgress())
            GTEST_SKIP() << "the system reports a version without taskbar progress";
        fakeTaskbar = &fake;
        SetTaskbarListFactory(&MakeFakeTaskbar);
    }
    void TearDown() override
    {
        // The fake goes before the control: the control must let go first.
        ctrl.EnableTaskbarProgress(nullptr);
        SetTaskbarListFactory(nullptr);
        ProgressCtrlTest::TearDown();
    }

    FakeTaskbar fake;
};

} // namespace

TEST_F(TaskbarTest, ShowsTheWayIntoTheRange)
{
    Attach(0, 10, 0);
    ctrl.EnableTaskbarProgress(window);
    EXPECT_EQ(&fake, ctrl.GetTaskbarList());
    EXPECT_EQ(window, ctrl.GetTaskbarWindow());
    ctrl.Setup(100, 300, 150);
    ASSERT_EQ(1u, fake.states.size());
    EXPECT_EQ(window, fake.states[0].window);
    EXPECT_EQ(TBPF_NORMAL, fake.states[0].flags);
    ASSERT_EQ(1u, fake.values.size());
    EXPECT_EQ(window, fake.values[0].window);
    EXPECT_EQ(50u, fake.values[0].done);
    EXPECT_EQ(200u, fake.values[0].total);
    ctrl.StepIt();
    ASSERT_EQ(2u, fake.values.size());
    EXPECT_EQ(51u, fake.values[1].done);
    EXPECT_EQ(200u, fake.values[1].total);
}

TEST_F(TaskbarTest, AnEmptyRangeShowsNothingDone)
{
    Attach(0, 10, 0);
    ctrl.EnableTaskbarProgress(window);
    ctrl.Setup(5, 5, 5);
    ASSERT_EQ(1u, fake.values.size());
    EXPECT_EQ(0u, fake.values[0].done);
    EXPECT_GT(fake.values[0].total, 0u);
}

TEST_F(TaskbarTest, PauseShowsOnTheButton)
{
    Attach(0, 10, 0);
    ctrl.EnableTaskbarProgress(window);
    ctrl.Pause(TRUE);
    ctrl.Pause(FALSE);
    ASSERT_EQ(2u, fake.states.size());
    EXPECT_EQ(TBPF_PAUSED, fake.states[0].flags);
    EXPECT_EQ(TBPF_NORMAL, fake.states[1].flags);
}

TEST_F(TaskbarTest, NullTakesTheProgressOffAndReleasesTheObject)
{
    Attach(0, 10, 0);
    ctrl.EnableTaskbarProgress(window);
    EXPECT_EQ(1, fake.refs);
    ctrl.EnableTaskbarProgress(nullptr);
    ASSERT_EQ(1u, fake.states.size());
    EXPECT_EQ(window, fake.states[0].window);
    EXPECT_EQ(TBPF_NOPROGRESS, fake.states[0].flags);
    EXPECT_EQ(0, fake.refs);
    EXPECT_EQ(nullptr, ctrl.GetTaskbarList());
    // No object: the bar goes on alone.
    ctrl.StepIt();
    EXPECT_EQ(1u, fake.states.size());
    EXPECT_TRUE(fake.values.empty());
}

TEST_F(TaskbarTest, AnotherWindowTakesTheProgressOffTheFirst)
{
    Attach(0, 10, 0);
    HWND other = GetDesktopWindow();
    ctrl.EnableTaskbarProgress(window);
    ctrl.EnableTaskbarProgress(other);
    ASSERT_EQ(1u, fake.states.size());
    EXPECT_EQ(window, fake.states[0].window);
    EXPECT_EQ(TBPF_NOPROGRESS, fake.states[0].flags);
    EXPECT_EQ(other, ctrl.GetTaskbarWindow());
    EXPECT_EQ(1, fake.refs);
}

TEST_F(TaskbarTest, TheControlsEndTakesTheProgressOff)
{
    {
        ZnProgressCtrl ending;
        ending.EnableTaskbarProgress(window);
    }
    ASSERT_EQ(1u, fake.states.size());
    EXPECT_EQ(TBPF_NOPROGRESS, fake.states.back().flags);
    EXPECT_EQ(0, fake.refs);
}

TEST_F(TaskbarTest, WithoutTheObjectTheBarWorksAlone)
{
    SetTaskbarListFactory(&RefuseTaskbar);
    Attach(0, 10, 0);
    ctrl.EnableTaskbarProgress(window);
    EXPECT_EQ(nullptr, ctrl.GetTaskbarList());
    EXPECT_EQ(1, ctrl.StepIt());
    ctrl.Pause(TRUE);
    EXPECT_EQ(1, BarPos());
}

// The system's own TaskbarList, where the prefix has one.
TEST_F(ProgressCtrlTest, TheShellsTaskbarObjectIsUsedWhenThere)
{
    if (!HasTaskbarProgress())
        GTEST_SKIP() << "the system reports a version without taskbar progress";
    CoInit com;
    ASSERT_TRUE(com.IsInitialized());
    Attach(0, 10, 0);
    ctrl.EnableTaskbarProgress(window);
    if (!ctrl.GetTaskbarList())
        GTEST_SKIP() << "this system cannot create the shell's TaskbarList";
    ctrl.Setup(0, 100, 10);
    ctrl.StepIt();
    ctrl.Pause(TRUE);
    ctrl.Pause(FALSE);
    EXPECT_EQ(11, BarPos());
    ctrl.EnableTaskbarProgress(nullptr);
    EXPECT_EQ(nullptr, ctrl.GetTaskbarList());
}
