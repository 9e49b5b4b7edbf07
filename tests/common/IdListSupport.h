// Item id lists built by hand for the tests, and the shell's list array
// ("Shell IDList Array") laid out in a movable memory block.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>
#include <vector>

// One item: its 16-bit count (data plus the two count bytes), then data.
inline std::string IdItem(const std::string& data)
{
    size_t count = data.size() + 2;
    std::string item;
    item += static_cast<char>(count & 0xFF);
    item += static_cast<char>((count >> 8) & 0xFF);
    return item + data;
}

// Items followed by the terminator.
inline std::string IdList(const std::vector<std::string>& itemData)
{
    std::string list;
    for (const std::string& data : itemData)
        list += IdItem(data);
    return list + std::string(2, '\0');
}

// The bytes of a list in memory, its terminator included.
inline std::string ListBytes(LPCITEMIDLIST list)
{
    if (!list)
        return {};
    const BYTE* at = reinterpret_cast<const BYTE*>(list);
    size_t pos = 0;
    while (at[pos] | (at[pos + 1] << 8))
        pos += at[pos] | (at[pos + 1] << 8);
    return std::string(reinterpret_cast<const char*>(at), pos + 2);
}

inline void PutField(std::string& block, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        block[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The array of lists[0] (the folder) and lists[1..] (the items), stored
// one after another behind the header.
inline std::string ArrayBytes(const std::vector<std::string>& lists)
{
    std::string block(4 * (lists.size() + 1), '\0');
    PutField(block, 0, static_cast<uint32_t>(lists.size() - 1));
    for (size_t i = 0; i < lists.size(); ++i) {
        PutField(block, 4 * (i + 1), static_cast<uint32_t>(block.size()));
        block += lists[i];
    }
    return block;
}

// A movable memory block holding bytes, freed when the object goes.
class GlobalBlock {
public:
    explicit GlobalBlock(const std::string& bytes)
        : handle(GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size()))
    {
        if (void* at = handle ? GlobalLock(handle) : nullptr) {
            if (!bytes.empty())
                memcpy(at, bytes.data(), bytes.size());
            GlobalUnlock(handle);
        }
    }
    ~GlobalBlock()
    {
        if (handle)
            GlobalFree(handle);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL Get() const { return handle; }
    // GlobalSize: the system may round the block up.
    size_t Size() const { return GlobalSize(handle); }

private:
    HGLOBAL handle;
};
