// The registry of idle pollers that message retrieval runs, and the pull of
// everything that reaches a queue only when it is looked at.
#include "platform/user/message_pollers.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/host/host_video.h"
#include "platform/user/host_display.h"

namespace platform::detail {
namespace {

std::mutex pollersLock;
std::vector<void (*)()>& Pollers() {
    static std::vector<void (*)()> pollers;
    return pollers;
}

bool HaveMessagePollers() {
    std::lock_guard<std::mutex> guard(pollersLock);
    return !Pollers().empty();
}

// Calls every registered poller, in the order they were registered.
void RunMessagePollers() {
    std::vector<void (*)()> pollers;
    {
        // Copied, so that a poller may post (and so take other locks)
        // without holding this one.
        std::lock_guard<std::mutex> guard(pollersLock);
        pollers = Pollers();
    }
    for (auto poller : pollers) poller();
}

}  // namespace

void RegisterMessagePoller(void (*poller)()) {
    std::lock_guard<std::mutex> guard(pollersLock);
    auto& pollers = Pollers();
    if (std::find(pollers.begin(), pollers.end(), poller) == pollers.end()) pollers.push_back(poller);
}

void PullMessageSources() {
    PumpHostEvents();
    RunMessagePollers();
}

DWORD MillisecondsBetweenPulls() {
    // Neither the host's event queue nor the sockets can wake a waiting
    // thread, so while either could bring something it looks again soon.
    return OnHostVideoThread() || HaveMessagePollers() ? 5 : INFINITE;
}

}  // namespace platform::detail
