#include "entry/StartMenuNames.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <memory>
#include <new>
#include <utility>

#include "base/LibraryEntry.h"
#include "base/Owners.h"
#include "storage/IniFile.h"
#include "storage/ZnFile.h"
#include "base/internal/DllHeap.h"
#include "base/ZnList.h"
#include "text/StrFunc.h"

namespace {

// --- the tables -------------------------------------------------------------------

// Keys are compared without regard to case. Each row's key is hashed
// upper-cased once, so a lookup compares full keys only where the hashes
// agree. The hashes sit in arrays of their own, beside the tables, so a
// lookup scans a few cache lines instead of touching every row.
unsigned KeyHash(const wchar_t* key)
{
    unsigned hash = 5381;
    for (; *key; ++key) {
        wchar_t c = *key;
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - (L'a' - L'A'));
        else if (c > 0x7F)
            c = CharToUpper(c);
        hash = (hash * 33) ^ c;
    }
    return hash;
}

// Ordinal, ignoring case. Keys are ASCII in practice, and for two ASCII
// characters the platform's ordinal upper-casing is the A-Z folding, so
// those are compared here; the first character outside ASCII hands the
// whole comparison to the platform.
bool SameKey(const wchar_t* a, const wchar_t* b)
{
    for (const wchar_t *p = a, *q = b;; ++p, ++q) {
        wchar_t c = *p, d = *q;
        if (c > 0x7F || d > 0x7F)
            break;
        if (c != d) {
            if (c >= L'a' && c <= L'z')
                c = static_cast<wchar_t>(c - (L'a' - L'A'));
            if (d >= L'a' && d <= L'z')
                d = static_cast<wchar_t>(d - (L'a' - L'A'));
            if (c != d)
                return false;
        }
        if (!c)
            return true;
    }
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

struct KnownFolderItem {
    const wchar_t* key;
    const wchar_t* defaultText;
    GUID folderId;
    wchar_t name[MAX_PATH];
};

struct DllStringItem {
    const wchar_t* key;
    const wchar_t* defaultText;
    const wchar_t* moduleName;
    unsigned stringId;
    wchar_t name[MAX_PATH];
};

KnownFolderItem knownFolderItems[] = {
    {L"Menu.User", L"User", {0xF3CE0F7C, 0x4901, 0x4ACC, {0x86, 0x48, 0xD5, 0xD4, 0x4B, 0x04, 0xEF, 0x8F}}, {}},
    {L"Menu.Programs", L"Programs", {0xA77F5D77, 0x2E2B, 0x44C3, {0xA6, 0xA2, 0xAB, 0xA6, 0x01, 0x05, 0x4A, 0x51}}, {}},
    {L"Menu.NetworkFolder", L"Network",
     {0xD20BEEC4, 0x5CA8, 0x4905, {0xAE, 0x3B, 0xBF, 0x25, 0x1E, 0xA0, 0x9B, 0x53}}, {}},
    {L"Menu.Network", L"Network", {0xD20BEEC4, 0x5CA8, 0x4905, {0xAE, 0x3B, 0xBF, 0x25, 0x1E, 0xA0, 0x9B, 0x53}}, {}},
    {L"Menu.ComputerFolder", L"Computer",
     {0x0AC0837C, 0xBBF8, 0x452A, {0x85, 0x0D, 0x79, 0xD0, 0x8E, 0x66, 0x7C, 0xA7}}, {}},
    {L"Menu.DocumentsLibrary", L"Documents",
     {0x7B0DB17D, 0x9CD2, 0x4A93, {0x97, 0x33, 0x46, 0xCC, 0x89, 0x02, 0x2E, 0x7C}}, {}},
    {L"Menu.PicturesLibrary", L"Pictures",
     {0xA990AE9F, 0xA03B, 0x4E80, {0x94, 0xBC, 0x99, 0x12, 0xD7, 0x50, 0x41, 0x04}}, {}},
    {L"Menu.MusicLibrary", L"Music", {0x2112AB0A, 0xC86A, 0x4FFE, {0xA3, 0x68, 0x0D, 0xE9, 0x6E, 0x47, 0x01, 0x2E}}, {}},
    {L"Menu.VideosLibrary", L"Videos",
     {0x491E922F, 0x5643, 0x4AF4, {0xA7, 0xEB, 0x4E, 0x7A, 0x13, 0x8D, 0x81, 0x74}}, {}},
    {L"Menu.Downloads", L"Downloads",
     {0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}}, {}},
    {L"Menu.RecordedTV", L"Recorded TV",
     {0x1A6FDBA2, 0xF42D, 0x4358, {0xA7, 0x98, 0xB7, 0x4D, 0x74, 0x59, 0x26, 0xC5}}, {}},
    {L"Menu.Games", L"Games", {0xCAC52C1A, 0xB53D, 0x4EDC, {0x92, 0xD7, 0x6B, 0x2E, 0x8A, 0xC1, 0x94, 0x34}}, {}},
    {L"Menu.Homegroup", L"Homegroup",
     {0x52528A6B, 0xB9E3, 0x4ADD, {0xB6, 0x0D, 0x58, 0x8C, 0x2D, 0xBA, 0x84, 0x2D}}, {}},
    {L"Menu.Favorites", L"Favorites",
     {0x1777F761, 0x68AD, 0x4D8A, {0x87, 0xBD, 0x30, 0xB7, 0x59, 0xFA, 0x33, 0xDD}}, {}},
    {L"Menu.Printers", L"Printers", {0x76FC4E2D, 0xD6AD, 0x4519, {0xA6, 0x63, 0x37, 0xBD, 0x56, 0x06, 0x81, 0x85}}, {}},
};

