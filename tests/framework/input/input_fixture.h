// A started, active main window on the manual clock, the component library
// initialised on the test thread, input stopped and the input profile reset
// with no host pads, so that each test chooses the machine's DirectInput
// versions and pads.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/base/framework_state.h"
#include "framework/input/input_devices.h"
#include "framework/input/input_state.h"
#include "framework/input/joypad_vibration.h"
#include "framework/input/keyboard_joypad_state.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/main_window_fixture.h"

namespace inputtest {

// Windows XP: the key state comes from DirectInput when it is there.
constexpr int kWindowsXp = 0x105;
// Windows 7: the key state always comes from the window's key state.
constexpr int kWindows7 = 0x108;

class InputTest : public windowtest::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        CoInitialize(nullptr);
        ResetInput();
        WindowsVersionCode = kWindowsXp;
    }

    void TearDown() override {
        EndInputDevices();
        ResetInput();
        CoUninitialize();
        WindowsVersionCode = 0;
        MainWindowTest::TearDown();
    }

    // The framework's input state and the profile's input part and input
    // failures back to the start, without the host's pads.
    static void ResetInput() {
        std::memset(&InputDeviceState, 0, sizeof(InputDeviceState));
        platform::Profile().input = platform::InputProfile{};
        platform::Profile().failures.input = platform::InputFailures{};
        platform::Profile().input.hostPads = false;
    }

    static void AddPads(int count, platform::VirtualPad pad = {}) {
        for (int i = 0; i < count; ++i) {
            pad.name = "Pad " + std::to_string(i + 1);
            platform::Profile().input.virtualPads.push_back(pad);
        }
    }

    // An active window-mode main window with input started; the log lines
    // the start wrote.
    std::string StartWithWindow() {
        StartWindowMode();
        EXPECT_EQ(IsWindowActive(), 1);
        const size_t mark = LogText().size();
        EXPECT_EQ(StartInputDevices(), 0);
        return LinesSince(mark);
    }

    // A key message as the host would post it, taken by the next pump.
    void PostKey(UINT virtualKey, bool down) {
        PostMessageA(GetMainWindowHandle(), down ? WM_KEYDOWN : WM_KEYUP, virtualKey, down ? 1 : (LPARAM)0xC0000001);
    }

    static void NextMillisecond() { platform::AdvanceManualClockMilliseconds(1); }
};

}  // namespace inputtest
