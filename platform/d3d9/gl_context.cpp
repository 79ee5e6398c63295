// Contexts of the display's windows, and which one is current on each
// thread.
#include "platform/d3d9/gl_context.h"

namespace platform::d3d9 {
namespace {

struct Current {
    platform::GlContext context = nullptr;
    HostWindowId window = 0;
};

thread_local Current current;

}  // namespace

std::unique_ptr<GlWindowContext> GlWindowContext::Open(HostWindowId window) {
    if (window == 0) return nullptr;
    const platform::GlContext context = HostVideo().CreateGlContext(window);
    if (context == nullptr) return nullptr;
    // Making a context makes it current.
    current = Current{context, window};
    return std::unique_ptr<GlWindowContext>(new GlWindowContext(window, context));
}

GlWindowContext::~GlWindowContext() {
    if (current.context == context_) current = Current{};
    if (Alive()) HostVideo().DestroyGlContext(context_);
}

bool GlWindowContext::MakeCurrent() { return MakeCurrentWith(window_); }

bool GlWindowContext::MakeCurrentWith(HostWindowId window) {
    if (!Alive()) {
        if (current.context == context_) current = Current{};
        return false;
    }
    if (current.context == context_ && current.window == window) return true;
    if (!HostVideo().MakeGlContextCurrent(window, context_)) {
        current = Current{};
        return false;
    }
    current = Current{context_, window};
    return true;
}

void GlWindowContext::Swap(HostWindowId window) { HostVideo().SwapGlWindow(window); }

void GlWindowContext::ForgetCurrent() { current = Current{}; }

}  // namespace platform::d3d9
