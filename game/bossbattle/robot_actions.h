// The player robot's attacks, its guard and the pilots' special moves:
// short timelines keyed on the robot's state counter. Each returns 0 while it
// runs and -1 once it has ended (the caller then puts the robot back to 0).
#pragma once

#include "game/bossbattle/battle_records.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

// State 2.
int RobotBasicAttack(PlayerRobot* player, ShotSlot* shots);
// State 3. With the finisher flag the attack against the last boss becomes
// the finishing blow.
int RobotHeavyAttack(int finisher, PlayerRobot* player, int bossId, const int* sounds, EffectSlot* effects,
                     ShotSlot* shots);
// State 4: the robot, the boss and the view jump forward and back.
int RobotDashAttack(PlayerRobot* player, int& farScroll, int& nearScroll, const int* sounds, ShotSlot* shots, BossRobot* boss,
                    EffectSlot* effects, int bossId, int finisher);
// State 5: guarding while it runs.
int RobotGuard(const int* sounds, PlayerRobot* player, EffectSlot* effects);
// Pilot 3's special (state 7): puts the scan beam out; never ends by itself.
int RobotScanBeam(const int* sounds, PlayerRobot* player, ShotSlot* shots);
// Pilot 2's special (state 7): the four options fire.
int FireRobotOptions(PlayerRobot* player, const int* sounds, ShotSlot* shots);
// Pilot 1's event: a marker that holds the boss. Returns 0.
int PlaceBossMarker(PlayerRobot* player, BossRobot* boss, ShotSlot* shots);
// Pilot 2's event: four options that circle the robot. Returns 0.
int DeployRobotOptions(const int* sounds, ShotSlot* shots, PlayerRobot* player);
