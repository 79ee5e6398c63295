// Lines and line lists: which pixels a line paints (the walk, the clip and its
// clamps, the rejection), the rectangle outline of four lines, the
// destinations a line refuses or steps through by their cells, and that no
// line writes outside its image.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "blit_test_support.h"
#include "framework/softrender/line_draw.h"
#include "tests/support/reference_blit.h"

namespace {

using Points = std::vector<std::pair<int, int>>;

class LineDrawTest : public blittest::SoftwareDrawTest {
protected:
    static void Fill(MEMIMG* image, uint32_t value) {
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) WriteTestPixel(image, x, y, value);
    }
    // The pixels that differ from `background`, row by row.
    static Points Painted(const MEMIMG* image, uint32_t background) {
        Points points;
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x)
                if (ReadTestPixel(image, x, y) != background) points.emplace_back(x, y);
        return points;
    }
    // The points of a row from x = from up to but not including x = to.
    static Points Row(int y, int from, int to) {
        Points points;
        for (int x = from; x < to; ++x) points.emplace_back(x, y);
        return points;
    }
};

TEST_F(LineDrawTest, PaintsFromItsStartTowardsItsEndWithinTheDrawArea) {
    constexpr RECT kArea{0, 0, 100, 100};
    struct Case {
        const char* name;
        RECT area;
        int x1, y1, x2, y2;
        Points painted;  // row by row
    };
    const Case cases[] = {
        {"x-major", kArea, 0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
        {"y-major", kArea, 2, 0, 0, 5, {{2, 0}, {2, 1}, {2, 2}, {1, 3}, {1, 4}}},
        {"a diagonal", kArea, 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
        {"right to left", kArea, 3, 7, 0, 7, {{1, 7}, {2, 7}, {3, 7}}},
        {"bottom to top", kArea, 6, 9, 6, 6, {{6, 7}, {6, 8}, {6, 9}}},
        {"start and end the same", kArea, 4, 4, 4, 4, {}},
        {"leaving the right edge", kArea, 90, 5, 130, 5, Row(5, 90, 100)},
        {"entering from the left", kArea, -5, 3, 3, 3, Row(3, 0, 3)},
        {"leaving the bottom", kArea, 5, 97, 5, 130, {{5, 97}, {5, 98}, {5, 99}}},
        {"entering from the top", kArea, 5, -10, 5, 2, {{5, 0}, {5, 1}}},
        {"passing outside a corner paints the corner", kArea, -100, 50, 50, -100, {{0, 0}}},
        {"right of the area", kArea, 100, 5, 120, 5, {}},
        {"left of the area", kArea, -20, 5, -1, 5, {}},
        {"above the area", kArea, 5, -20, 5, -1, {}},
        {"below the area", kArea, 5, 100, 5, 120, {}},
        {"ending on the left edge", kArea, -20, 5, 0, 5, {}},
        {"across the whole int range", kArea, INT_MIN, 5, INT_MAX, 5, Row(5, 0, 100)},
        {"across the whole int range backwards", kArea, INT_MAX, 5, INT_MIN, 5, Row(5, 0, 100)},
        {"a slope from ends beyond the int range", kArea, INT_MIN, 0, INT_MAX, 10, Row(5, 0, 100)},
        {"in a smaller area", {10, 20, 30, 40}, 0, 25, 100, 25, Row(25, 10, 30)},
        // Each end is clipped as a product then a sum, each rounded: with the
        // product left unrounded the first line would start a row higher and
        // the second would paint (2, 0).
        {"a clipped start on a rounded product",
         {0, 0, 50, 50}, -40, -40, 5, 14, {{0, 8}, {0, 9}, {1, 10}, {2, 11}, {3, 12}, {4, 13}}},
        {"a clipped line of no length", {0, 0, 50, 50}, -40, -40, 3, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = MakeTestImage(100, 100, kMemImgColor32);
        UseSettings(0, 0, c.area);
        LineMemImg(image->get(), c.x1, c.y1, c.x2, c.y2, 0x00FFFFFF, CurrentDrawSettings);
        EXPECT_EQ(Painted(image->get(), 0), c.painted);
    }
}

TEST_F(LineDrawTest, ARectangleOutlineAddsEachPixelOnce) {
    // The four lines of the outline of (x1, y1) to (x2, y2), right and bottom
    // exclusive; the sixth word holds anything.
    const auto outline = [](int x1, int y1, int x2, int y2, uint32_t color) {
        return std::vector<MemImgLine>{{x1, y1, x2 - 1, y1, color, -7},
                                       {x2 - 1, y1, x2 - 1, y2 - 1, color, INT_MAX},
                                       {x2 - 1, y2 - 1, x1, y2 - 1, color, INT_MIN},
                                       {x1, y2 - 1, x1, y1, color, 128}};
    };
    for (const int colorType : {kMemImgColor565, kMemImgColor32}) {
        SCOPED_TRACE(::testing::Message() << "colour type " << colorType);
        const uint32_t color = colorType == kMemImgColor565 ? 0x0841 : 0x00010203;
        auto image = MakeTestImage(10, 8, colorType);
        UseSettings(2, 255, RECT{0, 0, 10, 8});
        const std::vector<MemImgLine> lines = outline(2, 1, 7, 5, color);
        LineListMemImg(image->get(), lines.data(), static_cast<int>(lines.size()), CurrentDrawSettings);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool onOutline = (x == 2 || x == 6) && y >= 1 && y <= 4 ? true
                                       : (y == 1 || y == 4) && x >= 2 && x <= 6;
                ASSERT_EQ(ReadTestPixel(image->get(), x, y), onOutline ? color : 0u) << x << "," << y;
            }

        // The outline of one pixel is four lines of no length.
        auto single = MakeTestImage(10, 8, colorType);
        const std::vector<MemImgLine> dot = outline(3, 3, 4, 4, color);
        LineListMemImg(single->get(), dot.data(), 4, CurrentDrawSettings);
        EXPECT_EQ(Painted(single->get(), 0), Points{});
    }
}

TEST_F(LineDrawTest, AListOfNoLinesDrawsNothing) {
    auto image = MakeTestImage(10, 8, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 10, 8});
    const MemImgLine line{0, 0, 9, 0, 0x00FFFFFF, 0};
    for (const int count : {0, -1, INT_MIN}) LineListMemImg(image->get(), &line, count, CurrentDrawSettings);
    LineListMemImg(image->get(), nullptr, 3, CurrentDrawSettings);
    EXPECT_EQ(Painted(image->get(), 0), Points{});
    LineListMemImg(image->get(), &line, 1, CurrentDrawSettings);
    EXPECT_EQ(Painted(image->get(), 0), Row(0, 0, 9));
}

TEST_F(LineDrawTest, RefusedDrawsChangeNothing) {
    struct Case {
        const char* name;
        int colorType, paletteFlag;
        int mode, param;
        RECT area;
    };
    constexpr RECT kArea{0, 0, 10, 6};
    const Case cases[] = {
        {"16-bit paletted destination", kMemImgColor565, 1, 0, 255, kArea},
        {"32-bit paletted destination", kMemImgColor32, 1, 0, 255, kArea},
        {"single-channel destination", kMemImgSingle8, 0, 0, 255, kArea},
        {"mode 5", kMemImgColor32, 0, 5, 255, kArea},
        {"mode 9", kMemImgColor565, 0, 9, 255, kArea},
        {"mode 12", kMemImgColor32, 0, 12, 255, kArea},
        {"mode 1 at parameter 0", kMemImgColor565, 0, 1, 0, kArea},
        {"mode 2 at parameter 0", kMemImgColor32, 0, 2, 0, kArea},
        {"mode 3 at parameter 0", kMemImgColor565, 0, 3, 0, kArea},
        {"an empty draw area", kMemImgColor32, 0, 0, 255, {5, 0, 5, 6}},
        {"a draw area beside the image", kMemImgColor32, 0, 0, 255, {10, 0, 20, 6}},
        {"a draw area below the image", kMemImgColor565, 0, 0, 255, {0, 6, 10, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Pixels in a block of exactly the image's size, so a store past it is caught.
        std::vector<uint8_t> memory;
        auto image = MakeTestImage(10, 6, c.colorType, c.paletteFlag, 0, 0, &memory);
        const std::vector<uint8_t> before = memory;
        UseSettings(c.mode, c.param, c.area);
        LineMemImg(image->get(), -5, 5, 30, 5, 0x00ABCDEF, CurrentDrawSettings);
        LineMemImg(image->get(), 0, 0, 10, 6, 0x00ABCDEF, CurrentDrawSettings);
        EXPECT_EQ(memory, before);
    }
    MEMIMG unset{};
    UseSettings(0, 0, kArea);
    LineMemImg(&unset, 0, 0, 5, 5, 0, CurrentDrawSettings);
    LineMemImg(nullptr, 0, 0, 5, 5, 0, CurrentDrawSettings);
}

TEST_F(LineDrawTest, StaysInsideItsImage) {
    // A draw area larger than the image, in a block of exactly its size.
    std::vector<uint8_t> memory;
    auto image = MakeTestImage(10, 6, kMemImgColor565, 0, 0, 0, &memory);
    UseSettings(0, 0, RECT{-100, -100, 1000, 1000});
    LineMemImg(image->get(), -50, 3, 50, 3, 0xFFFF, CurrentDrawSettings);
    LineMemImg(image->get(), 9, 100, 9, -100, 0xFFFF, CurrentDrawSettings);
    Points expected = {{9, 0}, {9, 1}, {9, 2}};
    for (const auto& point : Row(3, 0, 10)) expected.push_back(point);
    expected.insert(expected.end(), {{9, 4}, {9, 5}});
    EXPECT_EQ(Painted(image->get(), 0), expected);

    // A view, with the draw area of its parent.
    auto parent = MakeTestImage(20, 10, kMemImgColor32);
    auto view = MakeTestView(parent->get(), 5, 2, 6, 4);
    UseSettings(0, 0, RECT{0, 0, 20, 10});
    LineMemImg(view->get(), -5, 1, 20, 1, 0x00FFFFFF, CurrentDrawSettings);
    EXPECT_EQ(Painted(parent->get(), 0), Row(3, 5, 11));
}

TEST_F(LineDrawTest, StepsThroughAlphaCellsKeepingTheirAlpha) {
    auto cells = MakeTestImage(6, 2, kMemImgColor565, 0, 1);
    Fill(cells->get(), 0x12AB5555);
    UseSettings(0, 0, RECT{0, 0, 6, 2});
    LineMemImg(cells->get(), 1, 0, 4, 0, 0xF800, CurrentDrawSettings);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(ReadTestPixel(cells->get(), x, 0), x >= 1 && x < 4 ? 0x12ABF800u : 0x12AB5555u) << x;

    auto pixels = MakeTestImage(6, 2, kMemImgColor32, 0, 1);
    Fill(pixels->get(), 0x80102030);
    LineMemImg(pixels->get(), 0, 1, 2, 1, 0xFF405060, CurrentDrawSettings);  // the plain write stores byte 3
    UseSettings(4, 0, RECT{0, 0, 6, 2});
    LineMemImg(pixels->get(), 2, 1, 4, 1, 0x00FFFFFF, CurrentDrawSettings);  // the multiply keeps it
    EXPECT_EQ(ReadTestPixel(pixels->get(), 1, 1), 0xFF405060u);
    EXPECT_EQ(ReadTestPixel(pixels->get(), 3, 1), 0x800F1F2Fu);
    EXPECT_EQ(ReadTestPixel(pixels->get(), 4, 1), 0x80102030u);
}

}  // namespace
