// The rotated blit on the cases that matter most: the mapping at angle
// 0 and at 90 degrees, the widened box, scales, the mirrored hand-over to the
// four-corner draw, refusals, tall sources and palettes, extreme scales and
// centres; and the worked pixel values of its spans, one
// table per family.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "framework/base/base_functions.h"
#include "framework/softrender/raster_triangle.h"
#include "framework/softrender/rotate_blit.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"
#include "tests/support/reference_raster.h"

namespace {

constexpr float kQuarterTurn = static_cast<float>(M_PI / 2);

class RotateBlitTest : public blittest::SoftwareDrawTest {
protected:
    // A source whose texel (x, y) is x + 256 y + 1, so that every texel can be
    // told apart.
    static std::unique_ptr<TestImage> Numbered(int width, int height) {
        auto image = MakeTestImage(width, height, kMemImgColor32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) WriteTestPixel(image->get(), x, y, Texel(x, y));
        return image;
    }
    static uint32_t Texel(int x, int y) { return static_cast<uint32_t>(x + 256 * y + 1); }

    // The draw and its reference on copies of `dest`; they must agree.
    static void ExpectReference(const MEMIMG* dest, const MEMIMG* source, int cx, int cy, float angle, float scale,
                                int flag, int mirror, const MEMIMG* graphic, const ReferenceSettings& settings) {
        auto actual = MakeTestImage(dest->width, dest->height, dest->base->colorType);
        auto expected = MakeTestImage(dest->width, dest->height, dest->base->colorType);
        blittest::CopyTestPixels(actual->get(), dest);
        blittest::CopyTestPixels(expected->get(), dest);
        blittest::UseReferenceSettings(settings);
        RotateBlitMemImg(actual->get(), source, cx, cy, angle, scale, flag, mirror, graphic, CurrentDrawSettings);
        ReferenceRotateBlit(expected->get(), source, cx, cy, angle, scale, flag, mirror, graphic, settings);
        EXPECT_EQ(TestPixels(actual->get()), TestPixels(expected->get()))
            << "angle " << angle << " scale " << scale << " centre " << cx << "," << cy;
    }
};

TEST_F(RotateBlitTest, AtAngleZeroAndScaleOnePixelsTakeTheShiftedTexels) {
    for (const auto& size : {std::pair{5, 4}, std::pair{6, 7}, std::pair{1, 1}}) {
        const int w = size.first, h = size.second;
        auto source = Numbered(w, h);
        auto dest = MakeTestImage(20, 20, kMemImgColor32);
        UseSettings(0, 0, RECT{0, 0, 20, 20});
        RotateBlitMemImg(dest->get(), source->get(), 9, 8, 0.0f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const int tx = x - 9 + w / 2, ty = y - 8 + h / 2;
                const bool inside = tx >= 0 && tx < w && ty >= 0 && ty < h;
                EXPECT_EQ(ReadTestPixel(dest->get(), x, y), inside ? Texel(tx, ty) : 0u) << x << "," << y;
            }
    }
}

TEST_F(RotateBlitTest, TheBoxReachesTwoPixelsLeftAndAboveAndFourRightAndBelow) {
    // A 1 x 1 source at scale 10: its corners lie 5 pixels from the centre,
    // so the box runs from column 13 to column 28. The column step is
    // trunc(2^18 / 10) = 26214, and from the box's left edge, where u is
    // trunc(-7 x 2^18 / 10), u stays below 0 up to the centre and below 2^18
    // up to column 30: the box cuts off columns 29 and 30 (and rows likewise).
    auto source = MakeTestImage(1, 1, kMemImgColor32);
    WriteTestPixel(source->get(), 0, 0, 7);
    auto dest = MakeTestImage(40, 40, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 40, 40});
    RotateBlitMemImg(dest->get(), source->get(), 20, 20, 0.0f, 10.0f, 0, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(ReadTestPixel(dest->get(), x, y), x >= 21 && x <= 28 && y >= 21 && y <= 28 ? 7u : 0u)
                << x << "," << y;
    // At scale -10 the texel lies on the ten pixels up to the centre; the box
    // starts at corner - 2, so the first three are cut off.
    auto mirrored = MakeTestImage(40, 40, kMemImgColor32);
    RotateBlitMemImg(mirrored->get(), source->get(), 20, 20, 0.0f, -10.0f, 0, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(ReadTestPixel(mirrored->get(), x, y), x >= 13 && x <= 20 && y >= 13 && y <= 20 ? 7u : 0u)
                << x << "," << y;
}

TEST_F(RotateBlitTest, AQuarterTurnIsExact) {
    // The stated constants: the cosine of the float nearest pi / 2 is 0 in
    // 14.18, its sine exactly 2^18.
    float s, c;
    SinCosFloat(kQuarterTurn, &s, &c);
    EXPECT_EQ(FloatToInt(static_cast<float>(c * 262144.0)), 0);
    EXPECT_EQ(FloatToInt(static_cast<float>(s * 262144.0)), 262144);
    SinCosFloat(-kQuarterTurn, &s, &c);
    EXPECT_EQ(FloatToInt(static_cast<float>(s * 262144.0)), -262144);
    // Pixel (x, y) takes texel (y - cy + w / 2, h / 2 - (x - cx)): the
    // source's x axis turns towards +y.
    const int w = 7, h = 4;
    auto source = Numbered(w, h);
    auto dest = MakeTestImage(20, 20, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 20, 20});
    RotateBlitMemImg(dest->get(), source->get(), 10, 9, kQuarterTurn, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const int tx = y - 9 + w / 2, ty = h / 2 - (x - 10);
            const bool inside = tx >= 0 && tx < w && ty >= 0 && ty < h;
            EXPECT_EQ(ReadTestPixel(dest->get(), x, y), inside ? Texel(tx, ty) : 0u) << x << "," << y;
        }
}

TEST_F(RotateBlitTest, ScalesAndAGenericAngleEqualTheReference) {
    std::mt19937 random(11);
    for (const int type : {kMemImgColor32, kMemImgColor565}) {
        auto source = MakeTestImage(9, 6, type);
        FillRandom(source->get(), random);
        auto dest = MakeTestImage(40, 30, type);
        FillRandom(dest->get(), random);
        ReferenceSettings settings;
        settings.drawArea = RECT{0, 0, 40, 30};
        for (const float scale : {2.0f, 0.5f, 1.7f})
            for (const float angle : {0.0f, 0.7f, -2.3f, kQuarterTurn})
                ExpectReference(dest->get(), source->get(), 19, 13, angle, scale, 0, 0, nullptr, settings);
        // Scale 2 at angle 0: each texel covers two by two pixels.
        auto actual = MakeTestImage(40, 30, type);
        blittest::UseReferenceSettings(settings);
        RotateBlitMemImg(actual->get(), source->get(), 19, 13, 0.0f, 2.0f, 0, 0, nullptr, CurrentDrawSettings);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                // u = dx x 2^17 + 4 x 2^18, v = dy x 2^17 + 3 x 2^18, exact.
                const int dx = x - 19, dy = y - 13;
                const bool inside = dx >= -8 && dx < 10 && dy >= -6 && dy < 6;
                EXPECT_EQ(ReadTestPixel(actual->get(), x, y),
                          inside ? ReadTestPixel(source->get(), (dx + 8) / 2, (dy + 6) / 2) : 0u)
                    << x << "," << y;
            }
    }
}

