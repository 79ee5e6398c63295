// Loops of their own for the paths a game draws most: the colour-keyed copy,
// the copy weighted by the source's alpha, and the saturating add. Each gives
// exactly the pixels of the shared per-pixel operation of its path, several
// pixels at a time with the processor's 128-bit integer instructions, which
// every x86-64 processor has; elsewhere these paths keep the per-pixel loop.
#pragma once

#include <cstdint>
#include <cstring>

#include "framework/softrender/blend_path.h"
#include "framework/softrender/packed_saturating.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fast_span {

// No blend graphic and no brightening: the pixel is the whole source pixel,
// the destination pixel and the path's own arithmetic.
template <BlendPath P>
constexpr bool Unweighted() {
    return !P.blendGraphic && !P.brighten;
}

// Mode 0 from a plain source with the transparent colour skipped.
template <BlendPath P>
constexpr bool IsKeyedCopy() {
    return Unweighted<P>() && P.mode == 0 && P.source == SourceKind::kPlain && P.transparent;
}

// Mode 0 from an alpha source with the transparency flag: clear pixels
// skipped, opaque ones copied whole, the others weighted by their alpha.
template <BlendPath P>
constexpr bool IsAlphaCopy() {
    return Unweighted<P>() && P.mode == 0 && P.source == SourceKind::kAlpha && P.transparent;
}

// 32-bit mode 2 at parameter 255 from a plain source with the processor's
// saturating byte add.
template <BlendPath P>
constexpr bool IsByteAdd() {
    return Unweighted<P>() && P.mode == 2 && P.param == ParamCase::kFull && P.mmx &&
           P.source == SourceKind::kPlain;
}

// 32-bit mode 2 from a plain source through the packed add: at parameter 255
// the general path's contribution is the source's colour (the coarse add of
// the copy-speed path takes the source pixel as it is).
template <BlendPath P>
constexpr bool IsPackedAdd32() {
    return Unweighted<P>() && P.mode == 2 && P.depth == PixelDepth::k32 && P.source == SourceKind::kPlain &&
           !P.mmx;
}

// 16-bit mode 2 from a plain source: at parameter 255 the source contribution
// is the source pixel itself.
template <BlendPath P>
constexpr bool IsAdd16() {
    return Unweighted<P>() && P.mode == 2 && P.depth == PixelDepth::k16 && P.source == SourceKind::kPlain;
}

#if defined(__SSE2__)

inline __m128i Load(const uint8_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
inline void Store(uint8_t* at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); }
// Lanes of `yes` where `mask` is set, else of `no`.
inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Four 32-bit or eight 16-bit pixels: the source where it is not the key.
template <PixelDepth kDepth>
inline int KeyedCopy(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    const __m128i k = kDepth == PixelDepth::k32 ? _mm_set1_epi32(static_cast<int>(key))
                                                : _mm_set1_epi16(static_cast<short>(key));
    constexpr int kPerStep = kDepth == PixelDepth::k32 ? 4 : 8;
    int i = 0;
    for (; i + kPerStep <= count; i += kPerStep) {
        const __m128i s = Load(source + i * 16 / kPerStep);
        const __m128i d = Load(dest + i * 16 / kPerStep);
        const __m128i keyed = kDepth == PixelDepth::k32 ? _mm_cmpeq_epi32(s, k) : _mm_cmpeq_epi16(s, k);
        Store(dest + i * 16 / kPerStep, Select(keyed, d, s));
    }
    return i;
}

// floor((d * 256 + (s - d) * a) / 256) in 16-bit lanes of channels of at most
// 8 bits, given twice the weight: d + the high half of ((s - d) << 7) x 2a,
// whose factors both fit a signed 16-bit lane and whose product is exact.
inline __m128i Weigh(__m128i d, __m128i s, __m128i twiceA) {
    return _mm_add_epi16(d, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(s, d), 7), twiceA));
}

