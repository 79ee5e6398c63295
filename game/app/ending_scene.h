// The ending: the epilogue scenario on a white screen, a pause, the staff
// roll, and on the story's first clear the notice that the boss-rush run
// has been added.
#pragma once

#include "game/app/game_mode.h"

namespace Object {
class CSenarioObject;
}

// 10 when everything ran, -1 when the music failed to load or the program
// must end.
SceneCode RunEndingScene(bool firstClear);
// 0 when the scenario has finished, -1 when the program must end.
int RunEndingScenario(Object::CSenarioObject* scenario);
// 0 when the roll has finished or its script could not be read, -1 when the
// program must end. A null scenario is not drawn.
int RunStaffRollScene(Object::CSenarioObject* scenario);
// 0 when shown, -1 when a file failed to load or the program must end.
int RunBossRushUnlockedNotice();
