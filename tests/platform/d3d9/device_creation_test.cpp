// Device creation: the presentation parameters it completes and those it
// refuses, the behaviour flags, full-screen modes, the swap chain and the
// automatic depth surface.
#include <functional>

#include "platform/d3d9/device.h"
#include "tests/platform/d3d9/d3d9_fixture.h"

namespace {

using d3d9test::Held;
using DeviceCreationTest = d3d9test::Direct3DTest;

TEST_F(DeviceCreationTest, AWindowedDeviceTakesTheDesktopsFormatAndTheClientSizeWhereLeftOpen) {
    for (const int32_t bits : {32, 16}) {
        SCOPED_TRACE(bits);
        platform::Profile().display.desktopBitsPerPixel = bits;
        D3DPRESENT_PARAMETERS parameters = WindowedParameters();
        parameters.BackBufferWidth = parameters.BackBufferHeight = 0;
        parameters.BackBufferCount = 0;
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_MIXED_VERTEXPROCESSING,
                                    &parameters, &device),
                  D3D_OK);
        const D3DFORMAT desktop = bits == 32 ? D3DFMT_X8R8G8B8 : D3DFMT_R5G6B5;
        EXPECT_EQ(parameters.BackBufferFormat, desktop);
        EXPECT_EQ(parameters.BackBufferWidth, 640u);
        EXPECT_EQ(parameters.BackBufferHeight, 480u);
        EXPECT_EQ(parameters.BackBufferCount, 1u);

        Held<IDirect3DSurface9> backBuffer;
        Held<IDirect3DSwapChain9> swapChain;
        Held<IDirect3DSurface9> viaSwapChain;
        ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
        ASSERT_EQ(device->GetSwapChain(0, &swapChain), D3D_OK);
        ASSERT_EQ(swapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &viaSwapChain), D3D_OK);
        EXPECT_EQ(backBuffer.object, viaSwapChain.object);
        D3DSURFACE_DESC description{};
        ASSERT_EQ(backBuffer->GetDesc(&description), D3D_OK);
        EXPECT_EQ(description.Format, desktop);
        EXPECT_EQ(description.Usage, D3DUSAGE_RENDERTARGET);
        EXPECT_EQ(description.Pool, D3DPOOL_DEFAULT);
        EXPECT_EQ(description.Width, 640u);
        Held<IDirect3DSurface9> noBackBuffer;
        Held<IDirect3DSwapChain9> noSwapChain;
        EXPECT_EQ(device->GetBackBuffer(0, 1, D3DBACKBUFFER_TYPE_MONO, &noBackBuffer), D3DERR_INVALIDCALL);
        EXPECT_EQ(device->GetSwapChain(1, &noSwapChain), D3DERR_INVALIDCALL);
        device->Release();
        device = nullptr;
    }
}

