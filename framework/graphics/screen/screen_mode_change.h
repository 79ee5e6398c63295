// Setting the screen up again: for a new mode, after a lost device, and what
// the window side asks about the screen in force.
#pragma once

typedef void (*GraphicsRestoreRoutine)(void);

// -1 for the width, height, depth or rate keeps the current value; a
// window-change request rebuilds the screen even when nothing else changes.
// Logs the change, ends and restarts the graphics system (every graphic
// handle goes), falling back to 640 by 480 for a 320 by 240 request, then to
// the old mode, then to 640 by 480 in 16-bit colour; ends the process when
// none can be set up. The default font comes back with the size and
// thickness it had. Before the framework is up only the values are kept.
// Returns 0.
int ApplyScreenModeChange(int width, int height, int colorBits, int windowChange, int refreshRate);
// Rebuilds the device and every device object with the current mode, keeping
// every handle; the restore routine fills the textures again. Returns 0.
int ResetScreen();
// ResetScreen, for the window side after a device loss. Returns 0.
int ReapplyScreenMode();
// The restore routine, then the models' textures and the fonts' caches.
// Returns 0.
int RunGraphicsRestore();
// Loads every graphic that came from a file from it again. Returns 0.
int RestoreGraphics();
// The drawing screen's width, height (320 by 240 in the doubled mode) and
// colour depth (each may be null). Returns 0.
int GetScreenModeInfo(int* width, int* height, int* colorBits);
// Null installs the default restore routine, RestoreGraphics. Returns 0.
int SetGraphicsRestoreCallback(GraphicsRestoreRoutine routine);
// 1 when a graphics-restore routine is registered.
int IsGraphicsRestoreCallbackSet();
