// Stand-in until the screen's start, present and restore are built.
// The graphics system's start and end over the device layer: the screen
// comes up on the hardware path when it can, else on the software path.
// Until the hardware draws exist, every draw still goes to the primary
// screen memory image, which is therefore made on both paths.
#include "framework/graphics/graphics_system.h"

#include "framework/base/framework_state.h"
#include "framework/graphics/device_state_cache.h"
#include "framework/graphics/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/graphic_handles.h"
#include "framework/graphics/light_table.h"
#include "framework/graphics/screen_mode.h"
#include "framework/graphics/shader_handles.h"
#include "framework/graphics/shader_pack.h"
#include "framework/graphics/vertex_batch.h"
#include "framework/softrender/blend_tables.h"
#include "framework/window/main_window_state.h"

int SoftwareRenderOnlyFlag = 0;
int GraphicsSystemUp = 0;
MEMIMG PrimaryScreenMemImg = {};

namespace {

int CreatePrimaryScreenMemImg(int width, int height, int colorBits) {
    return NewMemImg(&PrimaryScreenMemImg, width, height, colorBits == 16 ? 0 : 1);
}

// What a new device starts from: the vertex buffers' presets, and the
// address modes of every sampler and the filter, sent whatever the cache
// holds from an earlier device.
void SetUpDeviceStates() {
    PresetBatchBuffers();
    const DrawSettings& settings = CurrentDrawSettings;
    DeviceStates.forceSet = 1;
    for (int sampler = 0; sampler < kSamplerStageCount; ++sampler) {
        SetDeviceSamplerAddressU(sampler, settings.textureAddressU[sampler]);
        SetDeviceSamplerAddressV(sampler, settings.textureAddressV[sampler]);
    }
    SetDeviceSamplerFilter(settings.filterMode);
    DeviceStates.forceSet = 0;
}

}  // namespace

int SetUseHardwareAcceleration(int flag) {
    if (FrameworkInitialised) return -1;
    SoftwareRenderOnlyFlag = flag == 0 ? 1 : 0;
    return 0;
}

int InitGraphicsSystem() {
    if (GraphicsSystemUp) return 0;
    ScreenModeRequest& request = RequestedScreenMode;
    if (request.width == 0 || request.height == 0) {
        request.width = 640;
        request.height = 480;
    }
    if (request.colorBits == 0) request.colorBits = 16;
    // A 320 by 240 screen is drawn at 640 by 480 and shown doubled.
    if (!IsWindowModeOn() && request.width == 320 && request.height == 240) {
        SetScreen320x240Flag(1);
        request.width = 640;
        request.height = 480;
    }
    if (ChangeScreenModeDirect3D9() != 0) {
        TermGraphicsSystem();
        return -1;
    }
    GraphicsSystemUp = 1;
    if (HardwarePathFlag) SetUpDeviceStates();
    if (CreatePrimaryScreenMemImg(request.width, request.height, GetScreenColorBitDepth()) != 0) {
        TermGraphicsSystem();
        return -1;
    }
    ResetGraphicsSettings();
    BuildBlendTables();
    StartFontSystem();
    return 0;
}

int TermGraphicsSystem() {
    EndFontSystem();
    if (GraphicsSystemUp) {
        DeleteAllGraphicHandles(0);
        DeleteAllShaderHandles();
        RemoveAllLights();
        RemoveLight(DefaultLightHandle);
        DefaultLightHandle = -1;
    }
    TermGraphicsDevice();
    CloseShaderPack();
    if (IsMemImgValid(&PrimaryScreenMemImg)) FreeMemImg(&PrimaryScreenMemImg);
    if (!GraphicsSystemUp) return 0;
    ForgetDrawTarget();
    GraphicsSystemUp = 0;
    return 0;
}
