// Text across the host boundary: Shift-JIS (code page 932) with carriage
// return and line feed inside, UTF-8 with line feeds outside. Text that
// comes from outside may hold characters without a Shift-JIS form, and a
// window title may hold broken bytes: each of those becomes '?' instead of
// failing the whole text.
#include "platform/host/host_state.h"
#include "platform/kernel/shift_jis.h"

namespace platform::host::detail {

std::string ShiftJisToHostText(const std::string& text) {
    std::string lineFeeds;
    for (size_t at = 0; at < text.size(); ++at)
        if (!(text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')) lineFeeds += text[at];
    return ShiftJisToUtf8Lossy(lineFeeds);
}

std::string HostTextToShiftJis(const std::string& text) {
    const std::string converted = Utf8ToShiftJisLossy(text);
    std::string crlf;
    for (size_t at = 0; at < converted.size(); ++at) {
        if (converted[at] == '\n' && (at == 0 || converted[at - 1] != '\r')) crlf += '\r';
        crlf += converted[at];
    }
    return crlf;
}

}  // namespace platform::host::detail
