// The giant-robot fight seen from the cockpit.
#pragma once

// The story bosses 1, 2, 3, 5, 6 and the boss-rush ids 1000 to 6000; the
// boss rush carries the player robot's hit points through carriedHitPoints.
// Returns the scene code for the caller.
int RunBossBattleScene(int* carriedHitPoints, int pilot, int bossId, bool retry);
