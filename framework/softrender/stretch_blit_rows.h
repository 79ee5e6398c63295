// The pixel loop of the stretched blit: nearest-pixel sampling driven by a
// 16.16 error accumulator in each direction.
//
// Every row samples the same source columns, so the x accumulator is run once
// per draw into a table of the columns each drawn pixel shows. A row then
// gathers its texels (and blend-image bytes) into a short run and draws the
// run as the blit at a position draws one, through the same span loops; a
// plain copy gathers straight into the destination, and a copied row that
// samples the same source row as the row above is that row again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/softrender/blit_memimg_spans.h"

// Where one stretched draw starts and how it steps.
struct StretchRows {
    const uint8_t* source;  // the source row of the first drawn row, at the first sampled column
    ptrdiff_t sourceRowStep;  // negative when mirrored top to bottom
    const uint8_t* mask;    // the blend image at the same place, or null
    ptrdiff_t maskRowStep;
    // For each drawn pixel of a row, its source column counted from the first
    // sampled one (negative steps when mirrored left to right).
    const int32_t* columns;
    uint8_t* dest;          // the first drawn destination pixel
    ptrdiff_t destPitch;
    int width;              // drawn pixels per row
    int height;             // drawn rows
    int32_t stepY;          // destination rows per source row, 16.16
    int32_t startY;         // the y accumulator at the first drawn row
};

namespace stretch_rows {

// One move of an accumulator after a destination pixel or row: while it is 0
// or below it gains `step` and the source moves on. The strict rule goes on
// only while it is below 0, though it always takes the first move.
template <bool kStrict>
inline int Advance(int32_t& accumulator, int32_t step) {
    accumulator -= 65536;
    if (accumulator > 0) return 0;
    int moves = 0;
    do {
        accumulator += step;
        ++moves;
    } while (kStrict ? accumulator < 0 : accumulator <= 0);
    return moves;
}

// A texel of `kBytes` bytes.
template <int kBytes>
struct Texel {
    uint8_t bytes[kBytes];
};

// The copy of mode 0 that stores the source's pixel (for a 16-bit alpha
// cell, its colour word) without reading the destination.
template <BlendPath P>
constexpr bool IsGatherCopy() {
    if (P.mode != 0 || P.blendGraphic || P.brighten || P.transparent) return false;
    if (P.source == SourceKind::kPlain) return true;
    return P.source == SourceKind::kAlpha && P.rules.copyIgnoresAlpha;
}

// One row of a copy: each drawn pixel is the sampled source pixel (for a
// 16-bit alpha cell, its colour word), 16 bytes of them at a time, stored past
// the caches when `stream` is set.
template <int kSourceBytes, int kDestBytes>
inline void GatherCopyRow(const uint8_t* sourceRow, const int32_t* columns, uint8_t* dest, int width, bool stream) {
    const auto pixel = [&](int i) {
        uint32_t v = 0;
        std::memcpy(&v, sourceRow + static_cast<ptrdiff_t>(columns[i]) * kSourceBytes, kDestBytes);
        return v;
    };
    int i = 0;
#if defined(__SSE2__)
    constexpr int kPerStep = 16 / kDestBytes;
    // Up to the first 16-byte boundary pixel by pixel, when streaming.
    if (stream)
        for (; i < width && (reinterpret_cast<uintptr_t>(dest + i * kDestBytes) & 15) != 0; ++i) {
            const uint32_t v = pixel(i);
            std::memcpy(dest + i * kDestBytes, &v, kDestBytes);
        }
    for (; i + kPerStep <= width; i += kPerStep) {
        __m128i v;
        if constexpr (kDestBytes == 4)
            v = _mm_setr_epi32(static_cast<int>(pixel(i)), static_cast<int>(pixel(i + 1)),
                               static_cast<int>(pixel(i + 2)), static_cast<int>(pixel(i + 3)));
        else
            v = _mm_setr_epi16(static_cast<short>(pixel(i)), static_cast<short>(pixel(i + 1)),
                               static_cast<short>(pixel(i + 2)), static_cast<short>(pixel(i + 3)),
                               static_cast<short>(pixel(i + 4)), static_cast<short>(pixel(i + 5)),
                               static_cast<short>(pixel(i + 6)), static_cast<short>(pixel(i + 7)));
        __m128i* to = reinterpret_cast<__m128i*>(dest + i * kDestBytes);
        if (stream)
            _mm_stream_si128(to, v);
        else
            _mm_storeu_si128(to, v);
    }
#endif
    for (; i < width; ++i) {
        const uint32_t v = pixel(i);
        std::memcpy(dest + i * kDestBytes, &v, kDestBytes);
    }
}

}  // namespace stretch_rows

