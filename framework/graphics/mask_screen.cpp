// Stand-in until the mask screen is built.
// No mask screen can be made yet, so it never has buffers: the use flag keeps
// what the settings reset gives it and masking is never in effect.
#include "framework/graphics/mask_screen.h"

int MaskScreenUseFlag = 0;
int MaskScreenEffectiveFlag = 0;

int GetMaskScreenUse() { return MaskScreenUseFlag; }

int SetMaskScreenUse(int flag) { return -1; }
