// Rebuilding the screen: a lost device brought back with every file-loaded
// graphic showing its picture again and the same frame drawn as before, and
// the screen-mode change with its log lines.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/base/log.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/font/font_handles.h"
#include "framework/graphics/font/string_drawing.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

// A 16 by 16 RGBA picture: a gradient with a clear band, written as a PNG.
void WritePicture(const std::string& path) {
    std::vector<uint8_t> pixels(16 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = &pixels[static_cast<size_t>((y * 16 + x) * 4)];
            p[0] = static_cast<uint8_t>(x * 16);
            p[1] = static_cast<uint8_t>(y * 16);
            p[2] = static_cast<uint8_t>(255 - x * 8);
            p[3] = y < 4 ? 0 : 255;
        }
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = 16;
    image.height = 16;
    image.format = PNG_FORMAT_RGBA;
    ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr), 0);
}

class ScreenRestoreTest : public HardwareGraphicsTest {
protected:
    void TearDown() override {
        platform::Profile().direct3d.deviceLost = false;
        FrameworkInitialised = 0;
        SetWaitVSyncFlag(1);
        HardwareGraphicsTest::TearDown();
    }
    void Start(bool hardware) {
        SoftwareRenderOnlyFlag = hardware ? 0 : 1;
        MakeWindow(1);
        ASSERT_EQ(InitGraphicsSystem(), 0);
        ASSERT_EQ(HardwarePathFlag, hardware ? 1 : 0);
        FrameworkInitialised = 1;
        SetWaitVSyncFlag(0);
        SetGraphicsRestoreCallback(nullptr);
        WritePicture(folder_.hostPath() + "/picture.png");
    }

    // One frame with the picture plain, blended and turned, and a box: the
    // calls it makes of the device (the memory renderer makes no pixels of
    // draws).
    std::vector<std::string> DrawFrame(int picture) {
        TakeCalls();
        SelectDrawTarget(-2);
        ClearTargetScreen();
        DrawGraphicAtPoint(10, 10, picture, 1);
        SetBlendModeAndParam(1, 128);
        DrawGraphicStretched(40, 10, 72, 42, picture, 1);
        SetBlendModeAndParam(0, 0);
        DrawGraphicRotated(120, 30, 1.5, 0.7, picture, 1, 0);
        DrawRectFilled(200, 10, 220, 30, static_cast<int>(MakeScreenColorCode(0, 255, 0)));
        FlushVertexBatch();
        EndDeviceScene();
        return TakeCalls();
    }
    // What the device holds at the end of a frame: its render, stage and
    // sampler states, transforms, viewport, scissor and shader constants.
    static std::string DeviceStateBytes() {
        const platform::d3d9::DeviceState& d = DeviceNow();
        std::string bytes;
        auto add = [&bytes](const void* data, size_t size) { bytes.append(static_cast<const char*>(data), size); };
        add(d.renderStates, sizeof(d.renderStates));
        add(d.stageStates, sizeof(d.stageStates));
        add(d.samplerStates, sizeof(d.samplerStates));
        add(&d.world, sizeof(d.world));
        add(&d.view, sizeof(d.view));
        add(&d.projection, sizeof(d.projection));
        add(&d.viewport, sizeof(d.viewport));
        add(&d.scissor, sizeof(d.scissor));
        add(d.vertexConstants, sizeof(d.vertexConstants));
        add(d.pixelConstants, sizeof(d.pixelConstants));
        return bytes;
    }
};

TEST_F(ScreenRestoreTest, AfterADeviceLossTheNextFrameIsTheFrameBeforeIt) {
    Start(true);
    const int picture = LoadGraphFile("picture.png", 0);
    ASSERT_GE(picture, 0);
    DrawFrame(picture);
    ASSERT_EQ(PresentBackBuffer(), 0);
    const std::vector<std::string> before = DrawFrame(picture);
    ASSERT_FALSE(before.empty());
    const std::string statesBefore = DeviceStateBytes();
    ASSERT_EQ(PresentBackBuffer(), 0);
    const std::string texels = LevelBytes(TextureOf(picture), 0, 16 * 16 * 4);

    // The device is lost: the present is refused and the window side rebuilds.
    platform::Profile().direct3d.deviceLost = true;
    DrawFrame(picture);
    EXPECT_EQ(PresentBackBuffer(), -1);
    platform::Profile().direct3d.deviceLost = false;
    const size_t mark = LogText().size();
    ASSERT_EQ(ReapplyScreenMode(), 0);
    EXPECT_NE(LogText().substr(mark).find("グラフィックを復帰します\r\n"), std::string::npos);
    EXPECT_EQ(IsValidGraphicHandle(picture), 1);
    ASSERT_NE(TextureOf(picture), nullptr);
    EXPECT_EQ(LevelBytes(TextureOf(picture), 0, 16 * 16 * 4), texels);

    // With every state on the new device as the cache holds it, the next
    // frame asks the device for exactly what the last good one did.
    EXPECT_EQ(DrawFrame(picture), before);
    EXPECT_TRUE(DeviceStateBytes() == statesBefore);
    EXPECT_EQ(PresentBackBuffer(), 0);
}

