// The graphics system's start and end over the device layer: the screen
// comes up on the hardware path when it can, else on the software path,
// which draws into the primary screen memory image.
#include "framework/graphics/graphics_system.h"

#include <cstring>

#include "framework/base/framework_state.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/models/light_table.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/shaders/shader_handles.h"
#include "framework/graphics/shaders/shader_pack.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/softrender/blend_tables.h"
#include "framework/base/fatal_exit.h"
#include "framework/window/main_window_state.h"

int SoftwareRenderOnlyFlag = 0;
int GraphicsSystemUp = 0;
MEMIMG PrimaryScreenMemImg = {};
MEMIMG ScreenWorkMemImg = {};
MEMIMG ScreenWorkAlphaMemImg = {};

namespace {

constexpr size_t kInfoBlockSize = 380;

void FreeScreenImage(MEMIMG& image) {
    if (IsMemImgValid(&image)) FreeMemImg(&image);
}

}  // namespace

void SetUpNewDeviceStates() {
    PresetBatchBuffers();
    const DrawSettings& settings = CurrentDrawSettings;
    DeviceStateCache& cache = DeviceStates;
    cache.forceSet = 1;
    for (int sampler = 0; sampler < kSamplerStageCount; ++sampler) {
        SetDeviceSamplerAddressU(sampler, settings.textureAddressU[sampler]);
        SetDeviceSamplerAddressV(sampler, settings.textureAddressV[sampler]);
    }
    SetDeviceSamplerFilter(settings.filterMode);
    // A new device starts from its own defaults, not from what the cache
    // holds: every cached state goes out, the fog's too.
    ReapplyDeviceStates();
    cache.forceSet = 1;
    SetDeviceLightingEnable(cache.lightingEnable);
    SetDeviceFogEnable(cache.fogEnable);
    SetDeviceFogMode(cache.fogMode);
    SetDeviceFogColor(cache.fogColor);
    SetDeviceFogStartEnd(cache.fogStart, cache.fogEnd);
    SetDeviceFogDensity(cache.fogDensity);
    cache.forceSet = 0;
}

int SetUseHardwareAcceleration(int flag) {
    if (FrameworkInitialised) return -1;
    SoftwareRenderOnlyFlag = flag == 0 ? 1 : 0;
    return 0;
}

int GetUseHardwareAcceleration() { return SoftwareRenderOnlyFlag ? 0 : 1; }

int CreatePrimaryScreenMemImg() {
    int width = 0, height = 0;
    GetMainScreenSize(&width, &height);
    const int colorType = GetScreenColorBitDepth() == 16 ? 0 : 1;
    if (NewMemImg(&PrimaryScreenMemImg, width, height, colorType) != 0)
        FatalErrorExit("プライマリサーフェス用の MEMIMG の作成に失敗しました\n");
    if (NewMemImg(&ScreenWorkMemImg, width, height, colorType) != 0 ||
        SetUpMemImg(&ScreenWorkAlphaMemImg, width, height, -1, 0, colorType, 0, 1, 0, nullptr) != 0)
        FatalErrorExit("プライマリサーフェス用の MEMIMG の作成に失敗しました\n");
    SoftwareDrawTarget = &PrimaryScreenMemImg;
    ClearTargetScreen();
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
    if (HardwarePathFlag)
        SetUpNewDeviceStates();
    else
        CreatePrimaryScreenMemImg();
    ResetGraphicsSettings();
    BuildBlendTables();
    InitFontSystem();
    return 0;
}

int TermGraphicsSystem() {
    EndFontSystem();
    if (!GraphicsSystemUp) return 0;
    DeleteAllGraphicHandles(0);
    DeleteAllShaderHandles();
    TerminateMaskScreen();
    DeleteAllMasks();
    RemoveAllLights();
    RemoveLight(DefaultLightHandle);
    DefaultLightHandle = -1;
    ForgetDrawTarget();
    TermGraphicsDevice();
    FreeScreenImage(PrimaryScreenMemImg);
    FreeScreenImage(ScreenWorkMemImg);
    FreeScreenImage(ScreenWorkAlphaMemImg);
    CloseShaderPack();
    GraphicsSystemUp = 0;
    return 0;
}

void* ClearInfoBlock(void* block) {
    if (block != nullptr) std::memset(block, 0, kInfoBlockSize);
    return block;
}
