#include "ui/window/LargeStaticTextCtl.h"

#include <utility>

namespace {

// The dialog's font (the control's own may be the large one made before),
// or the system's message font when there is none.
LOGFONTW BaseFont(HWND control)
{
    LOGFONTW base = {};
    for (HWND from : {::GetParent(control), control}) {
        HFONT current = from ? reinterpret_cast<HFONT>(SendMessageW(from, WM_GETFONT, 0, 0)) : nullptr;
        if (current && GetObjectW(current, sizeof(base), &base))
            return base;
    }
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return metrics.lfMessageFont;
    base.lfHeight = -11;
    return base;
}

} // namespace

LargeStaticTextCtl::LargeStaticTextCtl()
    : face(L"Segoe"), weight(FW_BOLD), percent(160), fontHeight(0), ownColors(0), textColor(0), bkColor(CLR_INVALID)
{
}

LargeStaticTextCtl::~LargeStaticTextCtl() = default;

int LargeStaticTextCtl::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"LargeStaticTextCtl") == 0 || ZnCtrl::IsKindOf(className));
}

void LargeStaticTextCtl::OnInit()
{
    ZnCtrl::OnInit();
    MakeFont();
}

int LargeStaticTextCtl::SetFontStyle(const wchar_t* newFace, int newWeight, int newPercent)
{
    lstrcpynW(face, newFace && *newFace ? newFace : L"Segoe", LF_FACESIZE);
    weight = newWeight > 0 ? newWeight : FW_BOLD;
    percent = newPercent < 50 ? 50 : newPercent;
    return hWnd ? MakeFont() : 1;
}

int LargeStaticTextCtl::MakeFont()
{
    if (!hWnd)
        return 0;
    LOGFONTW large = BaseFont(hWnd);
    int base = large.lfHeight ? large.lfHeight : -11;
    large.lfHeight = MulDiv(base, percent, 100);
    large.lfWidth = 0;
    large.lfWeight = weight;
    large.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(large.lfFaceName, face, LF_FACESIZE);
    FontHandle made(CreateFontIndirectW(&large));
    if (!made)
        return 0;
    SendMessageW(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(made.Get()), TRUE);
    // The control let go of the old font above: it may go now.
    font = std::move(made);
    fontHeight = large.lfHeight;
    return 1;
}

void LargeStaticTextCtl::SetColors(COLORREF text, COLORREF background)
{
    ownColors = 1;
    textColor = text;
    bkColor = background;
    bkBrush.Reset(background != CLR_INVALID ? CreateSolidBrush(background) : nullptr);
    if (hWnd)
        InvalidateRect(hWnd, nullptr, TRUE);
}

void LargeStaticTextCtl::ResetColors()
{
    ownColors = 0;
    bkBrush.Reset();
    bkColor = CLR_INVALID;
    if (hWnd)
        InvalidateRect(hWnd, nullptr, TRUE);
}

int LargeStaticTextCtl::OnCtlColor(UINT msg, HDC dc, HBRUSH* brush)
{
    if (!ownColors || msg != WM_CTLCOLORSTATIC)
        return ZnCtrl::OnCtlColor(msg, dc, brush);
    SetTextColor(dc, textColor);
    if (bkBrush) {
        SetBkColor(dc, bkColor);
        SetBkMode(dc, OPAQUE);
        *brush = bkBrush.Get();
        return 1;
    }
    // Over whatever lies behind: the skin under it, else the dialog.
    ZnCtrl::OnCtlColor(msg, dc, brush);
    SetBkMode(dc, TRANSPARENT);
    *brush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return 1;
}
