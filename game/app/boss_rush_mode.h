// The boss-rush run: five battles in a row with carried hit points.
#pragma once

// kSceneBossRushDone when completed or left through a pause menu, 0 back to
// the title, -1 when the window closes or a file fails to load.
int RunBossRushMode();

// The explanation before the run: 0 start, kSceneLeftByPause cancelled,
// kSceneEndProgram the window closed, -1 a file failed to load.
int RunBossRushExplanation();
// The run's time and the best run time, which it takes when beaten and
// saves at once: kSceneLeftByPause done, kSceneEndProgram the window closed,
// -1 a file failed to load.
int RunBossRushCollection();

// The scenes the run calls: RunIntermissionScene and the story's game-over
// scene in the game; tests put scripted scenes here.
extern int (*BossRushIntermissionScene)(int bossId, int* carriedHitPoints, bool retry);
extern int (*BossRushGameOverScene)();
