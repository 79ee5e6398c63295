// The one machine profile and the machine's reset: every subsystem's reset hook
// runs, then the profile takes its defaults again.
#include "platform/profile/machine_profile.h"

#include <mutex>

namespace platform {
namespace {

struct ResetHooks {
    std::mutex lock;
    std::vector<void (*)()> hooks;
};

// Filled while static objects are made, before main: made on first use.
ResetHooks& Hooks() {
    static ResetHooks* hooks = new ResetHooks;  // read by threads still running at exit
    return *hooks;
}

}  // namespace

MachineProfile& Profile() {
    static MachineProfile* profile = new MachineProfile;  // read by threads still running at exit
    return *profile;
}

void AddResetHook(void (*reset)()) {
    ResetHooks& hooks = Hooks();
    std::lock_guard<std::mutex> guard(hooks.lock);
    hooks.hooks.push_back(reset);
}

void ResetMachine() {
    std::vector<void (*)()> hooks;
    {
        ResetHooks& registered = Hooks();
        std::lock_guard<std::mutex> guard(registered.lock);
        hooks = registered.hooks;
    }
    for (void (*reset)() : hooks) reset();
    Profile() = MachineProfile{};
}

}  // namespace platform
