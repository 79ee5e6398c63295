// Clearing the draw target and showing the screen in the window, and the
// software path's pacing by the vertical blank.
#pragma once

#include "platform/win_types.h"

// 1 when presenting waits for the vertical blank.
int GetWaitVSyncFlag();
int SetWaitVSyncFlag(int flag);
// Fills the draw target with the background colour (and clears the depth
// buffer on the hardware path). Returns 0.
int ClearTargetScreen();
// Shows the screen: the window's scale rates, a tool bar and the doubled
// 320 by 240 mode taken into account. -1 before the framework is initialised,
// once a quit has been posted, or when the device refuses; else 0.
int PresentBackBuffer();
// A seam for tests and benchmarks, unset in the program: called with 0 as
// each PresentBackBuffer begins and with 1 as it returns. Null takes it away.
typedef void (*PresentHook)(int phase);
void SetPresentHook(PresentHook hook);
// Returns at the start of the next vertical blank unless the display is in
// one already; the new last time (milliseconds).
DWORD WaitVerticalBlankInterval();
// The last time WaitVerticalBlankInterval returned.
DWORD GetLastVerticalBlankTime();
// Shows the whole screen again (hardware path: from the sub back buffer).
int RepaintBackBuffer();
