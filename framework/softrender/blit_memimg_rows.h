// The two row loops of the blit at a position: the per-pixel path over the
// clipped rectangle, and the whole-image path that reads the source's run
// codes instead of testing each pixel for transparency.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/softrender/blend_dispatch.h"
#include "framework/softrender/blit_memimg_spans.h"
#include "framework/softrender/memimg.h"

// Where one draw reads and writes: the first source pixel, mask byte and
// destination pixel of the drawn rectangle, each with its pitch.
struct BlitRows {
    const uint8_t* source;
    ptrdiff_t sourcePitch;
    const uint8_t* mask;  // null without a blend graphic
    ptrdiff_t maskPitch;
    uint8_t* dest;
    ptrdiff_t destPitch;
    int width;
    int height;
};

template <BlendPath P>
void BlitPixelRows(const BlendKernelParams& k, const BlitRows& r) {
    if constexpr (blit_span::IsBlockCopy<P>()) {
        const size_t rowBytes = static_cast<size_t>(r.width) * DestPixelBytes(P.depth);
        if (rowBytes * static_cast<size_t>(r.height) >= blit_span::kStreamingCopyBytes) {
            for (int row = 0; row < r.height; ++row)
                blit_span::StreamRow(r.dest + row * r.destPitch, r.source + row * r.sourcePitch, rowBytes);
            blit_span::StreamedRowsDone();
            return;
        }
    }
    const uint8_t* source = r.source;
    const uint8_t* mask = r.mask;
    uint8_t* dest = r.dest;
    for (int row = 0; row < r.height; ++row) {
        DrawSpan<P>(k, source, mask, dest, r.width);
        source += r.sourcePitch;
        if constexpr (P.blendGraphic) mask += r.maskPitch;
        dest += r.destPitch;
    }
}

// The run codes of the rows a view shows, and the view's first column in
// its base: a view of part of a base reads the base's codes and keeps the
// part of each run that falls inside it.
struct RunCodeWindow {
    const uint8_t* firstRow;  // the codes of the view's first row
    const uint8_t* end;       // the end of the base's codes
    int left;                 // the view's first column in the base
    int baseWidth;
};

// The whole-image path: a transparent run is passed over; an opaque or
// translucent run is drawn. Opaque runs of a source without alpha hold no
// transparent pixel, so they are drawn without the test. Neighbouring runs of
// one kind (a run holds at most 64 pixels) are drawn as one.
template <BlendPath P>
void BlitRunCodeRows(const BlendKernelParams& k, const BlitRows& r, RunCodeWindow window) {
    static_assert(P.transparent, "the run codes stand for the transparency test");
    constexpr BlendPath kOpaque = P.source == SourceKind::kAlpha ? P : blend_dispatch::WithTransparent(P, false);
    constexpr ptrdiff_t kSourceBytes = SourcePixelBytes(P.depth, P.source);
    constexpr ptrdiff_t kDestBytes = DestPixelBytes(P.depth);
    const int left = window.left;
    const int right = window.left + r.width;
    const uint8_t* code = window.firstRow;
    const uint8_t* sourceRow = r.source;
    const uint8_t* maskRow = r.mask;
    uint8_t* destRow = r.dest;
    // Draws base columns [start, end) of the row, of one kind, within the view.
    const auto draw = [&](int start, int end, uint8_t kind) __attribute__((always_inline)) {
        if (kind == kRunTransparent) return;
        const int from = (start > left ? start : left) - left;
        const int to = (end < right ? end : right) - left;
        if (from >= to) return;
        const uint8_t* source = sourceRow + from * kSourceBytes;
        const uint8_t* mask = P.blendGraphic ? maskRow + from : nullptr;
        uint8_t* dest = destRow + from * kDestBytes;
        if (kind == kRunOpaque)
            DrawSpan<kOpaque>(k, source, mask, dest, to - from);
        else
            DrawSpan<P>(k, source, mask, dest, to - from);
    };
    for (int row = 0; row < r.height; ++row) {
        int column = 0;  // the base column where the next run starts
        int spanStart = 0;
        uint8_t spanKind = kRunTransparent;
        for (;;) {
            const uint8_t c = *code++;
            if (c == kRunEndOfRow) {
                draw(spanStart, column, spanKind);
                break;
            }
            const uint8_t kind = c & kRunKindMask;
            if (kind != spanKind) {
                draw(spanStart, column, spanKind);
                spanStart = column;
                spanKind = kind;
            }
            column += (c & kRunLengthMask) + 1;
            if (column >= right) {
                draw(spanStart, column, spanKind);
                if (right == window.baseWidth)
                    ++code;  // the row's end code
                else  // the rest of the row lies past the view
                    code = static_cast<const uint8_t*>(
                               std::memchr(code, kRunEndOfRow, static_cast<size_t>(window.end - code))) + 1;
                break;
            }
        }
        sourceRow += r.sourcePitch;
        if constexpr (P.blendGraphic) maskRow += r.maskPitch;
        destRow += r.destPitch;
    }
}
