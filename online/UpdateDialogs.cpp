// The update check's dialogs: the prompt before a check and the offer of
// an update the server named.
#include "online/UpdateDialogs.h"

#include <cwchar>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "base/StrFormat.h"
#include "online/UpdateCheck.h"
#include "online/WebLinks.h"
#include "online/internal/UrlText.h"
#include "resources/resource.h"
#include "text/ResStr.h"
#include "threads/InstanceActivation.h"
#include "ui/window/ZnDC.h"

namespace {

// The texts of a list, in the order of Check4UpdatesFreq.
constexpr int reminderTexts[]
    = {IDS_UPDATE_REMIND_TOMORROW, IDS_UPDATE_REMIND_WEEK, IDS_UPDATE_REMIND_MONTH, IDS_UPDATE_REMIND_NEVER};
constexpr int frequencyTexts[] = {IDS_FREQ_DAILY, IDS_FREQ_WEEKLY, IDS_FREQ_MONTHLY, IDS_FREQ_NEVER};
constexpr int frequencyCount = 4;

constexpr unsigned titleSize = 256;
// The description (at most 259 characters), a line break and the link.
constexpr unsigned descriptionSize = UpdateIni::fieldSize + 128;

const wchar_t* LibraryText(ResStr& text, int id)
{
    return text.Load(static_cast<short>(-id));
}

void FillList(ZnComboList& list, const int (&texts)[frequencyCount])
{
    const int selected = list.GetCurSel();
    list.ResetContent();
    for (int id : texts) {
        ResStr text;
        list.AddString(LibraryText(text, id));
    }
    if (selected >= 0 && selected < list.GetCount())
        list.SetCurSel(selected);
}

Check4UpdatesFreq KnownFreq(int value, Check4UpdatesFreq otherwise)
{
    return value >= c4uDaily && value <= c4uNever ? static_cast<Check4UpdatesFreq>(value) : otherwise;
}

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

const ImageBtnDescriptor DlgUpdateBase::continueButton
    = {-IDB_CONTINUE, nullptr, 48, 48, RGB(255, 0, 255), 8, ImageBtnDescriptor::textBefore};

// --- the shared base ---------------------------------------------------------------------

DlgUpdateBase::DlgUpdateBase(unsigned short id, Check4UpdatesFreq freq)
    : yes(1), remindFreq(freq), instanceId(id), continueBtn(continueButton)
{
    SetInstanceId(id);
}

LRESULT DlgUpdateBase::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    wchar_t caption[titleSize] = {};
    GetTitle(caption, titleSize);
    SetWindowTextW(hWnd, caption);
    if (title.Init(this, IDC_UPDATE_TITLE)) {
        wchar_t markup[titleSize + 32];
        if (ZnStaticHTML::MakeHtml(markup, titleSize + 32, L"<b><dkgrey>%s</dkgrey></b>", caption))
            title.SetHTMLText(markup);
    }
    icons.InitEx(hWnd, GetMyProductInfo()->GetIconID());

    SetDlgItemTextW(IDC_UPDATE_NO, IDS_UPDATE_NOT_NOW);
    CheckRadioButton(IDC_UPDATE_YES, IDC_UPDATE_NO, yes ? IDC_UPDATE_YES : IDC_UPDATE_NO);
    SetDlgItemTextW(IDC_UPDATE_REMIND_LABEL, IDS_UPDATE_REMIND_ME);
    if (remind.Init(this, IDC_UPDATE_REMIND)) {
        FillList(remind, reminderTexts);
        remind.SetCurSel(KnownFreq(remindFreq, c4uWeekly));
    }
    closeButton.Init(this, IDCANCEL);
    SetDlgItemTextW(IDOK, IDS_UPDATE_CONTINUE);
    continueBtn.Init(this, IDOK);

    LRESULT answer = ZnDlg::OnInitDialog(wParam, lParam);
    // The choice the user is most likely to keep or change has the focus.
    if (HWND choice = GetDlgItem(yes ? IDC_UPDATE_YES : IDC_UPDATE_NO)) {
        SendMessageW(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(choice), TRUE);
        return FALSE;
    }
    return answer;
}

int DlgUpdateBase::UpdateData()
{
    yes = IsDlgButtonChecked(IDC_UPDATE_YES) ? 1 : 0;
    remindFreq = KnownFreq(remind.GetCurSel(), remindFreq);
    return ZnDlg::UpdateData();
}

int DlgUpdateBase::OnMyCompanyMsg(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // The instance id is answered by ZnDlg's own handler.
    return ZnDlg::OnMyCompanyMsg(wParam, lParam, result);
}

LRESULT DlgUpdateBase::OnCancel()
{
    UpdateData();
    return ZnDlg::OnCancel();
}

LRESULT DlgUpdateBase::RunSingle(int templateId, HWND owner)
{
    if (ActivatePrevDlg(instanceId))
        return -1;
    return Modal(-templateId, nullptr, owner);
}

