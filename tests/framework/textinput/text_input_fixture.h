// A started text input on the window test fixture, with fields made the way
// an application would make them (the framework itself makes none), the
// Shift keys under the test's control, and typing that goes through the
// character buffer and the pump's text-input step.
#pragma once

#include <cstring>
#include <string>

#include "framework/base/tracked_memory.h"
#include "framework/textinput/input_char_buffer.h"
#include "framework/textinput/text_input.h"
#include "framework/textinput/text_input_state.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/main_window_fixture.h"

namespace textinputtest {

inline bool ShiftDown = false;

inline int FakeKeyHeld(int keyCode) { return ShiftDown && (keyCode == 0x2A || keyCode == 0x36) ? 1 : 0; }

struct FieldOptions {
    int maxLength = 32;
    const char* text = "";
    int cursor = -1;  // -1: at the end
    int numericOnly = 0;
    int singleByteOnly = 0;
    int cancelAllowed = 0;
};

class TextInputTest : public windowtest::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The open-status handling waits 2 ms on the clock: let it move.
        platform::Profile().clock.advanceNanosecondsPerRead = 100000;
        StartTextInput();
        ShiftDown = false;
        KeyHeldQuery = &FakeKeyHeld;
    }

    void TearDown() override {
        DeleteAllKeyInputs();
        KeyHeldQuery = &IsKeyHeld;
        ClearInputCharBuffer();
        MainWindowTest::TearDown();
    }

    // A field in the first free slot, made the active one.
    static int MakeField(const FieldOptions& options = {}) {
        int slot = 0;
        while (KeyInputRecords[slot].inUse) ++slot;
        KeyInputRecord& field = KeyInputRecords[slot];
        field = KeyInputRecord{};
        field.inUse = 1;
        field.check = slot + 7;
        field.maxLength = options.maxLength;
        field.string = static_cast<char*>(AllocZeroedMemory(options.maxLength + 1, __FILE__, __LINE__));
        std::strcpy(field.string, options.text);
        field.length = static_cast<int>(std::strlen(options.text));
        field.cursor = options.cursor < 0 ? field.length : options.cursor;
        field.selectionAnchor = field.selectionEnd = -1;
        field.numericOnly = options.numericOnly;
        field.singleByteOnly = options.singleByteOnly;
        field.cancelAllowed = options.cancelAllowed;
        const int handle = KeyInputHandleOf(slot);
        TextInput.activeHandle = handle;
        TextInput.imeEnabled = 1;
        return handle;
    }

    static KeyInputRecord& Field(int handle) { return *FindKeyInput(handle); }

    // Bytes through the buffer, then one pass of the text-input step.
    static int Type(const std::string& bytes) {
        for (unsigned char byte : bytes) PutInputChar(byte);
        return ProcessKeyInput();
    }
};

}  // namespace textinputtest
