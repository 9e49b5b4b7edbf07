#include "ui/html/ZnStaticHTML.h"

#include <cwchar>

#include "base/StrFormat.h"
#include "base/internal/DllHeap.h"
#include "text/ResStr.h"
#include "ui/window/DrawHelpers.h"
#include "ui/window/WndFunctions.h"
#include "ui/window/ZnDC.h"
#include "ui/window/internal/CtrlDialogLink.h"

namespace {

// WM_COMMAND carries the id in a word, and IDC_STATIC is no command.
constexpr unsigned int lastCommandId = 0xFFFE;
// "<A>" and "</a>" around the text.
constexpr unsigned int linkTagsLength = 7;
// "<A>" and "<A1>" … "<A9>": a control's links report at most ten ids.
constexpr int maxLinkIds = 10;

HCURSOR HandCursor()
{
    // A shared system cursor: loaded once, never destroyed.
    static HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    return hand;
}

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Only a text conversion is taken: any other would read arguments that
// were never passed.
bool IsTextFormat(const wchar_t* format)
{
    int texts = 0;
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L'%')
            continue;
        if (*p != L's' || ++texts > 1)
            return false;
    }
    return true;
}

} // namespace

ZnStaticHTML::ZnStaticHTML()
    : transparent(0), hover(0), hasFocus(0), notify(0), htmlText(nullptr), htmlLength(0), keyLink(0)
{
}

ZnStaticHTML::~ZnStaticHTML()
{
    DllHeap::Free(htmlText);
}

int ZnStaticHTML::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnStaticHTML") == 0 || ZnCtrl::IsKindOf(className));
}

void ZnStaticHTML::OnInit()
{
    ZnCtrl::OnInit();
    notify = (GetWindowLongPtrW(hWnd, GWL_STYLE) & SS_NOTIFY) != 0;
    html.SetLinkCmdID(id);
    // A dialog with colours of its own shows its text in them; the third
    // colour is its accent, which links take.
    const CtrlDialogLink* link = GetCtrlDialogLink();
    COLORREF background, text, third;
    if (link && dlg && link->colors(dlg, &background, &text, &third)) {
        tools.SetBkgColor(background);
        tools.textColor = text;
        tools.SetLinkColor(third);
    }
}

void ZnStaticHTML::OnSystemSettingChange(WPARAM wParam, LPARAM lParam)
{
    ZnCtrl::OnSystemSettingChange(wParam, lParam);
    tools.Update();
}

int ZnStaticHTML::UpdateText(const wchar_t* text)
{
    if (text) {
        size_t length = wcslen(text);
        if (length > 0xFFFFFFFEu)
            return 0;
        if (length != htmlLength || !htmlText) {
            DllHeap::Free(htmlText);
            htmlText = nullptr;
            htmlLength = 0;
            htmlText = DllHeap::AllocArray<wchar_t>(length + 1);
            if (!htmlText)
                return 0;
            htmlLength = static_cast<unsigned int>(length);
        }
        wmemcpy(htmlText, text, length + 1);
    } else if (!htmlText && hWnd) {
        int length = GetWindowTextLengthW(hWnd);
        if (length > 0) {
            if (wchar_t* copy = DllHeap::AllocArray<wchar_t>(static_cast<size_t>(length) + 1)) {
                int got = GetWindowTextW(hWnd, copy, length + 1);
                htmlText = copy;
                htmlLength = got > 0 ? static_cast<unsigned int>(got) : 0;
                htmlText[htmlLength] = L'\0';
            }
        }
    }
    return htmlText && htmlLength;
}

void ZnStaticHTML::SetHTMLText(const wchar_t* markup)
{
    SetWindowTextW(hWnd, markup ? markup : L"");
}

int ZnStaticHTML::SetHTMLText(int stringId, HINSTANCE module)
{
    ResStr text;
    const wchar_t* markup = text.Load(stringId, module);
    SetWindowTextW(hWnd, markup);
    return markup[0] != L'\0';
}

unsigned int ZnStaticHTML::GetHTMLText(wchar_t* buffer, int count)
{
    if (!buffer || count <= 0)
        return htmlLength;
    if (!htmlText) {
        buffer[0] = L'\0';
        return 0;
    }
    lstrcpynW(buffer, htmlText, count);
    return htmlLength;
}

unsigned int ZnStaticHTML::GetHTMLTextStripTags(wchar_t* buffer, int count)
{
    return DrawHTML::GetHTMLTextStripTags(htmlText ? htmlText : L"", buffer, count);
}

