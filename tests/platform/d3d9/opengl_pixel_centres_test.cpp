// Pre-transformed vertices put pixel centres on whole coordinates, as in
// Direct3D: a box from whole numbers covers exactly its pixels, and a
// texture drawn half a pixel up and left lands each texel on one pixel. The
// viewport and the scissor rectangle both clip every draw.
#include <algorithm>

#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Box;
using d3d9test::Held;
using d3d9test::kColouredFvf;
using d3d9test::kTexturedFvf;
using d3d9test::Near;
using d3d9test::Sprite;

constexpr D3DCOLOR kBlack = 0x00000000;
constexpr D3DCOLOR kRed = 0xFFFF0000;

class PixelCentreTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        if (device == nullptr) return;
        device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }

    // The pixels that are not black, as a rectangle (right and bottom
    // exclusive); empty when there are none.
    RECT Covered() {
        const std::vector<D3DCOLOR> pixels = BackBufferPixels();
        RECT covered{LONG(kSize), LONG(kSize), 0, 0};
        for (LONG y = 0; y < LONG(kSize); ++y) {
            for (LONG x = 0; x < LONG(kSize); ++x) {
                if ((pixels[y * kSize + x] & 0xFFFFFF) == 0) continue;
                covered = RECT{std::min(covered.left, x), std::min(covered.top, y), std::max(covered.right, x + 1),
                               std::max(covered.bottom, y + 1)};
            }
        }
        return covered;
    }
};

void ExpectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(PixelCentreTest, ABoxOfWholeCoordinatesCoversExactlyItsPixels) {
    ASSERT_EQ(Draw(kColouredFvf, Box(10, 20, 11, 21, kRed)), D3D_OK);
    ExpectRect(Covered(), RECT{10, 20, 11, 21});
    ASSERT_EQ(Draw(kColouredFvf, Box(30, 30, 40, 33, kRed)), D3D_OK);
    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    int count = 0;
    for (D3DCOLOR pixel : pixels) count += (pixel & 0xFFFFFF) != 0;
    EXPECT_EQ(count, 1 + 10 * 3);
    EXPECT_TRUE(Near(pixels[20 * kSize + 10], kRed));
    EXPECT_TRUE(Near(pixels[32 * kSize + 39], kRed));
}

TEST_F(PixelCentreTest, ATextureDrawnHalfAPixelUpAndLeftLandsTexelOnPixel) {
    // An 8 by 8 texture whose every texel differs from its neighbours.
    D3DCOLOR texels[8 * 8];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) texels[y * 8 + x] = 0xFF000000u | (x * 32 + 16) << 16 | (y * 32 + 16) << 8 | ((x + y) % 2) * 255;
    Held<IDirect3DTexture9> texture;
    texture.object = MakeTexture(8, 8, D3DFMT_A8R8G8B8, texels, 8 * 4);
    ASSERT_NE(texture.object, nullptr);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    // Bilinear filtering shows any misplacement as a mix of neighbours.
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    ASSERT_EQ(Draw(kTexturedFvf, Sprite(20 - 0.5f, 12 - 0.5f, 28 - 0.5f, 20 - 0.5f, 0xFFFFFFFF)), D3D_OK);

    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(Near(pixels[(12 + y) * kSize + 20 + x], texels[y * 8 + x])) << x << ", " << y;
    EXPECT_EQ(pixels[11 * kSize + 20] & 0xFFFFFF, 0u);
    EXPECT_EQ(pixels[12 * kSize + 28] & 0xFFFFFF, 0u);
}

TEST_F(PixelCentreTest, TheViewportAndTheScissorRectangleBothClip) {
    const D3DVIEWPORT9 viewport{8, 8, 40, 40, 0.0f, 1.0f};
    const RECT scissor{16, 4, 60, 30};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    ASSERT_EQ(device->SetScissorRect(&scissor), D3D_OK);
    ASSERT_EQ(Draw(kColouredFvf, Box(0, 0, 64, 64, kRed)), D3D_OK);
    ExpectRect(Covered(), RECT{16, 8, 48, 30});
}

TEST_F(PixelCentreTest, AClearKeepsInsideTheViewportAndItsRectangles) {
    const D3DVIEWPORT9 viewport{8, 8, 16, 16, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    const D3DRECT rects[2] = {{0, 0, 12, 12}, {20, 20, 40, 40}};
    ASSERT_EQ(device->Clear(2, rects, D3DCLEAR_TARGET, kRed, 1.0f, 0), D3D_OK);
    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    int count = 0;
    for (D3DCOLOR pixel : pixels) count += (pixel & 0xFFFFFF) != 0;
    EXPECT_EQ(count, 4 * 4 + 4 * 4);
    EXPECT_TRUE(Near(pixels[8 * kSize + 8], kRed));
    EXPECT_TRUE(Near(pixels[23 * kSize + 23], kRed));
}

}  // namespace
