#include "game/stage/attack_hits.h"

#include <gtest/gtest.h>

#include "game/stage/fixed_turrets.h"
#include "tests/game/stage/enemy_test_tables.h"

namespace {

using enemytest::StageTables;

// A target box at (400, 200) .. (464, 264) on screen.
struct AttackHitsTest : ::testing::Test {
    StageTables t;
    int hitX = -1;
    int hitY = -1;

    ShotSlot& Shot(int slot, int kind, int x, int y, int width = 64) {
        ShotSlot& s = t.playerShots[slot];
        s.state = 2;
        s.kind = kind;
        s.x = x;
        s.y = y;
        s.width = width;
        s.height = 64;
        s.hitLeft = 0;
        s.hitTop = 0;
        s.hitRight = 64;
        s.hitBottom = 64;
        s.facing = 2;
        return s;
    }
    int Check() {
        return CheckShotHits(&t.player, 400, 200, t.playerShots, t.sounds, 0, 0, 64, 64, t.player.state, &hitX,
                             &hitY);
    }
};

TEST_F(AttackHitsTest, EachShotKindGivesItsCode) {
    struct Case {
        int kind, width, state, frame, code;
    };
    const Case cases[] = {
        {7, 64, 2, 19, 101}, {7, 64, 2, 20, 102},  {12, 64, 2, 0, 103},  {3, 128, 2, 300, 301},
        {3, 192, 2, 300, 302}, {3, 64, 2, 300, 303}, {3, 256, 3, 0, 501},  {6, 64, 2, 0, 304},
        {11, 64, 2, 0, 305}, {4, 64, 2, 0, 401},   {5, 64, 2, 0, 402},   {8, 64, 2, 0, 404},
        {1004, 64, 2, 0, 501}, {9, 64, 2, 0, 0},   {7, 64, 1, 0, 0},
    };
    for (const Case& c : cases) {
        StageTables fresh;
        t = fresh;
        ShotSlot& shot = Shot(0, c.kind, 380, 180, c.width);
        shot.state = c.state;
        shot.frame = c.frame;
        EXPECT_EQ(Check(), c.code) << c.kind << " " << c.width << " " << c.state << " " << c.frame;
    }
}

TEST_F(AttackHitsTest, YoungRocketsAndCapturedEnemiesExplodeOnContact) {
    ShotSlot& rocket = Shot(0, 3, 380, 180, 128);
    rocket.frame = 50;
    EXPECT_EQ(Check(), 301);
    EXPECT_EQ(rocket.state, 3);
    EXPECT_EQ(rocket.frame, 0);
    EXPECT_EQ(rocket.width, 256);
    EXPECT_EQ(rocket.x, 380 + 32 + 64 - 128);
    EXPECT_EQ(rocket.hitRight, 192);

    ShotSlot& old = Shot(1, 3, 380, 180, 128);
    old.frame = 200;
    t.playerShots[0].state = 0;
    EXPECT_EQ(Check(), 301);
    EXPECT_EQ(old.state, 2);
    EXPECT_EQ(old.width, 128);
}

TEST_F(AttackHitsTest, TheLaterShotDecidesAndTheHitPointLiesBetweenTheBoxes) {
    Shot(0, 5, 380, 180);
    Shot(1, 8, 420, 220);
    EXPECT_EQ(Check(), 404);
    EXPECT_EQ(hitX, 400 + 32 + 10);
    EXPECT_EQ(hitY, 200 + 32 + 10);
    // Edges: the shot's right on the target's left misses; its top on the
    // target's bottom touches.
    StageTables fresh;
    t = fresh;
    Shot(0, 5, 336, 200);
    EXPECT_EQ(Check(), 0);
    Shot(0, 5, 400, 264);
    EXPECT_EQ(Check(), 402);
}

TEST_F(AttackHitsTest, TheSwingHitsOnlyAfterItsTenthFrameAndTheDashAlways) {
    t.player.character = 2;
    t.player.state = kPlayerAttacking;
    t.player.attackKind = 1;
    t.player.x = 330;  // swing box 394 .. 403 across, 200 .. 310 down
    t.player.screenY = 200;
    for (int frame : {1, 10}) {
        t.player.actionFrame = frame;
        EXPECT_EQ(Check(), 0) << frame;
    }
    t.player.actionFrame = 11;
    EXPECT_EQ(Check(), 201);
    t.player.attackKind = 2;
    t.player.actionFrame = 22;
    t.player.hitLeft = 0;
    t.player.hitRight = 128;
    EXPECT_EQ(Check(), 204);
    t.player.actionFrame = 71;
    EXPECT_EQ(Check(), 0);
    t.player.dashing = true;
    EXPECT_EQ(Check(), 601);
}

struct TurretAttackTest : AttackHitsTest {
    std::vector<int> tiles = std::vector<int>(40, 0);
    CFixedBattery turret{tiles.data(), 10, 4};
    TurretAttackTest() {
        turret.x = 1400;  // on screen at 400 with the scroll at 1000
        turret.y = 200;
        t.player.scrollX = 1000;
        t.player.mapY = 200;
        t.player.screenY = 200;
    }
    int CheckTurret() {
        return CheckPlayerAttackHits(&t.player, &turret, t.playerShots, t.sounds, t.player.state, &hitX, &hitY);
    }
};

TEST_F(TurretAttackTest, TheFirstShotWinsAndTheGrabNeverHits) {
    Shot(0, 12, 380, 180);
    EXPECT_EQ(CheckTurret(), 0);
    Shot(1, 5, 380, 180);
    Shot(2, 8, 380, 180);
    EXPECT_EQ(CheckTurret(), 402);
    EXPECT_EQ(hitX, 380 + 32 + 10);  // on the screen
    ShotSlot& doll = Shot(1, 7, 380, 180);
    doll.frame = 50;
    EXPECT_EQ(CheckTurret(), 101);
}

TEST_F(TurretAttackTest, AYoungRocketExplodesAtOnceOnATurret) {
    ShotSlot& rocket = Shot(0, 3, 380, 180, 128);
    rocket.frame = 10;
    EXPECT_EQ(CheckTurret(), 301);
    EXPECT_EQ(rocket.state, 3);
    EXPECT_EQ(rocket.width, 256);
    EXPECT_EQ(rocket.x, 380 + 64 - 128 - 96);
}

}  // namespace
