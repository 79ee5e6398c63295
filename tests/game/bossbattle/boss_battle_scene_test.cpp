// The boss battle played headless from the placeholder tree with scripted
// keys: how each battle ends and what it hands back, the pause menu, the
// clock, the pilots' events, and the boss's entrance before the first frame.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/graphics/draw_settings.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window_state.h"
#include "game/app/play_time.h"
#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_records.h"
#include "game/bossbattle/battle_scenario_scene.h"
#include "game/bossbattle/battle_sounds.h"
#include "game/bossbattle/boss_battle_scene.h"
#include "game/bossbattle/boss_behaviour.h"
#include "game/framework/resource_managers.h"
#include "game/stage/stage_scene.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"

namespace {

constexpr int kKeyStart = 27;   // Esc
constexpr int kKeyAttack = 90;  // Z
constexpr int kKeyJump = 88;    // X
constexpr int kKeyDown = 40;
constexpr int kKeySkip = 83;    // S: a button the battle does not use

class BossBattleSceneTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
        Current = this;
        BossBattleFrameHook = &BossBattleSceneTest::OnBattleFrame;
        SetFrameLimit(4000);
        // Every draw is still seen, but the software renderer fills one
        // pixel instead of the screen: the battles run in seconds.
        SetDrawAreaRect(0, 0, 1, 1);
        // And the window shows the screen a hundredth of its size.
        MainWindow.settings.WindowScaleRateX = 0.01;
        MainWindow.settings.WindowScaleRateY = 0.01;
    }

    void TearDown() override {
        MainWindow.settings.WindowScaleRateX = 0.0;
        MainWindow.settings.WindowScaleRateY = 0.0;
        BossBattleFrameHook = nullptr;
        Current = nullptr;
        GameTest::TearDown();
    }

    // A key pressed on every other frame: the robot movie is skipped at once.
    void SkipMovies() {
        for (int frame = 1; frame < 4000; frame += 2) HoldKey(kKeySkip, frame);
    }

    // Presses a key in the battle frame `after` frames from the current one.
    void PressInBattleFrame(int key, int after) { HoldKey(key, FramesEnded() + after); }

    // Runs the battle; onFrame sees the robots at the start of each battle
    // frame with its index (0 for the first).
    int Run(int pilot, int bossId, bool retry = true, int* carried = nullptr) {
        int unused = 25;
        battleFrames = 0;
        const int result = RunBossBattleScene(carried != nullptr ? carried : &unused, pilot, bossId, retry);
        // The next battle in the same test starts its key script afresh.
        return result;
    }

    static void OnBattleFrame(PlayerRobot& player, BossRobot& boss, int& overCounter) {
        if (Current == nullptr) return;
        if (Current->shortExplosions && overCounter > 0 && overCounter < 650) overCounter = 650;
        if (Current->onFrame) Current->onFrame(Current->battleFrames, player, boss);
        ++Current->battleFrames;
    }

    static inline BossBattleSceneTest* Current = nullptr;
    std::function<void(int, PlayerRobot&, BossRobot&)> onFrame;
    int battleFrames = 0;
    // The explosions are cut short where a test is not about them.
    bool shortExplosions = true;
};

int WinCode(int bossId) {
    switch (bossId % 1000 == 0 ? bossId / 1000 : bossId) {
    case 1: return 104;
    case 2: return 204;
    case 3: return 304;
    case 5: return 504;
    default: return 601;
    }
}

constexpr int kBossIds[] = {1, 2, 3, 5, 6, 1000, 2000, 3000, 5000, 6000};

// Every boss beaten gives its code; only the boss rush reads and writes the
// carried hit points; the clock starts anew only at the last story boss and
// at the first boss-rush battle, and otherwise runs on from where it stood.
TEST_F(BossBattleSceneTest, EveryBossBeatenGivesItsCodeAndHandsOnHitPointsAndTheClock) {
    SetFrameLimit(20000);
    SkipMovies();
    for (int bossId : kBossIds) {
        SCOPED_TRACE(bossId);
        int carried = 17;
        int startHitPoints = -1;
        onFrame = [&](int frame, PlayerRobot& player, BossRobot& boss) {
            if (frame == 0) startHitPoints = player.hitPoints;
            if (frame == 2) {
                player.hitPoints = 9;
                boss.hitPoints = 0;
            }
        };
        LastCharacter = 0;
        BossRangeMode = 2;
        StagePlayTimer = PlayTimer{0, 300000, 0, 0, 5, true};
        EXPECT_EQ(Run(1, bossId, true, &carried), WinCode(bossId));
        const bool rush = bossId >= 1000;
        EXPECT_EQ(startHitPoints, rush ? 17 : 25);
        EXPECT_EQ(carried, rush ? 9 : 17);
        EXPECT_EQ(LastCharacter, 1);
        EXPECT_EQ(BossRangeMode, -100000);
        EXPECT_TRUE(messageBoxes.empty());
        // The battle ends in its third frame, and the clock stops there.
        EXPECT_TRUE(StagePlayTimer.paused);
        if (bossId == 6 || bossId == 1000) {
            EXPECT_LT(StagePlayTimer.offset, 1000);
        } else {
            EXPECT_GE(StagePlayTimer.offset, 300000);
            EXPECT_LT(StagePlayTimer.offset, 301000);
        }
    }
}

