// Conversion between the system's Shift-JIS text (code page 932) and the
// host's UTF-8. Private to the platform.
#pragma once

#include <string>

namespace platform::detail {

// False when the text is not valid in the source encoding or has no
// equivalent in the target one; `converted` is then unspecified.
bool ShiftJisToUtf8(const std::string& text, std::string& converted);
bool Utf8ToShiftJis(const std::string& text, std::string& converted);

// True when `byte` opens a two-byte Shift-JIS character (its second byte may
// then be a backslash, which must not be taken for a separator).
inline bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace platform::detail
