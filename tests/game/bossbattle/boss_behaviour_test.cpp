#include "game/bossbattle/boss_behaviour.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "game/bossbattle/battle_shots.h"
#include "tests/game/bossbattle/battle_records_test.h"

namespace {

using battletest::Battle;
using battletest::CountEffects;
using battletest::CountShots;
using battletest::FindEffect;
using battletest::FindShot;

constexpr int kKept = 33;  // what the slots' velocities hold before a launch

void PresetForId(BossRobot& boss, int bossId) {
    PresetBossRobot(boss);
    switch (bossId % 1000 == 0 ? bossId / 1000 : bossId) {
    case 2: PresetBoss2Robot(boss); break;
    case 3: PresetBoss3Robot(boss); break;
    case 5: PresetBoss5Robot(boss); break;
    case 6: PresetBoss6Robot(boss); break;
    default: break;
    }
}

class BossTest : public ::testing::Test {
protected:
    void SetUp() override {
        BossRangeMode = -100000;
        BossInPosition = false;
    }
    void TearDown() override { SetUp(); }
};

struct PatternCase {
    std::string name;
    int bossId;
    int state;
    std::vector<int> spawnFrames;
    int kind, width, height, hitLeft, hitTop, hitRight, hitBottom, vx, vy, dx, dy, power;
    int effectKind, effectFrame, effectX, effectY;  // effectKind 0: none
    bool removed;       // no shot of the kind is left once the pattern ends
    bool invulnerable;  // while the pattern runs
    int lastFrame;
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }

class PatternTest : public BossTest, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(PatternTest, ShotsEffectsAndEnd) {
    const PatternCase& c = GetParam();
    Battle battle;
    PresetForId(battle.boss, c.bossId);
    for (ShotSlot& slot : battle.bossShots) slot.vx = slot.vy = kKept;
    battle.boss.state = c.state;

    struct Seen {
        int frame;
        ShotSlot shot;
        int bossScreenX, bossScreenY;
    };
    std::vector<Seen> spawns;
    int effectFrame = -1;
    int end = -2;
    for (int f = 0; f <= 400 && end == -2; ++f) {
        battle.boss.stateCounter = f;
        bool flying[kShotTableSize];
        for (int i = 0; i < kShotTableSize; ++i) flying[i] = battle.bossShots[i].state == 2;
        const int result =
            RunBossAttackPattern(c.bossId, &battle.boss, battle.bossShots, battle.sounds, battle.effects);
        for (int i = 0; i < kShotTableSize; ++i)
            if (!flying[i] && battle.bossShots[i].state == 2)
                spawns.push_back({f, battle.bossShots[i], battle.boss.screenX, battle.boss.screenY});
        if (c.effectKind && effectFrame == -1 && CountEffects(battle.effects, c.effectKind) > 0) effectFrame = f;
        if (result == -1) {
            end = f;
            EXPECT_EQ(battle.boss.invulnerable, 0) << "the pattern's end lifts invulnerability";
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(battle.boss.invulnerable, c.invulnerable ? 1 : 0) << "frame " << f;
        }
    }
    EXPECT_EQ(end, c.lastFrame + 1);

    ASSERT_EQ(spawns.size(), c.spawnFrames.size());
    for (size_t i = 0; i < spawns.size(); ++i) {
        const ShotSlot& s = spawns[i].shot;
        SCOPED_TRACE("spawn " + std::to_string(i));
        EXPECT_EQ(spawns[i].frame, c.spawnFrames[i]);
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
        EXPECT_EQ(s.hitLeft, c.hitLeft);
        EXPECT_EQ(s.hitTop, c.hitTop);
        EXPECT_EQ(s.hitRight, c.hitRight);
        EXPECT_EQ(s.hitBottom, c.hitBottom);
        EXPECT_EQ(s.vx, c.vx);
        EXPECT_EQ(s.vy, c.vy);
        EXPECT_EQ(s.x, spawns[i].bossScreenX + c.dx);
        EXPECT_EQ(s.y, spawns[i].bossScreenY + c.dy);
        EXPECT_EQ(s.facing, 1);
        EXPECT_EQ(s.power, c.power);
        if (c.kind == 112) {
            EXPECT_EQ(s.startX, s.x);
            EXPECT_EQ(s.startY, s.y);
        }
    }
    if (!c.spawnFrames.empty()) {
        EXPECT_EQ(CountShots(battle.bossShots, c.kind), c.removed ? 0 : static_cast<int>(c.spawnFrames.size()));
    }

