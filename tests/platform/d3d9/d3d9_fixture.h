// What the Direct3D 9 tests share: a machine with a 1280 by 1024 desktop at
// 32 bits, windows kept as records, the CPU renderer, the manual clock (so
// presents and vertical-blank waits step it instead of sleeping), a window,
// the adapter object and, on request, a windowed 640 by 480 device.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/recording_renderer.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/support/test_support.h"

namespace d3d9test {

inline LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class Direct3DTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Off;
        // Windows are records here; the device's logic is tested through the
        // renderer that makes the exact copies in memory.
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Cpu;
        platform::Profile().display.desktopWidth = 1280;
        platform::Profile().display.desktopHeight = 1024;
        platform::UseManualClock(true);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = "Direct3DTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "Direct3DTestWindow", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
    }

    void TearDown() override {
        if (device != nullptr) device->Release();
        if (d3d != nullptr) d3d->Release();
        DestroyWindow(window);
        UnregisterClassA("Direct3DTestWindow", nullptr);
        PlatformTest::TearDown();
    }

    // Windowed, 640 by 480 in the desktop's format, copy swap effect, a
    // lockable back buffer, presenting once per vertical blank.
    D3DPRESENT_PARAMETERS WindowedParameters() const {
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 640;
        parameters.BackBufferHeight = 480;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_COPY;
        parameters.hDeviceWindow = window;
        parameters.Windowed = TRUE;
        parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        parameters.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
        return parameters;
    }

    HRESULT MakeDevice(D3DPRESENT_PARAMETERS parameters, DWORD behavior = D3DCREATE_MIXED_VERTEXPROCESSING) {
        return d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behavior, &parameters, &device);
    }
    // The windowed device; fails the test when it cannot be made.
    void MakeDevice() { ASSERT_EQ(MakeDevice(WindowedParameters()), D3D_OK); }

    std::vector<platform::d3d9::RecordedCall>& Calls() { return *platform::d3d9::RecordedCallsOf(device); }
    // The texts of the calls made since the list was last cleared, and clears it.
    std::vector<std::string> TakeCallTexts() {
        std::vector<std::string> texts = platform::d3d9::CallTexts(Calls());
        Calls().clear();
        return texts;
    }

    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// Releases a COM object at the end of a scope.
template <class Interface>
struct Held {
    Interface* object = nullptr;
    ~Held() {
        if (object != nullptr) object->Release();
    }
    Interface** operator&() { return &object; }
    Interface* operator->() const { return object; }
    operator Interface*() const { return object; }
};

}  // namespace d3d9test
