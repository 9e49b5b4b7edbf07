// Probes for the text tests: a hook on the library's HeapFree import, to see
// a block in the instant before it is released, and memory that ends where
// an inaccessible page begins, so any read past the end faults.
#pragma once

#include <windows.h>

#include <cstring>

// While alive, HeapFree calls made by the library on the watched block
// record whether the block was all zero bytes at that moment.
class HeapFreeSpy {
public:
    HeapFreeSpy(const void* block, size_t bytes)
    {
        watched = block;
        watchedBytes = bytes;
        seen = false;
        wasZero = false;
        slot = FindImport(GetModuleHandleW(L"PVDLL.dll"), "kernel32.dll", "HeapFree");
        if (slot) {
            original = reinterpret_cast<HeapFreeFn>(*slot);
            Patch(reinterpret_cast<ULONG_PTR>(&Spy));
        }
    }
    ~HeapFreeSpy()
    {
        if (slot)
            Patch(reinterpret_cast<ULONG_PTR>(original));
    }
    HeapFreeSpy(const HeapFreeSpy&) = delete;
    HeapFreeSpy& operator=(const HeapFreeSpy&) = delete;

    bool Hooked() const { return slot != nullptr; }
    bool Seen() const { return seen; }
    bool WasZero() const { return wasZero; }

private:
    typedef BOOL(WINAPI* HeapFreeFn)(HANDLE, DWORD, LPVOID);

    static BOOL WINAPI Spy(HANDLE heap, DWORD flags, LPVOID block)
    {
        if (block && block == watched) {
            seen = true;
            auto* p = static_cast<const unsigned char*>(block);
            wasZero = true;
            for (size_t i = 0; i < watchedBytes; ++i)
                wasZero = wasZero && p[i] == 0;
        }
        return original(heap, flags, block);
    }

    static ULONG_PTR* FindImport(HMODULE module, const char* dll, const char* function)
    {
        if (!module)
            return nullptr;
        auto* base = reinterpret_cast<BYTE*>(module);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), dll) != 0 || !imp->OriginalFirstThunk)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                    return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    void Patch(ULONG_PTR value)
    {
        DWORD old;
        VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
        *slot = value;
        VirtualProtect(slot, sizeof(*slot), old, &old);
    }

    static inline const void* watched;
    static inline size_t watchedBytes;
    static inline bool seen;
    static inline bool wasZero;
    static inline HeapFreeFn original;
    ULONG_PTR* slot;
};

// A copy of count characters placed so that the last one is the last
// readable character before a no-access page.
class AtPageEnd {
public:
    AtPageEnd(const wchar_t* data, size_t count)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        page = si.dwPageSize;
        base = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base + page, page, PAGE_NOACCESS, &old);
        ptr = reinterpret_cast<wchar_t*>(base + page) - count;
        std::memcpy(ptr, data, count * sizeof(wchar_t));
    }
    ~AtPageEnd() { VirtualFree(base, 0, MEM_RELEASE); }
    AtPageEnd(const AtPageEnd&) = delete;
    AtPageEnd& operator=(const AtPageEnd&) = delete;

    wchar_t* Get() const { return ptr; }

private:
    BYTE* base;
    size_t page;
    wchar_t* ptr;
};
