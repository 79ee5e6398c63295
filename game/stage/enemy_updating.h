// Running the stage's enemies, and the small routines the stage shares:
// damage to a hit-point gauge, placing an effect, the point where two boxes
// meet.
#pragma once

#include "game/stage/effects.h"

struct PlayerRecord;

// -1 when the slot is in use (both x and y set); else places it, 0.
int PlaceEffect(EffectSlot* slot, int x, int y);

// The point between two overlapping boxes where a hit is shown.
void ComputeHitPoint(int ax, int ay, int aWidth, int aHeight, int bx, int by, int bWidth, int bHeight, int* xOut,
                     int* yOut);

// Damage to a 0 to 100 gauge (the player's): a negative damage heals; at 0
// the player is dead. The sound plays while hit points remain.
void ApplyDamage(PlayerRecord* gauge, int damage, int soundHandle);
