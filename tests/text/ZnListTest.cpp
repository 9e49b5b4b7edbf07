#include <gtest/gtest.h>

#include <vector>

#include "PVDLL.h"

namespace {

int x1, x2, x3, y1, y2;

std::vector<void*> Items(const ZnList& list)
{
    std::vector<void*> items;
    for (POS pos = list.GetHeadPos(); pos;)
        items.push_back(list.GetNext(pos));
    return items;
}

std::vector<void*> ItemsBackwards(const ZnList& list)
{
    std::vector<void*> items;
    for (POS pos = list.GetTailPos(); pos;)
        items.push_back(list.GetPrev(pos));
    return items;
}

// Walks the links both ways and checks them against the count.
void ExpectConsistent(const ZnList& list)
{
    std::vector<void*> forward = Items(list);
    std::vector<void*> backward = ItemsBackwards(list);
    ASSERT_EQ(static_cast<int>(forward.size()), list.GetCount());
    ASSERT_EQ(forward.size(), backward.size());
    for (size_t i = 0; i < forward.size(); ++i)
        EXPECT_EQ(forward[i], backward[backward.size() - 1 - i]);
    EXPECT_EQ(list.IsEmpty() != 0, list.GetHeadPos() == nullptr);
    EXPECT_EQ(list.IsEmpty() != 0, list.GetTailPos() == nullptr);
}

std::vector<void*> removed;
unsigned __int64 seenContext;

int RecordRemoval(unsigned __int64 context, unsigned int event, void* item)
{
    EXPECT_EQ(event, 1u);
    seenContext = context;
    removed.push_back(item);
    return 1;
}

ZnList MakeX123()
{
    ZnList list;
    list.AddTail(&x1);
    list.AddTail(&x2);
    list.AddTail(&x3);
    return list;
}

// Takes its nodes from a pool, as a subclass may.
class PooledList : public ZnList {
public:
    ~PooledList() override { RemoveAll(); }
    int created = 0;
    int deleted = 0;

protected:
    ZnNode* CreateNode() override
    {
        ++created;
        return &pool[next++];
    }
    void DeleteNode(void*) override { ++deleted; }

private:
    ZnNode pool[16];
    int next = 0;
};

} // namespace

TEST(ZnList, TailInsertionIteratesInOrder)
{
    ZnList list = MakeX123();
    EXPECT_EQ(Items(list), (std::vector<void*>{&x1, &x2, &x3}));
    EXPECT_EQ(list.GetIndex(list.GetTailPos()), 2);
    EXPECT_EQ(list.GetIndex(nullptr), -1);
    EXPECT_EQ(list.FindIndex(3), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), &x2);
    EXPECT_EQ(list.GetHead(), &x1);
    EXPECT_EQ(list.GetTail(), &x3);
    ExpectConsistent(list);
}

TEST(ZnList, RemoveAtMovesToTheFollowingNode)
{
    ZnList list = MakeX123();
    POS pos = list.FindIndex(1);
    list.RemoveAt(pos);
    EXPECT_EQ(list.GetAt(pos), &x3);
    EXPECT_EQ(Items(list), (std::vector<void*>{&x1, &x3}));
    pos = list.GetTailPos();
    list.RemoveAt(pos);
    EXPECT_EQ(pos, nullptr);
    ExpectConsistent(list);
}

TEST(ZnList, RemovingInsideAForwardLoop)
{
    ZnList list = MakeX123();
    list.AddTail(&x2);
    for (POS pos = list.GetHeadPos(); pos;) {
        if (list.GetAt(pos) == &x2)
            list.RemoveAt(pos);
        else
            list.GetNext(pos);
    }
    EXPECT_EQ(Items(list), (std::vector<void*>{&x1, &x3}));
    ExpectConsistent(list);
}

TEST(ZnList, CallbackHearsEveryLeavingItemTailFirst)
{
    removed.clear();
    {
        ZnList list = MakeX123();
        list.SetCallback(77, RecordRemoval);
        list.RemoveAll();
        EXPECT_EQ(removed, (std::vector<void*>{&x3, &x2, &x1}));
        EXPECT_EQ(seenContext, 77u);
        EXPECT_TRUE(list.IsEmpty());

        removed.clear();
        list.AddTail(&x1);
        list.AddTail(static_cast<void*>(nullptr));
        list.AddTail(&x2);
        list.AddTail(&x3);
        POS pos = list.FindIndex(2);
        EXPECT_EQ(list.ExtractAt(pos), &x2);
        list.SetAt(list.GetHeadPos(), &y1);
        EXPECT_TRUE(removed.empty());
        EXPECT_EQ(list.RemoveHead(), &y1);
        EXPECT_EQ(list.RemoveTail(), &x3);
        EXPECT_EQ(removed, (std::vector<void*>{&y1, &x3}));
        removed.clear();
    }
    EXPECT_TRUE(removed.empty());  // the null item left without a call
}

