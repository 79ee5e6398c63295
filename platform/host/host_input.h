// The host adapter's input part: the keyboard as DirectInput key codes, the
// joypads (axes, hats, buttons) and their rumble.
//
// One adapter is in force at a time, chosen at its first use: SDL2's, which
// needs no display (the joysticks, real ones and the profile's virtual ones,
// and the keyboard tracked from SDL2's key events), when SDL2's joystick
// subsystem starts or its video runs; else the null one, with no pads and no
// keys. Only platform code includes this header; it includes no SDL2 header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform {

// A pad the machine has, as the input calls list it.
struct PadInfo {
    int32_t id = -1;  // stays the pad's while it is attached
    std::string name;
    int axes = 0;
    int buttons = 0;
    int hats = 0;
    bool rumble = false;
};

// Raw values: axes -32768 to 32767, hats as bits (1 up, 2 right, 4 down, 8
// left), buttons 0 or 1.
struct PadReading {
    int32_t axes[8] = {};
    uint8_t hats[4] = {};
    uint8_t buttons[32] = {};
};

class InputAdapter {
public:
    virtual ~InputAdapter() = default;

    // Starts the keyboard and the pads once and attaches the profile's
    // virtual pads as they now are (later calls only follow the profile).
    // False when there are no pads to be had; the keyboard is tracked all
    // the same.
    virtual bool Start() = 0;
    // Lets every pad go and ends the tracking.
    virtual void Stop() = 0;

    // The attached pads in order: the host's (when the profile allows), then
    // the virtual ones. Looks for newly attached pads first.
    virtual std::vector<PadInfo> ListPads() = 0;
    bool FindPad(int32_t id, PadInfo& info) {
        for (const PadInfo& pad : ListPads()) {
            if (pad.id == id) {
                info = pad;
                return true;
            }
        }
        return false;
    }
    // Each open takes one hold on the pad; the last close lets it go.
    virtual bool OpenPad(int32_t id) = 0;
    virtual void ClosePad(int32_t id) = 0;
    // Reads the pad anew. False for a pad that is not open or no longer
    // attached.
    virtual bool ReadPad(int32_t id, PadReading& reading) = 0;
    // Both motors, 0 to 65535, for up to `milliseconds` (at most 65535).
    virtual bool RumblePad(int32_t id, uint16_t lowFrequency, uint16_t highFrequency, uint32_t milliseconds) = 0;

    // 256 bytes indexed by DirectInput key code, 0x80 while down.
    virtual void ReadKeyboard(BYTE keys[256]) = 0;
    // An event (a kernel event handle) to set whenever a key goes down or
    // up; several may be held.
    virtual void AddKeyboardChangeEvent(HANDLE event) = 0;
    virtual void RemoveKeyboardChangeEvent(HANDLE event) = 0;
};

// The adapter in force; the first call after a stop chooses it.
InputAdapter& HostInput();
// Stops the adapter in force, if one was chosen, so that the next use
// chooses afresh.
void StopHostInput();

}  // namespace platform
