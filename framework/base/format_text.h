// Formatted text by the printf rules into a caller's buffer. The text is
// always cut to the buffer and terminated, and a cut never splits a two-byte
// Shift-JIS character.
#pragma once

#include <cstdarg>
#include <cstddef>

// Returns 0.
int FormatString(char* buffer, size_t bufferSize, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Returns the number of bytes stored, without the terminator.
int FormatStringV(char* buffer, size_t bufferSize, const char* format, va_list arguments)
    __attribute__((format(printf, 3, 0)));

// Length of the longest prefix of `text` (of `length` bytes) that does not end
// in the middle of a two-byte Shift-JIS character.
size_t ShiftJisSafeLength(const char* text, size_t length);
