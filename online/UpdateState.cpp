#include "online/UpdateState.h"

#include <cstdlib>

#include "base/ProductInfo.h"
#include "base/StrFormat.h"
#include "base/internal/SystemVersion.h"
#include "online/HttpClient.h"
#include "storage/RegKey.h"
#include "text/StrUnits.h"

#ifndef PVDLL_UPDATE_HOST
#define PVDLL_UPDATE_HOST "update.corvenna.com"
#endif

const wchar_t* const UpdateState::pszLastUpdate = L"LastUpdate";
const wchar_t* const UpdateState::pszNextUpdate = L"NextUpdate";
const wchar_t* const UpdateState::pszRemindFrequency = L"RemindFreq";
const wchar_t* const UpdateState::pszAutoCheck = L"AutoCheck";

namespace {

const wchar_t setupKey[] = L"Setup";
const wchar_t updateServerValue[] = L"UpdateServer";
const wchar_t updateHost[] = L"" PVDLL_UPDATE_HOST;
const wchar_t updatePath[] = L"updates/index.php";
constexpr unsigned updateAnswerBytes = 1024;

constexpr DWORD noEnforcedFreq = 0xFFFFFFFF;
constexpr unsigned __int64 secondsPerDay = 86400;
// The jitter stays below an hour, and the schedule stays a time: it never
// runs into the value that means "disabled".
constexpr unsigned jitterSeconds = 3600;
constexpr unsigned __int64 latestSchedule = 0xFFFFFFFE;

// The policy of the process. It is set once, from the command line or by
// the product, before any check runs on the user-interface thread.
DWORD enforcedFreq = noEnforcedFreq;
bool autoCheckEnforced = false;
DWORD enforcedAutoCheck = 0;

bool FreqEnforced()
{
    return enforcedFreq != noEnforcedFreq;
}

unsigned DaysOf(DWORD freq)
{
    switch (freq) {
    case c4uDaily:
        return 1;
    case c4uMonthly:
        return 30;
    case c4uNever:
        return 3650;
    default:
        return 7;
    }
}

DWORD Schedule(unsigned __int64 interval)
{
    unsigned __int64 due = GetCurTime() + interval;
    srand(static_cast<unsigned>(due));
    due += static_cast<unsigned>(rand()) % jitterSeconds;
    if (due > latestSchedule)
        due = latestSchedule;
    return static_cast<DWORD>(due) & ~1u;
}

const wchar_t* RootKey()
{
    return GetMyProductInfo()->GetAppRootKey();
}

} // namespace

// --- the state record ------------------------------------------------------------

UpdateState::UpdateState()
    : lastUpdate(0),
      nextUpdate(0),
      remindFreq(FreqEnforced() ? static_cast<Check4UpdatesFreq>(enforcedFreq) : c4uWeekly),
      autoCheck(autoCheckEnforced ? enforcedAutoCheck : 1)
{
}

static_assert(sizeof(UpdateState) == 4 * sizeof(DWORD), "the record is four words");

int UpdateState::Read()
{
    RegKey key(RootKey(), setupKey, 0);
    if (!key.IsOpen())
        return 0;
    lastUpdate = static_cast<DWORD>(key.GetInt(pszLastUpdate, static_cast<int>(lastUpdate)));
    nextUpdate = static_cast<DWORD>(key.GetInt(pszNextUpdate, static_cast<int>(nextUpdate)));
    if (FreqEnforced()) {
        remindFreq = static_cast<Check4UpdatesFreq>(enforcedFreq);
        unsigned __int64 latest = GetCurTime() + DaysOf(enforcedFreq) * secondsPerDay;
        if (nextUpdate > latest)
            nextUpdate = static_cast<DWORD>(latest > latestSchedule ? latestSchedule : latest);
    } else {
        remindFreq = static_cast<Check4UpdatesFreq>(key.GetInt(pszRemindFrequency, static_cast<int>(remindFreq)));
    }
    if (autoCheckEnforced)
        autoCheck = enforcedAutoCheck;
    else
        autoCheck = static_cast<DWORD>(key.GetInt(pszAutoCheck, static_cast<int>(autoCheck)));
    return 1;
}

