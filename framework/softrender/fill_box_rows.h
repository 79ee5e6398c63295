// The row loops of the filled box: the plain fill stores whole rows; every
// other mode draws a vector of pixels a step, each exactly as the shared
// per-pixel operation of its path (pixel_operations.h) draws it.
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

namespace box_fill {

using V = Lanes::V;

// Rows of this many bytes and more are filled by the processor's string
// store, which writes whole cache lines without reading them first; shorter
// ones by vector stores, whose start-up costs less.
inline constexpr size_t kStringStoreBytes = 2048;

// Stores `bytes` bytes (a multiple of 4) of the 8-byte pattern, which repeats
// every 4 bytes, from `at`.
inline void StoreString(uint8_t* at, size_t bytes, uint64_t pattern) {
    size_t words = bytes / 8;
    __asm__ volatile("rep stosq" : "+D"(at), "+c"(words) : "a"(pattern) : "memory");
    if (bytes & 4) std::memcpy(at, &pattern, 4);
}

// Fills `bytes` bytes (a multiple of 2, at least 2) with the pattern.
inline void FillBytes(uint8_t* at, size_t bytes, uint64_t pattern) {
    if (bytes >= kStringStoreBytes) {
        StoreString(at, bytes & ~size_t{3}, pattern);
    } else if (bytes >= Lanes::kBytes) {
        // Whole vectors, the last one ending at the row's end; the stores may
        // overlap, as every one writes the same pattern at the same phase.
        const V v = Lanes::Set32(static_cast<uint32_t>(pattern));
        const size_t end = (bytes & ~size_t{3}) - Lanes::kBytes;
        for (size_t i = 0; i < end; i += Lanes::kBytes) Lanes::Store(at + i, v);
        Lanes::Store(at + end, v);
    } else if (Lanes::kBytes > 16 && bytes >= 16) {
        // Two 128-bit stores, which may overlap, as above.
        const __m128i v = _mm_set1_epi32(static_cast<int>(pattern));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at + (bytes & ~size_t{3}) - 16), v);
    } else {
        for (size_t i = 0; i + 4 <= bytes; i += 4) std::memcpy(at + i, &pattern, 4);
    }
    if (bytes & 2) std::memcpy(at + (bytes & ~size_t{3}), &pattern, 2);
}

// Fills `bytes` bytes (a multiple of 2) with the pattern by stores that
// bypass the caches, from the first vector boundary on.
inline void StreamBytes(uint8_t* at, size_t bytes, uint64_t pattern) {
    // Pixels that do not start on an even address are left to plain stores.
    if ((reinterpret_cast<uintptr_t>(at) & 1) != 0) return FillBytes(at, bytes, pattern);
    const size_t head = std::min(bytes, (Lanes::kBytes - (reinterpret_cast<uintptr_t>(at) & (Lanes::kBytes - 1))) &
                                            (Lanes::kBytes - 1));
    if (head != 0) FillBytes(at, head, pattern);
    // A head of half a 4-byte word turns the pattern by half a word.
    const uint64_t shifted = head % 4 == 0 ? pattern : pattern >> 16 | pattern << 48;
    const V v = Lanes::Set32(static_cast<uint32_t>(shifted));
    size_t i = head;
    for (; i + Lanes::kBytes <= bytes; i += Lanes::kBytes) Lanes::StoreStreaming(at + i, v);
    if (i < bytes) FillBytes(at + i, bytes - i, shifted);
}

// The plain fill: whole pixels, a 5-6-5 colour doubled into both halves of
// every 32-bit word. Rows without a gap between them are one row. A fill too
// large for the caches stores past them.
template <PixelDepth kDepth>
inline void FillRows(const BoxRows& rows, uint32_t color) {
    const uint64_t word = kDepth == PixelDepth::k32 ? color : (color & 0xFFFFu) * 0x10001u;
    const uint64_t pattern = word | word << 32;
    const size_t rowBytes = static_cast<size_t>(rows.width) * DestPixelBytes(kDepth);
    const bool oneRow = rows.pitch == static_cast<ptrdiff_t>(rowBytes);
    if (rowBytes * rows.height >= StreamingCopyBytes()) {
        if (oneRow) {
            StreamBytes(rows.first, rowBytes * rows.height, pattern);
        } else {
            uint8_t* row = rows.first;
            for (int y = 0; y < rows.height; ++y, row += rows.pitch) StreamBytes(row, rowBytes, pattern);
        }
        _mm_sfence();
        return;
    }
    if (oneRow) return FillBytes(rows.first, rowBytes * rows.height, pattern);
    uint8_t* row = rows.first;
    for (int y = 0; y < rows.height; ++y, row += rows.pitch) FillBytes(row, rowBytes, pattern);
}

