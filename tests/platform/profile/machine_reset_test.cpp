// The machine's one reset: every subsystem's own state goes back to its start
// through the hook the subsystem registered, while the profile still holds
// the settings that state was made under, and then every part of the profile
// returns to its default. SDL2 is the platform library's private dependency:
// its headers are reached through the system include folder.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "platform/imm/imm.h"
#include "platform/imm/input_method_feed.h"
#include "platform/kernel/debug_output_sink.h"
#include "platform/kernel/heap_accounting.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "platform/shell/dropped_files_feed.h"
#include "platform/shell/shell.h"
#include "platform/user/user.h"
#include "platform/winmm/winmm.h"
#include "tests/support/test_support.h"

namespace {

using MachineResetTest = testsupport::PlatformTest;

int hookRuns = 0;
bool hookSawOverriddenCpu = false;

void RecordingHook() {
    ++hookRuns;
    hookSawOverriddenCpu = platform::Profile().cpu.overridden;
}

TEST_F(MachineResetTest, HooksRunUnderTheSettingsInForceThenEveryPartReturnsToItsDefault) {
    static const bool added = (platform::AddResetHook(RecordingHook), true);  // once per process
    ASSERT_TRUE(added);
    hookRuns = 0;
    platform::MachineProfile& profile = platform::Profile();
    profile.windows.major = 5;
    profile.cpu.overridden = true;
    profile.clock.manual = true;
    profile.clock.advanceNanosecondsPerRead = 7;
    profile.display.desktopWidth = 640;
    profile.display.displayModes = {{640, 480, 16, 60}};
    profile.input.directInput8 = false;
    profile.input.virtualPads = {platform::VirtualPad{}};
    profile.failures.heap.failAllocationNumber = 9;
    profile.failures.input.createMouse = true;

    platform::ResetMachine();

    EXPECT_EQ(hookRuns, 1);
    EXPECT_TRUE(hookSawOverriddenCpu);
    EXPECT_EQ(profile.windows.major, 6u);
    EXPECT_FALSE(profile.cpu.overridden);
    EXPECT_FALSE(profile.clock.manual);
    EXPECT_EQ(profile.clock.advanceNanosecondsPerRead, 0u);
    EXPECT_EQ(profile.display.desktopWidth, 0);
    EXPECT_TRUE(profile.display.displayModes.empty());
    EXPECT_TRUE(profile.input.directInput8);
    EXPECT_TRUE(profile.input.virtualPads.empty());
    EXPECT_EQ(profile.failures.heap.failAllocationNumber, 0u);
    EXPECT_FALSE(profile.failures.input.createMouse);
}

TEST_F(MachineResetTest, EverySubsystemIsBackAtItsStart) {
    testsupport::TemporaryFolder locks;
    auto useTestMachine = [&] {
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().display.classLockDirectory = locks.hostPath();
        platform::Profile().display.desktopWidth = 1280;
        platform::Profile().display.desktopHeight = 1024;
        platform::Profile().input.hostPads = false;
    };
    useTestMachine();
    platform::Profile().input.virtualPads = {platform::VirtualPad{}};

    // The window system: a class, a window and a quit request in the queue.
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "ResetTestWindow";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window =
        CreateWindowExA(0, "ResetTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    PostQuitMessage(3);
    // The display mode in force.
    DEVMODEA wanted{};
    wanted.dmSize = sizeof(wanted);
    wanted.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    wanted.dmPelsWidth = 800;
    wanted.dmPelsHeight = 600;
    wanted.dmBitsPerPel = 16;
    ASSERT_EQ(ChangeDisplaySettingsA(&wanted, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    // The manual time, the heap's count and the debug-output sink.
    platform::AdvanceManualClockMilliseconds(5);
    HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 8));
    OutputDebugStringA("x");
    // The input method, the drops and the pads.
    WINNLSEnableIME(window, FALSE);
    ASSERT_NE(ImmGetContext(window), nullptr);
    DragAcceptFiles(window, TRUE);
    ASSERT_TRUE(platform::PostDroppedFiles(window, {"C:\\a"}));
    JOYCAPSA caps{};
    ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), JOYERR_NOERROR);
    ASSERT_NE(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);

    platform::ResetMachine();
    useTestMachine();

    EXPECT_EQ(FindWindowA("ResetTestWindow", nullptr), nullptr);
    EXPECT_NE(RegisterClassExA(&windowClass), 0) << "the class is forgotten";
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << message.message;
    DEVMODEA current{};
    current.dmSize = sizeof(current);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    EXPECT_EQ(current.dmPelsWidth, 1280u);
    EXPECT_EQ(current.dmBitsPerPel, 32u);
    EXPECT_EQ(platform::ManualClockNanoseconds(), 0u);
    EXPECT_EQ(platform::HeapAllocationCount(), 0u);
    EXPECT_EQ(platform::DebugOutputText(), "");
    EXPECT_TRUE(platform::InputMethodEnabled());
    EXPECT_FALSE(platform::ViewInputContext(window).exists);
    EXPECT_EQ(platform::PendingDropCount(), 0u);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u) << "input is stopped and the pads let go";
}

}  // namespace
