// The triangle draw: refusals, the vertices in 14.18 fixed point, the texture
// gradients, the edges of the four shapes a triangle can take, the solid fill
// colour, and the choice of the blend path once per draw.
#include "framework/softrender/raster_triangle.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/base/base_functions.h"
#include "framework/softrender/blend_dispatch.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/draw_loops.h"
#include "framework/softrender/memimg.h"

namespace {

using raster_triangle::kOne;
using raster_triangle::Segment;
using raster_triangle::Walk;
using raster_triangle::Whole;

// The coordinates the 14.18 form holds.
constexpr bool InCoordinateRange(int v) { return v >= -8192 && v <= 8191; }

// The vertex numbers 0, 1, 2 ordered by `key` with the exchange sort, which
// never exchanges equal keys.
void OrderBy(const int64_t key[3], int order[3]) {
    order[0] = 0;
    order[1] = 1;
    order[2] = 2;
    for (int i = 0; i < 2; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (key[order[i]] > key[order[j]]) std::swap(order[i], order[j]);
}

Segment MakeSegment(int64_t startX, int64_t endX, int height, int64_t startY) {
    return Segment{startX, (endX - startX) / height, height, startY};
}

// A texture gradient: the numerator over the determinant, in 14.18.
int Gradient(int64_t numerator, int64_t det) {
    return DoubleToInt(static_cast<double>(numerator) * 262144.0 / static_cast<double>(det));
}

// The solid colour brightened channel by channel through the product table,
// in the destination's encoding.
uint32_t FillColour(int colorType, int colour, uint32_t brightColor) {
    const int32_t* blue = BlendMulRow(static_cast<uint8_t>(brightColor));
    const int32_t* green = BlendMulRow(static_cast<uint8_t>(brightColor >> 8));
    const int32_t* red = BlendMulRow(static_cast<uint8_t>(brightColor >> 16));
    const uint32_t a = static_cast<uint32_t>(colour);
    if (colorType == kMemImgColor565) {
        // Only the low 16 bits are a 5-6-5 colour.
        const uint32_t c = a & 0xFFFFu;
        return static_cast<uint32_t>(red[c >> 11] << 11 | green[(c >> 5) & 0x3F] << 5 | blue[c & 0x1F]);
    }
    return (a & 0xFF000000u) | static_cast<uint32_t>(red[(a >> 16) & 0xFF]) << 16 |
           static_cast<uint32_t>(green[(a >> 8) & 0xFF]) << 8 | static_cast<uint32_t>(blue[a & 0xFF]);
}

}  // namespace

void RasterTriangleMemImg(MEMIMG* destination, const MEMIMG* source, const int* vertices,
                          int transparencyFlag, const MEMIMG* blendGraphic, int colour,
                          const MemImgDrawSettings& settings) {
    if (!IsDrawableMemImg(destination) || vertices == nullptr) return;
    if (source != nullptr && !IsDrawableMemImg(source)) return;
    const MemImgBase& destBase = *destination->base;
    if (source != nullptr && source->base->colorType != destBase.colorType) return;
    if (destBase.paletteFlag == 1 || destBase.alphaFlag == 1) return;

    // Outside -8192 to 8191 a coordinate has no 14.18 form.
    for (int i = 0; i < 3; ++i) {
        const int* vertex = vertices + 4 * i;
        if (!InCoordinateRange(vertex[0]) || !InCoordinateRange(vertex[1])) return;
        if (source != nullptr && (!InCoordinateRange(vertex[2]) || !InCoordinateRange(vertex[3]))) return;
    }

    // The vertices at the pixel centres, in 14.18.
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = vertices[4 * i] * kOne + 0x20000;
        Y[i] = vertices[4 * i + 1] * kOne + 0x20000;
    }
    int byX[3], byY[3];
    OrderBy(X, byX);
    OrderBy(Y, byY);

