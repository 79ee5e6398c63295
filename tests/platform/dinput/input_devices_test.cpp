// The DirectInput devices over SDL2 virtual joysticks and the joystick and
// key-state calls: axis ranges and dead zones, hats and buttons, missing
// axes, force feedback and who may use it, acquisition in the foreground.
#include <gtest/gtest.h>

#include "platform/dinput/dinput.h"
#include "platform/host/virtual_pads.h"
#include "platform/kernel/kernel.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "platform/winmm/winmm.h"
#include "tests/support/test_support.h"

namespace {

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class InputDevicesTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        platform::Profile().input.hostPads = false;
        CoInitialize(nullptr);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = "InputDevicesTest";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window_ = CreateWindowExA(0, "InputDevicesTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_EQ(GetForegroundWindow(), window_);
    }

    void TearDown() override {
        if (device_ != nullptr) device_->Release();
        if (directInput_ != nullptr) directInput_->Release();
        CoUninitialize();
        PlatformTest::TearDown();
    }

    // Version 8, with the first pad made and given the joystick format.
    void OpenFirstPad() {
        void* made = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A, &made), S_OK);
        directInput_ = static_cast<IDirectInput8A*>(made);
        ASSERT_EQ(directInput_->Initialize(GetModuleHandleA(nullptr), 0x0800), DI_OK);
        GUID first{};
        int found = 0;
        struct Context {
            GUID* first;
            int* found;
        } context{&first, &found};
        directInput_->EnumDevices(
            DI8DEVCLASS_GAMECTRL,
            [](LPCDIDEVICEINSTANCEA instance, LPVOID data) -> BOOL {
                Context* c = static_cast<Context*>(data);
                if ((*c->found)++ == 0) *c->first = instance->guidInstance;
                return DIENUM_CONTINUE;
            },
            &context, DIEDFL_ATTACHEDONLY);
        ASSERT_EQ(found, static_cast<int>(platform::Profile().input.virtualPads.size()));
        ASSERT_EQ(directInput_->CreateDevice(first, &device_, nullptr), DI_OK);
        ASSERT_EQ(device_->SetDataFormat(&c_dfDIJoystick), DI_OK);
    }

    HRESULT SetRange(DWORD offset, LONG low, LONG high) {
        DIPROPRANGE range{{sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET}, low, high};
        return device_->SetProperty(DIPROP_RANGE, &range.diph);
    }
    HRESULT SetDeadZone(DWORD offset, DWORD value) {
        DIPROPDWORD zone{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), offset, DIPH_BYOFFSET}, value};
        return device_->SetProperty(DIPROP_DEADZONE, &zone.diph);
    }

    DIJOYSTATE Read() {
        DIJOYSTATE state{};
        EXPECT_EQ(device_->GetDeviceState(sizeof(state), &state), DI_OK);
        return state;
    }

    HWND window_ = nullptr;
    IDirectInput8A* directInput_ = nullptr;
    IDirectInputDevice8A* device_ = nullptr;
};

