// Copies between surfaces, byte for byte through the CPU renderer:
// UpdateSurface, GetRenderTargetData, StretchRect without filtering and
// ColorFill, and the surfaces and rectangles each refuses.
#include <cstring>
#include <vector>

#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Held;

class SurfaceCopiesTest : public d3d9test::Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        MakeDevice();
    }

    // Every pixel of a 32-bit surface (row by row), or of a 16-bit one.
    static std::vector<DWORD> Pixels32(IDirect3DSurface9* surface) {
        D3DSURFACE_DESC description{};
        surface->GetDesc(&description);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        std::vector<DWORD> pixels;
        for (UINT y = 0; y < description.Height; ++y) {
            const auto* row = reinterpret_cast<const DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            pixels.insert(pixels.end(), row, row + description.Width);
        }
        surface->UnlockRect();
        return pixels;
    }

    // Fills a 32-bit surface with x + 16 y, ... so each pixel tells where it came from.
    static void Number(IDirect3DSurface9* surface) {
        D3DSURFACE_DESC description{};
        surface->GetDesc(&description);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < description.Height; ++y) {
            auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < description.Width; ++x) row[x] = 0xFF000000u | (y << 8) | x;
        }
        ASSERT_EQ(surface->UnlockRect(), D3D_OK);
    }

    IDirect3DSurface9* MakeTarget(UINT width, UINT height, D3DFORMAT format = D3DFMT_X8R8G8B8) {
        IDirect3DSurface9* surface = nullptr;
        EXPECT_EQ(device->CreateRenderTarget(width, height, format, D3DMULTISAMPLE_NONE, 0, TRUE, &surface, nullptr),
                  D3D_OK);
        return surface;
    }
    IDirect3DSurface9* MakePlain(UINT width, UINT height, D3DPOOL pool, D3DFORMAT format = D3DFMT_X8R8G8B8) {
        IDirect3DSurface9* surface = nullptr;
        EXPECT_EQ(device->CreateOffscreenPlainSurface(width, height, format, pool, &surface, nullptr), D3D_OK);
        return surface;
    }
};

TEST_F(SurfaceCopiesTest, UpdateSurfaceCopiesARectangleFromSystemMemoryToAPoint) {
    Held<IDirect3DSurface9> staging{MakePlain(8, 4, D3DPOOL_SYSTEMMEM)};
    Held<IDirect3DSurface9> target{MakeTarget(8, 4)};
    Number(staging);
    ASSERT_EQ(device->ColorFill(target, nullptr, 0x00000000), D3D_OK);
    const RECT area{1, 1, 4, 3};
    const POINT at{5, 0};
    ASSERT_EQ(device->UpdateSurface(staging, &area, target, &at), D3D_OK);
    const std::vector<DWORD> pixels = Pixels32(target);
    for (UINT y = 0; y < 4; ++y) {
        for (UINT x = 0; x < 8; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const bool copied = x >= 5 && y < 2;
            EXPECT_EQ(pixels[y * 8 + x], copied ? 0xFF000000u | ((y + 1) << 8) | (x - 4) : 0xFF000000u);
        }
    }
}

