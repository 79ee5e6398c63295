// The window system on the host's display: the windows of the host thread
// shown through the video adapter in force, kept in step with their records
// at every message pump, and the display's events turned into window
// messages. Private to the platform. Knows nothing of SDL2: it reaches the
// display only through the video adapter (platform/host/host_video.h).
#pragma once

#include <map>
#include <string>

#include "platform/host/host_video.h"
#include "platform/user/window_records.h"

namespace platform::detail {

// On the host thread (else nothing): the display's waiting events become
// window messages, then the windows are mirrored.
void PumpHostEvents();
// On the host thread (else nothing): only the mirroring.
void MirrorHostWindows();
// The display's window that shows a window; 0 when none does.
HostWindowId HostWindowOf(HWND window);
// Closes every window the display shows and stops the video adapter, so
// that the next use chooses one afresh.
void StopHostDisplay();
// From now on a signal that asks the program to end (SIGTERM, SIGINT,
// SIGHUP) closes its main window, as the user's closing it does; a second
// one, or one while the program has no window, ends the process at once.
void CloseMainWindowOnEndSignals();

// A window the display shows, and what was last applied to it (or reported
// by it), so that mirroring changes only what differs. Host thread only.
struct ShownWindow {
    HWND handle = nullptr;
    HostWindowId id = 0;
    bool visible = false;
    Placement placement = Placement::Normal;
    RECT client{};
    std::string text;  // Shift-JIS
    bool bordered = true;
    bool resizable = false;
    bool topmost = false;
    HICON icon = nullptr;
};

struct ShownWindows {
    std::map<HWND, ShownWindow> windows;
    bool cursorShown = true;
    bool screenSaverAllowed = true;
};

ShownWindows& Shown();
ShownWindow* FindShownWindowById(HostWindowId id);

}  // namespace platform::detail
