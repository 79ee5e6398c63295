// Filling a rectangle of a memory image with one colour, combined with each
// pixel by the draw settings it is given.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct MEMIMG;
struct MemImgDrawSettings;

// Fills the columns from min(left, right) up to max(left, right) and the rows
// from min(top, bottom) up to max(top, bottom) of `destination` (null `rect`:
// the whole image), clipped to the draw area and to the image, with `color`
// (a 5-6-5 code, or a 32-bit pixel whose byte 3 only the plain fill writes)
// under the settings' blend mode, parameter and bright colour. Draws nothing
// onto a destination with a palette or alpha, or of a single-channel type.
void FillBoxMemImg(MEMIMG* destination, const RECT* rect, uint32_t color, const MemImgDrawSettings& settings);
