// SDL2's video adapter as tests see it: whether it is in force, the SDL2
// window behind a window, text-editing events to queue as the host's input
// method would, a window destroyed from outside, and the dialogs of message
// boxes. Only tests include this header; it names SDL2's window type but
// includes no SDL2 header.
#pragma once

#include <functional>
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

// What SDL2's dialog for a message box is given: the window it goes over
// (null: none), its title and its text (UTF-8).
struct DialogShown {
    SDL_Window* parent = nullptr;
    std::string title;
    std::string text;
};
// While set, each dialog goes to `catcher` instead of SDL2, even on a
// display no user sees, and `catcher` answers with the index of the button
// pressed (-1: closed without one). An empty function, or the machine's
// reset, gives the dialogs back to SDL2.
void CatchDialogs(std::function<int(const DialogShown&)> catcher);

// While set, `watcher` hears each display mode SDL2's display is asked to
// take for a window shown full screen, when it differs from the last: its
// width and height, or 0 by 0 for the desktop's own. The machine's reset
// forgets it.
void WatchModesAsked(std::function<void(int width, int height)> watcher);

// Whether the window that shows `window` is held above the others (the
// program keeps it topmost, and no dialog is up).
bool HeldOnTop(HWND window);

}  // namespace platform::host
