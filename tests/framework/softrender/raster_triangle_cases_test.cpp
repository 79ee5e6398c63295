// The triangle and four-corner draws on the cases that matter most: which pixels a triangle covers, its shapes, shared edges, vertices
// above the image and left of it, collinear vertices, vertex order, clipping
// to each side of the draw area, the texel mapping of a quad, refusals, and
// triangles as large as the coordinate range allows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "framework/softrender/raster_triangle.h"
#include "blit_test_support.h"
#include "tests/support/reference_blit.h"
#include "tests/support/reference_raster.h"

namespace {

class RasterTriangleTest : public blittest::SoftwareDrawTest {
protected:
    // How often each pixel of a width x height image is drawn by the solid
    // triangles (x, y triples of whole pixels): each draw adds 1 to blue.
    static std::vector<std::string> Coverage(int width, int height, const std::vector<std::array<int, 6>>& triangles,
                                             RECT area = RECT{0, 0, 0, 0}) {
        auto image = MakeTestImage(width, height, kMemImgColor32);
        if (area.right == 0) area = RECT{0, 0, width, height};
        UseSettings(2, 255, area);
        for (const auto& t : triangles) {
            const int v[12] = {t[0], t[1], 0, 0, t[2], t[3], 0, 0, t[4], t[5], 0, 0};
            RasterTriangleMemImg(image->get(), nullptr, v, 0, nullptr, 1, CurrentDrawSettings);
        }
        std::vector<std::string> rows;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x) {
                const uint32_t count = ReadTestPixel(image->get(), x, y);
                row += count == 0 ? '.' : static_cast<char>('0' + count);
            }
            rows.push_back(row);
        }
        return rows;
    }

    // A source whose texel (x, y) is x + 16 y + 1 (plus an opaque alpha in a
    // 32-bit image), so that every texel can be told apart.
    static std::unique_ptr<TestImage> Numbered(int width, int height) {
        auto image = MakeTestImage(width, height, kMemImgColor32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) WriteTestPixel(image->get(), x, y, Texel(x, y));
        return image;
    }
    static uint32_t Texel(int x, int y) { return static_cast<uint32_t>(x + 16 * y + 1); }
};

TEST_F(RasterTriangleTest, TheFirstTriangleOfThePartCoversFourteenPixels) {
    const std::vector<std::string> expected = {
        "11111...",
        "1111....",
        "111.....",
        "11......",
        "........",
    };
    EXPECT_EQ(Coverage(8, 5, {{0, 0, 4, 0, 0, 4}}), expected);
}

TEST_F(RasterTriangleTest, AllSixVertexOrdersCoverTheSamePixels) {
    const std::vector<std::array<int, 6>> triangles = {
        {0, 0, 4, 0, 0, 4}, {2, 0, 0, 4, 4, 4}, {1, 1, 9, 3, 4, 8}, {7, 0, 0, 5, 9, 9}, {3, 0, 3, 9, 8, 4},
        {0, 2, 9, 0, 5, 9}, {-3, -2, 12, 4, 2, 11}, {5, -4, -2, 6, 11, 8},
    };
    for (const auto& t : triangles) {
        const std::array<int, 3> order = {0, 1, 2};
        std::array<int, 3> p = order;
        const std::vector<std::string> first = Coverage(10, 10, {t});
        do {
            const std::array<int, 6> permuted = {t[2 * p[0]], t[2 * p[0] + 1], t[2 * p[1]],
                                                 t[2 * p[1] + 1], t[2 * p[2]], t[2 * p[2] + 1]};
            EXPECT_EQ(Coverage(10, 10, {permuted}), first)
                << "triangle " << t[0] << "," << t[1] << " " << t[2] << "," << t[3] << " " << t[4] << "," << t[5]
                << " in order " << p[0] << p[1] << p[2];
        } while (std::next_permutation(p.begin(), p.end()));
    }
}

TEST_F(RasterTriangleTest, FlatTopAndFlatBottomShapes) {
    // Flat top: the row of the two top vertices is drawn, the bottom vertex's is not.
    EXPECT_EQ(Coverage(6, 5, {{0, 0, 4, 0, 2, 4}}), (std::vector<std::string>{
                                                         "11111.",
                                                         ".1111.",
                                                         ".111..",
                                                         "..11..",
                                                         "......",
                                                     }));
    // Flat bottom: from the top vertex's row down to the row above the bottom edge.
    EXPECT_EQ(Coverage(6, 5, {{2, 0, 0, 4, 4, 4}}), (std::vector<std::string>{
                                                         "..1...",
                                                         "..11..",
                                                         ".111..",
                                                         ".1111.",
                                                         "......",
                                                     }));
}

