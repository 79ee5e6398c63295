// The host adapters: SDL2's video for the window system. Each top-level
// window made on the host thread gets an SDL2 window the size of its client
// area, kept in step with the window record at every message pump; SDL2's
// events become window messages; the clipboard and the screen saver switch
// go to SDL2. Text crosses here between Shift-JIS and UTF-8.
//
// Stands in for the display server behind the window manager. Left out:
// menu bars, window regions, cursor confinement and display-mode changes.
// Built on SDL2 (linked privately into the platform library). Without a
// display, or with the profile's host use off, nothing here reaches SDL2 and
// windows stay records.
//
// Only platform code includes this header; it names SDL2's window type but
// includes no SDL2 header.
#pragma once

#include <string>

#include "platform/win_types.h"

struct SDL_Window;

namespace platform::host {

// True when windows are shown through SDL2. The first call starts SDL2's
// video (when the profile allows) and makes the calling thread the host
// thread: only windows of that thread get SDL2 windows, and only that
// thread's message pump reads SDL2's events.
bool DisplayAvailable();
bool IsHostThread();

// The host display's desktop; false without a display.
bool DesktopSize(LONG& width, LONG& height);

// On the host thread (else nothing): turns the waiting SDL2 events into
// window messages, then mirrors the window records into SDL2 windows.
void PumpEvents();
// On the host thread (else nothing): only the mirroring.
void MirrorWindows();

// The SDL2 window that shows a window, or null (for the graphics adapters
// that draw into it).
SDL_Window* WindowOf(HWND window);

// The host's clipboard, in Shift-JIS with carriage return and line feed.
// Characters that have no Shift-JIS form become '?'. False without a display
// (or, for reading, when the host's clipboard holds no text).
bool SetClipboardText(const std::string& shiftJis);
bool ClipboardText(std::string& shiftJis);

// Closes every SDL2 window and ends SDL2's video, so that the next use starts
// afresh.
void Stop();

}  // namespace platform::host
