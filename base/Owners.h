// Owner: holds exactly one handle and frees it when it goes, on every path.
// Each kind of handle is named once below, with its type, its "none" value
// and the call that frees it; everything the library opens, creates or
// allocates is held by one of these (or by a class that owns exactly that
// one thing), never closed by hand.
//
// Owners move and never copy: a copy would free the handle twice.
#pragma once

#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <utility>

// One kind of handle: the type, how it is freed and which value means
// "none" (0 for most, -1 for file and search handles).
template <typename H, void (*Free)(H), intptr_t None = 0>
struct HandleKind {
    using Handle = H;
    static Handle Invalid() noexcept
    {
        if constexpr (std::is_pointer_v<Handle>)
            return reinterpret_cast<Handle>(None);
        else
            return static_cast<Handle>(None);
    }
    static void Close(Handle h) noexcept { Free(h); }
};

template <typename Kind>
class Owner {
public:
    using Handle = typename Kind::Handle;

    Owner() noexcept : h(Kind::Invalid()) {}
    explicit Owner(Handle handle) noexcept : h(handle) {}
    Owner(Owner&& other) noexcept : h(other.Release()) {}
    Owner& operator=(Owner&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~Owner() { Reset(); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Handle Get() const noexcept { return h; }
    bool IsValid() const noexcept { return h != Kind::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives the handle up without freeing it.
    Handle Release() noexcept { return std::exchange(h, Kind::Invalid()); }
    // Frees what is held and takes handle instead.
    void Reset(Handle handle = Kind::Invalid()) noexcept
    {
        Handle old = std::exchange(h, handle);
        if (old != Kind::Invalid())
            Kind::Close(old);
    }
    // For calls that hand a new handle back through a pointer: frees what
    // is held and gives the place to fill.
    Handle* Put() noexcept
    {
        Reset();
        return &h;
    }

private:
    Handle h;
};

// The functions that free each kind. Imported system functions cannot be
// template arguments themselves, so each is called through one of these.
namespace OwnerFree {
inline void Kernel(HANDLE h) noexcept { CloseHandle(h); }
inline void Find(HANDLE h) noexcept { FindClose(h); }
inline void Key(HKEY h) noexcept { RegCloseKey(h); }
inline void Module(HMODULE h) noexcept { FreeLibrary(h); }
inline void Local(HLOCAL h) noexcept { LocalFree(h); }
inline void View(void* view) noexcept { UnmapViewOfFile(view); }
inline void Reservation(void* region) noexcept { VirtualFree(region, 0, MEM_RELEASE); }
inline void MemoryDC(HDC h) noexcept { DeleteDC(h); }
inline void Icon(HICON h) noexcept { DestroyIcon(h); }
inline void Menu(HMENU h) noexcept { DestroyMenu(h); }
inline void Window(HWND h) noexcept { DestroyWindow(h); }
inline void Hook(HHOOK h) noexcept { UnhookWindowsHookEx(h); }
inline void TaskMem(void* block) noexcept { CoTaskMemFree(block); }
template <typename T>
void Gdi(T h) noexcept
{
    DeleteObject(h);
}
} // namespace OwnerFree

// Kernel objects: events, mutexes, threads, processes, tokens, mappings.
using KernelHandle = Owner<HandleKind<HANDLE, &OwnerFree::Kernel>>;
// CreateFile's handles, whose "none" is INVALID_HANDLE_VALUE.
using FileHandle = Owner<HandleKind<HANDLE, &OwnerFree::Kernel, -1>>;
// FindFirstFile's handles.
using FindHandle = Owner<HandleKind<HANDLE, &OwnerFree::Find, -1>>;
using RegHandle = Owner<HandleKind<HKEY, &OwnerFree::Key>>;
// A module this code loaded itself (LoadLibrary), freed with FreeLibrary.
using LoadedModule = Owner<HandleKind<HMODULE, &OwnerFree::Module>>;
// Blocks the system allocates with LocalAlloc for its callers.
using LocalBlock = Owner<HandleKind<HLOCAL, &OwnerFree::Local>>;
// Blocks the COM task allocator gives out (display names, id lists).
using TaskMemBlock = Owner<HandleKind<void*, &OwnerFree::TaskMem>>;
using MappedView = Owner<HandleKind<void*, &OwnerFree::View>>;
// Address space reserved with VirtualAlloc, released whole.
using VirtualRegion = Owner<HandleKind<void*, &OwnerFree::Reservation>>;
// GDI objects of one type: GdiOwner<HBITMAP>, GdiOwner<HFONT>, ...
template <typename T>
using GdiOwner = Owner<HandleKind<T, &OwnerFree::Gdi<T>>>;
using BitmapHandle = GdiOwner<HBITMAP>;
using BrushHandle = GdiOwner<HBRUSH>;
using PenHandle = GdiOwner<HPEN>;
using FontHandle = GdiOwner<HFONT>;
using RegionHandle = GdiOwner<HRGN>;
// A memory device context (CreateCompatibleDC), freed with DeleteDC.
using MemoryDCHandle = Owner<HandleKind<HDC, &OwnerFree::MemoryDC>>;
using IconHandle = Owner<HandleKind<HICON, &OwnerFree::Icon>>;
using MenuHandle = Owner<HandleKind<HMENU, &OwnerFree::Menu>>;
using WindowHandle = Owner<HandleKind<HWND, &OwnerFree::Window>>;
using HookHandle = Owner<HandleKind<HHOOK, &OwnerFree::Hook>>;

// ComPtr: one reference to a COM object. Copies add a reference, moves
// pass it on; the destructor releases it.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* object) noexcept : p(object) {}
    ComPtr(const ComPtr& other) noexcept : p(other.p)
    {
        if (p)
            p->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p, other.p);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const noexcept { return p; }
    T* operator->() const noexcept { return p; }
    explicit operator bool() const noexcept { return p != nullptr; }

    void Reset() noexcept
    {
        if (T* old = std::exchange(p, nullptr))
            old->Release();
    }
    // For calls that hand back a new reference through a pointer.
    T** Put() noexcept
    {
        Reset();
        return &p;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    // The same object seen through another interface (QueryInterface).
    template <typename U>
    HRESULT As(ComPtr<U>& other) const noexcept
    {
        if (!p)
            return E_POINTER;
        return p->QueryInterface(__uuidof(U), other.PutVoid());
    }

private:
    T* p = nullptr;
};
