// ZnDlgMain: an application's main dialog.
#include "ui/dialogs/ZnDlg.h"

#include "base/LibraryEntry.h"
#include "resources/resource.h"
#include "text/ResStr.h"
#include "ui/dialogs/internal/DlgIcons.h"
#include "ui/dialogs/internal/DlgState.h"
#include "ui/window/WndFunctions.h"

namespace {

constexpr UINT aboutCommand = 16;

} // namespace

ZnDlgMain::ZnDlgMain(HINSTANCE iconModule, int iconId, ZnDlgSkin* dialogSkin)
    : ZnDlg(dialogSkin),
      bigIcon(LoadDlgIcon(iconModule, iconId, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))),
      smallIcon(LoadDlgIcon(iconModule, iconId, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)))
{
}

ZnDlgMain::~ZnDlgMain() = default;

LRESULT ZnDlgMain::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = ZnDlg::OnInitDialog(wParam, lParam);
    if (HMENU system = GetSystemMenu(hWnd, FALSE)) {
        ResStr about;
        about.Load(IDS_ABOUT_MENU, hiDLL);
        AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(system, MF_STRING, aboutCommand, about);
    }
    HICON big = bigIcon.Get();
    HICON small = smallIcon ? smallIcon.Get() : big;
    if (big)
        SendMessageW(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small)
        SendMessageW(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    RestorePosition();
    return answer;
}

LRESULT ZnDlgMain::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(bigIcon.Get());
    case WM_DESTROY:
        StorePosition();
        // The application's loop ends with its main dialog.
        if (modeless)
            PostQuitMessage(static_cast<int>(result));
        break;
    case WM_PAINT:
        if (LRESULT painted = OnPaint(wParam, lParam))
            return painted;
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == aboutCommand) {
            OnAbout();
            return 1;
        }
        break;
    default:
        break;
    }
    return ZnDlg::OnDlgMessage(msg, wParam, lParam);
}

LRESULT ZnDlgMain::OnPaint(WPARAM, LPARAM)
{
    if (!IsIconic(hWnd))
        return 0;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hWnd, &paint);
    RECT client;
    GetClientRect(hWnd, &client);
    int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, bigIcon.Get());
    EndPaint(hWnd, &paint);
    return 1;
}

LRESULT ZnDlgMain::OnAbout()
{
    MessageBoxW(hWnd, L"TODO...", L"About", MB_OK);
    return 0;
}

void ZnDlgMain::StorePosition()
{
    if (!placement && hWnd)
        WndStorePosition(hWnd, L"");
}

void ZnDlgMain::RestorePosition()
{
    if (placement || !hWnd)
        return;
    WndRestorePosition(hWnd, L"");
    // The primary screen is not every monitor: what lies on none is
    // brought onto the nearest.
    RECT rect;
    GetWindowRect(hWnd, &rect);
    if (DlgState::BringOntoMonitor(rect))
        SetWindowPos(hWnd, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
