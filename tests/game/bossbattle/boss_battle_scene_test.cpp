// The boss battle played headless from the placeholder tree with scripted
// keys: how each battle ends and what it hands back, the pause menu, the
// clock, the pilots' events, and the boss's entrance before the first frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

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

// ---- paths that only a whole battle frame reaches --------------------------------------

// The player's robot as a battle frame began: as the frame before it drew it.
struct RobotLook {
    int state = 0;
    int counter = 0;
    int x = 0;
    int y = 0;
    int hitPoints = 0;
    int grabCounter = 0;
    int bossState = 0;
    int drawnFrame = 0;  // the frame that drew it
};

RobotLook LookAt(const PlayerRobot& player, const BossRobot& boss, int drawnFrame) {
    return RobotLook{player.state, player.stateCounter, player.screenX,   player.screenY,
                     player.hitPoints, player.grabCounter, boss.state, drawnFrame};
}

// The draws of the frame whose picture begins with `prefix`.
std::vector<gametest::SeenDraw> DrawsNamed(const std::vector<gametest::SeenDraw>& draws, const std::string& prefix) {
    std::vector<gametest::SeenDraw> found;
    for (const gametest::SeenDraw& draw : draws)
        if (draw.picture.rfind(prefix, 0) == 0) found.push_back(draw);
    return found;
}

// Boss 3 near its end reaches for the robot from afar and grabs it: the
// robot is lifted and swung about a point 200 pixels ahead of it, and after
// 77 frames thrown down, losing 3 hit points less its defence, with a ring
// bursting from it, while the boss lets go.
TEST_F(BossBattleSceneTest, TheGrabSwingsTheRobotAndThrowsItDown) {
    SkipMovies();
    for (int defence : {0, 2}) {
        SCOPED_TRACE(defence);
        std::vector<RobotLook> looks;
        int released = -1;
        onFrame = [&](int frame, PlayerRobot& player, BossRobot& boss) {
            if (frame == 0) {
                boss.hitPoints = 5;  // the far attack, the grab, is its choice now
                player.defence = defence;
            }
            if (frame > 0) looks.push_back(LookAt(player, boss, FramesEnded()));
            if (released == -1 && !looks.empty() && looks.back().state == kRobotKnockedBack && looks.size() > 1 &&
                looks[looks.size() - 2].state == kRobotGrabbed)
                released = static_cast<int>(looks.size()) - 1;
            if (released != -1 && static_cast<int>(looks.size()) == released + 4) boss.hitPoints = 0;
            ASSERT_LT(frame, 1500) << "no grab";
        };
        BossRangeMode = 0;
        EXPECT_EQ(Run(1, 3), 304);
        ASSERT_NE(released, -1);
        int grabbed = released;
        while (grabbed > 0 && looks[grabbed - 1].state == kRobotGrabbed) --grabbed;
        EXPECT_EQ(released - grabbed, 77);

        // After the swing it comes back down slowly, a quarter turn being
        // spread over 76 frames: where it is, from the point ahead, at some
        // of its counters.
        struct Drop {
            int counter;
            int dx;
            int dy;
        };
        const Drop drops[] = {{56, -4, -199}, {62, -28, -197}, {69, -57, -191}, {76, -84, -181}};
        size_t dropsSeen = 0;

        // Held: no hit points lost yet, the boss holding.
        for (int i = grabbed; i < released; ++i) {
            const RobotLook& look = looks[i];
            SCOPED_TRACE(look.counter);
            EXPECT_EQ(look.hitPoints, 25);
            EXPECT_EQ(look.bossState, kBossHolding);
            const std::vector<gametest::SeenDraw> robot =
                DrawsNamed(DrawsOfFrame(look.drawnFrame), "grav_damage01.png");
            ASSERT_EQ(robot.size(), 1u);
            const int dx = robot[0].points[0] - (look.x + 200);
            const int dy = robot[0].points[1] - look.y;
            if (look.counter < 20) {
                // First still where it was caught,
                EXPECT_EQ(robot[0].points[0], look.x);
                EXPECT_EQ(robot[0].points[1], look.y);
            } else {
                // then on the circle of 200 about the point ahead, never below it,
                EXPECT_NEAR(dx * dx + dy * dy, 200 * 200, 2 * 200 * 2);
                EXPECT_LE(dy, 0);
                EXPECT_LE(dx, 0);
            }
            if (look.counter == 55) {
                // overhead at its 55th frame,
                EXPECT_EQ(dx, 0);
                EXPECT_EQ(dy, -200);
            }
            for (const Drop& drop : drops) {
                if (look.counter != drop.counter) continue;
                ++dropsSeen;
                EXPECT_EQ(dx, drop.dx);
                EXPECT_EQ(dy, drop.dy);
            }
            if (look.counter > 20 && look.counter <= 55) {
                // rising to it,
                EXPECT_LE(robot[0].points[1], DrawsNamed(DrawsOfFrame(looks[i - 1].drawnFrame), "grav_damage")[0].points[1]);
            } else if (look.counter > 55) {
                // and coming down again after it.
                EXPECT_GE(robot[0].points[1], DrawsNamed(DrawsOfFrame(looks[i - 1].drawnFrame), "grav_damage")[0].points[1]);
            }
        }
        EXPECT_EQ(dropsSeen, std::size(drops));
        const RobotLook& thrown = looks[released];
        EXPECT_EQ(thrown.hitPoints, 25 - 3 + defence);
        EXPECT_EQ(thrown.bossState, kBossDeciding);
        // The ring bursts from the middle of the robot and grows 70 pixels a
        // frame.
        const std::vector<gametest::SeenDraw> ring =
            DrawsNamed(DrawsOfFrame(looks[released + 2].drawnFrame), "damage_ring_fire006.png");
        ASSERT_EQ(ring.size(), 1u);
        EXPECT_EQ((ring[0].points[0] + ring[0].points[2]) / 2, thrown.x + 256);
        EXPECT_EQ((ring[0].points[1] + ring[0].points[3]) / 2, thrown.y + 256);
        EXPECT_EQ(ring[0].points[2] - ring[0].points[0], 2 * 70 * 2);
        // Thrown down, it is knocked back, hopping.
        EXPECT_LT(looks[released + 3].y, thrown.y);
    }
}

