// What the input method's files share. Private to platform/imm.
#pragma once

namespace platform::detail {

// The program-wide switch of WINNLSEnableIME.
bool InputMethodSwitchOn();
// Drops every window's input context.
void ForgetInputContexts();

}  // namespace platform::detail
