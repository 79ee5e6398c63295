// Graphics on the software path: the memory image of a new graphic, the
// upload into it (cut to the graphic, the transparent palette index), movie
// frames, part graphics without a name, and the movie calls on a graphic.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/handles/graphic_source_file.h"
#include "framework/graphics/textures/texture_upload.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

using SoftwareGraphicTest = GraphicsTest;

uint32_t MemImgPixel(const MEMIMG& image, int x, int y) {
    const MemImgBase& base = *image.base;
    const int bytes = base.format->bytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, image.pixels + y * base.pitch + x * bytes, static_cast<size_t>(bytes));
    return value;
}

uint16_t Code565(uint32_t rgb) {
    return static_cast<uint16_t>((rgb >> 19 & 0x1F) << 11 | (rgb >> 10 & 0x3F) << 5 | (rgb >> 3 & 0x1F));
}

TEST_F(SoftwareGraphicTest, AnImageBecomesTheMemoryImageOfTheScreensDepth) {
    TestImage image;
    MakeImage32(image, 3, 2, false, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(0x204080 * (x + 1) + y); });
    TestImage alpha;
    MakeImage32(alpha, 3, 2, false, [](int x, int) { return static_cast<uint32_t>(x * 0x40) << 16; });

    const int plain = MakeGraphFromPixelImage(image.get(), nullptr, 0, 0, 0);
    ASSERT_GE(plain, 0);
    const GraphicImage* block = BlockOf(plain);
    EXPECT_EQ(block->hardware, 0);
    EXPECT_EQ(block->formatIndex, 15);
    EXPECT_EQ(block->renderTarget, 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(MemImgPixel(block->memImg, x, y), Code565(0x204080 * (x + 1) + y)) << x << ", " << y;
    // The graphic's own view is the whole block.
    EXPECT_EQ(GetGraphicRecord(plain)->memImg.pixels, block->memImg.pixels);

    // With an alpha image the 16-bit pixel carries its alpha beside it.
    const int withAlpha = MakeGraphFromPixelImage(image.get(), alpha.get(), 0, 0, 0);
    ASSERT_GE(withAlpha, 0);
    EXPECT_EQ(BlockOf(withAlpha)->formatIndex, 16);
    EXPECT_EQ(MemImgPixel(BlockOf(withAlpha)->memImg, 2, 1) & 0xFFFFFF, 0x800000u | Code565(0x204080 * 3 + 1));

    SetNewGraphColorDepth(32);
    const int deep = MakeGraphFromPixelImage(image.get(), nullptr, 0, 0, 0);
    EXPECT_EQ(BlockOf(deep)->formatIndex, 17);
    EXPECT_EQ(MemImgPixel(BlockOf(deep)->memImg, 1, 1) & 0xFFFFFF, 0x204080u * 2 + 1);
    for (int handle : {plain, withAlpha, deep}) DeleteGraphicHandle(handle, 0);
}

TEST_F(SoftwareGraphicTest, AnUploadIntoAPartIsCutToThePart) {
    SetNewGraphTransFlag(0);
    const int whole = MakeEmptyGraphic(16, 16);
    ASSERT_GE(whole, 0);
    const int part = DerivePartGraphic(4, 4, 8, 8, whole);
    FillMemImgRect(&BlockOf(whole)->memImg, nullptr, 0);
    TestImage image;
    MakeImage32(image, 16, 16, false, [](int, int) { return 0xFFFFFFFFu; });
    EXPECT_EQ(FillGraphicFromImage(image.get(), nullptr, 2, 3, part, 0), 0);
    const MEMIMG& memImg = BlockOf(whole)->memImg;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool written = x >= 6 && x < 12 && y >= 7 && y < 12;
            EXPECT_EQ(MemImgPixel(memImg, x, y), written ? 0xFFFFu : 0u) << x << ", " << y;
        }
    // Nothing of the part is left at (8, 0).
    EXPECT_EQ(FillGraphicFromImage(image.get(), nullptr, 8, 0, part, 0), -1);
    // In the block's coordinates the cut is the block's.
    RECT rect = {0, 0, 16, 16};
    EXPECT_EQ(TransferImageToTexture(part, &rect, 14, 0, image.get(), nullptr, 0, 0, 1), 0);
    EXPECT_EQ(MemImgPixel(memImg, 15, 0), 0xFFFFu);
    DeleteGraphicHandle(part, 0);
    DeleteGraphicHandle(whole, 0);
}

