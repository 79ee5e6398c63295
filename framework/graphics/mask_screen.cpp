// Stand-in until the mask screen is built.
// No mask screen can be made yet, so it never has buffers: the use flag keeps
// what the settings reset gives it and masking is never in effect; the hooks
// around draws and the screen's life do nothing.
#include "framework/graphics/mask_screen.h"

int MaskScreenUseFlag = 0;
int MaskScreenEffectiveFlag = 0;

int GetMaskScreenUse() { return MaskScreenUseFlag; }

int SetMaskScreenUse(int) { return -1; }

int BeginMaskedDraw(int, int) { return 0; }

int EndMaskedDraw(const RECT*) { return 0; }

MEMIMG* GetMaskScreenMemImg() { return nullptr; }

int TerminateMaskScreen() { return 0; }

int DeleteAllMasks() { return 0; }

int ReleaseMaskScreenBuffers() { return 0; }

int RestoreMaskScreen() { return 0; }
