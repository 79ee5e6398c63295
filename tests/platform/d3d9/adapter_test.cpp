// The adapter object: how programs reach it, the display modes and the
// current mode it reports, its identifier, caps and format checks, all as the
// machine profile describes them.
#include <cstring>

#include "platform/d3d9/d3d9.h"
#include "platform/kernel/kernel.h"
#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Direct3DTest;
using AdapterTest = Direct3DTest;

TEST_F(AdapterTest, Direct3DCreate9IsFoundByNameInD3d9AndGivesAnAdapterOnlyForItsVersion) {
    const HMODULE module = LoadLibraryA("d3d9.dll");
    ASSERT_NE(module, nullptr);
    const auto create = reinterpret_cast<LPDIRECT3DCREATE9>(reinterpret_cast<void (*)()>(GetProcAddress(module, "Direct3DCreate9")));
    ASSERT_NE(create, nullptr);
    IDirect3D9* made = create(D3D_SDK_VERSION);
    ASSERT_NE(made, nullptr);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(made->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    unknown->Release();
    EXPECT_EQ(made->Release(), 0u);
    EXPECT_EQ(create(31), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(AdapterTest, AMachineWithoutDirect3D9OrWhoseCreationFailsGivesNoAdapter) {
    platform::Profile().direct3d.direct3d9 = false;
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    platform::Profile().direct3d.direct3d9 = true;
    platform::Profile().failures.direct3d.createDirect3D = true;
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
}

TEST_F(AdapterTest, ModesAreTheDisplaysWithSixteenBitModesInTheProfilesLayout) {
    platform::Profile().display.displayModes = {
        {640, 480, 8, 60}, {640, 480, 16, 60}, {640, 480, 16, 75}, {800, 600, 32, 60}, {1280, 1024, 32, 60}};
    EXPECT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8), 2u);
    EXPECT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5), 2u);
    EXPECT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X1R5G5B5), 0u);
    EXPECT_EQ(d3d->GetAdapterModeCount(1, D3DFMT_X8R8G8B8), 0u);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5, 1, &mode), D3D_OK);
    EXPECT_EQ(mode.Width, 640u);
    EXPECT_EQ(mode.RefreshRate, 75u);
    EXPECT_EQ(mode.Format, D3DFMT_R5G6B5);
    EXPECT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5, 2, &mode), D3DERR_INVALIDCALL);

    platform::Profile().direct3d.sixteenBitDisplayFormat = D3DFMT_X1R5G5B5;
    EXPECT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5), 0u);
    EXPECT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X1R5G5B5), 2u);
}

TEST_F(AdapterTest, TheDisplayModeIsTheDesktopsInTheFormatOfItsDepth) {
    struct Case {
        int32_t bits;
        D3DFORMAT format;
    };
    for (const Case& c : {Case{32, D3DFMT_X8R8G8B8}, Case{16, D3DFMT_R5G6B5}, Case{24, D3DFMT_R8G8B8}}) {
        SCOPED_TRACE(c.bits);
        platform::Profile().display.desktopBitsPerPixel = c.bits;
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
        EXPECT_EQ(mode.Width, 1280u);
        EXPECT_EQ(mode.Height, 1024u);
        EXPECT_EQ(mode.Format, c.format);
    }
    EXPECT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(AdapterTest, CapsAndIdentifierComeFromTheProfile) {
    D3DCAPS9 caps{};
    ASSERT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.VertexShaderVersion, D3DVS_VERSION(2, 0));
    EXPECT_EQ(caps.PixelShaderVersion, D3DPS_VERSION(2, 0));
    EXPECT_EQ(caps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP, D3DPMISCCAPS_BLENDOP);
    EXPECT_EQ(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY, 0u);
    EXPECT_EQ(caps.MaxTextureWidth, 4096u);

    platform::Direct3DProfile& adapter = platform::Profile().direct3d;
    adapter.pixelShaderVersion = D3DPS_VERSION(1, 4);
    adapter.blendOperation = false;
    adapter.squareOnlyTextures = true;
    adapter.maxTextureWidth = 2048;
    adapter.maxTextureHeight = 1024;
    adapter.description = "Test Adapter";
    ASSERT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.PixelShaderVersion, D3DPS_VERSION(1, 4));
    EXPECT_EQ(caps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP, 0u);
    EXPECT_EQ(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY, D3DPTEXTURECAPS_SQUAREONLY);
    EXPECT_EQ(caps.MaxTextureWidth, 2048u);
    EXPECT_EQ(caps.MaxTextureHeight, 1024u);

    D3DADAPTER_IDENTIFIER9 identifier{};
    ASSERT_EQ(d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier), D3D_OK);
    EXPECT_STREQ(identifier.Description, "Test Adapter");
    EXPECT_STREQ(identifier.Driver, adapter.driver.c_str());

    // One adapter, and the reference device is not installed.
    EXPECT_EQ(d3d->GetDeviceCaps(1, D3DDEVTYPE_HAL, &caps), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
}

