// SDL2 windows: opening and closing them, their title, frame, icon,
// visibility, placement, position and size, the pixels GDI drew into them;
// and the cursor and screen-saver switches.
#include <algorithm>

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
    windows_.insert(id);
    return id;
}

void SdlVideo::CloseWindow(HostWindowId window) {
    if (windows_.erase(window) == 0) return;
    fullScreenStyled_.erase(window);
    SDL_DestroyWindow(SDL_GetWindowFromID(window));
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
}

void SdlVideo::Move(HostWindowId window, LONG x, LONG y) {
    if (SDL_Window* shown = SDL_GetWindowFromID(window)) SDL_SetWindowPosition(shown, x, y);
}

void SdlVideo::Resize(HostWindowId window, LONG width, LONG height) {
    if (SDL_Window* shown = SDL_GetWindowFromID(window))
        SDL_SetWindowSize(shown, std::max<LONG>(1, width), std::max<LONG>(1, height));
}

void SdlVideo::Raise(HostWindowId window) {
    if (SDL_Window* shown = SDL_GetWindowFromID(window)) SDL_RaiseWindow(shown);
}

void SdlVideo::Present(HostWindowId window, LONG pixelWidth, LONG pixelHeight, const uint32_t* pixels) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    SDL_Surface* surface = shown != nullptr ? SDL_GetWindowSurface(shown) : nullptr;
    if (surface == nullptr) return;
    const int width = std::min<int>(surface->w, pixelWidth);
    const int height = std::min<int>(surface->h, pixelHeight);
    if (width <= 0 || height <= 0) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, pixels, pixelWidth * 4, surface->format->format,
                      surface->pixels, surface->pitch);
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