TEST_F(InputDevicesTest, AxesFollowTheirRangeAndDeadZone) {
    platform::Profile().input.virtualPads = {platform::VirtualPad{}};
    OpenFirstPad();
    ASSERT_EQ(SetRange(DIJOFS_X, -1000, 1000), DI_OK);
    ASSERT_EQ(SetDeadZone(DIJOFS_X, 2500), DI_OK);
    ASSERT_EQ(device_->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    ASSERT_EQ(device_->Acquire(), DI_OK);
    const struct {
        int raw;
        LONG value;
    } cases[] = {{-32768, -1000}, {32767, 1000}, {0, 0}, {-8192, 0}, {8192, 0}, {16384, 333}, {-16384, -333}};
    for (const auto& c : cases) {
        platform::SetVirtualPadAxis(0, 0, c.raw);
        EXPECT_EQ(Read().lX, c.value) << c.raw;
    }
    // Y keeps the untouched range of 0 to 65535.
    platform::SetVirtualPadAxis(0, 1, 32767);
    EXPECT_EQ(Read().lY, 65535);
    platform::SetVirtualPadHat(0, 0, 0x06);  // down and right
    platform::SetVirtualPadButton(0, 3, true);
    const DIJOYSTATE state = Read();
    EXPECT_EQ(state.rgdwPOV[0], 13500u);
    EXPECT_EQ(state.rgdwPOV[1], 0xFFFFFFFFu);
    EXPECT_EQ(state.rgbButtons[3], 0x80);
    EXPECT_EQ(state.rgbButtons[2], 0x00);
}

TEST_F(InputDevicesTest, AMissingAxisIsNotFoundAndStateNeedsAcquisition) {
    platform::VirtualPad pad;
    pad.axes = 2;
    platform::Profile().input.virtualPads = {pad};
    OpenFirstPad();
    EXPECT_EQ(SetRange(DIJOFS_Y, -1000, 1000), DI_OK);
    EXPECT_EQ(SetRange(DIJOFS_Z, -1000, 1000), DIERR_OBJECTNOTFOUND);
    EXPECT_EQ(SetDeadZone(DIJOFS_RZ, 2500), DIERR_OBJECTNOTFOUND);
    EXPECT_EQ(SetRange(DIJOFS_X, 5, 5), DIERR_INVALIDPARAM);
    DIJOYSTATE state{};
    EXPECT_EQ(device_->GetDeviceState(sizeof(state), &state), DIERR_NOTACQUIRED);
}

TEST_F(InputDevicesTest, TheForegroundIsNeededForAForegroundDevice) {
    platform::Profile().input.virtualPads = {platform::VirtualPad{}};
    OpenFirstPad();
    ASSERT_EQ(device_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(device_->Acquire(), DI_OK);
    EXPECT_EQ(device_->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DIERR_ACQUIRED);
    HWND other = CreateWindowExA(0, "InputDevicesTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_EQ(GetForegroundWindow(), other);
    DIJOYSTATE state{};
    EXPECT_EQ(device_->GetDeviceState(sizeof(state), &state), DIERR_INPUTLOST);
    EXPECT_EQ(device_->Acquire(), DIERR_OTHERAPPHASPRIO);
}

TEST_F(InputDevicesTest, EffectsShakeOnlyAPadWithForceFeedbackHeldExclusively) {
    platform::VirtualPad still;
    still.forceFeedback = false;
    platform::Profile().input.virtualPads = {platform::VirtualPad{}, still};
    OpenFirstPad();
    DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
    LONG direction[2] = {0, 0};
    DICONSTANTFORCE force{7500};
    DIEFFECT effect{};
    effect.dwSize = sizeof(effect);
    effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
    effect.dwDuration = INFINITE;
    effect.dwGain = 10000;
    effect.dwTriggerButton = DIEB_NOTRIGGER;
    effect.cAxes = 2;
    effect.rgdwAxes = axes;
    effect.rglDirection = direction;
    effect.cbTypeSpecificParams = sizeof(force);
    effect.lpvTypeSpecificParams = &force;
    IDirectInputEffect* constant = nullptr;
    ASSERT_EQ(device_->CreateEffect(GUID_ConstantForce, &effect, &constant, nullptr), DI_OK);
    ASSERT_EQ(device_->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    ASSERT_EQ(device_->Acquire(), DI_OK);
    EXPECT_EQ(constant->Start(1, 0), DIERR_NOTEXCLUSIVEACQUIRED);
    device_->Unacquire();
    ASSERT_EQ(device_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(device_->Acquire(), DI_OK);
    EXPECT_EQ(constant->Start(1, 0), DI_OK);
    EXPECT_EQ(platform::VirtualPadRumble(0).lowFrequency, 49151);
    EXPECT_EQ(platform::VirtualPadRumble(0).highFrequency, 0);
    // Letting the pad go stops its effects.
    device_->Unacquire();
    EXPECT_EQ(platform::VirtualPadRumble(0).lowFrequency, 0);
    constant->Release();

    // The second pad has no force feedback.
    device_->Release();
    device_ = nullptr;
    GUID second{};
    directInput_->EnumDevices(
        DI8DEVCLASS_GAMECTRL,
        [](LPCDIDEVICEINSTANCEA instance, LPVOID data) -> BOOL {
            *static_cast<GUID*>(data) = instance->guidInstance;
            return DIENUM_CONTINUE;
        },
        &second, DIEDFL_ATTACHEDONLY);
    ASSERT_EQ(directInput_->CreateDevice(second, &device_, nullptr), DI_OK);
    IDirectInputEffect* none = reinterpret_cast<IDirectInputEffect*>(1);
    EXPECT_EQ(device_->CreateEffect(GUID_ConstantForce, &effect, &none, nullptr), DIERR_UNSUPPORTED);
    EXPECT_EQ(none, nullptr);
}

TEST_F(InputDevicesTest, TheJoystickCallsReadTheSamePads) {
    platform::VirtualPad twoAxes;
    twoAxes.axes = 2;
    twoAxes.hats = 0;
    platform::Profile().input.virtualPads = {platform::VirtualPad{}, twoAxes};
    JOYCAPSA caps{};
    ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), JOYERR_NOERROR);
    EXPECT_EQ(caps.wCaps & (JOYCAPS_HASZ | JOYCAPS_HASR), JOYCAPS_HASZ | JOYCAPS_HASR);
    EXPECT_EQ(caps.wNumButtons, 12u);
    ASSERT_EQ(joyGetDevCapsA(1, &caps, sizeof(caps)), JOYERR_NOERROR);
    EXPECT_EQ(caps.wCaps & (JOYCAPS_HASZ | JOYCAPS_HASR | JOYCAPS_HASPOV), 0u);
    EXPECT_EQ(joyGetDevCapsA(2, &caps, sizeof(caps)), JOYERR_PARMS);

    platform::SetVirtualPadAxis(0, 0, -32768);
    platform::SetVirtualPadAxis(0, 3, 32767);  // R
    platform::SetVirtualPadButton(0, 2, true);
    JOYINFOEX info{};
    info.dwSize = sizeof(info);
    info.dwFlags = JOY_RETURNALL;
    ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwYpos, 32768u);
    EXPECT_EQ(info.dwRpos, 65535u);
    EXPECT_EQ(info.dwButtons, 0x4u);
    EXPECT_EQ(info.dwPOV, JOY_POVCENTERED);
    EXPECT_EQ(joyGetPosEx(5, &info), JOYERR_PARMS);
    info.dwSize = 40;
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_PARMS);
}

TEST_F(InputDevicesTest, TheKeyStateFollowsTheKeyMessagesTaken) {
    PostMessageA(window_, WM_KEYDOWN, 'Q', 1);
    PostMessageA(window_, WM_KEYDOWN, VK_SHIFT, (0x36 << 16) | 1);
    BYTE keys[256] = {};
    ASSERT_TRUE(GetKeyboardState(keys));
    EXPECT_EQ(keys['Q'], 0);  // not taken yet
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    ASSERT_TRUE(GetKeyboardState(keys));
    EXPECT_EQ(keys['Q'] & 0x80, 0x80);
    EXPECT_EQ(keys[VK_RSHIFT] & 0x80, 0x80);
    EXPECT_EQ(static_cast<unsigned short>(GetKeyState('Q')), 0x8001u);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0x8000);
    EXPECT_EQ(GetKeyState('W'), 0);
    PostMessageA(window_, WM_KEYUP, 'Q', (LPARAM)0xC0000001);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_EQ(GetKeyState('Q'), 1);  // up, still toggled
}

}  // namespace
