// Putting pixel images into memory images: conversion, palettes, and the
// premultiplied plane and run codes that a whole-image put rebuilds.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "framework/softrender/memimg.h"
#include "framework/softrender/memimg_work_buffers.h"
#include "tests/support/test_support.h"

namespace {

class PutPixelsTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        FreeMemImg(&image_);
        for (PixelImage* picture : {&source_, &alpha_}) FreePixelImage(picture);
        testsupport::PlatformTest::TearDown();
    }
    void SetUpImage(int width, int height, int colorType, int paletteFlag, int alphaFlag,
                    uint32_t transparentColor = 0) {
        ASSERT_EQ(SetUpMemImg(&image_, width, height, -1, transparentColor, colorType, paletteFlag,
                              alphaFlag, 1, nullptr),
                  0);
        std::memset(image_.pixels, 0, static_cast<size_t>(image_.base->pitch) * height);
    }
    // A source image of the preset format whose pixel values are given row by row.
    void MakeSource(PixelImage* picture, int (*preset)(PixelFormat*), int width, int height,
                    const std::vector<uint32_t>& values) {
        PixelFormat format{};
        preset(&format);
        ASSERT_EQ(AllocPixelImageAs(width, height, &format, picture), 0);
        const int bytes = format.bytesPerPixel;
        for (int i = 0; i < width * height; ++i) {
            std::memcpy(picture->pixels + (i / width) * picture->pitch + (i % width) * bytes,
                        &values[static_cast<size_t>(i)], static_cast<size_t>(bytes));
        }
    }
    // The run codes of the first `count` bytes.
    std::vector<uint8_t> RunCodes(size_t count) const {
        return std::vector<uint8_t>(image_.base->runCodeBuffer, image_.base->runCodeBuffer + count);
    }
    uint32_t PixelAt(int x, int y) const {
        const int bytes = image_.base->format->bytesPerPixel;
        uint32_t value = 0;
        std::memcpy(&value, image_.pixels + y * image_.base->pitch + x * bytes, static_cast<size_t>(bytes));
        return value;
    }
    MEMIMG image_{};
    PixelImage source_{};
    PixelImage alpha_{};
};

TEST_F(PutPixelsTest, RunCodesOfAColourKeyedImageSplitLongRunsAt64) {
    std::vector<uint32_t> row(73, 0x00000000);
    for (int i = 70; i < 73; ++i) row[static_cast<size_t>(i)] = 0x00FF0000;
    std::vector<uint32_t> values = row;
    values.insert(values.end(), 73, 0x00123456);  // a wholly opaque second row
    MakeSource(&source_, UseXrgb32Format, 73, 2, values);
    SetUpImage(73, 2, kMemImgColor32, 0, 0);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 73, 2, 0, 0, 0), 0);
    EXPECT_EQ(image_.base->runCodesValid, 1);
    EXPECT_EQ(image_.base->premultipliedValid, 0);  // no alpha, no plane
    EXPECT_EQ(RunCodes(7), (std::vector<uint8_t>{0x3F, 0x05, 0x42, 0xC0, 0x7F, 0x48, 0xC0}));
}

TEST_F(PutPixelsTest, RunCodesOfAnAlphaImageTellTransparentOpaqueAndTranslucent) {
    MakeSource(&source_, UseArgb32Format, 3, 2,
               {0x00102030, 0xFF102030, 0x80102030, 0x01000000, 0xFE000000, 0xFF000000});
    SetUpImage(3, 2, kMemImgColor32, 0, 1);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 3, 2, 0, 0, 0), 0);
    EXPECT_EQ(RunCodes(7), (std::vector<uint8_t>{0x00, 0x40, 0x80, 0xC0, 0x81, 0x40, 0xC0}));
}

TEST_F(PutPixelsTest, RunCodesOfAPaletteImageCompareTheIndexByte) {
    PixelImage& picture = source_;
    MakeSource(&picture, UsePalette8Format, 5, 1, {3, 3, 0, 3, 1});
    SetUpImage(5, 1, kMemImgColor565, 1, 0, 0x103);  // compared as a byte: index 3
    ASSERT_EQ(PutPixelsIntoMemImg(&picture, nullptr, &image_, 0, 0, 5, 1, 0, 0, 0), 0);
    EXPECT_EQ(RunCodes(5), (std::vector<uint8_t>{0x01, 0x40, 0x00, 0x40, 0xC0}));
}