// Four 32-bit pixels weighted by their alpha, opaque pixels copied whole.
// Blue and red sit in the low bytes of the 16-bit lanes, green and byte 3 in
// the high bytes, so both halves are weighed in place: blue, green and red by
// the alpha, byte 3 by 0 (it keeps the destination's). Clear pixels come out
// unchanged, as Weigh with a = 0 gives d.
inline __m128i AlphaWeighFour(__m128i d, __m128i s) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i alpha = _mm_srli_epi32(s, 24);
    const __m128i twiceA = _mm_add_epi32(alpha, alpha);            // green lanes; byte 3 lanes 0
    const __m128i twiceA2 = _mm_or_si128(twiceA, _mm_slli_epi32(twiceA, 16));  // blue and red lanes
    const __m128i blueRed = Weigh(_mm_and_si128(d, lowBytes), _mm_and_si128(s, lowBytes), twiceA2);
    const __m128i greenTop = Weigh(_mm_srli_epi16(d, 8), _mm_srli_epi16(s, 8), twiceA);
    const __m128i blended = _mm_or_si128(blueRed, _mm_slli_epi16(greenTop, 8));
    return Select(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255)), s, blended);
}

inline int AlphaCopy32(const uint8_t* source, uint8_t* dest, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i out0 = AlphaWeighFour(Load(dest + i * 4), Load(source + i * 4));
        const __m128i out1 = AlphaWeighFour(Load(dest + i * 4 + 16), Load(source + i * 4 + 16));
        Store(dest + i * 4, out0);
        Store(dest + i * 4 + 16, out1);
    }
    for (; i + 4 <= count; i += 4) Store(dest + i * 4, AlphaWeighFour(Load(dest + i * 4), Load(source + i * 4)));
    return i;
}

// The low 16 bits of each 32-bit lane, packed into eight 16-bit lanes.
inline __m128i PackLow16(__m128i a, __m128i b) {
    return _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a, 16), 16), _mm_srai_epi32(_mm_slli_epi32(b, 16), 16));
}

// Eight 4-byte 16-bit alpha cells (code in bytes 0-1, alpha in byte 2) onto
// 5-6-5 pixels: each channel at its own width as Weigh; opaque pixels take
// the source code.
inline int AlphaCopy16(const uint8_t* source, uint8_t* dest, int count) {
    const __m128i low5 = _mm_set1_epi16(31);
    const __m128i low6 = _mm_set1_epi16(63);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i cells0 = Load(source + i * 4);
        const __m128i cells1 = Load(source + i * 4 + 16);
        const __m128i s = PackLow16(cells0, cells1);
        const __m128i a = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(cells0, 16), _mm_set1_epi32(255)),
                                          _mm_and_si128(_mm_srli_epi32(cells1, 16), _mm_set1_epi32(255)));
        const __m128i twiceA = _mm_add_epi16(a, a);
        const __m128i d = Load(dest + i * 2);
        const __m128i red = Weigh(_mm_srli_epi16(d, 11), _mm_srli_epi16(s, 11), twiceA);
        const __m128i green = Weigh(_mm_and_si128(_mm_srli_epi16(d, 5), low6),
                                    _mm_and_si128(_mm_srli_epi16(s, 5), low6), twiceA);
        const __m128i blue = Weigh(_mm_and_si128(d, low5), _mm_and_si128(s, low5), twiceA);
        const __m128i blended =
            _mm_or_si128(_mm_or_si128(_mm_slli_epi16(red, 11), _mm_slli_epi16(green, 5)), blue);
        const __m128i opaque = _mm_cmpeq_epi16(a, _mm_set1_epi16(255));
        Store(dest + i * 2, Select(opaque, s, blended));
    }
    return i;
}

// Four 32-bit pixels: every byte min(255, d + s), the key skipped when asked.
template <bool kKeyed>
inline int ByteAdd(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = Load(source + i * 4);
        const __m128i d = Load(dest + i * 4);
        __m128i out = _mm_adds_epu8(d, s);
        if constexpr (kKeyed) out = Select(_mm_cmpeq_epi32(s, k), d, out);
        Store(dest + i * 4, out);
    }
    return i;
}

