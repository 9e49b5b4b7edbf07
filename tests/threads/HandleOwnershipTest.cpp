// The kernel handles the synchronisation objects and threads take are all
// given back, and the clean-up leaves the caller the last error of the
// failure it reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ChildProcess.h"
#include "PVDLL.h"

namespace {

std::wstring UniqueName(const wchar_t* what)
{
    return L"pvdll-handles-" + NewToken() + L"-" + what;
}

// Runs until released.
class Held : public ZnThreadEx {
public:
    Held() : release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Held() override
    {
        SetEvent(release);
        EndThread();
        CloseHandle(release);
    }
    unsigned long DoThreadEx() override
    {
        WaitForSingleObject(release, 5000);
        return 0;
    }
    HANDLE release;
};

// The last error an attempt that must fail leaves; -1 when it succeeded.
template <typename Attempt>
DWORD LastErrorOfRefusal(Attempt attempt)
{
    SetLastError(0);
    if (attempt())
        return static_cast<DWORD>(-1);
    return GetLastError();
}

bool IsOpen(HANDLE h)
{
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != 0;
}

} // namespace

TEST(HandleOwnership, RefusedNamesLeaveAlreadyExistsAsTheLastError)
{
    std::wstring name = UniqueName(L"taken");
    Event first;
    SingleInstanceXP holder;
    ASSERT_TRUE(first.CreateNew(name.c_str(), 0, 1, 0));
    ASSERT_TRUE(holder.IsFirstInstance(0, name.c_str()));
    // The handle each refusal closes again must not change what it reports.
    Event second;
    EXPECT_EQ(LastErrorOfRefusal([&] { return second.CreateNew(name.c_str(), 0, 1, 0); }),
              static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    SingleInstanceXP late;
    EXPECT_EQ(LastErrorOfRefusal([&] { return late.IsFirstInstance(0, name.c_str()); }),
              static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST(HandleOwnership, MutexNamesGoToTheChosenNamespace)
{
    std::wstring name = UniqueName(L"mutex");
    MyMutex local(0, name.c_str());
    ASSERT_NE(local.GetHandle(), nullptr);
    HANDLE opened = OpenMutexW(SYNCHRONIZE, FALSE, (L"Local\\" + name).c_str());
    EXPECT_NE(opened, nullptr);
    if (opened)
        CloseHandle(opened);

    // Unnamed mutexes are separate objects.
    MyMutex a(0, nullptr);
    MyMutex b(0, nullptr);
    ASSERT_NE(a.GetHandle(), nullptr);
    ASSERT_NE(b.GetHandle(), nullptr);
    ASSERT_EQ(a.Wait(0), 1);
    EXPECT_EQ(b.Wait(0), 1);
    a.Release();
    b.Release();
}

TEST(HandleOwnership, ClosedObjectsLeaveNoNameBehind)
{
    std::wstring name = UniqueName(L"closed");
    {
        Event event;
        ASSERT_TRUE(event.CreateOrOpen(name.c_str(), 0, 1, 0));
        EventSimple simple((L"Local\\" + name).c_str(), 1, 0);
        EXPECT_TRUE(simple.IsAreadyExists());
        event.Close();
        EXPECT_EQ(event.GetHandle(), nullptr);
    }
    EventSimple probe;
    EXPECT_EQ(probe.OpenEventW(SYNCHRONIZE, 0, (L"Local\\" + name).c_str()), 0);
}

TEST(HandleOwnership, ObjectsAndThreadsGiveTheirHandlesBack)
{
    std::wstring name = UniqueName(L"closed-handles");
    HANDLE event = nullptr;
    HANDLE mutex = nullptr;
    HANDLE simple = nullptr;
    {
        Event owned;
        ASSERT_TRUE(owned.CreateNew(name.c_str(), 0, 1, 0));
        event = owned.GetHandle();
        MyMutex m(0, (name + L"-mutex").c_str());
        mutex = m.GetHandle();
        EventSimple s(nullptr, 1, 0);
        simple = *s.GetHandleAddr();
        ASSERT_TRUE(IsOpen(event) && IsOpen(mutex) && IsOpen(simple));
    }
    EXPECT_FALSE(IsOpen(event));
    EXPECT_FALSE(IsOpen(mutex));
    EXPECT_FALSE(IsOpen(simple));

    // The thread gives up its own handle when its body ends.
    HANDLE thread = nullptr;
    {
        Held held;
        ASSERT_TRUE(held.Start(0));
        thread = static_cast<HANDLE>(held);
        ASSERT_NE(thread, nullptr);
        EXPECT_TRUE(IsOpen(thread));
        SetEvent(held.release);
        held.WaitForThread(5000);
        for (int i = 0; i < 100 && held.IsRunning(); ++i)
            Sleep(10);
        EXPECT_FALSE(held.IsRunning());
    }
    EXPECT_FALSE(IsOpen(thread));
}
