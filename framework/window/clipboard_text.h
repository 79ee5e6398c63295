// Text on the clipboard (CF_TEXT, Shift-JIS).
#pragma once

#include <cstddef>

// With a null buffer: the number of bytes to provide (the clipboard block's
// size + 1). Else copies the text into the buffer of `bufferSize` bytes, cut
// to fit without splitting a two-byte character and terminated, and returns
// 0. -1 when the clipboard cannot be opened or holds no text.
int GetClipboardText(char* buffer, size_t bufferSize);
// Returns 0, also when the clipboard cannot be opened.
int SetClipboardText(const char* text);