int ZnStaticHTML::CalcHeight(HDC dc, RECT* rect)
{
    if (!UpdateText(nullptr) || !rect)
        return 0;
    return html.Draw(DrawHTML::modeMeasure, dc, rect, htmlText, htmlLength, &links, &tools);
}

unsigned int ZnStaticHTML::MakeLink(wchar_t* out, unsigned int outCount, const wchar_t* text)
{
    if (!out || !outCount)
        return 0;
    out[0] = L'\0';
    if (outCount < linkTagsLength + 1)
        return 0;
    size_t room = outCount - linkTagsLength - 1;
    size_t keep = text ? wcsnlen(text, room + 1) : 0;
    if (keep > room) {
        keep = room;
        // A cut pair would leave half a character before the closing tag.
        if (keep && IsHighSurrogate(text[keep - 1]) && IsLowSurrogate(text[keep]))
            --keep;
    }
    wmemcpy(out, L"<A>", 3);
    if (keep)
        wmemcpy(out + 3, text, keep);
    wmemcpy(out + 3 + keep, L"</a>", 5);
    return static_cast<unsigned int>(keep + linkTagsLength);
}

unsigned int ZnStaticHTML::MakeHtml(wchar_t* out, unsigned int outCount, const wchar_t* format, const wchar_t* text)
{
    if (!out || !outCount)
        return 0;
    out[0] = L'\0';
    if (!format || !IsTextFormat(format))
        return 0;
    int written = StrFormat(out, outCount, format, text ? text : L"");
    return written > 0 ? static_cast<unsigned int>(written) : 0;
}

int ZnStaticHTML::MakeLink()
{
    wchar_t current[makeBufferSize];
    wchar_t markup[makeBufferSize];
    UpdateText(nullptr);
    lstrcpynW(current, htmlText ? htmlText : L"", makeBufferSize);
    if (!MakeLink(markup, makeBufferSize, current))
        return 0;
    SetHTMLText(markup);
    return 1;
}

int ZnStaticHTML::MakeHtml(const wchar_t* format)
{
    wchar_t current[makeBufferSize];
    wchar_t markup[makeBufferSize];
    UpdateText(nullptr);
    lstrcpynW(current, htmlText ? htmlText : L"", makeBufferSize);
    if (!format || !IsTextFormat(format))
        return 0;
    MakeHtml(markup, makeBufferSize, format, current);
    SetHTMLText(markup);
    return 1;
}

unsigned int ZnStaticHTML::GetLinkIdAt(int x, int y)
{
    if (id > lastCommandId)
        return 0;
    unsigned int linkId = html.GetLinkAreaID(&links, x, y);
    return linkId <= lastCommandId ? linkId : 0;
}

int ZnStaticHTML::HasLinks()
{
    if (id > lastCommandId)
        return 0;
    POS pos = links.GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = links.GetArea(pos);
        if (area && area->id && area->id <= lastCommandId)
            return 1;
    }
    return 0;
}

unsigned int ZnStaticHTML::NextLinkId(unsigned int from, int step)
{
    if (id > lastCommandId)
        return 0;
    unsigned int ids[maxLinkIds];
    int count = 0;
    POS pos = links.GetHeadPos();
    while (pos && count < maxLinkIds) {
        DrawHTMLLinkArea* area = links.GetArea(pos);
        if (!area || !area->id || area->id > lastCommandId)
            continue;
        bool seen = false;
        for (int i = 0; i < count && !seen; ++i)
            seen = ids[i] == area->id;
        if (!seen)
            ids[count++] = area->id;
    }
    if (!count)
        return 0;
    if (!from)
        return step > 0 ? ids[0] : ids[count - 1];
    for (int i = 0; i < count; ++i) {
        if (ids[i] != from)
            continue;
        int next = i + step;
        return next >= 0 && next < count ? ids[next] : 0;
    }
    return 0;
}

int ZnStaticHTML::HasSeveralLinks()
{
    unsigned int first = NextLinkId(0, 1);
    return first && NextLinkId(first, 1) != 0;
}

void ZnStaticHTML::MoveKeyLink(int step)
{
    if (unsigned int next = NextLinkId(keyLink, step)) {
        keyLink = next;
        InvalidateRect(hWnd, nullptr, FALSE);
    }
}

void ZnStaticHTML::ClickLink(unsigned int linkId)
{
    HWND parent = ::GetParent(hWnd);
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(linkId, BN_CLICKED),
        reinterpret_cast<LPARAM>(GetDlgItem(parent, static_cast<int>(linkId))));
}

