// Text input and the input method, as the window side calls them: the IME
// messages, the per-pass processing of the active text-entry field, and the
// end of all fields when the window ends.
#pragma once

#include "platform/user/user.h"

// The result of the IME message (DefWindowProcA where it is not taken).
LRESULT ImeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Called by the pump on every pass; 0, or -1 without a valid active field.
int ProcessKeyInput();
// Returns 0.
int DeleteAllKeyInputs();
// The input method's open state as last read.
int GetImeOpenState();
// Asks the pump's text-input step to close and reopen the input method.
void StartImeReopen();

// Start-up's step: makes the text-input state ready; 0.
int StartTextInput();
