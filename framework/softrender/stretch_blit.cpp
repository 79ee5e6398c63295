// The stretched blit: edge order and mirroring, the hand-over of unscaled
// draws to the blit at a position, the 16.16 set-up with the clipped start,
// and the choice of the blend path and of the advance rule once per draw.
#include "framework/softrender/stretch_blit.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/blend_dispatch.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/draw_loops.h"
#include "framework/softrender/memimg.h"

namespace {

// The 16.16 quantities must stay within 32 bits.
constexpr int64_t kMaxSide = 32767;

// The tightest paths step with the strict advance rule: no blend image, white
// bright colour, no source alpha, and the copy (mode 0, and mode 1 at 255,
// which the path shows as mode 0) or mode 3 at parameter 255.
template <BlendPath P>
constexpr bool MayBeStrict() {
    return !P.blendGraphic && !P.brighten && P.source != SourceKind::kAlpha && (P.mode == 0 || P.mode == 3);
}

}  // namespace

void StretchBlitMemImg(MEMIMG* destination, const MEMIMG* source, const RECT* rect, int transparencyFlag,
                       const MEMIMG* blendImage, const MemImgDrawSettings& settings) {
    if (rect == nullptr || !IsDrawableMemImg(destination) || !IsDrawableMemImg(source)) return;
    if (blendImage != nullptr && !IsDrawableMemImg(blendImage)) return;

    // Ascending edges and the direction of each axis.
    const int64_t x1 = std::min(rect->left, rect->right);
    const int64_t x2 = std::max(rect->left, rect->right);
    const int64_t y1 = std::min(rect->top, rect->bottom);
    const int64_t y2 = std::max(rect->top, rect->bottom);
    const bool mirrorX = rect->left > rect->right;
    const bool mirrorY = rect->top > rect->bottom;
    const int64_t w = x2 - x1;
    const int64_t h = y2 - y1;
    if (w == 0 || h == 0) return;

    const int sourceWidth = source->width;
    const int sourceHeight = source->height;
    if (w == sourceWidth && h == sourceHeight && !mirrorX && !mirrorY) {
        BlitMemImg(destination, source, static_cast<int>(x1), static_cast<int>(y1), transparencyFlag,
                   blendImage, settings);
        return;
    }

    const MemImgBase& sourceBase = *source->base;
    const MemImgBase& destBase = *destination->base;
    if (sourceBase.colorType != destBase.colorType) return;
    if (destBase.paletteFlag == 1 || destBase.alphaFlag == 1) return;
    if (sourceBase.colorType != kMemImgColor565 && sourceBase.colorType != kMemImgColor32) return;
    if (sourceWidth <= 0 || sourceHeight <= 0) return;
    // The blend image is read at every sampled source pixel without bounds tests.
    if (blendImage != nullptr && (blendImage->width < sourceWidth || blendImage->height < sourceHeight))
        return;

    // Destination pixels per source pixel, 16.16. A step of 0 would never
    // move through the source.
    if (w > kMaxSide || h > kMaxSide) return;
    const int32_t stepX = static_cast<int32_t>(static_cast<uint32_t>(w * 65536) / static_cast<uint32_t>(sourceWidth));
    const int32_t stepY = static_cast<int32_t>(static_cast<uint32_t>(h * 65536) / static_cast<uint32_t>(sourceHeight));
    if (stepX == 0 || stepY == 0) return;
    // The last column and row of the rectangle sample source column
    // floor((w - 1) * 65536 / stepX); it stays inside a source narrower than
    // 65536 pixels but not always inside a wider one.
    if ((w - 1) * 65536 / stepX >= sourceWidth || (h - 1) * 65536 / stepY >= sourceHeight) return;

    // Only the settings the blit reads are taken, not the whole record.
    const int blendMode = settings.blendMode;
    // The setter keeps the parameter within a byte; so does every draw.
    const int param = std::clamp(settings.blendParam, 0, 255);
    const uint32_t brightColor = settings.brightColor;
    const RECT clipped = ClipDrawRect(x1, y1, x2, y2, settings.drawArea, *destination);
    const int width = clipped.right - clipped.left;
    const int height = clipped.bottom - clipped.top;
    if (width <= 0 || height <= 0) return;

    const PixelDepth depth = sourceBase.colorType == kMemImgColor565 ? PixelDepth::k16 : PixelDepth::k32;
    const SourceKind kind = BlendSourceKindOf(sourceBase);
    if (kind == SourceKind::kPaletted && sourceBase.paletteTable == nullptr) return;
    BlendPath path;
    const BlendChoice choice{depth, kind, blendMode, param, brightColor,
                             blendImage != nullptr, transparencyFlag != 0, CpuHasMmx != 0};
    if (!ChooseBlendPath(choice, kStretchBlitRules, &path)) return;
    const bool strict = !path.blendGraphic && !path.brighten && path.source != SourceKind::kAlpha &&
                        (path.mode == 0 || (path.mode == 3 && param == 255));

    // The columns and rows that clipping cut away are passed over as the
    // loops would have passed over them.
    const int32_t skippedX = static_cast<int32_t>((clipped.left - x1) * 65536);
    const int32_t skippedY = static_cast<int32_t>((clipped.top - y1) * 65536);
    const int32_t firstColumn = skippedX / stepX;
    const int32_t firstRow = skippedY / stepY;

    const ptrdiff_t pixelBytes = sourceBase.format->bytesPerPixel;
    const int column = mirrorX ? sourceWidth - 1 - firstColumn : firstColumn;
    const int row = mirrorY ? sourceHeight - 1 - firstRow : firstRow;
    const int32_t startX = stepX - skippedX % stepX;
    // The source column of each drawn pixel of a row, filled once per draw;
    // the draw's own, so that stretched blits may run on two threads.
    std::vector<int32_t> columns(static_cast<size_t>(width));
    if (strict)
        SampleColumns<true>(columns.data(), width, stepX, startX, mirrorX ? -1 : 1);
    else
        SampleColumns<false>(columns.data(), width, stepX, startX, mirrorX ? -1 : 1);
    StretchRows rows;
    rows.sourceRowStep = mirrorY ? -static_cast<ptrdiff_t>(sourceBase.pitch) : sourceBase.pitch;
    rows.source = source->pixels + static_cast<ptrdiff_t>(row) * sourceBase.pitch + column * pixelBytes;
    rows.mask = nullptr;
    rows.maskRowStep = 0;
    if (blendImage != nullptr) {
        const ptrdiff_t maskPitch = blendImage->base->pitch;
        rows.maskRowStep = mirrorY ? -maskPitch : maskPitch;
        rows.mask = blendImage->pixels + static_cast<ptrdiff_t>(row) * maskPitch + column;
    }
    rows.columns = columns.data();
    rows.destPitch = destBase.pitch;
    rows.dest = destination->pixels + static_cast<ptrdiff_t>(clipped.top) * rows.destPitch +
                static_cast<ptrdiff_t>(clipped.left) * DestPixelBytes(depth);
    rows.width = width;
    rows.height = height;
    rows.stepY = stepY;
    rows.startY = stepY - skippedY % stepY;

    DrawPalette palette;
    BlendKernelParams params;
    SetUpBlendKernelParams(&params, param, brightColor, sourceBase.transparentColor,
                           kind == SourceKind::kPaletted ? CopyDrawPalette(sourceBase, &palette) : nullptr);

    VisitBlendPath<kStretchBlitRules>(path, [&]<BlendPath P>() {
        if constexpr (fast_span::HasVectorLoop<P>()) {
            if (UseAvx2Loops(static_cast<size_t>(rows.width) * DestPixelBytes(P.depth))) {
                if constexpr (MayBeStrict<P>())
                    if (strict) return simd_avx2::StretchPixelRows<P, true>(params, rows);
                return simd_avx2::StretchPixelRows<P, false>(params, rows);
            }
        }
        if constexpr (MayBeStrict<P>())
            if (strict) return simd_sse2::StretchPixelRows<P, true>(params, rows);
        simd_sse2::StretchPixelRows<P, false>(params, rows);
    });
}
