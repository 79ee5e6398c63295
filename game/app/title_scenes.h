// The scenes before the story: the start-up logo, the illustrated opening
// and the main menu.
#pragma once

#include "game/app/game_mode.h"

// True when the logo ran to its end, false when the program must end.
bool RunCircleLogoScene();
// 0 when finished or skipped (JUMP or ATTACK), -1 when the program must end
// or the pictures failed to load.
int RunOpeningScene();
// The choice, 11 story, 12 how-to, 13 options, 14 quit (also when the
// program must end); -1 when the pictures failed to load.
SceneCode RunMainMenuScene(int* titleSounds);
