// The key and pad queries: pad 1's key map through the keyboard flag, a
// virtual pad's stick and buttons with and without DirectInput, the axis
// conversion, the once-per-millisecond rule and the lazy start.
#include <string>

#include "platform/host/virtual_pads.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/input/input_fixture.h"

namespace inputtest {
namespace {

TEST_F(InputTest, TheKeyboardFlagReadsPadOnesKeyMap) {
    WindowsVersionCode = kWindows7;  // keys from the window's key state
    AddPads(2);
    StartWithWindow();
    const struct {
        UINT virtualKey;
        int inputType;
        int bits;
    } cases[] = {
        {VK_DOWN, 0x1000, 0x1},       {VK_NUMPAD2, 0x1000, 0x1},   {VK_LEFT, 0x1001, 0x2},
        {VK_NUMPAD6, 0x1000, 0x4},    {VK_UP, 0x1000, 0x8},        {'Z', 0x1000, 0x10},
        {'W', 0x1000, 0x800},         {VK_ESCAPE, 0x1000, 0x1000}, {VK_SPACE, 0x1001, 0x2000},
        {'Z', 1, 0},                  // pad 1 without the keyboard
        {'Z', 0x1002, 0},             // pad 2's key map is empty
        {'Z', 0x1005, 0},             // so is pad 5's, though there is no pad 5
        {'Z', 5, 0},                  // pad 5 without the keyboard: no such pad
        {'M', 0x1000, 0},             // not in the map
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.virtualKey << " " << c.inputType);
        PostKey(c.virtualKey, true);
        NextMillisecond();
        EXPECT_EQ(ReadJoypadButtons(c.inputType), c.bits);
        PostKey(c.virtualKey, false);
        NextMillisecond();
        EXPECT_EQ(ReadJoypadButtons(0x1000), 0);
    }
}

TEST_F(InputTest, WithoutDirectInputTheKeysComeThroughTheConversionTable) {
    platform::Profile().input.directInput7 = false;
    platform::Profile().input.directInput8 = false;
    StartWithWindow();
    PostKey(VK_RETURN, true);
    PostKey('Z', true);
    PostMessageA(GetMainWindowHandle(), WM_KEYDOWN, VK_SHIFT, (0x36 << 16) | 1);  // the right Shift key
    PumpUntilQuiet();
    NextMillisecond();
    EXPECT_EQ(IsKeyHeld(0x1C), 1);
    EXPECT_EQ(IsKeyHeld(0x9C), 1);  // the one Enter key fills both codes
    EXPECT_EQ(IsKeyHeld(DIK_Z), 1);
    EXPECT_EQ(IsKeyHeld(DIK_RSHIFT), 1);
    EXPECT_EQ(IsKeyHeld(DIK_X), 0);
    EXPECT_EQ(IsKeyHeld(0x100), 0);
    EXPECT_EQ(IsKeyHeld(-1), 0);
}

TEST_F(InputTest, AKeyIsReadOncePerMillisecond) {
    WindowsVersionCode = kWindows7;
    StartWithWindow();
    PostKey('A', true);
    NextMillisecond();
    EXPECT_EQ(IsKeyHeld(DIK_A), 1);
    PostKey('A', false);
    EXPECT_EQ(IsKeyHeld(DIK_A), 1);  // same millisecond: not read again
    NextMillisecond();
    EXPECT_EQ(IsKeyHeld(DIK_A), 0);
}

TEST_F(InputTest, APadIsReadOncePerMillisecond) {
    AddPads(1);
    StartWithWindow();
    EXPECT_EQ(ReadJoypadButtons(1), 0);
    platform::SetVirtualPadButton(0, 0, true);
    EXPECT_EQ(ReadJoypadButtons(1), 0);
    NextMillisecond();
    EXPECT_EQ(ReadJoypadButtons(1), 0x10);
}

struct StickCase {
    int axis;
    int value;  // SDL2's raw value
    int bits;
};

// The stick through DirectInput: a range of -1000 to 1000 with a dead zone
// of a quarter, so a light push gives no direction.
const StickCase kDirectInputSticks[] = {
    {0, -32768, 0x2}, {0, 32767, 0x4}, {1, 32767, 0x1}, {1, -32768, 0x8},
    {0, -4000, 0},    {0, 4000, 0},    {1, -20000, 0x8}, {2, 32767, 0},  // Z gives nothing
};

TEST_F(InputTest, APadsStickAndButtonsGiveItsBitsThroughDirectInput) {
    AddPads(1);
    StartWithWindow();
    for (const StickCase& c : kDirectInputSticks) {
        SCOPED_TRACE(testing::Message() << c.axis << " " << c.value);
        platform::SetVirtualPadAxis(0, c.axis, c.value);
        NextMillisecond();
        EXPECT_EQ(ReadJoypadButtons(1), c.bits);
        platform::SetVirtualPadAxis(0, c.axis, 0);
    }
    platform::SetVirtualPadButton(0, 0, true);
    platform::SetVirtualPadButton(0, 11, true);
    platform::SetVirtualPadHat(0, 0, 0x01);  // hats are not reported
    NextMillisecond();
    EXPECT_EQ(ReadJoypadButtons(1), 0x10 | 0x8000);
    EXPECT_EQ(InputDeviceState.pads[0].state.lX, 0);
    EXPECT_EQ(InputDeviceState.pads[0].state.rgdwPOV[0], 0u);
}

TEST_F(InputTest, APadsStickAndButtonsGiveItsBitsWithoutDirectInput) {
    platform::Profile().input.directInput7 = false;
    platform::Profile().input.directInput8 = false;
    platform::VirtualPad pad;
    pad.buttons = 32;
    platform::Profile().input.virtualPads = {pad};
    StartWithWindow();
    // Raw joystick positions are SDL2's values plus 32768.
    const StickCase cases[] = {
        {0, -32768, 0x2},         // position 0
        {0, 24575 - 32768, 0},    // just below the middle quarter: truncated to 0
        {0, 24551 - 32768, 0x2},  // far enough for -1
        {0, 24576 - 32768, 0},    // the middle quarter's edge
        {0, 40961 - 32768, 0},    // past the other edge, but truncated to 0
        {0, 40985 - 32768, 0x4},  // far enough for 1
        {1, 32767, 0x1},          // position 65535
    };
    for (const StickCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.axis << " " << c.value);
        platform::SetVirtualPadAxis(0, c.axis, c.value);
        NextMillisecond();
        EXPECT_EQ(ReadJoypadButtons(1), c.bits);
        platform::SetVirtualPadAxis(0, c.axis, 0);
    }
    platform::SetVirtualPadButton(0, 23, true);
    platform::SetVirtualPadButton(0, 24, true);  // button 25 is not reported
    NextMillisecond();
    EXPECT_EQ(ReadJoypadButtons(1), 0x8000000);
    // Every pad number is read, attached or not; an absent one reads as zero.
    for (int pad = 2; pad <= 16; ++pad) EXPECT_EQ(ReadJoypadButtons(pad), 0) << pad;
    EXPECT_EQ(ReadJoypadButtons(17), 0);
}

