// The story's hub: one picture per stage with its best time, switched left
// and right with a slide; stages beyond the progress are dimmed and locked.
#pragma once

#include "game/app/game_mode.h"

// The chosen entry (1 to 6 the stages, 7 the boss-rush run), 0 when the
// player backs out, 9 when the program must end, -1 when the pictures fail
// to load. The title sounds: 0 select, 1 enter, 2 title music.
SceneCode RunStageSelectScene(int initialEntry, int* titleSounds);
