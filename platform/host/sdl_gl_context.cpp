// OpenGL contexts that draw into SDL2 windows.
#include "platform/host/sdl_video.h"

namespace platform::host {

GlContext SdlVideo::CreateGlContext(HostWindowId window) {
    SDL_Window* shown = SDL_GetWindowFromID(window);
    return shown != nullptr ? SDL_GL_CreateContext(shown) : nullptr;
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