// Four 32-bit pixels through the packed add (SatAdd32 of the colour, or the
// coarse add of the whole pixel), the key skipped when asked.
template <bool kCoarse, bool kKeyed>
inline int PackedAdd32(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    const __m128i keep = _mm_set1_epi32(0x00FEFEFF);
    const __m128i carries = _mm_set1_epi32(0x01010100);
    const __m128i lowBits = _mm_set1_epi32(0x00010100);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = Load(source + i * 4);
        const __m128i d = Load(dest + i * 4);
        const __m128i a = kCoarse ? s : _mm_and_si128(s, colour);
        const __m128i t = _mm_add_epi32(_mm_and_si128(d, keep), _mm_and_si128(a, keep));
        const __m128i c = _mm_and_si128(t, carries);
        __m128i out = _mm_or_si128(t, _mm_sub_epi32(c, _mm_srli_epi32(c, 8)));
        if constexpr (!kCoarse) out = _mm_or_si128(out, _mm_and_si128(_mm_or_si128(d, a), lowBits));
        if constexpr (kKeyed) out = Select(_mm_cmpeq_epi32(s, k), d, out);
        Store(dest + i * 4, out);
    }
    return i;
}

// Eight 5-6-5 pixels: the packed 16-bit saturating add of the source, in
// 32-bit lanes where red's carry has room.
template <bool kKeyed>
inline int Add16(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xF7DEF7DFu));
    const __m128i carries = _mm_set1_epi32(0x08210820);
    const __m128i lowBits = _mm_set1_epi32(0x820);
    const __m128i k = _mm_set1_epi16(static_cast<short>(key));
    const auto add = [&](__m128i d, __m128i s) {
        const __m128i t = _mm_add_epi32(_mm_and_si128(d, keep), _mm_and_si128(s, keep));
        const __m128i c = _mm_and_si128(t, carries);
        return _mm_or_si128(_mm_or_si128(t, _mm_sub_epi32(c, _mm_srli_epi32(c, 5))),
                            _mm_and_si128(_mm_or_si128(d, s), lowBits));
    };
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i s = Load(source + i * 2);
        const __m128i d = Load(dest + i * 2);
        const __m128i low = add(_mm_unpacklo_epi16(d, zero), _mm_unpacklo_epi16(s, zero));
        const __m128i high = add(_mm_unpackhi_epi16(d, zero), _mm_unpackhi_epi16(s, zero));
        __m128i out = PackLow16(low, high);
        if constexpr (kKeyed) out = Select(_mm_cmpeq_epi16(s, k), d, out);
        Store(dest + i * 2, out);
    }
    return i;
}

#endif

}  // namespace fast_span

// Draws the first pixels of a run of `count` with path P's own loop when it
// has one, and returns how many it drew (a multiple of its step); the caller
// draws the rest pixel by pixel. Returns 0 for every other path.
template <BlendPath P>
inline int DrawFastSpan(const BlendKernelParams& k, const uint8_t* source, uint8_t* dest, int count) {
#if defined(__SSE2__)
    using namespace fast_span;
    // A 16-bit pixel never equals a transparent colour wider than 16 bits;
    // the keyed loops compare 16 bits, so such a key is left to the per-pixel loop.
    if constexpr (P.depth == PixelDepth::k16 && P.transparent && P.source == SourceKind::kPlain)
        if (k.transparentColor > 0xFFFFu) return 0;
    if constexpr (IsKeyedCopy<P>()) {
        return KeyedCopy<P.depth>(k.transparentColor, source, dest, count);
    } else if constexpr (IsAlphaCopy<P>()) {
        return P.depth == PixelDepth::k32 ? AlphaCopy32(source, dest, count) : AlphaCopy16(source, dest, count);
    } else if constexpr (IsByteAdd<P>()) {
        return ByteAdd<P.transparent>(k.transparentColor, source, dest, count);
    } else if constexpr (IsPackedAdd32<P>()) {
        if constexpr (P.param == ParamCase::kFull)
            return PackedAdd32<true, P.transparent>(k.transparentColor, source, dest, count);
        else
            return k.param == 255 ? PackedAdd32<false, P.transparent>(k.transparentColor, source, dest, count) : 0;
    } else if constexpr (IsAdd16<P>()) {
        return k.param == 255 ? Add16<P.transparent>(k.transparentColor, source, dest, count) : 0;
    }
#endif
    return 0;
}
