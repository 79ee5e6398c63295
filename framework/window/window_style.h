// Internal to framework/window (and its tests): nothing outside the folder includes it.
// The window styles of each mode, one row per window style index.
#pragma once

#include "platform/win_types.h"

constexpr int WindowStyleRowCount = 11;

struct WindowStyleRow {
    DWORD windowModeStyle;
    DWORD windowModeExStyle;
    DWORD fullScreenStyle;
    DWORD fullScreenExStyle;
};

extern const WindowStyleRow WindowStyleTable[WindowStyleRowCount];

// The row of the current WindowStyleIndex (row 0 for an index out of range).
const WindowStyleRow& CurrentWindowStyleRow();
// The window-mode styles of the current row with the extra bits of the
// settings: maximise box, sizing frame and, once shown, WS_VISIBLE; hidden
// and layered windows in the extended style.
void GetWindowModeStyles(DWORD* style, DWORD* exStyle);
