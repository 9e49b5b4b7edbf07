#include "ui/window/ZnComboList.h"

int ZnComboList::IsKindOf(const wchar_t* className)
{
    return className && (lstrcmpW(className, L"ZnComboList") == 0 || ZnCtrl::IsKindOf(className));
}

LRESULT ZnComboList::Send(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return hWnd ? SendMessageW(hWnd, msg, wParam, lParam) : CB_ERR;
}

int ZnComboList::AddString(const wchar_t* text)
{
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : L"")));
}

void ZnComboList::ResetContent()
{
    Send(CB_RESETCONTENT);
}

int ZnComboList::GetCount() const
{
    const int count = static_cast<int>(Send(CB_GETCOUNT));
    return count < 0 ? 0 : count;
}

int ZnComboList::GetCurSel() const
{
    return static_cast<int>(Send(CB_GETCURSEL));
}

int ZnComboList::SetCurSel(int index)
{
    return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
