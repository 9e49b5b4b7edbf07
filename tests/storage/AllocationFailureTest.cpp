// Out of memory as the library meets it: its heap (and its node pool's
// address space) refuses, and each function must fail with its usual
// failure result, give back what it had taken, and leave the caller's
// buffers, files and registry values as they were.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "FileBytes.h"
#include "PVDLL.h"
#include "RegistryFixture.h"
#include "common/FailingHeap.h"
#include "common/TestSupport.h"

namespace {

class CountingIni : public IniFile {
public:
    explicit CountingIni(const wchar_t* path, std::wstring text = L"") : IniFile(path), text(std::move(text)) {}

    unsigned MakeData(wchar_t* buf) override
    {
        if (buf)
            wmemcpy(buf, text.c_str(), text.size());
        return static_cast<unsigned>(text.size());
    }
    int CallBack(CallBackFlag, const wchar_t*, const wchar_t*, const wchar_t*) override
    {
        ++calls;
        return 1;
    }

    std::wstring text;
    int calls = 0;
};

} // namespace

using AllocationFailure = RegistryTest;

TEST_F(AllocationFailure, StrAllocCopyKeepsTheOldString)
{
    wchar_t* s = nullptr;
    unsigned len = 0;
    StrAllocCopy(s, len, L"old", 0);
    ASSERT_NE(s, nullptr);
    wchar_t* before = s;
    {
        FailingHeap heap;
        ASSERT_TRUE(heap.Hooked());
        SetLastError(0);
        StrAllocCopy(s, len, L"a new and longer text", 1);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        EXPECT_EQ(s, before);
        EXPECT_STREQ(s, L"old");
        EXPECT_EQ(len, 3u);

        StrRealloc(s, L"another");
        EXPECT_EQ(s, before);
        EXPECT_STREQ(s, L"old");
        EXPECT_GT(heap.Refused(), 0);
        EXPECT_EQ(heap.Live(), 0u);
    }
    StrAllocCopy(s, len, nullptr, 1);
    EXPECT_EQ(s, nullptr);
}

