// The viewport, scissor rectangle and render target, and the dialog-box
// mode: none of them may change inside a scene.
#include "framework/base/log.h"
#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draws/vertex_batch.h"

int SetDeviceViewport(const D3DVIEWPORT9* viewport) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr || viewport == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (viewport->X == cache.viewport.X && viewport->Y == cache.viewport.Y &&
        viewport->Width == cache.viewport.Width && viewport->Height == cache.viewport.Height && !cache.forceSet)
        return 0;
    FlushVertexBatch();
    EndDeviceScene();
    const HRESULT result = device->SetViewport(viewport);
    if (result != D3D_OK) {
        WriteLogFormat("ビューポートのセットに失敗しました ErrorCode %x\n", static_cast<unsigned>(result));
        return -1;
    }
    cache.viewport = *viewport;
    return 0;
}

void MakeViewportFromRect(int left, int top, int right, int bottom) {
    const D3DVIEWPORT9 viewport = {static_cast<DWORD>(left), static_cast<DWORD>(top),
                                   static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), 0.0f, 1.0f};
    SetDeviceViewport(&viewport);
}

int SetDeviceScissorRect(const RECT* rect) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr || rect == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (rect->left == cache.scissor.left && rect->top == cache.scissor.top && rect->right == cache.scissor.right &&
        rect->bottom == cache.scissor.bottom && !cache.forceSet)
        return 0;
    FlushVertexBatch();
    EndDeviceScene();
    device->SetScissorRect(rect);
    cache.scissor = *rect;
    return 0;
}

int SetDeviceRenderTarget(IDirect3DSurface9* surface) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr || surface == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (surface == cache.renderTarget && !cache.forceSet) return 0;
    FlushVertexBatch();
    device->SetRenderTarget(0, surface);
    cache.renderTarget = surface;
    D3DSURFACE_DESC description{};
    surface->GetDesc(&description);
    const D3DVIEWPORT9 whole = {0, 0, description.Width, description.Height, 0.0f, 1.0f};
    SetDeviceViewport(&whole);
    return 0;
}

int SetDeviceDialogBoxMode(int on) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return 0;
    FlushVertexBatch();
    EndDeviceScene();
    device->SetDialogBoxMode(on != 0 ? TRUE : FALSE);
    return 0;
}
