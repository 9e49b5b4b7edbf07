#include "base/ScopeGuards.h"

DLL_Loader::DLL_Loader(const wchar_t* name)
    : module(name ? LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32) : nullptr)
{
}

DLL_Loader::~DLL_Loader() = default;

FARPROC DLL_Loader::GetProc(const char* name) const
{
    return module && name ? GetProcAddress(module.Get(), name) : nullptr;
}
