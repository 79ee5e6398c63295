// The reference clock a graph runs on when the program chooses none. Private
// to the platform, and to tests, which put a clock of their own in its place.
#pragma once

#include "platform/dshow/dshow.h"

namespace platform::dshow {

// A new system clock, with one reference: the performance counter's time in
// 100 ns units (so the machine profile's manual clock moves it too).
HRESULT CreateSystemReferenceClock(IReferenceClock** clock);

// From now on graphs that start without a clock chosen take `clock` (held
// with a reference); null: each graph makes a system clock of its own again.
// The machine's reset goes back to the system clock.
void SetDefaultReferenceClock(IReferenceClock* clock);

// The clock a graph takes, with a reference.
IReferenceClock* DefaultReferenceClock();

}  // namespace platform::dshow
