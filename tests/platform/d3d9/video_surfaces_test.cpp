// Off-screen video surfaces (YV12, YUY2, UYVY): offered only when the
// machine profile lists them, and converted into colour by StretchRect as
// studio-range BT.601, each pixel with the chroma it shares, through the CPU
// renderer and through OpenGL alike.
#include <cstring>
#include <vector>

#include "tests/platform/d3d9/d3d9_fixture.h"
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Held;

constexpr D3DFORMAT kVideoFormats[] = {D3DFMT_YV12, D3DFMT_YUY2, D3DFMT_UYVY};

const char* NameOf(D3DFORMAT format) {
    return format == D3DFMT_YV12 ? "YV12" : format == D3DFMT_YUY2 ? "YUY2" : "UYVY";
}

// A 16 by 2 picture of eight 2 by 2 blocks, each block one chroma pair,
// and the colour each block shows.
struct Block {
    BYTE leftY, rightY, u, v;
    D3DCOLOR left, right;
};
constexpr Block kBlocks[] = {
    {16, 16, 128, 128, 0x000000, 0x000000},     // black
    {235, 235, 128, 128, 0xFFFFFF, 0xFFFFFF},   // white
    {81, 81, 90, 240, 0xFE0000, 0xFE0000},      // red, green and blue held at 0
    {126, 126, 128, 128, 0x808080, 0x808080},   // grey
    {145, 145, 54, 34, 0x00FF01, 0x00FF01},     // green, held at 255
    {41, 41, 240, 110, 0x0000FF, 0x0000FF},     // blue
    {180, 180, 100, 160, 0xF2B086, 0xF2B086},   // every term of each primary
    {16, 235, 128, 128, 0x000000, 0xFFFFFF},    // two pixels of one pair
};
constexpr UINT kWidth = 16;
constexpr UINT kHeight = 2;

// Writes the blocks into a locked video surface in its own layout.
void WriteBlocks(IDirect3DSurface9* surface, D3DFORMAT format) {
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    auto* bits = static_cast<BYTE*>(locked.pBits);
    const UINT pitch = static_cast<UINT>(locked.Pitch);
    for (UINT block = 0; block < kWidth / 2; ++block) {
        const Block& b = kBlocks[block];
        for (UINT row = 0; row < kHeight; ++row) {
            if (format == D3DFMT_YV12) {
                bits[row * pitch + 2 * block] = b.leftY;
                bits[row * pitch + 2 * block + 1] = b.rightY;
            } else {
                BYTE* pair = bits + row * pitch + block * 4;
                const BYTE packed[2][4] = {{b.leftY, b.u, b.rightY, b.v}, {b.u, b.leftY, b.v, b.rightY}};
                std::memcpy(pair, packed[format == D3DFMT_YUY2 ? 0 : 1], 4);
            }
        }
        if (format == D3DFMT_YV12) {
            // V, then U, at half the pitch: one row of each for two rows.
            bits[kHeight * pitch + block] = b.v;
            bits[kHeight * pitch + pitch / 2 + block] = b.u;
        }
    }
    ASSERT_EQ(surface->UnlockRect(), D3D_OK);
}

void ExpectBlocks(const std::vector<D3DCOLOR>& pixels, UINT pitch) {
    for (UINT row = 0; row < kHeight; ++row)
        for (UINT x = 0; x < kWidth; ++x) {
            const Block& b = kBlocks[x / 2];
            EXPECT_EQ(pixels[row * pitch + x] & 0xFFFFFF, x % 2 == 0 ? b.left : b.right) << x << "," << row;
        }
}

