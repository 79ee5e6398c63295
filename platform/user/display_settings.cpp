// Display settings: the list of display modes, the mode in force and the
// switch between modes, with WM_DISPLAYCHANGE to every window after a switch
// that changed the mode.
//
// The mode list is the profile's when it has one. Otherwise it holds the
// display's own modes (the host display's, when it has a display and the
// profile leaves the desktop to it; else the desktop's own mode) and the
// usual sizes a program asks for, up to the desktop's size and 640 by 480
// always, as a display adapter offers them whatever the monitor behind it
// runs. Each size is listed at 16 and 32 bits: the depths a display of
// today no longer runs, 16 bits among them, it shows through its own. On a
// host display a switch switches the display; a size the display lacks it
// shows full screen on the desktop's mode, the picture scaled to fit.
// Without a display a full-screen mode is shown by the window that covers
// it.
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/user/user.h"
#include "platform/host/host_video.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/window_records.h"
#include "platform/user/window_system.h"

namespace {

using platform::DisplayMode;

constexpr int32_t kDesktopFrequency = 60;

struct ModeSize {
    int32_t width;
    int32_t height;
};

// Sizes a program may ask for, offered on every display that is large
// enough; 640 by 480 is offered on every display.
constexpr ModeSize kUsualSizes[] = {
    {640, 480},   {800, 600},   {1024, 768},  {1152, 864},  {1280, 720},  {1280, 960},
    {1280, 1024}, {1366, 768},  {1600, 900},  {1600, 1200}, {1920, 1080}, {1920, 1200},
    {2560, 1440},
};
constexpr ModeSize kAlwaysOffered = {640, 480};

std::mutex& DisplayLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

// The mode ChangeDisplaySettingsA last switched to, guarded by DisplayLock();
// a width of 0 means the desktop's own mode.
DisplayMode& ModeSwitchedTo() {
    static DisplayMode* mode = new DisplayMode{0, 0, 0, 0};
    return *mode;
}

// The machine's reset returns the display to the desktop's mode.
void ReturnToDesktopMode() {
    std::lock_guard<std::mutex> guard(DisplayLock());
    ModeSwitchedTo() = DisplayMode{0, 0, 0, 0};
}

const platform::ResetHook kDisplayModeReset(ReturnToDesktopMode);

DisplayMode DesktopMode() {
    LONG width = 0, height = 0;
    platform::detail::DesktopSize(width, height);
    return DisplayMode{width, height, platform::Profile().display.desktopBitsPerPixel, kDesktopFrequency};
}

bool SameMode(const DisplayMode& a, const DisplayMode& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.frequency == b.frequency;
}

bool Listed(const std::vector<DisplayMode>& modes, const DisplayMode& mode) {
    for (const DisplayMode& listed : modes)
        if (SameMode(listed, mode)) return true;
    return false;
}

// Whether the modes are the host display's to switch: the host shows
// windows and the profile leaves the desktop to it.
bool HostDisplayInUse() {
    const platform::DisplayProfile& profile = platform::Profile().display;
    if (profile.desktopWidth > 0 && profile.desktopHeight > 0) return false;
    return platform::HostVideo().ShowsWindows();
}

// The display's own modes: the profile's, the host display's, or the
// desktop's mode.
std::vector<DisplayMode> OwnModes(bool hostDisplay) {
    std::vector<DisplayMode> own = platform::Profile().display.ownModes;
    if (own.empty() && hostDisplay) platform::HostVideo().DisplayModes(own);
    if (own.empty()) own.push_back(DesktopMode());
    return own;
}

bool SameSize(const ModeSize& a, const ModeSize& b) { return a.width == b.width && a.height == b.height; }

// The modes on offer; `fromHost` tells whether they are the host display's
// to switch.
std::vector<DisplayMode> ModeList(bool* fromHost = nullptr) {
    const platform::DisplayProfile& profile = platform::Profile().display;
    if (fromHost != nullptr) *fromHost = false;
    if (!profile.displayModes.empty()) return profile.displayModes;
    const bool hostDisplay = HostDisplayInUse();
    if (fromHost != nullptr) *fromHost = hostDisplay;
    const std::vector<DisplayMode> own = OwnModes(hostDisplay);
    const DisplayMode desktop = DesktopMode();

    std::vector<ModeSize> sizes;
    auto addSize = [&](const ModeSize& size) {
        for (const ModeSize& listed : sizes)
            if (SameSize(listed, size)) return;
        sizes.push_back(size);
    };
    for (const DisplayMode& mode : own) addSize(ModeSize{mode.width, mode.height});
    for (const ModeSize& size : kUsualSizes)
        if ((size.width <= desktop.width && size.height <= desktop.height) || SameSize(size, kAlwaysOffered))
            addSize(size);
    std::sort(sizes.begin(), sizes.end(), [](const ModeSize& a, const ModeSize& b) {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    });

    // Each size at each depth: at the display's own rates of that size, or
    // at the desktop's rate for a size it shows scaled.
    std::vector<DisplayMode> modes;
    for (int32_t bits : {16, 32})
        for (const ModeSize& size : sizes) {
            bool ownSize = false;
            for (const DisplayMode& mode : own) {
                if (!SameSize(ModeSize{mode.width, mode.height}, size)) continue;
                ownSize = true;
                const DisplayMode at{size.width, size.height, bits, mode.frequency};
                if (!Listed(modes, at)) modes.push_back(at);
            }
            if (!ownSize) modes.push_back(DisplayMode{size.width, size.height, bits, desktop.frequency});
        }
    return modes;
}

DisplayMode ModeInForce() {
    const DisplayMode& inForce = ModeSwitchedTo();
    return inForce.width > 0 ? inForce : DesktopMode();
}

void FillDevMode(DEVMODEA* mode, const DisplayMode& from) {
    mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode->dmBitsPerPel = static_cast<DWORD>(from.bitsPerPixel);
    mode->dmPelsWidth = static_cast<DWORD>(from.width);
    mode->dmPelsHeight = static_cast<DWORD>(from.height);
    mode->dmDisplayFrequency = static_cast<DWORD>(from.frequency);
}

void PostDisplayChange(const DisplayMode& mode) {
    std::vector<HWND> windows;
    {
        std::lock_guard<std::mutex> guard(platform::detail::WindowLock());
        for (const auto& record : platform::detail::AllWindowsLocked())
            if (!record->destroying) windows.push_back(record->handle);
    }
    for (HWND window : windows)
        PostMessageA(window, WM_DISPLAYCHANGE, static_cast<WPARAM>(mode.bitsPerPixel),
                     MAKELPARAM(mode.width, mode.height));
}

}  // namespace

BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode) {
    if (device != nullptr || mode == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(DisplayLock());
    if (modeNumber == ENUM_CURRENT_SETTINGS) {
        FillDevMode(mode, ModeInForce());
        return TRUE;
    }
    if (modeNumber == ENUM_REGISTRY_SETTINGS) {
        FillDevMode(mode, DesktopMode());
        return TRUE;
    }
    const std::vector<DisplayMode> modes = ModeList();
    if (modeNumber >= modes.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FillDevMode(mode, modes[modeNumber]);
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if ((flags & ~(CDS_UPDATEREGISTRY | CDS_TEST | CDS_FULLSCREEN)) != 0) return DISP_CHANGE_BADFLAGS;
    DisplayMode wanted{};
    DisplayMode changedTo{};
    bool changed = false;
    {
        std::lock_guard<std::mutex> guard(DisplayLock());
        const DisplayMode before = ModeInForce();
        bool hostModes = false;
        const std::vector<DisplayMode> modes = ModeList(&hostModes);
        if (mode == nullptr) {
            wanted = DesktopMode();
        } else {
            wanted = before;
            if (mode->dmFields & DM_PELSWIDTH) wanted.width = static_cast<int32_t>(mode->dmPelsWidth);
            if (mode->dmFields & DM_PELSHEIGHT) wanted.height = static_cast<int32_t>(mode->dmPelsHeight);
            if (mode->dmFields & DM_BITSPERPEL) wanted.bitsPerPixel = static_cast<int32_t>(mode->dmBitsPerPel);
            if (mode->dmFields & DM_DISPLAYFREQUENCY)
                wanted.frequency = static_cast<int32_t>(mode->dmDisplayFrequency);
            // A frequency left at 0 means whatever the size offers.
            bool offered = false;
            for (const DisplayMode& listed : modes) {
                if (listed.width == wanted.width && listed.height == wanted.height &&
                    listed.bitsPerPixel == wanted.bitsPerPixel &&
                    (wanted.frequency == 0 || listed.frequency == wanted.frequency)) {
                    wanted.frequency = listed.frequency;
                    offered = true;
                    break;
                }
            }
            if (!offered) return DISP_CHANGE_BADMODE;
        }
        if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
        const bool desktop = SameMode(wanted, DesktopMode());
        // The display's full-screen windows are the host thread's; only it
        // can show them in another mode.
        if (hostModes && (!platform::OnHostVideoThread() ||
                          !platform::HostVideo().SwitchDisplayMode(desktop ? nullptr : &wanted)))
            return DISP_CHANGE_FAILED;
        ModeSwitchedTo() = desktop ? DisplayMode{0, 0, 0, 0} : wanted;
        changed = !SameMode(before, wanted);
        changedTo = wanted;
    }
    if (changed) PostDisplayChange(changedTo);
    return DISP_CHANGE_SUCCESSFUL;
}
