// The blit at a position on the cases its rules single out: refusals,
// clipping, the whole-image path over run codes against the per-pixel path,
// the blend graphic, and a few golden results.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/simd_level.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"

namespace {

class BlitMemImgTest : public blittest::SoftwareDrawTest {
protected:
    // Every pixel set to `value`.
    static void Fill(MEMIMG* image, uint32_t value) {
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) WriteTestPixel(image, x, y, value);
    }
};

TEST_F(BlitMemImgTest, RefusedDrawsChangeNothing) {
    struct Case {
        const char* name;
        int destType, destPalette, destAlpha;
        int sourceType;
        int mode, param;
        int graphicWidth, graphicHeight;  // 0: no blend graphic
    };
    const Case cases[] = {
        {"16-bit source onto a 32-bit destination", 1, 0, 0, 0, 0, 255, 0, 0},
        {"32-bit source onto a 16-bit destination", 0, 0, 0, 1, 0, 255, 0, 0},
        {"paletted destination", 1, 1, 0, 1, 0, 255, 0, 0},
        {"destination with alpha", 1, 0, 1, 1, 0, 255, 0, 0},
        {"single-channel images", 2, 0, 0, 2, 0, 255, 0, 0},
        {"blend graphic narrower than the source", 1, 0, 0, 1, 1, 100, 7, 6},
        {"blend graphic lower than the source", 1, 0, 0, 1, 1, 100, 8, 5},
        {"mode 5", 1, 0, 0, 1, 5, 255, 0, 0},
        {"mode 7", 0, 0, 0, 0, 7, 255, 0, 0},
        {"mode 9", 1, 0, 0, 1, 9, 255, 0, 0},
        {"mode 12", 1, 0, 0, 1, 12, 255, 0, 0},
        {"mode -1", 1, 0, 0, 1, -1, 255, 0, 0},
        {"mode 1 at parameter 0", 1, 0, 0, 1, 1, 0, 0, 0},
        {"mode 2 at parameter 0", 0, 0, 0, 0, 2, 0, 0, 0},
        {"mode 3 at parameter 0, plain source", 1, 0, 0, 1, 3, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto dest = MakeTestImage(16, 12, c.destType, c.destPalette, c.destAlpha);
        auto source = MakeTestImage(8, 6, c.sourceType);
        Fill(dest->get(), 0x1234);
        Fill(source->get(), 0xFFFF);
        // A blend graphic in a block of exactly its size, so a read past it is caught.
        std::vector<uint8_t> graphicMemory;
        std::unique_ptr<TestImage> graphic;
        if (c.graphicWidth > 0) {
            graphic = MakeTestImage(c.graphicWidth, c.graphicHeight, kMemImgSingle8, 0, 0, 0, &graphicMemory);
            Fill(graphic->get(), 255);
        }
        UseSettings(c.mode, c.param, RECT{0, 0, 16, 12});
        const std::vector<uint32_t> before = TestPixels(dest->get());
        BlitMemImg(dest->get(), source->get(), 2, 3, 0, graphic ? graphic->get() : nullptr, CurrentDrawSettings);
        EXPECT_EQ(TestPixels(dest->get()), before);
    }
}

TEST_F(BlitMemImgTest, ABlendGraphicOfTheSourcesSizeIsRead) {
    auto dest = MakeTestImage(16, 12, kMemImgColor32);
    auto source = MakeTestImage(8, 6, kMemImgColor32);
    std::vector<uint8_t> graphicMemory;
    auto graphic = MakeTestImage(8, 6, kMemImgSingle8, 0, 0, 0, &graphicMemory);
    Fill(source->get(), 0x00FFFFFF);
    Fill(graphic->get(), 255);
    BuildParamTable(128, 255);  // weight of byte 255 is 255
    UseSettings(1, 255, RECT{0, 0, 16, 12});
    BlitMemImg(dest->get(), source->get(), 8, 6, 0, graphic->get(), CurrentDrawSettings);
    // floor(255 * 255 / 256) per channel, byte 3 kept.
    EXPECT_EQ(ReadTestPixel(dest->get(), 15, 11), 0x00FEFEFEu);
    EXPECT_EQ(ReadTestPixel(dest->get(), 7, 5), 0u);
}

TEST_F(BlitMemImgTest, ClipsToTheDrawArea) {
    auto dest = MakeTestImage(40, 20, kMemImgColor565);
    auto source = MakeTestImage(16, 4, kMemImgColor565);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 4; ++y) WriteTestPixel(source->get(), x, y, static_cast<uint32_t>(100 + x + 16 * y));

    // Wholly outside the draw area: nothing.
    UseSettings(0, 0, RECT{20, 5, 40, 20});
    BlitMemImg(dest->get(), source->get(), 2, 2, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(TestPixels(dest->get()), std::vector<uint32_t>(40 * 20, 0));

    // Overlapping the left edge by 10 pixels: the source's eleventh column
    // lands on the edge.
    BlitMemImg(dest->get(), source->get(), 10, 6, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(ReadTestPixel(dest->get(), 19, 6), 0u);
    EXPECT_EQ(ReadTestPixel(dest->get(), 20, 6), 110u);
    EXPECT_EQ(ReadTestPixel(dest->get(), 25, 9), 115u + 48u);
    EXPECT_EQ(ReadTestPixel(dest->get(), 26, 6), 0u);
}

TEST_F(BlitMemImgTest, ADrawAreaLargerThanTheDestinationStaysInsideIt) {
    // The destination's pixels fill a block of exactly its size.
    std::vector<uint8_t> memory;
    auto dest = MakeTestImage(10, 6, kMemImgColor32, 0, 0, 0, &memory);
    auto source = MakeTestImage(8, 8, kMemImgColor32);
    Fill(source->get(), 0x00ABCDEF);
    UseSettings(0, 0, RECT{-100, -100, 1000, 1000});
    BlitMemImg(dest->get(), source->get(), 5, -3, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(ReadTestPixel(dest->get(), x, y), (x >= 5 && y < 5) ? 0x00ABCDEFu : 0u) << x << "," << y;
}

// Mode 4 with a source whose pixels are all clear shows which path drew: the
// run codes pass over clear runs, the per-pixel path blackens under them.
TEST_F(BlitMemImgTest, TheWholeImagePathSkipsClearRunsInMode4) {
    struct Case {
        const char* name;
        int colorType;
        int flag;
        bool validCodes;
        int x;           // 0: inside; -1: one pixel across the draw area's edge
        bool asView;     // the source is a view of a larger image with run codes
        bool untouched;  // the whole-image path was taken
    };
    const Case cases[] = {
        {"32-bit, flag 1, codes valid, inside", 1, 1, true, 0, false, true},
        {"16-bit, flag 1, codes valid, inside", 0, 1, true, 0, false, true},
        {"clipped by one pixel", 1, 1, true, -1, false, false},
        {"flag 2", 1, 2, true, 0, false, false},
        {"codes not valid", 1, 1, false, 0, false, false},
        {"a view of part of a larger image", 1, 1, true, 0, true, true},
        {"a 16-bit view of part of a larger image", 0, 1, true, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto dest = MakeTestImage(120, 4, c.colorType);
        const uint32_t grey = c.colorType == kMemImgColor565 ? 0x7BEFu : 0x00808080u;
        Fill(dest->get(), grey);
        // 100 pixels wide, so runs of 64 cross the view's edges; clear but
        // for one opaque white column at 70.
        auto whole = MakeTestImage(100, 3, c.colorType, 0, 1);
        const uint32_t white = c.colorType == kMemImgColor565 ? 0x00FFFFFFu : 0xFFFFFFFFu;
        for (int y = 0; y < 3; ++y) WriteTestPixel(whole->get(), 70, y, white);
        if (c.validCodes) MakeRunCodesValid(whole->get());
        auto view = MakeTestView(whole->get(), 66, 1, 8, 2);
        const MEMIMG* source = c.asView ? view->get() : whole->get();

        UseSettings(4, 0, RECT{0, 0, 120, 4});
        BlitMemImg(dest->get(), source, c.x, 1, c.flag, nullptr, CurrentDrawSettings);
        const int white_x = c.x + (c.asView ? 4 : 70);
        EXPECT_EQ(ReadTestPixel(dest->get(), white_x, 1), c.colorType == kMemImgColor565 ? 0x73CEu : 0x007F7F7Fu)
            << "the opaque column multiplies";
        const uint32_t cleared = ReadTestPixel(dest->get(), white_x + 1, 1);
        EXPECT_EQ(cleared, c.untouched ? grey : 0u);
        EXPECT_EQ(ReadTestPixel(dest->get(), white_x + 1, 0), grey) << "row above untouched";
    }
}

TEST_F(BlitMemImgTest, ABlendGraphicWeightOfZeroLeavesThePixel) {
    auto dest = MakeTestImage(4, 1, kMemImgColor32);
    auto source = MakeTestImage(4, 1, kMemImgColor32);
    auto graphic = MakeTestImage(4, 1, kMemImgSingle8);
    Fill(dest->get(), 0x00102030);
    Fill(source->get(), 0x00F0E0D0);
    WriteTestPixel(graphic->get(), 0, 0, 0);
    WriteTestPixel(graphic->get(), 1, 0, 255);
    BuildParamTable(255, 255);  // weight 0 up to byte 254, 1 at 255
    UseSettings(1, 200, RECT{0, 0, 4, 1});
    BlitMemImg(dest->get(), source->get(), 0, 0, 0, graphic->get(), CurrentDrawSettings);
    EXPECT_EQ(ReadTestPixel(dest->get(), 0, 0), 0x00102030u);
}

// A transparent colour wider than a pixel keys no pixel; the run codes, which
// compare at the pixel's width, must not make the whole-image path key one.
TEST_F(BlitMemImgTest, ATransparentColourWiderThanAPixelKeysNothingOnEitherPath) {
    for (const bool paletted : {true, false}) {
        SCOPED_TRACE(paletted ? "paletted, key 0x100" : "16-bit, key 0x10000");
        auto dest = MakeTestImage(4, 1, kMemImgColor565);
        auto source = MakeTestImage(4, 1, kMemImgColor565, paletted ? 1 : 0, 0, paletted ? 0x100 : 0x10000);
        if (paletted) static_cast<uint16_t*>(source->base()->paletteTable)[0] = 0xF800;
        else Fill(source->get(), 0);
        Fill(dest->get(), 0x001F);
        MakeRunCodesValid(source->get());
        UseSettings(0, 0, RECT{0, 0, 4, 1});
        BlitMemImg(dest->get(), source->get(), 0, 0, 1, nullptr, CurrentDrawSettings);
        EXPECT_EQ(TestPixels(dest->get()), std::vector<uint32_t>(4, paletted ? 0xF800u : 0u));
    }
}

TEST_F(BlitMemImgTest, TransparencyFlagTwoSkipsLikeOne) {
    auto dest = MakeTestImage(3, 1, kMemImgColor32);
    auto source = MakeTestImage(3, 1, kMemImgColor32, 0, 0, 0x00FF00FF);
    WriteTestPixel(source->get(), 0, 0, 0x00FF00FF);
    WriteTestPixel(source->get(), 1, 0, 0x00123456);
    WriteTestPixel(source->get(), 2, 0, 0x00FF00FF);
    MakeRunCodesValid(source->get());
    UseSettings(0, 0, RECT{0, 0, 3, 1});
    for (const int flag : {1, 2}) {
        Fill(dest->get(), 0x00777777);
        BlitMemImg(dest->get(), source->get(), 0, 0, flag, nullptr, CurrentDrawSettings);
        EXPECT_EQ(TestPixels(dest->get()), (std::vector<uint32_t>{0x00777777, 0x00123456, 0x00777777}));
    }
    BlitMemImg(dest->get(), source->get(), 0, 0, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(ReadTestPixel(dest->get(), 0, 0), 0x00FF00FFu);
}

// Golden results: fixed random images drawn with a few settings, kept as
// hashes so that any change of a drawn pixel shows.
TEST_F(BlitMemImgTest, GoldenResults) {
    struct Case {
        const char* name;
        int colorType, paletteFlag, alphaFlag;
        int mode, param;
        uint32_t bright;
        bool graphic;
        int flag;
        int x, y;
        uint32_t hash;
    };
    const Case cases[] = {
        {"32-bit alpha, mode 1, blend graphic, bright", 1, 0, 1, 1, 100, 0x00C08040, true, 1, 3, 2, 2458372855u},
        {"16-bit plain, mode 2 at 255, keyed", 0, 0, 0, 2, 255, 0x00FFFFFF, false, 1, -2, 4, 1574061187u},
        {"32-bit paletted, mode 1 at 128", 1, 1, 0, 1, 128, 0x00FFFFFF, false, 0, 5, -1, 2077062470u},
        {"16-bit alpha, mode 11, bright", 0, 0, 1, 11, 77, 0x00FF40FF, false, 0, 1, 1, 1409268768u},
        {"32-bit plain, mode 3 at 255", 1, 0, 0, 3, 255, 0x00FFFFFF, false, 1, 0, 0, 4271010351u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(1234);
        auto dest = MakeTestImage(24, 16, c.colorType);
        FillRandom(dest->get(), random);
        auto source = MakeTestImage(13, 9, c.colorType, c.paletteFlag, c.alphaFlag, c.paletteFlag ? 7 : 0);
        FillRandom(source->get(), random);
        MakeRunCodesValid(source->get());
        auto graphic = MakeTestImage(13, 9, kMemImgSingle8);
        FillRandom(graphic->get(), random);
        BuildParamTable(100, 60);
        UseSettings(c.mode, c.param, RECT{1, 1, 23, 15}, c.bright);
        auto expected = MakeTestImage(24, 16, c.colorType);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x) WriteTestPixel(expected->get(), x, y, ReadTestPixel(dest->get(), x, y));
        ReferenceSettings settings;
        settings.blendMode = c.mode;
        settings.blendParam = c.param;
        settings.brightColor = c.bright;
        settings.drawArea = CurrentDrawSettings.drawArea;
        settings.borderParam = 100;
        settings.borderRange = 60;
        const MEMIMG* mask = c.graphic ? graphic->get() : nullptr;
        BlitMemImg(dest->get(), source->get(), c.x, c.y, c.flag, mask, CurrentDrawSettings);
        ReferenceBlit(expected->get(), source->get(), c.x, c.y, c.flag, mask, settings);
        EXPECT_EQ(TestPixels(dest->get()), TestPixels(expected->get()));
        EXPECT_EQ(HashPixels(dest->get()), c.hash) << HashPixels(dest->get());
    }
}

}  // namespace

namespace {

// A copy of whole pixels moves every pixel of every row, whatever the rows'
// alignment: rows with gaps between them one by one, rows without gaps as one
// block, each held in the caches or stored past them (as a copy larger than
// the processor's cache share is).
TEST_F(BlitMemImgTest, ACopyMovesEveryPixelOfRowsAndBlocks) {
    struct Case {
        int colorType;
        int width;      // the source's; the destination is `extra` pixels wider
        int extra;
        int x;
        bool streamed;
    };
    const Case cases[] = {
        {kMemImgColor32, 301, 3, 1, false}, {kMemImgColor32, 301, 3, 1, true},
        {kMemImgColor32, 304, 0, 0, false}, {kMemImgColor32, 304, 0, 0, true},
        {kMemImgColor565, 603, 3, 1, false}, {kMemImgColor565, 603, 3, 1, true},
        {kMemImgColor565, 608, 0, 0, false}, {kMemImgColor565, 608, 0, 0, true},
    };
    const size_t streamingBytes = StreamingCopyBytes();
    blittest::ForEachSimdLevel([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "type " << c.colorType << " width " << c.width << " at " << c.x
                                            << (c.streamed ? " streamed" : " cached"));
            UseStreamingCopyBytes(c.streamed ? 1 : SIZE_MAX);
            const int height = 97;
            auto source = MakeTestImage(c.width, height, c.colorType);
            auto dest = MakeTestImage(c.width + c.extra, height, c.colorType);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < c.width; ++x)
                    WriteTestPixel(source->get(), x, y, static_cast<uint32_t>(x * 7 + y * 131));
            UseSettings(0, 0, RECT{0, 0, c.width + c.extra, height});
            BlitMemImg(dest->get(), source->get(), c.x, 0, 0, nullptr, CurrentDrawSettings);
            int wrong = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < c.width + c.extra; ++x) {
                    const bool drawn = x >= c.x && x < c.x + c.width;
                    const uint32_t expected = drawn ? ReadTestPixel(source->get(), x - c.x, y) : 0u;
                    if (ReadTestPixel(dest->get(), x, y) != expected && ++wrong < 4) ADD_FAILURE() << x << "," << y;
                }
        }
    });
    UseStreamingCopyBytes(streamingBytes);
}

}  // namespace