TEST_F(AllocationFailure, HexToStrGivesBackItsFirstBlockWhenTheSecondIsRefused)
{
    // Too long for out, so the decoder needs a second block to cut in.
    wchar_t hex[64];
    StrToHex(hex, 64, L"abcdefghij");
    wchar_t out[4] = L"old";
    FailingHeap heap(1);
    ASSERT_TRUE(heap.Hooked());
    EXPECT_EQ(HexToStr(out, 4, hex), 0);
    EXPECT_STREQ(out, L"");
    EXPECT_EQ(heap.Refused(), 1);
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, BuffersAndPathsStayEmpty)
{
    FailingHeap heap;
    ASSERT_TRUE(heap.Hooked());
    ZnBuf buf(64);
    EXPECT_FALSE(buf.IsReady());
    EXPECT_EQ(buf.GetSize(), 0u);

    UniPath path;
    EXPECT_FALSE(path.Set(L"C:\\Folder\\file.txt"));
    EXPECT_FALSE(path.IsReady());
    UniPath folder(L"C:\\Folder");
    EXPECT_FALSE(folder.IsReady());
    EXPECT_FALSE(path.Make(&folder, L"name"));
    EXPECT_FALSE(path.IsReady());
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, ACopiedPathWithoutMemoryHasNoPath)
{
    UniPath original(L"C:\\Folder\\file.txt");
    ASSERT_TRUE(original.IsReady());
    FailingHeap heap;
    ASSERT_TRUE(heap.Hooked());
    UniPath copy(original);
    EXPECT_FALSE(copy.IsReady());
    wchar_t out[8] = L"old";
    EXPECT_FALSE(copy.GetPath(out, 8));
    EXPECT_STREQ(original.Path(), L"C:\\Folder\\file.txt");
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, AnIniFileIsNeitherReadNorWritten)
{
    TempFolder temp;
    std::wstring path = temp / L"settings.ini";
    const std::string old = Utf16Bytes(L"\xFEFF[Old]\r\nKey=Value\r\n");
    ASSERT_TRUE(PutBytes(path, old));

    CountingIni ini(path.c_str(), L"[New]\r\nKey=Other\r\n");
    FailingHeap heap;
    ASSERT_TRUE(heap.Hooked());
    SetLastError(0);
    EXPECT_FALSE(ini.ReadData());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(ini.calls, 0);

    EXPECT_FALSE(ini.WriteData());
    EXPECT_EQ(GetBytes(path), old);
    EXPECT_EQ(FolderNames(temp.Path()).size(), 1u);
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, TextFilesAreNeitherReadNorWritten)
{
    TempFolder temp;
    std::wstring path = temp / L"text.txt";
    ASSERT_TRUE(PutBytes(path, "first line\nsecond line\n"));

    FailingHeap heap;
    ASSERT_TRUE(heap.Hooked());
    unsigned count = 99;
    ZnFileTextFmt fmt = fmtNone;
    EXPECT_EQ(ZnFile::ReadText(path.c_str(), &count, &fmt, L'?'), nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(ZnFile::ReadText(UniPath(path.c_str()), &count, &fmt, L'?'), nullptr);

    for (int f = fmtAnsi; f <= fmtAnsiUnix; ++f) {
        SCOPED_TRACE(f);
        SetLastError(0);
        EXPECT_FALSE(ZnFile::WriteText(path.c_str(), L"replaced", static_cast<ZnFileTextFmt>(f), 0));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        EXPECT_FALSE(ZnFile::AppendText(path.c_str(), L"appended", 0));
    }
    EXPECT_EQ(GetBytes(path), "first line\nsecond line\n");
    EXPECT_EQ(FolderNames(temp.Path()).size(), 1u);
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, FileCopiesAndWipesLeaveTheFilesAlone)
{
    TempFolder temp;
    std::wstring src = temp / L"src.bin";
    std::wstring dst = temp / L"dst.bin";
    std::wstring old = temp / L"old.bin";
    ASSERT_TRUE(PutBytes(src, "source bytes"));
    ASSERT_TRUE(PutBytes(old, "old bytes"));

    FailingHeap heap;
    ASSERT_TRUE(heap.Hooked());
    EXPECT_FALSE(CoreFile::CopyFileW(src.c_str(), dst.c_str(), 0));
    EXPECT_FALSE(Exists(dst));
    EXPECT_FALSE(CoreFile::CopyFileW(src.c_str(), old.c_str(), 0));
    EXPECT_EQ(GetBytes(old), "old bytes");

    SetLastError(0);
    EXPECT_FALSE(ZnFile::WipeDelete(src.c_str(), wipeThreePass, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GetBytes(src), "source bytes");
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, RegistryWritesThatCannotCompareLeaveTheStoredValue)
{
    const std::wstring longText(2000, L'a');
    RawPutStr(nullptr, L"Long", longText);
    const BYTE bytes[] = {1, 2, 3, 4, 5};
    RawPut(nullptr, L"Bin", REG_BINARY, bytes, sizeof(bytes));
    RegKey key(root.c_str(), 1);
    ASSERT_TRUE(key.IsOpen());

    FailingHeap heap;
    ASSERT_TRUE(heap.Hooked());
    SetLastError(0);
    EXPECT_FALSE(key.PutStr(L"Long", std::wstring(2000, L'b').c_str(), 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    const BYTE other[] = {5, 4, 3, 2, 1};
    EXPECT_FALSE(key.PutBin(L"Bin", other, sizeof(other), REG_BINARY));

    auto stored = RawGet(nullptr, L"Long");
    EXPECT_EQ(stored.first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(stored.second.data())), longText);
    EXPECT_EQ(RawGet(nullptr, L"Bin").second, std::vector<BYTE>(bytes, bytes + sizeof(bytes)));
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, ARegistryReadIntoItsOwnDefaultKeepsTheDefault)
{
    RawPutStr(nullptr, L"Long", std::wstring(500, L'z'));
    RegKey key(root.c_str(), 0);
    ASSERT_TRUE(key.IsOpen());
    wchar_t buf[64] = L"kept";
    FailingHeap heap;
    ASSERT_TRUE(heap.Hooked());
    EXPECT_EQ(key.GetStr(L"Long", buf, 64, buf), 4);
    EXPECT_STREQ(buf, L"kept");

    LOGFONTW* font = nullptr;
    LOGFONTW stored = {};
    stored.lfHeight = -12;
    RawPut(nullptr, L"Font", REG_BINARY, &stored, sizeof(stored));
    EXPECT_FALSE(RegGetLogFont(key, L"Font", font));
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(heap.Live(), 0u);
}

TEST_F(AllocationFailure, ARenameThatCannotCopyKeepsTheOldKey)
{
    RawPutStr(L"Old", L"Name", L"value");
    RawPutDword(L"Old\\Inner", L"Number", 7);
    RegKey key(root.c_str(), 1);
    ASSERT_TRUE(key.IsOpen());
    {
        FailingHeap heap;
        ASSERT_TRUE(heap.Hooked());
        EXPECT_FALSE(key.RenameSubkey(L"Old", L"New"));
        EXPECT_EQ(heap.Live(), 0u);
    }
    EXPECT_TRUE(RawExists(L"Old\\Inner"));
    EXPECT_EQ(RawGet(L"Old", L"Name").first, static_cast<DWORD>(REG_SZ));
}

TEST_F(AllocationFailure, AListWithoutNodesStaysAsItWas)
{
    ZnList list;
    int items[4] = {};
    POS last = nullptr;
    size_t added = 0;
    {
        NoAddressSpace refuse;
        ASSERT_TRUE(refuse.Hooked());
        // The slabs the pool already has run out sooner or later.
        for (; added < 1000000; ++added) {
            POS pos = list.AddTail(&items[added % 4]);
            if (!pos)
                break;
            last = pos;
        }
        ASSERT_LT(added, 1000000u) << "the pool never ran out";
        EXPECT_EQ(list.GetCount(), static_cast<int>(added));
        EXPECT_EQ(list.GetTailPos(), last);
        EXPECT_EQ(list.AddHead(&items[0]), nullptr);
        EXPECT_EQ(list.InsertAfter(last, &items[1]), nullptr);
        EXPECT_EQ(list.GetCount(), static_cast<int>(added));
        EXPECT_EQ(list.GetTailPos(), last);
    }
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_NE(list.AddTail(&items[0]), nullptr);
}
