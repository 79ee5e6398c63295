// What the tests of the OpenGL renderer share: a machine whose windows are
// shown by SDL2 (the offscreen driver, so that OpenGL runs on Mesa without a
// display), the manual clock, a 64 by 64 window with a windowed device of
// its size drawing through OpenGL, and helpers that draw the framework's
// quads and read pixels back.
//
// Without an OpenGL context the tests skip, saying why; under CI (the CI
// variable set) they fail instead, so that a broken context never passes as
// skipped.
//
// Pixels OpenGL draws are compared within kTolerance per channel.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/host/sdl_host.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/platform/d3d9/d3d9_fixture.h"
#include "tests/support/test_support.h"

namespace d3d9test {

// Steps of 255 a channel may differ by where OpenGL (Mesa's llvmpipe)
// computes in floats what Direct3D rounds to bytes.
constexpr int kTolerance = 2;

constexpr DWORD kColouredFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr DWORD kTexturedFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ColouredVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
};

struct TexturedVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};

// A box as the framework draws it: two triangles, top-left, top-right,
// bottom-left, then bottom-right, bottom-left, top-right, the colour on
// each triangle's first vertex (the others black, which flat shading
// never shows).
inline std::vector<ColouredVertex> Box(float x1, float y1, float x2, float y2, D3DCOLOR colour) {
    return {{x1, y1, 0, 1, colour}, {x2, y1, 0, 1, 0}, {x1, y2, 0, 1, 0},
            {x2, y2, 0, 1, colour}, {x1, y2, 0, 1, 0}, {x2, y1, 0, 1, 0}};
}

// A textured quad in the same order, with the whole texture on it.
inline std::vector<TexturedVertex> Sprite(float x1, float y1, float x2, float y2, D3DCOLOR colour) {
    return {{x1, y1, 0, 1, colour, 0, 0}, {x2, y1, 0, 1, colour, 1, 0}, {x1, y2, 0, 1, colour, 0, 1},
            {x2, y2, 0, 1, colour, 1, 1}, {x1, y2, 0, 1, colour, 0, 1}, {x2, y1, 0, 1, colour, 1, 0}};
}

// Whether two colours are within `tolerance` on every channel (alpha too
// when `withAlpha`).
inline testing::AssertionResult Near(D3DCOLOR actual, D3DCOLOR expected, int tolerance = kTolerance,
                                     bool withAlpha = false) {
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[96];
            std::snprintf(text, sizeof(text), "0x%08X, expected 0x%08X within %d", actual, expected, tolerance);
            return testing::AssertionFailure() << text;
        }
    }
    return testing::AssertionSuccess();
}

class OpenGlTest : public testsupport::PlatformTest {
protected:
    static constexpr UINT kSize = 64;

    void SetUp() override {
        PlatformTest::SetUp();
        platform::Profile().display.desktopWidth = 1280;
        platform::Profile().display.desktopHeight = 1024;
        platform::UseManualClock(true);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = "OpenGlTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "OpenGlTestWindow", "", WS_POPUP, 0, 0, kSize, kSize, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
        if (!platform::host::DisplayAvailable()) return Missing("SDL2's video did not start (SDL_VIDEODRIVER=offscreen)");
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (d3d == nullptr) return Missing("no OpenGL context with framebuffer objects could be had");
        ASSERT_EQ(MakeDevice(Parameters()), D3D_OK);
    }

    void TearDown() override {
        if (device != nullptr) device->Release();
        if (d3d != nullptr) d3d->Release();
        DestroyWindow(window);
        UnregisterClassA("OpenGlTestWindow", nullptr);
        PlatformTest::TearDown();
    }

    void Missing(const std::string& why) {
        if (std::getenv("CI") != nullptr) {
            GTEST_FAIL() << "OpenGL is required under CI: " << why;
        } else {
            GTEST_SKIP() << "No OpenGL: " << why;
        }
    }

    // Windowed, kSize square in the desktop's format (X8R8G8B8), copy swap
    // effect, a lockable back buffer, presenting at once.
    D3DPRESENT_PARAMETERS Parameters() const {
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = kSize;
        parameters.BackBufferHeight = kSize;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_COPY;
        parameters.hDeviceWindow = window;
        parameters.Windowed = TRUE;
        parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        return parameters;
    }

    HRESULT MakeDevice(D3DPRESENT_PARAMETERS parameters) {
        return d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                 &parameters, &device);
    }

    template <class Vertex>
    HRESULT Draw(DWORD fvf, const std::vector<Vertex>& vertices, D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST) {
        const UINT count = static_cast<UINT>(vertices.size());
        const UINT primitives = type == D3DPT_TRIANGLELIST   ? count / 3
                                : type == D3DPT_LINELIST     ? count / 2
                                : type == D3DPT_POINTLIST    ? count
                                : type == D3DPT_LINESTRIP    ? count - 1
                                                             : count - 2;
        device->SetFVF(fvf);
        device->BeginScene();
        const HRESULT result = device->DrawPrimitiveUP(type, primitives, vertices.data(), sizeof(Vertex));
        device->EndScene();
        return result;
    }

    // A managed texture of `width` by `height` pixels of `format`, its level
    // 0 filled with `pixels` (rows top down, the format's bytes).
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, D3DFORMAT format, const void* pixels, UINT rowBytes) {
        IDirect3DTexture9* texture = nullptr;
        if (device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK)
            return nullptr;
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        const UINT rows = format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5 ? (height + 3) / 4
                                                                                                 : height;
        for (UINT row = 0; row < rows; ++row)
            std::memcpy(static_cast<BYTE*>(locked.pBits) + row * locked.Pitch,
                        static_cast<const BYTE*>(pixels) + row * rowBytes, rowBytes);
        texture->UnlockRect(0);
        return texture;
    }

    // The pixels of a render target of 32-bit pixels, rows top down, read
    // through GetRenderTargetData.
    std::vector<D3DCOLOR> Pixels(IDirect3DSurface9* target) {
        D3DSURFACE_DESC description{};
        target->GetDesc(&description);
        Held<IDirect3DSurface9> copy;
        EXPECT_EQ(device->CreateOffscreenPlainSurface(description.Width, description.Height, description.Format,
                                                      D3DPOOL_SYSTEMMEM, &copy, nullptr),
                  D3D_OK);
        EXPECT_EQ(device->GetRenderTargetData(target, copy), D3D_OK);
        std::vector<D3DCOLOR> pixels(size_t{description.Width} * description.Height);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (UINT row = 0; row < description.Height; ++row)
            std::memcpy(&pixels[size_t{row} * description.Width], static_cast<BYTE*>(locked.pBits) + row * locked.Pitch,
                        description.Width * 4);
        copy->UnlockRect();
        return pixels;
    }

    // The back buffer's pixels.
    std::vector<D3DCOLOR> BackBufferPixels() {
        Held<IDirect3DSurface9> backBuffer;
        EXPECT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
        return Pixels(backBuffer);
    }

    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

}  // namespace d3d9test
