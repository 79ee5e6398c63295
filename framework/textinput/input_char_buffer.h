// The character buffer of text input: typed characters and the control codes
// of the editing keys, put in by the window procedure and taken out by the
// text-entry processing. 1025 byte slots; equal indices mean empty, and the
// buffer is full when the write index stands one slot behind the read index.
#pragma once

#include "platform/win_types.h"

constexpr int InputCharBufferSlots = 1025;

// One editing key: the virtual key of a key-down and the control code it puts
// into the buffer.
struct EditingKeyCode {
    BYTE virtualKey;
    BYTE code;
};

// Ended by a pair of zeros.
extern const EditingKeyCode EditingKeyCodes[];

// 0, or -1 when the buffer is full (the byte is lost).
int PutInputChar(int byte);
// The next character in `out` (both bytes cleared first); returns its length,
// 1 or 2, or 0 when the buffer is empty or holds only a lead byte. With
// `consume` 0 the character stays in the buffer.
int GetInputChar(char out[2], int consume);
int IsInputCharBufferFull();
// Empties the buffer (start-up).
void ClearInputCharBuffer();
// 1 when the byte is one of the editing keys' control codes.
int IsInputControlCode(int byte);
