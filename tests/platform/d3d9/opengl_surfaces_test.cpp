// Surfaces under the OpenGL renderer: a render-target texture drawn into and
// then drawn with, StretchRect as a blit (one to one, and stretched without
// filtering), ColorFill of a rectangle, UpdateSurface of a rectangle, and
// locks of render targets, which read rows in Direct3D's order and whose
// writes the next draws keep.
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Box;
using d3d9test::Held;
using d3d9test::kColouredFvf;
using d3d9test::kTexturedFvf;
using d3d9test::Near;
using d3d9test::Sprite;

constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;
constexpr D3DCOLOR kBlue = 0xFF0000FF;

class SurfaceTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        if (device == nullptr) return;
        ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    }

    void TearDown() override {
        if (backBuffer.object != nullptr) backBuffer->Release();
        backBuffer.object = nullptr;
        OpenGlTest::TearDown();
    }

    void DrawColours() {
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }

    // Four quarters of an 8 by 8 square at (x, y): red, green, blue, white.
    void DrawQuarters(float x, float y) {
        DrawColours();
        Draw(kColouredFvf, Box(x, y, x + 4, y + 4, kRed));
        Draw(kColouredFvf, Box(x + 4, y, x + 8, y + 4, kGreen));
        Draw(kColouredFvf, Box(x, y + 4, x + 4, y + 8, kBlue));
        Draw(kColouredFvf, Box(x + 4, y + 4, x + 8, y + 8, 0xFFFFFFFF));
    }

    Held<IDirect3DSurface9> backBuffer;
};

TEST_F(SurfaceTest, ARenderTargetTextureDrawnIntoIsThenDrawnWith) {
    Held<IDirect3DTexture9> texture;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                    nullptr),
              D3D_OK);
    Held<IDirect3DSurface9> level;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    DrawQuarters(0, 0);
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    ASSERT_EQ(Draw(kTexturedFvf, Sprite(20 - 0.5f, 30 - 0.5f, 28 - 0.5f, 38 - 0.5f, 0xFFFFFFFF)), D3D_OK);

    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    // Top row first, as drawn.
    EXPECT_TRUE(Near(pixels[30 * kSize + 20], kRed));
    EXPECT_TRUE(Near(pixels[30 * kSize + 27], kGreen));
    EXPECT_TRUE(Near(pixels[37 * kSize + 20], kBlue));
    EXPECT_TRUE(Near(pixels[37 * kSize + 27], 0xFFFFFF));
    EXPECT_EQ(pixels[29 * kSize + 20] & 0xFFFFFF, 0u);
}

TEST_F(SurfaceTest, StretchRectCopiesOneToOneAndStretchesWithoutFiltering) {
    Held<IDirect3DSurface9> target;
    ASSERT_EQ(device->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr),
              D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
    DrawQuarters(0, 0);
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    const RECT same{40, 2, 48, 10};
    ASSERT_EQ(device->StretchRect(target, nullptr, backBuffer, &same, D3DTEXF_NONE), D3D_OK);
    const RECT part{4, 0, 8, 8};
    const RECT doubled{0, 16, 8, 32};
    ASSERT_EQ(device->StretchRect(target, &part, backBuffer, &doubled, D3DTEXF_POINT), D3D_OK);

    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    EXPECT_TRUE(Near(pixels[2 * kSize + 40], kRed));
    EXPECT_TRUE(Near(pixels[9 * kSize + 47], 0xFFFFFF));
    EXPECT_TRUE(Near(pixels[9 * kSize + 40], kBlue));
    // The right half, twice as wide and high: green over white.
    for (int x = 0; x < 8; ++x) {
        EXPECT_TRUE(Near(pixels[16 * kSize + x], kGreen)) << x;
        EXPECT_TRUE(Near(pixels[23 * kSize + x], kGreen)) << x;
        EXPECT_TRUE(Near(pixels[24 * kSize + x], 0xFFFFFF)) << x;
    }
    EXPECT_EQ(pixels[32 * kSize + 0] & 0xFFFFFF, 0u);
}

