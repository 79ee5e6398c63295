// Reference counts: what the device holds (a bound texture, the render
// target, the depth surface, the swap chain, shaders and declarations)
// stays alive after the program lets go of it, so its address cannot be
// reused while a state cache still compares it; a level or back buffer
// surface counts its container's references; letting the device go lets go
// of everything bound to it.
#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using ReferenceCountsTest = d3d9test::Direct3DTest;

// The count after one more AddRef, taken back at once.
ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

TEST_F(ReferenceCountsTest, ObjectsBoundToTheDeviceLiveUntilTheDeviceLetsGoOfThem) {
    MakeDevice();
    IDirect3DTexture9* texture = nullptr;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateRenderTarget(64, 64, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &target, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateDepthStencilSurface(64, 64, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
              D3D_OK);
    EXPECT_EQ(CountOf(texture), 1u);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->SetTexture(3, texture), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
    EXPECT_EQ(CountOf(texture), 3u);

    // The program lets go; the device's references keep each object whole.
    EXPECT_EQ(texture->Release(), 2u);
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(depth->Release(), 1u);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(target->LockRect(&locked, nullptr, 0), D3D_OK);
    ASSERT_EQ(target->UnlockRect(), D3D_OK);

    // Binding the same object again takes no second reference; unbinding
    // lets it go.
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    EXPECT_EQ(CountOf(texture), 1u);
    ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
    EXPECT_EQ(CountOf(target), 1u);
    // Releasing the device releases the last references (the sanitizer run
    // sees anything left).
    device->Release();
    device = nullptr;
}

TEST_F(ReferenceCountsTest, LevelAndBackBufferSurfacesShareTheirContainersCount) {
    MakeDevice();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 0, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    IDirect3DSurface9* same = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(1, &level), D3D_OK);
    ASSERT_EQ(texture->GetSurfaceLevel(1, &same), D3D_OK);
    EXPECT_EQ(level, same);
    EXPECT_EQ(CountOf(texture), 3u);
    same->Release();
    // The program keeps only the level: the texture lives on behind it, and
    // the level can be a render target.
    EXPECT_EQ(texture->Release(), 1u);
    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    EXPECT_EQ(level->Release(), 1u);
    D3DSURFACE_DESC description{};
    ASSERT_EQ(level->GetDesc(&description), D3D_OK);
    EXPECT_EQ(description.Width, 8u);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);  // lets the texture go
    backBuffer->Release();

    // The swap chain outlives the device while the program holds it.
    IDirect3DSwapChain9* swapChain = nullptr;
    ASSERT_EQ(device->GetSwapChain(0, &swapChain), D3D_OK);
    device->Release();
    device = nullptr;
    ASSERT_EQ(swapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    ASSERT_EQ(backBuffer->GetDesc(&description), D3D_OK);
    EXPECT_EQ(description.Width, 640u);
    EXPECT_EQ(swapChain->Release(), 1u);
    EXPECT_EQ(backBuffer->Release(), 0u);
}

TEST_F(ReferenceCountsTest, ShadersAndDeclarationsInUseAreHeldAndAnotherDevicesObjectsAreRefused) {
    MakeDevice();
    const DWORD code[] = {D3DPS_VERSION(2, 0), 0x02000001, 0x800F0800, 0xA0E40000, 0x0000FFFF};
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(device->CreatePixelShader(code, &shader), D3D_OK);
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(elements, &declaration), D3D_OK);
    ASSERT_EQ(device->SetPixelShader(shader), D3D_OK);
    ASSERT_EQ(device->SetVertexDeclaration(declaration), D3D_OK);
    EXPECT_EQ(shader->Release(), 1u);
    EXPECT_EQ(declaration->Release(), 1u);
    // An FVF takes the declaration's place and lets it go.
    declaration->AddRef();
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    EXPECT_EQ(declaration->Release(), 0u);

    IDirect3DDevice9* other = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_MIXED_VERTEXPROCESSING,
                                &parameters, &other),
              D3D_OK);
    IDirect3DTexture9* foreign = nullptr;
    IDirect3DSurface9* foreignTarget = nullptr;
    ASSERT_EQ(other->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &foreign, nullptr), D3D_OK);
    ASSERT_EQ(other->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &foreignTarget), D3D_OK);
    other->Release();  // its objects outlive it
    EXPECT_EQ(device->SetTexture(0, foreign), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(0, foreignTarget), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShader(nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(foreign->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(foreign->UnlockRect(0), D3D_OK);
    EXPECT_EQ(foreign->Release(), 0u);
    EXPECT_EQ(foreignTarget->Release(), 0u);
}

}  // namespace
