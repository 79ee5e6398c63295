// The input adapters' shared state. Private to platform/host/host_input*.cpp.
#pragma once

#include <SDL.h>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dinput/virtual_pads.h"
#include "platform/host/host_input.h"
#include "platform/profile/machine_profile.h"

namespace platform::host::input_detail {

// A virtual pad attached for the profile, with the hold the adapters keep on
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

}  // namespace platform::host::input_detail
