// The blend paths that have loops of their own, several pixels a step: the
// plain copy, the colour-keyed copy, the copy weighted by the source's
// alpha, and the saturating adds. Each such loop gives exactly the pixels of
// the shared per-pixel operation of its path (pixel_operations.h).
#pragma once

#include "framework/softrender/blend_path.h"
#include "framework/softrender/pixel_operations.h"

namespace fast_span {

// No blend graphic and no brightening: the pixel is the whole source pixel,
// the destination pixel and the path's own arithmetic.
template <BlendPath P>
constexpr bool Unweighted() {
    return !P.blendGraphic && !P.brighten;
}

// The copy of mode 0 that moves whole pixels: no weight, no brightening, no
// transparency test and the same pixel size on both sides.
template <BlendPath P>
constexpr bool IsBlockCopy() {
    if (P.mode != 0 || !Unweighted<P>()) return false;
    if (SourcePixelBytes(P.depth, P.source) != DestPixelBytes(P.depth)) return false;
    if (P.source == SourceKind::kPlain) return !P.transparent;
    if (P.source == SourceKind::kAlpha) return !P.transparent && P.rules.copyIgnoresAlpha;
    return false;
}

// Mode 0 from a plain source with the transparent colour skipped.
template <BlendPath P>
constexpr bool IsKeyedCopy() {
    return Unweighted<P>() && P.mode == 0 && P.source == SourceKind::kPlain && P.transparent;
}

// Mode 0 from an alpha source with the transparency flag: clear pixels
// skipped, opaque ones copied whole, the others weighted by their alpha.
template <BlendPath P>
constexpr bool IsAlphaCopy() {
    return Unweighted<P>() && P.mode == 0 && P.source == SourceKind::kAlpha && P.transparent;
}

// 32-bit mode 2 at parameter 255 from a plain source with the processor's
// saturating byte add.
template <BlendPath P>
constexpr bool IsByteAdd() {
    return Unweighted<P>() && P.mode == 2 && P.param == ParamCase::kFull && P.mmx &&
           P.source == SourceKind::kPlain;
}

// 32-bit mode 2 from a plain source through the packed add: at parameter 255
// the general path's contribution is the source's colour (the coarse add of
// the copy-speed path takes the source pixel as it is).
template <BlendPath P>
constexpr bool IsPackedAdd32() {
    return Unweighted<P>() && P.mode == 2 && P.depth == PixelDepth::k32 && P.source == SourceKind::kPlain &&
           !P.mmx;
}

// 16-bit mode 2 from a plain source: at parameter 255 the source contribution
// is the source pixel itself.
template <BlendPath P>
constexpr bool IsAdd16() {
    return Unweighted<P>() && P.mode == 2 && P.depth == PixelDepth::k16 && P.source == SourceKind::kPlain;
}

// The stretched blit's copy of mode 0, which stores the sampled source pixel
// (for a 16-bit alpha cell, its colour word) without reading the destination.
template <BlendPath P>
constexpr bool IsGatherCopy() {
    if (P.mode != 0 || !Unweighted<P>() || P.transparent) return false;
    if (P.source == SourceKind::kPlain) return true;
    return P.source == SourceKind::kAlpha && P.rules.copyIgnoresAlpha;
}

// The paths whose pixels a vector step draws from source and destination
// vectors (the copies of whole pixels move them without a step).
template <BlendPath P>
constexpr bool HasDrawStep() {
    return IsKeyedCopy<P>() || IsAlphaCopy<P>() || IsByteAdd<P>() || IsPackedAdd32<P>() || IsAdd16<P>();
}

// Whether the path has a loop of its own, so that the width of the
// processor's vectors matters to it.
template <BlendPath P>
constexpr bool HasVectorLoop() {
    return IsBlockCopy<P>() || IsGatherCopy<P>() || IsKeyedCopy<P>() || IsAlphaCopy<P>() || IsByteAdd<P>() ||
           IsPackedAdd32<P>() || IsAdd16<P>();
}

}  // namespace fast_span