    if (c.effectKind) {
        EXPECT_EQ(effectFrame, c.effectFrame);
        EXPECT_EQ(CountEffects(battle.effects, c.effectKind), 1);
        const EffectSlot* effect = FindEffect(battle.effects, c.effectKind);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->x, c.effectX);
        EXPECT_EQ(effect->y, c.effectY);
    } else {
        for (const EffectSlot& effect : battle.effects) EXPECT_EQ(effect.x, -1);
    }
}

// Boss screen positions: bosses 1 and 6 at (300, 70), 3 at (300, 105), 5 at
// (300, 100).
INSTANTIATE_TEST_SUITE_P(
    Timelines, PatternTest,
    ::testing::Values(
        PatternCase{"boss1Near", 1, 2, {55}, 101, 64, 64, 0, 0, 64, 64, 0, kKept, 5, 190, 2, 0, 0, 0, 0, true, false,
                    64},
        PatternCase{"boss1Middle", 1, 3, {125}, 104, 512, 32, 0, 0, 32, 32, -8, 0, 67, 166, 4, 103, 125, 272, 120,
                    false, false, 149},
        PatternCase{"boss1Far", 1, 4, {50}, 105, 384, 384, 150, 140, 300, 340, -9, 0, 0, 0, 7, 0, 0, 0, 0, false,
                    true, 100},
        PatternCase{"boss2Near", 2, 2, {34}, 101, 128, 128, -64, 0, 64, 128, 0, kKept, 70, 190, 3, 0, 0, 0, 0, true,
                    false, 64},
        PatternCase{"boss2Middle", 2000, 3, {70, 75, 80}, 112, 64, 64, 10, 10, 55, 55, -8, 0, 160, 170, 4, 0, 0, 0,
                    0, false, false, 144},
        PatternCase{"boss2Far", 2, 4, {30}, 101, 128, 128, -64, 0, 64, 128, 0, kKept, 15, 210, 7, 0, 0, 0, 0, true,
                    false, 60},
        PatternCase{"boss3Near", 3, 2, {45}, 101, 64, 64, 0, 0, 64, 64, 0, kKept, -30, 165, 3, 0, 0, 0, 0, true,
                    false, 60},
        PatternCase{"boss3Middle", 3, 3, {30}, 113, 484, 256, 0, 0, 512, 256, 0, kKept, -64, 110, 5, 0, 0, 0, 0,
                    true, true, 90},
        PatternCase{"boss3Far", 3000, 4, {5}, 114, 64, 64, 0, 0, 64, 64, 0, kKept, -5, 165, 3, 109, 5, 295, 270,
                    true, false, 20},
        PatternCase{"boss5Near", 5, 2, {50}, 111, 128, 64, 0, 0, 128, 64, -7, kKept, 115, 115, 2, 0, 0, 0, 0, false,
                    false, 60},
        PatternCase{"boss5Middle", 5, 3, {40, 50, 60}, 112, 64, 64, 10, 10, 55, 55, -7, kKept, 190, 120, 4, 0, 0, 0,
                    0, false, false, 70},
        PatternCase{"boss5Far", 5000, 4, {50}, 104, 512, 32, 0, 0, 32, 32, -8, 0, 160, 160, 10, 103, 50, 272, 150,
                    false, false, 70},
        PatternCase{"boss6Near", 6, 2, {45}, 101, 128, 64, 0, 0, 128, 64, 0, kKept, 40, 180, 3, 0, 0, 0, 0, true,
                    false, 64},
        PatternCase{"boss6Middle", 6000, 3, {35}, 102, 128, 256, 20, 60, 108, 196, -5, 0, 10, 80, 5, 105, 35, 374,
                    278, false, false, 60},
        PatternCase{"boss6Far", 6, 4, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 107, 5, 300, 70, false, true, 63},
        // An id that names no boss fights as boss 1.
        PatternCase{"unknownIdAsBoss1", 4, 2, {55}, 101, 64, 64, 0, 0, 64, 64, 0, kKept, 5, 190, 2, 0, 0, 0, 0, true,
                    false, 64}),
    [](const auto& info) { return info.param.name; });