TEST_F(ScreenRestoreTest, AGraphicMadeInMemoryComesBackEmpty) {
    Start(true);
    const int picture = LoadGraphFile("picture.png", 0);
    const int made = MakeEmptyGraphic(16, 16);
    ASSERT_GE(made, 0);
    SelectDrawTarget(made);
    DrawGraphicAtPoint(0, 0, picture, 0);
    ASSERT_EQ(ReapplyScreenMode(), 0);
    SelectDrawTarget(-2);
    ClearTargetScreen();
    DrawGraphicAtPoint(0, 0, made, 0);
    FlushVertexBatch();
    EndDeviceScene();
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(Direct3DDevice.backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    uint32_t pixel = 0xFFFFFFFF;
    std::memcpy(&pixel, static_cast<const char*>(locked.pBits) + 8 * locked.Pitch + 8 * 4, 4);
    Direct3DDevice.backBuffer->UnlockRect();
    EXPECT_EQ(pixel & 0xFFFFFF, 0u);
}

TEST_F(ScreenRestoreTest, AModeChangeWithNothingToChangeLogsNothing) {
    Start(false);
    const size_t mark = LogText().size();
    EXPECT_EQ(ApplyScreenModeChange(-1, -1, -1, 0, -1), 0);
    EXPECT_EQ(LogText().substr(mark), "");
}

TEST_F(ScreenRestoreTest, AModeChangeRestartsTheScreenBetweenItsTwoLines) {
    Start(false);
    const int graphic = MakeEmptyGraphic(8, 8);
    const size_t mark = LogText().size();
    EXPECT_EQ(ApplyScreenModeChange(800, 600, 32, 0, -1), 0);
    // Each line after its time stamp: the first and the last at the depth
    // the change began at, the screen's own lines indented between them.
    std::vector<std::string> lines;
    const std::string text = LogText().substr(mark);
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        lines.push_back(line.substr(line.find(':') + 1));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "画面モード変更処理を開始します");
    EXPECT_EQ(lines.back(), "画面モード変更処理は正常に終了しました");
    int width = 0, height = 0, bits = 0;
    GetScreenModeInfo(&width, &height, &bits);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(bits, 32);
    EXPECT_EQ(PrimaryScreenMemImg.width, 800);
    EXPECT_EQ(IsValidGraphicHandle(graphic), 0);
    EXPECT_EQ(GraphicsSystemUp, 1);

    // Before the framework is up only the values are kept.
    TermGraphicsSystem();
    FrameworkInitialised = 0;
    EXPECT_EQ(ApplyScreenModeChange(320, 240, 16, 0, -1), 0);
    EXPECT_EQ(GraphicsSystemUp, 0);
    EXPECT_EQ(RequestedScreenMode.width, 320);
}

// The default font keeps the size and thickness it was given across a mode
// change, which ends and starts the font system: a string drawn with it
// afterwards is the string drawn before.
TEST_F(ScreenRestoreTest, TheDefaultFontKeepsItsSettingsAcrossAModeChange) {
    platform::Profile().fonts.testGlyphSource = true;
    Start(false);
    const auto drawn = [] {
        FillMemImgRect(&PrimaryScreenMemImg, nullptr, 0);
        EXPECT_EQ(DrawStringDefaultFont(5, 5, "AB", 0xFFFF, 0), 0);
        std::string rows;
        for (int y = 0; y < 40; ++y)
            rows.append(reinterpret_cast<const char*>(PrimaryScreenMemImg.pixels) + y * PrimaryScreenMemImg.base->pitch,
                        static_cast<size_t>(40 * PrimaryScreenMemImg.base->format->bytesPerPixel));
        return rows;
    };
    ASSERT_EQ(SetDefaultFontSize(nullptr, 24, 9), 0);
    const std::string before = drawn();
    ASSERT_EQ(ApplyScreenModeChange(-1, -1, -1, 1, -1), 0);
    int size = 0, thickness = 0;
    ASSERT_EQ(GetFontHandleInfo(nullptr, &size, &thickness, GetDefaultFontHandle()), 0);
    EXPECT_EQ(size, 24);
    EXPECT_EQ(thickness, 9);
    EXPECT_TRUE(drawn() == before);
    // So does a change to another size and depth.
    EXPECT_EQ(ApplyScreenModeChange(800, 600, 32, 0, -1), 0);
    ASSERT_EQ(GetFontHandleInfo(nullptr, &size, &thickness, GetDefaultFontHandle()), 0);
    EXPECT_EQ(size, 24);
    EXPECT_EQ(thickness, 9);
}

TEST_F(ScreenRestoreTest, WhileTheWindowIsBeingMadeAResetLeavesTheDeviceAlone) {
    Start(true);
    const int picture = LoadGraphFile("picture.png", 0);
    ASSERT_GE(picture, 0);
    IDirect3DDevice9* device = Direct3DDevice.device;
    IDirect3DTexture9* texture = TextureOf(picture);
    const std::string texels = LevelBytes(texture, 0, 16 * 16 * 4);
    TakeCalls();

    MainWindow.creatingFlag = 1;
    EXPECT_EQ(ResetScreen(), 0);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(Direct3DDevice.device, device);
    EXPECT_EQ(TextureOf(picture), texture);
    EXPECT_EQ(LevelBytes(texture, 0, 16 * 16 * 4), texels);

    // Once the window stands, the reset rebuilds and refills.
    MainWindow.creatingFlag = 0;
    EXPECT_EQ(ResetScreen(), 0);
    EXPECT_FALSE(TakeCalls().empty());
    ASSERT_NE(TextureOf(picture), nullptr);
    EXPECT_EQ(LevelBytes(TextureOf(picture), 0, 16 * 16 * 4), texels);
}

}  // namespace
}  // namespace graphicstest
