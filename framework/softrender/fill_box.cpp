// The filled box: the rectangle's corners put in order and clipped, the
// refusals, and one row loop per blend path; the plain fill stores whole rows.
#include "framework/softrender/fill_box.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/fill_box_pixels.h"
#include "framework/softrender/memimg.h"

namespace {

struct BoxRows {
    uint8_t* first;   // the top-left pixel of the clipped box
    ptrdiff_t pitch;
    int width;
    int height;
};

// One row of the plain fill. A 5-6-5 row takes two pixels a store, the code
// doubled into both halves, and one 16-bit store for an odd last pixel.
template <PixelDepth kDepth>
inline void FillRow(uint8_t* row, int width, uint32_t color) {
    if constexpr (kDepth == PixelDepth::k32) {
        for (int i = 0; i < width; ++i) std::memcpy(row + static_cast<ptrdiff_t>(i) * 4, &color, 4);
    } else {
        const uint16_t single = static_cast<uint16_t>(color);
        const uint32_t pair = uint32_t{single} * 0x10001u;
        const int pairs = width / 2;
        for (int i = 0; i < pairs; ++i) std::memcpy(row + static_cast<ptrdiff_t>(i) * 4, &pair, 4);
        if (width & 1) std::memcpy(row + static_cast<ptrdiff_t>(pairs) * 4, &single, 2);
    }
}

template <BlendPath P>
void FillBoxRows(const SolidColorDraw& draw, const BoxRows& rows) {
    constexpr ptrdiff_t kBytes = DestPixelBytes(P.depth);
    const uint32_t color = draw.color;
    uint8_t* row = rows.first;
    for (int y = 0; y < rows.height; ++y, row += rows.pitch) {
        if constexpr (P.mode == 0) {
            FillRow<P.depth>(row, rows.width, color);
        } else {
            uint8_t* pixel = row;
            for (int x = 0; x < rows.width; ++x, pixel += kBytes) PutSolidPixel<P>(draw.params, color, pixel);
        }
    }
}

}  // namespace

void FillBoxMemImg(MEMIMG* destination, const RECT* rect, uint32_t color) {
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
    const RECT clipped = ClipDrawRect(left, top, right, bottom, CurrentDrawSettings.drawArea, *destination);
    const int width = clipped.right - clipped.left;
    const int height = clipped.bottom - clipped.top;
    if (width <= 0 || height <= 0) return;

    SolidColorDraw draw;
    if (!SetUpSolidColorDraw(base.colorType, color, &draw)) return;
    const ptrdiff_t bytes = base.format->bytesPerPixel;

    const BoxRows rows{destination->pixels + static_cast<ptrdiff_t>(clipped.top) * base.pitch + clipped.left * bytes,
                       base.pitch, width, height};
    VisitSolidColorPath(draw.path, [&]<BlendPath P>() { FillBoxRows<P>(draw, rows); });
}