// The pause menu: JUMP hides it (the battle stays paused and undimmed),
// ATTACK, START or JUMP shows it again, and START or ATTACK on "resume"
// plays on with the clock going on from where it stood.
TEST_F(BossBattleSceneTest, ThePauseMenuHidesShowsAgainAndResumes) {
    SkipMovies();
    for (int resumeKey : {kKeyStart, kKeyAttack}) {
        SCOPED_TRACE(resumeKey);
        struct Look {
            bool paused;
            int milliseconds;
            int state;
            int drawnFrame;
        };
        std::vector<Look> looks;
        onFrame = [&](int frame, PlayerRobot& player, BossRobot& boss) {
            boss.stateCounter = 0;  // the boss keeps out of the way
            const PlayTimer& t = StagePlayTimer;
            looks.push_back(Look{BossBattlePaused, t.milliseconds + 1000 * (t.seconds + 60 * t.minutes),
                                 player.state, FramesEnded()});
            if (frame == 5) PressInBattleFrame(kKeyStart, 1);   // pause
            if (frame == 10) PressInBattleFrame(kKeyJump, 1);   // hide
            if (frame == 15) PressInBattleFrame(kKeyAttack, 1); // show
            if (frame == 20) PressInBattleFrame(kKeyJump, 1);   // hide
            if (frame == 25) PressInBattleFrame(kKeyStart, 1);  // show
            if (frame == 30) PressInBattleFrame(kKeyJump, 1);   // hide
            if (frame == 35) PressInBattleFrame(kKeyJump, 1);   // show
            if (frame == 40) PressInBattleFrame(resumeKey, 1);  // resume
            if (frame == 60) boss.hitPoints = 0;
        };
        EXPECT_EQ(Run(1, 1), 104);
        auto menus = [&](int i) { return DrawsNamed(DrawsOfFrame(looks[i].drawnFrame), "battle_select_menus.png").size(); };
        auto backgroundBright = [&](int i) {
            const std::vector<gametest::SeenDraw> background =
                DrawsNamed(DrawsOfFrame(looks[i].drawnFrame), "background_stage1.png");
            return background.empty() ? -1 : background[0].bright[0];
        };
        // What each frame shows: a key pressed as frame k begins acts in
        // frame k + 1 and shows as frame k + 2 begins.
        auto phase = [](int i) {
            if (i < 7) return 0;   // playing
            if (i < 12) return 1;  // the menu
            if (i < 17) return 2;  // hidden
            if (i < 22) return 1;
            if (i < 27) return 2;
            if (i < 32) return 1;
            if (i < 37) return 2;
            if (i < 42) return 1;
            return 0;
        };
        ASSERT_GE(looks.size(), 56u);
        for (int i = 2; i < 55; ++i) {
            SCOPED_TRACE(i);
            switch (phase(i)) {
            case 0:
                EXPECT_FALSE(looks[i].paused);
                EXPECT_EQ(menus(i), 0u);
                EXPECT_EQ(backgroundBright(i), 255);
                break;
            case 1:
                EXPECT_TRUE(looks[i].paused);
                EXPECT_EQ(menus(i), 2u);
                EXPECT_EQ(backgroundBright(i), 128);
                break;
            default:
                EXPECT_TRUE(looks[i].paused);
                EXPECT_EQ(menus(i), 0u);
                EXPECT_EQ(backgroundBright(i), 255);
                break;
            }
        }
        // The clock stood from the pause to the resume and then ran on from
        // there; the key that resumed started no attack.
        const int stood = looks[7].milliseconds;
        for (int i = 7; i <= 42; ++i) EXPECT_EQ(looks[i].milliseconds, stood) << i;
        EXPECT_GT(looks[54].milliseconds, stood);
        EXPECT_LE(looks[54].milliseconds, stood + 13 * 17);
        for (int i = 40; i < 55; ++i) EXPECT_NE(looks[i].state, kRobotBasicAttack) << i;
    }
}

