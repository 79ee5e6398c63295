// The host's input method as the window's input context sees it: SDL2's
// text editing (the composition the host's input method shows) and its
// committed text. Private to the platform (and to tests); includes no SDL2
// header.
#pragma once

#include <string>

#include "platform/win_types.h"

struct SDL_TextEditingEvent;
struct SDL_TextInputEvent;

namespace platform::host {

namespace detail {

// A composition in progress becomes the window's composition.
void TranslateTextEditing(const SDL_TextEditingEvent& event);
// Committed text ends the window's composition when one is in progress, and
// true is returned; else false, and the text is typed characters.
bool TranslateCommittedText(const SDL_TextInputEvent& event);

}  // namespace detail

// For tests: queue an SDL2 text-editing event (UTF-8, with the cursor and
// selection counted in characters) or a text-input event for the SDL2 window
// that shows `window`; the next message pump takes it. False when the window
// is not shown through SDL2.
bool PushTextEditingEvent(HWND window, const std::string& utf8, int start, int length);
bool PushTextInputEvent(HWND window, const std::string& utf8);

}  // namespace platform::host
