// The story's driver with scripted stand-ins for the stage select, the
// stages, the intermissions, the boss-rush run and the closing scenes; the
// scenario interludes between them are the real ones, played fast forward
// over small pictures in the test's folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/window/main_window.h"
#include "game/app/active_state_callbacks.h"
#include "game/app/game_mode.h"
#include "game/app/play_time.h"
#include "game/framework/game_config.h"
#include "game/framework/resource_managers.h"
#include "game/stage/stage_scene.h"
#include "platform/kernel/kernel.h"
#include "tests/game/app/app_test.h"

namespace {

class GameModeTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        current = this;
        CarriedHitPoints = 100;
        CarriedAttackLevel = 1;
        FillBestTimeRecordList();
        StoryScenes = {
            [](int entry, int*) -> SceneCode { return current->Next("select " + std::to_string(entry)); },
            [](int code, int hitPoints, int attackLevel, int retry) {
                return current->Next("stage " + std::to_string(code) + " " + std::to_string(hitPoints) + " " +
                                     std::to_string(attackLevel) + (retry ? " retry" : ""));
            },
            [](int boss, int* hitPoints, bool retry) {
                return current->Next("boss " + std::to_string(boss) + " " + std::to_string(*hitPoints) +
                                     (retry ? " retry" : ""));
            },
            [] { return current->Next("rush"); },
            [] { return current->Next("clear"); },
            [] { return current->Next("game over"); },
            [](bool firstClear) -> SceneCode { return current->Next(firstClear ? "ending first" : "ending"); },
        };
        // The scenarios run fast forward (CHANGE held).
        HoldKey('C', 1, 3000);
        int sounds[3];
        LoadTitleSounds(sounds);
        for (int i = 0; i < 3; ++i) titleSounds[i] = sounds[i];
        // The interludes play the tree's scenarios over small pictures.
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
        for (const char* scenario : {"Stage1_senario1", "Stage1_senario4", "Stage2_senario1", "Stage2_senario3",
                                     "Stage3_senario1", "Stage3_senario3", "Stage4_senario2", "Stage5_senario1",
                                     "Stage5_senario2", "Stage6_senario1"}) {
            CopyFromTree(std::string("senario\\") + scenario + ".xml");
            CopyFromTree(std::string("senario\\") + scenario + ".txt");
        }
        CopyFromTree("sound\\BGM\\bgm_talk.ogg");
        CopyFromTree("sound\\SE\\se_title_enter.wav");
        for (const char* picture :
             {"senario\\message_window.png", "standpicture\\ressa\\ressa_stand.png", "standpicture\\kolva\\kolva_stand.png",
              "background\\stage1b\\stage1b_for_senario.png", "background\\stage2b\\stage2b_for_senario.png",
              "background\\stage2_background_for_senario.png", "background\\stage3_background_for_senario.png",
              "background\\stage4_background_for_senario.png", "background\\stage5_background_for_senario.png",
              "background\\stage6_background_for_senario.png"})
            WritePicture(std::string("resource\\picture\\") + picture, 8, 8, 0x406080);
    }
    void CopyFromTree(std::string relative) {
        std::string host = relative;
        for (char& c : host)
            if (c == '\\') c = '/';
        std::ifstream file(std::string(BRACKENFOLD_RESOURCE_DIR) + "/resource/" + host, std::ios::binary);
        WriteFile("resource\\" + relative,
                  std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
    }
    void TearDown() override {
        StoryScenes = DefaultStoryScenes();
        current = nullptr;
        AppTest::TearDown();
    }

public:
    // Each stand-in writes its call and gives the next scripted result.
    SceneCode Next(const std::string& call) {
        calls.push_back(call);
        // Every scene ends with the brightness as it found it.
        EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu) << call;
        if (results.empty()) {
            ADD_FAILURE() << "no result scripted for " << call;
            return 9;
        }
        const SceneCode result = results.front();
        results.pop_front();
        return result;
    }

