#include "base/ProductInfo.h"

#include <utility>

#include "base/LibraryEntry.h"
#include "base/StrFormat.h"
#include "base/internal/DllHeap.h"

HINSTANCE hiDLL = nullptr;

// Built in this order before the library is attached and destroyed in
// reverse order after it is detached.
CritSec ProductInfo::critSec;
ZnList ProductInfo::listApp;
AppInstance* ProductInfo::pCurrentApp = nullptr;

namespace {

MyProductInfo productInfo;

const wchar_t companyRootKey[] = L"HKCU\\Software\\Corvenna";

// Puts a heap copy of key (none for null) in place of the key held. When
// the copy cannot be had, the key held stays as it was and false comes
// back: a half-made change would leave a root key nobody asked for.
bool ReplaceKey(wchar_t*& held, unsigned& heldLength, const wchar_t* key)
{
    DllBlock<wchar_t> copy;
    unsigned length = 0;
    if (key) {
        length = static_cast<unsigned>(lstrlenW(key));
        copy.Reset(DllHeap::CopyText(key, length));
        if (!copy)
            return false;
    }
    DllBlock<wchar_t> previous(std::exchange(held, copy.Release()));
    heldLength = length;
    return true;
}

} // namespace

ProductInfo* GetMyProductInfo()
{
    return &productInfo;
}

// --- AppInstance ---------------------------------------------------------------

AppInstance::AppInstance(HINSTANCE instance, const wchar_t* componentName)
    : hInstance(instance), component(componentName), rootKey(nullptr), rootKeyLength(0)
{
    productInfo.EnterApp(this);
}

AppInstance::~AppInstance()
{
    productInfo.LeaveApp(this);
    ReplaceKey(rootKey, rootKeyLength, nullptr);
}

void AppInstance::SetAppRootKey(const wchar_t* key)
{
    ReplaceKey(rootKey, rootKeyLength, key);
}

const wchar_t* AppInstance::GetAppRootKey() const
{
    return rootKey && rootKey[0] ? rootKey : nullptr;
}

// --- ProductInfo: the module registry -----------------------------------------

ProductInfo::ProductInfo() : pushedRootKey(nullptr), pushedRootKeyLength(0), defaultRootKey{}
{
}

ProductInfo::~ProductInfo()
{
    ReplaceKey(pushedRootKey, pushedRootKeyLength, nullptr);
}

void ProductInfo::EnterApp(AppInstance* app)
{
    CritSecLock lock(critSec);
    if (app->component) {
        wchar_t key[265];
        StrFormat(key, 265, L"%s\\%s\\%s", companyRootKey, GetName(), app->component);
        app->SetAppRootKey(key);
    }
    // Without a node the module is not registered, and so not current
    // either: a current module missing from the list would be forgotten as
    // soon as any other module left.
    if (listApp.AddHead(app))
        pCurrentApp = app;
}

void ProductInfo::LeaveApp(AppInstance* app)
{
    {
        CritSecLock lock(critSec);
        POS pos = listApp.Find(app);
        if (pos)
            listApp.RemoveAt(pos);
        pCurrentApp = listApp.IsEmpty() ? nullptr : static_cast<AppInstance*>(listApp.GetHead());
    }
    PopAppRootKey();
}

HINSTANCE ProductInfo::GetAppInstance()
{
    AppInstance* app = pCurrentApp;
    return app ? app->hInstance : hiDLL;
}

const wchar_t* ProductInfo::GetComponent()
{
    AppInstance* app = pCurrentApp;
    return app && app->component ? app->component : GetTitleName();
}

const wchar_t* ProductInfo::GetAppRootKey()
{
    if (pushedRootKey)
        return pushedRootKey;
    AppInstance* app = pCurrentApp;
    if (app && app->rootKey)
        return app->rootKey;
    if (!defaultRootKey[0])
        StrFormat(defaultRootKey, 256, L"%s\\%s\\%s", companyRootKey, GetName(), GetTitleName());
    return defaultRootKey;
}

void ProductInfo::SetAppRootKey(const wchar_t* key)
{
    AppInstance* app = pCurrentApp;
    if (app && app->rootKey)
        app->SetAppRootKey(key);
    else
        lstrcpynW(defaultRootKey, key ? key : L"", 256);
}

// Out of memory leaves the key pushed before (if any) in force.
void ProductInfo::PushAppRootKey(const wchar_t* key)
{
    ReplaceKey(pushedRootKey, pushedRootKeyLength, key);
}

