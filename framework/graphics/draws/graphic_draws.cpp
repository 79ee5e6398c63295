// The public draws. Every draw takes the same steps: refuse a bad handle or a
// blend graphic that does not cover the graphic, wait while the window is
// inactive, find the rectangle the draw may touch where the mask, the front
// screen or the emulated subtract blend needs it, bring a movie's frame up to
// date, and go through the mask hooks around the draw itself, which is the
// hardware draw for a graphic held in textures and the software wrapper for
// one held in a memory image.
#include "framework/graphics/draws/graphic_draws.h"

#include <cmath>

#include "framework/base/base_functions.h"
#include "framework/base/framework_state.h"
#include "framework/graphics/draws/device_draws.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draws/draw_observer.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draw_coordinates.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/graphics/handles/movie_entries.h"
#include "framework/graphics/draws/software_draw_wrappers.h"
#include "framework/graphics/draws/subtract_emulation.h"
#include "framework/softrender/line_draw.h"
#include "framework/window/main_window.h"

namespace {

constexpr int kFrontScreen = -4;

bool IsTextureGraphic(const GraphicRecord* record) { return record->image != nullptr && record->image->hardware; }

// The subtract blend is emulated on a device without blend operations.
bool EmulatesSubtract(const GraphicRecord* record) {
    return record != nullptr && CurrentDrawSettings.blendMode == kBlendModeSubtract && IsTextureGraphic(record) &&
           !Direct3DDevice.blendOperationCapable;
}

bool NeedsBounds(const GraphicRecord* record) {
    return (record != nullptr && CurrentDrawSettings.blendMode == kBlendModeSubtract && IsTextureGraphic(record)) ||
           MaskScreenEffectiveFlag || CurrentDrawSettings.drawTarget == kFrontScreen;
}

// The whole pixels that float bounds reach into. The rectangle must hold
// every pixel the draw touches: the software path cuts float corners toward
// zero, the hardware path covers the pixels whose centres lie inside, so
// neither a cut nor a rounding of the bounds serves both; pixels of the
// rectangle that the draw leaves alone come out of the mask and the
// subtract emulation as they were.
RECT CoveringRect(double left, double top, double right, double bottom) {
    return RECT{FloorCoordinate(left), FloorCoordinate(top), CeilCoordinate(right), CeilCoordinate(bottom)};
}

RECT BoundsOf(const double xs[4], const double ys[4]) {
    double left = xs[0], right = xs[0], top = ys[0], bottom = ys[0];
    for (int i = 1; i < 4; ++i) {
        left = xs[i] < left ? xs[i] : left;
        right = xs[i] > right ? xs[i] : right;
        top = ys[i] < top ? ys[i] : top;
        bottom = ys[i] > bottom ? ys[i] : bottom;
    }
    return CoveringRect(left, top, right, bottom);
}

// A check that refuses the draw before anything happens: -1, or 0 to go on,
// or 1 for nothing to draw.
int CheckGraphicDraw(int handle, const GraphicRecord*& record) {
    if (CurrentDrawSettings.drawAreaEmpty) return 1;
    record = GetGraphicRecord(handle);
    if (record == nullptr || record->image == nullptr) return -1;
    if (CurrentDrawSettings.blendGraphic != -1 && CheckBlendGraphicCovers(record) != 0) return -1;
    WaitWhileInactive();
    return 0;
}

// Runs the draw between the movie update and the mask hooks, emulating the
// subtract blend where the device cannot.
template <class Draw>
int RunDraw(const GraphicRecord* record, const RECT& bounds, Draw draw) {
    if (record != nullptr && record->movieHandle != -1) UpdateMovieFrame(record->movieHandle, record->handle);
    const bool masked = MaskScreenEffectiveFlag != 0;
    if (masked) BeginMaskedDraw(bounds);
    int result;
    if (EmulatesSubtract(record)) {
        result = DrawWithEmulatedSubtract(bounds, draw);
    } else {
        result = draw();
    }
    if (masked) EndMaskedDraw(bounds);
    return result;
}

int DrawStretchedCommon(int x1, int y1, int x2, int y2, float fx1, float fy1, float fx2, float fy2, int handle,
                        int transFlag) {
    const GraphicRecord* record = nullptr;
    const int check = CheckGraphicDraw(handle, record);
    if (check != 0) return check < 0 ? -1 : 0;
    RECT bounds = {};
    if (NeedsBounds(record)) {
        const double xs[4] = {fx1, fx2, fx2, fx1};
        const double ys[4] = {fy1, fy1, fy2, fy2};
        bounds = BoundsOf(xs, ys);
    }
    return RunDraw(record, bounds, [&] {
        if (IsTextureGraphic(record))
            return DrawGraphicStretchedOnDevice(x1, y1, x2, y2, fx1, fy1, fx2, fy2, record, transFlag, 0);
        return DrawMemImgStretched(x1, y1, x2, y2, &record->memImg, transFlag);
    });
}

template <class Number>
int DrawFourCornersCommon(const Number (&x)[4], const Number (&y)[4], int handle, int transFlag) {
    const GraphicRecord* record = nullptr;
    const int check = CheckGraphicDraw(handle, record);
    if (check != 0) return check < 0 ? -1 : 0;
    RECT bounds = {};
    if (NeedsBounds(record)) {
        const double xs[4] = {static_cast<double>(x[0]), static_cast<double>(x[1]), static_cast<double>(x[2]),
                              static_cast<double>(x[3])};
        const double ys[4] = {static_cast<double>(y[0]), static_cast<double>(y[1]), static_cast<double>(y[2]),
                              static_cast<double>(y[3])};
        bounds = BoundsOf(xs, ys);
    }
    return RunDraw(record, bounds, [&] {
        if constexpr (sizeof(Number) == sizeof(int) && static_cast<Number>(1) / 2 == 0) {
            if (IsTextureGraphic(record))
                return DrawGraphicFourCornersOnDeviceInt(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], record,
                                                         transFlag);
            return DrawMemImgQuadInt(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], &record->memImg, transFlag);
        } else {
            if (IsTextureGraphic(record))
                return DrawGraphicFourCornersOnDeviceF(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], record,
                                                       transFlag);
            return DrawMemImgQuad(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], &record->memImg, transFlag);
        }
    });
}

