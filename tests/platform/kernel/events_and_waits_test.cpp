#include <time.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"
#include "tests/support/thread_activity.h"

namespace {

// <chrono> cannot be compiled with a Shift-JIS execution character set.
double MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

using EventsAndWaitsTest = testsupport::PlatformTest;

// Long enough never to end a wait that a test expects to be satisfied; a
// failing test then ends instead of hanging.
constexpr DWORD kGenerous = 20000;
constexpr DWORD kStillWaiting = 0xDEADBEEFu;

// A thread that waits once on the handles and keeps what the wait returned.
class WaitingThread {
public:
    WaitingThread(std::vector<HANDLE> handles, BOOL all) : handles_(std::move(handles)) {
        thread_ = std::thread([this, all] {
            hostId_ = testsupport::HostThreadId();
            result_ = WaitForMultipleObjects(static_cast<DWORD>(handles_.size()), handles_.data(), all, kGenerous);
        });
        while (hostId_ == 0) std::this_thread::yield();
    }
    ~WaitingThread() {
        if (thread_.joinable()) thread_.join();
    }

    bool Asleep() const { return testsupport::WaitUntilHostThreadSleeps(hostId_); }
    uint64_t Switches() const { return testsupport::HostThreadSwitches(hostId_); }
    bool Ended() const { return result_ != kStillWaiting; }
    DWORD Result() {
        if (thread_.joinable()) thread_.join();
        return result_;
    }

private:
    std::vector<HANDLE> handles_;
    std::atomic<long> hostId_{0};
    std::atomic<DWORD> result_{kStillWaiting};
    std::thread thread_{};
};

TEST_F(EventsAndWaitsTest, ManualResetStaysSignalledAndAutoResetReleasesOneWait) {
    HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE automatic = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(manual, nullptr);
    ASSERT_NE(automatic, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

    std::thread setter([&] {
        SetEvent(manual);
        SetEvent(automatic);
    });
    EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 5000), WAIT_OBJECT_0);
    setter.join();

    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0) << "manual reset stays set";
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT) << "the wait reset it";
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    CloseHandle(manual);
    CloseHandle(automatic);
}

TEST_F(EventsAndWaitsTest, TimedWaitEndsAfterRoughlyItsTime) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const double start = MonotonicMilliseconds();
    EXPECT_EQ(WaitForSingleObject(event, 50), WAIT_TIMEOUT);
    EXPECT_GE(MonotonicMilliseconds() - start, 50.0);
    CloseHandle(event);
}

TEST_F(EventsAndWaitsTest, WaitForAnyReportsTheFirstSignalledAndWaitForAllNeedsEvery) {
    HANDLE events[3];
    for (HANDLE& event : events) event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    SetEvent(events[2]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, events, TRUE, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(events[2], 0), WAIT_OBJECT_0) << "a failed wait-all takes nothing";

    SetEvent(events[2]);
    std::thread later([&] {
        SetEvent(events[0]);
        SetEvent(events[1]);
    });
    EXPECT_EQ(WaitForMultipleObjects(3, events, TRUE, 5000), WAIT_OBJECT_0);
    later.join();
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT) << "all were taken";
    for (HANDLE event : events) CloseHandle(event);
}

