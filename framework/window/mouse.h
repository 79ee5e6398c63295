// The mouse cursor's visibility, the mouse position in screen-image pixels,
// and the log of mouse clicks.
#pragma once

// 1 show, 0 hide, -1 apply the current setting again. Returns 0.
int SetMouseCursorVisible(int setting);
// In window mode the position in the screen image (the client area scaled
// back by the window's scale rates, below the tool bar); in full screen the
// cursor's screen position. Either output may be null. Returns 0.
int GetMouseClientPosition(int* x, int* y);
// Logs a click (1 left, 2 right, 4 middle) while fewer than 32 are logged.
void RecordMouseClick(int button);
