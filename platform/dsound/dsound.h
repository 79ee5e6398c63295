// DirectSound: the sound object that CoCreateInstance makes, its primary
// buffer (which sets the output format) and secondary buffers of PCM data
// that play once or looping, at their own rate, volume and pan, each with
// its own cursor; duplicates that share a buffer's memory; and the device
// list, which DirectSoundEnumerateA gives through LoadLibraryA("DSOUND.DLL")
// and GetProcAddress.
//
// Stands in for the sound library the framework calls. Left out: 3D sound,
// effects, capture, position notifications, writing to the primary buffer,
// lost buffers and Restore, focus (every buffer sounds whichever window is
// active, as if each had DSBCAPS_GLOBALFOCUS), speaker configuration, and
// the interface members the framework never calls.
// Built on our own mixer: every playing secondary buffer is resampled to the
// output rate (linear interpolation), scaled by its volume and pan and
// summed with saturation into 16-bit samples, a few milliseconds at a time.
// The mix goes to one of three outputs, chosen in the machine profile's
// sound part: the host's audio device (platform/host/host_audio.h, SDL2), a
// null output that consumes the mix at the wall clock's rate, or a virtual
// output that tests advance frame by frame (platform/dsound/virtual_output.h).
// The profile also sets the device list, the capabilities and injected
// failures.
//
// Cursors: the play cursor is where the mixer will read next, so everything
// before it has been played and everything from it on may be written; the
// write cursor equals it. A buffer played once that reaches its end stops,
// and its cursor goes back to 0, so that playing it again starts from the
// top. Stop keeps the cursor.
#pragma once

#include "platform/com/com.h"
#include "platform/winmm/winmm.h"

// ---- results -------------------------------------------------------------------

#define DS_OK S_OK
#define DSERR_GENERIC E_FAIL
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_NOINTERFACE E_NOINTERFACE
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_CONTROLUNAVAIL ((HRESULT)0x8878001Eu)
#define DSERR_INVALIDCALL ((HRESULT)0x88780032u)
#define DSERR_PRIOLEVELNEEDED ((HRESULT)0x88780046u)
#define DSERR_BADFORMAT ((HRESULT)0x88780064u)
#define DSERR_NODRIVER ((HRESULT)0x88780078u)
#define DSERR_ALREADYINITIALIZED ((HRESULT)0x88780082u)
#define DSERR_UNINITIALIZED ((HRESULT)0x887800AAu)

// ---- identifiers ---------------------------------------------------------------
// Our own values: the framework names them and never looks inside.

#define KILN_DSOUND_GUID(n) {0x4B494C00u + (n), 0x4453u, 0x4E44u, {0x53u, 0x4Fu, 0x55u, 0x4Eu, 0x44u, 0x00u, 0x00u, (BYTE)(n)}}

inline constexpr GUID CLSID_DirectSound = KILN_DSOUND_GUID(1);
inline constexpr GUID IID_IDirectSound = KILN_DSOUND_GUID(2);
inline constexpr GUID IID_IDirectSoundBuffer = KILN_DSOUND_GUID(3);

// ---- the sound object ------------------------------------------------------------

// Cooperative levels. The primary buffer's format can be set from
// DSSCL_PRIORITY up.
#define DSSCL_NORMAL 0x00000001u
#define DSSCL_PRIORITY 0x00000002u

// Capability flags: the sample sizes and channel counts the primary and the
// secondary buffers accept.
#define DSCAPS_PRIMARYMONO 0x00000001u
#define DSCAPS_PRIMARYSTEREO 0x00000002u
#define DSCAPS_PRIMARY8BIT 0x00000004u
#define DSCAPS_PRIMARY16BIT 0x00000008u
#define DSCAPS_CONTINUOUSRATE 0x00000010u
#define DSCAPS_SECONDARYMONO 0x00000100u
#define DSCAPS_SECONDARYSTEREO 0x00000200u
#define DSCAPS_SECONDARY8BIT 0x00000400u
#define DSCAPS_SECONDARY16BIT 0x00000800u

typedef struct _DSCAPS {
    DWORD dwSize;  // sizeof(DSCAPS)
    DWORD dwFlags;
    DWORD dwMinSecondarySampleRate;
    DWORD dwMaxSecondarySampleRate;
    DWORD dwTotalHwMemBytes;
    DWORD dwFreeHwMemBytes;
} DSCAPS, *LPDSCAPS;

// ---- buffers -----------------------------------------------------------------------

#define DSBCAPS_PRIMARYBUFFER 0x00000001u
#define DSBCAPS_STATIC 0x00000002u
#define DSBCAPS_CTRLFREQUENCY 0x00000020u
#define DSBCAPS_CTRLPAN 0x00000040u
#define DSBCAPS_CTRLVOLUME 0x00000080u
#define DSBCAPS_GLOBALFOCUS 0x00008000u
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000u

