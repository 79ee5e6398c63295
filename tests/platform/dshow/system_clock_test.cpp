// The system reference clock: its time from the performance counter, and
// events set when an advised time comes.
#include <gtest/gtest.h>

#include "platform/dshow/reference_clock.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/manual_clock.h"
#include "tests/support/test_support.h"

namespace {

constexpr REFERENCE_TIME kMillisecond = 10000;

class SystemClockTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::UseManualClock(true);
        ASSERT_EQ(platform::dshow::CreateSystemReferenceClock(&clock_), S_OK);
        event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override {
        clock_->Release();
        CloseHandle(event_);
        PlatformTest::TearDown();
    }
    REFERENCE_TIME Now() {
        REFERENCE_TIME now = 0;
        EXPECT_EQ(clock_->GetTime(&now), S_OK);
        return now;
    }

    IReferenceClock* clock_ = nullptr;
    HANDLE event_ = nullptr;
};

TEST_F(SystemClockTest, RunsWithThePerformanceCounter) {
    const REFERENCE_TIME start = Now();
    EXPECT_EQ(Now(), start);
    platform::AdvanceManualClockMilliseconds(1500);
    EXPECT_EQ(Now(), start + 1500 * kMillisecond);
    EXPECT_EQ(clock_->GetTime(nullptr), E_POINTER);
}

TEST_F(SystemClockTest, SetsTheEventWhenTheAdvisedTimeComes) {
    DWORD_PTR cookie = 0;
    // A time already past: at once.
    ASSERT_EQ(clock_->AdviseTime(Now(), -kMillisecond, event_, &cookie), S_OK);
    EXPECT_EQ(WaitForSingleObject(event_, 0), WAIT_OBJECT_0);
    ResetEvent(event_);

    ASSERT_EQ(clock_->AdviseTime(Now(), 20 * kMillisecond, event_, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(WaitForSingleObject(event_, 0), WAIT_TIMEOUT);
    platform::AdvanceManualClockMilliseconds(20);
    EXPECT_EQ(WaitForSingleObject(event_, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(clock_->Unadvise(cookie), S_FALSE);

    ResetEvent(event_);
    ASSERT_EQ(clock_->AdviseTime(Now(), 20 * kMillisecond, event_, &cookie), S_OK);
    EXPECT_EQ(clock_->Unadvise(cookie), S_OK);
    EXPECT_EQ(clock_->Unadvise(cookie), S_FALSE);
}

TEST_F(SystemClockTest, RefusesAdviceItCannotKeep) {
    DWORD_PTR cookie = 0;
    EXPECT_EQ(clock_->AdviseTime(0, kMillisecond, nullptr, &cookie), E_INVALIDARG);
    EXPECT_EQ(clock_->AdviseTime(0, kMillisecond, event_, nullptr), E_POINTER);
    EXPECT_EQ(clock_->AdviseTime(0x7FFFFFFFFFFFFFFF, 1, event_, &cookie), E_INVALIDARG);
}

}  // namespace
