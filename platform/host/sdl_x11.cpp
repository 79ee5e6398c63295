// SDL2 on X11: a window that another program destroys (a window tool, a
// session manager) goes away as a window does, rather than ending the
// program. Xlib's own handling of an error is to print it and end the
// process; the errors a vanished window causes (BadWindow, BadDrawable, from
// any request about it, OpenGL's swaps among them) are noted instead and
// written to the debug output, and the window is reported gone. Every other
// error goes on to the handler that was in force before.
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/host/sdl_video.h"
#include "platform/kernel/kernel.h"

// Last: Xlib's names (None, Bool, Status, ...) are macros.
#include <SDL_syswm.h>

namespace platform::host {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

struct X11Watch {
    std::mutex lock;
    std::set<unsigned long> gone;  // X11 windows destroyed or found missing
    int (*previousHandler)(Display*, XErrorEvent*) = nullptr;
    Display* display = nullptr;  // SDL2's connection; host thread only
};

// Outlives threads still running at exit.
X11Watch& Watch() {
    static X11Watch* watch = new X11Watch;
    return *watch;
}

bool OnX11() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

// Called by Xlib, on whichever thread made the request, with no request to
// be made from here.
int OnX11Error(Display* display, XErrorEvent* error) {
    X11Watch& watch = Watch();
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        {
            std::lock_guard<std::mutex> guard(watch.lock);
            watch.gone.insert(error->resourceid);
        }
        char line[128];
        std::snprintf(line, sizeof(line), "X11: error %d of request %d about window 0x%lx, which is gone\n",
                      error->error_code, error->request_code, error->resourceid);
        OutputDebugStringA(line);
        return 0;
    }
    return watch.previousHandler != nullptr ? watch.previousHandler(display, error) : 0;
}

bool WindowInfo(SDL_Window* window, SDL_SysWMinfo& info) {
    SDL_VERSION(&info.version);
    return window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void WatchX11Windows() {
    if (!OnX11()) return;
    X11Watch& watch = Watch();
    // SDL2 puts its own handler in at its start and the first one back at
    // its end; this one sits on top of SDL2's while the video runs.
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(OnX11Error);
    std::lock_guard<std::mutex> guard(watch.lock);
    if (previous != OnX11Error) watch.previousHandler = previous;
    watch.gone.clear();
    // The destruction comes as an X event that SDL2 hands on only as a
    // window-manager event.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

void NoteX11Window(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!WindowInfo(window, info)) return;
    Watch().display = info.info.x11.display;
    // The server keeps what the window shows while another window (a
    // dialog) covers it, and puts it back when that goes, as a system that
    // composes its windows does: the program may not draw again until the
    // dialog is answered, or until the next one is.
    XSetWindowAttributes attributes{};
    attributes.backing_store = Always;
    XChangeWindowAttributes(info.info.x11.display, info.info.x11.window, CWBackingStore, &attributes);
}

bool X11WindowGone(SDL_Window* window) {
    X11Watch& watch = Watch();
    {
        std::lock_guard<std::mutex> guard(watch.lock);
        if (watch.gone.empty()) return false;
    }
    SDL_SysWMinfo info;
    if (!WindowInfo(window, info)) return false;
    std::lock_guard<std::mutex> guard(watch.lock);
    return watch.gone.count(info.info.x11.window) != 0;
}

void NoteX11Event(const SDL_SysWMEvent& event) {
    if (event.msg == nullptr || event.msg->subsystem != SDL_SYSWM_X11) return;
    const XEvent& x11 = event.msg->msg.x11.event;
    if (x11.type != DestroyNotify) return;
    X11Watch& watch = Watch();
    std::lock_guard<std::mutex> guard(watch.lock);
    watch.gone.insert(x11.xdestroywindow.window);
}

void SyncX11() {
    if (Display* display = Watch().display) XSync(display, False);
}

void ReadyGoneX11Window(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!WindowInfo(window, info)) return;
    // SDL2 hides a window it destroys and waits for the server to say it is
    // unmapped, which it never says of a window that is gone.
    XEvent unmapped{};
    unmapped.type = UnmapNotify;
    unmapped.xunmap.display = info.info.x11.display;
    unmapped.xunmap.event = info.info.x11.window;
    unmapped.xunmap.window = info.info.x11.window;
    XPutBackEvent(info.info.x11.display, &unmapped);
}

void ForgetX11Windows() {
    X11Watch& watch = Watch();
    std::lock_guard<std::mutex> guard(watch.lock);
    watch.gone.clear();
    watch.display = nullptr;
}

void KeepX11WindowAbove(SDL_Window* window, bool above) {
    SDL_SysWMinfo info;
    if (!WindowInfo(window, info)) return;
    Display* display = info.info.x11.display;
    // A mapped window's state is the window manager's: it is asked by a
    // message to the root window.
    XEvent change{};
    change.xclient.type = ClientMessage;
    change.xclient.window = info.info.x11.window;
    change.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    change.xclient.format = 32;
    change.xclient.data.l[0] = above ? 1 : 0;  // add, remove
    change.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_ABOVE", False));
    change.xclient.data.l[3] = 1;  // asked by an application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureNotifyMask | SubstructureRedirectMask,
               &change);
    // Sent before a dialog, which has a connection of its own, waits.
    XFlush(display);
}

#else

void WatchX11Windows() {}
void NoteX11Window(SDL_Window*) {}
bool X11WindowGone(SDL_Window*) { return false; }
void NoteX11Event(const SDL_SysWMEvent&) {}
void SyncX11() {}
void ReadyGoneX11Window(SDL_Window*) {}
void ForgetX11Windows() {}
void KeepX11WindowAbove(SDL_Window*, bool) {}

#endif

}  // namespace platform::host
