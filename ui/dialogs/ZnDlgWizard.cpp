// ZnDlgWizard: a page manager as a linear sequence of steps, with a large
// title, icons and caption of its own, a skin layout and a question before
// Cancel leaves a step in the middle.
#include "ui/dialogs/ZnDlgPageMan.h"

#include <new>

#include "text/ResStr.h"
#include "ui/dialogs/MsgBox.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/window/CDPI.h"

namespace {

// Text and background of the title band when no skin paints it.
constexpr COLORREF titleTextColor = 0x800000;

// Moves the control with id so that its middle lies in the middle of the
// band from top to bottom (dialog client coordinates).
void CentreInBand(ZnDlg* dlg, int id, int top, int bottom)
{
    RECT rect;
    if (!id || !dlg->GetDlgItemRect(id, &rect))
        return;
    const int height = rect.bottom - rect.top;
    const int wanted = top + (bottom - top - height) / 2;
    dlg->MoveCtrl(id, 0, wanted - rect.top);
}

} // namespace

ZnDlgWizard::ZnDlgWizard(unsigned int header, unsigned int placeholder, unsigned int back, unsigned int next,
    unsigned int icon, unsigned int caption, unsigned int cancelConfirm, int canResize, ImageBtnDescriptor* imageButton,
    unsigned int imageButtonId, ZnDlgSkin* dialogSkin)
    : ZnDlgPageMan(0, header, placeholder, back, next, dialogSkin),
      imageDescriptor{},
      hasImageDescriptor(imageButton != nullptr),
      imageBtn(nullptr),
      resizable(canResize),
      iconId(icon),
      captionId(caption),
      cancelConfirmId(cancelConfirm),
      imageBtnId(imageButtonId),
      hasHelp(0),
      hasCancel(0),
      hasOK(0),
      dpiPercent(100)
{
    wizard = 1;
    if (imageButton)
        imageDescriptor = *imageButton;
}

ZnDlgWizard::~ZnDlgWizard()
{
    delete imageBtn;
}

int ZnDlgWizard::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnDlgWizard") == 0 || ZnDlgPageMan::IsKindOf(className));
}

MyWindowPlacement* ZnDlgWizard::GetResizingInfo()
{
    return nullptr;
}

SIZE ZnDlgWizard::EnlargeForDpi(int cx, int cy, int dpiX, int dpiY)
{
    SIZE size = {cx, cy};
    const bool slightlyLarger = (dpiX >= 97 && dpiX <= 112) || (dpiY >= 97 && dpiY <= 112);
    if (!slightlyLarger || dpiX <= 0 || dpiY <= 0)
        return size;
    // MulDiv keeps the product in 64 bits; -1 is its overflow answer.
    const int wide = MulDiv(cx, dpiX, 96);
    const int high = MulDiv(cy, dpiY, 96);
    if (wide > 0 || cx <= 0)
        size.cx = wide > 0 ? wide : cx;
    if (high > 0 || cy <= 0)
        size.cy = high > 0 ? high : cy;
    return size;
}

LRESULT ZnDlgWizard::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    hasHelp = GetDlgItem(IDHELP) != nullptr;
    hasCancel = GetDlgItem(IDCANCEL) != nullptr;
    hasOK = GetDlgItem(IDOK) != nullptr;
    const unsigned int buttons[] = {backId, nextId, IDOK, IDCANCEL, IDHELP};
    for (unsigned int id : buttons) {
        if (id)
            HideDlgItem(static_cast<int>(id));
    }
    if (resizable) {
        const bool skinned = skin && skin->GetMetrics();
        EnableResizing(flagResizable | (skinned ? static_cast<unsigned long>(flagNoGrip) : 0UL), GetResizingInfo());
    } else {
        SetFlags(flagFixFirstSize, 1);
    }

    LRESULT answer = ZnDlgPageMan::OnInitDialog(wParam, lParam);

    CDPI dpi;
    RECT frame;
    GetWindowRect(hWnd, &frame);
    const SIZE now = {frame.right - frame.left, frame.bottom - frame.top};
    const SIZE large = EnlargeForDpi(now.cx, now.cy, dpi.GetDPIX(), dpi.GetDPIY());
    dpiPercent = now.cx > 0 ? MulDiv(large.cx, 100, now.cx) : 100;
    if (large.cx != now.cx || large.cy != now.cy)
        SetWindowPos(hWnd, nullptr, 0, 0, large.cx, large.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (headerId && GetDlgItem(static_cast<int>(headerId))) {
        largeTitle.SetFontStyle(L"Segoe", FW_BOLD, 160);
        largeTitle.Init(this, headerId);
    }
    if (iconId)
        icons.Init(hWnd, static_cast<int>(iconId), 1);
    if (captionId) {
        ResStr caption;
        caption.Load(static_cast<int>(captionId));
        if (!caption.IsEmpty())
            SetWindowTextW(hWnd, caption);
    }
    if (hasCancel) {
        ShowButton(IDCANCEL, 1);
        EnableButton(btnCancel, 1);
    }
    if (hasHelp) {
        ShowButton(IDHELP, 1);
        EnableButton(btnHelp, 1);
    }
    UpdateNavButtons();
    if (backId && IsActivePageFirst())
        ChangeNavButtons_EnableBack(0, ShouldKeepBackBtnVisible());

    if (hasImageDescriptor && imageBtnId && GetDlgItem(static_cast<int>(imageBtnId))) {
        delete imageBtn;
        imageBtn = new (std::nothrow) ImageBtn(imageDescriptor);
        if (imageBtn && !imageBtn->Init(this, imageBtnId)) {
            delete imageBtn;
            imageBtn = nullptr;
        }
    }
    return answer;
}

