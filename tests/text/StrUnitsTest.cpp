#include <gtest/gtest.h>

#include <string>

#include "PVDLL.h"
#include "common/GuardedBuffer.h"

namespace {

std::wstring Size(unsigned __int64 bytes, int alwaysDecimal = 0)
{
    wchar_t out[32];
    SizeToStr(out, 32, bytes, alwaysDecimal);
    return out;
}

std::wstring Remaining(unsigned seconds, int longForm)
{
    wchar_t out[64] = L"junk";
    GetTextRemaining(seconds, out, 64, longForm);
    return out;
}

} // namespace

TEST(SizeToStr, PicksTheLargestUnitWithATruncatedTenth)
{
    EXPECT_EQ(Size(0), L"0 B");
    EXPECT_EQ(Size(1023), L"1023 B");
    EXPECT_EQ(Size(1024), L"1 KB");
    EXPECT_EQ(Size(1024, 1), L"1.0 KB");
    EXPECT_EQ(Size(1536), L"1.5 KB");
    EXPECT_EQ(Size(2047), L"1.9 KB");
    EXPECT_EQ(Size(1126), L"1 KB");  // 102/1024 of a unit: still below a tenth
    EXPECT_EQ(Size(1127), L"1.1 KB");
    EXPECT_EQ(Size(1073741824), L"1 GB");
    EXPECT_EQ(Size(1048576ULL * 1023 + 1048575), L"1023.9 MB");
    EXPECT_EQ(Size(3ULL << 40), L"3 TB");
    EXPECT_EQ(Size(~0ULL), L"16777215.9 TB");
}

TEST(SizeToStr, TinyBufferIsCutAndTerminated)
{
    GuardedBuffer<wchar_t> out(4, L'#');
    SizeToStr(out.data(), 4, 1536, 0);
    EXPECT_STREQ(out.data(), L"1.5");
    EXPECT_TRUE(out.GuardIntact());
}

TEST(GetTextRemaining, ShortAndLongForms)
{
    EXPECT_EQ(Remaining(0, 1), L"");
    wchar_t out[8] = L"x";
    EXPECT_EQ(GetTextRemaining(0, out, 8, 1), 0);
    EXPECT_EQ(GetTextRemaining(1, out, 8, 0), 1);
    EXPECT_EQ(Remaining(59, 1), L"59 seconds");
    EXPECT_EQ(Remaining(59, 0), L"59 s");
    EXPECT_EQ(Remaining(61, 1), L"1 minute(s) 1 seconds");
    EXPECT_EQ(Remaining(61, 0), L"1 m 1 s");
    EXPECT_EQ(Remaining(3599, 0), L"59 m 59 s");
    EXPECT_EQ(Remaining(3661, 1), L"1 hour(s) 1 minutes");
    EXPECT_EQ(Remaining(3661, 0), L"1 h 1 m");
    EXPECT_EQ(Remaining(90061, 0), L"25 h 1 m");
}

TEST(Times, EpochsAndDosDates)
{
    FILETIME ft;
    UnixTimeToFileTime(0, &ft);
    EXPECT_EQ((static_cast<unsigned __int64>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime,
              116444736000000000ULL);

    // GetCurTime counts from the Unix time 819936000.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    unsigned __int64 unixNow =
        ((static_cast<unsigned __int64>(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10000000) - 11644473600ULL;
    unsigned cur = GetCurTime();
    EXPECT_NEAR(static_cast<double>(cur), static_cast<double>(unixNow - 819936000), 2.0);

    SYSTEMTIME st = {};
    st.wYear = 2021;
    st.wMonth = 7;
    st.wDay = 15;
    EXPECT_EQ(GetDOSdate(&st), ((2021 - 1980) * 16 + 7) * 32 + 15);
    SYSTEMTIME local;
    GetLocalTime(&local);
    EXPECT_EQ(GetDOSdate(nullptr), GetDOSdate(&local));
}
