// Direct input devices: the DirectInput 7 and 8 interfaces that the
// framework creates through CoCreateInstance, the system keyboard and mouse,
// joysticks with their data formats, axis ranges and dead zones, change
// events, acquisition and cooperative levels, and the two force-feedback
// effects (constant force and sine) that the framework makes.
//
// Stands in for the direct input library the framework calls. Left out:
// buffered data, action maps, device images, effect files, every effect type
// but the two, the mouse's and keyboard's object enumeration, and the
// interface members the framework never calls.
// Built on the host's SDL2 keyboard and joysticks (platform/host/host_input.h):
// keys in DirectInput's scan-code based key codes, joystick axes, hats and
// buttons, vibration through SDL2's rumble. Which versions exist, which pads
// are attached and which vibrate is set in the machine profile's input part.
#pragma once

#include "platform/com/com.h"
#include "platform/win_types.h"

// ---- results -------------------------------------------------------------------

#define DI_OK S_OK
#define DI_NOEFFECT S_FALSE
#define DI_POLLEDDEVICE ((HRESULT)0x00000002)
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_NOINTERFACE E_NOINTERFACE
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_DEVICENOTREG REGDB_E_CLASSNOTREG
#define DIERR_OBJECTNOTFOUND ((HRESULT)0x80070002u)
#define DIERR_OTHERAPPHASPRIO ((HRESULT)0x80070005u)
#define DIERR_NOTACQUIRED ((HRESULT)0x8007000Cu)
#define DIERR_NOTINITIALIZED ((HRESULT)0x80070015u)
#define DIERR_INPUTLOST ((HRESULT)0x8007001Eu)
#define DIERR_ACQUIRED ((HRESULT)0x800700AAu)
#define DIERR_OLDDIRECTINPUTVERSION ((HRESULT)0x8007047Eu)
#define DIERR_BETADIRECTINPUTVERSION ((HRESULT)0x80070481u)
#define DIERR_ALREADYINITIALIZED ((HRESULT)0x800704DFu)
#define DIERR_NOTEXCLUSIVEACQUIRED ((HRESULT)0x80040205u)

// ---- identifiers -----------------------------------------------------------------
// Our own values: the framework names them and never looks inside.

#define KILN_DINPUT_GUID(n) {0x4B494C00u + (n), 0x4449u, 0x4E50u, {0x55u, 0x54u, 0x00u, 0x00u, 0x00u, 0x00u, 0x00u, (BYTE)(n)}}

inline constexpr GUID CLSID_DirectInput = KILN_DINPUT_GUID(1);
inline constexpr GUID CLSID_DirectInput8 = KILN_DINPUT_GUID(2);
inline constexpr GUID IID_IDirectInput7A = KILN_DINPUT_GUID(3);
inline constexpr GUID IID_IDirectInput8A = KILN_DINPUT_GUID(4);
inline constexpr GUID IID_IDirectInputDevice7A = KILN_DINPUT_GUID(5);
inline constexpr GUID IID_IDirectInputDevice8A = KILN_DINPUT_GUID(6);
inline constexpr GUID IID_IDirectInputEffect = KILN_DINPUT_GUID(7);
inline constexpr GUID GUID_SysMouse = KILN_DINPUT_GUID(8);
inline constexpr GUID GUID_SysKeyboard = KILN_DINPUT_GUID(9);
inline constexpr GUID GUID_ConstantForce = KILN_DINPUT_GUID(10);
inline constexpr GUID GUID_Sine = KILN_DINPUT_GUID(11);
// Properties.
inline constexpr GUID DIPROP_BUFFERSIZE = KILN_DINPUT_GUID(12);
inline constexpr GUID DIPROP_RANGE = KILN_DINPUT_GUID(13);
inline constexpr GUID DIPROP_DEADZONE = KILN_DINPUT_GUID(14);

#define DIRECTINPUT_VERSION_7 0x0700u
#define DIRECTINPUT_VERSION_8 0x0800u

// ---- enumeration -------------------------------------------------------------------

#define DIDEVTYPE_MOUSE 2u
#define DIDEVTYPE_KEYBOARD 3u
#define DIDEVTYPE_JOYSTICK 4u
#define DI8DEVCLASS_GAMECTRL 4u
#define DIEDFL_ATTACHEDONLY 0x00000001u
#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

