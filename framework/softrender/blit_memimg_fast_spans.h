// Loops of their own for the paths a game draws most (fast_span_paths.h):
// the colour-keyed copy, the copy weighted by the source's alpha, and the
// saturating adds. Each gives exactly the pixels of the shared per-pixel
// operation of its path, a vector of pixels at a time (Lanes, simd_lanes.h).
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

namespace span_kernels {

using V = Lanes::V;

// Pixels a step draws, and the vectors their source texels fill (two for a
// 16-bit alpha source, whose cells are twice as wide as its pixels).
template <BlendPath P>
inline constexpr int kStepPixels = Lanes::kBytes / DestPixelBytes(P.depth);
template <BlendPath P>
inline constexpr int kSourceVectors = SourcePixelBytes(P.depth, P.source) / DestPixelBytes(P.depth);

// floor((d * 256 + (s - d) * a) / 256) in 16-bit lanes of channels of at most
// 8 bits, given twice the weight: d + the high half of ((s - d) << 7) x 2a,
// whose factors both fit a signed 16-bit lane and whose product is exact.
[[gnu::always_inline]] inline V Weigh(V d, V s, V twiceA) {
    return Lanes::Add16(d, Lanes::MulHi16(Lanes::ShiftLeft16<7>(Lanes::Sub16(s, d)), twiceA));
}

// 32-bit pixels weighted by their alpha, opaque pixels copied whole. Blue and
// red sit in the low bytes of the 16-bit lanes, green and byte 3 in the high
// bytes, so both halves are weighed in place: blue, green and red by the
// alpha, byte 3 by 0 (it keeps the destination's). Clear pixels come out
// unchanged, as Weigh with a = 0 gives d.
[[gnu::always_inline]] inline V AlphaWeigh32(V d, V s) {
    const V lowBytes = Lanes::Set16(0x00FF);
    const V alpha = Lanes::ShiftRight32<24>(s);
    const V twiceA = Lanes::Add32(alpha, alpha);                         // green lanes; byte 3 lanes 0
    const V twiceA2 = Lanes::Or(twiceA, Lanes::ShiftLeft32<16>(twiceA));  // blue and red lanes
    const V blueRed = Weigh(Lanes::And(d, lowBytes), Lanes::And(s, lowBytes), twiceA2);
    const V greenTop = Weigh(Lanes::ShiftRight16<8>(d), Lanes::ShiftRight16<8>(s), twiceA);
    const V blended = Lanes::Or(blueRed, Lanes::ShiftLeft16<8>(greenTop));
    return Lanes::Select(Lanes::Equal32(alpha, Lanes::Set32(255)), s, blended);
}

// 4-byte 16-bit alpha cells (code in bytes 0-1, alpha in byte 2), two vectors
// of them, onto a vector of 5-6-5 pixels: each channel at its own width as
// Weigh; opaque pixels take the source code.
[[gnu::always_inline]] inline V AlphaWeigh16(V d, V cells0, V cells1) {
    const V low5 = Lanes::Set16(31);
    const V low6 = Lanes::Set16(63);
    const V alphaByte = Lanes::Set32(255);
    const V s = Lanes::Narrow16(cells0, cells1);
    const V a = Lanes::Narrow16(Lanes::And(Lanes::ShiftRight32<16>(cells0), alphaByte),
                                Lanes::And(Lanes::ShiftRight32<16>(cells1), alphaByte));
    const V twiceA = Lanes::Add16(a, a);
    const V red = Weigh(Lanes::ShiftRight16<11>(d), Lanes::ShiftRight16<11>(s), twiceA);
    const V green =
        Weigh(Lanes::And(Lanes::ShiftRight16<5>(d), low6), Lanes::And(Lanes::ShiftRight16<5>(s), low6), twiceA);
    const V blue = Weigh(Lanes::And(d, low5), Lanes::And(s, low5), twiceA);
    const V blended = Lanes::Or(Lanes::Or(Lanes::ShiftLeft16<11>(red), Lanes::ShiftLeft16<5>(green)), blue);
    return Lanes::Select(Lanes::Equal16(a, Lanes::Set16(255)), s, blended);
}

// The packed add of 32-bit pixels: SatAdd32 of the colour, or the coarse add
// of the whole pixel.
template <bool kCoarse>
[[gnu::always_inline]] inline V PackedAdd32(V d, V s) {
    const V keep = Lanes::Set32(0x00FEFEFF);
    const V carries = Lanes::Set32(0x01010100);
    const V a = kCoarse ? s : Lanes::And(s, Lanes::Set32(0x00FFFFFF));
    const V t = Lanes::Add32(Lanes::And(d, keep), Lanes::And(a, keep));
    const V c = Lanes::And(t, carries);
    const V out = Lanes::Or(t, Lanes::Sub32(c, Lanes::ShiftRight32<8>(c)));
    if constexpr (kCoarse) return out;
    return Lanes::Or(out, Lanes::And(Lanes::Or(d, a), Lanes::Set32(0x00010100)));
}

// The packed 16-bit saturating add of 5-6-5 pixels held in 32-bit lanes,
// where red's carry has room.
[[gnu::always_inline]] inline V Add16Widened(V d, V s) {
    const V keep = Lanes::Set32(0xF7DEF7DFu);
    const V carries = Lanes::Set32(0x08210820);
    const V lowBits = Lanes::Set32(0x820);
    const V t = Lanes::Add32(Lanes::And(d, keep), Lanes::And(s, keep));
    const V c = Lanes::And(t, carries);
    return Lanes::Or(Lanes::Or(t, Lanes::Sub32(c, Lanes::ShiftRight32<5>(c))), Lanes::And(Lanes::Or(d, s), lowBits));
}

[[gnu::always_inline]] inline V Add16(V d, V s) {
    const V low = Add16Widened(Lanes::WidenLow16(d), Lanes::WidenLow16(s));
    const V high = Add16Widened(Lanes::WidenHigh16(d), Lanes::WidenHigh16(s));
    return Lanes::Narrow16(low, high);
}

// One step of path P's own loop: the destination vector `d` after the
// source vectors `s` are drawn onto it.
template <BlendPath P>
[[gnu::always_inline]] inline V DrawStep(uint32_t key, const V* s, V d) {
    using namespace fast_span;
    constexpr bool k32 = P.depth == PixelDepth::k32;
    V out;
    if constexpr (IsKeyedCopy<P>())
        out = s[0];
    else if constexpr (IsAlphaCopy<P>())
        return k32 ? AlphaWeigh32(d, s[0]) : AlphaWeigh16(d, s[0], s[1]);
    else if constexpr (IsByteAdd<P>())
        out = Lanes::AddSaturateU8(d, s[0]);
    else if constexpr (IsPackedAdd32<P>())
        out = PackedAdd32<P.param == ParamCase::kFull>(d, s[0]);
    else
        out = Add16(d, s[0]);
    if constexpr (P.transparent) {
        const V keyed = k32 ? Lanes::Equal32(s[0], Lanes::Set32(key)) : Lanes::Equal16(s[0], Lanes::Set16(key));
        out = Lanes::Select(keyed, d, out);
    }
    return out;
}

// Whether path P's own loop draws this draw's pixels: the adds below
// parameter 255 and 16-bit keys wider than a pixel are left to the per-pixel
// loop.
template <BlendPath P>
inline bool HasStepsFor(const BlendKernelParams& k) {
    using namespace fast_span;
    if constexpr (!HasDrawStep<P>()) return false;
    // A 16-bit pixel never equals a transparent colour wider than 16 bits;
    // the steps compare 16 bits.
    if constexpr (P.depth == PixelDepth::k16 && P.transparent && P.source == SourceKind::kPlain)
        if (k.transparentColor > 0xFFFFu) return false;
    if constexpr ((IsPackedAdd32<P>() && P.param != ParamCase::kFull) || IsAdd16<P>()) return k.param == 255;
    return true;
}

// Draws the first pixels of a run of `count` a step at a time and returns how
// many it drew (a multiple of the step). `fetch(i, s)` puts the source
// vectors of pixels i onwards into s.
template <BlendPath P, typename Fetch>
[[gnu::always_inline]] inline int DrawSteps(const BlendKernelParams& k, Fetch&& fetch, uint8_t* dest, int count) {
    constexpr int kStep = kStepPixels<P>;
    constexpr int kDestBytes = DestPixelBytes(P.depth);
    const uint32_t key = k.transparentColor;
    // Only a run much longer than the distance asked ahead gains from asking.
    const bool askAhead = count * kDestBytes >= 4 * kPrefetchAhead;
    int i = 0;
    for (; i + kStep <= count; i += kStep) {
        if (askAhead) PrefetchAhead(dest + i * kDestBytes);
        V s[kSourceVectors<P>];
        fetch(i, s);
        const V d = Lanes::Load(dest + i * kDestBytes);
        Lanes::Store(dest + i * kDestBytes, DrawStep<P>(key, s, d));
    }
    return i;
}

// The last `count` pixels of a run, fewer than a step: one step on vectors
// of which only the first `count` pixels are read and written. `fetch(s)`
// puts the source vectors of the `count` pixels into s; what it puts past
// them is never stored.
template <BlendPath P, typename Fetch>
[[gnu::always_inline]] inline void DrawLastStep(const BlendKernelParams& k, Fetch&& fetch, uint8_t* dest, int count) {
    const size_t destBytes = static_cast<size_t>(count) * DestPixelBytes(P.depth);
    V s[kSourceVectors<P>];
    fetch(s);
    Lanes::StoreFirst(dest, DrawStep<P>(k.transparentColor, s, Lanes::LoadFirst(dest, destBytes)), destBytes);
}

// Calls body.template operator()<kHardware>(), with kHardware set where
// texels of kTexelBytes bytes are fetched by the processor's gather: 32-bit
// texels, on a processor where the gather is the quicker (simd_level.h).
template <int kTexelBytes, typename Body>
[[gnu::always_inline]] inline auto WithGatherFetch(Body&& body) {
    if constexpr (kTexelBytes == 4 && Lanes::kHasHardwareGather)
        if (ActiveGatherFetch() == GatherFetch::kHardware) return body.template operator()<true>();
    return body.template operator()<false>();
}

// Draws the first pixels of a run of `count` a step at a time, as DrawSteps,
// texel i read from base + index[i] x kScale; returns how many it drew.
template <BlendPath P, int kScale>
[[gnu::always_inline]] inline int DrawGatheredSteps(const BlendKernelParams& k, const uint8_t* base, const int32_t* index, uint8_t* dest,
                             int count) {
    constexpr int kSourceBytes = SourcePixelBytes(P.depth, P.source);
    return WithGatherFetch<kSourceBytes>([&]<bool kHardware>() __attribute__((always_inline)) {
        const auto gather = [&](int at, V* texel) __attribute__((always_inline)) {
            if constexpr (kSourceBytes == 2) {
                texel[0] = Lanes::template Gather16<kScale>(base, index + at);
            } else {
                constexpr int kPerVector = Lanes::kBytes / 4;
                for (int v = 0; v < kSourceVectors<P>; ++v)
                    texel[v] = Lanes::template Gather32<kScale, kHardware>(base, index + at + v * kPerVector);
            }
        };
        return DrawSteps<P>(k, gather, dest, count);
    });
}

// Draws a run of `count` pixels, texel i read from base + index[i] x kScale.
// The 256-bit loops hand the pixels after their last whole step to the
// 128-bit loops, which take half as many a step: a step of 256 bits read and
// written under a mask takes longer than a 128-bit step and a shorter last
// one, on some processors several times as long.
template <BlendPath P, int kScale>
[[gnu::always_inline]] inline void DrawGatheredRun(const BlendKernelParams& k, const uint8_t* base, const int32_t* index, uint8_t* dest,
                            int count) {
    constexpr int kDestBytes = DestPixelBytes(P.depth);
    const int i = DrawGatheredSteps<P, kScale>(k, base, index, dest, count);
    if (i == count) return;
    if constexpr (Lanes::kBytes > 16) {
        simd_sse2::span_kernels::DrawGatheredRun<P, kScale>(k, base, index + i, dest + i * kDestBytes, count - i);
    } else {
        // The texels go straight into the vectors' lanes; the lanes past the
        // run repeat its last texel, which is there to read.
        int32_t last[kStepPixels<P>];
        for (int j = 0; j < kStepPixels<P>; ++j) last[j] = index[i + std::min(j, count - i - 1)];
        DrawLastStep<P>(
            k,
            [&](V* s) __attribute__((always_inline)) {
                constexpr int kSourceBytes = SourcePixelBytes(P.depth, P.source);
                if constexpr (kSourceBytes == 2) {
                    s[0] = Lanes::template Gather16<kScale>(base, last);
                } else {
                    constexpr int kPerVector = Lanes::kBytes / 4;
                    for (int v = 0; v < kSourceVectors<P>; ++v)
                        s[v] = Lanes::template Gather32<kScale>(base, last + v * kPerVector);
                }
            },
            dest + i * kDestBytes, count - i);
    }
}

}  // namespace span_kernels