TEST_F(DeviceCreationTest, ParametersAndBehavioursDirect3DRefusesMakeNoDevice) {
    struct Case {
        const char* name;
        std::function<void(D3DPRESENT_PARAMETERS&)> change;
        DWORD behavior;
    };
    const DWORD mixed = D3DCREATE_MIXED_VERTEXPROCESSING;
    const Case cases[] = {
        {"four back buffers", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferCount = 4; }, mixed},
        {"copy with two back buffers", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferCount = 2; }, mixed},
        {"multisampling", [](D3DPRESENT_PARAMETERS& p) { p.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(2); },
         mixed},
        {"no swap effect", [](D3DPRESENT_PARAMETERS& p) { p.SwapEffect = static_cast<D3DSWAPEFFECT>(0); }, mixed},
        {"interval two", [](D3DPRESENT_PARAMETERS& p) { p.PresentationInterval = 2; }, mixed},
        {"windowed refresh rate", [](D3DPRESENT_PARAMETERS& p) { p.FullScreen_RefreshRateInHz = 60; }, mixed},
        {"compressed back buffer", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferFormat = D3DFMT_DXT1; }, mixed},
        {"depth format not offered",
         [](D3DPRESENT_PARAMETERS& p) {
             p.EnableAutoDepthStencil = TRUE;
             p.AutoDepthStencilFormat = D3DFMT_D32;
         },
         mixed},
        {"unknown present flag", [](D3DPRESENT_PARAMETERS& p) { p.Flags |= 0x100; }, mixed},
        {"not a window", [](D3DPRESENT_PARAMETERS& p) { p.hDeviceWindow = reinterpret_cast<HWND>(0x1234); }, mixed},
        {"no vertex processing", [](D3DPRESENT_PARAMETERS&) {}, 0},
        {"two vertex processings", [](D3DPRESENT_PARAMETERS&) {},
         D3DCREATE_MIXED_VERTEXPROCESSING | D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {"pure without hardware processing", [](D3DPRESENT_PARAMETERS&) {}, mixed | D3DCREATE_PUREDEVICE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        D3DPRESENT_PARAMETERS parameters = WindowedParameters();
        c.change(parameters);
        EXPECT_EQ(MakeDevice(parameters, c.behavior), D3DERR_INVALIDCALL);
        EXPECT_EQ(device, nullptr);
    }
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    EXPECT_EQ(d3d->CreateDevice(1, D3DDEVTYPE_HAL, window, mixed, &parameters, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, window, mixed, &parameters, &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, mixed, nullptr, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
}

TEST_F(DeviceCreationTest, WithoutHardwareVertexProcessingOnlySoftwareVertexProcessingMakesADevice) {
    platform::Profile().direct3d.hardwareVertexProcessing = false;
    EXPECT_EQ(MakeDevice(WindowedParameters(), D3DCREATE_MIXED_VERTEXPROCESSING), D3DERR_INVALIDCALL);
    EXPECT_EQ(MakeDevice(WindowedParameters(), D3DCREATE_HARDWARE_VERTEXPROCESSING), D3DERR_INVALIDCALL);
    EXPECT_EQ(MakeDevice(WindowedParameters(), D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE),
              D3D_OK);
}

TEST_F(DeviceCreationTest, AFullScreenDeviceNeedsADisplayModeAndHoldsTheDisplayInItUntilReleased) {
    platform::Profile().display.displayModes = {{640, 480, 16, 60}, {640, 480, 32, 60}, {1280, 1024, 32, 60}};
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    parameters.Windowed = FALSE;
    parameters.BackBufferFormat = D3DFMT_X1R5G5B5;
    EXPECT_EQ(MakeDevice(parameters), D3DERR_INVALIDCALL);  // the 16-bit modes are R5G6B5
    parameters.BackBufferFormat = D3DFMT_R5G6B5;
    parameters.FullScreen_RefreshRateInHz = 75;
    EXPECT_EQ(MakeDevice(parameters), D3DERR_INVALIDCALL);
    parameters.FullScreen_RefreshRateInHz = 0;
    ASSERT_EQ(MakeDevice(parameters), D3D_OK);

    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(mode.dmPelsWidth, 640u);
    EXPECT_EQ(mode.dmBitsPerPel, 16u);
    D3DDISPLAYMODE displayMode{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode), D3D_OK);
    EXPECT_EQ(displayMode.Format, D3DFMT_R5G6B5);

    device->Release();
    device = nullptr;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(mode.dmPelsWidth, 1280u);
    EXPECT_EQ(mode.dmBitsPerPel, 32u);
}

TEST_F(DeviceCreationTest, AnAutomaticDepthSurfaceIsInUseAndSwitchesZOn) {
    D3DPRESENT_PARAMETERS parameters = WindowedParameters();
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    ASSERT_EQ(MakeDevice(parameters), D3D_OK);
    EXPECT_EQ(platform::d3d9::Device::From(device)->State().renderStates[D3DRS_ZENABLE], static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

}  // namespace
