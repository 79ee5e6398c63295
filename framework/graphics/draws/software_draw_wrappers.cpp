// The software path's draws: the software renderer called with the current
// software target, the draw settings and their blend image.
#include "framework/graphics/draws/software_draw_wrappers.h"

#include <cmath>

#include "framework/base/base_functions.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/fill_box.h"
#include "framework/softrender/line_draw.h"
#include "framework/softrender/memimg.h"
#include "framework/softrender/raster_triangle.h"
#include "framework/softrender/rotate_blit.h"
#include "framework/softrender/stretch_blit.h"

int DrawMemImgAt(const MEMIMG* image, int x, int y, int transFlag) {
    if (SoftwareDrawTarget == nullptr) return 0;
    BlitMemImg(SoftwareDrawTarget, image, x, y, transFlag, CurrentDrawSettings.blendImage, CurrentDrawSettings);
    return 0;
}

int DrawMemImgStretched(int x1, int y1, int x2, int y2, const MEMIMG* image, int transFlag) {
    if (SoftwareDrawTarget == nullptr) return 0;
    const RECT rect = {x1, y1, x2, y2};
    StretchBlitMemImg(SoftwareDrawTarget, image, &rect, transFlag, CurrentDrawSettings.blendImage,
                      CurrentDrawSettings);
    return 0;
}

int DrawMemImgRotated(int centreX, int centreY, double scale, double angle, int turnFlag, const MEMIMG* image,
                      int transFlag) {
    if (SoftwareDrawTarget == nullptr) return 0;
    // The renderer places the corners in 14.18 fixed point, which wraps a
    // centre far off the target round onto it: a graphic that cannot reach
    // the draw area (the renderer widens its box by up to 4 pixels) is not
    // handed to it.
    const double reach = std::fabs(scale) * std::hypot(image->width, image->height) / 2.0 + 4.0;
    const RECT& area = CurrentDrawSettings.drawArea;
    if (centreX + reach < area.left || centreX - reach > area.right || centreY + reach < area.top ||
        centreY - reach > area.bottom)
        return 0;
    RotateBlitMemImg(SoftwareDrawTarget, image, centreX, centreY, static_cast<float>(angle), static_cast<float>(scale),
                     transFlag, turnFlag, CurrentDrawSettings.blendImage, CurrentDrawSettings);
    return 0;
}

int DrawMemImgQuadInt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, const MEMIMG* image,
                      int transFlag) {
    if (SoftwareDrawTarget == nullptr) return 0;
    // The renderer takes the corners top-left, top-right, bottom-left,
    // bottom-right and draws (TL, TR, BL) then (TR, BL, BR).
    const int corners[8] = {x1, y1, x2, y2, x4, y4, x3, y3};
    RasterQuadMemImg(SoftwareDrawTarget, image, corners, transFlag, CurrentDrawSettings.blendImage,
                     CurrentDrawSettings);
    return 0;
}

int DrawMemImgQuad(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4, const MEMIMG* image,
                   int transFlag) {
    return DrawMemImgQuadInt(FloatToInt(x1), FloatToInt(y1), FloatToInt(x2), FloatToInt(y2), FloatToInt(x3),
                             FloatToInt(y3), FloatToInt(x4), FloatToInt(y4), image, transFlag);
}

int FillMemImgBox(const RECT* rect, uint32_t colour) {
    if (SoftwareDrawTarget == nullptr) return 0;
    FillBoxMemImg(SoftwareDrawTarget, rect, colour, CurrentDrawSettings);
    return 0;
}

int DrawMemImgLines(const MemImgLine* lines, int count) {
    if (SoftwareDrawTarget == nullptr) return 0;
    LineListMemImg(SoftwareDrawTarget, lines, count, CurrentDrawSettings);
    return 0;
}

int FillBoxForFont(int x1, int y1, int x2, int y2, int red, int green, int blue) {
    const RECT rect = {x1, y1, x2, y2};
    return FillMemImgBox(&rect, MakeScreenColorCode(red, green, blue));
}
