// A whole program without a display on either path: the framework starts, a
// PNG is loaded and drawn, the frame is presented, and the framework ends.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "platform/d3d9/recording_renderer.h"
#include "platform/user/window_records.h"
#include "tests/framework/startup/startup_fixture.h"

namespace startuptest {
namespace {

class HeadlessProgramTest : public StartupTest, public testing::WithParamInterface<bool> {};

// 8 by 8 of opaque 0xFF0000 (red).
void WriteRedPicture(const std::string& path) {
    std::vector<uint8_t> pixels(8 * 8 * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) pixels[i] = 0xFF;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = 8;
    image.height = 8;
    image.format = PNG_FORMAT_RGB;
    ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr), 0);
}

TEST_P(HeadlessProgramTest, APictureIsLoadedDrawnAndShown) {
    const bool hardware = GetParam();
    platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Cpu;
    if (!hardware) SetUseHardwareAcceleration(0);
    ChangeWindowMode(1);
    ASSERT_EQ(InitFramework(), 0);
    ASSERT_EQ(HardwarePathFlag, hardware ? 1 : 0);
    SetWaitVSyncFlag(0);
    WriteRedPicture(folder_.hostPath() + "/picture.png");
    const int picture = LoadGraphFile("picture.png", 0);
    ASSERT_GE(picture, 0);

    ASSERT_EQ(SelectDrawTarget(-2), 0);
    ASSERT_EQ(ClearTargetScreen(), 0);
    ASSERT_EQ(DrawGraphicAtPoint(100, 50, picture, 0), 0);
    if (hardware) {
        // The memory renderer makes no pixels of draws: the picture is in the
        // texture and one quad of it went to the device at its place.
        auto* calls = platform::d3d9::RecordedCallsOf(Direct3DDevice.device);
        ASSERT_NE(calls, nullptr);
        calls->clear();
        FlushVertexBatch();
        EndDeviceScene();
        const platform::d3d9::RecordedCall* draw = nullptr;
        for (const auto& call : *calls)
            if (call.name == "DrawPrimitiveUP") draw = &call;
        ASSERT_NE(draw, nullptr);
        float firstX = 0, firstY = 0;
        std::memcpy(&firstX, draw->vertices.data(), 4);
        std::memcpy(&firstY, draw->vertices.data() + 4, 4);
        EXPECT_EQ(firstX, 99.5f);
        EXPECT_EQ(firstY, 49.5f);
        auto* texture = static_cast<IDirect3DTexture9*>(GetGraphicRecord(picture)->image->pieces[0].texture);
        // The textures take the desktop's 32 bits.
        D3DLOCKED_RECT locked = {};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        uint32_t texel = 0;
        std::memcpy(&texel, static_cast<const char*>(locked.pBits) + 3 * locked.Pitch + 3 * 4, 4);
        texture->UnlockRect(0);
        EXPECT_EQ(texel & 0xFFFFFF, 0xFF0000u);
    }
    ASSERT_EQ(PresentBackBuffer(), 0);
    if (!hardware) {
        auto window = platform::detail::FindWindowRecord(GetMainWindowHandle());
        ASSERT_NE(window, nullptr);
        auto at = [&](int x, int y) { return window->pixels[static_cast<size_t>(y * window->pixelWidth + x)]; };
        EXPECT_EQ(at(103, 53), 0xFF0000u);
        EXPECT_EQ(at(107, 57), 0xFF0000u);
        EXPECT_EQ(at(108, 53), 0u);
    }
    EXPECT_EQ(EndFramework(), 0);
    EXPECT_EQ(GraphicsSystemUp, 0);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, HeadlessProgramTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Hardware") : std::string("Software");
                         });

}  // namespace
}  // namespace startuptest
