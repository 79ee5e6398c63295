// Mirroring: each window of the host thread shown as an SDL2 window the size
// of its client area, with its title, frame, icon, placement and the pixels
// GDI drew into it; and the cursor and screen-saver switches.
#include <algorithm>
#include <set>

#include "platform/host/host_state.h"
#include "platform/kernel/kernel.h"
#include "platform/user/window_system.h"
#include "platform/user/window_system_events.h"

namespace platform::host {
namespace {

using platform::detail::Placement;
using platform::detail::WindowMirror;

SDL_Window* CreateSdlWindow(const WindowMirror& mirror) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (mirror.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (!mirror.bordered) flags |= SDL_WINDOW_BORDERLESS;
    const std::string title = detail::ShiftJisToHostText(mirror.text);
    const int width = std::max<LONG>(1, platform::detail::Width(mirror.client));
    const int height = std::max<LONG>(1, platform::detail::Height(mirror.client));
    return SDL_CreateWindow(title.c_str(), mirror.client.left, mirror.client.top, width, height, flags);
}

void ApplyIcon(SDL_Window* window, HICON icon) {
    platform::detail::IconPixels icons;
    if (!platform::detail::IconPixelsOf(icon, icons)) return;  // the stock icon: the host's own
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icons.pixels.data(), icons.width, icons.height, 32,
                                                              icons.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
}

void Present(SDL_Window* window, const WindowMirror& mirror) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) return;
    const int width = std::min<int>(surface->w, mirror.pixelWidth);
    const int height = std::min<int>(surface->h, mirror.pixelHeight);
    if (width <= 0 || height <= 0) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, mirror.pixels.data(), mirror.pixelWidth * 4,
                      surface->format->format, surface->pixels, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(window);
}

void Mirror(detail::HostWindow& shown, const WindowMirror& mirror) {
    SDL_Window* window = shown.window;
    if (mirror.text != shown.text) {
        SDL_SetWindowTitle(window, detail::ShiftJisToHostText(mirror.text).c_str());
        shown.text = mirror.text;
    }
    if (mirror.bordered != shown.bordered) {
        SDL_SetWindowBordered(window, mirror.bordered ? SDL_TRUE : SDL_FALSE);
        shown.bordered = mirror.bordered;
    }
    if (mirror.resizable != shown.resizable) {
        SDL_SetWindowResizable(window, mirror.resizable ? SDL_TRUE : SDL_FALSE);
        shown.resizable = mirror.resizable;
    }
    if (mirror.topmost != shown.topmost) {
        SDL_SetWindowAlwaysOnTop(window, mirror.topmost ? SDL_TRUE : SDL_FALSE);
        shown.topmost = mirror.topmost;
    }
    if (mirror.icon != shown.icon) {
        ApplyIcon(window, mirror.icon);
        shown.icon = mirror.icon;
    }
    if (mirror.visible != shown.visible) {
        if (mirror.visible)
            SDL_ShowWindow(window);
        else
            SDL_HideWindow(window);
        shown.visible = mirror.visible;
    }
    // A hidden window takes its placement when it shows.
    if (mirror.visible && mirror.placement != shown.placement) {
        switch (mirror.placement) {
            case Placement::Minimized: SDL_MinimizeWindow(window); break;
            case Placement::Maximized: SDL_MaximizeWindow(window); break;
            case Placement::Normal: SDL_RestoreWindow(window); break;
        }
        shown.placement = mirror.placement;
    }
    // Only the normal placement is ours to place; the host places the others.
    if (mirror.placement == Placement::Normal && shown.placement == Placement::Normal) {
        const RECT& client = mirror.client;
        if (client.left != shown.client.left || client.top != shown.client.top)
            SDL_SetWindowPosition(window, client.left, client.top);
        if (platform::detail::Width(client) != platform::detail::Width(shown.client) ||
            platform::detail::Height(client) != platform::detail::Height(shown.client))
            SDL_SetWindowSize(window, std::max<LONG>(1, platform::detail::Width(client)),
                              std::max<LONG>(1, platform::detail::Height(client)));
        shown.client = client;
    }
    if (mirror.raise && mirror.visible) SDL_RaiseWindow(window);
    if (mirror.pixelsChanged) Present(window, mirror);
}

}  // namespace

void MirrorWindows() {
    if (!IsHostThread()) return;
    const std::vector<WindowMirror> mirrors = platform::detail::TakeWindowMirrors(GetCurrentThreadId());
    detail::HostWindows& host = detail::Windows();
    std::set<HWND> present;
    for (const WindowMirror& mirror : mirrors) {
        present.insert(mirror.handle);
        detail::HostWindow* shown = detail::FindHostWindow(mirror.handle);
        if (shown == nullptr) {
            SDL_Window* window = CreateSdlWindow(mirror);
            if (window == nullptr) continue;  // the window stays a record
            detail::HostWindow created;
            created.handle = mirror.handle;
            created.window = window;
            created.id = SDL_GetWindowID(window);
            created.text = mirror.text;
            created.client = mirror.client;
            created.bordered = mirror.bordered;
            created.resizable = mirror.resizable;
            shown = &host.windows.emplace(mirror.handle, created).first->second;
        }
        Mirror(*shown, mirror);
    }
    for (auto entry = host.windows.begin(); entry != host.windows.end();) {
        if (present.count(entry->first) != 0) {
            ++entry;
            continue;
        }
        SDL_DestroyWindow(entry->second.window);
        entry = host.windows.erase(entry);
    }

    const bool cursorShown = platform::detail::CursorShown();
    if (cursorShown != host.cursorShown) {
        SDL_ShowCursor(cursorShown ? SDL_ENABLE : SDL_DISABLE);
        host.cursorShown = cursorShown;
    }
    const bool screenSaverAllowed = platform::detail::ScreenSaverAllowed();
    if (screenSaverAllowed != host.screenSaverAllowed) {
        if (screenSaverAllowed)
            SDL_EnableScreenSaver();
        else
            SDL_DisableScreenSaver();
        host.screenSaverAllowed = screenSaverAllowed;
    }
}

}  // namespace platform::host
