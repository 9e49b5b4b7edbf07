// The update-check state record in the registry: its defaults, what is read
// and written, the process's enforced policy, the schedule and its jitter,
// the settings functions, the update server's override and the request.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "HttpTestSupport.h"
#include "PVDLL.h"
#include "common/LocalHttpServer.h"

namespace {

constexpr DWORD day = 86400;

class UpdateStateTest : public ProductRootTest {
protected:
    UpdateStateTest() : ProductRootTest(L"Update") { }

    bool KeyExists()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SetupKey().c_str(), 0, KEY_READ, &key))
            return false;
        RegCloseKey(key);
        return true;
    }
};

// True when next is what the schedule makes of some moment in
// [before, after] and the interval: the moment plus the interval plus the
// C run-time's first random number after seeding with that sum, modulo
// 3600, with the lowest bit cleared.
bool ScheduledFrom(DWORD next, unsigned before, unsigned after, unsigned interval)
{
    for (unsigned now = before; now <= after; ++now) {
        unsigned base = now + interval;
        srand(base);
        if (next == ((base + static_cast<unsigned>(rand()) % 3600) & ~1u))
            return true;
    }
    return false;
}

// --- the record ------------------------------------------------------------------------------

TEST_F(UpdateStateTest, ValueNamesAreTheFourOfTheSetupKey)
{
    EXPECT_STREQ(UpdateState::pszLastUpdate, L"LastUpdate");
    EXPECT_STREQ(UpdateState::pszNextUpdate, L"NextUpdate");
    EXPECT_STREQ(UpdateState::pszRemindFrequency, L"RemindFreq");
    EXPECT_STREQ(UpdateState::pszAutoCheck, L"AutoCheck");
}

TEST_F(UpdateStateTest, DefaultsAreNeverCheckedNotScheduledWeeklyAndAutomatic)
{
    UpdateState state;
    EXPECT_EQ(state.lastUpdate, 0u);
    EXPECT_EQ(state.nextUpdate, 0u);
    EXPECT_EQ(state.remindFreq, c4uWeekly);
    EXPECT_EQ(state.autoCheck, 1u);
    EXPECT_FALSE(state.IsDisabled());
    EXPECT_EQ(state.GetDaysSinceLastUpdate(), 0u);
    EXPECT_EQ(sizeof(UpdateState), 16u);
}

TEST_F(UpdateStateTest, ReadWithoutKeyFailsAndKeepsTheFields)
{
    UpdateState state;
    state.lastUpdate = 10;
    state.nextUpdate = 20;
    state.remindFreq = c4uMonthly;
    state.autoCheck = 0;
    EXPECT_EQ(state.Read(), 0);
    EXPECT_EQ(state.lastUpdate, 10u);
    EXPECT_EQ(state.nextUpdate, 20u);
    EXPECT_EQ(state.remindFreq, c4uMonthly);
    EXPECT_EQ(state.autoCheck, 0u);
    EXPECT_FALSE(KeyExists()) << "reading creates nothing";
}

TEST_F(UpdateStateTest, WriteThenReadGivesTheSameRecord)
{
    UpdateState written;
    written.lastUpdate = 900000000;
    written.nextUpdate = 900600000;
    written.remindFreq = c4uMonthly;
    written.autoCheck = 0;
    ASSERT_EQ(written.Write(), 1);
    EXPECT_EQ(Stored(L"LastUpdate"), 900000000u);
    EXPECT_EQ(Stored(L"NextUpdate"), 900600000u);
    EXPECT_EQ(Stored(L"RemindFreq"), 2u);
    EXPECT_EQ(Stored(L"AutoCheck"), 0u);

    UpdateState read;
    ASSERT_EQ(read.Read(), 1);
    EXPECT_EQ(read.lastUpdate, 900000000u);
    EXPECT_EQ(read.nextUpdate, 900600000u);
    EXPECT_EQ(read.remindFreq, c4uMonthly);
    EXPECT_EQ(read.autoCheck, 0u);
}

TEST_F(UpdateStateTest, TheLowestBitOfTheLastCheckIsWrittenAsZero)
{
    UpdateState state;
    state.lastUpdate = 900000001;
    ASSERT_EQ(state.Write(), 1);
    EXPECT_EQ(Stored(L"LastUpdate"), 900000000u);
}

