// Starting and ending the graphics system: the screen (its display mode in
// full screen and the primary screen memory image), the draw settings, the
// software renderer's tables and the font system.
#pragma once

#include "framework/softrender/memimg.h"

// 1 when only the software path may be used; start-up reads it too (a
// 320 by 240 full-screen request stays full screen only while it is clear).
extern int SoftwareRenderOnlyFlag;
// 1 while the graphics system is up.
extern int GraphicsSystemUp;
// The memory image of the drawing screen on the software path.
extern MEMIMG PrimaryScreenMemImg;

// Stores the flag's inverse as the software-only flag; -1 without effect once
// the framework has started, else 0.
int SetUseHardwareAcceleration(int flag);
// 0 when up (also when it already was); -1 when the screen cannot be set up,
// with everything done on the way undone.
int InitGraphicsSystem();
// Ends the font system and, when up, frees the screen and gives the display
// its desktop mode back. Returns 0.
int TermGraphicsSystem();
