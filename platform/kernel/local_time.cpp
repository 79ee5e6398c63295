// Wall-clock time, local time and the conversions between file times (100 ns
// units since 1601-01-01 UTC, proleptic Gregorian) and calendar times.
//
// On the manual clock the wall clock stands at 2000-01-01 00:00:00 UTC plus
// the manual time, so that dates in tests do not depend on the day they run.
// Local time is the profile's fixed offset, or the host's zone (its offset at
// the present moment, as for a zone without daylight saving changes in
// between) when useHostZone is set.
#include <time.h>

#include "platform/kernel/clock_source.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;  // 100 ns units
constexpr int64_t kTicksPerDay = 86400 * kTicksPerSecond;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDaysFrom1601To1970 = 134774;
constexpr int64_t kUnixEpochTicks = kDaysFrom1601To1970 * kTicksPerDay;
// 2000-01-01 00:00:00 UTC, where the manual clock's wall clock starts.
constexpr int64_t kManualEpochTicks = kUnixEpochTicks + 946684800ll * kTicksPerSecond;
constexpr int kLatestYear = 30827;  // the last whole year a file time can hold

uint64_t ToTicks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (the
// era-based algorithm: exact for every year we accept).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2);
}

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int64_t LocalOffsetTicks() {
    const platform::ClockProfile& clock = platform::Profile().clock;
    if (!clock.useHostZone) return static_cast<int64_t>(clock.localOffsetMinutes) * 60 * kTicksPerSecond;
    time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local) == nullptr) return 0;
    return static_cast<int64_t>(local.tm_gmtoff) * kTicksPerSecond;
}

// Moves a file time by `offset`, failing when it would leave the range.
BOOL ShiftFileTime(const FILETIME* from, LPFILETIME to, int64_t offset) {
    if (from == nullptr || to == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t ticks = static_cast<int64_t>(ToTicks(*from));
    if (ticks < 0 || (offset < 0 && ticks < -offset) || (offset > 0 && ticks > INT64_MAX - offset)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *to = FromTicks(static_cast<uint64_t>(ticks + offset));
    return TRUE;
}

}  // namespace

void WINAPI GetSystemTimeAsFileTime(LPFILETIME time) {
    if (time == nullptr) return;
    if (platform::Profile().clock.manual) {
        *time = FromTicks(static_cast<uint64_t>(kManualEpochTicks) +
                          platform::detail::PeekManualNanoseconds() / 100);
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    *time = FromTicks(static_cast<uint64_t>(kUnixEpochTicks + now.tv_sec * kTicksPerSecond +
                                            now.tv_nsec / 100));
}

void WINAPI GetSystemTime(LPSYSTEMTIME time) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FileTimeToSystemTime(&now, time);
}

void WINAPI GetLocalTime(LPSYSTEMTIME time) {
    FILETIME now, local;
    GetSystemTimeAsFileTime(&now);
    if (FileTimeToLocalFileTime(&now, &local)) FileTimeToSystemTime(&local, time);
}

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime) {
    return ShiftFileTime(fileTime, localFileTime, LocalOffsetTicks());
}

BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime) {
    return ShiftFileTime(localFileTime, fileTime, -LocalOffsetTicks());
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
    if (fileTime == nullptr || systemTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t ticks = ToTicks(*fileTime);
    if (ticks > static_cast<uint64_t>(INT64_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t days = static_cast<int64_t>(ticks / kTicksPerDay);
    const int64_t withinDay = static_cast<int64_t>(ticks % kTicksPerDay);
    int64_t year;
    unsigned month, day;
    CivilFromDays(days - kDaysFrom1601To1970, year, month, day);
    systemTime->wYear = static_cast<WORD>(year);
    systemTime->wMonth = static_cast<WORD>(month);
    systemTime->wDay = static_cast<WORD>(day);
    systemTime->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
    systemTime->wHour = static_cast<WORD>(withinDay / (3600 * kTicksPerSecond));
    systemTime->wMinute = static_cast<WORD>(withinDay / (60 * kTicksPerSecond) % 60);
    systemTime->wSecond = static_cast<WORD>(withinDay / kTicksPerSecond % 60);
    systemTime->wMilliseconds = static_cast<WORD>(withinDay / 10000 % 1000);
    return TRUE;
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
    if (systemTime == nullptr || fileTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const SYSTEMTIME& t = *systemTime;
    // The day of the week is not checked: the date decides it.
    if (t.wYear < 1601 || t.wYear > kLatestYear || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 ||
        t.wSecond > 59 || t.wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) + kDaysFrom1601To1970;
    const int64_t ticks = days * kTicksPerDay +
                          ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * kTicksPerSecond +
                          t.wMilliseconds * 10000ll;
    *fileTime = FromTicks(static_cast<uint64_t>(ticks));
    return TRUE;
}
