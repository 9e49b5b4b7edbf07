#include <gtest/gtest.h>

#include "FileBytes.h"
#include "PVDLL.h"
#include "common/TestSupport.h"

#include <cstring>

namespace {

LARGE_INTEGER Offset(LONGLONG v)
{
    LARGE_INTEGER li;
    li.QuadPart = v;
    return li;
}

class MemStream : public testing::Test {
protected:
    unsigned char block[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    ZnMemStream stream{block, sizeof(block)};

    ULONGLONG SeekTo(LONGLONG offset, DWORD origin, HRESULT expected)
    {
        ULARGE_INTEGER pos;
        pos.QuadPart = 12345;
        EXPECT_EQ(stream.Seek(Offset(offset), origin, &pos), expected) << offset << " from " << origin;
        return pos.QuadPart;
    }
};

} // namespace

TEST_F(MemStream, WritesOnlyWhatFitsTheBlock)
{
    SeekTo(8, STREAM_SEEK_SET, S_OK);
    ULONG done = 99;
    EXPECT_EQ(stream.Write("abcd", 4, &done), E_INVALIDARG);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(block[8], 8);
    // A count that would wrap the position around is no smaller.
    EXPECT_EQ(stream.Write("abcd", 0xFFFFFFFF, &done), E_INVALIDARG);
    EXPECT_EQ(block[9], 9);
    EXPECT_EQ(stream.Write("ab", 2, nullptr), S_OK);
    EXPECT_EQ(std::memcmp(block + 8, "ab", 2), 0);
    EXPECT_EQ(SeekTo(0, STREAM_SEEK_END, S_OK), 10u);
}

TEST_F(MemStream, SeeksStayInsideTheBlock)
{
    EXPECT_EQ(SeekTo(10, STREAM_SEEK_SET, E_INVALIDARG), 0u);
    EXPECT_EQ(SeekTo(9, STREAM_SEEK_SET, S_OK), 9u);
    EXPECT_EQ(SeekTo(0, STREAM_SEEK_END, S_OK), 10u);
    EXPECT_EQ(SeekTo(-10, STREAM_SEEK_END, S_OK), 0u);
    EXPECT_EQ(SeekTo(-11, STREAM_SEEK_END, E_INVALIDARG), 0u);
    EXPECT_EQ(SeekTo(1, STREAM_SEEK_END, E_INVALIDARG), 0u);
    EXPECT_EQ(SeekTo(4, STREAM_SEEK_CUR, S_OK), 4u);
    // Before the block is outside it too, not a wrapped large position.
    EXPECT_EQ(SeekTo(-5, STREAM_SEEK_CUR, E_INVALIDARG), 4u);
    EXPECT_EQ(SeekTo(-4, STREAM_SEEK_CUR, S_OK), 0u);
    EXPECT_EQ(SeekTo(0x100000000ll, STREAM_SEEK_SET, E_NOTIMPL), 0u);
    EXPECT_EQ(SeekTo(0, 3, E_INVALIDARG), 0u);
    EXPECT_EQ(stream.Seek(Offset(2), STREAM_SEEK_SET, nullptr), S_OK);
}

TEST_F(MemStream, ReadsFewerBytesAtTheEnd)
{
    SeekTo(7, STREAM_SEEK_SET, S_OK);
    unsigned char buf[8] = {};
    ULONG done = 0;
    EXPECT_EQ(stream.Read(buf, 8, &done), S_OK);
    EXPECT_EQ(done, 3u);
    EXPECT_EQ(buf[0], 7);
    EXPECT_EQ(stream.Read(buf, 8, &done), S_OK);
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(stream.Read(buf, 1, nullptr), S_OK);
}

TEST_F(MemStream, AnswersAsTheOwnerKeepsIt)
{
    void* p = nullptr;
    EXPECT_EQ(stream.QueryInterface(__uuidof(IStream), &p), S_OK);
    EXPECT_EQ(p, static_cast<IStream*>(&stream));
    EXPECT_EQ(stream.QueryInterface(__uuidof(IUnknown), &p), S_OK);
    EXPECT_EQ(stream.QueryInterface(__uuidof(IPersist), &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(stream.AddRef(), 1u);
    EXPECT_EQ(stream.Release(), 0u);
    EXPECT_EQ(stream.Clone(nullptr), E_NOTIMPL);
}

TEST(FileStream, ReportsTheEndOfTheFileAndFailedWrites)
{
    TempFolder temp;
    std::wstring path = temp / L"f.bin";
    ASSERT_TRUE(PutBytes(path, "0123456789"));
    ZnFile file(path.c_str(), 0);
    ASSERT_TRUE(file.IsReady());
    ZnFileStream stream(&file);

    char buf[16] = {};
    ULONG done = 0;
    EXPECT_EQ(stream.Read(buf, 4, &done), S_OK);
    EXPECT_EQ(done, 4u);
    ULARGE_INTEGER pos;
    EXPECT_EQ(stream.Seek(Offset(-2), STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos.QuadPart, 8u);
    EXPECT_EQ(stream.Read(buf, 4, &done), S_FALSE);
    EXPECT_EQ(done, 2u);
    EXPECT_EQ(std::memcmp(buf, "89", 2), 0);

    // The file is open for reading only.
    HRESULT hr = stream.Write("x", 1, &done);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(stream.Seek(Offset(0x80000000ll), STREAM_SEEK_SET, &pos), E_NOTIMPL);
}
