#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/graphics/models/light_table.h"
#include "tests/framework/graphics/device_test_support.h"
#include "tests/framework/graphics/graphics_test_support.h"

namespace graphicstest {
namespace {

// The light table, sent to a device that records its calls.
class LightTableTest : public HardwareDrawTest {
protected:
    void TearDown() override {
        RemoveAllLights();
        RemoveLight(DefaultLightHandle);
        DefaultLightHandle = -1;
        LightTable = LightTableState{0, 0, 0, -1};
        HardwareDrawTest::TearDown();
    }

    static LightRecord* Record(int handle) {
        return static_cast<LightRecord*>(GetHandleRecord(&LightHandleTable, handle));
    }
    static const platform::d3d9::LightSlot& DeviceLight(DWORD index) { return DeviceNow().lights.at(index); }
};

TEST_F(LightTableTest, ANewLightHasTheDefaultsAndIsOn) {
    const int handle = CreateDirectionalLight(0.0f, 0.0f, 5.0f);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(handle & kHandleKindMask, kLightHandleKind);
    const LightRecord* record = Record(handle);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->handle, handle);
    const D3DLIGHT9& light = record->light;
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(light.Direction.x, 0.0f);
    EXPECT_FLOAT_EQ(light.Direction.z, 1.0f);
    EXPECT_FLOAT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(light.Specular.a, 1.0f);
    EXPECT_FLOAT_EQ(light.Ambient.g, 0.33f);
    EXPECT_FLOAT_EQ(light.Range, 2000.0f);
    EXPECT_FLOAT_EQ(light.Falloff, 1.0f);
    EXPECT_FLOAT_EQ(light.Attenuation0, 0.1f);
    EXPECT_FLOAT_EQ(light.Theta, 2.0f);
    EXPECT_FLOAT_EQ(light.Phi, 2.0f);
    EXPECT_EQ(record->deviceIndex, -1);
    EXPECT_EQ(record->enabled, 1);
    EXPECT_EQ(record->changed, 1);
    EXPECT_EQ(LightsNeedSending(), 1);

    // A light with no direction is refused, and none is made.
    const int live = LightHandleTable.liveCount;
    EXPECT_EQ(CreateDirectionalLight(0.0f, 0.0f, 0.0f), -1);
    EXPECT_EQ(LightHandleTable.liveCount, live);
    EXPECT_EQ(RemoveLight(-1), -1);
}

TEST_F(LightTableTest, EnabledLightsTakeDeviceIndexesInTableOrder) {
    const int first = CreateDirectionalLight(1.0f, 0.0f, 0.0f);
    const int second = CreateDirectionalLight(0.0f, 1.0f, 0.0f);
    const int third = CreateDirectionalLight(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(FlushLightsToDevice(), 0);
    EXPECT_EQ(DeviceNow().renderStates[D3DRS_LIGHTING], 1u);
    for (DWORD index = 0; index < 3; ++index) EXPECT_TRUE(DeviceLight(index).enabled) << index;
    EXPECT_FLOAT_EQ(DeviceLight(2).light.Direction.z, 1.0f);

    ASSERT_EQ(RemoveLight(second), 0);
    TakeCalls();
    FlushLightsToDevice();
    // The third light moves down to index 1; index 2 goes off; the first
    // light is not sent again.
    EXPECT_EQ(Record(third)->deviceIndex, 1);
    EXPECT_EQ(Record(first)->deviceIndex, 0);
    ASSERT_EQ(CallsNamed("SetLight").size(), 1u);
    EXPECT_EQ(CallsNamed("SetLight")[0].Text().rfind("SetLight(1, 3,", 0), 0u);
    EXPECT_FLOAT_EQ(DeviceLight(1).light.Direction.z, 1.0f);
    EXPECT_TRUE(DeviceLight(1).enabled);
    EXPECT_FALSE(DeviceLight(2).enabled);

    // Nothing changed: lighting is switched on, no light is sent.
    TakeCalls();
    FlushLightsToDevice();
    EXPECT_TRUE(CallsNamed("SetLight").empty());
    EXPECT_TRUE(CallsNamed("LightEnable").empty());

    // A new light goes at the next send, though nothing else changed.
    CreateDirectionalLight(0.0f, -1.0f, 0.0f);
    FlushLightsToDevice();
    EXPECT_EQ(CallsNamed("SetLight").size(), 1u);
    EXPECT_FLOAT_EQ(DeviceLight(2).light.Direction.y, -1.0f);
    EXPECT_TRUE(DeviceLight(2).enabled);

    // After a device restore every enabled light goes again.
    MarkLightsForResend();
    TakeCalls();
    FlushLightsToDevice();
    EXPECT_EQ(CallsNamed("SetLight").size(), 3u);
}

TEST_F(LightTableTest, RemovingAllLightsKeepsTheDefaultLight) {
    CreateDirectionalLight(1.0f, 0.0f, 0.0f);
    DefaultLightHandle = CreateDirectionalLight(1.0f, -1.0f, 1.0f);
    CreateDirectionalLight(0.0f, 1.0f, 0.0f);
    FlushLightsToDevice();
    EXPECT_EQ(RemoveAllLights(), 0);
    EXPECT_EQ(LightHandleTable.liveCount, 1);
    ASSERT_NE(Record(DefaultLightHandle), nullptr);
    FlushLightsToDevice();
    EXPECT_TRUE(DeviceLight(0).enabled);
    EXPECT_FLOAT_EQ(DeviceLight(0).light.Direction.y, -1.0f / std::sqrt(3.0f));
    EXPECT_FALSE(DeviceLight(1).enabled);
    EXPECT_FALSE(DeviceLight(2).enabled);
    EXPECT_EQ(LightHandleTable.highWater, 2);
}

TEST_F(LightTableTest, WhenEverySlotIsUsedANewLightIsRefusedWithALogLine) {
    std::vector<int> handles;
    for (int i = 0; i < kLightSlotCount; ++i) handles.push_back(AllocLightSlot());
    EXPECT_EQ(LightHandleTable.liveCount, kLightSlotCount);
    const size_t mark = LogText().size();
    EXPECT_EQ(AllocLightSlot(), -1);
    EXPECT_EQ(CreateDirectionalLight(1.0f, 0.0f, 0.0f), -1);
    EXPECT_EQ(LinesSince(mark), "ライトの数が許容量を越えました\r\nライトの数が許容量を越えました\r\n");

    // A freed slot is found again from slot 0.
    RemoveLight(handles[7]);
    const int again = AllocLightSlot();
    ASSERT_NE(again, -1);
    EXPECT_EQ(HandleSlotIndex(again), 7);
}

// The settings reset makes the default light; the graphics end takes every
// light away.
using DefaultLightTest = GraphicsTest;

TEST_F(DefaultLightTest, ASecondResetReplacesTheDefaultLight) {
    EXPECT_EQ(LightHandleTable.liveCount, 1);
    const int first = DefaultLightHandle;
    const LightRecord* record = static_cast<const LightRecord*>(GetHandleRecord(&LightHandleTable, first));
    ASSERT_NE(record, nullptr);
    EXPECT_FLOAT_EQ(record->light.Direction.x, 1.0f / std::sqrt(3.0f));
    ResetGraphicsSettings();
    EXPECT_EQ(LightHandleTable.liveCount, 1);
    EXPECT_NE(DefaultLightHandle, first);
    TermGraphicsSystem();
    EXPECT_EQ(LightHandleTable.liveCount, 0);
    EXPECT_EQ(DefaultLightHandle, -1);
}

}  // namespace
}  // namespace graphicstest
