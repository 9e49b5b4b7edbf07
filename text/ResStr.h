// ResStr: a string-table text loaded by id into a heap copy it owns.
// A positive id names a string of the current product module (the library's
// own when no module is registered); a negative id names the string with
// the id's absolute value in the library itself; id 0 is the empty string.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class PVDLL_API ResStr {
public:
    ResStr() : psz(nullptr) {}
    explicit ResStr(short id, HINSTANCE module = nullptr, int flag = 0);
    ~ResStr();
    // The object owns its copy: copying is withheld, moving transfers it.
    ResStr(const ResStr&) = delete;
    ResStr& operator=(const ResStr&) = delete;
    ResStr(ResStr&& other) noexcept;
    ResStr& operator=(ResStr&& other) noexcept;

    // Returns the text, or "" when there is none or no memory to hold it (at
    // most 1023 characters).
    // The flag does not change the result. Int ids are taken as their low
    // 16 bits.
    const wchar_t* Load(short id, HINSTANCE module = nullptr, int flag = 0);
    const wchar_t* Load(int id, HINSTANCE module = nullptr, int flag = 0);
    const wchar_t* Load(unsigned id, HINSTANCE module = nullptr, int flag = 0);

    operator const wchar_t*() const { return psz ? psz : L""; }
    int IsEmpty() const { return !psz || !psz[0]; }
    void Empty();

protected:
    void Hold(const wchar_t* text);

    wchar_t* psz;
};

// A string-table text used as a format for the further arguments. When the
// result is empty the object keeps the unformatted format.
class PVDLL_API ResStrFmt : public ResStr {
public:
    ResStrFmt(short id, ...);
    ResStrFmt(short id, HINSTANCE module, char* args);

private:
    void Format(short id, HINSTANCE module, va_list args);
};
