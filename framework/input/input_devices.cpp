// Starting and ending the input component: DirectInput 7, else 8, with the
// system mouse and keyboard and the joypads; without either, the joystick
// functions and the window's key state.
#include "framework/input/input_devices.h"

#include <cstring>

#include "framework/base/fatal_exit.h"
#include "framework/input/input_state.h"
#include "framework/base/log.h"
#include "framework/window/main_window.h"

InputState InputDeviceState;
void* const InputWithoutDirectInput = &InputDeviceState.directInput;

namespace {

IDirectInput7A* DirectInput7() { return static_cast<IDirectInput7A*>(InputDeviceState.directInput); }
IDirectInput8A* DirectInput8() { return static_cast<IDirectInput8A*>(InputDeviceState.directInput); }

void ReleaseInterface() {
    if (InputDeviceState.directInput8)
        DirectInput8()->Release();
    else
        DirectInput7()->Release();
    InputDeviceState.directInput = nullptr;
}

// Creates a system device on the held interface; null on failure.
IDirectInputDevice2A* CreateSystemDevice(const GUID& instance) {
    if (InputDeviceState.directInput8) {
        IDirectInputDevice8A* device = nullptr;
        return SUCCEEDED(DirectInput8()->CreateDevice(instance, &device, nullptr)) ? device : nullptr;
    }
    void* device = nullptr;
    if (FAILED(DirectInput7()->CreateDeviceEx(instance, IID_IDirectInputDevice7A, &device, nullptr))) return nullptr;
    return static_cast<IDirectInputDevice7A*>(device);
}

// A mouse or keyboard that cannot be set up: everything held goes (the
// joypads found so far too, so that nothing outlives the interface) and the
// process ends.
[[noreturn]] void FailDeviceSetUp(const char* text) {
    InputState& input = InputDeviceState;
    if (input.keyboardDevice != nullptr) {
        input.keyboardDevice->Release();
        input.keyboardDevice = nullptr;
    }
    if (input.keyboardEvent != nullptr) {
        CloseHandle(input.keyboardEvent);
        input.keyboardEvent = nullptr;
    }
    if (input.mouseDevice != nullptr) {
        input.mouseDevice->Release();
        input.mouseDevice = nullptr;
    }
    ReleaseJoypads();
    ReleaseInterface();
    input.startInProgress = 0;
    FatalErrorExit(text);
}

void SetUpMouse() {
    InputState& input = InputDeviceState;
    WriteLogLine("マウスデバイスの初期化... ");
    input.mouseDevice = CreateSystemDevice(GUID_SysMouse);
    if (input.mouseDevice == nullptr) FailDeviceSetUp("マウスデバイスの取得に失敗しました");
    if (FAILED(input.mouseDevice->SetDataFormat(&c_dfDIMouse2)))
        FailDeviceSetUp("マウスデバイスのデータ形式の設定に失敗しました");
    if (FAILED(input.mouseDevice->SetCooperativeLevel(GetMainWindowHandle(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)))
        FailDeviceSetUp("マウスデバイスの協調レベルの設定に失敗しました");
    WriteLogLine("初期化成功\n");
}

// -1 when the change notification cannot be set up.
int SetUpKeyboard() {
    InputState& input = InputDeviceState;
    WriteLogLine("キーボードデバイスの初期化... ");
    input.keyboardDevice = CreateSystemDevice(GUID_SysKeyboard);
    if (input.keyboardDevice == nullptr) FailDeviceSetUp("キーボードデバイスの取得に失敗しました");
    IDirectInputDevice2A* keyboard = input.keyboardDevice;
    if (FAILED(keyboard->SetDataFormat(&c_dfDIKeyboard)))
        FailDeviceSetUp("キーボードデバイスのデータ形式の設定に失敗しました");
    if (FAILED(keyboard->SetCooperativeLevel(GetMainWindowHandle(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)))
        FailDeviceSetUp("キーボードデバイスの協調レベルの設定に失敗しました");

    DIPROPDWORD bufferSize{};
    bufferSize.diph.dwSize = sizeof(DIPROPDWORD);
    bufferSize.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    bufferSize.diph.dwObj = 0;
    bufferSize.diph.dwHow = DIPH_DEVICE;
    bufferSize.dwData = 100;
    if (FAILED(keyboard->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph)))
        WriteLogLine("キーボードのプロパティ設定に失敗しました\n");

    input.keyboardEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HRESULT notification = keyboard->SetEventNotification(input.keyboardEvent);
    if (notification != DI_OK && notification != DI_POLLEDDEVICE) {
        WriteLogLine("キーボードイベントのセットアップが失敗しました\n");
        input.startInProgress = 0;
        return -1;
    }
    if (FAILED(keyboard->Acquire()) && FAILED(keyboard->Acquire()))
        FailDeviceSetUp("キーボードデバイスの取得に失敗しました");
    WriteLogLine("初期化成功\n");
    input.keyboardRefreshTime = timeGetTime();
    return 0;
}

// Step by step as the log tells it: version 7, else version 8. True with
// the interface held and initialised.
bool GetDirectInput() {
    InputState& input = InputDeviceState;
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WriteLogLine("DirectInput7 の取得中... ");
    void* made = nullptr;
    HRESULT result = CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A, &made);
    if (SUCCEEDED(result)) {
        IDirectInput7A* directInput = static_cast<IDirectInput7A*>(made);
        WriteLogLine("成功\n");
        IncreaseLogDepth();
        WriteLogLine("引き続き初期化処理... ");
        if (SUCCEEDED(directInput->Initialize(module, 0x0700))) {
            WriteLogLine("初期化成功\n");
            DecreaseLogDepth();
            input.directInput = made;
            input.directInput8 = 0;
            return true;
        }
        WriteLogLine("初期化に失敗。");
        directInput->Release();
        DecreaseLogDepth();
    } else {
        WriteLogLine("取得に失敗。\n");
        WriteLogFormat("エラーコード 0x%x\n", static_cast<unsigned int>(result));
    }

    WriteLogLine("DirectInput8 の取得を試みます...");
    made = nullptr;
    result = CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A, &made);
    if (SUCCEEDED(result)) {
        IDirectInput8A* directInput = static_cast<IDirectInput8A*>(made);
        WriteLogLine("成功\n");
        IncreaseLogDepth();
        WriteLogLine("引き続き初期化処理... ");
        if (SUCCEEDED(directInput->Initialize(module, 0x0800))) {
            WriteLogLine("初期化成功\n");
            input.directInput8 = 1;
            DecreaseLogDepth();
            input.directInput = made;
            return true;
        }
        WriteLogLine("初期化に失敗。");
        directInput->Release();
        DecreaseLogDepth();
    } else {
        WriteLogLine("取得に失敗。");
    }
    return false;
}

