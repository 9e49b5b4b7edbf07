#include "text/ResStr.h"

#include <utility>

#include "base/ProductInfo.h"
#include "base/internal/DllHeap.h"
#include "base/StrFormat.h"

namespace {

constexpr int workAreaSize = 1024;

// Reads string id into out (workAreaSize characters); "" when there is none.
void LoadFromTable(short id, HINSTANCE module, wchar_t* out)
{
    out[0] = L'\0';
    if (id == 0)
        return;
    GetMyProductInfo()->ConvertResourceId(id, module);
    if (LoadStringW(module, static_cast<unsigned short>(id), out, workAreaSize) <= 0)
        out[0] = L'\0';
}

} // namespace

ResStr::ResStr(short id, HINSTANCE module, int flag) : psz(nullptr)
{
    Load(id, module, flag);
}

ResStr::~ResStr()
{
    Empty();
}

ResStr::ResStr(ResStr&& other) noexcept : psz(other.psz)
{
    other.psz = nullptr;
}

ResStr& ResStr::operator=(ResStr&& other) noexcept
{
    if (this != &other) {
        Empty();
        psz = other.psz;
        other.psz = nullptr;
    }
    return *this;
}

void ResStr::Empty()
{
    DllBlock<wchar_t>(std::exchange(psz, nullptr));
}

// Without memory for the copy the string stays empty.
void ResStr::Hold(const wchar_t* text)
{
    Empty();
    if (text && text[0]) {
        psz = DllHeap::CopyText(text, static_cast<size_t>(lstrlenW(text)));
        if (!psz)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
}

const wchar_t* ResStr::Load(short id, HINSTANCE module, int)
{
    wchar_t text[workAreaSize];
    LoadFromTable(id, module, text);
    Hold(text);
    return *this;
}

const wchar_t* ResStr::Load(int id, HINSTANCE module, int flag)
{
    return Load(static_cast<short>(id), module, flag);
}

const wchar_t* ResStr::Load(unsigned id, HINSTANCE module, int flag)
{
    return Load(static_cast<short>(id), module, flag);
}

ResStrFmt::ResStrFmt(short id, ...)
{
    va_list args;
    va_start(args, id);
    Format(id, nullptr, args);
    va_end(args);
}

ResStrFmt::ResStrFmt(short id, HINSTANCE module, char* args)
{
    Format(id, module, args);
}

void ResStrFmt::Format(short id, HINSTANCE module, va_list args)
{
    wchar_t format[workAreaSize];
    LoadFromTable(id, module, format);
    if (!format[0])
        return;
    wchar_t text[workAreaSize];
    StrFormatV(text, workAreaSize, format, args);
    Hold(text[0] ? text : format);
}