TEST_F(BossBattleSceneTest, ABasicAttackOnABossAtOneHitPointWins) {
    SkipMovies();
    onFrame = [&](int frame, PlayerRobot&, BossRobot& boss) {
        if (frame == 0) {
            boss.hitPoints = 1;
            PressInBattleFrame(kKeyAttack, 1);
        }
    };
    EXPECT_EQ(Run(1, 1), 104);
    // The blow lands at the attack's 40th frame.
    EXPECT_GT(battleFrames, 40 + 10);
}

TEST_F(BossBattleSceneTest, ThePlayerDestroyedEndsAfterTheExplosionsAndTheFade) {
    SkipMovies();
    int killFrame = -1;
    int killTestFrame = 0;
    onFrame = [&](int frame, PlayerRobot& player, BossRobot&) {
        if (frame == 3) {
            player.hitPoints = 0;
            killFrame = frame;
            killTestFrame = FramesEnded() + 1;
        }
    };
    shortExplosions = false;
    LastCharacter = 0;
    EXPECT_EQ(Run(3, 5), 101);
    EXPECT_EQ(LastCharacter, 3);
    // 660 frames of explosions, then 64 frames of fade.
    EXPECT_EQ(battleFrames - 1 - killFrame, 660 + 64);

    auto brightOf = [&](int frame) {
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (draw.picture == "cockpit.png") return std::to_string(draw.bright[0]) + "," + std::to_string(draw.bright[1]);
        return std::string("none");
    };
    EXPECT_EQ(brightOf(killTestFrame + 100), "255,205");  // the red tint deepens with the explosions
    EXPECT_EQ(brightOf(killTestFrame + 600), "255,0");
    EXPECT_EQ(brightOf(killTestFrame + 700), "95,95");  // the end fade
    // The robot is gone from the final blast on.
    bool robotDrawn = false;
    for (const gametest::SeenDraw& draw : DrawsOfFrame(killTestFrame + 520))
        if (draw.picture.rfind("grav_", 0) == 0) robotDrawn = true;
    EXPECT_FALSE(robotDrawn);
}

TEST_F(BossBattleSceneTest, BothRobotsDestroyedInOneFrameIsAWin) {
    SkipMovies();
    onFrame = [&](int frame, PlayerRobot& player, BossRobot& boss) {
        if (frame == 2) {
            player.hitPoints = 0;
            boss.hitPoints = 0;
        }
    };
    EXPECT_EQ(Run(1, 5000), 504);
}

TEST_F(BossBattleSceneTest, LeavingThroughThePauseMenuGives99AndKeepsTheLastCharacter) {
    SkipMovies();
    PlayTimer pausedTime = {};
    bool clockStood = true;
    bool menuShown = false;
    onFrame = [&](int frame, PlayerRobot&, BossRobot&) {
        if (frame == 5) {
            PressInBattleFrame(kKeyStart, 1);
            PressInBattleFrame(kKeyDown, 30);
            PressInBattleFrame(kKeyAttack, 32);
        }
        if (frame == 7) pausedTime = StagePlayTimer;
        if (frame > 7 && frame < 30 && (StagePlayTimer.offset != pausedTime.offset || !StagePlayTimer.paused))
            clockStood = false;
        if (frame == 20) {
            int selectMenus = 0;
            bool time = false;
            for (const gametest::SeenDraw& draw : DrawsOfFrame(FramesEnded())) {
                if (draw.picture == "battle_select_menus.png") ++selectMenus;
                if (draw.picture == "Figures.png" && draw.points[0] == 10 && draw.points[1] == 400) time = true;
            }
            menuShown = selectMenus == 2 && time;
        }
    };
    LastCharacter = 4;
    BossRangeMode = 2;
    // Another owner's reference to the menu sheet outlives the battle's.
    const char* kSheet = kBattlePauseMenuPicture;
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    ASSERT_TRUE(textures->Load(kSheet, nullptr));
    EXPECT_EQ(Run(1, 3), 99);
    EXPECT_GE(textures->GetHandle(kSheet), 0);
    EXPECT_EQ(LastCharacter, 4);
    EXPECT_EQ(BossRangeMode, 2);
    EXPECT_TRUE(clockStood);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
}