protected:
    // The save file's words.
    std::vector<int32_t> SavedWords() {
        const std::string bytes = folder_.readFile("save_ver_1.dat");
        std::vector<int32_t> words;
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            uint32_t word = 0;
            for (int b = 0; b < 4; ++b) word |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + b])) << (8 * b);
            words.push_back(static_cast<int32_t>(word));
        }
        return words;
    }
    // Record n (1 to 10) as saved: milliseconds, seconds, minutes.
    std::vector<int32_t> SavedRecord(int n) {
        const std::vector<int32_t> words = SavedWords();
        EXPECT_EQ(words.size(), 42u);
        if (words.size() != 42) return {};
        return {words[2 + 4 * (n - 1) + 1], words[2 + 4 * (n - 1) + 2], words[2 + 4 * (n - 1) + 3]};
    }

    // The backgrounds of the interludes since frame `after`, in order: each
    // interlude's fade-in starts with its background drawn black.
    std::vector<std::string> InterludeBackgrounds(int after = 0) {
        std::vector<std::string> shown;
        for (int frame = after + 1; frame <= FramesEnded(); ++frame)
            for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
                if (draw.picture.find("_for_senario") != std::string::npos && draw.bright[0] == 0)
                    shown.push_back(draw.picture);
        return shown;
    }

    static PlayTimer Time(int minutes, int seconds, int milliseconds) {
        return {0, 0, milliseconds, seconds, minutes, true};
    }

    static inline GameModeTest* current = nullptr;
    std::deque<SceneCode> results;
    std::vector<std::string> calls;
    int titleSounds[3] = {-1, -1, -1};
};

// Stage 1 from its start: part a hands its hit points and attack level to
// part b, the boss's interlude plays before the intermission, and the clear
// takes the best time, raises the progress, saves, plays the closing
// interlude and the clear scene, then opens the stage select on stage 2.
TEST_F(GameModeTest, StageOneRunsFromPartAToTheClearAndOpensTheSelectOnStageTwo) {
    results = {1, 102, 103, 104, 0, 0};
    StoryScenes.stage = [](int code, int hitPoints, int attackLevel, int retry) {
        CarriedHitPoints = 60;
        CarriedAttackLevel = 2;
        return current->Next("stage " + std::to_string(code) + " " + std::to_string(hitPoints) + " " +
                             std::to_string(attackLevel) + (retry ? " retry" : ""));
    };
    StagePlayTimer = Time(1, 2, 345);
    BestTimeTable[1] = Time(0, 30, 0);

    EXPECT_EQ(RunGameMode(titleSounds), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"select 1", "stage 1 100 1", "stage 102 60 2", "boss 1 20", "clear",
                                               "select 2"}));
    EXPECT_EQ(InterludeBackgrounds(),
              (std::vector<std::string>{"stage1b_for_senario.png", "stage1b_for_senario.png"}));
    EXPECT_EQ(GameProgress, 1);
    EXPECT_EQ(SavedWords().at(0), 1);
    EXPECT_EQ(SavedRecord(1), (std::vector<int32_t>{345, 2, 1}));
    EXPECT_EQ(SavedRecord(2), (std::vector<int32_t>{0, 30, 0}));
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle(
                  "resource\\picture\\background\\stage1b\\stage1b_for_senario.png"),
              -1);
    EXPECT_TRUE(messageBoxes.empty());
}

// Clearing a stage again keeps a better record and never lowers the
// progress; clearing stage 3 opens the select on stage 4.
TEST_F(GameModeTest, AnotherClearKeepsABetterRecordAndTheProgress) {
    results = {3, 302, 303, 304, 0, 0};
    GameProgress = 5;
    StagePlayTimer = Time(2, 0, 0);
    BestTimeTable[2] = Time(1, 59, 999);
    EXPECT_EQ(RunGameMode(titleSounds), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"select 1", "stage 3 100 1", "stage 302 100 1", "boss 3 20", "clear",
                                               "select 4"}));
    EXPECT_EQ(InterludeBackgrounds(), (std::vector<std::string>{"stage3_background_for_senario.png",
                                                                "stage3_background_for_senario.png"}));
    EXPECT_EQ(GameProgress, 5);
    EXPECT_EQ(SavedWords().at(0), 5);
    EXPECT_EQ(SavedRecord(3), (std::vector<int32_t>{999, 59, 1}));
}