TEST_F(RasterTriangleTest, SharedEdgesAndTheEndPixels) {
    // Two triangles that share the diagonal of a square: both end pixels of
    // every span are drawn, so the diagonal is drawn by both.
    EXPECT_EQ(Coverage(6, 6, {{0, 0, 4, 0, 0, 4}, {4, 0, 0, 4, 4, 4}}), (std::vector<std::string>{
                                                                            "11112.",
                                                                            "11121.",
                                                                            "11211.",
                                                                            "12111.",
                                                                            "......",
                                                                            "......",
                                                                        }));
    // Two triangles that share a horizontal edge: its row belongs to the lower one.
    EXPECT_EQ(Coverage(6, 6, {{0, 0, 4, 2, 0, 2}, {0, 2, 4, 2, 0, 5}}), (std::vector<std::string>{
                                                                            "1.....",
                                                                            "111...",
                                                                            "11111.",
                                                                            "1111..",
                                                                            "11....",
                                                                            "......",
                                                                        }));
}

TEST_F(RasterTriangleTest, TheLowerRightEdgeStartsOneUnitRightOfTheMiddleVertex) {
    // Middle vertex (4, 4) on the right: the edge to (6, 8) starts at
    // 4.5 + 2^-18 and its slope, (2 - 2^-18) / 4 pixels, is cut toward zero,
    // so it reaches 6.0 - 2^-18 on row 7, which then ends at column 5; an
    // edge from 4.5 itself would end that row at column 6.
    const std::vector<std::string> rows = Coverage(8, 9, {{0, 0, 4, 4, 6, 8}});
    EXPECT_EQ(rows[4], "...11...");
    EXPECT_EQ(rows[5], "....11..");
    EXPECT_EQ(rows[6], ".....1..");
    EXPECT_EQ(rows[7], ".....1..");
    EXPECT_EQ(rows[8], "........");
}

TEST_F(RasterTriangleTest, ATopVertexAboveRowZeroMovesTheRowsDown) {
    // Top vertex row -2 counts as row -1: rows -1 to 2 are drawn.
    EXPECT_EQ(Coverage(6, 4, {{0, -2, 4, -2, 0, 2}}), (std::vector<std::string>{
                                                          "1111..",
                                                          "111...",
                                                          "11....",
                                                          "......",
                                                      }));
    // With the middle vertex on the left at row 2 the lower part starts
    // again at row 2, which is drawn twice, and row 6 is not drawn.
    const std::vector<std::string> rows = Coverage(8, 8, {{4, -2, 0, 2, 6, 6}});
    EXPECT_EQ(rows[2], "122222..");
    for (const int y : {0, 1, 3, 4, 5}) EXPECT_EQ(rows[y].find('2'), std::string::npos) << "row " << y;
    EXPECT_EQ(rows[6], "........");
}

TEST_F(RasterTriangleTest, AVertexLeftOfColumnZeroCountsOneColumnToTheRight) {
    // x = -3 counts as column -2: pixel (0, 0) takes texel column 2.
    auto source = Numbered(16, 16);
    auto dest = MakeTestImage(8, 8, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 8, 8});
    const int v[12] = {-3, 0, 0, 0, 7, 0, 10, 0, -3, 10, 0, 10};
    RasterTriangleMemImg(dest->get(), source->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    EXPECT_EQ(ReadTestPixel(dest->get(), 0, 0), Texel(2, 0));
    EXPECT_EQ(ReadTestPixel(dest->get(), 3, 2), Texel(5, 2));
}

TEST_F(RasterTriangleTest, TextureCoordinatesOutsideTheSourceNeitherWrapNorClamp) {
    // u runs from -3 at column 0 to 7 at column 10: columns 0 to 2 (u < 0)
    // and column 10 (u = the width) keep their value.
    auto source = Numbered(7, 10);
    auto dest = MakeTestImage(12, 12, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 12, 12});
    const int v[12] = {0, 0, -3, 0, 10, 0, 7, 0, 0, 10, -3, 10};
    RasterTriangleMemImg(dest->get(), source->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(ReadTestPixel(dest->get(), x, 0), x >= 3 && x <= 9 ? Texel(x - 3, 0) : 0u) << x;
}

TEST_F(RasterTriangleTest, CollinearVerticesDrawNothing) {
    const std::vector<std::string> empty(6, "......");
    EXPECT_EQ(Coverage(6, 6, {{0, 2, 3, 2, 5, 2}}), empty);
    EXPECT_EQ(Coverage(6, 6, {{2, 0, 2, 3, 2, 5}}), empty);
    EXPECT_EQ(Coverage(6, 6, {{0, 0, 2, 2, 5, 5}}), empty);
    EXPECT_EQ(Coverage(6, 6, {{1, 1, 1, 1, 1, 1}}), empty);
}

