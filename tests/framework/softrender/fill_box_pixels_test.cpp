// The per-pixel operations of the filled box and the line: each mode at both
// depths on pixels worked out from the formulas by hand, then every mode,
// parameter and bright colour on random pixels against the literal reference
// of the blend rules. Both draws run every case.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "blit_test_support.h"
#include "framework/softrender/fill_box.h"
#include "framework/softrender/line_draw.h"
#include "framework/softrender/simd_level.h"
#include "tests/support/blend_reference.h"
#include "tests/support/reference_blit.h"

namespace {

class SolidColorPixelTest : public blittest::SoftwareDrawTest {
protected:
    enum class Shape { kBox, kLine };

    // Draws `color` over the first `width` pixels of row 0 of `image`.
    static void DrawRow(Shape shape, MEMIMG* image, int width, uint32_t color) {
        if (shape == Shape::kBox) {
            const RECT rect{0, 0, width, 1};
            FillBoxMemImg(image, &rect, color, CurrentDrawSettings);
        } else {
            LineMemImg(image, 0, 0, width, 0, color, CurrentDrawSettings);
        }
    }
};

TEST_F(SolidColorPixelTest, EachModeCombinesAsItsFormulaSays) {
    struct Case {
        int depth;
        int mode;
        int param;
        uint32_t bright;
        uint32_t color;
        uint32_t dest;
        uint32_t expected;
        const char* name;
    };
    const Case cases[] = {
        {32, 0, 0, 0x00FFFFFF, 0x80123456, 0x11AABBCC, 0x80123456, "mode 0 writes the whole colour, byte 3 included"},
        {32, 1, 255, 0x00FFFFFF, 0x80123456, 0x11AABBCC, 0x80123456, "mode 1 at 255 is mode 0"},
        {32, 1, 254, 0x00FFFFFF, 0x00FF80FF, 0x7F000000, 0x7FFD7FFD, "mode 1 divides by 256: 255 over 0 at 254 gives 253"},
        {32, 1, 100, 0x00FFFFFF, 0x00102030, 0x40F0E0D0, 0x40989591, "mode 1 towards a darker colour"},
        {32, 2, 255, 0x00FFFFFF, 0x00020000, 0x00FE0000, 0x01FF0000, "add: red overflows, byte 3 becomes 1"},
        {32, 2, 255, 0x00FFFFFF, 0x00010000, 0x00FF0000, 0x00FF0000, "add: red 255 and 1 do not overflow"},
        {32, 2, 128, 0x00FFFFFF, 0x00FF8040, 0x33101010, 0x00905030, "add scales the colour by the parameter"},
        {32, 3, 200, 0x00FFFFFF, 0x00406080, 0x44A0A0A0, 0x006F573C, "subtract, byte 3 cleared"},
        {32, 3, 128, 0x00FFFFFF, 0x00000000, 0x44000000, 0x00010100, "subtracting nothing sets green's and red's lowest bits"},
        {32, 4, 0, 0x00FFFFFF, 0x00804020, 0x55FFFFFF, 0x557F3F1F, "multiply keeps byte 3"},
        {32, 10, 128, 0x00FFFFFF, 0x00203040, 0x66102030, 0x66777777, "blend the complement"},
        {32, 10, 0, 0x00FFFFFF, 0x00203040, 0x66102030, 0x66102030, "blend the complement at 0 keeps the pixel"},
        {32, 11, 128, 0x00FFFFFF, 0x00804020, 0x77F0F0F0, 0x77B49687, "blend the product"},
        {32, 11, 0, 0x00FFFFFF, 0x00804020, 0x77F0F0F0, 0x77F0F0F0, "blend the product at 0 keeps the pixel"},
        {32, 0, 0, 0x00FF80FF, 0xAAFFFFFF, 0x00000000, 0xAAFE7FFE, "brightening divides by 256, byte 3 kept"},
        {32, 10, 255, 0x00808080, 0x00FFFFFF, 0x00000000, 0x007F7F7F, "the complement is taken after brightening"},
        {32, 2, 255, 0x00404040, 0x00FFFFFF, 0x00101010, 0x004F4F4F, "add with brightening"},
        {16, 0, 0, 0x00FFFFFF, 0xF81F, 0x1234, 0xF81F, "mode 0"},
        {16, 1, 255, 0x00FFFFFF, 0xF81F, 0x1234, 0xF81F, "mode 1 at 255 is mode 0"},
        {16, 1, 254, 0x00FFFFFF, 0xFFFF, 0x0000, 0xF7DE, "mode 1 divides by 255: 31 over 0 at 254 gives 30"},
        {16, 1, 100, 0x00FFFFFF, 0x0000, 0xFFFF, 0x9CF3, "mode 1 towards black truncates toward zero"},
        {16, 2, 255, 0x00FFFFFF, 0x0001, 0x001F, 0x003F, "add: blue overflows into green's lowest bit"},
        {16, 2, 128, 0x00FFFFFF, 0xFFFF, 0x4208, 0xBDF7, "add scales the colour by the parameter"},
        {16, 3, 128, 0x00FFFFFF, 0x0000, 0x0000, 0x0800, "subtracting nothing sets red's lowest bit"},
        {16, 3, 200, 0x00FFFFFF, 0x4208, 0xFFFF, 0xCE59, "subtract"},
        {16, 4, 0, 0x00FFFFFF, 0x8410, 0xFFFF, 0x7BEF, "multiply"},
        {16, 10, 128, 0x00FFFFFF, 0x0000, 0x0000, 0x7BEF, "blend the complement"},
        {16, 10, 0, 0x00FFFFFF, 0x1234, 0xABCD, 0xABCD, "blend the complement at 0 keeps the pixel"},
        {16, 11, 255, 0x00FFFFFF, 0x8410, 0xFFFF, 0x7BEF, "blend the product at 255 is the product"},
        {16, 11, 100, 0x00FFFFFF, 0x8410, 0xC618, 0xA4F4, "blend the product"},
        {16, 11, 0, 0x00FFFFFF, 0x8410, 0xC618, 0xC618, "blend the product at 0 keeps the pixel"},
        {16, 0, 0, 0x00FFFF00, 0xFFFF, 0x0000, 0xF7C0, "brightening by 255 turns 31 into 30"},
        {16, 10, 255, 0x00808080, 0xFFFF, 0x0000, 0x8410, "the complement is taken after brightening"},
    };
    for (const Shape shape : {Shape::kBox, Shape::kLine}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << (shape == Shape::kBox ? "box: " : "line: ") << c.name);
            auto image = MakeTestImage(4, 2, c.depth == 16 ? kMemImgColor565 : kMemImgColor32);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 4; ++x) WriteTestPixel(image->get(), x, y, c.dest);
            UseSettings(c.mode, c.param, RECT{0, 0, 4, 2}, c.bright);
            DrawRow(shape, image->get(), 3, c.color);
            for (int x = 0; x < 3; ++x) EXPECT_EQ(ReadTestPixel(image->get(), x, 0), c.expected) << "x " << x;
            EXPECT_EQ(ReadTestPixel(image->get(), 3, 0), c.dest);
            EXPECT_EQ(ReadTestPixel(image->get(), 0, 1), c.dest);
        }
    }
}