// Every start: all maps empty, then pad 1's keys.
void SetDefaultPadKeyMaps() {
    InputState& input = InputDeviceState;
    for (auto& map : input.padKeyMaps) {
        for (auto& entry : map) {
            entry[0] = -1;
            entry[1] = -1;
            entry[2] = 0;
            entry[3] = 0;
        }
    }
    static const int kPadOneKeys[][2] = {
        {DIK_NUMPAD2, DIK_DOWN}, {DIK_NUMPAD4, DIK_LEFT}, {DIK_NUMPAD6, DIK_RIGHT}, {DIK_NUMPAD8, DIK_UP},
        {DIK_Z, -1},             {DIK_X, -1},             {DIK_C, -1},              {DIK_A, -1},
        {DIK_S, -1},             {DIK_D, -1},             {DIK_Q, -1},              {DIK_W, -1},
        {DIK_ESCAPE, -1},        {DIK_SPACE, -1},
    };
    int entry = 0;
    for (const auto& keys : kPadOneKeys) {
        input.padKeyMaps[0][entry][0] = keys[0];
        input.padKeyMaps[0][entry][1] = keys[1];
        entry++;
    }
}

void StartWithoutDirectInput() {
    InputState& input = InputDeviceState;
    IncreaseLogDepth();
    int answered = 0;
    for (UINT id = 0; id < MaxJoypads; id++) {
        JOYCAPSA caps;
        std::memset(&caps, 0, sizeof(caps));
        if (joyGetDevCapsA(id, &caps, sizeof(caps)) != JOYERR_NOERROR) break;
        input.pads[id].hasZAndR = (caps.wCaps & JOYCAPS_HASZ) && (caps.wCaps & JOYCAPS_HASR) ? 1 : 0;
        answered++;
    }
    WriteLogFormat("パッドの数は %d 個です\n", answered);
    DecreaseLogDepth();
    input.directInput = InputWithoutDirectInput;
    WriteLogLine("入力関連の初期化をしました\n");
    // Every joystick id is read later, whether it answered or not.
    input.padCount = MaxJoypads;
}

}  // namespace

int StartInputDevices() {
    InputState& input = InputDeviceState;
    if (input.directInput != nullptr || input.startInProgress) return 0;
    input.startInProgress = 1;

    const int noDirectInput = input.noDirectInput;
    std::memset(&input, 0, sizeof(input));
    input.noDirectInput = noDirectInput;
    input.startInProgress = 1;

    bool withDirectInput = false;
    if (!input.noDirectInput) {
        WriteLogLine("DirectInput関係初期化処理\n");
        IncreaseLogDepth();
        withDirectInput = GetDirectInput();
        if (!withDirectInput) {
            WriteLogLine("DirectInput を使用しません。\n");
            DecreaseLogDepth();
            input.noDirectInput = 1;
        }
    }

    if (withDirectInput) {
        BringWindowToTop(GetMainWindowHandle());
        ProcessWindowMessages();
        StartJoypads();
        SetUpMouse();
        input.keyboardRefreshTime = timeGetTime();
        if (SetUpKeyboard() != 0) return -1;
        DecreaseLogDepth();
        WriteLogLine("DirectInput 関連の初期化は正常に終了しました\n");
    } else {
        StartWithoutDirectInput();
    }

    SetDefaultPadKeyMaps();
    input.startInProgress = 0;
    return 0;
}

int EndInputDevices() {
    InputState& input = InputDeviceState;
    if (input.directInput == nullptr) return 0;
    if (input.directInput == InputWithoutDirectInput) {
        WriteLogLine("入力関連の終了処理... 完了\n");
        input.directInput = nullptr;
        return 0;
    }
    WriteLogLine("DirectInput 関連の終了処理... 完了\n");
    ReleaseJoypads();
    if (input.keyboardDevice != nullptr) {
        input.keyboardDevice->Unacquire();
        input.keyboardDevice->Release();
        input.keyboardDevice = nullptr;
        CloseHandle(input.keyboardEvent);
        input.keyboardEvent = nullptr;
    }
    if (input.mouseDevice != nullptr) {
        input.mouseDevice->Unacquire();
        input.mouseDevice->Release();
        input.mouseDevice = nullptr;
    }
    ReleaseInterface();
    return 0;
}

bool StartInputInsteadOfQuery(int& result) {
    if (IsInputStarted()) return false;
    result = IsCloseRequested() ? 0 : StartInputDevices();
    return true;
}
