#include "text/StrUnits.h"

#include "base/StrFormat.h"

void SizeToStr(wchar_t* out, unsigned cch, unsigned __int64 bytes, int alwaysDecimal)
{
    static const struct {
        unsigned shift;
        const wchar_t* name;
    } units[] = {{40, L"TB"}, {30, L"GB"}, {20, L"MB"}, {10, L"KB"}};

    for (const auto& unit : units) {
        unsigned __int64 whole = bytes >> unit.shift;
        if (!whole)
            continue;
        // The tenth is truncated: the next ten bits below the unit, times ten.
        unsigned tenthsTimes1024 = static_cast<unsigned>((bytes >> (unit.shift - 10)) & 1023) * 10;
        if (tenthsTimes1024 < 1024 && !alwaysDecimal)
            StrFormat(out, cch, L"%I64u %s", whole, unit.name);
        else
            StrFormat(out, cch, L"%I64u.%u %s", whole, tenthsTimes1024 >> 10, unit.name);
        return;
    }
    StrFormat(out, cch, L"%u B", static_cast<unsigned>(bytes));
}

int GetTextRemaining(unsigned seconds, wchar_t* out, unsigned cch, int longForm)
{
    if (seconds == 0) {
        if (out && cch)
            out[0] = L'\0';
        return 0;
    }
    if (seconds < 60)
        StrFormat(out, cch, longForm ? L"%u seconds" : L"%u s", seconds);
    else if (seconds < 3600)
        StrFormat(out, cch, longForm ? L"%u minute(s) %u seconds" : L"%u m %u s", seconds / 60, seconds % 60);
    else
        StrFormat(out, cch, longForm ? L"%u hour(s) %u minutes" : L"%u h %u m", seconds / 3600, (seconds / 60) % 60);
    return 1;
}

namespace {

// Seconds between 1970-01-01 and 1995-12-26, and between 1601-01-01 and 1970.
constexpr unsigned __int64 epoch1995 = 819936000;
constexpr unsigned __int64 epoch1601 = 11644473600;

} // namespace

unsigned GetCurTime()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    unsigned __int64 t = (static_cast<unsigned __int64>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<unsigned>(t / 10000000 - epoch1601 - epoch1995);
}

void UnixTimeToFileTime(unsigned __int64 unixTime, FILETIME* ft)
{
    unsigned __int64 t = (unixTime + epoch1601) * 10000000;
    ft->dwLowDateTime = static_cast<DWORD>(t);
    ft->dwHighDateTime = static_cast<DWORD>(t >> 32);
}

unsigned short GetDOSdate(const SYSTEMTIME* st)
{
    SYSTEMTIME now;
    if (!st) {
        GetLocalTime(&now);
        st = &now;
    }
    return static_cast<unsigned short>(((st->wYear - 1980) * 16 + st->wMonth) * 32 + st->wDay);
}
