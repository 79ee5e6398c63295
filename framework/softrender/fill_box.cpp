// The filled box: the rectangle's corners put in order and clipped, the
// refusals, and the choice of the row loop (fill_box_rows.h) once per draw.
#include "framework/softrender/fill_box.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/draw_loops.h"
#include "framework/softrender/fill_box_pixels.h"
#include "framework/softrender/memimg.h"

void FillBoxMemImg(MEMIMG* destination, const RECT* rect, uint32_t color, const MemImgDrawSettings& settings) {
    if (!IsDrawableMemImg(destination)) return;
    const MemImgBase& base = *destination->base;
    if (base.paletteFlag == 1 || base.alphaFlag == 1) return;

    int64_t left = 0, top = 0, right = destination->width, bottom = destination->height;
    if (rect != nullptr) {
        left = std::min(rect->left, rect->right);
        right = std::max(rect->left, rect->right);
        top = std::min(rect->top, rect->bottom);
        bottom = std::max(rect->top, rect->bottom);
    }
    // The draw area is kept inside the destination as well, so an area left
    // over from a larger target never lets the fill write outside the image.
    const RECT clipped = ClipDrawRect(left, top, right, bottom, settings.drawArea, *destination);
    const int width = clipped.right - clipped.left;
    const int height = clipped.bottom - clipped.top;
    if (width <= 0 || height <= 0) return;

    SolidColorDraw draw;
    if (!SetUpSolidColorDraw(base.colorType, color, settings, &draw)) return;
    const ptrdiff_t bytes = base.format->bytesPerPixel;

    const BoxRows rows{destination->pixels + static_cast<ptrdiff_t>(clipped.top) * base.pitch + clipped.left * bytes,
                       base.pitch, width, height};
    VisitSolidColorPath(draw.path, [&]<BlendPath P>() {
        if (UseAvx2Loops(static_cast<size_t>(width) * bytes))
            simd_avx2::FillBoxRows<P>(draw, rows);
        else
            simd_sse2::FillBoxRows<P>(draw, rows);
    });
}
