// What draws, clears and the state setters refuse: draws outside a scene or
// without a vertex layout that fits the stride, indices outside the vertices
// named, clears of surfaces that are not there, states and stages the device
// does not have. A new render target brings its own viewport.
#include "platform/d3d9/device.h"
#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Held;

class DrawValidationTest : public d3d9test::Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        MakeDevice();
    }
    const platform::d3d9::DeviceState& State() { return platform::d3d9::Device::From(device)->State(); }
};

TEST_F(DrawValidationTest, DrawsNeedAnOpenSceneAndAVertexLayoutThatFitsTheStride) {
    const float vertices[3 * 7] = {};
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    // No FVF and no declaration yet.
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 28), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3D_OK);
    struct Case {
        const char* name;
        D3DPRIMITIVETYPE type;
        UINT count;
        const void* data;
        UINT stride;
        HRESULT expected;
    };
    const Case cases[] = {
        {"a triangle", D3DPT_TRIANGLELIST, 1, vertices, 28, D3D_OK},
        {"a wider stride", D3DPT_LINELIST, 1, vertices, 32, D3D_OK},
        {"a stride narrower than the FVF", D3DPT_TRIANGLELIST, 1, vertices, 24, D3DERR_INVALIDCALL},
        {"no primitives", D3DPT_TRIANGLELIST, 0, vertices, 28, D3DERR_INVALIDCALL},
        {"no such primitive type", static_cast<D3DPRIMITIVETYPE>(7), 1, vertices, 28, D3DERR_INVALIDCALL},
        {"no vertices", D3DPT_TRIANGLELIST, 1, nullptr, 28, D3DERR_INVALIDCALL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(device->DrawPrimitiveUP(c.type, c.count, c.data, c.stride), c.expected);
    }
    const WORD inside[3] = {0, 1, 2};
    const WORD outside[3] = {0, 1, 3};
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, inside, D3DFMT_INDEX16, vertices, 28), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, outside, D3DFMT_INDEX16, vertices, 28),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 1, 2, 1, inside, D3DFMT_INDEX16, vertices, 28),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, inside, D3DFMT_A8R8G8B8, vertices, 28),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 28), D3DERR_INVALIDCALL);

    // FVFs and declarations the device refuses.
    EXPECT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_NORMAL), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetFVF(D3DFVF_DIFFUSE), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetFVF(D3DFVF_XYZ | 0x900), D3DERR_INVALIDCALL);  // nine texture sets
    Held<IDirect3DVertexDeclaration9> declaration;
    const D3DVERTEXELEMENT9 twice[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                       {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                       D3DDECL_END()};
    const D3DVERTEXELEMENT9 offAlignment[] = {{0, 2, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    EXPECT_EQ(device->CreateVertexDeclaration(twice, &declaration), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexDeclaration(offAlignment, &declaration), D3DERR_INVALIDCALL);
    // A declaration's vertex must fit the stride as an FVF's does.
    const D3DVERTEXELEMENT9 model[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                       {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                       {0, 24, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                       D3DDECL_END()};
    ASSERT_EQ(device->CreateVertexDeclaration(model, &declaration), D3D_OK);
    ASSERT_EQ(device->SetVertexDeclaration(declaration), D3D_OK);
    EXPECT_EQ(State().fvf, 0u);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 2, vertices, 24), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 2, vertices, 28), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
}

TEST_F(DrawValidationTest, ClearsNeedTheSurfacesTheyClear) {
    const D3DRECT rect{0, 0, 10, 10};
    EXPECT_EQ(device->Clear(1, &rect, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, 0, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    Held<IDirect3DSurface9> depth;
    ASSERT_EQ(device->CreateDepthStencilSurface(1024, 512, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
              D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);  // D16 has no stencil
    // Only a depth surface can be the depth surface, and only a render target the target.
    Held<IDirect3DSurface9> plain;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &plain, nullptr), D3D_OK);
    EXPECT_EQ(device->SetDepthStencilSurface(plain), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(0, plain), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(DrawValidationTest, StateSettersTakeOnlyTheStatesStagesAndSamplersTheDeviceHas) {
    EXPECT_EQ(device->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER), D3D_OK);
    EXPECT_EQ(State().renderStates[D3DRS_ZFUNC], static_cast<DWORD>(D3DCMP_GREATER));
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(8), 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(7, D3DTSS_ALPHAOP, D3DTOP_DISABLE), D3D_OK);
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_ALPHAOP, D3DTOP_DISABLE), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(7), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetSamplerState(15, D3DSAMP_MAXANISOTROPY, 4), D3D_OK);
    EXPECT_EQ(device->SetSamplerState(16, D3DSAMP_MAXANISOTROPY, 4), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTexture(16, nullptr), D3DERR_INVALIDCALL);
    Held<IDirect3DTexture9> system;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &system, nullptr), D3D_OK);
    EXPECT_EQ(device->SetTexture(0, system), D3DERR_INVALIDCALL);
    D3DMATRIX matrix{};
    EXPECT_EQ(device->SetTransform(D3DTS_TEXTURE7, &matrix), D3D_OK);
    EXPECT_EQ(device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(24), &matrix), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
    D3DLIGHT9 light{};
    EXPECT_EQ(device->SetLight(0, &light), D3DERR_INVALIDCALL);  // no light type
    // A light switched on before it is set is the default white light.
    EXPECT_EQ(device->LightEnable(300, TRUE), D3D_OK);
    EXPECT_EQ(State().lights.at(300).light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_TRUE(State().lights.at(300).enabled);
}

TEST_F(DrawValidationTest, AViewportMustLieInTheTargetAndANewTargetBringsItsOwn) {
    const D3DVIEWPORT9 whole{0, 0, 640, 480, 0.0f, 1.0f};
    const D3DVIEWPORT9 beyond{1, 0, 640, 480, 0.0f, 1.0f};
    const D3DVIEWPORT9 depthBeyond{0, 0, 10, 10, 0.0f, 2.0f};
    EXPECT_EQ(device->SetViewport(&whole), D3D_OK);
    EXPECT_EQ(device->SetViewport(&beyond), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetViewport(&depthBeyond), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetViewport(nullptr), D3DERR_INVALIDCALL);
    const RECT scissor{10, 10, 20, 20};
    ASSERT_EQ(device->SetScissorRect(&scissor), D3D_OK);

    Held<IDirect3DTexture9> texture;
    ASSERT_EQ(device->CreateTexture(128, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                    nullptr),
              D3D_OK);
    Held<IDirect3DSurface9> level;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    EXPECT_EQ(State().viewport.Width, 128u);
    EXPECT_EQ(State().viewport.Height, 64u);
    EXPECT_EQ(State().scissor.right, 128);
    EXPECT_EQ(device->SetViewport(&whole), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(1, level), D3DERR_INVALIDCALL);
}

}  // namespace
