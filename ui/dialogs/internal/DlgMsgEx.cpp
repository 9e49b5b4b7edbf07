#include "ui/dialogs/internal/DlgMsgEx.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <cwchar>

#include "base/LibraryEntry.h"
#include "base/ProductInfo.h"
#include "resources/resource.h"
#include "ui/dialogs/MsgBox.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/window/ZnDC.h"

namespace MsgExCallbacks {
unsigned int (*link)(HWND, void*);
void* linkData;
int (*button)(HWND, unsigned int, void*);
void* buttonData;
} // namespace MsgExCallbacks

namespace {

constexpr int buttonIds[3] = {IDC_MSGEX_BUTTON1, IDC_MSGEX_BUTTON2, IDC_MSGEX_BUTTON3};
// An owner chain longer than this is not a chain but a loop.
constexpr int maxOwnerSteps = 64;

DlgMsgEx* openBox;

int WordOf(int code)
{
    switch (code) {
    case IDCANCEL:
        return IDS_MSGEX_CANCEL;
    case IDRETRY:
        return IDS_MSGEX_RETRY;
    case IDYES:
        return IDS_MSGEX_YES;
    case IDNO:
        return IDS_MSGEX_NO;
    case IDCONTINUE:
        return IDS_MSGEX_CONTINUE;
    default:
        return IDS_MSGEX_OK;
    }
}

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool InThisProcess(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

HWND NextUp(HWND window)
{
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
        return GetParent(window);
    return GetWindow(window, GW_OWNER);
}

int ScreenDpi()
{
    ZnDC screen;
    return GetDeviceCaps(screen, LOGPIXELSY);
}

} // namespace

DlgMsgEx::DlgMsgEx(
    ZnDlgSkin* dialogSkin, unsigned int boxType, const wchar_t* boxText, int* boundInt, unsigned short id)
    : ZnDlg(dialogSkin),
      type(boxType),
      text(boxText ? boxText : L""),
      dontShow(boundInt),
      codes{},
      answeredFromStore(0),
      htmlUsed(0)
{
    ButtonCodes(type, codes);
    SetInstanceId(id);
}

DlgMsgEx::~DlgMsgEx()
{
    if (openBox == this)
        openBox = nullptr;
}

DlgMsgEx* DlgMsgEx::GetOpen()
{
    return openBox;
}

void DlgMsgEx::ButtonCodes(unsigned int boxType, int out[3])
{
    const int cancel = (boxType & MB_EX_CONTINUE) ? IDCONTINUE : IDCANCEL;
    int first = IDOK, second = 0, third = 0;
    switch (boxType & MB_TYPEMASK) {
    case MB_OKCANCEL:
        third = cancel;
        break;
    case MB_ABORTRETRYIGNORE:
    case MB_CANCELTRYCONTINUE:
        first = IDRETRY;
        second = IDCONTINUE;
        third = IDCANCEL;
        break;
    case MB_YESNOCANCEL:
        first = IDYES;
        second = IDNO;
        third = IDCANCEL;
        break;
    case MB_YESNO:
        first = IDYES;
        second = IDNO;
        break;
    case MB_RETRYCANCEL:
        first = IDRETRY;
        third = cancel;
        break;
    default:
        break;
    }
    out[0] = first;
    out[1] = second;
    out[2] = third;
}

int DlgMsgEx::Run(HWND owner)
{
    // A stored answer is given without a look at the box.
    if (dontShow && *dontShow)
        SetFlags(flagCreateHidden, 1);
    if (type & MB_EX_TOPMOST_ONCE)
        SetFlags(flagTopmostUntilActive, 1);
    const int templateId = GetSkin() ? IDD_MSGEX_SKIN : IDD_MSGEX;
    return ModelessWithLoop(1, -templateId, nullptr, owner);
}

LRESULT DlgMsgEx::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    openBox = this;
    SetWindowTextW(hWnd, GetMyProductInfo()->GetName());
    SetUpIcon();
    SetUpButtons();
    SetDlgItemTextW(IDC_MSGEX_DONTSHOW, IDS_DONT_SHOW_AGAIN);
    SetUpText();
    if (dontShow)
        CheckDlgButton(IDC_MSGEX_DONTSHOW, *dontShow ? BST_CHECKED : BST_UNCHECKED);
    else
        HideCheckBox();
    if (type & MB_EX_SHIELD)
        SendDlgItemMsg(IDC_MSGEX_BUTTON1, BCM_SETSHIELD, 0, TRUE);

