#include <time.h>

#include <thread>

#include "platform/kernel/kernel.h"
#include "tests/support/test_support.h"

namespace {

// <chrono> cannot be compiled with a Shift-JIS execution character set.
double MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

using EventsAndWaitsTest = testsupport::PlatformTest;

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

}  // namespace
