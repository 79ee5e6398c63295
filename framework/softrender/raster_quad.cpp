// The four-corner draw: a visibility test on the corners' bounding box, then
// the two triangles that share the diagonal from the top-right corner to the
// bottom-left one.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "framework/graphics/models/matrix_math.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/memimg.h"
#include "framework/softrender/raster_triangle.h"

namespace {

LONG Narrow(int64_t v) {
    return static_cast<LONG>(
        std::clamp<int64_t>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

}  // namespace

void RasterQuadMemImg(MEMIMG* destination, const MEMIMG* source, const int* corners, int transparencyFlag,
                      const MEMIMG* blendGraphic, const MemImgDrawSettings& settings) {
    // The source's size pins the corners: without a source there is nothing to draw.
    if (!IsDrawableMemImg(source) || corners == nullptr) return;

    int64_t minX = corners[0], maxX = corners[0], minY = corners[1], maxY = corners[1];
    for (int i = 1; i < 4; ++i) {
        minX = std::min<int64_t>(minX, corners[2 * i]);
        maxX = std::max<int64_t>(maxX, corners[2 * i]);
        minY = std::min<int64_t>(minY, corners[2 * i + 1]);
        maxY = std::max<int64_t>(maxY, corners[2 * i + 1]);
    }
    RECT test = {Narrow(minX - 2), Narrow(minY - 2), Narrow(maxX + 4), Narrow(maxY + 4)};
    const RECT area = settings.drawArea;
    ClipRectTo(&test, &area);
    if (test.left == test.right || test.top == test.bottom) return;

    const int w = source->width;
    const int h = source->height;
    const int vertices[16] = {
        corners[0], corners[1], 0, 0,  // top-left
        corners[2], corners[3], w, 0,  // top-right
        corners[4], corners[5], 0, h,  // bottom-left
        corners[6], corners[7], w, h,  // bottom-right
    };
    RasterTriangleMemImg(destination, source, vertices, transparencyFlag, blendGraphic, 0, settings);
    RasterTriangleMemImg(destination, source, vertices + 4, transparencyFlag, blendGraphic, 0, settings);
}