TEST_F(UpdateStateTest, MissingValuesKeepTheirFields)
{
    Put(L"NextUpdate", 123456);
    UpdateState state;
    state.lastUpdate = 77;
    state.remindFreq = c4uDaily;
    state.autoCheck = 0;
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.nextUpdate, 123456u);
    EXPECT_EQ(state.lastUpdate, 77u);
    EXPECT_EQ(state.remindFreq, c4uDaily);
    EXPECT_EQ(state.autoCheck, 0u);
}

TEST_F(UpdateStateTest, AValueOfAnotherTypeIsTakenAsMissing)
{
    PutText(L"NextUpdate", L"soon");
    UpdateState state;
    state.nextUpdate = 42;
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.nextUpdate, 42u);
}

TEST_F(UpdateStateTest, DisabledIsANextCheckOfAllOnes)
{
    Put(L"NextUpdate", 0xFFFFFFFF);
    UpdateState state;
    ASSERT_EQ(state.Read(), 1);
    EXPECT_TRUE(state.IsDisabled());
}

TEST_F(UpdateStateTest, ARootKeyThatCannotBeOpenedFailsQuietly)
{
    GetMyProductInfo()->PushAppRootKey(L"HKEY_NOWHERE\\Corvenna");
    UpdateState state;
    state.nextUpdate = 5;
    EXPECT_EQ(state.Read(), 0);
    EXPECT_EQ(state.nextUpdate, 5u);
    EXPECT_EQ(state.Write(), 0);
    EXPECT_EQ(ResetCheck4Updates(), 0);
    EXPECT_EQ(SetCheck4UpdatesSettings(1, c4uDaily), 0);
    GetMyProductInfo()->PushAppRootKey((L"HKCU\\" + sub).c_str());
}

// --- the policy -------------------------------------------------------------------------------

TEST_F(UpdateStateTest, AnEnforcedFrequencyIsUsedPullsAFarNextCheckInAndIsNeverWritten)
{
    const unsigned now = GetCurTime();
    StoreState(now - 5 * day, now + 100 * day, c4uMonthly, 1);
    EnforceCheckForUpdates(0x40 | c4uDaily);

    UpdateState state;
    EXPECT_EQ(state.remindFreq, c4uDaily) << "the default follows the policy";
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.remindFreq, c4uDaily);
    EXPECT_GE(state.nextUpdate, now + day);
    EXPECT_LE(state.nextUpdate, GetCurTime() + day);

    state.remindFreq = c4uNever;
    ASSERT_EQ(state.Write(), 1);
    EXPECT_EQ(Stored(L"RemindFreq"), static_cast<DWORD>(c4uMonthly)) << "the stored choice survives";
    EXPECT_EQ(Stored(L"NextUpdate"), state.nextUpdate) << "the schedule itself is written";
}

TEST_F(UpdateStateTest, AnEnforcedFrequencyLeavesANearerNextCheck)
{
    const unsigned now = GetCurTime();
    StoreState(0, now + 3600, c4uNever, 1);
    EnforceCheckForUpdates(0x40 | c4uWeekly);
    UpdateState state;
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.nextUpdate, now + 3600);
    EXPECT_EQ(state.remindFreq, c4uWeekly);
}

TEST_F(UpdateStateTest, AnEnforcedFrequencyBringsBackADisabledCheck)
{
    // The policy asks for checks at that interval: a check switched off for
    // good is further away than any interval, and is pulled in like one.
    const unsigned now = GetCurTime();
    StoreState(0, 0xFFFFFFFF, c4uWeekly, 1);
    EnforceCheckForUpdates(0x40 | c4uMonthly);
    UpdateState state;
    ASSERT_EQ(state.Read(), 1);
    EXPECT_FALSE(state.IsDisabled());
    EXPECT_GE(state.nextUpdate, now + 30 * day);
    EXPECT_LE(state.nextUpdate, GetCurTime() + 30 * day);
}

TEST_F(UpdateStateTest, AnUnscheduledCheckStaysUnscheduledUnderAnEnforcedFrequency)
{
    StoreState(0, 0, c4uWeekly, 1);
    EnforceCheckForUpdates(0x40 | c4uDaily);
    UpdateState state;
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.nextUpdate, 0u);
}

