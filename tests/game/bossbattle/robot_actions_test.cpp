#include "game/bossbattle/robot_actions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/game/bossbattle/battle_records_test.h"

namespace {

using battletest::Battle;
using battletest::CountEffects;
using battletest::CountShots;
using battletest::FindEffect;
using battletest::FindShot;

struct Spawn {
    int frame;
    ShotSlot shot;
};

// Steps an action frame by frame (the counter set as the scene sets it) and
// notes every shot that starts to fly; the frame that returned -1, or -2.
int RunTimeline(Battle& battle, ShotSlot* table, const std::function<int()>& action, std::vector<Spawn>* spawns,
                const std::function<void(int)>& afterFrame = {}) {
    for (int c = 0; c <= 400; ++c) {
        battle.player.stateCounter = c;
        bool flying[kShotTableSize];
        for (int i = 0; i < kShotTableSize; ++i) flying[i] = table[i].state == 2;
        const int result = action();
        for (int i = 0; i < kShotTableSize; ++i)
            if (!flying[i] && table[i].state == 2 && spawns) spawns->push_back({c, table[i]});
        if (afterFrame) afterFrame(c);
        if (result == -1) return c;
        EXPECT_EQ(result, 0);
    }
    return -2;
}

struct AttackCase {
    std::string name;
    int action;  // 2 basic, 3 heavy, 4 dash
    int bossId;
    int finisher;
    int spawnFrame;
    int kind, width, height, hitLeft, hitTop, hitRight, hitBottom, vx, x, y, facing, power;
    int removedFrom;  // -1 when the attack leaves its shot flying
    int endFrame;
};

void PrintTo(const AttackCase& c, std::ostream* os) { *os << c.name; }

class AttackTimelineTest : public ::testing::TestWithParam<AttackCase> {};

int RunAttack(Battle& battle, const AttackCase& c) {
    switch (c.action) {
    case 2: return RobotBasicAttack(&battle.player, battle.playerShots);
    case 3:
        return RobotHeavyAttack(c.finisher, &battle.player, c.bossId, battle.sounds, battle.effects,
                                battle.playerShots);
    default:
        return RobotDashAttack(&battle.player, battle.farScroll, battle.nearScroll, battle.sounds, battle.playerShots,
                               &battle.boss, battle.effects, c.bossId, c.finisher);
    }
}

TEST_P(AttackTimelineTest, ShotFrameAndEnd) {
    const AttackCase& c = GetParam();
    Battle battle;
    battle.playerShots[0].vy = 7;  // "unchanged" velocities keep the slot's
    std::vector<Spawn> spawns;
    int gone = -1;
    const int end = RunTimeline(
        battle, battle.playerShots, [&] { return RunAttack(battle, c); }, &spawns,
        [&](int frame) {
            if (gone == -1 && !spawns.empty() && CountShots(battle.playerShots, c.kind) == 0) gone = frame;
        });
    EXPECT_EQ(end, c.endFrame);
    ASSERT_EQ(spawns.size(), 1u);
    const ShotSlot& s = spawns[0].shot;
    EXPECT_EQ(spawns[0].frame, c.spawnFrame);
    EXPECT_EQ(s.kind, c.kind);
    EXPECT_EQ(s.width, c.width);
    EXPECT_EQ(s.height, c.height);
    EXPECT_EQ(s.hitLeft, c.hitLeft);
    EXPECT_EQ(s.hitTop, c.hitTop);
    EXPECT_EQ(s.hitRight, c.hitRight);
    EXPECT_EQ(s.hitBottom, c.hitBottom);
    EXPECT_EQ(s.vx, c.vx);
    EXPECT_EQ(s.vy, 7);
    EXPECT_EQ(s.x, c.x);
    EXPECT_EQ(s.y, c.y);
    EXPECT_EQ(s.facing, c.facing);
    EXPECT_EQ(s.power, c.power);
    EXPECT_EQ(gone, c.removedFrom);
}

// The player robot stands at screen (-40, 70); the dash has moved it to 110
// when it strikes.
INSTANTIATE_TEST_SUITE_P(
    Attacks, AttackTimelineTest,
    ::testing::Values(
        AttackCase{"basic", 2, 1, 0, 40, 101, 64, 64, -128, 0, 64, 64, 0, 390, 280, 2, 2, 61, 100},
        AttackCase{"heavy", 3, 1, 0, 35, 102, 128, 256, 20, 60, 108, 196, 5, 320, 170, 2, 5, -1, 61},
        AttackCase{"heavyBoss6NoScan", 3, 6, 0, 35, 102, 128, 256, 20, 60, 108, 196, 5, 320, 170, 2, 5, -1, 61},
        AttackCase{"heavyBoss5Scanned", 3, 5, 1, 35, 102, 128, 256, 20, 60, 108, 196, 5, 320, 170, 2, 5, -1, 61},
        AttackCase{"heavyFinisher6", 3, 6, 1, 35, 102, 240, 480, 40, 120, 200, 360, 5, 160, 0, 2, 105, -1, 61},
        AttackCase{"heavyFinisher6000", 3, 6000, 1, 35, 102, 240, 480, 40, 120, 200, 360, 5, 160, 0, 2, 105, -1, 61},
        AttackCase{"dash", 4, 1, 0, 50, 101, 64, 64, 0, 0, 256, 64, 0, 130, 280, 1, 2, 67, 93},
        AttackCase{"dashBoss3NoScan", 4, 3, 0, 50, 101, 64, 64, 0, 0, 256, 64, 0, 130, 280, 1, 2, 67, 93},
        AttackCase{"dashFinisher3", 4, 3, 1, 50, 101, 64, 64, 0, 0, 256, 64, 0, 130, 280, 1, 5, 67, 93},
        AttackCase{"dashFinisher3000", 4, 3000, 1, 50, 101, 64, 64, 0, 0, 256, 64, 0, 130, 280, 1, 5, 67, 93}),
    [](const auto& info) { return info.param.name; });

TEST(RobotActions, WithTheShotTableFullTheAttacksPlaceNothingAndEndOnTime) {
    for (const int action : {2, 3, 4}) {
        Battle battle;
        battletest::FillShots(battle.playerShots);
        const AttackCase c{"", action, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        const int end = RunTimeline(battle, battle.playerShots, [&] { return RunAttack(battle, c); }, nullptr);
        EXPECT_EQ(end, action == 2 ? 100 : action == 3 ? 61 : 93) << "action " << action;
        EXPECT_EQ(CountShots(battle.playerShots, 101) + CountShots(battle.playerShots, 102), 0);
    }
}

TEST(RobotActions, HeavyAttackPutsItsFlashAtTheShotsCentre) {
    Battle battle;
    battle.player.stateCounter = 35;
    RobotHeavyAttack(0, &battle.player, 1, battle.sounds, battle.effects, battle.playerShots);
    const EffectSlot* flash = FindEffect(battle.effects, 105);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->x, 320 + 64);
    EXPECT_EQ(flash->y, 170 + 128);
}

TEST(RobotActions, DashMovesRobotBossAndViewOutAndBack) {
    Battle battle;
    struct Seen {
        int screenX, worldX, bossScreenX, farScroll, nearScroll;
    };
    std::vector<Seen> seen;
    RunTimeline(
        battle, battle.playerShots,
        [&] {
            return RobotDashAttack(&battle.player, battle.farScroll, battle.nearScroll, battle.sounds,
                                   battle.playerShots, &battle.boss, battle.effects, 1, 0);
        },
        nullptr,
        [&](int) {
            seen.push_back({battle.player.screenX, battle.player.worldX, battle.boss.screenX, battle.farScroll,
                            battle.nearScroll});
        });
    ASSERT_EQ(seen.size(), 94u);
    const auto expect = [&](int frame, int sx, int wx, int bx, int scroll) {
        EXPECT_EQ(seen[frame].screenX, sx) << "frame " << frame;
        EXPECT_EQ(seen[frame].worldX, wx) << "frame " << frame;
        EXPECT_EQ(seen[frame].bossScreenX, bx) << "frame " << frame;
        EXPECT_EQ(seen[frame].farScroll, scroll) << "frame " << frame;
        EXPECT_EQ(seen[frame].nearScroll, scroll) << "frame " << frame;
    };
    expect(25, -40, 280, 300, -320);
    expect(26, 110, 580, 150, -470);
    expect(65, 110, 580, 150, -470);
    expect(66, -40, 280, 300, -320);
    expect(93, -40, 280, 300, -320);
    // One flash where the robot lands, one where it comes back.
    EXPECT_EQ(CountEffects(battle.effects, 104), 2);
    EXPECT_EQ(battle.effects[0].x, 110 + 64);
    EXPECT_EQ(battle.effects[0].y, 70);
    EXPECT_EQ(battle.effects[1].x, -40);
    EXPECT_EQ(battle.effects[1].y, 70);
}

TEST(RobotActions, GuardHoldsFromFrameOneToSixtyFour) {
    Battle battle;
    std::vector<int> guarding;
    const int end = RunTimeline(
        battle, battle.playerShots, [&] { return RobotGuard(battle.sounds, &battle.player, battle.effects); },
        nullptr, [&](int) { guarding.push_back(battle.player.guarding); });
    EXPECT_EQ(end, 64);
    EXPECT_EQ(guarding[0], 0);
    EXPECT_EQ(guarding[1], 1);
    EXPECT_EQ(guarding[63], 1);
    EXPECT_EQ(guarding[64], 0);
    const EffectSlot* ring = FindEffect(battle.effects, 106);
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->x, -40);
    EXPECT_EQ(ring->y, 70);
    EXPECT_EQ(CountEffects(battle.effects, 106), 1);
}

