// Multimedia timer services: the millisecond system time and its resolution.
//
// Stands in for the multimedia library's timer calls (joysticks and MCI join
// this folder when the framework calls them). Built on the kernel's clock,
// which the machine profile can replace with a manual clock that steps this
// timer, the performance counter and the time-stamp counter together.
#pragma once

#include "platform/win_types.h"

#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u
#define MMSYSERR_NOERROR 0u

typedef struct _TIMECAPS {
    UINT wPeriodMin;
    UINT wPeriodMax;
} TIMECAPS, *LPTIMECAPS;

// Milliseconds since the system started, wrapping at 2^32.
DWORD WINAPI timeGetTime(void);
MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT sizeOfCaps);
MMRESULT WINAPI timeBeginPeriod(UINT period);
MMRESULT WINAPI timeEndPeriod(UINT period);
