#include "game/bossbattle/battle_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct BossPresetCase {
    int boss;
    int worldY, screenY;
    int left, top, right, bottom;
    int weakX, weakY;
};

void PrintTo(const BossPresetCase& c, std::ostream* os) { *os << "boss " << c.boss; }

class BossPresetTest : public ::testing::TestWithParam<BossPresetCase> {};

TEST_P(BossPresetTest, CommonPresetThenTheBossesOwnValues) {
    const BossPresetCase& c = GetParam();
    BossRobot boss;
    std::memset(&boss, 0x5A, sizeof boss);
    PresetBossRobot(boss);
    if (c.boss == 2) PresetBoss2Robot(boss);
    if (c.boss == 3) PresetBoss3Robot(boss);
    if (c.boss == 5) PresetBoss5Robot(boss);
    if (c.boss == 6) PresetBoss6Robot(boss);

    EXPECT_EQ(boss.worldX, 620);
    EXPECT_EQ(boss.screenX, 300);
    EXPECT_EQ(boss.worldY, c.worldY);
    EXPECT_EQ(boss.screenY, c.screenY);
    EXPECT_EQ(boss.hitPoints, 25);
    EXPECT_EQ(boss.previousHitPoints, 25);
    EXPECT_EQ(boss.state, 0);
    EXPECT_EQ(boss.previousState, 0);
    EXPECT_EQ(boss.stateCounter, 0);
    EXPECT_EQ(boss.blinkCounter, 0);
    EXPECT_EQ(boss.invulnerable, 0);
    EXPECT_EQ(boss.damageBlink, 0);
    EXPECT_EQ(boss.scanOverlaps, 0);
    EXPECT_EQ(boss.scanOff, 0);
    EXPECT_EQ(boss.boxLeft, c.left);
    EXPECT_EQ(boss.boxTop, c.top);
    EXPECT_EQ(boss.boxRight, c.right);
    EXPECT_EQ(boss.boxBottom, c.bottom);
    EXPECT_EQ(boss.weakPointX, c.weakX);
    EXPECT_EQ(boss.weakPointY, c.weakY);
    EXPECT_EQ(boss.weakPointWidth, 32);
    EXPECT_EQ(boss.weakPointHeight, 32);
}

INSTANTIATE_TEST_SUITE_P(Bosses, BossPresetTest,
                         ::testing::Values(BossPresetCase{1, 70, 70, 150, 140, 300, 340, 250, 140},
                                           BossPresetCase{2, 50, 80, 70, 205, 350, 320, 284, 189},
                                           BossPresetCase{3, 75, 105, 140, 70, 250, 400, 164, 79},
                                           BossPresetCase{5, 70, 100, 200, 70, 320, 300, 228, 271},
                                           BossPresetCase{6, 70, 70, 260, 130, 350, 370, 266, 210}));

TEST(PlayerRobotPreset, StartValuesAndTheEventOfPilotsTwoAndFour) {
    for (int pilot = 1; pilot <= 4; ++pilot) {
        PlayerRobot robot;
        std::memset(&robot, 0x5A, sizeof robot);
        PresetPlayerRobot(robot, pilot);
        EXPECT_EQ(robot.worldX, 280);
        EXPECT_EQ(robot.worldY, 70);
        EXPECT_EQ(robot.screenX, -40);
        EXPECT_EQ(robot.screenY, 70);
        EXPECT_EQ(robot.hitPoints, 25);
        EXPECT_EQ(robot.previousHitPoints, 25);
        EXPECT_EQ(robot.state, 0);
        EXPECT_EQ(robot.guarding, 0);
        EXPECT_EQ(robot.damageBlink, 0);
        EXPECT_EQ(robot.boxLeft, 160);
        EXPECT_EQ(robot.boxTop, 100);
        EXPECT_EQ(robot.boxRight, 240);
        EXPECT_EQ(robot.boxBottom, 300);
        EXPECT_EQ(robot.commandsEnabled, 1);
        EXPECT_EQ(robot.pilot, pilot);
        EXPECT_EQ(robot.psychicPower, 100);
        EXPECT_EQ(robot.defence, 0);
        EXPECT_EQ(robot.grabCounter, 0);
        EXPECT_EQ(robot.pilotEventCounter, (pilot == 2 || pilot == 4) ? 1 : 0) << "pilot " << pilot;
    }
}

}  // namespace
