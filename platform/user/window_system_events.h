// The window system as the host's display sees it: what the mirroring reads
// to show the windows, and what the display's events report, which becomes
// window messages here. Private to the platform. Nothing in it knows of
// SDL2; each report is made on the window's own thread.
#pragma once

#include <string>
#include <vector>

#include "platform/user/user.h"
#include "platform/user/window_records.h"

namespace platform::detail {

// A window as the host should show it.
struct WindowMirror {
    HWND handle = nullptr;
    bool visible = false;
    Placement placement = Placement::Normal;
    RECT client{};  // screen coordinates
    std::string text;  // Shift-JIS
    bool bordered = false;
    bool resizable = false;
    bool topmost = false;
    HICON icon = nullptr;
    bool raise = false;          // bring it to the front (once)
    bool pixelsChanged = false;  // GDI drew into it since the last mirror
    LONG pixelWidth = 0;
    LONG pixelHeight = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, only when pixelsChanged
};

// The windows of the thread; taking the mirror clears the raise request and
// the pixels-changed mark.
std::vector<WindowMirror> TakeWindowMirrors(DWORD threadId);

namespace events {

// The host moved or resized the client area (the user dragged the window):
// the window procedure sees WM_MOVING or WM_SIZING with the proposed outer
// rectangle, which it may change, then WM_MOVE or WM_SIZE.
void ClientMoved(HWND window, LONG x, LONG y);
void ClientResized(HWND window, LONG width, LONG height);
void PlacementChanged(HWND window, Placement placement);
// Activation follows the host's keyboard focus.
void FocusChanged(HWND window, bool gained);
// The close button: WM_SYSCOMMAND with SC_CLOSE is posted, whose default
// handling sends WM_CLOSE.
void CloseRequested(HWND window);
// Another program destroyed the display's window: the window goes as if
// destroyed by the program (WM_DESTROY), there being nothing left to show
// it or to ask.
void Gone(HWND window);
// Part of the window must be drawn again: WM_PAINT follows.
void Exposed(HWND window);
// A key went down or up: WM_KEYDOWN / WM_KEYUP, or the WM_SYS variants while
// Alt is held without Ctrl and for F10.
void Key(HWND window, UINT virtualKey, UINT scanCode, bool extended, bool down, bool repeat, bool altHeld,
         bool controlHeld);
// Typed text in Shift-JIS: one WM_CHAR per byte.
void Text(HWND window, const std::string& shiftJis);
// Client coordinates; `keys` are the MK_ flags. The window is asked for its
// hit test and cursor (WM_NCHITTEST, WM_SETCURSOR) before the mouse message
// is posted.
void Mouse(HWND window, UINT message, LONG x, LONG y, WPARAM keys);

}  // namespace events
}  // namespace platform::detail