TEST_F(RotateBlitTest, TheMirroredDrawIsTheFourCornerDrawOfTheNamedCorners) {
    // At angle 0 and scale 1 the corners are exact: C0 (16, 12) top left,
    // C1 (16, 18) bottom left, C2 (24, 18) bottom right, C3 (24, 12) top
    // right, handed over as C3, C0, C2, C1.
    auto source = Numbered(8, 6);
    auto rotated = MakeTestImage(40, 30, kMemImgColor32);
    auto quad = MakeTestImage(40, 30, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 40, 30});
    RotateBlitMemImg(rotated->get(), source->get(), 20, 15, 0.0f, 1.0f, 0, 1, nullptr, CurrentDrawSettings);
    const int corners[8] = {24, 12, 16, 12, 24, 18, 16, 18};
    RasterQuadMemImg(quad->get(), source->get(), corners, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(TestPixels(rotated->get()), TestPixels(quad->get()));
    EXPECT_EQ(ReadTestPixel(rotated->get(), 17, 12), Texel(7, 0)) << "mirrored left to right";
    // At other angles and scales, against the reference.
    ReferenceSettings settings;
    settings.drawArea = RECT{0, 0, 40, 30};
    for (const float angle : {0.4f, 2.0f, -1.1f})
        for (const float scale : {1.0f, 1.6f, 0.7f})
            ExpectReference(quad->get(), source->get(), 20, 15, angle, scale, 0, 1, nullptr, settings);
}