typedef struct DIDEVICEINSTANCEA {
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    CHAR tszInstanceName[MAX_PATH];
    CHAR tszProductName[MAX_PATH];
    GUID guidFFDriver;
    WORD wUsagePage;
    WORD wUsage;
} DIDEVICEINSTANCEA, *LPDIDEVICEINSTANCEA;
typedef const DIDEVICEINSTANCEA* LPCDIDEVICEINSTANCEA;

typedef BOOL(CALLBACK* LPDIENUMDEVICESCALLBACKA)(LPCDIDEVICEINSTANCEA instance, LPVOID context);

// ---- data formats and states --------------------------------------------------------

// Only the three formats below are known; the object list is not kept.
typedef struct _DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const void* rgodf;
} DIDATAFORMAT, *LPDIDATAFORMAT;
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;

// 256 key bytes indexed by key code, DIMOUSESTATE2 and DIJOYSTATE.
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse2;
extern const DIDATAFORMAT c_dfDIJoystick;

typedef struct DIMOUSESTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[8];
} DIMOUSESTATE2;

// Axes run over the range set with DIPROP_RANGE (0 to 65535 until one is
// set); a hat reads in hundredths of a degree clockwise from up, 0xFFFFFFFF
// when centred; a button is down while its byte has 0x80.
typedef struct DIJOYSTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[32];
} DIJOYSTATE, *LPDIJOYSTATE;

#define DIJOFS_X 0u
#define DIJOFS_Y 4u
#define DIJOFS_Z 8u
#define DIJOFS_RX 12u
#define DIJOFS_RY 16u
#define DIJOFS_RZ 20u
#define DIJOFS_SLIDER(n) (24u + 4u * (n))
#define DIJOFS_POV(n) (32u + 4u * (n))
#define DIJOFS_BUTTON(n) (48u + (n))

// ---- keys -----------------------------------------------------------------------------
// Key codes are the keys' set-1 scan codes; keys with the extended prefix
// have 0x80 added. Only the codes the framework names are given here.

#define DIK_ESCAPE 0x01
#define DIK_Q 0x10
#define DIK_W 0x11
#define DIK_A 0x1E
#define DIK_S 0x1F
#define DIK_D 0x20
#define DIK_LSHIFT 0x2A
#define DIK_Z 0x2C
#define DIK_X 0x2D
#define DIK_C 0x2E
#define DIK_RSHIFT 0x36
#define DIK_SPACE 0x39
#define DIK_NUMPAD8 0x48
#define DIK_NUMPAD4 0x4B
#define DIK_NUMPAD6 0x4D
#define DIK_NUMPAD2 0x50
#define DIK_UP 0xC8
#define DIK_LEFT 0xCB
#define DIK_RIGHT 0xCD
#define DIK_DOWN 0xD0

// ---- cooperative levels and properties -----------------------------------------------

#define DISCL_EXCLUSIVE 0x00000001u
#define DISCL_NONEXCLUSIVE 0x00000002u
#define DISCL_FOREGROUND 0x00000004u
#define DISCL_BACKGROUND 0x00000008u

#define DIPH_DEVICE 0u
#define DIPH_BYOFFSET 1u

typedef struct DIPROPHEADER {
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
} DIPROPHEADER, *LPDIPROPHEADER;
typedef const DIPROPHEADER* LPCDIPROPHEADER;

typedef struct DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
} DIPROPDWORD;

typedef struct DIPROPRANGE {
    DIPROPHEADER diph;
    LONG lMin;
    LONG lMax;
} DIPROPRANGE;

// ---- effects ---------------------------------------------------------------------------

#define DI_FFNOMINALMAX 10000
#define DI_SECONDS 1000000u
#define DIEB_NOTRIGGER 0xFFFFFFFFu
#define DIEFF_OBJECTIDS 0x00000001u
#define DIEFF_OBJECTOFFSETS 0x00000002u
#define DIEFF_CARTESIAN 0x00000010u
#define DIEFF_POLAR 0x00000020u
#define DIEFF_SPHERICAL 0x00000040u

