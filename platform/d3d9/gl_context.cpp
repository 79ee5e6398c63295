// Contexts of the display's windows.
#include "platform/d3d9/gl_context.h"

namespace platform::d3d9 {

std::unique_ptr<GlWindowContext> GlWindowContext::Open(HostWindowId window) {
    if (window == 0) return nullptr;
    const platform::GlContext context = HostVideo().CreateGlContext(window);
    if (context == nullptr) return nullptr;
    return std::unique_ptr<GlWindowContext>(new GlWindowContext(window, context));
}

GlWindowContext::~GlWindowContext() {
    if (Alive()) HostVideo().DestroyGlContext(context_);
}

bool GlWindowContext::MakeCurrentWith(HostWindowId window) {
    return Alive() && HostVideo().MakeGlContextCurrent(window, context_);
}

void GlWindowContext::Swap(HostWindowId window) { HostVideo().SwapGlWindow(window); }

}  // namespace platform::d3d9
