// Window mode and full screen, the window's style, size and position, the
// client area on the screen, the scale rates, the desktop mode and the title.
#pragma once

#include "platform/win_types.h"

// 1 window mode, 0 full screen. Before start-up only chooses the mode that
// start-up will use; afterwards restyles the window, sets the screen up again
// and waits for the display change, at most about 2 s. Returns 0.
int ChangeWindowMode(int flag);
int SetWindowModeFlag(int flag);
int UpdateWindowStyleForMode();
// Fits the window to the scaled screen size (or the requested size).
int ApplyWindowSizeAndPosition();
// position: WM_MOVE's lParam word, x in the low and y in the high 16 bits.
int OnMainWindowMove(LPARAM position);
// The scale rates of window mode (1.0 for a rate never set, and for both in
// full screen); returns the x rate. Either output may be null.
double GetWindowScaleRates(double* rateX, double* rateY);
int GetDesktopMode(int* width, int* height, int* colorBits);
// Up to 255 bytes are kept, cut without splitting a two-byte character.
void SetMainWindowTitle(const char* text);
// Brings the window to the foreground even when another program holds it;
// with topmost 1 also makes the main window top-most. The result of the last
// system call made (nonzero on success).
int ForceForegroundWindow(HWND window, int topmost);
