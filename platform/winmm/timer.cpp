// timeGetTime and the timer resolution calls.
#include "platform/winmm/winmm.h"

#include "platform/kernel/clock_source.h"
#include "platform/profile/machine_profile.h"

DWORD WINAPI timeGetTime(void) {
    const platform::ClockProfile& clock = platform::Profile().clock;
    if (clock.manual) {
        const uint64_t milliseconds = platform::detail::ReadManualNanoseconds() / 1000000ull;
        return static_cast<DWORD>(clock.timeGetTimeOrigin + milliseconds);  // wraps at 2^32
    }
    return static_cast<DWORD>(platform::detail::MonotonicNanoseconds() / 1000000ull);
}

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT sizeOfCaps) {
    if (caps == nullptr || sizeOfCaps != sizeof(TIMECAPS)) return TIMERR_NOCANDO;
    const platform::ClockProfile& clock = platform::Profile().clock;
    caps->wPeriodMin = clock.periodMin;
    caps->wPeriodMax = clock.periodMax;
    return TIMERR_NOERROR;
}

// The host's sleeps and waits are as fine as they get already; the calls only
// check the period against what timeGetDevCaps reports.
static MMRESULT CheckPeriod(UINT period) {
    const platform::ClockProfile& clock = platform::Profile().clock;
    return period >= clock.periodMin && period <= clock.periodMax ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeBeginPeriod(UINT period) { return CheckPeriod(period); }

MMRESULT WINAPI timeEndPeriod(UINT period) { return CheckPeriod(period); }
