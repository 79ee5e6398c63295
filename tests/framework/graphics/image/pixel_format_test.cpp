// Pixel formats: building them from masks, the presets, and encoding and
// decoding one colour.
#include <gtest/gtest.h>

#include "framework/graphics/image/pixel_format.h"

namespace {

struct DefineCase {
    int bits;
    uint32_t red, green, blue, alpha;
    int bytes;
    int widths[4], shifts[4];
    uint32_t spareMask;
    int spareShift, spareWidth;
};

TEST(PixelFormatTest, DefineMeasuresEveryMaskAndTheSpareBits) {
    const DefineCase cases[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, 0, 4, {8, 8, 8, 0}, {16, 8, 0, 0}, 0xFF000000, 24, 8},
        {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 4, {8, 8, 8, 8}, {16, 8, 0, 24}, 0, 0, 0},
        {16, 0xF800, 0x07E0, 0x001F, 0, 2, {5, 6, 5, 0}, {11, 5, 0, 0}, 0, 0, 0},
        {16, 0x7C00, 0x03E0, 0x001F, 0, 2, {5, 5, 5, 0}, {10, 5, 0, 0}, 0x8000, 15, 1},
        {16, 0x0F00, 0x00F0, 0x000F, 0xF000, 2, {4, 4, 4, 4}, {8, 4, 0, 12}, 0, 0, 0},
        {24, 0xFF0000, 0xFF00, 0xFF, 0, 3, {8, 8, 8, 0}, {16, 8, 0, 0}, 0, 0, 0},
        {32, 0x3FF00000, 0xFFC00, 0x3FF, 0, 4, {10, 10, 10, 0}, {20, 10, 0, 0}, 0xC0000000, 30, 2},
    };
    for (const DefineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, red " << std::hex << c.red);
        PixelFormat format{};
        format.specialFormat = kDxt3Pixels;
        format.spareShift = 9;
        EXPECT_EQ(DefinePixelFormat(&format, c.bits, c.red, c.green, c.blue, c.alpha), 0);
        EXPECT_EQ(format.bitsPerPixel, c.bits);
        EXPECT_EQ(format.bytesPerPixel, c.bytes);
        const int widths[4] = {format.redWidth, format.greenWidth, format.blueWidth, format.alphaWidth};
        const int shifts[4] = {format.redShift, format.greenShift, format.blueShift, format.alphaShift};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(widths[i], c.widths[i]) << i;
            EXPECT_EQ(shifts[i], c.shifts[i]) << i;
        }
        EXPECT_EQ(format.spareMask, c.spareMask);
        EXPECT_EQ(format.spareShift, c.spareShift);
        EXPECT_EQ(format.spareWidth, c.spareWidth);
        EXPECT_EQ(format.specialFormat, 0u);
    }
}

TEST(PixelFormatTest, UpdateSpareMaskClearsItOnlyWhenTheChannelsFillThePixel) {
    PixelFormat format{};
    DefinePixelFormat(&format, 16, 0x7C00, 0x03E0, 0x001F, 0);
    format.alphaMask = 0x8000;
    format.alphaWidth = 1;
    UpdateSpareMask(&format);
    EXPECT_EQ(format.spareMask, 0u);
    EXPECT_EQ(format.spareShift, 15);  // left alone
    format.alphaMask = 0;
    format.alphaWidth = 0;
    UpdateSpareMask(&format);
    EXPECT_EQ(format.spareMask, 0x8000u);
}

TEST(PixelFormatTest, PresetsFillOnlyTheirFields) {
    struct Case {
        int (*preset)(PixelFormat*);
        int bits, bytes, alphaWidth;
        uint32_t alphaMask, spareMask;
    } const cases[] = {
        {UsePalette8Format, 8, 1, 0, 0, 0xFF000000},
        {UseGray8Format, 8, 1, 0, 0, 0xFF000000},
        {UseRgb24Format, 24, 3, 0, 0, 0},
        {UseXrgb32Format, 32, 4, 0, 0, 0xFF000000},
        {UseArgb32Format, 32, 4, 8, 0xFF000000, 0},
    };
    for (const Case& c : cases) {
        PixelFormat format{};
        format.specialFormat = kDxt1Pixels;
        format.palette[9] = PaletteColor{1, 2, 3, 4};
        EXPECT_EQ(c.preset(&format), 0);
        EXPECT_EQ(format.bitsPerPixel, c.bits);
        EXPECT_EQ(format.bytesPerPixel, c.bytes);
        EXPECT_EQ(format.redMask, 0xFF0000u);
        EXPECT_EQ(format.greenMask, 0xFF00u);
        EXPECT_EQ(format.blueMask, 0xFFu);
        EXPECT_EQ(format.redShift, 16);
        EXPECT_EQ(format.redWidth, 8);
        EXPECT_EQ(format.alphaWidth, c.alphaWidth);
        EXPECT_EQ(format.alphaMask, c.alphaMask);
        EXPECT_EQ(format.spareMask, c.spareMask);
        EXPECT_EQ(format.specialFormat, 0u);
        if (c.preset == UseGray8Format) {
            EXPECT_EQ(format.palette[9].red, 9);
            EXPECT_EQ(format.palette[9].reserved, 0);
            EXPECT_EQ(format.palette[200].blue, 200);
        } else {
            EXPECT_EQ(format.palette[9].red, 3);
        }
    }
    PixelFormat xrgb{};
    UseXrgb32Format(&xrgb);
    EXPECT_EQ(xrgb.spareShift, 24);
    EXPECT_EQ(xrgb.spareWidth, 8);
}

