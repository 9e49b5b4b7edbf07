#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "PVDLL.h"
#include "ThreadProbes.h"
#include "common/TestSupport.h"

namespace {

// Records how its body saw the object from inside the thread.
class Observer : public ZnThreadEx {
public:
    ~Observer() override { EndThread(); }
    unsigned long DoThreadEx() override
    {
        sawRunning = IsRunning();
        sawHandle = static_cast<void*>(*this) != nullptr;
        return 5;
    }
    int sawRunning = 0;
    int sawHandle = 0;
};

// Blocks its body until the test lets it go.
class Gated : public ZnThreadEx {
public:
    ~Gated() override { EndThread(); }
    unsigned long DoThreadEx() override
    {
        WaitForSingleObject(gate, INFINITE);
        return 0;
    }
    EventSimple gate{nullptr, 1, 0};
};

// Freed objects are poisoned and kept aside instead of going back to the
// heap, so that a write through a stale pointer, or a second delete, shows.
class Quarantine {
public:
    void* Take(size_t size)
    {
        std::lock_guard<std::mutex> hold(mutex);
        ++allocated;
        return ::operator new(size);
    }
    void Keep(void* block, size_t size)
    {
        std::memset(block, poison, size);
        std::lock_guard<std::mutex> hold(mutex);
        kept.push_back({block, size});
    }
    bool AllFreed()
    {
        std::lock_guard<std::mutex> hold(mutex);
        return kept.size() >= allocated;
    }
    // Every object was freed once and none was written to afterwards.
    testing::AssertionResult CleanAndRelease()
    {
        std::lock_guard<std::mutex> hold(mutex);
        size_t freed = kept.size(), total = allocated, dirty = 0, doubled = 0;
        for (size_t i = 0; i < kept.size(); ++i) {
            const unsigned char* bytes = static_cast<const unsigned char*>(kept[i].block);
            for (size_t b = 0; b < kept[i].size; ++b)
                if (bytes[b] != poison) {
                    ++dirty;
                    break;
                }
            for (size_t j = 0; j < i; ++j)
                if (kept[j].block == kept[i].block)
                    ++doubled;
        }
        for (const Block& block : kept)
            if (block.block)
                ::operator delete(block.block);
        kept.clear();
        allocated = 0;
        if (freed == total && dirty == 0 && doubled == 0)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << total << " allocated, " << freed << " freed, " << dirty
                                           << " written after free, " << doubled << " freed twice";
    }

private:
    static constexpr unsigned char poison = 0xDD;
    struct Block {
        void* block;
        size_t size;
    };
    std::mutex mutex;
    std::vector<Block> kept;
    size_t allocated = 0;
};

Quarantine quarantine;

// An auto-delete worker that counts live objects. Its body waits for its
// gate, touches its own members and finishes as auto-delete bodies do.
class Counted : public ZnThreadExAutoDelete {
public:
    static void* operator new(size_t size) { return quarantine.Take(size); }
    static void operator delete(void* block, size_t size) { quarantine.Keep(block, size); }

    Counted() { ++live; }
    ~Counted() override { --live; }

    unsigned long DoThreadEx() override
    {
        WaitForSingleObject(static_cast<HANDLE>(gate), INFINITE);
        result = 42;
        return ZnThreadExAutoDelete::DoThreadEx();
    }

    EventSimple gate{nullptr, 1, 0};
    int result = 0;
    static std::atomic<int> live;
};

std::atomic<int> Counted::live{0};

// The last delete may still be on its way out of a worker thread.
bool AllGone(DWORD timeoutMs)
{
    Stopwatch clock;
    while ((Counted::live != 0 || !quarantine.AllFreed()) && clock.Ms() < timeoutMs)
        Sleep(1);
    return Counted::live == 0;
}

constexpr int rounds = 300;

} // namespace

TEST(ZnThread, WaitsOnANeverStartedObjectReturnAtOnce)
{
    ZnThreadEx idle;
    Event never;
    never.CreateOrOpen(nullptr, 0, 1, 0);
    Stopwatch clock;
    EXPECT_EQ(idle.WaitForDone(INFINITE), 1);
    EXPECT_EQ(idle.WaitForEvent(never.GetHandle(), INFINITE, 0), 1);
    EXPECT_EQ(idle.WaitForThread(INFINITE), 1);
    EXPECT_LT(clock.Ms(), 500u);
    EXPECT_FALSE(idle.IsRunning());
}

