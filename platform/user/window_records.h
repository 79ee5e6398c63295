// The records behind window classes and windows, the lock that guards them,
// and the geometry derived from them. Private to the platform.
//
// A window record is the whole truth about a window: the host adapters only
// mirror it. Window procedures are never called with the lock held.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/host_video.h"
#include "platform/user/user.h"

namespace platform::detail {

struct ThreadQueue;

// A handle for a window-system or GDI object. Handles count up in steps of
// four in a range of their own and are never reused, so a stale handle
// cannot reach a newer object.
HANDLE NewUserHandle();

struct WindowClassRecord {
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    ATOM atom = 0;
    int windowCount = 0;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::shared_ptr<WindowClassRecord> windowClass;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;  // Shift-JIS
    HINSTANCE instance = nullptr;
    HMENU menu = nullptr;
    HRGN region = nullptr;
    DWORD threadId = 0;
    std::shared_ptr<ThreadQueue> queue;

    // Outer rectangles in screen coordinates: the one in force depends on the
    // placement, and moving a minimised window moves only its icon.
    Placement placement = Placement::Normal;
    RECT normalRect{};
    RECT iconicRect{};
    RECT maximizedRect{};
    // What WM_SIZE and WM_MOVE last told the window procedure.
    bool sizeNotified = false;
    LONG notifiedWidth = 0;
    LONG notifiedHeight = 0;
    Placement notifiedPlacement = Placement::Normal;
    bool moveNotified = false;
    POINT notifiedOrigin{};

    bool destroying = false;
    // The part of the client area waiting for WM_PAINT (client coordinates).
    bool updatePending = false;
    RECT updateRect{};

    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    // Set when a call brought the window to the front; the host raises it.
    bool raiseRequested = false;

    // Client-area pixels that GDI draws into: 0x00RRGGBB, rows top down.
    std::vector<uint32_t> pixels;
    LONG pixelWidth = 0;
    LONG pixelHeight = 0;
    bool pixelsChanged = false;

    // The per-user lock that shows the window to FindWindowA in other
    // processes; -1 when none could be taken.
    int classLockFile = -1;
};

// Guards every record, the registry and the window system's process-wide
// state (activation, cursor, clipboard).
std::mutex& WindowLock();

std::shared_ptr<WindowRecord> FindWindowRecordLocked(HWND window);
std::shared_ptr<WindowRecord> FindWindowRecord(HWND window);
// In creation order.
const std::vector<std::shared_ptr<WindowRecord>>& AllWindowsLocked();
void AddWindowLocked(std::shared_ptr<WindowRecord> window);
void RemoveWindowLocked(HWND window);

inline bool IsVisible(const WindowRecord& window) { return (window.style & WS_VISIBLE) != 0; }

// How far the frame, caption and menu bar reach out from the client area.
struct FrameInsets {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
FrameInsets InsetsFor(DWORD style, DWORD exStyle, bool menu);

RECT& CurrentWindowRectLocked(WindowRecord& window);
RECT CurrentWindowRectLocked(const WindowRecord& window);
// The client area in screen coordinates; empty for a minimised window.
RECT ClientRectOnScreenLocked(const WindowRecord& window);

inline LONG Width(const RECT& rect) { return rect.right - rect.left; }
inline LONG Height(const RECT& rect) { return rect.bottom - rect.top; }

// Marks the whole client area for repainting.
void InvalidateClientLocked(WindowRecord& window);

}  // namespace platform::detail
