// The stretched blit on the cases its rules single out: empty and refused
// draws, the hand-over to the blit at a position, mirroring, growing and
// shrinking columns under both advance rules, the clipped start, the limits
// of its 16.16 arithmetic, and a few golden results.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/simd_level.h"
#include "framework/softrender/stretch_blit.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"

namespace {

class StretchBlitTest : public blittest::SoftwareDrawTest {
protected:
    // A one-row source whose column i holds `first + i` (a palette index for
    // a paletted source, whose palette maps i to 100 + i).
    static std::unique_ptr<TestImage> Columns(int width, int colorType, int paletteFlag = 0, int alphaFlag = 0,
                                              uint32_t first = 1) {
        auto image = MakeTestImage(width, 1, colorType, paletteFlag, alphaFlag, 0xFFFF);
        for (int i = 0; i < width; ++i) {
            uint32_t value = first + static_cast<uint32_t>(i);
            if (alphaFlag) value |= colorType == kMemImgColor565 ? 0xFF0000u : 0xFF000000u;
            WriteTestPixel(image->get(), i, 0, value);
        }
        if (paletteFlag) {
            for (int i = 0; i < 256; ++i) {
                if (colorType == kMemImgColor565)
                    static_cast<uint16_t*>(image->base()->paletteTable)[i] = static_cast<uint16_t>(100 + i);
                else
                    static_cast<uint32_t*>(image->base()->paletteTable)[i] = static_cast<uint32_t>(100 + i);
            }
        }
        return image;
    }
    // The first row of the destination.
    static std::vector<uint32_t> Row(const MEMIMG* image, int width) {
        std::vector<uint32_t> row;
        for (int x = 0; x < width; ++x) row.push_back(ReadTestPixel(image, x, 0));
        return row;
    }
};

TEST_F(StretchBlitTest, EmptyAndRefusedDrawsChangeNothing) {
    struct Case {
        const char* name;
        RECT rect;
        int destType, destPalette, destAlpha, sourceType;
        int mode, param;
        RECT area;
        int imageWidth;  // blend image width (height 4); 0: none
    };
    const RECT all{0, 0, 64, 64};
    const Case cases[] = {
        {"no width", {10, 10, 10, 50}, 1, 0, 0, 1, 0, 0, all, 0},
        {"no height", {10, 20, 30, 20}, 1, 0, 0, 1, 0, 0, all, 0},
        {"clipped part empty", {10, 10, 40, 40}, 1, 0, 0, 1, 0, 0, {40, 0, 64, 64}, 0},
        {"colour types differ", {0, 0, 20, 20}, 1, 0, 0, 0, 0, 0, all, 0},
        {"paletted destination", {0, 0, 20, 20}, 1, 1, 0, 1, 0, 0, all, 0},
        {"destination with alpha", {0, 0, 20, 20}, 1, 0, 1, 1, 0, 0, all, 0},
        {"single-channel images", {0, 0, 20, 20}, 2, 0, 0, 2, 0, 0, all, 0},
        {"mode 7", {0, 0, 20, 20}, 1, 0, 0, 1, 7, 255, all, 0},
        {"mode 12", {20, 0, 0, 20}, 0, 0, 0, 0, 12, 255, all, 0},
        {"mode 2 at parameter 0", {0, 0, 20, 20}, 1, 0, 0, 1, 2, 0, all, 0},
        {"mode 3 at parameter 0, plain source", {0, 0, 20, 20}, 0, 0, 0, 0, 3, 0, all, 0},
        {"blend image narrower than the source", {0, 0, 20, 20}, 1, 0, 0, 1, 1, 100, all, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto dest = MakeTestImage(64, 64, c.destType, c.destPalette, c.destAlpha);
        auto source = MakeTestImage(5, 4, c.sourceType);
        std::mt19937 random(5);
        FillRandom(source->get(), random);
        std::vector<uint8_t> imageMemory;
        std::unique_ptr<TestImage> image;
        if (c.imageWidth > 0) image = MakeTestImage(c.imageWidth, 4, kMemImgSingle8, 0, 0, 0, &imageMemory);
        UseSettings(c.mode, c.param, c.area);
        StretchBlitMemImg(dest->get(), source->get(), &c.rect, 0, image ? image->get() : nullptr, CurrentDrawSettings);
        EXPECT_EQ(TestPixels(dest->get()), std::vector<uint32_t>(64 * 64, 0));
    }
}

// A rectangle of the source's size is the blit at a position, run codes and
// all; mirrored, it is drawn pixel by pixel. Mode 4 over clear pixels shows
// which: the run codes pass over them, the per-pixel test blackens.
TEST_F(StretchBlitTest, TheSourcesOwnSizeIsHandedToTheBlitAtAPosition) {
    auto source = MakeTestImage(6, 3, kMemImgColor32, 0, 1);
    for (int y = 0; y < 3; ++y) WriteTestPixel(source->get(), 1, y, 0xFF808080u);
    MakeRunCodesValid(source->get());
    UseSettings(4, 0, RECT{0, 0, 10, 5});

    auto stretched = MakeTestImage(10, 5, kMemImgColor32);
    auto blitted = MakeTestImage(10, 5, kMemImgColor32);
    for (MEMIMG* d : {stretched->get(), blitted->get()})
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 10; ++x) WriteTestPixel(d, x, y, 0x00FFFFFF);
    const RECT rect{2, 1, 8, 4};
    StretchBlitMemImg(stretched->get(), source->get(), &rect, 1, nullptr, CurrentDrawSettings);
    BlitMemImg(blitted->get(), source->get(), 2, 1, 1, nullptr, CurrentDrawSettings);
    EXPECT_EQ(TestPixels(stretched->get()), TestPixels(blitted->get()));
    EXPECT_EQ(ReadTestPixel(stretched->get(), 4, 2), 0x00FFFFFFu) << "clear pixels passed over";
    EXPECT_EQ(ReadTestPixel(stretched->get(), 3, 2), 0x007F7F7Fu);

    const RECT mirrored{8, 1, 2, 4};
    StretchBlitMemImg(stretched->get(), source->get(), &mirrored, 1, nullptr, CurrentDrawSettings);
    EXPECT_EQ(ReadTestPixel(stretched->get(), 6, 2), 0x007F7F7Fu) << "column 1 lands at 8 - 1 - 1";
    EXPECT_EQ(ReadTestPixel(stretched->get(), 4, 2), 0u) << "clear pixels blacken pixel by pixel";
}

TEST_F(StretchBlitTest, ReversedEdgesMirror) {
    auto source = MakeTestImage(50, 50, kMemImgColor565);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) WriteTestPixel(source->get(), x, y, static_cast<uint32_t>(x + 64 * y));
    auto dest = MakeTestImage(120, 60, kMemImgColor565);
    UseSettings(0, 0, RECT{0, 0, 120, 60});
    const RECT rect{100, 0, 0, 50};
    StretchBlitMemImg(dest->get(), source->get(), &rect, 0, nullptr, CurrentDrawSettings);
    int wrong = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            const uint32_t expected = (x < 100 && y < 50) ? static_cast<uint32_t>(49 - x / 2 + 64 * y) : 0u;
            if (ReadTestPixel(dest->get(), x, y) != expected && ++wrong < 5)
                ADD_FAILURE() << "at " << x << "," << y << ": " << ReadTestPixel(dest->get(), x, y);
        }
    }

    // Both directions reversed: the source turned half way round.
    auto turned = MakeTestImage(4, 3, kMemImgColor565);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) WriteTestPixel(turned->get(), x, y, static_cast<uint32_t>(1 + x + 10 * y));
    auto small = MakeTestImage(4, 3, kMemImgColor565);
    const RECT upsideDown{4, 3, 0, 0};
    StretchBlitMemImg(small->get(), turned->get(), &upsideDown, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(ReadTestPixel(small->get(), x, y), static_cast<uint32_t>(1 + (3 - x) + 10 * (2 - y)));
}

