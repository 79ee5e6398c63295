// Starting and stopping SDL2's input adapter: SDL2's joystick subsystem,
// the key tracking, the profile's virtual pads (SDL2 virtual joysticks) and
// the calls that move them.
#include <algorithm>

#include "platform/host/adapters.h"
#include "platform/host/sdl_input.h"

namespace platform::host {
namespace input_detail {
namespace {

int SDLCALL RecordRumble(void* userdata, Uint16 lowFrequency, Uint16 highFrequency) {
    AttachedVirtualPad* pad = static_cast<AttachedVirtualPad*>(userdata);
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    pad->rumble = PadRumble{lowFrequency, highFrequency};
    return 0;
}

bool SameDescription(const VirtualPad& a, const VirtualPad& b) {
    return a.name == b.name && a.axes == b.axes && a.buttons == b.buttons && a.hats == b.hats &&
           a.forceFeedback == b.forceFeedback;
}

int DeviceIndexOf(SDL_JoystickID id) {
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == id) return index;
    return -1;
}

AttachedVirtualPad* VirtualPadAt(int pad) {
    InputAdapterState& state = State();
    if (pad < 0 || pad >= static_cast<int>(state.virtualPads.size())) return nullptr;
    return state.virtualPads[pad].get();
}

}  // namespace

InputAdapterState& State() {
    static InputAdapterState* state = new InputAdapterState;  // outlives threads still running at exit
    return *state;
}

void DetachVirtualPadsLocked() {
    InputAdapterState& state = State();
    for (auto& pad : state.virtualPads) {
        if (pad->joystick != nullptr) SDL_JoystickClose(pad->joystick);
        const int index = DeviceIndexOf(pad->id);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }
    state.virtualPads.clear();
}

void AttachProfilePadsLocked() {
    InputAdapterState& state = State();
    if (!state.joysticksAvailable) return;
    const std::vector<VirtualPad>& wanted = Profile().input.virtualPads;
    const size_t count = std::min(wanted.size(), static_cast<size_t>(MaxVirtualPads));
    bool same = state.virtualPads.size() == count;
    for (size_t i = 0; same && i < count; ++i)
        same = SameDescription(state.virtualPads[i]->description, wanted[i]);
    if (same) return;
    DetachVirtualPadsLocked();
    for (size_t i = 0; i < count; ++i) {
        auto pad = std::make_unique<AttachedVirtualPad>();
        pad->description = wanted[i];
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = static_cast<Uint16>(std::clamp(wanted[i].axes, 0, 8));
        desc.nbuttons = static_cast<Uint16>(std::clamp(wanted[i].buttons, 0, 32));
        desc.nhats = static_cast<Uint16>(std::clamp(wanted[i].hats, 0, 4));
        desc.name = pad->description.name.c_str();
        desc.userdata = pad.get();
        if (wanted[i].forceFeedback) desc.Rumble = RecordRumble;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        if (index < 0) continue;
        pad->id = SDL_JoystickGetDeviceInstanceID(index);
        pad->joystick = SDL_JoystickOpen(index);
        state.virtualPads.push_back(std::move(pad));
    }
}

}  // namespace input_detail

using namespace input_detail;

SdlInput& TheSdlInput() {
    static SdlInput* adapter = new SdlInput;  // outlives threads still running at exit
    return *adapter;
}

InputAdapter* StartSdlInput() {
    SdlInput& input = TheSdlInput();
    // Without joysticks the adapter still serves the keys, which come
    // through SDL2's events while its video runs.
    if (input.Start() || SDL_WasInit(SDL_INIT_VIDEO) != 0) return &input;
    input.Stop();
    return nullptr;
}

void StopSdlInput() { TheSdlInput().Stop(); }

bool SdlInput::Start() {
    InputAdapterState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.started) {
        state.started = true;
        // Pads are read whether or not an SDL2 window has the focus: who may
        // read them is the cooperative level's business, not SDL2's.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        state.joysticksAvailable = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
        // The pads are read by polling; their events would only pile up in
        // SDL2's queue when no window pumps it.
        if (state.joysticksAvailable) SDL_JoystickEventState(SDL_IGNORE);
        StartKeyTracking();
    }
    AttachProfilePadsLocked();
    return state.joysticksAvailable;
}

void SdlInput::Stop() {
    InputAdapterState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.started) return;
    for (auto& [id, pad] : state.openPads)
        for (int i = 0; i < pad.holds; ++i) SDL_JoystickClose(pad.joystick);
    state.openPads.clear();
    DetachVirtualPadsLocked();
    StopKeyTracking();
    if (state.joysticksAvailable) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    state.joysticksAvailable = false;
    state.started = false;
}

}  // namespace platform::host

namespace platform {

using namespace platform::host::input_detail;

void SetVirtualPadAxis(int pad, int axis, int value) {
    HostInput().Start();
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    AttachedVirtualPad* attached = VirtualPadAt(pad);
    if (attached == nullptr || attached->joystick == nullptr) return;
    SDL_JoystickSetVirtualAxis(attached->joystick, axis, static_cast<Sint16>(std::clamp(value, -32768, 32767)));
}

void SetVirtualPadButton(int pad, int button, bool down) {
    HostInput().Start();
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    AttachedVirtualPad* attached = VirtualPadAt(pad);
    if (attached == nullptr || attached->joystick == nullptr) return;
    SDL_JoystickSetVirtualButton(attached->joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
}

void SetVirtualPadHat(int pad, int hat, int bits) {
    HostInput().Start();
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    AttachedVirtualPad* attached = VirtualPadAt(pad);
    if (attached == nullptr || attached->joystick == nullptr) return;
    SDL_JoystickSetVirtualHat(attached->joystick, hat, static_cast<Uint8>(bits & 0x0F));
}

PadRumble VirtualPadRumble(int pad) {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    AttachedVirtualPad* attached = VirtualPadAt(pad);
    return attached != nullptr ? attached->rumble : PadRumble{};
}

}  // namespace platform
