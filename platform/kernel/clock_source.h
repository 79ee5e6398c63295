// Where the clocks read their time: the host's monotonic clock, or the
// manual clock, whose time is kept here. Private to the platform.
#pragma once

#include <cstdint>

namespace platform::detail {

// Nanoseconds of the host's monotonic clock.
uint64_t MonotonicNanoseconds();
// Nanoseconds on the manual clock, after moving it by the profile's
// advanceNanosecondsPerRead (a read of a clock source).
uint64_t ReadManualNanoseconds();
// Nanoseconds on the manual clock without moving it.
uint64_t PeekManualNanoseconds();

// value * numerator / denominator without overflow in between (the result is
// cut to 64 bits, as a wrapping counter would be).
uint64_t ScaleExactly(uint64_t value, uint64_t numerator, uint64_t denominator);

}  // namespace platform::detail
