// Helpers of the dialog tests: a dialog that records what it runs through
// and runs the test's code at chosen moments, message pumps, hooks that
// record, and the test's own templates (DlgTemplates.rc).
#pragma once

#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "DlgTemplates.h"
#include "PVDLL.h"
#include "common/DrawProbe.h"

inline HINSTANCE TestModule()
{
    return GetModuleHandleW(nullptr);
}

// Removes a WM_QUIT waiting in the thread's queue; its exit code, or -1
// when there was none.
int TakeQuit();
// The thread's top-level windows that are still there.
int CountThreadWindows();

// A dialog that records its virtual operations and runs the test's code
// at chosen moments.
class ProbeDlg : public ZnDlg {
public:
    explicit ProbeDlg(ZnDlgSkin* dialogSkin = nullptr) : ZnDlg(dialogSkin) { ++alive; }
    ~ProbeDlg() override { --alive; }

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back(L"OnInitDialog");
        LRESULT answer = ZnDlg::OnInitDialog(wParam, lParam);
        if (atInit)
            atInit(*this);
        return answer;
    }
    int UpdateControls() override
    {
        calls.push_back(L"UpdateControls");
        return ZnDlg::UpdateControls();
    }
    int UpdateData() override
    {
        ++updateDataCalls;
        calls.push_back(L"UpdateData");
        return dataOk ? ZnDlg::UpdateData() : 0;
    }
    int CanClose(int code) override
    {
        ++canCloseCalls;
        calls.push_back(L"CanClose(" + std::to_wstring(code) + L")");
        return allowClose;
    }
    void DoClose(int code) override
    {
        calls.push_back(L"DoClose(" + std::to_wstring(code) + L")");
        ZnDlg::DoClose(code);
    }
    void OnResize(int dx, int dy) override { resizes.push_back({dx, dy}); }
    void OnDelayedAction(unsigned long action) override
    {
        actions.push_back(action);
        ZnDlg::OnDelayedAction(action);
        if (atDelayed)
            atDelayed(*this, action);
    }
    void OnButtonClicked(unsigned short id) override { clicked.push_back(id); }
    void OnComboSelChanged(unsigned short id) override { selChanged.push_back(id); }
    int OnMyCompanyMsg(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        companyCodes.push_back(static_cast<int>(wParam));
        return ZnDlg::OnMyCompanyMsg(wParam, lParam, result);
    }
    int GetTootTip(unsigned int id, wchar_t* buffer, unsigned int size) override
    {
        tipIds.push_back(id);
        if (tipText.empty())
            return 0;
        lstrcpynW(buffer, tipText.c_str(), static_cast<int>(size));
        return 1;
    }
    int GetTootTip(unsigned int, HINSTANCE& textModule, unsigned short& stringId) override
    {
        if (!tipStringId)
            return 0;
        textModule = TestModule();
        stringId = tipStringId;
        return 1;
    }
    const wchar_t* GetHtmlPage(unsigned int id) override
    {
        pageAsked.push_back(id);
        if (id == 0)
            return ownPage.empty() ? nullptr : ownPage.c_str();
        return requestPage.empty() ? nullptr : requestPage.c_str();
    }
    void OnHtmlHelpError(const wchar_t* page) override { helpErrors.push_back(page ? page : L""); }
    void OnPostNcDestroy() override
    {
        calls.push_back(L"OnPostNcDestroy");
        ZnDlg::OnPostNcDestroy();
    }

    // The protected parts a test looks at.
    using ZnDlg::childDlg;
    using ZnDlg::placement;

    std::vector<std::wstring> calls;
    std::function<void(ProbeDlg&)> atInit;
    std::function<void(ProbeDlg&, unsigned long)> atDelayed;
    int allowClose = 1;
    int dataOk = 1;
    int canCloseCalls = 0;
    int updateDataCalls = 0;
    std::vector<std::pair<int, int>> resizes;
    std::vector<unsigned long> actions;
    std::vector<unsigned short> clicked;
    std::vector<unsigned short> selChanged;
    std::vector<int> companyCodes;
    std::wstring tipText;
    unsigned short tipStringId = 0;
    std::vector<unsigned int> tipIds;
    std::wstring ownPage;
    std::wstring requestPage;
    std::vector<unsigned int> pageAsked;
    std::vector<std::wstring> helpErrors;

    static inline int alive = 0;
};

// Records the dialog messages it sees; answers one message when asked.
class RecordingHook : public WMHook {
public:
    explicit RecordingHook(const wchar_t* tag, std::vector<std::wstring>* log = nullptr) : tag(tag), log(log) { }

    int OnDlgMessage(ZnDlg* dlg, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        if (msg == watched) {
            ++seen;
            if (log)
                log->push_back(tag);
            if (onWatched)
                onWatched(dlg, wParam, lParam);
            if (answer) {
                *result = answerValue;
                return 1;
            }
        }
        return 0;
    }
    int OnWndMessage(ZnWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        if (msg == watchedWnd)
            ++seenWnd;
        return WMHook::OnWndMessage(wnd, msg, wParam, lParam, result);
    }

    const wchar_t* tag;
    std::vector<std::wstring>* log;
    UINT watched = WM_APP;
    UINT watchedWnd = 0;
    int seen = 0;
    int seenWnd = 0;
    bool answer = false;
    LRESULT answerValue = 0;
    std::function<void(ZnDlg*, WPARAM, LPARAM)> onWatched;
};

// A hidden modeless plain dialog for the length of a test.
class PlainDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = dlg.Modeless(IDD_PLAIN, TestModule(), nullptr, 0);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }

    ProbeDlg dlg;
    HWND window = nullptr;
};
