// SDL2 windows: opening and closing them, their title, frame, icon,
// visibility, placement, position and size, the pixels GDI drew into them;
// and the cursor and screen-saver switches.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/host/sdl_video.h"

namespace platform::host {

using platform::detail::Placement;

HostWindowId SdlVideo::OpenWindow(const std::string& title, const RECT& client, bool bordered, bool resizable) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (!bordered) flags |= SDL_WINDOW_BORDERLESS;
    const int width = std::max<LONG>(1, client.right - client.left);
    const int height = std::max<LONG>(1, client.bottom - client.top);
    // Every window can take an OpenGL context, so that a Direct3D device can
    // draw into whichever window it is given; where the host has no OpenGL
    // the window is made without, and takes GDI's pixels only.
    SDL_Window* window =
        SDL_CreateWindow(title.c_str(), client.left, client.top, width, height, flags | SDL_WINDOW_OPENGL);
    if (window == nullptr) window = SDL_CreateWindow(title.c_str(), client.left, client.top, width, height, flags);
    if (window == nullptr) return 0;
    const Uint32 id = SDL_GetWindowID(window);
    NoteX11Window(window);
    windows_.insert(id);
    clients_[id] = SDL_Rect{static_cast<int>(client.left), static_cast<int>(client.top), width, height};
    return id;
}

void SdlVideo::CloseWindow(HostWindowId window) {
    if (windows_.erase(window) == 0) return;
    keptOnTop_.erase(window);
    fullScreenStyled_.erase(window);
    clients_.erase(window);
    minimized_.erase(window);
    gone_.erase(window);
    const bool wasGone = goneReported_.erase(window) != 0;
    if (wasGone) ReadyGoneX11Window(SDL_GetWindowFromID(window));
    LeaveSwitchedMode(SDL_GetWindowFromID(window));
    SDL_DestroyWindow(SDL_GetWindowFromID(window));
    // Destroying what is already gone is an error of the X server's, to be
    // heard while it is still taken for what it is.
    if (wasGone) SyncX11();
}

void SdlVideo::SetTitle(HostWindowId window, const std::string& title) {
    if (SDL_Window* shown = SDL_GetWindowFromID(window)) SDL_SetWindowTitle(shown, title.c_str());
}

void SdlVideo::SetStyle(HostWindowId window, bool bordered, bool resizable, bool topmost) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    if (shown == nullptr) return;
    // Each changes the window only when it differs from what it has.
    SDL_SetWindowBordered(shown, bordered ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(shown, resizable ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowAlwaysOnTop(shown, topmost ? SDL_TRUE : SDL_FALSE);
    if (topmost)
        keptOnTop_.insert(window);
    else
        keptOnTop_.erase(window);
    if (!bordered && topmost)
        fullScreenStyled_.insert(window);
    else
        fullScreenStyled_.erase(window);
    ApplyDisplayMode(window);
}

void SdlVideo::SetIcon(HostWindowId window, int32_t width, int32_t height, const uint32_t* pixels) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    if (shown == nullptr) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(shown, surface);
    SDL_FreeSurface(surface);
}

void SdlVideo::Show(HostWindowId window, bool visible) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    if (shown == nullptr) return;
    if (visible)
        SDL_ShowWindow(shown);
    else
        SDL_HideWindow(shown);
}

void SdlVideo::Place(HostWindowId window, Placement placement) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    if (shown == nullptr) return;
    switch (placement) {
        case Placement::Minimized: SDL_MinimizeWindow(shown); break;
        case Placement::Maximized: SDL_MaximizeWindow(shown); break;
        case Placement::Normal: SDL_RestoreWindow(shown); break;
    }
    if (placement == Placement::Minimized)
        minimized_.insert(window);
    else
        minimized_.erase(window);
}

void SdlVideo::Move(HostWindowId window, LONG x, LONG y) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    if (shown == nullptr) return;
    clients_[window].x = x;
    clients_[window].y = y;
    SDL_SetWindowPosition(shown, x, y);
}

void SdlVideo::Resize(HostWindowId window, LONG width, LONG height) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    if (shown == nullptr) return;
    const int clientWidth = std::max<LONG>(1, width);
    const int clientHeight = std::max<LONG>(1, height);
    clients_[window].w = clientWidth;
    clients_[window].h = clientHeight;
    // A window shown full screen keeps this size for when it no longer is.
    SDL_SetWindowSize(shown, clientWidth, clientHeight);
}

void SdlVideo::Raise(HostWindowId window) {
    if (SDL_Window* shown = SDL_GetWindowFromID(window)) SDL_RaiseWindow(shown);
}

void SdlVideo::Present(HostWindowId window, LONG pixelWidth, LONG pixelHeight, const uint32_t* pixels) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    SDL_Surface* surface = shown != nullptr ? SDL_GetWindowSurface(shown) : nullptr;
    if (surface == nullptr || pixelWidth <= 0 || pixelHeight <= 0) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const PictureArea area = PictureAreaOf(window, pixelWidth, pixelHeight);
    if (!area.scaled) {
        const int width = std::min<int>(surface->w, pixelWidth);
        const int height = std::min<int>(surface->h, pixelHeight);
        if (width > 0 && height > 0)
            SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, pixels, pixelWidth * 4, surface->format->format,
                              surface->pixels, surface->pitch);
    } else {
        // Each pixel of the picture's place takes the nearest of the
        // picture's own, as the hardware path scales; around it, black.
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        const RECT place{std::max<LONG>(0, area.picture.left), std::max<LONG>(0, area.picture.top),
                         std::min<LONG>(surface->w, area.picture.right),
                         std::min<LONG>(surface->h, area.picture.bottom)};
        const LONG placeWidth = area.picture.right - area.picture.left;
        const LONG placeHeight = area.picture.bottom - area.picture.top;
        if (place.right > place.left && place.bottom > place.top) {
            std::vector<uint32_t> row(static_cast<size_t>(place.right - place.left));
            for (LONG y = place.top; y < place.bottom; ++y) {
                const int64_t sourceY = (int64_t{y - area.picture.top} * pixelHeight) / placeHeight;
                const uint32_t* source = pixels + sourceY * pixelWidth;
                for (LONG x = place.left; x < place.right; ++x)
                    row[static_cast<size_t>(x - place.left)] =
                        source[(int64_t{x - area.picture.left} * pixelWidth) / placeWidth];
                auto* target = static_cast<uint8_t*>(surface->pixels) + size_t(y) * surface->pitch +
                               size_t(place.left) * surface->format->BytesPerPixel;
                SDL_ConvertPixels(static_cast<int>(row.size()), 1, SDL_PIXELFORMAT_RGB888, row.data(),
                                  static_cast<int>(row.size() * 4), surface->format->format, target, surface->pitch);
            }
        }
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(shown);
}

void SdlVideo::ShowCursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void SdlVideo::AllowScreenSaver(bool allowed) {
    if (allowed)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

}  // namespace platform::host
