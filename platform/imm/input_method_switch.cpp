// The input method's on/off switch, shared by every thread of the program.
#include <atomic>

#include "platform/imm/imm.h"
#include "platform/imm/imm_profile.h"

namespace {

std::atomic<bool> enabled{true};

}  // namespace

BOOL WINAPI WINNLSEnableIME(HWND, BOOL enable) {
    return enabled.exchange(enable != FALSE) ? TRUE : FALSE;
}

namespace platform {

bool InputMethodEnabled() { return enabled.load(); }
void ResetInputMethod() { enabled.store(true); }

}  // namespace platform
