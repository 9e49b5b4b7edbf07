// The smallest DLL the toolchain makes: the yardstick for the cost of
// loading and unloading PVDLL.dll.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
