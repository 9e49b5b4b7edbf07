#include "online/UpdateCheck.h"

#include <cstdint>

#include "base/Owners.h"
#include "base/internal/DllHeap.h"
#include "online/UpdateDialogs.h"
#include "online/UpdateState.h"
#include "online/WebLinks.h"
#include "online/internal/UpdateAnswer.h"
#include "resources/resource.h"
#include "text/StrUnits.h"
#include "threads/InstanceActivation.h"
#include "threads/ProcessLaunch.h"
#include "ui/dialogs/MsgBox.h"
#include "ui/window/IconBtn.h"
#include "ui/window/ZnWaitCursor.h"

namespace {

constexpr unsigned answerTimeoutSeconds = 10;
constexpr unsigned boxType = MB_RETRYCANCEL | MB_ICONWARNING;
const wchar_t interactiveWord[] = L"check4updates";

// A string of this library as the text argument of a box.
const wchar_t* LibraryText(int id)
{
    return reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(-id));
}

// One use of the icon buttons' shared drawing set, given back when the
// object goes (none was counted when it could not be made).
class IconBtnUse {
public:
    IconBtnUse(DWORD style, int dx, int dy) : held(IconBtn::Initialize(style, dx, dy) != 0) { }
    ~IconBtnUse()
    {
        if (held)
            IconBtn::Uninitialize();
    }
    IconBtnUse(const IconBtnUse&) = delete;
    IconBtnUse& operator=(const IconBtnUse&) = delete;

private:
    bool held;
};

// Shows the offer and, when the user takes it, opens its address.
void OfferUpdate(HWND owner, const UpdateIni& record, const wchar_t* url, UpdateState& state, int* updateStarted)
{
    DlgGetUpdates dialog(record, state.remindFreq);
    LRESULT result = dialog.Run(owner);
    if (result == -1)
        return; // an offer open elsewhere was brought forward instead
    state.remindFreq = dialog.remindFreq;
    if (result == IDCANCEL || !dialog.yes)
        return;
    if (updateStarted)
        *updateStarted = 1;
    OpenHTML(owner, url, FALSE, 0);
}

// Asks the server until there is an outcome. True when the check completed
// (no update, or an offer shown); false when it failed or the user gave up.
bool AskServer(HWND owner, bool silent, const wchar_t* query, UpdateState& state, int* updateStarted)
{
    UpdateIni record;
    for (;;) {
        DllBlock<wchar_t> answer;
        {
            ZnWaitCursor wait;
            answer.Reset(SendCheck4UpdatesQuery(query, answerTimeoutSeconds));
        }
        UpdateAnswer judged = JudgeUpdateAnswer(answer.Get(), record);
        int choice = IDCANCEL;
        switch (judged.verdict) {
        case UpdateVerdict::upToDate:
            if (!silent)
                MsgEx(owner, MB_OK | MB_ICONINFORMATION, LibraryText(IDS_UPDATE_NONE_AVAILABLE));
            return true;
        case UpdateVerdict::offer:
            OfferUpdate(owner, record, judged.url, state, updateStarted);
            return true;
        case UpdateVerdict::noAnswer:
            if (!silent)
                choice = MsgEx(owner, boxType, LibraryText(IDS_UPDATE_NO_CONNECTION));
            break;
        case UpdateVerdict::refused:
        case UpdateVerdict::error:
            if (!silent)
                choice = MsgExFmt(owner, boxType, -IDS_UPDATE_ERROR, judged.reason);
            break;
        }
        if (choice != IDRETRY)
            return false;
    }
}

} // namespace

int CheckForUpdates(HWND owner)
{
    // Auto-reset and unsignalled: only its existence says that a check runs.
    KernelHandle running(CreateEventW(nullptr, FALSE, FALSE, CHECK4UPDATES_EVENT_NAME));
    if (!running || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    if (ActivatePrevDlg(DlgCheckForUpdates::instanceIdPrompt))
        return 0;

    UpdateState state;
    state.Read();
    if (state.IsDisabled())
        return 0;
    if (!state.nextUpdate) {
        // The first run only schedules: nobody is asked on the first day.
        state.SetupNextUpdate(-1);
        state.Write();
        return 0;
    }
    if (GetCurTime() < state.nextUpdate)
        return 0;
    if (state.autoCheck) {
        // The silent check runs in the product's own process, so that the
        // host's menu never waits for the network.
        RunLocalFile(owner, CHECK4UPDATES_PRODUCT_EXE, CHECK4UPDATES_SILENT_ARG, nullptr);
        return 0;
    }

    int updateStarted = 0;
    DlgCheckForUpdates prompt(
        state.GetDaysSinceLastUpdate(), state.remindFreq, static_cast<int>(state.autoCheck), &updateStarted);
    if (prompt.Run(owner) != IDOK)
        return 0; // cancelled, or a prompt open elsewhere was brought forward
    // With "yes" the check ran from the prompt and wrote its own schedule;
    // the choices made in the prompt are kept on top of it.
    if (prompt.yes)
        state.Read();
    state.remindFreq = prompt.remindFreq;
    state.autoCheck = prompt.autoCheck ? 1 : 0;
    if (!prompt.yes)
        state.SetupNextUpdate(-1); // by the frequency just chosen
    state.Write();
    return updateStarted;
}

int DoCheckForUpdates(HWND owner, int* updateStarted, const wchar_t* commandLine)
{
    if (commandLine && lstrcmpiW(commandLine, CHECK4UPDATES_SILENT_ARG))
        return 0;
    const bool silent = commandLine != nullptr;

    wchar_t query[check4UpdatesQueryChars];
    MakeCheck4UpdatesQuery(query, check4UpdatesQueryChars);
    UpdateState state;
    state.Read();
    if (AskServer(owner, silent, query, state, updateStarted)) {
        state.SetupLastUpdate();
        state.SetupNextUpdate(-1);
    } else {
        // A failed check never loses the schedule: the next try is tomorrow.
        state.SetupNextUpdate(1);
    }
    state.Write();
    return 1;
}

int DoCheckForUpdatesCmdln(const wchar_t* command, int enforce)
{
    if (!command)
        return 0;
    const bool silent = !lstrcmpiW(command, CHECK4UPDATES_SILENT_ARG);
    if (!silent && lstrcmpiW(command, interactiveWord))
        return 0;
    IconBtnUse iconButtons(5, 2, 0);
    if (enforce)
        EnforceCheckForUpdates(0x40 | 0x20 | 0x10); // daily, automatic
    DoCheckForUpdates(nullptr, nullptr, silent ? command : nullptr);
    return 1;
}