// Fills `columns` with the source column each of `count` drawn pixels shows,
// from the accumulator's start value, counted from the first sampled column;
// `direction` is -1 when mirrored.
template <bool kStrict>
void SampleColumns(int32_t* columns, int count, int32_t step, int32_t start, int direction) {
    int32_t accumulator = start;
    int32_t column = 0;
    for (int i = 0;;) {
        columns[i] = column;
        if (++i == count) break;
        column += direction * stretch_rows::Advance<kStrict>(accumulator, step);
    }
}

template <BlendPath P, bool kStrict>
void StretchPixelRows(const BlendKernelParams& k, const StretchRows& r) {
    constexpr int kSourceBytes = SourcePixelBytes(P.depth, P.source);
    constexpr int kDestBytes = DestPixelBytes(P.depth);
    using SourceTexel = stretch_rows::Texel<kSourceBytes>;
    // Short enough to stay in the nearest cache between gathering and drawing.
    constexpr int kChunk = 256;
    alignas(16) SourceTexel texels[kChunk];
    alignas(16) uint8_t maskBytes[kChunk];

    const uint8_t* sourceRow = r.source;
    const uint8_t* maskRow = r.mask;
    uint8_t* destRow = r.dest;
    int32_t ay = r.startY;
    bool sameSourceRow = false;
    // A copy too large for the caches stores past them.
    const bool stream = stretch_rows::IsGatherCopy<P>() &&
                        static_cast<size_t>(r.width) * kDestBytes * static_cast<size_t>(r.height) >=
                            blit_span::kStreamingCopyBytes;
    for (int row = 0;;) {
        if constexpr (stretch_rows::IsGatherCopy<P>()) {
            if (sameSourceRow && !stream) {
                std::memcpy(destRow, destRow - r.destPitch, static_cast<size_t>(r.width) * kDestBytes);
            } else {
                stretch_rows::GatherCopyRow<kSourceBytes, kDestBytes>(sourceRow, r.columns, destRow, r.width, stream);
            }
        } else {
            for (int first = 0; first < r.width; first += kChunk) {
                const int count = r.width - first < kChunk ? r.width - first : kChunk;
                const SourceTexel* from = reinterpret_cast<const SourceTexel*>(sourceRow);
                const int32_t* columns = r.columns + first;
                for (int i = 0; i < count; ++i) texels[i] = from[columns[i]];
                if constexpr (P.blendGraphic)
                    for (int i = 0; i < count; ++i) maskBytes[i] = maskRow[columns[i]];
                DrawSpan<P>(k, reinterpret_cast<const uint8_t*>(texels), maskBytes,
                            destRow + static_cast<ptrdiff_t>(first) * kDestBytes, count);
            }
        }
        if (++row == r.height) break;
        destRow += r.destPitch;
        const int moves = stretch_rows::Advance<kStrict>(ay, r.stepY);
        sameSourceRow = moves == 0;
        sourceRow += moves * r.sourceRowStep;
        if constexpr (P.blendGraphic) maskRow += moves * r.maskRowStep;
    }
    if (stream) blit_span::StreamedRowsDone();
}