TEST_F(BossTest, LungesMoveTheBossAndItsShotTogether) {
    struct Lunge {
        int state;
        int frame;  // after this frame's call
        int worldX;
        int shotX;  // -1: no shot
    };
    // Boss 2 starts at world 620, screen 300. Near: spawned at 300 + 70 and
    // 3 back a frame from 34 to 50, 3 forward from 51 to 64, removed after.
    // Far: spawned at 300 + 15, 10 back a frame from 30 to 54.
    const Lunge lunges[] = {
        {2, 33, 620, -1}, {2, 34, 617, 367}, {2, 50, 569, 319}, {2, 51, 572, 322},
        {2, 64, 611, 361}, {2, 65, 611, -1},  {4, 29, 620, -1}, {4, 30, 610, 305},
        {4, 54, 370, 65},  {4, 55, 370, -1},
    };
    for (const Lunge& l : lunges) {
        Battle battle;
        PresetForId(battle.boss, 2);
        battle.boss.state = l.state;
        for (int f = 0; f <= l.frame; ++f) {
            battle.boss.stateCounter = f;
            RunBossAttackPattern(2, &battle.boss, battle.bossShots, battle.sounds, battle.effects);
        }
        SCOPED_TRACE("state " + std::to_string(l.state) + " frame " + std::to_string(l.frame));
        EXPECT_EQ(battle.boss.worldX, l.worldX);
        EXPECT_EQ(battle.boss.screenX, l.worldX - 320);
        const ShotSlot* shot = FindShot(battle.bossShots, 101);
        if (l.shotX == -1) {
            EXPECT_EQ(shot, nullptr);
        } else {
            ASSERT_NE(shot, nullptr);
            EXPECT_EQ(shot->x, l.shotX);
        }
    }
}

TEST_F(BossTest, ALobStartsItsArcAfreshEvenWhenTheViewShiftsItAtOnce) {
    Battle battle;
    PresetForId(battle.boss, 2);  // screen (300, 80)
    battle.boss.state = 3;
    battle.bossShots[0].arcTravel = -200;  // left behind by an earlier lob
    battle.bossShots[0].arcOffset = 88;
    battle.boss.stateCounter = 70;
    RunBossAttackPattern(2, &battle.boss, battle.bossShots, battle.sounds, battle.effects);
    battle.player.screenX = 320 - battle.player.boxRight;  // the view follows the robot
    MoveBattleShots(battle.playerShots, battle.bossShots, &battle.player, &battle.boss, 3);
    EXPECT_EQ(battle.bossShots[0].x, 460 - 3 - 8);
    EXPECT_EQ(battle.bossShots[0].y, 250 + (142 * 142 / 200 - 112));
}

TEST_F(BossTest, SixNearLiftsInvulnerabilityWhenItRemovesItsShot) {
    Battle battle;
    PresetForId(battle.boss, 6);
    battle.boss.state = 2;
    battle.boss.invulnerable = 1;
    battle.boss.stateCounter = 45;
    RunBossAttackPattern(6, &battle.boss, battle.bossShots, battle.sounds, battle.effects);
    battle.boss.stateCounter = 65;
    battletest::FillShots(battle.bossShots);  // the shot is gone: nothing removed
    EXPECT_EQ(RunBossAttackPattern(6, &battle.boss, battle.bossShots, battle.sounds, battle.effects), -1);
    EXPECT_EQ(battle.boss.invulnerable, 1);

    Battle again;
    PresetForId(again.boss, 6);
    again.boss.state = 2;
    again.boss.invulnerable = 1;
    again.boss.stateCounter = 45;
    RunBossAttackPattern(6, &again.boss, again.bossShots, again.sounds, again.effects);
    again.boss.stateCounter = 65;
    RunBossAttackPattern(6, &again.boss, again.bossShots, again.sounds, again.effects);
    EXPECT_EQ(again.boss.invulnerable, 0);
}

