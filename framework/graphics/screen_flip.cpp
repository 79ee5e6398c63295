// Stand-in until the screen and its present is built.
// Without a started screen there is no back buffer to show; the wait flag is
// only remembered.
#include "framework/graphics/screen_flip.h"

namespace {
int WaitVSync = 1;
}

int GetWaitVSyncFlag() { return WaitVSync; }

int SetWaitVSyncFlag(int flag) {
    WaitVSync = flag;
    return 0;
}

int RepaintBackBuffer() { return -1; }
