// Multimedia services: the millisecond system time and its resolution, the
// joystick calls, and the wave format record that sound data is described by.
//
// Stands in for the multimedia library's timer and joystick calls (MCI joins
// this folder when the framework calls it). The timer is built on the
// kernel's clock, which the machine profile can replace with a manual clock
// that steps this timer, the performance counter and the time-stamp counter
// together. The joysticks are the pads of the DirectInput stand-in, read
// through SDL2 (platform/host/host_input.h); left out: calibration,
// thresholds, capture and joystick messages.
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

// ---- joysticks ------------------------------------------------------------------

#define MMSYSERR_BADDEVICEID 2u
#define MMSYSERR_INVALPARAM 11u
#define JOYERR_NOERROR 0u
#define JOYERR_PARMS 165u
#define JOYERR_UNPLUGGED 167u

#define JOYCAPS_HASZ 0x0001u
#define JOYCAPS_HASR 0x0002u
#define JOYCAPS_HASU 0x0004u
#define JOYCAPS_HASV 0x0008u
#define JOYCAPS_HASPOV 0x0010u
#define JOYCAPS_POVCTS 0x0040u

#define JOY_RETURNX 0x00000001u
#define JOY_RETURNY 0x00000002u
#define JOY_RETURNZ 0x00000004u
#define JOY_RETURNR 0x00000008u
#define JOY_RETURNU 0x00000010u
#define JOY_RETURNV 0x00000020u
#define JOY_RETURNPOV 0x00000040u
#define JOY_RETURNBUTTONS 0x00000080u
#define JOY_RETURNALL 0x000000FFu
#define JOY_POVCENTERED 0xFFFFu

typedef struct tagJOYCAPSA {
    WORD wMid;
    WORD wPid;
    CHAR szPname[32];
    UINT wXmin;
    UINT wXmax;
    UINT wYmin;
    UINT wYmax;
    UINT wZmin;
    UINT wZmax;
    UINT wNumButtons;
    UINT wPeriodMin;
    UINT wPeriodMax;
    UINT wRmin;
    UINT wRmax;
    UINT wUmin;
    UINT wUmax;
    UINT wVmin;
    UINT wVmax;
    UINT wCaps;
    UINT wMaxAxes;
    UINT wNumAxes;
    UINT wMaxButtons;
    CHAR szRegKey[32];
    CHAR szOEMVxD[260];
} JOYCAPSA, *LPJOYCAPSA;

typedef struct joyinfoex_tag {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwXpos;
    DWORD dwYpos;
    DWORD dwZpos;
    DWORD dwRpos;
    DWORD dwUpos;
    DWORD dwVpos;
    DWORD dwButtons;
    DWORD dwButtonNumber;
    DWORD dwPOV;
    DWORD dwReserved1;
    DWORD dwReserved2;
} JOYINFOEX, *LPJOYINFOEX;

// Joystick ids count the attached pads from 0 in the order DirectInput
// lists them; an id with no pad fails (JOYERR_PARMS). Positions run from 0
// to 65535 on the axes X, Y, Z, R, U, V (DirectInput's X, Y, Z, Rz, Rx, Ry).
MMRESULT WINAPI joyGetDevCapsA(UINT_PTR joystickId, LPJOYCAPSA caps, UINT sizeOfCaps);
MMRESULT WINAPI joyGetPosEx(UINT joystickId, LPJOYINFOEX info);

// ---- wave formats ---------------------------------------------------------------

#define WAVE_FORMAT_PCM 1u

// Eighteen bytes with no padding, as the record is stored in sound files and
// copied whole.
#pragma pack(push, 2)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;  // bytes of format-specific data that follow; 0 for PCM
} WAVEFORMATEX, *LPWAVEFORMATEX;
#pragma pack(pop)
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;
static_assert(sizeof(WAVEFORMATEX) == 18, "a wave format is 18 bytes");
