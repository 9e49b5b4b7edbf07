// The About box. Its texts come from the product's identity, so a product
// built on the library shows its own name and version without a template
// of its own.
#include "entry/About.h"

#include <new>

#include "base/Owners.h"
#include "base/ProductInfo.h"
#include "base/StrFormat.h"
#include "online/WebLinks.h"
#include "resources/resource.h"
#include "text/ResStr.h"
#include "ui/dialogs/ZnDlg.h"
#include "ui/html/ZnStaticHTML.h"

namespace {

// The band behind the icon and the product's name.
constexpr COLORREF bandColor = RGB(255, 255, 255);
// Windows' own default of the hot-light colour.
constexpr COLORREF defaultLinkColor = RGB(0, 102, 204);

int Luma(COLORREF c)
{
    return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
}

// Links take the system's hot-light colour, unless it all but vanishes on
// the background (Wine's default colours make it a pale grey on a paler
// face): then Windows' default blue.
COLORREF ReadableLinkColor(COLORREF background)
{
    COLORREF link = GetSysColor(COLOR_HOTLIGHT);
    int contrast = Luma(link) - Luma(background);
    return contrast >= 96 || contrast <= -96 ? link : defaultLinkColor;
}

// The site's address as the link shows it: without its scheme and a
// closing slash, and with the characters that mini-HTML reads as markup
// written as entities.
void SiteForDisplay(wchar_t* out, unsigned cch, const wchar_t* url)
{
    out[0] = L'\0';
    if (!url || cch < 2)
        return;
    if (const wchar_t* scheme = wcsstr(url, L"://"))
        url = scheme + 3;
    unsigned length = 0;
    for (const wchar_t* p = url; *p && !(p[0] == L'/' && !p[1]); ++p) {
        const wchar_t* piece = nullptr;
        wchar_t single[2] = {*p, L'\0'};
        switch (*p) {
        case L'&':
            piece = L"&amp;";
            break;
        case L'<':
            piece = L"&lt;";
            break;
        case L'>':
            piece = L"&gt;";
            break;
        default:
            piece = single;
            break;
        }
        unsigned pieceLength = static_cast<unsigned>(wcslen(piece));
        // An entity is never cut in half.
        if (length + pieceLength >= cch)
            break;
        wcscpy(out + length, piece);
        length += pieceLength;
    }
}

class AboutDlg : public ZnDlg {
public:
    ~AboutDlg() override
    {
        if (goneMark)
            *goneMark = true;
    }

    // Set while a modeless box is being made: a window that went during
    // its making took this object with it.
    bool* goneMark = nullptr;

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(unsigned short id, unsigned short code, HWND control) override;
    LRESULT OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnCtlColor(unsigned int msg, HDC dc, HWND control, HBRUSH* brush) override;

private:
    void SetUpIcon();
    void SetUpTexts();
    // The band's height in client pixels: down to the rule.
    int BandBottom() const;
    bool InBand(HWND control) const;
    void PaintBackground(HDC dc);

    ZnStaticHTML title;
    ZnStaticHTML version;
    ZnStaticHTML edition;
    ZnStaticHTML copyright;
    ZnStaticHTML link;
    IconHandle productIcon;
    ZnIconForDlg windowIcons;
    BrushHandle bandBrush;
};

LRESULT AboutDlg::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    ProductInfo* product = GetMyProductInfo();
    ResStrFmt caption(-IDS_ABOUT_CAPTION, product->GetName());
    SetWindowTextW(hWnd, caption);
    bandBrush.Reset(CreateSolidBrush(bandColor));
    windowIcons.Init(hWnd, product->GetIconID(), 1);
    SetUpIcon();
    SetUpTexts();
    ZnDlg::OnInitDialog(wParam, lParam);
    // The link comes first in the tab order, but Enter and the focus
    // belong to OK.
    SendMessageW(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDOK)), TRUE);
    return FALSE;
}

void AboutDlg::SetUpIcon()
{
    HWND control = GetDlgItem(IDC_ABOUT_ICON);
    if (!control)
        return;
    RECT place;
    GetClientRect(control, &place);
    // The template's place holds the large size at 150 % and more.
    const int room = place.bottom < place.right ? place.bottom : place.right;
    const int size = room >= 64 ? 64 : 48;
    short id = static_cast<short>(GetMyProductInfo()->GetIconID());
    HINSTANCE module = nullptr;
    GetMyProductInfo()->ConvertResourceId(id, module);
    productIcon.Reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
    if (productIcon)
        SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(productIcon.Get()), 0);
}