typedef struct DIENVELOPE {
    DWORD dwSize;
    DWORD dwAttackLevel;
    DWORD dwAttackTime;  // microseconds
    DWORD dwFadeLevel;
    DWORD dwFadeTime;  // microseconds
} DIENVELOPE, *LPDIENVELOPE;

typedef struct DICONSTANTFORCE {
    LONG lMagnitude;
} DICONSTANTFORCE;

typedef struct DIPERIODIC {
    DWORD dwMagnitude;
    LONG lOffset;
    DWORD dwPhase;
    DWORD dwPeriod;  // microseconds
} DIPERIODIC;

typedef struct DIEFFECT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwDuration;  // microseconds, or INFINITE
    DWORD dwSamplePeriod;
    DWORD dwGain;  // 0 to DI_FFNOMINALMAX
    DWORD dwTriggerButton;
    DWORD dwTriggerRepeatInterval;
    DWORD cAxes;
    LPDWORD rgdwAxes;
    LONG* rglDirection;
    LPDIENVELOPE lpEnvelope;
    DWORD cbTypeSpecificParams;
    LPVOID lpvTypeSpecificParams;
    DWORD dwStartDelay;
} DIEFFECT, *LPDIEFFECT;
typedef const DIEFFECT* LPCDIEFFECT;

// ---- interfaces ----------------------------------------------------------------------------

// One effect of a device. Playing one iteration of an effect that lasts
// INFINITE plays until Stop.
struct IDirectInputEffect : IUnknown {
    virtual HRESULT WINAPI Start(DWORD iterations, DWORD flags) = 0;
    virtual HRESULT WINAPI Stop() = 0;
};
typedef IDirectInputEffect* LPDIRECTINPUTEFFECT;

// The device members that version 7 and version 8 devices share, in the
// same form in both; a caller that may hold either kind holds it as this.
struct IDirectInputDevice2A : IUnknown {
    virtual HRESULT WINAPI GetDeviceState(DWORD size, LPVOID data) = 0;
    virtual HRESULT WINAPI SetDataFormat(LPCDIDATAFORMAT format) = 0;
    virtual HRESULT WINAPI SetEventNotification(HANDLE event) = 0;
    virtual HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT WINAPI SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
    virtual HRESULT WINAPI Acquire() = 0;
    virtual HRESULT WINAPI Unacquire() = 0;
    virtual HRESULT WINAPI GetDeviceInfo(LPDIDEVICEINSTANCEA instance) = 0;
    virtual HRESULT WINAPI CreateEffect(REFGUID effectType, LPCDIEFFECT effect,
                                        LPDIRECTINPUTEFFECT* created, LPUNKNOWN outer) = 0;
    virtual HRESULT WINAPI Poll() = 0;
};
struct IDirectInputDevice7A : IDirectInputDevice2A {};
struct IDirectInputDevice8A : IDirectInputDevice2A {};
typedef IDirectInputDevice7A* LPDIRECTINPUTDEVICE7A;
typedef IDirectInputDevice8A* LPDIRECTINPUTDEVICE8A;

// Both versions are made uninitialised by CoCreateInstance; every other
// member fails with DIERR_NOTINITIALIZED until Initialize succeeds.
struct IDirectInput7A : IUnknown {
    virtual HRESULT WINAPI Initialize(HINSTANCE instance, DWORD version) = 0;
    virtual HRESULT WINAPI EnumDevices(DWORD deviceType, LPDIENUMDEVICESCALLBACKA callback,
                                       LPVOID context, DWORD flags) = 0;
    // `iid` is IID_IDirectInputDevice7A.
    virtual HRESULT WINAPI CreateDeviceEx(REFGUID instance, REFIID iid, LPVOID* device,
                                          LPUNKNOWN outer) = 0;
};
struct IDirectInput8A : IUnknown {
    virtual HRESULT WINAPI Initialize(HINSTANCE instance, DWORD version) = 0;
    virtual HRESULT WINAPI EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKA callback,
                                       LPVOID context, DWORD flags) = 0;
    virtual HRESULT WINAPI CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device,
                                        LPUNKNOWN outer) = 0;
};
typedef IDirectInput7A* LPDIRECTINPUT7A;
typedef IDirectInput8A* LPDIRECTINPUT8A;
