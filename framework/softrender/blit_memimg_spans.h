// One horizontal run of pixels drawn by a blend path: the innermost loop of the
// blit at a position, for the per-pixel path and for each run of the run-code
// path, and of the stretched blit.
//
// Every path draws through the shared per-pixel operation `BlendPixel<P>`;
// the paths of fast_span_paths.h have loops of their own that give the same
// pixels a vector at a time.
//
// No include guard: draw_loops.h includes this file once per pass, inside
// the pass's namespace.

namespace blit_span {

// Moves `bytes` bytes (at most two vectors' worth) as memmove would: the
// first and the last piece of the largest size that fits are both read before
// either is written, so the pieces may overlap each other and the rows may
// overlap too.
inline void CopyShortRow(uint8_t* dest, const uint8_t* source, size_t bytes) {
    const auto move = [&]<typename Piece>(Piece) {
        Piece first, last;
        std::memcpy(&first, source, sizeof first);
        std::memcpy(&last, source + bytes - sizeof last, sizeof last);
        std::memcpy(dest, &first, sizeof first);
        std::memcpy(dest + bytes - sizeof last, &last, sizeof last);
    };
    if (bytes >= Lanes::kBytes) {
        const Lanes::V first = Lanes::Load(source);
        const Lanes::V last = Lanes::Load(source + bytes - Lanes::kBytes);
        Lanes::Store(dest, first);
        Lanes::Store(dest + bytes - Lanes::kBytes, last);
    } else if (bytes >= 16) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + bytes - 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), first);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + bytes - 16), last);
    } else if (bytes >= 8) {
        move(uint64_t{});
    } else if (bytes >= 4) {
        move(uint32_t{});
    } else if (bytes >= 2) {
        move(uint16_t{});
    } else if (bytes == 1) {
        *dest = *source;
    }
}

// CopyRow of more than two vectors' worth: longer rows store whole vectors
// on vector boundaries of the destination. Rows that overlap (an image drawn
// onto itself) go to memmove.
inline void CopyLongerRow(uint8_t* dest, const uint8_t* source, size_t bytes) {
    constexpr size_t kStep = Lanes::kBytes;
    if (bytes <= 4 * kStep) {
        // Up to four vectors, all read before any is written.
        const Lanes::V a = Lanes::Load(source);
        const Lanes::V b = Lanes::Load(source + kStep);
        const Lanes::V c = Lanes::Load(source + bytes - 2 * kStep);
        const Lanes::V d = Lanes::Load(source + bytes - kStep);
        Lanes::Store(dest, a);
        Lanes::Store(dest + kStep, b);
        Lanes::Store(dest + bytes - 2 * kStep, c);
        Lanes::Store(dest + bytes - kStep, d);
        return;
    }
    if (dest + bytes <= source || source + bytes <= dest) {
        // The first and the last vector unaligned, which may overlap the
        // aligned ones between them.
        const Lanes::V first = Lanes::Load(source);
        const Lanes::V last = Lanes::Load(source + bytes - kStep);
        const size_t head = kStep - (reinterpret_cast<uintptr_t>(dest) & (kStep - 1));
        const size_t end = bytes - kStep;
        // Only a copy much longer than the distance asked ahead gains from
        // asking; a shorter one finds its lines on the way.
        const bool askAhead = bytes >= 4 * kPrefetchAhead;
        size_t i = head;
        for (; i + 2 * kStep <= end; i += 2 * kStep) {
            if (askAhead) {
                PrefetchAhead(source + i);
                PrefetchAhead(dest + i);
            }
            const Lanes::V a = Lanes::Load(source + i);
            const Lanes::V b = Lanes::Load(source + i + kStep);
            Lanes::StoreAligned(dest + i, a);
            Lanes::StoreAligned(dest + i + kStep, b);
        }
        for (; i < end; i += kStep) Lanes::StoreAligned(dest + i, Lanes::Load(source + i));
        Lanes::Store(dest, first);
        Lanes::Store(dest + end, last);
        return;
    }
    std::memmove(dest, source, bytes);
}

// Moves one row of whole pixels as memmove would. A sprite's short rows are
// moved in vector steps in the caller's loop, without a call a row (which
// costs as much as the move).
inline void CopyRow(uint8_t* dest, const uint8_t* source, size_t bytes) {
    if (bytes <= 2 * Lanes::kBytes) return CopyShortRow(dest, source, bytes);
    CopyLongerRow(dest, source, bytes);
}

// Moves one row of a copy too large for the caches with stores that bypass
// them, so that no destination line is first read in only to be overwritten;
// four vectors a step keep a whole cache line's stores together. The caller
// ends the draw with StreamedRowsDone.
inline void StreamRow(uint8_t* dest, const uint8_t* source, size_t bytes) {
    constexpr size_t kStep = Lanes::kBytes;
    if (bytes >= 4 * kStep && (dest + bytes <= source || source + bytes <= dest)) {
        const size_t head = (kStep - (reinterpret_cast<uintptr_t>(dest) & (kStep - 1))) & (kStep - 1);
        std::memcpy(dest, source, head);
        size_t i = head;
        for (; i + 4 * kStep <= bytes; i += 4 * kStep) {
            for (size_t line = 0; line < 4 * kStep; line += 64) PrefetchAhead(source + i + line);
            const Lanes::V a = Lanes::Load(source + i);
            const Lanes::V b = Lanes::Load(source + i + kStep);
            const Lanes::V c = Lanes::Load(source + i + 2 * kStep);
            const Lanes::V d = Lanes::Load(source + i + 3 * kStep);
            Lanes::StoreStreaming(dest + i, a);
            Lanes::StoreStreaming(dest + i + kStep, b);
            Lanes::StoreStreaming(dest + i + 2 * kStep, c);
            Lanes::StoreStreaming(dest + i + 3 * kStep, d);
        }
        for (; i + kStep <= bytes; i += kStep) Lanes::StoreStreaming(dest + i, Lanes::Load(source + i));
        std::memcpy(dest + i, source + i, bytes - i);
        return;
    }
    std::memmove(dest, source, bytes);
}

inline void StreamedRowsDone() { _mm_sfence(); }

}  // namespace blit_span

// Draws `count` pixels: source texels `kSourceBytes` apart from `source`, mask
// bytes from `mask` (read only when the path has a blend graphic), destination
// pixels from `dest`.
template <BlendPath P>
inline void DrawSpan(const BlendKernelParams& k, const uint8_t* source, const uint8_t* mask, uint8_t* dest,
                     int count) {
    constexpr int kSourceBytes = SourcePixelBytes(P.depth, P.source);
    constexpr int kDestBytes = DestPixelBytes(P.depth);
    if constexpr (fast_span::IsBlockCopy<P>()) {
        blit_span::CopyRow(dest, source, static_cast<size_t>(count) * kDestBytes);
    } else {
        for (int i = DrawFastSpan<P>(k, source, dest, count); i < count; ++i) {
            BlendPixel<P>(k, source + static_cast<ptrdiff_t>(i) * kSourceBytes, P.blendGraphic ? mask[i] : uint8_t{0},
                          dest + static_cast<ptrdiff_t>(i) * kDestBytes);
        }
    }
}
