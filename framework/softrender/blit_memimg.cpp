// The blit at a position: refusals, clipping to the draw area, the choice of
// the blend path once per draw, and the choice between the per-pixel path and
// the whole-image path over the source's run codes.
#include "framework/softrender/blit_memimg.h"

#include <algorithm>
#include <cstddef>

#include "framework/base/framework_state.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/blend_dispatch.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/draw_loops.h"
#include "framework/softrender/memimg.h"

namespace {

// The run codes of a view's rows. A view shares its base's codes, which
// describe the base's full rows.
RunCodeWindow RunCodesOf(const MEMIMG& view) {
    const MemImgBase& base = *view.base;
    const ptrdiff_t offset = view.pixels - base.pixelMemory;
    const ptrdiff_t row = offset / base.pitch;
    const int left = static_cast<int>((offset % base.pitch) / base.format->bytesPerPixel);
    const uint8_t* end = base.runCodeBuffer + static_cast<ptrdiff_t>(base.width + 5) * base.height;
    const uint8_t* code = base.runCodeBuffer;
    for (ptrdiff_t i = 0; i < row; ++i)
        code = static_cast<const uint8_t*>(std::memchr(code, kRunEndOfRow, static_cast<size_t>(end - code))) + 1;
    return {code, end, left, base.width};
}

// Whether the run codes say of each pixel what the per-pixel test would: they
// compare the transparent colour at the pixel's own width, the test compares
// the whole value, so a value wider than a pixel keys no pixel.
bool RunCodesMatchTransparency(const MemImgBase& base) {
    if (base.alphaFlag == 1 && base.paletteFlag != 1) return true;
    if (base.paletteFlag == 1) return base.transparentColor <= 0xFFu;
    if (base.colorType == kMemImgColor565) return base.transparentColor <= 0xFFFFu;
    return true;
}

}  // namespace

void BlitMemImg(MEMIMG* destination, const MEMIMG* source, int x, int y, int transparencyFlag,
                const MEMIMG* blendGraphic, const MemImgDrawSettings& settings) {
    if (!IsDrawableMemImg(destination) || !IsDrawableMemImg(source)) return;
    if (blendGraphic != nullptr && !IsDrawableMemImg(blendGraphic)) return;
    const MemImgBase& sourceBase = *source->base;
    const MemImgBase& destBase = *destination->base;
    if (sourceBase.colorType != destBase.colorType) return;
    if (destBase.paletteFlag == 1 || destBase.alphaFlag == 1) return;
    if (sourceBase.colorType != kMemImgColor565 && sourceBase.colorType != kMemImgColor32) return;
    // The blend graphic is read at every source pixel without bounds tests.
    if (blendGraphic != nullptr &&
        (blendGraphic->width < source->width || blendGraphic->height < source->height))
        return;

    // Only the settings the blit reads are taken, not the whole record.
    const int blendMode = settings.blendMode;
    // The setter keeps the parameter within a byte; so does every draw.
    const int param = std::clamp(settings.blendParam, 0, 255);
    const uint32_t brightColor = settings.brightColor;
    const RECT rect = ClipDrawRect(x, y, static_cast<int64_t>(x) + source->width,
                                   static_cast<int64_t>(y) + source->height, settings.drawArea,
                                   *destination);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;

    const PixelDepth depth = sourceBase.colorType == kMemImgColor565 ? PixelDepth::k16 : PixelDepth::k32;
    const SourceKind kind = BlendSourceKindOf(sourceBase);
    if (kind == SourceKind::kPaletted && sourceBase.paletteTable == nullptr) return;
    BlendPath path;
    const BlendChoice choice{depth, kind, blendMode, param, brightColor,
                             blendGraphic != nullptr, transparencyFlag != 0, CpuHasMmx != 0};
    if (!ChooseBlendPath(choice, kBlitRules, &path)) return;

    const bool wholeImage = transparencyFlag == 1 && sourceBase.runCodesValid == 1 &&
                            sourceBase.runCodeBuffer != nullptr && width == source->width &&
                            height == source->height && RunCodesMatchTransparency(sourceBase);

    DrawPalette paletteCopy;
    const void* palette = kind == SourceKind::kPaletted ? CopyDrawPalette(sourceBase, &paletteCopy) : nullptr;

    const int sourceX = static_cast<int>(rect.left - static_cast<int64_t>(x));
    const int sourceY = static_cast<int>(rect.top - static_cast<int64_t>(y));
    BlitRows rows;
    rows.sourcePitch = sourceBase.pitch;
    rows.source = source->pixels + sourceY * rows.sourcePitch +
                  static_cast<ptrdiff_t>(sourceX) * SourcePixelBytes(depth, kind);
    rows.mask = nullptr;
    rows.maskPitch = 0;
    if (blendGraphic != nullptr) {
        rows.maskPitch = blendGraphic->base->pitch;
        rows.mask = blendGraphic->pixels + sourceY * rows.maskPitch + sourceX;
    }
    rows.destPitch = destBase.pitch;
    rows.dest = destination->pixels + static_cast<ptrdiff_t>(rect.top) * rows.destPitch +
                static_cast<ptrdiff_t>(rect.left) * DestPixelBytes(depth);
    rows.width = width;
    rows.height = height;

    RunCodeWindow window;
    if (wholeImage) window = RunCodesOf(*source);

    VisitBlendPath<kBlitRules>(path, [&]<BlendPath P>() {
        // A copy of whole pixels reads no table row.
        BlendKernelParams params{};
        if constexpr (!fast_span::IsBlockCopy<P>())
            SetUpBlendKernelParams(&params, param, brightColor, sourceBase.transparentColor, palette);
        const RunCodeWindow* codes = wholeImage ? &window : nullptr;
        if constexpr (fast_span::HasVectorLoop<P>()) {
            if (UseAvx2Loops(static_cast<size_t>(width) * DestPixelBytes(P.depth)))
                return simd_avx2::DrawBlitRows<P>(params, rows, codes);
        }
        simd_sse2::DrawBlitRows<P>(params, rows, codes);
    });
}
