// The boss's entrance, played once between the robot movie and the first
// battle frame: the cockpit view fades in, the boss walks in from the right
// with its step sound, and before the second and third story bosses a
// scenario plays over the still scene unless the battle is a retry.
#pragma once

// sounds: the 18 battle sounds; images: the battle image table. 0 when done,
// -1 when the window closed.
int RunBattleScenarioScene(int* sounds, int bossId, int bossScreenY, bool retry, int playerHitPoints,
                           const int* images);

// The still scene of the entrance: the background, the player robot at its
// start, the boss when `boss` is set (its picture from the walk frame), and
// the cockpit with the player's bar at its hit points and the boss's full.
void DrawBattleStillScene(const int* images, int bossId, int playerHitPoints, bool boss, int bossX, int bossY,
                          int walkFrame);