TEST_F(BossTest, WithTheShotTableFullTimelinesStillEndOnTime) {
    for (const int bossId : {1, 2, 3, 5, 6}) {
        for (const int state : {2, 3, 4}) {
            Battle battle;
            PresetForId(battle.boss, bossId);
            battletest::FillShots(battle.bossShots);
            battle.boss.state = state;
            int end = -1;
            for (int f = 0; f <= 200 && end == -1; ++f) {
                battle.boss.stateCounter = f;
                if (RunBossAttackPattern(bossId, &battle.boss, battle.bossShots, battle.sounds, battle.effects) == -1)
                    end = f;
            }
            EXPECT_GT(end, 20) << bossId << "/" << state;
            for (const ShotSlot& slot : battle.bossShots) EXPECT_EQ(slot.state, 1);
        }
    }
}

TEST(BossWantedDistance, ByModeAndBoss) {
    const int ids[] = {1, 2, 3, 5, 6};
    const int wanted[3][5] = {{120, 30, 120, 200, 120}, {400, 200, 150, 200, 300}, {300, 100, 80, 350, 250}};
    for (int mode = 1; mode <= 3; ++mode) {
        for (int b = 0; b < 5; ++b) {
            EXPECT_EQ(BossWantedDistance(mode, ids[b]), wanted[mode - 1][b]) << mode << "/" << ids[b];
            EXPECT_EQ(BossWantedDistance(mode, ids[b] * 1000), wanted[mode - 1][b]) << mode << "/" << ids[b];
        }
        EXPECT_EQ(BossWantedDistance(mode, 4), wanted[mode - 1][0]);
        EXPECT_EQ(BossWantedDistance(mode, 777), wanted[mode - 1][0]);
    }
}

struct RangeCase {
    int hitPoints;
    int bossId;
    std::set<int> modes;
};

TEST_F(BossTest, RangeChoiceFromHitPoints) {
    const RangeCase cases[] = {
        {25, 1, {1}}, {17, 5, {1}}, {16, 1, {1, 2}}, {10, 6000, {1, 2}}, {8, 2, {1, 2}},
        {7, 1, {2, 3}}, {5, 5, {2, 3}}, {5, 3, {3}}, {1, 3000, {3}},
    };
    for (const RangeCase& c : cases) {
        std::set<int> seen;
        for (unsigned seed = 1; seed <= 40; ++seed) {
            Battle battle;
            battle.boss.hitPoints = c.hitPoints;
            BossRangeMode = -100000;
            std::srand(seed);
            SelectBossAttackPattern(battle.player, battle.bossShots, battle.sounds, battle.effects, c.bossId,
                                    &battle.boss);
            seen.insert(BossRangeMode);
        }
        EXPECT_EQ(seen, c.modes) << "hit points " << c.hitPoints << ", boss " << c.bossId;
    }
}

TEST_F(BossTest, SeededRangeChoiceFollowsRand) {
    for (unsigned seed = 1; seed <= 10; ++seed) {
        std::srand(seed);
        const int middle = std::rand() % 2 == 1;
        Battle battle;
        battle.boss.hitPoints = 12;
        BossRangeMode = 0;
        std::srand(seed);
        SelectBossAttackPattern(battle.player, battle.bossShots, battle.sounds, battle.effects, 1, &battle.boss);
        EXPECT_EQ(BossRangeMode, middle ? 2 : 1) << "seed " << seed;
    }
}

