// pvhost: a small start-menu host. It loads PVDLL.dll as the shell's host
// does and uses the library's services the way the product's modules do.
#include <windows.h>

#include <cstdio>

#include "PVDLL.h"

int wmain(int, wchar_t**)
{
    HMODULE library = LoadLibraryW(L"PVDLL.dll");
    if (!library) {
        fwprintf(stderr, L"pvhost: cannot load PVDLL.dll (error %lu)\n", GetLastError());
        return 1;
    }
    ProductInfo* product = GetMyProductInfo();
    wprintf(L"%ls %ls\n", product->GetName(), product->GetVersionStrRev(0));
    FreeLibrary(library);
    return 0;
}
