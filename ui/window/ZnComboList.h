// ZnComboList: a combo box of a dialog as a control object, with the few
// list operations its users need. It attaches to the dialog's combo box by
// id (ZnCtrl::Init); before that, or when the box is gone, every operation
// answers as an empty list would.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "ui/window/ZnCtrl.h"

class PVDLL_API ZnComboList : public ZnCtrl {
public:
    // "ZnComboList", "ZnCtrl" and "ZnWnd".
    int IsKindOf(const wchar_t* className) override;

    // The index the text was given (its place in a sorted box); CB_ERR
    // unattached, CB_ERRSPACE when the box has no room.
    int AddString(const wchar_t* text);
    void ResetContent();
    int GetCount() const;
    // CB_ERR when nothing is selected.
    int GetCurSel() const;
    // -1 clears the selection. CB_ERR for an index outside the list.
    int SetCurSel(int index);

private:
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
};