TEST_F(UpdateStateTest, AnEnforcedAutomaticCheckIsUsedAndNeverWritten)
{
    StoreState(0, 0, c4uWeekly, 0);
    EnforceCheckForUpdates(0x20 | 0x10);
    UpdateState state;
    EXPECT_EQ(state.autoCheck, 1u);
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.autoCheck, 1u);
    state.autoCheck = 1;
    ASSERT_EQ(state.Write(), 1);
    EXPECT_EQ(Stored(L"AutoCheck"), 0u);

    EnforceCheckForUpdates(0x20);
    UpdateState off;
    ASSERT_EQ(off.Read(), 1);
    EXPECT_EQ(off.autoCheck, 0u) << "enforced off";
}

TEST_F(UpdateStateTest, EachPolicyBitEnforcesOnlyItsOwnSetting)
{
    StoreState(0, 0, c4uMonthly, 0);
    EnforceCheckForUpdates(0x10 | c4uDaily); // neither enforce bit
    UpdateState state;
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.remindFreq, c4uMonthly);
    EXPECT_EQ(state.autoCheck, 0u);

    EnforceCheckForUpdates(0x20 | 0x10); // the automatic check only
    ASSERT_EQ(state.Read(), 1);
    EXPECT_EQ(state.remindFreq, c4uMonthly);
    EXPECT_EQ(state.autoCheck, 1u);
}

// --- the schedule -------------------------------------------------------------------------------

TEST_F(UpdateStateTest, DaysFromFreqGivesTheFourIntervals)
{
    UpdateState state;
    const struct {
        Check4UpdatesFreq freq;
        int days;
    } cases[] = {{c4uDaily, 1}, {c4uWeekly, 7}, {c4uMonthly, 30}, {c4uNever, 3650}};
    for (auto c : cases) {
        state.remindFreq = c.freq;
        EXPECT_EQ(state.DaysFromFreq(), c.days) << c.freq;
    }
    state.remindFreq = static_cast<Check4UpdatesFreq>(9);
    EXPECT_EQ(state.DaysFromFreq(), 7) << "a stored value outside the four acts as the default";
}

TEST_F(UpdateStateTest, SchedulingAddsTheIntervalAndAnEvenJitterUnderAnHour)
{
    for (Check4UpdatesFreq freq : {c4uDaily, c4uWeekly, c4uMonthly, c4uNever}) {
        UpdateState state;
        state.remindFreq = freq;
        const unsigned before = GetCurTime();
        state.SetupNextUpdate(-1);
        const unsigned after = GetCurTime();
        const unsigned interval = static_cast<unsigned>(state.DaysFromFreq()) * day;
        EXPECT_GE(state.nextUpdate, before + interval) << freq;
        EXPECT_LT(state.nextUpdate, after + interval + 3600) << freq;
        EXPECT_EQ(state.nextUpdate & 1u, 0u) << freq;
        EXPECT_TRUE(ScheduledFrom(state.nextUpdate, before, after, interval)) << freq;
    }
}

TEST_F(UpdateStateTest, NeverIsTenYearsAhead)
{
    UpdateState state;
    state.remindFreq = c4uNever;
    const unsigned now = GetCurTime();
    state.SetupNextUpdate(-1);
    EXPECT_GE(state.nextUpdate, now + 3650 * day);
    EXPECT_LT(state.nextUpdate, now + 3650 * day + 3602);
    EXPECT_FALSE(state.IsDisabled());
}

TEST_F(UpdateStateTest, GivenDaysOverrideTheFrequency)
{
    UpdateState state;
    state.remindFreq = c4uNever;
    const unsigned before = GetCurTime();
    state.SetupNextUpdate(1);
    const unsigned after = GetCurTime();
    EXPECT_TRUE(ScheduledFrom(state.nextUpdate, before, after, day));
}

TEST_F(UpdateStateTest, DaysSinceTheLastCheckCountWholeDays)
{
    UpdateState state;
    const unsigned now = GetCurTime();
    state.lastUpdate = now - 3 * day - 100;
    EXPECT_EQ(state.GetDaysSinceLastUpdate(), 3u);
    state.lastUpdate = now - 100;
    EXPECT_EQ(state.GetDaysSinceLastUpdate(), 0u);
    state.lastUpdate = 1;
    EXPECT_EQ(state.GetDaysSinceLastUpdate(), 0u) << "below 2 is never";
    state.lastUpdate = now + 10 * day;
    EXPECT_EQ(state.GetDaysSinceLastUpdate(), 0u) << "a check in the future (a clock set back)";
}

