// Stand-in until the stage, intermission and boss-rush scenes are built.
#include "game/app/boss_rush_mode.h"
#include "game/app/intermission_scene.h"
#include "game/stage/stage_scene.h"

int CarriedHitPoints = 100;
int CarriedAttackLevel = 1;
int LastCharacter = 1;

// None of them can be played yet: a stage or a battle is left as through
// its pause menu (back to the main menu), the boss-rush run as when its
// explanation is cancelled (back to the stage select).
int RunStageScene(int, int, int, int) { return 99; }
int RunIntermissionScene(int, int*, bool) { return 99; }
int RunBossRushMode() { return 0; }
