// Placeholder until the dialogs are written.
#include "online/UpdateDialogs.h"

DlgUpdateBase::DlgUpdateBase(unsigned short id, Check4UpdatesFreq freq)
    : yes(1), remindFreq(freq), instanceId(id)
{
}

LRESULT DlgUpdateBase::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    return ZnDlg::OnInitDialog(wParam, lParam);
}

int DlgUpdateBase::UpdateData()
{
    return ZnDlg::UpdateData();
}

int DlgUpdateBase::OnMyCompanyMsg(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ZnDlg::OnMyCompanyMsg(wParam, lParam, result);
}

LRESULT DlgUpdateBase::RunSingle(int, HWND)
{
    return IDCANCEL;
}

DlgCheckForUpdates::DlgCheckForUpdates(unsigned d, Check4UpdatesFreq freq, int automatic, int* started)
    : DlgUpdateBase(instanceIdPrompt, freq), autoCheck(automatic), days(d), updateStarted(started)
{
}

LRESULT DlgCheckForUpdates::Run(HWND owner)
{
    return RunSingle(21802, owner);
}

LRESULT DlgCheckForUpdates::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    return DlgUpdateBase::OnInitDialog(wParam, lParam);
}

int DlgCheckForUpdates::UpdateData()
{
    return DlgUpdateBase::UpdateData();
}

LRESULT DlgCheckForUpdates::OnOK()
{
    return DlgUpdateBase::OnOK();
}

void DlgCheckForUpdates::GetTitle(wchar_t* buffer, unsigned cch)
{
    if (cch)
        buffer[0] = L'\0';
}

DlgGetUpdates::DlgGetUpdates(const UpdateIni& offered, Check4UpdatesFreq freq)
    : DlgUpdateBase(instanceIdOffer, freq), answer(offered)
{
}

LRESULT DlgGetUpdates::Run(HWND owner)
{
    return RunSingle(21804, owner);
}

LRESULT DlgGetUpdates::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    return DlgUpdateBase::OnInitDialog(wParam, lParam);
}

LRESULT DlgGetUpdates::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    return DlgUpdateBase::OnCommand(id, code, control);
}

LRESULT DlgGetUpdates::OnCancel()
{
    return DlgUpdateBase::OnCancel();
}

void DlgGetUpdates::GetTitle(wchar_t* buffer, unsigned cch)
{
    if (cch)
        buffer[0] = L'\0';
}

void PopulateFreqList(ZnComboList&)
{
}
