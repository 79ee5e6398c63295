// ExitProcess, which tests can intercept with an exit handler.
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/kernel/exit_process_handler.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

namespace {

std::mutex& HandlerLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::function<void(unsigned int)>& Handler() {
    static auto* handler = new std::function<void(unsigned int)>;
    return *handler;
}

void ForgetHandler() { platform::SetExitProcessHandler({}); }

const platform::ResetHook kHandlerReset(ForgetHandler);

}  // namespace

namespace platform {

void SetExitProcessHandler(std::function<void(unsigned int exitCode)> handler) {
    std::lock_guard<std::mutex> guard(HandlerLock());
    Handler() = std::move(handler);
}

}  // namespace platform

void WINAPI ExitProcess(UINT exitCode) {
    std::function<void(unsigned int)> handler;
    {
        std::lock_guard<std::mutex> guard(HandlerLock());
        handler = Handler();
    }
    if (handler) handler(exitCode);
    std::fflush(nullptr);
    // Without the C++ runtime's ending, which threads still running could
    // not survive; what the platform must undo as the process goes (a
    // display mode) is registered for a quick exit.
    std::quick_exit(static_cast<int>(exitCode));
}