TEST_F(PutPixelsTest, RunCodesOfA565ImageCompareSixteenBits) {
    SetUpImage(4, 1, kMemImgColor565, 0, 0, 0x1F001F);
    PixelFormat format{};
    DefinePixelFormat(&format, 16, 0xF800, 0x07E0, 0x001F, 0);
    ASSERT_EQ(AllocPixelImageAs(4, 1, &format, &source_), 0);
    const uint16_t values[4] = {0x001F, 0x001F, 0xF81F, 0x001F};
    std::memcpy(source_.pixels, values, sizeof values);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 4, 1, 0, 0, 0), 0);
    EXPECT_EQ(RunCodes(4), (std::vector<uint8_t>{0x01, 0x40, 0x00, 0xC0}));
}

TEST_F(PutPixelsTest, PremultipliedPlaneOf32BitAlpha) {
    MakeSource(&source_, UseArgb32Format, 2, 1, {0x803264C8, 0xFF0A141E});
    SetUpImage(2, 1, kMemImgColor32, 0, 1);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 2, 1, 0, 0, 0), 0);
    EXPECT_EQ(image_.base->premultipliedValid, 1);
    const uint8_t* plane = image_.premultipliedPixels;
    // Blue 200, green 100, red 50 at alpha 128; the opaque pixel loses 1/256.
    EXPECT_EQ(std::vector<uint8_t>(plane, plane + 8),
              (std::vector<uint8_t>{100, 50, 25, 128, 0x1D, 0x13, 0x09, 255}));
}

TEST_F(PutPixelsTest, PremultipliedPlaneOf565Alpha) {
    MakeSource(&source_, UseArgb32Format, 3, 1, {0x80FFFFFF, 0xFFFF0000, 0x00FFFFFF});
    SetUpImage(3, 1, kMemImgColor565, 0, 1);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 3, 1, 0, 0, 0), 0);
    // The pixels: 5-6-5 code in bytes 0-1, alpha in byte 2.
    EXPECT_EQ(PixelAt(0, 0) & 0xFFFFFF, 0x80FFFFu);
    const uint8_t* plane = image_.premultipliedPixels;
    EXPECT_EQ(std::vector<uint8_t>(plane, plane + 12),
              (std::vector<uint8_t>{0xEF, 0x7B, 128, 0,   // white at 128: 0x7BEF
                                    0x00, 0xF0, 255, 0,   // red 31 x 255: 0xF000
                                    0x00, 0x00, 0, 0}));
}

TEST_F(PutPixelsTest, APartialPutClearsBothValidityFlags) {
    MakeSource(&source_, UseArgb32Format, 4, 4, std::vector<uint32_t>(16, 0xFF000000));
    SetUpImage(4, 4, kMemImgColor32, 0, 1);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 4, 4, 0, 0, 0), 0);
    EXPECT_EQ(image_.base->runCodesValid, 1);
    EXPECT_EQ(image_.base->premultipliedValid, 1);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 3, 4, 1, 0, 0), 0);
    EXPECT_EQ(image_.base->runCodesValid, 0);
    EXPECT_EQ(image_.base->premultipliedValid, 0);
}

TEST_F(PutPixelsTest, WithoutWorkBuffersOnlyThePixelsChange) {
    MakeSource(&source_, UseXrgb32Format, 2, 2, {1, 2, 3, 4});
    ASSERT_EQ(SetUpMemImg(&image_, 2, 2, -1, 0, kMemImgColor32, 0, 0, 0, nullptr), 0);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 2, 2, 0, 0, 0), 0);
    EXPECT_EQ(image_.base->runCodesValid, 0);
    EXPECT_EQ(PixelAt(1, 1), 4u);
}

