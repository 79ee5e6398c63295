// The joystick calls over the same pads as DirectInput: ids are places in
// the list of attached pads, positions SDL2's raw values moved to 0..65535.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/host/host_input.h"
#include "platform/winmm/winmm.h"

namespace {

constexpr int kMaxAxes = 6;  // X, Y, Z, R, U, V

bool PadOfId(UINT_PTR joystickId, platform::PadInfo& pad) {
    const std::vector<platform::PadInfo> pads = platform::HostInput().ListPads();
    if (joystickId >= pads.size()) return false;
    pad = pads[joystickId];
    return true;
}

DWORD Position(int32_t raw) { return static_cast<DWORD>(std::clamp(raw, -32768, 32767) + 32768); }

DWORD PointOfView(uint8_t bits) {
    switch (bits) {
        case 0x01: return 0;
        case 0x03: return 4500;
        case 0x02: return 9000;
        case 0x06: return 13500;
        case 0x04: return 18000;
        case 0x0C: return 22500;
        case 0x08: return 27000;
        case 0x09: return 31500;
        default: return JOY_POVCENTERED;
    }
}

}  // namespace

MMRESULT WINAPI joyGetDevCapsA(UINT_PTR joystickId, LPJOYCAPSA caps, UINT sizeOfCaps) {
    if (caps == nullptr || sizeOfCaps != sizeof(JOYCAPSA)) return MMSYSERR_INVALPARAM;
    platform::PadInfo pad;
    if (!PadOfId(joystickId, pad)) return JOYERR_PARMS;
    *caps = JOYCAPSA{};
    std::snprintf(caps->szPname, sizeof(caps->szPname), "%s", pad.name.c_str());
    const UINT axes = static_cast<UINT>(std::min(pad.axes, kMaxAxes));
    caps->wXmax = caps->wYmax = caps->wZmax = caps->wRmax = caps->wUmax = caps->wVmax = 65535;
    caps->wNumButtons = static_cast<UINT>(std::min(pad.buttons, 32));
    caps->wPeriodMin = 10;
    caps->wPeriodMax = 1000;
    if (axes >= 3) caps->wCaps |= JOYCAPS_HASZ;
    if (axes >= 4) caps->wCaps |= JOYCAPS_HASR;
    if (axes >= 5) caps->wCaps |= JOYCAPS_HASU;
    if (axes >= 6) caps->wCaps |= JOYCAPS_HASV;
    if (pad.hats > 0) caps->wCaps |= JOYCAPS_HASPOV | JOYCAPS_POVCTS;
    caps->wMaxAxes = kMaxAxes;
    caps->wNumAxes = axes;
    caps->wMaxButtons = 32;
    return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPosEx(UINT joystickId, LPJOYINFOEX info) {
    if (info == nullptr || info->dwSize != sizeof(JOYINFOEX)) return JOYERR_PARMS;
    platform::PadInfo pad;
    if (!PadOfId(joystickId, pad)) return JOYERR_PARMS;
    platform::PadReading reading;
    platform::InputAdapter& input = platform::HostInput();
    // The pad is held from its first read on.
    if (!input.ReadPad(pad.id, reading)) {
        if (!input.OpenPad(pad.id) || !input.ReadPad(pad.id, reading)) return JOYERR_UNPLUGGED;
    }
    const DWORD flags = info->dwFlags;
    DWORD* positions[kMaxAxes] = {&info->dwXpos, &info->dwYpos, &info->dwZpos,
                                  &info->dwRpos, &info->dwUpos, &info->dwVpos};
    for (int axis = 0; axis < kMaxAxes; ++axis) {
        if (!(flags & (JOY_RETURNX << axis))) continue;
        // An axis the pad lacks stands in the middle.
        *positions[axis] = Position(axis < pad.axes ? reading.axes[axis] : 0);
    }
    if (flags & JOY_RETURNBUTTONS) {
        info->dwButtons = 0;
        info->dwButtonNumber = 0;
        for (int button = 0; button < std::min(pad.buttons, 32); ++button) {
            if (!reading.buttons[button]) continue;
            info->dwButtons |= 1u << button;
            info->dwButtonNumber++;
        }
    }
    if (flags & JOY_RETURNPOV) info->dwPOV = pad.hats > 0 ? PointOfView(reading.hats[0]) : JOY_POVCENTERED;
    return JOYERR_NOERROR;
}
