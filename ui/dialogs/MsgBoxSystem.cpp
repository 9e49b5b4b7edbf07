// The system message box with the product's conventions, and the texts of
// system error codes.
#include "ui/dialogs/MsgBox.h"

#include <commctrl.h>

#include <cstdarg>
#include <cwchar>

#include "base/ProductInfo.h"
#include "base/StrFormat.h"
#include "base/internal/DllHeap.h"
#include "text/ResStr.h"
#include "ui/dialogs/internal/MsgText.h"

namespace {

constexpr unsigned int formatSize = 1024;
constexpr unsigned int errorTextSize = 1024;

void (*pauseCallback)(int resumed);

// One buffer for the whole process: callers read the text right away.
wchar_t errorText[errorTextSize];

HWND BoxOwner(HWND owner)
{
    if (owner == reinterpret_cast<HWND>(1))
        return nullptr;
    if (!owner)
        owner = GetActiveWindow();
    // The owner may have a pop-up of its own open: the box goes over that.
    return owner ? GetLastActivePopup(owner) : nullptr;
}

bool IsWin32Result(DWORD code)
{
    return (code & 0xFFFF0000u) == 0x80070000u;
}

DWORD SystemText(DWORD code)
{
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), errorText, errorTextSize, nullptr);
    if (length >= errorTextSize)
        length = errorTextSize - 1;
    errorText[length] = L'\0';
    return length;
}

// What a COM error object would say for a code the system has no text for.
void ComErrorText(DWORD code)
{
    if (code == 0x80072EEEu) {
        StrFormat(errorText, errorTextSize, L"The password was not allowed.");
        return;
    }
    if (code >= 0x80040201u && code <= 0x8004FFFFu) {
        StrFormat(errorText, errorTextSize, L"IDispatch error #%d", static_cast<int>(code & 0xFFFF) - 0x200);
        return;
    }
    StrFormat(errorText, errorTextSize, L"Unknown error 0x%0lX", static_cast<unsigned long>(code));
}

// The message of formatId, formatted, then "\n\n" and the error's text
// (only the error text when there is no message).
int ShowWithError(HWND owner, unsigned int type, DWORD code, int formatId, va_list args)
{
    if (type == 0xFFFFFFFFu)
        type = MB_ICONWARNING;
    wchar_t text[formatSize + errorTextSize + 2] = {};
    if (formatId) {
        ResStr format;
        format.Load(formatId);
        StrFormatV(text, formatSize, format, args);
    }
    if (code) {
        size_t used = wcslen(text);
        StrFormat(text + used, static_cast<unsigned>(sizeof(text) / sizeof(text[0]) - used), used ? L"\n\n%s" : L"%s",
            GetLastErrorText(static_cast<int>(code)));
    }
    return Msg(owner, type, text);
}

} // namespace

int Msg(HWND owner, unsigned int type, const wchar_t* text)
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    HWND boxOwner = BoxOwner(owner);

    ResStr holder;
    const wchar_t* message = MsgText::Resolve(text, holder);
    // A line break and a space after the text: the system box then leaves
    // some room between the text and its buttons.
    size_t length = wcslen(message) + 3;
    DllBlock<wchar_t> shown(DllHeap::AllocArray<wchar_t>(length));
    if (!shown)
        return 0;
    StrFormat(shown.Get(), static_cast<unsigned>(length), L"%s\n ", message);

    void (*pause)(int) = pauseCallback;
    if (pause)
        pause(0);
    int result = MessageBoxW(boxOwner, shown.Get(), GetMyProductInfo()->GetName(), type | MB_SETFOREGROUND);
    if (pause)
        pause(1);
    return result;
}

int MsgFmtV(HWND owner, unsigned int type, const wchar_t* format, va_list args)
{
    ResStr holder;
    const wchar_t* resolved = MsgText::Resolve(format, holder);
    wchar_t text[formatSize];
    StrFormatV(text, formatSize, resolved, args);
    return Msg(owner, type, text);
}

int MsgFmt(HWND owner, unsigned int type, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int result = MsgFmtV(owner, type, format, args);
    va_end(args);
    return result;
}

int MsgFmt(HWND owner, unsigned int type, int formatId, ...)
{
    ResStr format;
    format.Load(formatId);
    va_list args;
    va_start(args, formatId);
    int result = MsgFmtV(owner, type, format, args);
    va_end(args);
    return result;
}

int MsgLastError(HWND owner, unsigned int type, int formatId, ...)
{
    DWORD code = GetLastError();
    if (!code && !formatId)
        return 1;
    va_list args;
    va_start(args, formatId);
    int result = ShowWithError(owner, type, code, formatId, args);
    va_end(args);
    return result;
}

int MsgHRESULT(HWND owner, long hr, unsigned int type, int formatId, ...)
{
    if (!hr && !formatId)
        return 1;
    va_list args;
    va_start(args, formatId);
    int result = ShowWithError(owner, type, static_cast<DWORD>(hr), formatId, args);
    va_end(args);
    return result;
}

const wchar_t* GetLastErrorText(int code)
{
    DWORD value = code ? static_cast<DWORD>(code) : GetLastError();
    DWORD length = SystemText(value);
    // A Win32 error wrapped as a result code: the system knows the plain one.
    if (!length && IsWin32Result(value))
        length = SystemText(value & 0xFFFF);
    if (!length) {
        ComErrorText(value);
        return errorText;
    }
    while (length && (errorText[length - 1] == L'\n' || errorText[length - 1] == L'\r'))
        errorText[--length] = L'\0';
    return errorText;
}

void MsgSetPauseResumeCallback(void (*callback)(int resumed))
{
    pauseCallback = callback;
}
