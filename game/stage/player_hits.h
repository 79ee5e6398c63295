// What touches the player each played frame: enemy bodies, Mirelle, the
// enemies' bullets, and the attack-level items that dead enemies leave in
// the pools.
//
// The scene runs CheckEnemyContact over eight of its nine enemy pools: every
// kind but Sekito. Sekito is an invisible trap whose box follows the player's
// height; its falling tower is its attack, and a body touch by something the
// player cannot see would hurt at every pass.
#pragma once

#include "game/stage/effects.h"
#include "game/stage/enemy_characters.h"
#include "game/stage/shot_table.h"

struct PlayerRecord;

// Body contact with table[index] (not while either of the player's hit
// guards, `damaged` and `guarded`, is set), else the pick-up of an
// attack-level item (state 104), which raises the attack level and the doll
// count.
int CheckEnemyContact(int index, EnemyCharacter* const table[], PlayerRecord* player, int* dollCount,
                      const int* sounds, EffectSlot* effects);

int CheckMirelleContact(PlayerRecord* player, const Mirelle* mirelle, const int* sounds, EffectSlot* effects);

// The enemy table's flying bullets against the player; a bullet that hits
// flies on. The scene runs the map-object update after it (unless the player
// is returning to the restart point).
int CheckEnemyShotHits(PlayerRecord* player, const ShotSlot* enemyShots, EffectSlot* effects, const int* sounds);
