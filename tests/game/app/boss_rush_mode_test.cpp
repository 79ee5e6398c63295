// The boss-rush run with scripted hangars (which stand for the battles) and
// a scripted game over: the order of the battles, the carried hit points,
// the restart, the results, and the explanation and collection screens
// with the best run time.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "framework/window/main_window_state.h"
#include "game/app/boss_rush_mode.h"
#include "game/app/intermission_scene.h"
#include "game/app/play_time.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "game/framework/resource_managers.h"
#include "tests/game/app/app_test.h"

int RunGameOverScene();

namespace {

struct Hangar {
    int bossId;
    int hitPointsIn;
    bool retry;
};

// What a scripted battle does: the hit points it leaves and its result.
struct Outcome {
    int hitPointsOut;
    int result;
};

class BossRushTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        FillBestTimeRecordList();  // as the program's start does
        current_ = this;
        BossRushIntermissionScene = &ScriptedHangar;
        BossRushGameOverScene = &ScriptedGameOver;
        baseTextures_ = Manager::CTextureManager::GetInstance()->entries.size();
        baseSounds_ = Manager::CSoundManager::GetInstance()->entries.size();
    }
    void TearDown() override {
        BossRushIntermissionScene = &RunIntermissionScene;
        BossRushGameOverScene = &RunGameOverScene;
        current_ = nullptr;
        AppTest::TearDown();
    }

    void ExpectLeftClean() {
        EXPECT_EQ(Manager::CTextureManager::GetInstance()->entries.size(), baseTextures_);
        EXPECT_EQ(Manager::CSoundManager::GetInstance()->entries.size(), baseSounds_);
        EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
        EXPECT_EQ(GetDrawBrightColor() & 0xFFFFFF, 0xFFFFFFu);
    }

    // Record 7 as the save file holds it: milliseconds, seconds, minutes;
    // empty when there is no file.
    std::vector<int32_t> SavedRunRecord() const {
        const std::string bytes = folder_.readFile("save_ver_1.dat");
        if (bytes.size() != 168) return {};
        int32_t values[3];
        std::memcpy(values, bytes.data() + 8 + 16 * 6 + 4, sizeof(values));
        return {values[0], values[1], values[2]};
    }

    static PlayTimer Time(int minutes, int seconds, int milliseconds) {
        return PlayTimer{0, 0, milliseconds, seconds, minutes, true};
    }

    std::vector<Hangar> hangars;
    std::deque<Outcome> outcomes;
    std::deque<int> gameOverChoices;
    int gameOvers = 0;
    // The run's time when the last boss falls.
    PlayTimer runTime = Time(1, 2, 345);

    // The explanation: a 64-frame fade in, ATTACK, a 64-frame fade out.
    static constexpr int kExplanationFrames = 130;

private:
    static int ScriptedHangar(int bossId, int* carriedHitPoints, bool retry) {
        BossRushTest* test = current_;
        test->hangars.push_back({bossId, *carriedHitPoints, retry});
        if (test->outcomes.empty()) return -1;
        const Outcome outcome = test->outcomes.front();
        test->outcomes.pop_front();
        *carriedHitPoints = outcome.hitPointsOut;
        if (bossId == 6000) StagePlayTimer = test->runTime;
        return outcome.result;
    }
    static int ScriptedGameOver() {
        BossRushTest* test = current_;
        ++test->gameOvers;
        if (test->gameOverChoices.empty()) return 1;
        const int choice = test->gameOverChoices.front();
        test->gameOverChoices.pop_front();
        return choice;
    }

    static inline BossRushTest* current_ = nullptr;
    size_t baseTextures_ = 0;
    size_t baseSounds_ = 0;
};

