// The list array the shell puts on the clipboard and into drag-and-drop
// data objects ("Shell IDList Array"): a 32-bit count n, then n + 1 32-bit
// byte offsets from the block's start; the first leads to the parent
// folder's absolute list, the others to the items' lists relative to it.
//
// The block comes from another program. It is taken only when its count,
// every offset and every list lie inside it (its GlobalSize); a block that
// fails any of that is held but hands out nothing.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <memory>

#include "base/PVDLLApi.h"

class PVDLL_API ID_List {
public:
    ID_List();
    explicit ID_List(IDataObject* dataObject);
    // Reads the array in memoryHandle (an HGLOBAL); the caller keeps the
    // handle and frees it after this object is gone.
    explicit ID_List(void* memoryHandle);
    ~ID_List();
    ID_List(const ID_List&) = delete;
    ID_List& operator=(const ID_List&) = delete;

    // Asks dataObject for the array, or else reads memoryHandle; what was
    // held before is let go first. 1 when an array was taken.
    int Init(IDataObject* dataObject, void* memoryHandle);
    // 1 when a data object or a memory handle is held.
    int IsReady() const;
    // n; 0 when no array was taken.
    UINT GetCount() const;
    // Null when no array was taken.
    LPCITEMIDLIST GetFolderPidl() const;
    // The first item's list (null when there is none); GetNextPidl goes on
    // from there and answers null after the last.
    LPCITEMIDLIST GetFirstPidl();
    LPCITEMIDLIST GetNextPidl();
    // The offset of the last list plus that list's length: the whole
    // array's size when the last list is stored last.
    UINT GetSizeLPIDA() const;

    // The clipboard format's number, registered on first use.
    static UINT cfIDLIST;

private:
    class Request;
    void Close();
    LPCITEMIDLIST ListAt(UINT index) const;

    std::unique_ptr<Request> request;
    HGLOBAL hMem;
    const BYTE* array;
    UINT nextIndex;
};