// Draws a run of `count` with path P's own loop when it has one, and returns
// how many pixels it drew: all of them, or 0 for a path or draw without its
// own loop, which the caller draws pixel by pixel.
template <BlendPath P>
[[gnu::always_inline]] inline int DrawFastSpan(const BlendKernelParams& k, const uint8_t* source, uint8_t* dest, int count) {
    if constexpr (fast_span::HasDrawStep<P>()) {
        if (!span_kernels::HasStepsFor<P>(k)) return 0;
        constexpr int kSourceBytes = SourcePixelBytes(P.depth, P.source);
        constexpr int kDestBytes = DestPixelBytes(P.depth);
        const int drawn = span_kernels::DrawSteps<P>(
            k,
            [&, askAhead = count * kDestBytes >= 4 * kPrefetchAhead](int i, span_kernels::V* s) __attribute__((always_inline)) {
                if (askAhead) PrefetchAhead(source + i * kSourceBytes);
                for (int v = 0; v < span_kernels::kSourceVectors<P>; ++v)
                    s[v] = Lanes::Load(source + i * kSourceBytes + v * Lanes::kBytes);
            },
            dest, count);
        if (drawn == count) return count;
        // The 256-bit loops hand the rest to the 128-bit ones, as
        // DrawGatheredRun does.
        const uint8_t* const texels = source + drawn * kSourceBytes;
        uint8_t* const rest = dest + drawn * kDestBytes;
        if constexpr (Lanes::kBytes > 16) {
            simd_sse2::DrawFastSpan<P>(k, texels, rest, count - drawn);
        } else {
            const size_t sourceBytes = static_cast<size_t>(count - drawn) * kSourceBytes;
            span_kernels::DrawLastStep<P>(
                k,
                [&](span_kernels::V* s) __attribute__((always_inline)) {
                    for (int v = 0; v < span_kernels::kSourceVectors<P>; ++v) {
                        const size_t at = v * Lanes::kBytes;
                        s[v] = sourceBytes <= at                   ? Lanes::Zero()
                               : sourceBytes - at >= Lanes::kBytes ? Lanes::Load(texels + at)
                                                                   : Lanes::LoadFirst(texels + at, sourceBytes - at);
                    }
                },
                rest, count - drawn);
        }
        return count;
    }
    return 0;
}
