// Until the graphics system starts, the back buffer is the target, the mask
// screen has no buffers and no draw area has been given.
#include "framework/graphics/draw_target.h"

int GetDrawTarget() { return -2; }

int GetMaskScreenUse() { return 0; }

int SetMaskScreenUse(int flag) { return -1; }

int ReapplyDrawAreaRect() { return -1; }