// Five battles in order with the hit points carried (6 regained between
// battles, never above 25), then the collection, whose run time becomes the
// best and is in the save file as the screen is first shown; ATTACK ends
// the run with 7100.
TEST_F(BossRushTest, ARunFightsTheFiveBossesAndEndsOnTheCollection) {
    HoldKey('Z', 66);
    outcomes = {{10, 104}, {22, 204}, {3, 304}, {20, 504}, {0, 601}};
    const int collection = kExplanationFrames + 5 + 1;  // a frame ends after each battle
    std::vector<int32_t> savedOnEntry;
    AtFrame(collection, [&] { savedOnEntry = SavedRunRecord(); });
    HoldKey('Z', collection + 66);

    EXPECT_EQ(RunBossRushMode(), 7100);

    ASSERT_EQ(hangars.size(), 5u);
    const Hangar expected[] = {{1000, 25, false}, {2000, 16, false}, {3000, 25, false}, {5000, 9, false},
                               {6000, 25, false}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(hangars[i].bossId, expected[i].bossId) << i;
        EXPECT_EQ(hangars[i].hitPointsIn, expected[i].hitPointsIn) << i;
        EXPECT_EQ(hangars[i].retry, expected[i].retry) << i;
    }
    EXPECT_EQ(gameOvers, 0);
    EXPECT_EQ(BestTimeTable[6].minutes, 1);
    EXPECT_EQ(BestTimeTable[6].seconds, 2);
    EXPECT_EQ(BestTimeTable[6].milliseconds, 345);
    EXPECT_EQ(savedOnEntry, (std::vector<int32_t>{345, 2, 1}));
    ExpectLeftClean();

    EXPECT_EQ(Pictures(1).back(), "explain.png");
    EXPECT_EQ(Pictures(kExplanationFrames).back(), "explain.png");
    // The collection after its fade in: the picture, the two labels, the
    // run's time and the best time, both 001:02:34.
    const std::vector<gametest::SeenDraw>& draws = DrawsOfFrame(collection + 65);
    ASSERT_EQ(draws.size(), 23u);
    EXPECT_EQ(gametest::Describe(draws[0]), "DrawGraphicAtPoint collect.png 0,0 trans 0 blend 0/0 bright 255,255,255");
    EXPECT_EQ(gametest::Describe(draws[1]),
              "DrawGraphicPart Figures.png 190,400 part 207,0,56,20 trans 1 blend 0/0 bright 255,255,255");
    EXPECT_EQ(gametest::Describe(draws[12]),
              "DrawGraphicPart Figures.png 190,420 part 268,0,56,20 trans 1 blend 0/0 bright 255,255,255");
    for (const int first : {2, 13}) {
        const int digits[] = {0, 0, 1, -1, 0, 2, -1, 3, 4};  // after the time's own label
        for (int i = 0; i < 9; ++i)
            if (digits[i] >= 0) {
                EXPECT_EQ(draws[first + 1 + i].source[0], 57 + 14 * digits[i]) << first << " " << i;
            }
    }
    EXPECT_EQ(draws[2].points[1], 400);
    EXPECT_EQ(draws[13].points[1], 420);
}

// The run goes through the real hangar, which hands the boss-rush id and
// the run's hit points on to the battle.
TEST_F(BossRushTest, EachBattleIsLaunchedFromTheHangar) {
    BossRushIntermissionScene = &RunIntermissionScene;
    struct Launch {
        int hitPoints;
        int pilot;
        int bossId;
        bool retry;
    };
    static std::vector<Launch> launches;
    launches.clear();
    IntermissionBattleScene = [](int* carriedHitPoints, int pilot, int bossId, bool retry) {
        launches.push_back({*carriedHitPoints, pilot, bossId, retry});
        return 99;
    };
    HoldKey('Z', 66);
    const int choice = kExplanationFrames + 120;  // the hangar's gates are open
    HoldKey(VK_DOWN, choice + 2);
    HoldKey('Z', choice + 4);

    EXPECT_EQ(RunBossRushMode(), 7100);
    IntermissionBattleScene = &RunBossBattleScene;

    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].hitPoints, 25);
    EXPECT_EQ(launches[0].pilot, 1);
    EXPECT_EQ(launches[0].bossId, 1000);
    EXPECT_FALSE(launches[0].retry);
    EXPECT_EQ(Pictures(choice + 1).back(), "beam_frame.png");
    ExpectLeftClean();
}

// A loss goes to the game over: continue starts the run again at the first
// boss with full hit points; back to the title ends the run with 0.
TEST_F(BossRushTest, ALossRestartsTheRunOrGoesBackToTheTitle) {
    HoldKey('Z', 66);
    outcomes = {{12, 104}, {4, 101}, {20, 104}, {0, 101}};
    gameOverChoices = {0, 1};

    EXPECT_EQ(RunBossRushMode(), 0);

    ASSERT_EQ(hangars.size(), 4u);
    const Hangar expected[] = {{1000, 25, false}, {2000, 18, false}, {1000, 25, false}, {2000, 25, false}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(hangars[i].bossId, expected[i].bossId) << i;
        EXPECT_EQ(hangars[i].hitPointsIn, expected[i].hitPointsIn) << i;
        EXPECT_EQ(hangars[i].retry, expected[i].retry) << i;
    }
    EXPECT_EQ(gameOvers, 2);
    ExpectLeftClean();
}