TEST(RobotActions, ScanBeamStartsOnceAndNeverEnds) {
    Battle battle(3);
    std::vector<Spawn> spawns;
    EXPECT_EQ(RunTimeline(
                  battle, battle.playerShots,
                  [&] { return RobotScanBeam(battle.sounds, &battle.player, battle.playerShots); }, &spawns),
              -2);
    ASSERT_EQ(spawns.size(), 1u);
    const ShotSlot& beam = spawns[0].shot;
    EXPECT_EQ(spawns[0].frame, 0);
    EXPECT_EQ(beam.kind, 103);
    EXPECT_EQ(beam.width, 64);
    EXPECT_EQ(beam.height, 64);
    EXPECT_EQ(beam.hitRight, 64);
    EXPECT_EQ(beam.hitBottom, 64);
    EXPECT_EQ(beam.vx, 2);
    EXPECT_EQ(beam.vy, 2);
    EXPECT_EQ(beam.x, -40 + 256);
    EXPECT_EQ(beam.y, 70 + 100);
    EXPECT_EQ(beam.facing, 2);
    EXPECT_EQ(beam.power, 0);
}

TEST(RobotActions, OptionsAreDeployedAroundTheRobotAndFireTwice) {
    Battle battle(2);
    battle.player.stateCounter = 3;
    DeployRobotOptions(battle.sounds, battle.playerShots, &battle.player);
    EXPECT_EQ(CountShots(battle.playerShots, 107), 0) << "only while the state counter is 0";

    battle.player.stateCounter = 0;
    DeployRobotOptions(battle.sounds, battle.playerShots, &battle.player);
    const int cx = -40 + 224;
    const int cy = 70 + 224;
    const int where[4][2] = {{cx, cy - 128}, {cx + 128, cy}, {cx, cy + 128}, {cx - 128, cy}};
    for (int k = 0; k < 4; ++k) {
        const ShotSlot* option = FindShot(battle.playerShots, 107 + k);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->x, where[k][0]);
        EXPECT_EQ(option->y, where[k][1]);
        EXPECT_EQ(option->width, 64);
        EXPECT_EQ(option->vx, 0);
        EXPECT_EQ(option->vy, 0);
        EXPECT_EQ(option->power, 0);
    }

    std::vector<Spawn> spawns;
    const int end = RunTimeline(
        battle, battle.playerShots,
        [&] { return FireRobotOptions(&battle.player, battle.sounds, battle.playerShots); }, &spawns);
    EXPECT_EQ(end, 61);
    ASSERT_EQ(spawns.size(), 8u);
    for (size_t i = 0; i < spawns.size(); ++i) {
        const ShotSlot& s = spawns[i].shot;
        EXPECT_EQ(spawns[i].frame, i < 4 ? 0 : 30);
        EXPECT_EQ(s.kind, 2);
        EXPECT_EQ(s.width, 32);
        EXPECT_EQ(s.hitRight, 32);
        EXPECT_EQ(s.vx, 5);
        EXPECT_EQ(s.vy, 0);
        EXPECT_EQ(s.power, 1);
        EXPECT_EQ(s.x, where[i % 4][0]);
        EXPECT_EQ(s.y, where[i % 4][1]);
    }
}

TEST(RobotActions, OptionsThatAreNotOutFireNothing) {
    Battle battle(2);
    std::vector<Spawn> spawns;
    EXPECT_EQ(RunTimeline(
                  battle, battle.playerShots,
                  [&] { return FireRobotOptions(&battle.player, battle.sounds, battle.playerShots); }, &spawns),
              61);
    EXPECT_TRUE(spawns.empty());
}

TEST(RobotActions, BossMarkerOnlyWhileTheStateCounterIsZero) {
    Battle battle;
    battle.boss.screenX = 210;
    battle.boss.screenY = 95;
    battle.player.stateCounter = 1;
    EXPECT_EQ(PlaceBossMarker(&battle.player, &battle.boss, battle.playerShots), 0);
    EXPECT_EQ(CountShots(battle.playerShots, 106), 0);
    battle.player.stateCounter = 0;
    EXPECT_EQ(PlaceBossMarker(&battle.player, &battle.boss, battle.playerShots), 0);
    const ShotSlot* marker = FindShot(battle.playerShots, 106);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->x, 210);
    EXPECT_EQ(marker->y, 95);
    EXPECT_EQ(marker->power, 0);
    EXPECT_EQ(marker->width, 64);
}

}  // namespace
