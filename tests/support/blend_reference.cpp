// The blend rules, one statement at a time, in the order they are told: the
// modes that draw nothing, the skipped pixels, the active weights, then each
// mode with its special cases before its general formula. Channels are 64-bit
// integers; divisions by 255 and 63 are written out, floors by powers of 256 as
// divisions of non-negative numbers.
#include "tests/support/blend_reference.h"

namespace {

enum { kRed = 0, kGreen = 1, kBlue = 2 };

struct Pixel {
    int64_t ch[3];  // red, green, blue
};

struct Layout {
    bool is16;
    int width[3];  // bits of red, green, blue
    int64_t max[3];
};

Layout LayoutOf(int depth) {
    if (depth == 16) return {true, {5, 6, 5}, {31, 63, 31}};
    return {false, {8, 8, 8}, {255, 255, 255}};
}

Pixel Split(const Layout& layout, uint32_t value) {
    if (layout.is16) return {{(value >> 11) & 31, (value >> 5) & 63, value & 31}};
    return {{(value >> 16) & 255, (value >> 8) & 255, value & 255}};
}

// A pixel from channels; a 32-bit destination keeps its byte 3.
uint32_t Join(const Layout& layout, const Pixel& px, uint32_t keepFrom) {
    if (layout.is16)
        return static_cast<uint32_t>((px.ch[kRed] << 11) | (px.ch[kGreen] << 5) | px.ch[kBlue]);
    return (keepFrom & 0xFF000000u) |
           static_cast<uint32_t>((px.ch[kRed] << 16) | (px.ch[kGreen] << 8) | px.ch[kBlue]);
}

int64_t FloorDivide(int64_t numerator, int64_t denominator) {
    int64_t q = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) --q;
    return q;
}

// The product table: floor(x * y / 255) of two non-negative values.
int64_t ProductTable(int64_t x, int64_t y) { return x * y / 255; }

// The difference table: d * p / 255 rounded toward zero.
int64_t DifferenceTable(int64_t p, int64_t d) {
    const int64_t magnitude = (d < 0 ? -d : d) * p / 255;
    return d < 0 ? -magnitude : magnitude;
}

int64_t Power256(int n) {
    int64_t result = 1;
    for (int i = 0; i < n; ++i) result *= 256;
    return result;
}

// The packed combinations, written as the formulas read.
uint32_t PackedAdd32(uint32_t d, uint32_t t) {
    const uint32_t sum = (d & 0xFEFEFFu) + (t & 0xFEFEFFu);
    const uint32_t c = sum & 0x1010100u;
    return (c - (c >> 8)) | ((d | t) & 0x10100u) | sum;
}
uint32_t PackedSub32(uint32_t d, uint32_t t) {
    const uint32_t x = (d | 0x1010100u) - (t & 0xFEFEFEFFu);
    const uint32_t m = x & 0x1010100u;
    return x & (m - (m >> 8));
}
uint32_t PackedAdd16(uint32_t d, uint32_t t) {
    const uint32_t sum = (d & 0xF7DEF7DFu) + (t & 0xF7DEF7DFu);
    const uint32_t c = sum & 0x8210820u;
    return ((c - (c >> 5)) | ((d | t) & 0x820u) | sum) & 0xFFFFu;
}
uint32_t PackedSub16(uint32_t d, uint32_t t) {
    const uint32_t x = (d | 0x8210820u) - (t & 0xF7DEF7DFu);
    const uint32_t m = x & 0x8210820u;
    return (x & (m - (m >> 5))) & 0xFFFFu;
}

}  // namespace

