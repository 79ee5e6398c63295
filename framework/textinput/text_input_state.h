// Internal to framework/textinput (and its tests): nothing outside the folder includes it.
// The text-input state that the field processing, the IME handling and
// start-up share. Tests make fields in it:
// creating fields is not part of the framework.
#pragma once

#include <cstdint>

#include "framework/input/keyboard_joypad_state.h"
#include "framework/window/main_window_state.h"

constexpr int KeyInputSlotCount = 256;
constexpr int KeyInputHandleKind = 0x50000000;
constexpr int KeyInputKindMask = 0x78000000;
constexpr int KeyInputCheckMask = 0x07FF0000;
constexpr int ImeTextSize = 1024;  // the composition, the saved string and the clauses
constexpr int KeyInputColorCount = 15;

struct KeyInputRecord {
    int inUse;
    int check;  // carried by the handle in its bits 16 to 26
    int ended;  // Enter, or Esc when allowed: the field takes no more characters
    int cancelled;
    int length;
    int maxLength;
    int selectionAnchor;  // -1: nothing selected
    int selectionEnd;     // the cursor side of the selection
    int viewPosition;
    int cursor;
    char* string;  // maxLength bytes and the terminator
    int cancelAllowed;
    int singleByteOnly;
    int numericOnly;
};

struct TextInputState {
    int activeHandle;  // -1: none
    void* workBuffer;

    int imeEnabled;
    int imeOpen;
    int composing;
    char composition[ImeTextSize];
    int compositionCursor;  // in characters
    char clauses[ImeTextSize];
    int clauseCount;
    void* candidateList;
    int candidateListSize;
    int openStatusBeingHandled;

    int reopenStep;
    char savedComposition[ImeTextSize];

    int limitToFieldRoom;
    int maxCompositionLength;  // 0: no maximum

    int blinkTime;
    int cursorVisible;
    int blinkPeriod;

    unsigned int colors[KeyInputColorCount];
};

extern KeyInputRecord KeyInputRecords[KeyInputSlotCount];
extern TextInputState TextInput;

// The record of a valid handle, else null.
KeyInputRecord* FindKeyInput(int handle);
int KeyInputHandleOf(int slot);
// The framework's character set for lead-byte tests.
int IsInputLeadByte(const char* byte);
// Deletes the field's selection, if any.
void DeleteKeyInputSelection(KeyInputRecord& field);
// Pump steps: the input method's close-and-reopen, and the composition cut to
// its limits.
void RunImeReopenSteps();
void ApplyCompositionLimit(const KeyInputRecord& field);

// The field processing asks for the Shift keys through this, which is
// IsKeyHeld; tests point it at keys of their own.
extern int (*KeyHeldQuery)(int keyCode);