// Each pilot's event stops the clock while it runs and ends by itself; the
// battle then plays on with the clock running.
TEST_F(BossBattleSceneTest, EveryPilotsEventEnds) {
    SkipMovies();
    for (int pilot = 1; pilot <= 4; ++pilot) {
        SCOPED_TRACE(pilot);
        int started = -1;
        int ended = -1;
        bool clockStoodDuringEvent = false;
        onFrame = [&](int frame, PlayerRobot& player, BossRobot& boss) {
            boss.stateCounter = 0;  // the boss keeps out of the way
            if (frame == 0 && pilot == 1) PressInBattleFrame(kKeyJump, 1);
            if (frame == 0 && pilot == 3) player.pilotEventCounter = 1;
            if (pilot == 3 && frame % 2 == 0) PressInBattleFrame(kKeyAttack, 1);  // reads the scenario on
            if (player.pilotEventCounter > 0 && started == -1) started = frame;
            if (player.pilotEventCounter > 5 && StagePlayTimer.paused && BossBattleEventFlag)
                clockStoodDuringEvent = true;
            if (started != -1 && ended == -1 && player.pilotEventCounter == 0) ended = frame;
            if (ended != -1 && frame == ended + 3) {
                EXPECT_FALSE(BossBattleEventFlag);
                EXPECT_FALSE(StagePlayTimer.paused);
                EXPECT_EQ(BossBattleScenario, nullptr);
                if (pilot == 3) {
                    EXPECT_EQ(player.defence, 2);
                }
                boss.hitPoints = 0;
            }
        };
        EXPECT_EQ(Run(pilot, 1), 104);
        EXPECT_NE(ended, -1);
        EXPECT_TRUE(clockStoodDuringEvent);
        EXPECT_TRUE(messageBoxes.empty());
    }
}

// Pilot 3's scenario plays once per battle; a second event has nothing to
// play and ends at once, with the clock running again.
TEST_F(BossBattleSceneTest, ASecondScanEventEndsAtOnce) {
    SkipMovies();
    int firstEnded = -1;
    int secondStarted = -1;
    int secondEnded = -1;
    bool scenarioAgain = false;
    onFrame = [&](int frame, PlayerRobot& player, BossRobot& boss) {
        boss.stateCounter = 0;
        if (frame == 0) player.pilotEventCounter = 1;
        if (frame % 2 == 0) PressInBattleFrame(kKeyAttack, 1);
        if (frame > 0 && firstEnded == -1 && player.pilotEventCounter == 0) {
            firstEnded = frame;
            player.pilotEventCounter = 1;
            secondStarted = frame;
        } else if (secondStarted != -1 && secondEnded == -1) {
            if (BossBattleScenario != nullptr) scenarioAgain = true;
            if (player.pilotEventCounter == 0) secondEnded = frame;
        }
        if (secondEnded != -1 && frame == secondEnded + 2) {
            EXPECT_FALSE(StagePlayTimer.paused);
            boss.hitPoints = 0;
        }
    };
    EXPECT_EQ(Run(3, 2), 204);
    ASSERT_NE(secondEnded, -1);
    EXPECT_EQ(secondEnded, secondStarted + 1);
    EXPECT_FALSE(scenarioAgain);
}

