// One line: the refusals, the clip, and the walk from the start point along
// the major axis with a running error for the minor one, one loop per blend
// path.
#include "framework/softrender/line_draw.h"

#include <cstddef>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/blit_memimg_clip.h"
#include "framework/softrender/fill_box_pixels.h"
#include "framework/softrender/line_clip.h"
#include "framework/softrender/memimg.h"

namespace {

struct LineWalk {
    uint8_t* first;       // the start point's pixel
    ptrdiff_t majorStep;  // bytes to the next pixel along the major axis
    ptrdiff_t minorStep;  // and along the minor axis
    int major;            // pixels drawn: the longer of the two distances
    int minor;
};

// The i-th pixel lies i steps along the major axis and floor(i * minor /
// major) steps along the minor one; the end point is never reached.
template <BlendPath P>
void WalkLine(const SolidColorDraw& draw, const LineWalk& walk) {
    const uint32_t color = draw.color;
    uint8_t* pixel = walk.first;
    int error = 0;
    for (int i = 0;;) {
        PutSolidPixel<P>(draw.params, color, pixel);
        if (++i == walk.major) break;
        error += walk.minor;
        pixel += walk.majorStep;
        if (error >= walk.major) {
            pixel += walk.minorStep;
            error -= walk.major;
        }
    }
}

}  // namespace

void LineMemImg(MEMIMG* destination, int x1, int y1, int x2, int y2, uint32_t color) {
    if (!IsDrawableMemImg(destination)) return;
    const MemImgBase& base = *destination->base;
    // A paletted image holds one byte a pixel, narrower than any colour the
    // line writes.
    if (base.paletteFlag == 1) return;

    // The draw area is kept inside the destination as well, so an area left
    // over from a larger target never lets the line write outside the image.
    RECT area = CurrentDrawSettings.drawArea;
    ClipRectInline(&area, RECT{0, 0, destination->width, destination->height});
    // An empty area has no pixel to bring the start point onto.
    if (area.right <= area.left || area.bottom <= area.top) return;
    LineEnds ends{x1, y1, x2, y2};
    if (!ClipLineToArea(area, &ends)) return;
    int dx = ends.x2 - ends.x1;
    int dy = ends.y2 - ends.y1;
    if (dx == 0 && dy == 0) return;

    SolidColorDraw draw;
    if (!SetUpSolidColorDraw(base.colorType, color, &draw)) return;

    const ptrdiff_t bytes = base.format->bytesPerPixel;
    const ptrdiff_t xStep = dx < 0 ? -bytes : bytes;
    const ptrdiff_t yStep = dy < 0 ? -static_cast<ptrdiff_t>(base.pitch) : base.pitch;
    dx = dx < 0 ? -dx : dx;
    dy = dy < 0 ? -dy : dy;
    uint8_t* first = destination->pixels + static_cast<ptrdiff_t>(ends.y1) * base.pitch + ends.x1 * bytes;
    const LineWalk walk = dx >= dy ? LineWalk{first, xStep, yStep, dx, dy} : LineWalk{first, yStep, xStep, dy, dx};
    VisitSolidColorPath(draw.path, [&]<BlendPath P>() { WalkLine<P>(draw, walk); });
}