void AboutDlg::SetUpTexts()
{
    ProductInfo* product = GetMyProductInfo();
    ZnStaticHTML* inBand[] = {&title, &version, &edition};
    const int bandIds[] = {IDC_ABOUT_TITLE, IDC_ABOUT_VERSION, IDC_ABOUT_EDITION};
    for (int i = 0; i < 3; ++i) {
        if (inBand[i]->Init(this, bandIds[i]))
            inBand[i]->SetBkgColor(bandColor);
    }
    copyright.Init(this, IDC_ABOUT_COPYRIGHT);
    if (link.Init(this, IDC_ABOUT_LINK))
        link.SetLinkColor(ReadableLinkColor(link.GetBkgColor()));

    wchar_t text[512];
    StrFormat(text, 512, L"<h><big>%s</big></h>", product->GetName());
    title.SetHTMLText(text);
    version.SetHTMLText(product->GetVersionStrRev(1));
    // The architecture comes with a leading space, made to follow a name.
    const wchar_t* arch = product->GetArch();
    while (*arch == L' ')
        ++arch;
    edition.SetHTMLText(ResStrFmt(-IDS_ABOUT_EDITION, product->GetEditionShort(), arch));
    copyright.SetHTMLText(ResStrFmt(-IDS_ABOUT_COPYRIGHT, product->GetCopyrightYear()));
    wchar_t site[256];
    SiteForDisplay(site, 256, pszMyCompanyURL);
    link.SetHTMLText(ResStrFmt(-IDS_ABOUT_WEBSITE, site));
}

int AboutDlg::BandBottom() const
{
    RECT rule;
    return GetDlgItemRect(IDC_ABOUT_RULE, &rule) ? rule.top : 0;
}

bool AboutDlg::InBand(HWND control) const
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect.bottom <= BandBottom();
}

void AboutDlg::PaintBackground(HDC dc)
{
    RECT client;
    GetClientRect(hWnd, &client);
    RECT band = client;
    band.bottom = BandBottom();
    FillRect(dc, &band, bandBrush ? bandBrush.Get() : GetSysColorBrush(COLOR_WINDOW));
    RECT rest = client;
    rest.top = band.bottom;
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT AboutDlg::OnDlgMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND && !IsSkinSet()) {
        PaintBackground(reinterpret_cast<HDC>(wParam));
        SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, 1);
        return 1;
    }
    return ZnDlg::OnDlgMessage(msg, wParam, lParam);
}

int AboutDlg::OnCtlColor(unsigned int msg, HDC dc, HWND control, HBRUSH* brush)
{
    // The icon's static fills its background with the brush it is given.
    if (msg == WM_CTLCOLORSTATIC && bandBrush && control && !IsSkinSet() && InBand(control)) {
        SetBkColor(dc, bandColor);
        *brush = bandBrush.Get();
        return 1;
    }
    return ZnDlg::OnCtlColor(msg, dc, control, brush);
}

LRESULT AboutDlg::OnCommand(unsigned short id, unsigned short code, HWND control)
{
    if (id == IDC_ABOUT_LINK && code == BN_CLICKED) {
        OpenHTML(hWnd, pszMyCompanyURL, FALSE, 0);
        return 1;
    }
    return ZnDlg::OnCommand(id, code, control);
}

} // namespace

int DoAbout(HWND owner, int modal)
{
    if (modal) {
        AboutDlg dlg;
        return static_cast<int>(dlg.Modal(-IDD_ABOUT, nullptr, owner));
    }
    AboutDlg* dlg = new (std::nothrow) AboutDlg;
    if (!dlg)
        return 0;
    // Nobody holds a modeless box: it goes with its window.
    dlg->autoDelete = 1;
    bool gone = false;
    dlg->goneMark = &gone;
    if (!dlg->Modeless(-IDD_ABOUT, nullptr, owner, 1)) {
        if (!gone)
            delete dlg;
        return 0;
    }
    dlg->goneMark = nullptr;
    return 1;
}
