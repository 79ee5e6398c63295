// The staff roll: its header and body, the scroll offset and first visible
// line as it moves, one-shot pauses, the end of the roll and where it draws
// its pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/files/file_access_table.h"
#include "framework/files/file_read_interface.h"
#include "game/framework/object_tree.h"
#include "game/framework/resource_managers.h"
#include "game/framework/staff_roll.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"

namespace {

using Manager::CPrimitive2DObjectManager;
using Object::CStaffRollObject;

// n text lines "line 1" .. "line n", each ending in CR LF.
std::string TextLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

class StaffRollTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        platform::Profile().fonts.testGlyphSource = true;
        ASSERT_TRUE(StartFramework());
        WritePicture("pic\\logo.png", 64, 32, 0x00FF00);
        CPrimitive2DObjectManager::GetInstance()->CheckUnreleased();
    }

    // Loads the roll from a header (FontSize 20 unless the header says
    // otherwise) and a body.
    bool Load(const std::string& header, const std::string& body) {
        WriteFile("resource\\senario\\staffroll.txt", header + "*begin\r\n" + body + "*end\r\nafter the end\r\n");
        const uintptr_t file = OpenFileForRead("resource\\senario\\staffroll.txt", 0);
        if (file == 0) return false;
        const bool loaded = roll_->LoadScript(file);
        FileStreamClose(file);
        return loaded;
    }

    // The picture draws of one Draw.
    std::vector<std::string> Drawn() {
        const size_t before = OpenFrameDraws().size();
        roll_->Draw();
        std::vector<std::string> seen;
        for (size_t i = before; i < OpenFrameDraws().size(); ++i)
            if (OpenFrameDraws()[i].picture == "logo.png") seen.push_back(gametest::Describe(OpenFrameDraws()[i]));
        return seen;
    }

    void Run(int updates) {
        for (int i = 0; i < updates; ++i) roll_->Update();
    }

    // How far the roll has moved: every line is FontSize 20 in these rolls.
    float Travelled() const { return 20.0f * static_cast<float>(roll_->firstVisibleLine) - roll_->scrollOffset; }

    std::unique_ptr<CStaffRollObject> roll_ = std::make_unique<CStaffRollObject>();
};

TEST_F(StaffRollTest, TheHeaderSetsTheFontColoursAndSpeed) {
    ASSERT_TRUE(Load("FontSize=20\r\n\r\nFontThick=2\r\nFontName=ＭＳ ゴシック\r\nStringLeft=32.5\r\nScrollSpeed=2.5\r\n"
                     "StopWhenFinished=2\r\nBGColor=10,20,30\r\nTextColor=40,50,60\r\nUnknown=1\r\nno equals sign\r\n",
                     "one\r\n*wait,30\r\n\\\r\n*show,pic\\logo.png,pic,100,64.9,32,4,8,1,1\r\n"));
    EXPECT_EQ(roll_->fontKey, AddAtomA("ＭＳ ゴシック200203"));
    EXPECT_FLOAT_EQ(roll_->StringLeft, 32.5f);
    EXPECT_FLOAT_EQ(roll_->ScrollSpeed, 2.5f);
    EXPECT_FALSE(roll_->StopWhenFinished);
    EXPECT_EQ(roll_->textR + roll_->textG * 256 + roll_->textB * 65536, 40 + 50 * 256 + 60 * 65536);
    CPrimitive2DObjectManager* objects = CPrimitive2DObjectManager::GetInstance();
    auto* background = dynamic_cast<Object::C2DScreenObject*>(objects->Get(roll_->backgroundId));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->width, 640);
    EXPECT_EQ(background->height, 480);
    EXPECT_EQ(background->r + background->g * 256 + background->b * 65536, 10 + 20 * 256 + 30 * 65536);
    EXPECT_EQ(background->alpha, 255);
    // The lines up to "*end"; an empty line makes none.
    ASSERT_EQ(roll_->lineCount, 4);
    EXPECT_STREQ(roll_->lines[0].text, "one");
    EXPECT_STREQ(roll_->lines[1].text, "*wait");
    EXPECT_EQ(roll_->lines[1].first, 30);
    EXPECT_EQ(roll_->lines[1].second, 0);
    EXPECT_STREQ(roll_->lines[2].text, "");
    EXPECT_STREQ(roll_->lines[3].text, "*show");
    EXPECT_EQ(roll_->lines[3].first, 0);
    EXPECT_EQ(roll_->lines[3].second, 100);
    EXPECT_EQ(roll_->lines[3].third, 32);
    ASSERT_EQ(roll_->pictures.size(), 1u);
    auto* picture = dynamic_cast<Object::C2DScreenObject*>(objects->Get(roll_->pictures[0]));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 64);
    EXPECT_EQ(picture->height, 32);
    EXPECT_EQ(picture->sourceX, 4);
    EXPECT_EQ(picture->sourceY, 8);
    EXPECT_EQ(picture->textureKey, AddAtomA("pic\\logo.png"));
}

