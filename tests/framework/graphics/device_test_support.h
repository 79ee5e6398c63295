// What the device-layer tests share: a started log, a window system without a
// host display on a 1280 by 1024 desktop at 32 bits, COM, devices that record
// every call, and after each test the device layer taken down and its caches
// put back to their start.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/device_state_cache.h"
#include "framework/graphics/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen_mode.h"
#include "framework/graphics/shader_pack.h"
#include "framework/graphics/shader_pack_data.h"
#include "framework/graphics/vertex_batch.h"
#include "platform/d3d9/recording_renderer.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/main_window_fixture.h"

namespace graphicstest {

class DeviceLayerTest : public windowtest::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        platform::Profile().display.desktopBitsPerPixel = 32;
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Recording;
        CoInitialize(nullptr);
        ResetDeviceLayer();
    }

    void TearDown() override {
        TermGraphicsDevice();
        CloseShaderPack();
        ResetDeviceLayer();
        CoUninitialize();
        MainWindowTest::TearDown();
    }

    static void ResetDeviceLayer() {
        Direct3DDevice = Direct3DDeviceState{};
        DeviceStates = DeviceStateCache{};
        DrawVertexBatch = VertexBatch{0, D3DPT_TRIANGLELIST, 0, BatchBuffer(0), 0, BatchBuffer(kUserVertexFormat), 0};
        ProgrammableShadersOn = 0;
        ShaderPackArchiveSource = KilnShaderPackArchiveBlock;
        RequestedScreenMode = ScreenModeRequest{0, 0, 0, 0};
        SoftwareRenderOnlyFlag = 0;
        Screen320x240Flag = 0;
        CurrentDrawSettings = DrawSettings{};
    }

    // A main window in window mode (1) or full screen (0).
    void MakeWindow(int windowMode) {
        ChangeWindowMode(windowMode);
        SetMainWindowTitle("デバイスの検査");
        ASSERT_EQ(CreateMainWindow(), 0);
    }

    // A window-mode window with the device layer up on it.
    void StartWindowed() {
        MakeWindow(1);
        ASSERT_EQ(ChangeScreenModeDirect3D9(), 0);
        ASSERT_NE(Direct3DDevice.device, nullptr);
    }

    static std::vector<platform::d3d9::RecordedCall>& Calls() {
        return *platform::d3d9::RecordedCallsOf(Direct3DDevice.device);
    }
    // The texts of the calls since the list was last cleared, and clears it.
    static std::vector<std::string> TakeCalls() {
        std::vector<std::string> texts = platform::d3d9::CallTexts(Calls());
        Calls().clear();
        return texts;
    }

    // Queues `count` vertices of the current format as if a draw had.
    static void QueueVertices(int count, D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST) {
        VertexBatch& batch = DrawVertexBatch;
        batch.primitiveType = type;
        batch.vertexCount += count;
        batch.writePointer += static_cast<size_t>(count) * BatchFormats[batch.format].stride;
    }
};

}  // namespace graphicstest
