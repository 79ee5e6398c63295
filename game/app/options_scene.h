// The main menu's how-to pages and the options scene (music and effect
// volumes, full screen), which applies its changes at once and writes the
// configuration file when the player leaves.
#pragma once

#include "game/app/game_mode.h"
#include "game/framework/resource_managers.h"

// 0 when left, 9 when the program must end, -1 when pictures fail to load.
SceneCode RunHowToScene(int* titleSounds);
// 0 when left through the last row; -1 when the program must end (nothing
// is saved) or pictures fail to load. The list's kinds say which volume
// each title sound takes.
SceneCode RunConfigScene(const SoundListEntry* titleSoundList, int* titleSounds);
// One frame of the options picture, with the pictures of the scene.
void DrawConfigScene(const int* pictures, int cursor, bool fullScreen, int musicVolume, int effectVolume);
