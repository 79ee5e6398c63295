// The hangar before every boss battle: the pilot is chosen, then the battle
// runs and its result is the hangar's.
#pragma once

// The battle's result, kSceneLastBossBeaten for boss id 7 (no battle), or -1
// when the window closed or a file failed to load. carriedHitPoints is only handed on.
int RunIntermissionScene(int bossId, int* carriedHitPoints, bool retry);

// The launch gates over the stand-by display, 60 frames: mode 1 opens them,
// mode 2 closes them and fades out. 0, or -1 when the window closed.
int PlayLaunchGates(const int* images, int mode, int pilot);
// Gives back the stand-by pictures.
void ReleaseIntermissionImages();

// The battle the hangar launches: RunBossBattleScene in the game; tests put
// a scripted battle here.
extern int (*IntermissionBattleScene)(int* carriedHitPoints, int pilot, int bossId, bool retry);
