#include "storage/internal/RegRecorder.h"

#include <cstdarg>

#include "base/StrFormat.h"

namespace RegRecorder {

namespace {

constexpr unsigned lineSize = 255;  // 254 characters and a terminator

bool active = false;
wchar_t* output = nullptr;
unsigned capacity = 0;
unsigned count = 0;

char placeholder;

void Append(const wchar_t* text, unsigned length)
{
    if (output && capacity > 0) {
        // Leave room for the terminator that End writes.
        for (unsigned i = 0; i < length && count + i < capacity - 1; ++i)
            output[count + i] = text[i];
    }
    count += length;
}

void AppendLine(wchar_t* line)
{
    // The text is cut so that the line end always fits.
    line[lineSize - 3] = L'\0';
    unsigned length = static_cast<unsigned>(lstrlenW(line));
    line[length++] = L'\r';
    line[length++] = L'\n';
    Append(line, length);
}

} // namespace

void Start(wchar_t* buf, unsigned cch)
{
    active = true;
    output = buf;
    capacity = buf ? cch : 0;
    count = 0;
}

unsigned End()
{
    active = false;
    if (output && capacity > 0)
        output[count < capacity ? count : capacity - 1] = L'\0';
    unsigned length = count ? count + 1 : 0;
    output = nullptr;
    capacity = 0;
    count = 0;
    return length;
}

bool IsActive()
{
    return active;
}

void Line(const wchar_t* fmt, ...)
{
    wchar_t line[lineSize];
    va_list args;
    va_start(args, fmt);
    StrFormatV(line, lineSize, fmt, args);
    va_end(args);
    AppendLine(line);
}

void ValueLine(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    if (!name)
        name = L"@";
    wchar_t line[lineSize];
    if (type == REG_DWORD && bytes == sizeof(DWORD)) {
        StrFormat(line, lineSize, L"%s=dword:%08X", name, *static_cast<const DWORD*>(data));
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // The text may lack its terminator: never read past its bytes.
        int length = static_cast<int>(bytes / sizeof(wchar_t));
        const wchar_t* text = static_cast<const wchar_t*>(data);
        while (length > 0 && text[length - 1] == L'\0')
            --length;
        StrFormat(line, lineSize, L"%s=%.*s", name, length, text);
    } else {
        int used = StrFormat(line, lineSize, L"%s=hex:", name);
        const auto* byte = static_cast<const unsigned char*>(data);
        for (DWORD i = 0; i < bytes && used < static_cast<int>(lineSize) - 4; ++i)
            used += StrFormat(line + used, lineSize - used, i ? L",%02x" : L"%02x", byte[i]);
    }
    AppendLine(line);
}

HKEY PlaceholderKey()
{
    return reinterpret_cast<HKEY>(&placeholder);
}

bool IsPlaceholder(HKEY key)
{
    return key == PlaceholderKey();
}

} // namespace RegRecorder
