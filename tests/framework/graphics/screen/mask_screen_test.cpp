// The mask screen: the mask handle deletions, the buffers of both paths, the
// use switch, and the hooks around a draw, checked on the software path by
// the exact frame and on the hardware path by the calls the device receives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/base/tracked_memory.h"
#include "framework/graphics/device/direct3d_device.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/graphics_system.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/screen/mask_screen_state.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/softrender/memimg.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace graphicstest {
namespace {

uint16_t PixelOf(const MEMIMG& image, int x, int y) {
    uint16_t value = 0;
    std::memcpy(&value, image.pixels + y * image.base->pitch + x * 2, 2);
    return value;
}

void Fill(MEMIMG& image, uint16_t value) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) std::memcpy(image.pixels + y * image.base->pitch + x * 2, &value, 2);
}

TEST(MaskHandleTest, DeletesOnlyALiveMaskWithItsOwnCheckValue) {
    MaskTable[3] = MaskRecord{7, static_cast<uint8_t*>(AllocMemory(16, __FILE__, __LINE__)), 4, 4, 4, 1, 0};
    MaskTable[511] = MaskRecord{2, nullptr, 0, 0, 0, 1, 0};
    const int handle = MakeMaskHandle(7, 3);
    for (int bad : {-1, MakeMaskHandle(8, 3), MakeMaskHandle(7, 4), (handle & 0xFFFF) | 0x08000000,
                    MakeMaskHandle(7, 512)})
        EXPECT_EQ(DeleteMask(bad), -1) << std::hex << bad;
    EXPECT_EQ(DeleteMask(handle), 0);
    EXPECT_EQ(MaskTable[3].inUse, 0);
    EXPECT_EQ(MaskTable[3].imageMemory, nullptr);
    EXPECT_EQ(DeleteMask(handle), -1);
    EXPECT_EQ(DeleteAllMasks(), 0);
    EXPECT_EQ(MaskTable[511].inUse, 0);
}

class SoftwareMaskScreenTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        FrameworkInitialised = 1;
        SelectDrawTarget(-2);
    }
    void TearDown() override {
        TerminateMaskScreen();
        MaskReverseFlag = 0;
        FrameworkInitialised = 0;
        GraphicsTest::TearDown();
    }
    // The screen in colour 0x1111, the mask's right half set, and a 64 by 32
    // graphic in colour 0x2222 drawn through the mask at (300, 100).
    void DrawThroughMask(int reverse) {
        Fill(PrimaryScreenMemImg, 0x1111);
        ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
        for (int y = 0; y < 480; ++y) std::memset(MaskMemory + y * MaskMemoryPitch + 320, 1, 320);
        MaskReverseFlag = reverse;
        const int handle = MakeEmptyGraphic(64, 32);
        ASSERT_NE(handle, -1);
        Fill(GetGraphicRecord(handle)->memImg, 0x2222);
        ASSERT_EQ(SetMaskScreenUse(1), 0);
        ASSERT_EQ(MaskScreenEffectiveFlag, 1);
        ASSERT_EQ(DrawGraphicAtPoint(300, 100, handle, 0), 0);
        ASSERT_EQ(SetMaskScreenUse(0), 0);
        DeleteGraphicHandle(handle, 0);
    }
};

TEST_F(SoftwareMaskScreenTest, UseIsRefusedWithoutMemoryAndTheBuffersFitTheScreen) {
    MaskScreenUseFlag = 0;
    EXPECT_EQ(SetMaskScreenUse(1), -1);
    EXPECT_EQ(GetMaskScreenUse(), 0);
    ASSERT_EQ(CreateMaskScreenBuffers(0), 0);
    EXPECT_EQ(MaskMemory, nullptr);
    ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
    EXPECT_EQ(MaskMemoryPitch, 640);
    ASSERT_NE(GetMaskScreenMemImg(), nullptr);
    EXPECT_EQ(GetMaskScreenMemImg()->width, 640);
    EXPECT_EQ(GetMaskScreenMemImg()->height, 480);
    EXPECT_EQ(SetMaskScreenUse(1), 0);
    EXPECT_EQ(SoftwareDrawTarget, GetMaskScreenMemImg());
    EXPECT_EQ(SetMaskScreenUse(0), 0);
    EXPECT_EQ(SoftwareDrawTarget, &PrimaryScreenMemImg);
}

TEST_F(SoftwareMaskScreenTest, AMaskedDrawReachesTheTargetOnlyWhereTheMaskLetsIt) {
    for (int reverse : {0, 1}) {
        DrawThroughMask(reverse);
        for (int y : {99, 100, 131, 132})
            for (int x : {299, 300, 319, 320, 363, 364}) {
                const bool drawn = x >= 300 && x < 364 && y >= 100 && y < 132;
                const bool passes = (x >= 320) == (reverse == 1);
                EXPECT_EQ(PixelOf(PrimaryScreenMemImg, x, y), drawn && passes ? 0x2222 : 0x1111)
                    << "reverse " << reverse << " at " << x << "," << y;
            }
        TerminateMaskScreen();
    }
}

