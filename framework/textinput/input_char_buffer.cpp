#include "framework/textinput/input_char_buffer.h"

#include "framework/window/main_window_state.h"
#include "framework/graphics/font/font_handles.h"

const EditingKeyCode EditingKeyCodes[] = {
    {0x2E, 0x10},  // Delete
    {0x25, 0x1D},  // left
    {0x27, 0x1C},  // right
    {0x26, 0x1E},  // up
    {0x28, 0x1F},  // down
    {0x24, 0x1A},  // Home
    {0x23, 0x19},  // End
    {0x21, 0x17},  // Page Up
    {0x22, 0x15},  // Page Down
    {0, 0},
};

namespace {

unsigned char Slots[InputCharBufferSlots];
int ReadIndex = 0;
int WriteIndex = 0;

int Next(int index) { return index + 1 == InputCharBufferSlots ? 0 : index + 1; }
int Previous(int index) { return index == 0 ? InputCharBufferSlots - 1 : index - 1; }

}  // namespace

void ClearInputCharBuffer() {
    for (unsigned char& slot : Slots) slot = 0;
    ReadIndex = WriteIndex = 0;
}

int IsInputCharBufferFull() { return Next(WriteIndex) == ReadIndex ? 1 : 0; }

int PutInputChar(int byte) {
    if (IsInputCharBufferFull()) return -1;
    Slots[WriteIndex] = static_cast<unsigned char>(byte);
    WriteIndex = Next(WriteIndex);
    return 0;
}

int IsInputControlCode(int byte) {
    for (const EditingKeyCode* entry = EditingKeyCodes; entry->virtualKey != 0; ++entry)
        if (entry->code == static_cast<BYTE>(byte)) return 1;
    return 0;
}

int GetInputChar(char out[2], int consume) {
    out[0] = out[1] = 0;
    if (ReadIndex == WriteIndex) return 0;
    const unsigned char first = Slots[ReadIndex];
    ReadIndex = Next(ReadIndex);
    out[0] = static_cast<char>(first);
    int length = 1;
    if (!IsInputControlCode(first) && IsMultiByteLeadByte(&first, MainWindow.codePageSelector)) {
        if (ReadIndex == WriteIndex) {
            // The trail byte has not arrived yet: the lead byte waits for it.
            ReadIndex = Previous(ReadIndex);
            out[0] = 0;
            return 0;
        }
        out[1] = static_cast<char>(Slots[ReadIndex]);
        if (consume) ReadIndex = Next(ReadIndex);
        length = 2;
    }
    if (!consume) ReadIndex = Previous(ReadIndex);
    return length;
}
