// The game over: the fallen character, the animated title, and the choice
// between continuing and going back to the title.
#pragma once

// 1 back to the title, 0 continue, -1 when a file failed to load (a quit
// message has been posted). When the window closes during the scene the
// whole program is shut down and the process ends with exit code 0.
int RunGameOverScene();
