// A product module: includes the umbrella header alone, links the import
// library, registers itself and uses a few services. Exit code 0 when
// every answer is the expected one.
#include <PVDLL.h>

#include <cwchar>

int wmain()
{
    AppInstance module(GetModuleHandleW(nullptr), L"Consumer");
    ProductInfo* product = GetMyProductInfo();
    if (std::wcscmp(product->GetVersionStr(), L"21.7") != 0)
        return 1;
    if (std::wcscmp(product->GetAppRootKey(), L"HKCU\\Software\\Corvenna\\Launchora\\Consumer") != 0)
        return 2;
    if (CRC32("123456789", 9) != 0xCBF43926u)
        return 3;
    wchar_t text[32];
    StrFormat(text, 32, L"%s %d", L"rev.", 3040);
    if (std::wcscmp(text, L"rev. 3040") != 0)
        return 4;
    ZnList list;
    list.AddTail(text);
    if (list.GetCount() != 1)
        return 5;
    return 0;
}
