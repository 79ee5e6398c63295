// Internal to framework/window (and its tests): nothing outside the folder includes it.
// The longer handlings of the window procedure, each in its own file.
#pragma once

#include "platform/user/user.h"

// WM_ACTIVATE, and WM_ACTIVATEAPP with wParam 0.
void HandleActivationChange(HWND window, WPARAM wParam);
// WM_DISPLAYCHANGE: wParam the new colour depth, lParam width and height.
void HandleDisplayChange(HWND window, WPARAM wParam, LPARAM lParam);
// WM_PAINT; the caller ends with the default handling.
void HandlePaint(HWND window);
// WM_SIZING: keeps the screen's aspect ratio (or the size limit) while the
// user drags an edge of `proposed`, the outer rectangle.
void HandleSizing(HWND window, WPARAM edge, RECT* proposed);