TEST_F(PutPixelsTest, OptionTurnsTheTransparentColourIntoAlpha) {
    MakeSource(&source_, UseXrgb32Format, 3, 1, {0x00FF00FF, 0x0000FF00, 0xFFFF00FF});
    SetUpImage(3, 1, kMemImgColor32, 0, 1, 0xFFFF00FF);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, nullptr, &image_, 0, 0, 3, 1, 0, 0, 1), 0);
    EXPECT_EQ(PixelAt(0, 0), 0x00FF00FFu);
    EXPECT_EQ(PixelAt(1, 0), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(2, 0), 0x00FF00FFu);
    EXPECT_EQ(RunCodes(3), (std::vector<uint8_t>{0x00, 0x40, 0x00}));
}

TEST_F(PutPixelsTest, AlphaComesFromTheAlphaImagesRedChannel) {
    MakeSource(&source_, UseXrgb32Format, 2, 1, {0x00102030, 0x00405060});
    MakeSource(&alpha_, UseXrgb32Format, 2, 1, {0x00800000, 0x00FF0000});
    SetUpImage(2, 1, kMemImgColor32, 0, 1);
    ASSERT_EQ(PutPixelsIntoMemImg(&source_, &alpha_, &image_, 0, 0, 2, 1, 0, 0, 0), 0);
    EXPECT_EQ(PixelAt(0, 0), 0x80102030u);
    EXPECT_EQ(PixelAt(1, 0), 0xFF405060u);
}

TEST_F(PutPixelsTest, PaletteImagesTakeTheSourcePaletteInTheirOwnCodes) {
    struct Case {
        int colorType;
        uint32_t entry1;
    } const cases[] = {{kMemImgColor565, 0xFFE0 /* (255,255,7) */}, {kMemImgColor32, 0xFFFF07}};
    for (const Case& c : cases) {
        PixelImage picture{};
        MakeSource(&picture, UsePalette8Format, 3, 1, {0, 5, 1});
        picture.format.palette[1] = PaletteColor{7, 255, 255, 0};
        picture.format.palette[5] = PaletteColor{0x18, 0x08, 0x80, 0xAA};
        MEMIMG image{};
        ASSERT_EQ(SetUpMemImg(&image, 3, 1, -1, 0, c.colorType, 1, 0, 1, nullptr), 0);
        ASSERT_EQ(PutPixelsIntoMemImg(&picture, nullptr, &image, 0, 0, 3, 1, 0, 0, 0), 0);
        const MemImgBase* base = image.base;
        EXPECT_EQ(std::vector<uint8_t>(image.pixels, image.pixels + 3), (std::vector<uint8_t>{0, 5, 1}));
        EXPECT_EQ(base->paletteColorCount, 6);  // the largest index copied, plus 1
        const int bytes = c.colorType == kMemImgColor565 ? 2 : 4;
        uint32_t entry1 = 0;
        uint32_t entry5 = 0;
        std::memcpy(&entry1, static_cast<uint8_t*>(base->paletteTable) + bytes, static_cast<size_t>(bytes));
        std::memcpy(&entry5, static_cast<uint8_t*>(base->paletteTable) + 5 * bytes, static_cast<size_t>(bytes));
        EXPECT_EQ(entry1, c.entry1);
        EXPECT_EQ(entry5, c.colorType == kMemImgColor565 ? 0x8043u : 0x800818u);
        EXPECT_EQ(std::memcmp(base->paletteTable, base->secondPaletteTable, static_cast<size_t>(bytes) * 256), 0);
        FreeMemImg(&image);
        FreePixelImage(&picture);
    }
}

