// One horizontal run of pixels drawn by a blend path: the innermost loop of the
// blit at a position, for the per-pixel path and for each run of the run-code
// path.
//
// Every path draws through the shared per-pixel operation `BlendPixel<P>`;
// the few paths that a game draws most (the plain copy, the colour-keyed
// copy, the alpha-weighted copy and the saturating add) have loops of their
// own that give the same pixels several at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/softrender/blit_memimg_fast_spans.h"
#include "framework/softrender/pixel_operations.h"

namespace blit_span {

// Moves one row of whole pixels. A sprite's short rows are moved in 16-byte
// steps here rather than through a call; longer rows, and rows that overlap
// (an image drawn onto itself), go to memmove.
inline void CopyRow(uint8_t* dest, const uint8_t* source, size_t bytes) {
#if defined(__SSE2__)
    if (bytes >= 16 && bytes <= 256 && (dest + bytes <= source || source + bytes <= dest)) {
        // Whole 16-byte steps, then the last 16 bytes, which may overlap the
        // step before: one loop whatever the length.
        const uint8_t* const last = source + bytes - 16;
        uint8_t* const lastDest = dest + bytes - 16;
        while (source < last) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_loadu_si128(reinterpret_cast<const __m128i*>(source)));
            source += 16;
            dest += 16;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lastDest), _mm_loadu_si128(reinterpret_cast<const __m128i*>(last)));
        return;
    }
#endif
    std::memmove(dest, source, bytes);
}

// Moves one row of a copy too large for the caches with stores that bypass
// them, so that no destination line is first read in only to be overwritten.
// The caller ends the draw with StreamedRowsDone.
inline void StreamRow(uint8_t* dest, const uint8_t* source, size_t bytes) {
#if defined(__SSE2__)
    if (bytes >= 64 && (dest + bytes <= source || source + bytes <= dest)) {
        const size_t head = (16 - (reinterpret_cast<uintptr_t>(dest) & 15)) & 15;
        std::memcpy(dest, source, head);
        size_t i = head;
        for (; i + 16 <= bytes; i += 16)
            _mm_stream_si128(reinterpret_cast<__m128i*>(dest + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i)));
        std::memcpy(dest + i, source + i, bytes - i);
        return;
    }
#endif
    std::memmove(dest, source, bytes);
}

inline void StreamedRowsDone() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// Copies of more bytes than this stream past the caches.
constexpr size_t kStreamingCopyBytes = size_t{8} << 20;

// The copy of mode 0 that moves whole pixels: no weight, no brightening and
// the same pixel size on both sides.
template <BlendPath P>
constexpr bool IsBlockCopy() {
    if (P.mode != 0 || P.blendGraphic || P.brighten) return false;
    if (SourcePixelBytes(P.depth, P.source) != DestPixelBytes(P.depth)) return false;
    if (P.source == SourceKind::kPlain) return !P.transparent;
    if (P.source == SourceKind::kAlpha) return !P.transparent && P.rules.copyIgnoresAlpha;
    return false;
}

}  // namespace blit_span

// Draws `count` pixels: source texels `kSourceBytes` apart from `source`, mask
// bytes from `mask` (read only when the path has a blend graphic), destination
// pixels from `dest`.
template <BlendPath P>
inline void DrawSpan(const BlendKernelParams& k, const uint8_t* source, const uint8_t* mask,
                     uint8_t* dest, int count) {
    constexpr int kSourceBytes = SourcePixelBytes(P.depth, P.source);
    constexpr int kDestBytes = DestPixelBytes(P.depth);
    if constexpr (blit_span::IsBlockCopy<P>()) {
        blit_span::CopyRow(dest, source, static_cast<size_t>(count) * kDestBytes);
    } else {
        for (int i = DrawFastSpan<P>(k, source, dest, count); i < count; ++i) {
            BlendPixel<P>(k, source + static_cast<ptrdiff_t>(i) * kSourceBytes,
                          P.blendGraphic ? mask[i] : uint8_t{0},
                          dest + static_cast<ptrdiff_t>(i) * kDestBytes);
        }
    }
}