DllStringItem dllStringItems[] = {
    {L"Menu.DevicesAndPrinters", L"Devices and Printers", L"DeviceCenter.dll", 1000, {}},
    {L"Menu.ControlPanel", L"Control Panel", L"explorer.exe", 8234, {}},
    {L"Menu.ControlPanel", L"Control Panel", L"twinui.dll", 5715, {}},
    {L"Menu.Help", L"Help and Support", L"shell32.dll", 12709, {}},
    {L"Menu.Search", L"Search", L"shell32.dll", 12708, {}},
    {L"Menu.SearchFiles", L"Search for files or folders", L"shell32.dll", 23296, {}},
    {L"Menu.SearchComputers", L"Search for computers on the network", L"shell32.dll", 23297, {}},
    {L"Menu.SearchPrinter", L"Search for a printer", L"shell32.dll", 23298, {}},
    {L"Menu.SearchBox", L"Search", L"shell32.dll", 12708, {}},
    {L"Menu.Empty", L"(Empty)", L"shell32.dll", 12389, {}},
    {L"Menu.Internet", L"Internet", L"explorer.exe", 7024, {}},
    {L"Menu.Email", L"Email", L"explorer.exe", 7025, {}},
    {L"Menu.AllPrograms", L"All Programs", L"explorer.exe", 8226, {}},
    {L"Menu.ShutDownBox", L"Shut Down", L"shell32.dll", 61954, {}},
    {L"Menu.ShutDown", L"Shutdown", L"shell32.dll", 33280, {}},
    {L"Menu.Logoff", L"Log off", L"inetcpl.cpl", 4858, {}},
    {L"Menu.LogoffShort", L"Sign out", L"twinui.dll", 9872, {}},
    {L"Menu.Restart", L"Restart", L"authui.dll", 3017, {}},
    {L"Menu.Lock", L"Lock", L"authui.dll", 3043, {}},
    {L"Menu.Hibernate", L"Hibernate", L"authui.dll", 3023, {}},
    {L"Menu.Sleep", L"Sleep", L"authui.dll", 3020, {}},
    {L"Menu.Undock", L"Undock", L"authui.dll", 3046, {}},
    {L"Menu.Disconnect", L"Disconnect", L"authui.dll", 3040, {}},
    {L"Menu.SwitchUser", L"Switch user", L"authui.dll", 3054, {}},
    {L"Menu.Run", L"Run", L"twinui.dll", 10925, {}},
    {L"Menu.Start", L"Start", L"twinui.dll", 3751, {}},
    {L"Menu.Start", L"Start", L"twinui.dll", 4136, {}},
    {L"Menu.Apps", L"Apps", L"twinui.dll", 4137, {}},
    {L"Menu.Settings", L"Settings", L"twinui.dll", 5621, {}},
    {L"Menu.StartScreen", L"Apps", L"twinui.dll", 10903, {}},
    {L"Menu.StartScreen", L"Apps", L"twinui.dll", 3751, {}},
    {L"Menu.StartScreen", L"Apps", L"twinui.dll", 3753, {}},
};

