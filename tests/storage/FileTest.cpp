#include <gtest/gtest.h>

#include "FileBytes.h"
#include "PVDLL.h"
#include "common/GuardedBuffer.h"
#include "common/TestSupport.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class File : public testing::Test {
protected:
    std::wstring Make(const wchar_t* name, const std::string& bytes)
    {
        std::wstring path = temp / name;
        EXPECT_TRUE(PutBytes(path, bytes));
        return path;
    }

    TempFolder temp;
};

struct Chunks {
    std::vector<unsigned long> sizes;
    size_t cancelAt = 0;  // 0: never

    static int Record(void* context, unsigned long bytes)
    {
        Chunks* self = static_cast<Chunks*>(context);
        self->sizes.push_back(bytes);
        return self->sizes.size() != self->cancelAt;
    }
};

struct WipeCalls {
    std::vector<int> passes;
    std::vector<unsigned long> bytes;
    size_t cancelAt = 0;  // 0: never

    static int Record(void* context, int pass, unsigned long n)
    {
        WipeCalls* self = static_cast<WipeCalls*>(context);
        self->passes.push_back(pass);
        self->bytes.push_back(n);
        return self->passes.size() != self->cancelAt;
    }
};

} // namespace

// --- the last file error and opening ------------------------------------------------

TEST_F(File, TheLastErrorIsAnHresult)
{
    CoreIOObj::SetLastWin32Error(ERROR_ACCESS_DENIED);
    EXPECT_EQ(ZnFile::GetLastHRESULT(), static_cast<long>(0x80070005));
    CoreIOObj::SetLastWin32Error(0);
    EXPECT_EQ(ZnFile::GetLastHRESULT(), 0);
    CoreIOObj::SetLastWin32Error(static_cast<unsigned long>(E_OUTOFMEMORY));
    EXPECT_EQ(ZnFile::GetLastHRESULT(), E_OUTOFMEMORY);

    CoreFile missing((temp / L"missing").c_str(), 0);
    EXPECT_FALSE(missing.IsReady());
    EXPECT_EQ(ZnFile::GetLastHRESULT(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    ZnFile fresh;
    EXPECT_EQ(ZnFile::GetLastHRESULT(), S_OK);
}

TEST_F(File, AWriterHasTheFileAlone)
{
    std::wstring path = temp / L"w.bin";
    CoreFile writer(path.c_str(), 1);
    ASSERT_TRUE(writer.IsReady());
    EXPECT_TRUE(writer.IsToWrite());
    CoreFile reader(path.c_str(), 0);
    EXPECT_FALSE(reader.IsReady());
    writer.Close();
    EXPECT_TRUE(reader.Open(path.c_str(), 0));
    EXPECT_FALSE(reader.IsToWrite());
    CoreFile second(path.c_str(), 0);
    EXPECT_TRUE(second.IsReady());
}

TEST_F(File, ReadFileReadsExactlyTheCountOrFails)
{
    std::wstring path = Make(L"r.bin", "12345");
    char buf[8] = {};
    EXPECT_TRUE(CoreFile::ReadFile(path.c_str(), buf, 5));
    EXPECT_STREQ(buf, "12345");
    EXPECT_FALSE(CoreFile::ReadFile(path.c_str(), buf, 6));
    EXPECT_TRUE(CoreFile::ReadFile(path.c_str(), nullptr, 0));
    EXPECT_FALSE(CoreFile::ReadFile((temp / L"none").c_str(), nullptr, 0));
}

// --- replacing a file's content ----------------------------------------------------------

TEST_F(File, WriteFileReplacesTheContentAndKeepsAttributes)
{
    std::wstring path = Make(L"data.bin", "a much longer old content");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    bool hiddenSticks = GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN;
    ASSERT_TRUE(CoreFile::WriteFile(path.c_str(), "new", 3));
    EXPECT_EQ(GetBytes(path), "new");
    if (hiddenSticks) {
        EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    }
    ASSERT_TRUE(CoreFile::WriteFile(path.c_str(), nullptr, 0));
    EXPECT_EQ(GetBytes(path), "");
    EXPECT_EQ(FolderNames(temp.Path()).size(), 1u);

    std::wstring created = temp / L"created.bin";
    ASSERT_TRUE(CoreFile::WriteFile(created.c_str(), "x", 1));
    EXPECT_EQ(GetBytes(created), "x");
    if (!hiddenSticks)
        GTEST_SKIP() << "this file system keeps no hidden attribute";
}

TEST_F(File, WriteFileRefusesWhatCouldNotBeWrittenInPlace)
{
    std::wstring path = Make(L"ro.bin", "old");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(CoreFile::WriteFile(path.c_str(), "new", 3));
    EXPECT_EQ(GetBytes(path), "old");
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    std::wstring folder = temp / L"sub";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(CoreFile::WriteFile(folder.c_str(), "new", 3));
    EXPECT_TRUE(IsFolderExists(folder.c_str()));
    EXPECT_EQ(FolderNames(temp.Path()).size(), 2u);
}

// --- copying -------------------------------------------------------------------------------

TEST_F(File, CopyingFortyMegabytesTakesA32AndAn8MegabyteChunk)
{
    std::string big(40 << 20, '\0');
    for (size_t i = 0; i < big.size(); i += 4096)
        big[i] = static_cast<char>(i >> 12);
    std::wstring src = Make(L"big.bin", big);
    std::wstring dst = temp / L"copy.bin";
    Chunks chunks;
    ASSERT_TRUE(CoreFile::CopyFileW(src.c_str(), dst.c_str(), 1, &Chunks::Record, &chunks));
    EXPECT_EQ(chunks.sizes, (std::vector<unsigned long>{32ul << 20, 8ul << 20}));
    EXPECT_TRUE(GetBytes(dst) == big);
}

TEST_F(File, CopyingCutsALongerDestination)
{
    std::wstring src = Make(L"s.bin", "short");
    std::wstring dst = Make(L"d.bin", "a longer old destination");
    ASSERT_TRUE(CoreFile::CopyFileW(src.c_str(), dst.c_str(), 0));
    EXPECT_EQ(GetBytes(dst), "short");
}

TEST_F(File, AFailedCopyDeletesOnlyADestinationItCreated)
{
    std::wstring src = Make(L"s.bin", std::string(1000, 's'));
    Chunks cancel;
    cancel.cancelAt = 1;
    std::wstring fresh = temp / L"fresh.bin";
    EXPECT_FALSE(CoreFile::CopyFileW(src.c_str(), fresh.c_str(), 0, &Chunks::Record, &cancel));
    EXPECT_EQ(ZnFile::GetLastHRESULT(), HRESULT_FROM_WIN32(ERROR_CANCELLED));
    EXPECT_FALSE(Exists(fresh));

    std::wstring existing = Make(L"existing.bin", "old");
    cancel.sizes.clear();
    EXPECT_FALSE(CoreFile::CopyFileW(src.c_str(), existing.c_str(), 0, &Chunks::Record, &cancel));
    EXPECT_TRUE(Exists(existing));
}

TEST_F(File, CopyFileSafeReplacesOrPutsTheOldFileBack)
{
    std::wstring src = Make(L"s.bin", "new");
    std::wstring dst = Make(L"d.bin", "old");
    ASSERT_TRUE(CoreFile::CopyFileSafe(src.c_str(), dst.c_str()));
    EXPECT_EQ(GetBytes(dst), "new");
    EXPECT_FALSE(Exists(dst + L"~"));

    ASSERT_TRUE(PutBytes(dst, "old"));
    EXPECT_FALSE(CoreFile::CopyFileSafe((temp / L"missing").c_str(), dst.c_str()));
    EXPECT_EQ(ZnFile::GetLastHRESULT(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetBytes(dst), "old");
    EXPECT_FALSE(Exists(dst + L"~"));
}

TEST_F(File, CopyFileSafeRefusesATargetWhoseBackupNameWouldBeCut)
{
    std::wstring dst = temp.Path() + L"\\";
    dst += std::wstring(259 - dst.size(), L'n');
    ASSERT_EQ(dst.size(), 259u);
    if (!PutBytes(dst, "old"))
        GTEST_SKIP() << "this file system refuses a name of " << 259 - temp.Path().size() - 1 << " characters";
    std::wstring src = Make(L"s.bin", "new");
    EXPECT_FALSE(CoreFile::CopyFileSafe(src.c_str(), dst.c_str()));
    EXPECT_EQ(ZnFile::GetLastHRESULT(), HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(GetBytes(dst), "old");
}

TEST_F(File, CopyingKeepsTheCompressionState)
{
    std::wstring src = Make(L"s.bin", std::string(10000, 'c'));
    {
        CoreFile file(src.c_str(), 1);
        ASSERT_TRUE(file.IsReady());
        if (!file.SetCompression(COMPRESSION_FORMAT_DEFAULT))
            GTEST_SKIP() << "this file system does not compress (FSCTL_SET_COMPRESSION fails)";
    }
    std::wstring dst = temp / L"d.bin";
    ASSERT_TRUE(CoreFile::CopyFileW(src.c_str(), dst.c_str(), 0));
    CoreFile copy(dst.c_str(), 0);
    EXPECT_NE(copy.GetCompression(), COMPRESSION_FORMAT_NONE);
}

// --- secure deletion -------------------------------------------------------------------------

TEST_F(File, AWipeCallsBackForEveryChunkOfEveryPassAndCanBeCancelled)
{
    const size_t size = 0x20000 + 100;  // one full buffer and a rest
    std::wstring path = Make(L"secret.bin", std::string(size, 'S'));
    WipeCalls cancel;
    cancel.cancelAt = 1;
    EXPECT_FALSE(ZnFile::WipeDelete(path.c_str(), wipeThreePass, 0, &WipeCalls::Record, &cancel));
    EXPECT_EQ(cancel.passes, std::vector<int>{0});
    std::string left = GetBytes(path);
    ASSERT_EQ(left.size(), size);
    EXPECT_EQ(left[0], '\x55');
    EXPECT_EQ(left[size - 1], 'S');

    WipeCalls calls;
    int deleted = ZnFile::WipeDelete(path.c_str(), wipeThreePass, 1, &WipeCalls::Record, &calls);
    EXPECT_EQ(calls.passes, (std::vector<int>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(calls.bytes, (std::vector<unsigned long>{0x20000, 100, 0x20000, 100, 0x20000, 100}));
    if (!deleted) {
        // The renames failed: the file is back under its own name, wiped.
        EXPECT_EQ(GetBytes(path), std::string(size, '\0'));
        GTEST_SKIP() << "the file system refuses the 258-character wipe names (error 0x" << std::hex
                     << ZnFile::GetLastHRESULT() << ")";
    }
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(FolderNames(temp.Path()).empty());
}

TEST_F(File, WipeRenameGivesTheWholePath258Characters)
{
    std::wstring path = Make(L"w.bin", "x");
    wchar_t buf[MAX_PATH];
    wcscpy(buf, path.c_str());
    ASSERT_TRUE(ZnFile::WipeRename(buf)) << std::hex << ZnFile::GetLastHRESULT();
    EXPECT_EQ(wcslen(buf), 258u);
    EXPECT_TRUE(ZnFile::IsWipedName(LocateFileName(buf)));
    EXPECT_EQ(LocateFileName(buf)[0], 0xAAAA);
    EXPECT_EQ(GetBytes(buf), "x");
    EXPECT_FALSE(Exists(path));

    std::vector<std::wstring> names = FolderNames(temp.Path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(ZnFile::IsWipedName(names[0].c_str()));
    size_t expected = 258 - temp.Path().size() - 1;
    if (names[0].size() != expected)
        GTEST_SKIP() << "the file system keeps " << names[0].size() << " of the " << expected
                     << " characters: Linux allows 255 bytes of UTF-8 in a name and U+5555 takes three";
}

TEST_F(File, WipeRenameFailsCleanlyWhenTheFolderLeavesNoRoomForAName)
{
    wchar_t buf[MAX_PATH];
    std::wstring path = L"C:\\" + std::wstring(254, L'f') + L"\\x";
    ASSERT_EQ(path.size(), 259u);
    wcscpy(buf, path.c_str());
    EXPECT_FALSE(ZnFile::WipeRename(buf));
    EXPECT_EQ(ZnFile::GetLastHRESULT(), HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_STREQ(buf, path.c_str());
}

TEST_F(File, OnlyTheTwoWipeCharactersMakeAWipedName)
{
    EXPECT_TRUE(ZnFile::IsWipedName(L""));
    EXPECT_TRUE(ZnFile::IsWipedName(L"\u5555\u5555\uAAAA"));
    EXPECT_FALSE(ZnFile::IsWipedName(L"\u5555a"));
}

// --- lists ---------------------------------------------------------------------------------------

TEST_F(File, ADeleteListJoinsTheFolderToEveryName)
{
    const wchar_t names[] = L"a.txt\0b\0";
    unsigned needed = ZnFile::MakeDeleteList(L"C:\\d", names, nullptr, 0);
    const wchar_t expected[] = L"C:\\d\\a.txt\0C:\\d\\b\0";
    EXPECT_EQ(needed, sizeof(expected) / sizeof(wchar_t));
    GuardedBuffer<wchar_t> out(needed, L'#');
    EXPECT_EQ(ZnFile::MakeDeleteList(L"C:\\d\\", names, out.data(), needed), needed);
    EXPECT_EQ(std::wmemcmp(out.data(), expected, needed), 0);
    EXPECT_TRUE(out.GuardIntact());
    EXPECT_EQ(ZnFile::MakeDeleteList(L"C:\\d", names, out.data(), needed - 1), 0u);
    EXPECT_EQ(out[0], L'\0');
}

// --- the file object ----------------------------------------------------------------------------

TEST_F(File, AMapCoversTheRequestedBytesAcrossTheGranularity)
{
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    std::wstring path = Make(L"m.bin", bytes);
    ZnFile file(path.c_str(), 0);
    ASSERT_TRUE(file.IsReady());
    // The view starts at 0; the 100 bytes reach past 65536.
    const unsigned char* p = static_cast<const unsigned char*>(file.OpenMap(65500, 100, 0));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::memcmp(p, bytes.data() + 65500, 100), 0);

    const unsigned char* q = static_cast<const unsigned char*>(file.OpenMap(131000, 1000, 0));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(std::memcmp(q, bytes.data() + 131000, 1000), 0);
    // The first view is gone: its memory is free or holds the new view.
    MEMORY_BASIC_INFORMATION first, second;
    ASSERT_TRUE(VirtualQuery(p, &first, sizeof(first)));
    ASSERT_TRUE(VirtualQuery(q, &second, sizeof(second)));
    EXPECT_TRUE(first.State == MEM_FREE || first.AllocationBase == second.AllocationBase);
    file.Close();
    ASSERT_TRUE(VirtualQuery(q, &second, sizeof(second)));
    EXPECT_EQ(second.State, static_cast<DWORD>(MEM_FREE));
}

TEST_F(File, AWritableMapGrowsTheFile)
{
    std::wstring path = Make(L"m.bin", "abc");
    {
        ZnFile file(path.c_str(), 1);
        char* p = static_cast<char*>(file.OpenMap(70000, 4, 0));
        ASSERT_NE(p, nullptr);
        std::memcpy(p, "wxyz", 4);
    }
    std::string bytes = GetBytes(path);
    ASSERT_EQ(bytes.size(), 70004u);
    EXPECT_EQ(bytes.substr(0, 3), "abc");
    EXPECT_EQ(bytes.substr(70000), "wxyz");

    ZnFile reader(path.c_str(), 0);
    EXPECT_EQ(reader.OpenMap(80000, 4, 0), nullptr);
}

TEST_F(File, StringRecordsStayInStepWhateverTheBuffer)
{
    std::wstring path = temp / L"s.bin";
    {
        CoreFile file(path.c_str(), 1);
        EXPECT_TRUE(file.WriteStr("hello"));
        EXPECT_FALSE(file.WriteStr(std::string(256, 'x').c_str()));
        EXPECT_TRUE(file.WriteStr(std::string(255, 'y').c_str()));
        EXPECT_TRUE(file.WriteStr("end"));
    }
    EXPECT_EQ(GetBytes(path).size(), 6 + 256 + 4u);
    CoreFile file(path.c_str(), 0);
    char small[4] = {'#', '#', '#', '#'};
    EXPECT_FALSE(file.ReadStr(small, 3));
    EXPECT_STREQ(small, "he");
    char big[300];
    EXPECT_TRUE(file.ReadStr(big));
    EXPECT_EQ(std::string(big), std::string(255, 'y'));
    EXPECT_TRUE(file.ReadStr(big, sizeof(big)));
    EXPECT_STREQ(big, "end");
    EXPECT_FALSE(file.ReadStr(big));
}

TEST_F(File, PutsEndsALineWithCarriageReturnAndLineFeed)
{
    std::wstring path = temp / L"p.txt";
    {
        CoreFile file(path.c_str(), 1);
        EXPECT_TRUE(file.puts(L"%s=%d\n", L"k\u00E9y", 5));
        EXPECT_TRUE(file.puts("%s\n", "narrow"));
        EXPECT_TRUE(file.puts("%s\n", std::string(1022, 'n').c_str()));
    }
    std::string bytes = GetBytes(path);
    std::string wide = Utf16Bytes(L"k\u00E9y=5\r\n");
    EXPECT_EQ(bytes.substr(0, wide.size()), wide);
    std::string narrow = bytes.substr(wide.size());
    // The line fills the 1024-byte work area: its last character gives way
    // to the CR.
    EXPECT_EQ(narrow, "narrow\r\n" + std::string(1021, 'n') + "\r\n");
}

TEST_F(File, MarkersGoAtTheStart)
{
    std::wstring path = Make(L"m.txt", "0123");
    {
        CoreFile file(path.c_str(), 1);
        file.MoveToEnd();
        EXPECT_TRUE(file.WriteUTF8Marker());
    }
    EXPECT_EQ(GetBytes(path), "\xEF\xBB\xBF" "3");
}

TEST_F(File, CoreIOForwardsToTheFileItOwns)
{
    std::wstring path = temp / L"io.bin";
    {
        CoreIO io(path.c_str(), 1);
        ASSERT_TRUE(io.IsReady());
        EXPECT_TRUE(io.Write(0x12345678u));
        EXPECT_EQ(io.GetSize64(), 4u);
        EXPECT_EQ(io.MoveTo64(0, FILE_BEGIN), 0);
        unsigned value = 0;
        EXPECT_TRUE(io.Read(value));
        EXPECT_EQ(value, 0x12345678u);
    }
    CoreIO missing((temp / L"none").c_str(), 0);
    EXPECT_FALSE(missing.IsReady());
    char c;
    EXPECT_FALSE(missing.ReadBin(&c, 1, nullptr));
}

TEST_F(File, WholeFileQueriesComeFromTheDirectoryEntry)
{
    std::wstring path = Make(L"q.bin", "12345");
    EXPECT_EQ(CoreFile::FileSize(path.c_str()), 5u);
    unsigned long high = 9;
    EXPECT_EQ(CoreFile::GetSize(path.c_str(), &high), 5u);
    EXPECT_EQ(high, 0u);
    EXPECT_NE(CoreFile::GetAttrib(path.c_str()), 0u);
    EXPECT_EQ(CoreFile::GetAttrib((temp / L"none").c_str()), 0u);
    // A mask names no single file.
    WIN32_FIND_DATAW data;
    EXPECT_FALSE(CoreFile::GetInfo((temp / L"*.bin").c_str(), &data));
    EXPECT_TRUE(CoreFile::CanFind(path.c_str()));
    EXPECT_FALSE(CoreFile::CanFind((temp / L"none").c_str()));
    EXPECT_FALSE(CoreFile::CanFind((temp / L"none\\deeper").c_str()));
}

TEST_F(File, TheScopeGuardsPutBackWhatTheyChanged)
{
    std::wstring path = Make(L"a.bin", "x");
    {
        CoreFileAttrib guard(path.c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_TRUE(guard.IsValid());
        EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_FALSE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    CoreFileAttrib none((temp / L"none").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(none.IsValid());

    UINT before = SetErrorMode(0);
    {
        NoFloppyDiskError quiet;
        EXPECT_EQ(GetErrorMode() & SEM_FAILCRITICALERRORS, static_cast<UINT>(SEM_FAILCRITICALERRORS));
    }
    EXPECT_EQ(GetErrorMode(), 0u);
    SetErrorMode(before);
}