TEST_F(BossTest, AModeAlreadyChosenIsKeptAndAHoldingBossDoesNothing) {
    Battle battle;
    BossRangeMode = 3;
    SelectBossAttackPattern(battle.player, battle.bossShots, battle.sounds, battle.effects, 1, &battle.boss);
    EXPECT_EQ(BossRangeMode, 3);

    BossRangeMode = -100000;
    battle.boss.state = 8;
    battle.boss.stateCounter = 100;
    SelectBossAttackPattern(battle.player, battle.bossShots, battle.sounds, battle.effects, 1, &battle.boss);
    EXPECT_EQ(BossRangeMode, -100000);
    EXPECT_EQ(battle.boss.state, 8);
    EXPECT_EQ(battle.boss.worldX, 620);
}

// One running frame of the boss as the scene runs it: its counter first,
// then the behaviour, then a state change restarts the counter.
void StepBoss(Battle& battle, int bossId) {
    if (battle.boss.stateCounter < 3600) ++battle.boss.stateCounter;
    const int previous = battle.boss.state;
    SelectBossAttackPattern(battle.player, battle.bossShots, battle.sounds, battle.effects, bossId, &battle.boss);
    if (battle.boss.state != previous) battle.boss.stateCounter = 0;
}

int Gap(const Battle& battle) {
    return battle.boss.worldX + battle.boss.boxLeft - (battle.player.worldX + battle.player.boxRight);
}

TEST_F(BossTest, WalksInToItsRangeWaitsThenAttacks) {
    Battle battle;  // full hit points: near, 120 pixels for boss 1; the gap starts at 250
    std::vector<int> states;
    for (int frame = 0; frame < 400 && battle.boss.state != 2; ++frame) {
        StepBoss(battle, 1);
        if (states.empty() || states.back() != battle.boss.state) states.push_back(battle.boss.state);
        EXPECT_EQ(battle.boss.screenX - battle.boss.worldX, 300 - 620) << "screen and field move together";
    }
    EXPECT_EQ(states, (std::vector<int>{0, 101, 0, 2}));
    EXPECT_LT(Gap(battle), 120);
    EXPECT_GE(Gap(battle), 117);
    EXPECT_TRUE(BossInPosition);
    EXPECT_EQ(CountShots(battle.bossShots, 101), 0);  // the near attack has only begun

    // Once the attack is over the boss decides anew.
    for (int frame = 0; frame < 80 && battle.boss.state == 2; ++frame) StepBoss(battle, 1);
    EXPECT_EQ(battle.boss.state, 0);
    EXPECT_EQ(BossRangeMode, 0);
    EXPECT_FALSE(BossInPosition);
}

TEST_F(BossTest, WalkingStopsAfterNinetyFrames) {
    Battle battle;
    battle.player.worldX = -160;  // far away: the boss cannot close the gap in 90 frames
    for (int frame = 0; frame < 61; ++frame) StepBoss(battle, 1);
    ASSERT_EQ(battle.boss.state, 101);
    int frames = 0;
    while (battle.boss.state == 101 && frames < 200) {
        StepBoss(battle, 1);
        ++frames;
    }
    EXPECT_EQ(frames, 91);
    EXPECT_TRUE(BossInPosition);
    EXPECT_GE(Gap(battle), 120);
}

TEST_F(BossTest, WalksAwayButNeverPastTheFieldsEnd) {
    Battle battle;
    BossRangeMode = 2;  // middle: 400 pixels for boss 1
    battle.player.worldX = 700;
    battle.boss.worldX = 900;
    battle.boss.screenX = 580;
    bool walkedAway = false;
    for (int frame = 0; frame < 400 && battle.boss.state != 3; ++frame) {
        StepBoss(battle, 1);
        walkedAway = walkedAway || battle.boss.state == 102;
        EXPECT_LE(battle.boss.worldX + battle.boss.boxRight, 1280);
    }
    EXPECT_TRUE(walkedAway);
    EXPECT_EQ(battle.boss.state, 3) << "it attacks from where it stands";
    EXPECT_LT(Gap(battle), 400);
}

