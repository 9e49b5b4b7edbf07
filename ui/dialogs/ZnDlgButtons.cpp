// The close and minimise buttons of a dialog without a caption.
#include "ui/dialogs/ZnDlgButtons.h"

// Link-like and centred: no push-button frame and no pressed offset around
// the picture, and the hover look is the hot icon. The pictures are the
// library's own, whoever makes the dialog.
ZnCaptionBtnForDlg::ZnCaptionBtnForDlg(UINT systemCommand, int normalIconId, int hotIconId)
    : IconBtn(-normalIconId, -hotIconId, centerVert | centerHorz | linkStyle, 0, 0), command(systemCommand)
{
    // A caption button is not a link: the arrow stays.
    handCursor = 0;
}

int ZnCaptionBtnForDlg::OnCommand(WORD code, LRESULT* result)
{
    if (code != BN_CLICKED)
        return 0;
    // A close button that is its dialog's IDCANCEL is the cancel way itself:
    // SC_CLOSE would come back as WM_CLOSE, which the dialog turns into
    // IDCANCEL from this very button again, for ever.
    HWND parent = ::GetParent(hWnd);
    if (command == SC_CLOSE && GetID() == IDCANCEL && parent && GetAncestor(hWnd, GA_ROOT) == parent)
        return 0;
    // A button on a page acts for the window the user sees.
    if (HWND top = GetAncestor(hWnd, GA_ROOT))
        SendMessageW(top, WM_SYSCOMMAND, command, 0);
    *result = 0;
    return 1;
}

HICON ZnCaptionBtnForDlg::IconFor(UINT itemState)
{
    bool hot = hover || (itemState & ODS_SELECTED);
    return hot && hIconHot ? hIconHot.Get() : hIcon.Get();
}
