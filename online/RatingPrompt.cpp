#include "online/WebLinks.h"

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <ctime>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "online/internal/RatingPrompt.h"
#include "resources/resource.h"
#include "storage/RegKey.h"
#include "text/ResStr.h"
#include "ui/dialogs/MsgBox.h"

namespace {

constexpr DWORD notScheduled = 0;
constexpr DWORD neverAgain = 0xFFFFFFFF;
// The schedule counts seconds from 1995-12-26 00:00 UTC.
constexpr long long scheduleEpoch = 819936000;
constexpr unsigned secondsPerDay = 86400;

enum RatingButton { rateNow = 1001, remindLater = 1002, alreadyRated = 1003 };

std::atomic<RatingPromptForm> promptForm{RatingPromptForm::automatic};

DWORD ScheduleNow()
{
    long long now = static_cast<long long>(std::time(nullptr)) - scheduleEpoch;
    return now < 0 ? 0 : static_cast<DWORD>(now);
}

unsigned RandomNumber()
{
    // RtlGenRandom, found by name so that the library gains no import.
    // advapi32 is already bound: the schedule was read through it.
    typedef BOOLEAN(WINAPI * GenRandomFn)(PVOID, ULONG);
    static const GenRandomFn genRandom = [] {
        HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
        return advapi
            ? reinterpret_cast<GenRandomFn>(reinterpret_cast<void*>(GetProcAddress(advapi, "SystemFunction036")))
            : nullptr;
    }();
    unsigned value = 0;
    if (genRandom && genRandom(&value, sizeof(value)))
        return value;
    static bool seeded = false;
    if (!seeded) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        seeded = true;
    }
    return (static_cast<unsigned>(std::rand()) << 16) ^ static_cast<unsigned>(std::rand());
}

// The time of the next prompt: between minDays (included) and maxDays
// (excluded) days from now; exactly minDays when the two are equal. Kept
// below the "never" mark however far away it falls.
DWORD NextPromptTime(DWORD now, unsigned minDays, unsigned maxDays)
{
    if (maxDays < minDays) {
        unsigned swap = minDays;
        minDays = maxDays;
        maxDays = swap;
    }
    unsigned span = maxDays - minDays;
    unsigned long long days = static_cast<unsigned long long>(minDays) + (span ? RandomNumber() % span : 0u);
    unsigned long long next = now + days * secondsPerDay;
    return next >= neverAgain ? neverAgain - 1 : static_cast<DWORD>(next);
}

void StoreNever(const wchar_t* keyPath, const wchar_t* valueName)
{
    RegKey key(keyPath, 1);
    if (key.IsOpen())
        key.PutDword(valueName, neverAgain, 1);
}

typedef HRESULT(WINAPI* TaskDialogIndirectFn)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Looked up once. The process's comctl32 (version 6 where the host's
// manifest asks for it) is the one asked; when none is loaded yet the
// library loads it and keeps it for the life of the process, as the
// process's common-controls initialisation does.
TaskDialogIndirectFn FindTaskDialog()
{
    static const TaskDialogIndirectFn found = [] {
        HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
        if (!comctl)
            comctl = LoadLibraryW(L"comctl32.dll");
        return comctl ? reinterpret_cast<TaskDialogIndirectFn>(
                   reinterpret_cast<void*>(GetProcAddress(comctl, "TaskDialogIndirect")))
                      : nullptr;
    }();
    return found;
}

struct PromptTarget {
    const wchar_t* keyPath;
    const wchar_t* valueName;
};

HRESULT CALLBACK PromptCallback(HWND dialog, UINT notification, WPARAM wParam, LPARAM, LONG_PTR data)
{
    if (notification != TDN_BUTTON_CLICKED)
        return S_OK;
    const auto* target = reinterpret_cast<const PromptTarget*>(data);
    switch (static_cast<int>(wParam)) {
    case rateNow:
        GoWinStore(dialog);
        return S_FALSE; // the dialog stays for the other answers
    case alreadyRated:
        StoreNever(target->keyPath, target->valueName);
        return S_OK;
    default:
        return S_OK;
    }
}

void ShowTaskDialog(TaskDialogIndirectFn taskDialog, HWND owner, const wchar_t* title, WORD iconId,
    const wchar_t* keyPath, const wchar_t* valueName)
{
    ResStr instruction(static_cast<short>(-IDS_RATE_INSTRUCTION));
    ResStr content(static_cast<short>(-IDS_RATE_THANKS));
    ResStr rate(static_cast<short>(-IDS_RATE_NOW));
    ResStr later(static_cast<short>(-IDS_RATE_LATER));
    ResStr rated(static_cast<short>(-IDS_RATE_ALREADY));
    const TASKDIALOG_BUTTON buttons[] = {
        {rateNow, rate},
        {remindLater, later},
        {alreadyRated, rated},
    };
    PromptTarget target = {keyPath, valueName};
    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.hInstance = hiDLL;
    // Closing the dialog by its close box or Escape is the same as "not now".
    config.dwFlags = TDF_USE_COMMAND_LINKS | TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = title;
    config.pszMainIcon = MAKEINTRESOURCEW(iconId);
    config.pszMainInstruction = instruction;
    config.pszContent = content;
    config.cButtons = sizeof(buttons) / sizeof(buttons[0]);
    config.pButtons = buttons;
    config.nDefaultButton = rateNow;
    config.pfCallback = PromptCallback;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(&target);
    taskDialog(&config, nullptr, nullptr, nullptr);
}

void ShowMessageBoxes(HWND owner, const wchar_t* keyPath, const wchar_t* valueName)
{
    int dontShow = 0;
    for (;;) {
        int answer = MsgExFmt(
            owner, MB_YESNO | MB_ICONQUESTION | MB_EX_HTML, &dontShow, -IDS_RATE_PROMPT, GetMyProductInfo()->GetName());
        if (answer == IDYES)
            GoWinStore(owner);
        // A ticked box would answer the next question by itself: ask no more.
        if (answer != IDYES || dontShow)
            break;
    }
    if (dontShow)
        StoreNever(keyPath, valueName);
}

} // namespace

void SetRatingPromptForm(RatingPromptForm form)
{
    promptForm = form;
}

int HasTaskDialog()
{
    return FindTaskDialog() ? 1 : 0;
}

int ShouldDisplayWinStorePrompt(const wchar_t* keyPath, const wchar_t* valueName, unsigned minDays, unsigned maxDays)
{
    DWORD stored = notScheduled;
    {
        RegKey key(keyPath, 0);
        if (key.IsOpen())
            stored = static_cast<DWORD>(key.GetInt(valueName, static_cast<int>(notScheduled)));
    }
    if (stored == neverAgain)
        return 0;
    DWORD now = ScheduleNow();
    bool due = stored != notScheduled && now > stored;
    if (stored == notScheduled || due) {
        // A failed write leaves the schedule as it was.
        RegKey key(keyPath, 1);
        if (key.IsOpen())
            key.PutDword(valueName, NextPromptTime(now, minDays, maxDays), 0);
    }
    return due ? 1 : 0;
}

void DisplayWinStorePrompt(
    HWND owner, const wchar_t* title, WORD iconId, const wchar_t* keyPath, const wchar_t* valueName)
{
    RatingPromptForm form = promptForm;
    TaskDialogIndirectFn taskDialog = form == RatingPromptForm::messageBox ? nullptr : FindTaskDialog();
    if (taskDialog)
        ShowTaskDialog(taskDialog, owner, title, iconId, keyPath, valueName);
    else if (form != RatingPromptForm::taskDialog)
        ShowMessageBoxes(owner, keyPath, valueName);
}
