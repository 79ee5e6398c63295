// Reading the draw target from the CPU and copying it into graphics: the
// rectangle test, the direct lock and the lock through a copy on the
// hardware path, the view of the screen's memory on the software path, and
// the capture into each kind of graphic.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/graphics/screen/back_buffer_access.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/screen_image_access.h"
#include "framework/softrender/memimg.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

uint32_t Pattern(int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x * 3 + y * 1000); }

class HardwareBackBufferTest : public HardwareGraphicsTest {
protected:
    void SetUp() override {
        HardwareGraphicsTest::SetUp();
        StartGraphics(32);
    }
    void TearDown() override {
        UnlockBackBuffer();
        HardwareGraphicsTest::TearDown();
    }
    // Writes the pattern into the back buffer's memory.
    static void PaintBackBuffer() {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(Direct3DDevice.backBuffer->LockRect(&locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const uint32_t value = Pattern(x, y);
                std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, &value, 4);
            }
        Direct3DDevice.backBuffer->UnlockRect();
    }
    static uint32_t At(const PixelImage& image, int x, int y) {
        uint32_t value = 0;
        std::memcpy(&value, image.pixels + y * image.pitch + x * 4, 4);
        return value;
    }
};

TEST_F(HardwareBackBufferTest, TakesOnlyRectanglesInsideTheTarget) {
    struct Case {
        int rect[4];
        int result;
    } cases[] = {{{0, 0, 640, 480}, 0},  {{0, 0, 641, 480}, -1}, {{10, 10, 10, 20}, -1},
                 {{-1, 0, 10, 10}, -1}, {{0, 0, 640, 481}, -1}, {{5, 6, 7, 8}, 0}};
    for (const Case& c : cases) {
        PixelImage image{};
        EXPECT_EQ(LockBackBuffer(c.rect, &image), c.result) << c.rect[2] << "," << c.rect[3];
        if (c.result == 0) {
            EXPECT_EQ(image.width, c.rect[2] - c.rect[0]);
            EXPECT_EQ(image.height, c.rect[3] - c.rect[1]);
        }
        UnlockBackBuffer();
    }
}

TEST_F(HardwareBackBufferTest, ALockableBackBufferIsLockedDirectlyAndASecondLockIsRefused) {
    PaintBackBuffer();
    TakeCalls();
    const int rect[4] = {100, 50, 300, 200};
    PixelImage image{};
    ASSERT_EQ(LockBackBuffer(rect, &image), 0);
    EXPECT_EQ(IsBackBufferLockCopied(), 0);
    EXPECT_TRUE(CallsNamed("CreateRenderTarget").empty());
    EXPECT_TRUE(CallsNamed("CreateOffscreenPlainSurface").empty());
    EXPECT_EQ(image.format.bitsPerPixel, 32);
    EXPECT_EQ(At(image, 0, 0), Pattern(100, 50));
    EXPECT_EQ(At(image, 199, 149), Pattern(299, 199));

    PixelImage second{};
    EXPECT_EQ(LockBackBuffer(rect, &second), -1);
    EXPECT_EQ(UnlockBackBuffer(), 0);
    EXPECT_EQ(UnlockBackBuffer(), 0);  // nothing left to unlock
    ASSERT_EQ(LockBackBuffer(rect, &second), 0);
}

TEST_F(HardwareBackBufferTest, ATargetThatCannotBeLockedIsReadThroughACopyInSystemMemory) {
    PaintBackBuffer();
    ASSERT_EQ(SwitchToSubBackBuffer(), 0);
    TakeCalls();
    const int rect[4] = {10, 20, 30, 60};
    PixelImage image{};
    ASSERT_EQ(LockBackBuffer(rect, &image), 0);
    EXPECT_EQ(IsBackBufferLockCopied(), 1);
    EXPECT_EQ(CallsNamed("CreateRenderTarget").size(), 1u);
    EXPECT_EQ(CallsNamed("CreateOffscreenPlainSurface").size(), 1u);
    EXPECT_EQ(CallsNamed("StretchRect").size(), 1u);
    EXPECT_EQ(CallsNamed("GetRenderTargetData").size(), 1u);
    EXPECT_EQ(image.width, 20);
    EXPECT_EQ(image.height, 40);
    EXPECT_EQ(At(image, 0, 0), Pattern(10, 20));
    EXPECT_EQ(At(image, 19, 39), Pattern(29, 59));
    UnlockBackBuffer();
    EXPECT_EQ(IsBackBufferLockCopied(), 0);
}

