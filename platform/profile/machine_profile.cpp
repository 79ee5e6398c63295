#include "platform/profile/machine_profile.h"

#include "platform/kernel/clock_source.h"
#include "platform/kernel/heap_accounting.h"

namespace platform {

MachineProfile& Profile() {
    static MachineProfile* profile = new MachineProfile;  // read by threads still running at exit
    return *profile;
}

void ResetMachineProfile() {
    {
        std::lock_guard<std::mutex> guard(detail::ManualClockLock());
        Profile() = MachineProfile{};
    }
    detail::ResetHeapAccounting();
    ClearDebugOutput();
    SetExitProcessHandler({});
}

void UseManualClock(bool on) {
    std::lock_guard<std::mutex> guard(detail::ManualClockLock());
    Profile().clock.manual = on;
}

void AdvanceManualClockNanoseconds(uint64_t nanoseconds) {
    std::lock_guard<std::mutex> guard(detail::ManualClockLock());
    Profile().clock.manualNanoseconds += nanoseconds;
}

void AdvanceManualClockMilliseconds(uint64_t milliseconds) {
    AdvanceManualClockNanoseconds(milliseconds * 1000000ull);
}

}  // namespace platform
