// Drawing a memory image scaled into a rectangle of another, mirrored when
// the rectangle's edges come in reverse order, with the draw settings it is
// given.
#pragma once

#include "platform/win_types.h"

struct MEMIMG;
struct MemImgDrawSettings;

// Draws the whole of `source` scaled into `rect` (left, top, right, bottom;
// right and bottom exclusive) of `destination`, clipped to the draw area, by
// nearest-pixel sampling. Left greater than right mirrors the image left to
// right, top greater than bottom top to bottom. A rectangle of the source's
// size that is not mirrored is drawn by BlitMemImg. A nonzero transparency
// flag skips the source's transparent colour; `blendImage` (one byte a pixel,
// read at the source's coordinates, or null) weights each pixel. Draws
// nothing for an empty rectangle, colour types that differ, a destination
// with a palette or alpha, a blend image smaller than the source, a side of
// 32768 pixels or more, or a source shrunk 65536 times or more.
void StretchBlitMemImg(MEMIMG* destination, const MEMIMG* source, const RECT* rect, int transparencyFlag,
                       const MEMIMG* blendImage, const MemImgDrawSettings& settings);
