// Straight lines of one colour on a memory image, combined with each pixel by
// the draw settings they are given, one at a time or from a list.
#pragma once

#include <cstdint>

struct MEMIMG;
struct MemImgDrawSettings;

// One entry of a line list: six 32-bit words.
struct MemImgLine {
    int32_t x1, y1;  // the start point, drawn
    int32_t x2, y2;  // the end point, not drawn
    uint32_t color;
    int32_t blendParam;  // kept for the caller; the draw does not read it
};
static_assert(sizeof(MemImgLine) == 24, "a line entry is six 32-bit words");

// Draws the line from (x1, y1), which is drawn, towards (x2, y2), which is
// not, clipped to the draw area and to the image, with `color` (a 5-6-5 code,
// or a 32-bit pixel whose byte 3 only the plain write stores) under the
// settings' blend mode, parameter and bright colour. It steps by the bytes per
// pixel of the image's format, so a 5-6-5 image with alpha cells gets its
// colour words written and its alpha kept. Draws nothing onto a paletted or
// single-channel image.
void LineMemImg(MEMIMG* destination, int x1, int y1, int x2, int y2, uint32_t color,
                const MemImgDrawSettings& settings);

// Draws `count` lines in order, each as LineMemImg does; a count of 0 or less
// draws nothing.
void LineListMemImg(MEMIMG* destination, const MemImgLine* lines, int count, const MemImgDrawSettings& settings);
