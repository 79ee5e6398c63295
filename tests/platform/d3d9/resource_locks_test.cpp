// Textures, surfaces and buffers keep their bytes in memory in Direct3D's
// layout: level sizes halve down to 1, rows are 4-byte aligned (block rows
// for compressed formats), a lock hands out the resource's own bytes, and
// what cannot be locked, or is locked already, is refused.
#include <cstring>
#include <functional>

#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Held;

class ResourceLocksTest : public d3d9test::Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        // Every format the device can keep, so that each layout is seen.
        platform::Profile().direct3d.textureFormats = {
            D3DFMT_R8G8B8,      D3DFMT_A8R8G8B8,    D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5,
            D3DFMT_A1R5G5B5,    D3DFMT_A4R4G4B4,    D3DFMT_R3G3B2,   D3DFMT_A8R3G3B2, D3DFMT_X4R4G4B4,
            D3DFMT_A2B10G10R10, D3DFMT_A8B8G8R8,    D3DFMT_X8B8G8R8, D3DFMT_A2R10G10B10, D3DFMT_DXT1,
            D3DFMT_DXT2,        D3DFMT_DXT3,        D3DFMT_DXT4,     D3DFMT_DXT5};
        MakeDevice();
    }
};

struct Layout {
    D3DFORMAT format;
    UINT bytesPerPixel;  // 0 for compressed formats
    UINT blockBytes;
};

constexpr Layout kLayouts[] = {
    {D3DFMT_R8G8B8, 3, 0},      {D3DFMT_A8R8G8B8, 4, 0},    {D3DFMT_X8R8G8B8, 4, 0},    {D3DFMT_R5G6B5, 2, 0},
    {D3DFMT_X1R5G5B5, 2, 0},    {D3DFMT_A1R5G5B5, 2, 0},    {D3DFMT_A4R4G4B4, 2, 0},    {D3DFMT_R3G3B2, 1, 0},
    {D3DFMT_A8R3G3B2, 2, 0},    {D3DFMT_X4R4G4B4, 2, 0},    {D3DFMT_A2B10G10R10, 4, 0}, {D3DFMT_A8B8G8R8, 4, 0},
    {D3DFMT_X8B8G8R8, 4, 0},    {D3DFMT_A2R10G10B10, 4, 0}, {D3DFMT_DXT1, 0, 8},        {D3DFMT_DXT2, 0, 16},
    {D3DFMT_DXT3, 0, 16},       {D3DFMT_DXT4, 0, 16},       {D3DFMT_DXT5, 0, 16},
};

UINT ExpectedPitch(const Layout& layout, UINT width) {
    if (layout.blockBytes != 0) return (width < 4 ? 1 : (width + 3) / 4) * layout.blockBytes;
    return (width * layout.bytesPerPixel + 3) / 4 * 4;
}

UINT ExpectedRows(const Layout& layout, UINT height) {
    if (layout.blockBytes != 0) return height < 4 ? 1 : (height + 3) / 4;
    return height;
}

