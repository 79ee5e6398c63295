// What GetFileAttributesA and the find calls report of a host file.
#include <errno.h>
#include <unistd.h>

#include "platform/kernel/file_objects.h"

namespace platform::detail {

DWORD HostFileAttributes(const std::string& hostPath, bool isDirectory) {
    DWORD attributes = isDirectory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (access(hostPath.c_str(), W_OK) != 0 && errno == EACCES) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

FILETIME FileTimeFromHost(int64_t seconds, int64_t nanoseconds) {
    constexpr int64_t kTicksPerSecond = 10000000;
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600ll;
    FILETIME time{0, 0};
    // Beyond the year 30828 a file time overflows; no host file is that new.
    if (seconds < -kSecondsFrom1601To1970 || seconds > INT64_MAX / kTicksPerSecond - kSecondsFrom1601To1970)
        return time;
    const uint64_t ticks = static_cast<uint64_t>((seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
                                                 nanoseconds / 100);
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

}  // namespace platform::detail
