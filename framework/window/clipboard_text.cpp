#include "framework/window/clipboard_text.h"

#include <cstring>

#include "framework/base/format_text.h"
#include "framework/window/main_window_state.h"

int GetClipboardText(char* buffer, size_t bufferSize) {
    if (!OpenClipboard(MainWindow.windowHandle)) return -1;
    HANDLE data = IsClipboardFormatAvailable(CF_TEXT) ? GetClipboardData(CF_TEXT) : nullptr;
    if (data == nullptr) {
        CloseClipboard();
        return -1;
    }
    const SIZE_T blockSize = GlobalSize(data);
    if (buffer == nullptr) {
        CloseClipboard();
        return static_cast<int>(blockSize + 1);
    }
    if (bufferSize > 0) {
        // The block need not hold a terminator, and the caller's buffer may
        // be smaller than the text: stop at whichever ends first.
        const char* text = static_cast<const char*>(GlobalLock(data));
        size_t length = 0;
        if (text != nullptr) {
            const size_t limit = blockSize < bufferSize - 1 ? blockSize : bufferSize - 1;
            length = ShiftJisSafeLength(text, strnlen(text, limit));
            std::memcpy(buffer, text, length);
        }
        buffer[length] = '\0';
        GlobalUnlock(data);
    }
    CloseClipboard();
    return 0;
}

int SetClipboardText(const char* text) {
    const size_t length = std::strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, length + 1);
    if (block == nullptr) return 0;
    char* copy = static_cast<char*>(GlobalLock(block));
    std::memcpy(copy, text, length + 1);
    GlobalUnlock(block);
    if (!OpenClipboard(MainWindow.windowHandle)) {
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    return 0;
}