uint32_t ReferenceBlend(const ReferenceDraw& draw, uint32_t source, const uint32_t* palette,
                        uint32_t dest) {
    const Layout layout = LayoutOf(draw.depth);
    int mode = draw.mode;
    int64_t p = draw.p;

    // Modes 5 to 9, and any mode above 11, draw nothing.
    if (mode < 0 || (mode >= 5 && mode <= 9) || mode > 11) return dest;
    // Mode 0 is exactly mode 1 with p = 255, whatever p holds.
    if (mode == 0) {
        mode = 1;
        p = 255;
    }

    const bool plainOrPaletted = draw.source != kReferenceAlpha;
    uint32_t colour = source;
    int64_t a = 255;
    if (draw.source == kReferencePaletted) colour = palette[source & 0xFF];
    if (draw.source == kReferenceAlpha) {
        colour = layout.is16 ? (source & 0xFFFF) : source;
        a = layout.is16 ? (source >> 16) & 0xFF : source >> 24;
    }

    // The transparency flag skips the transparent colour (the pixel value or
    // the palette index, against the whole transparent colour) and, in modes 0
    // to 3, clear alpha pixels.
    if (draw.transparencyFlag) {
        if (plainOrPaletted && source == draw.transparentColour) return dest;
        if (!plainOrPaletted && a == 0 && mode >= 1 && mode <= 3) return dest;
    }

    const int64_t bright[3] = {draw.brightRed, draw.brightGreen, draw.brightBlue};
    const bool white = bright[kRed] == 255 && bright[kGreen] == 255 && bright[kBlue] == 255;
    auto brighten = [&](int c, int64_t value) { return white ? value : ProductTable(bright[c], value); };

    // Active weights.
    const bool maskActive = draw.hasMask;
    const bool alphaActive = !plainOrPaletted && !(a == 255 && draw.transparencyFlag);
    bool paramActive = mode == 1 || mode == 2 || mode == 3 || mode == 10 || mode == 11;
    if (mode == 1 && p == 255) paramActive = false;
    int n = 0;
    int64_t product = 1;
    if (maskActive) ++n, product *= draw.maskWeight;
    if (alphaActive) ++n, product *= a;
    if (paramActive) ++n, product *= p;
    const int64_t denominator = Power256(n);
    const bool paramOnly = paramActive && n == 1;

    const Pixel s = Split(layout, colour);
    const Pixel d = Split(layout, dest);
    Pixel out = d;

    if (mode == 1) {
        if (p == 0) return dest;
        if (p == 255 && white && !draw.hasMask) {
            if (plainOrPaletted) return colour;
            if (draw.transparencyFlag && a == 255) return colour;
            if (!draw.transparencyFlag && draw.family.copyIgnoresAlpha) return colour;
        }
        const bool speedCase = plainOrPaletted && !draw.hasMask && white;
        if (!layout.is16 && speedCase && p == 128 && draw.family.halfBlend)
            return ((colour >> 1) & 0x7F7F7F) + ((dest >> 1) & 0x7F7F7F);
        if (layout.is16 && paramOnly && speedCase && p == 128 && draw.family.halfBlend)
            return (((colour >> 1) & 0x7BEF7BEF) + ((dest >> 1) & 0x7BEF7BEF)) & 0xFFFF;
        for (int c = 0; c < 3; ++c) {
            const int64_t target = brighten(c, s.ch[c]);
            if (n == 0)
                out.ch[c] = target;
            else if (layout.is16 && paramOnly && speedCase && draw.family.mixTable)
                out.ch[c] = ((p / 4) * s.ch[c] + (63 - p / 4) * d.ch[c]) / 63;
            else if (layout.is16 && paramOnly)
                out.ch[c] = d.ch[c] + DifferenceTable(p, target - d.ch[c]);
            else
                out.ch[c] = FloorDivide(d.ch[c] * denominator + (target - d.ch[c]) * product, denominator);
        }
        return Join(layout, out, dest);
    }

    if (mode == 10 || mode == 11) {
        for (int c = 0; c < 3; ++c) {
            int64_t target;
            if (mode == 10) {
                target = brighten(c, layout.max[c] - s.ch[c]);
            } else {
                const int64_t sourceChannel = brighten(c, s.ch[c]);
                target = layout.is16 ? (d.ch[c] * sourceChannel) >> layout.width[c]
                                     : FloorDivide(d.ch[c] * sourceChannel, 256);
            }
            if (layout.is16 && paramOnly)
                out.ch[c] = d.ch[c] + DifferenceTable(p, target - d.ch[c]);
            else
                out.ch[c] = FloorDivide(d.ch[c] * denominator + (target - d.ch[c]) * product, denominator);
        }
        if (mode == 11 && layout.is16 && draw.family.fineGreen && alphaActive && !draw.hasMask && white) {
            const int64_t dg = d.ch[kGreen];
            const int64_t fineProduct = (s.ch[kGreen] * dg) >> 1;
            out.ch[kGreen] = FloorDivide((dg << 21) + (fineProduct - (dg << 5)) * a * p, int64_t{1} << 21);
        }
        return Join(layout, out, dest);
    }

    if (mode == 2 || mode == 3) {
        if (p == 0 && (mode == 2 || draw.source != kReferencePaletted)) return dest;
        const bool fullCase = mode == 2 ? draw.family.fullAdd : draw.family.fullSubtract;
        if (!layout.is16 && p == 255 && white && !draw.hasMask && plainOrPaletted && fullCase) {
            if (draw.mmx) {
                uint32_t result = 0;
                for (int byte = 0; byte < 4; ++byte) {
                    const int64_t x = (dest >> (8 * byte)) & 0xFF;
                    const int64_t y = (colour >> (8 * byte)) & 0xFF;
                    int64_t v = mode == 2 ? x + y : x - y;
                    if (v > 255) v = 255;
                    if (v < 0) v = 0;
                    result |= static_cast<uint32_t>(v) << (8 * byte);
                }
                return result;
            }
            if (mode == 2) {
                const uint32_t sum = (dest & 0xFEFEFF) + (colour & 0xFEFEFF);
                const uint32_t c = sum & 0x1010100;
                return (c - (c >> 8)) | sum;
            }
            // Without the processor's byte arithmetic the subtract is the general one.
        }
        Pixel contribution;
        for (int c = 0; c < 3; ++c) {
            if (!layout.is16) {
                const int64_t x = brighten(c, s.ch[c]);
                contribution.ch[c] = paramOnly ? ProductTable(p, x) : FloorDivide(x * product, denominator);
            } else {
                // The mask weight and the alpha, where active, scale the source
                // channel; then the bright colour and the parameter as lookups.
                int k = 0;
                int64_t weight = 1;
                if (maskActive) ++k, weight *= draw.maskWeight;
                if (alphaActive) ++k, weight *= a;
                int64_t v;
                if (draw.family.brightBeforeMask && maskActive)
                    v = FloorDivide(brighten(c, s.ch[c]) * weight, Power256(k));
                else
                    v = brighten(c, FloorDivide(s.ch[c] * weight, Power256(k)));
                contribution.ch[c] = ProductTable(p, v);
            }
        }
        const uint32_t t = Join(layout, contribution, 0);
        if (layout.is16) return mode == 2 ? PackedAdd16(dest, t) : PackedSub16(dest, t);
        return mode == 2 ? PackedAdd32(dest, t) : PackedSub32(dest, t);
    }

    // Mode 4: multiply by the source; p takes no part.
    for (int c = 0; c < 3; ++c) {
        const int64_t x = brighten(c, s.ch[c]);
        if (layout.is16)
            out.ch[c] = (d.ch[c] * x * product) >> (layout.width[c] + 8 * n);
        else
            out.ch[c] = FloorDivide(d.ch[c] * x * product, 256 * denominator);
    }
    return Join(layout, out, dest);
}

