// The two robots of a boss battle and the few globals that the battle's
// routines share with its scene. The scene keeps both records (and the shot
// and effect tables) in its own frame and hands them to every routine.
#pragma once

#include <cstdint>

namespace Object {
class CSenarioObject;
}

// The player's giant robot. Positions are pixels: "screen" is where its
// picture stands in the 640 x 480 view, "world" is along the 1280-pixel field.
struct PlayerRobot {
    int worldX;
    int worldY;
    int screenX;
    int screenY;  // the knock-back hop moves it
    int hitPoints;
    int previousHitPoints;  // as at the start of the frame
    int state;
    int previousState;
    uint8_t guarding;     // boss shots do no damage and cannot grab
    uint8_t damageBlink;  // boss shots are not tested
    int stateCounter;
    int blinkCounter;
    // The hurt box: offsets from (screenX, screenY); right and bottom are
    // offsets too, not sizes.
    int boxLeft;
    int boxTop;
    int boxRight;
    int boxBottom;
    int commandsEnabled;
    int pilot;  // character 1 to 4
    int psychicPower;
    int defence;  // taken off a boss shot's damage
    int pilotEventCounter;  // 0 idle, 1 starts the pilot's event
    int grabCounter;
};

// Player robot states.
enum : int {
    kRobotStanding = 0,
    kRobotWalking = 1,
    kRobotBasicAttack = 2,
    kRobotHeavyAttack = 3,
    kRobotDashAttack = 4,
    kRobotGuard = 5,
    kRobotKnockedBack = 6,
    kRobotPilotSpecial = 7,
    kRobotGrabbed = 9,
    kRobotHeld = 10,
};

struct BossRobot {
    int worldX;
    int worldY;
    int screenX;  // moves together with worldX
    int screenY;
    int hitPoints;
    int previousHitPoints;
    int state;
    int previousState;
    uint8_t invulnerable;
    uint8_t damageBlink;  // player shots are not tested
    int stateCounter;  // the attack timelines key on it
    int blinkCounter;
    int boxLeft;
    int boxTop;
    int boxRight;
    int boxBottom;
    int weakPointX;  // offset from (screenX, screenY)
    int weakPointY;
    int weakPointWidth;
    int weakPointHeight;
    // The part of the weak point under the scan beam, relative to it.
    int scannedLeft;
    int scannedTop;
    int scannedWidth;
    int scannedHeight;
    uint8_t scanOverlaps;
    uint8_t scanOff;  // while 1 the scan beam is no longer tested
};

// Boss states.
enum : int {
    kBossDeciding = 0,
    kBossNearAttack = 2,
    kBossMiddleAttack = 3,
    kBossFarAttack = 4,
    kBossHolding = 8,
    kBossWalkingIn = 101,
    kBossWalkingAway = 102,
};

// The pause menu is open.
extern bool BossBattlePaused;
// A pilot event is running; the play-time clock stands still.
extern bool BossBattleEventFlag;
// The scenario that plays over the battle, null when none.
extern Object::CSenarioObject* BossBattleScenario;

// The player robot as a battle starts (25 hit points; the boss-rush run
// overwrites them with its carried value).
void PresetPlayerRobot(PlayerRobot& robot, int pilot);
// The common boss preset (boss 1), and the overrides of the other bosses;
// every boss gets the common preset first.
void PresetBossRobot(BossRobot& boss);
void PresetBoss2Robot(BossRobot& boss);
void PresetBoss3Robot(BossRobot& boss);
void PresetBoss5Robot(BossRobot& boss);
void PresetBoss6Robot(BossRobot& boss);
