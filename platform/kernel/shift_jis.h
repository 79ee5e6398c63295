// Shift-JIS text: the one platform header the framework includes too, for it is text, not an interface.
//
// The system's text is Shift-JIS (code page 932): single bytes for ASCII
// (with its backslash at 0x5C and tilde at 0x7E) and half-width katakana
// (0xA1 to 0xDF), two bytes for everything else. This is where a byte is told
// to open a two-byte character, and where text crosses to and from the
// host's UTF-8: strictly (failing on anything that does not convert) or
// lossily (each such character becomes '?').
#pragma once

#include <string>

namespace platform {

// True when `byte` opens a two-byte character (0x81 to 0x9F, 0xE0 to 0xFC).
// Its second byte may be a backslash, which must not be taken for a
// separator, or a lower-case letter, which must not be upper-cased.
constexpr bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Strict: false when the text is not valid in the source encoding (a lone
// lead byte at the end included) or has a character without an equivalent
// in the target one; `converted` is then unspecified.
bool ShiftJisToUtf8(const std::string& shiftJis, std::string& utf8);
bool Utf8ToShiftJis(const std::string& utf8, std::string& shiftJis);

// Lossy: each character that cannot be converted becomes one '?', and the
// text after it converts as if it were not there. A broken character covers
// only the bytes that belong to it: a lead byte whose second byte cannot
// follow it, or a UTF-8 sequence cut short, is one character on its own.
std::string ShiftJisToUtf8Lossy(const std::string& shiftJis);
std::string Utf8ToShiftJisLossy(const std::string& utf8);

}  // namespace platform
