// A slow, literal statement of the per-pixel rules of the triangle spans
// which the rotated blit's spans share, for checking the triangle, four-corner and rotated
// draws. It is written family by family from the rule tables, with plain
// divisions in place of the lookup tables and 64-bit arithmetic, and shares no
// code with the framework's blend kernel or with the blit's reference.
#pragma once

#include <cstdint>

enum SpanSource {
    kSpanSolid,     // no source: the fill colour
    kSpanPlain,     // direct colour without alpha
    kSpanPaletted,  // one index byte a texel
    kSpanAlpha,     // direct colour with alpha
};

struct SpanDraw {
    int depth = 32;  // 16 or 32
    SpanSource source = kSpanPlain;
    int mode = 0;
    int p = 255;
    uint32_t bright = 0xFFFFFF;  // 0x00RRGGBB; the solid family ignores it (the fill is brightened once)
    bool hasMask = false;        // a blend graphic weights the pixel
    bool flag = false;           // the transparent flag
    uint32_t transparentColour = 0;
    const uint32_t* palette = nullptr;  // 256 entries: 5-6-5 codes or 32-bit pixels
};

// Whether a draw with these settings changes any pixel: the blend modes 5 to 9
// and above 11 and the parameter tests of the triangle draw.
bool SpanDrawDraws(const SpanDraw& draw);

// The destination pixel after one pixel of a draw that draws. `texel` is the
// stored source value: a palette index, a 5-6-5 word, a 16-bit alpha cell
// read little-endian (word in bits 0-15, alpha in bits 16-23), a 32-bit pixel,
// or for the solid family the fill colour. `weight` is G, the blend graphic's
// weight at the texel. Returns `dest` for a skipped pixel.
uint32_t SpanReferencePixel(const SpanDraw& draw, uint32_t texel, int weight, uint32_t dest);

// The solid family's fill colour: the colour argument brightened channel by
// channel.
uint32_t SpanReferenceFill(int depth, int colour, uint32_t bright);

// The weight G of blend-graphic byte `k` under the border parameter and range
// of the weight table.
int SpanReferenceWeight(int borderParam, int borderRange, int k);
