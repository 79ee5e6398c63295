#include "game/stage/player_hits.h"

#include <gtest/gtest.h>

#include "tests/game/stage/enemy_test_tables.h"

namespace {

using enemytest::StageTables;

// The player's box with x 100 and screen y 200: 150 .. 173 across and
// 240 .. 310 down.
struct PlayerHitsTest : ::testing::Test {
    StageTables t;
    int dolls = 2;

    ShotSlot& Bullet(int slot, int kind, int x, int y) {
        ShotSlot& s = t.enemyShots[slot];
        s.state = 2;
        s.kind = kind;
        s.x = x;
        s.y = y;
        s.width = 32;
        s.hitLeft = 0;
        s.hitTop = 0;
        s.power = 15;
        return s;
    }
};

TEST_F(PlayerHitsTest, BulletEdgesAreStrictExceptTheBulletsTop) {
    struct Case {
        int x, y;
        bool hit;
    };
    const Case cases[] = {
        {160, 310, true},   // bullet top on the player's bottom
        {160, 311, false},
        {173, 260, false},  // bullet left on the player's right
        {172, 260, true},
        {118, 260, false},  // bullet right (150) on the player's left
        {119, 260, true},
        {160, 208, false},  // bullet bottom on the player's top
    };
    for (const Case& c : cases) {
        StageTables fresh;
        t = fresh;
        Bullet(0, 2, c.x, c.y);
        CheckEnemyShotHits(&t.player, t.enemyShots, t.effects, t.sounds);
        EXPECT_EQ(t.player.hitPoints, c.hit ? 85 : 100) << c.x << " " << c.y;
        EXPECT_EQ(t.player.damaged, c.hit);
        if (c.hit) {
            EXPECT_EQ(t.effects[0].kind, 2);
        }
    }
}

TEST_F(PlayerHitsTest, ABulletThatHitsFliesOnAndHitsAgainOnceTheBlinkEnds) {
    ShotSlot& knife = Bullet(4, 1, 160, 260);
    knife.hitLeft = 8;  // the box is a square inset by the left and top offsets
    knife.hitTop = 8;
    CheckEnemyShotHits(&t.player, t.enemyShots, t.effects, t.sounds);
    EXPECT_EQ(t.player.hitPoints, 85);
    EXPECT_EQ(knife.state, 2);
    EXPECT_EQ(t.effects[0].kind, 1);
    CheckEnemyShotHits(&t.player, t.enemyShots, t.effects, t.sounds);
    EXPECT_EQ(t.player.hitPoints, 85);
    t.player.damaged = false;
    CheckEnemyShotHits(&t.player, t.enemyShots, t.effects, t.sounds);
    EXPECT_EQ(t.player.hitPoints, 70);
    t.player.damaged = false;
    t.player.guarded = true;
    CheckEnemyShotHits(&t.player, t.enemyShots, t.effects, t.sounds);
    EXPECT_EQ(t.player.hitPoints, 70);
}

TEST_F(PlayerHitsTest, BodiesHurtByTheirContactDamageUnlessThePlayerIsGuarded) {
    struct Case {
        bool damaged, guarded;
        int hitPoints, state;
        bool hurt;
    };
    const Case cases[] = {
        {false, false, 100, 102, true}, {true, false, 100, 102, false}, {false, true, 100, 102, false},
        {false, false, 0, 103, false},  {false, false, 100, 101, false},
    };
    for (const Case& c : cases) {
        StageTables fresh;
        t = fresh;
        t.player.damaged = c.damaged;
        t.player.guarded = c.guarded;
        HamushiShot h;
        h.state = c.state;
        h.hitPoints = c.hitPoints;
        h.contactDamage = 25;
        h.screenX = 130;
        h.screenY = 290;  // enemy top 310 on the player's bottom
        EnemyCharacter* table[] = {&h};
        CheckEnemyContact(0, table, &t.player, &dolls, t.sounds, t.effects);
        EXPECT_EQ(t.player.hitPoints, c.hurt ? 75 : 100) << c.damaged << c.guarded << c.hitPoints << c.state;
        if (c.hurt) {
            EXPECT_EQ(t.effects[0].kind, 1);
        }
    }
}

TEST_F(PlayerHitsTest, ItemsRaiseTheAttackLevelEvenWhileThePlayerBlinks) {
    struct Case {
        int level;
        int wantLevel;
        int wantDolls;
    };
    const Case cases[] = {{1, 2, 3}, {2, 3, 4}, {3, 3, 4}};
    for (const Case& c : cases) {
        StageTables fresh;
        t = fresh;
        dolls = 2;
        t.player.attackLevel = c.level;
        t.player.damaged = true;
        EnemyCharacter item;
        item.state = kEnemyDyingSecond;
        item.hitPoints = 0;
        item.hitLeft = item.hitTop = 0;
        item.hitRight = item.hitBottom = 64;
        item.screenX = 160;
        item.screenY = 250;
        EnemyCharacter* table[] = {&item};
        CheckEnemyContact(0, table, &t.player, &dolls, t.sounds, t.effects);
        EXPECT_EQ(t.player.attackLevel, c.wantLevel);
        EXPECT_EQ(dolls, c.wantDolls);
        EXPECT_EQ(item.state, kEnemyDying);
        EXPECT_EQ(item.frameCounter, 50);
        EXPECT_EQ(t.effects[0].kind, 103);
        EXPECT_EQ(t.effects[0].x, 100);
        EXPECT_EQ(t.player.hitPoints, 100);
    }
    EnemyCharacter farItem;
    farItem.state = kEnemyDyingSecond;
    farItem.screenX = 173;  // item left on the player's right: no touch
    farItem.screenY = 250;
    farItem.hitLeft = farItem.hitTop = 0;
    EnemyCharacter* table[] = {&farItem};
    CheckEnemyContact(0, table, &t.player, &dolls, t.sounds, t.effects);
    EXPECT_EQ(farItem.state, kEnemyDyingSecond);
}

TEST_F(PlayerHitsTest, MirelleHurtsOnlyWhileShownAndAlive) {
    for (int state : {1, 2, 3, 103}) {
        StageTables fresh;
        t = fresh;
        Mirelle m;
        m.state = state;
        m.hitPoints = state == 103 ? 0 : 100;
        m.screenX = 100;
        m.screenY = 200;
        CheckMirelleContact(&t.player, &m, t.sounds, t.effects);
        EXPECT_EQ(t.player.hitPoints, state == 2 || state == 3 ? 90 : 100) << state;
    }
}

TEST_F(PlayerHitsTest, AFatalHitLeavesThePlayerDead) {
    ShotSlot& shot = Bullet(0, 2, 160, 260);
    shot.power = 150;
    CheckEnemyShotHits(&t.player, t.enemyShots, t.effects, t.sounds);
    EXPECT_EQ(t.player.hitPoints, 0);
    EXPECT_EQ(t.player.state, kPlayerDead);
    EXPECT_FALSE(t.player.damaged);
}

}  // namespace
