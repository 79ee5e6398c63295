// The input side of the machine profile: which DirectInput versions the
// machine has, which joypads are attached and which of them vibrate, and
// failures a test can inject into the calls whose failure a behaviour
// depends on. Only the platform and tests include this header.
//
// The defaults describe this machine honestly: both DirectInput versions,
// the joysticks SDL2 finds on the host, nothing injected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform {

// A joypad that exists only for the program: an SDL2 virtual joystick,
// attached when input is first used after the profile is set, and moved by
// the calls below. Axes are numbered as DirectInput's X, Y, Z, Rz, Rx, Ry,
// then the two sliders (the joystick calls' X, Y, Z, R, U, V).
struct VirtualPad {
    std::string name = "Virtual Pad";
    int axes = 4;     // 0 to 8
    int buttons = 12;  // 0 to 32
    int hats = 1;     // 0 to 4
    bool forceFeedback = true;
};

// Each flag makes that call fail (with DIERR_UNSUPPORTED) for as long as it
// is set.
struct InputFailures {
    bool initialize7 = false;
    bool initialize8 = false;
    bool createMouse = false;
    bool mouseDataFormat = false;
    bool mouseCooperativeLevel = false;
    bool createKeyboard = false;
    bool keyboardDataFormat = false;
    bool keyboardCooperativeLevel = false;
    bool keyboardEventNotification = false;
    bool keyboardAcquire = false;
};

struct InputProfile {
    bool directInput7 = true;  // CLSID_DirectInput is registered
    bool directInput8 = true;  // CLSID_DirectInput8 is registered
    // The joysticks attached to the host. Tests switch them off so that a
    // pad plugged into the machine running them changes nothing.
    bool hostPads = true;
    // Attached after the host's pads; at most 17 are attached.
    std::vector<VirtualPad> virtualPads;
    InputFailures failures;
};

constexpr int MaxVirtualPads = 17;

// The profile in force. ResetInputProfile() restores the defaults, detaches
// the virtual pads and stops the host's joysticks and key tracking.
InputProfile& Input();
void ResetInputProfile();

// Moving a virtual pad (index into the profile's list); seen at the next
// read of the pad. Axis values run from -32768 to 32767; a hat takes the
// SDL2 hat bits (1 up, 2 right, 4 down, 8 left; 0 centred).
void SetVirtualPadAxis(int pad, int axis, int value);
void SetVirtualPadButton(int pad, int button, bool down);
void SetVirtualPadHat(int pad, int hat, int bits);

// The strength of a virtual pad's two motors as last set through the
// rumble (0 to 65535 each; both 0 while still).
struct PadRumble {
    uint16_t lowFrequency = 0;
    uint16_t highFrequency = 0;
};
PadRumble VirtualPadRumble(int pad);

}  // namespace platform
