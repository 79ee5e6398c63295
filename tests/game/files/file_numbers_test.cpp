// The one reading of numbers in the game's files: what text gives which
// number, which numbers each range refuses or holds, and a background layout
// whose widths and heights sum past int's range.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "game/framework/file_numbers.h"
#include "game/framework/resource_managers.h"
#include "game/stage/stage_background.h"
#include "tests/support/game/game_test.h"

namespace {

TEST(FileNumbersTest, IntegersReadAsAtoiDoesAndOutsideTheirRangeAreRefused) {
    struct Case {
        const char* text;
        File::NumberRange range;
        bool read;
        int value;  // when read
    };
    const Case cases[] = {
        {"", File::kAnyInt, true, 0},
        {"x7", File::kAnyInt, true, 0},
        {" \t+12px", File::kAnyInt, true, 12},
        {"\v-3", File::kAnyInt, true, -3},
        {"1e10", File::kAnyInt, true, 1},
        {"- 5", File::kAnyInt, true, 0},
        {"2147483647", File::kAnyInt, true, INT_MAX},
        {"-2147483648", File::kAnyInt, true, INT_MIN},
        {"2147483648", File::kAnyInt, false, 0},
        {"-2147483649", File::kAnyInt, false, 0},
        {"4294967296", File::kAnyInt, false, 0},
        {"99999999999999999999999999999", File::kAnyInt, false, 0},
        {"480", File::kFontSize, true, 480},
        {"481", File::kFontSize, false, 0},
        {"-1", File::kFontSize, false, 0},
        {"-1", File::kFontThickness, true, -1},
        {"16777216", File::kPixels, true, 16777216},
        {"-16777217", File::kPixels, false, 0},
        {"-1", File::kFrames, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int value = 12345;
        EXPECT_EQ(File::ReadInt(c.text, c.range, &value), c.read);
        EXPECT_EQ(value, c.read ? c.value : 12345);
    }
    int value = 7;
    EXPECT_TRUE(File::ReadInt(nullptr, File::kAnyInt, &value));
    EXPECT_EQ(value, 0);
}

TEST(FileNumbersTest, ClampedIntegersAreHeldToTheEndsOfTheirRange) {
    struct Case {
        const char* text;
        File::NumberRange range;
        int value;
    };
    const Case cases[] = {
        {"99999999999", File::kAnyInt, INT_MAX},   {"-99999999999", File::kAnyInt, INT_MIN},
        {"2147483647", File::kAnyInt, INT_MAX},    {"150", File::kVolume, 100},
        {"-5", File::kVolume, 0},                  {"loud", File::kVolume, 0},
        {"300", File::kColourChannel, 255},        {"2147483647", File::kPixels, 16777216},
        {"-2147483648", File::kPixels, -16777216}, {"64", File::kPixels, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(File::ReadClampedInt(c.text, c.range), c.value);
    }
}

TEST(FileNumbersTest, RealsReadAsAtofDoesAndOnlyFiniteOnesInRangeAreTaken) {
    struct Case {
        const char* text;
        File::NumberRange range;
        bool read;
        double value;
    };
    const Case cases[] = {
        {"", File::kPixels, true, 0.0},
        {"300.9", File::kPixels, true, 300.9},
        {" -2.5e1x", File::kPixels, true, -25.0},
        {"1e-400", File::kPixels, true, 0.0},
        {"16777216", File::kPixels, true, 16777216.0},
        {"16777216.5", File::kPixels, false, 0.0},
        {"3e9", File::kAnyInt, false, 0.0},
        {"1e20", File::kPixels, false, 0.0},
        {"1e400", File::kPixels, false, 0.0},
        {"nan", File::kPixels, false, 0.0},
        {"-inf", File::kPixels, false, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = 99.0;
        EXPECT_EQ(File::ReadReal(c.text, c.range, &value), c.read);
        EXPECT_DOUBLE_EQ(value, c.read ? c.value : 99.0);
    }
}

class LayoutSumsTest : public gametest::GameTest {};

// Widths and heights beyond the pixel range are held at its end, and the
// positions are summed without overflowing: the layout draws what is on the
// screen and stops at the first row below it.
TEST_F(LayoutSumsTest, HugeWidthsAndHeightsDrawOnlyWhatIsOnTheScreen) {
    ASSERT_TRUE(StartFramework());
    WritePicture("piece.png", 64, 64, 0x00FF00);
    WriteFile("layout", "64,2147483647,2147483647,64\r\n32,1001\r\n2147483647,0\r\n32,1\r\n");
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    ASSERT_TRUE(textures->Load("piece.png", nullptr, nullptr));
    const int piece = textures->GetHandle("piece.png");
    CStageBackground background;
    ASSERT_TRUE(background.LoadFromCsv("layout"));
    EXPECT_EQ(background.columnWidths, (std::vector<int>{64, 16777216, 16777216, 64}));
    EXPECT_EQ(background.rowHeights, (std::vector<int>{32, 16777216, 32}));
    background.pieceImages = &piece;
    background.pieceCount = 1;
    for (int y0 : {0, 100, -1000}) {
        SCOPED_TRACE(y0);
        const size_t before = OpenFrameDraws().size();
        background.Draw(5, y0);
        std::vector<std::string> seen;
        for (size_t i = before; i < OpenFrameDraws().size(); ++i)
            seen.push_back(gametest::Describe(OpenFrameDraws()[i]));
        std::vector<std::string> expected;
        if (y0 + 32 >= 0)
            expected.push_back("DrawGraphicPart piece.png 5," + std::to_string(y0) +
                               " part 0,0,64,32 trans 0 blend 0/0 bright 255,255,255");
        EXPECT_EQ(seen, expected);
    }
}

}  // namespace
