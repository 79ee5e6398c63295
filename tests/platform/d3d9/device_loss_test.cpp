// Device loss: once the machine profile says another program holds the
// display, the device is lost at its next call and stays lost; it refuses to
// present until it is released and a new device made, which can happen only
// once the display is free again.
#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Held;
using DeviceLossTest = d3d9test::Direct3DTest;

TEST_F(DeviceLossTest, ALostDeviceRefusesToPresentUntilItIsMadeAnew) {
    MakeDevice();
    ASSERT_EQ(device->TestCooperativeLevel(), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    Held<IDirect3DSurface9> target, copy;
    ASSERT_EQ(device->CreateRenderTarget(4, 4, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr), D3D_OK);

    platform::Profile().direct3d.deviceLost = true;
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    Held<IDirect3DSwapChain9> swapChain;
    ASSERT_EQ(device->GetSwapChain(0, &swapChain), D3D_OK);
    EXPECT_EQ(swapChain->Present(nullptr, nullptr, nullptr, nullptr, 0), D3DERR_DEVICELOST);
    EXPECT_EQ(device->GetRenderTargetData(target, copy), D3DERR_DEVICELOST);
    // Drawing and clearing go on without complaint and without effect.
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->ColorFill(target, nullptr, 0), D3D_OK);
    IDirect3DDevice9* another = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_MIXED_VERTEXPROCESSING,
                                &parameters, &another),
              D3DERR_DEVICELOST);
    EXPECT_EQ(another, nullptr);

    // The display is free again, but this device stays lost.
    platform::Profile().direct3d.deviceLost = false;
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);

    swapChain.object->Release();
    swapChain.object = nullptr;
    target.object->Release();
    target.object = nullptr;
    copy.object->Release();
    copy.object = nullptr;
    device->Release();
    device = nullptr;
    MakeDevice();
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(DeviceLossTest, PresentingWaitsForTheVerticalBlankUnlessImmediate) {
    MakeDevice();
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(platform::ManualClockNanoseconds(), 16666667u);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(platform::ManualClockNanoseconds(), 33333334u);
    device->Release();
    device = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(MakeDevice(parameters), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(platform::ManualClockNanoseconds(), 33333334u);
}

TEST_F(DeviceLossTest, PresentAndDialogBoxModeRefuseAnOpenSceneAndWhatTheSwapChainCannotTake) {
    MakeDevice();
    const RECT quarter{0, 0, 320, 240};
    const RECT beyond{0, 0, 641, 480};
    EXPECT_EQ(device->Present(&quarter, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(device->Present(&beyond, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, reinterpret_cast<HWND>(0x1234), nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetDialogBoxMode(TRUE), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->SetDialogBoxMode(TRUE), D3D_OK);

    device->Release();
    device = nullptr;
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Flags = 0;
    ASSERT_EQ(MakeDevice(parameters), D3D_OK);
    EXPECT_EQ(device->Present(&quarter, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, window, nullptr), D3D_OK);
    EXPECT_EQ(device->SetDialogBoxMode(TRUE), D3DERR_INVALIDCALL);  // the back buffer is not lockable
}

}  // namespace
