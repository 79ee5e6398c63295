// The performance counter and the time-stamp counter. Both run from the
// host's monotonic clock (the counter at the profile's frequency) or, on the
// manual clock, from the manual time and the profile's origins.
#if defined(__i386__) || defined(__x86_64__)
#include <x86intrin.h>
#endif

#include "platform/kernel/clock_source.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace {

constexpr uint64_t kNanosecondsPerSecond = 1000000000ull;

uint64_t RealTimeStampCounter() {
#if defined(__i386__) || defined(__x86_64__)
    return __rdtsc();
#else
    return platform::detail::MonotonicNanoseconds();
#endif
}

// The real counter's rate, measured once against the monotonic clock. Only
// the manual clock needs it, when the profile gives no rate of its own.
uint64_t MeasuredTimeStampRate() {
    static const uint64_t rate = [] {
        uint64_t startTime = platform::detail::MonotonicNanoseconds();
        uint64_t startTicks = RealTimeStampCounter();
        Sleep(20);
        uint64_t elapsedTime = platform::detail::MonotonicNanoseconds() - startTime;
        uint64_t elapsedTicks = RealTimeStampCounter() - startTicks;
        uint64_t measured =
            platform::detail::ScaleExactly(elapsedTicks, kNanosecondsPerSecond, elapsedTime);
        return measured != 0 ? measured : kNanosecondsPerSecond;
    }();
    return rate;
}

}  // namespace

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    uint64_t counts = platform::Profile().clock.performanceFrequency;
    if (frequency == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    frequency->QuadPart = static_cast<LONGLONG>(counts);
    return counts != 0 ? TRUE : FALSE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const platform::ClockProfile& clock = platform::Profile().clock;
    uint64_t frequency = clock.performanceFrequency;
    if (frequency == 0) {
        count->QuadPart = 0;
        return FALSE;
    }
    uint64_t counts;
    if (clock.manual) {
        uint64_t nanoseconds = platform::detail::ReadManualNanoseconds();
        counts = clock.performanceCounterOrigin +
                 platform::detail::ScaleExactly(nanoseconds, frequency, kNanosecondsPerSecond);
    } else {
        counts = platform::detail::ScaleExactly(platform::detail::MonotonicNanoseconds(), frequency,
                                                kNanosecondsPerSecond);
    }
    count->QuadPart = static_cast<LONGLONG>(counts);
    return TRUE;
}

ULONGLONG ReadTimeStampCounter(void) {
    const platform::MachineProfile& profile = platform::Profile();
    if (!profile.clock.manual) {
        // An overridden processor with a rate of its own ticks at that rate.
        if (profile.cpu.overridden && profile.cpu.timeStampTicksPerSecond != 0)
            return platform::detail::ScaleExactly(platform::detail::MonotonicNanoseconds(),
                                                  profile.cpu.timeStampTicksPerSecond,
                                                  kNanosecondsPerSecond);
        return RealTimeStampCounter();
    }
    uint64_t rate = profile.cpu.timeStampTicksPerSecond;
    if (rate == 0) rate = MeasuredTimeStampRate();
    uint64_t nanoseconds = platform::detail::ReadManualNanoseconds();
    return profile.clock.timeStampCounterOrigin +
           platform::detail::ScaleExactly(nanoseconds, rate, kNanosecondsPerSecond);
}
