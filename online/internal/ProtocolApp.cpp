#include "online/internal/ProtocolApp.h"

#include <shellapi.h>

#include <cwchar>

#include "base/StrFormat.h"
#include "online/internal/UrlText.h"
#include "storage/CmdLine.h"
#include "storage/RegKey.h"

namespace {

int ReadCommand(const wchar_t* root, const wchar_t* protocol, wchar_t* out, unsigned cch)
{
    wchar_t path[MAX_PATH];
    if (StrFormat(path, MAX_PATH, L"%s\\%s\\shell\\open\\command", root, protocol) >= static_cast<int>(MAX_PATH) - 1)
        return 0;
    RegKey key(path, 0);
    if (!key.IsOpen())
        return 0;
    DWORD type = key.GetValueType(nullptr);
    int length = key.GetStr(nullptr, out, cch, L"");
    if (length <= 0 || type != REG_EXPAND_SZ || !wcschr(out, L'%'))
        return length;
    // ExpandEnvironmentStrings leaves "%1" alone: it names no variable.
    wchar_t expanded[protocolCommandSize];
    DWORD needed = ExpandEnvironmentStringsW(out, expanded, protocolCommandSize);
    if (needed == 0 || needed > protocolCommandSize)
        return length; // too long to expand: PreparePathArg's cut will refuse it
    lstrcpynW(out, expanded, static_cast<int>(cch));
    return static_cast<int>(wcsnlen(out, cch));
}

} // namespace

int GetProtocolApp(const wchar_t* protocol, wchar_t* out, unsigned cch)
{
    if (!out || !cch)
        return 0;
    out[0] = L'\0';
    // A protocol name with a separator would reach into another key.
    if (!protocol || !*protocol || wcspbrk(protocol, L"\\/"))
        return 0;
    int length = ReadCommand(L"HKCU\\Software\\Classes", protocol, out, cch);
    if (length <= 0)
        length = ReadCommand(L"HKCLS", protocol, out, cch);
    if (length <= 0)
        out[0] = L'\0';
    return length > 0 ? length : 0;
}

int PreparePathArg(const wchar_t* command, const wchar_t* url, wchar_t* out, unsigned cch)
{
    if (!out || !cch)
        return 0;
    out[0] = L'\0';
    if (!command || !*command)
        return 0;
    if (!url)
        url = L"";
    bool whole = true;
    bool placed = false;
    for (const wchar_t* p = command; *p;) {
        const wchar_t* mark = wcsstr(p, L"%1");
        if (!mark) {
            whole = UrlText::Append(out, cch, p) && whole;
            break;
        }
        whole = UrlText::Append(out, cch, p, static_cast<size_t>(mark - p)) && whole;
        whole = UrlText::Append(out, cch, url) && whole;
        placed = true;
        p = mark + 2;
    }
    if (!placed) {
        whole = UrlText::Append(out, cch, L" \"") && whole;
        whole = UrlText::Append(out, cch, url) && whole;
        whole = UrlText::Append(out, cch, L"\"") && whole;
    }
    return whole ? 1 : 0;
}

int SplitCommandLine(const wchar_t* command, wchar_t* program, unsigned cchProgram, wchar_t* args, unsigned cchArgs)
{
    if (program && cchProgram)
        program[0] = L'\0';
    if (args && cchArgs)
        args[0] = L'\0';
    if (!command || !program || !cchProgram || !args || !cchArgs)
        return 0;
    int length = GetCmdLnPath(command, program, cchProgram);
    if (length <= 0)
        return 0;
    // A path that fills the buffer may have been cut: refused like one.
    bool whole = static_cast<unsigned>(length) < cchProgram - 1;
    const wchar_t* rest = GetCmdLnArg(command, args, cchArgs);
    if (rest && wcslen(rest) >= cchArgs)
        whole = false;
    return whole ? 1 : 0;
}

int RunProtocolApp(HWND owner, const wchar_t* protocol, const wchar_t* url)
{
    wchar_t command[protocolCommandSize];
    if (!GetProtocolApp(protocol, command, protocolCommandSize))
        return 0;
    wchar_t line[protocolCommandSize];
    if (!PreparePathArg(command, url, line, protocolCommandSize))
        return 0;
    wchar_t program[protocolCommandSize];
    wchar_t args[protocolCommandSize];
    if (!SplitCommandLine(line, program, protocolCommandSize, args, protocolCommandSize))
        return 0;
    HINSTANCE result = ShellExecuteW(owner, nullptr, program, args[0] ? args : nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32 ? 1 : 0;
}