    // Placement, skin and the topmost-until-active state see the final size.
    LRESULT answer = ZnDlg::OnInitDialog(wParam, lParam);
    if (type & MB_TOPMOST)
        SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (dontShow && *dontShow) {
        answeredFromStore = 1;
        PostMessageW(hWnd, msgStoredAnswer, 0, 0);
        return answer;
    }
    HWND focus = GetDlgItem(buttonIds[DefaultButtonIndex()]);
    SetDlgDefaulButton(GetDlgCtrlID(focus));
    SendMessageW(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    // The focus is set: the dialog manager must not move it.
    return FALSE;
}

void DlgMsgEx::SetUpIcon()
{
    int iconId = IDI_MSGEX_INFORMATION;
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        iconId = IDI_MSGEX_STOP;
        break;
    case MB_ICONQUESTION:
        iconId = IDI_MSGEX_QUESTION;
        break;
    case MB_ICONEXCLAMATION:
        iconId = IDI_MSGEX_EXCLAMATION;
        break;
    default:
        break;
    }
    const int size = ScreenDpi() >= 144 ? 64 : 48;
    icon.Reset(static_cast<HICON>(LoadImageW(hiDLL, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0)));
    if (icon)
        SendDlgItemMsg(IDC_MSGEX_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
}

void DlgMsgEx::SetUpButtons()
{
    RECT slots[3];
    int visible = 0;
    for (int i = 0; i < 3; ++i) {
        if (!GetDlgItemRect(buttonIds[i], &slots[i]))
            return;
        if (codes[i]) {
            SetDlgItemTextW(buttonIds[i], WordOf(codes[i]));
            ++visible;
        } else {
            HideDlgItem(buttonIds[i]);
        }
    }
    // The buttons that are shown stand together in the middle, as far
    // apart as the template's places.
    RECT client;
    GetClientRect(hWnd, &client);
    const int pitch = slots[1].left - slots[0].left;
    const int width = slots[0].right - slots[0].left;
    int left = (client.right - ((visible - 1) * pitch + width)) / 2;
    for (int i = 0; i < 3; ++i) {
        if (!codes[i])
            continue;
        SetWindowPos(
            GetDlgItem(buttonIds[i]), nullptr, left, slots[0].top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        left += pitch;
    }
}

void DlgMsgEx::SetUpText()
{
    HWND control = GetDlgItem(IDC_MSGEX_TEXT);
    if (!control)
        return;
    RECT place = ChildRect(hWnd, control);
    // A text taller than most of the screen is cut rather than pushing the
    // buttons off it. The layout stops at the bottom of the rectangle it is
    // given, so it measures in one of that height.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int most = std::max<int>((work.bottom - work.top) * 2 / 3, place.bottom - place.top);
    RECT measure = {0, 0, place.right - place.left, most};
    int needed = 0;
    if ((type & MB_EX_HTML) && html.Init(this, IDC_MSGEX_TEXT)) {
        htmlUsed = 1;
        // On the skin the text takes the skin's colour over its picture.
        if (IsSkinSet()) {
            html.SetTransparent(1);
            if (const SKIN_METRICS* metrics = GetSkin()->GetMetrics())
                html.SetTextColor(metrics->textColor);
        }
        html.SetHTMLText(text);
        ClientDC dc(control);
        needed = html.CalcHeight(dc, &measure);
        // A link must be reachable from the keyboard too.
        if (html.HasLinks())
            SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | WS_TABSTOP);
    } else {
        SetDlgItemTextW(IDC_MSGEX_TEXT, text);
        ClientDC dc(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        DrawTextW(dc, text, -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        needed = measure.bottom - measure.top;
    }
    needed = std::min(needed, most);
    const int dy = needed - (place.bottom - place.top);
    if (dy <= 0)
        return;
    ResizeCtrl(IDC_MSGEX_TEXT, 0, dy);
    MoveChildrenBelow(place.bottom, dy);
    AdjustHeight(dy);
}

void DlgMsgEx::HideCheckBox()
{
    RECT check, below;
    if (!GetDlgItemRect(IDC_MSGEX_DONTSHOW, &check) || !GetDlgItemRect(IDC_MSGEX_BELOW_CHECK, &below))
        return;
    HideDlgItem(IDC_MSGEX_DONTSHOW);
    const int dy = below.top - check.top;
    MoveChildrenBelow(below.top, -dy);
    AdjustHeight(-dy);
}

void DlgMsgEx::MoveChildrenBelow(int y, int dy)
{
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = ChildRect(hWnd, child);
        if (rect.top >= y)
            SetWindowPos(child, nullptr, rect.left, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int DlgMsgEx::DefaultButtonIndex() const
{
    int wanted = 0;
    if ((type & MB_DEFMASK) == MB_DEFBUTTON2)
        wanted = 1;
    else if ((type & MB_DEFMASK) == MB_DEFBUTTON3)
        wanted = 2;
    // The n-th of the buttons shown; a box with fewer takes its first.
    int first = -1;
    for (int i = 0, seen = 0; i < 3; ++i) {
        if (!codes[i])
            continue;
        if (first < 0)
            first = i;
        if (seen++ == wanted)
            return i;
    }
    return first < 0 ? 0 : first;
}

int DlgMsgEx::ButtonIdFor(int code) const
{
    for (int i = 0; i < 3; ++i) {
        if (code && codes[i] == code)
            return buttonIds[i];
    }
    return 0;
}

void DlgMsgEx::Press(int code)
{
    if (MsgExCallbacks::button
        && !MsgExCallbacks::button(hWnd, static_cast<unsigned int>(code), MsgExCallbacks::buttonData))
        return;
    Finish(code);
}

void DlgMsgEx::Finish(int code)
{
    // The remembered answer is the button the user chose with the box
    // ticked, so the next box gives that same answer.
    if (dontShow && !answeredFromStore)
        *dontShow = IsDlgButtonChecked(IDC_MSGEX_DONTSHOW) ? code : 0;
    CloseDialog(code, 0);
}

void DlgMsgEx::OnLink()
{
    unsigned int answer = 0;
    if (MsgExCallbacks::link) {
        answer = MsgExCallbacks::link(hWnd, MsgExCallbacks::linkData);
    } else {
        HWND up = parentWnd ? parentWnd : ::GetWindow(hWnd, GW_OWNER);
        for (int steps = 0; up && steps < maxOwnerSteps; ++steps, up = NextUp(up)) {
            // The result's address means nothing in another process, and
            // another process has no business writing through it.
            if (!InThisProcess(up))
                continue;
            unsigned int result = 0;
            if (SendMyCompanyMsg(up, MSGEX_LINK_CODE, reinterpret_cast<LPARAM>(&result))) {
                answer = result;
                break;
            }
        }
    }
    if (answer)
        Finish(static_cast<int>(answer));
}

LRESULT DlgMsgEx::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    // Accelerators: the key of a word presses the button that shows it.
    if (code == 1 && !control && id > IDM_MSGEX_KEY && id <= IDM_MSGEX_KEY + IDCONTINUE) {
        const int wanted = id - IDM_MSGEX_KEY;
        if (ButtonIdFor(wanted))
            Press(wanted);
        return 1;
    }
    if (code != BN_CLICKED)
        return ZnDlg::OnCommand(id, code, control);
    if (id == IDC_MSGEX_TEXT) {
        // STN_CLICKED of the text's own link ("<A>").
        if (htmlUsed)
            OnLink();
        return 1;
    }
    for (int i = 0; i < 3; ++i) {
        if (id == buttonIds[i] && codes[i]) {
            Press(codes[i]);
            return 1;
        }
    }
    if (id == IDOK) {
        // Enter without a default button, or the skin's OK area.
        Press(codes[DefaultButtonIndex()]);
        return 1;
    }
    if (id == IDCANCEL) {
        // Escape, the close button and the system menu's Close.
        Press(IDCANCEL);
        return 1;
    }
    return ZnDlg::OnCommand(id, code, control);
}

LRESULT DlgMsgEx::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == msgStoredAnswer) {
        // Not the button callback's to veto: nobody sees this box, so a
        // veto would leave it open and hidden for ever.
        const int stored = dontShow ? *dontShow : 0;
        CloseDialog(ButtonIdFor(stored) ? stored : codes[DefaultButtonIndex()], 0);
        return 1;
    }
    if (msg == WM_DEVICECHANGE && wParam == DBT_DEVICEARRIVAL && (type & MB_EX_DEVICE_RETRY) && ButtonIdFor(IDRETRY)
        && !answeredFromStore) {
        Press(IDRETRY);
        return 1;
    }
    return ZnDlg::OnDlgMessage(msg, wParam, lParam);
}

int DlgMsgEx::PreTranslateMessage(MSG* msg)
{
    // The library's table, loaded once; tables of resources are never freed.
    static HACCEL keys = LoadAcceleratorsW(hiDLL, MAKEINTRESOURCEW(IDA_MSGEX));
    if (keys && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST
        && (msg->hwnd == hWnd || IsChild(hWnd, msg->hwnd)) && TranslateAcceleratorW(hWnd, keys, msg))
        return 1;
    return ZnDlg::PreTranslateMessage(msg);
}

void DlgMsgEx::OnPostNcDestroy()
{
    if (openBox == this)
        openBox = nullptr;
    ZnDlg::OnPostNcDestroy();
}
