// The input method's on/off switch, shared by every thread of the program.
#include <atomic>

#include "platform/imm/imm.h"
#include "platform/imm/imm_profile.h"
#include "platform/imm/input_method_state.h"

namespace {

std::atomic<bool> enabled{true};

}  // namespace

BOOL WINAPI WINNLSEnableIME(HWND, BOOL enable) {
    return enabled.exchange(enable != FALSE) ? TRUE : FALSE;
}

namespace platform {

namespace detail {
bool InputMethodSwitchOn() { return enabled.load(); }
}  // namespace detail

bool InputMethodEnabled() { return enabled.load(); }

void ResetInputMethod() {
    enabled.store(true);
    detail::ForgetInputContexts();
}

}  // namespace platform
