// The screen: its default mode, clearing, the draw target's selection and
// what presenting puts into the window on both paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "platform/gdi/layered_window.h"
#include "platform/user/window_records.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

class ScreenTest : public HardwareGraphicsTest {
protected:
    void TearDown() override {
        FrameworkInitialised = 0;
        MainWindow.settings.backgroundColorSet = 0;
        HardwareGraphicsTest::TearDown();
    }
    // The graphics system up in a window-mode main window on one path.
    void Start(bool hardware) {
        SoftwareRenderOnlyFlag = hardware ? 0 : 1;
        MakeWindow(1);
        ASSERT_EQ(InitGraphicsSystem(), 0);
        ASSERT_EQ(HardwarePathFlag, hardware ? 1 : 0);
        FrameworkInitialised = 1;
        TakeCallsIfHardware();
    }
    void TakeCallsIfHardware() {
        if (HardwarePathFlag) TakeCalls();
    }
    static uint32_t WindowPixel(int x, int y) {
        auto record = platform::detail::FindWindowRecord(MainWindow.windowHandle);
        return record->pixels[static_cast<size_t>(y * record->pixelWidth + x)];
    }
    static uint32_t ScreenPixel(int x, int y) {
        const MEMIMG& screen = PrimaryScreenMemImg;
        uint32_t value = 0;
        std::memcpy(&value, screen.pixels + y * screen.base->pitch + x * screen.base->format->bytesPerPixel,
                    screen.base->format->bytesPerPixel);
        return value;
    }
    // A 5-6-5 value as the window's 0x00RRGGBB, each channel's top bits
    // repeated below.
    static uint32_t Rgb(uint32_t code) {
        const uint32_t r = code >> 11 & 0x1F, g = code >> 5 & 0x3F, b = code & 0x1F;
        return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
    }
};

TEST_F(ScreenTest, WithNothingSetTheScreenIs640By480In16BitsClearedToTheBackground) {
    MainWindow.settings.backgroundColorSet = 1;
    MainWindow.settings.backgroundRed = 0;
    MainWindow.settings.backgroundGreen = 0;
    MainWindow.settings.backgroundBlue = 255;
    Start(false);
    int width = 0, height = 0, bits = 0;
    EXPECT_EQ(GetScreenModeInfo(&width, &height, &bits), 0);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(PrimaryScreenMemImg.width, 640);
    EXPECT_EQ(PrimaryScreenMemImg.base->format->bitsPerPixel, 16);
    EXPECT_EQ(ScreenPixel(0, 0), 0x001Fu);
    EXPECT_EQ(ScreenPixel(639, 479), 0x001Fu);
    EXPECT_EQ(GetDrawTarget(), -4);

    DrawRectFilled(0, 0, 640, 480, 0xF800);
    EXPECT_EQ(ClearTargetScreen(), 0);
    EXPECT_EQ(ScreenPixel(320, 240), 0x001Fu);
}

TEST_F(ScreenTest, AGraphicThatIsNoRenderTargetIsRefusedAndNothingChanges) {
    Start(false);
    const int plain = MakeSoftwareGraphic(32, 32);
    GetGraphicRecord(plain)->image->renderTarget = 0;
    ASSERT_EQ(SelectDrawTarget(-2), 0);
    MaskScreenUseFlag = 1;
    MEMIMG* before = SoftwareDrawTarget;
    EXPECT_EQ(SelectDrawTarget(plain), -1);
    EXPECT_EQ(SelectDrawTarget(12345), -1);
    EXPECT_EQ(GetDrawTarget(), -2);
    EXPECT_EQ(SoftwareDrawTarget, before);
    EXPECT_EQ(MaskScreenUseFlag, 1);
}

