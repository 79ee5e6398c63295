// Stand-in until music is built.
// No music can be played yet, so there is nothing to poll, restart, close or stop.
#include "framework/sound/music.h"

int PollMusicPlayState() { return -1; }

int HandleMciNotify() { return 0; }

int StopCurrentMusic() { return 0; }
