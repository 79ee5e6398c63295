// Clearing the draw target to the background colour on both paths.
#include "framework/graphics/device/device_state_cache.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/window/main_window_state.h"

namespace {

void BackgroundColour(int& red, int& green, int& blue) {
    const MainWindowSettings& settings = MainWindow.settings;
    red = settings.backgroundColorSet ? settings.backgroundRed : 0;
    green = settings.backgroundColorSet ? settings.backgroundGreen : 0;
    blue = settings.backgroundColorSet ? settings.backgroundBlue : 0;
}

uint32_t Channel(int value, int width, int shift) {
    return width == 0 ? 0u : (static_cast<uint32_t>(value) >> (8 - width)) << shift;
}

void ClearOnDevice() {
    Direct3DDeviceState& state = Direct3DDevice;
    FlushVertexBatch();
    EndDeviceScene();
    const GraphicRecord* record = GetGraphicRecord(CurrentDrawSettings.drawTarget);
    IDirect3DSurface9* surface = nullptr;
    int width = 0, height = 0;
    GetDrawTargetSize(&width, &height);
    if (record != nullptr && record->image != nullptr && record->image->pieceCount > 0)
        surface = static_cast<IDirect3DSurface9*>(record->image->pieces[0].surface);
    else
        surface = state.subBackBuffer != nullptr ? state.subBackBuffer : state.backBuffer;
    int red = 0, green = 0, blue = 0;
    BackgroundColour(red, green, blue);
    if (surface != nullptr) state.device->ColorFill(surface, nullptr, 0xFF000000u | static_cast<DWORD>(red) << 16 | static_cast<DWORD>(green) << 8 | static_cast<DWORD>(blue));
    if (state.zBuffer == nullptr) return;
    MakeViewportFromRect(0, 0, width, height);
    state.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    const RECT& area = CurrentDrawSettings.drawArea;
    MakeViewportFromRect(area.left, area.top, area.right, area.bottom);
}

}  // namespace

int ClearTargetScreen() {
    if (HardwarePathFlag) {
        if (Direct3DDevice.device != nullptr) ClearOnDevice();
        return 0;
    }
    MEMIMG* target = SoftwareDrawTarget;
    if (target == nullptr || !IsMemImgValid(target)) return 0;
    int red = 0, green = 0, blue = 0;
    BackgroundColour(red, green, blue);
    const PixelFormat& format = *target->base->format;
    const uint32_t colour = Channel(red, format.redWidth, format.redShift) |
                            Channel(green, format.greenWidth, format.greenShift) |
                            Channel(blue, format.blueWidth, format.blueShift) | format.alphaMask | format.spareMask;
    FillMemImgRect(target, nullptr, colour);
    return 0;
}
