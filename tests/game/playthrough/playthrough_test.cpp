// The whole game played by a script, headless on the generated resource
// tree, from the logo to quit: every stage part, interlude, intermission,
// robot movie, battle and stage clear of the story in the order it tells
// them, one stage part lost and continued, the ending and its staff roll,
// and the boss rush; then the save. And a shorter run on the OpenGL path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/app/play_time.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "tests/support/game/scripted_player.h"

namespace {

using gametest::kMenuQuit;
using gametest::kMenuStory;

class PlaythroughTest : public gametest::ScriptedPlayerTest {};

TEST_F(PlaythroughTest, TheWholeGameFromANewGameToTheBossRushAndQuit) {
    menuChoices = {kMenuStory, kMenuStory, kMenuQuit};
    partsToLose = {1};
    EXPECT_EQ(RunGame(), 0);

    EXPECT_EQ(scenes, WholeGameScenes()) << SceneTrace();
    ExpectMoviesPlayedThrough();
    ExpectCleanShutdown();

    EXPECT_EQ(GameProgress, 6);
    for (int record = 0; record < 7; ++record) {
        EXPECT_TRUE(IsSet(BestTimeTable[record])) << record;
        EXPECT_GT(Milliseconds(BestTimeTable[record]), 0) << record;
    }
    ExpectBestTimesWithinPlayedFrames();
    ExpectSaveReadsBack();
}

// The script's commands alone beat the second boss: the guard while the
// boss attacks and the basic attack between, from full hit points.
TEST_F(PlaythroughTest, TheScriptsCommandsBeatTheSecondBossOutright) {
    shortBattles = false;
    int carried = 25;
    EXPECT_EQ(RunBossBattleScene(&carried, 1, 2, true), 204) << SceneTrace();
    EXPECT_GT(FramesEnded(), 1000);
}

// The OpenGL path: the first stage's two parts, its battle and its clear,
// then back to the main menu from the stage select and quit.
class OpenGLPlaythroughTest : public gametest::ScriptedPlayerTest {
protected:
    void SetUp() override { openGL_ = SetUpOn(gametest::RenderPath::OpenGL); }
    bool openGL_ = false;
};

TEST_F(OpenGLPlaythroughTest, TheFirstStageAndItsBattle) {
    if (!openGL_) GTEST_SKIP() << "no OpenGL context";
    menuChoices = {kMenuStory, kMenuQuit};
    lastStage = 1;
    EXPECT_EQ(RunGame(), 0);

    const std::vector<std::string> expected = {
        "logo",          "opening",          "main menu", "stage select",      "stage 1",     "stage 102",
        "interlude stage1b", "intermission", "robot movie", "battle 1", "interlude stage1b", "stage clear",
        "stage select",  "main menu"};
    EXPECT_EQ(scenes, expected) << SceneTrace();
    ExpectMoviesPlayedThrough();
    ExpectCleanShutdown();
    EXPECT_EQ(GameProgress, 1);
    EXPECT_TRUE(IsSet(BestTimeTable[0]));
    ExpectSaveReadsBack();
}

}  // namespace
