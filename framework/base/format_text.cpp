// Formatted text by the printf rules into a caller's buffer, always cut to the
// buffer and terminated; a cut never leaves half of a two-byte Shift-JIS
// character behind.
#include "framework/base/format_text.h"

#include <cstdio>

#include "framework/base/base_functions.h"

size_t ShiftJisSafeLength(const char* text, size_t length) {
    // Lead bytes can only be told from second bytes by walking from the start.
    size_t safe = 0;
    while (safe < length) {
        const size_t width = IsShiftJisLeadByte(static_cast<unsigned char>(text[safe])) ? 2 : 1;
        if (safe + width > length) break;
        safe += width;
    }
    return safe;
}

int FormatStringV(char* buffer, size_t bufferSize, const char* format, va_list arguments) {
    if (bufferSize == 0) return 0;
    const int wanted = std::vsnprintf(buffer, bufferSize, format, arguments);
    if (wanted < 0) {
        buffer[0] = '\0';
        return 0;
    }
    if (static_cast<size_t>(wanted) < bufferSize) return wanted;
    const size_t stored = ShiftJisSafeLength(buffer, bufferSize - 1);
    buffer[stored] = '\0';
    return static_cast<int>(stored);
}

int FormatString(char* buffer, size_t bufferSize, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    FormatStringV(buffer, bufferSize, format, arguments);
    va_end(arguments);
    return 0;
}