TEST_F(StretchBlitTest, GrowingRepeatsColumns) {
    struct Case {
        int width;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {8, {1, 1, 2, 2, 3, 3, 4, 4}},
        {6, {1, 1, 2, 3, 3, 4}},
        {5, {1, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        auto dest = MakeTestImage(10, 1, kMemImgColor32);
        UseSettings(0, 0, RECT{0, 0, 10, 1});
        const RECT rect{0, 0, c.width, 1};
        StretchBlitMemImg(dest->get(), Columns(4, kMemImgColor32)->get(), &rect, 0, nullptr, CurrentDrawSettings);
        EXPECT_EQ(Row(dest->get(), c.width), c.expected);
    }
}

// Shrinking 8 columns to 4 hits the accumulator's 0 exactly: the general
// paths pass over the source pixel reached there, the strict ones take it.
TEST_F(StretchBlitTest, ShrinkingFollowsTheAdvanceRuleOfThePath) {
    struct Case {
        const char* name;
        int colorType, paletteFlag, alphaFlag;
        int mode, param;
        uint32_t bright;
        bool image;
        std::vector<int> columns;
    };
    const std::vector<int> general{0, 2, 4, 6}, strict{0, 1, 3, 5};
    const Case cases[] = {
        {"mode 1 at 128", 1, 0, 0, 1, 128, 0xFFFFFF, false, general},
        {"mode 0", 1, 0, 0, 0, 0, 0xFFFFFF, false, strict},
        {"mode 0, 16-bit paletted", 0, 1, 0, 0, 0, 0xFFFFFF, false, strict},
        {"mode 1 at 255", 0, 0, 0, 1, 255, 0xFFFFFF, false, strict},
        {"mode 3 at 255", 1, 0, 0, 3, 255, 0xFFFFFF, false, strict},
        {"mode 3 at 255, 16-bit", 0, 0, 0, 3, 255, 0xFFFFFF, false, strict},
        {"mode 3 at 254", 1, 0, 0, 3, 254, 0xFFFFFF, false, general},
        {"mode 2 at 255", 1, 0, 0, 2, 255, 0xFFFFFF, false, general},
        {"mode 0, bright colour", 1, 0, 0, 0, 0, 0xFFFFFE, false, general},
        {"mode 0, blend image", 1, 0, 0, 0, 0, 0xFFFFFF, true, general},
        {"mode 0, source with alpha", 1, 0, 1, 0, 0, 0xFFFFFF, false, general},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const int mmx : {0, 1}) {
            CpuHasMmx = mmx;
            auto source = Columns(8, c.colorType, c.paletteFlag, c.alphaFlag, 1);
            auto dest = MakeTestImage(4, 1, c.colorType);
            auto image = MakeTestImage(8, 1, kMemImgSingle8);
            for (int i = 0; i < 8; ++i) WriteTestPixel(image->get(), i, 0, 255);
            BuildParamTable(0, 0);  // every weight 255
            UseSettings(c.mode, c.param, RECT{0, 0, 4, 1}, c.bright);
            const RECT rect{0, 0, 4, 1};
            StretchBlitMemImg(dest->get(), source->get(), &rect, 0, c.image ? image->get() : nullptr,
                              CurrentDrawSettings);

            // The same draw, column by column, from single-pixel sources.
            auto expected = MakeTestImage(4, 1, c.colorType);
            for (int i = 0; i < 4; ++i) {
                auto pixel = Columns(1, c.colorType, c.paletteFlag, c.alphaFlag, static_cast<uint32_t>(1 + c.columns[i]));
                BlitMemImg(expected->get(), pixel->get(), i, 0, 0, c.image ? image->get() : nullptr,
                           CurrentDrawSettings);
            }
            EXPECT_EQ(Row(dest->get(), 4), Row(expected->get(), 4)) << "mmx " << mmx;
        }
    }
}

TEST_F(StretchBlitTest, AClippedStartShowsTheColumnTheWholeDrawingShowsThere) {
    for (const bool mirrored : {false, true}) {
        SCOPED_TRACE(mirrored ? "mirrored" : "in order");
        std::mt19937 random(77);
        auto source = MakeTestImage(7, 5, kMemImgColor32);
        FillRandom(source->get(), random);
        auto whole = MakeTestImage(60, 40, kMemImgColor32);
        auto clipped = MakeTestImage(60, 40, kMemImgColor32);
        RECT rect{3, 2, 3 + 23, 2 + 17};
        if (mirrored) std::swap(rect.left, rect.right);
        UseSettings(1, 200, RECT{0, 0, 60, 40});
        StretchBlitMemImg(whole->get(), source->get(), &rect, 0, nullptr, CurrentDrawSettings);
        UseSettings(1, 200, RECT{14, 9, 60, 40});
        StretchBlitMemImg(clipped->get(), source->get(), &rect, 0, nullptr, CurrentDrawSettings);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(ReadTestPixel(clipped->get(), x, y), (x >= 14 && y >= 9) ? ReadTestPixel(whole->get(), x, y) : 0u)
                    << x << "," << y;
    }
}

TEST_F(StretchBlitTest, Mode3AtParameter0SubtractsNothingFromAPalettedSourceOnly) {
    UseSettings(3, 0, RECT{0, 0, 4, 2});
    const RECT rect{0, 0, 4, 2};
    auto paletted = MakeTestImage(2, 1, kMemImgColor32, 1);
    auto plain = MakeTestImage(2, 1, kMemImgColor32);
    auto dest = MakeTestImage(4, 2, kMemImgColor32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) WriteTestPixel(dest->get(), x, y, 0xAA102030u);
    StretchBlitMemImg(dest->get(), plain->get(), &rect, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(ReadTestPixel(dest->get(), 0, 0), 0xAA102030u);
    StretchBlitMemImg(dest->get(), paletted->get(), &rect, 0, nullptr, CurrentDrawSettings);
    // Blue kept, the lowest bits of green and red set, byte 3 cleared.
    EXPECT_EQ(ReadTestPixel(dest->get(), 3, 1), 0x00112130u);
}

TEST_F(StretchBlitTest, SidesBeyondThe16Dot16RangeAreRefused) {
    struct Case {
        const char* name;
        int sourceWidth;
        RECT rect;
        bool draws;
    };
    const Case cases[] = {
        {"32767 wide draws", 2, {0, 0, 32767, 1}, true},
        {"32768 wide", 2, {0, 0, 32768, 1}, false},
        {"32768 high", 2, {0, 0, 4, 32768}, false},
        {"edges spanning the whole integer range", 2, {-2147483647 - 1, 0, 2147483647, 1}, false},
        {"a step of 0: 70000 columns into 1", 70000, {0, 0, 1, 1}, false},
        {"the last column past the source: 100000 columns into 3", 100000, {0, 0, 3, 1}, false},
        {"100000 columns into 2 stays inside", 100000, {0, 0, 2, 1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> memory;
        auto source = MakeTestImage(c.sourceWidth, 1, kMemImgColor32, 0, 0, 0, &memory);
        for (int x = 0; x < c.sourceWidth; ++x) WriteTestPixel(source->get(), x, 0, 0x00FFFFFF);
        auto dest = MakeTestImage(8, 8, kMemImgColor32);
        UseSettings(0, 0, RECT{0, 0, 8, 8});
        StretchBlitMemImg(dest->get(), source->get(), &c.rect, 0, nullptr, CurrentDrawSettings);
        EXPECT_EQ(ReadTestPixel(dest->get(), 0, 0), c.draws ? 0x00FFFFFFu : 0u);
    }
}

TEST_F(StretchBlitTest, GoldenResults) {
    struct Case {
        const char* name;
        int colorType, paletteFlag, alphaFlag;
        int mode, param;
        uint32_t bright;
        bool image;
        int flag;
        RECT rect;
        uint32_t hash;
    };
    const Case cases[] = {
        {"32-bit alpha, mode 1, blend image, bright, grown", 1, 0, 1, 1, 100, 0x00C08040, true, 1, {2, 1, 30, 20}, 3302736431u},
        {"16-bit paletted, mode 2, mirrored both ways", 0, 1, 0, 2, 180, 0x00FFFFFF, false, 1, {25, 18, -3, 2}, 603300354u},
        {"32-bit plain, mode 0, shrunk, keyed", 1, 0, 0, 0, 0, 0x00FFFFFF, false, 1, {4, 3, 10, 7}, 4235702602u},
        {"16-bit alpha, mode 10, mirrored", 0, 0, 1, 10, 90, 0x00FFFFFF, false, 0, {20, 0, 1, 16}, 742214411u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(4321);
        auto dest = MakeTestImage(28, 20, c.colorType);
        FillRandom(dest->get(), random);
        auto expected = MakeTestImage(28, 20, c.colorType);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 28; ++x) WriteTestPixel(expected->get(), x, y, ReadTestPixel(dest->get(), x, y));
        auto source = MakeTestImage(11, 7, c.colorType, c.paletteFlag, c.alphaFlag, c.paletteFlag ? 9 : 0);
        FillRandom(source->get(), random);
        auto image = MakeTestImage(11, 7, kMemImgSingle8);
        FillRandom(image->get(), random);
        BuildParamTable(90, 120);
        UseSettings(c.mode, c.param, RECT{1, 1, 27, 19}, c.bright);
        ReferenceSettings settings;
        settings.blendMode = c.mode;
        settings.blendParam = c.param;
        settings.brightColor = c.bright;
        settings.drawArea = CurrentDrawSettings.drawArea;
        settings.borderParam = 90;
        settings.borderRange = 120;
        const MEMIMG* mask = c.image ? image->get() : nullptr;
        StretchBlitMemImg(dest->get(), source->get(), &c.rect, c.flag, mask, CurrentDrawSettings);
        ReferenceStretchBlit(expected->get(), source->get(), c.rect, c.flag, mask, settings);
        EXPECT_EQ(TestPixels(dest->get()), TestPixels(expected->get()));
        EXPECT_EQ(HashPixels(dest->get()), c.hash) << HashPixels(dest->get());
    }
}

}  // namespace

namespace {

// A stretched copy gives the reference's pixels whether its rows are held in
// the caches or stored past them (as a copy larger than the processor's
// cache share is), whatever the rows' alignment.
TEST_F(StretchBlitTest, ACopyStoredPastTheCachesGivesTheSamePixels) {
    const size_t streamingBytes = StreamingCopyBytes();
    blittest::ForEachSimdLevel([&] {
        for (const int colorType : {kMemImgColor32, kMemImgColor565}) {
            for (const bool streamed : {false, true}) {
                SCOPED_TRACE(testing::Message() << "type " << colorType << (streamed ? " streamed" : " cached"));
                UseStreamingCopyBytes(streamed ? 1 : SIZE_MAX);
                const int width = 301;
                const int height = 90;
                auto source = MakeTestImage(width * 2 / 3, height * 2 / 3, colorType);
                for (int y = 0; y < source->get()->height; ++y)
                    for (int x = 0; x < source->get()->width; ++x)
                        WriteTestPixel(source->get(), x, y, static_cast<uint32_t>(x * 7 + y * 131));
                auto actual = MakeTestImage(width + 2, height, colorType);
                auto expected = MakeTestImage(width + 2, height, colorType);
                const RECT rect{width, 0, 1, height};
                ReferenceSettings settings;
                settings.drawArea = RECT{0, 0, width + 2, height};
                UseSettings(0, 0, settings.drawArea);
                StretchBlitMemImg(actual->get(), source->get(), &rect, 0, nullptr, CurrentDrawSettings);
                ReferenceStretchBlit(expected->get(), source->get(), rect, 0, nullptr, settings);
                EXPECT_TRUE(TestPixels(actual->get()) == TestPixels(expected->get()));
            }
        }
    });
    UseStreamingCopyBytes(streamingBytes);
}

}  // namespace
