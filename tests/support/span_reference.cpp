// The spans' rule tables, one family at a time. Channels are 64-bit integers
// indexed blue, green, red; Mul and SMul are written out as divisions.
#include "tests/support/span_reference.h"

#include <algorithm>

#include "tests/support/blend_reference.h"

namespace {

using I = int64_t;

struct Rgb {
    I c[3];  // blue, green, red
};

// Mul(x, y): floor(x * y / 255) of non-negative values.
I Mul(I x, I y) { return x * y / 255; }
// SMul(d, p): d * p / 255 rounded toward zero.
I SMul(I d, I p) { return d * p / 255; }
// x >> k of a non-negative value: the floor of x / 2^k.
I Shr(I x, int k) { return x >> k; }

Rgb Split32(uint32_t x) { return {{x & 255, (x >> 8) & 255, (x >> 16) & 255}}; }
uint32_t Join32(const Rgb& v, uint32_t fourthFrom) {
    return (fourthFrom & 0xFF000000u) |
           static_cast<uint32_t>(v.c[2] << 16 | v.c[1] << 8 | v.c[0]);
}
Rgb Split16(uint32_t x) { return {{x & 31, (x >> 5) & 63, (x >> 11) & 31}}; }
uint32_t Join16(const Rgb& v) { return static_cast<uint32_t>(v.c[2] << 11 | v.c[1] << 5 | v.c[0]); }

constexpr int kWidth16[3] = {5, 6, 5};
constexpr I kMax16[3] = {31, 63, 31};

Rgb BrightOf(uint32_t bright) { return Split32(bright); }
bool IsWhite(uint32_t bright) { return (bright & 0xFFFFFF) == 0xFFFFFF; }

// (D * 2^k + (T - D) * W) >> k for each channel.
Rgb Toward(const Rgb& d, const Rgb& t, I w, int k) {
    Rgb out;
    for (int i = 0; i < 3; ++i) out.c[i] = Shr((d.c[i] << k) + (t.c[i] - d.c[i]) * w, k);
    return out;
}

// Paletted source, 32-bit palette.
uint32_t Paletted32(const SpanDraw& s, int mode, uint32_t index, I g, uint32_t dest) {
    if (s.flag && index == s.transparentColour) return dest;
    const uint32_t entry = s.palette[index & 0xFF];
    const Rgb P = Split32(entry);
    const Rgb D = Split32(dest);
    const Rgb Br = BrightOf(s.bright);
    const bool white = IsWhite(s.bright);
    Rgb X;
    for (int i = 0; i < 3; ++i) X.c[i] = white ? P.c[i] : Mul(Br.c[i], P.c[i]);
    const I p = s.p;
    switch (mode) {
    case 0:
        if (!s.hasMask) return white ? entry : Join32(X, dest);
        return Join32(Toward(D, X, g, 8), dest);
    case 1:
        return Join32(s.hasMask ? Toward(D, X, g * p, 16) : Toward(D, X, p, 8), dest);
    case 2:
    case 3: {
        Rgb A;
        for (int i = 0; i < 3; ++i) A.c[i] = s.hasMask ? Shr(X.c[i] * g * p, 16) : Mul(p, X.c[i]);
        const uint32_t a = Join32(A, 0);
        return mode == 2 ? ReferenceSatAdd32(dest, a) : ReferenceSatSub32(dest, a);
    }
    case 4: {
        Rgb out;
        for (int i = 0; i < 3; ++i) out.c[i] = s.hasMask ? Shr(X.c[i] * g * D.c[i], 16) : Shr(X.c[i] * D.c[i], 8);
        return Join32(out, dest);
    }
    case 10: {
        Rgb inv;
        for (int i = 0; i < 3; ++i) inv.c[i] = white ? 255 - P.c[i] : Mul(Br.c[i], 255 - P.c[i]);
        return Join32(s.hasMask ? Toward(D, inv, g * p, 16) : Toward(D, inv, p, 8), dest);
    }
    default: {  // 11
        Rgb M;
        for (int i = 0; i < 3; ++i) M.c[i] = Shr(X.c[i] * D.c[i], 8);
        return Join32(s.hasMask ? Toward(D, M, g * p, 16) : Toward(D, M, p, 8), dest);
    }
    }
}

// 32-bit direct colour (modes 0 to 3, then 4, 10 and 11).
uint32_t Direct32(const SpanDraw& s, int mode, uint32_t S, I g, uint32_t dest) {
    const bool alphaSource = s.source == kSpanAlpha;
    const I a = S >> 24;
    if (s.flag) {
        if (!alphaSource && S == s.transparentColour) return dest;
        if (alphaSource && a == 0 && mode <= 3) return dest;
    }
    // The alpha weighs the pixel, except a = 255 under the flag.
    const bool useAlpha = alphaSource && !(s.flag && a == 255);
    const Rgb Sc = Split32(S);
    const Rgb D = Split32(dest);
    const Rgb Br = BrightOf(s.bright);
    const bool white = IsWhite(s.bright);
    Rgb X;
    for (int i = 0; i < 3; ++i) X.c[i] = white ? Sc.c[i] : Mul(Br.c[i], Sc.c[i]);
    const I p = s.p;
    const bool mask = s.hasMask;
    switch (mode) {
    case 0:
        if (!mask && !useAlpha) return white ? S : Join32(X, dest);
        if (!mask) return Join32(Toward(D, X, a, 8), dest);
        return Join32(useAlpha ? Toward(D, X, g * a, 16) : Toward(D, X, g, 8), dest);
    case 1:
        if (!mask) return Join32(useAlpha ? Toward(D, X, a * p, 16) : Toward(D, X, p, 8), dest);
        return Join32(useAlpha ? Toward(D, X, g * a * p, 24) : Toward(D, X, g * p, 16), dest);
    case 2:
    case 3: {
        Rgb T;
        for (int i = 0; i < 3; ++i) {
            if (!mask) T.c[i] = useAlpha ? Shr(X.c[i] * a * p, 16) : Mul(p, X.c[i]);
            else T.c[i] = useAlpha ? Shr(X.c[i] * g * a * p, 24) : Shr(X.c[i] * g * p, 16);
        }
        const uint32_t t = Join32(T, 0);
        return mode == 2 ? ReferenceSatAdd32(dest, t) : ReferenceSatSub32(dest, t);
    }
    default: {
        // The weight table of modes 4, 10 and 11.
        I W = 1;
        int k = 0;
        if (!mask && useAlpha) W = a, k = 8;
        if (mask && !useAlpha) W = g, k = 8;
        if (mask && useAlpha) W = g * a, k = 16;
        Rgb out;
        for (int i = 0; i < 3; ++i) {
            if (mode == 4) {
                out.c[i] = Shr(X.c[i] * D.c[i] * W, 8 + k);
            } else {
                const I target = mode == 11 ? Shr(X.c[i] * D.c[i], 8)
                                            : (white ? 255 - Sc.c[i] : Mul(Br.c[i], 255 - Sc.c[i]));
                out.c[i] = Shr((D.c[i] << (k + 8)) + (target - D.c[i]) * W * p, k + 8);
            }
        }
        return Join32(out, dest);
    }
    }
}

// Paletted source, 16-bit palette.
uint32_t Paletted16(const SpanDraw& s, int mode, uint32_t index, I g, uint32_t dest) {
    if (s.flag && index == s.transparentColour) return dest;
    uint32_t colour = s.palette[index & 0xFF] & 0xFFFF;
    if (mode == 10) colour = ~colour & 0xFFFF;
    const Rgb S = Split16(colour);
    const Rgb D = Split16(dest);
    const Rgb Br = BrightOf(s.bright);
    Rgb Sp;
    for (int i = 0; i < 3; ++i) Sp.c[i] = IsWhite(s.bright) ? S.c[i] : Mul(Br.c[i], S.c[i]);
    const I p = s.p;
    Rgb out;
    for (int i = 0; i < 3; ++i) {
        const I d = D.c[i];
        const int n = kWidth16[i];
        switch (mode) {
        case 0:
            out.c[i] = s.hasMask ? Shr(d * (256 - g) + Sp.c[i] * g, 8) : Sp.c[i];
            break;
        case 1:
        case 10:
            out.c[i] = s.hasMask ? Shr(d * 65536 + (Sp.c[i] - d) * g * p, 16) : d + SMul(Sp.c[i] - d, p);
            break;
        case 11: {
            const I M = Shr(Sp.c[i] * d, n);
            out.c[i] = s.hasMask ? Shr(d * 65536 + (M - d) * g * p, 16) : d + SMul(M - d, p);
            break;
        }
        case 2:
        case 3:
            out.c[i] = s.hasMask ? Mul(p, Shr(Sp.c[i] * g, 8)) : Mul(p, Sp.c[i]);
            break;
        default:  // 4
            out.c[i] = s.hasMask ? Shr(Sp.c[i] * d * g, n + 8) : Shr(Sp.c[i] * d, n);
            break;
        }
    }
    if (mode == 2) return ReferenceSatAdd16(dest, Join16(out));
    if (mode == 3) return ReferenceSatSub16(dest, Join16(out));
    return Join16(out);
}

// 16-bit direct colour (modes 0 to 3, then 4, 10 and 11).
uint32_t Direct16(const SpanDraw& s, int mode, uint32_t texel, I g, uint32_t dest) {
    const bool alphaSource = s.source == kSpanAlpha;
    const uint32_t word = texel & 0xFFFF;
    const I a = alphaSource ? (texel >> 16) & 0xFF : 255;
    if (s.flag) {
        if (!alphaSource && word == s.transparentColour) return dest;
        if (alphaSource && a == 0 && (mode <= 3 || mode == 10)) return dest;
    }
    const bool useAlpha = alphaSource && !(s.flag && a == 255);
    const bool mask = s.hasMask;
    const bool white = IsWhite(s.bright);
    const Rgb S = Split16(word);
    const Rgb D = Split16(dest);
    const Rgb Br = BrightOf(s.bright);
    Rgb T;  // the bright-modulated texel (S')
    for (int i = 0; i < 3; ++i) T.c[i] = white ? S.c[i] : Mul(Br.c[i], S.c[i]);
    const I p = s.p;
    Rgb out;
    if (mode == 0 || mode == 1) {
        for (int i = 0; i < 3; ++i) {
            const I d = D.c[i];
            if (mode == 0) {
                if (!useAlpha && !mask) out.c[i] = T.c[i];
                else if (!useAlpha) out.c[i] = Shr((d << 8) + (T.c[i] - d) * g, 8);
                else if (!mask) out.c[i] = Shr((d << 8) + (T.c[i] - d) * a, 8);
                else out.c[i] = Shr((d << 16) + (T.c[i] - d) * g * a, 16);
            } else {
                if (!useAlpha && !mask) out.c[i] = d + SMul(T.c[i] - d, p);
                else if (!useAlpha) out.c[i] = Shr((d << 16) + (T.c[i] - d) * g * p, 16);
                else if (!mask) out.c[i] = Shr((d << 16) + (T.c[i] - d) * a * p, 16);
                else out.c[i] = Shr((d << 24) + (T.c[i] - d) * g * a * p, 24);
            }
        }
        return Join16(out);
    }
    if (mode == 2 || mode == 3) {
        Rgb A;
        for (int i = 0; i < 3; ++i) {
            I x;
            if (!useAlpha && !mask) x = T.c[i];
            else if (!useAlpha) x = (T.c[i] * g) / 256;
            else if (!mask) x = white ? (S.c[i] * a) / 256 : Mul(Br.c[i], (S.c[i] * a) / 256);
            else x = (T.c[i] * g * a) / 65536;
            A.c[i] = Mul(p, x);
        }
        return mode == 2 ? ReferenceSatAdd16(dest, Join16(A)) : ReferenceSatSub16(dest, Join16(A));
    }
    // Modes 4, 10 and 11: the weight and its shift.
    bool weighted = true;
    I W = 0;
    int k = 0;
    if (!mask && !useAlpha) weighted = false;
    else if (!mask) W = a, k = 8;
    else if (!useAlpha) W = g, k = 8;
    else W = g * a, k = 16;
    for (int i = 0; i < 3; ++i) {
        const I d = D.c[i];
        const int w = kWidth16[i];
        if (mode == 4) {
            out.c[i] = weighted ? Shr(d * T.c[i] * W, w + k) : Shr(d * T.c[i], w);
            continue;
        }
        I target;
        if (mode == 11) {
            target = Shr(d * T.c[i], w);
        } else {
            const I inverted = kMax16[i] - S.c[i];
            target = white ? inverted : Mul(Br.c[i], inverted);
        }
        out.c[i] = weighted ? Shr((d << (k + 8)) + (target - d) * W * p, k + 8) : d + SMul(target - d, p);
    }
    if (mode == 11 && !mask && white && useAlpha) {
        // Note 2: green with five more fraction bits.
        const I mg16 = ((word & 0x7E0) * (dest & 0x7E0)) >> 11;
        const I dg = D.c[1];
        out.c[1] = Shr((dg << 21) + (mg16 - (dg << 5)) * a * p, 21) & 63;
    }
    return Join16(out);
}

// The solid family: the fill colour F.
uint32_t Solid(const SpanDraw& s, int mode, uint32_t F, uint32_t dest) {
    const I p = s.p;
    if (s.depth == 32) {
        const Rgb f = Split32(F);
        const Rgb D = Split32(dest);
        Rgb out;
        switch (mode) {
        case 0: return F;
        case 1: return Join32(Toward(D, f, p, 8), dest);
        case 2:
        case 3: {
            Rgb T;
            for (int i = 0; i < 3; ++i) T.c[i] = Mul(p, f.c[i]);
            return mode == 2 ? ReferenceSatAdd32(dest, Join32(T, 0)) : ReferenceSatSub32(dest, Join32(T, 0));
        }
        case 4:
            for (int i = 0; i < 3; ++i) out.c[i] = Shr(f.c[i] * D.c[i], 8);
            return Join32(out, dest);
        case 11:
            for (int i = 0; i < 3; ++i) out.c[i] = Shr(f.c[i] * D.c[i], 8);
            return Join32(Toward(D, out, p, 8), dest);
        default:  // 10
            for (int i = 0; i < 3; ++i) out.c[i] = 255 - f.c[i];
            return Join32(Toward(D, out, p, 8), dest);
        }
    }
    const Rgb f = Split16(F);
    const Rgb D = Split16(dest);
    Rgb out;
    for (int i = 0; i < 3; ++i) {
        const I d = D.c[i];
        const int w = kWidth16[i];
        switch (mode) {
        case 0: out.c[i] = f.c[i]; break;
        case 1: out.c[i] = d + SMul(f.c[i] - d, p); break;
        case 2:
        case 3: out.c[i] = Mul(p, f.c[i]); break;
        case 4: out.c[i] = Shr(d * f.c[i], w); break;
        case 11: out.c[i] = d + SMul(Shr(f.c[i] * d, w) - d, p); break;
        default: out.c[i] = d + SMul((kMax16[i] - f.c[i]) - d, p); break;  // 10
        }
    }
    if (mode == 2) return ReferenceSatAdd16(dest, Join16(out));
    if (mode == 3) return ReferenceSatSub16(dest, Join16(out));
    return Join16(out);
}

}  // namespace