// A battle left through its pause menu ends the run as completed, without
// the collection or a new record; a closed window or a failed load in a
// hangar ends it with -1.
TEST_F(BossRushTest, PauseMenuClosedWindowAndFailedLoadInABattle) {
    const struct {
        int result;
        int expected;
    } cases[] = {{99, 7100}, {9, -1}, {-1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        hangars.clear();
        outcomes = {{20, 104}, {10, c.result}};
        HoldKey('Z', FramesEnded() + 66);
        EXPECT_EQ(RunBossRushMode(), c.expected);
        EXPECT_EQ(hangars.size(), 2u);
        EXPECT_EQ(BestTimeTable[6].minutes, 999);
        EXPECT_TRUE(SavedRunRecord().empty());
        ExpectLeftClean();
    }
}

// JUMP on the explanation leaves with 0 before any battle; the window
// closing during it leaves with -1.
TEST_F(BossRushTest, TheExplanationCancelledOrClosed) {
    HoldKey('X', 70);
    EXPECT_EQ(RunBossRushMode(), 0);
    EXPECT_EQ(FramesEnded(), 70);
    QuitAtFrame(FramesEnded() + 30);
    EXPECT_EQ(RunBossRushMode(), -1);
    EXPECT_EQ(FramesEnded(), 100);
    QuitAtFrame(FramesEnded() + 90);
    EXPECT_EQ(RunBossRushExplanation(), 9);
    EXPECT_TRUE(hangars.empty());
    ExpectLeftClean();
}

// The collection takes the run's time only when strictly better than the
// record, and saves it at once: closing the window on the collection keeps
// it.
TEST_F(BossRushTest, TheBestRunTimeIsTakenOnlyWhenBetterAndSavedAtOnce) {
    const struct {
        PlayTimer record;
        PlayTimer run;
        bool taken;
    } cases[] = {
        {Time(1, 0, 0), Time(0, 59, 999), true},
        {Time(1, 2, 345), Time(1, 2, 345), false},
        {Time(1, 2, 345), Time(1, 2, 346), false},
        {kUnsetPlayTime, Time(30, 0, 0), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.run.minutes * 100000 + c.run.seconds * 1000 + c.run.milliseconds);
        std::filesystem::remove(std::filesystem::path(folder_.hostPath()) / "save_ver_1.dat");
        BestTimeTable[6] = c.record;
        StagePlayTimer = c.run;
        QuitAtFrame(FramesEnded() + 70);
        EXPECT_EQ(RunBossRushCollection(), 9);
        const PlayTimer& best = c.taken ? c.run : c.record;
        EXPECT_EQ(BestTimeTable[6].minutes, best.minutes);
        EXPECT_EQ(BestTimeTable[6].seconds, best.seconds);
        EXPECT_EQ(BestTimeTable[6].milliseconds, best.milliseconds);
        const std::vector<int32_t> saved =
            c.taken ? std::vector<int32_t>{best.milliseconds, best.seconds, best.minutes} : std::vector<int32_t>{};
        EXPECT_EQ(SavedRunRecord(), saved);
        ExpectLeftClean();
    }
}

// A missing picture or sound on either screen: the message, a quit message
// with code 1 and -1, which ends the run with -1; what loaded before the
// missing file is given back.
TEST_F(BossRushTest, LoadFailuresEndTheRun) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.windowsPath().c_str()));
    const fs::path tree = fs::path(BRACKENFOLD_RESOURCE_DIR) / "resource";
    const fs::path copy = fs::path(folder_.hostPath()) / "resource";
    const char* const image = "Failed to load How to Image. This program will quit.";
    const char* const sound = "Failed to load Title Sound. This program will quit.";
    // Files are added stage by stage: none; the two screens' pictures but
    // not the digits; the digits and the first sound of the list.
    const struct {
        int stage;
        int (*run)();
        const char* text;
    } cases[] = {
        {0, &RunBossRushMode, image}, {0, &RunBossRushCollection, image},
        {1, &RunBossRushMode, sound}, {1, &RunBossRushCollection, image},
        {2, &RunBossRushMode, sound}, {2, &RunBossRushCollection, sound},
    };
    int stage = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stage) + " " + c.text);
        if (c.stage == 1 && stage == 0) {
            fs::create_directories(copy / "picture" / "BossBattle");
            fs::copy(tree / "picture" / "BossBattle" / "ConsecutionBossBattle",
                     copy / "picture" / "BossBattle" / "ConsecutionBossBattle");
        }
        if (c.stage == 2 && stage == 1) {
            fs::copy(tree / "picture" / "Figures.png", copy / "picture" / "Figures.png");
            fs::create_directories(copy / "sound" / "SE");
            fs::copy(tree / "sound" / "SE" / "se_title_cancel.wav", copy / "sound" / "SE" / "se_title_cancel.wav");
        }
        stage = c.stage;
        messageBoxes.clear();
        EXPECT_EQ(c.run(), -1);
        ASSERT_FALSE(messageBoxes.empty());
        EXPECT_EQ(messageBoxes.back().text, c.text);
        EXPECT_EQ(messageBoxes.back().type, MB_ICONHAND);
        EXPECT_FALSE(messageBoxes.back().hasCaption);
        int exitCode = 0;
        EXPECT_TRUE(QuitPosted(&exitCode));
        EXPECT_EQ(exitCode, 1);
        EXPECT_TRUE(hangars.empty());
        ExpectLeftClean();
    }
}

}  // namespace
