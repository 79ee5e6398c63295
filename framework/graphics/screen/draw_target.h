// The draw target: the screen or a graphic that draws go to, and the camera
// that fits it.
#pragma once

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/mask_screen.h"
#include "platform/win_types.h"

struct MEMIMG;

// The memory image that software draws go to: the mask screen's while the
// mask is in effect, a graphic's own for a graphic, else the primary
// screen's; null while the graphics system is down.
extern MEMIMG* SoftwareDrawTarget;

// A screen code (-2 the back buffer, -4 the front screen, -3 and -5 further
// screen codes) or a graphic handle.
int GetDrawTarget();
// Makes the screen code or render-target graphic the target: the software
// target or the device's render target, the front screen's present timer for
// -4, the draw area (reset to the whole target only when the target's size
// changed), and a camera that looks straight at the target so that one unit
// is one pixel at depth 0. -1 while the graphics system is not up, for a
// graphic that is not a render target or anything else that is no target
// (the target and the mask setting stay as they were), else 0.
int SelectDrawTarget(int target);
// The width and height of the draw target (the screen's for a screen code);
// -1 when the target is a graphic that no longer exists, else 0.
int GetDrawTargetSize(int* width, int* height);
// The graphic's size, or the screen's for -2 and -4 (either pointer may be
// null); -1 for anything else that is not a live graphic.
int GetGraphicSize(int handle, int* width, int* height);
// When the graphic is the draw target, the back buffer becomes the target, so
// that no draw reaches the graphic once it is deleted.
void ReleaseGraphicDrawTarget(int handle);
// The graphics system's end: the back buffer becomes the target again and
// the present timer stops.
void ForgetDrawTarget();

// The main window's timer that presents the front screen every 32 ms.
constexpr unsigned int FrontScreenPresentTimerId = 32767;
constexpr unsigned int FrontScreenPresentMilliseconds = 32;
// The front screen's timer: presents while the front screen is the target.
void CALLBACK FrontScreenTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
