// The filled box's rectangle: corners in either order, the clip to the draw
// area and to the image, the plain fill's row stores at odd widths, and the
// destinations and settings that draw nothing.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

#include "blit_test_support.h"
#include "framework/softrender/fill_box.h"
#include "tests/support/reference_blit.h"

namespace {

class FillBoxTest : public blittest::SoftwareDrawTest {
protected:
    static void Fill(MEMIMG* image, uint32_t value) {
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) WriteTestPixel(image, x, y, value);
    }
    // Every pixel is `inside` within `filled` and `outside` elsewhere.
    static void ExpectFilled(const MEMIMG* image, const RECT& filled, uint32_t inside, uint32_t outside) {
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) {
                const bool in = x >= filled.left && x < filled.right && y >= filled.top && y < filled.bottom;
                ASSERT_EQ(ReadTestPixel(image, x, y), in ? inside : outside) << x << "," << y;
            }
    }
};

TEST_F(FillBoxTest, FillsBetweenItsCornersClippedToTheDrawAreaAndTheImage) {
    constexpr RECT kWholeArea{0, 0, 11, 7};
    constexpr RECT kNothing{0, 0, 0, 0};
    struct Case {
        const char* name;
        std::optional<RECT> rect;  // none: a null rectangle
        RECT area;
        RECT filled;
    };
    const Case cases[] = {
        {"corners in order", RECT{2, 1, 7, 5}, kWholeArea, {2, 1, 7, 5}},
        {"corners reversed", RECT{7, 5, 2, 1}, kWholeArea, {2, 1, 7, 5}},
        {"corners mixed", RECT{7, 1, 2, 5}, kWholeArea, {2, 1, 7, 5}},
        {"x1 = x2", RECT{4, 1, 4, 5}, kWholeArea, kNothing},
        {"y1 = y2", RECT{2, 3, 7, 3}, kWholeArea, kNothing},
        {"no rectangle: the whole image", std::nullopt, kWholeArea, kWholeArea},
        {"the last pixel of the image", RECT{10, 6, 11, 7}, kWholeArea, {10, 6, 11, 7}},
        {"an odd width ending at the image's edge", RECT{8, 0, 11, 7}, kWholeArea, {8, 0, 11, 7}},
        {"partly outside the draw area", RECT{0, 0, 11, 7}, {3, 2, 10, 6}, {3, 2, 10, 6}},
        {"right of the draw area", RECT{10, 2, 11, 5}, {3, 2, 10, 6}, kNothing},
        {"above and left of the draw area", RECT{-5, -5, 2, 1}, {3, 2, 10, 6}, kNothing},
        {"a draw area larger than the image", RECT{-3, -3, 20, 20}, {-100, -100, 1000, 1000}, kWholeArea},
        {"a draw area beside the image", RECT{0, 0, 30, 7}, {11, 0, 30, 7}, kNothing},
        {"corners at the int limits", RECT{INT_MIN, INT_MAX, INT_MAX, INT_MIN}, kWholeArea, kWholeArea},
    };
    for (const int colorType : {kMemImgColor565, kMemImgColor32}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.name << ", colour type " << colorType);
            // Pixels in a block of exactly the image's size, so a store past it is caught.
            std::vector<uint8_t> memory;
            auto image = MakeTestImage(11, 7, colorType, 0, 0, 0, &memory);
            Fill(image->get(), 0x1111);
            UseSettings(0, 0, c.area);
            const uint32_t color = colorType == kMemImgColor565 ? 0xF81F : 0xFFF800F8;
            FillBoxMemImg(image->get(), c.rect ? &*c.rect : nullptr, color, CurrentDrawSettings);
            ExpectFilled(image->get(), c.filled, color, 0x1111);
        }
    }
}

TEST_F(FillBoxTest, AViewIsFilledOnlyWithinItself) {
    auto parent = MakeTestImage(12, 8, kMemImgColor32);
    auto view = MakeTestView(parent->get(), 3, 2, 5, 4);
    UseSettings(1, 128, RECT{0, 0, 12, 8});
    const RECT beyond{-2, -2, 10, 10};
    FillBoxMemImg(view->get(), &beyond, 0x00FEFEFE, CurrentDrawSettings);
    ExpectFilled(parent->get(), RECT{3, 2, 8, 6}, 0x007F7F7F, 0);
}

TEST_F(FillBoxTest, RefusedDrawsChangeNothing) {
    struct Case {
        const char* name;
        int colorType, paletteFlag, alphaFlag;
        int mode, param;
    };
    const Case cases[] = {
        {"16-bit paletted destination", kMemImgColor565, 1, 0, 0, 255},
        {"32-bit paletted destination", kMemImgColor32, 1, 0, 0, 255},
        {"16-bit destination with alpha", kMemImgColor565, 0, 1, 0, 255},
        {"32-bit destination with alpha", kMemImgColor32, 0, 1, 0, 255},
        {"single-channel destination", kMemImgSingle8, 0, 0, 0, 255},
        {"mode 5", kMemImgColor32, 0, 0, 5, 255},
        {"mode 9", kMemImgColor565, 0, 0, 9, 255},
        {"mode 12", kMemImgColor32, 0, 0, 12, 255},
        {"mode -1", kMemImgColor32, 0, 0, -1, 255},
        {"mode 1 at parameter 0", kMemImgColor565, 0, 0, 1, 0},
        {"mode 2 at parameter 0", kMemImgColor32, 0, 0, 2, 0},
        {"mode 3 at parameter 0", kMemImgColor565, 0, 0, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> memory;
        auto image = MakeTestImage(6, 4, c.colorType, c.paletteFlag, c.alphaFlag, 0, &memory);
        Fill(image->get(), 0x42);
        const std::vector<uint8_t> before = memory;
        UseSettings(c.mode, c.param, RECT{0, 0, 6, 4});
        FillBoxMemImg(image->get(), nullptr, 0x00ABCDEF, CurrentDrawSettings);
        EXPECT_EQ(memory, before);
    }
    // A record that was never set up.
    MEMIMG unset{};
    UseSettings(0, 0, RECT{0, 0, 6, 4});
    FillBoxMemImg(&unset, nullptr, 0, CurrentDrawSettings);
    FillBoxMemImg(nullptr, nullptr, 0, CurrentDrawSettings);
}

}  // namespace