void DlgUpdateBase::MoveControlsBelow(int y, int dy)
{
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = ChildRect(hWnd, child);
        if (rect.top >= y)
            SetWindowPos(child, nullptr, rect.left, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    AdjustHeight(dy);
}

// --- the prompt ----------------------------------------------------------------------------

DlgCheckForUpdates::DlgCheckForUpdates(unsigned d, Check4UpdatesFreq freq, int automatic, int* started)
    : DlgUpdateBase(instanceIdPrompt, freq), autoCheck(automatic), days(d), updateStarted(started)
{
}

LRESULT DlgCheckForUpdates::Run(HWND owner)
{
    return RunSingle(IDD_UPDATE_PROMPT, owner);
}

LRESULT DlgCheckForUpdates::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    SetDlgItemTextW(IDC_UPDATE_YES, IDS_UPDATE_CHECK_NOW);
    SetDlgItemTextW(IDC_UPDATE_AUTO, IDS_UPDATE_AUTO_CHECK);
    CheckDlgButton(IDC_UPDATE_AUTO, autoCheck ? BST_CHECKED : BST_UNCHECKED);
    RECT line, next;
    if (days) {
        SetDlgItemTextFmt(IDC_UPDATE_DAYS, IDS_UPDATE_DAYS_AGO, static_cast<int>(days));
    } else if (GetDlgItemRect(IDC_UPDATE_DAYS, &line) && GetDlgItemRect(IDC_UPDATE_YES, &next)) {
        // Never checked: no line that says so, and no gap where it was.
        HideDlgItem(IDC_UPDATE_DAYS);
        MoveControlsBelow(next.top, line.top - next.top);
    }
    return DlgUpdateBase::OnInitDialog(wParam, lParam);
}

int DlgCheckForUpdates::UpdateData()
{
    autoCheck = IsDlgButtonChecked(IDC_UPDATE_AUTO) ? 1 : 0;
    return DlgUpdateBase::UpdateData();
}

LRESULT DlgCheckForUpdates::OnOK()
{
    if (!UpdateData())
        return 0;
    if (yes)
        DoCheckForUpdates(hWnd, updateStarted, nullptr);
    return DlgUpdateBase::OnOK();
}

void DlgCheckForUpdates::GetTitle(wchar_t* buffer, unsigned cch)
{
    ResStr format;
    StrFormat(buffer, cch, LibraryText(format, IDS_UPDATE_PROMPT_TITLE), GetMyProductInfo()->GetName());
}

// --- the offer -----------------------------------------------------------------------------

DlgGetUpdates::DlgGetUpdates(const UpdateIni& offered, Check4UpdatesFreq freq)
    : DlgUpdateBase(instanceIdOffer, freq), answer(offered)
{
}

LRESULT DlgGetUpdates::Run(HWND owner)
{
    return RunSingle(IDD_UPDATE_OFFER, owner);
}

LRESULT DlgGetUpdates::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    SetDlgItemTextW(IDC_UPDATE_YES, IDS_UPDATE_INSTALL_NOW);
    HWND control = GetDlgItem(IDC_UPDATE_DESCR);
    if (control && description.Init(this, IDC_UPDATE_DESCR)) {
        description.SetHTMLText(answer.szDescr);
        const RECT place = ChildRect(hWnd, control);
        RECT measure = {0, 0, place.right - place.left, 0x7FFF};
        ClientDC dc(control);
        int needed = description.CalcHeight(dc, &measure);
        // The server's text needs no link of its own to lead further: a
        // web address to read more at gets one.
        if (UrlText::IsWebUrl(answer.szUrlMoreInfo) && !description.HasLinks()) {
            wchar_t markup[descriptionSize] = {};
            ResStr more;
            StrFormat(markup, descriptionSize, answer.szDescr[0] ? L"%s<br><A>%s</A>" : L"%s<A>%s</A>", answer.szDescr,
                LibraryText(more, IDS_UPDATE_MORE_INFO));
            description.SetHTMLText(markup);
            needed = description.CalcHeight(dc, &measure);
        }
        if (description.HasLinks())
            SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | WS_TABSTOP);
        // The description takes the room it needs, and what lies below it
        // follows.
        const int dy = needed - (place.bottom - place.top);
        if (dy) {
            ResizeCtrl(IDC_UPDATE_DESCR, 0, dy);
            MoveControlsBelow(place.bottom, dy);
        }
    }
    return DlgUpdateBase::OnInitDialog(wParam, lParam);
}

LRESULT DlgGetUpdates::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    // Every link of the description ("<A>" to "<A9>") leads to the page
    // about the update.
    if (code == BN_CLICKED && id >= IDC_UPDATE_DESCR && id <= IDC_UPDATE_DESCR + 9) {
        OpenMoreInfo();
        return 1;
    }
    return DlgUpdateBase::OnCommand(id, code, control);
}

LRESULT DlgGetUpdates::OnCancel()
{
    return DlgUpdateBase::OnCancel();
}

void DlgGetUpdates::OpenMoreInfo()
{
    // The address comes from the server: only a web address goes to the
    // browser, never a file or a program.
    if (UrlText::IsWebUrl(answer.szUrlMoreInfo))
        OpenHTML(hWnd, answer.szUrlMoreInfo, FALSE, 0);
}

void DlgGetUpdates::GetTitle(wchar_t* buffer, unsigned cch)
{
    ResStr text;
    StrFormat(buffer, cch, L"%s", LibraryText(text, IDS_UPDATE_OFFER_TITLE));
}

// --- the settings' list ------------------------------------------------------------------

void PopulateFreqList(ZnComboList& list)
{
    FillList(list, frequencyTexts);
}
