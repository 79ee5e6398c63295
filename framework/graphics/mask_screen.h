// The mask screen: drawing through a screen-sized mask.
#pragma once

// 1 while the caller wants drawing to go through the mask screen.
extern int MaskScreenUseFlag;
// The use flag while the mask screen exists: what every draw tests.
extern int MaskScreenEffectiveFlag;

int GetMaskScreenUse();
// -1 while the mask screen has no buffers, else 0.
int SetMaskScreenUse(int flag);
