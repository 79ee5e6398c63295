// The registry of idle pollers that message retrieval runs.
#include "platform/user/message_pollers.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace platform::detail {
namespace {

std::mutex pollersLock;
std::vector<void (*)()>& Pollers() {
    static std::vector<void (*)()> pollers;
    return pollers;
}

}  // namespace

void RegisterMessagePoller(void (*poller)()) {
    std::lock_guard<std::mutex> guard(pollersLock);
    auto& pollers = Pollers();
    if (std::find(pollers.begin(), pollers.end(), poller) == pollers.end()) pollers.push_back(poller);
}

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

bool HaveMessagePollers() {
    std::lock_guard<std::mutex> guard(pollersLock);
    return !Pollers().empty();
}

}  // namespace platform::detail