TEST_F(UpdateStateTest, SetupLastUpdateIsNow)
{
    UpdateState state;
    const unsigned before = GetCurTime();
    state.SetupLastUpdate();
    EXPECT_GE(state.lastUpdate, before);
    EXPECT_LE(state.lastUpdate, GetCurTime());
}

// --- the settings functions --------------------------------------------------------------------

TEST_F(UpdateStateTest, GetSettingsGivesTheDefaultsWithoutState)
{
    int autoCheck = -1;
    Check4UpdatesFreq freq = c4uNever;
    EXPECT_EQ(GetCheck4UpdatesSettings(&autoCheck, &freq), 0);
    EXPECT_EQ(autoCheck, 1);
    EXPECT_EQ(freq, c4uWeekly);
    EXPECT_EQ(GetCheck4UpdatesSettings(nullptr, static_cast<Check4UpdatesFreq*>(nullptr)), 0);
}

TEST_F(UpdateStateTest, GetSettingsGivesTheStoredOnesInBothForms)
{
    StoreState(0, 0, c4uMonthly, 0);
    int autoCheck = -1;
    Check4UpdatesFreq freq = c4uDaily;
    EXPECT_EQ(GetCheck4UpdatesSettings(&autoCheck, &freq), 1);
    EXPECT_EQ(autoCheck, 0);
    EXPECT_EQ(freq, c4uMonthly);
    int freqNumber = -1;
    EXPECT_EQ(GetCheck4UpdatesSettings(&autoCheck, &freqNumber), 1);
    EXPECT_EQ(freqNumber, 2);
}

TEST_F(UpdateStateTest, SetSettingsWithANewFrequencyReschedulesFromNow)
{
    const unsigned now = GetCurTime();
    StoreState(now - day, now + 2 * day, c4uWeekly, 1);
    ASSERT_EQ(SetCheck4UpdatesSettings(0, c4uMonthly), 1);
    EXPECT_EQ(Stored(L"AutoCheck"), 0u);
    EXPECT_EQ(Stored(L"RemindFreq"), 2u);
    EXPECT_TRUE(ScheduledFrom(Stored(L"NextUpdate"), now, GetCurTime(), 30 * day));
    EXPECT_EQ(Stored(L"LastUpdate"), (now - day) & ~1u);
}

TEST_F(UpdateStateTest, SetSettingsWithTheSameOrNoFrequencyKeepsTheSchedule)
{
    const unsigned now = GetCurTime();
    StoreState(0, now + 2 * day, c4uWeekly, 0);
    ASSERT_EQ(SetCheck4UpdatesSettings(1, c4uWeekly), 1);
    EXPECT_EQ(Stored(L"NextUpdate"), now + 2 * day);
    EXPECT_EQ(Stored(L"AutoCheck"), 1u);
    ASSERT_EQ(SetCheck4UpdatesSettings(0, static_cast<Check4UpdatesFreq>(-1)), 1);
    EXPECT_EQ(Stored(L"NextUpdate"), now + 2 * day);
    EXPECT_EQ(Stored(L"RemindFreq"), 1u);
    EXPECT_EQ(Stored(L"AutoCheck"), 0u);
}

TEST_F(UpdateStateTest, SetSettingsCreatesTheStateWhenThereIsNone)
{
    ASSERT_EQ(SetCheck4UpdatesSettings(0, c4uDaily), 1);
    EXPECT_EQ(Stored(L"RemindFreq"), 0u);
    EXPECT_EQ(Stored(L"AutoCheck"), 0u);
    EXPECT_NE(Stored(L"NextUpdate"), 0u);
}

TEST_F(UpdateStateTest, DefaultSettingsMakeItWeeklyAndAutomaticFromNow)
{
    const unsigned now = GetCurTime();
    StoreState(0, now + 20 * day, c4uMonthly, 0);
    ASSERT_EQ(SetCheck4UpdatesSettingsDefault(), 1);
    EXPECT_EQ(Stored(L"AutoCheck"), 1u);
    EXPECT_EQ(Stored(L"RemindFreq"), 1u);
    EXPECT_TRUE(ScheduledFrom(Stored(L"NextUpdate"), now, GetCurTime(), 7 * day));
}

