// What a software draw decides once, before its first pixel, about how each
// source pixel is combined with the destination pixel under it.
//
// A `BlendPath` holds every such decision: the depth, the kind of source, the
// blend mode, whether a blend graphic weights the pixels, whether the bright
// colour scales the source, whether the transparency flag is on, which speed
// case of the parameter applies, and the draw family's `BlendRules`. It is a
// compile-time value: `BlendPixel<path>` (pixel_operations.h) is the per-pixel
// operation of that path, and a draw turns its runtime choice into a template
// argument once with `VisitBlendPath` (blend_dispatch.h).
//
// The values that a path reads while it runs (the parameter, the bright colour,
// the table rows, the transparent colour and the palette) are gathered once per
// draw in `BlendKernelParams`.
#pragma once

#include <cstdint>

#include "framework/softrender/memimg.h"

enum class PixelDepth : uint8_t {
    k16,  // 5-6-5 words: red in bits 11-15, green 5-10, blue 0-4
    k32,  // blue, green, red bytes, then byte 3
};

enum class SourceKind : uint8_t {
    kPlain,     // pixels in the destination's encoding (also a solid colour)
    kPaletted,  // one index byte a pixel into a 256-entry palette
    kAlpha,     // 32-bit: alpha in byte 3; 16-bit: 4-byte cells, colour word then alpha byte
};

// The parameter's speed cases, decided once per draw.
enum class ParamCase : uint8_t {
    kGeneral,
    kHalf,  // mode 1 at parameter 128 by halving both pixels
    kFull,  // 32-bit add or subtract at parameter 255 on whole pixels
};

// Where the draw families part ways. The blits, the triangles, the rotated blit,
// the box and the line all combine pixels by the same rules; these switches
// name the few speed cases and orderings that only some of them have, so each
// family states its own once and every rule is still written only once.
struct BlendRules {
    // Mode 1 at parameter 128, source without alpha, no blend graphic, white
    // bright colour: both pixels halved and added (low bits differ).
    bool halfBlend;
    // 16-bit mode 1 in that same case at other parameters: the 64-level mixing
    // table instead of the difference table.
    bool mixTable;
    // Mode 0 (mode 1 at 255), white, no blend graphic, transparency flag off: an
    // alpha source is copied whole, its alpha ignored.
    bool copyIgnoresAlpha;
    // 32-bit modes 2 / 3 at parameter 255, source without alpha, no blend
    // graphic, white: whole-pixel saturating byte arithmetic with MMX, else the
    // coarse packed add (mode 2) or the general packed subtract (mode 3).
    bool fullAddPath;
    bool fullSubtractPath;
    // 16-bit modes 2 / 3 with a blend graphic: the bright colour scales the
    // source before the weights do (otherwise the weights come first).
    bool brightBeforeMask;
    // 16-bit mode 11 with the alpha weight, no blend graphic, white: green's
    // product keeps five more fraction bits through the blend.
    bool fineGreenProduct;

    constexpr bool operator==(const BlendRules&) const = default;
};

// The blit at a position.
inline constexpr BlendRules kBlitRules{
    .halfBlend = true, .mixTable = true, .copyIgnoresAlpha = true,
    .fullAddPath = true, .fullSubtractPath = true,
    .brightBeforeMask = false, .fineGreenProduct = false};

// The stretched blit: no halving or mixing table, and only the subtract has
// the whole-pixel path at parameter 255.
inline constexpr BlendRules kStretchBlitRules{
    .halfBlend = false, .mixTable = false, .copyIgnoresAlpha = true,
    .fullAddPath = false, .fullSubtractPath = true,
    .brightBeforeMask = false, .fineGreenProduct = false};

// The triangle spans, the rotated blit's spans, the box and the line (the box,
// the line and the solid triangle draw a plain source: their one colour, with
// the brightening already applied by the draw through the product table).
// Where the triangle and rotated spans part from the blit's rules:
// - no parameter speed cases: mode 1 at 128 blends through the general rule,
//   16-bit mode 1 through the difference table, modes 2 and 3 at 255 through
//   the general packed add and subtract;
// - mode 0 (and mode 1 at 255) of an alpha source with the transparency flag
//   off weighs every pixel by its alpha, 255 included; only with the flag on
//   is an alpha of 255 copied whole;
// - 16-bit modes 2 and 3 with a blend graphic brighten before the weights,
//   without one after the alpha weight;
// - 16-bit mode 11 weighted by alpha alone with a white bright colour keeps
//   five more fraction bits in green's product.
// Shared with the blit: under the flag an alpha source skips its clear pixels
// in modes 0 to 3 (the 16-bit spans may skip them in mode 10 too, which gives
// the same pixel, as their weight is 0 there); whole copies and modes 2 and 3
// write the fourth byte of a 32-bit pixel, every other rule keeps it.
inline constexpr BlendRules kSpanRules{
    .halfBlend = false, .mixTable = false, .copyIgnoresAlpha = false,
    .fullAddPath = false, .fullSubtractPath = false,
    .brightBeforeMask = true, .fineGreenProduct = true};

