// The ending: the scenario, the pause, the staff roll and the boss-rush
// notice in that order, CHANGE shortening the pause and speeding the roll,
// the notice only on a first clear, and what a missing file does. The
// scenario, roll and sounds are the placeholder tree's; the pictures are
// small ones in the test's folder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/window/main_window.h"
#include "game/app/ending_scene.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "tests/game/app/app_test.h"

namespace {

class EndingTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
        for (const char* file : {"senario\\ending.xml", "senario\\ending.txt", "senario\\staffroll.txt",
                                 "sound\\BGM\\bgm_talk.ogg", "sound\\BGM\\bgm_epilogue.ogg", "sound\\SE\\se_title_enter.wav",
                                 "sound\\SE\\fire02.wav"})
            CopyFromTree(file);
        for (const char* picture : {"senario\\message_window.png", "standpicture\\ressa\\ressa_stand.png",
                                    "standpicture\\kolva\\kolva_stand.png", "ending\\staffroll_logo.png"})
            WritePicture(std::string("resource\\picture\\") + picture, 8, 8, 0x404040);
        for (const char* picture : {"bb_added_00.png", "bb_added_01.png"})
            WritePicture(std::string("resource\\picture\\ending\\addBossButch\\") + picture, 16, 16, 0xFF8000);
    }
    void CopyFromTree(std::string relative) {
        std::string host = relative;
        for (char& c : host)
            if (c == '\\') c = '/';
        std::ifstream file(std::string(BRACKENFOLD_RESOURCE_DIR) + "/resource/" + host, std::ios::binary);
        WriteFile("resource\\" + relative,
                  std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
    }

    // One letter per frame from `first`: W a frame with the white screen,
    // N a notice cell, . anything else; runs of a letter become "letter
    // count" words.
    std::string Phases(int first = 1) {
        std::string text;
        char last = 0;
        int run = 0;
        auto flush = [&] {
            if (run > 0) text += std::string(text.empty() ? "" : " ") + last + std::to_string(run);
        };
        for (int frame = first; frame <= FramesEnded(); ++frame) {
            char letter = '.';
            for (const gametest::SeenDraw& draw : DrawsOfFrame(frame)) {
                if (draw.call == "DrawRectShape") letter = 'W';
                if (draw.picture.rfind("bb_added", 0) == 0) letter = 'N';
            }
            if (letter != last) {
                flush();
                last = letter;
                run = 0;
            }
            ++run;
        }
        flush();
        return text;
    }
    // The words of Phases, each with its letter only.
    static std::string Letters(const std::string& phases) {
        std::string letters;
        for (size_t i = 0; i < phases.size(); ++i)
            if (phases[i] == 'W' || phases[i] == 'N' || phases[i] == '.') letters += phases[i];
        return letters;
    }
    static int Count(const std::string& phases, size_t word) {
        size_t at = 0;
        for (size_t i = 0; i < word; ++i) at = phases.find(' ', at) + 1;
        return std::stoi(phases.substr(at + 1));
    }
};