TEST_F(RotateBlitTest, RefusedDrawsChangeNothing) {
    auto source32 = Numbered(6, 6);
    auto source16 = MakeTestImage(6, 6, kMemImgColor565);
    auto dest = MakeTestImage(20, 20, kMemImgColor32);
    auto dest16 = MakeTestImage(20, 20, kMemImgColor565);
    auto paletted = MakeTestImage(20, 20, kMemImgColor32, 1, 0);
    auto alpha = MakeTestImage(20, 20, kMemImgColor32, 0, 1);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) WriteTestPixel(source16->get(), x, y, 0xFFFF);
    UseSettings(0, 0, RECT{0, 0, 20, 20});
    RotateBlitMemImg(dest->get(), source16->get(), 10, 10, 0.3f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    RotateBlitMemImg(dest16->get(), source32->get(), 10, 10, 0.3f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    RotateBlitMemImg(dest->get(), source16->get(), 10, 10, 0.3f, 1.0f, 0, 1, nullptr, CurrentDrawSettings);
    RotateBlitMemImg(paletted->get(), source32->get(), 10, 10, 0.3f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    RotateBlitMemImg(alpha->get(), source32->get(), 10, 10, 0.3f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    for (const float scale : {0.0f, -0.0f, NAN, INFINITY, -INFINITY})
        RotateBlitMemImg(dest->get(), source32->get(), 10, 10, 0.3f, scale, 0, 0, nullptr, CurrentDrawSettings);
    for (const float angle : {NAN, INFINITY})
        RotateBlitMemImg(dest->get(), source32->get(), 10, 10, angle, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    for (const int mode : {5, 6, 7, 8, 9, 12, 255, -1}) {
        UseSettings(mode, 255, RECT{0, 0, 20, 20});
        RotateBlitMemImg(dest->get(), source32->get(), 10, 10, 0.3f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
        RotateBlitMemImg(dest->get(), source32->get(), 10, 10, 0.3f, 1.0f, 0, 1, nullptr, CurrentDrawSettings);
    }
    UseSettings(1, 0, RECT{0, 0, 20, 20});
    RotateBlitMemImg(dest->get(), source32->get(), 10, 10, 0.3f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    // A box the draw area clips away.
    UseSettings(0, 0, RECT{0, 0, 5, 5});
    RotateBlitMemImg(dest->get(), source32->get(), 15, 15, 0.0f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    const uint32_t blank32 = HashPixels(MakeTestImage(20, 20, kMemImgColor32)->get());
    EXPECT_EQ(HashPixels(dest->get()), blank32);
    EXPECT_EQ(HashPixels(dest16->get()), HashPixels(MakeTestImage(20, 20, kMemImgColor565)->get()));
    EXPECT_EQ(HashPixels(paletted->get()), HashPixels(MakeTestImage(20, 20, kMemImgColor32, 1, 0)->get()));
    EXPECT_EQ(HashPixels(alpha->get()), HashPixels(MakeTestImage(20, 20, kMemImgColor32, 0, 1)->get()));
}

TEST_F(RotateBlitTest, SourcesAndBlendGraphicsTallerThan4096Rows) {
    auto source = MakeTestImage(2, 5000, kMemImgColor32);
    for (int y = 0; y < 5000; ++y)
        for (int x = 0; x < 2; ++x) WriteTestPixel(source->get(), x, y, Texel(x, y));
    auto graphic = MakeTestImage(2, 5000, kMemImgSingle8);
    for (int y = 0; y < 5000; ++y)
        for (int x = 0; x < 2; ++x) WriteTestPixel(graphic->get(), x, y, y >= 4500 ? 255 : 0);
    auto dest = MakeTestImage(4, 8, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 4, 8});
    // Row y of the destination takes source row y + 2000 + 2500.
    RotateBlitMemImg(dest->get(), source->get(), 1, -2000, 0.0f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(ReadTestPixel(dest->get(), 0, y), Texel(0, 4500 + y));
        EXPECT_EQ(ReadTestPixel(dest->get(), 1, y), Texel(1, 4500 + y));
    }
    // The blend graphic read at the same rows: weight 255 blends the texel in.
    auto weighted = MakeTestImage(4, 8, kMemImgColor32);
    RotateBlitMemImg(weighted->get(), source->get(), 1, -2000, 0.0f, 1.0f, 0, 0, graphic->get(), CurrentDrawSettings);
    for (int y = 0; y < 8; ++y) EXPECT_NE(ReadTestPixel(weighted->get(), 0, y), 0u) << y;
}

TEST_F(RotateBlitTest, EveryPaletteIndexReadsTheSourcesPalette) {
    auto dest = MakeTestImage(3, 3, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 3, 3});
    for (const int count : {4, 1000, -5, 256}) {
        for (const uint32_t index : {2u, 10u, 255u}) {
            auto source = MakeTestImage(1, 1, kMemImgColor32, 1, 0);
            for (int i = 0; i < 256; ++i)
                static_cast<uint32_t*>(source->base()->paletteTable)[i] = 0x10000u * static_cast<uint32_t>(count & 0xFF) + i;
            source->base()->paletteColorCount = count;
            WriteTestPixel(source->get(), 0, 0, index);
            RotateBlitMemImg(dest->get(), source->get(), 1, 1, 0.0f, 1.0f, 0, 0, nullptr, CurrentDrawSettings);
            EXPECT_EQ(ReadTestPixel(dest->get(), 1, 1), 0x10000u * static_cast<uint32_t>(count & 0xFF) + index)
                << "count " << count << " index " << index;
        }
    }
}

TEST_F(RotateBlitTest, ExtremeScalesAndCentresAreDefined) {
    std::mt19937 random(3);
    auto source = MakeTestImage(7, 5, kMemImgColor32);
    FillRandom(source->get(), random);
    auto dest = MakeTestImage(16, 16, kMemImgColor32);
    FillRandom(dest->get(), random);
    ReferenceSettings settings;
    settings.drawArea = RECT{0, 0, 16, 16};
    for (const float scale : {1e-30f, 1e-7f, 3e-3f, 1e5f, 1e30f, -1e-30f, -2.5f})
        for (const float angle : {0.0f, 0.3f, 1e20f, -1e-20f})
            ExpectReference(dest->get(), source->get(), 8, 8, angle, scale, 0, 0, nullptr, settings);
    for (const int centre : {20000, -20000, 1 << 30, -(1 << 30), 2147483647, -2147483647 - 1})
        for (const int mirror : {0, 1}) {
            ExpectReference(dest->get(), source->get(), centre, 8, 0.2f, 1.0f, 0, mirror, nullptr, settings);
            ExpectReference(dest->get(), source->get(), 8, centre, 0.2f, 3.0f, 0, mirror, nullptr, settings);
        }
}

// The worked pixel values of the rotated spans, each drawn as the one pixel
// of a 1 x 1 source at angle 0 and scale 1 (pixel (1, 1) of a 3 x 3 image).
struct PixelCase {
    const char* what;
    int mode;
    int p;
    uint32_t bright;
    int weight;  // the blend graphic's weight G, or -1 for none
    int flag;
    uint32_t transparent;
    uint32_t texel;  // an index, a word, a 16-bit cell (word | a << 16) or a pixel
    uint32_t entry;  // paletted: the palette entry of the index
    uint32_t dest;
    uint32_t expected;
};

class RotateSpanCasesTest : public blittest::SoftwareDrawTest {
protected:
    void Check(int depth, int paletteFlag, int alphaFlag, const std::vector<PixelCase>& cases) {
        const int type = depth == 16 ? kMemImgColor565 : kMemImgColor32;
        for (const PixelCase& c : cases) {
            auto dest = MakeTestImage(3, 3, type);
            WriteTestPixel(dest->get(), 1, 1, c.dest);
            auto source = MakeTestImage(1, 1, type, paletteFlag, alphaFlag, c.transparent);
            WriteTestPixel(source->get(), 0, 0, c.texel);
            if (paletteFlag) {
                if (depth == 16)
                    static_cast<uint16_t*>(source->base()->paletteTable)[c.texel & 0xFF] = static_cast<uint16_t>(c.entry);
                else
                    static_cast<uint32_t*>(source->base()->paletteTable)[c.texel & 0xFF] = c.entry;
            }
            std::unique_ptr<TestImage> graphic;
            if (c.weight >= 0) {
                graphic = MakeTestImage(1, 1, kMemImgSingle8);
                WriteTestPixel(graphic->get(), 0, 0, static_cast<uint32_t>(c.weight));
            }
            UseSettings(c.mode, c.p, RECT{0, 0, 3, 3}, c.bright);
            RotateBlitMemImg(dest->get(), source->get(), 1, 1, 0.0f, 1.0f, c.flag, 0, graphic ? graphic->get() : nullptr,
                             CurrentDrawSettings);
            EXPECT_EQ(ReadTestPixel(dest->get(), 1, 1), c.expected) << c.what;
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 3; ++x) {
                    if (x != 1 || y != 1) {
                        EXPECT_EQ(ReadTestPixel(dest->get(), x, y), 0u) << c.what << " at " << x << "," << y;
                    }
                }
        }
    }
};

constexpr uint32_t kWhite = 0xFFFFFF;

// Paletted source, 32-bit destination.
TEST_F(RotateSpanCasesTest, PalettedSource32) {
    Check(32, 1, 0, {
        {"mode 0 white writes all four bytes", 0, 0, kWhite, -1, 0, 0, 3, 0xAB123456, 0x55000000, 0xAB123456},
        {"brightened, bytes 0 to 2 only", 0, 0, 0xFFFEFF, -1, 0, 0, 3, 0xAB123456, 0x55000000, 0x55123356},
        {"G = 0: mode 0 unchanged", 0, 0, kWhite, 0, 0, 0, 3, 0xAB123456, 0x55667788, 0x55667788},
        {"G = 0: mode 1 unchanged", 1, 100, kWhite, 0, 0, 0, 3, 0xAB123456, 0x55667788, 0x55667788},
        {"G = 0: mode 10 unchanged", 10, 100, kWhite, 0, 0, 0, 3, 0xAB123456, 0x55667788, 0x55667788},
        {"G = 0: mode 11 unchanged", 11, 100, kWhite, 0, 0, 0, 3, 0xAB123456, 0x55667788, 0x55667788},
        {"G = 0: mode 4 black", 4, 100, kWhite, 0, 0, 0, 3, 0xAB123456, 0x55667788, 0x55000000},
        {"G = 0: mode 2 keeps the colour, clears byte 3", 2, 100, kWhite, 0, 0, 0, 3, 0xAB123456, 0x55667788,
         0x00667788},
        {"G = 0: mode 3 sets the low bits of green and red", 3, 100, kWhite, 0, 0, 0, 3, 0xAB123456, 0x55667788,
         0x00677788},
        {"mode 2 onto 255: red carries into byte 3", 2, 255, kWhite, -1, 0, 0, 3, 0x00FFFFFF, 0x00FFFFFF, 0x01FFFFFF},
        {"mode 3 at p 0: (D | 0x10100) & 0xFFFFFF", 3, 0, kWhite, -1, 0, 0, 3, 0x00FFFFFF, 0xAB102030, 0x00112130},
        {"a transparent colour of 256 or more never matches", 0, 0, kWhite, -1, 1, 0x103, 3, 0x00123456, 0,
         0x00123456},
        {"the transparent index is skipped", 0, 0, kWhite, -1, 1, 3, 3, 0x00123456, 0x77, 0x77},
        {"mode 4 with a white texel: 255 becomes 254", 4, 0, kWhite, -1, 0, 0, 3, 0x00FFFFFF, 0x00FFFFFF, 0x00FEFEFE},
    });
}

// Direct-colour source, 32-bit destination.
TEST_F(RotateSpanCasesTest, DirectSource32) {
    Check(32, 0, 1, {
        {"flag on, a = 255 copies with its alpha", 0, 0, kWhite, -1, 1, 0, 0xFF123456, 0, 0x00000000, 0xFF123456},
        {"flag on, a = 0 leaves the pixel", 0, 0, kWhite, -1, 1, 0, 0x00123456, 0, 0x00778899, 0x00778899},
        {"flag off, a = 255: 255 over 0 gives 254, byte 3 stays", 0, 0, kWhite, -1, 0, 0, 0xFFFFFFFF, 0, 0x11000000,
         0x11FEFEFE},
        {"mode 4, a = 0 is black, flag on", 4, 0, kWhite, -1, 1, 0, 0x00FFFFFF, 0, 0x11778899, 0x11000000},
        {"mode 4, a = 0 is black, flag off", 4, 0, kWhite, -1, 0, 0, 0x00FFFFFF, 0, 0x11778899, 0x11000000},
        {"mode 10, a = 0 unchanged", 10, 255, kWhite, -1, 1, 0, 0x00123456, 0, 0x11778899, 0x11778899},
        {"mode 11, a = 0 unchanged", 11, 255, kWhite, -1, 1, 0, 0x00123456, 0, 0x11778899, 0x11778899},
        {"the transparent colour is not tested", 0, 0, kWhite, -1, 1, 0xFF123456, 0xFF123456, 0, 0, 0xFF123456},
        {"mode 2, G = a = p = S = 255, flag off: 252", 2, 255, kWhite, 255, 0, 0, 0xFFFFFFFF, 0, 0, 0x00FCFCFC},
        {"the same with the flag on: 253", 2, 255, kWhite, 255, 1, 0, 0xFFFFFFFF, 0, 0, 0x00FDFDFD},
    });
    Check(32, 0, 0, {
        {"equal in all 32 bits: skipped", 0, 0, kWhite, -1, 1, 0xFF123456, 0xFF123456, 0, 0x77, 0x77},
        {"differing in byte 3 only: drawn", 0, 0, kWhite, -1, 1, 0x00123456, 0xFF123456, 0, 0x77, 0xFF123456},
        {"mode 4 with a white texel: 255 becomes 254", 4, 0, kWhite, -1, 0, 0, 0x00FFFFFF, 0, 0x00FFFFFF, 0x00FEFEFE},
        {"mode 3 at p 0 draws nothing", 3, 0, kWhite, -1, 0, 0, 0x00FFFFFF, 0, 0x00FFFFFF, 0x00FFFFFF},
    });
}

// Paletted source, 16-bit destination.
TEST_F(RotateSpanCasesTest, PalettedSource16) {
    Check(16, 1, 0, {
        {"the transparent index is skipped whatever its colour", 0, 0, kWhite, -1, 1, 3, 3, 0xFFFF, 0x1234, 0x1234},
        {"mode 3 at p 0 writes SatSub(D, 0)", 3, 0, kWhite, -1, 0, 0x100, 3, 0xFFFF, 0x0000, 0x0800},
        {"mode 1 at p 0 draws nothing", 1, 0, kWhite, -1, 0, 0, 3, 0xFFFF, 0x1234, 0x1234},
        {"mode 2 at p 0 draws nothing", 2, 0, kWhite, -1, 0, 0, 3, 0xFFFF, 0x1234, 0x1234},
        {"mode 1 at 255 is mode 0", 1, 255, kWhite, -1, 0, 0, 3, 0xABCD, 0x1234, 0xABCD},
        {"mode 4 with G = 0 turns black", 4, 0, kWhite, 0, 0, 0, 3, 0xFFFF, 0xFFFF, 0x0000},
    });
}

// Direct-colour source, 16-bit destination.
TEST_F(RotateSpanCasesTest, DirectSource16) {
    Check(16, 0, 0, {
        {"mode 1 at 255 is mode 0", 1, 255, kWhite, -1, 0, 0, 0xABCD, 0, 0x1234, 0xABCD},
        {"mode 10 at p 0 unchanged", 10, 0, kWhite, -1, 0, 0, 0xABCD, 0, 0x1234, 0x1234},
        {"mode 11 at p 0 unchanged", 11, 0, kWhite, -1, 0, 0, 0xABCD, 0, 0x1234, 0x1234},
        {"SatAdd(0x001F, 0x0001)", 2, 255, kWhite, -1, 0, 0, 0x0001, 0, 0x001F, 0x003F},
        {"SatAdd(0x07C0, 0x07C0)", 2, 255, kWhite, -1, 0, 0, 0x07C0, 0, 0x07C0, 0x0FC0},
        {"SatAdd(0xFFFF, 0xFFFF)", 2, 255, kWhite, -1, 0, 0, 0xFFFF, 0, 0xFFFF, 0xFFFF},
        {"SatSub(0x0000, 0x0000)", 3, 255, kWhite, -1, 0, 0, 0x0000, 0, 0x0000, 0x0800},
        {"SatSub(0x0000, 0xFFFF)", 3, 255, kWhite, -1, 0, 0, 0xFFFF, 0, 0x0000, 0x0000},
        {"SatSub(0xFFFF, 0x0000)", 3, 255, kWhite, -1, 0, 0, 0x0000, 0, 0xFFFF, 0xFFDF},
        {"white in its low 24 bits is no brightening", 0, 0, 0x7FFFFFFF, -1, 0, 0, 0xABCD, 0, 0x1234, 0xABCD},
    });
    Check(16, 0, 1, {
        {"flag on, a = 0: mode 0 leaves D", 0, 0, kWhite, -1, 1, 0, 0x0000FFFF, 0, 0x1234, 0x1234},
        {"flag on, a = 0: mode 1 leaves D", 1, 100, kWhite, -1, 1, 0, 0x0000FFFF, 0, 0x1234, 0x1234},
        {"flag on, a = 0: mode 2 leaves D", 2, 100, kWhite, -1, 1, 0, 0x0000FFFF, 0, 0x1234, 0x1234},
        {"flag on, a = 0: mode 3 leaves D", 3, 100, kWhite, -1, 1, 0, 0x0000FFFF, 0, 0x1234, 0x1234},
        {"flag on, a = 0: mode 10 leaves D", 10, 100, kWhite, -1, 1, 0, 0x0000FFFF, 0, 0x1234, 0x1234},
        {"flag on, a = 0: mode 4 turns black", 4, 0, kWhite, -1, 1, 0, 0x0000FFFF, 0, 0x1234, 0x0000},
        {"flag on, a = 0: mode 11 leaves D", 11, 100, kWhite, -1, 1, 0, 0x0000FFFF, 0, 0x1234, 0x1234},
        {"flag off, G = 255, a = 255: (D 65536 + (S - D) 65025) >> 16", 0, 0, kWhite, 255, 0, 0, 0x00FFFFFF, 0,
         0x0000, 0xF7DE},
    });
}

}  // namespace
