// Internal to framework/graphics/font (and its tests): the software path's
// writing of one cached glyph into a memory image, its memory-cache codes
// turned into pixels by the image's depth and the font's type.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct FontRecord;
struct GlyphSlot;
struct MEMIMG;

// Text and edge colours as pixel values of the image (no alpha bits).
struct GlyphColours {
    uint32_t text;
    uint32_t edge;
};

// A colour as a string draw uses it: each channel scaled by the bright
// colour's, as a screen colour code without the alpha bits and as 0xRRGGBB.
void ScaleStringColour(int colour, uint32_t* code, uint32_t* rgb);

// Writes the glyph of `slot` with the top-left corner of its box at (x, y),
// or, turned a quarter turn clockwise, with the box's top row in the column
// left of `x` and its left column in row `y` (vertical). Only what lies
// inside `clip` (already inside the image) is written; empty codes leave
// the image alone.
void WriteGlyphPixels(const FontRecord& record, const GlyphSlot& slot, MEMIMG* target, const RECT& clip, int x,
                      int y, int vertical, GlyphColours colours);