TEST_F(HardwareBackBufferTest, AFailedCopyIsLoggedAndLeavesNothingLocked) {
    ASSERT_EQ(SwitchToSubBackBuffer(), 0);
    const int rect[4] = {0, 0, 8, 8};
    PixelImage image{};
    struct Case {
        bool failRenderTarget;
        const char* line;
    } cases[] = {{true, "バックバッファロック用描画可能サーフェスの作成に失敗しました\r\n"},
                 {false, "バックバッファロック用システムメモリサーフェスの作成に失敗しました\r\n"}};
    for (const Case& c : cases) {
        platform::Profile().failures.direct3d.createRenderTarget = c.failRenderTarget;
        platform::Profile().failures.direct3d.createOffscreenPlainSurface = !c.failRenderTarget;
        const size_t mark = LogMark();
        EXPECT_EQ(LockBackBuffer(rect, &image), -1);
        EXPECT_NE(LinesSince(mark).find(c.line), std::string::npos) << LinesSince(mark);
    }
    platform::Profile().failures.direct3d = platform::Direct3DFailures{};
    EXPECT_EQ(LockBackBuffer(rect, &image), 0);
}

TEST_F(HardwareBackBufferTest, CaptureCopiesIntoATextureGraphicAndRefusesAnotherSize) {
    PaintBackBuffer();
    const int handle = MakeEmptyGraphic(40, 30);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(CaptureScreenImage(0, 0, 41, 30, handle, 0), -1);
    EXPECT_EQ(CaptureScreenImage(0, 0, 40, 30, -1, 0), -1);
    ASSERT_EQ(CaptureScreenImage(200, 100, 240, 130, handle, 0), 0);
    const std::vector<uint32_t> level = ReadLevel(TextureOf(handle), 0, 4);
    const int textureWidth = BlockOf(handle)->pieces[0].textureWidth;
    EXPECT_EQ(level[0] & 0xFFFFFF, Pattern(200, 100) & 0xFFFFFF);
    EXPECT_EQ(level[static_cast<size_t>(29 * textureWidth + 39)] & 0xFFFFFF, Pattern(239, 129) & 0xFFFFFF);
    DeleteGraphicHandle(handle, 0);
}

TEST_F(HardwareBackBufferTest, CaptureIntoARenderTargetGraphicIsOneStretchRect) {
    SetNewGraphDrawTargetFlag(1);
    const int handle = MakeEmptyGraphic(64, 32);
    SetNewGraphDrawTargetFlag(0);
    ASSERT_NE(handle, -1);
    TakeCalls();
    ASSERT_EQ(CaptureScreenImage(10, 10, 74, 42, handle, 0), 0);
    EXPECT_EQ(CallsNamed("StretchRect").size(), 1u);
    EXPECT_TRUE(CallsNamed("LockRect").empty());
    DeleteGraphicHandle(handle, 0);
}

TEST_F(HardwareBackBufferTest, BufferCreatorsHandBackWhatTheDeviceMakesAndNullWhenItRefuses) {
    IDirect3DVertexBuffer9* vertices = CreateDeviceVertexBuffer(256, 0, D3DFVF_XYZ, D3DPOOL_MANAGED);
    IDirect3DIndexBuffer9* indices = CreateDeviceIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED);
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(indices, nullptr);
    vertices->Release();
    indices->Release();
    platform::Profile().failures.direct3d.createVertexBuffer = true;
    platform::Profile().failures.direct3d.createIndexBuffer = true;
    EXPECT_EQ(CreateDeviceVertexBuffer(256, 0, D3DFVF_XYZ, D3DPOOL_MANAGED), nullptr);
    EXPECT_EQ(CreateDeviceIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED), nullptr);
}

class SoftwareBackBufferTest : public GraphicsTest {};

TEST_F(SoftwareBackBufferTest, TheLockIsAViewOfTheScreenAndCaptureCopiesItExactly) {
    MEMIMG& screen = PrimaryScreenMemImg;
    const int bytes = screen.base->format->bytesPerPixel;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint16_t value = static_cast<uint16_t>(x + y * 7);
            std::memcpy(screen.pixels + y * screen.base->pitch + x * bytes, &value, 2);
        }
    const int rect[4] = {3, 4, 13, 24};
    PixelImage image{};
    ASSERT_EQ(LockBackBuffer(rect, &image), 0);
    EXPECT_EQ(image.pixels, screen.pixels + 4 * screen.base->pitch + 3 * bytes);
    EXPECT_EQ(image.pitch, screen.base->pitch);
    EXPECT_EQ(image.width, 10);
    EXPECT_EQ(image.height, 20);
    UnlockBackBuffer();
    const int bad[4] = {0, 0, 641, 480};
    EXPECT_EQ(LockBackBuffer(bad, &image), -1);

    const int handle = MakeEmptyGraphic(10, 20);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(CaptureScreenImage(3, 4, 13, 25, handle, 0), -1);
    ASSERT_EQ(CaptureScreenImage(3, 4, 13, 24, handle, 0), 0);
    const MEMIMG& copy = GetGraphicRecord(handle)->memImg;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x) {
            uint16_t value = 0;
            std::memcpy(&value, copy.pixels + y * copy.base->pitch + x * copy.base->format->bytesPerPixel, 2);
            ASSERT_EQ(value, static_cast<uint16_t>(x + 3 + (y + 4) * 7)) << x << "," << y;
        }
    DeleteGraphicHandle(handle, 0);
}

}  // namespace
}  // namespace graphicstest