// The results that end the story or go on without a stage clear, and the
// calls each makes. Stage 4 has no boss; a closed window or failed load at
// the stage select ends the driver at once.
TEST_F(GameModeTest, EachResultLeadsToItsNextStep) {
    CarriedHitPoints = 100;
    CarriedAttackLevel = 1;
    struct Case {
        const char* name;
        std::deque<SceneCode> results;
        SceneCode returned;
        std::vector<std::string> calls;
        int progress;  // before -> after
        int progressAfter;
    };
    const Case cases[] = {
        {"back out", {0}, 0, {"select 1"}, 0, 0},
        {"window closed at the select", {9}, 9, {"select 1"}, 0, 0},
        {"select failed to load", {-1}, 9, {"select 1"}, 0, 0},
        {"left by the pause menu", {2, 99}, 0, {"select 1", "stage 2 100 1"}, 1, 1},
        {"stage failed to load", {2, -1}, 9, {"select 1", "stage 2 100 1"}, 1, 1},
        {"loss, back to the title", {1, 101, 1}, 10, {"select 1", "stage 1 100 1", "game over"}, 0, 0},
        {"loss, the game over failed to load", {1, 101, -1}, 9, {"select 1", "stage 1 100 1", "game over"}, 0, 0},
        {"loss in part b and in a battle, continued",
         {5, 502, 101, 0, 503, 101, 0, 99},
         0,
         {"select 1", "stage 5 100 1", "stage 502 100 1", "game over", "stage 502 100 1 retry", "boss 5 20",
          "game over", "boss 5 20 retry"},
         4,
         4},
        {"stage 4 cleared without a boss", {4, 402, 403, 0, 9}, 9,
         {"select 1", "stage 4 100 1", "stage 402 100 1", "clear", "select 5"}, 3, 4},
        {"boss rush done", {7, 7100}, 10, {"select 1", "rush"}, 6, 6},
        {"boss rush cancelled", {7, 0, 0}, 0, {"select 1", "rush", "select 7"}, 6, 6},
        {"the ending dispatched", {8, 10}, 10, {"select 1", "ending first"}, 6, 6},
        {"the ending's window closed", {8, -1}, 9, {"select 1", "ending first"}, 6, 6},
        {"the clear scene's window closed", {4, 403, -1}, 9, {"select 1", "stage 4 100 1", "clear"}, 3, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        calls.clear();
        results = c.results;
        GameProgress = c.progress;
        EXPECT_EQ(RunGameMode(titleSounds), c.returned);
        EXPECT_EQ(calls, c.calls);
        EXPECT_TRUE(results.empty());
        EXPECT_EQ(GameProgress, c.progressAfter);
        EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    }
}

// Stage 6: its scenario, then the last battle; a loss continued skips the
// scenario; 601 takes the time into record 6, sets the progress to 6, saves
// and runs the ending, with the first-clear flag only when the progress was
// lower before.
TEST_F(GameModeTest, TheLastBossLeadsToTheEndingFirstClearOnlyOnce) {
    struct Case {
        int progress;
        std::deque<SceneCode> results;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {5, {6, 101, 0, 601, 10}, {"select 1", "boss 6 20", "game over", "boss 6 20 retry", "ending first"}},
        {6, {6, 601, 10}, {"select 1", "boss 6 20", "ending"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        calls.clear();
        results = c.results;
        GameProgress = c.progress;
        StagePlayTimer = Time(3, 4, 50);
        BestTimeTable[5] = kUnsetPlayTime;
        const int before = FramesEnded();
        EXPECT_EQ(RunGameMode(titleSounds), 10);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(GameProgress, 6);
        EXPECT_EQ(SavedWords().at(0), 6);
        EXPECT_EQ(SavedRecord(6), (std::vector<int32_t>{50, 4, 3}));
        // One interlude: the retry skipped it.
        EXPECT_EQ(InterludeBackgrounds(before), std::vector<std::string>{"stage6_background_for_senario.png"});
    }
}

// An interlude that cannot load ends the story with 9: the scenario with
// its own message box, the background and the music with the quit message.
TEST_F(GameModeTest, AnInterludeThatFailsToLoadEndsTheStory) {
    EXPECT_EQ(RunScenarioInterlude("resource\\senario\\none.xml", "resource\\picture\\Figures.png"), 9);
    ASSERT_EQ(messageBoxes.size(), 1u);
    EXPECT_EQ(messageBoxes[0].text, "シナリオロードエラー");
    EXPECT_EQ(messageBoxes[0].caption, "エラー");

    messageBoxes.clear();
    EXPECT_EQ(RunScenarioInterlude("resource\\senario\\Stage1_senario1.xml", "resource\\picture\\none.png"), 9);
    ASSERT_FALSE(messageBoxes.empty());  // the list loader's own, then the scene's
    EXPECT_EQ(messageBoxes.back().text, "Failed to load Senario Image. This program will quit.");
    EXPECT_EQ(messageBoxes.back().type, MB_ICONHAND);
    int exitCode = 0;
    EXPECT_TRUE(QuitPosted(&exitCode));
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle("resource\\picture\\none.png"), -1);

    // In the driver the failed interlude ends the story before the battle.
    messageBoxes.clear();
    ASSERT_TRUE(DeleteFileA("resource\\senario\\Stage3_senario1.xml"));
    results = {3, 303};
    EXPECT_EQ(RunGameMode(titleSounds), 9);
    EXPECT_EQ(calls, (std::vector<std::string>{"select 1", "stage 3 100 1"}));
    EXPECT_EQ(messageBoxes.size(), 1u);
}

// The interlude: 51 fade frames that do not end a frame, the scenario over
// its background with the talk music, 64 frames of fade-out, then
// everything given back and the brightness at 255.
TEST_F(GameModeTest, AnInterludeFadesInPlaysAndFadesOut) {
    int talking = -1;
    AtFrame(1, [&] {
        ASSERT_EQ(MainWindow.activeStateCallback, &OnActiveChangeBgm);
        talking = static_cast<int>(reinterpret_cast<intptr_t>(MainWindow.activeStateCallbackArgument));
    });
    EXPECT_EQ(RunScenarioInterlude("resource\\senario\\Stage2_senario1.xml",
                                   "resource\\picture\\background\\stage2b\\stage2b_for_senario.png"),
              0);
    ASSERT_GT(FramesEnded(), 64);
    // The fade-in's frames are presented without a frame end: the first
    // frame holds all 51 of them and the scenario's first.
    const std::vector<gametest::SeenDraw>& first = DrawsOfFrame(1);
    ASSERT_GE(first.size(), 52u);
    EXPECT_EQ(gametest::Describe(first[0]),
              "DrawGraphicAtPoint stage2b_for_senario.png 0,0 trans 0 blend 0/0 bright 0,0,0");
    EXPECT_EQ(first[50].bright[0], 250);
    EXPECT_EQ(first[51].transFlag, 1);
    EXPECT_EQ(DrawsOfFrame(FramesEnded() - 63).front().bright[0], 255);
    EXPECT_EQ(DrawsOfFrame(FramesEnded()).front().bright[0], 3);
    EXPECT_EQ(GetDrawBrightColor(), 0xFFFFFFu);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
    EXPECT_GE(talking, 0);
    EXPECT_EQ(Manager::CTextureManager::GetInstance()->GetHandle(
                  "resource\\picture\\background\\stage2b\\stage2b_for_senario.png"),
              -1);
    EXPECT_EQ(Manager::CSoundManager::GetInstance()->GetHandle("resource\\sound\\BGM\\bgm_talk.ogg"), -1);
}

}  // namespace
