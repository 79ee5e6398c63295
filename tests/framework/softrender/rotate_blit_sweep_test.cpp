// The rotated blit against its literal reference on random images: every
// depth and source kind, every blend mode, random parameters, bright colours,
// blend graphics, transparency flags, draw areas, sources that are views,
// angles, scales (also negative, tiny and huge), centres (also far away) and
// mirrored draws.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "framework/softrender/blend_tables.h"
#include "framework/softrender/rotate_blit.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"
#include "tests/support/reference_raster.h"

namespace {

using namespace blittest;

int Random(std::mt19937& random, int low, int high) {
    return low + static_cast<int>(random() % static_cast<uint32_t>(high - low + 1));
}

float RandomFloat(std::mt19937& random, float low, float high) {
    return low + (high - low) * static_cast<float>(random() % 1000001) / 1000000.0f;
}

uint32_t RandomTransparentColor(const SourceShape& s, std::mt19937& random) {
    if (s.paletteFlag) return random() % 8 == 0 ? 0x100 + random() % 256 : random() % 256;
    if (s.colorType == kMemImgColor565) return random() % 8 == 0 ? 0x10000 | (random() & 0xFFFF) : random() & 0xFFFF;
    return random();
}

class RotateBlitSweepTest : public SweepTest {};

TEST_P(RotateBlitSweepTest, RandomDrawsEqualTheReference) {
    const SourceShape shape = GetParam();
    std::mt19937 random(static_cast<uint32_t>(4000 + shape.colorType * 7 + shape.paletteFlag * 3 + shape.alphaFlag));
    static const int kModes[] = {0, 1, 2, 3, 4, 10, 11, 0, 1, 2, 3, 4, 10, 11, 0, 1, 2, 3, 4, 10, 11, 6, 13, -2};
    int failures = 0;
    int changed = 0;
    for (int trial = 0; trial < 1500 && failures < 5; ++trial) {
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

        const int dw = Random(random, 1, 64), dh = Random(random, 1, 64);
        auto actual = MakeTestImage(dw, dh, shape.colorType);
        auto expected = MakeTestImage(dw, dh, shape.colorType);
        FillRandom(actual->get(), random);
        CopyTestPixels(expected->get(), actual->get());
        if (random() % 2 == 0) {
            s.drawArea = RECT{0, 0, dw, dh};
        } else {
            const int left = Random(random, -4, dw), top = Random(random, -4, dh);
            s.drawArea = RECT{left, top, left + Random(random, -1, dw + 4), top + Random(random, -1, dh + 4)};
        }

        const int w = Random(random, 1, 48), h = Random(random, 1, 48);
        const bool asView = random() % 3 == 0;
        const int vx = asView ? Random(random, 0, 3) : 0, vy = asView ? Random(random, 0, 3) : 0;
        auto whole = MakeTestImage(w + vx + (asView ? 1 : 0), h + vy + (asView ? 2 : 0), shape.colorType,
                                   shape.paletteFlag, shape.alphaFlag, RandomTransparentColor(shape, random));
        FillRandom(whole->get(), random);
        if (shape.paletteFlag && random() % 2 == 0) whole->base()->paletteColorCount = Random(random, 0, 300);
        auto view = MakeTestView(whole->get(), vx, vy, w, h);
        const MEMIMG* source = asView ? view->get() : whole->get();
        std::unique_ptr<TestImage> graphic;
        if (random() % 2 == 0) {
            graphic = MakeTestImage(w + Random(random, 0, 2), h + Random(random, 0, 2), kMemImgSingle8);
            FillRandom(graphic->get(), random);
        }

        float angle;
        switch (random() % 4) {
        case 0: angle = static_cast<float>(M_PI / 2) * static_cast<float>(Random(random, -4, 4)); break;
        default: angle = RandomFloat(random, -7.0f, 7.0f); break;
        }
        float scale;
        switch (random() % 10) {
        case 0: scale = 1.0f; break;
        case 1: scale = random() % 2 ? 1e-4f : 3e4f; break;
        case 2: scale = -RandomFloat(random, 0.3f, 3.0f); break;
        case 3: scale = RandomFloat(random, 3.0f, 12.0f); break;
        default: scale = RandomFloat(random, 0.3f, 3.0f); break;
        }
        const bool near = random() % 3 != 0;
        int cx = near ? Random(random, 0, dw - 1) : Random(random, -w, dw + w);
        int cy = near ? Random(random, 0, dh - 1) : Random(random, -h, dh + h);
        if (random() % 16 == 0) cx = static_cast<int>(random());
        const int flag = static_cast<int>(random() % 3);
        const int mirror = random() % 5 == 0 ? 1 : 0;
        const MEMIMG* mask = graphic ? graphic->get() : nullptr;

        BuildParamTable(s.borderParam, s.borderRange);
        UseReferenceSettings(s);
        const std::vector<uint32_t> before = TestPixels(actual->get());
        RotateBlitMemImg(actual->get(), source, cx, cy, angle, scale, flag, mirror, mask, CurrentDrawSettings);
        ReferenceRotateBlit(expected->get(), source, cx, cy, angle, scale, flag, mirror, mask, s);
        if (TestPixels(actual->get()) != before) ++changed;
        if (TestPixels(actual->get()) != TestPixels(expected->get())) {
            ++failures;
            char text[300];
            std::snprintf(text, sizeof text,
                          "trial %d: mode %d p %d bright %08X flag %d graphic %d mirror %d source %dx%d view %d "
                          "centre (%d, %d) angle %.9g scale %.9g area (%d, %d, %d, %d)",
                          trial, s.blendMode, s.blendParam, s.brightColor, flag, mask != nullptr, mirror, w, h,
                          asView, cx, cy, angle, scale, static_cast<int>(s.drawArea.left),
                          static_cast<int>(s.drawArea.top), static_cast<int>(s.drawArea.right),
                          static_cast<int>(s.drawArea.bottom));
            ADD_FAILURE() << text;
        }
    }
    // The sweep is worth something only when most draws draw.
    EXPECT_GT(changed, 500) << changed;
}

INSTANTIATE_TEST_SUITE_P(AllSources, RotateBlitSweepTest, AllSourceShapes(), ShapeName);

// The paths with vector steps of their own, on rows wide enough for them:
// turned by right angles (a row of the source texel after texel, or a
// column), by other angles, grown; keyed and alpha-weighted copies and
// saturating adds; with the loops of each vector width.
TEST(RotateBlitWideSpansTest, TheVectorStepsEqualTheReference) {
    struct Case {
        int colorType, alphaFlag, mode, param;
        bool mmx;
    };
    const Case cases[] = {{kMemImgColor32, 0, 0, 0, false}, {kMemImgColor565, 0, 0, 0, false},
                          {kMemImgColor32, 1, 0, 0, false}, {kMemImgColor565, 1, 0, 0, false},
                          {kMemImgColor32, 0, 2, 255, true}, {kMemImgColor565, 0, 2, 255, false}};
    const float angles[] = {0.0f, static_cast<float>(M_PI / 2), static_cast<float>(M_PI), 0.5236f, -1.1f};
    DrawStateGuard guard;
    ForEachSimdLevel([&] {
        std::mt19937 random(91);
        for (const Case& c : cases) {
            for (const float angle : angles) {
                for (const float scale : {1.0f, 1.37f}) {
                    const int w = Random(random, 20, 60), h = Random(random, 10, 40);
                    const uint32_t key = c.colorType == kMemImgColor565 ? random() & 0xFFFF : random();
                    auto source = MakeTestImage(w, h, c.colorType, 0, c.alphaFlag, key);
                    FillRandom(source->get(), random);
                    auto actual = MakeTestImage(90, 70, c.colorType);
                    FillRandom(actual->get(), random);
                    auto expected = MakeTestImage(90, 70, c.colorType);
                    CopyTestPixels(expected->get(), actual->get());
                    ReferenceSettings s;
                    s.blendMode = c.mode;
                    s.blendParam = c.param;
                    s.mmx = c.mmx;
                    s.drawArea = RECT{0, 0, 90, 70};
                    UseReferenceSettings(s);
                    const int cx = Random(random, 20, 70), cy = Random(random, 15, 55);
                    const int flag = Random(random, 0, 1);
                    RotateBlitMemImg(actual->get(), source->get(), cx, cy, angle, scale, flag, 0, nullptr,
                                     CurrentDrawSettings);
                    ReferenceRotateBlit(expected->get(), source->get(), cx, cy, angle, scale, flag, 0, nullptr, s);
                    ASSERT_EQ(TestPixels(actual->get()), TestPixels(expected->get()))
                        << "type " << c.colorType << " alpha " << c.alphaFlag << " mode " << c.mode << " angle "
                        << angle << " scale " << scale << " flag " << flag << " source " << w << "x" << h;
                }
            }
        }
    });
}

}  // namespace
