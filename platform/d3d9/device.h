// The device: the calls of IDirect3DDevice9, checked as Direct3D checks
// them, over the state it keeps (platform/d3d9/device_state.h), with the
// pixels left to its renderer. Its members are spread over files by what
// they do: device.cpp (scenes, presenting, loss, the swap chain),
// device_resources.cpp (the makers), device_states.cpp (the setters),
// device_drawing.cpp (clears and draws) and device_copies.cpp (copies
// between surfaces). Private to platform/d3d9.
#pragma once

#include <memory>
#include <span>

#include "platform/d3d9/call_arguments.h"
#include "platform/d3d9/device_core.h"
#include "platform/d3d9/device_state.h"
#include "platform/d3d9/interface_ids.h"
#include "platform/d3d9/swap_chain.h"

namespace platform::d3d9 {

class Device final : public com::Object<Device, IDirect3DDevice9> {
public:
    // Takes the swap chain's reference and that of the automatic depth
    // surface (or null), which becomes the depth surface in use.
    Device(std::shared_ptr<DeviceCore> core, SwapChain* swapChain, Surface* autoDepthStencil);

    HRESULT WINAPI TestCooperativeLevel() override;
    HRESULT WINAPI GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT WINAPI GetSwapChain(UINT swapChain, IDirect3DSwapChain9** chain) override;
    HRESULT WINAPI GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                 IDirect3DSurface9** surface) override;
    HRESULT WINAPI Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                           const void* dirtyRegion) override;
    HRESULT WINAPI SetDialogBoxMode(BOOL enable) override;

    HRESULT WINAPI CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                 IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                      IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      DWORD multiSampleQuality, BOOL lockable, IDirect3DSurface9** surface,
                                      HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                             D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                             BOOL discard, IDirect3DSurface9** surface,
                                             HANDLE* sharedHandle) override;
    HRESULT WINAPI CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                               IDirect3DSurface9** surface, HANDLE* sharedHandle) override;

    HRESULT WINAPI UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* destination,
                                 const POINT* destPoint) override;
    HRESULT WINAPI GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) override;
    HRESULT WINAPI StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* destination,
                               const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override;
    HRESULT WINAPI ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) override;

    HRESULT WINAPI SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT WINAPI SetDepthStencilSurface(IDirect3DSurface9* surface) override;

    HRESULT WINAPI BeginScene() override;
    HRESULT WINAPI EndScene() override;
    HRESULT WINAPI Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                         DWORD stencil) override;

    HRESULT WINAPI SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT WINAPI SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT WINAPI SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT WINAPI SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT WINAPI LightEnable(DWORD index, BOOL enable) override;
    HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT WINAPI SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT WINAPI SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT WINAPI SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT WINAPI SetScissorRect(const RECT* rect) override;

    HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                   UINT stride) override;
    HRESULT WINAPI DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT vertexCount,
                                          UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                          const void* vertices, UINT stride) override;

    HRESULT WINAPI CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                           IDirect3DVertexDeclaration9** declaration) override;
    HRESULT WINAPI SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT WINAPI SetFVF(DWORD fvf) override;

    HRESULT WINAPI CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override;
    HRESULT WINAPI SetVertexShader(IDirect3DVertexShader9* shader) override;
    HRESULT WINAPI SetVertexShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) override;
    HRESULT WINAPI SetVertexShaderConstantB(UINT startRegister, const BOOL* data, UINT boolCount) override;
    HRESULT WINAPI CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;
    HRESULT WINAPI SetPixelShader(IDirect3DPixelShader9* shader) override;
    HRESULT WINAPI SetPixelShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) override;

    const DeviceState& State() const { return state_; }
    const std::shared_ptr<DeviceCore>& Core() const { return core_; }

    // Ours or null.
    static Device* From(IDirect3DDevice9* device) { return dynamic_cast<Device*>(device); }

private:
    ~Device() override;

    // Tells the renderer of the call and returns its result.
    HRESULT Done(HRESULT result, const char* name, const CallArguments& arguments,
                 std::span<const BYTE> vertices = {}, std::span<const BYTE> indices = {});

    // A surface of this device, or null.
    Surface* OwnSurface(IDirect3DSurface9* surface) const;

    // Puts `object` in a state slot, holding a reference to it instead of
    // the one before.
    template <class Bound>
    static void Bind(Bound*& slot, Bound* object) {
        if (object != nullptr) object->AddRef();
        if (slot != nullptr) slot->Release();
        slot = object;
    }

    std::shared_ptr<DeviceCore> core_;
    SwapChain* swapChain_;
    DeviceState state_;
};

}  // namespace platform::d3d9