// The colour brightened as the draws do it, by a shift of 8.
uint32_t Brightened(int depth, uint32_t color, uint32_t bright) {
    if ((bright & 0xFFFFFF) == 0xFFFFFF) return color;
    const uint32_t br = (bright >> 16) & 255, bg = (bright >> 8) & 255, bb = bright & 255;
    if (depth == 16)
        return ((((color >> 11) & 31) * br >> 8) << 11) | ((((color >> 5) & 63) * bg >> 8) << 5) |
               ((color & 31) * bb >> 8);
    return (color & 0xFF000000u) | ((((color >> 16) & 255) * br >> 8) << 16) |
           ((((color >> 8) & 255) * bg >> 8) << 8) | ((color & 255) * bb >> 8);
}

TEST_F(SolidColorPixelTest, EveryModeMatchesTheReferenceOnRandomPixels) {
    std::mt19937 random(1706);
    const int modes[] = {0, 1, 2, 3, 4, 5, 9, 10, 11, 12};
    const int params[] = {0, 1, 64, 127, 128, 200, 254, 255};
    const uint32_t brights[] = {0x00FFFFFF, 0xFFFFFFFF, 0x00FF80FF, 0x00203040, 0x00000000};
    for (const Shape shape : {Shape::kBox, Shape::kLine}) {
        for (const int depth : {16, 32}) {
            for (const int mode : modes) {
                for (const int param : params) {
                    for (const uint32_t bright : brights) {
                        SCOPED_TRACE(::testing::Message() << (shape == Shape::kBox ? "box" : "line") << ", depth "
                                                          << depth << ", mode " << mode << ", p " << param
                                                          << ", bright " << std::hex << bright);
                        auto image = MakeTestImage(16, 1, depth == 16 ? kMemImgColor565 : kMemImgColor32);
                        FillRandom(image->get(), random);
                        const std::vector<uint32_t> before = TestPixels(image->get());
                        const uint32_t color = depth == 16 ? random() & 0xFFFF : random();
                        UseSettings(mode, param, RECT{0, 0, 16, 1}, bright);
                        DrawRow(shape, image->get(), 16, color);

                        ReferenceDraw draw;
                        draw.depth = depth;
                        draw.mode = mode;
                        draw.p = param;
                        draw.family.brightBeforeMask = true;
                        draw.family.fineGreen = true;
                        const uint32_t brightened = Brightened(depth, color, bright);
                        for (int x = 0; x < 16; ++x)
                            ASSERT_EQ(ReadTestPixel(image->get(), x, 0),
                                      ReferenceBlend(draw, brightened, nullptr, before[x]))
                                << "x " << x;
                    }
                }
            }
        }
    }
}

