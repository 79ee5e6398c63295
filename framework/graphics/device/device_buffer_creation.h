// Vertex and index buffers on the device, for the model code. The caller owns
// and releases what it gets.
#pragma once

#include "platform/d3d9/d3d9.h"

// Null without a device or when the device refuses.
IDirect3DVertexBuffer9* CreateDeviceVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
IDirect3DIndexBuffer9* CreateDeviceIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
