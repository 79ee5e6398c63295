// GetVersionExA answers from the machine profile.
#include <algorithm>
#include <cstring>

#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const platform::WindowsVersionProfile& windows = platform::Profile().windows;
    info->dwMajorVersion = windows.major;
    info->dwMinorVersion = windows.minor;
    info->dwBuildNumber = windows.build;
    info->dwPlatformId = windows.platformId;
    // The service pack text is cut to fit, always terminated.
    const size_t length = std::min(windows.servicePack.size(), sizeof(info->szCSDVersion) - 1);
    std::memcpy(info->szCSDVersion, windows.servicePack.data(), length);
    std::memset(info->szCSDVersion + length, 0, sizeof(info->szCSDVersion) - length);
    return TRUE;
}