TEST_F(SoftwareGraphicTest, APalettedImageFindsTheTransparentColoursEntry) {
    TestImage image;
    UsePalette8Format(&image->format);
    for (int i = 0; i < 256; ++i) image->format.palette[i] = PaletteColor{static_cast<uint8_t>(i), 0x10, 0x20, 0};
    ASSERT_EQ(AllocPixelImageAs(4, 1, &image->format, image.get()), 0);
    for (int x = 0; x < 4; ++x) image->pixels[x] = static_cast<uint8_t>(x * 3);

    const int handle = MakeGraphFromPixelImage(image.get(), nullptr, 0, 0, 0);
    ASSERT_GE(handle, 0);
    GraphicImage* block = BlockOf(handle);
    EXPECT_EQ(block->oneBytePerPixel, 1);
    const MemImgBase& base = *block->memImg.base;
    ASSERT_EQ(base.paletteFlag, 1);
    EXPECT_EQ(base.transparentColor, 65535u);
    EXPECT_EQ(MemImgPixel(block->memImg, 3, 0), 9u);

    block->paletteTransparency = 1;
    // The entries are 5-6-5 codes: entries 0x48 to 0x4F all match, the first wins.
    SetDrawTransparentColor(0x201048);
    EXPECT_EQ(RefillGraphFromPixelImage(image.get(), nullptr, handle, 0, 0, 0), 0);
    EXPECT_EQ(base.transparentPaletteIndex, 0x48);
    SetDrawTransparentColor(0xFFFFFF);
    EXPECT_EQ(RefillGraphFromPixelImage(image.get(), nullptr, handle, 0, 0, 0), 0);
    EXPECT_EQ(base.transparentPaletteIndex, 0);
    DeleteGraphicHandle(handle, 0);
}

TEST_F(SoftwareGraphicTest, AMovieFrameFillsTheGraphicsOwnRectangle) {
    SetNewGraphTransFlag(0);
    const int whole = MakeEmptyGraphic(8, 4);
    const int part = DerivePartGraphic(2, 1, 4, 2, whole);
    FillMemImgRect(&BlockOf(whole)->memImg, nullptr, 0);
    // A frame of the screen's depth goes in whole rows.
    TestImage frame16;
    PixelFormat format565{};
    DefinePixelFormat(&format565, 16, 0xF800, 0x07E0, 0x001F, 0);
    ASSERT_EQ(AllocPixelImageAs(4, 2, &format565, frame16.get()), 0);
    for (int i = 0; i < 8; ++i) std::memcpy(frame16->pixels + (i / 4) * frame16->pitch + (i % 4) * 2, &i, 2);
    EXPECT_EQ(TransferFrameImageToGraphic(frame16.get(), part), 0);
    const MEMIMG& memImg = BlockOf(whole)->memImg;
    EXPECT_EQ(MemImgPixel(memImg, 2, 1), 0u);
    EXPECT_EQ(MemImgPixel(memImg, 5, 2), 7u);
    EXPECT_EQ(MemImgPixel(memImg, 6, 2), 0u);

    // Another depth is converted, cut to the frame.
    TestImage frame24;
    PixelFormat format24{};
    UseRgb24Format(&format24);
    ASSERT_EQ(AllocPixelImageAs(2, 2, &format24, frame24.get()), 0);
    std::memset(frame24->pixels, 0xFF, static_cast<size_t>(frame24->pitch) * 2);
    EXPECT_EQ(TransferFrameImageToGraphic(frame24.get(), part), 0);
    EXPECT_EQ(MemImgPixel(memImg, 3, 2), 0xFFFFu);
    EXPECT_EQ(MemImgPixel(memImg, 4, 2), 6u);
    EXPECT_EQ(TransferFrameImageToGraphic(frame24.get(), -1), -1);
    DeleteGraphicHandle(part, 0);
    DeleteGraphicHandle(whole, 0);
}

TEST_F(SoftwareGraphicTest, APartOfAGraphicWithoutANameHasNone) {
    // As the edge graphic of an edged font's cache.
    const int cache = MakeEmptyGraphic(64, 16);
    const int edge = DerivePartGraphic(32, 0, 32, 16, cache);
    ASSERT_GE(edge, 0);
    EXPECT_EQ(GetGraphicRecord(edge)->sourceFileName, nullptr);
    EXPECT_EQ(BlockOf(edge), BlockOf(cache));
    EXPECT_EQ(DeleteGraphicHandle(cache, 0), 0);
    EXPECT_EQ(BlockOf(edge)->referenceCount, 1);
    EXPECT_EQ(DeleteGraphicHandle(edge, 0), 0);
}

TEST_F(SoftwareGraphicTest, MovieCallsOnAGraphicWithoutAMovieDoNothing) {
    const int handle = MakeEmptyGraphic(8, 8);
    EXPECT_EQ(PlayGraphicMovie(handle, 1, 0), 0);
    EXPECT_EQ(PauseGraphicMovie(handle, 0), 0);
    EXPECT_EQ(GetGraphicMovieState(handle), 0);
    DeleteGraphicHandle(handle, 0);
    EXPECT_EQ(PlayGraphicMovie(handle, 1, 0), -1);
    EXPECT_EQ(PauseGraphicMovie(handle, 0), -1);
    EXPECT_EQ(GetGraphicMovieState(handle), -1);
}

}  // namespace
}  // namespace graphicstest
