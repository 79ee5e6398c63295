// Finding the joypads through DirectInput and letting them go: each found
// pad gets its data format, cooperative level, axis ranges and dead zones,
// its two force-feedback effects when it has force feedback, and its change
// event; a pad that fails a step that matters is left out.
#include <cstring>

#include "framework/input/input_devices.h"
#include "framework/input/input_state.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"

namespace {

constexpr DWORD kAxisOffsets[] = {DIJOFS_X, DIJOFS_Y, DIJOFS_Z, DIJOFS_RZ};

IDirectInputDevice2A* CreatePadDevice(const GUID& instance) {
    if (InputDeviceState.directInput8) {
        IDirectInputDevice8A* device = nullptr;
        IDirectInput8A* directInput = static_cast<IDirectInput8A*>(InputDeviceState.directInput);
        return SUCCEEDED(directInput->CreateDevice(instance, &device, nullptr)) ? device : nullptr;
    }
    void* device = nullptr;
    IDirectInput7A* directInput = static_cast<IDirectInput7A*>(InputDeviceState.directInput);
    if (FAILED(directInput->CreateDeviceEx(instance, IID_IDirectInputDevice7A, &device, nullptr))) return nullptr;
    return static_cast<IDirectInputDevice7A*>(device);
}

HRESULT SetAxisRange(IDirectInputDevice2A* device, DWORD offset) {
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = offset;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = -1000;
    range.lMax = 1000;
    return device->SetProperty(DIPROP_RANGE, &range.diph);
}

// 2500 of 10000: the middle quarter of the axis reads as its centre.
HRESULT SetAxisDeadZone(IDirectInputDevice2A* device, DWORD offset) {
    DIPROPDWORD deadZone{};
    deadZone.diph.dwSize = sizeof(DIPROPDWORD);
    deadZone.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    deadZone.diph.dwObj = offset;
    deadZone.diph.dwHow = DIPH_BYOFFSET;
    deadZone.dwData = 2500;
    return device->SetProperty(DIPROP_DEADZONE, &deadZone.diph);
}

void CreateEffects(JoypadRecord& pad) {
    DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
    LONG direction[2] = {0, 0};
    DIEFFECT effect{};
    effect.dwSize = sizeof(DIEFFECT);
    effect.dwDuration = INFINITE;
    effect.dwSamplePeriod = 0;
    effect.dwGain = DI_FFNOMINALMAX;
    effect.dwTriggerButton = DIEB_NOTRIGGER;
    effect.dwTriggerRepeatInterval = 0;
    effect.cAxes = 2;
    effect.rgdwAxes = axes;
    effect.rglDirection = direction;
    effect.dwStartDelay = 0;

    DIENVELOPE envelope{};
    envelope.dwSize = sizeof(DIENVELOPE);
    envelope.dwAttackLevel = 0;
    envelope.dwAttackTime = 500000;
    envelope.dwFadeLevel = 0;
    envelope.dwFadeTime = 1000000;
    DIPERIODIC periodic{};
    periodic.dwMagnitude = DI_FFNOMINALMAX;
    periodic.lOffset = 0;
    periodic.dwPhase = 0;
    periodic.dwPeriod = 1500000;
    effect.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
    effect.lpEnvelope = &envelope;
    effect.cbTypeSpecificParams = sizeof(DIPERIODIC);
    effect.lpvTypeSpecificParams = &periodic;
    pad.sineEffect = nullptr;
    if (FAILED(pad.device->CreateEffect(GUID_Sine, &effect, &pad.sineEffect, nullptr))) pad.sineEffect = nullptr;

    DICONSTANTFORCE constant{};
    constant.lMagnitude = DI_FFNOMINALMAX;
    effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
    effect.lpEnvelope = nullptr;
    effect.cbTypeSpecificParams = sizeof(DICONSTANTFORCE);
    effect.lpvTypeSpecificParams = &constant;
    pad.constantForceEffect = nullptr;
    if (FAILED(pad.device->CreateEffect(GUID_ConstantForce, &effect, &pad.constantForceEffect, nullptr))) {
        pad.constantForceEffect = nullptr;
        WriteLogLine("周期的エフェクトの作成に失敗しました。\n");
    }
}

void ReleaseEffect(IDirectInputEffect*& effect) {
    if (effect == nullptr) return;
    effect->Stop();
    effect->Release();
    effect = nullptr;
}

// Leaves a pad out: its device goes, with its log line.
BOOL LeaveOut(JoypadRecord& pad, const char* text) {
    pad.device->Release();
    pad.device = nullptr;
    WriteLogLine(text);
    return DIENUM_CONTINUE;
}

}  // namespace

int StartJoypads() {
    if (!HasDirectInputInterface()) return -1;
    ReleaseJoypads();
    WriteLogLine("ジョイパッドの初期化... \n");
    InputDeviceState.padCount = 0;
    if (InputDeviceState.directInput8) {
        static_cast<IDirectInput8A*>(InputDeviceState.directInput)
            ->EnumDevices(DI8DEVCLASS_GAMECTRL, OnJoypadDeviceFound, nullptr, DIEDFL_ATTACHEDONLY);
    } else {
        static_cast<IDirectInput7A*>(InputDeviceState.directInput)
            ->EnumDevices(DIDEVTYPE_JOYSTICK, OnJoypadDeviceFound, nullptr, DIEDFL_ATTACHEDONLY);
    }
    WriteLogLine("ジョイパッドの初期化は正常に終了しました\n");
    return 0;
}