TEST_F(UpdateStateTest, DefaultSettingsKeepTheScheduleOfAWeeklyCheck)
{
    const unsigned now = GetCurTime();
    StoreState(0, now + 3 * day, c4uWeekly, 0);
    ASSERT_EQ(SetCheck4UpdatesSettingsDefault(), 1);
    EXPECT_EQ(Stored(L"AutoCheck"), 1u);
    EXPECT_EQ(Stored(L"NextUpdate"), now + 3 * day);
}

TEST_F(UpdateStateTest, ResetReschedulesByTheFrequencyFromNow)
{
    const unsigned now = GetCurTime();
    StoreState(now - 40 * day, now - day, c4uMonthly, 1);
    ASSERT_EQ(ResetCheck4Updates(), 1);
    EXPECT_TRUE(ScheduledFrom(Stored(L"NextUpdate"), now, GetCurTime(), 30 * day));
    EXPECT_EQ(Stored(L"LastUpdate"), (now - 40 * day) & ~1u);
}

TEST_F(UpdateStateTest, ResetWithoutStateDoesNothing)
{
    EXPECT_EQ(ResetCheck4Updates(), 0);
    EXPECT_FALSE(KeyExists());
}

TEST_F(UpdateStateTest, SettingsUnderAnEnforcedPolicyLeaveTheStoredChoicesAlone)
{
    StoreState(0, 0, c4uMonthly, 0);
    EnforceCheckForUpdates(0x40 | 0x20 | 0x10 | c4uDaily);
    int autoCheck = -1;
    Check4UpdatesFreq freq = c4uNever;
    ASSERT_EQ(GetCheck4UpdatesSettings(&autoCheck, &freq), 1);
    EXPECT_EQ(autoCheck, 1);
    EXPECT_EQ(freq, c4uDaily);
    ASSERT_EQ(SetCheck4UpdatesSettings(1, c4uWeekly), 1);
    EXPECT_EQ(Stored(L"RemindFreq"), 2u);
    EXPECT_EQ(Stored(L"AutoCheck"), 0u);
}

// --- the update server and the request ------------------------------------------------------

TEST_F(UpdateStateTest, TheUpdateServerIsTheBuildsHostUnlessTheRegistryNamesAnother)
{
    wchar_t host[256];
    unsigned short port = 1;
    EXPECT_EQ(GetUpdateServer(host, 256, &port), 0);
    EXPECT_NE(host[0], L'\0');
    EXPECT_EQ(port, 0);

    PutText(L"UpdateServer", L"127.0.0.1:8123");
    EXPECT_EQ(GetUpdateServer(host, 256, &port), 1);
    EXPECT_STREQ(host, L"127.0.0.1");
    EXPECT_EQ(port, 8123);

    PutText(L"UpdateServer", L"mirror.example.org");
    EXPECT_EQ(GetUpdateServer(host, 256, &port), 1);
    EXPECT_STREQ(host, L"mirror.example.org");
    EXPECT_EQ(port, 0);
}

TEST_F(UpdateStateTest, AnUnusableServerOverrideIsIgnored)
{
    wchar_t builtIn[256];
    GetUpdateServer(builtIn, 256, nullptr);
    for (const wchar_t* text : {L"host:", L":8123", L"host:0", L"host:65536", L"host:80x", L"host:-1", L""}) {
        PutText(L"UpdateServer", text);
        wchar_t host[256];
        unsigned short port = 1;
        EXPECT_EQ(GetUpdateServer(host, 256, &port), 0) << text;
        EXPECT_STREQ(host, builtIn) << text;
        EXPECT_EQ(port, 0) << text;
    }
    PutText(L"UpdateServer", std::wstring(300, L'h') + L":80");
    wchar_t small[16];
    EXPECT_EQ(GetUpdateServer(small, 16, nullptr), 0) << "a host longer than the buffer is not cut";
}