TEST_F(RasterTriangleTest, ClippingByEachSideOfTheDrawArea) {
    const std::array<int, 6> big = {-2, -1, 12, 1, 3, 11};
    const std::vector<std::string> whole = Coverage(10, 10, {big});
    const RECT areas[] = {{3, 0, 10, 10}, {0, 4, 10, 10}, {0, 0, 6, 10}, {0, 0, 10, 5}, {2, 3, 7, 8}};
    for (const RECT& area : areas) {
        std::vector<std::string> expected = whole;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) expected[y][x] = '.';
        EXPECT_EQ(Coverage(10, 10, {big}, area), expected)
            << "area " << area.left << "," << area.top << "," << area.right << "," << area.bottom;
    }
}

TEST_F(RasterTriangleTest, ClippedRowsKeepTheirTexels) {
    // Cut off on the left, a row starts its texture coordinates at the area's
    // left edge: the pixels inside show the texels they show unclipped.
    auto source = Numbered(16, 16);
    const int v[12] = {-1, 0, 0, 0, 9, 1, 13, 2, 1, 9, 3, 14};
    auto whole = MakeTestImage(10, 10, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 10, 10});
    RasterTriangleMemImg(whole->get(), source->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    const RECT area = {3, 2, 8, 7};
    auto clipped = MakeTestImage(10, 10, kMemImgColor32);
    UseSettings(0, 0, area);
    RasterTriangleMemImg(clipped->get(), source->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            EXPECT_EQ(ReadTestPixel(clipped->get(), x, y), inside ? ReadTestPixel(whole->get(), x, y) : 0u)
                << "pixel " << x << "," << y;
        }
}

TEST_F(RasterTriangleTest, AnIdentityQuadMapsTexelsToPixels) {
    auto source = Numbered(10, 10);
    auto dest = MakeTestImage(12, 12, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 12, 12});
    const int corners[8] = {0, 0, 10, 0, 0, 10, 10, 10};
    RasterQuadMemImg(dest->get(), source->get(), corners, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(ReadTestPixel(dest->get(), x, y), x < 10 && y < 10 ? Texel(x, y) : 0u) << x << "," << y;
}

TEST_F(RasterTriangleTest, SwappedCornersMirror) {
    // The left and right points swapped: pixel x shows texel 10 - x, and
    // pixel column 0, which maps to texel column 10, keeps its value.
    auto source = Numbered(10, 10);
    auto dest = MakeTestImage(12, 12, kMemImgColor32);
    UseSettings(0, 0, RECT{0, 0, 12, 12});
    const int corners[8] = {10, 0, 0, 0, 10, 10, 0, 10};
    RasterQuadMemImg(dest->get(), source->get(), corners, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(ReadTestPixel(dest->get(), x, y), x >= 1 && x <= 10 && y < 10 ? Texel(10 - x, y) : 0u)
                << x << "," << y;
}

TEST_F(RasterTriangleTest, TheQuadsDiagonalIsDrawnTwiceInModeTwo) {
    auto source = MakeTestImage(10, 10, kMemImgColor32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) WriteTestPixel(source->get(), x, y, 1);
    auto dest = MakeTestImage(12, 12, kMemImgColor32);
    UseSettings(2, 255, RECT{0, 0, 12, 12});
    const int corners[8] = {0, 0, 10, 0, 0, 10, 10, 10};
    RasterQuadMemImg(dest->get(), source->get(), corners, 0, nullptr, CurrentDrawSettings);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const uint32_t expected = y >= 1 && x == 10 - y ? 2 : 1;
            EXPECT_EQ(ReadTestPixel(dest->get(), x, y), expected) << x << "," << y;
        }
}

