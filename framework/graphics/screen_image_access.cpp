// Stand-in until graphics from pixel images and the screen is built.
// Stand-ins while the graphics subsystem does not offer these yet: no
// graphic can be made, so nothing is drawn, and colours are coded for the
// 16-bit 5-6-5 screen that the graphics start takes by default. Each is weak,
// so that the graphics subsystem's own definition takes its place.
#include "framework/graphics/screen_image_access.h"

#define STAND_IN __attribute__((weak))

namespace {

uint32_t TransparentColor = 0;
int TextureFilterMode = 0;

}  // namespace

STAND_IN int IsValidGraphicHandle(int) { return 0; }
STAND_IN int MakeGraphFromPixelImage(const PixelImage*, const PixelImage*, int, int, int) { return -1; }
STAND_IN int MakeEmptyGraphic(int, int) { return -1; }
STAND_IN int CaptureScreenImage(int, int, int, int, int, int) { return -1; }
STAND_IN int GetGraphicSize(int, int*, int*) { return -1; }
STAND_IN int DrawGraphicAtPoint(int, int, int, int) { return -1; }
STAND_IN int DrawGraphicStretched(int, int, int, int, int, int) { return -1; }
STAND_IN int SelectDrawTarget(int) { return -1; }
STAND_IN int GetTextureFilterMode() { return TextureFilterMode; }
STAND_IN int SetTextureFilterMode(int mode) {
    TextureFilterMode = mode;
    return 0;
}

STAND_IN uint32_t GetDrawTransparentColor() { return TransparentColor; }
STAND_IN int SetDrawTransparentColor(uint32_t color) {
    TransparentColor = color & 0x00FFFFFFu;
    return 0;
}

STAND_IN uint32_t MakeScreenColorCode(int red, int green, int blue) {
    return ((static_cast<uint32_t>(red) & 0xF8u) << 8) | ((static_cast<uint32_t>(green) & 0xFCu) << 3) |
           ((static_cast<uint32_t>(blue) & 0xFFu) >> 3);
}
