// Each device draws through its own context: two devices on one thread
// draw in turn without touching each other's pixels or objects, and one
// whose window has gone is released without deleting anything of the
// other's.
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Held;
using d3d9test::kTexturedFvf;
using d3d9test::Near;
using d3d9test::Sprite;

class ContextsTest : public d3d9test::OpenGlTest {
protected:
    void TearDown() override {
        if (other != nullptr) other->Release();
        other = nullptr;
        if (otherWindow != nullptr) DestroyWindow(otherWindow);
        OpenGlTest::TearDown();
    }

    // A sprite of one texel of `colour` over the top-left 8 by 8 pixels.
    static void DrawTexel(IDirect3DDevice9* on, IDirect3DTexture9* texture) {
        on->SetRenderState(D3DRS_LIGHTING, FALSE);
        on->SetTexture(0, texture);
        on->SetFVF(kTexturedFvf);
        on->BeginScene();
        const std::vector<d3d9test::TexturedVertex> sprite = Sprite(-0.5f, -0.5f, 7.5f, 7.5f, 0xFFFFFFFF);
        on->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, sprite.data(), sizeof(sprite[0]));
        on->EndScene();
    }

    IDirect3DTexture9* Texel(IDirect3DDevice9* on, D3DCOLOR colour) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(on->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        *static_cast<D3DCOLOR*>(locked.pBits) = colour;
        texture->UnlockRect(0);
        return texture;
    }

    HWND otherWindow = nullptr;
    IDirect3DDevice9* other = nullptr;
};

TEST_F(ContextsTest, DevicesOnOneThreadKeepToTheirOwnContexts) {
    otherWindow = CreateWindowExA(0, "OpenGlTestWindow", "", WS_POPUP, 0, 0, kSize, kSize, nullptr, nullptr, nullptr,
                                  nullptr);
    D3DPRESENT_PARAMETERS parameters = Parameters();
    parameters.hDeviceWindow = otherWindow;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, otherWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &parameters, &other),
              D3D_OK);
    Held<IDirect3DTexture9> red;
    red.object = Texel(device, 0xFFFF0000);
    Held<IDirect3DTexture9> blue;
    blue.object = Texel(other, 0xFF0000FF);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    other->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    DrawTexel(device, red);
    DrawTexel(other, blue);
    DrawTexel(device, red);
    EXPECT_TRUE(Near(BackBufferPixels()[3 * kSize + 3], 0xFF0000));

    // The first device's window goes, and then the device, while the
    // other's context is current.
    DestroyWindow(window);
    window = nullptr;
    other->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    red->Release();
    red.object = nullptr;
    device->Release();
    device = nullptr;
    DrawTexel(other, blue);
    std::swap(device, other);
    EXPECT_TRUE(Near(BackBufferPixels()[3 * kSize + 3], 0x0000FF));
    std::swap(device, other);
}

}  // namespace