TEST(ZnThreadEx, HandleIsInPlaceBeforeTheBodyRunsAndGoneWhenItEnds)
{
    ModalWatchdog watchdog(60000);
    for (int i = 0; i < rounds; ++i) {
        Observer worker;
        ASSERT_EQ(worker.Start(0), 1);
        ASSERT_EQ(worker.WaitForDone(5000), 1);
        EXPECT_EQ(worker.sawRunning, 1);
        EXPECT_EQ(worker.sawHandle, 1);
        EXPECT_FALSE(worker.IsRunning());
        EXPECT_EQ(static_cast<void*>(worker), nullptr);
        EXPECT_TRUE(worker.IsDone());
    }
}

TEST(ZnThreadEx, CanStartAgainRightAfterDone)
{
    ModalWatchdog watchdog(30000);
    Observer worker;
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(worker.Start(0), 1) << "round " << i;
        ASSERT_EQ(worker.WaitForDone(5000), 1);
    }
}

TEST(ZnThreadEx, RefusesASecondStartWhileTheBodyRuns)
{
    ModalWatchdog watchdog;
    Gated worker;
    ASSERT_EQ(worker.Start(0), 1);
    EXPECT_EQ(worker.Start(0), 0);
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.IsDone());
    worker.gate.Set(1);
    EXPECT_EQ(worker.WaitForDone(5000), 1);
}

TEST(ZnThreadEx, StopCancelsTheBodyAndReportsDone)
{
    ModalWatchdog watchdog;
    Idler worker;
    ASSERT_EQ(worker.Start(0), 1);
    EXPECT_FALSE(worker.IsCanceled());
    worker.Stop(5000);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_TRUE(worker.WaitForThread(5000));
}

TEST(ZnThread, DestroyingARunningObjectWaitsForItsThreadToEnd)
{
    ModalWatchdog watchdog;
    auto* worker = new Idler;
    ASSERT_EQ(worker->Start(0), 1);
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), static_cast<HANDLE>(*worker), GetCurrentProcess(), &thread,
                                SYNCHRONIZE, FALSE, 0));
    delete worker;
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
}

TEST(ZnThreadExAutoDelete, OwnerFinishingFirstLeavesDeletionToTheThread)
{
    ModalWatchdog watchdog(60000);
    for (int i = 0; i < rounds; ++i) {
        auto* worker = new Counted;
        ASSERT_EQ(worker->Start(0), 1);
        HANDLE go = static_cast<HANDLE>(worker->gate);
        worker->DeleteIfDone();  // not done: the object stays for its thread
        SetEvent(go);
    }
    EXPECT_TRUE(AllGone(10000));
    EXPECT_TRUE(quarantine.CleanAndRelease());
}

TEST(ZnThreadExAutoDelete, ThreadFinishingFirstLeavesDeletionToTheOwner)
{
    ModalWatchdog watchdog(60000);
    for (int i = 0; i < rounds; ++i) {
        auto* worker = new Counted;
        worker->gate.Set(1);
        ASSERT_EQ(worker->Start(0), 1);
        ASSERT_EQ(worker->WaitForDone(5000), 1);
        EXPECT_EQ(worker->result, 42);
        worker->DeleteIfDone();
    }
    EXPECT_TRUE(AllGone(10000));
    EXPECT_TRUE(quarantine.CleanAndRelease());
}

TEST(ZnThreadExAutoDelete, OwnerAndThreadFinishingTogetherDeleteOnce)
{
    ModalWatchdog watchdog(60000);
    for (int i = 0; i < rounds; ++i) {
        auto* worker = new Counted;
        ASSERT_EQ(worker->Start(0), 1);
        worker->gate.Set(1);
        worker->DeleteIfDone();
    }
    EXPECT_TRUE(AllGone(10000));
    EXPECT_TRUE(quarantine.CleanAndRelease());
}
