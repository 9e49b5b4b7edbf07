// What the message boxes share about their texts: telling a string id from
// a string, and the text either one stands for.
#pragma once

#include <windows.h>

#include <cstdint>

#include "text/ResStr.h"

namespace MsgText {

// An id is below 0x10000, or a negative 16-bit id widened to a pointer. The
// whole value is looked at: a string whose address merely ends in a small
// number is still a string.
inline bool IsStringId(const wchar_t* text)
{
    auto value = reinterpret_cast<uintptr_t>(text);
    return value < 0x10000 || value >= static_cast<uintptr_t>(-0x10000);
}

// The text of text: the string itself, or the string id's text loaded into
// holder ("" when it cannot be loaded, and for a null text).
inline const wchar_t* Resolve(const wchar_t* text, ResStr& holder)
{
    if (!text)
        return L"";
    if (!IsStringId(text))
        return text;
    return holder.Load(static_cast<short>(reinterpret_cast<uintptr_t>(text) & 0xFFFF));
}

} // namespace MsgText
