// What the pump's text-input step does to the input method before the
// characters: closing and reopening it (after the window came back), keeping
// the composition, and cutting a composition to its limits.
#include <cstring>

#include "framework/textinput/text_input_state.h"

namespace {

constexpr int NoLimit = 65536;

// The composition read from the context into a 1024-byte buffer, leaving room
// for its terminator; its length.
int ReadComposition(HIMC context, char* buffer) {
    std::memset(buffer, 0, ImeTextSize);
    const LONG read = ImmGetCompositionStringA(context, GCS_COMPSTR, buffer, ImeTextSize - 1);
    const int length = read > 0 && read < ImeTextSize ? read : 0;
    buffer[length] = '\0';
    return length;
}

// The longest prefix of whole characters within `limit` bytes.
int WholeCharactersWithin(const char* text, int length, int limit) {
    int at = 0;
    while (at < length) {
        const int size = IsInputLeadByte(text + at) && at + 1 < length ? 2 : 1;
        if (at + size > limit) break;
        at += size;
    }
    return at;
}

}  // namespace

void RunImeReopenSteps() {
    const HWND window = MainWindow.windowHandle;
    HIMC context = window != nullptr ? ImmGetContext(window) : nullptr;
    if (TextInput.reopenStep <= 1 && context != nullptr) {
        std::memset(TextInput.composition, 0, sizeof(TextInput.composition));
        ReadComposition(context, TextInput.savedComposition);
        ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
    }
    if (TextInput.reopenStep <= 2) ImmSetOpenStatus(context, FALSE);
    if (TextInput.reopenStep <= 3) ImmSetOpenStatus(context, TRUE);
    if (TextInput.reopenStep <= 4 && context != nullptr) {
        ImmSetOpenStatus(context, TRUE);
        const DWORD length = static_cast<DWORD>(std::strlen(TextInput.savedComposition));
        ImmSetCompositionStringA(context, SCS_SETSTR, TextInput.savedComposition, length, nullptr, 0);
    }
    if (context != nullptr) ImmReleaseContext(window, context);
    TextInput.reopenStep = 0;
}

void ApplyCompositionLimit(const KeyInputRecord& field) {
    const int pending = static_cast<int>(std::strlen(TextInput.composition));
    int limit = NoLimit;
    bool limited = false;
    if (TextInput.limitToFieldRoom && field.length + pending > field.maxLength) {
        limit = field.maxLength - field.length;
        limited = true;
    }
    if (TextInput.maxCompositionLength != 0 && pending > TextInput.maxCompositionLength) {
        if (TextInput.maxCompositionLength < limit) limit = TextInput.maxCompositionLength;
        limited = true;
    }
    if (!limited) return;
    const HWND window = MainWindow.windowHandle;
    HIMC context = ImmGetContext(window);
    if (context == nullptr) return;
    char text[ImeTextSize];
    const int length = ReadComposition(context, text);
    if (length > limit) {
        const int kept = WholeCharactersWithin(text, length, limit < 0 ? 0 : limit);
        text[kept] = '\0';
        ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        ImmSetCompositionStringA(context, SCS_SETSTR, text, static_cast<DWORD>(kept), nullptr, 0);
    }
    ImmReleaseContext(window, context);
}