template <class Draw>
int DrawRectCommon(int x1, int y1, int x2, int y2, Draw draw) {
    if (CurrentDrawSettings.drawAreaEmpty) return 0;
    WaitWhileInactive();
    RECT bounds = {};
    if (NeedsBounds(nullptr)) bounds = RECT{x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
    return RunDraw(nullptr, bounds, draw);
}

}  // namespace

int DrawGraphicAtPoint(int x, int y, int handle, int transFlag) {
    const ObservedDrawScope observed({"DrawGraphicAtPoint", handle, {double(x), double(y)}, 1, {}, 1, 0, transFlag, 0,
                                      0});
    if (!FrameworkInitialised) return -1;
    const GraphicRecord* record = nullptr;
    const int check = CheckGraphicDraw(handle, record);
    if (check != 0) return check < 0 ? -1 : 0;
    RECT bounds = {};
    if (NeedsBounds(record)) bounds = RECT{x, y, CoordinateSum(x, record->width), CoordinateSum(y, record->height)};
    return RunDraw(record, bounds, [&] {
        if (IsTextureGraphic(record))
            return DrawGraphicOnDevice(record, x, y, static_cast<float>(x), static_cast<float>(y), transFlag, 1);
        return DrawMemImgAt(&record->memImg, x, y, transFlag);
    });
}

int DrawGraphicMirrored(int x, int y, int handle, int transFlag) {
    const ObservedDrawScope observed({"DrawGraphicMirrored", handle, {double(x), double(y)}, 1, {}, 1, 0, transFlag, 1,
                                      0});
    const GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return CurrentDrawSettings.drawAreaEmpty ? 0 : -1;
    return DrawGraphicStretched(CoordinateSum(x, record->width), y, x, CoordinateSum(y, record->height), handle,
                                transFlag);
}

