#include "game/stage/fixed_turrets.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/game/stage/enemy_test_tables.h"

namespace {

using enemytest::StageTables;

struct FixedTurretTest : ::testing::Test {
    static constexpr int kColumns = 20;
    static constexpr int kRows = 8;
    std::vector<int> tiles = std::vector<int>(kColumns * kRows, 0);
    StageTables t;
    int hitX = 0;
    int hitY = 0;

    // A turret placed as the stage places them, in cell (column, row).
    std::unique_ptr<CFixedBattery> Place(int column, int row, bool facesLeft) {
        auto turret = std::make_unique<CFixedBattery>(tiles.data(), kColumns, kRows);
        turret->x = column * 64;
        turret->y = row * 64;
        turret->facesLeft = facesLeft;
        turret->fireInterval = 180;
        turret->bulletSpeedX = 4.0;
        turret->bulletValue = 10;
        tiles[row * kColumns + column] = facesLeft ? 17 : 18;
        return turret;
    }
    void Step(CFixedBattery* turret, bool kill = false, bool destroy = false) {
        UpdateFixedBattery(turret, &t.player, t.playerShots, t.effects, t.sounds, &hitX, &hitY, kill, destroy,
                           t.player.state);
    }
};

TEST_F(FixedTurretTest, WakesNearTheScreenFiresEvery180AndSleepsAfter300FramesAway) {
    auto turret = Place(8, 3, true);
    t.player.scrollX = -2000;  // far away: asleep
    Step(turret.get());
    EXPECT_FALSE(turret->awake);
    t.player.scrollX = 0;
    std::vector<int> fired;
    for (int frame = 1; frame <= 400; ++frame) {
        const size_t before = turret->bullets.size();
        Step(turret.get());
        if (turret->bullets.size() > before) fired.push_back(frame);
    }
    // The frame that wakes it still counts as one spent away.
    EXPECT_EQ(fired, (std::vector<int>{181, 361}));
    const CBatteryBullet* bullet = turret->bullets[1];
    EXPECT_EQ(bullet->vx, -4.0);
    EXPECT_EQ(bullet->value, 10);
    EXPECT_EQ(bullet->y, 192.0);
    EXPECT_EQ(t.effects[0].kind, 11);
    EXPECT_TRUE(t.effects[0].mirrored);
    EXPECT_EQ(t.effects[0].x, 512 - 32);

    t.player.scrollX = 5000;
    int frames = 0;
    while (turret->awake && frames < 1000) {
        Step(turret.get());
        ++frames;
    }
    EXPECT_EQ(frames, 301);
    EXPECT_TRUE(turret->bullets.empty());  // their own 120 frames outside ran out first
}

TEST_F(FixedTurretTest, BulletsLiveFor120FramesOutsideTheWindow) {
    auto turret = std::make_unique<CFixedBattery>(tiles.data(), kColumns, kRows);
    auto* bullet = new CBatteryBullet;
    bullet->x = 5000;
    bullet->width = bullet->height = 64;
    turret->bullets.push_back(bullet);
    for (int frame = 1; frame <= 119; ++frame) turret->Update(0, 0, false, t.playerShots, t.effects, t.sounds);
    EXPECT_EQ(turret->bullets.size(), 1u);
    turret->Update(0, 0, false, t.playerShots, t.effects, t.sounds);
    EXPECT_TRUE(turret->bullets.empty());
}

TEST_F(FixedTurretTest, WallsStopBulletsButTheTurretsOwnColumnDoesNot) {
    struct Case {
        int bulletColumn;
        int kind;
        bool stopped;
    };
    const Case cases[] = {{5, 1, true}, {5, 20, true}, {5, 17, true}, {3, 18, false}, {5, 2, false}, {5, 9, false}};
    for (const Case& c : cases) {
        std::fill(tiles.begin(), tiles.end(), 0);
        auto turret = Place(3, 2, true);
        tiles[2 * kColumns + 5] = c.kind;
        if (c.bulletColumn == 3) tiles[2 * kColumns + 3] = c.kind;
        auto* bullet = new CBatteryBullet;
        bullet->x = c.bulletColumn * 64;
        bullet->y = 128;
        bullet->width = bullet->height = 64;
        turret->bullets.push_back(bullet);
        turret->Update(0, 0, false, t.playerShots, t.effects, t.sounds);
        EXPECT_EQ(turret->bullets.empty(), c.stopped) << c.bulletColumn << " " << c.kind;
    }
}

TEST_F(FixedTurretTest, BulletsAtTheMapsEdgesReadNoCellOutsideIt) {
    tiles.assign(tiles.size(), 1);
    auto turret = Place(0, 0, true);
    turret->bulletSpeedX = 0.0;  // no horizontal speed: the bullet starts level
    turret->bulletSpeedY = 3.0;
    turret->awake = true;
    turret->fireCounter = 179;
    tiles[0] = 17;
    turret->Update(0, 0, false, t.playerShots, t.effects, t.sounds);
    ASSERT_EQ(turret->bullets.size(), 1u);  // at x -64, outside the grid: nothing stops it
    EXPECT_EQ(turret->bullets[0]->y, 3.0);
    auto* below = new CBatteryBullet;
    below->x = 19 * 64 + 10;
    below->y = 8 * 64;
    below->width = below->height = 64;
    turret->bullets.push_back(below);
    turret->Update(0, 0, false, t.playerShots, t.effects, t.sounds);
    EXPECT_EQ(turret->bullets.size(), 2u);
}

TEST_F(FixedTurretTest, DamageIsClampedTo100AndBlockedWhileHurt) {
    CFixedBattery turret(tiles.data(), kColumns, kRows);
    EXPECT_TRUE(turret.TakeDamage(50));
    EXPECT_EQ(turret.hitPoints, 100);
    turret.hurt = true;
    EXPECT_FALSE(turret.TakeDamage(50));
    EXPECT_EQ(turret.hitPoints, 100);
    turret.hurt = false;
    EXPECT_TRUE(turret.TakeDamage(150));
    EXPECT_EQ(turret.hitPoints, 0);
    EXPECT_TRUE(turret.TakeDamage(-500));
    EXPECT_EQ(turret.hitPoints, 100);
}

TEST_F(FixedTurretTest, AttacksHurtItAndItsDeathEmptiesItsCell) {
    auto turret = Place(4, 3, true);
    ShotSlot& gear = t.playerShots[0];
    gear.state = 2;
    gear.kind = 5;
    gear.x = 256;
    gear.y = 192;
    gear.hitRight = gear.hitBottom = 32;
    Step(turret.get());
    EXPECT_EQ(turret->hitPoints, 100);
    EXPECT_TRUE(turret->hurt);
    EXPECT_EQ(t.effects[0].kind, 1);
    EXPECT_EQ(turret->hurtCounter, 19);  // counted down in the same frame
    for (int frame = 0; frame < 18; ++frame) Step(turret.get());
    EXPECT_EQ(turret->hitPoints, 100);
    Step(turret.get());
    EXPECT_FALSE(turret->hurt);
    Step(turret.get());
    EXPECT_EQ(turret->hitPoints, 0);
    EXPECT_EQ(tiles[3 * kColumns + 4], 0);
    EXPECT_EQ(t.effects[1].kind, 1);
    EXPECT_EQ(t.effects[2].kind, 2);  // character 1's kill spark

    auto killed = Place(6, 3, true);
    Step(killed.get(), true);
    EXPECT_EQ(killed->hitPoints, 0);
    EXPECT_EQ(tiles[3 * kColumns + 6], 0);
}

TEST_F(FixedTurretTest, TheDollCancelsBulletsAndTheDestroyFlagClearsThemAll) {
    auto turret = std::make_unique<CFixedBattery>(tiles.data(), kColumns, kRows);
    for (int i = 0; i < 2; ++i) {
        auto* bullet = new CBatteryBullet;
        bullet->x = 300 + 200 * i;
        bullet->y = 100;
        bullet->width = bullet->height = 64;
        turret->bullets.push_back(bullet);
    }
    ShotSlot& doll = t.playerShots[3];
    doll.state = 2;
    doll.kind = 7;
    doll.x = 300;
    doll.y = 159 - 20;  // the doll's top exactly at the bullet's bottom edge
    doll.hitLeft = 30;
    doll.hitTop = 20;
    doll.hitRight = 40;
    doll.hitBottom = 60;
    turret->Update(0, 0, false, t.playerShots, t.effects, t.sounds);
    ASSERT_EQ(turret->bullets.size(), 1u);
    EXPECT_EQ(turret->bullets[0]->x, 500.0);
    EXPECT_EQ(t.effects[0].kind, 6);
    EXPECT_EQ(t.effects[0].y, 139 - 32);
    turret->Update(0, 0, true, t.playerShots, t.effects, t.sounds);
    EXPECT_TRUE(turret->bullets.empty());
}

TEST_F(FixedTurretTest, FindHitBulletUsesStrictEdgesAndRemoveBulletOwnsTheBullet) {
    CFixedBattery turret(tiles.data(), kColumns, kRows);
    auto* bullet = new CBatteryBullet;
    bullet->x = 1000;
    bullet->y = 400;
    turret.bullets.push_back(bullet);
    t.player.scrollX = 900;
    struct Case {
        double x;
        double mapY;
        int top;
        bool hit;
    };
    // The player's box: scroll + x + 50 .. + 73 across, map y + top .. map y +
    // 110 down; the bullet's: 1021 .. 1046 and 429 .. 459.
    const Case cases[] = {{48, 330, 40, false},  {49, 330, 40, true},   {95, 330, 40, true},
                          {96, 330, 40, false},  {60, 330, 128, true},  {60, 330, 129, false},
                          {60, 319, 40, false},  {60, 320, 40, true}};
    for (const Case& c : cases) {
        t.player.x = c.x;
        t.player.mapY = c.mapY;
        EXPECT_EQ(turret.FindHitBullet(&t.player, 50, 73, c.top, 110) != nullptr, c.hit)
            << c.x << " " << c.mapY << " " << c.top;
    }
    EXPECT_TRUE(turret.RemoveBullet(bullet));
    EXPECT_FALSE(turret.RemoveBullet(bullet));
    EXPECT_TRUE(turret.bullets.empty());
}

TEST_F(FixedTurretTest, HitTestIsStrictOnItsThreeSides) {
    CFixedBattery turret(tiles.data(), kColumns, kRows);
    turret.x = 100;
    turret.y = 200;
    EXPECT_TRUE(turret.HitTest(163.9, 150, 51));
    EXPECT_FALSE(turret.HitTest(164, 150, 51));
    EXPECT_FALSE(turret.HitTest(100, 150, 50));
    EXPECT_FALSE(turret.HitTest(100, 264, 10));
    EXPECT_TRUE(turret.HitTest(100, 263, 10));
}

}  // namespace
