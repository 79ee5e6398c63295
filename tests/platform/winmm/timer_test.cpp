#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/winmm/winmm.h"
#include "tests/support/test_support.h"

namespace {

using TimerTest = testsupport::PlatformTest;

TEST_F(TimerTest, DevCapsReportTheProfileAndCheckTheirArguments) {
    platform::Profile().clock.periodMin = 2;
    platform::Profile().clock.periodMax = 500;
    TIMECAPS caps{};
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof(caps)), TIMERR_NOERROR);
    EXPECT_EQ(caps.wPeriodMin, 2u);
    EXPECT_EQ(caps.wPeriodMax, 500u);
    EXPECT_EQ(timeGetDevCaps(&caps, sizeof(caps) - 1), TIMERR_NOCANDO);
    EXPECT_EQ(timeGetDevCaps(nullptr, sizeof(caps)), TIMERR_NOCANDO);
}

TEST_F(TimerTest, PeriodsOutsideTheResolutionAreRefused) {
    platform::Profile().clock.periodMin = 2;
    platform::Profile().clock.periodMax = 500;
    const struct {
        UINT period;
        MMRESULT result;
    } cases[] = {{1, TIMERR_NOCANDO}, {2, TIMERR_NOERROR}, {500, TIMERR_NOERROR}, {501, TIMERR_NOCANDO}};
    for (const auto& c : cases) {
        EXPECT_EQ(timeBeginPeriod(c.period), c.result) << c.period;
        EXPECT_EQ(timeEndPeriod(c.period), c.result) << c.period;
    }
}

TEST_F(TimerTest, RealTimeMovesInMilliseconds) {
    DWORD before = timeGetTime();
    Sleep(30);
    DWORD elapsed = timeGetTime() - before;
    EXPECT_GE(elapsed, 29u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
