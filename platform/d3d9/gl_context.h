// An OpenGL context that draws into one window of the display. Every
// renderer call first makes its device's context current on the calling
// thread (the host's call returns at once when it is current already), so
// that several devices, and other users of OpenGL on the thread, never draw
// into one another's context. Private to platform/d3d9.
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
    // be (its window or its display adapter is gone), and the caller then
    // leaves OpenGL alone.
    bool MakeCurrent() { return MakeCurrentWith(window_); }
    // Makes it current with another window of the same display, for a
    // present into that window; MakeCurrent goes back to its own.
    bool MakeCurrentWith(HostWindowId window);
    void Swap(HostWindowId window);

    HostWindowId Window() const { return window_; }

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
