// What the host adapters feed into the input method, and what tests read of
// it and set in it. Private to the platform (and to tests).
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform {

// The state WINNLSEnableIME last set (true at start, and again after
// ResetMachine(), which also forgets every input context).
bool InputMethodEnabled();

// The host's input method, as it reaches a window. Each is made on the
// window's thread and sends the window its WM_IME_* messages at once, so that
// the context holds what the message names while the window handles it.
// Nothing happens while the input method is disabled; false then, and for a
// handle that is no window.
//
// A composition in progress (Shift-JIS) with its cursor as a byte offset:
// the first one opens the context when it was closed and starts the
// composition (WM_IME_STARTCOMPOSITION); each one sends WM_IME_COMPOSITION
// with GCS_COMPSTR, GCS_CURSORPOS and GCS_COMPCLAUSE. An empty text ends a
// composition in progress (WM_IME_COMPOSITION with 0, then
// WM_IME_ENDCOMPOSITION).
bool ShowComposition(HWND window, const std::string& shiftJis, DWORD cursorBytes);
// Committed text: with a composition in progress it becomes the result string
// (WM_IME_COMPOSITION with GCS_RESULTSTR and GCS_COMPSTR, then
// WM_IME_ENDCOMPOSITION) and true is returned; without one, false, and the
// caller hands the text on as typed characters.
bool CommitComposition(HWND window, const std::string& shiftJis);
// The candidates the host offers for the composition: a non-empty list opens
// or changes the candidate list (WM_IME_NOTIFY with IMN_OPENCANDIDATE, then
// IMN_CHANGECANDIDATE for later lists), an empty one closes it
// (IMN_CLOSECANDIDATE).
bool ShowCandidates(HWND window, const std::vector<std::string>& shiftJis, DWORD selection);

// What tests read of a window's input context (all empty or 0 when the window
// has none).
struct InputContextView {
    bool exists = false;
    bool open = false;
    bool composing = false;
    std::string composition;
    std::string result;
    DWORD cursor = 0;
    std::vector<std::string> candidates;
    int takenCount = 0;  // ImmGetContext calls not yet released
};
InputContextView ViewInputContext(HWND window);

}  // namespace platform
