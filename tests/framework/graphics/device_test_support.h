// What the device-layer tests share: a started log, a window system without a
// host display on a 1280 by 1024 desktop at 32 bits, COM, devices that record
// every call, and after each test the device layer taken down and its caches
// put back to their start.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/device/device_state_cache.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/graphic_draw_info.h"
#include "framework/graphics/draws/graphic_draw_parts.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/screen_mode.h"
#include "framework/graphics/shaders/shader_pack.h"
#include "framework/graphics/shaders/shader_pack_data.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "platform/d3d9/device.h"
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

    // What the device holds now, as the calls so far have set it.
    static const platform::d3d9::DeviceState& DeviceNow() {
        return platform::d3d9::Device::From(Direct3DDevice.device)->State();
    }

    // The vertices a recorded draw call was given, as `Vertex`es.
    template <typename Vertex>
    static std::vector<Vertex> VerticesOf(const platform::d3d9::RecordedCall& call) {
        std::vector<Vertex> vertices(call.vertices.size() / sizeof(Vertex));
        if (!vertices.empty()) std::memcpy(vertices.data(), call.vertices.data(), vertices.size() * sizeof(Vertex));
        return vertices;
    }

    // The recorded calls of one name since the list was last cleared.
    static std::vector<platform::d3d9::RecordedCall> CallsNamed(const std::string& name) {
        std::vector<platform::d3d9::RecordedCall> named;
        for (const platform::d3d9::RecordedCall& call : Calls())
            if (call.name == name) named.push_back(call);
        return named;
    }

    // Queues `count` vertices of the current format as if a draw had.
    static void QueueVertices(int count, D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST) {
        VertexBatch& batch = DrawVertexBatch;
        batch.primitiveType = type;
        batch.vertexCount += count;
        batch.writePointer += static_cast<size_t>(count) * BatchFormats[batch.format].stride;
    }
};

// Device-layer tests that draw: a window-mode device on the recording
// renderer, the draw area over the whole 640 by 480 screen, the batch
// buffers preset, and graphics made by hand on the device's textures the way
// graphic creation lays them out.
class HardwareDrawTest : public DeviceLayerTest {
protected:
    void SetUp() override {
        DeviceLayerTest::SetUp();
        StartWindowed();
        ProgrammableShadersOn = 0;
        PresetBatchBuffers();
        SetDrawAreaRect(0, 0, 640, 480);
        TakeCalls();
    }

    void TearDown() override {
        for (int handle : graphics_) DeleteGraphicHandle(handle, 0);
        graphics_.clear();
        DeviceLayerTest::TearDown();
    }

    // A width by height graphic whose image is held in textures of the given
    // column widths and row heights (powers of two), one piece per column of
    // each row, each piece holding as much of the image as it reaches.
    int MakeTextureGraphic(int width, int height, const std::vector<int>& columns, const std::vector<int>& rows,
                           int alphaChannel = 0, int alphaTest = 0) {
        const int pieceCount = static_cast<int>(columns.size() * rows.size());
        auto* image = static_cast<GraphicImage*>(AllocZeroedMemory(sizeof(GraphicImage), __FILE__, __LINE__));
        image->referenceCount = 1;
        image->hardware = 1;
        image->alphaChannel = static_cast<uint8_t>(alphaChannel);
        image->alphaTest = static_cast<uint8_t>(alphaTest);
        image->width = width;
        image->height = height;
        image->pieceCount = pieceCount;
        image->pieces =
            static_cast<TexturePiece*>(AllocZeroedMemory(sizeof(TexturePiece) * pieceCount, __FILE__, __LINE__));
        int index = 0;
        for (int y = 0, row = 0; row < static_cast<int>(rows.size()); y += rows[row++]) {
            for (int x = 0, column = 0; column < static_cast<int>(columns.size()); x += columns[column++]) {
                TexturePiece& piece = image->pieces[index++];
                piece.x = x;
                piece.y = y;
                piece.usedWidth = std::min(columns[column], width - x);
                piece.usedHeight = std::min(rows[row], height - y);
                piece.textureWidth = columns[column];
                piece.textureHeight = rows[row];
                IDirect3DTexture9* texture = nullptr;
                EXPECT_EQ(Direct3DDevice.device->CreateTexture(columns[column], rows[row], 1, 0, D3DFMT_A8R8G8B8,
                                                               D3DPOOL_MANAGED, &texture, nullptr),
                          D3D_OK);
                IDirect3DSurface9* surface = nullptr;
                texture->GetSurfaceLevel(0, &surface);
                piece.texture = texture;
                piece.surface = surface;
            }
        }
        const int handle = AllocGraphicHandle();
        GraphicRecord* record = GetGraphicRecord(handle);
        record->image = image;
        record->width = width;
        record->height = height;
        graphics_.push_back(handle);
        BuildDrawPieces(record);
        return handle;
    }

    // A graphic showing the rectangle (x, y, width, height) of another's
    // image, sharing its image block.
    int MakePartGraphic(int source, int x, int y, int width, int height) {
        GraphicImage* image = GetGraphicRecord(source)->image;
        ++image->referenceCount;
        const int handle = AllocGraphicHandle();
        GraphicRecord* record = GetGraphicRecord(handle);
        record->image = image;
        record->x = x;
        record->y = y;
        record->width = width;
        record->height = height;
        graphics_.push_back(handle);
        BuildDrawPieces(record);
        return handle;
    }

    static IDirect3DTexture9* TextureOf(int handle, int piece) {
        return PieceTexture(&GetGraphicRecord(handle)->image->pieces[piece]);
    }

private:
    // One draw piece for each texture piece the graphic's rectangle overlaps,
    // made by graphic creation's own builder; deleting the graphic frees them.
    static void BuildDrawPieces(GraphicRecord* record) { ASSERT_EQ(BuildGraphicDrawInfo(record->handle), 0); }

    std::vector<int> graphics_;
};

}  // namespace graphicstest
