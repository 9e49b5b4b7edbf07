// How a window object meets the window it creates: creating arms a slot of
// the creating thread with the object, and the first message the class
// procedure gets for the new window takes the object out of the slot and
// records it in a window property. One slot per kind of object and thread,
// since windows may be created on several threads at once. Internal.
#pragma once

#include <windows.h>

#include "base/LibraryEntry.h"

template <typename Object>
class WindowBinding {
public:
    // The object whose window this thread is creating, until it is bound.
    static Object* Pending() { return pending; }

    // Creates object's window in the library's module. The slot is empty
    // again afterwards however the creation went: one that failed before
    // any message must not leave it armed for a later window.
    static HWND Create(Object* object, DWORD exStyle, const wchar_t* className, const wchar_t* windowName,
                       DWORD style, int x, int y, int cx, int cy, HWND parent, HMENU menu, void* param)
    {
        pending = object;
        HWND made = CreateWindowExW(exStyle, className, windowName, style, x, y, cx, cy, parent, menu, hiDLL, param);
        Forget(object);
        return made;
    }

    // Binds the pending object to h under the property propName; null when
    // no object is pending.
    static Object* Bind(HWND h, const wchar_t* propName)
    {
        Object* object = pending;
        if (!object || !h)
            return nullptr;
        pending = nullptr;
        SetPropW(h, propName, object);
        object->hWnd = h;
        return object;
    }

    // An object that goes away must not be left pending.
    static void Forget(Object* object)
    {
        if (pending == object)
            pending = nullptr;
    }

private:
    static inline thread_local Object* pending = nullptr;
};
