#include "platform/kernel/kernel.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "platform/winmm/winmm.h"
#include "tests/support/test_support.h"

namespace {

class ManualClockTest : public testsupport::PlatformTest {
protected:
    static LONGLONG Counter() {
        LARGE_INTEGER count{};
        EXPECT_TRUE(QueryPerformanceCounter(&count));
        return count.QuadPart;
    }
};

TEST_F(ManualClockTest, TheThreeCountersStandStillAndStepTogether) {
    platform::ClockProfile& clock = platform::Profile().clock;
    clock.timeGetTimeOrigin = 1000;
    clock.performanceCounterOrigin = 50;
    clock.timeStampCounterOrigin = 7;
    clock.performanceFrequency = 3579545;
    platform::Profile().cpu.timeStampTicksPerSecond = 3000000000ull;
    platform::UseManualClock(true);

    EXPECT_EQ(timeGetTime(), 1000u);
    EXPECT_EQ(Counter(), 50);
    EXPECT_EQ(ReadTimeStampCounter(), 7u);
    EXPECT_EQ(timeGetTime(), 1000u) << "nothing moves by itself";

    const struct {
        uint64_t advanceNanoseconds;
        DWORD time;
        LONGLONG counter;
        ULONGLONG stamp;
    } steps[] = {
        {999999, 1000, 50 + 3579, 7 + 2999997},                   // just under a millisecond
        {1, 1001, 50 + 3579, 7 + 3000000},                        // exactly one
        {1999000000, 3000, 50 + 7159090, 7 + 6000000000ull},      // two seconds in all
    };
    for (const auto& step : steps) {
        platform::AdvanceManualClockNanoseconds(step.advanceNanoseconds);
        EXPECT_EQ(timeGetTime(), step.time);
        EXPECT_EQ(Counter(), step.counter);
        EXPECT_EQ(ReadTimeStampCounter(), step.stamp);
    }
    LARGE_INTEGER frequency{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 3579545);
}

TEST_F(ManualClockTest, TimeGetTimeWrapsAt32Bits) {
    platform::Profile().clock.timeGetTimeOrigin = 0xFFFFFFFEu;
    platform::UseManualClock(true);
    platform::AdvanceManualClockMilliseconds(3);
    EXPECT_EQ(timeGetTime(), 1u);

    platform::ResetMachine();
    platform::Profile().clock.timeGetTimeOrigin = 2147483647u;
    platform::UseManualClock(true);
    platform::AdvanceManualClockMilliseconds(6);
    EXPECT_EQ(timeGetTime(), 2147483653u);
}

TEST_F(ManualClockTest, CounterArithmeticIsExactForLargeTimes) {
    platform::ClockProfile& clock = platform::Profile().clock;
    clock.performanceFrequency = 3579545;
    clock.performanceCounterOrigin = 1ull << 40;
    platform::UseManualClock(true);
    // 10^7 seconds: time * frequency needs more than 64 bits.
    platform::AdvanceManualClockNanoseconds(10000000ull * 1000000000ull);
    EXPECT_EQ(Counter(), static_cast<LONGLONG>((1ull << 40) + 35795450000000ull));
}

TEST_F(ManualClockTest, EachReadAdvancesTheClockWhenAsked) {
    platform::Profile().clock.advanceNanosecondsPerRead = 500000;  // half a millisecond
    platform::UseManualClock(true);
    EXPECT_EQ(timeGetTime(), 0u);   // 0.5 ms
    EXPECT_EQ(Counter(), 1000000);  // 1.0 ms at the default 10^9 counts per second
    EXPECT_EQ(timeGetTime(), 1u);   // 1.5 ms
    DWORD start = timeGetTime();
    while (timeGetTime() - start < 100) {
    }  // a spin on the clock ends by itself
    EXPECT_EQ(platform::ManualClockNanoseconds(), 102000000u);
}

}  // namespace
