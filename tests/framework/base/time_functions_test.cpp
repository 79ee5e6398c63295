// The clocks on the machine profile's manual clock: the masked millisecond
// counter, the microsecond counter's choice of source and its exact scaling,
// the DateRecord conversions, and start-up's time-stamp counter measurement.
#include "framework/base/time_functions.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "framework/base/framework_state.h"
#include "platform/kernel/manual_clock.h"
#include "platform/platform.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

// Puts the start-up facts that the counters read back as they were.
class TimeFunctionsTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        saved_ = {FrameworkInitialised, CpuHasTimeStampCounter, TimeStampTicksPerSecond,
                  UsePerformanceCounter, PerformanceCounterFrequency};
        platform::Profile().clock.manual = true;
    }
    void TearDown() override {
        FrameworkInitialised = saved_.initialised;
        CpuHasTimeStampCounter = saved_.hasTimeStamp;
        TimeStampTicksPerSecond = saved_.timeStampRate;
        UsePerformanceCounter = saved_.usePerformance;
        PerformanceCounterFrequency = saved_.performanceRate;
        PlatformTest::TearDown();
    }

private:
    struct {
        int initialised;
        int hasTimeStamp;
        uint64_t timeStampRate;
        int usePerformance;
        uint64_t performanceRate;
    } saved_{};
};

TEST_F(TimeFunctionsTest, MillisecondCountClearsBit31) {
    platform::Profile().clock.timeGetTimeOrigin = 2147483653u;
    EXPECT_EQ(GetMillisecondCount(), 5);
    platform::Profile().clock.timeGetTimeOrigin = 0xFFFFFFFFu;
    EXPECT_EQ(GetMillisecondCount(), 0x7FFFFFFF);
    platform::AdvanceManualClockMilliseconds(1);
    EXPECT_EQ(GetMillisecondCount(), 0);
}

TEST_F(TimeFunctionsTest, MicrosecondCountTakesTheFirstSourceThatApplies) {
    platform::ClockProfile& clock = platform::Profile().clock;
    // Each source stands at a different number of microseconds.
    platform::Profile().cpu.timeStampTicksPerSecond = 3000000000;
    clock.timeStampCounterOrigin = 3000000000ull * 7;  // 7 s
    clock.performanceFrequency = 3579545;
    clock.performanceCounterOrigin = 7159090;            // 2 s
    clock.timeGetTimeOrigin = 0x80000005;                // bit 31 set, kept here
    TimeStampTicksPerSecond = 3000000000;
    PerformanceCounterFrequency = 3579545;

    const uint64_t timeStamp = 7000000, performance = 2000000, timer = 2147483653000ull;
    const struct {
        int hasTimeStamp, argument, initialised, usePerformance;
        uint64_t expected;
    } cases[] = {
        {1, 1, 1, 1, timeStamp},
        {1, 1, 1, 0, timeStamp},
        {0, 1, 1, 1, performance},   // no time-stamp counter
        {1, 0, 1, 1, performance},   // the framework's own callers pass 0
        {1, 1, 0, 1, performance},   // not started yet
        {1, 2, 1, 1, performance},   // only exactly 1 allows it
        {1, 0, 1, 0, timer},
        {0, 0, 0, 0, timer},
    };
    for (const auto& c : cases) {
        CpuHasTimeStampCounter = c.hasTimeStamp;
        FrameworkInitialised = c.initialised;
        UsePerformanceCounter = c.usePerformance;
        EXPECT_EQ(GetMicrosecondCount(c.argument), c.expected)
            << c.hasTimeStamp << c.argument << c.initialised << c.usePerformance;
    }
}

TEST_F(TimeFunctionsTest, MicrosecondCountScalesLargeCountersExactly) {
    platform::ClockProfile& clock = platform::Profile().clock;
    // Counter values whose product with a million passes 64 bits.
    clock.performanceFrequency = 3579545;
    clock.performanceCounterOrigin = 0x3FFFFFFFFFFFFFFFull;
    PerformanceCounterFrequency = 3579545;
    UsePerformanceCounter = 1;
    FrameworkInitialised = 1;
    CpuHasTimeStampCounter = 1;
    EXPECT_EQ(GetMicrosecondCount(0),
              static_cast<uint64_t>(static_cast<unsigned __int128>(0x3FFFFFFFFFFFFFFFull) *
                                    1000000 / 3579545));

    platform::Profile().cpu.timeStampTicksPerSecond = 2394123456;
    clock.timeStampCounterOrigin = 0xFEDCBA9876543210ull;
    TimeStampTicksPerSecond = 2394123456;
    EXPECT_EQ(GetMicrosecondCount(1),
              static_cast<uint64_t>(static_cast<unsigned __int128>(0xFEDCBA9876543210ull) *
                                    1000000 / 2394123456));

    // The counter's steps come through to the microsecond.
    clock.performanceCounterOrigin = 0;
    clock.performanceFrequency = 1000000000;
    PerformanceCounterFrequency = 1000000000;
    const uint64_t before = GetMicrosecondCount(0);
    platform::AdvanceManualClockNanoseconds(1500000);
    EXPECT_EQ(GetMicrosecondCount(0) - before, 1500u);
}

