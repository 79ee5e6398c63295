// The framework's main window: creation, the window procedure, the message
// pump and the wait while the window is inactive, and the window's end.
#pragma once

#include "framework/window/main_window_state.h"

// 0 when the window stands (also when the no-window setting stops creation
// early); -1 when a second instance is refused or the class or the window
// cannot be made.
int CreateMainWindow();
// Returns 0; does nothing without a window.
int DestroyMainWindow();
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A null routine removes the callback. Returns 0.
int SetActiveStateCallback(ActiveStateCallbackRoutine routine, void* argument);

// -1 when the program is ending (the quit flag is 1 after the call), else 0.
int ProcessWindowMessages();
// Pumps until the window is active again or the program ends.
void WaitWhileInactive();
