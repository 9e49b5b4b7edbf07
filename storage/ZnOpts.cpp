#include "storage/ZnOpts.h"

#include "base/ProductInfo.h"
#include "storage/RegKey.h"
#include "base/StrFormat.h"

const wchar_t* const BoolOpts::pszRegTempKeyName = L"Temp";

BoolOpts::BoolOpts(const wchar_t* valueName) : ZnOptsLoader(&opts), pszValueName(valueName)
{
    opts.Reset();
}

BoolOpts::BoolOpts(const BoolOpts& other) : ZnOptsLoader(&opts), opts(other.opts), pszValueName(other.pszValueName)
{
}

BoolOpts& BoolOpts::operator=(const BoolOpts& other)
{
    opts.SetAll(other.opts.GetAll());
    pszValueName = other.pszValueName;
    return *this;
}

int BoolOpts::Load()
{
    return MyLoad(0);
}

int BoolOpts::Store()
{
    return MyStore(0);
}

int BoolOpts::LoadTemp()
{
    return MyLoad(1);
}

int BoolOpts::StoreTemp()
{
    return MyStore(1);
}

const wchar_t* BoolOpts::GetRegKeyName()
{
    return GetMyProductInfo()->GetAppRootKey();
}

void BoolOpts::KeyPath(wchar_t (&path)[256], int temp)
{
    const wchar_t* key = GetRegKeyName();
    if (temp)
        StrFormat(path, 256, L"%s\\%s", key ? key : L"", pszRegTempKeyName);
    else
        StrFormat(path, 256, L"%s", key ? key : L"");
}

int BoolOpts::MyLoad(int temp)
{
    Reset();
    wchar_t path[256];
    KeyPath(path, temp);
    RegKey key(path, 0);
    if (!key.IsOpen())
        return 0;
    DoLoad(key);
    return 1;
}

int BoolOpts::MyStore(int temp)
{
    wchar_t path[256];
    KeyPath(path, temp);
    RegKey key(path, 1);
    if (!key.IsOpen())
        return 0;
    DoStore(key);
    if (!RegKey::IsLogging())
        key.Flush();
    return 1;
}

int BoolOpts::DelTemp()
{
    wchar_t path[256];
    KeyPath(path, 0);
    RegKey key(path, 1);
    if (!key.IsOpen())
        return 0;
    return key.DelSubKey(pszRegTempKeyName);
}

int BoolOpts::DoLoad(RegKey& key)
{
    DWORD type = 0;
    DWORD value = 0;
    // Only a real 32-bit value replaces the defaults.
    if (key.GetBinSize(pszValueName) == sizeof(value) && key.GetBin(pszValueName, &value, sizeof(value), &type) &&
        (type == REG_DWORD || type == REG_BINARY))
        opts.SetAll(value);
    OnLoad(key);
    return 1;
}

int BoolOpts::DoStore(RegKey& key)
{
    OnStore(key);
    return key.PutDword(pszValueName, opts.GetAll(), 1);
}

void BoolOpts::OnLoad(RegKey&)
{
}

void BoolOpts::OnStore(RegKey&)
{
}
