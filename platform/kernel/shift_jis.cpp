// Shift-JIS <-> UTF-8 through the C library's iconv, which knows code page
// 932 (with its backslash and tilde at 0x5C and 0x7E, as file names need).
#include "platform/kernel/shift_jis.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>

namespace platform {
namespace {

constexpr const char* kShiftJis = "CP932";
constexpr const char* kUtf8 = "UTF-8";

bool IsShiftJisTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Bytes of the Shift-JIS character at the start of `bytes` that cannot be
// converted: both bytes of a pair that is well formed but has no
// equivalent, else the one byte.
size_t BrokenShiftJisLength(const unsigned char* bytes, size_t left) {
    return left >= 2 && IsShiftJisLeadByte(bytes[0]) && IsShiftJisTrailByte(bytes[1]) ? 2 : 1;
}

// Bytes of the UTF-8 character at the start of `bytes` that cannot be
// converted: its first byte and the continuation bytes that follow it, as
// many as the first byte announces.
size_t BrokenUtf8Length(const unsigned char* bytes, size_t left) {
    const unsigned char first = bytes[0];
    const size_t announced = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    size_t length = 1;
    while (length < announced && length < left && (bytes[length] & 0xC0) == 0x80) ++length;
    return length;
}

class Converter {
public:
    Converter(const char* from, const char* to) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can, appending to `out`. False when it stopped
    // at input that does not convert (`in` and `inLeft` then point at it) or
    // when it replaced a character it could not convert exactly.
    bool Run(char*& in, size_t& inLeft, std::string& out) {
        char buffer[256];
        while (inLeft > 0) {
            char* next = buffer;
            size_t outLeft = sizeof(buffer);
            const size_t result = iconv(handle_, &in, &inLeft, &next, &outLeft);
            out.append(buffer, sizeof(buffer) - outLeft);
            if (result == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                return false;  // invalid or incomplete input, or no equivalent
            }
            if (result > 0) return false;  // iconv replaced something
        }
        return true;
    }

    void Restart() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t handle_;
};

bool ConvertStrictly(const char* from, const char* to, const std::string& text, std::string& converted) {
    Converter converter(from, to);
    if (!converter.valid()) return false;
    converted.clear();
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    return converter.Run(in, inLeft, converted);
}

std::string ConvertLossily(const char* from, const char* to, const std::string& text,
                           size_t (*brokenLength)(const unsigned char*, size_t)) {
    Converter converter(from, to);
    if (!converter.valid()) return std::string(text.size(), '?');
    std::string converted;
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (!converter.Run(in, inLeft, converted)) {
        if (inLeft == 0) break;
        converted += '?';
        const size_t skip = std::min(inLeft, brokenLength(reinterpret_cast<const unsigned char*>(in), inLeft));
        in += skip;
        inLeft -= skip;
        converter.Restart();
    }
    return converted;
}

// ASCII is the same bytes in both encodings; most paths and names are
// nothing else, and need no converter of their own.
bool IsAscii(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

bool ShiftJisToUtf8(const std::string& shiftJis, std::string& utf8) {
    if (IsAscii(shiftJis)) {
        utf8 = shiftJis;
        return true;
    }
    return ConvertStrictly(kShiftJis, kUtf8, shiftJis, utf8);
}

bool Utf8ToShiftJis(const std::string& utf8, std::string& shiftJis) {
    if (IsAscii(utf8)) {
        shiftJis = utf8;
        return true;
    }
    return ConvertStrictly(kUtf8, kShiftJis, utf8, shiftJis);
}

std::string ShiftJisToUtf8Lossy(const std::string& shiftJis) {
    return ConvertLossily(kShiftJis, kUtf8, shiftJis, BrokenShiftJisLength);
}

std::string Utf8ToShiftJisLossy(const std::string& utf8) {
    return ConvertLossily(kUtf8, kShiftJis, utf8, BrokenUtf8Length);
}

}  // namespace platform
