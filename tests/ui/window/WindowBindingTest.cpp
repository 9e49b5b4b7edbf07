// The creation binding shared by CoreWnd and ZnWnd: however a creation
// ends, no object is left pending on the thread to be bound to a later
// window.
#include <gtest/gtest.h>

#include "PVDLL.h"

namespace {

const wchar_t coreClass[] = L"PVDLLTestBindingCore";
const wchar_t znClass[] = L"PVDLLTestBindingZn";

void RegisterClasses()
{
    static ATOM core = CoreWnd::RegisterClassExW(coreClass, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
    static ATOM zn = ZnWnd::RegisterClassExW(znClass, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
    ASSERT_NE(core, 0);
    ASSERT_NE(zn, 0);
}

// Refuses its window at WM_NCCREATE, after the binding has taken place.
template <typename Wnd>
class Refusing : public Wnd {
public:
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_NCCREATE) {
            boundAtRefusal = this->hWnd != nullptr;
            return FALSE;
        }
        return Wnd::OnWndMessage(msg, wParam, lParam);
    }
    bool boundAtRefusal = false;
};

template <typename Wnd>
void ExpectRefusalLeavesNothingPending(const wchar_t* className)
{
    Refusing<Wnd> wnd;
    EXPECT_FALSE(wnd.Create(className, L"refused", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr));
    EXPECT_TRUE(wnd.boundAtRefusal);
    EXPECT_EQ(Wnd::GetWndInit(), nullptr);
    EXPECT_EQ(wnd.hWnd, nullptr);
    // A window of the class made without an object is not taken by anyone.
    EXPECT_EQ(CreateWindowExW(0, className, L"orphan", 0, 0, 0, 10, 10, nullptr, nullptr, hiDLL, nullptr), nullptr);
}

// Sees which object each kind's slot holds while its own window is created.
class NestingCore : public CoreWnd {
public:
    LRESULT OnWndMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_CREATE) {
            childCreated = child.Create(znClass, L"child", WS_CHILD, 0, 0, 5, 5, hWnd, nullptr, nullptr);
            coreSlotDuringChild = CoreWnd::GetWndInit();
        }
        return CoreWnd::OnWndMessage(msg, wParam, lParam);
    }
    ZnWnd child;
    int childCreated = 0;
    CoreWnd* coreSlotDuringChild = reinterpret_cast<CoreWnd*>(1);
};

} // namespace

TEST(WindowBinding, CoreWndFailedCreationOfAnUnknownClassLeavesNothingPending)
{
    CoreWnd wnd;
    EXPECT_FALSE(wnd.Create(L"NoSuchClassAnywhere", L"x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr));
    EXPECT_EQ(CoreWnd::GetWndInit(), nullptr);
    EXPECT_EQ(wnd.hWnd, nullptr);
}

TEST(WindowBinding, WindowRefusedAtNcCreateLeavesNothingPending)
{
    RegisterClasses();
    ExpectRefusalLeavesNothingPending<CoreWnd>(coreClass);
    ExpectRefusalLeavesNothingPending<ZnWnd>(znClass);
}

TEST(WindowBinding, EachKindHasItsOwnSlotAndNestedCreationsBindTheirOwnObjects)
{
    RegisterClasses();
    NestingCore parent;
    ASSERT_TRUE(parent.Create(coreClass, L"parent", 0, 0, 0, 20, 20, nullptr, nullptr, nullptr));
    EXPECT_TRUE(parent.childCreated);
    EXPECT_EQ(parent.coreSlotDuringChild, nullptr);
    EXPECT_EQ(GetPropW(parent.hWnd, L"COREWND"), &parent);
    EXPECT_EQ(ZnWnd::FromHandle(parent.child.hWnd), &parent.child);
    EXPECT_EQ(GetParent(parent.child.hWnd), parent.hWnd);
    EXPECT_EQ(CoreWnd::GetWndInit(), nullptr);
    EXPECT_EQ(ZnWnd::GetWndInit(), nullptr);
    parent.Destroy();
    EXPECT_EQ(parent.hWnd, nullptr);
}
