// Setting the screen up again: for a new mode, after a lost device, and what
// the window side asks about the screen in force.
#pragma once

// -1 for any argument keeps the current value. Returns 0.
int ApplyScreenModeChange(int width, int height, int colorBits, int force, int refreshRate);
// Rebuilds the screen with the current size, depth and rate. Returns 0.
int ReapplyScreenMode();
// The drawing screen's width, height and colour depth (each may be null).
int GetScreenModeInfo(int* width, int* height, int* colorBits);
// 1 when a graphics-restore routine is registered.
int IsGraphicsRestoreCallbackSet();
