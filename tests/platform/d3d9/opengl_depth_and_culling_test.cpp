// The Z test with each compare function and with depth writes off, and the
// cull modes, which drop triangles by how they turn on Direct3D's screen
// (y down): the default culls those turning counter-clockwise.
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Box;
using d3d9test::ColouredVertex;
using d3d9test::Held;
using d3d9test::kColouredFvf;

constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;

class DepthAndCullingTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        if (device == nullptr) return;
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    }

    std::vector<ColouredVertex> DepthBox(float z, D3DCOLOR colour) {
        std::vector<ColouredVertex> box = Box(8, 8, 24, 24, colour);
        for (ColouredVertex& vertex : box) {
            vertex.z = z;
            vertex.diffuse = colour;
        }
        return box;
    }

    D3DCOLOR Centre() { return BackBufferPixels()[16 * kSize + 16] & 0xFFFFFF; }
};

TEST_F(DepthAndCullingTest, TheZTestComparesWithTheDepthBufferAndWritesOnlyWhenAsked) {
    Held<IDirect3DSurface9> depth;
    ASSERT_EQ(device->CreateDepthStencilSurface(kSize, kSize, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &depth,
                                                nullptr),
              D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    const struct {
        D3DCMPFUNC function;
        float z;
        bool drawn;
    } kCases[] = {
        {D3DCMP_LESSEQUAL, 0.3f, true},  {D3DCMP_LESSEQUAL, 0.5f, true}, {D3DCMP_LESSEQUAL, 0.7f, false},
        {D3DCMP_LESS, 0.5f, false},      {D3DCMP_GREATER, 0.7f, true},   {D3DCMP_GREATER, 0.3f, false},
        {D3DCMP_EQUAL, 0.5f, true},      {D3DCMP_NOTEQUAL, 0.5f, false}, {D3DCMP_ALWAYS, 0.9f, true},
        {D3DCMP_NEVER, 0.1f, false},
    };
    for (const auto& test : kCases) {
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
        ASSERT_EQ(Draw(kColouredFvf, DepthBox(0.5f, kRed)), D3D_OK);
        device->SetRenderState(D3DRS_ZFUNC, test.function);
        ASSERT_EQ(Draw(kColouredFvf, DepthBox(test.z, kGreen)), D3D_OK);
        EXPECT_EQ(Centre(), test.drawn ? 0x00FF00u : 0xFF0000u) << "function " << test.function << " at " << test.z;
    }

    // Without depth writes the buffer keeps 0.5: a box at 0.4 after one at
    // 0.3 still passes LESS.
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    ASSERT_EQ(Draw(kColouredFvf, DepthBox(0.5f, kRed)), D3D_OK);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    ASSERT_EQ(Draw(kColouredFvf, DepthBox(0.3f, kRed)), D3D_OK);
    ASSERT_EQ(Draw(kColouredFvf, DepthBox(0.4f, kGreen)), D3D_OK);
    EXPECT_EQ(Centre(), 0x00FF00u);

    // With Z off the buffer is not consulted.
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    ASSERT_EQ(Draw(kColouredFvf, DepthBox(0.9f, kRed)), D3D_OK);
    EXPECT_EQ(Centre(), 0xFF0000u);
}

TEST_F(DepthAndCullingTest, CullModesDropTrianglesByHowTheyTurnOnTheScreen) {
    // Top-left, top-right, bottom-left turns clockwise with y down.
    const std::vector<ColouredVertex> clockwise = {{8, 8, 0, 1, kGreen}, {24, 8, 0, 1, kGreen}, {8, 24, 0, 1, kGreen}};
    const std::vector<ColouredVertex> counterClockwise = {clockwise[0], clockwise[2], clockwise[1]};
    const struct {
        D3DCULL mode;
        bool clockwiseDrawn, counterClockwiseDrawn;
    } kModes[] = {{D3DCULL_NONE, true, true}, {D3DCULL_CW, false, true}, {D3DCULL_CCW, true, false}};
    for (const auto& test : kModes) {
        device->SetRenderState(D3DRS_CULLMODE, test.mode);
        for (const bool turnsClockwise : {true, false}) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
            ASSERT_EQ(Draw(kColouredFvf, turnsClockwise ? clockwise : counterClockwise), D3D_OK);
            const bool drawn = (BackBufferPixels()[10 * kSize + 10] & 0xFFFFFF) != 0;
            EXPECT_EQ(drawn, turnsClockwise ? test.clockwiseDrawn : test.counterClockwiseDrawn)
                << "cull mode " << test.mode << (turnsClockwise ? ", clockwise" : ", counter-clockwise");
        }
    }
}

}  // namespace
