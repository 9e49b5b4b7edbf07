// Message boxes. The Msg family shows the system's message box with the
// product's conventions: the product name as caption, the owner's last
// active pop-up as owner, texts given as strings or string ids, printf-style
// formatting and the text of the last system error. The MsgEx family shows
// the same kind of message in the framework's own dialog, which adds
// mini-HTML text with links, a "Don't show this message again" check box
// that answers later boxes by itself, custom button words, the message-box
// skin, a retry when a device arrives, and callbacks that may veto a
// button or answer a link.
//
// Texts: every text argument is a string or a string id. A value below
// 0x10000, or a negative 16-bit id widened to a pointer (0xFFFF…FFFFxxxx),
// is an id (negative: a string of this library); any other value is a
// string. The whole pointer is looked at, so no string is ever taken for an
// id because its low bits look like one.
//
// In the text of a mini-HTML box, "<A>" marks the box's link: a click asks
// the link callback, or the owners (MSGEX_LINK_CODE). The numbered links
// "<A1>"… would report the ids of the box's own controls and are not links
// of the box.
//
// Keys: besides the buttons' mnemonics, O, C, R, Y and N (without Alt)
// press OK, Cancel, Retry, Yes and No where the box shows that word.
//
// Boxes are modal to their owner on the calling user-interface thread; the
// callbacks and the instance id are process-wide and assume one
// user-interface thread.
#pragma once

#include <windows.h>

#include <cstdarg>

#include "base/PVDLLApi.h"

struct SKIN_METRICS;
struct SKIN_AREA_METRICS;

// The bits of a box's type word above the system's MB_ values.
enum MsgExType : unsigned int {
    MB_EX_CONTINUE = 0x01000000,       // Cancel of OK/Cancel and Retry/Cancel reads "&Continue"
    MB_EX_SHIELD = 0x02000000,         // the first button shows the elevation shield
    MB_EX_DEVICE_RETRY = 0x10000000,   // a Retry box presses Retry when a device arrives
    MB_EX_HTML = 0x20000000,           // the text is mini-HTML
    MB_EX_TOPMOST_ONCE = 0x40000000,   // topmost until first activated
    MB_EX_LAST_ERROR = 0x80000000,     // the last system error's text follows the message
};

// The code of the company message a MsgEx box sends up its owner chain
// when a link of its text is clicked and no link callback is set; lParam
// points to the unsigned int result to close with (0 keeps the box open).
// Only windows of this process are asked.
constexpr WPARAM MSGEX_LINK_CODE = 150;

// The dialog's control ids.
enum MsgExControl {
    IDC_MSGEX_TEXT = 27004,
    IDC_MSGEX_DONTSHOW = 27005,
    IDC_MSGEX_BELOW_CHECK = 27010,
    IDC_MSGEX_BUTTON1 = 27011,
    IDC_MSGEX_BUTTON2 = 27012,
    IDC_MSGEX_BUTTON3 = 27040,
    IDC_MSGEX_ICON = 27013,
};

// --- the system box ------------------------------------------------------------

// owner null: the active window; the value 1: no owner. Returns the
// system's result, 0 when the box could not be shown.
PVDLL_API int Msg(HWND owner, unsigned int type, const wchar_t* text);
// Formatted into at most 1024 characters, then as Msg.
PVDLL_API int MsgFmt(HWND owner, unsigned int type, const wchar_t* format, ...);
PVDLL_API int MsgFmt(HWND owner, unsigned int type, int formatId, ...);
// MsgFmt with the arguments in a list, for functions that pass theirs on.
PVDLL_API int MsgFmtV(HWND owner, unsigned int type, const wchar_t* format, va_list args);
// The text of formatId (formatted), "\n\n" and the last error's text. With
// no error and formatId 0: 1 without a box. A type of 0xFFFFFFFF is a
// warning box.
PVDLL_API int MsgLastError(HWND owner, unsigned int type, int formatId, ...);
// As MsgLastError for the result code hr.
PVDLL_API int MsgHRESULT(HWND owner, long hr, unsigned int type, int formatId, ...);
// The system's text for code (0: the last error) in a process-wide buffer
// of 1024 characters, without trailing line breaks; "Unknown error 0x…"
// and the like when the system has none.
PVDLL_API const wchar_t* GetLastErrorText(int code);
// Called with 0 before and 1 after each system box (null: none).
PVDLL_API void MsgSetPauseResumeCallback(void (*callback)(int resumed));

// --- the framework box ---------------------------------------------------------

// Returns the code of the button that closed the box (IDOK, IDCANCEL,
// IDRETRY, IDYES, IDNO, IDCONTINUE; IDCANCEL for the close button), 0 when
// a box of the same instance id was activated instead, -1 when the box
// could not be made. While another MsgEx box is open, the call waits for it
// to close first.
PVDLL_API int MsgEx(HWND owner, unsigned int type, const wchar_t* text);
// Formatted into at most 2048 characters.
PVDLL_API int MsgExFmt(HWND owner, unsigned int type, const wchar_t* format, ...);
PVDLL_API int MsgExFmt(HWND owner, unsigned int type, int formatId, ...);
// MsgExFmt with the arguments in a list, for functions that pass theirs on.
PVDLL_API int MsgExFmtV(HWND owner, unsigned int type, const wchar_t* format, va_list args);
// With the check box bound to *dontShow: a non-zero value answers the box
// without showing it; ticking the box stores the chosen button's code
// there. A stored code that is not one of the box's buttons (the 1 of a
// plain ticked box, for a box without OK) answers with the default button.
PVDLL_API int MsgExFmt(HWND owner, unsigned int type, int* dontShow, const wchar_t* format, ...);
PVDLL_API int MsgExFmt(HWND owner, unsigned int type, int* dontShow, int formatId, ...);
// As MsgExFmt; the text is mini-HTML and ends with a paragraph holding
// link (a string or string id) as its "<A>" link.
PVDLL_API int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, const wchar_t* format, ...);
PVDLL_API int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, int formatId, ...);
PVDLL_API int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, int* dontShow,
    const wchar_t* format, ...);
PVDLL_API int MsgExFmtLink(const wchar_t* link, HWND owner, unsigned int type, int* dontShow, int formatId, ...);

// Answers a link click with the code to close with (0 keeps the box open).
PVDLL_API void MsgExSetLinkCallback(unsigned int (*callback)(HWND box, void* data), void* data);
// Asked with a button's code before it closes the box; 0 keeps it open.
// Not asked for a box answered from its check box's stored answer.
PVDLL_API void MsgExSetButtonCallback(int (*callback)(HWND box, unsigned int code, void* data), void* data);
// The instance id of later boxes (0: none): a box whose id is already
// shown anywhere is brought forward instead of opening a second one.
PVDLL_API void MsgExSetActivatePrevID(unsigned short id);
// Replaces the message-box skin (null metrics: none). Its pictures come
// from the skin library, so without skin mode no skin is made.
PVDLL_API void MsgEx_SetSkin(SKIN_METRICS* metrics, SKIN_AREA_METRICS* areas);
// The window of the MsgEx box that is open, or null.
PVDLL_API HWND MsgExGetOpenBox();
