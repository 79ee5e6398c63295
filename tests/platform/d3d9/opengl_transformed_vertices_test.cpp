// Vertices that are not pre-transformed go through the world, view and
// projection matrices and the viewport, with Direct3D's pixel centres (an
// edge a quarter pixel past a centre leaves that pixel out); fog blends
// them towards the fog colour by their depth in view space, and
// pre-transformed vertices take their fog from the specular alpha.
#include <algorithm>
#include <bit>

#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Near;

constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
struct Vertex {
    float x, y, z;
    D3DCOLOR diffuse;
};

constexpr D3DCOLOR kRed = 0xFFFF0000;

class TransformedVerticesTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        if (device == nullptr) return;
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        // Depth 0 to 10 in view space onto 0 to 1.
        D3DMATRIX projection{};
        projection._11 = projection._22 = projection._44 = 1.0f;
        projection._33 = 0.1f;
        device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    // A square between x1 and x2 (and the same in y) of normalised
    // coordinates at view depth z.
    std::vector<Vertex> Square(float x1, float x2, float z) {
        return {{x1, x2, z, kRed}, {x2, x2, z, kRed}, {x1, x1, z, kRed},
                {x2, x1, z, kRed}, {x1, x1, z, kRed}, {x2, x2, z, kRed}};
    }
};

TEST_F(TransformedVerticesTest, TheViewportPlacesThemWithDirect3DsPixelCentres) {
    const D3DVIEWPORT9 viewport{0, 0, 64, 64, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    // x = -0.4921875 and 0.4921875 are screen x 16.25 and 47.75: pixels 17
    // to 47; y runs up, so the rows are the same.
    ASSERT_EQ(Draw(kFvf, Square(-0.4921875f, 0.4921875f, 5.0f)), D3D_OK);
    const std::vector<D3DCOLOR> pixels = BackBufferPixels();
    RECT covered{64, 64, 0, 0};
    for (LONG y = 0; y < 64; ++y)
        for (LONG x = 0; x < 64; ++x)
            if (pixels[y * kSize + x] & 0xFFFFFF)
                covered = RECT{std::min(covered.left, x), std::min(covered.top, y), std::max(covered.right, x + 1),
                               std::max(covered.bottom, y + 1)};
    EXPECT_EQ(covered.left, 17);
    EXPECT_EQ(covered.right, 48);
    EXPECT_EQ(covered.top, 17);
    EXPECT_EQ(covered.bottom, 48);
}

TEST_F(TransformedVerticesTest, FogBlendsByViewDepthOrBySpecularAlpha) {
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF0000FF);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    const float start = 0.0f;
    const float end = 10.0f;
    device->SetRenderState(D3DRS_FOGSTART, std::bit_cast<DWORD>(start));
    device->SetRenderState(D3DRS_FOGEND, std::bit_cast<DWORD>(end));
    // Halfway to the end: half red, half blue.
    ASSERT_EQ(Draw(kFvf, Square(-1.0f, 0.0f, 5.0f)), D3D_OK);
    EXPECT_TRUE(Near(BackBufferPixels()[40 * kSize + 8], 0x800080, 3));

    // Pre-transformed: a quarter of the colour, three quarters of the fog.
    struct Pretransformed {
        float x, y, z, rhw;
        D3DCOLOR diffuse, specular;
    };
    const D3DCOLOR specular = 0x40000000;
    const std::vector<Pretransformed> box = {{40, 0, 0, 1, kRed, specular}, {64, 0, 0, 1, kRed, specular},
                                             {40, 24, 0, 1, kRed, specular}, {64, 24, 0, 1, kRed, specular},
                                             {40, 24, 0, 1, kRed, specular}, {64, 0, 0, 1, kRed, specular}};
    ASSERT_EQ(Draw(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR, box), D3D_OK);
    EXPECT_TRUE(Near(BackBufferPixels()[8 * kSize + 50], 0x4000BF, 3));
}

}  // namespace