int DrawGraphicPart(int x, int y, int sourceX, int sourceY, int width, int height, int handle, int transFlag,
                    int turnFlag) {
    const ObservedDrawScope observed({"DrawGraphicPart", handle, {double(x), double(y)}, 1,
                                      {sourceX, sourceY, width, height}, 1, 0, transFlag, turnFlag, 0});
    DrawSettings& settings = CurrentDrawSettings;
    const RECT savedArea = settings.drawArea;
    float savedFloat[4];
    for (int i = 0; i < 4; ++i) savedFloat[i] = settings.drawAreaFloat[i];
    const int savedEmpty = settings.drawAreaEmpty;

    // Only the clip rectangle narrows; the device viewport stays.
    RECT area = {x, y, CoordinateSum(x, width), CoordinateSum(y, height)};
    ClipRectTo(&area, &savedArea);
    settings.drawArea = area;
    settings.drawAreaFloat[0] = static_cast<float>(area.left);
    settings.drawAreaFloat[1] = static_cast<float>(area.top);
    settings.drawAreaFloat[2] = static_cast<float>(area.right);
    settings.drawAreaFloat[3] = static_cast<float>(area.bottom);
    settings.drawAreaEmpty = savedEmpty || area.right <= area.left || area.bottom <= area.top ? 1 : 0;

    int result;
    if (turnFlag == 0) {
        result = DrawGraphicAtPoint(CoordinateSum(x, -int64_t{sourceX}), CoordinateSum(y, -int64_t{sourceY}), handle,
                                    transFlag);
    } else {
        const GraphicRecord* record = GetGraphicRecord(handle);
        result = record == nullptr
                     ? (settings.drawAreaEmpty ? 0 : -1)
                     : DrawGraphicMirrored(CoordinateSum(x, -int64_t{record->width}, sourceX, width),
                                           CoordinateSum(y, -int64_t{sourceY}), handle, transFlag);
    }

    settings.drawArea = savedArea;
    for (int i = 0; i < 4; ++i) settings.drawAreaFloat[i] = savedFloat[i];
    settings.drawAreaEmpty = savedEmpty;
    return result;
}

int DrawGraphicStretched(int x1, int y1, int x2, int y2, int handle, int transFlag) {
    const ObservedDrawScope observed({"DrawGraphicStretched", handle, {double(x1), double(y1), double(x2), double(y2)},
                                      2, {}, 1, 0, transFlag, 0, 0});
    return DrawStretchedCommon(x1, y1, x2, y2, static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                               static_cast<float>(y2), handle, transFlag);
}

int DrawGraphicStretchedF(float x1, float y1, float x2, float y2, int handle, int transFlag) {
    const ObservedDrawScope observed({"DrawGraphicStretchedF", handle, {x1, y1, x2, y2}, 2, {}, 1, 0, transFlag, 0, 0});
    return DrawStretchedCommon(FloatToInt(x1), FloatToInt(y1), FloatToInt(x2), FloatToInt(y2), x1, y1, x2, y2, handle,
                               transFlag);
}

int DrawGraphicRectStretchedF(float x1, float y1, float x2, float y2, int sourceX, int sourceY, int width, int height,
                              int handle, int transFlag) {
    const ObservedDrawScope observed({"DrawGraphicRectStretchedF", handle, {x1, y1, x2, y2}, 2,
                                      {sourceX, sourceY, width, height}, 1, 0, transFlag, 0, 0});
    if (CurrentDrawSettings.drawAreaEmpty) return 0;
    const GraphicRecord* source = GetGraphicRecord(handle);
    if (source == nullptr || source->image == nullptr) return -1;
    // An empty part, or one whose corner lies outside the graphic, is no
    // part of it (the part is cut only at the right and bottom edges):
    // nothing to draw, as for the other draws. A blend graphic that does not
    // cover the part is refused by the stretched draw below (-1), as every
    // draw refuses one that does not cover its graphic.
    if (width < 1 || height < 1 || sourceX < 0 || sourceY < 0 || sourceX >= source->width ||
        sourceY >= source->height) {
        return 0;
    }
    WaitWhileInactive();
    // The part shares the source's image but not its movie: the source's
    // frame is brought up to date here.
    if (source->movieHandle != -1) UpdateMovieFrame(source->movieHandle, source->handle);
    const int part = DerivePartGraphic(sourceX, sourceY, width, height, handle);
    if (part == -1) return -1;
    const int result = DrawGraphicStretchedF(x1, y1, x2, y2, part, transFlag);
    DeleteGraphicHandle(part, 0);
    return result;
}

int DrawGraphicRotatedF(float x, float y, double scale, double angle, int handle, int transFlag, int turnFlag) {
    const ObservedDrawScope observed({"DrawGraphicRotatedF", handle, {x, y}, 1, {}, scale, angle, transFlag, turnFlag,
                                      0});
    const GraphicRecord* record = nullptr;
    const int check = CheckGraphicDraw(handle, record);
    if (check != 0) return check < 0 ? -1 : 0;
    RECT bounds = {};
    if (NeedsBounds(record)) {
        // The turned and scaled corners about the centre, widened by 5 pixels.
        const double halfW = static_cast<double>(record->width / 2);
        const double halfH = static_cast<double>(record->height / 2);
        const double cornerX[4] = {-halfW, record->width - halfW, record->width - halfW, -halfW};
        const double cornerY[4] = {-halfH, -halfH, record->height - halfH, record->height - halfH};
        const double c = std::cos(angle) * scale;
        const double s = std::sin(angle) * scale;
        double xs[4], ys[4];
        for (int i = 0; i < 4; ++i) {
            xs[i] = x + cornerX[i] * c - cornerY[i] * s;
            ys[i] = y + cornerX[i] * s + cornerY[i] * c;
        }
        bounds = BoundsOf(xs, ys);
        bounds = RECT{CoordinateSum(bounds.left, -5), CoordinateSum(bounds.top, -5), CoordinateSum(bounds.right, 5),
                      CoordinateSum(bounds.bottom, 5)};
    }
    return RunDraw(record, bounds, [&] {
        if (IsTextureGraphic(record))
            return DrawGraphicRotatedOnDevice(record, x, y, scale, angle, transFlag, turnFlag);
        return DrawMemImgRotated(FloatToInt(x), FloatToInt(y), scale, angle, turnFlag, &record->memImg, transFlag);
    });
}

