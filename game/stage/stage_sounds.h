// The stage's one table of 43 sounds: effects and the stage's two music
// tracks, loaded together and played by index.
#pragma once

#include "game/framework/resource_managers.h"

constexpr int kStageSoundCount = 43;
// The two entries that hold the stage's music.
constexpr int kStageFirstMusicEntry = 16;
constexpr int kStageSecondMusicEntry = 30;

// (file, kind 0 music / 1 effect); entries 16 and 30 are rewritten for each
// stage by LoadStageSounds, the others are fixed.
extern SoundListEntry StageSoundTable[kStageSoundCount];

// The table as it stands; *countOut (may be null) receives 43.
const SoundListEntry* StageSoundList(int* countOut);
// The music a stage code loads into entries 16 and 30 (either out may be null).
void StageMusicPair(int stageCode, const char** firstOut, const char** secondOut);
// Puts the stage's music into the table, fills handlesOut (43 entries, -1
// first) through the sound list loader and returns 43; on failure shows
// "Failed to load Stage1 Sound. This program will quit.", posts a quit
// message with exit code 1 and returns 0.
int LoadStageSounds(int stageCode, int* handlesOut);
// Releases all 43 entries by name through the sound manager.
void ReleaseStageSoundEffects();
