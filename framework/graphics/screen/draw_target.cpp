// Selecting the draw target on both paths and setting the camera up for it.
#include "framework/graphics/screen/draw_target.h"

#include "framework/graphics/models/camera_projection.h"
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/models/matrix_math.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/window/main_window.h"
#include "framework/window/main_window_state.h"

MEMIMG* SoftwareDrawTarget = nullptr;

namespace {

constexpr int kBackBuffer = -2;
constexpr int kFrontScreen = -4;
// tan(30 degrees): at this distance a 60-degree field of view spans the
// target's height.
constexpr float kTanHalfFov = 0.57735026f;
constexpr float kFieldOfView = 1.0471976f;

bool IsScreenCode(int target) { return target == -2 || target == -3 || target == -4 || target == -5; }

void SetRenderTargetOnDevice(const GraphicRecord* record) {
    Direct3DDeviceState& state = Direct3DDevice;
    if (state.device == nullptr) return;
    FlushVertexBatch();
    EndDeviceScene();
    SetCurrentDrawTexture(nullptr);
    IDirect3DSurface9* surface = nullptr;
    if (record != nullptr && record->image->pieceCount > 0)
        surface = static_cast<IDirect3DSurface9*>(record->image->pieces[0].surface);
    else
        surface = state.subBackBuffer != nullptr ? state.subBackBuffer : state.backBuffer;
    SetDeviceRenderTarget(surface);
}

// One unit is one pixel on the plane z = 0, x to the right and y up from the
// target's bottom-left corner.
void SetUpCamera(int width, int height) {
    DrawSettings& settings = CurrentDrawSettings;
    MATRIX identity;
    MatrixIdentity(&identity);
    SetWorldMatrix(&identity);
    MATRIX viewport;
    MatrixViewport(&viewport, static_cast<float>(width) * 0.5f, static_cast<float>(height) * 0.5f,
                   static_cast<float>(width), static_cast<float>(height));
    SetPostProjectionMatrix(&viewport);
    const RECT& area = settings.drawArea;
    MATRIX areaViewport;
    MatrixViewport(&areaViewport, static_cast<float>(area.left + area.right) * 0.5f,
                   static_cast<float>(area.top + area.bottom) * 0.5f, static_cast<float>(area.right - area.left),
                   static_cast<float>(area.bottom - area.top));
    if (area.right > area.left && area.bottom > area.top) MatrixInvert(&settings.drawAreaMatrix, &areaViewport);

    const float distance = static_cast<float>(height / 2) / kTanHalfFov;
    const float centreX = static_cast<float>(width / 2);
    const float centreY = static_cast<float>(height / 2);
    const VECTOR eye = {centreX, centreY, -distance};
    const VECTOR at = {centreX, centreY, -distance + 1.0f};
    const VECTOR up = {0.0f, 1.0f, 0.0f};
    MATRIX view;
    MatrixLookAt(&view, &eye, &at, &up);
    SetViewMatrix(&view);
    SetCameraFov(kFieldOfView);
    SetCameraDepthRange(distance * 0.1f, distance + 20000.0f);
}

}  // namespace

int GetDrawTarget() { return CurrentDrawSettings.drawTarget; }

int SelectDrawTarget(int target) {
    if (!GraphicsSystemUp) return -1;
    WaitWhileInactive();
    const GraphicRecord* record = IsScreenCode(target) ? nullptr : GetGraphicRecord(target);
    if (record != nullptr && (record->image == nullptr || !record->image->renderTarget)) return -1;
    const int maskSetting = MaskScreenUseFlag;
    SetMaskScreenUse(0);
    if (!IsScreenCode(target) && record == nullptr) {
        SetMaskScreenUse(maskSetting);
        return -1;
    }

    int oldWidth = 0, oldHeight = 0;
    const bool hadSize = GetDrawTargetSize(&oldWidth, &oldHeight) == 0;
    if (HardwarePathFlag) {
        SetRenderTargetOnDevice(record);
    } else {
        MEMIMG* mask = GetMaskScreenMemImg();
        if (MaskScreenEffectiveFlag && mask != nullptr)
            SoftwareDrawTarget = mask;
        else
            SoftwareDrawTarget = record != nullptr ? const_cast<MEMIMG*>(&record->memImg) : &PrimaryScreenMemImg;
    }

    const int previous = CurrentDrawSettings.drawTarget;
    CurrentDrawSettings.drawTarget = target;
    HWND window = MainWindow.windowHandle;
    if (target == kFrontScreen && window != nullptr)
        SetTimer(window, FrontScreenPresentTimerId, FrontScreenPresentMilliseconds, FrontScreenTimerProc);
    else if (previous == kFrontScreen && window != nullptr)
        KillTimer(window, FrontScreenPresentTimerId);

    int width = 0, height = 0;
    GetDrawTargetSize(&width, &height);
    if (!hadSize || width != oldWidth || height != oldHeight)
        SetDrawAreaRect(0, 0, width, height);
    SetUpCamera(width, height);
    SetMaskScreenUse(maskSetting);
    return 0;
}

int GetDrawTargetSize(int* width, int* height) {
    const int target = CurrentDrawSettings.drawTarget;
    if (IsScreenCode(target)) return GetMainScreenSize(width, height);
    const GraphicRecord* record = GetGraphicRecord(target);
    if (record == nullptr) return -1;
    if (width != nullptr) *width = record->width;
    if (height != nullptr) *height = record->height;
    return 0;
}

int GetGraphicSize(int handle, int* width, int* height) {
    if (handle == kBackBuffer || handle == kFrontScreen) return GetMainScreenSize(width, height);
    const GraphicRecord* record = GetGraphicRecord(handle);
    if (record == nullptr) return -1;
    if (width != nullptr) *width = record->width;
    if (height != nullptr) *height = record->height;
    return 0;
}

void ReleaseGraphicDrawTarget(int handle) {
    if (CurrentDrawSettings.drawTarget != handle) return;
    if (SelectDrawTarget(kBackBuffer) == 0) return;
    CurrentDrawSettings.drawTarget = kBackBuffer;
    SoftwareDrawTarget = nullptr;
}

void ForgetDrawTarget() {
    if (CurrentDrawSettings.drawTarget == kFrontScreen && MainWindow.windowHandle != nullptr)
        KillTimer(MainWindow.windowHandle, FrontScreenPresentTimerId);
    CurrentDrawSettings.drawTarget = kBackBuffer;
    SoftwareDrawTarget = nullptr;
    SetDrawAreaRect(0, 0, 0, 0);
}