TEST_F(BossTest, AtTheFieldsEndTooCloseItAttacksWithoutWalking) {
    Battle battle;
    BossRangeMode = 2;
    battle.player.worldX = 700;
    battle.boss.worldX = 980;  // its right edge at 1280
    battle.boss.screenX = 660;
    for (int frame = 0; frame < 61; ++frame) StepBoss(battle, 1);
    EXPECT_EQ(battle.boss.state, 3);
    EXPECT_EQ(battle.boss.worldX, 980);
    EXPECT_FALSE(BossInPosition);
}

TEST_F(BossTest, BossesFiveAndSixStepFive) {
    for (const int bossId : {1, 3, 5, 6000}) {
        Battle battle;
        battle.player.worldX = -160;
        for (int frame = 0; frame < 62; ++frame) StepBoss(battle, bossId);
        ASSERT_EQ(battle.boss.state, 101);
        const int before = battle.boss.worldX;
        StepBoss(battle, bossId);
        EXPECT_EQ(before - battle.boss.worldX, (bossId == 5 || bossId == 6000) ? 5 : 3) << bossId;
    }
}

TEST(KnockBack, HopsBackForThirtyFrames) {
    Battle battle;
    battle.player.state = 6;
    battle.player.screenX = 0;
    battle.player.worldX = 500;
    battle.playerShots[3].state = 2;
    battle.playerShots[3].kind = 101;
    // Up from 70 to 14 and back.
    const int hop[] = {70, 63, 56, 50, 44, 39, 34, 30, 26, 23, 20, 18, 16, 15, 14,
                       14, 14, 15, 16, 18, 20, 23, 26, 30, 34, 39, 44, 50, 56, 63};
    for (int f = 0; f < 30; ++f) {
        battle.player.stateCounter = f;
        UpdateRobotWalk(battle.playerShots, &battle.player, &battle.boss, nullptr, battle.sounds, battle.walkMode,
                        battle.farScroll, battle.nearScroll);
        EXPECT_EQ(battle.player.screenY, hop[f]) << "frame " << f;
        EXPECT_EQ(battle.player.worldX, 500 - 3 * (f + 1));
        EXPECT_EQ(battle.player.state, 6);
    }
    EXPECT_EQ(battle.player.screenX, -90);
    EXPECT_EQ(battle.walkMode, 1);
    EXPECT_EQ(battle.playerShots[3].state, 0) << "the robot's own blow is lost";
    battle.player.stateCounter = 30;
    UpdateRobotWalk(battle.playerShots, &battle.player, &battle.boss, nullptr, battle.sounds, battle.walkMode,
                    battle.farScroll, battle.nearScroll);
    EXPECT_EQ(battle.player.screenY, 70);
    EXPECT_EQ(battle.player.state, 0);
    EXPECT_EQ(battle.player.worldX, 410);
}

TEST(KnockBack, AtTheScreensLeftEdgeTheViewScrollsAndAtTheFieldsStartItStops) {
    Battle battle;
    battle.player.state = 6;
    battle.player.screenX = -158;  // 2 pixels from the screen's edge
    battle.player.worldX = -150;   // 10 pixels from the field's start
    struct Step {
        int screenX, worldX, walkMode, bossScreenX, farScroll, nearScroll;
    };
    const Step steps[] = {
        {-160, -153, 1, 300, -320, -320},  // clamped at the screen's edge
        {-160, -156, 2, 303, -319, -317},  // the view scrolls
        {-160, -159, 2, 306, -318, -314},
        {-160, -160, 2, 306, -318, -314},  // the field's start: nothing more moves
    };
    for (int f = 0; f < 4; ++f) {
        battle.player.stateCounter = f;
        UpdateRobotWalk(battle.playerShots, &battle.player, &battle.boss, nullptr, battle.sounds, battle.walkMode,
                        battle.farScroll, battle.nearScroll);
        EXPECT_EQ(battle.player.screenX, steps[f].screenX) << f;
        EXPECT_EQ(battle.player.worldX, steps[f].worldX) << f;
        EXPECT_EQ(battle.walkMode, steps[f].walkMode) << f;
        EXPECT_EQ(battle.boss.screenX, steps[f].bossScreenX) << f;
        EXPECT_EQ(battle.farScroll, steps[f].farScroll) << f;
        EXPECT_EQ(battle.nearScroll, steps[f].nearScroll) << f;
    }
}

