// The manual clock as tests drive it. Private to the platform (and to tests).
//
// Its settings (whether it is on, its origins, the advance at each read) are
// the machine profile's clock part; the time it stands at is the clock's own,
// back at 0 after ResetMachine().
#pragma once

#include <cstdint>

namespace platform {

// Switching it on freezes time where the clock stands: its time past the
// origins given in the profile (after a reset, timeGetTime stands at
// timeGetTimeOrigin and so on). The origins may be set before or after
// switching it on.
void UseManualClock(bool on);
void AdvanceManualClockMilliseconds(uint64_t milliseconds);
void AdvanceManualClockNanoseconds(uint64_t nanoseconds);
// The time on the manual clock in nanoseconds, without moving it.
uint64_t ManualClockNanoseconds();

}  // namespace platform