TEST_F(RasterTriangleTest, TheQuadsVisibilityTest) {
    auto source = MakeTestImage(4, 4, kMemImgColor32);
    auto dest = MakeTestImage(40, 40, kMemImgColor32);
    UseSettings(0, 0, RECT{10, 10, 30, 30});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) WriteTestPixel(source->get(), x, y, 7);
    // Wholly left (x at most area left - 4), right (at least area right + 2),
    // above and below: no triangle is drawn.
    const int away[][8] = {{0, 12, 6, 12, 0, 16, 6, 16},
                           {32, 12, 36, 12, 32, 16, 36, 16},
                           {12, 0, 16, 0, 12, 6, 16, 6},
                           {12, 32, 16, 32, 12, 36, 16, 36}};
    for (const auto& corners : away)
        RasterQuadMemImg(dest->get(), source->get(), corners, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(HashPixels(dest->get()), HashPixels(MakeTestImage(40, 40, kMemImgColor32)->get()));
    // A null source draws nothing either.
    const int inside[8] = {12, 12, 16, 12, 12, 16, 16, 16};
    RasterQuadMemImg(dest->get(), nullptr, inside, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(HashPixels(dest->get()), HashPixels(MakeTestImage(40, 40, kMemImgColor32)->get()));
    // Four collinear corners draw nothing.
    const int line[8] = {12, 12, 14, 14, 16, 16, 18, 18};
    RasterQuadMemImg(dest->get(), source->get(), line, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(HashPixels(dest->get()), HashPixels(MakeTestImage(40, 40, kMemImgColor32)->get()));
    RasterQuadMemImg(dest->get(), source->get(), inside, 0, nullptr, CurrentDrawSettings);
    EXPECT_EQ(ReadTestPixel(dest->get(), 13, 13), 7u);
}

TEST_F(RasterTriangleTest, RefusedDrawsChangeNothing) {
    auto source16 = MakeTestImage(4, 4, kMemImgColor565);
    auto source32 = MakeTestImage(4, 4, kMemImgColor32);
    auto paletted = MakeTestImage(4, 4, kMemImgColor32, 1, 0);
    auto alpha = MakeTestImage(4, 4, kMemImgColor32, 0, 1);
    auto dest = MakeTestImage(8, 8, kMemImgColor32);
    auto narrowGraphic = MakeTestImage(3, 4, kMemImgSingle8);
    for (MEMIMG* s : {source16->get(), source32->get()})
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) WriteTestPixel(s, x, y, 0x1F);
    const int v[12] = {0, 0, 0, 0, 8, 0, 4, 0, 0, 8, 0, 4};
    const uint32_t blank = HashPixels(dest->get());
    UseSettings(0, 0, RECT{0, 0, 8, 8});
    // Colour types that differ, a paletted destination, an alpha destination.
    RasterTriangleMemImg(dest->get(), source16->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    RasterTriangleMemImg(paletted->get(), source32->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    RasterTriangleMemImg(alpha->get(), source32->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    RasterTriangleMemImg(dest->get(), source32->get(), v, 0, narrowGraphic->get(), 0, CurrentDrawSettings);
    for (const int mode : {5, 6, 7, 8, 9, 12, -1}) {
        UseSettings(mode, 255, RECT{0, 0, 8, 8});
        RasterTriangleMemImg(dest->get(), source32->get(), v, 0, nullptr, 0, CurrentDrawSettings);
        RasterTriangleMemImg(dest->get(), nullptr, v, 0, nullptr, 0x123456, CurrentDrawSettings);
    }
    // Coordinates outside -8192 to 8191.
    UseSettings(0, 0, RECT{0, 0, 8, 8});
    const int far[12] = {0, 0, 0, 0, 8192, 0, 4, 0, 0, 8, 0, 4};
    RasterTriangleMemImg(dest->get(), source32->get(), far, 0, nullptr, 0, CurrentDrawSettings);
    EXPECT_EQ(HashPixels(dest->get()), blank);
    EXPECT_EQ(HashPixels(paletted->get()), HashPixels(MakeTestImage(4, 4, kMemImgColor32, 1, 0)->get()));
    EXPECT_EQ(HashPixels(alpha->get()), HashPixels(MakeTestImage(4, 4, kMemImgColor32, 0, 1)->get()));
}

TEST_F(RasterTriangleTest, TrianglesAsLargeAsTheCoordinateRange) {
    // Wider and taller than 8191 pixels: the 14.18 differences no longer fit
    // 32 bits. Every pixel of the image lies inside these triangles.
    const std::vector<std::array<int, 6>> triangles = {
        {-8192, -8192, 8191, -8192, 0, 8191}, {-8192, 8191, 8191, 8191, 4, -8192}, {-8192, -8192, 8191, 4, -8192, 8191}};
    for (const auto& t : triangles) {
        const std::vector<std::string> rows = Coverage(32, 32, {t});
        for (const std::string& row : rows) EXPECT_EQ(row, std::string(32, '1'));
    }
    // Textured, against the reference, with texture coordinates across the range.
    std::mt19937 random(5);
    auto source = MakeTestImage(64, 64, kMemImgColor32);
    FillRandom(source->get(), random);
    auto actual = MakeTestImage(48, 48, kMemImgColor32);
    auto expected = MakeTestImage(48, 48, kMemImgColor32);
    ReferenceSettings settings;
    settings.drawArea = RECT{0, 0, 48, 48};
    blittest::UseReferenceSettings(settings);
    const int v[12] = {-8192, -8192, -8192, 8191, 8191, -100, 8191, -8192, 50, 8191, 0, 8191};
    RasterTriangleMemImg(actual->get(), source->get(), v, 0, nullptr, 0, CurrentDrawSettings);
    ReferenceTriangle(expected->get(), source->get(), v, 0, nullptr, 0, settings);
    EXPECT_EQ(TestPixels(actual->get()), TestPixels(expected->get()));
}

}  // namespace