// ---- UpdateRobotWalk with the input manager ------------------------------------------------

class RobotWalkTest : public BossTest {
protected:
    void SetUp() override {
        BossTest::SetUp();
        input = Manager::CInputManager::GetInstance();
        input->heldFrames.clear();
    }
    void TearDown() override {
        input->heldFrames.clear();
        BossTest::TearDown();
    }
    void Hold(int buttons) {
        for (const int bit : {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN}) input->heldFrames[bit] = (buttons & bit) ? 5 : 0;
    }
    void Walk(Battle& battle) {
        UpdateRobotWalk(battle.playerShots, &battle.player, &battle.boss, input, battle.sounds, battle.walkMode,
                        battle.farScroll, battle.nearScroll);
    }
    Manager::CInputManager* input = nullptr;
};

struct RightCase {
    std::string name;
    int front;   // the robot's front on screen before the step
    int worldX;  // the robot's world x before the step
    int frontAfter, worldXAfter, walkMode, farScroll, nearScroll, bossScreenMove;
};

TEST_F(RobotWalkTest, WalkingRightTheSnapWindowAndTheFollowingView) {
    // The boss far off to the right: no overlap.
    const RightCase cases[] = {
        {"beforeTheWindow", 310, 400, 313, 403, 1, -320, -320, 0},
        {"windowsLeftEdgeSnaps", 311, 400, 320, 412, 2, -321, -323, -3},
        {"windowsRightEdgeSnaps", 329, 400, 320, 394, 2, -321, -323, -3},
        {"pastTheWindow", 330, 400, 333, 403, 1, -320, -320, 0},
        {"theViewFollows", 320, 400, 320, 403, 2, -321, -323, -3},
        {"nearTheFieldsEndTheRobotLeavesTheMiddle", 320, 718, 323, 721, 1, -320, -320, 0},
        {"theScreensRightEdge", 640, 1040, 640, 1040, 1, -320, -320, 0},
    };
    for (const RightCase& c : cases) {
        Battle battle;
        battle.boss.worldX = 2000;
        battle.boss.screenX = 900;
        battle.player.screenX = c.front - battle.player.boxRight;
        battle.player.worldX = c.worldX;
        Hold(KEY_RIGHT);
        Walk(battle);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(battle.player.screenX + battle.player.boxRight, c.frontAfter);
        EXPECT_EQ(battle.player.worldX, c.worldXAfter);
        EXPECT_EQ(battle.walkMode, c.walkMode);
        EXPECT_EQ(battle.farScroll, c.farScroll);
        EXPECT_EQ(battle.nearScroll, c.nearScroll);
        EXPECT_EQ(battle.boss.screenX, 900 + c.bossScreenMove);
        EXPECT_EQ(battle.boss.worldX, 2000);
    }
}

TEST_F(RobotWalkTest, PushingTheBoss) {
    // Fronts touching: the robot's front at world 640, the boss's body from 640.
    struct Case {
        std::string name;
        int front;  // on screen
        int worldX, screenX, bossWorldX, bossScreenX, nearScroll;
    };
    const Case cases[] = {
        // The view follows: the robot and the boss move 1 on the field.
        {"whileTheViewFollows", 320, 401, 80, 491, 170, -321},
        // On screen: both move 1 on the screen and the field.
        {"onScreen", 400, 401, 161, 491, 171, -320},
    };
    for (const Case& c : cases) {
        Battle battle;
        battle.player.worldX = 400;
        battle.player.screenX = c.front - 240;
        battle.boss.worldX = 490;
        battle.boss.screenX = 170;
        Hold(KEY_RIGHT);
        Walk(battle);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(battle.player.worldX, c.worldX);
        EXPECT_EQ(battle.player.screenX, c.screenX);
        EXPECT_EQ(battle.boss.worldX, c.bossWorldX);
        EXPECT_EQ(battle.boss.screenX, c.bossScreenX);
        EXPECT_EQ(battle.nearScroll, c.nearScroll);
        EXPECT_EQ(battle.farScroll, -320);
    }
}

