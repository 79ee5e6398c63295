// The stage select: open and locked entries, the slide between entries,
// the boss-rush entry after the last stage, the best times, and how the
// scene ends; small pictures in the test's folder stand in for the real
// ones.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/sound/sound_playback.h"
#include "game/app/play_time.h"
#include "game/app/stage_select_scene.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "tests/game/app/app_test.h"

namespace {

constexpr int kFadeFrames = 64;
const char* const kEntryPictures[7] = {
    "stageselect_stage01.png", "stageselect_stage02.png", "stageselect_stage03.png",           "stageselect_stage04.png",
    "stageselect_stage05.png", "stageselect_stage06.png", "stageselect_experiment_vsboss.png",
};

class StageSelectTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        LoadTitleSounds(sounds);
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
        for (const char* name : kEntryPictures) WritePicture(std::string("resource\\picture\\stageselect\\") + name, 8, 8, 0x808080);
        WritePicture("resource\\picture\\stageselect\\stageselect_experiment.png", 8, 8, 0x808080);
        WritePicture("resource\\picture\\Figures.png", 330, 20, 0xFFFFFF);
    }

    // Each entry picture a frame drew: "name x brightness".
    std::vector<std::string> Entries(int frame) {
        std::vector<std::string> seen;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture.rfind("stageselect_", 0) == 0)
                seen.push_back(draw.picture + " " + std::to_string(draw.points.at(0)) + " " + std::to_string(draw.bright[0]));
        return seen;
    }
    // The source x of the seven digits of the time drawn beside the entry at
    // x = 0 in a frame.
    std::vector<int> TimeDigits(int frame) {
        std::vector<int> sources;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture == "Figures.png" && draw.source[2] == 14 && draw.points.at(0) >= 426) sources.push_back(draw.source[0]);
        return sources;
    }
    static std::vector<int> Digits(std::vector<int> digits) {
        for (int& d : digits) d = 57 + 14 * d;
        return digits;
    }

    int sounds[3] = {-1, -1, -1};
};

// No save: only stage 1 is open. RIGHT slides to stage 2 over 25 frames
// (the 26th is still), which is dimmed and cannot be chosen; keys in the
// slide other than JUMP do nothing; JUMP backs out with 0 and the title
// music plays on.
TEST_F(StageSelectTest, WithoutProgressOnlyStageOneOpensAndJumpBacksOut) {
    PlaySoundHandle(sounds[2], kPlayTypeLoop, 1);
    const int first = kFadeFrames + 1;
    HoldKey(VK_RIGHT, first - 1);
    HoldKey('Z', first + 3);          // in the slide
    HoldKey(VK_LEFT, first + 5);      // in the slide
    HoldKey('Z', first + 30);         // on the locked stage 2
    HoldKey('X', first + 32);
    EXPECT_EQ(RunStageSelectScene(1, sounds), 0);
    EXPECT_EQ(FramesEnded(), first + 32);

    EXPECT_EQ(Entries(1), std::vector<std::string>{"stageselect_stage01.png 0 0"});
    EXPECT_EQ(Entries(kFadeFrames), std::vector<std::string>{"stageselect_stage01.png 0 252"});
    EXPECT_EQ(Entries(first), (std::vector<std::string>{"stageselect_stage02.png 615 64", "stageselect_stage01.png -25 255"}));
    EXPECT_EQ(Entries(first + 24), (std::vector<std::string>{"stageselect_stage02.png 15 64", "stageselect_stage01.png -625 255"}));
    for (int frame = first + 25; frame <= FramesEnded(); ++frame)
        EXPECT_EQ(Entries(frame), std::vector<std::string>{"stageselect_stage02.png 0 64"}) << frame;
    EXPECT_EQ(TimeDigits(first + 25), Digits({9, 9, 9, 9, 9, 9, 9}));
    EXPECT_EQ(CheckSoundHandlePlaying(sounds[2]), 1);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\Figures.png"), -1);
}

// The entries wrap at both ends; after the last stage a seventh entry, the
// boss-rush run, shows record 7. Choosing fades out and stops the title
// music.
TEST_F(StageSelectTest, EntriesWrapAndTheBossRushEntryFollowsTheLastStage) {
    BestTimeTable[5] = {0, 0, 456, 7, 12, false};
    BestTimeTable[6] = {0, 0, 50, 30, 1, false};
    struct Case {
        int progress;
        int initial;
        int key;
        int chosen;
        std::vector<int> digits;
    };
    const Case cases[] = {
        {5, 6, VK_RIGHT, 1, {9, 9, 9, 9, 9, 9, 9}},
        {5, 1, VK_LEFT, 6, {0, 1, 2, 0, 7, 4, 5}},
        {6, 1, VK_LEFT, 7, {0, 0, 1, 3, 0, 0, 5}},
        {6, 7, VK_RIGHT, 1, {9, 9, 9, 9, 9, 9, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        GameProgress = c.progress;
        PlaySoundHandle(sounds[2], kPlayTypeLoop, 1);
        const int first = FramesEnded() + kFadeFrames + 1;
        HoldKey(c.key, first - 1);
        HoldKey('Z', first + 26);
        EXPECT_EQ(RunStageSelectScene(c.initial, sounds), c.chosen);
        EXPECT_EQ(FramesEnded(), first + 26 + 64);
        EXPECT_EQ(Entries(first + 26), std::vector<std::string>{std::string(kEntryPictures[c.chosen - 1]) + " 0 255"});
        EXPECT_EQ(TimeDigits(first + 26), Digits(c.digits));
        EXPECT_EQ(Entries(FramesEnded()), std::vector<std::string>{std::string(kEntryPictures[c.chosen - 1]) + " 0 3"});
        EXPECT_EQ(CheckSoundHandlePlaying(sounds[2]), 0);
        EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    }
}

// A closed window ends the scene with 9, a missing picture with -1 and the
// quit message; both give the pictures back.
TEST_F(StageSelectTest, AClosedWindowOrAMissingPictureEndsTheScene) {
    QuitAtFrame(kFadeFrames + 10);
    EXPECT_EQ(RunStageSelectScene(1, sounds), 9);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\Figures.png"), -1);

    ASSERT_TRUE(DeleteFileA("resource\\picture\\stageselect\\stageselect_experiment.png"));
    EXPECT_EQ(RunStageSelectScene(1, sounds), -1);
    ASSERT_FALSE(messageBoxes.empty());
    EXPECT_EQ(messageBoxes.back().text, "Failed to load Image. This program will quit.");
    EXPECT_EQ(messageBoxes.back().type, MB_ICONHAND);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\Figures.png"), -1);
}

}  // namespace
