#include "shell/ShellItems.h"

namespace {

using CreateShellItemFn = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, IShellFolder*, PCUITEMID_CHILD, IShellItem**);
using GetIDListFromObjectFn = HRESULT(WINAPI*)(IUnknown*, PIDLIST_ABSOLUTE*);

// Shell32 stays loaded for the life of the process once asked for: the
// functions found in it are cached.
HMODULE Shell32()
{
    static HMODULE module = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module;
}

template <typename Fn>
Fn Lookup(const char* name)
{
    HMODULE module = Shell32();
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

} // namespace

extern "C" {

HRESULT WINAPI MySHCreateShellItem(PCIDLIST_ABSOLUTE parent, IShellFolder* psfParent, PCUITEMID_CHILD child,
                                   IShellItem** out)
{
    static const CreateShellItemFn create = Lookup<CreateShellItemFn>("SHCreateShellItem");
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!child)
        return E_INVALIDARG;
    return create ? create(parent, psfParent, child, out) : E_NOTIMPL;
}

HRESULT WINAPI MySHGetIDListFromObject(IUnknown* object, PIDLIST_ABSOLUTE* out)
{
    static const GetIDListFromObjectFn get = Lookup<GetIDListFromObjectFn>("SHGetIDListFromObject");
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!object)
        return E_INVALIDARG;
    return get ? get(object, out) : E_NOTIMPL;
}

} // extern "C"
