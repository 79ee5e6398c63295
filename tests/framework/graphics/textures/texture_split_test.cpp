#include <gtest/gtest.h>

#include <vector>

#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/textures/texture_split.h"

namespace graphicstest {
namespace {

struct AxisCase {
    const char* name;
    int length;
    int maxSize;
    int screenWidth;
    int noDivision;
    std::vector<int> sizes;
};

void PrintTo(const AxisCase& c, std::ostream* os) { *os << c.name; }

class DivideTextureAxisTest : public testing::TestWithParam<AxisCase> {};

TEST_P(DivideTextureAxisTest, CutsTheAxisIntoTheseLengths) {
    const AxisCase& c = GetParam();
    int sizes[kMaxTexturePieces] = {};
    const int count = DivideTextureAxis(c.length, c.maxSize, c.screenWidth, c.noDivision, sizes);
    EXPECT_EQ(std::vector<int>(sizes, sizes + (count > 0 ? count : 0)), c.sizes);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, DivideTextureAxisTest,
    testing::Values(AxisCase{"OneShorterThanTheScreen", 100, 2048, 640, 0, {128}},
                    AxisCase{"AShortHeight", 30, 2048, 640, 0, {32}},
                    AxisCase{"ALengthOfOne", 1, 2048, 640, 0, {8}},
                    AxisCase{"ALengthOfEight", 8, 2048, 640, 0, {8}},
                    AxisCase{"EightEvenWithoutRoom", 8, 8, 640, 0, {8}},
                    AxisCase{"APowerOfTwo", 64, 2048, 640, 0, {64}},
                    AxisCase{"WiderThanTheScreen", 700, 2048, 640, 0, {512, 128, 64}},
                    AxisCase{"AsWideAsTheScreen", 640, 2048, 640, 0, {512, 128}},
                    AxisCase{"ARemainderNearTheLastLength", 480, 2048, 480, 0, {512}},
                    AxisCase{"NoDivisionAsked", 700, 2048, 640, 1, {1024}},
                    AxisCase{"NoDivisionPastTheLargest", 3000, 2048, 640, 1, {2048, 1024}},
                    AxisCase{"TheLargestTwiceThenHalf", 5000, 2048, 640, 0, {2048, 2048, 1024}},
                    AxisCase{"TwoEqualLastLengthsMerge", 300, 2048, 200, 0, {256, 32, 16}},
                    AxisCase{"TooManyLengths", 4096, 8, 640, 0, {}}),
    [](const testing::TestParamInfo<AxisCase>& info) { return info.param.name; });

struct Laid {
    int x, y, usedWidth, usedHeight, textureWidth, textureHeight;
    bool operator==(const Laid&) const = default;
};

std::vector<Laid> LayOut(int width, int height, int squareOnly, int maxSize = 2048) {
    TexturePiece pieces[kMaxTexturePieces] = {};
    const int count = LayOutTexturePieces(width, height, maxSize, 640, 0, squareOnly, pieces);
    std::vector<Laid> laid;
    for (int i = 0; i < count; ++i) {
        const TexturePiece& p = pieces[i];
        laid.push_back({p.x, p.y, p.usedWidth, p.usedHeight, p.textureWidth, p.textureHeight});
    }
    return laid;
}

TEST(LayOutTexturePiecesTest, PiecesGoRowByRowWithTheImagesShareOfEach) {
    EXPECT_EQ(LayOut(640, 480, 0),
              (std::vector<Laid>{{0, 0, 512, 480, 512, 512}, {512, 0, 128, 480, 128, 512}}));
    EXPECT_EQ(LayOut(700, 700, 0),
              (std::vector<Laid>{{0, 0, 512, 512, 512, 512},
                                 {512, 0, 128, 512, 128, 512},
                                 {640, 0, 60, 512, 64, 512},
                                 {0, 512, 512, 128, 512, 128},
                                 {512, 512, 128, 128, 128, 128},
                                 {640, 512, 60, 128, 64, 128},
                                 {0, 640, 512, 60, 512, 64},
                                 {512, 640, 128, 60, 128, 64},
                                 {640, 640, 60, 60, 64, 64}}));
}

TEST(LayOutTexturePiecesTest, SquareTexturesOnlyCutOblongPiecesIntoSquares) {
    EXPECT_EQ(LayOut(640, 480, 1), (std::vector<Laid>{{0, 0, 512, 480, 512, 512},
                                                      {512, 0, 128, 128, 128, 128},
                                                      {512, 128, 128, 128, 128, 128},
                                                      {512, 256, 128, 128, 128, 128},
                                                      {512, 384, 128, 96, 128, 128}}));
    // Across, and past the image's bottom: a square there holds no pixel.
    EXPECT_EQ(LayOut(100, 30, 1), (std::vector<Laid>{{0, 0, 32, 30, 32, 32},
                                                     {32, 0, 32, 30, 32, 32},
                                                     {64, 0, 32, 30, 32, 32},
                                                     {96, 0, 4, 30, 32, 32}}));
    EXPECT_EQ(LayOut(8, 300, 1, 256).size(), 38u);
}

TEST(LayOutTexturePiecesTest, AnImageNeedingMoreThan256PiecesIsRefused) {
    // 17 columns by 17 rows of 8.
    EXPECT_TRUE(LayOut(17 * 8, 17 * 8, 0, 8).empty());
    // Fewer pieces, but square cuts would pass the limit.
    EXPECT_EQ(LayOut(16 * 8, 16 * 8, 0, 8).size(), 256u);
    EXPECT_EQ(LayOut(2048, 8, 1, 2048).size(), 256u);
    EXPECT_TRUE(LayOut(4096, 8, 1, 4096).empty());
}

}  // namespace
}  // namespace graphicstest
