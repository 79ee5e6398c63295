// Writing a glyph of the memory cache into a memory image. The cache holds
// codes (1 bit a pixel for plain fonts; for the others one byte: glyph and
// edge marks, or grey levels of the glyph in the low nibble and of its edge
// in the high one); here they become pixels of the image's depth, with the
// alpha byte of an alpha image for anti-aliased fonts.
#include "framework/graphics/font/glyph_pixel_writes.h"

#include <algorithm>
#include <cstring>

#include "framework/graphics/font/font_record.h"
#include "framework/graphics/draws/graphic_draw_coordinates.h"
#include "framework/softrender/memimg.h"

namespace {

enum class Depth { k8, k16, k16Alpha, k32 };

Depth DepthOf(const MemImgBase& base) {
    if (base.paletteFlag || base.colorType == kMemImgSingle8) return Depth::k8;
    if (base.colorType == kMemImgColor565 || base.colorType == kMemImgSingle16)
        return base.alphaFlag ? Depth::k16Alpha : Depth::k16;
    return Depth::k32;
}

int BytesPerPixel(Depth depth) {
    switch (depth) {
        case Depth::k8: return 1;
        case Depth::k16: return 2;
        default: return 4;
    }
}

// Glyph code g (1 to 14) over edge code e: the mix of the two colours by
// the glyph's share of the coverage, and the coverage as alpha.
uint32_t PartialPixel(int g, int e, uint32_t text, uint32_t edge, bool sixteen) {
    const int alpha = (15 - g) * e + 16 * g;
    const int share = g * 4096 / alpha;
    auto mix = [&](int shift, int width) {
        const int mask = (1 << width) - 1;
        const int t = static_cast<int>(text >> shift) & mask;
        const int d = static_cast<int>(edge >> shift) & mask;
        return static_cast<uint32_t>(d + (t - d) * share / 256) << shift;
    };
    if (sixteen) return static_cast<uint32_t>(alpha) << 16 | mix(11, 5) | mix(5, 6) | mix(0, 5);
    return static_cast<uint32_t>(alpha) << 24 | mix(16, 8) | mix(8, 8) | mix(0, 8);
}

// The pixel value of a code, or false for a code that leaves the image alone.
bool PixelOfCode(int fontType, int code, Depth depth, const GlyphColours& colours, uint32_t* value) {
    const uint32_t text = colours.text, edge = colours.edge;
    const bool sixteen = depth == Depth::k16 || depth == Depth::k16Alpha;
    if (code == 0) return false;
    switch (fontType) {
        case 0:
            *value = text;
            return true;
        case 1:
            *value = code == 1 ? text : (depth == Depth::k32 ? edge & 0xFFFFFF : edge);
            return true;
        case 2:
            *value = sixteen ? static_cast<uint32_t>(code) << 20 | (text & 0xFFFF)
                             : static_cast<uint32_t>(code) << 28 | text;
            return true;
        default: {
            const int g = code & 0x0F, e = code >> 4;
            if (g == 15) {
                *value = sixteen ? 0xFFu << 16 | (text & 0xFFFF) : 0xFF000000u | text;
            } else if (g == 0) {
                *value = sixteen ? static_cast<uint32_t>(e * 16) << 16 | (edge & 0xFFFF)
                                 : static_cast<uint32_t>(e * 16) << 24 | edge;
            } else {
                *value = PartialPixel(g, e, text, edge, sixteen);
            }
            return true;
        }
    }
}

}  // namespace

void WriteGlyphPixels(const FontRecord& record, const GlyphSlot& slot, MEMIMG* target, const RECT& clip, int x,
                      int y, int vertical, GlyphColours colours) {
    const int width = slot.width, height = slot.height;
    // The rectangle the glyph covers in the image.
    RECT area = vertical ? RECT{CoordinateSum(x, -height), y, x, CoordinateSum(y, width)}
                         : RECT{x, y, CoordinateSum(x, width), CoordinateSum(y, height)};
    area.left = std::max(area.left, clip.left);
    area.top = std::max(area.top, clip.top);
    area.right = std::min(area.right, clip.right);
    area.bottom = std::min(area.bottom, clip.bottom);
    if (area.left >= area.right || area.top >= area.bottom) return;

    const MemImgBase& base = *target->base;
    const Depth depth = DepthOf(base);
    const int bytes = BytesPerPixel(depth);
    // The cell's first row of codes; cells start one pixel in.
    const uint8_t* cell =
        record.cacheMemory + static_cast<size_t>(slot.cellNumber * record.cellSize + 1) * record.cachePitch;
    const bool bits = record.cacheBitsPerPixel == 1;
    for (int dy = area.top; dy < area.bottom; ++dy) {
        uint8_t* row = target->pixels + static_cast<ptrdiff_t>(dy) * base.pitch;
        for (int dx = area.left; dx < area.right; ++dx) {
            // Horizontal: source (column, row) = (dx - x, dy - y). Vertical:
            // source row r lands in column x - 1 - r, source column c in
            // row y + c.
            const int sx = vertical ? dy - y : dx - x;
            const int sy = vertical ? x - 1 - dx : dy - y;
            const uint8_t* codes = cell + static_cast<size_t>(sy) * record.cachePitch;
            const int code = bits ? (codes[(1 + sx) / 8] >> (7 - (1 + sx) % 8)) & 1 : codes[1 + sx];
            uint32_t value = 0;
            if (!PixelOfCode(record.fontType, code, depth, colours, &value)) continue;
            uint8_t* pixel = row + static_cast<ptrdiff_t>(dx) * bytes;
            switch (bytes) {
                case 1: *pixel = static_cast<uint8_t>(value); break;
                case 2: {
                    const uint16_t half = static_cast<uint16_t>(value);
                    std::memcpy(pixel, &half, 2);
                    break;
                }
                default: std::memcpy(pixel, &value, 4); break;
            }
        }
    }
}
