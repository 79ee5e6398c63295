// The host adapters' own state and helpers. Private to platform/host: the
// only header besides SDL2's own that includes SDL2.
#pragma once

#include <SDL.h>

#include <map>
#include <string>

#include "platform/host/host.h"
#include "platform/user/window_records.h"

namespace platform::host::detail {

// An SDL2 window and what was last applied to it (or reported by it), so
// that mirroring changes only what differs.
struct HostWindow {
    HWND handle = nullptr;
    SDL_Window* window = nullptr;
    Uint32 id = 0;
    bool visible = false;
    platform::detail::Placement placement = platform::detail::Placement::Normal;
    RECT client{};
    std::string text;
    bool bordered = true;
    bool resizable = false;
    bool topmost = false;
    HICON icon = nullptr;
};

// Touched on the host thread only.
struct HostWindows {
    std::map<HWND, HostWindow> windows;
    bool cursorShown = true;
    bool screenSaverAllowed = true;
    Uint32 mouseButtons = 0;  // SDL_BUTTON masks held, as events told
};

HostWindows& Windows();
HostWindow* FindHostWindow(HWND window);
HostWindow* FindHostWindowById(Uint32 id);

// Turns one SDL2 event into window-system reports.
void TranslateEvent(const SDL_Event& event);

// The virtual key, the set-1 scan code and the extended-key flag of a key,
// from its SDL2 scan code (letters and digits from the key's symbol, so that
// they follow the keyboard layout). False for a key without a virtual key.
struct KeyCode {
    UINT virtualKey = 0;
    UINT scanCode = 0;
    bool extended = false;
};
bool TranslateKey(const SDL_Keysym& key, KeyCode& code);

// Text between Shift-JIS with carriage return and line feed and the host's
// UTF-8 with line feeds. What has no equivalent becomes '?'.
std::string ShiftJisToHostText(const std::string& text);
std::string HostTextToShiftJis(const std::string& text);

}  // namespace platform::host::detail
