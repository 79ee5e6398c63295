// One line: the refusals, the clip, and the walk from the start point along
// the major axis with a running error for the minor one, one loop per blend
// path.
#include "framework/softrender/line_draw.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

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

// One step along the line: on along the major axis, and along the minor one
// when the running error reaches the major distance.
struct LineStep {
    uintptr_t at;
    int error;
    void Next(const LineWalk& walk) {
        error += walk.minor;
        at += static_cast<uintptr_t>(walk.majorStep);
        if (error >= walk.major) {
            at += static_cast<uintptr_t>(walk.minorStep);
            error -= walk.major;
        }
    }
};

// Pixels of a long line that lie apart in memory (every row of a steep line
// is another cache line) are asked for this many pixels ahead by the modes
// that read the destination; a plain write only stores, which the processor
// does not wait for, and a short line's pixels are mostly at hand.
constexpr int kLookAhead = 32;

// The i-th pixel lies i steps along the major axis and floor(i * minor /
// major) steps along the minor one; the end point is never reached. With
// kAhead, a second walk runs ahead of the drawing one to ask for its pixels
// early; it may run past the line's end, where it is only an address asked
// for.
template <BlendPath P, bool kAhead>
void WalkLine(const SolidColorDraw& draw, const LineWalk& walk) {
    const uint32_t color = draw.color;
    LineStep pixel{reinterpret_cast<uintptr_t>(walk.first), 0};
    LineStep ahead = pixel;
    if constexpr (kAhead)
        for (int i = 0; i < kLookAhead; ++i) ahead.Next(walk);
    for (int i = 0;;) {
        if constexpr (kAhead) _mm_prefetch(reinterpret_cast<const char*>(ahead.at), _MM_HINT_T0);
        PutSolidPixel<P>(draw.params, color, reinterpret_cast<uint8_t*>(pixel.at));
        if (++i == walk.major) break;
        pixel.Next(walk);
        if constexpr (kAhead) ahead.Next(walk);
    }
}

}  // namespace

void LineMemImg(MEMIMG* destination, int x1, int y1, int x2, int y2, uint32_t color,
                const MemImgDrawSettings& settings) {
    if (!IsDrawableMemImg(destination)) return;
    const MemImgBase& base = *destination->base;
    // A paletted image holds one byte a pixel, narrower than any colour the
    // line writes.
    if (base.paletteFlag == 1) return;

    // The draw area is kept inside the destination as well, so an area left
    // over from a larger target never lets the line write outside the image.
    RECT area = settings.drawArea;
    ClipRectInline(&area, RECT{0, 0, destination->width, destination->height});
    // An empty area has no pixel to bring the start point onto.
    if (area.right <= area.left || area.bottom <= area.top) return;
    LineEnds ends{x1, y1, x2, y2};
    if (!ClipLineToArea(area, &ends)) return;
    int dx = ends.x2 - ends.x1;
    int dy = ends.y2 - ends.y1;
    if (dx == 0 && dy == 0) return;

    SolidColorDraw draw;
    if (!SetUpSolidColorDraw(base.colorType, color, settings, &draw)) return;

    const ptrdiff_t bytes = base.format->bytesPerPixel;
    const ptrdiff_t xStep = dx < 0 ? -bytes : bytes;
    const ptrdiff_t yStep = dy < 0 ? -static_cast<ptrdiff_t>(base.pitch) : base.pitch;
    dx = dx < 0 ? -dx : dx;
    dy = dy < 0 ? -dy : dy;
    uint8_t* first = destination->pixels + static_cast<ptrdiff_t>(ends.y1) * base.pitch + ends.x1 * bytes;
    const LineWalk walk = dx >= dy ? LineWalk{first, xStep, yStep, dx, dy} : LineWalk{first, yStep, xStep, dy, dx};
    VisitSolidColorPath(draw.path, [&]<BlendPath P>() {
        if constexpr (P.mode != 0) {
            if (walk.major > 8 * kLookAhead) return WalkLine<P, true>(draw, walk);
        }
        WalkLine<P, false>(draw, walk);
    });
}