TEST_F(TimeFunctionsTest, MicrosecondCountOnTheTimerHasMillisecondSteps) {
    UsePerformanceCounter = 0;
    platform::Profile().clock.timeGetTimeOrigin = 1234;
    platform::AdvanceManualClockNanoseconds(300000);
    const uint64_t first = GetMicrosecondCount(0);
    platform::AdvanceManualClockNanoseconds(600000);
    const uint64_t second = GetMicrosecondCount(0);
    EXPECT_EQ(first, 1234000u);
    EXPECT_EQ(second, first);
    platform::AdvanceManualClockNanoseconds(200000);
    EXPECT_EQ(GetMicrosecondCount(0), 1235000u);
}

// 1 January 2011, 00:00:30 universal time, in 100 ns units from 1601.
constexpr uint64_t kNewYear2011 = (11644473600ull + 1293840000ull + 30) * 10000000ull;

FILETIME MakeFileTime(uint64_t value) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

TEST_F(TimeFunctionsTest, FileTimeToDateRecordGivesLocalTime) {
    platform::Profile().clock.useHostZone = false;
    const struct {
        int32_t offsetMinutes;
        DateRecord expected;
    } cases[] = {
        {9 * 60, {2011, 1, 1, 9, 0, 30}},
        {0, {2011, 1, 1, 0, 0, 30}},
        {-60, {2010, 12, 31, 23, 0, 30}},
    };
    for (const auto& c : cases) {
        platform::Profile().clock.localOffsetMinutes = c.offsetMinutes;
        const FILETIME time = MakeFileTime(kNewYear2011);
        DateRecord record{-1, -1, -1, -1, -1, -1};
        FileTimeToDateRecord(&time, &record);
        EXPECT_EQ(record.Year, c.expected.Year) << c.offsetMinutes;
        EXPECT_EQ(record.Month, c.expected.Month) << c.offsetMinutes;
        EXPECT_EQ(record.Day, c.expected.Day) << c.offsetMinutes;
        EXPECT_EQ(record.Hour, c.expected.Hour) << c.offsetMinutes;
        EXPECT_EQ(record.Minute, c.expected.Minute) << c.offsetMinutes;
        EXPECT_EQ(record.Second, c.expected.Second) << c.offsetMinutes;
    }
}

TEST_F(TimeFunctionsTest, FileTimeBeyondTheSystemsRangeGivesAZeroRecord) {
    const FILETIME time = MakeFileTime(0xFFFFFFFFFFFFFFFFull);
    DateRecord record{7, 7, 7, 7, 7, 7};
    FileTimeToDateRecord(&time, &record);
    EXPECT_EQ(record.Year, 0);
    EXPECT_EQ(record.Month, 0);
    EXPECT_EQ(record.Day, 0);
    EXPECT_EQ(record.Hour, 0);
    EXPECT_EQ(record.Minute, 0);
    EXPECT_EQ(record.Second, 0);
}

TEST_F(TimeFunctionsTest, LocalDateRecordCopiesTheLocalTime) {
    platform::Profile().clock.useHostZone = false;
    platform::Profile().clock.localOffsetMinutes = 9 * 60;
    // The manual clock's wall clock starts at 2000-01-01 00:00:00 universal
    // time; 31 days, 5 hours and 61 seconds on, 9 hours ahead.
    platform::AdvanceManualClockNanoseconds((31ull * 86400 + 5 * 3600 + 61) * 1000000000ull);
    DateRecord record{};
    EXPECT_EQ(GetLocalDateRecord(&record), 0);
    EXPECT_EQ(record.Year, 2000);
    EXPECT_EQ(record.Month, 2);
    EXPECT_EQ(record.Day, 1);
    EXPECT_EQ(record.Hour, 14);
    EXPECT_EQ(record.Minute, 1);
    EXPECT_EQ(record.Second, 1);
}

// The measurement on a clock that moves by itself with every read.
class TimeStampMeasurementTest : public TimeFunctionsTest,
                                 public ::testing::WithParamInterface<uint32_t> {};

TEST_P(TimeStampMeasurementTest, CountsTicksOverAtLeast100Milliseconds) {
    platform::ClockProfile& clock = platform::Profile().clock;
    clock.timeGetTimeOrigin = GetParam();
    clock.timeStampCounterOrigin = 0xFFFFFFFFFF000000ull;  // the counter's own wrap is harmless
    clock.advanceNanosecondsPerRead = 250000;               // a quarter millisecond per read
    platform::Profile().cpu.timeStampTicksPerSecond = 1000000000;

    const uint64_t ticks = MeasureTimeStampTicksOver100Milliseconds();
    // At least 100 ms between the two timer reads, and a few reads more.
    EXPECT_GE(ticks, 100000000u);
    EXPECT_LE(ticks, 102000000u);
}

INSTANTIATE_TEST_SUITE_P(TimerOrigins, TimeStampMeasurementTest,
                         ::testing::Values(0u, 1000u,
                                           0x7FFFFFFFu - 50,     // masked timer wraps mid-way
                                           0xFFFFFFFFu - 50,     // the 32-bit timer wraps too
                                           0x7FFFFFFFu));        // starts on the last value
}  // namespace
