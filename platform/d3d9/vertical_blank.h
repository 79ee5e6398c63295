// The display's vertical blank: a 60 Hz retrace whose blank takes the first
// 45 of each frame's 525 lines, on the host's monotonic clock or, when the
// machine profile says so, on the manual clock, where a wait moves the
// manual clock on to the moment waited for instead of sleeping. Private to
// platform/d3d9.
#pragma once

namespace platform::d3d9 {

// Whether the display is in its vertical blank now (a read of a clock: on
// the manual clock it first moves by the profile's advance per read).
bool InVerticalBlank();

// Returns when the next vertical blank begins.
void WaitForVerticalBlankBegin();

// Returns when the current vertical blank ends, or the next one when the
// display is not in one.
void WaitForVerticalBlankEnd();

}  // namespace platform::d3d9