TEST_F(AdapterTest, FormatChecksFollowTheProfilesListsForEachUsage) {
    struct Case {
        DWORD usage;
        D3DRESOURCETYPE type;
        D3DFORMAT format;
        HRESULT expected;
    };
    const Case cases[] = {
        {0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, D3D_OK},
        {0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4, D3D_OK},
        {0, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3D_OK},
        {0, D3DRTYPE_TEXTURE, D3DFMT_DXT5, D3D_OK},
        // The premultiplied kinds have no counterpart in the renderer's compression.
        {0, D3DRTYPE_TEXTURE, D3DFMT_DXT2, D3DERR_NOTAVAILABLE},
        {0, D3DRTYPE_TEXTURE, D3DFMT_DXT4, D3DERR_NOTAVAILABLE},
        {0, D3DRTYPE_TEXTURE, D3DFMT_A8R3G3B2, D3DERR_NOTAVAILABLE},
        {0, D3DRTYPE_TEXTURE, D3DFMT_R8G8B8, D3DERR_NOTAVAILABLE},
        {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8, D3D_OK},
        {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5, D3D_OK},
        {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3DERR_NOTAVAILABLE},
        {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16, D3D_OK},
        {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D32, D3DERR_NOTAVAILABLE},
        {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_TEXTURE, D3DFMT_D16, D3DERR_NOTAVAILABLE},
        {0, D3DRTYPE_SURFACE, D3DFMT_YV12, D3DERR_NOTAVAILABLE},
        {0, D3DRTYPE_INDEXBUFFER, D3DFMT_INDEX16, D3D_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.usage << " " << c.type << " " << c.format);
        EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, c.usage, c.type,
                                         c.format),
                  c.expected);
    }
    // The adapter format must be one a display can have.
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, 0, D3DRTYPE_TEXTURE,
                                     D3DFMT_A8R8G8B8),
              D3DERR_INVALIDCALL);

    platform::Profile().direct3d.textureFormats = {D3DFMT_A8R8G8B8};
    platform::Profile().direct3d.plainSurfaceFormats = {D3DFMT_YV12};
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE,
                                     D3DFMT_DXT1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_SURFACE,
                                     D3DFMT_YV12),
              D3D_OK);
}

TEST_F(AdapterTest, DepthStencilMatchAcceptsTheProfilesDepthFormatsInItsOrder) {
    for (D3DFORMAT depth : {D3DFMT_D16, D3DFMT_D24X8}) {
        EXPECT_EQ(d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, depth),
                  D3D_OK);
    }
    EXPECT_EQ(d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8,
                                          D3DFMT_D32),
              D3DERR_NOTAVAILABLE);
    platform::Profile().direct3d.depthStencilFormats = {D3DFMT_D32};
    EXPECT_EQ(d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8,
                                          D3DFMT_D16),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8,
                                          D3DFMT_D32),
              D3D_OK);
}

}  // namespace