// Fast forward with CHANGE held: the scenario fades in over 128 frames and
// plays on white, the pause takes 45 frames, the roll fades in over 64 and
// scrolls, then fades out over 128; the notice follows after 90 black
// frames: 13 cells of 5 frames, 120 held, 64 of fade-out.
TEST_F(EndingTest, AFirstClearRunsScenarioPauseRollAndNotice) {
    HoldKey('C', 1, 3000);
    EXPECT_EQ(RunEndingScene(true), 10);
    const std::string phases = Phases();
    ASSERT_EQ(Letters(phases), ".W.W.N") << phases;
    EXPECT_EQ(Count(phases, 0), 128);
    EXPECT_EQ(Count(phases, 2), 45);
    EXPECT_EQ(Count(phases, 4), 90);
    EXPECT_EQ(Count(phases, 5), 13 * 5 + 120 + 64);

    // The roll's frames: the fade-in over the white screen, then the
    // scrolling frames and the fade-out.
    const int rollStart = 128 + Count(phases, 1) + 45 + 1;
    EXPECT_EQ(DrawsOfFrame(rollStart).front().blendMode, 1);
    EXPECT_EQ(DrawsOfFrame(rollStart + 64).front().blendMode, 0);
    const int rollEnd = rollStart + Count(phases, 3) - 1;
    EXPECT_EQ(DrawsOfFrame(rollEnd).front().bright[0], 1);

    // The cells: eight strips of the first picture, five of the second.
    const int notice = rollEnd + 90 + 1;
    for (const int cell : {0, 7, 8, 12}) {
        const gametest::SeenDraw& draw = DrawsOfFrame(notice + 5 * cell).back();
        EXPECT_EQ(draw.picture, cell < 8 ? "bb_added_00.png" : "bb_added_01.png");
        EXPECT_EQ(draw.source[1], (cell % 8) * 128);
        EXPECT_EQ(draw.points.at(1), 156);
    }
    EXPECT_EQ(DrawsOfFrame(notice).back().bright[0], 0);
    EXPECT_EQ(DrawsOfFrame(notice + 1).back().bright[0], 12);
    EXPECT_EQ(DrawsOfFrame(FramesEnded()).back().bright[0], 3);

    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle("resource\\sound\\BGM\\bgm_epilogue.ogg"), -1);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle("resource\\sound\\SE\\fire02.wav"), -1);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\ending\\addBossButch\\bb_added_00.png"), -1);
    EXPECT_TRUE(messageBoxes.empty());
}

// Without CHANGE (ATTACK pressed now and then moves the scenario on): the
// pause takes 180 frames, and no notice follows a clear that is not the
// first.
TEST_F(EndingTest, ALaterClearPausesLongerAndShowsNoNotice) {
    for (int frame = 1; frame < 3000; frame += 2) HoldKey('Z', frame);
    EXPECT_EQ(RunEndingScene(false), 10);
    const std::string phases = Phases();
    ASSERT_EQ(Letters(phases), ".W.W") << phases;
    EXPECT_EQ(Count(phases, 2), 180);
}

// A missing scenario leaves out the scenario and the pause, a missing roll
// the roll; the ending still ends with 10. Missing music ends it with -1.
TEST_F(EndingTest, MissingFilesAreLeftOutOrEndTheEnding) {
    HoldKey('C', 1, 3000);
    ASSERT_TRUE(DeleteFileA("resource\\senario\\ending.xml"));
    EXPECT_EQ(RunEndingScene(false), 10);
    EXPECT_EQ(Letters(Phases()), "W") << Phases();

    ASSERT_TRUE(DeleteFileA("resource\\senario\\staffroll.txt"));
    const int before = FramesEnded();
    EXPECT_EQ(RunEndingScene(false), 10);
    EXPECT_EQ(FramesEnded(), before);
    EXPECT_EQ(RunStaffRollScene(nullptr), 0);

    ASSERT_TRUE(DeleteFileA("resource\\sound\\BGM\\bgm_epilogue.ogg"));
    EXPECT_EQ(RunEndingScene(true), -1);
    EXPECT_EQ(FramesEnded(), before);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
}

// The notice's own files: a missing picture or effect gives back what was
// loaded and reports -1; a closed window in the roll ends the ending with -1.
TEST_F(EndingTest, TheNoticesMissingFilesAndAClosedWindow) {
    ASSERT_TRUE(DeleteFileA("resource\\sound\\SE\\fire02.wav"));
    EXPECT_EQ(RunBossRushUnlockedNotice(), -1);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\ending\\addBossButch\\bb_added_00.png"), -1);
    ASSERT_TRUE(DeleteFileA("resource\\picture\\ending\\addBossButch\\bb_added_01.png"));
    EXPECT_EQ(RunBossRushUnlockedNotice(), -1);
    EXPECT_EQ(FramesEnded(), 0);

    HoldKey('C', 1, 3000);
    QuitAtFrame(300);
    EXPECT_EQ(RunEndingScene(true), -1);
    EXPECT_EQ(FramesEnded(), 300);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle("resource\\sound\\BGM\\bgm_epilogue.ogg"), -1);
}

}  // namespace
