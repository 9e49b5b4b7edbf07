// The framework's message box: building the text, one box at a time, the
// instance id, and the process-wide callbacks.
#include "ui/dialogs/MsgBox.h"

#include <cstdarg>
#include <cwchar>

#include "base/StrFormat.h"
#include "text/ResStr.h"
#include "threads/InstanceActivation.h"
#include "ui/dialogs/ZnDlg.h"
#include "ui/dialogs/ZnDlgSkin.h"
#include "ui/dialogs/internal/DlgMsgEx.h"
#include "ui/dialogs/internal/MsgText.h"

namespace {

constexpr unsigned int textSize = 2048;
// "<br><br><A>" and "</A>" around a link.
constexpr unsigned int linkTagsLength = 15;

unsigned short activatePrevId;

// End messages of dialog loops further down the stack: kept while the wait
// runs and handed back to the queue afterwards, for the loops they belong to.
class KeptEnds {
public:
    void Keep(const MSG& msg)
    {
        if (count < capacity)
            kept[count++] = msg;
        else
            PostThreadMessageW(GetCurrentThreadId(), msg.message, msg.wParam, msg.lParam);
    }
    ~KeptEnds()
    {
        for (int i = 0; i < count; ++i)
            PostThreadMessageW(GetCurrentThreadId(), kept[i].message, kept[i].wParam, kept[i].lParam);
    }

private:
    static constexpr int capacity = 16;
    MSG kept[capacity];
    int count = 0;
};

// Handles the thread's messages until the open box is gone; false when the
// application is quitting meanwhile. The open box's own loop sits further
// down the stack and cannot return before this one does, so the wait ends
// with the box's window, not with its loop.
bool WaitForOpenBox()
{
    DlgMsgEx* open = DlgMsgEx::GetOpen();
    if (!open)
        return true;
    HWND box = open->GetHwnd();
    if (box && IsWindowVisible(box))
        SetForegroundWindow(box);
    KeptEnds ends;
    MSG msg;
    while ((open = DlgMsgEx::GetOpen()) != nullptr && IsWindow(box = open->GetHwnd())) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got == -1)
            return false;
        if (msg.message == ZnDlg::msgEndOwnLoop && !msg.hwnd) {
            ends.Keep(msg);
            continue;
        }
        if (open->PreTranslateMessage(&msg) || IsDialogMessageW(box, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

int ShowBox(HWND owner, unsigned int type, int* dontShow, const wchar_t* message, DWORD lastError)
{
    wchar_t text[textSize];
    StrFormat(text, textSize, L"%s", message ? message : L"");
    if ((type & MB_EX_LAST_ERROR) && lastError) {
        size_t used = wcslen(text);
        const wchar_t* separator = !used ? L"" : (type & MB_EX_HTML) ? L"<br><br>" : L"\n\n";
        StrFormat(text + used, static_cast<unsigned>(textSize - used), L"%s%s", separator,
            GetLastErrorText(static_cast<int>(lastError)));
    }
    if (activatePrevId && ActivatePrevDlg(activatePrevId))
        return 0;
    if (!WaitForOpenBox())
        return -1;
    if (!owner)
        owner = GetActiveWindow();
    DlgMsgEx box(GetMsgBoxSkin(), type, text, dontShow, activatePrevId);
    return box.Run(owner);
}

// The formatted message; the Link forms make it mini-HTML and end it with
// the link's paragraph (none for an empty link). The link always fits: the
// message is cut to make room.
int ShowFormatted(DWORD lastError, bool linkForm, const wchar_t* link, HWND owner, unsigned int type, int* dontShow,
    const wchar_t* format, va_list args)
{
    ResStr linkHolder;
    const wchar_t* linkText = linkForm ? MsgText::Resolve(link, linkHolder) : L"";
    if (linkForm)
        type |= MB_EX_HTML;
    unsigned int room = textSize;
    if (*linkText) {
        size_t suffix = wcslen(linkText) + linkTagsLength;
        room = suffix < textSize - 1 ? static_cast<unsigned int>(textSize - suffix) : 1;
    }
    wchar_t text[textSize];
    StrFormatV(text, room, format, args);
    if (*linkText) {
        size_t used = wcslen(text);
        StrFormat(text + used, static_cast<unsigned>(textSize - used), L"<br><br><A>%s</A>", linkText);
    }
    return ShowBox(owner, type, dontShow, text, lastError);
}

} // namespace

int MsgEx(HWND owner, unsigned int type, const wchar_t* text)
{
    DWORD lastError = GetLastError();
    ResStr holder;
    return ShowBox(owner, type, nullptr, MsgText::Resolve(text, holder), lastError);
}

int MsgExFmtV(HWND owner, unsigned int type, const wchar_t* format, va_list args)
{
    DWORD lastError = GetLastError();
    ResStr holder;
    const wchar_t* resolved = MsgText::Resolve(format, holder);
    return ShowFormatted(lastError, false, nullptr, owner, type, nullptr, resolved, args);
}

int MsgExFmt(HWND owner, unsigned int type, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int result = MsgExFmtV(owner, type, format, args);
    va_end(args);
    return result;
}

int MsgExFmt(HWND owner, unsigned int type, int formatId, ...)
{
    DWORD lastError = GetLastError();
    ResStr format;
    format.Load(formatId);
    va_list args;
    va_start(args, formatId);
    int result = ShowFormatted(lastError, false, nullptr, owner, type, nullptr, format, args);
    va_end(args);
    return result;
}

int MsgExFmt(HWND owner, unsigned int type, int* dontShow, const wchar_t* format, ...)
{
    DWORD lastError = GetLastError();
    ResStr holder;
    const wchar_t* resolved = MsgText::Resolve(format, holder);
    va_list args;
    va_start(args, format);
    int result = ShowFormatted(lastError, false, nullptr, owner, type, dontShow, resolved, args);
    va_end(args);
    return result;
}

int MsgExFmt(HWND owner, unsigned int type, int* dontShow, int formatId, ...)
{
    DWORD lastError = GetLastError();
    ResStr format;
    format.Load(formatId);
    va_list args;
    va_start(args, formatId);
    int result = ShowFormatted(lastError, false, nullptr, owner, type, dontShow, format, args);
    va_end(args);
    return result;
}

int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, const wchar_t* format, ...)
{
    DWORD lastError = GetLastError();
    ResStr holder;
    const wchar_t* resolved = MsgText::Resolve(format, holder);
    va_list args;
    va_start(args, format);
    int result = ShowFormatted(lastError, true, link, owner, type, nullptr, resolved, args);
    va_end(args);
    return result;
}

int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, int formatId, ...)
{
    DWORD lastError = GetLastError();
    ResStr format;
    format.Load(formatId);
    va_list args;
    va_start(args, formatId);
    int result = ShowFormatted(lastError, true, link, owner, type, nullptr, format, args);
    va_end(args);
    return result;
}