bool SpanDrawDraws(const SpanDraw& draw) {
    const int mode = draw.mode;
    if (!(mode == 0 || mode == 1 || mode == 2 || mode == 3 || mode == 4 || mode == 10 || mode == 11)) return false;
    if ((mode == 1 || mode == 2) && draw.p == 0) return false;
    if (mode == 3 && draw.p == 0 && draw.source != kSpanPaletted) return false;
    return true;
}

uint32_t SpanReferencePixel(const SpanDraw& draw, uint32_t texel, int weight, uint32_t dest) {
    if (!SpanDrawDraws(draw)) return dest;
    // Mode 1 with p = 255 runs mode 0's kernels.
    const int mode = draw.mode == 1 && draw.p == 255 ? 0 : draw.mode;
    const I g = weight;
    if (draw.source == kSpanSolid) return Solid(draw, mode, texel, dest);
    if (draw.depth == 32) {
        if (draw.source == kSpanPaletted) return Paletted32(draw, mode, texel, g, dest);
        return Direct32(draw, mode, texel, g, dest);
    }
    if (draw.source == kSpanPaletted) return Paletted16(draw, mode, texel, g, dest);
    return Direct16(draw, mode, texel, g, dest);
}

uint32_t SpanReferenceFill(int depth, int colour, uint32_t bright) {
    const Rgb Br = BrightOf(bright);
    const uint32_t a = static_cast<uint32_t>(colour);
    if (depth == 16) {
        const Rgb A = Split16(a & 0xFFFF);
        Rgb F;
        for (int i = 0; i < 3; ++i) F.c[i] = Mul(Br.c[i], A.c[i]);
        return Join16(F);
    }
    const Rgb A = Split32(a);
    Rgb F;
    for (int i = 0; i < 3; ++i) F.c[i] = Mul(Br.c[i], A.c[i]);
    return Join32(F, a);
}

int SpanReferenceWeight(int borderParam, int borderRange, int k) {
    const int b = std::clamp(borderParam, 0, 255);
    const int g = std::clamp(borderRange, 0, 255);
    const int step = 65536 / (g + 1);
    const int offset = 256 - ((step + 256) * b) / 256;
    int weight = (k * 256) / (g + 1) + offset;
    weight = std::min(weight, 255);
    if (offset <= 0) weight = std::max(weight, 0);
    return weight;
}