constexpr size_t folderRows = sizeof knownFolderItems / sizeof knownFolderItems[0];
constexpr size_t stringRows = sizeof dllStringItems / sizeof dllStringItems[0];
unsigned folderKeyHashes[folderRows];
unsigned stringKeyHashes[stringRows];

// Hashes the row keys once, when the library is loaded.
const bool rowHashesReady = [] {
    for (size_t i = 0; i < folderRows; ++i)
        folderKeyHashes[i] = KeyHash(knownFolderItems[i].key);
    for (size_t i = 0; i < stringRows; ++i)
        stringKeyHashes[i] = KeyHash(dllStringItems[i].key);
    return true;
}();

wchar_t defaultScratch[MAX_PATH];
FindTranslationCallback findTranslation = nullptr;

void CopyName(wchar_t (&name)[MAX_PATH], const wchar_t* text)
{
    lstrcpynW(name, text, MAX_PATH);
}

void RememberDefault(const wchar_t* defaultText)
{
    if (!defaultScratch[0] && defaultText && *defaultText)
        CopyName(defaultScratch, defaultText);
}

void ResolveKnownFolder(KnownFolderItem& row)
{
    ComPtr<IShellItem> item;
    if (FAILED(SHGetKnownFolderItem(row.folderId, KF_FLAG_DONT_VERIFY, nullptr, IID_IShellItem, item.PutVoid())) ||
        !item)
        return;
    wchar_t* display = nullptr;
    if (SUCCEEDED(item->GetDisplayName(SIGDN_NORMALDISPLAY, &display)) && display) {
        TaskMemBlock given(display);
        CopyName(row.name, display);
    }
}

void ResolveDllString(DllStringItem& row)
{
    HMODULE module = GetModuleHandleW(row.moduleName);
    LoadedModule loadedHere;
    if (!module) {
        // Only its string table is wanted: map it as a resource image, so
        // that none of its code runs inside the host.
        loadedHere.Reset(
            LoadLibraryExW(row.moduleName, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        module = loadedHere.Get();
    }
    if (!module)
        return;
    if (LoadStringW(module, row.stringId, row.name, MAX_PATH) <= 0)
        row.name[0] = L'\0';
}

// --- the translation file ------------------------------------------------------

struct TranslationEntry {
    wchar_t key[MAX_PATH];
    wchar_t value[MAX_PATH];
};

int FreeEntry(unsigned __int64, unsigned int, void* item)
{
    DllBlock<TranslationEntry> leaving(static_cast<TranslationEntry*>(item));
    return 1;
}

// Keeps the entries of the section named like the user's first preferred
// UI language.
class IniTranslations : public IniFile {
public:
    explicit IniTranslations(const wchar_t* path) : IniFile(path) { entries.SetCallback(0, FreeEntry); }
    ~IniTranslations() override { entries.RemoveAll(); }

    // False when there was no memory for the language's name.
    bool ReadPreferredLanguage()
    {
        constexpr ULONG bufferSize = 100;
        languages.Reset(DllHeap::AllocArrayZero<wchar_t>(bufferSize));
        if (!languages)
            return false;
        ULONG count = 0;
        ULONG size = bufferSize;
        if (!GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, &count, languages.Get(), &size))
            languages.Get()[0] = L'\0';
        languages.Get()[bufferSize - 1] = L'\0';
        return true;
    }

    int CallBack(CallBackFlag kind, const wchar_t* section, const wchar_t* key, const wchar_t* value) override
    {
        if (kind != cbEntry || !languages.Get()[0] || !SameKey(section, languages.Get()))
            return 1;
        DllBlock<TranslationEntry> entry(static_cast<TranslationEntry*>(DllHeap::AllocZero(sizeof(TranslationEntry))));
        if (!entry) {
            outOfMemory = true;
            return 1;
        }
        lstrcpynW(entry.Get()->key, key, MAX_PATH);
        lstrcpynW(entry.Get()->value, value, MAX_PATH);
        if (!entries.AddTail(entry.Get())) {
            outOfMemory = true;
            return 1;
        }
        entry.Release();
        return 1;
    }

    // Whether an entry was lost for want of memory while reading.
    bool LostEntries() const { return outOfMemory; }

    const wchar_t* Find(const wchar_t* key) const
    {
        for (POS pos = entries.GetHeadPos(); pos;) {
            auto* entry = static_cast<const TranslationEntry*>(entries.GetNext(pos));
            if (SameKey(entry->key, key))
                return entry->value;
        }
        return nullptr;
    }

private:
    DllBlock<wchar_t> languages;
    ZnList entries;
    bool outOfMemory = false;
};

IniTranslations* translations = nullptr;

void TranslationFilePath(wchar_t (&path)[MAX_PATH])
{
    DWORD length = GetModuleFileNameW(hiDLL, path, MAX_PATH);
    if (length >= MAX_PATH)
        length = 0;
    while (length > 0 && path[length - 1] != L'\\' && path[length - 1] != L'/' && path[length - 1] != L':')
        --length;
    path[length] = L'\0';
    lstrcpynW(path + length, L"StartMenuL10N.ini", MAX_PATH - length);
}

// The translation file's entries, or null when memory ran out while they
// were read: then nothing is kept, and the next lookup tries again rather
// than answering from half a file for the rest of the process.
IniTranslations* LoadTranslations()
{
    wchar_t path[MAX_PATH];
    TranslationFilePath(path);
    std::unique_ptr<IniTranslations> loaded(new (std::nothrow) IniTranslations(path));
    if (!loaded || !loaded->ReadPreferredLanguage())
        return nullptr;

    unsigned long size = ZnFile::GetFileSizeForText(path);
    ZnFileTextFmt format = fmtNone;
    unsigned long characters = ZnFile::GetTextSize(path, &size, &format);
    if (characters == 0 || characters == 0xFFFFFFFF)
        return loaded.release();
    DllBlock<wchar_t> text(DllHeap::AllocArrayZero<wchar_t>(characters));
    if (!text)
        return nullptr;
    unsigned long read = ZnFile::GetText(path, size, format, text.Get(), characters, L'.');
    if (read != 0 && read != 0xFFFFFFFF)
        loaded->ReadAll(text.Get(), characters);
    loaded->DeleteParser();
    if (loaded->LostEntries())
        return nullptr;
    return loaded.release();
}

} // namespace