// d + trunc((t - d) * p / 255) on channels of at most 6 bits in 16-bit lanes:
// the product's magnitude m is at most 63 x 255, where floor(m / 255) is
// ((m + 1) x 257) >> 16; the sign is put back after.
inline V TowardByParam(V d, V t, V p) {
    const V x = Lanes::Sub16(t, d);
    const V sign = Lanes::ShiftRightSigned16<15>(x);
    const V magnitude = Lanes::MulLo16(Lanes::Sub16(Lanes::Xor(x, sign), sign), p);
    const V quotient = Lanes::MulHiU16(Lanes::Add16(magnitude, Lanes::Set16(1)), Lanes::Set16(257));
    return Lanes::Add16(d, Lanes::Sub16(Lanes::Xor(quotient, sign), sign));
}

// floor((d * 256 + (t - d) * p) / 256) in 16-bit lanes, given twice the
// weight (0 in lanes that keep d).
inline V Weigh(V d, V t, V twiceWeight) {
    return Lanes::Add16(d, Lanes::MulHi16(Lanes::ShiftLeft16<7>(Lanes::Sub16(t, d)), twiceWeight));
}

// The three channels of a 5-6-5 colour, each in every 16-bit lane.
struct Channels16 {
    V red, green, blue;
};

inline Channels16 Split16(V v) {
    return {Lanes::ShiftRight16<11>(v), Lanes::And(Lanes::ShiftRight16<5>(v), Lanes::Set16(63)),
            Lanes::And(v, Lanes::Set16(31))};
}
inline V Join16(const Channels16& c) {
    return Lanes::Or(Lanes::Or(Lanes::ShiftLeft16<11>(c.red), Lanes::ShiftLeft16<5>(c.green)), c.blue);
}
inline Channels16 SplitColor16(uint32_t color) {
    return {Lanes::Set16((color >> 11) & 31), Lanes::Set16((color >> 5) & 63), Lanes::Set16(color & 31)};
}

// The 32-bit pixel's bytes in 16-bit lanes: blue and red, then green and
// byte 3.
struct Halves32 {
    V blueRed, greenTop;
};

inline Halves32 Split32(V v) { return {Lanes::And(v, Lanes::Set16(0x00FF)), Lanes::ShiftRight16<8>(v)}; }
inline V Join32(const Halves32& h) { return Lanes::Or(h.blueRed, Lanes::ShiftLeft16<8>(h.greenTop)); }
// A colour's channels as Split32 places them, with `top` in byte 3's lanes.
inline Halves32 SplitColor32(uint32_t color, uint32_t top) {
    return {Lanes::Set32((color & 0xFFu) | ((color >> 16) & 0xFFu) << 16), Lanes::Set32(((color >> 8) & 0xFFu) | top << 16)};
}

// One vector step of a blend path of a solid colour: the constants are made
// once per draw, then Draw gives the new destination vector.
template <BlendPath P>
class SolidStep {
public:
    explicit SolidStep(const SolidColorDraw& draw) {
        const uint32_t c = draw.color;
        const uint32_t p = draw.params.param;
        param_ = Lanes::Set16(p);
        if constexpr (P.depth == PixelDepth::k32) {
            // The blends weigh blue, green and red by p and keep byte 3.
            twiceParam_ = {Lanes::Set16(2 * p), Lanes::Set32(2 * p)};
            if constexpr (P.mode == 1) target_ = SplitColor32(c, 0);
            if constexpr (P.mode == 10) target_ = SplitColor32(~c, 0);
            // Byte 3 multiplied by 256, then shifted back, stays as it was.
            if constexpr (P.mode == 4 || P.mode == 11) target_ = SplitColor32(c, 256);
            if constexpr (P.mode == 2 || P.mode == 3) packed_ = Lanes::Set32(Contribution32(draw.params, c));
        } else {
            if constexpr (P.mode == 10) channels_ = SplitColor16(~c & 0xFFFFu);
            else channels_ = SplitColor16(c);
            if constexpr (P.mode == 2 || P.mode == 3) packed_ = Lanes::Set32(Contribution16(draw.params, c));
        }
    }

