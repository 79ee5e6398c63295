// The timelines of the player robot's basic, heavy and dash attacks and its
// guard, and of the pilots' scan beam and options.
#include "game/bossbattle/robot_actions.h"

#include "game/bossbattle/battle_shots.h"

int RobotBasicAttack(PlayerRobot* player, ShotSlot* shots) {
    const int c = player->stateCounter;
    const int sx = player->screenX;
    const int sy = player->screenY;
    if (c == 40) LaunchBattleShot(shots, {101, 64, 64, -128, 0, 64, 64, 0, kKeepVelocity, sx + 430, sy + 210, 2, 2});
    if (c >= 61) RemoveBattleShot(shots, 101);
    return c > 99 ? -1 : 0;
}

int RobotHeavyAttack(int finisher, PlayerRobot* player, int bossId, const int* sounds, EffectSlot* effects,
                     ShotSlot* shots) {
    const int c = player->stateCounter;
    const int sx = player->screenX;
    const int sy = player->screenY;
    if (c == 35) {
        // Against the last boss with its weak point scanned, the blow fills
        // the screen's height and ends the battle.
        const bool finishing = finisher != 0 && (bossId == 6 || bossId == 6000);
        const ShotLaunch launch =
            finishing ? ShotLaunch{102, 240, 480, 40, 120, 200, 360, 5, kKeepVelocity, sx + 200, 0, 2, 105}
                      : ShotLaunch{102, 128, 256, 20, 60, 108, 196, 5, kKeepVelocity, sx + 360, sy + 100, 2, 5};
        LaunchBattleShot(shots, launch);
        PlaceBattleEffect(effects, launch.x + launch.width / 2, launch.y + launch.height / 2, 105);
        PlayBattleSound(sounds, 5);
    }
    return c > 60 ? -1 : 0;
}

int RobotDashAttack(PlayerRobot* player, int& farScroll, int& nearScroll, const int* sounds, ShotSlot* shots,
                    BossRobot* boss, EffectSlot* effects, int bossId, int finisher) {
    const int c = player->stateCounter;
    if (c == 26 || c == 66) {
        // Out and back: the robot jumps 150 pixels forward on screen (300 on
        // the field) and the boss and the view move with it.
        const int sign = c == 26 ? 1 : -1;
        player->screenX += 150 * sign;
        player->worldX += 300 * sign;
        boss->screenX -= 150 * sign;
        farScroll -= 150 * sign;
        nearScroll -= 150 * sign;
        PlayBattleSound(sounds, 7);
        PlaceBattleEffect(effects, player->screenX + (c == 26 ? 64 : 0), player->screenY, 104);
    }
    if (c == 50) {
        const bool finishing = finisher != 0 && (bossId == 3 || bossId == 3000);
        LaunchBattleShot(shots, {101, 64, 64, 0, 0, 256, 64, 0, kKeepVelocity, player->screenX + 20,
                                 player->screenY + 210, 1, finishing ? 5 : 2});
        PlayBattleSound(sounds, 8);
    }
    if (c >= 67) RemoveBattleShot(shots, 101);
    return c >= 93 ? -1 : 0;
}

int RobotGuard(const int* sounds, PlayerRobot* player, EffectSlot* effects) {
    const int c = player->stateCounter;
    if (c >= 64) {
        player->guarding = 0;
        return -1;
    }
    if (c >= 1) player->guarding = 1;
    if (c == 5) PlaceBattleEffect(effects, player->screenX, player->screenY, 106);
    if (c % 2 == 0 && c < 40) PlayBattleSound(sounds, 14);
    return 0;
}

int RobotScanBeam(const int* sounds, PlayerRobot* player, ShotSlot* shots) {
    if (player->stateCounter == 0) {
        LaunchBattleShot(shots, {103, 64, 64, 0, 0, 64, 64, 2, 2, player->screenX + 256, player->screenY + 100, 2, 0});
        PlayBattleSound(sounds, 6);
    }
    return 0;
}

int FireRobotOptions(PlayerRobot* player, const int* sounds, ShotSlot* shots) {
    // Where the four options stand now; the last slot of each kind counts.
    // An option that is not out fires nothing.
    const ShotSlot* options[4] = {};
    for (int i = 0; i < kShotTableSize; ++i) {
        const int kind = shots[i].kind;
        if (kind >= 107 && kind <= 110) options[kind - 107] = &shots[i];
    }
    int positions[4][2] = {};
    for (int k = 0; k < 4; ++k) {
        if (!options[k]) continue;
        positions[k][0] = options[k]->x;
        positions[k][1] = options[k]->y;
    }
    const int c = player->stateCounter;
    if (c == 0 || c == 30) {
        for (int k = 0; k < 4; ++k) {
            if (!options[k]) continue;
            LaunchBattleShot(shots, {2, 32, 32, 0, 0, 32, 32, 5, 0, positions[k][0], positions[k][1], 2, 1});
        }
    }
    if (c % 15 == 0) PlayBattleSound(sounds, 13);
    return c > 60 ? -1 : 0;
}

int PlaceBossMarker(PlayerRobot* player, BossRobot* boss, ShotSlot* shots) {
    if (player->stateCounter == 0)
        LaunchBattleShot(shots, {106, 64, 64, 0, 0, 64, 64, 0, 0, boss->screenX, boss->screenY, 2, 0});
    return 0;
}

int DeployRobotOptions(const int* sounds, ShotSlot* shots, PlayerRobot* player) {
    if (player->stateCounter != 0) return 0;
    const int cx = player->screenX + 224;
    const int cy = player->screenY + 224;
    const int placed[4][3] = {{107, cx, cy - 128}, {108, cx + 128, cy}, {109, cx, cy + 128}, {110, cx - 128, cy}};
    for (const auto& option : placed)
        LaunchBattleShot(shots, {option[0], 64, 64, 0, 0, 64, 64, 0, 0, option[1], option[2], 2, 0});
    PlayBattleSound(sounds, 5);
    return 0;
}