TEST(PixelFormatTest, PixelCodeTruncatesChannelsAndSetsSpareBits) {
    PixelFormat rgb565{}, rgb555{}, argb4444{}, argb32{};
    DefinePixelFormat(&rgb565, 16, 0xF800, 0x07E0, 0x001F, 0);
    DefinePixelFormat(&rgb555, 16, 0x7C00, 0x03E0, 0x001F, 0);
    DefinePixelFormat(&argb4444, 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    UseArgb32Format(&argb32);
    struct Case {
        const PixelFormat* format;
        int red, green, blue, alpha;
        uint32_t code;
    } const cases[] = {
        {&rgb565, 255, 255, 255, 0, 0xFFFF},
        {&rgb565, 0x87, 0x43, 0x0F, 0, (0x87 >> 3) << 11 | (0x43 >> 2) << 5 | 0x0F >> 3},
        {&rgb555, 0, 0, 0, 0, 0x8000},
        {&argb4444, 0x1F, 0x2F, 0x3F, 0x7F, 0x7123},
        {&argb32, 0x112, 0x34, 0x56, 0x178, 0x78123456},  // only the low 8 bits count
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelCodeFromRgba(c.format, c.red, c.green, c.blue, c.alpha), c.code)
            << c.red << "," << c.green << "," << c.blue << "," << c.alpha;
    }
}

TEST(PixelFormatTest, PaletteCodeIsTheNearestEntryAndTheLowestOnTies) {
    PixelFormat palette{};
    UsePalette8Format(&palette);
    for (int i = 0; i < 256; ++i) palette.palette[i] = PaletteColor{0, 0, 255, 0};  // red everywhere
    palette.palette[3] = PaletteColor{30, 20, 10, 0};
    palette.palette[7] = PaletteColor{30, 20, 10, 0};
    palette.palette[9] = PaletteColor{200, 200, 200, 0};
    EXPECT_EQ(PixelCodeFromRgba(&palette, 10, 20, 30, 0), 3u);
    EXPECT_EQ(PixelCodeFromRgba(&palette, 12, 18, 33, 0), 3u);
    EXPECT_EQ(PixelCodeFromRgba(&palette, 180, 190, 250, 0), 9u);
    EXPECT_EQ(PixelCodeFromRgba(&palette, 255, 0, 0, 0), 0u);
}

TEST(PixelFormatTest, RgbaFromPixelCodeScalesNarrowChannelsToFullRange) {
    PixelFormat rgb565{}, argb1555{}, argb32{}, xrgb32{};
    DefinePixelFormat(&rgb565, 16, 0xF800, 0x07E0, 0x001F, 0);
    DefinePixelFormat(&argb1555, 16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    UseArgb32Format(&argb32);
    UseXrgb32Format(&xrgb32);
    struct Case {
        const PixelFormat* format;
        uint32_t value;
        int red, green, blue, alpha;
    } const cases[] = {
        {&rgb565, 0xFFFF, 255, 255, 255, 0},
        {&rgb565, 0x8410, 131, 129, 131, 0},  // 16 x 255 / 31, 32 x 255 / 63, truncated
        {&argb1555, 0x8000, 0, 0, 0, 255},
        {&argb32, 0x80112233, 0x11, 0x22, 0x33, 0x80},
        {&xrgb32, 0xFF112233, 0x11, 0x22, 0x33, 0},
    };
    for (const Case& c : cases) {
        int red = -1, green = -1, blue = -1, alpha = -1;
        EXPECT_EQ(RgbaFromPixelCode(c.format, c.value, &red, &green, &blue, &alpha), 0);
        EXPECT_EQ(red, c.red) << std::hex << c.value;
        EXPECT_EQ(green, c.green) << std::hex << c.value;
        EXPECT_EQ(blue, c.blue) << std::hex << c.value;
        EXPECT_EQ(alpha, c.alpha) << std::hex << c.value;
    }
    int green = -1;
    EXPECT_EQ(RgbaFromPixelCode(&rgb565, 0x07E0, nullptr, &green, nullptr, nullptr), 0);
    EXPECT_EQ(green, 255);
}

}  // namespace