uint32_t ReferenceSatAdd32(uint32_t d, uint32_t a) {
    const int db = d & 0xFF, dg = (d >> 8) & 0xFF, dr = (d >> 16) & 0xFF;
    const int ab = a & 0xFF, ag = (a >> 8) & 0xFF, ar = (a >> 16) & 0xFF;
    const bool blueOverflow = db + ab >= 256;
    const int blue = blueOverflow ? 255 : db + ab;
    const int greenSum = (dg & 0xFE) + (ag & 0xFE);
    const bool greenOverflow = greenSum >= 256;
    const int green = greenOverflow ? 255 : greenSum | (((dg | ag) & 1) || blueOverflow ? 1 : 0);
    const int redSum = (dr & 0xFE) + (ar & 0xFE);
    const bool redOverflow = redSum >= 256;
    const int red = redOverflow ? 255 : redSum | (((dr | ar) & 1) || greenOverflow ? 1 : 0);
    return (redOverflow ? 0x01000000u : 0u) | static_cast<uint32_t>(red << 16 | green << 8 | blue);
}

uint32_t ReferenceSatSub32(uint32_t d, uint32_t a) {
    const int db = d & 0xFF, dg = (d >> 8) & 0xFF, dr = (d >> 16) & 0xFF;
    const int ab = a & 0xFF, ag = (a >> 8) & 0xFF, ar = (a >> 16) & 0xFF;
    const bool blueBelow = ab > db;
    const int blue = blueBelow ? 0 : db - ab;
    const bool greenBelow = (dg >> 1) < (ag >> 1);
    const int green = greenBelow ? 0 : 2 * ((dg >> 1) - (ag >> 1)) + (blueBelow ? 0 : 1);
    const bool redBelow = (dr >> 1) < (ar >> 1);
    const int red = redBelow ? 0 : 2 * ((dr >> 1) - (ar >> 1)) + (greenBelow ? 0 : 1);
    return static_cast<uint32_t>(red << 16 | green << 8 | blue);
}

uint32_t ReferenceSatAdd16(uint32_t d, uint32_t a) {
    const int db = d & 31, dg = (d >> 5) & 63, dr = (d >> 11) & 31;
    const int ab = a & 31, ag = (a >> 5) & 63, ar = (a >> 11) & 31;
    const bool blueOverflow = db + ab > 31;
    const int blue = blueOverflow ? 31 : db + ab;
    const int greenUpper = (dg >> 1) + (ag >> 1);
    const bool greenOverflow = greenUpper > 31;
    const int greenLow = ((dg | ag) & 1) | (blueOverflow ? 1 : 0);
    const int green = (greenOverflow ? 62 : greenUpper << 1) | greenLow;
    const int redUpper = (dr >> 1) + (ar >> 1);
    const int red = redUpper > 15 ? 31 : (redUpper << 1) | ((dr | ar) & 1) | (greenOverflow ? 1 : 0);
    return static_cast<uint32_t>(red << 11 | green << 5 | blue);
}

uint32_t ReferenceSatSub16(uint32_t d, uint32_t a) {
    const int db = d & 31, dg = (d >> 5) & 63, dr = (d >> 11) & 31;
    const int ab = a & 31, ag = (a >> 5) & 63, ar = (a >> 11) & 31;
    const int blue = db - ab < 0 ? 0 : db - ab;
    const int greenValue = 2 * ((dg >> 1) - (ag >> 1));
    const bool greenBelow = greenValue < 0;
    const int green = greenBelow ? 0 : greenValue;
    const int redValue = (dr | 1) - (ar & 30) - (greenBelow ? 1 : 0);
    const int red = redValue < 0 ? 0 : redValue;
    return static_cast<uint32_t>(red << 11 | green << 5 | blue);
}
