// The per-pixel operation of every drawing blend mode, at 16 and 32 bits.
//
// `BlendPixel<path>(params, texel, maskByte, dest)` combines one source pixel
// with the destination pixel under it as the path says (blend_path.h). Each
// draw's inner loop is an instantiation of it: the loop only moves its
// pointers, and everything the path fixes (mode, source kind, blend graphic,
// brightening, transparency, the parameter's speed case) is resolved at
// compile time, so the loop tests nothing per pixel but the transparent
// colour or the alpha and what the operation itself needs.
//
// All weights multiply: the blend parameter p, the blend graphic's weight G
// and the source alpha a, whichever are in play for the pixel. With n of them,
// product P and D = 256^n, a channel blends as floor((d * D + (s - d) * P) / D);
// a single parameter weight on 16-bit channels goes through the difference
// table (dividing by 255) instead, and every division by 255 is a product
// table lookup. The sums reach 255 * 2^24 and are taken modulo 2^32 in
// unsigned arithmetic, which gives their exact value.
#pragma once

#include <cstdint>
#include <cstring>

#include "framework/softrender/blend_path.h"
#include "framework/softrender/packed_saturating.h"

namespace blend_pixel {

struct Channels {
    uint32_t c[3];  // blue, green, red
};

template <PixelDepth kDepth>
struct Depth;

template <>
struct Depth<PixelDepth::k16> {
    static constexpr uint32_t kBytes = 2;
    static constexpr uint32_t kMax[3] = {31, 63, 31};
    static constexpr uint32_t kWidth[3] = {5, 6, 5};
    static uint32_t Load(const uint8_t* at) {
        uint16_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    static void Store(uint8_t* at, uint32_t value) {
        const uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(at, &v, sizeof v);
    }
    static constexpr Channels Split(uint32_t x) { return {{x & 31u, (x >> 5) & 63u, (x >> 11) & 31u}}; }
    static constexpr uint32_t Join(const Channels& v, uint32_t /*dest*/) {
        return (v.c[2] << 11) | (v.c[1] << 5) | v.c[0];
    }
};

template <>
struct Depth<PixelDepth::k32> {
    static constexpr uint32_t kBytes = 4;
    static constexpr uint32_t kMax[3] = {255, 255, 255};
    static constexpr uint32_t kWidth[3] = {8, 8, 8};
    static uint32_t Load(const uint8_t* at) {
        uint32_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    static void Store(uint8_t* at, uint32_t value) { std::memcpy(at, &value, sizeof value); }
    static constexpr Channels Split(uint32_t x) { return {{x & 255u, (x >> 8) & 255u, (x >> 16) & 255u}}; }
    // Channel writes keep the destination's byte 3.
    static constexpr uint32_t Join(const Channels& v, uint32_t dest) {
        return (dest & 0xFF000000u) | (v.c[2] << 16) | (v.c[1] << 8) | v.c[0];
    }
};

struct Texel {
    uint32_t pixel;  // the colour in the destination's encoding (32-bit: byte 3 included)
    uint32_t key;    // what the transparent colour is compared with: the pixel or the index
    uint32_t alpha;
};

template <PixelDepth kDepth, SourceKind kSource>
inline Texel Fetch(const BlendKernelParams& k, const uint8_t* texel) {
    using Px = Depth<kDepth>;
    if constexpr (kSource == SourceKind::kPaletted) {
        const uint32_t index = texel[0];
        const uint8_t* entry = static_cast<const uint8_t*>(k.palette) + index * Px::kBytes;
        return {Px::Load(entry), index, 255};
    } else {
        const uint32_t pixel = Px::Load(texel);
        if constexpr (kSource == SourceKind::kAlpha)
            return {pixel, pixel, kDepth == PixelDepth::k16 ? uint32_t{texel[2]} : pixel >> 24};
        return {pixel, pixel, 255};
    }
}

// The weights in play and the shift that divides by 256 per weight.
struct Weight {
    uint32_t product;
    uint32_t shift;
};

template <bool kMask, bool kAlpha, bool kParam>
constexpr Weight Weights(uint32_t mask, uint32_t alpha, uint32_t param) {
    Weight w{1, 0};
    if constexpr (kMask) w = {w.product * mask, w.shift + 8};
    if constexpr (kAlpha) w = {w.product * alpha, w.shift + 8};
    if constexpr (kParam) w = {w.product * param, w.shift + 8};
    return w;
}

// floor((d * 2^shift + (t - d) * product) / 2^shift), exact in modulo-2^32
// arithmetic because the true value lies between 0 and 2^32.
constexpr uint32_t Lerp(uint32_t d, uint32_t t, Weight w) {
    return ((d << w.shift) + (t - d) * w.product) >> w.shift;
}

constexpr uint32_t Scale(uint32_t v, Weight w) { return (v * w.product) >> w.shift; }

template <bool kBrighten>
inline Channels Brightened(const BlendKernelParams& k, Channels s) {
    if constexpr (kBrighten)
        for (int i = 0; i < 3; ++i) s.c[i] = static_cast<uint32_t>(k.mulBright[i][s.c[i]]);
    return s;
}

// Moves each destination channel toward the target by the parameter and the
// other weights in play (modes 1, 10 and 11).
template <BlendPath P, bool kAlpha, bool kMixTable>
inline Channels TowardTarget(const BlendKernelParams& k, const Channels& d, const Channels& t,
                             uint32_t mask, uint32_t alpha) {
    constexpr bool kOtherWeights = P.blendGraphic || kAlpha;
    Channels out;
    if constexpr (P.depth == PixelDepth::k16 && !kOtherWeights) {
        for (int i = 0; i < 3; ++i) {
            if constexpr (kMixTable)
                out.c[i] = k.mixBlock[t.c[i] * 64 + d.c[i]];
            else
                out.c[i] = static_cast<uint32_t>(static_cast<int32_t>(d.c[i]) +
                                                 k.signedMulParam[static_cast<int32_t>(t.c[i]) -
                                                                  static_cast<int32_t>(d.c[i])]);
        }
    } else {
        const Weight w = Weights<P.blendGraphic, kAlpha, true>(mask, alpha, k.param);
        for (int i = 0; i < 3; ++i) out.c[i] = Lerp(d.c[i], t.c[i], w);
    }
    return out;
}

// The source's contribution to the saturating add and subtract.
template <BlendPath P, bool kAlpha>
inline Channels Contribution(const BlendKernelParams& k, const Channels& s, uint32_t mask,
                             uint32_t alpha) {
    constexpr bool kOtherWeights = P.blendGraphic || kAlpha;
    Channels t;
    if constexpr (P.depth == PixelDepth::k32) {
        const Channels x = Brightened<P.brighten>(k, s);
        const Weight w = Weights<P.blendGraphic, kAlpha, true>(mask, alpha, k.param);
        for (int i = 0; i < 3; ++i)
            t.c[i] = kOtherWeights ? Scale(x.c[i], w) : static_cast<uint32_t>(k.mulParam[x.c[i]]);
    } else {
        // 16-bit: the weights scale the channel, the bright colour and the
        // parameter follow as lookups; some families brighten before the mask.
        const Weight w = Weights<P.blendGraphic, kAlpha, false>(mask, alpha, 0);
        Channels v = s;
        if constexpr (P.rules.brightBeforeMask && P.blendGraphic) {
            v = Brightened<P.brighten>(k, v);
            for (int i = 0; i < 3; ++i) v.c[i] = Scale(v.c[i], w);
        } else {
            for (int i = 0; i < 3; ++i) v.c[i] = Scale(v.c[i], w);
            v = Brightened<P.brighten>(k, v);
        }
        for (int i = 0; i < 3; ++i) t.c[i] = static_cast<uint32_t>(k.mulParam[v.c[i]]);
    }
    return t;
}

// The new destination pixel. kAlpha: the source alpha weighs this pixel (an
// alpha source, except an alpha of 255 under the transparency flag).
template <BlendPath P, bool kAlpha>
inline uint32_t Blend(const BlendKernelParams& k, const Texel& s, uint32_t mask, uint32_t d) {
    using Px = Depth<P.depth>;
    constexpr bool k16 = P.depth == PixelDepth::k16;
    const Channels dc = Px::Split(d);
    const Channels sc = Px::Split(s.pixel);
    Channels out;

    if constexpr (P.mode == 0) {
        constexpr bool kWholeCopy =
            !P.blendGraphic && !P.brighten &&
            (!kAlpha || (!P.transparent && P.rules.copyIgnoresAlpha));
        if constexpr (kWholeCopy) {
            return s.pixel;
        } else {
            const Channels x = Brightened<P.brighten>(k, sc);
            const Weight w = Weights<P.blendGraphic, kAlpha, false>(mask, s.alpha, 0);
            for (int i = 0; i < 3; ++i) out.c[i] = Lerp(dc.c[i], x.c[i], w);
        }
    } else if constexpr (P.mode == 1) {
        if constexpr (P.param == ParamCase::kHalf) {
            return k16 ? HalfBlend16(s.pixel, d) : HalfBlend32(s.pixel, d);
        } else {
            constexpr bool kMix = P.rules.mixTable && P.source != SourceKind::kAlpha &&
                                  !P.blendGraphic && !P.brighten;
            out = TowardTarget<P, kAlpha, kMix>(k, dc, Brightened<P.brighten>(k, sc), mask, s.alpha);
        }
    } else if constexpr (P.mode == 10) {
        Channels inverse;
        for (int i = 0; i < 3; ++i) inverse.c[i] = Px::kMax[i] - sc.c[i];
        out = TowardTarget<P, kAlpha, false>(k, dc, Brightened<P.brighten>(k, inverse), mask, s.alpha);
    } else if constexpr (P.mode == 11) {
        const Channels x = Brightened<P.brighten>(k, sc);
        Channels product;
        for (int i = 0; i < 3; ++i) product.c[i] = (dc.c[i] * x.c[i]) >> Px::kWidth[i];
        out = TowardTarget<P, kAlpha, false>(k, dc, product, mask, s.alpha);
        if constexpr (k16 && P.rules.fineGreenProduct && kAlpha && !P.blendGraphic && !P.brighten) {
            // Green's product with five more fraction bits, blended at 2^21.
            const uint32_t dg = dc.c[1];
            const uint32_t fine = (x.c[1] * dg) >> 1;
            out.c[1] = ((dg << 21) + (fine - (dg << 5)) * s.alpha * k.param) >> 21;
        }
    } else if constexpr (P.mode == 2 || P.mode == 3) {
        constexpr bool kAdd = P.mode == 2;
        if constexpr (P.param == ParamCase::kFull) {
            if constexpr (P.mmx)
                return kAdd ? AddBytesSaturated(d, s.pixel) : SubtractBytesSaturated(d, s.pixel);
            else
                return kAdd ? SatAdd32Coarse(d, s.pixel) : SatSub32(d, s.pixel & 0x00FFFFFFu);
        } else {
            const uint32_t t = Px::Join(Contribution<P, kAlpha>(k, sc, mask, s.alpha), 0);
            if constexpr (k16)
                return kAdd ? SatAdd(d, t) : SatSub(d, t);
            else
                return kAdd ? SatAdd32(d, t) : SatSub32(d, t);
        }
    } else if constexpr (P.mode == 4) {
        const Channels x = Brightened<P.brighten>(k, sc);
        const Weight w = Weights<P.blendGraphic, kAlpha, false>(mask, s.alpha, 0);
        for (int i = 0; i < 3; ++i)
            out.c[i] = (dc.c[i] * x.c[i] * w.product) >> (Px::kWidth[i] + w.shift);
    }
    return Px::Join(out, d);
}

}  // namespace blend_pixel

// Bytes from one source pixel to the next along a row, and of a destination pixel.
constexpr int SourcePixelBytes(PixelDepth depth, SourceKind source) {
    if (source == SourceKind::kPaletted) return 1;
    if (source == SourceKind::kAlpha) return 4;
    return depth == PixelDepth::k16 ? 2 : 4;
}
constexpr int DestPixelBytes(PixelDepth depth) { return depth == PixelDepth::k16 ? 2 : 4; }

// Draws one pixel: `texel` is the source pixel (a palette index byte for a
// paletted source; a solid colour's value for the box and the line),
// `maskByte` the blend graphic's byte at the source pixel (read only when the
// path has a blend graphic), `dest` the destination pixel. Skipped pixels are
// not written.
template <BlendPath P>
inline void BlendPixel(const BlendKernelParams& k, const uint8_t* texel, uint8_t maskByte,
                       uint8_t* dest) {
    static_assert(IsChosenBlendPath(P), "not a path a draw can choose");
    using namespace blend_pixel;
    using Px = Depth<P.depth>;
    const Texel s = Fetch<P.depth, P.source>(k, texel);
    if constexpr (P.transparent) {
        if constexpr (P.source == SourceKind::kAlpha) {
            // Modes 4, 10 and 11 draw clear pixels too.
            if constexpr (P.mode <= 3)
                if (s.alpha == 0) return;
        } else if (s.key == k.transparentColor) {
            return;
        }
    }
    const uint32_t mask = P.blendGraphic ? k.graphicWeights[maskByte] : 0;
    const uint32_t d = Px::Load(dest);
    if constexpr (P.source == SourceKind::kAlpha) {
        // Under the transparency flag an opaque pixel is drawn without its alpha.
        if constexpr (P.transparent)
            if (s.alpha == 255) return Px::Store(dest, Blend<P, false>(k, s, mask, d));
        Px::Store(dest, Blend<P, true>(k, s, mask, d));
    } else {
        Px::Store(dest, Blend<P, false>(k, s, mask, d));
    }
}
