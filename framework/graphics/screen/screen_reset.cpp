// Rebuilding the device after it was lost: every device object is released,
// the device made anew with the current mode, the textures made again and
// filled by the restore routine, and every cached state sent again with
// force so that the next frame draws as the last one did.
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/textures/graphic_textures.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/models/light_table.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/models/model_system.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/input/input_devices.h"
#include "framework/window/main_window_state.h"

namespace {

void DefaultGraphicsRestore() { RestoreGraphics(); }

GraphicsRestoreRoutine RestoreRoutine = nullptr;

void RebuildDeviceObjects() {
    DrawSettings& settings = CurrentDrawSettings;
    RecreateAllGraphicTextures();
    RestoreMaskScreen();
    const MATRIX view = settings.viewMatrix;
    const MATRIX projection = settings.projectionMatrix;
    const MATRIX postProjection = settings.postProjectionMatrix;
    const MATRIX world = settings.worldMatrix;

    DeviceStateCache& cache = DeviceStates;
    cache.forceSet = 1;
    SelectDrawTarget(settings.drawTarget);
    SetUpNewDeviceStates();
    cache.forceSet = 0;
    ReapplyDeviceStates();
    MarkLightsForResend();
    // Both buffers of the swap chain start cleared.
    for (int i = 0; i < 2; ++i) {
        ClearTargetScreen();
        PresentBackBuffer();
    }
    RunGraphicsRestore();
    ReapplyDeviceStates();
    BuildAllModelBuffers();
    MarkLightsForResend();
    SetWorldMatrix(&world);
    SetViewMatrix(&view);
    SetProjectionMatrix(&projection);
    SetPostProjectionMatrix(&postProjection);
}

}  // namespace

int ResetScreen() {
    // While the main window is being made, the device and everything on it
    // stay as they are; once the window stands, a reset rebuilds them.
    const bool held = MainWindow.creatingFlag != 0;
    if (!held) {
        if (HardwarePathFlag) {
            ReleaseMaskScreenBuffers();
            ReleaseAllGraphicTextures();
        }
        TermGraphicsDevice();
    }
    EndInputDevices();
    if (held) return 0;
    if (ChangeScreenModeDirect3D9() != 0) return 0;
    if (HardwarePathFlag) RebuildDeviceObjects();
    return 0;
}

int ReapplyScreenMode() {
    if (!GraphicsSystemUp) return 0;
    return ResetScreen();
}

int RunGraphicsRestore() {
    if (RestoreRoutine != nullptr) RestoreRoutine();
    ReloadModelTextures();
    RestoreFontHandles();
    return 0;
}

int SetGraphicsRestoreCallback(GraphicsRestoreRoutine routine) {
    RestoreRoutine = routine != nullptr ? routine : DefaultGraphicsRestore;
    return 0;
}

int IsGraphicsRestoreCallbackSet() { return RestoreRoutine != nullptr ? 1 : 0; }