// The font is made when its name is read, with what was read before it.
TEST_F(StaffRollTest, AFontNameBeforeItsSizeMakesTheFontWithSizeZero) {
    ASSERT_TRUE(Load("FontName=ＭＳ ゴシック\r\nFontSize=20\r\n", "one\r\n"));
    EXPECT_EQ(roll_->fontKey, AddAtomA("ＭＳ ゴシック000103"));
    EXPECT_EQ(roll_->FontSize, 20);
}

// Thirty lines of 20 pixels: a line leaves the top once its bottom is above
// it, and the roll ends when the last line starts at the bottom of the
// screen, 580 - 480 = 100 updates in.
TEST_F(StaffRollTest, TheRollScrollsAndDropsLinesThatLeaveTheTop) {
    struct Case {
        bool stopWhenFinished;
        float offsetAfterTheEnd;
        int firstVisibleAfterTheEnd;
    };
    // Stopped, the roll stays; otherwise it keeps moving while it reports
    // the end.
    const Case cases[] = {{true, -20, 4}, {false, -6, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopWhenFinished);
        roll_ = std::make_unique<CStaffRollObject>();
        const std::string header =
            std::string("FontSize=20\r\nStopWhenFinished=") + (c.stopWhenFinished ? "1" : "0") + "\r\n";
        ASSERT_TRUE(Load(header, TextLines(30)));
        roll_->Start();
        struct Point {
            int update;
            float offset;
            int firstVisible;
        };
        const Point points[] = {{1, -1, 0}, {19, -19, 0}, {20, -20, 0}, {21, -1, 1}, {99, -19, 4}};
        int done = 0;
        for (const Point& point : points) {
            for (; done < point.update; ++done) EXPECT_TRUE(roll_->Update()) << done + 1;
            EXPECT_FLOAT_EQ(roll_->scrollOffset, point.offset) << point.update;
            EXPECT_EQ(roll_->firstVisibleLine, point.firstVisible) << point.update;
        }
        EXPECT_FALSE(roll_->Update());
        EXPECT_FLOAT_EQ(roll_->scrollOffset, -20);
        EXPECT_EQ(roll_->firstVisibleLine, 4);
        Run(5);
        EXPECT_FALSE(roll_->Update());
        EXPECT_FLOAT_EQ(roll_->scrollOffset, c.offsetAfterTheEnd);
        EXPECT_EQ(roll_->firstVisibleLine, c.firstVisibleAfterTheEnd);
        EXPECT_EQ(roll_->running, !c.stopWhenFinished);
    }
}

// At half a pixel a step the picture moves one pixel every two updates; a
// "\" line leaves a gap and an empty line none.
TEST_F(StaffRollTest, HalfSpeedMovesAPixelEveryTwoUpdates) {
    ASSERT_TRUE(Load("FontSize=20\r\nScrollSpeed=0.5\r\n",
                     TextLines(3) + "\\\r\n\r\n\r\n" + "*show,pic\\logo.png,pic,100,64,32\r\n" + TextLines(40)));
    roll_->Start();
    const int ys[] = {80, 79, 79, 78, 78, 77};
    for (int y : ys) {
        EXPECT_EQ(Drawn(), (std::vector<std::string>{"DrawGraphicPart logo.png 100," + std::to_string(y) +
                                                     " part 0,0,64,32 trans 1 blend 0/0 bright 255,255,255"}));
        EXPECT_EQ(roll_->drawnPictures, roll_->pictures);
        EXPECT_TRUE(roll_->Update());
    }
}

