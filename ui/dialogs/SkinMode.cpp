// Skin mode: the skin library of the process, its five entry points, the
// menu metrics copied for the owner-drawn menus and the message-box skin.
#include "ui/dialogs/ZnDlgSkin.h"

#include <memory>
#include <new>

#include "base/CritSec.h"
#include "base/ScopeGuards.h"
#include "ui/dialogs/MsgBox.h"
#include "ui/dialogs/internal/SkinPixels.h"

namespace {

typedef SKIN_METRICS*(WINAPI* MetricsEntry)(SKIN_KIND kind);
typedef SKIN_AREA_METRICS*(WINAPI* AreasEntry)(SKIN_KIND kind);
typedef SKIN_WIZ_METRICS*(WINAPI* WizEntry)();
typedef SKIN_MENU_METRICS*(WINAPI* MenuEntry)();
typedef SKIN_ICON_BTN_METRICS*(WINAPI* IconBtnEntry)(SKIN_KIND kind);

struct SkinEntries {
    MetricsEntry metrics;
    AreasEntry areas;
    WizEntry wiz;
    MenuEntry menu;
    IconBtnEntry iconBtn;
};

template <typename Fn>
Fn Entry(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

SkinEntries ResolveEntries(HMODULE module)
{
    if (!module)
        return {};
    return {Entry<MetricsEntry>(module, "DllGetSkinMetrics"), Entry<AreasEntry>(module, "DllGetSkinAreas"),
        Entry<WizEntry>(module, "DllGetSkinWizMetrics"), Entry<MenuEntry>(module, "DllGetSkinMenuMetrics"),
        Entry<IconBtnEntry>(module, "DllGetSkinIconBtnMetrics")};
}

// What the users of skin mode share, from the first to the last. It lives
// on the heap and not in a static object: a process that ends with skin
// mode still on must not free it from the library's detach, when the skin
// library (and gdi32) may have been detached already.
struct SkinModeHold {
    LoadedModule loaded;
    std::unique_ptr<ZnDlgSkin> msgBoxSkin;
    // A message-box skin replaced while a box showed it: kept until that
    // box is gone.
    std::unique_ptr<ZnDlgSkin> retiredMsgBoxSkin;
};

CritSec skinLock;
long skinUsers;
SkinModeHold* hold;
// The skin library in use: the one loaded here, or the one SetDllSkin gave.
HMODULE skinModule;
SkinEntries entries;
SKIN_MENU_METRICS menuMetrics;
int hasMenuMetrics;

// Only a full path names the file the application means: a bare or
// relative name would be looked for along the search path, where any
// folder could plant a library of that name.
bool IsFullPath(const wchar_t* file)
{
    auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    auto letter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    if (letter(file[0]) && file[1] == L':' && separator(file[2]))
        return true;
    // UNC (\\server\share\...) and \\?\ paths.
    return separator(file[0]) && separator(file[1]) && file[2] && !separator(file[2]);
}

SkinEntries CurrentEntries()
{
    CritSecLock lock(skinLock);
    return entries;
}

// The library's imports come from its own folder and the system folder
// only; nothing is looked up along the search path.
HMODULE LoadSkinLibrary(const wchar_t* file)
{
    if (!IsFullPath(file))
        return nullptr;
    ErrorModeSuppressor quiet;
    return LoadLibraryExW(file, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void StartSkinMode(const wchar_t* file)
{
    std::unique_ptr<SkinModeHold> made(new (std::nothrow) SkinModeHold);
    if (!made)
        return;
    made->loaded.Reset(LoadSkinLibrary(file));
    if (!made->loaded)
        return;
    // Without its metrics a library cannot skin anything: it is let go.
    SkinEntries found = ResolveEntries(made->loaded.Get());
    if (!found.metrics)
        return;
    hold = made.release();
    skinModule = hold->loaded.Get();
    entries = found;
    hasMenuMetrics = 0;
    if (SKIN_MENU_METRICS* menu = entries.menu ? entries.menu() : nullptr) {
        menuMetrics = *menu;
        hasMenuMetrics = 1;
    }
    if (SKIN_METRICS* metrics = entries.metrics(SKIN_KIND_MSGBOX)) {
        std::unique_ptr<ZnDlgSkin> skin(new (std::nothrow) ZnDlgSkin(metrics));
        if (skin && skin->SetSkin(metrics)) {
            skin->AddAreas(entries.areas ? entries.areas(SKIN_KIND_MSGBOX) : nullptr);
            hold->msgBoxSkin = std::move(skin);
        }
    }
}

void EndSkinMode()
{
    std::unique_ptr<SkinModeHold> leaving(hold);
    hold = nullptr;
    hasMenuMetrics = 0;
    menuMetrics = {};
    entries = {};
    skinModule = nullptr;
    // The message-box skin goes before the library whose pictures it shows.
    if (leaving) {
        leaving->msgBoxSkin.reset();
        leaving->retiredMsgBoxSkin.reset();
    }
}

} // namespace

void EnableSkinMode(const wchar_t* file)
{
    CritSecLock lock(skinLock);
    if (!file) {
        if (skinUsers > 0 && --skinUsers == 0)
            EndSkinMode();
        return;
    }
    ++skinUsers;
    // A library that could not be loaded is tried again by the next user.
    if (!hold)
        StartSkinMode(file);
}

void SetDllSkin(HMODULE module)
{
    CritSecLock lock(skinLock);
    skinModule = module;
    entries = ResolveEntries(module);
}

HMODULE GetDllSkin()
{
    CritSecLock lock(skinLock);
    return skinModule;
}

int IsSkinMode()
{
    return GetDllSkin() != nullptr;
}

SKIN_METRICS* GetSkinMetrics(SKIN_KIND kind)
{
    SkinEntries now = CurrentEntries();
    return now.metrics ? now.metrics(kind) : nullptr;
}

SKIN_AREA_METRICS* GetSkinAreas(SKIN_KIND kind)
{
    SkinEntries now = CurrentEntries();
    return now.areas ? now.areas(kind) : nullptr;
}

SKIN_WIZ_METRICS* GetSkinWizMetrics()
{
    SkinEntries now = CurrentEntries();
    return now.wiz ? now.wiz() : nullptr;
}

SKIN_MENU_METRICS* GetSkinMenuMetrics()
{
    SkinEntries now = CurrentEntries();
    return now.menu ? now.menu() : nullptr;
}

SKIN_ICON_BTN_METRICS* GetSkinIconBtnMetrics(SKIN_KIND kind)
{
    SkinEntries now = CurrentEntries();
    return now.iconBtn ? now.iconBtn(kind) : nullptr;
}

const SKIN_MENU_METRICS* GetSkinModeMenuMetrics()
{
    CritSecLock lock(skinLock);
    return skinModule && hasMenuMetrics ? &menuMetrics : nullptr;
}

ZnDlgSkin* GetMsgBoxSkin()
{
    CritSecLock lock(skinLock);
    return hold ? hold->msgBoxSkin.get() : nullptr;
}

HBITMAP LoadSkinPicture(int pictureId)
{
    HMODULE module = GetDllSkin();
    return module ? SkinPixels::LoadPictureResource(module, pictureId) : nullptr;
}

void MsgEx_SetSkin(SKIN_METRICS* metrics, SKIN_AREA_METRICS* areas)
{
    CritSecLock lock(skinLock);
    if (!hold)
        return;
    std::unique_ptr<ZnDlgSkin> made;
    if (metrics) {
        made.reset(new (std::nothrow) ZnDlgSkin(metrics));
        // A skin whose picture cannot be had leaves the current one.
        if (!made || !made->SetSkin(metrics))
            return;
        made->AddAreas(areas);
    }
    if (hold->retiredMsgBoxSkin && !hold->retiredMsgBoxSkin->GetDlg())
        hold->retiredMsgBoxSkin.reset();
    if (hold->msgBoxSkin && hold->msgBoxSkin->GetDlg() && !hold->retiredMsgBoxSkin)
        hold->retiredMsgBoxSkin = std::move(hold->msgBoxSkin);
    hold->msgBoxSkin = std::move(made);
}