TEST(ZnList, DestructorTellsTheCallbackOfWhatIsLeft)
{
    removed.clear();
    {
        ZnList list = MakeX123();
        list.SetCallback(0, RecordRemoval);
    }
    EXPECT_EQ(removed, (std::vector<void*>{&x3, &x2, &x1}));
}

TEST(ZnList, MoveAfterReordersWithoutNewNodes)
{
    PooledList list;
    list.AddTail(&x1);
    POS p2 = list.AddTail(&x2);
    POS p3 = list.AddTail(&x3);
    EXPECT_EQ(list.MoveAfter(p3, nullptr), p3);
    EXPECT_EQ(Items(list), (std::vector<void*>{&x3, &x1, &x2}));
    list.MoveAfter(p2, list.Find(&x1));
    EXPECT_EQ(Items(list), (std::vector<void*>{&x3, &x1, &x2}));
    list.MoveAfter(p3, p2);
    EXPECT_EQ(Items(list), (std::vector<void*>{&x1, &x2, &x3}));
    list.MoveAfter(p3, p3);
    EXPECT_EQ(Items(list), (std::vector<void*>{&x1, &x2, &x3}));
    list.MoveAfter(list.GetHeadPos(), nullptr);
    EXPECT_EQ(Items(list), (std::vector<void*>{&x1, &x2, &x3}));
    EXPECT_EQ(list.created, 3);
    EXPECT_EQ(list.deleted, 0);
    ExpectConsistent(list);
}

TEST(ZnList, AddingAnotherListCopiesItsItemsInOrder)
{
    ZnList list;
    list.AddTail(&x1);
    list.AddTail(&x2);
    ZnList other;
    other.AddTail(&y1);
    other.AddTail(&y2);
    list.AddHead(&other);
    EXPECT_EQ(Items(list), (std::vector<void*>{&y1, &y2, &x1, &x2}));
    EXPECT_EQ(Items(other), (std::vector<void*>{&y1, &y2}));
    list.AddTail(&other);
    EXPECT_EQ(Items(list), (std::vector<void*>{&y1, &y2, &x1, &x2, &y1, &y2}));
    ExpectConsistent(list);
    ExpectConsistent(other);
}

TEST(ZnList, AddingAListToItselfDoublesIt)
{
    ZnList list;
    list.AddTail(&x1);
    list.AddTail(&x2);
    list.AddTail(&list);
    EXPECT_EQ(Items(list), (std::vector<void*>{&x1, &x2, &x1, &x2}));
    list.AddHead(&list);
    EXPECT_EQ(list.GetCount(), 8);
    ExpectConsistent(list);
}

TEST(ZnList, InsertionAtNullPositionsAndAtTheEnds)
{
    ZnList list;
    POS only = list.InsertBefore(nullptr, &x2);
    EXPECT_EQ(list.GetHeadPos(), only);
    EXPECT_EQ(list.GetTailPos(), only);
    list.InsertAfter(nullptr, &x3);
    list.InsertBefore(only, &x1);
    list.InsertAfter(list.GetTailPos(), &y1);
    list.InsertBefore(list.GetHeadPos(), &y2);
    EXPECT_EQ(Items(list), (std::vector<void*>{&y2, &x1, &x2, &x3, &y1}));
    ExpectConsistent(list);
}

TEST(ZnList, FindUsesPointerIdentityAfterTheStart)
{
    ZnList list = MakeX123();
    POS second = list.AddTail(&x1);
    POS first = list.Find(&x1);
    EXPECT_EQ(first, list.GetHeadPos());
    EXPECT_EQ(list.Find(&x1, first), second);
    EXPECT_EQ(list.Find(&x1, second), nullptr);
    EXPECT_EQ(list.Find(&y1), nullptr);
}

TEST(ZnList, NodesComeAndGoThroughTheVirtualSlots)
{
    PooledList list;
    list.AddTail(&x1);
    list.AddHead(&x2);
    list.InsertAfter(list.GetHeadPos(), &x3);
    POS pos = list.GetHeadPos();
    list.ExtractAt(pos);
    list.RemoveHead();
    EXPECT_EQ(list.created, 3);
    EXPECT_EQ(list.deleted, 2);
    list.RemoveAll();
    EXPECT_EQ(list.deleted, 3);
}

TEST(ZnList, MovingTransfersEveryNode)
{
    removed.clear();
    ZnList source = MakeX123();
    source.SetCallback(5, RecordRemoval);
    ZnList target(std::move(source));
    EXPECT_TRUE(source.IsEmpty());
    EXPECT_EQ(Items(target), (std::vector<void*>{&x1, &x2, &x3}));
    ZnList other;
    other.AddTail(&y1);
    other = std::move(target);
    EXPECT_EQ(Items(other), (std::vector<void*>{&x1, &x2, &x3}));
    other.RemoveAll();
    EXPECT_EQ(removed.size(), 3u);
}
