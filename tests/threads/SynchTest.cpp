#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "PVDLL.h"

namespace {

std::wstring UniqueName(const wchar_t* what)
{
    return L"pvdll-test-" + NewToken() + L"-" + what;
}

std::wstring CurrentUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return L"";
    BYTE buffer[256];
    DWORD size = 0;
    std::wstring text;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size)) {
        wchar_t* sid = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
            text = sid;
            LocalFree(sid);
        }
    }
    CloseHandle(token);
    return text;
}

// Whether another thread could take the mutex; that thread ends without
// releasing what it took.
int TakenOnAnotherThread(MyMutex& mutex)
{
    int taken = -1;
    std::thread([&] { taken = mutex.Wait(0); }).join();
    return taken;
}

} // namespace

TEST(Event, CreateNewOfAnExistingNameFailsWhileEventSimpleSharesIt)
{
    std::wstring name = UniqueName(L"event");
    Event first;
    ASSERT_TRUE(first.CreateNew(name.c_str(), 0, 1, 0));
    Event second;
    EXPECT_EQ(second.CreateNew(name.c_str(), 0, 1, 0), 0);
    EXPECT_FALSE(second.IsReady());
    EXPECT_EQ(second.GetHandle(), nullptr);

    EventSimple shared((L"Local\\" + name).c_str(), 1, 0);
    EXPECT_TRUE(shared.IsReady());
    EXPECT_EQ(shared.IsAreadyExists(), 1);
    first.Set();
    EXPECT_TRUE(shared.WaitSignalled(0));
}

TEST(Event, OpenFindsTheNamedEventAndWaitsKeepTheirResult)
{
    std::wstring name = UniqueName(L"open");
    Event created;
    ASSERT_TRUE(created.CreateOrOpen(name.c_str(), 0, 0, 0));
    Event opened;
    ASSERT_TRUE(opened.Open(name.c_str(), 0, EVENT_MODIFY_STATE | SYNCHRONIZE, 0));
    EXPECT_EQ(opened.Wait(0), 0);
    EXPECT_EQ(opened.GetLastWaitResult(), static_cast<unsigned long>(WAIT_TIMEOUT));
    created.Set();
    EXPECT_EQ(opened.IsSet(), 1);
    // Auto-reset: the successful test took the signal.
    EXPECT_EQ(created.IsSet(), 0);
    Event missing;
    EXPECT_EQ(missing.Open(UniqueName(L"missing").c_str(), 0, SYNCHRONIZE, 0), 0);
}

TEST(Event, CreateNewForUserTakesTheCurrentUsersSid)
{
    std::wstring sid = CurrentUserSid();
    ASSERT_FALSE(sid.empty());
    std::wstring name = UniqueName(L"user");
    Event event;
    ASSERT_EQ(event.CreateNewForUser(name.c_str(), 0, sid.c_str(), EVENT_ALL_ACCESS, 1, 0), 1);
    Event again;
    EXPECT_EQ(again.CreateNewForUser(name.c_str(), 0, sid.c_str(), EVENT_ALL_ACCESS, 1, 0), 0);
    EXPECT_FALSE(again.IsReady());
    Event opened;
    EXPECT_TRUE(opened.Open(name.c_str(), 0, EVENT_MODIFY_STATE | SYNCHRONIZE, 0));
}

TEST(Event, CreateNewForUserRefusesAMalformedSid)
{
    std::wstring name = UniqueName(L"bad");
    const wchar_t* malformed[] = {L"", L"S-1-5-x", L"not a sid", L"S-1-5-21-1)(A;;GA;;;WD"};
    for (const wchar_t* sid : malformed) {
        Event event;
        EXPECT_EQ(event.CreateNewForUser(name.c_str(), 0, sid, EVENT_ALL_ACCESS, 1, 0), 0) << sid;
        EXPECT_FALSE(event.IsReady());
    }
    Event none;
    EXPECT_EQ(none.CreateNewForUser(name.c_str(), 0, nullptr, EVENT_ALL_ACCESS, 1, 0), 0);
    // Nothing was made under the name.
    EventSimple probe;
    EXPECT_EQ(probe.OpenEventW(SYNCHRONIZE, 0, (L"Local\\" + name).c_str()), 0);
    EXPECT_EQ(probe.IsAreadyExists(), 0);
}

TEST(MyMutex, OneOwnerAtATimeAcrossObjectsOfTheSameName)
{
    std::wstring name = UniqueName(L"mutex");
    MyMutex first(0, name.c_str());
    MyMutex second(0, name.c_str());
    ASSERT_EQ(first.Wait(0), 1);
    EXPECT_EQ(TakenOnAnotherThread(second), 0);
    first.Release();
    EXPECT_EQ(TakenOnAnotherThread(second), 1);
}

TEST(MyMutex, AnAbandonedMutexIsOwnedByTheNextWaiter)
{
    std::wstring name = UniqueName(L"abandoned");
    MyMutex mine(0, name.c_str());
    MyMutex theirs(0, name.c_str());
    ASSERT_EQ(TakenOnAnotherThread(theirs), 1);
    EXPECT_EQ(mine.Wait(1000), 1);
    mine.Release();
    EXPECT_EQ(mine.Wait(0), 1);
    mine.Release();
}

TEST(SingleInstanceXP, TheNameIsTakenWhileTheFirstObjectLives)
{
    std::wstring name = UniqueName(L"single");
    auto first = std::make_unique<SingleInstanceXP>();
    EXPECT_EQ(first->IsFirstInstance(0, name.c_str()), 1);
    SingleInstanceXP second;
    EXPECT_EQ(second.IsFirstInstance(0, name.c_str()), 0);
    first.reset();
    EXPECT_EQ(second.IsFirstInstance(0, name.c_str()), 1);
}

TEST(SingleInstanceXP, AnotherProcessSeesTheNameTaken)
{
    std::wstring token = NewToken();
    EventSimple held(SharedName(token, L"held").c_str(), 1, 0);
    EventSimple release(SharedName(token, L"release").c_str(), 1, 0);
    ChildProcess child(L"HoldSingleInstance", token);
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(held.WaitSignalled(30000));
    SingleInstanceXP second;
    EXPECT_EQ(second.IsFirstInstance(1, token.c_str()), 0);
    release.Set(1);
    EXPECT_EQ(child.WaitForExit(30000), childPassed);
    EXPECT_EQ(second.IsFirstInstance(1, token.c_str()), 1);
}

TEST(ChildSide, DISABLED_HoldSingleInstance)
{
    std::wstring token = ChildToken();
    ASSERT_FALSE(token.empty());
    SingleInstanceXP first;
    bool firstHere = first.IsFirstInstance(1, token.c_str()) == 1;
    EventSimple held(SharedName(token, L"held").c_str(), 1, 0);
    EventSimple release(SharedName(token, L"release").c_str(), 1, 0);
    held.Set(1);
    bool released = release.WaitSignalled(30000);
    EndChild(firstHere && released);
}
