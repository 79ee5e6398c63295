// Shift-JIS <-> UTF-8 through the C library's iconv, which knows code page
// 932 (with its backslash and tilde at 0x5C and 0x7E, as file names need).
#include "platform/kernel/text_conversion.h"

#include <errno.h>
#include <iconv.h>

namespace platform::detail {
namespace {

bool Convert(const char* from, const char* to, const std::string& text, std::string& converted) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    converted.clear();
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[256];
    bool ok = true;
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof(buffer);
        size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        converted.append(buffer, sizeof(buffer) - outLeft);
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;  // invalid or incomplete input, or no equivalent
            break;
        }
        if (result != static_cast<size_t>(-1) && result > 0) {
            ok = false;  // iconv replaced something it could not convert exactly
            break;
        }
    }
    iconv_close(converter);
    return ok;
}

}  // namespace

bool ShiftJisToUtf8(const std::string& text, std::string& converted) {
    return Convert("CP932", "UTF-8", text, converted);
}

bool Utf8ToShiftJis(const std::string& text, std::string& converted) {
    return Convert("UTF-8", "CP932", text, converted);
}

}  // namespace platform::detail
