// The destruction sequence: explosions scattered over the beaten robot,
// thicker as time goes on, and one final blast.
#pragma once

#include "game/bossbattle/battle_records.h"
#include "game/stage/effects.h"

// One call per frame of the end sequence; t is the frames since the battle
// ended. Positions come from rand(), seeded when the battle starts. Returns 0.
int UpdateBossExplosions(PlayerRobot* player, BossRobot* boss, EffectSlot* effects, int t);
