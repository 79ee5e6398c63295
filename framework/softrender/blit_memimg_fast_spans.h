// Loops of their own for the paths a game draws most (fast_span_paths.h):
// the colour-keyed copy, the copy weighted by the source's alpha, and the
// saturating adds. Each gives exactly the pixels of the shared per-pixel
// operation of its path, a vector of pixels at a time (Lanes, simd_lanes.h).
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

namespace span_kernels {

using V = Lanes::V;

template <PixelDepth kDepth>
inline constexpr int kPixelsPerStep = Lanes::kBytes / DestPixelBytes(kDepth);

// The source where it is not the key.
template <PixelDepth kDepth>
inline int KeyedCopy(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    constexpr int kStep = kPixelsPerStep<kDepth>;
    constexpr int kPixelBytes = DestPixelBytes(kDepth);
    const V k = kDepth == PixelDepth::k32 ? Lanes::Set32(key) : Lanes::Set16(key);
    int i = 0;
    for (; i + kStep <= count; i += kStep) {
        const V s = Lanes::Load(source + i * kPixelBytes);
        const V d = Lanes::Load(dest + i * kPixelBytes);
        const V keyed = kDepth == PixelDepth::k32 ? Lanes::Equal32(s, k) : Lanes::Equal16(s, k);
        Lanes::Store(dest + i * kPixelBytes, Lanes::Select(keyed, d, s));
    }
    return i;
}

// floor((d * 256 + (s - d) * a) / 256) in 16-bit lanes of channels of at most
// 8 bits, given twice the weight: d + the high half of ((s - d) << 7) x 2a,
// whose factors both fit a signed 16-bit lane and whose product is exact.
inline V Weigh(V d, V s, V twiceA) {
    return Lanes::Add16(d, Lanes::MulHi16(Lanes::ShiftLeft16<7>(Lanes::Sub16(s, d)), twiceA));
}

// 32-bit pixels weighted by their alpha, opaque pixels copied whole. Blue and
// red sit in the low bytes of the 16-bit lanes, green and byte 3 in the high
// bytes, so both halves are weighed in place: blue, green and red by the
// alpha, byte 3 by 0 (it keeps the destination's). Clear pixels come out
// unchanged, as Weigh with a = 0 gives d.
inline V AlphaWeigh32(V d, V s) {
    const V lowBytes = Lanes::Set16(0x00FF);
    const V alpha = Lanes::ShiftRight32<24>(s);
    const V twiceA = Lanes::Add32(alpha, alpha);                                // green lanes; byte 3 lanes 0
    const V twiceA2 = Lanes::Or(twiceA, Lanes::ShiftLeft32<16>(twiceA));         // blue and red lanes
    const V blueRed = Weigh(Lanes::And(d, lowBytes), Lanes::And(s, lowBytes), twiceA2);
    const V greenTop = Weigh(Lanes::ShiftRight16<8>(d), Lanes::ShiftRight16<8>(s), twiceA);
    const V blended = Lanes::Or(blueRed, Lanes::ShiftLeft16<8>(greenTop));
    return Lanes::Select(Lanes::Equal32(alpha, Lanes::Set32(255)), s, blended);
}

inline int AlphaCopy32(const uint8_t* source, uint8_t* dest, int count) {
    constexpr int kStep = kPixelsPerStep<PixelDepth::k32>;
    int i = 0;
    for (; i + 2 * kStep <= count; i += 2 * kStep) {
        const V out0 = AlphaWeigh32(Lanes::Load(dest + i * 4), Lanes::Load(source + i * 4));
        const V out1 = AlphaWeigh32(Lanes::Load(dest + i * 4 + Lanes::kBytes), Lanes::Load(source + i * 4 + Lanes::kBytes));
        Lanes::Store(dest + i * 4, out0);
        Lanes::Store(dest + i * 4 + Lanes::kBytes, out1);
    }
    for (; i + kStep <= count; i += kStep)
        Lanes::Store(dest + i * 4, AlphaWeigh32(Lanes::Load(dest + i * 4), Lanes::Load(source + i * 4)));
    return i;
}

// 4-byte 16-bit alpha cells (code in bytes 0-1, alpha in byte 2) onto 5-6-5
// pixels, two vectors of cells to one of pixels: each channel at its own
// width as Weigh; opaque pixels take the source code.
inline int AlphaCopy16(const uint8_t* source, uint8_t* dest, int count) {
    constexpr int kStep = kPixelsPerStep<PixelDepth::k16>;
    const V low5 = Lanes::Set16(31);
    const V low6 = Lanes::Set16(63);
    const V alphaByte = Lanes::Set32(255);
    int i = 0;
    for (; i + kStep <= count; i += kStep) {
        const V cells0 = Lanes::Load(source + i * 4);
        const V cells1 = Lanes::Load(source + i * 4 + Lanes::kBytes);
        const V s = Lanes::Narrow16(cells0, cells1);
        const V a = Lanes::Narrow16(Lanes::And(Lanes::ShiftRight32<16>(cells0), alphaByte),
                                    Lanes::And(Lanes::ShiftRight32<16>(cells1), alphaByte));
        const V twiceA = Lanes::Add16(a, a);
        const V d = Lanes::Load(dest + i * 2);
        const V red = Weigh(Lanes::ShiftRight16<11>(d), Lanes::ShiftRight16<11>(s), twiceA);
        const V green = Weigh(Lanes::And(Lanes::ShiftRight16<5>(d), low6), Lanes::And(Lanes::ShiftRight16<5>(s), low6),
                              twiceA);
        const V blue = Weigh(Lanes::And(d, low5), Lanes::And(s, low5), twiceA);
        const V blended =
            Lanes::Or(Lanes::Or(Lanes::ShiftLeft16<11>(red), Lanes::ShiftLeft16<5>(green)), blue);
        const V opaque = Lanes::Equal16(a, Lanes::Set16(255));
        Lanes::Store(dest + i * 2, Lanes::Select(opaque, s, blended));
    }
    return i;
}

// 32-bit pixels: every byte min(255, d + s), the key skipped when asked.
template <bool kKeyed>
inline int ByteAdd(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    constexpr int kStep = kPixelsPerStep<PixelDepth::k32>;
    const V k = Lanes::Set32(key);
    int i = 0;
    for (; i + kStep <= count; i += kStep) {
        const V s = Lanes::Load(source + i * 4);
        const V d = Lanes::Load(dest + i * 4);
        V out = Lanes::AddSaturateU8(d, s);
        if constexpr (kKeyed) out = Lanes::Select(Lanes::Equal32(s, k), d, out);
        Lanes::Store(dest + i * 4, out);
    }
    return i;
}

// 32-bit pixels through the packed add (SatAdd32 of the colour, or the
// coarse add of the whole pixel), the key skipped when asked.
template <bool kCoarse, bool kKeyed>
inline int PackedAdd32(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    constexpr int kStep = kPixelsPerStep<PixelDepth::k32>;
    const V keep = Lanes::Set32(0x00FEFEFF);
    const V carries = Lanes::Set32(0x01010100);
    const V lowBits = Lanes::Set32(0x00010100);
    const V colour = Lanes::Set32(0x00FFFFFF);
    const V k = Lanes::Set32(key);
    int i = 0;
    for (; i + kStep <= count; i += kStep) {
        const V s = Lanes::Load(source + i * 4);
        const V d = Lanes::Load(dest + i * 4);
        const V a = kCoarse ? s : Lanes::And(s, colour);
        const V t = Lanes::Add32(Lanes::And(d, keep), Lanes::And(a, keep));
        const V c = Lanes::And(t, carries);
        V out = Lanes::Or(t, Lanes::Sub32(c, Lanes::ShiftRight32<8>(c)));
        if constexpr (!kCoarse) out = Lanes::Or(out, Lanes::And(Lanes::Or(d, a), lowBits));
        if constexpr (kKeyed) out = Lanes::Select(Lanes::Equal32(s, k), d, out);
        Lanes::Store(dest + i * 4, out);
    }
    return i;
}

// The packed 16-bit saturating add of 5-6-5 pixels held in 32-bit lanes,
// where red's carry has room.
inline V Add16Widened(V d, V s) {
    const V keep = Lanes::Set32(0xF7DEF7DFu);
    const V carries = Lanes::Set32(0x08210820);
    const V lowBits = Lanes::Set32(0x820);
    const V t = Lanes::Add32(Lanes::And(d, keep), Lanes::And(s, keep));
    const V c = Lanes::And(t, carries);
    return Lanes::Or(Lanes::Or(t, Lanes::Sub32(c, Lanes::ShiftRight32<5>(c))), Lanes::And(Lanes::Or(d, s), lowBits));
}

// 5-6-5 pixels: the packed saturating add of the source, the key skipped
// when asked.
template <bool kKeyed>
inline int Add16(uint32_t key, const uint8_t* source, uint8_t* dest, int count) {
    constexpr int kStep = kPixelsPerStep<PixelDepth::k16>;
    const V k = Lanes::Set16(key);
    int i = 0;
    for (; i + kStep <= count; i += kStep) {
        const V s = Lanes::Load(source + i * 2);
        const V d = Lanes::Load(dest + i * 2);
        const V low = Add16Widened(Lanes::WidenLow16(d), Lanes::WidenLow16(s));
        const V high = Add16Widened(Lanes::WidenHigh16(d), Lanes::WidenHigh16(s));
        V out = Lanes::Narrow16(low, high);
        if constexpr (kKeyed) out = Lanes::Select(Lanes::Equal16(s, k), d, out);
        Lanes::Store(dest + i * 2, out);
    }
    return i;
}

}  // namespace span_kernels

