// The boss battle's sounds: one table of 18 (file, kind) entries that every
// battle routine names by index, loaded into 18 handles in the same order.
#pragma once

#include "game/framework/resource_managers.h"

inline constexpr int kBossBattleSoundCount = 18;

// The shared, writable table: entry 3 (the boss's step sound) is changed in
// place before every load and keeps its last value.
extern SoundListEntry BossBattleSoundTable[kBossBattleSoundCount];

// The step sound of a boss id (entry 3), or null for an id that has none
// (the table entry is then left as it was).
const char* BossBattleStepSound(int bossId);

// Sets entry 3 for the boss and loads the table into handlesOut (18 ints,
// each -1 until its sound is loaded). 18 on success; 0 after a failure,
// which is reported and ends the program through the quit message.
int LoadBossBattleSounds(int bossId, int* handlesOut);
