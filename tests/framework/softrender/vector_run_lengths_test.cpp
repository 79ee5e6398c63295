// Rows of every length from 1 to 40 pixels through the paths with vector
// loops of their own (the copy, the colour key, alpha, the saturating add),
// drawn at a position, stretched and rotated. The lengths cover rows shorter
// than a step, whole 256-bit steps, and the pixels after them that the wider
// loops hand to the 128-bit ones: one 128-bit step and a last partial one.
// Every kind of loop must give the reference's pixels, and leave the pixels
// past the row alone.
#include <gtest/gtest.h>

#include <random>

#include "framework/softrender/blit_memimg.h"
#include "framework/softrender/rotate_blit.h"
#include "framework/softrender/stretch_blit.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"
#include "tests/support/reference_raster.h"

namespace {

class VectorRunLengthsTest : public blittest::SoftwareDrawTest {};

TEST_F(VectorRunLengthsTest, EveryRowLengthEqualsTheReference) {
    struct Path {
        const char* name;
        int alphaFlag;
        int transparencyFlag;
        int mode;
    };
    const Path paths[] = {
        {"copy", 0, 0, 0},
        {"colour key", 0, 1, 0},
        {"alpha", 1, 1, 0},
        {"saturating add", 0, 0, 2},
    };
    enum class Draw { kAtPosition, kStretched, kRotated };
    constexpr int kDestWidth = 48;
    constexpr int kHeight = 4;
    std::mt19937 random(7);
    blittest::ForEachSimdLevel([&] {
        for (const int colorType : {kMemImgColor565, kMemImgColor32}) {
            for (const Path& path : paths) {
                for (const Draw draw : {Draw::kAtPosition, Draw::kStretched, Draw::kRotated}) {
                    for (int width = 1; width <= 40; ++width) {
                        SCOPED_TRACE(testing::Message() << "type " << colorType << ", " << path.name << ", draw "
                                                        << static_cast<int>(draw) << ", width " << width);
                        const int sourceWidth = draw == Draw::kStretched ? (width * 2 + 2) / 3 : width;
                        const uint32_t key = colorType == kMemImgColor565 ? 0xF81Fu : 0x00FF00FFu;
                        auto source = MakeTestImage(sourceWidth, kHeight, colorType, 0, path.alphaFlag, key);
                        FillRandom(source->get(), random);
                        MakeRunCodesValid(source->get());
                        auto actual = MakeTestImage(kDestWidth, kHeight + 8, colorType);
                        FillRandom(actual->get(), random);
                        auto expected = MakeTestImage(kDestWidth, kHeight + 8, colorType);
                        blittest::CopyTestPixels(expected->get(), actual->get());

                        ReferenceSettings settings;
                        settings.blendMode = path.mode;
                        settings.blendParam = 255;
                        settings.drawArea = RECT{0, 0, kDestWidth, kHeight + 8};
                        blittest::UseReferenceSettings(settings);
                        const int flag = path.transparencyFlag;
                        switch (draw) {
                        case Draw::kAtPosition:
                            BlitMemImg(actual->get(), source->get(), 3, 1, flag, nullptr, CurrentDrawSettings);
                            ReferenceBlit(expected->get(), source->get(), 3, 1, flag, nullptr, settings);
                            break;
                        case Draw::kStretched: {
                            const RECT rect{3, 1, 3 + width, 1 + kHeight * 3 / 2};
                            StretchBlitMemImg(actual->get(), source->get(), &rect, flag, nullptr, CurrentDrawSettings);
                            ReferenceStretchBlit(expected->get(), source->get(), rect, flag, nullptr, settings);
                            break;
                        }
                        case Draw::kRotated:
                            // A slight turn: rows walk across source rows.
                            RotateBlitMemImg(actual->get(), source->get(), 24, 6, 0.05f, 1.0f, flag, 0, nullptr,
                                             CurrentDrawSettings);
                            ReferenceRotateBlit(expected->get(), source->get(), 24, 6, 0.05f, 1.0f, flag, 0, nullptr,
                                                settings);
                            break;
                        }
                        ASSERT_EQ(TestPixels(actual->get()), TestPixels(expected->get()));
                    }
                }
            }
        }
    });
}

}  // namespace
