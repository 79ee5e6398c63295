#include "game/bossbattle/battle_explosions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "tests/game/bossbattle/battle_records_test.h"

namespace {

using battletest::Battle;
using battletest::CountEffects;

int Placed(const Battle& battle) {
    int n = 0;
    for (const EffectSlot& effect : battle.effects)
        if (effect.x != -1 && effect.y != -1) ++n;
    return n;
}

void ClearEffects(Battle& battle) {
    for (EffectSlot& effect : battle.effects) ResetEffect(&effect);
}

TEST(UpdateBossExplosions, TheScheduleOfPairsAndTheFinalBlast) {
    // Pairs at each frame of the schedule; every other frame places none.
    std::map<int, int> pairs = {{0, 0}, {60, 1}, {100, 2}, {140, 2}, {160, 3}, {180, 3}, {200, 4}};
    for (int t = 210; t <= 410; t += 10) pairs[t] = t / 50;
    Battle battle;
    battle.boss.hitPoints = 0;
    std::srand(7);
    for (int t = 0; t <= 700; ++t) {
        ClearEffects(battle);
        EXPECT_EQ(UpdateBossExplosions(&battle.player, &battle.boss, battle.effects, t), 0);
        const int expected = t == 510 ? 1 : 2 * (pairs.count(t) ? pairs[t] : 0);
        ASSERT_EQ(Placed(battle), expected) << "t " << t;
        if (t != 510) {
            EXPECT_EQ(CountEffects(battle.effects, 1), CountEffects(battle.effects, 101)) << "t " << t;
        }
    }
}

TEST(UpdateBossExplosions, AroundTheBeatenBoss) {
    Battle battle;
    battle.boss.hitPoints = -3;
    battle.boss.screenX = 250;
    battle.boss.screenY = 80;
    std::srand(11);
    for (int t = 200; t <= 419; t += 10) UpdateBossExplosions(&battle.player, &battle.boss, battle.effects, t);
    int placed = 0;
    for (const EffectSlot& effect : battle.effects) {
        if (effect.x == -1) continue;
        ++placed;
        EXPECT_GE(effect.x, 350);
        EXPECT_LT(effect.x, 500);
        EXPECT_GE(effect.y, 120);
        EXPECT_LT(effect.y, 320);
    }
    EXPECT_EQ(placed, 100) << "the table fills and the rest is dropped";

    ClearEffects(battle);
    UpdateBossExplosions(&battle.player, &battle.boss, battle.effects, 510);
    ASSERT_EQ(CountEffects(battle.effects, 102), 1);
    EXPECT_EQ(battle.effects[0].x, 250 + 64);
    EXPECT_EQ(battle.effects[0].y, 80 + 64);
}

TEST(UpdateBossExplosions, AroundTheDestroyedPlayer) {
    Battle battle;
    battle.player.hitPoints = 0;
    std::srand(3);
    UpdateBossExplosions(&battle.player, &battle.boss, battle.effects, 200);
    ASSERT_EQ(Placed(battle), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_GE(battle.effects[i].x, -40 + 100);
        EXPECT_LT(battle.effects[i].x, -40 + 300);
        EXPECT_GE(battle.effects[i].y, 70 + 110);
        EXPECT_LT(battle.effects[i].y, 70 + 310);
    }
    ClearEffects(battle);
    UpdateBossExplosions(&battle.player, &battle.boss, battle.effects, 510);
    ASSERT_EQ(CountEffects(battle.effects, 102), 1);
    EXPECT_EQ(battle.effects[0].x, -40 + 128);
    EXPECT_EQ(battle.effects[0].y, 70 + 128);
}

TEST(UpdateBossExplosions, BothDestroyedTheBossExplodesAndThePlayerTakesTheBlast) {
    Battle battle;
    battle.player.hitPoints = 0;
    battle.boss.hitPoints = 0;
    std::srand(5);
    UpdateBossExplosions(&battle.player, &battle.boss, battle.effects, 60);
    ASSERT_EQ(Placed(battle), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_GE(battle.effects[i].x, 400);
        EXPECT_LT(battle.effects[i].x, 550);
        EXPECT_GE(battle.effects[i].y, 110);
    }
    ClearEffects(battle);
    UpdateBossExplosions(&battle.player, &battle.boss, battle.effects, 510);
    EXPECT_EQ(battle.effects[0].x, 88);
    EXPECT_EQ(battle.effects[0].y, 198);
}

TEST(UpdateBossExplosions, TheSameSeedGivesTheSameExplosions) {
    Battle first;
    Battle second;
    first.boss.hitPoints = second.boss.hitPoints = 0;
    std::srand(42);
    UpdateBossExplosions(&first.player, &first.boss, first.effects, 300);
    std::srand(42);
    UpdateBossExplosions(&second.player, &second.boss, second.effects, 300);
    for (int i = 0; i < kEffectTableSize; ++i) {
        EXPECT_EQ(first.effects[i].x, second.effects[i].x);
        EXPECT_EQ(first.effects[i].y, second.effects[i].y);
    }
}

}  // namespace
