// The giant-robot fight seen from the cockpit.
#pragma once

// The story bosses 1, 2, 3, 5, 6 and the boss-rush ids 1000 to 6000; the
// boss rush carries the player robot's hit points through carriedHitPoints.
// Returns the scene code for the caller.
int RunBossBattleScene(int* carriedHitPoints, int pilot, int bossId, bool retry);

// The battle runs: no pause menu, no scenario over it and no pilot event.
// The clock may run again only then.
bool IsBossBattlePlaying();

struct PlayerRobot;
struct BossRobot;

// A test seam, unset in the game: called at the start of every battle frame
// with the two robots and the frames since the battle ended (0 while it
// runs), so that a test can set up a situation (hit points, an event) or
// shorten the explosions without playing through them.
inline void (*BossBattleFrameHook)(PlayerRobot& player, BossRobot& boss, int& overCounter) = nullptr;