TEST_F(ScreenTest, TheDrawAreaIsResetOnlyWhenTheTargetsSizeChanges) {
    Start(false);
    const int screenSized = MakeSoftwareGraphic(640, 480);
    const int small = MakeSoftwareGraphic(32, 24);
    auto area = [] {
        const RECT& r = CurrentDrawSettings.drawArea;
        return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
    };
    ASSERT_EQ(SelectDrawTarget(-2), 0);
    SetDrawAreaRect(10, 20, 100, 200);
    ASSERT_EQ(SelectDrawTarget(screenSized), 0);
    EXPECT_EQ(area(), (std::vector<LONG>{10, 20, 100, 200}));
    ASSERT_EQ(SelectDrawTarget(small), 0);
    EXPECT_EQ(area(), (std::vector<LONG>{0, 0, 32, 24}));
    int width = 0, height = 0;
    EXPECT_EQ(GetDrawTargetSize(&width, &height), 0);
    EXPECT_EQ(width, 32);
    ASSERT_EQ(SelectDrawTarget(-2), 0);
    EXPECT_EQ(area(), (std::vector<LONG>{0, 0, 640, 480}));
    // -2 and -4 give the screen's size.
    EXPECT_EQ(GetGraphicSize(-4, &width, &height), 0);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
}

TEST_F(ScreenTest, TheCameraLooksStraightAtTheTarget) {
    Start(false);
    const int small = MakeSoftwareGraphic(100, 60);
    ASSERT_EQ(SelectDrawTarget(small), 0);
    // A point on the plane z = 0 lands on its pixel counted from the
    // target's bottom-left corner: the world's y goes up.
    const DrawSettings& s = CurrentDrawSettings;
    const float distance = 30.0f / 0.57735026f;
    EXPECT_FLOAT_EQ(s.projection.nearZ, distance * 0.1f);
    EXPECT_FLOAT_EQ(s.projection.farZ, distance + 20000.0f);
    const float point[4] = {25.0f, 10.0f, 0.0f, 1.0f};
    auto transform = [](const float in[4], const MATRIX& m, float out[4]) {
        for (int c = 0; c < 4; ++c) out[c] = in[0] * m.m[0][c] + in[1] * m.m[1][c] + in[2] * m.m[2][c] + in[3] * m.m[3][c];
    };
    float viewed[4], projected[4], screen[4];
    transform(point, s.viewMatrix, viewed);
    transform(viewed, s.projectionMatrix, projected);
    for (float& v : projected) v /= projected[3];
    transform(projected, s.postProjectionMatrix, screen);
    EXPECT_NEAR(screen[0], 25.0f, 1e-3f);
    EXPECT_NEAR(screen[1], 50.0f, 1e-3f);
}

TEST_F(ScreenTest, TheSoftwarePresentCopiesTheScreenIntoTheWindow) {
    Start(false);
    SetWaitVSyncFlag(0);
    for (int x = 0; x < 64; ++x) DrawRectFilled(x * 10, 0, x * 10 + 10, 480, static_cast<int>(0x0841u * x));
    DrawRectFilled(5, 7, 6, 8, 0xF800);
    ASSERT_EQ(PresentBackBuffer(), 0);
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 3) ASSERT_EQ(WindowPixel(x, y), Rgb(ScreenPixel(x, y))) << x << "," << y;
    EXPECT_EQ(WindowPixel(5, 7), 0xFF0000u);

    // Doubled: the upper-left quarter fills the window.
    Screen320x240Flag = 1;
    ASSERT_EQ(PresentBackBuffer(), 0);
    for (int y = 0; y < 480; y += 5)
        for (int x = 0; x < 640; x += 3) ASSERT_EQ(WindowPixel(x, y), Rgb(ScreenPixel(x / 2, y / 2))) << x << "," << y;
    Screen320x240Flag = 0;

    FrameworkInitialised = 0;
    EXPECT_EQ(PresentBackBuffer(), -1);
}

TEST_F(ScreenTest, TheHardwarePresentShowsTheSwapChainInTheWindow) {
    Start(true);
    SetWaitVSyncFlag(0);
    ASSERT_EQ(PresentBackBuffer(), 0);
    // In a window the swap chain is shown with both rectangles.
    std::vector<std::string> calls = TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "SwapChain.Present(0, 0, 640, 480, 0, 0, 640, 480, object, null)");

    // Doubled: the quarter of the sub back buffer stretched onto the back
    // buffer, presented whole.
    Screen320x240Flag = 1;
    ASSERT_EQ(PresentBackBuffer(), 0);
    EXPECT_NE(Direct3DDevice.subBackBuffer, nullptr);
    calls = TakeCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].substr(0, 11), "StretchRect");
    EXPECT_NE(calls[calls.size() - 2].find("0, 0, 320, 240"), std::string::npos) << calls[calls.size() - 2];
    EXPECT_EQ(calls.back(), "SwapChain.Present(null, null, null, null)");
    Screen320x240Flag = 0;
}