TEST_F(RobotWalkTest, AtTheFieldsEndBothArePutAgainstIt) {
    Battle battle;
    battle.boss.worldX = 985;  // its right edge 5 past the field's end
    battle.boss.screenX = 600;
    battle.player.worldX = 895;  // its front just on the boss's body
    battle.player.screenX = 300;
    Hold(KEY_RIGHT);
    Walk(battle);
    EXPECT_EQ(battle.boss.worldX, 980);
    EXPECT_EQ(battle.boss.screenX, 340);
    EXPECT_EQ(battle.player.worldX, 890);
    EXPECT_EQ(battle.player.screenX, 250);
}

TEST_F(RobotWalkTest, WalkingLeftAndTheFieldsStart) {
    struct Case {
        std::string name;
        int screenX, worldX;
        int screenXAfter, worldXAfter, walkMode, farScroll, nearScroll, bossScreenMove;
    };
    const Case cases[] = {
        {"onScreen", 0, 400, -3, 397, 1, -320, -320, 0},
        {"atTheScreensEdgeTheViewScrolls", -160, 400, -160, 397, 2, -319, -317, 3},
        {"theFieldsStart", -158, -158, -160, -160, 1, -320, 0, 0},
    };
    for (const Case& c : cases) {
        Battle battle;
        battle.player.screenX = c.screenX;
        battle.player.worldX = c.worldX;
        Hold(KEY_LEFT);
        Walk(battle);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(battle.player.screenX, c.screenXAfter);
        EXPECT_EQ(battle.player.worldX, c.worldXAfter);
        EXPECT_EQ(battle.walkMode, c.walkMode);
        EXPECT_EQ(battle.farScroll, c.farScroll);
        EXPECT_EQ(battle.nearScroll, c.nearScroll);
        EXPECT_EQ(battle.boss.screenX, 300 + c.bossScreenMove);
    }
}

TEST_F(RobotWalkTest, NoWalkingWithBothKeysOrDuringAnAction) {
    for (const int state : {0, 2, 3, 4, 5}) {
        Battle battle;
        battle.player.state = state;
        Hold(state == 0 ? KEY_LEFT | KEY_RIGHT : KEY_RIGHT);
        Walk(battle);
        EXPECT_EQ(battle.player.worldX, 280) << state;
        EXPECT_EQ(battle.player.screenX, -40) << state;
    }
}

TEST_F(RobotWalkTest, PilotThreeSteersTheBeamInsideTheScreen) {
    struct Case {
        int buttons;
        int x, y;
        int xAfter, yAfter;
    };
    const Case cases[] = {
        {KEY_RIGHT | KEY_DOWN, 100, 100, 102, 102}, {KEY_LEFT | KEY_UP, 100, 100, 98, 98},
        {KEY_RIGHT, 576, 100, 576, 100},            {KEY_LEFT, 0, 100, 0, 100},
        {KEY_UP, 100, 0, 100, 0},                   {KEY_DOWN, 100, 416, 100, 416},
    };
    for (const Case& c : cases) {
        Battle battle(3);
        battle.player.state = 7;
        ShotSlot& beam = battle.playerShots[2];
        beam.state = 2;
        beam.kind = 103;
        beam.width = beam.height = 64;
        beam.vx = beam.vy = 2;
        beam.x = c.x;
        beam.y = c.y;
        Hold(c.buttons);
        Walk(battle);
        EXPECT_EQ(beam.x, c.xAfter);
        EXPECT_EQ(beam.y, c.yAfter);
        EXPECT_EQ(battle.player.worldX, 280) << "the robot stands";
    }
}

}  // namespace
