// Memory that ends where a no-access page begins: the last byte asked for
// is the last accessible one, so reading or writing a single byte past the
// end faults at once instead of going unnoticed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>

class PageEndBlock {
public:
    PageEndBlock() = default;
    explicit PageEndBlock(size_t bytes) { Resize(bytes); }
    ~PageEndBlock();
    PageEndBlock(const PageEndBlock&) = delete;
    PageEndBlock& operator=(const PageEndBlock&) = delete;

    // Room for bytes ending at the no-access page, filled with 0xCD so that
    // nothing is mistaken for a terminator; the region is kept for the next
    // call when it is large enough. Zero bytes give the guard page itself.
    void* Resize(size_t bytes);
    // A copy of bytes of data at the page end.
    void* Place(const void* data, size_t bytes);

    template <typename T>
    T* As() const
    {
        return reinterpret_cast<T*>(start);
    }
    size_t Size() const { return size; }

    // A copy of count characters, the last at the page end; for a text with
    // its terminator, count includes it.
    wchar_t* PlaceChars(const wchar_t* text, size_t count)
    {
        return static_cast<wchar_t*>(Place(text, count * sizeof(wchar_t)));
    }
    // Room for count characters at the page end.
    wchar_t* Chars(size_t count) { return static_cast<wchar_t*>(Resize(count * sizeof(wchar_t))); }

    // Whether addr lies in the no-access page of a live block, so that a
    // fault there is known for an overrun.
    static bool IsGuardAddress(const void* addr);

private:
    void Release();

    BYTE* base = nullptr;
    size_t dataBytes = 0;  // accessible bytes before the guard page
    BYTE* start = nullptr;
    size_t size = 0;
};

// A copy of count characters placed so that the last one is the last
// readable character before a no-access page.
class AtPageEnd {
public:
    AtPageEnd(const wchar_t* data, size_t count) { ptr = block.PlaceChars(data, count); }
    AtPageEnd(const AtPageEnd&) = delete;
    AtPageEnd& operator=(const AtPageEnd&) = delete;

    wchar_t* Get() const { return ptr; }

private:
    PageEndBlock block;
    wchar_t* ptr;
};
