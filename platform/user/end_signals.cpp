// A Linux user or session asks a program to end with a signal; a program
// written for Windows hears it as the close of its main window, so that it
// ends through its own close path (its save and settings written as then).
// The main window is the first window made that is shown, else the first.
#include "platform/host/end_signals.h"
#include "platform/user/host_display.h"
#include "platform/user/user.h"
#include "platform/user/window_records.h"

namespace platform::detail {
namespace {

HWND MainWindow() {
    std::lock_guard<std::mutex> guard(WindowLock());
    HWND first = nullptr;
    for (const auto& record : AllWindowsLocked()) {
        if (record->destroying) continue;
        if (IsVisible(*record)) return record->handle;
        if (first == nullptr) first = record->handle;
    }
    return first;
}

// A second signal comes when the first did not end the program (its close
// path is stuck, or it does not read its messages): the user still wants
// it gone.
void OnEndSignal(int signal, int count) {
    const HWND window = count == 1 ? MainWindow() : nullptr;
    if (window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0)) return;
    EndBySignal(signal);
}

}  // namespace

void CloseMainWindowOnEndSignals() { CatchEndSignals(OnEndSignal); }

}  // namespace platform::detail
