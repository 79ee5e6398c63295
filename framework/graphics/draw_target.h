// The draw target, the mask screen switch and the draw area as given.
#pragma once

// A screen code (-2 the back buffer, -4 the front screen) or a graphic handle.
int GetDrawTarget();
// -2 selects the back buffer, -4 the front screen (which also starts the main
// window's present timer). -1 while the graphics system is not up or for a
// target that does not exist, else 0.
int SelectDrawTarget(int target);
int GetMaskScreenUse();
// -1 while the mask screen has no buffers, else 0.
int SetMaskScreenUse(int flag);
// Keeps the rectangle as given and makes it the draw area, its corners
// ordered and clipped to the draw target's size. Returns 0.
int SetDrawAreaRect(int left, int top, int right, int bottom);
// Sets the draw area again from the rectangle last given to SetDrawAreaRect,
// so that it is clipped anew.
int ReapplyDrawAreaRect();
// The graphics system's end: the back buffer becomes the target again and
// the present timer stops.
void ForgetDrawTarget();

// The main window's timer that presents the front screen every 32 ms.
constexpr unsigned int FrontScreenPresentTimerId = 32767;
