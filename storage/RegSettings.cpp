// Settings kept through RegKey: rectangles, fonts, policies, the home
// folder, and the move from the maker's legacy root.
#include "storage/RegKey.h"

#include <utility>

#include "base/internal/DllHeap.h"
#include "storage/internal/LastError.h"
#include "base/StrFormat.h"

namespace {

const wchar_t userRoot[] = L"HKCU\\Software\\Corvenna";
const wchar_t machineRoot[] = L"HKLM\\Software\\Corvenna";
const wchar_t legacyMachineRoot[] = L"HKLM\\Software\\Brellwick";

constexpr unsigned pathSize = 265;

} // namespace

// --- rectangles ------------------------------------------------------------------

namespace {

struct Edge {
    const wchar_t* letter;
    LONG RECT::*field;
};

const Edge edges[] = {{L"L", &RECT::left}, {L"T", &RECT::top}, {L"R", &RECT::right}, {L"B", &RECT::bottom}};

} // namespace

int RegGetRect(RegKey& key, RECT* rect, const wchar_t* name)
{
    int found = 0;
    for (const Edge& edge : edges) {
        wchar_t valueName[256];
        StrFormat(valueName, 256, L"%s%s", name ? name : L"", edge.letter);
        if (key.GetValueType(valueName) == 0)
            continue;
        rect->*edge.field = key.GetInt(valueName, rect->*edge.field);
        ++found;
    }
    return found == 4;
}

int RegPutRect(RegKey& key, RECT* rect, const wchar_t* name)
{
    int ok = 1;
    for (const Edge& edge : edges) {
        wchar_t valueName[256];
        StrFormat(valueName, 256, L"%s%s", name ? name : L"", edge.letter);
        ok &= key.PutDword(valueName, static_cast<DWORD>(rect->*edge.field), 1) != 0;
    }
    return ok;
}

// --- fonts -----------------------------------------------------------------------

LOGFONTW* RegNewLogFont(LOGFONTW*& font)
{
    if (!font && !(font = DllHeap::AllocArrayZero<LOGFONTW>(1)))
        LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
    return font;
}

// The record RegNewLogFont handed out comes back here.
void RegDelLogFont(LOGFONTW*& font)
{
    DllBlock<LOGFONTW>(std::exchange(font, nullptr));
}

int RegGetLogFont(RegKey& key, const wchar_t* name, LOGFONTW*& font)
{
    static_assert(sizeof(LOGFONTW) == 92, "a stored font is a 92-byte LOGFONTW");
    if (key.GetBinSize(name) == sizeof(LOGFONTW)) {
        // Without memory for a record there is no font to read into.
        if (!RegNewLogFont(font))
            return 0;
        if (key.GetBin(name, font, sizeof(LOGFONTW), nullptr)) {
            font->lfFaceName[LF_FACESIZE - 1] = L'\0';
            return 1;
        }
    }
    RegDelLogFont(font);
    return 0;
}

int RegPutLogFont(RegKey& key, const wchar_t* name, LOGFONTW* font)
{
    if (!font)
        return key.DelValue(name);
    return key.PutBin(name, font, sizeof(LOGFONTW), REG_BINARY);
}

// --- policies and the home folder ------------------------------------------------

DWORD Restricted(const wchar_t* product, const wchar_t* name)
{
    wchar_t path[pathSize];
    StrFormat(path, pathSize, L"%s\\%s\\%s", userRoot, product ? product : L"", L"Setup\\Restrictions");
    RegKey key(path, 0);
    return static_cast<DWORD>(key.GetInt(name, 0));
}

int GetHomeFolder(const wchar_t* product, wchar_t* out)
{
    if (!out)
        return 0;
    out[0] = L'\0';
    return ProcessHomeFolder(RegKey::opRead, product, out, MAX_PATH);
}

int ProcessHomeFolder(RegKey::Op op, const wchar_t* product, wchar_t* str, unsigned cch)
{
    if (!product)
        product = L"";
    wchar_t path[pathSize];
    StrFormat(path, pathSize, L"%s\\%s\\Setup", machineRoot, product);
    RegKey key;
    if (RegKey::IsWritable(op)) {
        MoveLegacySettings(0, product);
        key.Open(path, 1);
    } else if (!key.Open(path, 0)) {
        StrFormat(path, pathSize, L"%s\\%s\\Setup", legacyMachineRoot, product);
        key.Open(path, 0);
    }
    return key.ProcessEntry(op, L"Home", str, cch);
}

int MoveLegacySettings(int currentUser, const wchar_t* product)
{
    if (!product || !*product)
        return 1;
    const wchar_t* root = currentUser ? L"HKCU" : L"HKLM";
    wchar_t path[pathSize];
    StrFormat(path, pathSize, L"%s\\Software\\Corvenna\\%s", root, product);
    if (RegKey(path, 0).IsOpen())
        return 1;

    wchar_t legacyPath[pathSize];
    StrFormat(legacyPath, pathSize, L"%s\\%s\\%s", root, L"Software\\Brellwick", product);
    RegKey legacy(legacyPath, 0);
    if (!legacy.IsOpen())
        return 1;
    RegKey moved(path, 1);
    // The legacy settings go only once they are all in their new place.
    if (!moved.IsOpen() || !legacy.CopyTo(moved))
        return 0;
    legacy.Close();

    StrFormat(legacyPath, pathSize, L"%s\\Software\\Brellwick", root);
    RegKey(legacyPath, 1).DelSubKey(product);
    StrFormat(path, pathSize, L"%s\\Software", root);
    RegKey(path, 1).DelSubKeyIfEmpty(L"Brellwick");
    return 1;
}