int UpdateState::Write()
{
    RegKey key(RootKey(), setupKey, 1);
    if (!key.IsOpen())
        return 0;
    int ok = key.PutDword(pszLastUpdate, lastUpdate & ~1u, 1);
    ok &= key.PutDword(pszNextUpdate, nextUpdate, 1);
    if (!FreqEnforced())
        ok &= key.PutDword(pszRemindFrequency, static_cast<DWORD>(remindFreq), 1);
    if (!autoCheckEnforced)
        ok &= key.PutDword(pszAutoCheck, autoCheck, 1);
    return ok ? 1 : 0;
}

void UpdateState::SetupLastUpdate()
{
    lastUpdate = GetCurTime();
}

void UpdateState::SetupNextUpdate(int days)
{
    unsigned __int64 interval = days == -1 ? DaysFromFreq() * secondsPerDay
        : days > 0                         ? static_cast<unsigned __int64>(days) * secondsPerDay
                                           : 0;
    nextUpdate = Schedule(interval);
}

int UpdateState::DaysFromFreq()
{
    return static_cast<int>(DaysOf(static_cast<DWORD>(remindFreq)));
}

unsigned UpdateState::GetDaysSinceLastUpdate()
{
    unsigned now = GetCurTime();
    if (lastUpdate < 2 || lastUpdate >= now)
        return 0;
    return static_cast<unsigned>((now - lastUpdate) / secondsPerDay);
}

// --- the policy and the settings --------------------------------------------------

void EnforceCheckForUpdates(unsigned long flags)
{
    if (flags & 0x40)
        enforcedFreq = static_cast<DWORD>(flags & 0x0F);
    if (flags & 0x20) {
        autoCheckEnforced = true;
        enforcedAutoCheck = (flags & 0x10) ? 1 : 0;
    }
}

void LiftCheckForUpdatesPolicy()
{
    enforcedFreq = noEnforcedFreq;
    autoCheckEnforced = false;
    enforcedAutoCheck = 0;
}

int GetCheck4UpdatesSettings(int* autoCheck, Check4UpdatesFreq* freq)
{
    UpdateState state;
    int read = state.Read();
    if (autoCheck)
        *autoCheck = static_cast<int>(state.autoCheck);
    if (freq)
        *freq = state.remindFreq;
    return read;
}

int GetCheck4UpdatesSettings(int* autoCheck, int* freq)
{
    Check4UpdatesFreq value = c4uWeekly;
    int read = GetCheck4UpdatesSettings(autoCheck, &value);
    if (freq)
        *freq = static_cast<int>(value);
    return read;
}

int SetCheck4UpdatesSettings(int autoCheck, Check4UpdatesFreq freq)
{
    UpdateState state;
    state.Read();
    state.autoCheck = autoCheck ? 1 : 0;
    if (static_cast<int>(freq) != -1 && freq != state.remindFreq) {
        state.remindFreq = freq;
        state.SetupNextUpdate(-1);
    }
    return state.Write();
}

int SetCheck4UpdatesSettingsDefault()
{
    UpdateState state;
    state.Read();
    state.autoCheck = 1;
    if (state.remindFreq != c4uWeekly) {
        state.remindFreq = c4uWeekly;
        state.SetupNextUpdate(-1);
    }
    return state.Write();
}

int ResetCheck4Updates()
{
    UpdateState state;
    if (!state.Read())
        return 0;
    state.SetupNextUpdate(-1);
    return state.Write();
}

// --- the server and the request --------------------------------------------------

namespace {

// "host" or "host:port" with port 1..65535; false for anything else.
bool ParseServer(const wchar_t* text, wchar_t* host, unsigned cch, unsigned short* port)
{
    const wchar_t* colon = wcsrchr(text, L':');
    const wchar_t* end = colon ? colon : text + lstrlenW(text);
    if (end == text || static_cast<size_t>(end - text) >= cch)
        return false;
    unsigned value = 0;
    if (colon) {
        const wchar_t* p = colon + 1;
        if (!*p)
            return false;
        for (; *p; ++p) {
            if (*p < L'0' || *p > L'9')
                return false;
            value = value * 10 + static_cast<unsigned>(*p - L'0');
            if (value > 65535)
                return false;
        }
        if (!value)
            return false;
    }
    lstrcpynW(host, text, static_cast<int>(end - text) + 1);
    if (port)
        *port = static_cast<unsigned short>(value);
    return true;
}

} // namespace