TEST_F(ScreenTest, TheFrontScreenPresentsOnItsTimer) {
    Start(false);
    ASSERT_EQ(SelectDrawTarget(-4), 0);
    SetWaitVSyncFlag(0);
    DrawRectFilled(0, 0, 8, 8, 0xF800);
    EXPECT_NE(WindowPixel(3, 3), 0xFF0000u);
    FrontScreenTimerProc(MainWindow.windowHandle, WM_TIMER, FrontScreenPresentTimerId, 0);
    EXPECT_EQ(WindowPixel(3, 3), 0xFF0000u);
    // Another target stops it.
    ASSERT_EQ(SelectDrawTarget(-2), 0);
    DrawRectFilled(0, 0, 8, 8, 0x001F);
    FrontScreenTimerProc(MainWindow.windowHandle, WM_TIMER, FrontScreenPresentTimerId, 0);
    EXPECT_EQ(WindowPixel(3, 3), 0xFF0000u);
}

// A layered window takes the screen as read back, on either path, in place
// of the copy into the window or the swap chain's present; the draw target
// is left as it was.
class LayeredScreenTest : public ScreenTest, public ::testing::WithParamInterface<bool> {
protected:
    void TearDown() override {
        MainWindow.settings.LayeredWindowFlag = 0;
        ScreenTest::TearDown();
    }
};

TEST_P(LayeredScreenTest, ALayeredWindowTakesTheScreenReadBack) {
    const bool hardware = GetParam();
    MainWindow.settings.LayeredWindowFlag = 1;
    MainWindow.settings.backgroundColorSet = 1;
    MainWindow.settings.backgroundRed = 0;
    MainWindow.settings.backgroundGreen = 0;
    MainWindow.settings.backgroundBlue = 255;
    Start(hardware);
    ASSERT_NE(MainWindow.layeredWindowEntry, nullptr);
    SetWaitVSyncFlag(0);
    ASSERT_EQ(ClearTargetScreen(), 0);
    if (hardware) {
        FlushVertexBatch();
        EndDeviceScene();
        IDirect3DSurface9* screen =
            Direct3DDevice.subBackBuffer != nullptr ? Direct3DDevice.subBackBuffer : Direct3DDevice.backBuffer;
        const RECT dot = {5, 7, 6, 8};
        ASSERT_EQ(Direct3DDevice.device->ColorFill(screen, &dot, 0xFFFF0000), D3D_OK);
        TakeCalls();
    } else {
        DrawRectFilled(5, 7, 6, 8, 0xF800);
    }
    const int target = GetDrawTarget();
    ASSERT_EQ(PresentBackBuffer(), 0);
    EXPECT_EQ(GetDrawTarget(), target);
    if (hardware) {
        for (const std::string& call : TakeCalls()) EXPECT_EQ(call.find("Present"), std::string::npos) << call;
    }

    platform::LayeredWindowUpdate update;
    ASSERT_TRUE(platform::LastLayeredWindowUpdate(MainWindow.windowHandle, update));
    const int band = MainWindow.WindowFrameTopOffset;
    ASSERT_EQ(update.size.cx, 640);
    ASSERT_EQ(update.size.cy, 480 + band);
    auto at = [&](int x, int y) { return update.pixels[static_cast<size_t>(y + band) * 640 + x] & 0xFFFFFF; };
    EXPECT_EQ(at(5, 7) & 0xF8F8F8, 0xF80000u);
    EXPECT_EQ(at(6, 7) & 0xF8F8F8, 0x0000F8u);
    EXPECT_EQ(at(639, 479) & 0xF8F8F8, 0x0000F8u);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, LayeredScreenTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Hardware" : "Software";
                         });

}  // namespace
}  // namespace graphicstest