TEST_F(EventsAndWaitsTest, ClosedAndBogusHandlesFail) {
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    EXPECT_TRUE(CloseHandle(event));
    HANDLE bogus[] = {event, nullptr, INVALID_HANDLE_VALUE};
    for (HANDLE handle : bogus) {
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(SetEvent(handle));
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

TEST_F(EventsAndWaitsTest, AWaiterSleepsWhileOtherObjectsAreSignalled) {
    HANDLE mine = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE other = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE answered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    constexpr int kRounds = 40;
    std::thread partner([&] {
        for (int round = 0; round < kRounds; ++round) {
            WaitForSingleObject(other, kGenerous);
            SetEvent(answered);
        }
    });
    WaitingThread waiter({mine}, FALSE);
    ASSERT_TRUE(waiter.Asleep());
    const uint64_t switchesBefore = waiter.Switches();
    for (int round = 0; round < kRounds; ++round) {
        SetEvent(other);
        ASSERT_EQ(WaitForSingleObject(answered, kGenerous), WAIT_OBJECT_0);
        Sleep(2);  // long enough for a waiter that polls to look a few times
    }
    partner.join();
    // Neither the other object's signals nor a clock woke it.
    EXPECT_LT(waiter.Switches() - switchesBefore, 8u);
    EXPECT_FALSE(waiter.Ended());
    SetEvent(mine);
    EXPECT_EQ(waiter.Result(), WAIT_OBJECT_0);
    for (HANDLE event : {mine, other, answered}) CloseHandle(event);
}

DWORD WINAPI WaitForGate(LPVOID gate) { return WaitForSingleObject(static_cast<HANDLE>(gate), kGenerous); }

// Several threads wait on one object; each signal releases as many of them
// as the kind of object does.
struct ReleaseCase {
    const char* name;
    enum { ManualEvent, AutoEvent, ThreadEnd } kind;
    bool releasesAll;
};

void PrintTo(const ReleaseCase& c, std::ostream* os) { *os << c.name; }

class SignalReleaseTest : public EventsAndWaitsTest, public ::testing::WithParamInterface<ReleaseCase> {};

TEST_P(SignalReleaseTest, ReleasesOneWaiterOrAll) {
    const ReleaseCase& each = GetParam();
    HANDLE gate = CreateEventA(nullptr, each.kind == ReleaseCase::ManualEvent, FALSE, nullptr);
    HANDLE object = gate;
    if (each.kind == ReleaseCase::ThreadEnd) object = CreateThread(nullptr, 0, WaitForGate, gate, 0, nullptr);
    ASSERT_NE(object, nullptr);

    constexpr size_t kWaiters = 3;
    std::vector<std::unique_ptr<WaitingThread>> waiters;
    for (size_t i = 0; i < kWaiters; ++i) waiters.push_back(std::make_unique<WaitingThread>(std::vector{object}, FALSE));
    for (const auto& waiter : waiters) ASSERT_TRUE(waiter->Asleep());
    auto ended = [&] {
        size_t count = 0;
        for (const auto& waiter : waiters) count += waiter->Ended() ? 1 : 0;
        return count;
    };

    const size_t released = each.releasesAll ? kWaiters : 1;
    for (size_t signals = 1; ended() < kWaiters; ++signals) {
        ASSERT_LE(signals, kWaiters);
        SetEvent(gate);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return ended() >= std::min(kWaiters, released * signals); }));
        // The ones still waiting have gone back to sleep, without the signal.
        for (const auto& waiter : waiters) {
            if (!waiter->Ended()) {
                ASSERT_TRUE(waiter->Asleep());
            }
        }
        EXPECT_EQ(ended(), std::min(kWaiters, released * signals)) << each.name;
        EXPECT_EQ(WaitForSingleObject(object, 0), each.releasesAll ? WAIT_OBJECT_0 : WAIT_TIMEOUT) << each.name;
    }
    for (const auto& waiter : waiters) EXPECT_EQ(waiter->Result(), WAIT_OBJECT_0) << each.name;
    if (object != gate) CloseHandle(object);
    CloseHandle(gate);
}

INSTANTIATE_TEST_SUITE_P(Objects, SignalReleaseTest,
                         ::testing::Values(ReleaseCase{"ManualEvent", ReleaseCase::ManualEvent, true},
                                           ReleaseCase{"AutoEvent", ReleaseCase::AutoEvent, false},
                                           ReleaseCase{"ThreadEnd", ReleaseCase::ThreadEnd, true}),
                         [](const ::testing::TestParamInfo<ReleaseCase>& info) { return std::string(info.param.name); });

TEST_F(EventsAndWaitsTest, AWaitForAllTakesNothingUntilItCanTakeEverything) {
    HANDLE events[2];
    for (HANDLE& event : events) event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    WaitingThread both({events[0], events[1]}, TRUE);
    ASSERT_TRUE(both.Asleep());

    // Half of what it waits for is there: it leaves it for another wait.
    SetEvent(events[1]);
    EXPECT_EQ(WaitForSingleObject(events[1], kGenerous), WAIT_OBJECT_0);
    SetEvent(events[0]);
    ASSERT_TRUE(both.Asleep());
    EXPECT_FALSE(both.Ended());
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0) << "still there for anyone";

    SetEvent(events[0]);
    SetEvent(events[1]);
    EXPECT_EQ(both.Result(), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT) << "both were taken";
    for (HANDLE event : events) CloseHandle(event);
}

TEST_F(EventsAndWaitsTest, AnAutoResetSignalGoesToExactlyOneWaiterEvenAsWaitsTimeOut) {
    // Waiters whose short waits keep timing out: a signal handed to one just
    // as its time runs out must still count, once.
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> taken{0};
    struct Waiters {
        std::atomic<bool> stop{false};
        std::vector<std::thread> threads;
        void Stop() {
            stop = true;
            for (std::thread& thread : threads)
                if (thread.joinable()) thread.join();
        }
        ~Waiters() { Stop(); }
    } waiters;
    for (int i = 0; i < 4; ++i)
        waiters.threads.emplace_back([&] {
            while (!waiters.stop)
                if (WaitForSingleObject(event, 1) == WAIT_OBJECT_0) ++taken;
        });
    constexpr int kSignals = 300;
    for (int signal = 1; signal <= kSignals; ++signal) {
        SetEvent(event);
        ASSERT_TRUE(testsupport::WaitUntil([&] { return taken >= signal; })) << "signal " << signal << " was lost";
    }
    waiters.Stop();
    EXPECT_EQ(taken.load(), kSignals);
    CloseHandle(event);
}

}  // namespace
