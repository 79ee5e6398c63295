// The joypads through SDL2's joysticks: listing, holding, reading and rumble.
#include <algorithm>

#include "platform/host/sdl_input.h"

namespace platform::host {

using namespace input_detail;

namespace {

PadInfo DescribeDevice(int index) {
    PadInfo info;
    info.id = SDL_JoystickGetDeviceInstanceID(index);
    const char* name = SDL_JoystickNameForIndex(index);
    info.name = name != nullptr ? name : "";
    // The counts need an open joystick; opening one that is open already
    // only takes another hold.
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (joystick != nullptr) {
        info.axes = std::max(SDL_JoystickNumAxes(joystick), 0);
        info.buttons = std::max(SDL_JoystickNumButtons(joystick), 0);
        info.hats = std::max(SDL_JoystickNumHats(joystick), 0);
        info.rumble = SDL_JoystickHasRumble(joystick) == SDL_TRUE;
        SDL_JoystickClose(joystick);
    }
    return info;
}

bool IsProfileVirtualPad(SDL_JoystickID id) {
    for (const auto& pad : State().virtualPads)
        if (pad->id == id) return true;
    return false;
}

}  // namespace

std::vector<PadInfo> SdlInput::ListPads() {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    std::vector<PadInfo> pads;
    if (!Start()) return pads;
    SDL_JoystickUpdate();  // finds pads attached since the last look
    if (Profile().input.hostPads) {
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            if (!SDL_JoystickIsVirtual(index)) pads.push_back(DescribeDevice(index));
    }
    for (const auto& pad : State().virtualPads) {
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            if (SDL_JoystickGetDeviceInstanceID(index) == pad->id) pads.push_back(DescribeDevice(index));
    }
    return pads;
}

bool SdlInput::OpenPad(int32_t id) {
    InputAdapterState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!Start()) return false;
    auto found = state.openPads.find(id);
    if (found != state.openPads.end()) {
        found->second.holds++;
        return true;
    }
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) != id) continue;
        if (SDL_JoystickIsVirtual(index) && !IsProfileVirtualPad(id)) return false;
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr) return false;
        state.openPads[id] = HeldPad{joystick, 1};
        return true;
    }
    return false;
}

void SdlInput::ClosePad(int32_t id) {
    InputAdapterState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    auto found = state.openPads.find(id);
    if (found == state.openPads.end()) return;
    if (--found->second.holds > 0) return;
    SDL_JoystickClose(found->second.joystick);
    state.openPads.erase(found);
}

bool SdlInput::ReadPad(int32_t id, PadReading& reading) {
    InputAdapterState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    auto found = state.openPads.find(id);
    if (found == state.openPads.end()) return false;
    SDL_Joystick* joystick = found->second.joystick;
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(joystick)) return false;
    reading = PadReading{};
    const int axes = std::min(SDL_JoystickNumAxes(joystick), 8);
    for (int i = 0; i < axes; ++i) reading.axes[i] = SDL_JoystickGetAxis(joystick, i);
    const int hats = std::min(SDL_JoystickNumHats(joystick), 4);
    for (int i = 0; i < hats; ++i) reading.hats[i] = SDL_JoystickGetHat(joystick, i);
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), 32);
    for (int i = 0; i < buttons; ++i) reading.buttons[i] = SDL_JoystickGetButton(joystick, i) ? 1 : 0;
    return true;
}

bool SdlInput::RumblePad(int32_t id, uint16_t lowFrequency, uint16_t highFrequency, uint32_t milliseconds) {
    InputAdapterState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    auto found = state.openPads.find(id);
    if (found == state.openPads.end()) return false;
    return SDL_JoystickRumble(found->second.joystick, lowFrequency, highFrequency,
                              std::min<uint32_t>(milliseconds, 0xFFFF)) == 0;
}

}  // namespace platform::host
