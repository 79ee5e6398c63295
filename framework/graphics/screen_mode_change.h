// Setting the screen up again: for a new mode, after a lost device, and what
// the window side asks about the screen in force.
#pragma once

typedef void (*GraphicsRestoreRoutine)(void);

// -1 for any argument keeps the current value; the screen is always set up
// again (`force` asks for that, and nothing yet skips it). Ends the process when neither the new mode, nor the
// previous one, nor 640 by 480 in 16-bit colour can be set up; else 0.
int ApplyScreenModeChange(int width, int height, int colorBits, int force, int refreshRate);
// Rebuilds the screen with the current size, depth and rate. Returns 0.
int ReapplyScreenMode();
// The drawing screen's width, height and colour depth (each may be null).
int GetScreenModeInfo(int* width, int* height, int* colorBits);
// Null installs the default restore routine. Returns 0.
int SetGraphicsRestoreCallback(GraphicsRestoreRoutine routine);
// 1 when a graphics-restore routine is registered.
int IsGraphicsRestoreCallbackSet();
