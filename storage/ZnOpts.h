// Option sets: up to 32 on/off options kept as one 32-bit word. ZnOpts
// holds the word, ZnOptsLoader is something that loads and stores a word
// held elsewhere, and BoolOpts keeps it as one REG_DWORD under the
// application's registry key, with a "Temp" subkey for settings that are
// tried out before they are committed.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class RegKey;

class PVDLL_API ZnOpts {
public:
    ZnOpts() : dwOpts(0) {}
    ZnOpts(const ZnOpts& other) : dwOpts(other.dwOpts) {}
    ZnOpts& operator=(const ZnOpts& other)
    {
        CopyFrom(const_cast<ZnOpts*>(&other));
        return *this;
    }
    virtual ~ZnOpts() = default;

    // The defaults; a set with options on by default overrides this.
    virtual void Reset() { dwOpts = 0; }
    virtual void CopyFrom(ZnOpts* other) { dwOpts = other->dwOpts; }
    virtual int IsDifferent(ZnOpts* other) { return dwOpts != other->dwOpts; }

    int IsOn(unsigned mask) const { return (dwOpts & mask) != 0; }
    void Set(unsigned mask, int on) { dwOpts = on ? dwOpts | mask : dwOpts & ~mask; }
    void Get(unsigned mask, int& on) const { on = IsOn(mask); }
    void SetBits(unsigned mask, unsigned value) { dwOpts = (dwOpts & ~mask) | (value & mask); }
    unsigned GetBits(unsigned mask) const { return dwOpts & mask; }
    void SetAll(unsigned value) { dwOpts = value; }
    unsigned GetAll() const { return dwOpts; }
    unsigned* GetPtrAll() { return &dwOpts; }
    operator unsigned int() const { return dwOpts; }
    operator unsigned long() const { return dwOpts; }
    // The word of a set that may be missing: all options off without one.
    static unsigned WordOf(const ZnOpts* opts) { return opts ? opts->dwOpts : 0; }

protected:
    unsigned dwOpts;
};

class PVDLL_API ZnOptsLoader {
public:
    explicit ZnOptsLoader(ZnOpts* opts) : pOpts(opts) {}
    ZnOptsLoader(const ZnOptsLoader&) = default;
    ZnOptsLoader& operator=(const ZnOptsLoader&) = default;
    virtual ~ZnOptsLoader() = default;

    virtual int Load() = 0;
    virtual int Store() = 0;
    virtual void Reset() { pOpts->Reset(); }
    virtual void CopyFrom(ZnOptsLoader* other) { pOpts->CopyFrom(other->pOpts); }
    virtual int IsDifferent(ZnOptsLoader* other) { return pOpts->IsDifferent(other->pOpts); }

    int IsOn(unsigned mask) const { return pOpts->IsOn(mask); }
    void Set(unsigned mask, int on) { pOpts->Set(mask, on); }
    void Get(unsigned mask, int& on) const { pOpts->Get(mask, on); }
    void SetBits(unsigned mask, unsigned value) { pOpts->SetBits(mask, value); }
    unsigned GetBits(unsigned mask) const { return pOpts->GetBits(mask); }
    void SetAll(unsigned value) { pOpts->SetAll(value); }
    unsigned GetAll() const { return pOpts->GetAll(); }
    unsigned* GetPtrAll() { return pOpts->GetPtrAll(); }
    operator unsigned int() const { return ZnOpts::WordOf(pOpts); }
    operator unsigned long() const { return ZnOpts::WordOf(pOpts); }

protected:
    ZnOpts* pOpts;  // not owned
};

class PVDLL_API BoolOpts : public ZnOptsLoader {
public:
    // valueName is kept as given (not copied): it must outlive the object.
    explicit BoolOpts(const wchar_t* valueName);
    // The loader points at its own embedded set, never at another object's.
    BoolOpts(const BoolOpts& other);
    BoolOpts& operator=(const BoolOpts& other);

    int Load() override;
    int Store() override;
    virtual int DoLoad(RegKey& key);
    virtual int DoStore(RegKey& key);
    // Hooks for a subclass that keeps further values in the same key.
    virtual void OnLoad(RegKey& key);
    virtual void OnStore(RegKey& key);
    virtual const wchar_t* GetRegKeyName();

    int LoadTemp();
    int StoreTemp();
    int DelTemp();

    const wchar_t* GetRegValueName() const { return pszValueName; }
    void SetRegValueName(const wchar_t* name) { pszValueName = name; }

    static const wchar_t* const pszRegTempKeyName;
    static const wchar_t* GetTempSubKey() { return pszRegTempKeyName; }

protected:
    int MyLoad(int temp);
    int MyStore(int temp);

    ZnOpts opts;
    const wchar_t* pszValueName;

private:
    void KeyPath(wchar_t (&path)[256], int temp);
};
