// An OpenGL context that draws into one window of the display, made current
// on the calling thread only when it is not current there already (every
// renderer call first makes its device's context current, and several
// devices may draw on one thread). Private to platform/d3d9.
#pragma once

#include <memory>

#include "platform/host/host_video.h"

namespace platform::d3d9 {

class GlWindowContext {
public:
    // A context for the display's window `window`, current on the calling
    // thread; null when the window takes none.
    static std::unique_ptr<GlWindowContext> Open(HostWindowId window);
    ~GlWindowContext();

    GlWindowContext(const GlWindowContext&) = delete;
    GlWindowContext& operator=(const GlWindowContext&) = delete;

    // Makes the context current with its own window; false when it cannot
    // be (its window is gone), and the caller then leaves OpenGL alone.
    bool MakeCurrent();
    // Makes it current with another window of the same display, for a
    // present into that window; MakeCurrent goes back to its own.
    bool MakeCurrentWith(HostWindowId window);
    void Swap(HostWindowId window);

    HostWindowId Window() const { return window_; }

    // Forgets which context is current on this thread, after something made
    // another one current behind our back.
    static void ForgetCurrent();

private:
    GlWindowContext(HostWindowId window, platform::GlContext context)
        : window_(window), context_(context), session_(HostVideoSession()) {}

    // Whether the display adapter that made the context is still in force:
    // once it stops, the context has gone with it.
    bool Alive() const { return HostVideoSession() == session_; }

    HostWindowId window_;
    platform::GlContext context_;
    uint64_t session_;
};

}  // namespace platform::d3d9