LRESULT ZnDlgWizard::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    return ZnDlgPageMan::OnCommand(id, code, control);
}

int ZnDlgWizard::ConfirmCancel()
{
    if (!cancelConfirmId || !activePage || IsActivePageFirst() || IsActivePageLast())
        return 1;
    // A string id, as MsgEx reads its texts.
    const auto* question = reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(cancelConfirmId & 0xFFFF));
    return MsgEx(hWnd, MB_YESNO | MB_ICONQUESTION, question) == IDYES;
}

int ZnDlgWizard::CanClose(int code)
{
    if (code == IDCANCEL && !ConfirmCancel())
        return 0;
    return ZnDlgPageMan::CanClose(code);
}

int ZnDlgWizard::OnCtlColor(unsigned int msg, HDC dc, HWND control, HBRUSH* brush)
{
    const int id = control ? GetDlgItemID(control) : -1;
    const bool titleBand = id > 0
        && ((headerId && id == static_cast<int>(headerId)) || (imageBtnId && id == static_cast<int>(imageBtnId)));
    if (!titleBand || msg == WM_CTLCOLORSCROLLBAR)
        return ZnDlgPageMan::OnCtlColor(msg, dc, control, brush);
    if (ZnDlgSkin* shown = GetDisplaySkin(); shown && shown->IsSkinSet()) {
        if (ZnDlgPageMan::OnCtlColor(msg, dc, control, brush))
            return 1;
    }
    SetTextColor(dc, titleTextColor);
    SetBkColor(dc, GetSysColor(COLOR_3DHILIGHT));
    *brush = GetSysColorBrush(COLOR_3DHILIGHT);
    return 1;
}

void ZnDlgWizard::OnResize(int dx, int dy)
{
    ZnDlgPageMan::OnResize(dx, dy);
    // The title band keeps its place at the top; the image button keeps
    // its distance from the right edge.
    if (imageBtnId && GetDlgItem(static_cast<int>(imageBtnId)))
        MoveCtrl(static_cast<int>(imageBtnId), dx, 0);
}

void ZnDlgWizard::OnFirstSkinStretch(ZnDlgSkin* stretchedSkin)
{
    ZnDlgPageMan::OnFirstSkinStretch(stretchedSkin);
    auto* wizSkin = dynamic_cast<ZnDlgWizSkin*>(stretchedSkin);
    if (!wizSkin)
        return;
    wizSkin->StretchWizMetrics();
    const SKIN_WIZ_METRICS& bands = wizSkin->GetWizMetrics();
    CentreInBand(this, static_cast<int>(headerId), bands.headerTop, bands.headerBottom);
    CentreInBand(this, static_cast<int>(imageBtnId), bands.headerTop, bands.headerBottom);
    const unsigned int buttons[] = {backId, nextId, IDOK, IDCANCEL, IDHELP};
    for (unsigned int id : buttons) {
        const int slot = id == backId ? 0 : id == nextId ? 1 : id == IDOK ? 2 : id == IDCANCEL ? 3 : 4;
        if (!id || !GetDlgItem(static_cast<int>(id)))
            continue;
        if (parked[slot]) {
            // Brought back to the band when it shows again.
            RECT rect;
            GetDlgItemRect(static_cast<int>(id), &rect);
            const int height = rect.bottom - rect.top;
            parkedTop[slot] = bands.buttonsTop + (bands.buttonsBottom - bands.buttonsTop - height) / 2;
        } else {
            CentreInBand(this, static_cast<int>(id), bands.buttonsTop, bands.buttonsBottom);
        }
    }
    const RECT& place = bands.pageRect;
    if (placeholderId && GetDlgItem(static_cast<int>(placeholderId)))
        SetWindowPos(GetDlgItem(static_cast<int>(placeholderId)), nullptr, place.left, place.top,
            place.right - place.left, place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitPagesToPlaceholder();
    if (hasHelp) {
        ShowButton(IDHELP, 1);
        ParkButton(IDHELP, 1);
    }
}

void ZnDlgWizard::OnUpdateHeaderText(int show)
{
    ZnDlgPageMan::OnUpdateHeaderText(show);
    // On a skin the title is drawn over the picture: what it covered
    // before must be painted again.
    if (show && headerId && IsSkinSet()) {
        if (HWND title = GetDlgItem(static_cast<int>(headerId)))
            RedrawWindow(title, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
}