    V Draw(V d) const {
        if constexpr (P.depth == PixelDepth::k32) {
            if constexpr (P.mode == 2) return Add32(d, packed_);
            if constexpr (P.mode == 3) return Subtract32(d, packed_);
            const Halves32 h = Split32(d);
            if constexpr (P.mode == 1 || P.mode == 10)
                return Join32({Weigh(h.blueRed, target_.blueRed, twiceParam_.blueRed),
                               Weigh(h.greenTop, target_.greenTop, twiceParam_.greenTop)});
            const Halves32 product{Lanes::ShiftRight16<8>(Lanes::MulLo16(h.blueRed, target_.blueRed)),
                                   Lanes::ShiftRight16<8>(Lanes::MulLo16(h.greenTop, target_.greenTop))};
            if constexpr (P.mode == 4) return Join32(product);
            return Join32({Weigh(h.blueRed, product.blueRed, twiceParam_.blueRed),
                           Weigh(h.greenTop, product.greenTop, twiceParam_.greenTop)});
        } else {
            if constexpr (P.mode == 2)
                return Lanes::Narrow16(Add16Widened(Lanes::WidenLow16(d), packed_),
                                       Add16Widened(Lanes::WidenHigh16(d), packed_));
            if constexpr (P.mode == 3)
                return Lanes::Narrow16(Subtract16Widened(Lanes::WidenLow16(d), packed_),
                                       Subtract16Widened(Lanes::WidenHigh16(d), packed_));
            const Channels16 dc = Split16(d);
            if constexpr (P.mode == 1 || P.mode == 10)
                return Join16({TowardByParam(dc.red, channels_.red, param_),
                               TowardByParam(dc.green, channels_.green, param_),
                               TowardByParam(dc.blue, channels_.blue, param_)});
            const Channels16 product{Lanes::ShiftRight16<5>(Lanes::MulLo16(dc.red, channels_.red)),
                                     Lanes::ShiftRight16<6>(Lanes::MulLo16(dc.green, channels_.green)),
                                     Lanes::ShiftRight16<5>(Lanes::MulLo16(dc.blue, channels_.blue))};
            if constexpr (P.mode == 4) return Join16(product);
            return Join16({TowardByParam(dc.red, product.red, param_), TowardByParam(dc.green, product.green, param_),
                           TowardByParam(dc.blue, product.blue, param_)});
        }
    }

private:
    // The source's contribution to the saturating add and subtract: each
    // channel scaled by the parameter through the product table.
    static uint32_t Contribution32(const BlendKernelParams& k, uint32_t c) {
        return static_cast<uint32_t>(k.mulParam[(c >> 16) & 0xFF]) << 16 |
               static_cast<uint32_t>(k.mulParam[(c >> 8) & 0xFF]) << 8 | static_cast<uint32_t>(k.mulParam[c & 0xFF]);
    }
    static uint32_t Contribution16(const BlendKernelParams& k, uint32_t c) {
        return static_cast<uint32_t>(k.mulParam[(c >> 11) & 31]) << 11 |
               static_cast<uint32_t>(k.mulParam[(c >> 5) & 63]) << 5 | static_cast<uint32_t>(k.mulParam[c & 31]);
    }

