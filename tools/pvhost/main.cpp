// pvhost: a small start-menu host. It loads PVDLL.dll with LoadLibraryW as
// the shell's host does, finds the plain exports with GetProcAddress, and
// uses the framework through the import library as the product's modules do.
//
//   pvhost [identity]     the product identity and a few text services
//   pvhost settings       the product's registry root and its option words
#include <windows.h>

#include <cstdarg>

#include "PVDLL.h"

namespace {

// Writes UTF-8 to standard output, whatever it is (console, pipe, file).
void Print(const wchar_t* fmt, ...)
{
    wchar_t text[2048];
    va_list args;
    va_start(args, fmt);
    StrFormatV(text, 2048, fmt, args);
    va_end(args);
    char utf8[6144];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    DWORD written;
    if (bytes > 1)
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8, bytes - 1, &written, nullptr);
}

void ShowIdentity()
{
    ProductInfo* product = GetMyProductInfo();
    Print(L"Product         %s (id %u, store id \"%s\")\n", product->GetName(), product->GetID(),
          product->GetStoreID());
    Print(L"Version         %s | %s | %s\n", product->GetVersionStr(), product->GetVersionStrLong(0),
          product->GetVersionStrRev(0));
    Print(L"Version numbers 0x%08X, 0x%016I64X\n", product->GetVersionNum(), product->GetVersionQWORD());
    Print(L"Revision        %s (%u), release month %u\n", product->GetRevisionStr(), product->GetRevisionNum(),
          product->GetReleaseMonth());
    Print(L"Edition         \"%s\", arch \"%s\", %s, (c) %s\n", product->GetEditionShort(), product->GetArch(),
          product->GetForOS(), product->GetCopyrightYear());
    wchar_t title[128];
    Print(L"Title           \"%s\"\n", product->MakeTitleLong(title, 128));
    Print(L"Root key        %s\n", product->GetAppRootKey());
    Print(L"Component       %s\n", product->GetComponent());
    Print(L"App instance    %p (PVDLL.dll is %p)\n", product->GetAppInstance(), hiDLL);

    short id = static_cast<short>(product->GetIconID());
    HINSTANCE instance = nullptr;
    product->ConvertResourceId(id, instance);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(id));
    Print(L"Icon            %d -> id %d in %p, %s\n", product->GetIconID(), id, instance,
          icon ? L"loaded" : L"missing");
    Print(L"Library text    \"%s\"\n", static_cast<const wchar_t*>(ResStr(-20102)));
}

// The plain exports are what a host outside the framework finds by name.
void ShowDigests(HMODULE library)
{
    typedef void(__cdecl * Sha1CalcFn)(unsigned char*, const void*, unsigned);
    auto sha1Calc = reinterpret_cast<Sha1CalcFn>(reinterpret_cast<void*>(GetProcAddress(library, "SHA1_Calc")));
    if (!sha1Calc) {
        Print(L"SHA1_Calc       not exported!\n");
        return;
    }
    unsigned char digest[20];
    sha1Calc(digest, "abc", 3);
    wchar_t hex[41];
    BinToHex(hex, 41, digest, 20);
    Print(L"SHA1_Calc       \"abc\" -> %s\n", hex);

    unsigned char md5[16];
    CalcMD5(md5, "abc", 3);
    BinToHex(hex, 41, md5, 16);
    Print(L"CalcMD5         \"abc\" -> %s\n", hex);
    Print(L"CRC32           \"123456789\" -> %08X\n", CRC32("123456789", 9));

    const unsigned char bytes[] = {1, 2, 3, 0xFF};
    wchar_t base64[16];
    BinToBase64FS(base64, 16, bytes, 4);
    Print(L"BinToBase64FS   01 02 03 FF -> %s\n", base64);
}

void ShowTextServices()
{
    wchar_t text[64];
    SizeToStr(text, 64, 1536, 0);
    Print(L"SizeToStr       1536 bytes -> %s\n", text);
    SizeToStr(text, 64, 5ULL << 30, 1);
    Print(L"                5 GiB -> %s\n", text);
    GetTextRemaining(3661, text, 64, 1);
    Print(L"Time remaining  3661 s -> %s\n", text);
    Print(L"Current time    %u s since 1995-12-26\n", GetCurTime());

    wchar_t line[] = L"  Launchora  ";
    StrTrimW(line);
    Print(L"StrTrimW        \"  Launchora  \" -> \"%s\"\n", line);
    wchar_t tokens[] = L"about;help;check4updates";
    Print(L"GetToken        item 2 of \"%s\" -> %s\n", tokens, GetToken(tokens, L";", 2));
}

// Every 32-bit value below the root is an option word; subkeys hold the
// settings of the product's components and dialogs.
void ShowSettings()
{
    const wchar_t* rootPath = GetMyProductInfo()->GetAppRootKey();
    Print(L"Root key        %s\n", rootPath);
    MoveLegacySettings(1, GetMyProductInfo()->GetName());
    RegKey root(rootPath, 0);
    if (!root.IsOpen()) {
        Print(L"                (not there yet: nothing has been stored)\n");
        return;
    }
    wchar_t name[256];
    int words = 0;
    for (int more = root.GetFirstValue(name, 256); more; more = root.GetNextValue(name, 256)) {
        if (root.GetValueType(name) != REG_DWORD)
            continue;
        BoolOpts opts(name);
        opts.Load();
        Print(L"Option word     %-24s 0x%08X\n", name[0] ? name : L"(default)", opts.GetAll());
        ++words;
    }
    if (!words)
        Print(L"                (no option words)\n");
    for (int more = root.GetFirstSubKey(name, 256); more; more = root.GetNextSubKey(name, 256))
        Print(L"Subkey          %s\n", name);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    HMODULE library = LoadLibraryW(L"PVDLL.dll");
    if (!library) {
        Print(L"pvhost: cannot load PVDLL.dll (error %lu)\n", GetLastError());
        return 1;
    }
    const wchar_t* command = argc > 1 ? argv[1] : L"identity";
    int status = 0;
    if (lstrcmpiW(command, L"identity") == 0) {
        ShowIdentity();
        ShowTextServices();
        ShowDigests(library);
    } else if (lstrcmpiW(command, L"settings") == 0) {
        ShowSettings();
    } else {
        Print(L"usage: pvhost [identity|settings]\n");
        status = 2;
    }
    FreeLibrary(library);
    return status;
}