class VideoSurfaceTest : public d3d9test::Direct3DTest {
protected:
    // The pixels of an X8R8G8B8 render target, rows top down.
    static std::vector<D3DCOLOR> Pixels(IDirect3DSurface9* target) {
        D3DSURFACE_DESC description{};
        target->GetDesc(&description);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(target->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        std::vector<D3DCOLOR> pixels;
        for (UINT y = 0; y < description.Height; ++y) {
            const auto* row = reinterpret_cast<const D3DCOLOR*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            pixels.insert(pixels.end(), row, row + description.Width);
        }
        target->UnlockRect();
        return pixels;
    }
};

TEST_F(VideoSurfaceTest, AVideoSurfaceIsOfferedOnlyWhenTheProfileListsIt) {
    MakeDevice();
    for (const D3DFORMAT format : kVideoFormats) {
        SCOPED_TRACE(NameOf(format));
        Held<IDirect3DSurface9> refused;
        platform::Profile().direct3d.plainSurfaceFormats.clear();
        EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_SURFACE, format),
                  D3DERR_NOTAVAILABLE);
        EXPECT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, format, D3DPOOL_DEFAULT, &refused, nullptr),
                  D3DERR_INVALIDCALL);
        platform::Profile().direct3d.plainSurfaceFormats = {static_cast<uint32_t>(format)};
        EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_SURFACE, format),
                  D3D_OK);
        EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, format),
                  D3DERR_NOTAVAILABLE);
        Held<IDirect3DSurface9> made;
        EXPECT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, format, D3DPOOL_DEFAULT, &made, nullptr), D3D_OK);
    }
}

TEST_F(VideoSurfaceTest, StretchRectConvertsEachPixelWithItsSharedChroma) {
    platform::Profile().direct3d.plainSurfaceFormats = {D3DFMT_YV12, D3DFMT_YUY2, D3DFMT_UYVY};
    MakeDevice();
    for (const D3DFORMAT format : kVideoFormats) {
        SCOPED_TRACE(NameOf(format));
        Held<IDirect3DSurface9> video;
        ASSERT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, format, D3DPOOL_DEFAULT, &video, nullptr), D3D_OK);
        WriteBlocks(video, format);
        Held<IDirect3DSurface9> target;
        ASSERT_EQ(device->CreateRenderTarget(kWidth, 2 * kHeight, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &target,
                                             nullptr),
                  D3D_OK);
        ASSERT_EQ(device->ColorFill(target, nullptr, 0xFF123456), D3D_OK);
        const RECT top{0, 0, static_cast<LONG>(kWidth), static_cast<LONG>(kHeight)};
        ASSERT_EQ(device->StretchRect(video, nullptr, target, &top, D3DTEXF_NONE), D3D_OK);
        const std::vector<D3DCOLOR> pixels = Pixels(target);
        ExpectBlocks(pixels, kWidth);
        EXPECT_EQ(pixels[kHeight * kWidth] & 0xFFFFFF, 0x123456u) << "nothing outside the rectangle";
    }
}

class VideoSurfaceOpenGlTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        platform::Profile().direct3d.plainSurfaceFormats = {D3DFMT_YV12, D3DFMT_YUY2, D3DFMT_UYVY};
    }
};

TEST_F(VideoSurfaceOpenGlTest, StretchRectConvertsEachPixelWithItsSharedChroma) {
    Held<IDirect3DSurface9> backBuffer;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    for (UINT n = 0; n < 3; ++n) {
        const D3DFORMAT format = kVideoFormats[n];
        SCOPED_TRACE(NameOf(format));
        Held<IDirect3DSurface9> video;
        ASSERT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, format, D3DPOOL_DEFAULT, &video, nullptr), D3D_OK);
        WriteBlocks(video, format);
        const RECT at{0, static_cast<LONG>(4 * n), static_cast<LONG>(kWidth), static_cast<LONG>(4 * n + kHeight)};
        ASSERT_EQ(device->StretchRect(video, nullptr, backBuffer, &at, D3DTEXF_NONE), D3D_OK);
        const std::vector<D3DCOLOR> pixels = BackBufferPixels();
        ExpectBlocks(std::vector<D3DCOLOR>(pixels.begin() + 4 * n * kSize, pixels.end()), kSize);
    }
}

}  // namespace
