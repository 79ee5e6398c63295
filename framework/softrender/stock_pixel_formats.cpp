// The static pixel formats that describe memory-image pixels, one for each
// colour type with or without alpha or a palette.
#include <cstring>

#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/memimg.h"

namespace {

struct StockFormat {
    bool filled;
    PixelFormat format;
};

// Colour types 0 and 1 by alpha and palette flag, then types 2 and 3.
StockFormat StockFormats[10];

// Colour types 2 and 3: every channel is the one value of the pixel.
void DefineSingleChannel(PixelFormat* format, int bits) {
    const uint32_t mask = bits == 8 ? 0xFFu : 0xFFFFu;
    const uint8_t width = static_cast<uint8_t>(bits);
    format->bitsPerPixel = static_cast<uint16_t>(bits);
    format->bytesPerPixel = static_cast<uint16_t>(bits / 8);
    format->redMask = format->greenMask = format->blueMask = format->alphaMask = mask;
    format->redWidth = format->greenWidth = format->blueWidth = format->alphaWidth = width;
    format->redShift = format->greenShift = format->blueShift = format->alphaShift = 0;
    format->spareMask = 0;
    format->specialFormat = kPlainPixels;
}

}  // namespace

const PixelFormat* GetStockPixelFormat(int colorType, int alphaFlag, int paletteFlag) {
    if (colorType < 0 || colorType > 3) return nullptr;
    const int index = colorType >= 2 ? 6 + colorType : colorType * 4 + (alphaFlag ? 2 : 0) + (paletteFlag ? 1 : 0);
    StockFormat& stock = StockFormats[index];
    if (stock.filled) return &stock.format;

    std::memset(&stock.format, 0, sizeof stock.format);
    if (colorType == kMemImgSingle8) {
        DefineSingleChannel(&stock.format, 8);
    } else if (colorType == kMemImgSingle16) {
        DefineSingleChannel(&stock.format, 16);
    } else if (colorType == kMemImgColor565) {
        const int bits = paletteFlag ? 8 : (alphaFlag ? 32 : 16);
        DefinePixelFormat(&stock.format, bits, 0xF800, 0x07E0, 0x001F, alphaFlag ? 0xFF0000u : 0);
    } else {
        const int bits = paletteFlag ? 8 : 32;
        DefinePixelFormat(&stock.format, bits, 0xFF0000, 0xFF00, 0xFF, alphaFlag ? 0xFF000000u : 0);
    }
    stock.filled = true;
    return &stock.format;
}
