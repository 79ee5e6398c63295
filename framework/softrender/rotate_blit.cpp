// The rotated blit: refusals, the sine and cosine in 14.18, the corners of the
// turned image, the mirrored draw's hand-over to the four-corner draw, the
// widened and clipped bounding box, the inverse mapping and its steps, and the
// choice of the blend path once per draw.
#include "framework/softrender/rotate_blit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/base/base_functions.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/softrender/blend_dispatch.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/draw_loops.h"
#include "framework/softrender/memimg.h"
#include "framework/softrender/raster_triangle.h"

namespace {

// A float rounded from a double, as every intermediate of the set-up is.
float F(double v) { return static_cast<float>(v); }

// A 14.18 sum of a whole pixel and a float offset, modulo 2^32.
int32_t Fixed(int whole, float offset) {
    return static_cast<int32_t>((static_cast<uint32_t>(whole) << 18) + static_cast<uint32_t>(FloatToInt(offset)));
}

}  // namespace

void RotateBlitMemImg(MEMIMG* destination, const MEMIMG* source, int centreX, int centreY, float angle, float scale,
                      int transparencyFlag, int mirrorFlag, const MEMIMG* blendGraphic,
                      const MemImgDrawSettings& settings) {
    if (!IsDrawableMemImg(destination) || !IsDrawableMemImg(source)) return;
    const MemImgBase& sourceBase = *source->base;
    const MemImgBase& destBase = *destination->base;
    if (sourceBase.colorType != destBase.colorType) return;
    if (destBase.paletteFlag == 1 || destBase.alphaFlag == 1) return;
    // Nothing to map back from.
    if (!std::isfinite(angle) || !std::isfinite(scale) || scale == 0.0f) return;

    // Sine and cosine of the negated angle (the inverse mapping) and of the
    // angle (the corners), in 14.18.
    float sN, cN, sP, cP;
    SinCosFloat(-angle, &sN, &cN);
    SinCosFloat(angle, &sP, &cP);
    const int Sn = FloatToInt(F(sN * 262144.0));
    const int Cn = FloatToInt(F(cN * 262144.0));
    const int Sp = FloatToInt(F(sP * 262144.0));
    const int Cp = FloatToInt(F(cP * 262144.0));

    // The corners: top left, bottom left, bottom right, top right.
    const uint32_t width = static_cast<uint32_t>(source->width);
    const uint32_t height = static_cast<uint32_t>(source->height);
    const float hw = F(static_cast<double>(width) * scale * 0.5);
    const float hh = F(static_cast<double>(height) * scale * 0.5);
    const double a = F(static_cast<double>(hw) * Cp);
    const double b = F(static_cast<double>(hw) * Sp);
    const double c = F(static_cast<double>(hh) * Cp);
    const double d = F(static_cast<double>(hh) * Sp);
    const int32_t cornerX[4] = {Fixed(centreX, F(d - a)), Fixed(centreX, F(-a - d)), Fixed(centreX, F(a - d)),
                                Fixed(centreX, F(a + d))};
    const int32_t cornerY[4] = {Fixed(centreY, F(-c - b)), Fixed(centreY, F(c - b)), Fixed(centreY, F(c + b)),
                                Fixed(centreY, F(b - c))};

    if (mirrorFlag != 0) {
        // Top right, top left, bottom right, bottom left as the four-corner
        // draw's top left, top right, bottom left, bottom right.
        const int order[4] = {3, 0, 2, 1};
        int points[8];
        for (int i = 0; i < 4; ++i) {
            points[2 * i] = cornerX[order[i]] / 262144;
            points[2 * i + 1] = cornerY[order[i]] / 262144;
        }
        RasterQuadMemImg(destination, source, points, transparencyFlag, blendGraphic, settings);
        return;
    }

    const int du = FloatToInt(F(static_cast<float>(Cp) / scale));
    const int dv = FloatToInt(F(static_cast<float>(Sn) / scale));

    // The bounding box, widened, clipped to the draw area (kept inside the destination).
    RECT box = {*std::min_element(cornerX, cornerX + 4) / 262144 - 2, *std::min_element(cornerY, cornerY + 4) / 262144 - 2,
                *std::max_element(cornerX, cornerX + 4) / 262144 + 4, *std::max_element(cornerY, cornerY + 4) / 262144 + 4};
    RECT area = settings.drawArea;
    ClipRectInline(&area, RECT{0, 0, destination->width, destination->height});
    ClipRectTo(&box, &area);
    if (box.left == box.right || box.top == box.bottom) return;

    // The inverse mapping of a destination pixel into the source, 14.18.
    const auto mapU = [&](int x, int y) {
        const uint32_t dx = static_cast<uint32_t>(x) - static_cast<uint32_t>(centreX);
        const uint32_t dy = static_cast<uint32_t>(y) - static_cast<uint32_t>(centreY);
        const int32_t n = static_cast<int32_t>(dx * static_cast<uint32_t>(Cn) - dy * static_cast<uint32_t>(Sn));
        return static_cast<uint32_t>(FloatToInt(F(static_cast<double>(n) / scale))) + ((width >> 1) << 18);
    };
    const auto mapV = [&](int x, int y) {
        const uint32_t dx = static_cast<uint32_t>(x) - static_cast<uint32_t>(centreX);
        const uint32_t dy = static_cast<uint32_t>(y) - static_cast<uint32_t>(centreY);
        const int32_t n = static_cast<int32_t>(dy * static_cast<uint32_t>(Cn) + dx * static_cast<uint32_t>(Sn));
        return static_cast<uint32_t>(FloatToInt(F(static_cast<double>(n) / scale))) + ((height >> 1) << 18);
    };

    rotate_blit::Walk walk{};
    walk.rows = box.bottom - box.top;
    walk.cols = box.right - box.left;
    walk.u = mapU(box.left, box.top);
    walk.v = mapV(box.left, box.top);
    walk.du = static_cast<uint32_t>(du);
    walk.dv = static_cast<uint32_t>(dv);
    // From one row's start to the next, less the columns' steps.
    const int32_t duRow = static_cast<int32_t>(mapU(box.left, box.bottom) - walk.u) / walk.rows;
    const int32_t dvRow = static_cast<int32_t>(mapV(box.left, box.bottom) - walk.v) / walk.rows;
    walk.duRow = static_cast<uint32_t>(duRow) - static_cast<uint32_t>(walk.cols) * walk.du;
    walk.dvRow = static_cast<uint32_t>(dvRow) - static_cast<uint32_t>(walk.cols) * walk.dv;
    walk.texture.uLimit = static_cast<uint64_t>(width) << 18;
    walk.texture.vLimit = static_cast<uint64_t>(height) << 18;
    const PixelDepth depth = sourceBase.colorType == kMemImgColor565 ? PixelDepth::k16 : PixelDepth::k32;
    walk.destPitch = destBase.pitch;
    walk.dest = destination->pixels + static_cast<ptrdiff_t>(box.top) * walk.destPitch +
                static_cast<ptrdiff_t>(box.left) * DestPixelBytes(depth);

    if (sourceBase.colorType != kMemImgColor565 && sourceBase.colorType != kMemImgColor32) return;
    // The blend graphic is read at every texel without bounds tests.
    if (blendGraphic != nullptr &&
        (!IsDrawableMemImg(blendGraphic) || blendGraphic->width < source->width ||
         blendGraphic->height < source->height))
        return;
    const SourceKind kind = BlendSourceKindOf(sourceBase);
    if (kind == SourceKind::kPaletted && sourceBase.paletteTable == nullptr) return;
    const int param = std::clamp(settings.blendParam, 0, 255);
    const BlendChoice choice{depth, kind, settings.blendMode, param, settings.brightColor,
                             blendGraphic != nullptr, transparencyFlag != 0, false};
    BlendPath path;
    if (!ChooseBlendPath(choice, kSpanRules, &path)) return;

    walk.texture.pixels = source->pixels;
    walk.texture.pitch = sourceBase.pitch;
    if (blendGraphic != nullptr) {
        walk.texture.maskPixels = blendGraphic->pixels;
        walk.texture.maskPitch = blendGraphic->base->pitch;
    }
    DrawPalette palette;
    BlendKernelParams params;
    SetUpBlendKernelParams(&params, param, settings.brightColor, sourceBase.transparentColor,
                           kind == SourceKind::kPaletted ? CopyDrawPalette(sourceBase, &palette) : nullptr);
    VisitBlendPath<kSpanRules>(path, [&]<BlendPath P>() {
        if constexpr (fast_span::HasVectorLoop<P>()) {
            if (ActiveSimdLevel() == SimdLevel::kAvx2) return simd_avx2::WalkRotatedBox<P>(params, walk);
        }
        simd_sse2::WalkRotatedBox<P>(params, walk);
    });
}