    // The reference vertex (smallest x) and the area test in whole pixels.
    const int r = byX[0], a = byX[1], b = byX[2];
    const auto vx = [&](int i) { return static_cast<int64_t>(vertices[4 * i]); };
    const auto vy = [&](int i) { return static_cast<int64_t>(vertices[4 * i + 1]); };
    const auto vu = [&](int i) { return static_cast<int64_t>(vertices[4 * i + 2]); };
    const auto vv = [&](int i) { return static_cast<int64_t>(vertices[4 * i + 3]); };
    const int64_t dxa = vx(a) - vx(r), dya = vy(a) - vy(r);
    const int64_t dxb = vx(b) - vx(r), dyb = vy(b) - vy(r);
    const int64_t det = dxb * dya - dxa * dyb;
    if (det == 0) return;

    Walk walk{};
    if (source != nullptr) {
        // A solid triangle has no use for them.
        const int64_t dua = vu(a) - vu(r), dva = vv(a) - vv(r);
        const int64_t dub = vu(b) - vu(r), dvb = vv(b) - vv(r);
        walk.dUdx = static_cast<uint32_t>(Gradient(dya * dub - dyb * dua, det));
        walk.dUdy = static_cast<uint32_t>(Gradient(dxb * dua - dxa * dub, det));
        walk.dVdx = static_cast<uint32_t>(Gradient(dya * dvb - dyb * dva, det));
        walk.dVdy = static_cast<uint32_t>(Gradient(dxb * dva - dxa * dvb, det));
        walk.refX = Whole(X[r]);
        walk.refY = Whole(Y[r]);
        walk.refU = static_cast<uint32_t>(vertices[4 * r + 2]) << 18;
        walk.refV = static_cast<uint32_t>(vertices[4 * r + 3]) << 18;
    }

    // The edges, from the top vertex t through the middle m to the bottom n.
    const int t = byY[0], m = byY[1], n = byY[2];
    if (Y[t] == Y[m]) {
        // Flat top: the top vertex further right is the right side's.
        if (Y[m] == Y[n] || Y[t] == Y[n]) return;
        const int left = X[t] > X[m] ? m : t;
        const int right = X[t] > X[m] ? t : m;
        const int leftHeight = static_cast<int>(vy(n) - vy(left));
        const int rightHeight = static_cast<int>(vy(n) - vy(right));
        if (leftHeight == 0 || rightHeight == 0) return;
        walk.left[1] = MakeSegment(X[left], X[n], leftHeight, Y[left]);
        walk.right[1] = MakeSegment(X[right], X[n], rightHeight, Y[right]);
        walk.leftSegment = walk.rightSegment = 1;
    } else if (Y[m] == Y[n]) {
        // Flat bottom: the bottom vertex further right is the right side's.
        const int left = X[m] > X[n] ? n : m;
        const int right = X[m] > X[n] ? m : n;
        const int leftHeight = static_cast<int>(vy(left) - vy(t));
        const int rightHeight = static_cast<int>(vy(right) - vy(t));
        if (leftHeight == 0 || rightHeight == 0) return;
        walk.left[1] = MakeSegment(X[t], X[left], leftHeight, Y[t]);
        walk.right[1] = MakeSegment(X[t], X[right], rightHeight, Y[t]);
        walk.leftSegment = walk.rightSegment = 1;
    } else {
        // The middle vertex's side, from the inverse slopes of the two edges
        // that leave the top vertex.
        const double toMiddle = static_cast<double>(X[m] - X[t]) / (static_cast<double>(Y[m] - Y[t]) * (1.0 / 262144.0));
        const double toBottom = static_cast<double>(X[n] - X[t]) / (static_cast<double>(Y[n] - Y[t]) * (1.0 / 262144.0));
        const int upper = static_cast<int>(vy(m) - vy(t));
        const int lower = static_cast<int>(vy(n) - vy(m));
        const int whole = static_cast<int>(vy(n) - vy(t));
        if (upper == 0 || lower == 0 || whole == 0) return;
        if (toMiddle < toBottom) {
            walk.left[0] = MakeSegment(X[t], X[m], upper, Y[t]);
            walk.left[1] = MakeSegment(X[m], X[n], lower, Y[m]);
            walk.right[1] = MakeSegment(X[t], X[n], whole, Y[t]);
            walk.leftSegment = 0;
            walk.rightSegment = 1;
        } else {
            // The lower right edge starts one 14.18 unit right of the middle vertex.
            walk.right[0] = MakeSegment(X[t], X[m], upper, Y[t]);
            walk.right[1] = MakeSegment(X[m] + 1, X[n], lower, Y[m]);
            walk.left[1] = MakeSegment(X[t], X[n], whole, Y[t]);
            walk.leftSegment = 1;
            walk.rightSegment = 0;
        }
    }
    walk.firstRow = Y[t];

