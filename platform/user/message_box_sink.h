// What tests see of message boxes: while a sink is installed every
// MessageBoxA goes to it instead of the user. Private to the platform (and
// to tests).
#pragma once

#include <functional>
#include <string>

#include "platform/user/user.h"

namespace platform {

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;     // Shift-JIS as given; empty for a null text
    std::string caption;  // Shift-JIS as given; empty for a null caption
    bool hasCaption = false;
    UINT type = 0;
};

// The sink returns the answer MessageBoxA gives (IDOK, IDYES, ...). An
// empty function uninstalls it; ResetMachine() does too.
void SetMessageBoxSink(std::function<int(const MessageBoxRecord&)> sink);

}  // namespace platform