void ZnStaticHTML::OnPaint(ZnDC& dc, PAINTSTRUCT&)
{
    UpdateText(nullptr);
    if (transparent) {
        const CtrlDialogLink* link = GetCtrlDialogLink();
        if (!(link && dlg && link->paintSkinBehind(dlg, hWnd, dc))) {
            RECT client;
            GetClientRect(hWnd, &client);
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    // Among several links the frame marks the current one, not the control.
    bool frameLink = hasFocus && keyLink && HasSeveralLinks();
    html.OnPaint(hWnd, dc, htmlText, htmlLength, !transparent, &links, &tools, hasFocus && !frameLink);
    if (hasFocus && !keyLink && (keyLink = NextLinkId(0, 1)) != 0 && HasSeveralLinks()) {
        // New markup has just been laid out: its first link takes the frame.
        InvalidateRect(hWnd, nullptr, FALSE);
        return;
    }
    if (!frameLink)
        return;
    int mode = SetBkMode(dc, TRANSPARENT);
    POS pos = links.GetHeadPos();
    while (pos) {
        DrawHTMLLinkArea* area = links.GetArea(pos);
        if (!area || area->id != keyLink)
            continue;
        POS rectPos = area->rects.GetHeadPos();
        while (rectPos) {
            const RECT* r = static_cast<const RECT*>(area->rects.GetNext(rectPos));
            if (r)
                DrawRect(dc, r->left, r->top, r->right - r->left, r->bottom - r->top, tools.textColor, PS_DOT);
        }
    }
    SetBkMode(dc, mode);
}

LRESULT ZnStaticHTML::OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT:
        UpdateText(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        keyLink = 0;
        InvalidateRect(hWnd, nullptr, TRUE);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC painted = BeginPaint(hWnd, &ps);
        {
            ZnDC dc(painted, 1);
            OnPaint(dc, ps);
        }
        EndPaint(hWnd, &ps);
        ValidateRect(hWnd, nullptr);
        return 0;
    }
    case WM_PRINTCLIENT: {
        // Pictures of the control (and the tests) draw it into a DC of theirs.
        PAINTSTRUCT ps{};
        ZnDC dc(reinterpret_cast<HDC>(wParam), 1);
        OnPaint(dc, ps);
        return 0;
    }
    case WM_NCHITTEST: {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(hWnd, &point);
        if (GetLinkIdAt(point.x, point.y)) {
            if (GetCursor() != HandCursor())
                SetCursor(HandCursor());
            if (!hover) {
                hover = 1;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hWnd, 100};
                TrackMouseEvent(&track);
                InvalidateRect(hWnd, nullptr, FALSE);
            }
            return notify ? HTCLIENT : HTTRANSPARENT;
        }
        if (hover) {
            hover = 0;
            InvalidateRect(hWnd, nullptr, FALSE);
        }
        break;
    }
    case WM_SETCURSOR:
        if (hover)
            return TRUE;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        unsigned int linkId = GetLinkIdAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        if (!linkId)
            return 0;
        if (linkId != id) {
            ClickLink(linkId);
            return 0;
        }
        break;
    }
    case WM_GETDLGCODE: {
        if ((wParam == VK_SPACE || wParam == VK_RETURN) && HasLinks())
            return DLGC_WANTALLKEYS;
        LRESULT code = ZnCtrl::OnWndMessage(msg, wParam, lParam);
        if (!HasSeveralLinks())
            return code;
        // Tab stays inside while a link lies ahead in its direction.
        int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
        if (wParam == VK_TAB && keyLink && NextLinkId(keyLink, step))
            code |= DLGC_WANTTAB;
        return code | DLGC_WANTARROWS;
    }
    case WM_KEYDOWN:
        if (!hasFocus || !HasSeveralLinks())
            break;
        if (wParam == VK_TAB)
            MoveKeyLink(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
        else if (wParam == VK_RIGHT || wParam == VK_DOWN)
            MoveKeyLink(1);
        else if (wParam == VK_LEFT || wParam == VK_UP)
            MoveKeyLink(-1);
        break;
    case WM_KEYUP:
        if (hasFocus && (wParam == VK_SPACE || wParam == VK_RETURN) && HasLinks()) {
            if (keyLink && keyLink != id && HasSeveralLinks())
                ClickLink(keyLink);
            else
                SimulateButton(::GetParent(hWnd), static_cast<int>(id));
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        hasFocus = msg == WM_SETFOCUS;
        // Coming back with Shift+Tab lands on the last link.
        keyLink = hasFocus ? NextLinkId(0, GetKeyState(VK_SHIFT) < 0 ? -1 : 1) : 0;
        InvalidateRect(hWnd, nullptr, FALSE);
        break;
    default:
        break;
    }
    return ZnCtrl::OnWndMessage(msg, wParam, lParam);
}