// A pause starts when its line is first on screen (at y 480 or above) and
// holds the roll for its frames once; the steps per update count too.
TEST_F(StaffRollTest, AWaitLinePausesOnce) {
    ASSERT_TRUE(Load("FontSize=20\r\n", TextLines(25) + "*wait,3\r\n" + TextLines(10)));
    roll_->Start();
    EXPECT_FALSE(roll_->waiting);
    Run(19);
    EXPECT_FALSE(roll_->waiting);
    EXPECT_TRUE(roll_->Update());
    EXPECT_TRUE(roll_->waiting);
    EXPECT_EQ(roll_->lines[25].second, 1);
    EXPECT_FLOAT_EQ(Travelled(), 20);
    EXPECT_TRUE(roll_->Update());
    EXPECT_TRUE(roll_->Update());
    EXPECT_FLOAT_EQ(Travelled(), 20);
    EXPECT_TRUE(roll_->Update());
    EXPECT_FALSE(roll_->waiting);
    EXPECT_FLOAT_EQ(Travelled(), 21);
    EXPECT_TRUE(roll_->Update());
    EXPECT_FLOAT_EQ(Travelled(), 22);
    EXPECT_FALSE(roll_->waiting);

    // Four steps an update: a pause of 3 is over in one update.
    roll_ = std::make_unique<CStaffRollObject>();
    ASSERT_TRUE(Load("FontSize=20\r\n", "*wait,3\r\n" + TextLines(40)));
    roll_->step = 4;
    roll_->Start();
    EXPECT_TRUE(roll_->waiting);
    EXPECT_TRUE(roll_->Update());
    EXPECT_FALSE(roll_->waiting);
    EXPECT_FLOAT_EQ(roll_->scrollOffset, -4);
}

// Mended: a pause after the last line ends the roll when it runs out,
// instead of holding it for ever.
TEST_F(StaffRollTest, AClosingWaitEndsTheRoll) {
    ASSERT_TRUE(Load("FontSize=20\r\nStopWhenFinished=1\r\n", TextLines(30) + "*wait,10\r\n"));
    roll_->Start();
    for (int update = 1; update <= 129; ++update) ASSERT_TRUE(roll_->Update()) << update;
    EXPECT_TRUE(roll_->waiting);
    EXPECT_FALSE(roll_->Update());
    EXPECT_FALSE(roll_->waiting);
    EXPECT_FALSE(roll_->running);
    EXPECT_FLOAT_EQ(roll_->scrollOffset, -20);
    EXPECT_EQ(roll_->firstVisibleLine, 5);

    // A roll short enough to be on screen at once waits, then ends.
    roll_ = std::make_unique<CStaffRollObject>();
    ASSERT_TRUE(Load("FontSize=20\r\n", "a\r\nb\r\n*wait,4\r\n"));
    roll_->Start();
    EXPECT_TRUE(roll_->Update());
    EXPECT_TRUE(roll_->Update());
    EXPECT_TRUE(roll_->Update());
    EXPECT_FALSE(roll_->Update());
    EXPECT_FLOAT_EQ(roll_->scrollOffset, 0);
}

// Mended: a line longer than a line's 255 bytes is cut before the
// two-byte character that would not fit.
TEST_F(StaffRollTest, LongLinesAreCutOnACharacterBoundary) {
    std::string kanji;
    for (int i = 0; i < 150; ++i) kanji += "字";
    ASSERT_TRUE(Load("FontSize=20\r\n", kanji + "\r\nA" + kanji + "\r\n" + std::string(300, 'b') + "\r\n"));
    ASSERT_EQ(roll_->lineCount, 3);
    EXPECT_EQ(std::strlen(roll_->lines[0].text), 254u);
    EXPECT_EQ(std::string(roll_->lines[0].text), kanji.substr(0, 254));
    EXPECT_EQ(std::strlen(roll_->lines[1].text), 255u);
    EXPECT_EQ(std::string(roll_->lines[2].text), std::string(255, 'b'));
}