TEST(JoystickAxisConversion, MapsTheRawRangeWithTheMiddleQuarterAtZero) {
    const struct {
        uint32_t position;
        int value;
    } cases[] = {
        {0, -1000},    {1, -999},      {12288, -500}, {24575, 0},   {24576, 0},  {32767, 0},
        {40960, 0},    {40961, 0},     {40985, 1},    {53248, 500}, {65534, 999}, {65535, 1000},
        {70000, 1000},
    };
    for (const auto& c : cases) EXPECT_EQ(ConvertJoystickAxis(c.position), c.value) << c.position;
}

TEST_F(InputTest, AQueryAfterTheEndStartsInputAndAnswersNothing) {
    StartWithWindow();
    EndInputDevices();
    EXPECT_EQ(IsKeyHeld(DIK_Z), 0);
    EXPECT_TRUE(IsInputStarted());
    EndInputDevices();
    EXPECT_EQ(ReadJoypadButtons(0x1000), 0);
    EXPECT_TRUE(IsInputStarted());

    // Asked to close: no start.
    EndInputDevices();
    MainWindow.closeRequested = 1;
    EXPECT_EQ(IsKeyHeld(DIK_Z), 0);
    EXPECT_EQ(ReadJoypadButtons(1), 0);
    EXPECT_FALSE(IsInputStarted());
    MainWindow.closeRequested = 0;
}

TEST_F(InputTest, AFailedLazyStartReadsAsNothingHeldNotEveryButton) {
    StartWindowMode();
    platform::Profile().failures.input.keyboardEventNotification = true;
    EXPECT_EQ(ReadJoypadButtons(1), 0);
    EXPECT_TRUE(IsInputStarted());  // the failed start holds its devices
    EndInputDevices();
    EXPECT_EQ(IsKeyHeld(DIK_Z), 0);
    LogIndentDepth = 0;
}

TEST_F(InputTest, DeactivationHandsThePadsToTheBackgroundThroughTheWindowProcedure) {
    AddPads(1);
    StartWithWindow();
    WNDCLASSEXA otherClass{};
    otherClass.cbSize = sizeof(otherClass);
    otherClass.lpfnWndProc = DefWindowProcA;
    otherClass.lpszClassName = "InputTestOther";
    ASSERT_NE(RegisterClassExA(&otherClass), 0);
    HWND other = CreateWindowExA(0, "InputTestOther", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    // Activation is sent, not posted: the window procedure has seen it.
    ASSERT_EQ(GetForegroundWindow(), other);
    ASSERT_EQ(IsWindowActive(), 0);
    MainWindow.settings.runWhenInactive = 1;  // a pump inside the read must not wait for activation
    // Held exclusively in the foreground the pad could not be read now; the
    // window procedure has handed it over to the background.
    platform::SetVirtualPadButton(0, 2, true);
    NextMillisecond();
    EXPECT_EQ(RefreshJoypadState(0), 0);
    EXPECT_EQ(InputDeviceState.pads[0].state.rgbButtons[2], 0x80);
    DestroyWindow(other);
}

}  // namespace
}  // namespace inputtest
