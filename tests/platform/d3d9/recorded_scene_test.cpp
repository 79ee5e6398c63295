// The recording renderer keeps every call a device receives, in order, with
// its arguments, the vertices and indices of draws and the result: the list
// the graphics code's own tests compare against.
#include <cstring>
#include <vector>

#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Held;

class RecordedSceneTest : public d3d9test::Direct3DTest {
protected:
    void SetUp() override {
        Direct3DTest::SetUp();
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Recording;
        MakeDevice();
    }
};

struct Vertex {
    float x, y, z, rhw;
    DWORD diffuse;
    float u, v;
};

TEST_F(RecordedSceneTest, ASmallSceneIsKeptCallByCall) {
    Held<IDirect3DTexture9> texture;
    ASSERT_EQ(device->CreateTexture(32, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    Calls().clear();

    const Vertex quad[4] = {{-0.5f, -0.5f, 0, 1, 0xFFFFFFFF, 0, 0},
                            {31.5f, -0.5f, 0, 1, 0xFFFFFFFF, 1, 0},
                            {-0.5f, 31.5f, 0, 1, 0xFFFFFFFF, 0, 1},
                            {31.5f, 31.5f, 0, 1, 0xFFFFFFFF, 1, 1}};
    const D3DVIEWPORT9 viewport{0, 0, 320, 240, 0.0f, 1.0f};
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00203040, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    const std::vector<platform::d3d9::RecordedCall> calls = Calls();
    EXPECT_EQ(platform::d3d9::CallTexts(calls), (std::vector<std::string>{
                                                    "Clear(0, 0x1, 0x203040, 1, 0)",
                                                    "SetViewport(0, 0, 320, 240, 0, 1)",
                                                    "BeginScene()",
                                                    "SetRenderState(27, 0x1)",
                                                    "SetRenderState(19, 0x5)",
                                                    "SetTextureStageState(0, 1, 0x4)",
                                                    "SetSamplerState(0, 1, 0x3)",
                                                    "SetTexture(0, object)",
                                                    "SetFVF(0x144)",
                                                    "DrawPrimitiveUP(5, 2, 28)",
                                                    "EndScene()",
                                                    "DrawPrimitiveUP(5, 2, 28) = 0x8876086C",
                                                    "Present(null, null, null, null)",
                                                }));
    ASSERT_EQ(calls.size(), 13u);
    EXPECT_EQ(calls[7].arguments[1].object, static_cast<IDirect3DTexture9*>(texture));
    ASSERT_EQ(calls[9].vertices.size(), sizeof(quad));
    EXPECT_EQ(std::memcmp(calls[9].vertices.data(), quad, sizeof(quad)), 0);
    EXPECT_TRUE(calls[11].vertices.empty());
}

TEST_F(RecordedSceneTest, AnIndexedDrawKeepsItsIndicesAndTheVerticesTheyName) {
    const Vertex grid[6] = {};
    const WORD indices[4] = {3, 1, 4, 2};
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    Calls().clear();
    ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLESTRIP, 1, 4, 2, indices, D3DFMT_INDEX16, grid,
                                             sizeof(Vertex)),
              D3D_OK);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].Text(), "DrawIndexedPrimitiveUP(5, 1, 4, 2, 101, 28)");
    EXPECT_EQ(Calls()[0].indices.size(), sizeof(indices));
    EXPECT_EQ(Calls()[0].vertices.size(), 5 * sizeof(Vertex));  // up to the last vertex named
}

TEST_F(RecordedSceneTest, ALongRunKeepsTheLatestCallsWithinItsBound) {
    // Draws of a full vertex batch, 64 KB each: some 1100 of them pass the
    // 64 MB the renderer keeps.
    std::vector<Vertex> batch(2340);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (DWORD draw = 0; draw < 1100; ++draw) {
        batch[0].diffuse = draw;
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 780, batch.data(), sizeof(Vertex)), D3D_OK);
    }
    EXPECT_LT(Calls().size(), 1100u);
    EXPECT_GT(Calls().size(), 400u);
    Vertex last{};
    std::memcpy(&last, Calls().back().vertices.data(), sizeof(last));
    EXPECT_EQ(last.diffuse, 1099u);
}

}  // namespace
