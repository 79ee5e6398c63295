// The battle's two shot tables: what the battle's routines share to launch,
// remove and place (shots, effects, sounds), the per-frame mover, the hit
// tests between the robots and the shots, and pilot 3's weak-point scan.
#pragma once

#include <climits>

#include "game/bossbattle/battle_records.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

// A velocity given as this leaves the slot's own value.
constexpr int kKeepVelocity = INT_MIN;

struct ShotLaunch {
    int kind;
    int width;
    int height;
    int hitLeft;
    int hitTop;
    int hitRight;
    int hitBottom;
    int vx;  // kKeepVelocity: unchanged
    int vy;  // kKeepVelocity: unchanged
    int x;
    int y;
    int facing;
    int power;
};

// Puts a flying shot into the lowest free slot of a 100-slot table; null
// (and nothing placed) when the table is full.
ShotSlot* LaunchBattleShot(ShotSlot* table, const ShotLaunch& launch);
// Frees the first flying shot of the kind; false when there is none.
bool RemoveBattleShot(ShotSlot* table, int kind);
// An effect in the first free slot of the 100; dropped when all are in use.
void PlaceBattleEffect(EffectSlot* effects, int x, int y, int kind);

// Battle sounds by their index in the 18-entry table; each plays once in the
// background from the top.
void PlayBattleSound(const int* sounds, int index);
void PlayBattleSoundIfIdle(const int* sounds, int index);
void StopBattleSoundIfPlaying(const int* sounds, int index);

// Moves every flying shot of both tables for one frame; dx is the player
// robot's change of world x in this frame (the view follows the robot while
// its front stands at 320 on screen).
int MoveBattleShots(ShotSlot* playerShots, ShotSlot* bossShots, PlayerRobot* player, BossRobot* boss, int dx);
// Boss shots against the player robot, player shots against the boss.
int TestBattleHits(ShotSlot* playerShots, ShotSlot* bossShots, PlayerRobot* player, BossRobot* boss,
                   const int* sounds, EffectSlot* effects, int bossId, int& farScroll, int& nearScroll);
// -1 when the player table holds no scan beam, else 0.
int TestScanBeamOnWeakPoint(BossRobot* boss, ShotSlot* playerShots, PlayerRobot* player);
