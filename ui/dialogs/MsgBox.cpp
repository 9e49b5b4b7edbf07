// Placeholder bodies until the message boxes land: every box fails.
#include "ui/dialogs/MsgBox.h"

int Msg(HWND, unsigned int, const wchar_t*) { return 0; }
int MsgFmt(HWND, unsigned int, const wchar_t*, ...) { return 0; }
int MsgFmt(HWND, unsigned int, int, ...) { return 0; }
int MsgLastError(HWND, unsigned int, int, ...) { return 0; }
int MsgHRESULT(HWND, long, unsigned int, int, ...) { return 0; }
const wchar_t* GetLastErrorText(int) { return L""; }
void MsgSetPauseResumeCallback(void (*)(int)) {}
int MsgEx(HWND, unsigned int, const wchar_t*) { return -1; }
int MsgExFmt(HWND, unsigned int, const wchar_t*, ...) { return -1; }
int MsgExFmt(HWND, unsigned int, int, ...) { return -1; }
int MsgExFmt(HWND, unsigned int, int*, const wchar_t*, ...) { return -1; }
int MsgExFmt(HWND, unsigned int, int*, int, ...) { return -1; }
int MsgExFmtLink(const wchar_t*, HWND, unsigned int, const wchar_t*, ...) { return -1; }
int MsgExFmtLink(const wchar_t*, HWND, unsigned int, int, ...) { return -1; }
int MsgExFmtLink(const wchar_t*, HWND, unsigned int, int*, const wchar_t*, ...) { return -1; }
int MsgExFmtLink(const wchar_t*, HWND, unsigned int, int*, int, ...) { return -1; }
void MsgExSetLinkCallback(unsigned int (*)(HWND, void*), void*) {}
void MsgExSetButtonCallback(int (*)(HWND, unsigned int, void*), void*) {}
void MsgExSetActivatePrevID(unsigned short) {}
void MsgEx_SetSkin(SKIN_METRICS*, SKIN_AREA_METRICS*) {}
HWND MsgExGetOpenBox() { return nullptr; }
