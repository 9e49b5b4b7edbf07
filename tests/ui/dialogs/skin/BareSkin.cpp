// The test skin's pictures without any of the skin entry points: a library
// that skin mode must refuse.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI NotASkin()
{
    return 1;
}
