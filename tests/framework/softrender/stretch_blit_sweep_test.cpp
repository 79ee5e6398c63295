// The stretched blit against its literal reference on small random images:
// every depth, source kind, blend mode, parameter case, blend image,
// brightening and transparency flag, with rectangles that grow, shrink,
// mirror, keep the source's size and cross the draw area's edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <random>
#include <string>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/stretch_blit.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"

namespace {

using namespace blittest;

class StretchBlitSweepTest : public SweepTest {};

int Below(std::mt19937& random, int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); }

// A rectangle for a width x height source: its own size (plain or mirrored),
// larger, smaller (often by a whole factor, where the advance rules part) or
// unrelated, anywhere around the destination.
RECT RandomRect(int width, int height, int destWidth, int destHeight, std::mt19937& random) {
    int w, h;
    switch (Below(random, 5)) {
    case 0: w = width, h = height; break;
    case 1: w = width * (1 + Below(random, 3)) + Below(random, 3), h = height * (1 + Below(random, 3)); break;
    case 2: w = 1 + Below(random, width), h = 1 + Below(random, height); break;
    case 3: w = std::max(1, width / (2 + Below(random, 2))), h = std::max(1, height / (1 + Below(random, 3))); break;
    default: w = 1 + Below(random, 2 * destWidth), h = 1 + Below(random, 2 * destHeight); break;
    }
    const int left = Below(random, destWidth + w) - w + Below(random, 3);
    const int top = Below(random, destHeight + h) - h + Below(random, 3);
    RECT rect{left, top, left + w, top + h};
    if (Below(random, 3) == 0) std::swap(rect.left, rect.right);
    if (Below(random, 3) == 0) std::swap(rect.top, rect.bottom);
    return rect;
}

