// One row segment of a textured draw (the rotated blit, the triangles): pixel
// i shows the texel at (u + i du, v + i dv), 14.18 and modulo 2^32, when that
// lies inside the source, and keeps its value otherwise.
//
// The runs of pixels inside the source are found first (texture_ranges.h);
// inside them nothing is tested per pixel. A run that walks a source row
// texel after texel is drawn as the blit draws a row; any other run reads its
// texels at offsets worked out a chunk at a time, a vector at a time in the
// paths that have a vector step.
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

namespace textured_span {

// More runs than this in one row (a coordinate that wraps round 2^32 again
// and again) and the row is tested pixel by pixel.
inline constexpr int kMostRanges = 4;

// The pixels whose texels are inside the source, tested one by one.
template <BlendPath P>
void DrawTestedPixels(const BlendKernelParams& k, const TextureSource& t, uint32_t u, uint32_t v, uint32_t du,
                      uint32_t dv, uint8_t* dest, int count) {
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    constexpr ptrdiff_t kSourceBytes = SourcePixelBytes(P.depth, P.source);
    for (int i = 0; i < count; ++i, u += du, v += dv, dest += kDestBytes) {
        if (u < t.uLimit && v < t.vLimit) {
            const ptrdiff_t tx = u >> 18;
            const ptrdiff_t ty = v >> 18;
            const uint8_t maskByte = P.blendGraphic ? t.maskPixels[ty * t.maskPitch + tx] : uint8_t{0};
            BlendPixel<P>(k, t.pixels + ty * t.pitch + tx * kSourceBytes, maskByte, dest);
        }
    }
}

// A run whose every texel is inside the source.
template <BlendPath P>
void DrawInsideRun(const BlendKernelParams& k, const TextureSource& t, uint32_t u, uint32_t v, uint32_t du, uint32_t dv,
                   uint8_t* dest, int count) {
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    constexpr ptrdiff_t kSourceBytes = SourcePixelBytes(P.depth, P.source);
    if (dv == 0 && du == uint32_t{1} << 18) {
        // Texel after texel along one source row.
        const ptrdiff_t tx = u >> 18;
        const ptrdiff_t ty = v >> 18;
        const uint8_t* mask = P.blendGraphic ? t.maskPixels + ty * t.maskPitch + tx : nullptr;
        return DrawSpan<P>(k, t.pixels + ty * t.pitch + tx * kSourceBytes, mask, dest, count);
    }
    // Short enough to stay in the nearest cache between working the offsets
    // out and drawing.
    constexpr int kChunk = 256;
    alignas(32) int32_t offsets[kChunk];
    bool vectorSteps = false;
    if constexpr (fast_span::HasDrawStep<P>()) vectorSteps = span_kernels::HasStepsFor<P>(k);
    for (int first = 0; first < count; first += kChunk) {
        const int n = count - first < kChunk ? count - first : kChunk;
        // Every offset fits 32 bits: an image holds at most 2^31 - 1 bytes.
        for (int i = 0; i < n; ++i, u += du, v += dv)
            offsets[i] = static_cast<int32_t>(static_cast<ptrdiff_t>(v >> 18) * t.pitch +
                                              static_cast<ptrdiff_t>(u >> 18) * kSourceBytes);
        uint8_t* chunk = dest + first * kDestBytes;
        if constexpr (fast_span::HasDrawStep<P>()) {
            if (vectorSteps) {
                span_kernels::DrawGatheredRun<P, 1>(k, t.pixels, offsets, chunk, n);
                continue;
            }
        }
        for (int i = 0; i < n; ++i) {
            uint8_t maskByte = 0;
            if constexpr (P.blendGraphic) {
                const uint32_t texelU = u - static_cast<uint32_t>(n - i) * du;
                const uint32_t texelV = v - static_cast<uint32_t>(n - i) * dv;
                maskByte = t.maskPixels[static_cast<ptrdiff_t>(texelV >> 18) * t.maskPitch + (texelU >> 18)];
            }
            BlendPixel<P>(k, t.pixels + offsets[i], maskByte, chunk + i * kDestBytes);
        }
    }
}

// Whether every pixel of a row of `count` shows a coordinate below `limit`:
// the first and the last do, without a wrap of 2^32 between them.
inline bool AllInside(uint32_t start, uint32_t step, uint64_t limit, int count) {
    const int64_t first = static_cast<int32_t>(start);
    const int64_t last = first + static_cast<int64_t>(static_cast<int32_t>(step)) * (count - 1);
    const int64_t l = static_cast<int64_t>(limit);
    return first >= 0 && first < l && last >= 0 && last < l;
}

}  // namespace textured_span

template <BlendPath P>
void DrawTexturedSpan(const BlendKernelParams& k, const TextureSource& t, uint32_t u, uint32_t v, uint32_t du,
                      uint32_t dv, uint8_t* dest, int count) {
    using namespace textured_span;
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    if (count <= 0) return;
    // Most rows are inside but for a pixel or two at their ends.
    const auto inside = [&](uint32_t pu, uint32_t pv) { return pu < t.uLimit && pv < t.vLimit; };
    for (int trimmed = 0; trimmed < 2 && count > 0 && !inside(u, v); ++trimmed, --count) {
        u += du;
        v += dv;
        dest += kDestBytes;
    }
    for (int trimmed = 0; trimmed < 2 && count > 0 &&
                          !inside(u + static_cast<uint32_t>(count - 1) * du, v + static_cast<uint32_t>(count - 1) * dv);
         ++trimmed)
        --count;
    if (count <= 0) return;
    const bool wholeU = t.uLimit >= (uint64_t{1} << 32) || AllInside(u, du, t.uLimit, count);
    const bool wholeV = t.vLimit >= (uint64_t{1} << 32) || AllInside(v, dv, t.vLimit, count);
    if (wholeU && wholeV) return DrawInsideRun<P>(k, t, u, v, du, dv, dest, count);

    PixelRange alongU[kMostRanges], alongV[kMostRanges], runs[2 * kMostRanges];
    const int nu = RangesInside(u, du, t.uLimit, count, alongU, kMostRanges);
    const int nv = RangesInside(v, dv, t.vLimit, count, alongV, kMostRanges);
    if (nu < 0 || nv < 0) return DrawTestedPixels<P>(k, t, u, v, du, dv, dest, count);
    const int n = IntersectRanges(alongU, nu, alongV, nv, runs);
    for (int r = 0; r < n; ++r) {
        const uint32_t begin = static_cast<uint32_t>(runs[r].begin);
        DrawInsideRun<P>(k, t, u + begin * du, v + begin * dv, du, dv, dest + runs[r].begin * kDestBytes,
                         runs[r].end - runs[r].begin);
    }
}