    // SatAdd32 and SatSub32 (packed_saturating.h) on vectors of pixels.
    static V Add32(V d, V a) {
        const V t = Lanes::Add32(Lanes::And(d, Lanes::Set32(0x00FEFEFF)), Lanes::And(a, Lanes::Set32(0x00FEFEFF)));
        const V c = Lanes::And(t, Lanes::Set32(0x01010100));
        return Lanes::Or(Lanes::Or(t, Lanes::Sub32(c, Lanes::ShiftRight32<8>(c))),
                         Lanes::And(Lanes::Or(d, a), Lanes::Set32(0x00010100)));
    }
    static V Subtract32(V d, V a) {
        const V t = Lanes::Sub32(Lanes::Or(d, Lanes::Set32(0x01010100)), Lanes::And(a, Lanes::Set32(0xFEFEFEFFu)));
        const V c = Lanes::And(t, Lanes::Set32(0x01010100));
        return Lanes::And(t, Lanes::Sub32(c, Lanes::ShiftRight32<8>(c)));
    }
    // SatAdd and SatSub on 5-6-5 pixels held in 32-bit lanes.
    static V Add16Widened(V d, V a) {
        const V t = Lanes::Add32(Lanes::And(d, Lanes::Set32(0xF7DEF7DFu)), Lanes::And(a, Lanes::Set32(0xF7DEF7DFu)));
        const V c = Lanes::And(t, Lanes::Set32(0x08210820));
        return Lanes::Or(Lanes::Or(t, Lanes::Sub32(c, Lanes::ShiftRight32<5>(c))),
                         Lanes::And(Lanes::Or(d, a), Lanes::Set32(0x820)));
    }
    static V Subtract16Widened(V d, V a) {
        const V t = Lanes::Sub32(Lanes::Or(d, Lanes::Set32(0x08210820)), Lanes::And(a, Lanes::Set32(0xF7DEF7DFu)));
        const V c = Lanes::And(t, Lanes::Set32(0x08210820));
        return Lanes::And(t, Lanes::Sub32(c, Lanes::ShiftRight32<5>(c)));
    }

    V param_;
    Halves32 twiceParam_{};
    Halves32 target_{};
    Channels16 channels_{};
    V packed_{};
};

// The pixels at the end of a row after its last whole step, fewer than
// kBytes bytes' worth, drawn by the 128-bit step in both passes: a step of
// 256 bits read and written under a mask takes longer than a 128-bit step
// and a shorter last one, on some processors several times as long.
template <BlendPath P>
class RowEnd {
public:
    explicit RowEnd(const SolidColorDraw& draw) : step_(draw) {}

    [[gnu::always_inline]] void Draw(uint8_t* at, size_t bytes) const {
        using Narrow = simd_sse2::Lanes;
        if (bytes >= Narrow::kBytes) {
            Narrow::Store(at, step_.Draw(Narrow::Load(at)));
            at += Narrow::kBytes;
            bytes -= Narrow::kBytes;
        }
        if (bytes != 0) Narrow::StoreFirst(at, step_.Draw(Narrow::LoadFirst(at, bytes)), bytes);
    }

private:
    simd_sse2::box_fill::SolidStep<P> step_;
};

}  // namespace box_fill

template <BlendPath P>
void FillBoxRows(const SolidColorDraw& draw, const BoxRows& rows) {
    if constexpr (P.mode == 0) {
        box_fill::FillRows<P.depth>(rows, draw.color);
    } else {
        constexpr size_t kBytes = DestPixelBytes(P.depth);
        const box_fill::SolidStep<P> step(draw);
        const box_fill::RowEnd<P> rowEnd(draw);
        const size_t rowBytes = static_cast<size_t>(rows.width) * kBytes;
        uint8_t* row = rows.first;
        for (int y = 0; y < rows.height; ++y, row += rows.pitch) {
            // In a long row the pixels up to the first vector boundary go
            // through one step under a mask, so that every other vector is
            // read and written whole on its boundary, never across two cache
            // lines (pixels off their own boundary cannot be brought onto
            // it). The pixels after the last whole vector are the row's end.
            size_t head = (Lanes::kBytes - (reinterpret_cast<uintptr_t>(row) & (Lanes::kBytes - 1))) &
                          (Lanes::kBytes - 1);
            const bool aligned = head % kBytes == 0 && rowBytes >= 8 * Lanes::kBytes;
            head = aligned ? head : 0;
            if (head != 0) Lanes::StoreFirst(row, step.Draw(Lanes::LoadFirst(row, head)), head);
            size_t at = head;
            if (aligned) {
                for (; at + Lanes::kBytes <= rowBytes; at += Lanes::kBytes) {
                    PrefetchAhead(row + at);
                    Lanes::StoreAligned(row + at, step.Draw(Lanes::LoadAligned(row + at)));
                }
            } else {
                for (; at + Lanes::kBytes <= rowBytes; at += Lanes::kBytes) {
                    PrefetchAhead(row + at);
                    Lanes::Store(row + at, step.Draw(Lanes::Load(row + at)));
                }
            }
            if (at < rowBytes) rowEnd.Draw(row + at, rowBytes - at);
        }
    }
}