int DrawGraphicRotated(int x, int y, double scale, double angle, int handle, int transFlag, int turnFlag) {
    const ObservedDrawScope observed({"DrawGraphicRotated", handle, {double(x), double(y)}, 1, {}, scale, angle,
                                      transFlag, turnFlag, 0});
    return DrawGraphicRotatedF(static_cast<float>(x), static_cast<float>(y), scale, angle, handle, transFlag,
                               turnFlag);
}

int DrawGraphicFourCornersF(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4, int handle,
                            int transFlag) {
    const ObservedDrawScope observed({"DrawGraphicFourCornersF", handle, {x1, y1, x2, y2, x3, y3, x4, y4}, 4, {}, 1, 0,
                                      transFlag, 0, 0});
    const float xs[4] = {x1, x2, x3, x4};
    const float ys[4] = {y1, y2, y3, y4};
    return DrawFourCornersCommon(xs, ys, handle, transFlag);
}

int DrawGraphicFourCorners(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int handle, int transFlag) {
    const ObservedDrawScope observed({"DrawGraphicFourCorners", handle, {double(x1), double(y1), double(x2), double(y2),
                                      double(x3), double(y3), double(x4), double(y4)}, 4, {}, 1, 0, transFlag, 0, 0});
    const int xs[4] = {x1, x2, x3, x4};
    const int ys[4] = {y1, y2, y3, y4};
    return DrawFourCornersCommon(xs, ys, handle, transFlag);
}

int DrawRectFilled(int x1, int y1, int x2, int y2, int colour) {
    const ObservedDrawScope observed({"DrawRectFilled", -1, {double(x1), double(y1), double(x2), double(y2)}, 2, {}, 1,
                                      0, 0, 0, colour});
    return DrawRectCommon(x1, y1, x2, y2, [&] {
        if (HardwarePathFlag) return DrawRectFilledOnDevice(x1, y1, x2, y2, colour);
        const RECT rect = {x1, y1, x2, y2};
        return FillMemImgBox(&rect, static_cast<uint32_t>(colour));
    });
}

int DrawRectFrame(int x1, int y1, int x2, int y2, int colour) {
    const ObservedDrawScope observed({"DrawRectFrame", -1, {double(x1), double(y1), double(x2), double(y2)}, 2, {}, 1,
                                      0, 0, 0, colour});
    return DrawRectCommon(x1, y1, x2, y2, [&] {
        if (HardwarePathFlag) return DrawRectFrameOnDevice(x1, y1, x2, y2, colour);
        const int left = x1 < x2 ? x1 : x2, right = x1 < x2 ? x2 : x1;
        const int top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
        const uint32_t c = static_cast<uint32_t>(colour);
        // Each pixel of the outline in exactly one line; a line's end point
        // is not drawn.
        const int innerLeft = CoordinateSum(left, 1), innerTop = CoordinateSum(top, 1);
        const int lastColumn = CoordinateSum(right, -1), lastRow = CoordinateSum(bottom, -1);
        const MemImgLine lines[4] = {{left, top, right, top, c, 0},
                                     {lastColumn, innerTop, lastColumn, bottom, c, 0},
                                     {left, innerTop, left, bottom, c, 0},
                                     {innerLeft, lastRow, lastColumn, lastRow, c, 0}};
        return DrawMemImgLines(lines, 4);
    });
}

int DrawRectShape(int x1, int y1, int x2, int y2, int colour, int fillFlag) {
    const ObservedDrawScope observed({"DrawRectShape", -1, {double(x1), double(y1), double(x2), double(y2)}, 2, {}, 1,
                                      0, fillFlag, 0, colour});
    return fillFlag ? DrawRectFilled(x1, y1, x2, y2, colour) : DrawRectFrame(x1, y1, x2, y2, colour);
}
