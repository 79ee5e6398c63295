// Showing the back buffer in the window.
#pragma once

// 1 when presenting waits for the vertical blank.
int GetWaitVSyncFlag();
int SetWaitVSyncFlag(int flag);
// Shows the back buffer in the window again.
int RepaintBackBuffer();
