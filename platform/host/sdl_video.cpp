// Starting and stopping SDL2's video, and the desktop.
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/host/adapters.h"
#include "platform/host/sdl_video.h"

namespace platform::host {
namespace {

bool ShowsNothing(const char* driver) {
    return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// SDL2 falls back to a driver that shows nothing when it finds no display.
// That counts as a display only when it was asked for (tests ask for the
// offscreen driver, which draws, and runs OpenGL, in memory).
bool IsRealDisplay(const char* driver) {
    if (driver == nullptr) return false;
    if (!ShowsNothing(driver)) return true;
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    return requested != nullptr && strcasecmp(requested, driver) == 0;
}

// Whether the video's start loaded OpenGL (host thread only).
bool glLoaded = false;

}  // namespace

bool SdlVideoSeenByUser() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && !ShowsNothing(driver);
}

SdlVideo& TheSdlVideo() {
    static SdlVideo* adapter = new SdlVideo;  // outlives threads still running at exit
    return *adapter;
}

VideoAdapter* StartSdlVideo() {
    // Ctrl+C and the like end the program as they would without SDL2, and
    // the screen saver stays the program's to switch (SPI_SETSCREENSAVEACTIVE).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // GDI's pixels reach the window through the driver's own framebuffer,
    // not through a renderer that would claim the window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    if (!IsRealDisplay(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    WatchX11Windows();
    // The contexts the Direct3D 9 stand-in draws through: OpenGL 2.1 with
    // the compatibility profile, double-buffered. It draws into framebuffer
    // objects of its own and only copies finished frames into the window,
    // so the window needs no depth or stencil buffer.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    // OpenGL stays loaded while the video runs, rather than from the first
    // window that takes it to the last: a program that closes all its
    // windows and opens new ones (a change of screen mode) does not start
    // the driver again.
    glLoaded = SDL_GL_LoadLibrary(nullptr) == 0;
    return &TheSdlVideo();
}

void StopSdlVideo() {
    TheSdlVideo().CloseAll();
    // What closing asked of the X server is answered while its errors are
    // still noted: SDL2 puts Xlib's fatal handling back as it ends.
    SyncX11();
    ForgetX11Windows();
    if (glLoaded) SDL_GL_UnloadLibrary();
    glLoaded = false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlVideo::DesktopSize(LONG& width, LONG& height) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    width = mode.w;
    height = mode.h;
    return true;
}

void SdlVideo::CloseAll() {
    for (Uint32 id : windows_) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        if (goneReported_.count(id) != 0 || gone_.count(id) != 0 || X11WindowGone(window)) ReadyGoneX11Window(window);
        LeaveSwitchedMode(window);
        SDL_DestroyWindow(window);
    }
    windows_.clear();
    clients_.clear();
    minimized_.clear();
    keptOnTop_.clear();
    fullScreenStyled_.clear();
    onTopLifted_ = false;
    switched_ = false;
    scaled_ = false;
    gone_.clear();
    goneReported_.clear();
    mouseButtons_ = 0;
    dropWindow_ = 0;
    droppedFiles_.clear();
}

}  // namespace platform::host
