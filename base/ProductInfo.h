// The product identity and the registry of the product's modules present in
// the process. There is one product object per process, reached through
// GetMyProductInfo(); every module of the product registers an AppInstance
// for its lifetime, and the newest registered one is the current module.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "base/ZnList.h"
#include "base/CritSec.h"

class ProgressEx;

// One product module inside the process: its module handle (whose resources
// positive resource ids name), its component name and its registry root.
// Constructing one registers it; destroying it unregisters it.
class PVDLL_API AppInstance {
public:
    AppInstance(HINSTANCE instance, const wchar_t* component);
    virtual ~AppInstance();
    AppInstance(const AppInstance&) = delete;
    AppInstance& operator=(const AppInstance&) = delete;

    // Keeps a heap copy of key; null leaves no root key.
    void SetAppRootKey(const wchar_t* key);
    // Null when there is no root key or it is empty.
    const wchar_t* GetAppRootKey() const;

    HINSTANCE hInstance;
    const wchar_t* component;  // not owned
    wchar_t* rootKey;          // owned
    unsigned rootKeyLength;
};

class PVDLL_API ProductInfo {
public:
    ProductInfo();
    ProductInfo(const ProductInfo&) = delete;
    ProductInfo& operator=(const ProductInfo&) = delete;

    // What the product is. The other modules call these through the one
    // process-wide object; the order of the virtual slots is fixed.
    virtual unsigned short GetID() = 0;
    virtual const wchar_t* GetStoreID() = 0;
    virtual const wchar_t* GetName() = 0;
    virtual const wchar_t* GetTitleName() = 0;
    virtual const wchar_t* GetVersionStr() = 0;
    virtual const wchar_t* GetVersionStrLong(int bold) = 0;
    virtual const wchar_t* GetVersionStrRev(int bold) = 0;
    virtual unsigned GetVersionNum() = 0;
    virtual unsigned __int64 GetVersionQWORD() = 0;
    virtual const wchar_t* GetLanguage() = 0;
    virtual const wchar_t* GetRevisionStr() = 0;
    virtual unsigned GetRevisionNum() = 0;
    virtual const wchar_t* GetEditionShort() = 0;
    virtual const wchar_t* GetOEMStr();
    virtual const wchar_t* GetForOS() = 0;
    virtual const wchar_t* GetCopyrightYear() = 0;
    virtual const wchar_t* GetArch() = 0;
    virtual int GetIconID() = 0;
    virtual HINSTANCE GetIconInstance() = 0;
    virtual const wchar_t* GetMsgTitle();
    virtual const wchar_t* MakeTitleLong(wchar_t* buffer, unsigned size);
    virtual unsigned GetReleaseMonth() = 0;
    virtual ~ProductInfo();

    // The current module.
    HINSTANCE GetAppInstance();
    const wchar_t* GetComponent();
    const wchar_t* GetAppRootKey();
    void SetAppRootKey(const wchar_t* key);
    void PushAppRootKey(const wchar_t* key);
    void PopAppRootKey();

    // A negative id names a resource of the library, a positive one a
    // resource of the current module. Chooses the module when none is
    // given and makes the id positive.
    void ConvertResourceId(short& id, HINSTANCE& instance);

    int IsLangEN();
    // 1 when text, from its first digit on, is this version.
    int IsSameVersion(const wchar_t* text);

    // The company message ("CorvennaMessage") between the product's modules.
    LRESULT SendMyMessage(HWND hwnd, WPARAM wParam, LPARAM lParam);
    BOOL PostMyMessage(HWND hwnd, WPARAM wParam, LPARAM lParam);
    BOOL BroadcastMyMessage(WPARAM wParam, LPARAM lParam);
    // Asks every running module of the product to shut down, then gives them
    // the given number of seconds, stepping the progress object (if any)
    // once a second. The owner window is not used.
    void ShutDownMyModules(HWND owner, ProgressEx* progress, unsigned seconds);

    static ZnList listApp;            // AppInstance*, newest first; not owned
    static AppInstance* pCurrentApp;  // newest registered, or null
    static CritSec critSec;           // guards listApp and pCurrentApp

protected:
    friend class AppInstance;
    void EnterApp(AppInstance* app);
    void LeaveApp(AppInstance* app);

private:
    wchar_t* pushedRootKey;
    unsigned pushedRootKeyLength;
    wchar_t defaultRootKey[256];
};

// Launchora's identity.
class PVDLL_API MyProductInfo : public ProductInfo {
public:
    unsigned short GetID() override;
    const wchar_t* GetStoreID() override;
    const wchar_t* GetName() override;
    const wchar_t* GetTitleName() override;
    const wchar_t* GetVersionStr() override;
    const wchar_t* GetVersionStrLong(int bold) override;
    // Built in one process-wide buffer that each call overwrites.
    const wchar_t* GetVersionStrRev(int bold) override;
    unsigned GetVersionNum() override;
    unsigned __int64 GetVersionQWORD() override;
    const wchar_t* GetLanguage() override;
    const wchar_t* GetRevisionStr() override;
    unsigned GetRevisionNum() override;
    const wchar_t* GetEditionShort() override;
    const wchar_t* GetForOS() override;
    const wchar_t* GetCopyrightYear() override;
    const wchar_t* GetArch() override;
    int GetIconID() override;
    HINSTANCE GetIconInstance() override;
    unsigned GetReleaseMonth() override;
};

PVDLL_API ProductInfo* GetMyProductInfo();

// The registered number of "CorvennaMessage" (registered on first use).
PVDLL_API UINT GetCompanyMessage();
// As SendMessageW / PostMessageW of the company message; 0 for a null hwnd.
PVDLL_API LRESULT SendMyCompanyMsg(HWND hwnd, WPARAM wParam, LPARAM lParam);
PVDLL_API BOOL PostMyCompanyMsg(HWND hwnd, WPARAM wParam, LPARAM lParam);