TEST_F(SoftwareMaskScreenTest, HooksChangeNothingWithoutMaskingOrOutsideTheDrawArea) {
    Fill(PrimaryScreenMemImg, 0x1111);
    ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
    Fill(*GetMaskScreenMemImg(), 0x3333);
    ASSERT_EQ(SetMaskScreenUse(0), 0);
    EXPECT_EQ(BeginMaskedDraw(RECT{0, 0, 50, 50}), 0);
    EXPECT_EQ(EndMaskedDraw(RECT{0, 0, 50, 50}), 0);
    EXPECT_EQ(PixelOf(PrimaryScreenMemImg, 10, 10), 0x1111);
    EXPECT_EQ(PixelOf(*GetMaskScreenMemImg(), 10, 10), 0x3333);

    ASSERT_EQ(SetMaskScreenUse(1), 0);
    EXPECT_EQ(EndMaskedDraw(RECT{700, 10, 760, 50}), 0);
    EXPECT_EQ(EndMaskedDraw(RECT{10, -60, 50, -10}), 0);
    EXPECT_EQ(PixelOf(PrimaryScreenMemImg, 639, 10), 0x1111);
    EXPECT_EQ(PixelOf(PrimaryScreenMemImg, 10, 0), 0x1111);
    EXPECT_EQ(EndMaskedDraw(RECT{0, 0, 8, 8}), 0);  // inside: the mask screen comes through
    EXPECT_EQ(PixelOf(PrimaryScreenMemImg, 7, 7), 0x3333);
}

TEST_F(SoftwareMaskScreenTest, AnEightBitTargetTakesNothing) {
    ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
    Fill(*GetMaskScreenMemImg(), 0x3333);
    ASSERT_EQ(SetMaskScreenUse(1), 0);
    MEMIMG eightBits{};
    ASSERT_EQ(NewMemImg(&eightBits, 640, 480, kMemImgSingle8), 0);
    std::memset(eightBits.pixels, 0x55, static_cast<size_t>(eightBits.base->pitch) * 480);
    const MEMIMG screen = PrimaryScreenMemImg;
    PrimaryScreenMemImg = eightBits;
    EndMaskedDraw(RECT{0, 0, 16, 16});
    PrimaryScreenMemImg = screen;
    EXPECT_EQ(eightBits.pixels[0], 0x55);
    EXPECT_EQ(eightBits.pixels[15], 0x55);
    FreeMemImg(&eightBits);
}

class HardwareMaskScreenTest : public HardwareGraphicsTest {
protected:
    void SetUp() override {
        HardwareGraphicsTest::SetUp();
        StartGraphics(32);
        FrameworkInitialised = 1;
        SelectDrawTarget(-2);
    }
    void TearDown() override {
        TerminateMaskScreen();
        MaskReverseFlag = 0;
        FrameworkInitialised = 0;
        HardwareGraphicsTest::TearDown();
    }
    static bool Has(const std::vector<std::string>& calls, const std::string& text) {
        return std::find(calls.begin(), calls.end(), text) != calls.end();
    }
};

TEST_F(HardwareMaskScreenTest, TexturesArePowersOfTwoAndComeBackAfterARelease) {
    ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
    EXPECT_EQ(MaskMemoryPitch, 640);
    EXPECT_EQ(MaskTextureWidth, 1024);
    EXPECT_EQ(MaskTextureHeight, 512);
    D3DSURFACE_DESC description{};
    MaskScreen.screenSurface->GetDesc(&description);
    EXPECT_EQ(description.Width, 1024u);
    EXPECT_EQ(description.Height, 512u);
    EXPECT_EQ(description.Usage & D3DUSAGE_RENDERTARGET, D3DUSAGE_RENDERTARGET);
    ASSERT_EQ(SetMaskScreenUse(1), 0);

    ReleaseMaskScreenBuffers();
    EXPECT_EQ(MaskScreen.screenTexture, nullptr);
    EXPECT_EQ(MaskMemory, nullptr);
    TakeCalls();
    ASSERT_EQ(RestoreMaskScreen(), 0);
    ASSERT_NE(MaskScreen.screenSurface, nullptr);
    EXPECT_EQ(MaskScreenEffectiveFlag, 1);
    const std::vector<std::string> calls = TakeCalls();
    EXPECT_TRUE(Has(calls, "SetRenderTarget(0, object)")) << testing::PrintToString(calls);
}

TEST_F(HardwareMaskScreenTest, AMaskedDrawCopiesInAndDrawsOneAlphaTestedQuadBack) {
    const int handle = MakeEmptyGraphic(64, 32);
    ASSERT_NE(handle, -1);
    for (int reverse : {0, 1}) {
        ASSERT_EQ(CreateMaskScreenBuffers(1), 0);
        MaskReverseFlag = reverse;
        ASSERT_EQ(SetMaskScreenUse(1), 0);
        TakeCalls();
        ASSERT_EQ(DrawGraphicAtPoint(300, 100, handle, 0), 0);
        FlushVertexBatch();
        const std::vector<std::string> calls = TakeCalls();
        const std::string all = testing::PrintToString(calls);
        EXPECT_TRUE(Has(calls, "SetRenderState(15, 0x1)")) << all;
        EXPECT_TRUE(Has(calls, reverse ? "SetRenderState(25, 0x6)" : "SetRenderState(25, 0x3)")) << all;
        EXPECT_TRUE(Has(calls, "SetFVF(0x144)")) << all;
        size_t stretches = 0, strips = 0;
        for (const std::string& call : calls) {
            stretches += call.rfind("StretchRect(", 0) == 0;
            strips += call.rfind("DrawPrimitiveUP(5, 2", 0) == 0;
        }
        EXPECT_EQ(stretches, 1u) << all;
        EXPECT_EQ(strips, 1u) << all;
        TerminateMaskScreen();
    }
    DeleteGraphicHandle(handle, 0);
}

}  // namespace
}  // namespace graphicstest
