// Text across the host boundary: Shift-JIS (code page 932) with carriage
// return and line feed inside, UTF-8 with line feeds outside. Private to the
// platform.
#pragma once

#include <string>

namespace platform::detail {

// Text that comes from outside may hold characters without a Shift-JIS
// form, and a window title may hold broken bytes: each of those becomes '?'
// instead of failing the whole text.
std::string ShiftJisToHostText(const std::string& text);
std::string HostTextToShiftJis(const std::string& text);

}  // namespace platform::detail
