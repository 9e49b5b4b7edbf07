// The command entry. The host outside the framework calls these without
// having set anything up, so each call brings what its work needs.
#include "entry/CommandEntry.h"

#include <commctrl.h>

#include "entry/About.h"
#include "online/UpdateCheck.h"
#include "online/UpdateState.h"
#include "online/WebLinks.h"
#include "threads/CoInit.h"
#include "threads/ProcessLaunch.h"

namespace {

constexpr unsigned helpUrlChars = 2048;

// Daily checks, automatic checking on: the policy of a host that asks
// before every menu and of the command words.
void EnforceDailyAutomaticChecks()
{
    EnforceCheckForUpdates(0x40 | c4uDaily | 0x20 | 0x10);
}

void OpenOnlineHelp()
{
    wchar_t url[helpUrlChars];
    MakeGoOnlineURL(url, helpUrlChars, L"launchora-help");
    OpenHTML(nullptr, url, FALSE, 0);
}

} // namespace

int Launchora(const wchar_t* command)
{
    // The About box's link is a link control; its class comes from here
    // for hosts that never asked for it.
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LINK_CLASS};
    InitCommonControlsEx(&classes);
    // Only a successful initialisation is undone: a thread that already
    // runs COM in the other model keeps it.
    CoInit com;
    if (!command)
        return 2;
    if (lstrcmpiW(command, L"about") == 0) {
        DoAbout(nullptr, 1);
        return 0;
    }
    if (lstrcmpiW(command, L"help") == 0) {
        OpenOnlineHelp();
        return 0;
    }
    // The check knows its own words.
    return DoCheckForUpdatesCmdln(command, 1) ? 0 : 2;
}

int RunLaunchora(HWND, const wchar_t* parameters, int asAdmin)
{
    wchar_t path[MAX_PATH];
    if (!GetSatellitePath(path, CHECK4UPDATES_PRODUCT_EXE) || !path[0])
        return 1;
    // RunFile shows no box of the shell's: a failure is the caller's to
    // report, and a host inside the shell must never stop at one.
    return RunFile(path, parameters, nullptr, asAdmin ? L"runas" : nullptr) ? 0 : 1;
}

void OnStartButtonCreated(HWND)
{
}

int PreShowStartMenu(HWND owner)
{
    EnforceDailyAutomaticChecks();
    CheckForUpdates(owner);
    return 1;
}
