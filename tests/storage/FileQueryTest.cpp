#include <gtest/gtest.h>

#include "PVDLL.h"
#include "common/RawFile.h"
#include "common/TestSupport.h"

#include <string>

namespace {

void MakeFile(const std::wstring& path)
{
    ASSERT_TRUE(PutBytes(path, "data"));
}

class Held {
public:
    Held(const std::wstring& path, DWORD access, DWORD share)
        : h(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~Held()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    bool Open() const { return h != INVALID_HANDLE_VALUE; }

private:
    HANDLE h;
};

} // namespace

TEST(FileInUse, AFileHeldOpenByAnotherHandleIsInUse)
{
    TempFolder temp;
    std::wstring file = temp / L"held.bin";
    MakeFile(file);
    EXPECT_FALSE(IsFileInUse(file.c_str()));
    {
        Held held(file, GENERIC_READ, 0);
        ASSERT_TRUE(held.Open());
        EXPECT_TRUE(IsFileInUse(file.c_str()));
    }
    {
        // Even a reader that lets everyone in keeps the file from being
        // had alone.
        Held shared(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(shared.Open());
        EXPECT_TRUE(IsFileInUse(file.c_str()));
    }
    EXPECT_FALSE(IsFileInUse(file.c_str()));
}

TEST(FileInUse, MissingPathsAndFoldersAreNotInUse)
{
    TempFolder temp;
    EXPECT_FALSE(IsFileInUse(temp.Path().c_str()));
    EXPECT_FALSE(IsFileInUse((temp / L"none").c_str()));
    EXPECT_FALSE(IsFileInUse((L"C:\\" + std::wstring(300, L'a')).c_str()));
    EXPECT_FALSE(IsFileInUse(L""));
    EXPECT_FALSE(IsFileInUse(nullptr));
}

TEST(FileInUse, TheProbeLeavesTheFileTimesAlone)
{
    TempFolder temp;
    std::wstring file = temp / L"times.bin";
    MakeFile(file);
    // Round values a file system of coarse resolution keeps as they are.
    SYSTEMTIME st = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME created, accessed, written;
    SystemTimeToFileTime(&st, &created);
    st.wYear = 2002;
    SystemTimeToFileTime(&st, &accessed);
    st.wYear = 2003;
    SystemTimeToFileTime(&st, &written);
    HANDLE h = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileTime(h, &created, &accessed, &written);
    CloseHandle(h);

    EXPECT_FALSE(IsFileInUse(file.c_str()));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &written), 0);
    EXPECT_EQ(CompareFileTime(&data.ftLastAccessTime, &accessed), 0);
}

TEST(FileInUse, AReadOnlyFileIsInUseOnlyWhenHeld)
{
    TempFolder temp;
    std::wstring file = temp / L"readonly.bin";
    MakeFile(file);
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(IsFileInUse(file.c_str()));
    {
        Held held(file, GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(held.Open());
        EXPECT_TRUE(IsFileInUse(file.c_str()));
    }
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}
