// The pixel loop of the stretched blit (sampling: stretch_blit_sampling.h).
//
// Every row samples the same source columns, so the x accumulator is run once
// per draw into a table of the columns each drawn pixel shows. A plain copy
// gathers straight into the destination, and a copied row that samples the
// same source row as the row above is that row again; the paths with a
// vector step of their own gather straight into its vectors; every other
// path gathers its texels (and blend-image bytes) into a short run and draws
// the run as the blit at a position draws one.
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

namespace stretch_gather {

// A texel of `kBytes` bytes.
template <int kBytes>
struct Texel {
    uint8_t bytes[kBytes];
};

// One row of a copy: each drawn pixel is the sampled source pixel (for a
// 16-bit alpha cell, its colour word), a vector of them at a time, stored
// past the caches when `stream` is set; 32-bit pixels by the processor's
// gather when `kHardware` is set.
template <int kSourceBytes, int kDestBytes, bool kHardware>
[[gnu::always_inline]] inline void GatherCopyRow(const uint8_t* sourceRow, const int32_t* columns, uint8_t* dest,
                                                 int width, bool stream) {
    // Texels fetched one load each fill two 128-bit vectors as quickly as one
    // 256-bit vector, and the 128-bit loop has fewer pixels left over at the
    // end of a row: the 256-bit loop copies only by the processor's gather.
    if constexpr (Lanes::kBytes > 16 && !kHardware) {
        return simd_sse2::stretch_gather::GatherCopyRow<kSourceBytes, kDestBytes, false>(sourceRow, columns, dest,
                                                                                         width, stream);
    }
    const auto pixel = [&](int i) __attribute__((always_inline)) {
        uint32_t v = 0;
        std::memcpy(&v, sourceRow + static_cast<ptrdiff_t>(columns[i]) * kSourceBytes, kDestBytes);
        return v;
    };
    constexpr int kPerStep = Lanes::kBytes / kDestBytes;
    int i = 0;
    // Up to the first vector boundary pixel by pixel, when streaming.
    if (stream)
        for (; i < width && (reinterpret_cast<uintptr_t>(dest + i * kDestBytes) & (Lanes::kBytes - 1)) != 0; ++i) {
            const uint32_t v = pixel(i);
            std::memcpy(dest + i * kDestBytes, &v, kDestBytes);
        }
    for (; i + kPerStep <= width; i += kPerStep) {
        const Lanes::V v = kDestBytes == 4 ? Lanes::Gather32<kSourceBytes, kHardware>(sourceRow, columns + i)
                                           : Lanes::Gather16<kSourceBytes>(sourceRow, columns + i);
        if (stream)
            Lanes::StoreStreaming(dest + i * kDestBytes, v);
        else
            Lanes::Store(dest + i * kDestBytes, v);
    }
    // The 256-bit loop hands the rest to the 128-bit one, so that no more
    // than a few pixels are fetched one by one.
    if constexpr (Lanes::kBytes > 16) {
        if (i < width)
            simd_sse2::stretch_gather::GatherCopyRow<kSourceBytes, kDestBytes, false>(
                sourceRow, columns + i, dest + i * kDestBytes, width - i, stream);
        return;
    }
    for (; i < width; ++i) {
        const uint32_t v = pixel(i);
        std::memcpy(dest + i * kDestBytes, &v, kDestBytes);
    }
}

}  // namespace stretch_gather

template <BlendPath P, bool kStrict>
void StretchPixelRows(const BlendKernelParams& k, const StretchRows& r) {
    constexpr int kSourceBytes = SourcePixelBytes(P.depth, P.source);
    constexpr int kDestBytes = DestPixelBytes(P.depth);
    using SourceTexel = stretch_gather::Texel<kSourceBytes>;
    // Short enough to stay in the nearest cache between gathering and drawing.
    constexpr int kChunk = 256;
    alignas(32) SourceTexel texels[kChunk];
    alignas(32) uint8_t maskBytes[kChunk];

    const int width = r.width;
    const int height = r.height;
    const int32_t* const columns = r.columns;
    const ptrdiff_t destPitch = r.destPitch;
    const uint8_t* sourceRow = r.source;
    const uint8_t* maskRow = r.mask;
    uint8_t* destRow = r.dest;
    int32_t ay = r.startY;
    bool sameSourceRow = false;
    // The paths with a vector step of their own, which reads no mask.
    bool vectorSteps = false;
    if constexpr (fast_span::HasDrawStep<P>()) vectorSteps = span_kernels::HasStepsFor<P>(k);
    // A copy too large for the caches stores past them.
    const bool stream = fast_span::IsGatherCopy<P>() &&
                        static_cast<size_t>(width) * kDestBytes * static_cast<size_t>(height) >=
                            StreamingCopyBytes();
    for (int row = 0;;) {
        if constexpr (fast_span::IsGatherCopy<P>()) {
            if (sameSourceRow && !stream) {
                // Inlined, as a blit's rows are: a call a short row costs as
                // much as the copy, and more from the AVX2 loops, which must
                // clear the upper register halves before it.
                blit_span::CopyRow(destRow, destRow - destPitch, static_cast<size_t>(width) * kDestBytes);
            } else {
                span_kernels::WithGatherFetch<kDestBytes>([&]<bool kHardware>() {
                    stretch_gather::GatherCopyRow<kSourceBytes, kDestBytes, kHardware>(sourceRow, columns, destRow,
                                                                                       width, stream);
                });
            }
        } else if (vectorSteps) {
            // The sampled texels go straight into the vectors of the path's
            // own loop.
            span_kernels::DrawGatheredRun<P, kSourceBytes>(k, sourceRow, columns, destRow, width);
        } else {
            for (int first = 0; first < width; first += kChunk) {
                const int count = width - first < kChunk ? width - first : kChunk;
                const SourceTexel* from = reinterpret_cast<const SourceTexel*>(sourceRow);
                const int32_t* chunkColumns = columns + first;
                for (int i = 0; i < count; ++i) texels[i] = from[chunkColumns[i]];
                if constexpr (P.blendGraphic)
                    for (int i = 0; i < count; ++i) maskBytes[i] = maskRow[chunkColumns[i]];
                DrawSpan<P>(k, reinterpret_cast<const uint8_t*>(texels), maskBytes,
                            destRow + static_cast<ptrdiff_t>(first) * kDestBytes, count);
            }
        }
        if (++row == height) break;
        destRow += destPitch;
        const int moves = stretch_rows::Advance<kStrict>(ay, r.stepY);
        sameSourceRow = moves == 0;
        sourceRow += moves * r.sourceRowStep;
        if constexpr (P.blendGraphic) maskRow += moves * r.maskRowStep;
    }
    if (stream) blit_span::StreamedRowsDone();
}
