// Vertex and index buffers made on the device with no shared handle.
#include "framework/graphics/device/device_buffer_creation.h"

#include "framework/graphics/device/direct3d_device.h"

IDirect3DVertexBuffer9* CreateDeviceVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool) {
    if (Direct3DDevice.device == nullptr) return nullptr;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (FAILED(Direct3DDevice.device->CreateVertexBuffer(length, usage, fvf, pool, &buffer, nullptr))) return nullptr;
    return buffer;
}

IDirect3DIndexBuffer9* CreateDeviceIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    if (Direct3DDevice.device == nullptr) return nullptr;
    IDirect3DIndexBuffer9* buffer = nullptr;
    if (FAILED(Direct3DDevice.device->CreateIndexBuffer(length, usage, format, pool, &buffer, nullptr))) return nullptr;
    return buffer;
}