TEST_F(ResourceLocksTest, EveryFormatsLevelsHalveToOneAndLockIntoTheirOwnBytesAtDirect3DsPitch) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(testing::Message() << "format " << layout.format);
        Held<IDirect3DTexture9> texture;
        ASSERT_EQ(device->CreateTexture(64, 12, 0, 0, layout.format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        const UINT widths[] = {64, 32, 16, 8, 4, 2, 1};
        const UINT heights[] = {12, 6, 3, 1, 1, 1, 1};
        for (UINT level = 0; level < 7; ++level) {
            SCOPED_TRACE(testing::Message() << "level " << level);
            Held<IDirect3DSurface9> surface;
            ASSERT_EQ(texture->GetSurfaceLevel(level, &surface), D3D_OK);
            D3DSURFACE_DESC description{};
            ASSERT_EQ(surface->GetDesc(&description), D3D_OK);
            EXPECT_EQ(description.Width, widths[level]);
            EXPECT_EQ(description.Height, heights[level]);
            EXPECT_EQ(description.Format, layout.format);
            EXPECT_EQ(description.Pool, D3DPOOL_MANAGED);

            // Written through the texture, read back through the level's surface.
            const UINT pitch = ExpectedPitch(layout, widths[level]);
            const size_t size = size_t{pitch} * ExpectedRows(layout, heights[level]);
            D3DLOCKED_RECT locked{};
            ASSERT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
            EXPECT_EQ(locked.Pitch, static_cast<INT>(pitch));
            auto* bytes = static_cast<BYTE*>(locked.pBits);
            for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + level);
            D3DLOCKED_RECT again{};
            EXPECT_EQ(surface->LockRect(&again, nullptr, 0), D3DERR_INVALIDCALL);
            EXPECT_EQ(again.pBits, nullptr);
            ASSERT_EQ(texture->UnlockRect(level), D3D_OK);
            EXPECT_EQ(texture->UnlockRect(level), D3DERR_INVALIDCALL);
            ASSERT_EQ(surface->LockRect(&again, nullptr, D3DLOCK_READONLY), D3D_OK);
            EXPECT_EQ(again.pBits, locked.pBits);
            EXPECT_EQ(static_cast<BYTE*>(again.pBits)[size - 1], static_cast<BYTE>((size - 1) * 7 + level));
            ASSERT_EQ(surface->UnlockRect(), D3D_OK);
        }
        D3DLOCKED_RECT beyond{};
        EXPECT_EQ(texture->LockRect(7, &beyond, nullptr, 0), D3DERR_INVALIDCALL);
    }
}

