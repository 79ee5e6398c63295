// The hangar before every boss battle: the pilot is chosen, then the battle
// runs and its result is the hangar's.
#pragma once

int RunIntermissionScene(int bossId, int* carriedHitPoints, bool retry);
