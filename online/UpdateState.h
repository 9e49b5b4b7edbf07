// The update check's state: when the product last asked the maker's update
// server for a newer version, when it asks next and how often, kept in the
// product's registry key; the policy that can enforce the frequency and the
// automatic check for the whole process; the server's answer record; and
// the request the check sends.
//
// Times are seconds since 1995-12-26 00:00:00 UTC (GetCurTime,
// text/StrUnits.h).
//
// The update server is a setting of the build. The REG_SZ value
// "UpdateServer" of the "Setup" key below the product's root key, "host" or
// "host:port", points the library at another server instead (a test
// server, a mirror); see GetUpdateServer.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "storage/IniFile.h"

class ZnComboList;

// How often the update check runs. Only these four values occur; "never"
// is a ten-year interval like any other.
enum Check4UpdatesFreq : int {
    c4uDaily = 0, // 1 day
    c4uWeekly = 1, // 7 days
    c4uMonthly = 2, // 30 days
    c4uNever = 3, // 3650 days
};

// The state record of the "Setup" key below the product's root key
// (GetMyProductInfo()->GetAppRootKey()): four REG_DWORD values.
class PVDLL_API UpdateState {
public:
    // Value names: "LastUpdate", "NextUpdate", "RemindFreq", "AutoCheck".
    static const wchar_t* const pszLastUpdate;
    static const wchar_t* const pszNextUpdate;
    static const wchar_t* const pszRemindFrequency;
    static const wchar_t* const pszAutoCheck;

    static constexpr DWORD nextDisabled = 0xFFFFFFFF;

    // Never checked, not scheduled; the frequency and the automatic check
    // as the process's policy enforces them, else weekly and on.
    UpdateState();

    // Reads the key; a missing value keeps its field. An enforced frequency
    // or automatic check is used instead of the stored one, and a stored
    // next check further away than the enforced interval is pulled in to
    // it. 0 when the key cannot be opened (the fields stay as they were).
    int Read();
    // Creates or opens the key and writes last and next check, and the
    // frequency and the automatic check unless the policy enforces them.
    // 0 when the key cannot be created or a value cannot be written.
    int Write();

    // Last check = now.
    void SetupLastUpdate();
    // Next check = now + days, or + the frequency's interval when days is
    // -1, plus under an hour that spreads the checks of many users: the C
    // run-time's next random number, seeded with now + interval, modulo
    // 3600. The lowest bit of the result is cleared.
    void SetupNextUpdate(int days);
    // 1, 7, 30 or 3650 for the frequency (7 for a value outside the four).
    int DaysFromFreq();
    // 0 when no check ever completed, else whole days since the last one.
    unsigned GetDaysSinceLastUpdate();
    int IsDisabled() { return nextUpdate == nextDisabled; }

    // The record's four words, in this order.
    DWORD lastUpdate; // below 2: never; the lowest bit does not count (stored as 0)
    DWORD nextUpdate; // 0: not scheduled; nextDisabled: no checks
    Check4UpdatesFreq remindFreq;
    DWORD autoCheck; // non-zero: check silently without asking
};

// The process-wide policy: bit 0x40 enforces the frequency flags & 0x0F,
// bit 0x20 enforces the automatic check (on when bit 0x10 is set). An
// enforced setting is used instead of the stored one and never written.
PVDLL_API void EnforceCheckForUpdates(unsigned long flags);
// Enforces nothing any more (as when the process started).
PVDLL_API void LiftCheckForUpdatesPolicy();

// Reads the state and hands out the automatic check and the frequency
// (either pointer may be null). 0 when the state could not be read; the
// defaults are handed out then.
PVDLL_API int GetCheck4UpdatesSettings(int* autoCheck, Check4UpdatesFreq* freq);
PVDLL_API int GetCheck4UpdatesSettings(int* autoCheck, int* freq);
// Reads the state, sets the automatic check and, when freq is not -1 and
// differs from the one in force, the frequency, scheduling the next check
// by it from now; writes. Returns what Write returned.
PVDLL_API int SetCheck4UpdatesSettings(int autoCheck, Check4UpdatesFreq freq);
// Reads the state and sets the automatic check on; a frequency other than
// weekly becomes weekly, with the next check a week from now. Writes.
PVDLL_API int SetCheck4UpdatesSettingsDefault();
// Fills a combo box with "Daily", "Weekly", "Monthly" and "Never" (in the
// order of Check4UpdatesFreq), keeping the index that was selected.
PVDLL_API void PopulateFreqList(ZnComboList& list);
// When the state can be read: schedules the next check from now by the
// frequency and writes. 0 when it could not be read or written.
PVDLL_API int ResetCheck4Updates();

// The update server: the build's host and port 0 (the scheme's default),
// unless the key's "UpdateServer" value names one as "host" or
// "host:port" (port 1 to 65535; a value that does not parse is ignored).
// host holds cch characters. Returns 1 when the value was used.
PVDLL_API int GetUpdateServer(wchar_t* host, unsigned cch, unsigned short* port);

// The form the check posts, "app=…&appver=…&…&wined=…": the product, its
// version, language and build architecture, the system's version, default
// locale and service pack. At most check4UpdatesQueryChars characters
// (terminator included) go into query, cut where it ends.
// Returns the length written.
constexpr unsigned check4UpdatesQueryChars = 256;
PVDLL_API int MakeCheck4UpdatesQuery(wchar_t* query, unsigned cch);

// Posts query to the update server's "updates/index.php" (GetUpdateServer)
// and returns its answer as SendHttp does (at most 1024 bytes, released
// with FreeDllBuf), or null.
PVDLL_API wchar_t* SendCheck4UpdatesQuery(const wchar_t* query, unsigned timeoutSeconds);

// The server's answer to a check that found an update: INI text whose
// entries "version", "descr", "urlmoreinfo" and "urldownload" (in any
// section, keys in any case) are kept, each cut to 259 characters; other
// entries are passed over. A field is empty when its entry is absent.
class PVDLL_API UpdateIni : public IniFile {
public:
    static constexpr unsigned fieldSize = 260;

    UpdateIni();
    // Empties the fields and reads text (len 0: up to the terminator).
    int Parse(const wchar_t* text, unsigned len = 0);
    int CallBack(CallBackFlag kind, const wchar_t* section, const wchar_t* key, const wchar_t* value) override;

    wchar_t szVersion[fieldSize];
    wchar_t szDescr[fieldSize];
    wchar_t szUrlMoreInfo[fieldSize];
    wchar_t szUrlDownload[fieldSize];
};
