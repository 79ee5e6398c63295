// Text across the host boundary: Shift-JIS (code page 932) with carriage
// return and line feed inside, UTF-8 with line feeds outside. Text that
// comes from outside may hold characters without a Shift-JIS form, and a
// window title may hold broken bytes: each of those becomes '?' instead of
// failing the whole text.
#include <errno.h>
#include <iconv.h>

#include <algorithm>

#include "platform/host/host_state.h"

namespace platform::host::detail {
namespace {

// Bytes of the character that starts with `byte`, to step over it when it
// cannot be converted.
size_t Utf8Length(unsigned char byte) {
    if (byte >= 0xF0) return 4;
    if (byte >= 0xE0) return 3;
    if (byte >= 0xC0) return 2;
    return 1;
}

size_t ShiftJisLength(unsigned char byte) {
    return ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) ? 2 : 1;
}

std::string Convert(const char* from, const char* to, const std::string& text,
                    size_t (*characterLength)(unsigned char)) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(text.size(), '?');
    std::string converted;
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof(buffer);
        const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        converted.append(buffer, sizeof(buffer) - outLeft);
        if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
        // Not convertible here (or cut short at the end): one '?' for the character.
        converted += '?';
        const size_t skip = std::min(inLeft, characterLength(static_cast<unsigned char>(*in)));
        in += skip;
        inLeft -= skip;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return converted;
}

}  // namespace

std::string ShiftJisToHostText(const std::string& text) {
    std::string lineFeeds;
    for (size_t at = 0; at < text.size(); ++at)
        if (!(text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')) lineFeeds += text[at];
    return Convert("CP932", "UTF-8", lineFeeds, ShiftJisLength);
}

std::string HostTextToShiftJis(const std::string& text) {
    const std::string converted = Convert("UTF-8", "CP932", text, Utf8Length);
    std::string crlf;
    for (size_t at = 0; at < converted.size(); ++at) {
        if (converted[at] == '\n' && (at == 0 || converted[at - 1] != '\r')) crlf += '\r';
        crlf += converted[at];
    }
    return crlf;
}

}  // namespace platform::host::detail
