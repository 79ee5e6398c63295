#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

// The draw settings on the hardware path: each setter keeps its value and
// reaches the device through the state cache.
class DrawSettingsDeviceTest : public DeviceLayerTest {
protected:
    void SetUp() override {
        DeviceLayerTest::SetUp();
        StartWindowed();
        ProgrammableShadersOn = 0;
        TakeCalls();
    }
};

TEST_F(DrawSettingsDeviceTest, FogSettingsGoToTheDeviceOnceEach) {
    EXPECT_EQ(SetFogMode(1), 0);
    EXPECT_EQ(SetFogMode(1), 0);
    EXPECT_EQ(SetFogColor(1, 2, 3), 0);
    EXPECT_EQ(SetFogStartEnd(10.0f, 100.0f), 0);
    EXPECT_EQ(SetFogStartEnd(10.0f, 100.0f), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetRenderState(140, 0x1)", "SetRenderState(34, 0xFF010203)",
                                                     "SetRenderState(36, 0x41200000)",
                                                     "SetRenderState(37, 0x42C80000)"}));
    EXPECT_EQ(CurrentDrawSettings.fogMode, 1);
    EXPECT_EQ(CurrentDrawSettings.fogColor, 0xFF010203u);
    // The settings hold the value, but a new device's cache does not: it is sent.
    DeviceStates.fogMode = 0;
    SetFogMode(1);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetRenderState(140, 0x1)"}));
}

TEST_F(DrawSettingsDeviceTest, TheFilterModeSetsTheSamplersFilters) {
    DeviceStates.samplersInUse = 1;
    EXPECT_EQ(SetTextureFilterMode(2), 0);
    EXPECT_EQ(SetTextureFilterMode(2), 0);
    EXPECT_EQ(GetTextureFilterMode(), 2);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetSamplerState(0, 5, 0x2)", "SetSamplerState(0, 6, 0x3)",
                                                     "SetSamplerState(0, 7, 0x2)"}));
}

TEST_F(DrawSettingsDeviceTest, TheDrawAreaIsTheViewportAndScissorRectangle) {
    EXPECT_EQ(SetDrawAreaRect(110, 220, 10, 20), 0);
    const std::vector<std::string> calls = TakeCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], "SetViewport(10, 20, 100, 200, 0, 1)");
    EXPECT_EQ(calls[1], "SetScissorRect(10, 20, 110, 220)");
    EXPECT_EQ(calls[2].rfind("SetTransform(3,", 0), 0u);
    // Projected (1, -1) lands on the draw area's corner, and back again.
    const MATRIX& toArea = CurrentDrawSettings.drawAreaMatrix;
    EXPECT_FLOAT_EQ(110.0f * toArea.m[0][0] + toArea.m[3][0], 1.0f);
    EXPECT_FLOAT_EQ(220.0f * toArea.m[1][1] + toArea.m[3][1], -1.0f);

    // An empty area reaches no device.
    EXPECT_EQ(SetDrawAreaRect(10, 10, 10, 300), 0);
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(DrawSettingsDeviceTest, TheWorldAndViewMatricesDrawThePendingBatchFirst) {
    MATRIX matrix = {};
    for (int i = 0; i < 4; ++i) matrix.m[i][i] = 2.0f;
    QueueVertices(3);
    EXPECT_EQ(SetWorldMatrix(&matrix), 0);
    std::vector<std::string> calls = TakeCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2], "DrawPrimitiveUP(4, 1, 20)");
    EXPECT_EQ(calls[3], "SetTransform(256, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2)");
    EXPECT_EQ(SetViewMatrix(&matrix), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetTransform(2, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2)"}));
}

}  // namespace
}  // namespace graphicstest
