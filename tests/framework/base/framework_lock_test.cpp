#include "framework/base/framework_lock.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "tests/support/test_support.h"

namespace {

// Polls a condition that another thread will make true; gives up (and fails
// the test) after some 20 seconds rather than hanging.
template <typename Condition>
bool WaitUntil(Condition condition) {
    for (int tries = 0; tries < 20000; tries++) {
        if (condition()) return true;
        Sleep(1);
    }
    return condition();
}

class FrameworkLockTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        TearDownFrameworkLock();
        testsupport::PlatformTest::TearDown();
    }

    // Records who held the lock, in order; only called while holding it.
    void Record(int who) {
        std::lock_guard<std::mutex> guard(orderLock_);
        order_.push_back(who);
    }
    std::vector<int> Order() {
        std::lock_guard<std::mutex> guard(orderLock_);
        return order_;
    }

    // Starts a thread that takes the lock, records `who`, and leaves it, and
    // returns once that thread is seen waiting in the queue.
    std::thread StartQueuedThread(int who, int queuedBefore) {
        std::thread thread([this, who] {
            EnterFrameworkLock();
            Record(who);
            LeaveFrameworkLock();
        });
        EXPECT_TRUE(WaitUntil([&] { return FrameworkLockWaiterCount() == queuedBefore + 1; }));
        return thread;
    }

private:
    std::mutex orderLock_;
    std::vector<int> order_;
};

TEST_F(FrameworkLockTest, OwnerTakesItAgainAndHoldsItUntilEveryLevelIsLeft) {
    EnterFrameworkLock();
    EnterFrameworkLock();
    std::thread other = StartQueuedThread(2, 0);

    LeaveFrameworkLock();
    // One level is still held: the other thread stays queued.
    Sleep(20);
    EXPECT_EQ(FrameworkLockWaiterCount(), 1);
    EXPECT_TRUE(Order().empty());

    LeaveFrameworkLock();
    other.join();
    EXPECT_EQ(Order(), (std::vector<int>{2}));
    EXPECT_EQ(FrameworkLockWaiterCount(), 0);
}

TEST_F(FrameworkLockTest, WaitingThreadsAreServedFirstInFirstOut) {
    EnterFrameworkLock();
    // The first thread, once served, leaves and asks again at once: it must
    // queue behind the two that were already waiting.
    std::thread first([this] {
        EnterFrameworkLock();
        Record(1);
        LeaveFrameworkLock();
        EnterFrameworkLock();
        Record(4);
        LeaveFrameworkLock();
    });
    ASSERT_TRUE(WaitUntil([] { return FrameworkLockWaiterCount() == 1; }));
    std::thread second = StartQueuedThread(2, 1);
    std::thread third = StartQueuedThread(3, 2);

    LeaveFrameworkLock();
    first.join();
    second.join();
    third.join();
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(FrameworkLockTest, LeavingWithoutHoldingChangesNothing) {
    LeaveFrameworkLock();  // not made yet
    EnterFrameworkLock();
    std::thread intruder([] { LeaveFrameworkLock(); });
    intruder.join();
    std::thread other = StartQueuedThread(2, 0);
    Sleep(20);
    EXPECT_TRUE(Order().empty());
    LeaveFrameworkLock();
    other.join();
    EXPECT_EQ(Order(), (std::vector<int>{2}));
}

TEST_F(FrameworkLockTest, TornDownLockIsMadeAgainOnNextUse) {
    TearDownFrameworkLock();  // not made: nothing to do
    EnterFrameworkLock();
    LeaveFrameworkLock();
    TearDownFrameworkLock();
    TearDownFrameworkLock();
    EXPECT_EQ(FrameworkLockWaiterCount(), 0);

    EnterFrameworkLock();
    std::thread second = StartQueuedThread(2, 0);
    std::thread third = StartQueuedThread(3, 1);
    LeaveFrameworkLock();
    second.join();
    third.join();
    EXPECT_EQ(Order(), (std::vector<int>{2, 3}));
}

TEST_F(FrameworkLockTest, TearDownWhileHeldStartsFreeWhenMadeAgain) {
    // The fatal exit tears the lock down from inside a locked step.
    EnterFrameworkLock();
    TearDownFrameworkLock();

    std::thread other([this] {
        EnterFrameworkLock();
        Record(2);
        LeaveFrameworkLock();
    });
    other.join();
    EXPECT_EQ(Order(), (std::vector<int>{2}));
}

TEST_F(FrameworkLockTest, OnlyTheOwningThreadIsToldItHoldsTheLock) {
    TearDownFrameworkLock();
    EXPECT_EQ(FrameworkLockHeldByThisThread(), 0);  // not made

    EnterFrameworkLock();
    EnterFrameworkLock();
    EXPECT_EQ(FrameworkLockHeldByThisThread(), 1);
    int seenByOther = -1;
    std::thread other([&seenByOther] { seenByOther = FrameworkLockHeldByThisThread(); });
    other.join();
    EXPECT_EQ(seenByOther, 0);

    LeaveFrameworkLock();
    EXPECT_EQ(FrameworkLockHeldByThisThread(), 1);  // one level still held
    LeaveFrameworkLock();
    EXPECT_EQ(FrameworkLockHeldByThisThread(), 0);

    // Once another thread has taken it over, the first no longer holds it.
    std::thread taker([this] {
        EnterFrameworkLock();
        Record(FrameworkLockHeldByThisThread());
        LeaveFrameworkLock();
    });
    taker.join();
    EXPECT_EQ(Order(), (std::vector<int>{1}));
    EXPECT_EQ(FrameworkLockHeldByThisThread(), 0);
}

}  // namespace
