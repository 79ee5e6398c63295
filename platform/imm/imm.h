// Input method: for now only the switch that lets a window use the input
// method or not.
//
// Stands in for the input-method interface. Left out so far: the composition
// and candidate calls and messages, which come with the framework's text
// input; until then nothing is composed and the switch is only recorded.
// Built on nothing of the host yet (SDL2's text editing comes with the rest).
#pragma once

#include "platform/win_types.h"

// Enables or disables the input method for the program's windows (the window
// is not told apart: the switch is the program's). Returns the previous
// state. Enabled at start.
BOOL WINAPI WINNLSEnableIME(HWND window, BOOL enable);