// The window losing and regaining focus: while the battle runs, the music
// and the clock stop and go on again; in the end sequence, whose music and
// clock are already stopped, the return restarts neither. Every way out
// clears the callback.
TEST_F(BossBattleSceneTest, AFocusChangeResumesOnlyWhatItStopped) {
    SkipMovies();
    bool stoppedWhileAway = false;
    bool resumedOnReturn = false;
    bool endStayedStill = false;
    onFrame = [&](int frame, PlayerRobot& player, BossRobot&) {
        const ActiveStateCallbackRoutine callback = MainWindow.activeStateCallback;
        void* argument = MainWindow.activeStateCallbackArgument;
        const int music = Manager::CSoundManager::GetInstance()->GetHandle("resource\\sound\\BGM\\bgm_VSBoss.ogg");
        if (callback == nullptr) return;
        if (frame == 5) {
            callback(0, argument);
            stoppedWhileAway = StagePlayTimer.paused && CheckSoundHandlePlaying(music) == 0;
            callback(1, argument);
            resumedOnReturn = !StagePlayTimer.paused && CheckSoundHandlePlaying(music) == 1;
            player.hitPoints = 0;
        }
        if (frame == 10) {
            const PlayTimer stopped = StagePlayTimer;
            callback(0, argument);
            callback(1, argument);
            endStayedStill = StagePlayTimer.paused && StagePlayTimer.offset == stopped.offset &&
                             CheckSoundHandlePlaying(music) == 0;
        }
    };
    EXPECT_EQ(Run(1, 1), 101);
    EXPECT_TRUE(stoppedWhileAway);
    EXPECT_TRUE(resumedOnReturn);
    EXPECT_TRUE(endStayedStill);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);

    // The window closing in a battle frame gives -1, also with the callback
    // cleared and no scenario left over.
    onFrame = [&](int frame, PlayerRobot&, BossRobot&) {
        if (frame == 4) QuitAtFrame(FramesEnded() + 1);
    };
    EXPECT_EQ(Run(1, 1), -1);
    EXPECT_EQ(battleFrames, 5);
    EXPECT_EQ(BossBattleScenario, nullptr);
    EXPECT_EQ(MainWindow.activeStateCallback, nullptr);
}

// ---- the entrance --------------------------------------------------------------------

class BattleEntranceTest : public BossBattleSceneTest {
protected:
    void Load(int bossId) {
        ASSERT_EQ(LoadBossBattleAssets(bossId, images), 0);
        ASSERT_EQ(LoadBossBattleSounds(bossId, sounds), kBossBattleSoundCount);
    }

    // Frames in which the boss is drawn (the only picture at its screen y),
    // and the x of its last picture.
    int BossFrames(int firstFrame, int lastFrame, int* lastX) {
        int count = 0;
        for (int frame = firstFrame; frame <= lastFrame; ++frame) {
            for (const gametest::SeenDraw& draw : DrawsOfFrame(frame)) {
                if (draw.points.size() >= 2 && draw.points[1] == kBossY) {
                    ++count;
                    *lastX = draw.points[0];
                    break;
                }
            }
        }
        return count;
    }

    static constexpr int kBossY = 80;
    int images[kBossBattleImageCount];
    int sounds[kBossBattleSoundCount];
};

TEST_F(BattleEntranceTest, TheBossWalksInFor145FramesAndOnlyStoryBosses2And3TellAScenarioFirst) {
    SetFrameLimit(20000);
    struct Case {
        int bossId;
        bool retry;
        bool scenario;
    };
    // Battles that share a table follow each other: it is loaded once.
    const Case cases[] = {{2, false, true}, {2, true, false}, {2000, false, false}, {3, false, true},
                          {1, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bossId);
        SCOPED_TRACE(c.retry);
        Load(c.bossId);
        // Reads any scenario on.
        for (int frame = FramesEnded() + 1; frame < FramesEnded() + 2000; frame += 2) HoldKey(kKeyAttack, frame);
        const int first = FramesEnded() + 1;
        EXPECT_EQ(RunBattleScenarioScene(sounds, c.bossId, kBossY, c.retry, 12, images), 0);
        const int last = FramesEnded();
        int lastX = 0;
        // The boss stands still at 350 while a scenario is told over it.
        EXPECT_EQ(BossFrames(first, last, &lastX), last - first + 1 - 64);
        EXPECT_EQ(lastX, c.scenario ? 350 : 352);
        // The fade-in from black, then the walk from 640 to 352.
        auto backgroundBright = [&](int frame) {
            for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
                if (draw.handle == images[0]) return draw.bright[0];
            return -1;
        };
        EXPECT_EQ(backgroundBright(first), 0);
        EXPECT_EQ(backgroundBright(first + 63), 252);
        EXPECT_EQ(backgroundBright(first + 64), 255);
        if (c.scenario) {
            EXPECT_GT(last - first + 1, 64 + 145);
        } else {
            EXPECT_EQ(last - first + 1, 64 + 145);
        }
        // The player's bar shows the hit points given, the boss's is full.
        int cells = 0;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(last))
            if (draw.handle == images[3]) ++cells;
        EXPECT_EQ(cells, 12 + 25);
        ReleaseSounds(BossBattleSoundTable, kBossBattleSoundCount);
    }
}

}  // namespace