TEST_F(UpdateStateTest, TheQueryGoesToTheOverridingServersUpdatePage)
{
    LocalHttpServer server;
    ASSERT_NE(server.Port(), 0);
    PutText(L"UpdateServer", L"127.0.0.1:" + std::to_wstring(server.Port()));
    server.Answer("OK.");
    wchar_t query[check4UpdatesQueryChars];
    MakeCheck4UpdatesQuery(query, check4UpdatesQueryChars);
    HttpAnswer answer(SendCheck4UpdatesQuery(query, 5));
    ASSERT_TRUE(answer);
    EXPECT_STREQ(answer.get(), L"OK.");
    LocalHttpServer::Request request = server.LastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/updates/index.php");
    EXPECT_EQ(request.body, Ansi(query));
}

TEST_F(UpdateStateTest, TheQueryAnswerIsReadUpTo1024Bytes)
{
    LocalHttpServer server;
    ASSERT_NE(server.Port(), 0);
    PutText(L"UpdateServer", L"127.0.0.1:" + std::to_wstring(server.Port()));
    server.Answer(std::string(5000, 'x'));
    HttpAnswer answer(SendCheck4UpdatesQuery(L"app=launchora", 5));
    ASSERT_TRUE(answer);
    EXPECT_EQ(wcslen(answer.get()), 1024u);
}

// The value of key in a form text, "" when absent.
std::wstring FormValue(const std::wstring& form, const std::wstring& key)
{
    std::wstring probe = L"&" + form + L"&";
    size_t at = probe.find(L"&" + key + L"=");
    if (at == std::wstring::npos)
        return L"<missing>";
    at += key.size() + 2;
    return probe.substr(at, probe.find(L'&', at) - at);
}

TEST_F(UpdateStateTest, TheQueryNamesTheProductAndTheSystem)
{
    wchar_t query[check4UpdatesQueryChars];
    int length = MakeCheck4UpdatesQuery(query, check4UpdatesQueryChars);
    ASSERT_GT(length, 0);
    EXPECT_EQ(static_cast<size_t>(length), wcslen(query));
    EXPECT_LT(length, 256);
    const std::wstring form(query);
    EXPECT_EQ(form.rfind(L"app=launchora&appver=", 0), 0u) << form;
    EXPECT_EQ(FormValue(form, L"appver"), L"21.7.1.3040");
    EXPECT_EQ(FormValue(form, L"applang"), L"en");
    EXPECT_EQ(FormValue(form, L"apped"), L"x64");
    EXPECT_EQ(FormValue(form, L"wined"), L"x64");

    // The system's own version, whatever a manifest lets GetVersionEx say.
    OSVERSIONINFOEXW os = {};
    os.dwOSVersionInfoSize = sizeof os;
    auto rtlGetVersion = reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOW*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_TRUE(rtlGetVersion);
    ASSERT_EQ(rtlGetVersion(reinterpret_cast<OSVERSIONINFOW*>(&os)), 0);
    EXPECT_EQ(FormValue(form, L"winver"),
        std::to_wstring(os.dwMajorVersion) + L"." + std::to_wstring(os.dwMinorVersion) + L"."
            + std::to_wstring(os.dwBuildNumber >> 16) + L"." + std::to_wstring(os.dwBuildNumber & 0xFFFF));
    EXPECT_EQ(FormValue(form, L"winsp"),
        std::to_wstring(os.wServicePackMajor) + L"." + std::to_wstring(os.wServicePackMinor));
    wchar_t locale[LOCALE_NAME_MAX_LENGTH];
    ASSERT_GT(GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SNAME, locale, LOCALE_NAME_MAX_LENGTH), 0);
    EXPECT_EQ(FormValue(form, L"winlang"), locale);
    EXPECT_EQ(form.find(L"wined="), form.size() - 9) << "the last key";
}

TEST_F(UpdateStateTest, TheQueryIsCutAtItsBuffersEnd)
{
    wchar_t full[check4UpdatesQueryChars];
    MakeCheck4UpdatesQuery(full, check4UpdatesQueryChars);
    wchar_t small[21];
    wmemset(small, L'#', 21);
    EXPECT_EQ(MakeCheck4UpdatesQuery(small, 20), 19);
    EXPECT_EQ(small[19], L'\0');
    EXPECT_EQ(small[20], L'#');
    EXPECT_EQ(std::wstring(small), std::wstring(full, 19));
}

} // namespace
