// The triangle and four-corner draws against their literal references on
// random images: every depth and source kind and the solid colour, every blend
// mode, random parameters, bright colours, blend graphics, transparency flags,
// draw areas, sources that are views, and vertices and texture coordinates
// that reach past the images on every side.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "framework/softrender/blend_tables.h"
#include "framework/softrender/raster_triangle.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"
#include "tests/support/reference_raster.h"

namespace {

using namespace blittest;

int Random(std::mt19937& random, int low, int high) {
    return low + static_cast<int>(random() % static_cast<uint32_t>(high - low + 1));
}

uint32_t RandomTransparentColor(const SourceShape& s, std::mt19937& random) {
    if (s.paletteFlag) return random() % 8 == 0 ? 0x100 + random() % 256 : random() % 256;
    if (s.colorType == kMemImgColor565) return random() % 8 == 0 ? 0x10000 | (random() & 0xFFFF) : random() & 0xFFFF;
    return random();
}

ReferenceSettings RandomSettings(int width, int height, std::mt19937& random) {
    static const int kModes[] = {0, 1, 2, 3, 4, 10, 11, 0, 1, 2, 3, 4, 10, 11, 0, 1, 2, 3, 4, 10, 11, 5, 12, -1};
    ReferenceSettings s;
    s.blendMode = kModes[random() % (sizeof kModes / sizeof kModes[0])];
    switch (random() % 8) {
    case 0: s.blendParam = 0; break;
    case 1: s.blendParam = 255; break;
    case 2: s.blendParam = 128; break;
    default: s.blendParam = Random(random, 1, 254); break;
    }
    s.brightColor = random() % 2 == 0 ? 0xFFFFFF | (random() & 0xFF000000u) : random();
    s.borderParam = Random(random, 0, 255);
    s.borderRange = Random(random, 0, 255);
    if (random() % 2 == 0) {
        s.drawArea = RECT{0, 0, width, height};
    } else {
        // Anywhere, also past the image (the draw keeps it inside).
        const int left = Random(random, -4, width);
        const int top = Random(random, -4, height);
        s.drawArea = RECT{left, top, left + Random(random, -1, width + 4), top + Random(random, -1, height + 4)};
    }
    return s;
}

struct Images {
    std::unique_ptr<TestImage> actual, expected, whole, view, graphic;
    const MEMIMG* source = nullptr;
    const MEMIMG* mask = nullptr;
};

// A destination pair with the same random pixels, and (for a shape) a random
// source, perhaps a view of a larger image, with perhaps a blend graphic.
Images MakeImages(int destType, const SourceShape* shape, std::mt19937& random) {
    Images im;
    const int dw = Random(random, 1, 64), dh = Random(random, 1, 64);
    im.actual = MakeTestImage(dw, dh, destType);
    im.expected = MakeTestImage(dw, dh, destType);
    FillRandom(im.actual->get(), random);
    CopyTestPixels(im.expected->get(), im.actual->get());
    if (shape == nullptr) return im;
    const int w = Random(random, 1, 64), h = Random(random, 1, 64);
    const bool asView = random() % 3 == 0;
    const int vx = asView ? Random(random, 0, 3) : 0, vy = asView ? Random(random, 0, 3) : 0;
    im.whole = MakeTestImage(w + vx + (asView ? Random(random, 0, 2) : 0), h + vy + (asView ? 1 : 0), shape->colorType,
                             shape->paletteFlag, shape->alphaFlag, RandomTransparentColor(*shape, random));
    FillRandom(im.whole->get(), random);
    im.view = MakeTestView(im.whole->get(), vx, vy, w, h);
    im.source = asView ? im.view->get() : im.whole->get();
    if (random() % 2 == 0) {
        im.graphic = MakeTestImage(w + Random(random, 0, 2), h + Random(random, 0, 2), kMemImgSingle8);
        FillRandom(im.graphic->get(), random);
        im.mask = im.graphic->get();
    }
    return im;
}

// A coordinate around [0, size], sometimes well past it.
int Around(int size, std::mt19937& random) {
    if (random() % 8 == 0) return Random(random, -3 * size - 10, 4 * size + 10);
    return Random(random, -size / 2 - 3, size + size / 2 + 3);
}

std::string Describe(const ReferenceSettings& s, int flag, bool mask) {
    char text[200];
    std::snprintf(text, sizeof text, "mode %d p %d bright %08X flag %d graphic %d area (%d, %d, %d, %d)",
                  s.blendMode, s.blendParam, s.brightColor, flag, mask, static_cast<int>(s.drawArea.left),
                  static_cast<int>(s.drawArea.top), static_cast<int>(s.drawArea.right),
                  static_cast<int>(s.drawArea.bottom));
    return text;
}

void UseReference(const ReferenceSettings& s) {
    BuildParamTable(s.borderParam, s.borderRange);
    UseReferenceSettings(s);
}

class RasterTriangleSweepTest : public SweepTest {};

TEST_P(RasterTriangleSweepTest, TrianglesEqualTheReference) {
    const SourceShape shape = GetParam();
    std::mt19937 random(static_cast<uint32_t>(1000 + shape.colorType * 7 + shape.paletteFlag * 3 + shape.alphaFlag));
    int failures = 0;
    int changed = 0;  // draws that changed a pixel
    for (int trial = 0; trial < 1200 && failures < 5; ++trial) {
        Images im = MakeImages(shape.colorType, &shape, random);
        const MEMIMG* d = im.actual->get();
        const ReferenceSettings s = RandomSettings(d->width, d->height, random);
        int vertices[12];
        for (int i = 0; i < 3; ++i) {
            vertices[4 * i] = Around(d->width, random);
            vertices[4 * i + 1] = Around(d->height, random);
            // Mostly inside the source, sometimes past it.
            const bool inside = random() % 4 != 0;
            vertices[4 * i + 2] = inside ? Random(random, 0, im.source->width) : Around(im.source->width, random);
            vertices[4 * i + 3] = inside ? Random(random, 0, im.source->height) : Around(im.source->height, random);
        }
        const int flag = static_cast<int>(random() % 3);
        UseReference(s);
        const std::vector<uint32_t> before = TestPixels(im.actual->get());
        RasterTriangleMemImg(im.actual->get(), im.source, vertices, flag, im.mask, 0, CurrentDrawSettings);
        ReferenceTriangle(im.expected->get(), im.source, vertices, flag, im.mask, 0, s);
        if (TestPixels(im.actual->get()) != before) ++changed;
        if (TestPixels(im.actual->get()) != TestPixels(im.expected->get())) {
            ++failures;
            ADD_FAILURE() << "trial " << trial << ": " << Describe(s, flag, im.mask != nullptr) << " vertices "
                          << vertices[0] << "," << vertices[1] << "," << vertices[2] << "," << vertices[3] << " / "
                          << vertices[4] << "," << vertices[5] << "," << vertices[6] << "," << vertices[7] << " / "
                          << vertices[8] << "," << vertices[9] << "," << vertices[10] << "," << vertices[11];
        }
    }
    // The sweep is worth something only when most draws draw.
    EXPECT_GT(changed, 400) << changed;
}

TEST_P(RasterTriangleSweepTest, QuadsEqualTheReference) {
    const SourceShape shape = GetParam();
    std::mt19937 random(static_cast<uint32_t>(2000 + shape.colorType * 7 + shape.paletteFlag * 3 + shape.alphaFlag));
    int failures = 0;
    int changed = 0;  // draws that changed a pixel
    for (int trial = 0; trial < 800 && failures < 5; ++trial) {
        Images im = MakeImages(shape.colorType, &shape, random);
        const MEMIMG* d = im.actual->get();
        const ReferenceSettings s = RandomSettings(d->width, d->height, random);
        int corners[8];
        if (random() % 2 == 0) {
            // Near a rectangle of about the source's size, perhaps mirrored.
            const int x = Around(d->width, random), y = Around(d->height, random);
            const int w = im.source->width * (random() % 4 == 0 ? -1 : 1) + Random(random, -2, 2);
            const int h = im.source->height * (random() % 4 == 0 ? -1 : 1) + Random(random, -2, 2);
            const int base[8] = {x, y, x + w, y, x, y + h, x + w, y + h};
            for (int i = 0; i < 8; ++i) corners[i] = base[i] + Random(random, -2, 2);
        } else {
            for (int i = 0; i < 4; ++i) {
                corners[2 * i] = Around(d->width, random);
                corners[2 * i + 1] = Around(d->height, random);
            }
        }
        const int flag = static_cast<int>(random() % 3);
        UseReference(s);
        const std::vector<uint32_t> before = TestPixels(im.actual->get());
        RasterQuadMemImg(im.actual->get(), im.source, corners, flag, im.mask, CurrentDrawSettings);
        ReferenceQuad(im.expected->get(), im.source, corners, flag, im.mask, s);
        if (TestPixels(im.actual->get()) != before) ++changed;
        if (TestPixels(im.actual->get()) != TestPixels(im.expected->get())) {
            ++failures;
            ADD_FAILURE() << "trial " << trial << ": " << Describe(s, flag, im.mask != nullptr) << " corners "
                          << corners[0] << "," << corners[1] << " " << corners[2] << "," << corners[3] << " "
                          << corners[4] << "," << corners[5] << " " << corners[6] << "," << corners[7];
        }
    }
    EXPECT_GT(changed, 250) << changed;
}

INSTANTIATE_TEST_SUITE_P(AllSources, RasterTriangleSweepTest, AllSourceShapes(), ShapeName);

class SolidTriangleSweepTest : public ::testing::TestWithParam<int> {
private:
    DrawStateGuard guard_;
};

TEST_P(SolidTriangleSweepTest, SolidTrianglesEqualTheReference) {
    const int destType = GetParam();
    std::mt19937 random(static_cast<uint32_t>(3000 + destType));
    int failures = 0;
    int changed = 0;  // draws that changed a pixel
    for (int trial = 0; trial < 800 && failures < 5; ++trial) {
        Images im = MakeImages(destType, nullptr, random);
        const MEMIMG* d = im.actual->get();
        const ReferenceSettings s = RandomSettings(d->width, d->height, random);
        int vertices[12];
        for (int i = 0; i < 3; ++i) {
            vertices[4 * i] = Around(d->width, random);
            vertices[4 * i + 1] = Around(d->height, random);
            // Not read for a solid triangle, even out of range.
            vertices[4 * i + 2] = static_cast<int>(random());
            vertices[4 * i + 3] = static_cast<int>(random());
        }
        // Bits above the 5-6-5 colour are ignored for a 16-bit destination.
        const int colour = static_cast<int>(random());
        UseReference(s);
        const std::vector<uint32_t> before = TestPixels(im.actual->get());
        RasterTriangleMemImg(im.actual->get(), nullptr, vertices, 1, nullptr, colour, CurrentDrawSettings);
        ReferenceTriangle(im.expected->get(), nullptr, vertices, 1, nullptr, colour, s);
        if (TestPixels(im.actual->get()) != before) ++changed;
        if (TestPixels(im.actual->get()) != TestPixels(im.expected->get())) {
            ++failures;
            ADD_FAILURE() << "trial " << trial << ": " << Describe(s, 0, false) << " colour " << colour;
        }
    }
    EXPECT_GT(changed, 300) << changed;
}

INSTANTIATE_TEST_SUITE_P(BothDepths, SolidTriangleSweepTest, ::testing::Values(kMemImgColor565, kMemImgColor32),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == kMemImgColor565 ? "Color16" : "Color32");
                         });

