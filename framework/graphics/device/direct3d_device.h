// The Direct3D 9 device layer: "d3d9.dll" loaded at run time, the DirectDraw
// object (kept for the vertical-blank wait), the Direct3D object and its
// device, the formats chosen for the screen, the Z buffer and the textures,
// the Z buffer and sub back buffer, scenes, and the fall-back to the software
// path when the hardware path is refused or fails. A lost device is never
// reset in place: the whole layer is taken down and brought up again.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/ddraw.h"
#include "platform/win_types.h"

// Texture format indexes: one per pixel layout a graphic's textures can have.
enum TextureFormatIndex {
    kTextureFormat16 = 0,
    kTextureFormat32 = 1,
    kTextureFormatAlpha16 = 2,
    kTextureFormatAlpha32 = 3,
    kTextureFormatAlphaTest16 = 4,
    kTextureFormatAlphaTest32 = 5,
    kTextureFormatDxt1 = 6,  // to kTextureFormatDxt1 + 4 for the five kinds
    kTextureFormatDrawTarget16 = 11,
    kTextureFormatDrawTarget32 = 12,
    kTextureFormatDrawTargetAlpha = 13,
    kTextureFormatCount = 14,
};

struct Direct3DDeviceState {
    HMODULE d3d9Module;
    IDirectDraw7* directDraw;
    IDirect3D9* direct3d;
    // Null while the hardware path is off; every hardware operation tests it.
    IDirect3DDevice9* device;
    IDirect3DSwapChain9* swapChain;
    IDirect3DSurface9* backBuffer;
    IDirect3DSurface9* subBackBuffer;  // made on demand
    IDirect3DSurface9* zBuffer;
    int zBufferWidth;  // powers of two, not below the screen's size
    int zBufferHeight;
    D3DFORMAT screenFormat;  // the back buffer's, as the device reports it
    D3DFORMAT zFormat;
    // One Direct3D format per texture format index; D3DFMT_UNKNOWN where the
    // device offers none.
    D3DFORMAT textureFormats[kTextureFormatCount];
    D3DFORMAT screenDrawTargetFormat;  // for the screen's colour depth
    D3DFORMAT screenAlphaTestFormat;
    D3DCAPS9 caps;
    // The adapter offers vertex and pixel shader model 2.0 and the device
    // processes vertices in hardware.
    int shader2Capable;
    int vertexShadersUsable;
    int pixelShadersUsable;
    int blendOperationCapable;
    int maxTextureSize;
    int inScene;
};
extern Direct3DDeviceState Direct3DDevice;

// 1 while drawing goes through the Direct3D 9 device (the hardware path).
extern int HardwarePathFlag;
// Above 0 the DirectDraw object keeps the FPU's settings; nonzero the device
// does too. Nothing changes it from 0.
extern int FpuPreserveSetting;

// The screen comes up on the hardware path when it can, else on the software
// path (in full screen with the display switched to the screen's mode). -1
// when neither can be had.
int ChangeScreenModeDirect3D9();
// Each (re)creates its object; 0, or -1 with a log line.
int CreateDirectDrawObject();
int CreateDirect3D9Object();
int CreateDirect3D9Device();
int CreateDepthBuffer();
// -1 without a device.
int CreateSubBackBuffer();
// Vertex and index buffers for the model code; the caller owns and releases
// what it gets. Null without a device or when the device refuses.
IDirect3DVertexBuffer9* CreateDeviceVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
IDirect3DIndexBuffer9* CreateDeviceIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
// Unless the sub back buffer exists already: draws what is queued, ends the
// scene, makes the sub back buffer, copies the back buffer into it and makes
// it the render target. 0, or -1 when it cannot be made.
int SwitchToSubBackBuffer();
// Releases everything of this layer; safe on a layer already down. Returns 0.
int TermGraphicsDevice();

// Releases a device object held by the layer, if any, and forgets it.
template <class Object>
void ReleaseObject(Object*& object) {
    if (object == nullptr) return;
    object->Release();
    object = nullptr;
}

void BeginDeviceScene();
void EndDeviceScene();

// 1 while the hardware path is on.
int IsDirect3DPathInUse();
// Presents the back buffer (Present with no rectangles, window or region);
// 0, or -1 without a device or when the present failed.
int PresentDeviceBackBuffer();
// Ends the scene and sets the device's dialog-box mode; 0, also without a
// device.
int SetDeviceDialogBoxMode(int on);
// On the hardware path: dialog-box mode off, then on when asked. Returns 0.
int ToggleDeviceDialogBoxMode(int on);
