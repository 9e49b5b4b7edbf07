// ZnList: the framework's doubly linked list of untyped pointers, with
// position handles. The list never owns its items; an optional callback is
// told (event 1) whenever an item leaves it, so an owner can release it.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

// An opaque position: the address of a node; null means "none".
typedef struct ZnListPosition* POS;

class PVDLL_API ZnList {
public:
    struct ZnNode {
        ZnNode* pNext;
        ZnNode* pPrev;
        void* data;
    };
    typedef int (*Callback)(unsigned __int64 context, unsigned int event, void* item);

    // The one event the list sends: the item has left the list.
    static constexpr unsigned int eventRemoved = 1;

    ZnList();
    // Removes every node as RemoveAll does. A subclass that overrides
    // CreateNode/DeleteNode must call RemoveAll in its own destructor: by the
    // time this one runs, only the base DeleteNode is reachable.
    virtual ~ZnList();

    // Copying would leave two lists sharing (and later both releasing) the
    // same nodes, so lists are not copied; moving transfers every node.
    ZnList(const ZnList&) = delete;
    ZnList& operator=(const ZnList&) = delete;
    ZnList(ZnList&& other) noexcept;
    ZnList& operator=(ZnList&& other) noexcept;

    void SetCallback(unsigned __int64 context, Callback callback);

    int GetCount() const { return nCount; }
    int IsEmpty() const { return nCount == 0; }
    POS GetHeadPos() const { return ToPos(pHead); }
    POS GetTailPos() const { return ToPos(pTail); }

    // The list must not be empty for GetHead/GetTail.
    void*& GetHead() { return pHead->data; }
    void* GetHead() const { return pHead->data; }
    void*& GetTail() { return pTail->data; }
    void* GetTail() const { return pTail->data; }
    void*& GetAt(POS pos) { return ToNode(pos)->data; }
    void* GetAt(POS pos) const { return ToNode(pos)->data; }
    void SetAt(POS pos, void* item) { ToNode(pos)->data = item; }

    void*& GetNext(POS& pos);
    void* GetNext(POS& pos) const;
    void*& GetPrev(POS& pos);
    void* GetPrev(POS& pos) const;

    // Each returns the new node's position, or null (and the list is
    // unchanged) when no node could be had.
    POS AddHead(void* item);
    POS AddTail(void* item);
    POS InsertBefore(POS pos, void* item);
    POS InsertAfter(POS pos, void* item);
    // Both lists then point to the same items; other keeps its nodes. Out
    // of memory ends the copy early.
    void AddHead(ZnList* other);
    void AddTail(ZnList* other);

    void* RemoveHead();
    void* RemoveTail();
    // pos moves on to the node that followed, so removal inside a forward
    // loop continues correctly.
    void RemoveAt(POS& pos);
    // As RemoveAt, without telling the callback; returns the item.
    void* ExtractAt(POS& pos);
    // Tail first, telling the callback of each item.
    void RemoveAll();

    POS MoveAfter(POS pos, POS after);
    int GetIndex(POS pos) const;
    POS FindIndex(int index) const;
    POS Find(void* item, POS startAfter = nullptr) const;

protected:
    // Every node is created and released through these two, so a subclass
    // may pool nodes; it then overrides both. The base class takes its
    // nodes from the library's own node pool.
    virtual ZnNode* CreateNode();
    virtual void DeleteNode(void* node);

    static POS ToPos(ZnNode* node) { return reinterpret_cast<POS>(node); }
    static ZnNode* ToNode(POS pos) { return reinterpret_cast<ZnNode*>(pos); }

private:
    ZnNode* NewNode(void* item, ZnNode* prev, ZnNode* next);
    void Unlink(ZnNode* node);
    void ReleaseNode(ZnNode* node);

    ZnNode* pHead;
    ZnNode* pTail;
    int nCount;
    unsigned __int64 callbackContext;
    Callback pCallback;
};

// Modules inline the walk, where a call per node would cost as much as the
// step itself; the library keeps exporting the bodies (text/ZnList.cpp)
// for modules built without these definitions.
#ifndef PVDLL_EXPORTS
inline void*& ZnList::GetNext(POS& pos)
{
    ZnNode* node = ToNode(pos);
    pos = ToPos(node->pNext);
    return node->data;
}

inline void* ZnList::GetNext(POS& pos) const
{
    const ZnNode* node = ToNode(pos);
    pos = ToPos(node->pNext);
    return node->data;
}

inline void*& ZnList::GetPrev(POS& pos)
{
    ZnNode* node = ToNode(pos);
    pos = ToPos(node->pPrev);
    return node->data;
}

inline void* ZnList::GetPrev(POS& pos) const
{
    const ZnNode* node = ToNode(pos);
    pos = ToPos(node->pPrev);
    return node->data;
}
#endif