TEST_F(ResourceLocksTest, ARectangleLocksAtItsFirstPixelOrBlockAndMustLieOnBlockEdges) {
    struct Case {
        D3DFORMAT format;
        RECT rect;
        HRESULT expected;
        size_t offset;  // from the level's first byte
    };
    // Level 0 is 16 by 8: pitch 64 for A8R8G8B8, 32 for DXT1 (rows of blocks),
    // 64 for DXT5.
    const Case cases[] = {
        {D3DFMT_A8R8G8B8, {3, 2, 10, 5}, D3D_OK, 2 * 64 + 3 * 4},
        {D3DFMT_A8R8G8B8, {0, 0, 16, 8}, D3D_OK, 0},
        {D3DFMT_A8R8G8B8, {0, 0, 17, 8}, D3DERR_INVALIDCALL, 0},
        {D3DFMT_A8R8G8B8, {4, 4, 4, 6}, D3DERR_INVALIDCALL, 0},
        {D3DFMT_A8R8G8B8, {-1, 0, 4, 4}, D3DERR_INVALIDCALL, 0},
        {D3DFMT_DXT1, {4, 4, 12, 8}, D3D_OK, 1 * 32 + 1 * 8},
        {D3DFMT_DXT1, {2, 0, 8, 4}, D3DERR_INVALIDCALL, 0},
        {D3DFMT_DXT1, {0, 0, 6, 4}, D3DERR_INVALIDCALL, 0},
        {D3DFMT_DXT5, {8, 4, 16, 8}, D3D_OK, 1 * 64 + 2 * 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << c.rect.left << "," << c.rect.top << "," << c.rect.right
                                        << "," << c.rect.bottom);
        Held<IDirect3DTexture9> texture;
        ASSERT_EQ(device->CreateTexture(16, 8, 0, 0, c.format, D3DPOOL_SYSTEMMEM, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT whole{};
        ASSERT_EQ(texture->LockRect(0, &whole, nullptr, D3DLOCK_READONLY), D3D_OK);
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, &c.rect, 0), c.expected);
        if (c.expected == D3D_OK) {
            EXPECT_EQ(static_cast<BYTE*>(locked.pBits), static_cast<BYTE*>(whole.pBits) + c.offset);
            EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
        } else {
            EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);  // a refused lock locks nothing
        }
    }
    // The last levels of a compressed texture are smaller than a block and
    // are locked whole, on the level's own edges.
    Held<IDirect3DTexture9> texture;
    ASSERT_EQ(device->CreateTexture(8, 8, 4, 0, D3DFMT_DXT3, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    const RECT twoByTwo{0, 0, 2, 2};
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(2, &locked, &twoByTwo, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    EXPECT_EQ(texture->LockRect(3, &locked, nullptr, 0xFFFF), D3DERR_INVALIDCALL);  // flags it does not know
}

TEST_F(ResourceLocksTest, VideoMemoryLocksOnlyWhereDirect3DAllowsIt) {
    const auto lockable = [](IDirect3DSurface9* surface) {
        D3DLOCKED_RECT locked{};
        const HRESULT result = surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        if (result == D3D_OK) surface->UnlockRect();
        return result == D3D_OK;
    };
    const auto levelOf = [](IDirect3DTexture9* texture, IDirect3DSurface9** surface) {
        return texture->GetSurfaceLevel(0, surface);
    };
    Held<IDirect3DTexture9> plain, dynamic, target;
    Held<IDirect3DSurface9> plainLevel, dynamicLevel, targetLevel, renderTarget, lockableTarget, depth, offscreen,
        backBuffer;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &plain, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &dynamic, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
              D3D_OK);
    ASSERT_EQ(levelOf(plain, &plainLevel), D3D_OK);
    ASSERT_EQ(levelOf(dynamic, &dynamicLevel), D3D_OK);
    ASSERT_EQ(levelOf(target, &targetLevel), D3D_OK);
    ASSERT_EQ(device->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &renderTarget, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &lockableTarget, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateDepthStencilSurface(8, 8, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &offscreen, nullptr), D3D_OK);
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);

    EXPECT_FALSE(lockable(plainLevel));
    EXPECT_TRUE(lockable(dynamicLevel));
    EXPECT_FALSE(lockable(targetLevel));
    EXPECT_FALSE(lockable(renderTarget));
    EXPECT_TRUE(lockable(lockableTarget));
    EXPECT_FALSE(lockable(depth));
    EXPECT_TRUE(lockable(offscreen));
    EXPECT_TRUE(lockable(backBuffer));  // the device was made with D3DPRESENTFLAG_LOCKABLE_BACKBUFFER

    backBuffer.object->Release();
    backBuffer.object = nullptr;
    device->Release();
    device = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    parameters.Flags = 0;
    ASSERT_EQ(MakeDevice(parameters), D3D_OK);
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    EXPECT_FALSE(lockable(backBuffer));
}