// Down, right and ATTACK: the dash attack. The robot crouches into its
// jump, leaps 150 pixels ahead turned about, and lands back where it was.
TEST_F(BossBattleSceneTest, TheDashAttackLeapsForwardAndBackWithItsPictures) {
    SkipMovies();
    std::vector<RobotLook> looks;
    onFrame = [&](int frame, PlayerRobot& player, BossRobot& boss) {
        boss.stateCounter = 0;
        if (frame > 0) looks.push_back(LookAt(player, boss, FramesEnded()));
        if (frame == 5) {
            PressInBattleFrame(kKeyDown, 1);
            PressInBattleFrame(39, 3);  // right
            PressInBattleFrame(kKeyAttack, 5);
        }
        if (frame == 130) boss.hitPoints = 0;
    };
    EXPECT_EQ(Run(1, 1), 104);
    size_t first = 0;
    while (first < looks.size() && looks[first].state != kRobotDashAttack) ++first;
    ASSERT_LT(first, looks.size());
    const int x0 = looks[first].x;
    size_t i = first;
    for (; i < looks.size() && looks[i].state == kRobotDashAttack; ++i) {
        const RobotLook& look = looks[i];
        const int c = look.counter;
        SCOPED_TRACE(c);
        EXPECT_EQ(c, static_cast<int>(i - first));
        EXPECT_EQ(look.x, c >= 26 && c < 66 ? x0 + 150 : x0);
        // The pictures are numbered with two digits.
        auto named = [](const char* run, int number) {
            return std::string(run) + (number < 10 ? "0" : "") + std::to_string(number) + ".png";
        };
        std::string picture;
        bool mirrored = false;
        if (c < 26) {
            picture = named("grav_jump", c / 2);
        } else if (c < 66) {
            picture = named("grav_attack2", std::min(6 + (c - 26) / 2, 20));
            mirrored = true;
        } else {
            picture = named("grav_jump", 12 - (std::min(c, 91) - 66) / 2);
        }
        const std::vector<gametest::SeenDraw> robot = DrawsNamed(DrawsOfFrame(look.drawnFrame), picture);
        ASSERT_EQ(robot.size(), 1u) << picture;
        EXPECT_EQ(robot[0].points[0], look.x);
        EXPECT_EQ(robot[0].points[1], look.y);
        EXPECT_EQ(robot[0].turnFlag, mirrored ? 1 : 0);
    }
    // It lands after 93 frames and stands.
    EXPECT_EQ(i - first, 93u);
    ASSERT_LT(i, looks.size());
    EXPECT_EQ(looks[i].state, kRobotStanding);
    EXPECT_EQ(looks[i].x, x0);
}

// The pause menu dims the whole battle; a burst on the field (boss 3's
// middle attack) is dimmed with it, and so is the cockpit drawn after it.
TEST_F(BossBattleSceneTest, ThePauseMenuDimsABurstAndTheCockpitDrawnAfterIt) {
    SkipMovies();
    int burstSeen = -1;
    int checked = 0;
    onFrame = [&](int frame, PlayerRobot&, BossRobot& boss) {
        BossRangeMode = 2;  // the middle attack, the burst, every time
        const std::vector<gametest::SeenDraw>& drawn = DrawsOfFrame(FramesEnded());
        if (burstSeen == -1 && !DrawsNamed(drawn, "sphere_blue.png").empty()) {
            burstSeen = frame;
            PressInBattleFrame(kKeyStart, 1);
        }
        if (burstSeen != -1 && frame == burstSeen + 5) {
            ASSERT_TRUE(BossBattlePaused);
            const std::vector<gametest::SeenDraw> burst = DrawsNamed(drawn, "sphere_blue.png");
            ASSERT_EQ(burst.size(), 20u);
            for (const gametest::SeenDraw& draw : burst) EXPECT_LE(draw.bright[0], 128);
            const std::vector<gametest::SeenDraw> cockpit = DrawsNamed(drawn, "cockpit.png");
            ASSERT_EQ(cockpit.size(), 1u);
            EXPECT_EQ(cockpit[0].bright[0], 128);
            checked = 1;
            boss.hitPoints = 0;
            PressInBattleFrame(kKeyStart, 1);
        }
        ASSERT_LT(frame, 1500) << "no burst";
    };
    BossRangeMode = 0;
    EXPECT_EQ(Run(1, 3), 304);
    EXPECT_EQ(checked, 1);
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
