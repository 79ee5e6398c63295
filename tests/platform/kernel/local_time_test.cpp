#include "platform/kernel/kernel.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

using LocalTimeTest = testsupport::PlatformTest;

constexpr uint64_t kTicksPerSecond = 10000000;

FILETIME FileTime(uint64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

struct CalendarCase {
    uint64_t ticks;
    SYSTEMTIME time;  // year, month, day of week, day, h, m, s, ms
};

TEST_F(LocalTimeTest, FileTimesAndCalendarTimesConvertBothWays) {
    const CalendarCase cases[] = {
        {0, {1601, 1, 1, 1, 0, 0, 0, 0}},                                 // the origin, a Monday
        {116444736000000000ull, {1970, 1, 4, 1, 0, 0, 0, 0}},            // a Thursday
        {129383136300000000ull, {2011, 1, 6, 1, 0, 0, 30, 0}},           // 2011-01-01 00:00:30
        {125911584000000000ull + 5 * kTicksPerSecond + 1234567,
         {2000, 1, 6, 1, 0, 0, 5, 123}},                                 // ms cut, not rounded
        {126000556000000000ull, {2000, 4, 3, 12, 23, 26, 40, 0}},
        {126036000000000000ull, {2000, 5, 3, 24, 0, 0, 0, 0}},
        {125962560000000000ull, {2000, 2, 2, 29, 0, 0, 0, 0}},           // a leap day
        {0x7FFFFFFFFFFFFFFFull - 0x7FFFFFFFFFFFFFFFull % (86400 * kTicksPerSecond) - 86400 * kTicksPerSecond,
         {30828, 9, 3, 13, 0, 0, 0, 0}},
    };
    for (const CalendarCase& c : cases) {
        SCOPED_TRACE(c.ticks);
        FILETIME fileTime = FileTime(c.ticks);
        SYSTEMTIME time{};
        ASSERT_TRUE(FileTimeToSystemTime(&fileTime, &time));
        EXPECT_EQ(time.wYear, c.time.wYear);
        EXPECT_EQ(time.wMonth, c.time.wMonth);
        EXPECT_EQ(time.wDayOfWeek, c.time.wDayOfWeek);
        EXPECT_EQ(time.wDay, c.time.wDay);
        EXPECT_EQ(time.wHour, c.time.wHour);
        EXPECT_EQ(time.wMinute, c.time.wMinute);
        EXPECT_EQ(time.wSecond, c.time.wSecond);
        EXPECT_EQ(time.wMilliseconds, c.time.wMilliseconds);
        if (c.time.wYear > 30827) continue;  // past the last year a calendar time may give
        FILETIME back{};
        ASSERT_TRUE(SystemTimeToFileTime(&time, &back));
        EXPECT_EQ(Ticks(back), c.ticks / 10000 * 10000);
    }
}

TEST_F(LocalTimeTest, OutOfRangeTimesAreRefused) {
    FILETIME tooLate = FileTime(0x8000000000000000ull);
    SYSTEMTIME time{};
    EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &time));

    const SYSTEMTIME invalid[] = {
        {30828, 1, 0, 1, 0, 0, 0, 0}, {1600, 12, 0, 31, 0, 0, 0, 0}, {2011, 13, 0, 1, 0, 0, 0, 0},
        {2011, 2, 0, 29, 0, 0, 0, 0}, {2011, 1, 0, 0, 0, 0, 0, 0},   {2011, 1, 0, 1, 24, 0, 0, 0},
        {2011, 1, 0, 1, 0, 60, 0, 0}, {2011, 1, 0, 1, 0, 0, 60, 0},  {2011, 1, 0, 1, 0, 0, 0, 1000},
    };
    for (const SYSTEMTIME& t : invalid) {
        FILETIME out{};
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&t, &out)) << t.wYear << "-" << t.wMonth << "-" << t.wDay;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

TEST_F(LocalTimeTest, LocalFileTimeUsesTheProfileZone) {
    platform::Profile().clock.useHostZone = false;
    platform::Profile().clock.localOffsetMinutes = 9 * 60;
    FILETIME utc = FileTime(129383136300000000ull);  // 2011-01-01 00:00:30 UTC
    FILETIME local{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    SYSTEMTIME time{};
    ASSERT_TRUE(FileTimeToSystemTime(&local, &time));
    EXPECT_EQ(time.wYear, 2011);
    EXPECT_EQ(time.wMonth, 1);
    EXPECT_EQ(time.wDay, 1);
    EXPECT_EQ(time.wHour, 9);
    EXPECT_EQ(time.wMinute, 0);
    EXPECT_EQ(time.wSecond, 30);
    FILETIME back{};
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(Ticks(back), Ticks(utc));

    FILETIME early = FileTime(kTicksPerSecond);  // one second after the origin
    EXPECT_FALSE(LocalFileTimeToFileTime(&early, &back)) << "before 1601 in universal time";
}

TEST_F(LocalTimeTest, WallClockOnTheManualClockStartsIn2000AndMovesWithIt) {
    platform::UseManualClock(true);
    platform::Profile().clock.useHostZone = false;
    platform::Profile().clock.localOffsetMinutes = -60;
    platform::AdvanceManualClockMilliseconds(90 * 60 * 1000 + 250);
    SYSTEMTIME utc{}, local{};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    EXPECT_EQ(utc.wYear, 2000);
    EXPECT_EQ(utc.wHour, 1);
    EXPECT_EQ(utc.wMinute, 30);
    EXPECT_EQ(utc.wMilliseconds, 250);
    EXPECT_EQ(local.wHour, 0);
    EXPECT_EQ(local.wMinute, 30);
}

TEST_F(LocalTimeTest, RealWallClockIsAfter2020) {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    EXPECT_GE(now.wYear, 2020);
}

}  // namespace
