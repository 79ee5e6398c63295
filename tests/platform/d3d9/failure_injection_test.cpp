// Each creating call fails with its own result while the machine profile
// injects its failure, and works again once the flag is cleared.
#include <functional>

#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using FailureInjectionTest = d3d9test::Direct3DTest;

TEST_F(FailureInjectionTest, EachCreatingCallReportsItsInjectedFailure) {
    MakeDevice();
    static const DWORD kPixelShader[] = {D3DPS_VERSION(2, 0), 0x02000001, 0x800F0800, 0xA0E40000, 0x0000FFFF};
    static const DWORD kVertexShader[] = {D3DVS_VERSION(1, 1), 0x00000001, 0xC00F0000, 0x90E40000, 0x0000FFFF};
    static const D3DVERTEXELEMENT9 kElements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    using Flag = bool platform::Direct3DFailures::*;
    struct Case {
        const char* name;
        Flag flag;
        HRESULT expected;
        std::function<HRESULT(IUnknown**)> make;
    };
    IDirect3DDevice9* d = device;
    const Case cases[] = {
        {"texture", &platform::Direct3DFailures::createTexture, D3DERR_OUTOFVIDEOMEMORY,
         [d](IUnknown** made) {
             return d->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     reinterpret_cast<IDirect3DTexture9**>(made), nullptr);
         }},
        {"render target", &platform::Direct3DFailures::createRenderTarget, D3DERR_OUTOFVIDEOMEMORY,
         [d](IUnknown** made) {
             return d->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                          reinterpret_cast<IDirect3DSurface9**>(made), nullptr);
         }},
        {"depth surface", &platform::Direct3DFailures::createDepthStencilSurface, D3DERR_OUTOFVIDEOMEMORY,
         [d](IUnknown** made) {
             return d->CreateDepthStencilSurface(8, 8, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                 reinterpret_cast<IDirect3DSurface9**>(made), nullptr);
         }},
        {"off-screen surface", &platform::Direct3DFailures::createOffscreenPlainSurface, D3DERR_OUTOFVIDEOMEMORY,
         [d](IUnknown** made) {
             return d->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                   reinterpret_cast<IDirect3DSurface9**>(made), nullptr);
         }},
        {"vertex buffer", &platform::Direct3DFailures::createVertexBuffer, D3DERR_OUTOFVIDEOMEMORY,
         [d](IUnknown** made) {
             return d->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, reinterpret_cast<IDirect3DVertexBuffer9**>(made),
                                          nullptr);
         }},
        {"index buffer", &platform::Direct3DFailures::createIndexBuffer, D3DERR_OUTOFVIDEOMEMORY,
         [d](IUnknown** made) {
             return d->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                         reinterpret_cast<IDirect3DIndexBuffer9**>(made), nullptr);
         }},
        {"vertex declaration", &platform::Direct3DFailures::createVertexDeclaration, E_OUTOFMEMORY,
         [d](IUnknown** made) {
             return d->CreateVertexDeclaration(kElements, reinterpret_cast<IDirect3DVertexDeclaration9**>(made));
         }},
        {"vertex shader", &platform::Direct3DFailures::createVertexShader, E_OUTOFMEMORY,
         [d](IUnknown** made) {
             return d->CreateVertexShader(kVertexShader, reinterpret_cast<IDirect3DVertexShader9**>(made));
         }},
        {"pixel shader", &platform::Direct3DFailures::createPixelShader, E_OUTOFMEMORY,
         [d](IUnknown** made) {
             return d->CreatePixelShader(kPixelShader, reinterpret_cast<IDirect3DPixelShader9**>(made));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IUnknown* made = nullptr;
        platform::Profile().failures.direct3d.*c.flag = true;
        EXPECT_EQ(c.make(&made), c.expected);
        EXPECT_EQ(made, nullptr);
        platform::Profile().failures.direct3d.*c.flag = false;
        ASSERT_EQ(c.make(&made), D3D_OK);
        ASSERT_NE(made, nullptr);
        made->Release();
    }
}

TEST_F(FailureInjectionTest, AnInjectedDeviceFailureIsNotAvailable) {
    platform::Profile().failures.direct3d.createDevice = true;
    EXPECT_EQ(MakeDevice(WindowedParameters()), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    platform::Profile().failures.direct3d.createDevice = false;
    EXPECT_EQ(MakeDevice(WindowedParameters()), D3D_OK);
}

}  // namespace
