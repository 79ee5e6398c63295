// The window registry, the handle counter and the geometry of records.
#include "platform/user/window_records.h"

#include <algorithm>
#include <atomic>

#include "platform/profile/machine_profile.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

struct Registry {
    std::mutex lock;
    std::vector<std::shared_ptr<WindowRecord>> windows;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // outlives threads still running at exit
    return *registry;
}

// Registered here, beside the records every part of the window system uses,
// so that each program with windows, classes or queues has the reset.
const platform::ResetHook kWindowSystemReset(ResetWindowSystem);

}  // namespace

HANDLE NewUserHandle() {
    // Far above the kernel's handles, so that a window handle never names a
    // kernel object too.
    static std::atomic<uintptr_t> next{0x20000000};
    return reinterpret_cast<HANDLE>(next.fetch_add(4));
}

std::mutex& WindowLock() { return TheRegistry().lock; }

std::shared_ptr<WindowRecord> FindWindowRecordLocked(HWND window) {
    if (window == nullptr) return nullptr;
    for (const auto& record : TheRegistry().windows)
        if (record->handle == window) return record;
    return nullptr;
}

std::shared_ptr<WindowRecord> FindWindowRecord(HWND window) {
    std::lock_guard<std::mutex> guard(WindowLock());
    return FindWindowRecordLocked(window);
}

const std::vector<std::shared_ptr<WindowRecord>>& AllWindowsLocked() { return TheRegistry().windows; }

void AddWindowLocked(std::shared_ptr<WindowRecord> window) {
    TheRegistry().windows.push_back(std::move(window));
}

void RemoveWindowLocked(HWND window) {
    auto& windows = TheRegistry().windows;
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [&](const auto& record) { return record->handle == window; }),
                  windows.end());
}

FrameInsets InsetsFor(DWORD style, DWORD exStyle, bool menu) {
    const FrameMetrics& metrics = Profile().display.frame;
    LONG frame = 0;
    if (exStyle & WS_EX_CLIENTEDGE) frame += metrics.edge;
    if (exStyle & WS_EX_STATICEDGE) frame += metrics.border;
    if (style & WS_THICKFRAME)
        frame += metrics.sizingFrame;
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        frame += metrics.fixedFrame;
    else if (style & WS_BORDER)
        frame += metrics.border;

    FrameInsets insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION)
        insets.top += (exStyle & WS_EX_TOOLWINDOW) ? metrics.smallCaption : metrics.caption;
    if (menu) insets.top += metrics.menuBar;
    return insets;
}

RECT& CurrentWindowRectLocked(WindowRecord& window) {
    switch (window.placement) {
        case Placement::Minimized: return window.iconicRect;
        case Placement::Maximized: return window.maximizedRect;
        case Placement::Normal: break;
    }
    return window.normalRect;
}

RECT CurrentWindowRectLocked(const WindowRecord& window) {
    return CurrentWindowRectLocked(const_cast<WindowRecord&>(window));
}

RECT ClientRectOnScreenLocked(const WindowRecord& window) {
    const RECT outer = CurrentWindowRectLocked(window);
    const FrameInsets insets = InsetsFor(window.style, window.exStyle, window.menu != nullptr);
    RECT client{outer.left + insets.left, outer.top + insets.top, outer.right - insets.right,
                outer.bottom - insets.bottom};
    if (window.placement == Placement::Minimized) {
        client.right = client.left;
        client.bottom = client.top;
    }
    // A window smaller than its frame has an empty client area.
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

void InvalidateClientLocked(WindowRecord& window) {
    const RECT client = ClientRectOnScreenLocked(window);
    window.updatePending = true;
    window.updateRect = RECT{0, 0, Width(client), Height(client)};
}

}  // namespace platform::detail