struct BlendPath {
    PixelDepth depth = PixelDepth::k32;
    SourceKind source = SourceKind::kPlain;
    // 0, 1, 2, 3, 4, 10 or 11. Mode 0 is also mode 1 at parameter 255.
    int mode = 0;
    bool blendGraphic = false;
    bool brighten = false;     // the bright colour is not white
    bool transparent = false;  // the transparency flag is on
    ParamCase param = ParamCase::kGeneral;
    bool mmx = false;          // kFull only: the processor's saturating byte arithmetic
    BlendRules rules = kBlitRules;

    constexpr bool operator==(const BlendPath&) const = default;
};

// A draw's settings as it reads them once per call.
struct BlendChoice {
    PixelDepth depth;
    SourceKind source;
    int mode;
    int param;              // 0 to 255
    uint32_t brightColor;   // 0x00RRGGBB; white when the low 24 bits are all set
    bool blendGraphic;
    bool transparent;
    bool cpuHasMmx;
};

constexpr bool IsWhite(uint32_t brightColor) { return (brightColor & 0x00FFFFFFu) == 0x00FFFFFFu; }

// The path of a draw under the family's rules, or false when the draw changes
// no pixel: modes 5 to 9 and outside 0 to 11, parameter 0 in modes 1 and 2, and
// parameter 0 in mode 3 for a source without palette (a paletted source still
// subtracts nothing, which moves the lowest bits).
constexpr bool ChooseBlendPath(const BlendChoice& c, const BlendRules& rules, BlendPath* path) {
    BlendPath chosen;
    chosen.depth = c.depth;
    chosen.source = c.source;
    chosen.blendGraphic = c.blendGraphic;
    chosen.brighten = !IsWhite(c.brightColor);
    chosen.transparent = c.transparent;
    chosen.rules = rules;
    const bool plainSpeedCase =
        c.source != SourceKind::kAlpha && !c.blendGraphic && !chosen.brighten;
    switch (c.mode) {
    case 0:
        chosen.mode = 0;
        break;
    case 1:
        if (c.param == 0) return false;
        chosen.mode = c.param == 255 ? 0 : 1;
        if (c.param == 128 && rules.halfBlend && plainSpeedCase) chosen.param = ParamCase::kHalf;
        break;
    case 2:
    case 3: {
        if (c.param == 0 && (c.mode == 2 || c.source != SourceKind::kPaletted)) return false;
        chosen.mode = c.mode;
        const bool fullPath = c.mode == 2 ? rules.fullAddPath : rules.fullSubtractPath;
        if (c.param == 255 && fullPath && plainSpeedCase && c.depth == PixelDepth::k32) {
            chosen.param = ParamCase::kFull;
            chosen.mmx = c.cpuHasMmx;
        }
        break;
    }
    case 4:
    case 10:
    case 11:
        chosen.mode = c.mode;
        break;
    default:
        return false;
    }
    *path = chosen;
    return true;
}

// True for exactly the paths ChooseBlendPath can give.
constexpr bool IsChosenBlendPath(const BlendPath& p) {
    if (p.mode < 0 || p.mode > 11 || (p.mode > 4 && p.mode < 10)) return false;
    const bool plainSpeedCase = p.source != SourceKind::kAlpha && !p.blendGraphic && !p.brighten;
    switch (p.param) {
    case ParamCase::kGeneral:
        return !p.mmx;
    case ParamCase::kHalf:
        return p.mode == 1 && p.rules.halfBlend && plainSpeedCase && !p.mmx;
    case ParamCase::kFull:
        return ((p.mode == 2 && p.rules.fullAddPath) || (p.mode == 3 && p.rules.fullSubtractPath)) &&
               plainSpeedCase && p.depth == PixelDepth::k32;
    }
    return false;
}

// The source kind of a memory image: paletted, with alpha, or plain.
constexpr SourceKind BlendSourceKindOf(const MemImgBase& base) {
    if (base.paletteFlag == 1) return SourceKind::kPaletted;
    if (base.alphaFlag == 1) return SourceKind::kAlpha;
    return SourceKind::kPlain;
}

// The values a path reads while it runs, set once per draw.
struct BlendKernelParams {
    uint32_t param;                 // the blend parameter p, 0 to 255
    uint32_t brightColor;           // 0x00RRGGBB
    const int32_t* mulParam;        // product row of p
    const int32_t* mulBright[3];    // product rows of the bright blue, green and red
    const int32_t* signedMulParam;  // difference row of p, at difference 0
    const uint8_t* mixBlock;        // mixing block of p / 4
    const uint8_t* graphicWeights;  // the blend-graphic weight table
    // Compared with the whole source pixel, or with a paletted source's index.
    uint32_t transparentColor;
    // Paletted sources: 256 entries of uint16_t (16-bit) or uint32_t (32-bit).
    const void* palette;
};

// Looks the table rows up for the parameter (limited to 0 to 255) and the
// bright colour.
void SetUpBlendKernelParams(BlendKernelParams* params, int blendParam, uint32_t brightColor,
                            uint32_t transparentColor, const void* palette);

// A draw's own copy of a paletted source's palette. Each draw keeps one on its
// stack, so draws on different threads never read each other's palette.
struct DrawPalette {
    alignas(16) uint8_t bytes[256 * 4];
};
// The palette as the draw reads it: the entries in use (at most 256) and,
// past them, the base's own block, so every index reads the base's palette.
// Returns the copy's bytes.
const void* CopyDrawPalette(const MemImgBase& base, DrawPalette* copy);
