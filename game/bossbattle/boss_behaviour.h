// The per-frame logic of the two robots besides their commands: the player
// robot's walk, the camera that follows it and its knock-back hop; the
// boss's walk to a range chosen from its hit points and its fifteen timed
// attacks (five bosses by three ranges).
#pragma once

#include "game/bossbattle/battle_records.h"
#include "game/framework/input_manager.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

// 1 near, 2 middle, 3 far; any other value (-100000 between battles, 0 after
// an attack) makes the boss choose anew.
extern int BossRangeMode;
// The boss has reached the distance of its range.
extern bool BossInPosition;

// Walking, the camera, the knock-back hop and the steering of the scan beam.
// walkMode: 1 the robot moves on screen, 2 the view scrolls.
int UpdateRobotWalk(ShotSlot* playerShots, PlayerRobot* player, BossRobot* boss, Manager::CInputManager* input,
                    const int* sounds, int& walkMode, int& farScroll, int& nearScroll);
// The boss's behaviour for one frame.
int SelectBossAttackPattern(PlayerRobot player, ShotSlot* bossShots, const int* sounds, EffectSlot* effects,
                            int bossId, BossRobot* boss);
// The gap the boss keeps between its body and the player's front, by range
// mode (1 to 3) and boss id.
int BossWantedDistance(int mode, int bossId);
// One frame of the attack of the boss's state (2 near, 3 middle, 4 far):
// 0 while it runs, -1 once its last frame has passed.
int RunBossAttackPattern(int bossId, BossRobot* boss, ShotSlot* bossShots, const int* sounds, EffectSlot* effects);