// A number outside its field's range refuses the script, which the scene
// then skips; the objects made so far go back with the roll. Numbers at the
// ends of their ranges are kept.
TEST_F(StaffRollTest, NumbersOutsideTheirRangeRefuseTheScript) {
    const std::string show = "*show,pic\\logo.png,pic,";
    struct Case {
        const char* name;
        std::string header;
        std::string body;
        bool loaded;
    };
    const Case cases[] = {
        {"AtTheEnds", "FontSize=480\r\nFontThick=10\r\nStringLeft=-16777216\r\nScrollSpeed=16777216\r\n",
         show + "16777216,-16777216,16777216,-16777216,16777216\r\n*wait,2147483647\r\n", true},
        {"StringLeftBeyondInt", "StringLeft=3e9\r\n", "one\r\n", false},
        {"StringLeftNotANumber", "StringLeft=nan\r\n", "one\r\n", false},
        {"ScrollSpeedHuge", "ScrollSpeed=1e20\r\n", "one\r\n", false},
        {"ScrollSpeedInfinite", "ScrollSpeed=-inf\r\n", "one\r\n", false},
        {"FontSizeBeyondInt", "FontSize=99999999999\r\n", "one\r\n", false},
        {"FontSizeNegative", "FontSize=-20\r\n", "one\r\n", false},
        {"FontThickLowest", "FontThick=-2147483648\r\n", "one\r\n", false},
        {"StopBeyondInt", "StopWhenFinished=4294967297\r\n", "one\r\n", false},
        {"BackgroundChannel", "BGColor=256,0,0\r\n", "one\r\n", false},
        {"TextChannel", "TextColor=0,-1,0\r\n", "one\r\n", false},
        {"PictureWidth", "", show + "0,1e10,32\r\n", false},
        {"PictureHeight", "", "one\r\n" + show + "0,64,1e10\r\n", false},
        {"PictureX", "", show + "3000000000,64,32\r\n", false},
        {"PictureSource", "", show + "0,64,32,0,-99999999999\r\n", false},
        {"NegativeAdvance", "", show + "0,64,-32\r\n", false},
        {"NegativeWait", "", "*wait,-1\r\n", false},
        {"WaitBeyondInt", "", "*wait,99999999999\r\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        roll_ = std::make_unique<CStaffRollObject>();
        EXPECT_EQ(Load(c.header, c.body), c.loaded);
        roll_.reset();
        for (Object::IObject* object : CPrimitive2DObjectManager::GetInstance()->objects) EXPECT_EQ(object, nullptr);
        EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.empty());
    }
    roll_ = std::make_unique<CStaffRollObject>();
    ASSERT_TRUE(Load("FontSize=480\r\nStringLeft=-16777216\r\n",
                     show + "16777216,-16777216,16777216,-16777216,16777216\r\n*wait,2147483647\r\n"));
    EXPECT_FLOAT_EQ(roll_->StringLeft, -16777216.0f);
    ASSERT_EQ(roll_->lineCount, 2);
    EXPECT_EQ(roll_->lines[0].second, 16777216);
    EXPECT_EQ(roll_->lines[0].third, 16777216);
    EXPECT_EQ(roll_->lines[1].first, 2147483647);
    auto* picture =
        dynamic_cast<Object::C2DScreenObject*>(CPrimitive2DObjectManager::GetInstance()->Get(roll_->pictures[0]));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, -16777216);
    EXPECT_EQ(picture->height, 16777216);
    EXPECT_EQ(picture->sourceX, -16777216);
    EXPECT_EQ(picture->sourceY, 16777216);
}

TEST_F(StaffRollTest, ReleaseGivesBackTheLinesAndObjectsAndCanRunAgain) {
    ASSERT_TRUE(Load("FontSize=20\r\n", "*show,pic\\logo.png,pic,0,64,32\r\nline\r\n"));
    roll_->Release();
    roll_->Release();
    EXPECT_EQ(roll_->lineCount, 0);
    EXPECT_EQ(roll_->lines, nullptr);
    EXPECT_EQ(roll_->backgroundId, -1);
    EXPECT_TRUE(roll_->pictures.empty());
    for (Object::IObject* object : CPrimitive2DObjectManager::GetInstance()->objects) EXPECT_EQ(object, nullptr);
    EXPECT_TRUE(Manager::CTextureManager::GetInstance()->entries.empty());
    EXPECT_TRUE(Drawn().empty());
}

}  // namespace
