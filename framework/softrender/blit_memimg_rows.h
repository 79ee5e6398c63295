// The two row loops of the blit at a position: the per-pixel path over the
// clipped rectangle, and the whole-image path that reads the source's run
// codes instead of testing each pixel for transparency.
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

template <BlendPath P>
void BlitPixelRows(const BlendKernelParams& k, const BlitRows& r) {
    const int width = r.width;
    const int height = r.height;
    const ptrdiff_t sourcePitch = r.sourcePitch;
    const ptrdiff_t maskPitch = r.maskPitch;
    const ptrdiff_t destPitch = r.destPitch;
    const uint8_t* source = r.source;
    const uint8_t* mask = r.mask;
    uint8_t* dest = r.dest;
    if constexpr (fast_span::IsBlockCopy<P>()) {
        const size_t rowBytes = static_cast<size_t>(width) * DestPixelBytes(P.depth);
        const size_t bytes = rowBytes * static_cast<size_t>(height);
        // Rows that follow one another without a gap on both sides, in
        // blocks that do not overlap, are one row.
        const bool oneBlock = sourcePitch == static_cast<ptrdiff_t>(rowBytes) &&
                              destPitch == static_cast<ptrdiff_t>(rowBytes) &&
                              (dest + bytes <= source || source + bytes <= dest);
        if (bytes >= StreamingCopyBytes()) {
            if (oneBlock) {
                blit_span::StreamRow(dest, source, bytes);
            } else {
                for (int row = 0; row < height; ++row, source += sourcePitch, dest += destPitch)
                    blit_span::StreamRow(dest, source, rowBytes);
            }
            blit_span::StreamedRowsDone();
            return;
        }
        if (oneBlock) return blit_span::CopyRow(dest, source, bytes);
    }
    for (int row = 0; row < height; ++row) {
        DrawSpan<P>(k, source, mask, dest, width);
        source += sourcePitch;
        if constexpr (P.blendGraphic) mask += maskPitch;
        dest += destPitch;
    }
}

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
    const int height = r.height;
    const ptrdiff_t sourcePitch = r.sourcePitch;
    const ptrdiff_t maskPitch = r.maskPitch;
    const ptrdiff_t destPitch = r.destPitch;
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
        // The processor's own prefetch picks a row's stretch up only after
        // its first misses; the same stretch of the next row is asked for
        // now, while this one is drawn.
        for (ptrdiff_t at = 0; at < (to - from) * kDestBytes; at += 64) {
            _mm_prefetch(reinterpret_cast<const char*>(dest + destPitch + at), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(source + sourcePitch + at * kSourceBytes / kDestBytes),
                         _MM_HINT_T0);
        }
        if (kind == kRunOpaque)
            DrawSpan<kOpaque>(k, source, mask, dest, to - from);
        else
            DrawSpan<P>(k, source, mask, dest, to - from);
    };
    if (left == 0 && right == window.baseWidth) {
        // The view shows whole rows: each row's codes are read up to its end
        // code, a stretch of one kind at a time (the end code is of a kind of
        // its own, so it ends the last stretch).
        for (int row = 0; row < height; ++row) {
            int column = 0;
            uint8_t c = *code++;
            while (c != kRunEndOfRow) {
                const uint8_t kind = c & kRunKindMask;
                const int start = column;
                do {
                    column += (c & kRunLengthMask) + 1;
                    c = *code++;
                } while ((c & kRunKindMask) == kind);
                draw(start, column, kind);
            }
            sourceRow += sourcePitch;
            if constexpr (P.blendGraphic) maskRow += maskPitch;
            destRow += destPitch;
        }
        return;
    }
    for (int row = 0; row < height; ++row) {
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
        sourceRow += sourcePitch;
        if constexpr (P.blendGraphic) maskRow += maskPitch;
        destRow += destPitch;
    }
}

// Below this width a keyed or alpha-weighted copy takes the per-pixel loop.
inline constexpr int kRunCodesMinWidth = 128;

// The blit's rows: over the run codes when `window` is given (the whole image
// with the transparency flag 1 and codes that match the transparency test),
// else pixel by pixel.
template <BlendPath P>
void DrawBlitRows(const BlendKernelParams& k, const BlitRows& r, const RunCodeWindow* window) {
    if constexpr (P.transparent) {
        // A narrow copy that skips the transparent colour or clear pixels is
        // quicker tested pixel by pixel, several at a time, than walked run
        // by run; in mode 0 both paths give the same pixels.
        constexpr bool kQuickerPerPixel = fast_span::IsKeyedCopy<P>() || fast_span::IsAlphaCopy<P>();
        if (window != nullptr && !(kQuickerPerPixel && r.width < kRunCodesMinWidth))
            return BlitRunCodeRows<P>(k, r, *window);
    }
    BlitPixelRows<P>(k, r);
}
