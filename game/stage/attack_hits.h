// Whether the player's attack or one of the player's shots touches a target,
// and the hit code that names the attack (0: no hit). Callers turn the code
// into damage with DamageForHitCode and place the hit effect at the point
// these checks report.
#pragma once

#include "game/stage/shot_table.h"

struct PlayerRecord;
class CFixedBattery;

enum HitCode {
    kHitNone = 0,
    kHitDollThrust = 101,
    kHitDollLate = 102,  // the thrust shot older than 19 frames
    kHitString = 103,    // the grab: a kill by it captures the enemy
    kHitSwing = 201,
    kHitRush = 204,
    kHitRocketSmall = 301,
    kHitRocketMiddle = 302,
    kHitRocketLarge = 303,
    kHitAnchor = 304,
    kHitDive = 305,
    kHitBeam = 401,
    kHitGear = 402,
    kHitWall = 404,
    kHitExplosion = 501,
    kHitDash = 601,
};

// The target box runs from targetX + boxLeft to targetX + boxRight and from
// targetY + boxTop to targetY + boxBottom, in screen pixels. The hit point
// goes to hitX/hitY when a hit is found. Several touches in one frame: the
// one tested last decides.
int CheckShotHits(const PlayerRecord* player, int targetX, int targetY, ShotSlot* shots, const int* sounds,
                  int boxLeft, int boxTop, int boxRight, int boxBottom, int stateAtFrameStart, int* hitX, int* hitY);

// The same for a turret (map coordinates as doubles): the first touch wins,
// and the grab never hits a turret. The hit point is in screen pixels.
int CheckPlayerAttackHits(const PlayerRecord* player, const CFixedBattery* turret, ShotSlot* shots,
                          const int* sounds, int stateAtFrameStart, int* hitX, int* hitY);

// Damage to an enemy or a turret for a hit code; 0 for codes without one.
int DamageForHitCode(int code);
