// Starting and stopping SDL2's video, the host thread, the desktop, and the
// message pump's turn: events in, mirror out.
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/host/host_state.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace platform::host {
namespace {

struct VideoState {
    std::mutex lock;
    bool tried = false;
    bool available = false;
    DWORD thread = 0;
};

VideoState& Video() {
    static VideoState* state = new VideoState;  // outlives threads still running at exit
    return *state;
}

// SDL2 falls back to a driver that shows nothing when it finds no display.
// That counts as a display only when it was asked for (tests ask for the
// offscreen driver, which draws, and runs OpenGL, in memory).
bool IsRealDisplay(const char* driver) {
    if (driver == nullptr) return false;
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return true;
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    return requested != nullptr && strcasecmp(requested, driver) == 0;
}

}  // namespace

namespace detail {

HostWindows& Windows() {
    static HostWindows* windows = new HostWindows;
    return *windows;
}

HostWindow* FindHostWindow(HWND window) {
    auto found = Windows().windows.find(window);
    return found != Windows().windows.end() ? &found->second : nullptr;
}

HostWindow* FindHostWindowById(Uint32 id) {
    for (auto& [handle, window] : Windows().windows)
        if (window.id == id) return &window;
    return nullptr;
}

}  // namespace detail

bool DisplayAvailable() {
    VideoState& video = Video();
    std::lock_guard<std::mutex> guard(video.lock);
    if (platform::Profile().display.host == platform::HostDisplayUse::Off) return false;
    if (video.tried) return video.available;
    video.tried = true;
    // Ctrl+C and the like end the program as they would without SDL2, and
    // the screen saver stays the program's to switch (SPI_SETSCREENSAVEACTIVE).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // GDI's pixels reach the window through the driver's own framebuffer,
    // not through a renderer that would claim the window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    video.available = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (video.available && !IsRealDisplay(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        video.available = false;
    }
    video.thread = GetCurrentThreadId();
    return video.available;
}

bool IsHostThread() {
    VideoState& video = Video();
    std::lock_guard<std::mutex> guard(video.lock);
    return video.available && video.thread == GetCurrentThreadId() &&
           platform::Profile().display.host != platform::HostDisplayUse::Off;
}

bool DesktopSize(LONG& width, LONG& height) {
    if (!DisplayAvailable()) return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    width = mode.w;
    height = mode.h;
    return true;
}

void PumpEvents() {
    if (!IsHostThread()) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) detail::TranslateEvent(event);
    MirrorWindows();
}

SDL_Window* WindowOf(HWND window) {
    if (!IsHostThread()) return nullptr;
    detail::HostWindow* hostWindow = detail::FindHostWindow(window);
    return hostWindow != nullptr ? hostWindow->window : nullptr;
}

void Stop() {
    VideoState& video = Video();
    std::lock_guard<std::mutex> guard(video.lock);
    if (video.available) {
        for (auto& [handle, window] : detail::Windows().windows) SDL_DestroyWindow(window.window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    detail::Windows() = detail::HostWindows{};
    video.tried = false;
    video.available = false;
    video.thread = 0;
}

}  // namespace platform::host
