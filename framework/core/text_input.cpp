// Text input is not started in this build: no field exists, the input method
// is never opened, and IME messages get the default handling.
#include "framework/core/text_input.h"

LRESULT ImeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

int ProcessKeyInput() { return -1; }

int DeleteAllKeyInputs() { return 0; }

int GetImeOpenState() { return 0; }

void StartImeReopen() {}
int StartTextInput() { return 0; }
