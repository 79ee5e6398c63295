// The draw target, the mask screen switch and the draw area as given.
#pragma once

// A screen code (-2 the back buffer, -4 the front screen) or a graphic handle.
int GetDrawTarget();
int GetMaskScreenUse();
// -1 while the mask screen has no buffers, else 0.
int SetMaskScreenUse(int flag);
// Sets the draw area again from the rectangle last given to SetDrawAreaRect,
// so that it is clipped anew.
int ReapplyDrawAreaRect();