    // The per-draw constants. The draw area is kept inside the destination.
    const int param = std::clamp(settings.blendParam, 0, 255);
    walk.area = settings.drawArea;
    ClipRectInline(&walk.area, RECT{0, 0, destination->width, destination->height});
    walk.destPixels = destination->pixels;
    walk.destPitch = destBase.pitch;

    BlendKernelParams params;
    BlendPath path;
    if (source == nullptr) {
        if (destBase.colorType != kMemImgColor565 && destBase.colorType != kMemImgColor32) return;
        const PixelDepth depth = destBase.colorType == kMemImgColor565 ? PixelDepth::k16 : PixelDepth::k32;
        const uint32_t fill = FillColour(destBase.colorType, colour, settings.brightColor);
        std::memcpy(walk.fill, &fill, sizeof walk.fill);
        // The colour is already brightened; nothing is keyed or weighted.
        const BlendChoice choice{depth, SourceKind::kPlain, settings.blendMode, param, 0x00FFFFFFu, false, false, false};
        if (!ChooseBlendPath(choice, kSpanRules, &path)) return;
        SetUpBlendKernelParams(&params, param, 0x00FFFFFFu, 0, nullptr);
        VisitBlendPath<kSpanRules>(path, [&]<BlendPath P>() {
            if constexpr (P.source == SourceKind::kPlain && !P.blendGraphic && !P.brighten && !P.transparent)
                simd_sse2::WalkTriangle<P, false>(params, walk);
        });
        return;
    }

    const MemImgBase& sourceBase = *source->base;
    if (sourceBase.colorType != kMemImgColor565 && sourceBase.colorType != kMemImgColor32) return;
    // The blend graphic is read at every texel without bounds tests.
    if (blendGraphic != nullptr &&
        (!IsDrawableMemImg(blendGraphic) || blendGraphic->width < source->width ||
         blendGraphic->height < source->height))
        return;
    const PixelDepth depth = sourceBase.colorType == kMemImgColor565 ? PixelDepth::k16 : PixelDepth::k32;
    const SourceKind kind = BlendSourceKindOf(sourceBase);
    if (kind == SourceKind::kPaletted && sourceBase.paletteTable == nullptr) return;
    const BlendChoice choice{depth, kind, settings.blendMode, param, settings.brightColor,
                             blendGraphic != nullptr, transparencyFlag != 0, false};
    if (!ChooseBlendPath(choice, kSpanRules, &path)) return;

    walk.texture.pixels = source->pixels;
    walk.texture.pitch = sourceBase.pitch;
    walk.texture.uLimit = static_cast<uint64_t>(std::max(source->width, 0)) << 18;
    walk.texture.vLimit = static_cast<uint64_t>(std::max(source->height, 0)) << 18;
    if (blendGraphic != nullptr) {
        walk.texture.maskPixels = blendGraphic->pixels;
        walk.texture.maskPitch = blendGraphic->base->pitch;
    }
    SetUpBlendKernelParams(&params, param, settings.brightColor, sourceBase.transparentColor,
                           kind == SourceKind::kPaletted ? sourceBase.paletteTable : nullptr);
    VisitBlendPath<kSpanRules>(path, [&]<BlendPath P>() {
        if constexpr (fast_span::HasVectorLoop<P>()) {
            if (ActiveSimdLevel() == SimdLevel::kAvx2) return simd_avx2::WalkTriangle<P, true>(params, walk);
        }
        simd_sse2::WalkTriangle<P, true>(params, walk);
    });
}