int ReleaseJoypads() {
    InputState& input = InputDeviceState;
    if (!IsInputStarted()) return -1;
    for (int i = 0; i < input.padCount && i < MaxJoypads; i++) {
        JoypadRecord& pad = input.pads[i];
        // Started without DirectInput the records hold no device.
        if (pad.device != nullptr) {
            pad.device->Unacquire();
            pad.device->SetEventNotification(nullptr);
        }
        ReleaseEffect(pad.constantForceEffect);
        ReleaseEffect(pad.sineEffect);
        if (pad.device != nullptr) {
            pad.device->Release();
            pad.device = nullptr;
        }
        if (pad.event != nullptr) CloseHandle(pad.event);
        std::memset(&pad, 0, sizeof(pad));
    }
    input.padCount = 0;
    return 0;
}

BOOL CALLBACK OnJoypadDeviceFound(LPCDIDEVICEINSTANCEA instance, LPVOID /*context*/) {
    InputState& input = InputDeviceState;
    // The table is full: the enumeration should have stopped already.
    if (input.padCount >= MaxJoypads) return DIENUM_STOP;
    WriteLogLine("入力装置を見つけました\n");
    // Filled here and put in place only once the pad is added, so that a pad
    // left out leaves no trace in the table.
    JoypadRecord pad;
    std::memset(&pad, 0, sizeof(pad));
    pad.device = instance != nullptr ? CreatePadDevice(instance->guidInstance) : nullptr;
    if (pad.device == nullptr) {
        WriteLogLine("入力装置の取得に失敗しました\n");
        return DIENUM_CONTINUE;
    }

    DIDEVICEINSTANCEA info;
    std::memset(&info, 0, sizeof(info));
    info.dwSize = sizeof(info);
    pad.device->GetDeviceInfo(&info);
    CopyTextBounded(pad.instanceName, sizeof(pad.instanceName), info.tszInstanceName);
    CopyTextBounded(pad.productName, sizeof(pad.productName), info.tszProductName);
    IncreaseLogDepth();
    WriteLogFormat("デバイスの登録名:%s", pad.instanceName);
    WriteLogFormat("デバイスの製品登録名:%s", pad.productName);
    DecreaseLogDepth();

    if (FAILED(pad.device->SetDataFormat(&c_dfDIJoystick)))
        return LeaveOut(pad, "ジョイパッドデバイスではありませんでした、又は設定に失敗しました\n");
    if (FAILED(pad.device->SetCooperativeLevel(GetMainWindowHandle(), DISCL_EXCLUSIVE | DISCL_FOREGROUND)))
        WriteLogLine("ジョイパッドデバイスの協調レベルの設定に失敗しました\n");

    // X and Y make the pad; Z and Rz are taken when the pad has them.
    if (FAILED(SetAxisRange(pad.device, kAxisOffsets[0])))
        return LeaveOut(pad, "ジョイパッドデバイスのＸ軸関係の設定に失敗しました\n");
    if (FAILED(SetAxisRange(pad.device, kAxisOffsets[1])))
        return LeaveOut(pad, "ジョイパッドデバイスのＹ軸関係の設定に失敗しました\n");
    SetAxisRange(pad.device, kAxisOffsets[2]);
    SetAxisRange(pad.device, kAxisOffsets[3]);
    if (FAILED(SetAxisDeadZone(pad.device, kAxisOffsets[0])))
        return LeaveOut(pad, "ジョイパッドデバイスのＸ軸の無効ゾーンの設定に失敗しました\n");
    if (FAILED(SetAxisDeadZone(pad.device, kAxisOffsets[1])))
        return LeaveOut(pad, "ジョイパッドデバイスのＹ軸の無効ゾーンの設定に失敗しました\n");
    SetAxisDeadZone(pad.device, kAxisOffsets[2]);
    SetAxisDeadZone(pad.device, kAxisOffsets[3]);

    CreateEffects(pad);
    pad.vibrationRequested = 0;
    pad.vibrationPower = 10000;
    pad.constantEffectPlaying = 0;
    pad.sineEffectPlaying = 0;

    pad.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HRESULT notification = pad.device->SetEventNotification(pad.event);
    if (notification != DI_OK && notification != DI_POLLEDDEVICE) {
        WriteLogLine("ジョイパッドイベントのセットアップが失敗しました\n");
        ReleaseEffect(pad.constantForceEffect);
        ReleaseEffect(pad.sineEffect);
        pad.device->Release();
        CloseHandle(pad.event);
        return DIENUM_CONTINUE;
    }

    pad.device->Acquire();
    std::memset(&pad.state, 0, sizeof(pad.state));
    input.pads[input.padCount] = pad;
    input.padCount++;
    WriteLogLine("ジョイパッドの追加は正常に終了しました\n");
    return input.padCount >= MaxJoypads ? DIENUM_STOP : DIENUM_CONTINUE;
}