int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, int* dontShow, const wchar_t* format, ...)
{
    DWORD lastError = GetLastError();
    ResStr holder;
    const wchar_t* resolved = MsgText::Resolve(format, holder);
    va_list args;
    va_start(args, format);
    int result = ShowFormatted(lastError, true, link, owner, type, dontShow, resolved, args);
    va_end(args);
    return result;
}

int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, int* dontShow, int formatId, ...)
{
    DWORD lastError = GetLastError();
    ResStr format;
    format.Load(formatId);
    va_list args;
    va_start(args, formatId);
    int result = ShowFormatted(lastError, true, link, owner, type, dontShow, format, args);
    va_end(args);
    return result;
}

void MsgExSetLinkCallback(unsigned int (*callback)(HWND box, void* data), void* data)
{
    MsgExCallbacks::link = callback;
    MsgExCallbacks::linkData = data;
}

void MsgExSetButtonCallback(int (*callback)(HWND box, unsigned int code, void* data), void* data)
{
    MsgExCallbacks::button = callback;
    MsgExCallbacks::buttonData = data;
}

void MsgExSetActivatePrevID(unsigned short id)
{
    activatePrevId = id;
}

HWND MsgExGetOpenBox()
{
    DlgMsgEx* open = DlgMsgEx::GetOpen();
    return open ? open->GetHwnd() : nullptr;
}
