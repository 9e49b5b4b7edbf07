#include "common/ImportHook.h"

#include <cstring>

namespace {

ULONG_PTR* FindImport(HMODULE module, const char* dll, const char* function)
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

// The library binds most system DLLs on first use, through delay-import
// descriptors that the linker does not list in the image's directory: they
// are found by their shape, a descriptor whose name is the DLL's and whose
// tables lie inside the image.
ULONG_PTR* FindDelayImport(HMODULE module, const char* dll, const char* function)
{
    if (!module)
        return nullptr;
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD size = nt->OptionalHeader.SizeOfImage;
    auto inside = [&](DWORD rva) { return rva != 0 && rva < size; };
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD s = 0; s < nt->FileHeader.NumberOfSections; ++s, ++section) {
        BYTE* from = base + section->VirtualAddress;
        DWORD length = section->Misc.VirtualSize;
        for (DWORD at = 0; at + sizeof(IMAGE_DELAYLOAD_DESCRIPTOR) <= length; at += 4) {
            auto* d = reinterpret_cast<IMAGE_DELAYLOAD_DESCRIPTOR*>(from + at);
            if (d->Attributes.AllAttributes != 1 || !inside(d->DllNameRVA) || !inside(d->ImportAddressTableRVA) ||
                !inside(d->ImportNameTableRVA) || !inside(d->ModuleHandleRVA) ||
                lstrcmpiA(reinterpret_cast<char*>(base + d->DllNameRVA), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->ImportNameTableRVA);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->ImportAddressTableRVA);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) || !inside(static_cast<DWORD>(names->u1.AddressOfData)))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                    return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

} // namespace

ImportHook::ImportHook(const char* dll, const char* function, void* replacement)
{
    HMODULE library = GetModuleHandleW(L"PVDLL.dll");
    slot = FindImport(library, dll, function);
    if (slot) {
        original = *slot;
    } else if ((slot = FindDelayImport(library, dll, function))) {
        // The slot may still lead to the binding stub, which would write
        // the real address over the hook: the original is the function
        // itself.
        original = reinterpret_cast<ULONG_PTR>(GetProcAddress(LoadLibraryA(dll), function));
    }
    if (slot)
        Patch(reinterpret_cast<ULONG_PTR>(replacement));
}

ImportHook::~ImportHook()
{
    if (slot)
        Patch(original);
}

void ImportHook::Patch(ULONG_PTR value)
{
    DWORD old;
    VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof(*slot), old, &old);
}