TEST_F(ResourceLocksTest, TexturesDirect3DRefusesAreNotMade) {
    struct Case {
        const char* name;
        UINT width, height, levels;
        DWORD usage;
        D3DFORMAT format;
        D3DPOOL pool;
    };
    const Case cases[] = {
        {"zero width", 0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
        {"wider than the caps", 8192, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
        {"more levels than the chain", 8, 8, 5, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
        {"compressed, not on blocks", 6, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED},
        {"render target, managed", 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED},
        {"render target, system memory", 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM},
        {"render target format not offered", 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A2R10G10B10, D3DPOOL_DEFAULT},
        {"dynamic, managed", 8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED},
        {"depth usage", 8, 8, 1, D3DUSAGE_DEPTHSTENCIL, D3DFMT_D16, D3DPOOL_DEFAULT},
        {"video format", 8, 8, 1, 0, D3DFMT_YUY2, D3DPOOL_MANAGED},
        {"unknown pool", 8, 8, 1, 0, D3DFMT_A8R8G8B8, static_cast<D3DPOOL>(7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Held<IDirect3DTexture9> texture;
        EXPECT_EQ(device->CreateTexture(c.width, c.height, c.levels, c.usage, c.format, c.pool, &texture, nullptr),
                  D3DERR_INVALIDCALL);
        EXPECT_EQ(texture.object, nullptr);
    }
    HANDLE shared = nullptr;
    Held<IDirect3DTexture9> texture;
    EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, &shared),
              D3DERR_INVALIDCALL);
    platform::Profile().direct3d.squareOnlyTextures = true;
    device->Release();
    device = nullptr;
    MakeDevice();
    EXPECT_EQ(device->CreateTexture(16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
}

TEST_F(ResourceLocksTest, VideoSurfacesKeepPlanesAndPairsWhenTheAdapterOffersThem) {
    platform::Profile().direct3d.plainSurfaceFormats = {D3DFMT_YV12, D3DFMT_YUY2};
    Held<IDirect3DSurface9> planar, packed, odd;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(10, 6, D3DFMT_YV12, D3DPOOL_DEFAULT, &planar, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(10, 6, D3DFMT_YUY2, D3DPOOL_DEFAULT, &packed, nullptr), D3D_OK);
    EXPECT_EQ(device->CreateOffscreenPlainSurface(9, 6, D3DFMT_YUY2, D3DPOOL_DEFAULT, &odd, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateOffscreenPlainSurface(10, 5, D3DFMT_YV12, D3DPOOL_DEFAULT, &odd, nullptr),
              D3DERR_INVALIDCALL);

    // The Y plane's rows, then the V and U planes at half the pitch: half as
    // many full rows again.
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(planar->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 12);
    std::memset(locked.pBits, 0x5A, 12 * 9);
    ASSERT_EQ(planar->UnlockRect(), D3D_OK);
    const RECT part{0, 0, 4, 4};
    EXPECT_EQ(planar->LockRect(&locked, &part, 0), D3DERR_INVALIDCALL);

    ASSERT_EQ(packed->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 20);
    ASSERT_EQ(packed->UnlockRect(), D3D_OK);
    const RECT halfPair{1, 0, 4, 2};
    EXPECT_EQ(packed->LockRect(&locked, &halfPair, 0), D3DERR_INVALIDCALL);
}

TEST_F(ResourceLocksTest, BuffersLockAnyNumberOfTimesWithinTheirLength) {
    Held<IDirect3DVertexBuffer9> vertices;
    Held<IDirect3DIndexBuffer9> indices;
    ASSERT_EQ(device->CreateVertexBuffer(280, D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                                         D3DPOOL_MANAGED, &vertices, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr),
              D3D_OK);
    void* whole = nullptr;
    void* tail = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, &whole, 0), D3D_OK);
    ASSERT_EQ(vertices->Lock(28, 0, &tail, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_EQ(static_cast<BYTE*>(tail), static_cast<BYTE*>(whole) + 28);
    std::memset(whole, 0xAB, 280);
    void* beyond = nullptr;
    EXPECT_EQ(vertices->Lock(200, 81, &beyond, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertices->Lock(281, 0, &beyond, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertices->Unlock(), D3D_OK);
    EXPECT_EQ(vertices->Unlock(), D3D_OK);
    EXPECT_EQ(vertices->Unlock(), D3DERR_INVALIDCALL);
    ASSERT_EQ(vertices->Lock(279, 1, &beyond, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(*static_cast<BYTE*>(beyond), 0xAB);
    EXPECT_EQ(vertices->Unlock(), D3D_OK);

    // A buffer must hold a vertex of its FVF, or an index of its format.
    Held<IDirect3DVertexBuffer9> tooShort;
    EXPECT_EQ(device->CreateVertexBuffer(27, 0, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DPOOL_MANAGED,
                                         &tooShort, nullptr),
              D3DERR_INVALIDCALL);
    Held<IDirect3DIndexBuffer9> wrongFormat;
    EXPECT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &wrongFormat, nullptr),
              D3DERR_INVALIDCALL);
}

}  // namespace
