// The boss-rush run: five battles in a row with carried hit points.
#pragma once

// 7100 when completed or left through a pause menu, 0 back to the title,
// -1 when the window closes or a file fails to load.
int RunBossRushMode();