void ProductInfo::PopAppRootKey()
{
    ReplaceKey(pushedRootKey, pushedRootKeyLength, nullptr);
}

void ProductInfo::ConvertResourceId(short& id, HINSTANCE& instance)
{
    if (id != 0 && !instance)
        instance = id > 0 ? GetAppInstance() : hiDLL;
    if (id < 0)
        id = static_cast<short>(-id);
}

// --- ProductInfo: identity helpers ------------------------------------------

const wchar_t* ProductInfo::GetOEMStr()
{
    return L"";
}

const wchar_t* ProductInfo::GetMsgTitle()
{
    return GetTitleName();
}

const wchar_t* ProductInfo::MakeTitleLong(wchar_t* buffer, unsigned size)
{
    StrFormat(buffer, size, L"%s %s %s", GetTitleName(), GetOEMStr(), GetVersionStr());
    return buffer;
}

int ProductInfo::IsLangEN()
{
    return lstrcmpiW(GetLanguage(), L"en") == 0;
}

int ProductInfo::IsSameVersion(const wchar_t* text)
{
    if (!text)
        return 0;
    while (*text && (*text < L'0' || *text > L'9'))
        ++text;
    return lstrcmpiW(text, GetVersionStr()) == 0 ? 1 : 0;
}

// --- the company message ---------------------------------------------------------

UINT GetCompanyMessage()
{
    // Racing first calls register the same name and get the same number.
    static UINT message = 0;
    if (!message)
        message = RegisterWindowMessageW(L"CorvennaMessage");
    return message;
}

LRESULT ProductInfo::SendMyMessage(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(hwnd, GetCompanyMessage(), wParam, lParam);
}

BOOL ProductInfo::PostMyMessage(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(hwnd, GetCompanyMessage(), wParam, lParam);
}

BOOL ProductInfo::BroadcastMyMessage(WPARAM wParam, LPARAM lParam)
{
    return SendNotifyMessageW(HWND_BROADCAST, GetCompanyMessage(), wParam, lParam);
}

LRESULT SendMyCompanyMsg(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    return hwnd ? SendMessageW(hwnd, GetCompanyMessage(), wParam, lParam) : 0;
}

BOOL PostMyCompanyMsg(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    return hwnd ? PostMessageW(hwnd, GetCompanyMessage(), wParam, lParam) : FALSE;
}

// --- Launchora -------------------------------------------------------------------

#if defined(_M_ARM64) || defined(__aarch64__)
#define PVDLL_ARCH_LOWER L"arm64"
#define PVDLL_ARCH_UPPER L"ARM64"
#else
#define PVDLL_ARCH_LOWER L"x64"
#define PVDLL_ARCH_UPPER L"x64"
#endif

unsigned short MyProductInfo::GetID() { return 21301; }
const wchar_t* MyProductInfo::GetStoreID() { return L"launchora"; }
const wchar_t* MyProductInfo::GetName() { return L"Launchora"; }
const wchar_t* MyProductInfo::GetTitleName() { return L"Launchora"; }
const wchar_t* MyProductInfo::GetVersionStr() { return L"21.7"; }

const wchar_t* MyProductInfo::GetVersionStrLong(int bold)
{
    return bold ? L"Version <b>21.7</b>" : L"Version 21.7";
}

const wchar_t* MyProductInfo::GetVersionStrRev(int bold)
{
    static wchar_t text[128];
    StrFormat(text, 128, L"%s (rev. %s)", GetVersionStrLong(bold), GetRevisionStr());
    return text;
}

unsigned MyProductInfo::GetVersionNum() { return 0x15470BE0; }
unsigned __int64 MyProductInfo::GetVersionQWORD() { return 0x0015000700010BE0ULL; }
const wchar_t* MyProductInfo::GetLanguage() { return L"en"; }
const wchar_t* MyProductInfo::GetRevisionStr() { return L"3040"; }
unsigned MyProductInfo::GetRevisionNum() { return 3040; }
const wchar_t* MyProductInfo::GetEditionShort() { return PVDLL_ARCH_LOWER; }
const wchar_t* MyProductInfo::GetForOS() { return L"for Windows\u00AE " PVDLL_ARCH_UPPER; }
const wchar_t* MyProductInfo::GetCopyrightYear() { return L"2021"; }
const wchar_t* MyProductInfo::GetArch() { return L" " PVDLL_ARCH_LOWER; }
int MyProductInfo::GetIconID() { return -101; }
HINSTANCE MyProductInfo::GetIconInstance() { return hiDLL; }
unsigned MyProductInfo::GetReleaseMonth() { return 271; }
