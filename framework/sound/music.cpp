// Sound is not started in this build: no music plays, so there is nothing to
// poll, restart or close.
#include "framework/sound/music.h"

int PollMusicPlayState() { return -1; }

int HandleMciNotify() { return 0; }