// The four-corner draw on the paths with vector steps of their own, on rows
// wide enough for them: a rectangle of the source's size (a row of the source
// texel after texel), turned, grown and sheared quads; keyed and
// alpha-weighted copies and saturating adds; with the loops of each vector
// width.
TEST(RasterQuadWideSpansTest, TheVectorStepsEqualTheReference) {
    struct Case {
        int colorType, alphaFlag, mode, param;
        bool mmx;
    };
    const Case cases[] = {{kMemImgColor32, 0, 0, 0, false}, {kMemImgColor565, 0, 0, 0, false},
                          {kMemImgColor32, 1, 0, 0, false}, {kMemImgColor565, 1, 0, 0, false},
                          {kMemImgColor32, 0, 2, 255, true}, {kMemImgColor565, 0, 2, 255, false}};
    DrawStateGuard guard;
    ForEachSimdLevel([&] {
        std::mt19937 random(92);
        for (const Case& c : cases) {
            for (int shape = 0; shape < 4; ++shape) {
                const int w = Random(random, 20, 60), h = Random(random, 10, 40);
                const uint32_t key = c.colorType == kMemImgColor565 ? random() & 0xFFFF : random();
                auto source = MakeTestImage(w, h, c.colorType, 0, c.alphaFlag, key);
                FillRandom(source->get(), random);
                auto actual = MakeTestImage(100, 80, c.colorType);
                FillRandom(actual->get(), random);
                auto expected = MakeTestImage(100, 80, c.colorType);
                CopyTestPixels(expected->get(), actual->get());
                int x = Random(random, 2, 20);
                const int y = Random(random, 2, 20);
                // The right and the down edge of the quad.
                int rx = w, ry = 0, dx = 0, dy = h;
                if (shape == 1) rx = w + w / 3, dy = h + h / 2;                      // grown
                if (shape == 2) rx = w * 4 / 5, ry = w * 3 / 5, dx = -h * 3 / 5, dy = h * 4 / 5;  // turned
                if (shape == 3) dx = h / 2;                                          // sheared
                if (shape == 2) x += h;
                const int corners[8] = {x, y, x + rx, y + ry, x + dx, y + dy, x + rx + dx, y + ry + dy};
                ReferenceSettings s;
                s.blendMode = c.mode;
                s.blendParam = c.param;
                s.mmx = c.mmx;
                s.drawArea = RECT{0, 0, 100, 80};
                UseReferenceSettings(s);
                const int flag = Random(random, 0, 1);
                RasterQuadMemImg(actual->get(), source->get(), corners, flag, nullptr, CurrentDrawSettings);
                ReferenceQuad(expected->get(), source->get(), corners, flag, nullptr, s);
                ASSERT_EQ(TestPixels(actual->get()), TestPixels(expected->get()))
                    << "type " << c.colorType << " alpha " << c.alphaFlag << " mode " << c.mode << " shape " << shape
                    << " flag " << flag << " source " << w << "x" << h;
            }
        }
    });
}

}  // namespace