// Buffer sizes in bytes.
#define DSBSIZE_MIN 4u
#define DSBSIZE_MAX 0x0FFFFFFFu

typedef struct _DSBCAPS {
    DWORD dwSize;  // sizeof(DSBCAPS)
    DWORD dwFlags;
    DWORD dwBufferBytes;
} DSBCAPS, *LPDSBCAPS;

// A primary buffer is described by DSBCAPS_PRIMARYBUFFER alone, with no size
// and no format. A secondary buffer's size is rounded down to whole blocks.
typedef struct _DSBUFFERDESC {
    DWORD dwSize;  // sizeof(DSBUFFERDESC)
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

#define DSBPLAY_LOOPING 0x00000001u

#define DSBSTATUS_PLAYING 0x00000001u
#define DSBSTATUS_LOOPING 0x00000004u

// Hundredths of a decibel: 0 is the data as it is, DSBVOLUME_MIN silence.
#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
// Hundredths of a decibel taken off the other side: DSBPAN_LEFT silences the
// right channel.
#define DSBPAN_LEFT (-10000)
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
// SetFrequency(DSBFREQUENCY_ORIGINAL) plays at the data's own rate.
#define DSBFREQUENCY_ORIGINAL 0u

// ---- interfaces ----------------------------------------------------------------------

// A primary or secondary buffer. On the primary buffer only GetCaps,
// GetFormat, SetFormat, Play (looping), Stop and GetStatus work; the others
// answer DSERR_INVALIDCALL, or DSERR_CONTROLUNAVAIL for the controls. A
// control (volume, pan, frequency) answers DSERR_CONTROLUNAVAIL unless the
// buffer was made with its DSBCAPS_CTRL flag.
struct IDirectSoundBuffer : IUnknown {
    virtual HRESULT WINAPI GetCaps(LPDSBCAPS caps) = 0;
    // Cursors in bytes; either pointer may be null.
    virtual HRESULT WINAPI GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
    // With `format` null, only the size needed goes to `written`.
    virtual HRESULT WINAPI GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD written) = 0;
    virtual HRESULT WINAPI GetVolume(LONG* volume) = 0;
    virtual HRESULT WINAPI GetFrequency(LPDWORD frequency) = 0;
    virtual HRESULT WINAPI GetStatus(LPDWORD status) = 0;
    // `flags` is 0. The range may run past the end of the buffer, and then
    // the second piece is its rest from the buffer's start; `part2` and
    // `size2` may be null only when the range does not.
    virtual HRESULT WINAPI Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD size1, LPVOID* part2,
                                LPDWORD size2, DWORD flags) = 0;
    // `reserved` and `priority` are 0; `flags` DSBPLAY_LOOPING or 0. Playing
    // a buffer that plays already only changes whether it loops.
    virtual HRESULT WINAPI Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    // A byte offset in the buffer, rounded down to a whole block.
    virtual HRESULT WINAPI SetCurrentPosition(DWORD position) = 0;
    // The primary buffer only: the output's format.
    virtual HRESULT WINAPI SetFormat(LPCWAVEFORMATEX format) = 0;
    virtual HRESULT WINAPI SetVolume(LONG volume) = 0;
    virtual HRESULT WINAPI SetPan(LONG pan) = 0;
    virtual HRESULT WINAPI SetFrequency(DWORD frequency) = 0;
    virtual HRESULT WINAPI Stop() = 0;
    virtual HRESULT WINAPI Unlock(LPVOID part1, DWORD size1, LPVOID part2, DWORD size2) = 0;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// Made uninitialised by CoCreateInstance: every other member answers
// DSERR_UNINITIALIZED until Initialize succeeds.
struct IDirectSound : IUnknown {
    virtual HRESULT WINAPI CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                                             LPUNKNOWN outer) = 0;
    virtual HRESULT WINAPI GetCaps(LPDSCAPS caps) = 0;
    // The duplicate shares the original's memory and starts stopped at 0,
    // with the original's volume, pan and frequency.
    virtual HRESULT WINAPI DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
    virtual HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD level) = 0;
    // `device` null: the first device of the list; else one of the GUIDs the
    // list gives.
    virtual HRESULT WINAPI Initialize(const GUID* device) = 0;
};
typedef IDirectSound* LPDIRECTSOUND;

// The device list's callback: a GUID, the description and the module name
// of each device; FALSE stops the list.
typedef BOOL(CALLBACK* LPDSENUMCALLBACKA)(GUID* guid, LPCSTR description, LPCSTR module, LPVOID context);
