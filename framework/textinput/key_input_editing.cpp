// The pump's text-input step: the characters of the buffer applied to the
// active field, with the editing keys, selection with Shift, and the
// clipboard.
#include <cstring>

#include "framework/base/base_functions.h"
#include "framework/window/clipboard_text.h"
#include "framework/textinput/input_char_buffer.h"
#include "framework/textinput/text_input.h"
#include "framework/textinput/text_input_state.h"
#include "framework/base/tracked_memory.h"

namespace {

// DirectInput codes of the two Shift keys.
constexpr int LeftShiftKey = 0x2A;
constexpr int RightShiftKey = 0x36;

bool ShiftHeld() { return KeyHeldQuery(LeftShiftKey) == 1 || KeyHeldQuery(RightShiftKey) == 1; }

bool HasSelection(const KeyInputRecord& field) { return field.selectionAnchor != -1; }

void ClearSelection(KeyInputRecord& field) { field.selectionAnchor = field.selectionEnd = -1; }

// The size of the character that ends at byte `end`: found by walking the
// string from its start, so that a trail byte that looks like a lead byte
// never splits a character.
int CharacterBefore(const KeyInputRecord& field, int end) {
    int at = 0, size = 0;
    while (at < end) {
        size = IsInputLeadByte(field.string + at) && at + 1 < field.length ? 2 : 1;
        at += size;
    }
    return size;
}

int CharacterAt(const KeyInputRecord& field, int at) {
    return IsInputLeadByte(field.string + at) && at + 1 < field.length ? 2 : 1;
}

// Removes `size` bytes at `at`, the terminator moving with the rest.
void RemoveBytes(KeyInputRecord& field, int at, int size) {
    std::memmove(field.string + at, field.string + at + size, static_cast<size_t>(field.length - at - size) + 1);
    field.length -= size;
}

void CopySelection(const KeyInputRecord& field) {
    if (!HasSelection(field)) return;
    const int low = field.selectionAnchor < field.selectionEnd ? field.selectionAnchor : field.selectionEnd;
    const int high = field.selectionAnchor < field.selectionEnd ? field.selectionEnd : field.selectionAnchor;
    char* copy = static_cast<char*>(AllocMemory(static_cast<size_t>(high - low) + 1, __FILE__, __LINE__));
    if (copy == nullptr) return;
    std::memcpy(copy, field.string + low, static_cast<size_t>(high - low));
    copy[high - low] = '\0';
    SetClipboardText(copy);
    FreeMemory(copy);
}

void Paste() {
    const int size = GetClipboardText(nullptr, 0);
    if (size <= 0) return;
    char* text = static_cast<char*>(AllocMemory(static_cast<size_t>(size), __FILE__, __LINE__));
    if (text == nullptr) return;
    if (GetClipboardText(text, static_cast<size_t>(size)) == 0)
        for (const char* byte = text; *byte != '\0'; ++byte) PutInputChar(static_cast<unsigned char>(*byte));
    FreeMemory(text);
}

bool IsAcceptedInNumericField(const KeyInputRecord& field, char c, int size) {
    if (size != 1) return false;
    if (c >= '0' && c <= '9') return true;
    if (c == '-') return field.cursor == 0;
    if (c == '.') return FindCharInMultiByteString(field.string, '.') == nullptr;
    return false;
}

void InsertCharacter(KeyInputRecord& field, const char character[2], int size) {
    DeleteKeyInputSelection(field);
    if (field.numericOnly && !IsAcceptedInNumericField(field, character[0], size)) return;
    if (field.singleByteOnly && size == 2) return;
    // A full field gives up its last character to make room.
    while (field.length + size > field.maxLength && field.length > 0) {
        const bool cursorAtEnd = field.cursor == field.length;
        const int last = CharacterBefore(field, field.length);
        field.length -= last;
        field.string[field.length] = '\0';
        if (cursorAtEnd || field.cursor > field.length) field.cursor = field.length;
    }
    if (field.length + size > field.maxLength) return;
    std::memmove(field.string + field.cursor + size, field.string + field.cursor,
                 static_cast<size_t>(field.length - field.cursor) + 1);
    std::memcpy(field.string + field.cursor, character, static_cast<size_t>(size));
    field.cursor += size;
    field.length += size;
}

// Moves the cursor by `step` (negative to the left), selecting with Shift.
void MoveCursor(KeyInputRecord& field, int step) {
    if (ShiftHeld()) {
        if (!HasSelection(field)) field.selectionAnchor = field.cursor;
        field.cursor += step;
        field.selectionEnd = field.cursor;
    } else {
        field.cursor += step;
        ClearSelection(field);
    }
}

void ApplyCharacter(KeyInputRecord& field, const char character[2], int size) {
    switch (static_cast<signed char>(character[0])) {
        case 3: CopySelection(field); break;
        case 8:
            if (HasSelection(field)) {
                DeleteKeyInputSelection(field);
            } else if (field.cursor > 0) {
                const int before = CharacterBefore(field, field.cursor);
                field.cursor -= before;
                RemoveBytes(field, field.cursor, before);
            }
            break;
        case 9: case 0x1E: case 0x1F: break;
        case 13: field.ended = 1; break;
        case 0x10:
            if (HasSelection(field)) {
                if (ShiftHeld()) CopySelection(field);
                DeleteKeyInputSelection(field);
            } else if (field.cursor < field.length) {
                RemoveBytes(field, field.cursor, CharacterAt(field, field.cursor));
            }
            break;
        case 22: Paste(); break;
        case 24:
            if (HasSelection(field)) {
                CopySelection(field);
                DeleteKeyInputSelection(field);
            }
            break;
        case 0x19:
            if (ShiftHeld()) {
                if (!HasSelection(field)) field.selectionAnchor = field.cursor;
                field.selectionEnd = field.length;
            } else {
                ClearSelection(field);
            }
            field.cursor = field.length;
            break;
        case 0x1A:
            if (ShiftHeld()) {
                field.selectionEnd = 0;
                if (!HasSelection(field)) field.selectionAnchor = field.cursor;
            } else {
                ClearSelection(field);
            }
            field.cursor = 0;
            break;
        case 27:
            if (field.cancelAllowed) field.cancelled = field.ended = 1;
            break;
        case 0x1C:
            if (field.cursor < field.length) MoveCursor(field, CharacterAt(field, field.cursor));
            break;
        case 0x1D:
            if (field.cursor > 0) MoveCursor(field, -CharacterBefore(field, field.cursor));
            break;
        default: InsertCharacter(field, character, size); break;
    }
}

}  // namespace

void DeleteKeyInputSelection(KeyInputRecord& field) {
    if (!HasSelection(field)) return;
    const int low = field.selectionAnchor < field.selectionEnd ? field.selectionAnchor : field.selectionEnd;
    const int high = field.selectionAnchor < field.selectionEnd ? field.selectionEnd : field.selectionAnchor;
    field.cursor = low;
    RemoveBytes(field, low, high - low);
    ClearSelection(field);
    if (field.viewPosition > field.length) field.viewPosition = field.length;
}

int ProcessKeyInput() {
    if (TextInput.reopenStep != 0) RunImeReopenSteps();
    if (TextInput.activeHandle == -1) return 0;
    KeyInputRecord* field = FindKeyInput(TextInput.activeHandle);
    if (field == nullptr) return -1;
    if (field->ended) return 0;
    ApplyCompositionLimit(*field);
    while (!field->ended) {
        char character[2];
        const int size = GetInputChar(character, 1);
        if (size == 0) return 0;
        ResetInputCursorBlink();
        ApplyCharacter(*field, character, size);
    }
    return 0;
}