// The box draws a vector of pixels a step: boxes of every width up to a few
// vectors and at every start, in every mode and at many parameters, with the
// loops of each vector width, against the reference; the plain fill of rows
// long enough for the processor's string store, with and without gaps
// between the rows, held in the caches or stored past them, too.
TEST_F(SolidColorPixelTest, WideBoxesMatchTheReference) {
    const int modes[] = {0, 1, 2, 3, 4, 10, 11};
    const size_t streamingBytes = StreamingCopyBytes();
    blittest::ForEachSimdLevel([&] {
        std::mt19937 random(2711);
        for (const int depth : {16, 32}) {
            for (const int mode : modes) {
                for (int trial = 0; trial < 40; ++trial) {
                    const bool longRows = mode == 0 && trial % 4 == 0;
                    const int imageWidth = longRows ? 1100 : 210;
                    const int width = longRows ? 1000 + static_cast<int>(random() % 100)
                                               : 1 + static_cast<int>(random() % 200);
                    const int x = static_cast<int>(random() % static_cast<uint32_t>(imageWidth - width + 1));
                    const int param = trial % 8 == 0 ? 255 : static_cast<int>(random() % 256);
                    const bool streamed = trial % 2 == 1;
                    UseStreamingCopyBytes(streamed ? 1 : SIZE_MAX);
                    const uint32_t bright = trial % 3 == 0 ? random() & 0xFFFFFF : 0xFFFFFF;
                    SCOPED_TRACE(::testing::Message() << "depth " << depth << ", mode " << mode << ", p " << param
                                                      << ", bright " << std::hex << bright << std::dec << ", "
                                                      << width << " wide at " << x
                                                      << (streamed ? ", streamed" : ""));
                    auto image = MakeTestImage(imageWidth, 3, depth == 16 ? kMemImgColor565 : kMemImgColor32);
                    FillRandom(image->get(), random);
                    const std::vector<uint32_t> before = TestPixels(image->get());
                    const uint32_t color = depth == 16 ? random() & 0xFFFF : random();
                    UseSettings(mode, param, RECT{0, 0, imageWidth, 3}, bright);
                    const RECT rect{x, 1, x + width, 3};
                    FillBoxMemImg(image->get(), &rect, color, CurrentDrawSettings);

                    ReferenceDraw draw;
                    draw.depth = depth;
                    draw.mode = mode;
                    draw.p = param;
                    draw.family.brightBeforeMask = true;
                    draw.family.fineGreen = true;
                    const uint32_t brightened = Brightened(depth, color, bright);
                    for (int y = 0; y < 3; ++y)
                        for (int i = 0; i < imageWidth; ++i) {
                            const uint32_t was = before[static_cast<size_t>(y * imageWidth + i)];
                            const bool inside = y >= 1 && i >= x && i < x + width;
                            ASSERT_EQ(ReadTestPixel(image->get(), i, y),
                                      inside ? ReferenceBlend(draw, brightened, nullptr, was) : was)
                                << i << "," << y;
                        }
                }
            }
        }
        // A whole image whose rows follow one another without a gap.
        for (const int depth : {16, 32}) {
            UseStreamingCopyBytes(depth == 16 ? 1 : SIZE_MAX);
            auto image = MakeTestImage(1024, 3, depth == 16 ? kMemImgColor565 : kMemImgColor32);
            UseSettings(0, 0, RECT{0, 0, 1024, 3});
            FillBoxMemImg(image->get(), nullptr, 0x12345678u & (depth == 16 ? 0xFFFFu : ~0u), CurrentDrawSettings);
            for (int y = 0; y < 3; ++y)
                for (int i = 0; i < 1024; ++i)
                    ASSERT_EQ(ReadTestPixel(image->get(), i, y), depth == 16 ? 0x5678u : 0x12345678u) << i << "," << y;
        }
    });
    UseStreamingCopyBytes(streamingBytes);
}

// The 16-bit blends divide by 255 rounding toward zero: every difference a
// channel can have, at every parameter, in a box wide enough for the vector
// steps.
TEST_F(SolidColorPixelTest, The16BitBlendDividesExactlyAtEveryParameter) {
    blittest::ForEachSimdLevel([&] {
        auto image = MakeTestImage(2048, 1, kMemImgColor565);
        ReferenceDraw draw;
        draw.depth = 16;
        draw.mode = 1;
        draw.family.brightBeforeMask = true;
        for (int p = 1; p < 255; ++p) {
            for (const uint32_t color : {0x0000u, 0xFFFFu}) {
                for (int i = 0; i < 2048; ++i)
                    WriteTestPixel(image->get(), i, 0,
                                   static_cast<uint32_t>((i % 32) << 11 | (i % 64) << 5 | (i * 7) % 32));
                UseSettings(1, p, RECT{0, 0, 2048, 1});
                FillBoxMemImg(image->get(), nullptr, color, CurrentDrawSettings);
                draw.p = p;
                for (int i = 0; i < 2048; ++i) {
                    const uint32_t was = static_cast<uint32_t>((i % 32) << 11 | (i % 64) << 5 | (i * 7) % 32);
                    ASSERT_EQ(ReadTestPixel(image->get(), i, 0), ReferenceBlend(draw, color, nullptr, was))
                        << "p " << p << ", colour " << color << ", pixel " << was;
                }
            }
        }
    });
}

}  // namespace