TEST_P(StretchBlitSweepTest, EveryPathEqualsTheReference) {
    const SourceShape shape = GetParam();
    const int modes[] = {0, 1, 2, 3, 4, 10, 11, 7, 12};
    std::mt19937 random(static_cast<uint32_t>(100 + shape.colorType * 7 + shape.paletteFlag * 3 + shape.alphaFlag));
    int failures = 0;
    for (const int mode : modes) {
        for (const int param : {0, 128, 255, -1}) {
            for (const bool withImage : {false, true}) {
                for (const bool bright : {false, true}) {
                    for (const int flag : {0, 1, 2}) {
                        for (int trial = 0; trial < 3 && failures < 5; ++trial) {
                            ReferenceSettings settings;
                            settings.blendMode = mode;
                            settings.blendParam = param >= 0 ? param : 1 + Below(random, 254);
                            settings.brightColor = bright ? random() & 0xFFFFFF : 0xFFFFFF;
                            settings.borderParam = Below(random, 256);
                            settings.borderRange = Below(random, 256);
                            settings.mmx = random() % 2 == 0;

                            const int destWidth = 12 + Below(random, 9);
                            const int destHeight = 8 + Below(random, 7);
                            auto actual = MakeTestImage(destWidth, destHeight, shape.colorType);
                            auto expected = MakeTestImage(destWidth, destHeight, shape.colorType);
                            FillRandom(actual->get(), random);
                            CopyTestPixels(expected->get(), actual->get());

                            const int width = 1 + Below(random, 12);
                            const int height = 1 + Below(random, 7);
                            auto source = MakeTestImage(width, height, shape.colorType, shape.paletteFlag,
                                                        shape.alphaFlag,
                                                        shape.paletteFlag ? random() % 256
                                                        : shape.colorType == kMemImgColor565 ? random() & 0xFFFF
                                                                                             : random());
                            FillRandom(source->get(), random);
                            if (random() % 4 != 0) MakeRunCodesValid(source->get());

                            std::unique_ptr<TestImage> image;
                            if (withImage) {
                                image = MakeTestImage(width + Below(random, 3), height + Below(random, 3),
                                                      kMemImgSingle8);
                                FillRandom(image->get(), random);
                            }
                            const RECT rect = RandomRect(width, height, destWidth, destHeight, random);
                            settings.drawArea = RECT{0, 0, destWidth, destHeight};
                            if (random() % 2 == 0) {
                                const int left = Below(random, destWidth), top = Below(random, destHeight);
                                settings.drawArea = RECT{left, top, left + 1 + Below(random, destWidth - left),
                                                         top + 1 + Below(random, destHeight - top)};
                            }

                            BuildParamTable(settings.borderParam, settings.borderRange);
                            UseReferenceSettings(settings);
                            const MEMIMG* mask = image ? image->get() : nullptr;
                            StretchBlitMemImg(actual->get(), source->get(), &rect, flag, mask, CurrentDrawSettings);
                            ReferenceStretchBlit(expected->get(), source->get(), rect, flag, mask, settings);

                            if (TestPixels(actual->get()) != TestPixels(expected->get())) {
                                ++failures;
                                char text[256];
                                std::snprintf(text, sizeof text,
                                              "mode %d p %d bright %06X image %d flag %d mmx %d source %dx%d "
                                              "rect (%d, %d, %d, %d) area (%d, %d, %d, %d)",
                                              mode, settings.blendParam, settings.brightColor, withImage, flag,
                                              settings.mmx, width, height, static_cast<int>(rect.left),
                                              static_cast<int>(rect.top), static_cast<int>(rect.right),
                                              static_cast<int>(rect.bottom), static_cast<int>(settings.drawArea.left),
                                              static_cast<int>(settings.drawArea.top),
                                              static_cast<int>(settings.drawArea.right),
                                              static_cast<int>(settings.drawArea.bottom));
                                ADD_FAILURE() << text;
                            }
                        }
                    }
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllSources, StretchBlitSweepTest,
                         AllSourceShapes(),
                         ShapeName);

}  // namespace

namespace {

// The paths whose rows go through loops of their own, on rows wide enough for
// those loops, grown, shrunk and mirrored, with the loops of each vector width.
TEST(StretchBlitWideRowsTest, TheFastLoopsEqualTheReference) {
    struct Case {
        int colorType, paletteFlag, alphaFlag;
        int mode, param;
        bool mmx;
    };
    const Case cases[] = {
        {1, 0, 0, 0, 0, false},   {0, 0, 0, 0, 0, false},  {1, 0, 1, 0, 0, false}, {0, 0, 1, 0, 0, false},
        {1, 0, 0, 2, 255, true},  {1, 0, 0, 2, 255, false}, {0, 0, 0, 2, 255, false}, {1, 0, 0, 3, 255, true},
        {0, 0, 0, 3, 255, false}, {1, 1, 0, 0, 0, false},  {0, 1, 0, 1, 128, false}, {1, 0, 0, 2, 200, false},
    };
    DrawStateGuard guard;
    ForEachSimdLevel([&] {
        std::mt19937 random(31);
        for (const Case& c : cases) {
            for (int trial = 0; trial < 16; ++trial) {
                const int width = 1 + Below(random, 30);
                const int height = 1 + Below(random, 4);
                const uint32_t key = c.paletteFlag ? random() % 256 : c.colorType == kMemImgColor565 ? random() & 0xFFFF : random();
                auto source = MakeTestImage(width, height, c.colorType, c.paletteFlag, c.alphaFlag, key);
                FillRandom(source->get(), random);
                auto actual = MakeTestImage(70, 9, c.colorType);
                FillRandom(actual->get(), random);
                auto expected = MakeTestImage(70, 9, c.colorType);
                CopyTestPixels(expected->get(), actual->get());
                const int left = Below(random, 10) - 4;
                RECT rect{left, Below(random, 3), left + 1 + Below(random, 66), 2 + Below(random, 8)};
                if (Below(random, 2) == 0) std::swap(rect.left, rect.right);
                const int flag = Below(random, 3);
                ReferenceSettings settings;
                settings.blendMode = c.mode;
                settings.blendParam = c.param;
                settings.drawArea = RECT{0, 0, 70, 9};
                settings.mmx = c.mmx;
                UseReferenceSettings(settings);
                StretchBlitMemImg(actual->get(), source->get(), &rect, flag, nullptr, CurrentDrawSettings);
                ReferenceStretchBlit(expected->get(), source->get(), rect, flag, nullptr, settings);
                ASSERT_EQ(TestPixels(actual->get()), TestPixels(expected->get()))
                    << "type " << c.colorType << " palette " << c.paletteFlag << " alpha " << c.alphaFlag << " mode "
                    << c.mode << " p " << c.param << " mmx " << c.mmx << " flag " << flag << " source " << width << "x"
                    << height << " rect " << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
            }
        }
    });
}

}  // namespace
