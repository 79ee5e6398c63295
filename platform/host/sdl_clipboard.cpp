// The host's clipboard through SDL2.
#include "platform/host/sdl_video.h"

namespace platform::host {

bool SdlVideo::SetClipboardText(const std::string& text) { return SDL_SetClipboardText(text.c_str()) == 0; }

bool SdlVideo::ClipboardText(std::string& text) {
    if (!SDL_HasClipboardText()) return false;
    char* held = SDL_GetClipboardText();
    if (held == nullptr) return false;
    text = held;
    SDL_free(held);
    return true;
}

}  // namespace platform::host
