// DirectDraw 7, as far as the framework keeps it: the object that
// CoCreateInstance(CLSID_DirectDraw7) makes, its initialisation and
// cooperative level, and the vertical-blank status and wait that pace the
// software path.
//
// Stands in for the DirectDraw 7 interface the framework calls. Left out:
// surfaces, palettes, clippers, display-mode changes and exclusive mode
// (DDSCL_NORMAL is the only level).
// Built on the vertical blank of platform/d3d9/vertical_blank.h, a 60 Hz
// clock that follows the manual clock in tests. Whether DirectDraw exists is
// the machine profile's direct3d part.
#pragma once

#include "platform/com/com.h"
#include "platform/win_types.h"

#define DD_OK S_OK
#define DDERR_GENERIC E_FAIL
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_NOTINITIALIZED CO_E_NOTINITIALIZED
#define DDERR_ALREADYINITIALIZED ((HRESULT)0x88760005u)

#define KILN_DDRAW_GUID(n) {0x4B494C00u + (n), 0x4444u, 0x5257u, {0x00u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, (BYTE)(n)}}

inline constexpr GUID CLSID_DirectDraw7 = KILN_DDRAW_GUID(1);
inline constexpr GUID IID_IDirectDraw7 = KILN_DDRAW_GUID(2);

// Cooperative levels.
#define DDSCL_NORMAL 0x00000008u
#define DDSCL_FPUPRESERVE 0x00001000u

// What WaitForVerticalBlank waits for.
#define DDWAITVB_BLOCKBEGIN 0x00000001u
#define DDWAITVB_BLOCKBEGINEVENT 0x00000002u
#define DDWAITVB_BLOCKEND 0x00000004u

// Made uninitialised by CoCreateInstance; every other member fails with
// DDERR_NOTINITIALIZED until Initialize succeeds.
struct IDirectDraw7 : IUnknown {
    // `driver` null: the display the desktop is on (the only one).
    virtual HRESULT WINAPI Initialize(GUID* driver) = 0;
    virtual HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD flags) = 0;
    // TRUE while the display is in its vertical blank.
    virtual HRESULT WINAPI GetVerticalBlankStatus(BOOL* inVerticalBlank) = 0;
    // Returns when the next vertical blank begins (DDWAITVB_BLOCKBEGIN) or
    // when the current or next one ends (DDWAITVB_BLOCKEND); `event` must be
    // null.
    virtual HRESULT WINAPI WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
};
typedef IDirectDraw7* LPDIRECTDRAW7;
