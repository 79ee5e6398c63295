// The display's modes as SDL2 reports them, and the switch between them: a
// switched mode is the one SDL2 shows full-screen windows in, so the display
// takes it while a window of the program covers it in full-screen style.
#include <algorithm>

#include "platform/host/sdl_video.h"

namespace platform::host {
namespace {

constexpr int32_t kUnknownRefresh = 60;

// SDL2 counts the padding byte of a 4-byte format out of its bits; the
// display counts it in.
int32_t BitsOf(Uint32 format) {
    return SDL_BYTESPERPIXEL(format) == 4 ? 32 : static_cast<int32_t>(SDL_BITSPERPIXEL(format));
}

// A mode the display can be set to: a size and a known pixel format (some
// drivers list a placeholder of neither).
bool Usable(const SDL_DisplayMode& mode) {
    return mode.w > 0 && mode.h > 0 && mode.format != SDL_PIXELFORMAT_UNKNOWN;
}

DisplayMode ModeOf(const SDL_DisplayMode& mode) {
    return DisplayMode{mode.w, mode.h, BitsOf(mode.format),
                       mode.refresh_rate > 0 ? mode.refresh_rate : kUnknownRefresh};
}

bool SameMode(const DisplayMode& a, const DisplayMode& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.frequency == b.frequency;
}

}  // namespace

bool SdlVideo::DisplayModes(std::vector<DisplayMode>& modes) {
    modes.clear();
    const int count = SDL_GetNumDisplayModes(0);
    for (int index = 0; index < count; ++index) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, index, &mode) != 0 || !Usable(mode)) continue;
        const DisplayMode listed = ModeOf(mode);
        if (std::none_of(modes.begin(), modes.end(), [&](const DisplayMode& m) { return SameMode(m, listed); }))
            modes.push_back(listed);
    }
    // The desktop's own mode is always one of the display's, listed or not.
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && Usable(desktop)) {
        const DisplayMode own = ModeOf(desktop);
        if (std::none_of(modes.begin(), modes.end(), [&](const DisplayMode& m) { return SameMode(m, own); }))
            modes.push_back(own);
    }
    return !modes.empty();
}

bool SdlVideo::SwitchDisplayMode(const DisplayMode* mode) {
    if (mode == nullptr) {
        switched_ = false;
    } else {
        // The host's mode of that size and refresh rate; a depth the display
        // does not run is shown through the one it does.
        SDL_DisplayMode wanted{};
        wanted.w = mode->width;
        wanted.h = mode->height;
        wanted.refresh_rate = mode->frequency;
        SDL_DisplayMode closest{};
        if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr || closest.w != mode->width ||
            closest.h != mode->height)
            return false;
        switchedMode_ = closest;
        switched_ = true;
    }
    for (Uint32 id : fullScreenStyled_) ApplyDisplayMode(id);
    return true;
}

void SdlVideo::ApplyDisplayMode(Uint32 id) {
    SDL_Window* shown = SDL_GetWindowFromID(id);
    if (shown == nullptr) return;
    const bool fullScreen = switched_ && fullScreenStyled_.count(id) != 0;
    if (fullScreen) SDL_SetWindowDisplayMode(shown, &switchedMode_);
    const bool isFullScreen = (SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN) != 0;
    if (fullScreen != isFullScreen) SDL_SetWindowFullscreen(shown, fullScreen ? SDL_WINDOW_FULLSCREEN : 0);
}

}  // namespace platform::host
