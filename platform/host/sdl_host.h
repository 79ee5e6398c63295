// SDL2's video adapter as tests see it: whether it is in force, the SDL2
// window behind a window, text-editing events to queue as the host's input
// method would, and a window destroyed from outside. Only tests include this header; it names SDL2's window
// type but includes no SDL2 header.
#pragma once

#include <string>

#include "platform/win_types.h"

struct SDL_Window;

namespace platform::host {

// True when SDL2's video adapter is in force (the first call chooses the
// adapter, as any use of the display does).
bool DisplayAvailable();

// On the host thread: the SDL2 window that shows a window, or null.
SDL_Window* WindowOf(HWND window);

// Queue an SDL2 text-editing event (UTF-8, with the cursor and selection
// counted in characters) or a text-input event for the SDL2 window that
// shows `window`; the next message pump takes it. False when the window is
// not shown through SDL2.
bool PushTextEditingEvent(HWND window, const std::string& utf8, int start, int length);
bool PushTextInputEvent(HWND window, const std::string& utf8);

// As if another program destroyed the SDL2 window that shows `window` (on
// X11 the adapter learns it from the server): the next message pump hears
// it gone. False when the window is not shown through SDL2.
bool ReportWindowGone(HWND window);

}  // namespace platform::host
