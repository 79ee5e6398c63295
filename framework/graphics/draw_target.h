// The draw target: the screen or a graphic that draws go to.
#pragma once

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/mask_screen.h"

struct MEMIMG;

// The memory image that software draws go to: the primary screen's for the
// screen codes, a graphic's own for a graphic; null while the graphics system
// is down.
extern MEMIMG* SoftwareDrawTarget;

// A screen code (-2 the back buffer, -4 the front screen) or a graphic handle.
int GetDrawTarget();
// -2 selects the back buffer, -4 the front screen (which also starts the main
// window's present timer), a graphic handle that graphic when it can be drawn
// into; the draw area becomes the whole target. -1 while the graphics system
// is not up or for a target that does not exist, else 0.
int SelectDrawTarget(int target);
// The width and height of the draw target (the screen's for a screen code);
// -1 when the target is a graphic that no longer exists, else 0.
int GetDrawTargetSize(int* width, int* height);
// When the graphic is the draw target, the back buffer becomes the target, so
// that no draw reaches the graphic once it is deleted.
void ReleaseGraphicDrawTarget(int handle);
// The graphics system's end: the back buffer becomes the target again and
// the present timer stops.
void ForgetDrawTarget();

// The main window's timer that presents the front screen every 32 ms.
constexpr unsigned int FrontScreenPresentTimerId = 32767;