TEST_F(SurfaceTest, ColorFillFillsOnlyItsRectangle) {
    const RECT rect{10, 12, 20, 14};
    // The scissor rectangle draws are held to plays no part in a fill.
    const RECT scissor{0, 0, 1, 1};
    device->SetScissorRect(&scissor);
    ASSERT_EQ(device->ColorFill(backBuffer, &rect, kGreen), D3D_OK);
    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    int count = 0;
    for (D3DCOLOR pixel : pixels) count += (pixel & 0xFFFFFF) != 0;
    EXPECT_EQ(count, 10 * 2);
    EXPECT_TRUE(Near(pixels[13 * kSize + 19], kGreen));
}

TEST_F(SurfaceTest, UpdateSurfaceWritesARectangleOverWhatWasDrawn) {
    Held<IDirect3DTexture9> texture;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                    nullptr),
              D3D_OK);
    Held<IDirect3DSurface9> level;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(device->ColorFill(level, nullptr, kRed), D3D_OK);
    Held<IDirect3DSurface9> staging;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(4, 2, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(staging->LockRect(&locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<D3DCOLOR*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = y == 0 ? kGreen : kBlue;
    staging->UnlockRect();
    const RECT rows{1, 0, 3, 2};  // two pixels of each row
    const POINT at{5, 6};
    ASSERT_EQ(device->UpdateSurface(staging, &rows, level, &at), D3D_OK);

    const std::vector<D3DCOLOR> pixels = Pixels(level);
    EXPECT_TRUE(Near(pixels[6 * 8 + 5], kGreen));
    EXPECT_TRUE(Near(pixels[6 * 8 + 6], kGreen));
    EXPECT_TRUE(Near(pixels[7 * 8 + 6], kBlue));
    EXPECT_TRUE(Near(pixels[7 * 8 + 7], kRed));
    EXPECT_TRUE(Near(pixels[5 * 8 + 5], kRed));
}

TEST_F(SurfaceTest, ALockOfARenderTargetReadsRowsInDirect3DsOrderAndItsWritesStay) {
    DrawColours();
    ASSERT_EQ(Draw(kColouredFvf, Box(2, 1, 3, 2, kRed)), D3D_OK);
    ASSERT_EQ(Draw(kColouredFvf, Box(5, 60, 6, 61, kBlue)), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(backBuffer->LockRect(&locked, nullptr, 0), D3D_OK);
    const auto row = [&](int y) { return reinterpret_cast<D3DCOLOR*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch); };
    EXPECT_TRUE(Near(row(1)[2], kRed));
    EXPECT_TRUE(Near(row(60)[5], kBlue));
    EXPECT_EQ(row(0)[2] & 0xFFFFFF, 0u);
    row(40)[40] = kGreen;
    ASSERT_EQ(backBuffer->UnlockRect(), D3D_OK);
    // A draw after the lock lands on the written bytes.
    ASSERT_EQ(Draw(kColouredFvf, Box(50, 50, 51, 51, kRed)), D3D_OK);

    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    EXPECT_TRUE(Near(pixels[40 * kSize + 40], kGreen));
    EXPECT_TRUE(Near(pixels[50 * kSize + 50], kRed));
    EXPECT_TRUE(Near(pixels[1 * kSize + 2], kRed));
}

TEST_F(SurfaceTest, ALockOfARectangleSeesItsOwnPixels) {
    DrawColours();
    ASSERT_EQ(Draw(kColouredFvf, Box(33, 17, 34, 18, kGreen)), D3D_OK);
    const RECT rect{32, 16, 40, 24};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(backBuffer->LockRect(&locked, &rect, D3DLOCK_READONLY), D3D_OK);
    const auto* second = reinterpret_cast<D3DCOLOR*>(static_cast<BYTE*>(locked.pBits) + locked.Pitch);
    EXPECT_TRUE(Near(second[1], kGreen));
    EXPECT_EQ(second[0] & 0xFFFFFF, 0u);
    backBuffer->UnlockRect();
}

}  // namespace
