// The key-input records and their handles, deleting fields, the cursor
// blink, and the text-input start with its default colours.
#include <cstring>

#include "framework/textinput/input_char_buffer.h"
#include "framework/base/log.h"
#include "framework/textinput/text_input.h"
#include "framework/textinput/text_input_state.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/screen/screen_image_access.h"

KeyInputRecord KeyInputRecords[KeyInputSlotCount];
TextInputState TextInput = {-1};

int (*KeyHeldQuery)(int keyCode) = &IsKeyHeld;

namespace {

struct ColorComponents {
    int red, green, blue;
};

// In field order; colour 11 takes colour 3's value.
constexpr ColorComponents DefaultColors[KeyInputColorCount] = {
    {255, 255, 255}, {255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {255, 255, 255},
    {255, 0, 0},     {255, 255, 20},  {0, 0, 0},     {0, 0, 0},     {0, 0, 0},
    {255, 255, 0},   {0, 0, 0},       {255, 255, 255}, {0, 0, 0},   {128, 128, 128},
};

}  // namespace

int KeyInputHandleOf(int slot) { return ((KeyInputRecords[slot].check | 0x5000) << 16) | slot; }

KeyInputRecord* FindKeyInput(int handle) {
    if (handle < 0 || (handle & KeyInputKindMask) != KeyInputHandleKind) return nullptr;
    const int slot = handle & 0xFFFF;
    if (slot >= KeyInputSlotCount) return nullptr;
    KeyInputRecord& record = KeyInputRecords[slot];
    if (!record.inUse || ((record.check << 16) & KeyInputCheckMask) != (handle & KeyInputCheckMask)) return nullptr;
    return &record;
}

int IsInputLeadByte(const char* byte) {
    return IsMultiByteLeadByte(reinterpret_cast<const unsigned char*>(byte), MainWindow.codePageSelector);
}

int CountMultiByteChars(const char* text, int byteCount) {
    int count = 0;
    for (int at = 0; at < byteCount && text[at] != '\0'; ++count)
        at += IsInputLeadByte(text + at) ? 2 : 1;
    return count;
}

void ResetInputCursorBlink() {
    TextInput.blinkTime = static_cast<int>(timeGetTime() & 0x7FFFFFFF);
    TextInput.cursorVisible = 1;
}

int DeleteKeyInput(int handle) {
    KeyInputRecord* record = FindKeyInput(handle);
    if (record == nullptr) return -1;
    if (record->string != nullptr) FreeMemory(record->string);
    *record = KeyInputRecord{};
    if (TextInput.activeHandle == handle) TextInput.activeHandle = -1;
    for (const KeyInputRecord& other : KeyInputRecords)
        if (other.inUse) return 0;
    SetImeEnabled(0);
    return 0;
}

int DeleteAllKeyInputs() {
    for (int slot = 0; slot < KeyInputSlotCount; ++slot)
        if (KeyInputRecords[slot].inUse == 1) DeleteKeyInput(KeyInputHandleOf(slot));
    if (TextInput.workBuffer != nullptr) {
        FreeMemory(TextInput.workBuffer);
        TextInput.workBuffer = nullptr;
    }
    TextInput.activeHandle = -1;
    return 0;
}

int StartTextInput() {
    WriteLogLine("文字コードバッファの初期化を行います... ");
    ClearInputCharBuffer();
    std::memset(KeyInputRecords, 0, sizeof(KeyInputRecords));
    TextInput = TextInputState{};
    for (int i = 0; i < KeyInputColorCount; ++i)
        TextInput.colors[i] = MakeScreenColorCode(DefaultColors[i].red, DefaultColors[i].green, DefaultColors[i].blue);
    TextInput.activeHandle = -1;
    TextInput.blinkTime = 0;
    TextInput.blinkPeriod = 500;
    TextInput.cursorVisible = 1;
    WriteLogLine("完了しました\n");
    return 0;
}