TEST_F(SurfaceCopiesTest, UpdateSurfaceCopiesCompressedBlocksIntoATextureLevel) {
    Held<IDirect3DTexture9> source, destination;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_DXT5, D3DPOOL_SYSTEMMEM, &source, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_DXT5, D3DPOOL_DEFAULT, &destination, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(source->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int i = 0; i < 64; ++i) static_cast<BYTE*>(locked.pBits)[i] = static_cast<BYTE>(i);
    ASSERT_EQ(source->UnlockRect(0), D3D_OK);
    Held<IDirect3DSurface9> from, to;
    ASSERT_EQ(source->GetSurfaceLevel(0, &from), D3D_OK);
    ASSERT_EQ(destination->GetSurfaceLevel(0, &to), D3D_OK);
    const RECT block{4, 0, 8, 4};
    const POINT at{0, 4};
    ASSERT_EQ(device->UpdateSurface(from, &block, to, &at), D3D_OK);
    ASSERT_EQ(destination->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const BYTE* bytes = static_cast<const BYTE*>(locked.pBits);
    // The second block of the first row is now the first of the second row.
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[32 + i], 16 + i);
    EXPECT_EQ(bytes[0], 0);
    ASSERT_EQ(destination->UnlockRect(0), D3D_OK);
    const RECT offBlock{2, 0, 6, 4};
    EXPECT_EQ(device->UpdateSurface(from, &offBlock, to, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(SurfaceCopiesTest, GetRenderTargetDataCopiesTheWholeTargetIntoSystemMemory) {
    Held<IDirect3DSurface9> target{MakeTarget(4, 3)};
    Held<IDirect3DSurface9> copy{MakePlain(4, 3, D3DPOOL_SYSTEMMEM)};
    Number(target);
    ASSERT_EQ(device->GetRenderTargetData(target, copy), D3D_OK);
    EXPECT_EQ(Pixels32(copy), Pixels32(target));

    Held<IDirect3DSurface9> smaller{MakePlain(4, 2, D3DPOOL_SYSTEMMEM)};
    Held<IDirect3DSurface9> video{MakePlain(4, 3, D3DPOOL_DEFAULT)};
    Held<IDirect3DSurface9> sixteen{MakePlain(4, 3, D3DPOOL_SYSTEMMEM, D3DFMT_R5G6B5)};
    EXPECT_EQ(device->GetRenderTargetData(target, smaller), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderTargetData(target, video), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderTargetData(target, sixteen), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderTargetData(copy, target), D3DERR_INVALIDCALL);  // the source must be a render target
}

TEST_F(SurfaceCopiesTest, StretchRectWithoutFilteringTakesThePixelUnderEachCentre) {
    Held<IDirect3DSurface9> source{MakeTarget(4, 2)};
    Held<IDirect3DSurface9> doubled{MakeTarget(8, 4)};
    Number(source);
    // The 320 by 240 path: a quarter doubled, with point filtering.
    ASSERT_EQ(device->StretchRect(source, nullptr, doubled, nullptr, D3DTEXF_POINT), D3D_OK);
    const std::vector<DWORD> pixels = Pixels32(doubled);
    for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 8; ++x) EXPECT_EQ(pixels[y * 8 + x], 0xFF000000u | ((y / 2) << 8) | (x / 2));

    // Shrinking by three takes the middle pixel of each three.
    Held<IDirect3DSurface9> wide{MakeTarget(6, 1)};
    Held<IDirect3DSurface9> narrow{MakeTarget(2, 1)};
    Number(wide);
    ASSERT_EQ(device->StretchRect(wide, nullptr, narrow, nullptr, D3DTEXF_NONE), D3D_OK);
    EXPECT_EQ(Pixels32(narrow), (std::vector<DWORD>{0xFF000001u, 0xFF000004u}));

    // One size to the same size is a copy whatever the filter.
    Held<IDirect3DSurface9> same{MakeTarget(4, 2)};
    const RECT part{1, 0, 3, 2};
    const RECT into{0, 0, 2, 2};
    ASSERT_EQ(device->StretchRect(source, &part, same, &into, D3DTEXF_LINEAR), D3D_OK);
    const std::vector<DWORD> copied = Pixels32(same);
    EXPECT_EQ(copied[0], 0xFF000001u);
    EXPECT_EQ(copied[4 + 1], 0xFF000102u);
}

TEST_F(SurfaceCopiesTest, StretchRectRefusesWhatDirect3DRefuses) {
    Held<IDirect3DSurface9> target{MakeTarget(8, 8)};
    Held<IDirect3DSurface9> plain{MakePlain(8, 8, D3DPOOL_DEFAULT)};
    Held<IDirect3DSurface9> otherPlain{MakePlain(4, 4, D3DPOOL_DEFAULT)};
    Held<IDirect3DSurface9> system{MakePlain(8, 8, D3DPOOL_SYSTEMMEM)};
    Held<IDirect3DTexture9> texture;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    Held<IDirect3DSurface9> level;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    const RECT left{0, 0, 4, 8};
    const RECT overlapping{2, 0, 6, 8};
    const RECT outside{4, 4, 12, 8};
    struct Case {
        const char* name;
        IDirect3DSurface9* source;
        const RECT* sourceRect;
        IDirect3DSurface9* destination;
        const RECT* destRect;
        D3DTEXTUREFILTERTYPE filter;
        HRESULT expected;
    };
    const Case cases[] = {
        {"off-screen to render target", plain, nullptr, target, nullptr, D3DTEXF_NONE, D3D_OK},
        {"render target to off-screen", target, nullptr, plain, nullptr, D3DTEXF_NONE, D3DERR_INVALIDCALL},
        {"off-screen to off-screen, stretched", plain, nullptr, otherPlain, nullptr, D3DTEXF_NONE, D3DERR_INVALIDCALL},
        {"from system memory", system, nullptr, target, nullptr, D3DTEXF_NONE, D3DERR_INVALIDCALL},
        {"from a texture that is no render target", level, nullptr, target, nullptr, D3DTEXF_NONE, D3DERR_INVALIDCALL},
        {"into itself, overlapping", target, &left, target, &overlapping, D3DTEXF_NONE, D3DERR_INVALIDCALL},
        {"a rectangle beyond the surface", target, &left, target, &outside, D3DTEXF_NONE, D3DERR_INVALIDCALL},
        {"anisotropic filter", plain, nullptr, target, nullptr, D3DTEXF_ANISOTROPIC, D3DERR_INVALIDCALL},
        {"null source", nullptr, nullptr, target, nullptr, D3DTEXF_NONE, D3DERR_INVALIDCALL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(device->StretchRect(c.source, c.sourceRect, c.destination, c.destRect, c.filter), c.expected);
    }
    const RECT right{4, 0, 8, 8};
    EXPECT_EQ(device->StretchRect(target, &left, target, &right, D3DTEXF_NONE), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(target->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(device->StretchRect(plain, nullptr, target, nullptr, D3DTEXF_NONE), D3DERR_INVALIDCALL);
    ASSERT_EQ(target->UnlockRect(), D3D_OK);
}

TEST_F(SurfaceCopiesTest, ColorFillWritesTheColourInEachFormatRoundedToItsChannels) {
    platform::Profile().direct3d.renderTargetFormats = {D3DFMT_X8R8G8B8,   D3DFMT_A8R8G8B8, D3DFMT_R5G6B5,
                                                        D3DFMT_X1R5G5B5,   D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,
                                                        D3DFMT_A2R10G10B10, D3DFMT_A8B8G8R8};
    struct Case {
        D3DFORMAT format;
        D3DCOLOR colour;
        DWORD expected;  // the pixel, little-endian
    };
    const Case cases[] = {
        {D3DFMT_X8R8G8B8, 0x00123456, 0xFF123456},  // the unused bits are set
        {D3DFMT_A8R8G8B8, 0x80123456, 0x80123456},
        {D3DFMT_R5G6B5, 0xFFFF8000, 0xFC00},        // 0x80 is 32 of the 63 green steps
        {D3DFMT_R5G6B5, 0x00FFFFFF, 0xFFFF},
        {D3DFMT_X1R5G5B5, 0x00080808, 0x8421},      // 8 of 255 rounds up to 1 of 31
        {D3DFMT_A1R5G5B5, 0x7F0000FF, 0x001F},      // alpha below half rounds to 0
        {D3DFMT_A4R4G4B4, 0xFF112233, 0xF123},
        {D3DFMT_A2R10G10B10, 0xFFFF0000, 0xFFF00000},
        {D3DFMT_A8B8G8R8, 0x80123456, 0x80563412},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << std::hex << c.colour);
        Held<IDirect3DSurface9> surface{MakeTarget(3, 2, c.format)};
        const RECT one{1, 1, 2, 2};
        ASSERT_EQ(device->ColorFill(surface, nullptr, 0), D3D_OK);
        ASSERT_EQ(device->ColorFill(surface, &one, c.colour), D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const UINT bytes = c.format == D3DFMT_R5G6B5 || c.format == D3DFMT_X1R5G5B5 || c.format == D3DFMT_A1R5G5B5 ||
                                   c.format == D3DFMT_A4R4G4B4
                               ? 2
                               : 4;
        DWORD filled = 0;
        DWORD untouched = 0;
        std::memcpy(&filled, static_cast<BYTE*>(locked.pBits) + locked.Pitch + bytes, bytes);
        std::memcpy(&untouched, static_cast<BYTE*>(locked.pBits) + locked.Pitch, bytes);
        EXPECT_EQ(filled, c.expected);
        EXPECT_NE(untouched, c.expected);
        ASSERT_EQ(surface->UnlockRect(), D3D_OK);
    }
    // Only video-memory render targets and off-screen surfaces are filled.
    Held<IDirect3DSurface9> system{MakePlain(4, 4, D3DPOOL_SYSTEMMEM)};
    Held<IDirect3DSurface9> depth;
    ASSERT_EQ(device->CreateDepthStencilSurface(4, 4, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr),
              D3D_OK);
    Held<IDirect3DTexture9> texture;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    Held<IDirect3DSurface9> level;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    const RECT beyond{0, 0, 5, 4};
    Held<IDirect3DSurface9> target{MakeTarget(4, 4)};
    EXPECT_EQ(device->ColorFill(system, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ColorFill(depth, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ColorFill(level, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ColorFill(target, &beyond, 0), D3DERR_INVALIDCALL);
}

TEST_F(SurfaceCopiesTest, TheRecordingRendererTakesTheCopiesAndMakesNoPixels) {
    device->Release();
    device = nullptr;
    platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Recording;
    MakeDevice();
    Held<IDirect3DSurface9> target{MakeTarget(2, 1)};
    Number(target);
    ASSERT_EQ(device->ColorFill(target, nullptr, 0x00FFFFFF), D3D_OK);
    EXPECT_EQ(Pixels32(target), (std::vector<DWORD>{0xFF000000u, 0xFF000001u}));
}

}  // namespace
