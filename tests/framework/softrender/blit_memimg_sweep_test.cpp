// The blit at a position against its literal reference on small random images:
// every depth, source kind, blend mode, parameter case, blend graphic,
// brightening and transparency flag, with random placement and draw areas,
// sources that are views of larger images, and both processor cases.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <random>
#include <string>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/softrender/blend_tables.h"
#include "framework/softrender/blit_memimg.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"

namespace {

using namespace blittest;

class BlitMemImgSweepTest : public SweepTest {};

uint32_t RandomTransparentColor(const SourceShape& s, std::mt19937& random) {
    if (s.paletteFlag) return random() % 8 == 0 ? 0x100 + random() % 256 : random() % 256;
    if (s.colorType == kMemImgColor565) return random() % 8 == 0 ? 0x10000 | (random() & 0xFFFF) : random() & 0xFFFF;
    return random();
}

RECT RandomArea(int width, int height, std::mt19937& random) {
    if (random() % 2 == 0) return RECT{0, 0, width, height};
    const int left = static_cast<int>(random() % static_cast<uint32_t>(width));
    const int top = static_cast<int>(random() % static_cast<uint32_t>(height));
    return RECT{left, top, left + 1 + static_cast<int>(random() % static_cast<uint32_t>(width - left)),
                top + 1 + static_cast<int>(random() % static_cast<uint32_t>(height - top))};
}

TEST_P(BlitMemImgSweepTest, EveryPathEqualsTheReference) {
    const SourceShape shape = GetParam();
    const int modes[] = {0, 1, 2, 3, 4, 10, 11, 7, 12};
    std::mt19937 random(static_cast<uint32_t>(shape.colorType * 7 + shape.paletteFlag * 3 + shape.alphaFlag));
    int failures = 0;
    for (const int mode : modes) {
        for (const int param : {0, 128, 255, -1}) {
            for (const bool withGraphic : {false, true}) {
                for (const bool bright : {false, true}) {
                    for (const int flag : {0, 1, 2}) {
                        for (int trial = 0; trial < 2 && failures < 5; ++trial) {
                            ReferenceSettings settings;
                            settings.blendMode = mode;
                            settings.blendParam = param >= 0 ? param : 1 + static_cast<int>(random() % 254);
                            settings.brightColor = bright ? random() & 0xFFFFFF : 0xFFFFFF;
                            settings.borderParam = static_cast<int>(random() % 256);
                            settings.borderRange = static_cast<int>(random() % 256);
                            settings.mmx = random() % 2 == 0;

                            const int destWidth = 10 + static_cast<int>(random() % 9);
                            const int destHeight = 6 + static_cast<int>(random() % 7);
                            auto actual = MakeTestImage(destWidth, destHeight, shape.colorType);
                            auto expected = MakeTestImage(destWidth, destHeight, shape.colorType);
                            FillRandom(actual->get(), random);
                            CopyTestPixels(expected->get(), actual->get());

                            // The source: a whole image, or a view of a larger one.
                            const int width = 1 + static_cast<int>(random() % 9);
                            const int height = 1 + static_cast<int>(random() % 6);
                            const bool asView = random() % 3 == 0;
                            const int viewX = asView ? static_cast<int>(random() % 4) : 0;
                            const int viewY = asView ? static_cast<int>(random() % 3) : 0;
                            auto whole = MakeTestImage(width + viewX + (asView ? static_cast<int>(random() % 3) : 0),
                                                       height + viewY + (asView ? 1 : 0), shape.colorType,
                                                       shape.paletteFlag, shape.alphaFlag,
                                                       RandomTransparentColor(shape, random));
                            FillRandom(whole->get(), random);
                            if (random() % 4 != 0) MakeRunCodesValid(whole->get());
                            auto view = MakeTestView(whole->get(), viewX, viewY, width, height);
                            const MEMIMG* source = asView ? view->get() : whole->get();

                            std::unique_ptr<TestImage> graphic;
                            if (withGraphic) {
                                graphic = MakeTestImage(width + static_cast<int>(random() % 3),
                                                        height + static_cast<int>(random() % 3), kMemImgSingle8);
                                FillRandom(graphic->get(), random);
                            }

                            int x, y;
                            if (trial == 0 && width <= destWidth && height <= destHeight) {
                                x = static_cast<int>(random() % static_cast<uint32_t>(destWidth - width + 1));
                                y = static_cast<int>(random() % static_cast<uint32_t>(destHeight - height + 1));
                            } else {
                                x = static_cast<int>(random() % static_cast<uint32_t>(destWidth + width)) - width;
                                y = static_cast<int>(random() % static_cast<uint32_t>(destHeight + height)) - height;
                                settings.drawArea = RandomArea(destWidth, destHeight, random);
                            }
                            if (trial == 0) settings.drawArea = RECT{0, 0, destWidth, destHeight};

                            BuildParamTable(settings.borderParam, settings.borderRange);
                            UseReferenceSettings(settings);
                            const MEMIMG* mask = graphic ? graphic->get() : nullptr;
                            BlitMemImg(actual->get(), source, x, y, flag, mask, CurrentDrawSettings);
                            ReferenceBlit(expected->get(), source, x, y, flag, mask, settings);

                            if (TestPixels(actual->get()) != TestPixels(expected->get())) {
                                ++failures;
                                char text[256];
                                std::snprintf(text, sizeof text,
                                              "mode %d p %d bright %06X graphic %d flag %d mmx %d view %d "
                                              "source %dx%d at (%d, %d) area (%d, %d, %d, %d) key %X",
                                              mode, settings.blendParam, settings.brightColor, withGraphic, flag,
                                              settings.mmx, asView, width, height, x, y,
                                              static_cast<int>(settings.drawArea.left),
                                              static_cast<int>(settings.drawArea.top),
                                              static_cast<int>(settings.drawArea.right),
                                              static_cast<int>(settings.drawArea.bottom),
                                              whole->base()->transparentColor);
                                ADD_FAILURE() << text;
                            }
                        }
                    }
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllSources, BlitMemImgSweepTest,
                         AllSourceShapes(),
                         ShapeName);

}  // namespace

namespace {

using namespace blittest;

// The paths that have loops of their own, on rows wide enough for those loops,
// at every start and length, through the whole-image path and the per-pixel
// path alike, with the loops of each vector width.
TEST(BlitMemImgWideRowsTest, TheFastLoopsEqualTheReference) {
    struct Case {
        int colorType, alphaFlag;
        int mode, param;
        bool mmx;
    };
    const Case cases[] = {
        {1, 0, 0, 0, false},  {0, 0, 0, 0, false},  {1, 1, 0, 0, false},  {0, 1, 0, 0, false},
        {1, 0, 2, 255, true}, {1, 0, 2, 255, false}, {0, 0, 2, 255, false}, {0, 0, 2, 254, false},
        {1, 0, 1, 128, false}, {0, 0, 1, 128, false}, {1, 0, 3, 255, true},  {1, 1, 1, 255, false},
    };
    DrawStateGuard guard;
    ForEachSimdLevel([&] {
        std::mt19937 random(99);
        for (const Case& c : cases) {
            for (int trial = 0; trial < 24; ++trial) {
                // Now and then as wide as the whole-image path of the copies takes.
                const int width = random() % 4 == 0 ? 120 + static_cast<int>(random() % 100)
                                                    : 1 + static_cast<int>(random() % 40);
                const int height = 1 + static_cast<int>(random() % 3);
                const uint32_t key = c.colorType == kMemImgColor565 ? random() & 0xFFFF : random();
                auto source = MakeTestImage(width, height, c.colorType, 0, c.alphaFlag, key);
                FillRandom(source->get(), random);
                MakeRunCodesValid(source->get());
                auto actual = MakeTestImage(230, 5, c.colorType);
                FillRandom(actual->get(), random);
                auto expected = MakeTestImage(230, 5, c.colorType);
                CopyTestPixels(expected->get(), actual->get());
                const int flag = static_cast<int>(random() % 3);
                const int x = static_cast<int>(random() % 12) - 3;
                ReferenceSettings settings;
                settings.blendMode = c.mode;
                settings.blendParam = c.param;
                settings.drawArea = RECT{0, 0, 230, 5};
                settings.mmx = c.mmx;
                UseReferenceSettings(settings);
                BlitMemImg(actual->get(), source->get(), x, 1, flag, nullptr, CurrentDrawSettings);
                ReferenceBlit(expected->get(), source->get(), x, 1, flag, nullptr, settings);
                ASSERT_EQ(TestPixels(actual->get()), TestPixels(expected->get()))
                    << "type " << c.colorType << " alpha " << c.alphaFlag << " mode " << c.mode << " p " << c.param
                    << " mmx " << c.mmx << " flag " << flag << " width " << width << " at " << x;
            }
        }
    });
}

}  // namespace
