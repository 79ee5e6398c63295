// The mask screen: drawing through a screen-sized mask.
#pragma once

#include "platform/win_types.h"

struct MEMIMG;

// 1 while the caller wants drawing to go through the mask screen.
extern int MaskScreenUseFlag;
// The use flag while the mask screen exists: what every draw tests.
extern int MaskScreenEffectiveFlag;

int GetMaskScreenUse();
// -1 while the mask screen has no buffers, else 0.
int SetMaskScreenUse(int flag);

// Around each draw while the mask is in effect: before it with the top-left
// corner of the rectangle it may touch, after it with the rectangle.
int BeginMaskedDraw(int x, int y);
int EndMaskedDraw(const RECT* rect);
// The mask screen's memory image (software path), or null.
MEMIMG* GetMaskScreenMemImg();
// The graphics system's end: the mask screen and every mask go.
int TerminateMaskScreen();
int DeleteAllMasks();
// Around a device rebuild: the device buffers are let go, then made again.
int ReleaseMaskScreenBuffers();
int RestoreMaskScreen();
