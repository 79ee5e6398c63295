// OpenGL contexts that draw into SDL2 windows.
#include "platform/host/sdl_video.h"

namespace platform::host {

GlContext SdlVideo::CreateGlContext(HostWindowId window) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    SDL_GLContext context = shown != nullptr ? SDL_GL_CreateContext(shown) : nullptr;
    // Presents keep to the display's vertical blank as the machine's clock
    // sees it (platform/d3d9/vertical_blank.h), not to the driver's: a swap
    // of its own would wait a second time.
    if (context != nullptr) SDL_GL_SetSwapInterval(0);
    return context;
}

bool SdlVideo::MakeGlContextCurrent(HostWindowId window, GlContext context) {
    // No context releases the thread's current one; a context needs its window.
    SDL_Window* shown = SDL_GetWindowFromID(window);
    if (context != nullptr && shown == nullptr) return false;
    return SDL_GL_MakeCurrent(shown, context) == 0;
}

void SdlVideo::SwapGlWindow(HostWindowId window) {
    if (SDL_Window* shown = SDL_GetWindowFromID(window)) SDL_GL_SwapWindow(shown);
}

void SdlVideo::DestroyGlContext(GlContext context) {
    if (context != nullptr) SDL_GL_DeleteContext(context);
}

}  // namespace platform::host
