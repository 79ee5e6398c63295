// Filling rectangles of memory images and copying between them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/graphics/image/pixel_format.h"
#include "framework/softrender/memimg.h"
#include "tests/support/test_support.h"

namespace {

// The pixel value at (x, y) of a view, by the format's pixel size.
uint32_t PixelAt(const MEMIMG& image, int x, int y) {
    const int bytes = image.base->format->bytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, image.pixels + y * image.base->pitch + x * bytes, static_cast<size_t>(bytes));
    return value;
}

class MemImgFillCopyTest : public testsupport::PlatformTest {
protected:
    void TearDown() override {
        for (MEMIMG* image : {&a_, &b_, &view_}) FreeMemImg(image);
        testsupport::PlatformTest::TearDown();
    }
    // A 6 x 4 image of the colour type, every byte 0.
    void Make(MEMIMG* image, int colorType, int paletteFlag = 0, int width = 6, int height = 4) {
        ASSERT_EQ(SetUpMemImg(image, width, height, -1, 0, colorType, paletteFlag, 0, 0, nullptr), 0);
        std::memset(image->pixels, 0, static_cast<size_t>(image->base->pitch) * height);
    }
    // The pixels of the image as a grid of rows, for comparing whole images.
    static std::vector<std::vector<uint32_t>> Grid(const MEMIMG& image) {
        std::vector<std::vector<uint32_t>> grid(static_cast<size_t>(image.height));
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) grid[static_cast<size_t>(y)].push_back(PixelAt(image, x, y));
        }
        return grid;
    }
    MEMIMG a_{};
    MEMIMG b_{};
    MEMIMG view_{};
};

TEST_F(MemImgFillCopyTest, FillsTheRectangleClippedToTheImage) {
    struct Case {
        bool whole;
        RECT rect;
        int left, top, right, bottom;  // the pixels expected to change
    } const cases[] = {
        {true, {}, 0, 0, 6, 4},
        {false, {1, 1, 3, 2}, 1, 1, 3, 2},
        {false, {-5, 2, 2, 99}, 0, 2, 2, 4},
        {false, {7, 0, 9, 4}, 0, 0, 0, 0},     // wholly outside
        {false, {4, 3, 2, 1}, 0, 0, 0, 0},     // inverted
        {false, {2, 2, 2, 4}, 0, 0, 0, 0},     // empty
    };
    struct Type {
        int colorType, paletteFlag;
        uint32_t color, written;
    } const types[] = {{0, 0, 0x12345678, 0x5678}, {1, 0, 0x12345678, 0x12345678}, {1, 1, 0x1234, 0x34}};
    for (const Type& t : types) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "type " << t.colorType << " palette " << t.paletteFlag
                                            << " rect " << c.rect.left << "," << c.rect.top << ","
                                            << c.rect.right << "," << c.rect.bottom);
            MEMIMG image{};
            Make(&image, t.colorType, t.paletteFlag);
            FillMemImgRect(&image, c.whole ? nullptr : &c.rect, t.color);
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 6; ++x) {
                    const bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                    EXPECT_EQ(PixelAt(image, x, y), inside ? t.written : 0u) << x << "," << y;
                }
            }
            FreeMemImg(&image);
        }
    }
}

TEST_F(MemImgFillCopyTest, FillingAViewStaysInsideTheView) {
    Make(&a_, 1);
    MakeSubMemImg(&view_, &a_, 2, 1, 3, 2);
    const RECT rect = {-1, -1, 10, 10};
    FillMemImgRect(&view_, &rect, 0xFFFFFFFF);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(PixelAt(a_, x, y), inside ? 0xFFFFFFFFu : 0u) << x << "," << y;
        }
    }
}

TEST_F(MemImgFillCopyTest, CopiesConvertingBetweenColourTypes) {
    Make(&a_, 0);
    Make(&b_, 1);
    FillMemImgRect(&a_, nullptr, 0xFFFF);
    const RECT red = {1, 1, 3, 2};
    FillMemImgRect(&a_, &red, 0xF800);
    EXPECT_EQ(CopyMemImgRect(&b_, &a_, nullptr, 0, 0), 0);
    // 5-6-5 to 32-bit shifts the channels up and leaves byte 3 at 0.
    EXPECT_EQ(PixelAt(b_, 0, 0), 0x00F8FCF8u);
    EXPECT_EQ(PixelAt(b_, 1, 1), 0x00F80000u);
    EXPECT_EQ(PixelAt(b_, 2, 1), 0x00F80000u);
    EXPECT_EQ(PixelAt(b_, 5, 3), 0x00F8FCF8u);
}

TEST_F(MemImgFillCopyTest, CopiesARectangleToAPosition) {
    Make(&a_, 1);
    Make(&b_, 1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const uint32_t value = static_cast<uint32_t>(y * 16 + x);
            std::memcpy(a_.pixels + y * a_.base->pitch + x * 4, &value, 4);
        }
    }
    const RECT rect = {1, 2, 4, 4};
    EXPECT_EQ(CopyMemImgRect(&b_, &a_, &rect, 3, 0), 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 3 && y < 2;
            EXPECT_EQ(PixelAt(b_, x, y), inside ? static_cast<uint32_t>((y + 2) * 16 + (x - 2)) : 0u)
                << x << "," << y;
        }
    }
}

TEST_F(MemImgFillCopyTest, RefusesRectanglesOutsideEitherImageAndWritesNothing) {
    Make(&a_, 1);
    Make(&b_, 1);
    FillMemImgRect(&a_, nullptr, 0x01010101);
    struct Case {
        RECT rect;
        int x, y;
    } const cases[] = {
        {{0, 0, 7, 4}, 0, 0}, {{-1, 0, 2, 2}, 0, 0}, {{0, 0, 2, 5}, 0, 0}, {{0, 0, 2, 2}, 5, 0},
        {{0, 0, 2, 2}, 0, 3}, {{0, 0, 2, 2}, -1, 0}, {{0, 0, 0, 2}, 0, 0}, {{3, 3, 2, 4}, 0, 0},
    };
    const auto before = Grid(b_);
    for (const Case& c : cases) {
        EXPECT_EQ(CopyMemImgRect(&b_, &a_, &c.rect, c.x, c.y), -1)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom << " at "
            << c.x << "," << c.y;
    }
    EXPECT_EQ(Grid(b_), before);
    MEMIMG unset{};
    EXPECT_EQ(CopyMemImgRect(&unset, &a_, nullptr, 0, 0), -1);
}

TEST_F(MemImgFillCopyTest, FillAndCopyLeaveTheWorkBuffersFlagsAlone) {
    ASSERT_EQ(SetUpMemImg(&a_, 4, 4, -1, 0, 1, 0, 1, 1, nullptr), 0);
    Make(&b_, 1, 0, 4, 4);
    a_.base->premultipliedValid = 1;
    a_.base->runCodesValid = 1;
    FillMemImgRect(&a_, nullptr, 0);
    EXPECT_EQ(CopyMemImgRect(&a_, &b_, nullptr, 0, 0), 0);
    EXPECT_EQ(a_.base->premultipliedValid, 1);
    EXPECT_EQ(a_.base->runCodesValid, 1);
}

}  // namespace
