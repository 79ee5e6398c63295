// The drawing screen's size and colour depth as requested, and the mode.
#pragma once

// What the application asked for; 0 for a value it never set.
struct ScreenModeRequest {
    int width;
    int height;
    int colorBits;
    int refreshRate;
};
extern ScreenModeRequest RequestedScreenMode;

// The requested screen colour depth; 16 where none was set.
int GetScreenColorBitDepth();
// The drawing screen's width and height (either pointer may be null); 640 and
// 480 when no screen size has been set. Returns 0.
int GetMainScreenSize(int* width, int* height);
// 1 when the window-mode flag is 0, else 0.
int IsFullScreenMode();
