#include "game/bossbattle/battle_shots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/stage/enemy_updating.h"
#include "tests/game/bossbattle/battle_records_test.h"

namespace {

using battletest::Battle;
using battletest::CountEffects;
using battletest::FindEffect;

ShotSlot& Put(ShotSlot* table, int index, int kind, int x, int y, int state = 2) {
    ShotSlot& slot = table[index];
    slot.state = state;
    slot.kind = kind;
    slot.x = x;
    slot.y = y;
    slot.width = 64;
    slot.height = 64;
    slot.hitLeft = 0;
    slot.hitTop = 0;
    slot.hitRight = 64;
    slot.hitBottom = 64;
    return slot;
}

int Move(Battle& battle, int dx = 0) {
    return MoveBattleShots(battle.playerShots, battle.bossShots, &battle.player, &battle.boss, dx);
}

int Hits(Battle& battle, int bossId = 1) {
    return TestBattleHits(battle.playerShots, battle.bossShots, &battle.player, &battle.boss, battle.sounds,
                          battle.effects, bossId, battle.farScroll, battle.nearScroll);
}

// ---- MoveBattleShots -----------------------------------------------------------------

struct LifetimeCase {
    bool bossTable;
    int kind;
    int frame;
    bool removed;
};

TEST(MoveBattleShots, KindsThatOutliveTheirTime) {
    const LifetimeCase cases[] = {
        {true, 101, 60, false},  {true, 101, 61, true},    {false, 101, 60, false}, {false, 101, 61, true},
        {false, 106, 180, false}, {false, 106, 181, true}, {true, 113, 3000, false}, {true, 114, 3000, false},
    };
    for (const LifetimeCase& c : cases) {
        Battle battle;
        ShotSlot* table = c.bossTable ? battle.bossShots : battle.playerShots;
        Put(table, 7, c.kind, 100, 100).frame = c.frame;
        Move(battle);
        EXPECT_EQ(table[7].state, c.removed ? 0 : 2)
            << (c.bossTable ? "boss" : "player") << " kind " << c.kind << " frame " << c.frame;
        if (c.removed) {
            EXPECT_EQ(table[7].kind, 2);
            EXPECT_EQ(table[7].power, 10);
            EXPECT_EQ(table[7].frame, 0);
        }
    }
}

struct MarginCase {
    bool bossTable;
    int x, y;
    bool removed;
};

TEST(MoveBattleShots, TheMarginAroundTheScreen) {
    // 64-pixel shots that do not move by themselves. A boss shot leaves on
    // the left once its right edge is 200 pixels out; a player shot once
    // its left edge is.
    const MarginCase cases[] = {
        {true, -264, 0, false}, {true, -265, 0, true},  {true, 840, 0, false},  {true, 841, 0, true},
        {true, 0, -200, false}, {true, 0, -201, true},  {true, 0, 680, false},  {true, 0, 681, true},
        {false, -200, 0, false}, {false, -201, 0, true}, {false, 840, 0, false}, {false, 841, 0, true},
        {false, 0, -200, false}, {false, 0, -201, true}, {false, 0, 680, false}, {false, 0, 681, true},
    };
    for (const MarginCase& c : cases) {
        Battle battle;
        ShotSlot* table = c.bossTable ? battle.bossShots : battle.playerShots;
        Put(table, 0, c.bossTable ? 113 : 103, c.x, c.y);
        Move(battle);
        EXPECT_EQ(table[0].state, c.removed ? 0 : 2)
            << (c.bossTable ? "boss" : "player") << " at " << c.x << ", " << c.y;
    }
}

struct MotionCase {
    bool bossTable;
    int kind;
    bool straight;
};

TEST(MoveBattleShots, StraightKindsFlyAndTheOthersStay) {
    const MotionCase cases[] = {
        {true, 102, true},   {true, 104, true},   {true, 105, true},   {true, 111, true},  {true, 101, false},
        {true, 113, false},  {true, 114, false},  {false, 2, true},    {false, 102, true}, {false, 101, false},
        {false, 103, false},
    };
    for (const MotionCase& c : cases) {
        Battle battle;
        ShotSlot* table = c.bossTable ? battle.bossShots : battle.playerShots;
        ShotSlot& shot = Put(table, 0, c.kind, 300, 200);
        shot.vx = -7;
        shot.vy = 2;
        Move(battle);
        EXPECT_EQ(shot.x, c.straight ? 293 : 300) << "kind " << c.kind;
        EXPECT_EQ(shot.y, c.straight ? 202 : 200) << "kind " << c.kind;
    }
}

TEST(MoveBattleShots, LobbedShotsFollowTheArcFromWhereTheyStart) {
    Battle battle;
    ShotSlot& shot = Put(battle.bossShots, 0, 112, 460, 240);
    shot.vx = -8;
    shot.vy = 0;
    shot.startX = 460;
    shot.startY = 240;
    ShotSlot reference = shot;
    int highest = 240;
    for (int frame = 0; frame < 40; ++frame) {
        Move(battle);
        UpdateParabolicArc(&reference);
        ASSERT_EQ(shot.x, reference.x) << frame;
        ASSERT_EQ(shot.y, reference.y) << frame;
        highest = std::min(highest, shot.y);
    }
    EXPECT_LE(highest, 240 - 100) << "it rises first";
    EXPECT_GT(shot.y, 240) << "and comes down past where it started";
}

TEST(MoveBattleShots, OptionsCircleThePlayerRobot) {
    Battle battle;
    battle.player.screenX = 17;
    battle.player.screenY = 71;
    for (int kind = 107; kind <= 110; ++kind) {
        ShotSlot& option = Put(battle.playerShots, kind - 107, kind, 0, 0);
        option.frame = 33;
        ShotSlot reference = option;
        UpdateOrbitPosition(&reference, 17, 71);
        Move(battle);
        EXPECT_EQ(option.x, reference.x) << kind;
        EXPECT_EQ(option.y, reference.y) << kind;
        EXPECT_EQ(option.state, 2);
    }
}

TEST(MoveBattleShots, TheMarkerHoldsTheBossInItsDecision) {
    Battle battle;
    battle.boss.state = 101;
    battle.boss.stateCounter = 50;
    Put(battle.playerShots, 4, 106, 300, 70);
    Move(battle);
    EXPECT_EQ(battle.boss.state, 0);
    EXPECT_EQ(battle.boss.stateCounter, 0);
}

TEST(MoveBattleShots, WhileTheViewFollowsShotsKeepTheirPlaceOnTheField) {
    for (const int front : {320, 321}) {
        Battle battle;
        battle.player.screenX = front - battle.player.boxRight;
        Put(battle.bossShots, 0, 101, 400, 100);
        Put(battle.bossShots, 1, 104, 400, 100, 3);
        Put(battle.playerShots, 0, 101, 400, 100);
        Put(battle.playerShots, 1, 102, 400, 100, 3);
        Put(battle.playerShots, 2, 101, 400, 100, 0);
        Move(battle, 3);
        const int expected = front == 320 ? 397 : 400;
        EXPECT_EQ(battle.bossShots[0].x, expected) << front;
        EXPECT_EQ(battle.bossShots[1].x, expected) << front;
        EXPECT_EQ(battle.playerShots[0].x, expected) << front;
        EXPECT_EQ(battle.playerShots[1].x, expected) << front;
        EXPECT_EQ(battle.playerShots[2].x, 400) << "a free slot stays";
    }
}

// ---- TestBattleHits --------------------------------------------------------------------

// The player's hurt box on screen: (120, 170) to (200, 370).
struct EdgeCase {
    int x, y;
    bool hit;
};

TEST(TestBattleHits, TheOverlapAdmitsOnlyTheBottomEdge) {
    const EdgeCase cases[] = {
        {56, 200, false}, {57, 200, true}, {199, 200, true}, {200, 200, false},
        {150, 106, false}, {150, 107, true}, {150, 370, true}, {150, 371, false},
    };
    for (const EdgeCase& c : cases) {
        Battle battle;
        Put(battle.bossShots, 0, 104, c.x, c.y).power = 4;
        Hits(battle);
        EXPECT_EQ(battle.player.hitPoints, c.hit ? 21 : 25) << c.x << ", " << c.y;
        EXPECT_EQ(CountEffects(battle.effects, 1), c.hit ? 1 : 0) << c.x << ", " << c.y;
    }
}

TEST(TestBattleHits, TheSparkStandsWhereShotAndRobotMeet) {
    Battle battle;
    ShotSlot& shot = Put(battle.bossShots, 0, 102, 150, 200);
    shot.hitLeft = 20;
    shot.hitTop = 60;
    shot.hitRight = 108;
    shot.hitBottom = 196;
    Hits(battle);
    int x = 0;
    int y = 0;
    ComputeHitPoint(170, 260, 88, 136, 120, 170, 80, 200, &x, &y);
    const EffectSlot* spark = FindEffect(battle.effects, 1);
    ASSERT_NE(spark, nullptr);
    EXPECT_EQ(spark->x, x);
    EXPECT_EQ(spark->y, y);
    EXPECT_EQ(battle.bossShots[0].state, 2) << "the shot stays";
}

struct PlayerHitCase {
    std::string name;
    int shots;
    int power;
    int defence;
    bool guarding;
    bool blinking;
    bool effectsFull;
    int hitPoints;
    int sparks;
};

TEST(TestBattleHits, WhatAHitOnThePlayerTakes) {
    const PlayerHitCase cases[] = {
        {"one", 1, 4, 0, false, false, false, 21, 1},
        {"twoShotsOneLoss", 2, 4, 0, false, false, false, 21, 2},
        {"defenceReduces", 1, 4, 2, false, false, false, 23, 1},
        {"defenceCancels", 1, 2, 2, false, false, false, 25, 1},
        {"guarded", 1, 7, 0, true, false, false, 25, 1},
        {"blinking", 2, 7, 0, false, true, false, 25, 0},
        {"noSparkWhenEffectsAreFull", 1, 4, 0, false, false, true, 21, 0},
    };
    for (const PlayerHitCase& c : cases) {
        Battle battle;
        battle.player.defence = c.defence;
        battle.player.guarding = c.guarding;
        battle.player.damageBlink = c.blinking;
        if (c.effectsFull) battletest::FillEffects(battle.effects);
        for (int i = 0; i < c.shots; ++i) Put(battle.bossShots, 10 * i, 111, 150, 200).power = c.power;
        Hits(battle);
        EXPECT_EQ(battle.player.hitPoints, c.hitPoints) << c.name;
        EXPECT_EQ(CountEffects(battle.effects, 1), c.sparks) << c.name;
    }
}

TEST(TestBattleHits, TheGrabHoldsThePlayerUnlessItGuards) {
    Battle battle;
    battle.boss.stateCounter = 44;
    Put(battle.bossShots, 3, 114, 150, 200).power = 3;
    Hits(battle);
    EXPECT_EQ(battle.player.state, 9);
    EXPECT_EQ(battle.boss.state, 8);
    EXPECT_EQ(battle.boss.stateCounter, 0);
    EXPECT_EQ(battle.bossShots[3].state, 0);
    EXPECT_EQ(battle.player.hitPoints, 25);
    EXPECT_EQ(CountEffects(battle.effects, 1), 0);

    // Guarding, the grab is an ordinary hit that the guard blocks.
    Battle guarded;
    guarded.player.state = 5;
    guarded.player.guarding = 1;
    Put(guarded.bossShots, 3, 114, 150, 200).power = 3;
    Hits(guarded);
    EXPECT_EQ(guarded.player.state, 5);
    EXPECT_EQ(guarded.boss.state, 0);
    EXPECT_EQ(guarded.bossShots[3].state, 2);
    EXPECT_EQ(guarded.player.hitPoints, 25);
    EXPECT_EQ(CountEffects(guarded.effects, 1), 1);
}

// The boss's body on screen (preset 1): (450, 210) to (600, 410).
struct BossHitCase {
    std::string name;
    int kind;
    int shots;
    bool invulnerable;
    bool blinking;
    int hitPoints;
    int sparks;
};

TEST(TestBattleHits, WhatAHitOnTheBossTakes) {
    const BossHitCase cases[] = {
        {"one", 102, 1, false, false, 22, 1},
        {"twoShotsOneLoss", 2, 2, false, false, 22, 2},
        {"invulnerable", 101, 1, true, false, 25, 1},
        {"blinking", 101, 1, false, true, 25, 0},
        {"scanBeam", 103, 1, false, false, 25, 0},
        {"marker", 106, 1, false, false, 25, 0},
        {"option107", 107, 1, false, false, 25, 0},
        {"option110", 110, 1, false, false, 25, 0},
    };
    for (const BossHitCase& c : cases) {
        Battle battle;
        battle.boss.invulnerable = c.invulnerable;
        battle.boss.damageBlink = c.blinking;
        for (int i = 0; i < c.shots; ++i) Put(battle.playerShots, 5 + i, c.kind, 500, 300).power = 3;
        Hits(battle);
        EXPECT_EQ(battle.boss.hitPoints, c.hitPoints) << c.name;
        EXPECT_EQ(CountEffects(battle.effects, 1), c.sparks) << c.name;
    }
}

TEST(TestBattleHits, ExplodingShotsDoNotHit) {
    Battle battle;
    Put(battle.bossShots, 0, 104, 150, 200, 3).power = 4;
    Put(battle.playerShots, 0, 102, 500, 300, 3).power = 4;
    Hits(battle);
    EXPECT_EQ(battle.player.hitPoints, 25);
    EXPECT_EQ(battle.boss.hitPoints, 25);
}

TEST(TestBattleHits, TheLastBossCountersAHitDuringItsCharge) {
    for (const int bossId : {6, 6000, 5}) {
        Battle battle;
        battle.boss.state = 4;
        battle.boss.stateCounter = 40;
        battle.player.worldX = 700;
        battle.player.screenX = 80;
        battle.player.state = 3;
        battle.player.guarding = 1;
        battle.farScroll = -500;
        battle.nearScroll = -900;
        Put(battle.playerShots, 2, 102, 500, 300).power = 5;
        Hits(battle, bossId);
        SCOPED_TRACE("boss " + std::to_string(bossId));
        if (bossId == 5) {
            EXPECT_EQ(battle.boss.hitPoints, 20);
            EXPECT_EQ(battle.boss.state, 4);
            continue;
        }
        EXPECT_EQ(battle.boss.hitPoints, 25);
        EXPECT_EQ(battle.player.state, 10);
        EXPECT_EQ(battle.player.guarding, 0);
        EXPECT_EQ(battle.player.worldX, 280);
        EXPECT_EQ(battle.player.screenX, -40);
        EXPECT_EQ(battle.boss.worldX, 380);
        EXPECT_EQ(battle.boss.screenX, 60);
        EXPECT_EQ(battle.farScroll, -320);
        EXPECT_EQ(battle.nearScroll, -320);
        EXPECT_EQ(battle.boss.state, 2);
        EXPECT_EQ(battle.boss.stateCounter, 0);
        ASSERT_EQ(CountEffects(battle.effects, 104), 2);
        EXPECT_EQ(battle.effects[0].x, -40);
        EXPECT_EQ(battle.effects[0].y, 70);
        EXPECT_EQ(battle.effects[1].x, 124);
        EXPECT_EQ(battle.effects[1].y, 70);
        EXPECT_EQ(battle.playerShots[2].state, 2);
    }
}

// ---- TestScanBeamOnWeakPoint -----------------------------------------------------------

// The weak point on screen (preset 1): (550, 210), 32 x 32.
struct ScanCase {
    std::string name;
    int beamX, beamY;
    int result;
    int overlaps;
    int left, top, width, height;
    bool complete;
};

TEST(TestScanBeamOnWeakPoint, CoverageAndTheEventItStarts) {
    const ScanCase cases[] = {
        {"apart", 600, 210, 0, 0, -1, -1, -1, -1, false},
        {"partlyFromTheLeft", 560, 190, 0, 1, 10, 0, 22, 44, false},
        {"partlyFromBelow", 530, 230, 0, 1, 0, 20, 44, 12, false},
        {"touchingTheTop", 530, 146, 0, 1, 0, 0, 44, 0, false},
        {"covered", 530, 190, 0, 1, 0, 0, 44, 44, true},
        {"coveredExactly", 550 - 32, 210 - 32, 0, 1, 0, 0, 32, 32, true},
    };
    for (const ScanCase& c : cases) {
        Battle battle(3);
        battle.player.state = 7;
        battle.boss.scanOverlaps = 1;
        battle.boss.scannedLeft = battle.boss.scannedTop = battle.boss.scannedWidth = battle.boss.scannedHeight = -1;
        ShotSlot& beam = Put(battle.playerShots, 9, 103, c.beamX, c.beamY);
        EXPECT_EQ(TestScanBeamOnWeakPoint(&battle.boss, battle.playerShots, &battle.player), c.result) << c.name;
        EXPECT_EQ(battle.boss.scanOverlaps, c.overlaps) << c.name;
        EXPECT_EQ(battle.boss.scannedLeft, c.left) << c.name;
        EXPECT_EQ(battle.boss.scannedTop, c.top) << c.name;
        EXPECT_EQ(battle.boss.scannedWidth, c.width) << c.name;
        EXPECT_EQ(battle.boss.scannedHeight, c.height) << c.name;
        EXPECT_EQ(battle.player.state, c.complete ? 0 : 7) << c.name;
        EXPECT_EQ(battle.player.pilotEventCounter, c.complete ? 1 : 0) << c.name;
        EXPECT_EQ(beam.state, c.complete ? 0 : 2) << c.name;
        EXPECT_EQ(battle.boss.scanOff, c.complete ? 1 : 0) << c.name;
        EXPECT_EQ(battle.boss.hitPoints, 25) << c.name;
    }
}

TEST(TestScanBeamOnWeakPoint, WithoutABeamNothingOverlaps) {
    Battle battle(3);
    battle.boss.scanOverlaps = 1;
    EXPECT_EQ(TestScanBeamOnWeakPoint(&battle.boss, battle.playerShots, &battle.player), -1);
    EXPECT_EQ(battle.boss.scanOverlaps, 0);
}

}  // namespace
