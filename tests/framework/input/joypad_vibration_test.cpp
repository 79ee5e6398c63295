// Vibration: which motors run for the requested power, the countdown of a
// timed vibration, and silence while the window is inactive.
#include "framework/base/time_functions.h"
#include "platform/host/virtual_pads.h"
#include "platform/kernel/manual_clock.h"
#include "tests/framework/input/input_fixture.h"

namespace inputtest {
namespace {

class VibrationTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        AddPads(1);
        StartWithWindow();
        ASSERT_EQ(InputDeviceState.padCount, 1);
    }

    // What no operation of this system does: a request as such an operation
    // would make it.
    static void Request(int power, int time) {
        JoypadRecord& pad = InputDeviceState.pads[0];
        pad.vibrationRequested = 1;
        pad.vibrationPower = power;
        pad.vibrationTime = time;
        pad.vibrationElapsed = 0;
        pad.vibrationTickTime = GetMillisecondCount();
    }

    static bool Low() { return platform::VirtualPadRumble(0).lowFrequency != 0; }
    static bool High() { return platform::VirtualPadRumble(0).highFrequency != 0; }
};

TEST_F(VibrationTest, TheSineJoinsTheConstantForceAboveHalfPower) {
    const struct {
        int power;
        bool sine;
    } cases[] = {{5000, false}, {5001, true}, {10000, true}, {1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.power);
        Request(c.power, -1);
        EXPECT_EQ(ApplyJoypadVibration(), 0);
        EXPECT_TRUE(Low());
        EXPECT_EQ(High(), c.sine);
        EXPECT_EQ(InputDeviceState.pads[0].sineEffectPlaying, c.sine ? 1 : 0);
        EXPECT_EQ(HaltJoypadVibration(1), 0);
        EXPECT_FALSE(Low());
        EXPECT_FALSE(High());
        EXPECT_EQ(InputDeviceState.pads[0].vibrationPower, 10000);
    }
}

TEST_F(VibrationTest, ATimedVibrationIsCountedDownAndHalted) {
    Request(8000, 5);
    TickJoypadVibration();
    EXPECT_TRUE(Low());
    platform::AdvanceManualClockMilliseconds(3);
    TickJoypadVibration();
    EXPECT_EQ(InputDeviceState.pads[0].vibrationElapsed, 3);
    EXPECT_TRUE(Low());
    platform::AdvanceManualClockMilliseconds(2);
    TickJoypadVibration();
    EXPECT_EQ(InputDeviceState.pads[0].vibrationRequested, 0);
    EXPECT_FALSE(Low());
    EXPECT_FALSE(High());

    // Time 0 ends at the next tick on another millisecond; a negative time never.
    Request(3000, 0);
    TickJoypadVibration();
    EXPECT_TRUE(Low());
    platform::AdvanceManualClockMilliseconds(1);
    TickJoypadVibration();
    EXPECT_FALSE(Low());
    Request(3000, -1);
    platform::AdvanceManualClockMilliseconds(100000);
    TickJoypadVibration();
    EXPECT_TRUE(Low());
}

TEST_F(VibrationTest, AnInactiveWindowSilencesThePadAndActivationResumesIt) {
    Request(9000, -1);
    ApplyJoypadVibration();
    ASSERT_TRUE(Low() && High());
    MainWindow.settings.runWhenInactive = 1;
    WNDCLASSEXA otherClass{};
    otherClass.cbSize = sizeof(otherClass);
    otherClass.lpfnWndProc = DefWindowProcA;
    otherClass.lpszClassName = "VibrationTestOther";
    ASSERT_NE(RegisterClassExA(&otherClass), 0);
    // The window procedure handles the deactivation: it reacquires the pad
    // for the background and applies the vibration.
    HWND other = CreateWindowExA(0, "VibrationTestOther", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_EQ(IsWindowActive(), 0);
    EXPECT_FALSE(Low());
    EXPECT_FALSE(High());
    EXPECT_EQ(InputDeviceState.pads[0].constantEffectPlaying, 0);
    EXPECT_EQ(InputDeviceState.pads[0].vibrationRequested, 1);

    SetActiveWindow(GetMainWindowHandle());
    ASSERT_EQ(IsWindowActive(), 1);
    EXPECT_TRUE(Low());
    EXPECT_TRUE(High());
    DestroyWindow(other);
}

TEST_F(VibrationTest, APadWithoutForceFeedbackOrARestingPadIsPassedOver) {
    EXPECT_EQ(HaltJoypadVibration(1), 0);  // at rest: nothing to do
    EXPECT_EQ(HaltJoypadVibration(7), 0);  // no such pad
    InputDeviceState.pads[0].constantForceEffect->Release();
    InputDeviceState.pads[0].constantForceEffect = nullptr;
    Request(9000, -1);
    EXPECT_EQ(HaltJoypadVibration(0x1001), 0);
    EXPECT_EQ(InputDeviceState.pads[0].vibrationRequested, 1);  // no constant force: left alone
}

}  // namespace
}  // namespace inputtest