// Draws the first pixels of a run of `count` with path P's own loop when it
// has one, and returns how many it drew (a multiple of its step); the caller
// draws the rest pixel by pixel. Returns 0 for every other path.
template <BlendPath P>
inline int DrawFastSpan(const BlendKernelParams& k, const uint8_t* source, uint8_t* dest, int count) {
    using namespace fast_span;
    // A 16-bit pixel never equals a transparent colour wider than 16 bits;
    // the keyed loops compare 16 bits, so such a key is left to the per-pixel loop.
    if constexpr (P.depth == PixelDepth::k16 && P.transparent && P.source == SourceKind::kPlain)
        if (k.transparentColor > 0xFFFFu) return 0;
    if constexpr (IsKeyedCopy<P>()) {
        return span_kernels::KeyedCopy<P.depth>(k.transparentColor, source, dest, count);
    } else if constexpr (IsAlphaCopy<P>()) {
        return P.depth == PixelDepth::k32 ? span_kernels::AlphaCopy32(source, dest, count)
                                          : span_kernels::AlphaCopy16(source, dest, count);
    } else if constexpr (IsByteAdd<P>()) {
        return span_kernels::ByteAdd<P.transparent>(k.transparentColor, source, dest, count);
    } else if constexpr (IsPackedAdd32<P>()) {
        if constexpr (P.param == ParamCase::kFull)
            return span_kernels::PackedAdd32<true, P.transparent>(k.transparentColor, source, dest, count);
        else
            return k.param == 255 ? span_kernels::PackedAdd32<false, P.transparent>(k.transparentColor, source, dest, count)
                                  : 0;
    } else if constexpr (IsAdd16<P>()) {
        return k.param == 255 ? span_kernels::Add16<P.transparent>(k.transparentColor, source, dest, count) : 0;
    }
    return 0;
}
