// SDL2's input adapter: its class and shared state. Private to
// platform/host/sdl_input*.cpp.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/host/host_input.h"
#include "platform/host/virtual_pads.h"
#include "platform/profile/machine_profile.h"

namespace platform::host {

// The joypads are SDL2 joysticks, a pad's id SDL2's instance id; the
// keyboard is tracked from SDL2's key events as they enter its queue.
class SdlInput final : public InputAdapter {
public:
    bool Start() override;
    void Stop() override;
    std::vector<PadInfo> ListPads() override;
    bool OpenPad(int32_t id) override;
    void ClosePad(int32_t id) override;
    bool ReadPad(int32_t id, PadReading& reading) override;
    bool RumblePad(int32_t id, uint16_t lowFrequency, uint16_t highFrequency, uint32_t milliseconds) override;
    void ReadKeyboard(BYTE keys[256]) override;
    void AddKeyboardChangeEvent(HANDLE event) override;
    void RemoveKeyboardChangeEvent(HANDLE event) override;
};

SdlInput& TheSdlInput();

namespace input_detail {

// A virtual pad attached for the profile, with the hold the adapter keeps on
// it to move it and the motors its rumble last set.
struct AttachedVirtualPad {
    VirtualPad description;
    SDL_JoystickID id = -1;
    SDL_Joystick* joystick = nullptr;
    PadRumble rumble;
};

struct HeldPad {
    SDL_Joystick* joystick = nullptr;
    int holds = 0;
};

struct InputAdapterState {
    std::recursive_mutex lock;
    bool started = false;
    bool joysticksAvailable = false;
    // Stable addresses: SDL2 keeps a pointer to each as the rumble's user data.
    std::vector<std::unique_ptr<AttachedVirtualPad>> virtualPads;
    std::map<SDL_JoystickID, HeldPad> openPads;
};

InputAdapterState& State();

// With the lock held: the profile's virtual pads are the attached ones.
void AttachProfilePadsLocked();
void DetachVirtualPadsLocked();

// The key tracking.
void StartKeyTracking();
void StopKeyTracking();

}  // namespace input_detail
}  // namespace platform::host
