#include "tests/support/thread_activity.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace testsupport {

namespace {

std::string StatusPath(long hostThreadId) {
    return "/proc/self/task/" + std::to_string(hostThreadId) + "/status";
}

// The text after "name:" in the thread's status, or an empty string.
std::string StatusField(long hostThreadId, const std::string& name) {
    std::ifstream status(StatusPath(hostThreadId));
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, name.size() + 1, name + ":") == 0) {
            const size_t value = line.find_first_not_of(" \t", name.size() + 1);
            return value == std::string::npos ? std::string() : line.substr(value);
        }
    return {};
}

}  // namespace

long HostThreadId() { return static_cast<long>(syscall(SYS_gettid)); }

uint64_t HostThreadSwitches(long hostThreadId) {
    return std::stoull(StatusField(hostThreadId, "voluntary_ctxt_switches")) +
           std::stoull(StatusField(hostThreadId, "nonvoluntary_ctxt_switches"));
}

bool WaitUntilHostThreadSleeps(long hostThreadId) {
    return WaitUntil([&] { return StatusField(hostThreadId, "State").compare(0, 1, "S") == 0; });
}

bool WaitUntil(const std::function<bool()>& condition) {
    for (int attempt = 0; attempt < 20000; ++attempt) {  // 20 s at most
        if (condition()) return true;
        usleep(1000);
    }
    return condition();
}

}  // namespace testsupport