int GetUpdateServer(wchar_t* host, unsigned cch, unsigned short* port)
{
    if (!host || !cch)
        return 0;
    RegKey key(RootKey(), setupKey, 0);
    if (key.IsOpen()) {
        wchar_t text[300];
        key.GetStr(updateServerValue, text, 300, L"");
        if (text[0] && ParseServer(text, host, cch, port))
            return 1;
    }
    lstrcpynW(host, updateHost, static_cast<int>(cch));
    if (port)
        *port = 0;
    return 0;
}

int MakeCheck4UpdatesQuery(wchar_t* query, unsigned cch)
{
    // The server wants the system's own version, whatever the manifest of
    // the program that loaded the library allows it to see.
    OSVERSIONINFOEXW os;
    GetSystemVersion(os);

    wchar_t locale[86] = L"";
    LCTYPE localeItem = os.dwMajorVersion >= 6 ? LOCALE_SNAME : LOCALE_SENGLANGUAGE;
    if (!GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, localeItem, locale, 86))
        locale[0] = L'\0';

    ProductInfo* product = GetMyProductInfo();
    unsigned __int64 version = product->GetVersionQWORD();
    return StrFormat(query, cch,
        L"app=%s&appver=%u.%u.%u.%u&applang=%s&apped=%s&winver=%u.%u.%u.%u&winlang=%s&winsp=%u.%u"
        L"&wined=%s",
        L"launchora", static_cast<unsigned>(version >> 48), static_cast<unsigned>(version >> 32) & 0xFFFF,
        static_cast<unsigned>(version >> 16) & 0xFFFF, static_cast<unsigned>(version) & 0xFFFF, product->GetLanguage(),
        product->GetEditionShort(), static_cast<unsigned>(os.dwMajorVersion), static_cast<unsigned>(os.dwMinorVersion),
        static_cast<unsigned>(os.dwBuildNumber >> 16), static_cast<unsigned>(os.dwBuildNumber & 0xFFFF), locale,
        static_cast<unsigned>(os.wServicePackMajor), static_cast<unsigned>(os.wServicePackMinor), L"x64");
}

wchar_t* SendCheck4UpdatesQuery(const wchar_t* query, unsigned timeoutSeconds)
{
    wchar_t host[256];
    unsigned short port = 0;
    GetUpdateServer(host, 256, &port);
    return SendHttpToPort(host, port, updatePath, updateAnswerBytes, query, timeoutSeconds, nullptr, 0);
}

// --- the answer record ---------------------------------------------------------------

UpdateIni::UpdateIni() : szVersion{}, szDescr{}, szUrlMoreInfo{}, szUrlDownload{}
{
}

int UpdateIni::Parse(const wchar_t* text, unsigned len)
{
    // A text the reader refuses before it begins leaves no earlier answer.
    szVersion[0] = szDescr[0] = szUrlMoreInfo[0] = szUrlDownload[0] = L'\0';
    return ReadAll(text, len);
}

int UpdateIni::CallBack(CallBackFlag kind, const wchar_t*, const wchar_t* key, const wchar_t* value)
{
    if (kind == cbBegin) {
        szVersion[0] = szDescr[0] = szUrlMoreInfo[0] = szUrlDownload[0] = L'\0';
        return 1;
    }
    if (kind != cbEntry || !key || !value)
        return 1;
    wchar_t* field = !lstrcmpiW(key, L"version") ? szVersion
        : !lstrcmpiW(key, L"descr")              ? szDescr
        : !lstrcmpiW(key, L"urlmoreinfo")        ? szUrlMoreInfo
        : !lstrcmpiW(key, L"urldownload")        ? szUrlDownload
                                                 : nullptr;
    if (field)
        lstrcpynW(field, value, fieldSize);
    return 1;
}
