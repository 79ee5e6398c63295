// Colours in the pixel format of the screen.
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/softrender/memimg.h"

namespace {

// The software screen's memory-image format for the screen's colour depth.
const PixelFormat& ScreenFormat() {
    const int colorType = GetScreenColorBitDepth() == 16 ? kMemImgColor565 : kMemImgColor32;
    return *GetStockPixelFormat(colorType, 0, 0);
}

uint32_t Narrowed(int value, int width, int shift) {
    if (width == 0) return 0;
    return (static_cast<uint32_t>(value) & 0xFF) >> (8 - width) << shift;
}

int Widened(uint32_t color, uint32_t mask, int shift, int width) {
    if (width == 0) return 0;
    return static_cast<int>(((color & mask) >> shift) * 255u / ((1u << width) - 1u));
}

}  // namespace

uint32_t MakeScreenColorCode(int red, int green, int blue) {
    const PixelFormat& f = ScreenFormat();
    return Narrowed(red, f.redWidth, f.redShift) + Narrowed(green, f.greenWidth, f.greenShift) +
           Narrowed(blue, f.blueWidth, f.blueShift) + f.alphaMask;
}

int SplitScreenColorCode(uint32_t color, int* red, int* green, int* blue) {
    const PixelFormat& f = ScreenFormat();
    if (red != nullptr) *red = Widened(color, f.redMask, f.redShift, f.redWidth);
    if (green != nullptr) *green = Widened(color, f.greenMask, f.greenShift, f.greenWidth);
    if (blue != nullptr) *blue = Widened(color, f.blueMask, f.blueShift, f.blueWidth);
    return 0;
}