const wchar_t* TranslateDll(const wchar_t* key, const wchar_t* fallback)
{
    if (!key)
        return fallback;
    defaultScratch[0] = L'\0';
    unsigned hash = KeyHash(key);

    KnownFolderItem* firstFolderRow = nullptr;
    for (size_t i = 0; i < folderRows; ++i) {
        KnownFolderItem& row = knownFolderItems[i];
        if (folderKeyHashes[i] != hash || !SameKey(row.key, key))
            continue;
        if (!firstFolderRow)
            firstFolderRow = &row;
        if (!row.name[0])
            ResolveKnownFolder(row);
        if (!row.name[0])
            RememberDefault(row.defaultText);
        if (row.name[0])
            return row.name;
    }

    DllStringItem* firstStringRow = nullptr;
    for (size_t i = 0; i < stringRows; ++i) {
        DllStringItem& row = dllStringItems[i];
        if (stringKeyHashes[i] != hash || !SameKey(row.key, key))
            continue;
        if (!firstStringRow)
            firstStringRow = &row;
        if (row.name[0])
            return row.name;
        ResolveDllString(row);
        if (!row.name[0])
            RememberDefault(row.defaultText);
        if (row.name[0])
            return row.name;
    }

    // Windows gave no name: the English text answers from now on.
    if (defaultScratch[0]) {
        wchar_t(&name)[MAX_PATH] = firstFolderRow ? firstFolderRow->name : firstStringRow->name;
        CopyName(name, defaultScratch);
        return name;
    }

    if (findTranslation)
        return findTranslation(key, fallback);
    if (!translations)
        translations = LoadTranslations();
    const wchar_t* translated = translations ? translations->Find(key) : nullptr;
    return translated ? translated : fallback;
}

void SetFindTranslationCallback(FindTranslationCallback callback)
{
    findTranslation = callback;
}

void ReleaseStartMenuTranslations()
{
    std::unique_ptr<IniTranslations> released(std::exchange(translations, nullptr));
}