TEST_F(PutPixelsTest, SingleChannelImagesTakeTheGreyLevel) {
    PixelImage grey{};
    PixelFormat format{};
    UseGray8Format(&format);
    ASSERT_EQ(AllocPixelImageAs(3, 1, &format, &grey), 0);
    grey.pixels[0] = 0;
    grey.pixels[1] = 0x80;
    grey.pixels[2] = 0xFF;
    MEMIMG single8{};
    MEMIMG single16{};
    ASSERT_EQ(SetUpMemImg(&single8, 3, 1, -1, 0, kMemImgSingle8, 0, 0, 0, nullptr), 0);
    ASSERT_EQ(SetUpMemImg(&single16, 3, 1, -1, 0, kMemImgSingle16, 0, 0, 1, nullptr), 0);
    EXPECT_EQ(PutPixelsIntoMemImg(&grey, nullptr, &single8, 0, 0, 3, 1, 0, 0, 0), 0);
    EXPECT_EQ(PutPixelsIntoMemImg(&grey, nullptr, &single16, 0, 0, 3, 1, 0, 0, 0), 0);
    EXPECT_EQ(std::vector<uint8_t>(single8.pixels, single8.pixels + 3), (std::vector<uint8_t>{0, 0x80, 0xFF}));
    uint16_t wide[3];
    std::memcpy(wide, single16.pixels, sizeof wide);
    EXPECT_EQ(wide[1], 0x8080);  // the level scaled to 16 bits
    EXPECT_EQ(wide[2], 0xFFFF);
    EXPECT_EQ(single16.base->runCodesValid, 0);  // run codes serve colour types 0 and 1
    FreeMemImg(&single8);
    FreeMemImg(&single16);
    FreePixelImage(&grey);
}

TEST_F(PutPixelsTest, RefusesRectanglesOutsideTheImagesAndPassesConversionFailuresOn) {
    MakeSource(&source_, UseXrgb32Format, 4, 4, std::vector<uint32_t>(16, 0x00FFFFFF));
    MakeSource(&alpha_, UseXrgb32Format, 2, 2, std::vector<uint32_t>(4, 0));
    SetUpImage(4, 4, kMemImgColor32, 0, 1);
    struct Case {
        int srcX, srcY, width, height, destX, destY;
        bool withAlpha;
    } const cases[] = {
        {1, 0, 4, 1, 0, 0, false}, {0, -1, 1, 1, 0, 0, false}, {0, 0, 2, 2, 3, 0, false},
        {0, 0, 1, 1, 0, 4, false}, {0, 0, 1, 1, -1, 0, false}, {0, 0, 3, 3, 0, 0, true},
        {0, 0, 0, 2, 0, 0, false},  // empty: the conversion's own -1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PutPixelsIntoMemImg(&source_, c.withAlpha ? &alpha_ : nullptr, &image_, c.srcX, c.srcY,
                                      c.width, c.height, c.destX, c.destY, 0),
                  -1)
            << c.srcX << "," << c.srcY << " " << c.width << "x" << c.height << " at " << c.destX << ","
            << c.destY;
    }
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(x, y), 0u);
    }
    PixelImage blocks = source_;
    blocks.format.specialFormat = kDxt1Pixels;
    EXPECT_EQ(PutPixelsIntoMemImg(&blocks, nullptr, &image_, 0, 0, 1, 1, 0, 0, 0), -1);
}

TEST(MemImgWorkBuffersTest, RunsNeverCrossARowEnd) {
    MEMIMG image{};
    ASSERT_EQ(SetUpMemImg(&image, 2, 3, -1, 5, kMemImgColor565, 0, 0, 1, nullptr), 0);
    std::memset(image.pixels, 0, static_cast<size_t>(image.base->pitch) * 3);
    EXPECT_EQ(BuildRunCodes(image.base), 6);
    EXPECT_EQ(std::vector<uint8_t>(image.base->runCodeBuffer, image.base->runCodeBuffer + 6),
              (std::vector<uint8_t>{0x41, 0xC0, 0x41, 0xC0, 0x41, 0xC0}));
    FreeMemImg(&image);
}

TEST(MemImgWorkBuffersTest, TheWorstCaseFitsTheBuffer) {
    // Alternating kinds give one code a pixel plus the row end, every row.
    MEMIMG image{};
    ASSERT_EQ(SetUpMemImg(&image, 9, 2, -1, 0, kMemImgColor32, 0, 1, 1, nullptr), 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 9; ++x) image.pixels[y * image.base->pitch + x * 4 + 3] = x % 2 ? 0 : 255;
    }
    EXPECT_EQ(BuildRunCodes(image.base), 20);
    EXPECT_LE(20, (9 + 5) * 2);
    FreeMemImg(&image);
}

}  // namespace
