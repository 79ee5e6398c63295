// Facts about the simulated desktop that the window system reports, in one
// place that tests can set, and a reset of the window system for tests. Only
// the platform and tests include this header; framework code never does.
//
// The defaults describe this machine honestly: the host's desktop and memory,
// a Japanese system (OEM code page 932), the frame sizes of the classic
// window look, and an SDL2 window for every top-level window when the host
// has a display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform {

enum class HostDisplayUse {
    Automatic,  // SDL2 windows when SDL2's video starts, else records only
    Off,        // records only: nothing reaches SDL2
};

// The sizes AdjustWindowRectEx and GetSystemMetrics work with, in pixels.
struct FrameMetrics {
    int32_t caption = 19;       // SM_CYCAPTION
    int32_t smallCaption = 15;  // SM_CYSMCAPTION (tool windows)
    int32_t menuBar = 19;       // SM_CYMENU
    int32_t border = 1;         // SM_CXBORDER, SM_CYBORDER
    int32_t fixedFrame = 3;     // SM_CXDLGFRAME, SM_CYDLGFRAME
    int32_t sizingFrame = 4;    // SM_CXFRAME, SM_CYFRAME
    int32_t edge = 2;           // SM_CXEDGE, SM_CYEDGE
};

struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t frequency = 60;
};

struct UserProfile {
    HostDisplayUse host = HostDisplayUse::Automatic;
    // The desktop in pixels; 0 takes the host display's desktop, or 1920 by
    // 1080 when there is no display.
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    int32_t desktopBitsPerPixel = 32;
    FrameMetrics frame;
    // The modes that EnumDisplaySettingsA lists. Empty: the desktop's own size
    // and the usual smaller sizes, each at 16 and 32 bits per pixel.
    std::vector<DisplayMode> displayModes;
    // The mode ChangeDisplaySettingsA last switched to; a width of 0 means
    // the desktop's own mode. Platform state kept here so that a reset of the
    // profile also returns the display to the desktop.
    DisplayMode displayModeInForce{0, 0, 0, 0};
    uint32_t oemCodePage = 932;
    // Physical memory in bytes; 0 takes the host's.
    uint64_t totalPhysicalMemory = 0;
    uint64_t availablePhysicalMemory = 0;
    // Where the per-user class locks that let FindWindowA see the windows of
    // other processes live; empty takes $XDG_RUNTIME_DIR, else
    // /tmp/kiln-<uid>. Tests point it at a folder of their own so that test
    // programs running side by side do not see each other's windows.
    std::string classLockDirectory;
};

// The profile in force. Change fields directly; ResetUserProfile() restores
// the defaults.
UserProfile& User();
void ResetUserProfile();

// Gives the program module an icon resource: LoadIconA(instance, id) then
// returns an icon with these pixels (0xAARRGGBB, rows top down).
void RegisterIconResource(WORD id, int32_t width, int32_t height, const uint32_t* pixels);

// Puts the window system back to its start: every window and class is gone
// (without messages), queues, timers, activation, cursor, clipboard and icon
// resources are cleared, and the host's windows and video are shut.
void ResetWindowSystem();

}  // namespace platform
