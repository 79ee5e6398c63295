// The display's modes as SDL2 reports them, and the switch between them: a
// switched mode is the one SDL2 shows full-screen windows in, so the display
// takes it while a window of the program covers it in full-screen style. A
// size the display does not run is shown full screen on the desktop's mode
// instead, the window's picture scaled to fit with black bars.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>

#include "platform/host/adapters.h"
#include "platform/host/sdl_host.h"
#include "platform/host/sdl_video.h"
#include "platform/profile/machine_profile.h"

namespace platform::host {
namespace {

struct ModeWatch {
    std::mutex lock;
    std::function<void(int, int)> watcher;
};

// Outlives threads still running at exit.
ModeWatch& TheModeWatch() {
    static ModeWatch* watch = new ModeWatch;
    return *watch;
}

const ResetHook kModeWatchReset([] { WatchModesAsked({}); });

// However the program ends (a return from its entry, exit, ExitProcess), a
// mode it switched the display to goes with it.
void PutBackAsTheProgramEnds() { PutBackSdlDisplayMode(); }

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

void WatchModesAsked(std::function<void(int width, int height)> watcher) {
    ModeWatch& watch = TheModeWatch();
    std::lock_guard<std::mutex> guard(watch.lock);
    watch.watcher = std::move(watcher);
}

void PutBackSdlDisplayMode() { TheSdlVideo().PutBackDisplayMode(); }

void SdlVideo::NoteModeAsked(int width, int height) {
    if (modeAsked_.x == width && modeAsked_.y == height) return;
    modeAsked_ = SDL_Point{width, height};
    std::function<void(int, int)> watcher;
    {
        ModeWatch& watch = TheModeWatch();
        std::lock_guard<std::mutex> guard(watch.lock);
        watcher = watch.watcher;
    }
    if (watcher) watcher(width, height);
}

void SdlVideo::LeaveSwitchedMode(SDL_Window* window) {
    if (window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN)
        NoteModeAsked(0, 0);
}

void SdlVideo::PutBackDisplayMode() {
    if (!switched_ || scaled_) return;
    SwitchDisplayMode(nullptr);
    // Asked of the X server before the process goes.
    SyncX11();
}

bool SdlVideo::SwitchDisplayMode(const DisplayMode* mode) {
    if (mode != nullptr) {
        static const bool putBackAtTheEnd =
            std::atexit(PutBackAsTheProgramEnds) == 0 && std::at_quick_exit(PutBackAsTheProgramEnds) == 0;
        (void)putBackAtTheEnd;
    }
    if (mode == nullptr) {
        switched_ = false;
        scaled_ = false;
    } else {
        // The host's mode of that size and refresh rate; a depth the display
        // does not run is shown through the one it does.
        SDL_DisplayMode wanted{};
        wanted.w = mode->width;
        wanted.h = mode->height;
        wanted.refresh_rate = mode->frequency;
        // Only a size among the display's usable modes is its own: SDL2's
        // closest mode to any size may be a driver's placeholder.
        std::vector<DisplayMode> own;
        DisplayModes(own);
        const bool runs = std::any_of(own.begin(), own.end(), [&](const DisplayMode& m) {
            return m.width == mode->width && m.height == mode->height;
        });
        SDL_DisplayMode closest{};
        scaled_ = !runs || SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr ||
                  closest.w != mode->width || closest.h != mode->height;
        if (!scaled_) switchedMode_ = closest;
        switchedSize_ = SDL_Point{mode->width, mode->height};
        switched_ = true;
    }
    for (Uint32 id : fullScreenStyled_) ApplyDisplayMode(id);
    return true;
}

void SdlVideo::ApplyDisplayMode(Uint32 id) {
    SDL_Window* shown = SDL_GetWindowFromID(id);
    if (shown == nullptr) return;
    const bool fullScreen = switched_ && fullScreenStyled_.count(id) != 0;
    const Uint32 wanted = !fullScreen ? 0 : scaled_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
    if (wanted == SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowDisplayMode(shown, &switchedMode_);
        NoteModeAsked(switchedMode_.w, switchedMode_.h);
    }
    const Uint32 had = SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (had == wanted) return;
    // SDL2 gives the display its own mode back as the window leaves the
    // switched one.
    if (had == SDL_WINDOW_FULLSCREEN) NoteModeAsked(0, 0);
    SDL_SetWindowFullscreen(shown, wanted);
    // Out of full screen the window has the client area the program gave
    // it again, whatever size full screen left it at.
    const auto client = clients_.find(id);
    if (wanted == 0 && client != clients_.end()) {
        SDL_SetWindowSize(shown, std::max(client->second.w, 1), std::max(client->second.h, 1));
        SDL_SetWindowPosition(shown, client->second.x, client->second.y);
    }
}

bool SdlVideo::ShownScaled(Uint32 id) const {
    return switched_ && scaled_ && fullScreenStyled_.count(id) != 0 && Opened(id);
}

bool SdlVideo::ScalingOf(Uint32 id, Scaling& scaling) {
    SDL_Window* shown = SDL_GetWindowFromID(id);
    if (!ShownScaled(id) || shown == nullptr || switchedSize_.x <= 0 || switchedSize_.y <= 0) return false;
    int pixelWidth = 0, pixelHeight = 0;
    if (SDL_GetWindowFlags(shown) & SDL_WINDOW_OPENGL)
        SDL_GL_GetDrawableSize(shown, &pixelWidth, &pixelHeight);
    else
        SDL_GetWindowSize(shown, &pixelWidth, &pixelHeight);
    if (pixelWidth <= 0 || pixelHeight <= 0) return false;
    scaling.pixelWidth = pixelWidth;
    scaling.pixelHeight = pixelHeight;
    scaling.screen = FitPicture(switchedSize_.x, switchedSize_.y, pixelWidth, pixelHeight);
    return scaling.screen.right > scaling.screen.left && scaling.screen.bottom > scaling.screen.top;
}

PictureArea SdlVideo::PictureAreaOf(HostWindowId window, LONG width, LONG height) {
    PictureArea area{width, height, RECT{0, 0, width, height}, false};
    Scaling scaling;
    if (!ScalingOf(window, scaling)) return area;
    // The client area keeps its place on the mode's screen, which is
    // scaled as a whole.
    const auto client = clients_.find(window);
    const int64_t x = client != clients_.end() ? client->second.x : 0;
    const int64_t y = client != clients_.end() ? client->second.y : 0;
    const RECT& screen = scaling.screen;
    const int64_t screenWidth = screen.right - screen.left;
    const int64_t screenHeight = screen.bottom - screen.top;
    auto scaleX = [&](int64_t at) { return static_cast<LONG>(screen.left + at * screenWidth / switchedSize_.x); };
    auto scaleY = [&](int64_t at) { return static_cast<LONG>(screen.top + at * screenHeight / switchedSize_.y); };
    area.pixelWidth = scaling.pixelWidth;
    area.pixelHeight = scaling.pixelHeight;
    area.picture = RECT{scaleX(x), scaleY(y), scaleX(x + width), scaleY(y + height)};
    area.scaled = true;
    return area;
}

void SdlVideo::ToClientPoint(Uint32 id, LONG& x, LONG& y) {
    Scaling scaling;
    const auto client = clients_.find(id);
    if (client == clients_.end() || !ScalingOf(id, scaling)) return;
    const RECT& screen = scaling.screen;
    const int64_t screenX = (int64_t{x} - screen.left) * switchedSize_.x / (screen.right - screen.left);
    const int64_t screenY = (int64_t{y} - screen.top) * switchedSize_.y / (screen.bottom - screen.top);
    // A point on the bars is the client area's nearest edge.
    const SDL_Rect& area = client->second;
    x = static_cast<LONG>(std::clamp<int64_t>(screenX - area.x, 0, std::max(area.w - 1, 0)));
    y = static_cast<LONG>(std::clamp<int64_t>(screenY - area.y, 0, std::max(area.h - 1, 0)));
}

}  // namespace platform::host
