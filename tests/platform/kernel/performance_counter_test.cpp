#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

using PerformanceCounterTest = testsupport::PlatformTest;

TEST_F(PerformanceCounterTest, RealCounterRunsAtTheProfileFrequency) {
    platform::Profile().clock.performanceFrequency = 3579545;
    LARGE_INTEGER frequency{}, before{}, after{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 3579545);
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    Sleep(20);
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    EXPECT_GE(after.QuadPart - before.QuadPart, 3579545 * 20 / 1000);
    EXPECT_LT(after.QuadPart - before.QuadPart, 3579545 * 10);
}

TEST_F(PerformanceCounterTest, OverriddenProcessorTicksAtItsOwnRate) {
    platform::Profile().cpu.overridden = true;
    platform::Profile().cpu.timeStampTicksPerSecond = 450000000;  // 450 MHz
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    // The two counters are read one after the other, so a thread put aside
    // between the reads skews one measurement; a loaded machine gets several
    // tries over some seconds before the rate counts as wrong.
    double rate = 0;
    for (int attempt = 0; attempt < 200; ++attempt) {
        LARGE_INTEGER before{}, after{};
        QueryPerformanceCounter(&before);
        const ULONGLONG start = ReadTimeStampCounter();
        Sleep(20);
        const ULONGLONG ticks = ReadTimeStampCounter() - start;
        QueryPerformanceCounter(&after);
        const double seconds = double(after.QuadPart - before.QuadPart) / double(frequency.QuadPart);
        rate = ticks / seconds;
        if (rate <= 450000000.0 * 1.0001 && rate >= 450000000.0 * 0.95) break;
    }
    EXPECT_LE(rate, 450000000.0 * 1.0001);
    EXPECT_GE(rate, 450000000.0 * 0.95);
}

TEST_F(PerformanceCounterTest, ZeroFrequencyMeansNoCounter) {
    platform::Profile().clock.performanceFrequency = 0;
    LARGE_INTEGER value;
    value.QuadPart = 99;
    EXPECT_FALSE(QueryPerformanceFrequency(&value));
    EXPECT_EQ(value.QuadPart, 0);
    EXPECT_FALSE(QueryPerformanceCounter(&value));
}

}  // namespace
