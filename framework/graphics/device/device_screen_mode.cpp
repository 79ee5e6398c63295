// Bringing the screen up: the hardware path first, and when it is not wanted,
// refused or fails, the software path, which in full screen switches the
// display to the screen's mode itself.
#include "framework/base/log.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/shaders/shader_pack.h"
#include "framework/graphics/shaders/vertex_declarations.h"
#include "framework/window/main_window_state.h"
#include "framework/window/window_mode.h"
#include "platform/platform.h"

namespace {

bool BringUpHardwarePath() {
    if (CreateDirect3D9Object() != 0 || CreateDirect3D9Device() != 0 || CreateDepthBuffer() != 0) {
        Direct3DDeviceState& state = Direct3DDevice;
        ReleaseObject(state.zBuffer);
        ReleaseObject(state.device);
        ReleaseObject(state.direct3d);
        return false;
    }
    HardwarePathFlag = 1;
    SetupProgrammableShaders();
    if (ProgrammableShadersOn) CreateVertexDeclarations();
    return true;
}

int SwitchDisplayForSoftwarePath(int width, int height, int colorBits) {
    if (colorBits != 16 && colorBits != 32) return -1;
    WriteLogLine("画面解像度を変更します... ");
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    mode.dmBitsPerPel = static_cast<DWORD>(colorBits);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (RequestedScreenMode.refreshRate != 0) {
        mode.dmFields |= DM_DISPLAYFREQUENCY;
        mode.dmDisplayFrequency = static_cast<DWORD>(RequestedScreenMode.refreshRate);
    }
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
        // The display may have the size without that refresh rate.
        mode.dmFields &= ~DM_DISPLAYFREQUENCY;
        mode.dmDisplayFrequency = 0;
        RequestedScreenMode.refreshRate = 0;
        if (ChangeDisplaySettingsA(&mode, 0) != DISP_CHANGE_SUCCESSFUL) {
            // A display without 320 by 240 shows the screen doubled at 640 by 480.
            if (width != 320 || height != 240) {
                WriteLogLine("画面モードの変更に失敗しました\n");
                return -1;
            }
            RequestedScreenMode.width = 640;
            RequestedScreenMode.height = 480;
            SetScreen320x240Flag(1);
            mode.dmPelsWidth = 640;
            mode.dmPelsHeight = 480;
            if (ChangeDisplaySettingsA(&mode, 0) != DISP_CHANGE_SUCCESSFUL) {
                WriteLogLine("画面モードの変更に失敗しました\n");
                return -1;
            }
            UpdateWindowStyleForMode();
        }
    }
    WriteLogLine("成功しました\n");
    return 0;
}

int BringUpSoftwarePath() {
    if (IsWindowModeOn()) return 0;
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    const int colorBits = GetScreenColorBitDepth();
    WriteLogFormat("画面モードの変更処理を開始します %u x %u  %u bit ", static_cast<unsigned>(width),
                   static_cast<unsigned>(height), static_cast<unsigned>(colorBits));
    IncreaseLogDepth();
    const int result = SwitchDisplayForSoftwarePath(width, height, colorBits);
    DecreaseLogDepth();
    return result;
}

}  // namespace

int ChangeScreenModeDirect3D9() {
    Direct3DDeviceState& state = Direct3DDevice;
    state.d3d9Module = LoadLibraryA("d3d9.dll");
    if (state.d3d9Module == nullptr) {
        WriteLogLine("d3d9.dll の読み込みに失敗しました\n");
        return -1;
    }
    if (CreateDirectDrawObject() != 0) {
        FreeLibrary(state.d3d9Module);
        state.d3d9Module = nullptr;
        return -1;
    }
    HardwarePathFlag = 0;
    if (!SoftwareRenderOnlyFlag && BringUpHardwarePath()) return 0;
    return BringUpSoftwarePath();
}
