// The renderer changes nothing of the device's logic: a frame run through a
// device drawing with OpenGL (keeping its calls when the profile asks) gives
// the call list, results included, that the same frame gives through the
// recording renderer.
#include <algorithm>

#include "platform/d3d9/recording_renderer.h"
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Box;
using d3d9test::ColouredVertex;
using d3d9test::Held;
using d3d9test::kColouredFvf;
using d3d9test::kTexturedFvf;
using d3d9test::Sprite;

// A frame as the framework makes one, with a few calls the device refuses.
void Frame(IDirect3DDevice9* device) {
    Held<IDirect3DTexture9> texture;
    device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(0, &locked, nullptr, 0) == D3D_OK) {
        std::memset(locked.pBits, 0x80, size_t(locked.Pitch) * 8);
        texture->UnlockRect(0);
    }
    Held<IDirect3DSurface9> sub;
    device->CreateRenderTarget(64, 64, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &sub, nullptr);
    Held<IDirect3DSurface9> backBuffer;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    device->ColorFill(sub, nullptr, 0);
    device->SetRenderTarget(0, sub);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00204060, 1.0f, 0);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);  // no depth surface: refused
    device->BeginScene();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(200), 1);  // unknown: refused
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTexture(0, texture);
    device->SetFVF(kTexturedFvf);
    const std::vector<d3d9test::TexturedVertex> sprite = Sprite(3.5f, 3.5f, 11.5f, 11.5f, 0x80FFFFFF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, sprite.data(), sizeof(sprite[0]));
    device->SetTexture(0, nullptr);
    device->SetFVF(kColouredFvf);
    const std::vector<ColouredVertex> box = Box(20, 20, 30, 30, 0xFFFF0000);
    const WORD indices[6] = {0, 1, 2, 3, 4, 5};
    device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 6, 2, indices, D3DFMT_INDEX16, box.data(), sizeof(box[0]));
    device->EndScene();
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, box.data(), sizeof(box[0]));  // outside a scene: refused
    device->StretchRect(sub, nullptr, backBuffer, nullptr, D3DTEXF_NONE);
    device->SetRenderTarget(0, backBuffer);
    Held<IDirect3DSurface9> copy;
    device->CreateOffscreenPlainSurface(64, 64, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr);
    device->GetRenderTargetData(backBuffer, copy);
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

class SameCallsTest : public d3d9test::OpenGlTest {};

TEST_F(SameCallsTest, AFrameGivesTheRecordingRenderersCallList) {
    device->Release();
    device = nullptr;
    platform::Profile().direct3d.keepCalls = true;
    ASSERT_EQ(MakeDevice(Parameters()), D3D_OK);
    std::vector<platform::d3d9::RecordedCall>* drawn = platform::d3d9::RecordedCallsOf(device);
    ASSERT_NE(drawn, nullptr);
    Frame(device);
    const std::vector<std::string> throughOpenGl = platform::d3d9::CallTexts(*drawn);
    device->Release();
    device = nullptr;

    platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Recording;
    ASSERT_EQ(MakeDevice(Parameters()), D3D_OK);
    Frame(device);
    const std::vector<std::string> recorded = platform::d3d9::CallTexts(*platform::d3d9::RecordedCallsOf(device));

    EXPECT_EQ(throughOpenGl, recorded);
    // The refusals are in both.
    EXPECT_NE(std::find(recorded.begin(), recorded.end(), "DrawPrimitiveUP(4, 2, 20) = 0x8876086C"), recorded.end());
}

TEST_F(SameCallsTest, WithoutTheProfileAskingNoCallsAreKept) {
    EXPECT_EQ(platform::d3d9::RecordedCallsOf(device), nullptr);
}

}  // namespace
