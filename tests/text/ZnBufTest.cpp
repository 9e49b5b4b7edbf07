#include <gtest/gtest.h>

#include "PVDLL.h"
#include "TextProbes.h"

#include <type_traits>
#include <utility>

// A block handed to two owners would be released twice.
static_assert(!std::is_copy_constructible_v<ZnBuf> && !std::is_copy_assignable_v<ZnBuf>);
static_assert(!std::is_copy_constructible_v<ZnBufZ> && !std::is_copy_assignable_v<ZnBufZ>);
// A secret must not move into a buffer that frees it unwiped.
static_assert(!std::is_constructible_v<ZnBuf, ZnBufZ&&> && !std::is_assignable_v<ZnBuf&, ZnBufZ&&>);

TEST(ZnBuf, SizeZeroIsNotReadyAndEmpty)
{
    ZnBuf buf(0);
    EXPECT_FALSE(buf.IsReady());
    EXPECT_TRUE(buf.IsEmpty());
    EXPECT_EQ(static_cast<void*>(buf), nullptr);
}

TEST(ZnBuf, NewBlockIsZeroedAndEmptyUntilFirstByteSet)
{
    ZnBuf buf(16);
    ASSERT_TRUE(buf.IsReady());
    EXPECT_TRUE(buf.IsEmpty());
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_EQ(buf.GetAt(i), 0) << i;
    buf.SetAt(5, 'x');
    EXPECT_TRUE(buf.IsEmpty());
    buf.SetAt(0, 'a');
    EXPECT_FALSE(buf.IsEmpty());
    EXPECT_EQ(static_cast<char*>(buf)[5], 'x');
}

TEST(ZnBuf, MoveTransfersTheBlock)
{
    ZnBuf a(4);
    a.SetAt(0, 7);
    void* block = a;
    ZnBuf b(std::move(a));
    EXPECT_FALSE(a.IsReady());
    EXPECT_EQ(a.GetSize(), 0u);
    EXPECT_EQ(static_cast<void*>(b), block);
    EXPECT_EQ(b.GetSize(), 4u);

    ZnBuf c(2);
    c = std::move(b);
    EXPECT_EQ(static_cast<void*>(c), block);
    EXPECT_EQ(c.GetAt(0), 7);
    EXPECT_FALSE(b.IsReady());
}

TEST(ZnBufZ, BlockIsZeroWhenReleased)
{
    auto* buf = new ZnBufZ(32);
    for (unsigned i = 0; i < 32; ++i)
        buf->SetAt(i, 0xA5);
    HeapFreeSpy spy(static_cast<void*>(*buf), 32);
    ASSERT_TRUE(spy.Hooked());
    delete buf;
    EXPECT_TRUE(spy.Seen());
    EXPECT_TRUE(spy.WasZero());
}

TEST(ZnBufZ, ReleasedThroughBasePointerIsStillWiped)
{
    ZnBuf* buf = new ZnBufZ(8);
    for (unsigned i = 0; i < 8; ++i)
        buf->SetAt(i, 0xFF);
    HeapFreeSpy spy(static_cast<void*>(*buf), 8);
    delete buf;
    EXPECT_TRUE(spy.Seen());
    EXPECT_TRUE(spy.WasZero());
}

TEST(ZnBufZ, MoveAssignmentWipesTheBlockGivenUp)
{
    ZnBufZ secret(8);
    for (unsigned i = 0; i < 8; ++i)
        secret.SetAt(i, 0x5A);
    ZnBufZ other(4);
    HeapFreeSpy spy(static_cast<void*>(secret), 8);
    secret = std::move(other);
    EXPECT_TRUE(spy.Seen());
    EXPECT_TRUE(spy.WasZero());
    EXPECT_EQ(secret.GetSize(), 4u);
}
