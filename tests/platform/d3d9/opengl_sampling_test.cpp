// Samplers: the address modes past the texture's edge, and the filters
// (none and point take the nearest texel, linear blends neighbours).
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Held;
using d3d9test::kTexturedFvf;
using d3d9test::Near;
using d3d9test::TexturedVertex;

constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;

class SamplingTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        if (device == nullptr) return;
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        const D3DCOLOR texels[2] = {kRed, kGreen};
        texture.object = MakeTexture(2, 1, D3DFMT_A8R8G8B8, texels, sizeof(texels));
        ASSERT_NE(texture.object, nullptr);
        device->SetTexture(0, texture);
    }

    void TearDown() override {
        if (texture.object != nullptr) texture->Release();
        texture.object = nullptr;
        OpenGlTest::TearDown();
    }

    // A strip `pixels` wide on row 0 whose u runs from u1 to u2.
    std::vector<D3DCOLOR> Strip(int pixels, float u1, float u2) {
        const float right = static_cast<float>(pixels) - 0.5f;
        const std::vector<TexturedVertex> quad = {
            {-0.5f, -0.5f, 0, 1, 0xFFFFFFFF, u1, 0.5f}, {right, -0.5f, 0, 1, 0xFFFFFFFF, u2, 0.5f},
            {-0.5f, 0.5f, 0, 1, 0xFFFFFFFF, u1, 0.5f},  {right, 0.5f, 0, 1, 0xFFFFFFFF, u2, 0.5f},
            {-0.5f, 0.5f, 0, 1, 0xFFFFFFFF, u1, 0.5f},  {right, -0.5f, 0, 1, 0xFFFFFFFF, u2, 0.5f}};
        EXPECT_EQ(Draw(kTexturedFvf, quad), D3D_OK);
        std::vector<D3DCOLOR> pixelsDrawn = BackBufferPixels();
        pixelsDrawn.resize(static_cast<size_t>(pixels));
        return pixelsDrawn;
    }

    Held<IDirect3DTexture9> texture;
};

TEST_F(SamplingTest, AddressModesRepeatMirrorOrStopAtTheEdge) {
    const struct {
        D3DTEXTUREADDRESS mode;
        D3DCOLOR expected[6];
    } kModes[] = {
        {D3DTADDRESS_WRAP, {kRed, kGreen, kRed, kGreen, kRed, kGreen}},
        {D3DTADDRESS_MIRROR, {kRed, kGreen, kGreen, kRed, kRed, kGreen}},
        {D3DTADDRESS_CLAMP, {kRed, kGreen, kGreen, kGreen, kGreen, kGreen}},
        {D3DTADDRESS_BORDER, {kRed, kGreen, 0, 0, 0, 0}},
    };
    for (const auto& test : kModes) {
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, test.mode);
        // Six pixels over three widths of the texture: one texel each.
        const std::vector<D3DCOLOR> pixels = Strip(6, 0.0f, 3.0f);
        for (int x = 0; x < 6; ++x)
            EXPECT_TRUE(Near(pixels[x], test.expected[x])) << "address mode " << test.mode << ", pixel " << x;
    }
}

TEST_F(SamplingTest, NoneAndPointTakeTheNearestTexelLinearBlends) {
    // Eight pixels over the two texels: four of each, or a ramp between.
    const struct {
        D3DTEXTUREFILTERTYPE filter;
        bool blends;
    } kFilters[] = {{D3DTEXF_NONE, false}, {D3DTEXF_POINT, false}, {D3DTEXF_LINEAR, true}};
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    for (const auto& test : kFilters) {
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, test.filter);
        const std::vector<D3DCOLOR> pixels = Strip(8, 0.0f, 1.0f);
        EXPECT_TRUE(Near(pixels[0], kRed)) << "filter " << test.filter;
        EXPECT_TRUE(Near(pixels[7], kGreen)) << "filter " << test.filter;
        if (test.blends) {
            // Pixel 3 samples at u = 7/16: 5/8 of red, 3/8 of green.
            EXPECT_TRUE(Near(pixels[3], 0xFF9F6000, 3)) << "filter " << test.filter;
        } else {
            EXPECT_TRUE(Near(pixels[3], kRed)) << "filter " << test.filter;
            EXPECT_TRUE(Near(pixels[4], kGreen)) << "filter " << test.filter;
        }
    }
}

}  // namespace
