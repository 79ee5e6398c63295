// Text input and the input method: the text-entry fields (key-input handles)
// that the pump feeds from the character buffer, the IME messages of the
// window procedure, the input method's switch and its reopening, and the
// start-up defaults.
#pragma once

#include "platform/user/user.h"

// The window procedure hands it the WM_IME_* messages and returns its result
// (it calls DefWindowProcA itself where it does not take the message).
LRESULT ImeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Called by the pump on every pass; 0, or -1 when the active handle is not a
// valid key-input handle.
int ProcessKeyInput();
// -1 for an invalid handle, else 0. Deleting the last field switches the
// input method off.
int DeleteKeyInput(int handle);
// Deletes every field and frees the work buffer. Returns 0.
int DeleteAllKeyInputs();
// Switches the input method on or off. Returns 0.
int SetImeEnabled(int flag);
// The input method's open state as last read.
int GetImeOpenState();
// Asks the pump's text-input step to close and reopen the input method.
void StartImeReopen();
// Characters in the first `byteCount` bytes of `text` (a two-byte character
// counts once), stopping at a zero byte.
int CountMultiByteChars(const char* text, int byteCount);
// Shows the field cursor from now on, restarting its blink.
void ResetInputCursorBlink();

// Start-up's step: clears the text-input state and sets the defaults; 0.
int StartTextInput();
