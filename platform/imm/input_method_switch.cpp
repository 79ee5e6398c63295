// The input method's on/off switch, shared by every thread of the program.
#include <atomic>

#include "platform/imm/imm.h"
#include "platform/imm/input_method_feed.h"
#include "platform/imm/input_method_state.h"
#include "platform/profile/machine_profile.h"

namespace {

std::atomic<bool> enabled{true};

// The machine's reset: enabled, and every input context forgotten.
void ResetInputMethod() {
    enabled.store(true);
    platform::detail::ForgetInputContexts();
}

const platform::ResetHook kInputMethodReset(ResetInputMethod);

}  // namespace

BOOL WINAPI WINNLSEnableIME(HWND, BOOL enable) {
    return enabled.exchange(enable != FALSE) ? TRUE : FALSE;
}

namespace platform {

namespace detail {
bool InputMethodSwitchOn() { return enabled.load(); }
}  // namespace detail

bool InputMethodEnabled() { return enabled.load(); }

}  // namespace platform
