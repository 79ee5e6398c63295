// The host adapters for input: SDL2's joystick subsystem for the joypads
// (axes, hats, buttons and rumble, real joysticks and the profile's virtual
// ones) and the keyboard as DirectInput key codes, tracked from the SDL2 key
// events as they enter SDL2's queue. Only platform code includes this
// header; it includes no SDL2 header.
//
// Works without a display: the joystick subsystem needs none, and without
// a display no key ever arrives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform::host {

// Starts SDL2's joystick subsystem and the key tracking once (later calls do
// nothing) and attaches the profile's virtual pads. False when the joystick
// subsystem cannot start; the keyboard is tracked all the same.
bool StartInput();
// Closes every pad, detaches the virtual pads and ends the joystick
// subsystem and the key tracking.
void StopInput();

// A pad the machine has, as the input calls list it.
struct PadInfo {
    int32_t id = -1;  // SDL2's instance id: stays the pad's while it is attached
    std::string name;
    int axes = 0;
    int buttons = 0;
    int hats = 0;
    bool rumble = false;
};
// The attached pads in order: the host's (when the profile allows), then
// the virtual ones. Looks for newly attached pads first.
std::vector<PadInfo> ListPads();
bool FindPad(int32_t id, PadInfo& info);

// Each open takes one hold on the pad; the last close lets it go.
bool OpenPad(int32_t id);
void ClosePad(int32_t id);

// Raw values as SDL2 reports them: axes -32768 to 32767, hats as SDL2 hat
// bits, buttons 0 or 1. Reads the joysticks anew first. False for a pad that
// is not open or no longer attached.
struct PadReading {
    int32_t axes[8] = {};
    uint8_t hats[4] = {};
    uint8_t buttons[32] = {};
};
bool ReadPad(int32_t id, PadReading& reading);
// Both motors, 0 to 65535, for up to `milliseconds` (at most 65535).
bool RumblePad(int32_t id, uint16_t lowFrequency, uint16_t highFrequency, uint32_t milliseconds);

// The keyboard: 256 bytes indexed by DirectInput key code, 0x80 while down.
void ReadKeyboard(BYTE keys[256]);
// An event (a kernel event handle) to set whenever a key goes down or up;
// null removes it. Several may be held.
void AddKeyboardChangeEvent(HANDLE event);
void RemoveKeyboardChangeEvent(HANDLE event);

}  // namespace platform::host
