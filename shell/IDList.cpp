#include "shell/IDList.h"

#include <climits>
#include <cstring>
#include <new>

#include "base/Owners.h"
#include "shell/PIDL.h"

UINT ID_List::cfIDLIST = 0;

namespace {

constexpr UINT64 fieldSize = sizeof(UINT);

UINT ReadField(const BYTE* at)
{
    UINT value;
    memcpy(&value, at, sizeof value);
    return value;
}

LPCITEMIDLIST AsList(const BYTE* at)
{
    return reinterpret_cast<LPCITEMIDLIST>(at);
}

UINT ShellIDListFormat()
{
    UINT format = ID_List::cfIDLIST;
    if (!format) {
        format = RegisterClipboardFormatW(CFSTR_SHELLIDLIST);
        InterlockedExchange(reinterpret_cast<volatile LONG*>(&ID_List::cfIDLIST), static_cast<LONG>(format));
    }
    return format;
}

// The count, every offset and every list lie inside the size bytes of
// block. A real array stores its lists one after another, so together they
// are never longer than the block: holding hostile arrays to that keeps
// the check's work in proportion to the block, whatever the count.
bool IsWholeArray(const BYTE* block, SIZE_T size)
{
    if (size < fieldSize || size > UINT_MAX)
        return false;
    UINT64 count = ReadField(block);
    if ((count + 2) * fieldSize > size)
        return false;
    UINT64 listBytes = 0;
    for (UINT64 i = 0; i <= count; ++i) {
        UINT offset = ReadField(block + (i + 1) * fieldSize);
        if (offset >= size)
            return false;
        UINT length = PIDL::GetSizeTotal(AsList(block + offset), static_cast<UINT>(size - offset));
        listBytes += length;
        if (!length || listBytes > size)
            return false;
    }
    return true;
}

} // namespace

// What a request to a data object holds until the array is let go: the
// object, the answer and the medium it handed out.
class ID_List::Request {
public:
    explicit Request(IDataObject* object) : dataObject(object)
    {
        if (object)
            object->AddRef();
    }
    ~Request()
    {
        if (medium.tymed != TYMED_NULL)
            ReleaseStgMedium(&medium);
    }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    HGLOBAL Ask()
    {
        format = {static_cast<CLIPFORMAT>(ShellIDListFormat()), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        hr = dataObject->GetData(&format, &medium);
        if (FAILED(hr) || medium.tymed != TYMED_HGLOBAL)
            return nullptr;
        return medium.hGlobal;
    }

private:
    ComPtr<IDataObject> dataObject;
    HRESULT hr = E_FAIL;
    FORMATETC format = {};
    STGMEDIUM medium = {};
};

ID_List::ID_List() : hMem(nullptr), array(nullptr), nextIndex(0) {}

ID_List::ID_List(IDataObject* dataObject) : ID_List()
{
    Init(dataObject, nullptr);
}

ID_List::ID_List(void* memoryHandle) : ID_List()
{
    Init(nullptr, memoryHandle);
}

ID_List::~ID_List()
{
    Close();
}

// The block is unlocked before the medium that holds it is released.
void ID_List::Close()
{
    if (array)
        GlobalUnlock(hMem);
    array = nullptr;
    hMem = nullptr;
    nextIndex = 0;
    request.reset();
}

int ID_List::Init(IDataObject* dataObject, void* memoryHandle)
{
    Close();
    if (dataObject) {
        request.reset(new (std::nothrow) Request(dataObject));
        if (!request)
            return 0;
        hMem = request->Ask();
    } else {
        hMem = static_cast<HGLOBAL>(memoryHandle);
    }
    if (!hMem)
        return 0;
    array = static_cast<const BYTE*>(GlobalLock(hMem));
    if (array && !IsWholeArray(array, GlobalSize(hMem))) {
        GlobalUnlock(hMem);
        array = nullptr;
    }
    nextIndex = 1;
    return array != nullptr;
}

int ID_List::IsReady() const
{
    return request || hMem;
}

UINT ID_List::GetCount() const
{
    return array ? ReadField(array) : 0;
}

LPCITEMIDLIST ID_List::ListAt(UINT index) const
{
    if (!array || index > GetCount())
        return nullptr;
    return AsList(array + ReadField(array + (static_cast<UINT64>(index) + 1) * fieldSize));
}

LPCITEMIDLIST ID_List::GetFolderPidl() const
{
    return ListAt(0);
}

LPCITEMIDLIST ID_List::GetFirstPidl()
{
    if (!GetCount())
        return nullptr;
    nextIndex = 2;
    return ListAt(1);
}

LPCITEMIDLIST ID_List::GetNextPidl()
{
    if (!array || nextIndex > GetCount())
        return nullptr;
    return ListAt(nextIndex++);
}

UINT ID_List::GetSizeLPIDA() const
{
    if (!array)
        return 0;
    UINT count = GetCount();
    UINT offset = ReadField(array + (static_cast<UINT64>(count) + 1) * fieldSize);
    SIZE_T size = GlobalSize(hMem);
    return offset + PIDL::GetSizeTotal(ListAt(count), static_cast<UINT>(size - offset));
}
