// What the parts of the window system ask of each other, and what the host
// adapters read to mirror it. Private to the platform. None of these may be
// called with WindowLock() held unless its name ends in Locked.
#pragma once

#include <string>
#include <vector>

#include "platform/user/user.h"
#include "platform/user/window_records.h"

namespace platform::detail {

// ---- classes -------------------------------------------------------------------

// The name with its ASCII letters in lower case (the second byte of a
// two-byte Shift-JIS character is left as it is): class names compare so.
std::string FoldClassName(const char* name);
// By name, or by atom for a name that is an integer resource.
std::shared_ptr<WindowClassRecord> FindClassLocked(LPCSTR name);
void ForgetAllClassesLocked();

// ---- activation ----------------------------------------------------------------

// Makes the window the active one (null: the program becomes inactive),
// sending WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS and WM_SETFOCUS as the
// change requires. `raise` asks the host to bring the window to the front
// (not when the host itself reported the change). False when the window
// cannot be activated (gone or hidden).
bool ActivateWindow(HWND window, bool raise);
HWND ActiveWindowLocked();
void ResetActivationLocked();

// ---- geometry ------------------------------------------------------------------

// Sends WM_SIZE when the client size or the placement changed since the last
// notice and WM_MOVE when the client area moved; with `redraw` a resized
// client area is marked for repainting.
void NotifyGeometry(HWND window, bool redraw);
// Changes the placement (and what follows from it) without activation.
void SetPlacement(HWND window, Placement placement);
// The desktop from the profile, else the host's, else 1920 by 1080.
void DesktopSize(LONG& width, LONG& height);

// ---- painting -------------------------------------------------------------------

// The first visible window of the thread that waits for WM_PAINT and passes
// the window filter of PeekMessageA.
bool FindWindowToPaint(DWORD threadId, HWND filter, HWND& window);
// Takes the update area (client coordinates) and clears it; false when
// nothing was waiting.
bool ValidateWindow(HWND window, RECT* updated);

// ---- timers ---------------------------------------------------------------------

struct ThreadQueue;
// The first due timer that passes the window filter, as a WM_TIMER message;
// with `remove` the timer starts its next period.
bool TakeDueTimer(ThreadQueue& queue, HWND filter, bool remove, MSG& message);
// Milliseconds until the next timer of the queue is due; INFINITE without one.
DWORD MillisecondsUntilNextTimer(ThreadQueue& queue);
// True when the procedure belongs to a live timer of that window and id, so
// that DispatchMessageA never calls a pointer that came only from a message.
bool IsTimerProcedure(HWND window, UINT_PTR id, TIMERPROC procedure);

// ---- cursor and icons ----------------------------------------------------------

POINT CursorPosition();
void SetCursorPosition(POINT position);
// Whether the cursor is to be seen: display count 0 or more and a cursor set.
bool CursorShown();
void ResetCursor();

struct IconPixels {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top down
};
// The pixels of an icon; false for an icon without pixels (the stock icon)
// or an unknown handle.
bool IconPixelsOf(HICON icon, IconPixels& pixels);
void ForgetIconResources();

// ---- system parameters -----------------------------------------------------------

bool ScreenSaverAllowed();
void ResetSystemParameters();

// ---- menus, clipboard, class locks -------------------------------------------------

void DestroyAllMenus();
void ResetClipboard();
// Takes the per-user lock of the window's class; returns the descriptor or -1.
int TakeClassLock(const std::string& className);
void ReleaseClassLock(int descriptor);

// ---- reset ------------------------------------------------------------------------

// Puts the window system back to its start: every window and class is gone
// (without messages), queues, timers, activation, cursor, clipboard, menus,
// icon resources and system parameters are cleared, and the host's windows
// and video are shut. ResetMachine() runs it.
void ResetWindowSystem();

// ---- keyboard ---------------------------------------------------------------------

// Updates the thread's key state for a key message taken from its queue.
void UpdateKeyState(BYTE keyState[256], const MSG& message);

}  // namespace platform::detail
