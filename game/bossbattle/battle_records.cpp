// The battle's shared flags and the starting records of the player robot and
// the bosses (positions, hit boxes and weak points).
#include "game/bossbattle/battle_records.h"

bool BossBattlePaused = false;
bool BossBattleEventFlag = false;
Object::CSenarioObject* BossBattleScenario = nullptr;

void PresetPlayerRobot(PlayerRobot& robot, int pilot) {
    robot = PlayerRobot{};
    robot.worldX = 280;
    robot.worldY = 70;
    robot.screenX = -40;
    robot.screenY = 70;
    robot.hitPoints = 25;
    robot.previousHitPoints = 25;
    robot.boxLeft = 160;
    robot.boxTop = 100;
    robot.boxRight = 240;
    robot.boxBottom = 300;
    robot.commandsEnabled = 1;
    robot.pilot = pilot;
    robot.psychicPower = 100;
    // Pilots 2 and 4 start their event with the battle.
    robot.pilotEventCounter = (pilot == 2 || pilot == 4) ? 1 : 0;
}

void PresetBossRobot(BossRobot& boss) {
    boss = BossRobot{};
    boss.worldX = 620;
    boss.worldY = 70;
    boss.screenX = 300;
    boss.screenY = 70;
    boss.hitPoints = 25;
    boss.previousHitPoints = 25;
    boss.boxLeft = 150;
    boss.boxTop = 140;
    boss.boxRight = 300;
    boss.boxBottom = 340;
    boss.weakPointX = 250;
    boss.weakPointY = 140;
    boss.weakPointWidth = 32;
    boss.weakPointHeight = 32;
}

namespace {

void Override(BossRobot& boss, int worldY, int screenY, int left, int top, int right, int bottom, int weakX,
              int weakY) {
    boss.worldY = worldY;
    boss.screenY = screenY;
    boss.boxLeft = left;
    boss.boxTop = top;
    boss.boxRight = right;
    boss.boxBottom = bottom;
    boss.weakPointX = weakX;
    boss.weakPointY = weakY;
}

}  // namespace

void PresetBoss2Robot(BossRobot& boss) { Override(boss, 50, 80, 70, 205, 350, 320, 284, 189); }
void PresetBoss3Robot(BossRobot& boss) { Override(boss, 75, 105, 140, 70, 250, 400, 164, 79); }
void PresetBoss5Robot(BossRobot& boss) { Override(boss, 70, 100, 200, 70, 320, 300, 228, 271); }
void PresetBoss6Robot(BossRobot& boss) { Override(boss, 70, 70, 260, 130, 350, 370, 266, 210); }
