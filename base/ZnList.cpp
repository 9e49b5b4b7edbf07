#include "base/ZnList.h"

#include "base/internal/NodePool.h"

static_assert(sizeof(ZnList::ZnNode) == NodePool::blockSize, "the pool hands out blocks of a node's size");

ZnList::ZnList()
    : pHead(nullptr), pTail(nullptr), nCount(0), callbackContext(0), pCallback(nullptr)
{
}

ZnList::~ZnList()
{
    RemoveAll();
}

ZnList::ZnList(ZnList&& other) noexcept
    : pHead(other.pHead), pTail(other.pTail), nCount(other.nCount),
      callbackContext(other.callbackContext), pCallback(other.pCallback)
{
    other.pHead = other.pTail = nullptr;
    other.nCount = 0;
}

ZnList& ZnList::operator=(ZnList&& other) noexcept
{
    if (this != &other) {
        RemoveAll();
        pHead = other.pHead;
        pTail = other.pTail;
        nCount = other.nCount;
        callbackContext = other.callbackContext;
        pCallback = other.pCallback;
        other.pHead = other.pTail = nullptr;
        other.nCount = 0;
    }
    return *this;
}

void ZnList::SetCallback(unsigned __int64 context, Callback callback)
{
    callbackContext = context;
    pCallback = callback;
}

// Nodes are small, many and short-lived: the pool hands them out in a
// fraction of a heap call's time and packs them densely for walking.
ZnList::ZnNode* ZnList::CreateNode()
{
    return static_cast<ZnNode*>(NodePool::Alloc());
}

void ZnList::DeleteNode(void* node)
{
    NodePool::Free(node);
}

void*& ZnList::GetNext(POS& pos)
{
    ZnNode* node = ToNode(pos);
    pos = ToPos(node->pNext);
    return node->data;
}

void* ZnList::GetNext(POS& pos) const
{
    const ZnNode* node = ToNode(pos);
    pos = ToPos(node->pNext);
    return node->data;
}

void*& ZnList::GetPrev(POS& pos)
{
    ZnNode* node = ToNode(pos);
    pos = ToPos(node->pPrev);
    return node->data;
}

void* ZnList::GetPrev(POS& pos) const
{
    const ZnNode* node = ToNode(pos);
    pos = ToPos(node->pPrev);
    return node->data;
}

ZnList::ZnNode* ZnList::NewNode(void* item, ZnNode* prev, ZnNode* next)
{
    ZnNode* node = CreateNode();
    if (!node)
        return nullptr;  // out of memory: the list stays as it was
    node->pPrev = prev;
    node->pNext = next;
    node->data = item;
    ++nCount;
    if (prev)
        prev->pNext = node;
    else
        pHead = node;
    if (next)
        next->pPrev = node;
    else
        pTail = node;
    return node;
}

POS ZnList::AddHead(void* item)
{
    return ToPos(NewNode(item, nullptr, pHead));
}

POS ZnList::AddTail(void* item)
{
    return ToPos(NewNode(item, pTail, nullptr));
}

POS ZnList::InsertBefore(POS pos, void* item)
{
    if (!pos)
        return AddHead(item);
    ZnNode* node = ToNode(pos);
    return ToPos(NewNode(item, node->pPrev, node));
}

POS ZnList::InsertAfter(POS pos, void* item)
{
    if (!pos)
        return AddTail(item);
    ZnNode* node = ToNode(pos);
    return ToPos(NewNode(item, node, node->pNext));
}

// Both walks take the count first, so adding a list to itself doubles it
// instead of chasing the nodes it is adding. The first node that cannot be
// had ends the copy: a shorter copy, not one with gaps.
void ZnList::AddHead(ZnList* other)
{
    ZnNode* node = other->pTail;
    for (int n = other->nCount; n > 0; --n) {
        ZnNode* prev = node->pPrev;
        if (!AddHead(node->data))
            return;
        node = prev;
    }
}

void ZnList::AddTail(ZnList* other)
{
    ZnNode* node = other->pHead;
    for (int n = other->nCount; n > 0; --n) {
        ZnNode* next = node->pNext;
        if (!AddTail(node->data))
            return;
        node = next;
    }
}

void ZnList::Unlink(ZnNode* node)
{
    if (node->pPrev)
        node->pPrev->pNext = node->pNext;
    else
        pHead = node->pNext;
    if (node->pNext)
        node->pNext->pPrev = node->pPrev;
    else
        pTail = node->pPrev;
}

// The node is already unlinked, so the callback sees a consistent list.
void ZnList::ReleaseNode(ZnNode* node)
{
    void* item = node->data;
    if (pCallback && item)
        pCallback(callbackContext, eventRemoved, item);
    DeleteNode(node);
    --nCount;
}

void* ZnList::RemoveHead()
{
    ZnNode* node = pHead;
    void* item = node->data;
    Unlink(node);
    ReleaseNode(node);
    return item;
}

void* ZnList::RemoveTail()
{
    ZnNode* node = pTail;
    void* item = node->data;
    Unlink(node);
    ReleaseNode(node);
    return item;
}

void ZnList::RemoveAt(POS& pos)
{
    ZnNode* node = ToNode(pos);
    pos = ToPos(node->pNext);
    Unlink(node);
    ReleaseNode(node);
}

void* ZnList::ExtractAt(POS& pos)
{
    ZnNode* node = ToNode(pos);
    void* item = node->data;
    pos = ToPos(node->pNext);
    Unlink(node);
    DeleteNode(node);
    --nCount;
    return item;
}

void ZnList::RemoveAll()
{
    while (pTail)
        RemoveTail();
}

POS ZnList::MoveAfter(POS pos, POS after)
{
    ZnNode* node = ToNode(pos);
    ZnNode* target = ToNode(after);
    if (target == node || target == node->pPrev)
        return pos;
    Unlink(node);
    node->pPrev = target;
    node->pNext = target ? target->pNext : pHead;
    if (node->pPrev)
        node->pPrev->pNext = node;
    else
        pHead = node;
    if (node->pNext)
        node->pNext->pPrev = node;
    else
        pTail = node;
    return pos;
}

int ZnList::GetIndex(POS pos) const
{
    int index = -1;
    for (const ZnNode* node = ToNode(pos); node; node = node->pPrev)
        ++index;
    return index;
}

POS ZnList::FindIndex(int index) const
{
    if (index < 0 || index >= nCount)
        return nullptr;
    ZnNode* node = pHead;
    while (index-- > 0)
        node = node->pNext;
    return ToPos(node);
}

POS ZnList::Find(void* item, POS startAfter) const
{
    ZnNode* node = startAfter ? ToNode(startAfter)->pNext : pHead;
    for (; node; node = node->pNext)
        if (node->data == item)
            return ToPos(node);
    return nullptr;
}
