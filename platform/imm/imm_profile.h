// What tests read of the input method. Private to the platform (and to tests).
#pragma once

namespace platform {

// The state WINNLSEnableIME last set (true at start).
bool InputMethodEnabled();
// Back to the start: enabled.
void ResetInputMethod();

}  // namespace platform
