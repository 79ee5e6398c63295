// Text across the host boundary, line ends included.
#include "platform/user/host_text.h"

#include "platform/kernel/shift_jis.h"

namespace platform::detail {

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

}  // namespace platform::detail
