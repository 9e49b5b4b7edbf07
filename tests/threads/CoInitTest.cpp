#include <gtest/gtest.h>

#include <objbase.h>

#include <thread>

#include "PVDLL.h"

namespace {

// Whether the calling thread has COM in the apartment model right now.
bool HasApartmentCom()
{
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return hr == S_FALSE;
}

// Whether the calling thread still has COM in the free-threaded model.
bool HasFreeThreadedCom()
{
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return hr == S_FALSE;
}

template <typename F>
void OnFreshThread(F body)
{
    std::thread(body).join();
}

} // namespace

TEST(CoInit, LeavesAFreeThreadedThreadAsItFoundIt)
{
    OnFreshThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            CoInit com;
            EXPECT_FALSE(com.IsInitialized());
        }
        EXPECT_TRUE(HasFreeThreadedCom());
        CoUninitialize();
    });
}

TEST(CoInitEx, OnlyTheOutermostObjectOfAThreadInitialisesAndUninitialises)
{
    OnFreshThread([] {
        {
            CoInitEx outer;
            EXPECT_EQ(CoInitEx::GetRef(), 1);
            {
                CoInitEx inner;
                EXPECT_EQ(CoInitEx::GetRef(), 2);
            }
            EXPECT_EQ(CoInitEx::GetRef(), 1);
            EXPECT_TRUE(HasApartmentCom());
        }
        EXPECT_EQ(CoInitEx::GetRef(), 0);
        EXPECT_FALSE(HasApartmentCom());
    });
}

TEST(CoInitEx, EachThreadCountsAndInitialisesForItself)
{
    OnFreshThread([] {
        CoInitEx here;
        long elsewhereBefore = -1, elsewhereDuring = -1;
        bool comElsewhere = false;
        OnFreshThread([&] {
            elsewhereBefore = CoInitEx::GetRef();
            CoInitEx there;
            elsewhereDuring = CoInitEx::GetRef();
            comElsewhere = HasApartmentCom();
        });
        EXPECT_EQ(elsewhereBefore, 0);
        EXPECT_EQ(elsewhereDuring, 1);
        EXPECT_TRUE(comElsewhere);
        EXPECT_EQ(CoInitEx::GetRef(), 1);
        EXPECT_TRUE(HasApartmentCom());
    });
}

TEST(CoInitEx, LeavesAFreeThreadedThreadAsItFoundIt)
{
    OnFreshThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        { CoInitEx com; }
        EXPECT_TRUE(HasFreeThreadedCom());
        CoUninitialize();
    });
}
