// System facts: metrics, parameters, the desktop, the OEM code page and the
// memory status, from the profile or else from the host.
#include <sys/sysinfo.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/host/host_video.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace platform::detail {
namespace {

struct SystemParameters {
    bool screenSaverActive = true;
    bool screenSaverRunning = false;
    DWORD foregroundLockTimeout = 200000;  // milliseconds
};

SystemParameters& Parameters() {
    static SystemParameters* parameters = new SystemParameters;  // guarded by WindowLock()
    return *parameters;
}

// The host's MemAvailable, or 0 when it cannot be read.
uint64_t HostAvailableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string name;
        uint64_t kilobytes = 0;
        if (fields >> name >> kilobytes && name == "MemAvailable:") return kilobytes * 1024;
    }
    return 0;
}

SIZE_T ClampTo32Bits(uint64_t bytes) { return static_cast<SIZE_T>(std::min<uint64_t>(bytes, 0xFFFFFFFFu)); }

}  // namespace

void DesktopSize(LONG& width, LONG& height) {
    const DisplayProfile& profile = Profile().display;
    LONG hostWidth = 1920, hostHeight = 1080;
    if (profile.desktopWidth <= 0 || profile.desktopHeight <= 0) {
        LONG w = 0, h = 0;
        if (HostVideo().DesktopSize(w, h)) {
            hostWidth = w;
            hostHeight = h;
        }
    }
    width = profile.desktopWidth > 0 ? profile.desktopWidth : hostWidth;
    height = profile.desktopHeight > 0 ? profile.desktopHeight : hostHeight;
}

bool ScreenSaverAllowed() {
    std::lock_guard<std::mutex> guard(WindowLock());
    return Parameters().screenSaverActive;
}

void ResetSystemParameters() {
    std::lock_guard<std::mutex> guard(WindowLock());
    Parameters() = SystemParameters{};
}

}  // namespace platform::detail

using namespace platform::detail;

int WINAPI GetSystemMetrics(int index) {
    const platform::FrameMetrics& frame = platform::Profile().display.frame;
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            LONG width = 0, height = 0;
            DesktopSize(width, height);
            return index == SM_CXSCREEN ? width : height;
        }
        case SM_CYCAPTION: return frame.caption;
        case SM_CXBORDER:
        case SM_CYBORDER: return frame.border;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return frame.fixedFrame;
        case SM_CYMENU: return frame.menuBar;
        case SM_CXFRAME:
        case SM_CYFRAME: return frame.sizingFrame;
        case SM_CXEDGE:
        case SM_CYEDGE: return frame.edge;
        case SM_CYSMCAPTION: return frame.smallCaption;
        default: return 0;
    }
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT parameter, LPVOID value, UINT winIni) {
    std::lock_guard<std::mutex> guard(WindowLock());
    SystemParameters& parameters = Parameters();
    switch (action) {
        case SPI_SETSCREENSAVEACTIVE: parameters.screenSaverActive = parameter != 0; return TRUE;
        case SPI_SETSCREENSAVERRUNNING:
            if (value != nullptr) *static_cast<BOOL*>(value) = parameters.screenSaverRunning;
            parameters.screenSaverRunning = parameter != 0;
            return TRUE;
        case SPI_GETFOREGROUNDLOCKTIMEOUT:
            if (value == nullptr) break;
            *static_cast<DWORD*>(value) = parameters.foregroundLockTimeout;
            return TRUE;
        case SPI_SETFOREGROUNDLOCKTIMEOUT:
            parameters.foregroundLockTimeout = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(value));
            return TRUE;
        default: break;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

UINT WINAPI GetOEMCP(void) { return platform::Profile().display.oemCodePage; }

void WINAPI GlobalMemoryStatus(LPMEMORYSTATUS status) {
    if (status == nullptr) return;
    const platform::DisplayProfile& profile = platform::Profile().display;
    struct sysinfo host {};
    sysinfo(&host);
    const uint64_t unit = host.mem_unit != 0 ? host.mem_unit : 1;
    const uint64_t total = profile.totalPhysicalMemory != 0 ? profile.totalPhysicalMemory : host.totalram * unit;
    uint64_t available = profile.availablePhysicalMemory;
    if (available == 0) available = HostAvailableMemory();
    if (available == 0) available = host.freeram * unit;
    available = std::min(available, total);
    const uint64_t swapTotal = host.totalswap * unit, swapFree = host.freeswap * unit;

    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwMemoryLoad = total != 0 ? static_cast<DWORD>(100 - available * 100 / total) : 0;
    status->dwTotalPhys = ClampTo32Bits(total);
    status->dwAvailPhys = ClampTo32Bits(available);
    status->dwTotalPageFile = ClampTo32Bits(total + swapTotal);
    status->dwAvailPageFile = ClampTo32Bits(available + swapFree);
    // The user address space of a 32-bit program.
    status->dwTotalVirtual = 0x7FFE0000u;
    status->dwAvailVirtual = 0x7FFE0000u;
}
