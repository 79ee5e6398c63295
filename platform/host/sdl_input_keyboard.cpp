// The keyboard as DirectInput sees it: every SDL2 key event that enters
// SDL2's queue (from the display or pushed by a program) sets or clears the
// key's byte, indexed by DirectInput key code: the key's set-1 scan code,
// plus 0x80 for keys with the extended prefix.
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/host/sdl_input.h"
#include "platform/host/sdl_video.h"
#include "platform/kernel/kernel.h"

namespace platform::host {
namespace {

struct KeyTracking {
    std::mutex lock;
    bool watching = false;
    BYTE keys[256] = {};
    std::vector<HANDLE> changeEvents;
};

KeyTracking& Tracking() {
    static KeyTracking* tracking = new KeyTracking;  // outlives threads still running at exit
    return *tracking;
}

// The DirectInput key code of each SDL2 scan code, 0 for keys it has none for.
const std::vector<BYTE>& KeyCodeTable() {
    static const std::vector<BYTE> table = [] {
        std::vector<BYTE> codes(SDL_NUM_SCANCODES, 0);
        for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
            SDL_Keysym key{};
            key.scancode = static_cast<SDL_Scancode>(scancode);
            KeyCode code;
            if (!TranslateKey(key, code)) continue;
            codes[scancode] = static_cast<BYTE>((code.scanCode & 0x7F) | (code.extended ? 0x80 : 0));
        }
        // Num Lock and Pause share the scan code 0x45; the window messages
        // mark Num Lock as extended, the key codes Pause.
        codes[SDL_SCANCODE_NUMLOCKCLEAR] = 0x45;
        codes[SDL_SCANCODE_PAUSE] = 0xC5;
        return codes;
    }();
    return table;
}

int SDLCALL WatchKeys(void* /*userdata*/, SDL_Event* event) {
    if (event->type != SDL_KEYDOWN && event->type != SDL_KEYUP) return 0;
    const int scancode = event->key.keysym.scancode;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    const BYTE keyCode = KeyCodeTable()[scancode];
    if (keyCode == 0) return 0;
    KeyTracking& tracking = Tracking();
    std::lock_guard<std::mutex> guard(tracking.lock);
    const BYTE value = event->type == SDL_KEYDOWN ? 0x80 : 0x00;
    if (tracking.keys[keyCode] == value) return 0;
    tracking.keys[keyCode] = value;
    for (HANDLE changed : tracking.changeEvents) SetEvent(changed);
    return 0;
}

}  // namespace

namespace input_detail {

void StartKeyTracking() {
    KeyTracking& tracking = Tracking();
    KeyCodeTable();
    {
        std::lock_guard<std::mutex> guard(tracking.lock);
        if (tracking.watching) return;
        tracking.watching = true;
        std::fill(std::begin(tracking.keys), std::end(tracking.keys), BYTE{0});
    }
    // SDL2 calls the watch with its watch list locked, and the watch takes
    // the tracking lock: holding that lock while adding the watch would let
    // a key event pushed on another thread meanwhile deadlock both.
    SDL_AddEventWatch(WatchKeys, nullptr);
}

void StopKeyTracking() {
    KeyTracking& tracking = Tracking();
    SDL_DelEventWatch(WatchKeys, nullptr);
    std::lock_guard<std::mutex> guard(tracking.lock);
    tracking.watching = false;
    std::fill(std::begin(tracking.keys), std::end(tracking.keys), BYTE{0});
    tracking.changeEvents.clear();
}

}  // namespace input_detail

void SdlInput::ReadKeyboard(BYTE keys[256]) {
    Start();
    KeyTracking& tracking = Tracking();
    std::lock_guard<std::mutex> guard(tracking.lock);
    std::copy(std::begin(tracking.keys), std::end(tracking.keys), keys);
}

void SdlInput::AddKeyboardChangeEvent(HANDLE event) {
    if (event == nullptr) return;
    Start();
    KeyTracking& tracking = Tracking();
    std::lock_guard<std::mutex> guard(tracking.lock);
    tracking.changeEvents.push_back(event);
}

void SdlInput::RemoveKeyboardChangeEvent(HANDLE event) {
    KeyTracking& tracking = Tracking();
    std::lock_guard<std::mutex> guard(tracking.lock);
    auto& events = tracking.changeEvents;
    events.erase(std::remove(events.begin(), events.end(), event), events.end());
}

}  // namespace platform::host
