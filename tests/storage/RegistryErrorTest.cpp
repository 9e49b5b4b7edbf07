// A registry failure leaves its reason as the thread's last error, as the
// file functions do: the status the registry answered, or the library's
// own reason where no registry call failed.
#include "RegistryFixture.h"

namespace {

constexpr DWORD untouched = 0x5EED;

// The last error after call, which starts from a value no call sets.
template <typename Call>
DWORD ErrorAfter(Call call)
{
    SetLastError(untouched);
    call();
    return GetLastError();
}

} // namespace

using RegistryErrors = RegistryTest;

TEST_F(RegistryErrors, AFailedOpenLeavesTheRegistryStatus)
{
    RegKey key;
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.Open(Path(L"Missing").c_str(), 0)); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.Open(Path(L"Missing\\Deeper").c_str(), 0)); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    RegKey parent(root.c_str(), 0);
    ASSERT_TRUE(parent.IsOpen());
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.Open(parent, L"Missing", 0)); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // No registry call to fail: the path names no root.
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.Open(subPath.c_str(), 0)); }),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    RegKey closed;
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.Open(closed, L"Sub", 0)); }),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(RegistryErrors, AMissingValueLeavesFileNotFound)
{
    RegKey key(root.c_str(), 0);
    ASSERT_TRUE(key.IsOpen());
    wchar_t buf[16];
    BYTE bin[16];
    EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(key.GetInt(L"Missing", 42), 42); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(key.GetStr(L"Missing", buf, 16, L"def"), 3); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.GetBin(L"Missing", bin, 16, nullptr)); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(key.GetValueType(L"Missing"), 0u); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryErrors, AValueOfAnotherTypeLeavesUnsupportedType)
{
    RawPutDword(nullptr, L"Number", 7);
    RawPutStr(nullptr, L"Text", L"a");
    RegKey key(root.c_str(), 0);
    ASSERT_TRUE(key.IsOpen());
    wchar_t buf[16];
    EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(key.GetStr(L"Number", buf, 16, L"def"), 3); }),
              static_cast<DWORD>(ERROR_UNSUPPORTED_TYPE));
    EXPECT_STREQ(buf, L"def");
    EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(key.GetInt(L"Text", 42), 42); }),
              static_cast<DWORD>(ERROR_UNSUPPORTED_TYPE));
    // A text longer than the buffer is no text of the buffer.
    RawPutStr(nullptr, L"Long", std::wstring(40, L'x'));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(key.GetStr(L"Long", buf, 16, L"def"), 3); }),
              static_cast<DWORD>(ERROR_MORE_DATA));
}

TEST_F(RegistryErrors, AWriteThroughAReadOnlyKeyLeavesAccessDenied)
{
    RawPutStr(nullptr, L"Text", L"old");
    RegKey key(root.c_str(), 0);
    ASSERT_TRUE(key.IsOpen());
    const BYTE bytes[] = {1, 2, 3};
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.PutStr(L"Text", L"new", 1)); }),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.PutStr(L"Other", L"new", 0)); }),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.PutInt(L"Number", 5)); }),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.PutBin(L"Bin", bytes, sizeof(bytes), REG_BINARY)); }),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.DelValue(L"Text")); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(RawGet(nullptr, L"Text").second.size(), 4 * sizeof(wchar_t));
}

TEST_F(RegistryErrors, AKeyThatIsNotOpenLeavesInvalidHandle)
{
    RegKey key;
    wchar_t name[16];
    EXPECT_EQ(ErrorAfter([&] { EXPECT_EQ(key.GetInt(L"Any", 1), 1); }), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.PutInt(L"Any", 1)); }), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.GetFirstSubKey(name, 16)); }),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(RegistryErrors, TheEndOfAnEnumerationIsNoMoreItems)
{
    RawPutStr(L"Only", L"Name", L"x");
    RegKey key(root.c_str(), 0);
    ASSERT_TRUE(key.IsOpen());
    wchar_t name[16];
    EXPECT_TRUE(key.GetFirstSubKey(name, 16));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.GetNextSubKey(name, 16)); }),
              static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
    EXPECT_EQ(ErrorAfter([&] { EXPECT_FALSE(key.GetFirstValue(name, 16)); }),
              static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
}

TEST_F(RegistryErrors, AWriteThatSucceedsLeavesNoTraceOfItsProbes)
{
    RegKey key(root.c_str(), 1);
    ASSERT_TRUE(key.IsOpen());
    const BYTE bytes[] = {1, 2, 3};
    // Each of these first looks for a value that is not there yet.
    EXPECT_NE(ErrorAfter([&] { EXPECT_TRUE(key.PutStr(L"Text", L"new", 1)); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(ErrorAfter([&] { EXPECT_TRUE(key.PutDword(L"Number", 5, 1)); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(ErrorAfter([&] { EXPECT_TRUE(key.PutBin(L"Bin", bytes, sizeof(bytes), REG_BINARY)); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(ErrorAfter([&] { EXPECT_TRUE(key.DelValue(L"Missing")); }), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(ErrorAfter([&] { EXPECT_TRUE(key.DelSubKey(L"Missing")); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
