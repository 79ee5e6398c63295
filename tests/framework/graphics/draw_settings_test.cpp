// The draw settings: clamping and skipping setters, the draw area, the blend
// graphic, screen colour codes and the reset.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/models/light_table.h"
#include "framework/graphics/screen/mask_screen.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode.h"
#include "tests/framework/graphics/graphics_test_support.h"

namespace graphicstest {
namespace {

using DrawSettingsTest = GraphicsTest;

RECT Area() { return CurrentDrawSettings.drawArea; }

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(DrawSettingsTest, TheBlendParameterIsClampedToAByte) {
    const struct {
        int param, stored;
    } cases[] = {{300, 255}, {256, 255}, {255, 255}, {0, 0}, {-7, 0}, {128, 128}};
    for (const auto& c : cases) {
        EXPECT_EQ(SetBlendModeAndParam(1, c.param), 0);
        EXPECT_EQ(CurrentDrawSettings.blendMode, 1);
        EXPECT_EQ(CurrentDrawSettings.blendParam, c.stored) << c.param;
        EXPECT_EQ(CurrentDrawSettings.diffuseColor >> 24, static_cast<uint32_t>(c.stored));
    }
    SetBlendModeAndParam(1, 300);
    const DrawSettings before = CurrentDrawSettings;
    EXPECT_EQ(SetBlendModeAndParam(1, 300), 0);
    EXPECT_EQ(std::memcmp(&before, &CurrentDrawSettings, sizeof before), 0);
}

TEST_F(DrawSettingsTest, TheBrightColourIsKeptAsBytesAndPacked) {
    EXPECT_EQ(SetDrawBrightnessRGB(300, -1, 128), 0);
    EXPECT_EQ(CurrentDrawSettings.brightRed, 255);
    EXPECT_EQ(CurrentDrawSettings.brightGreen, 0);
    EXPECT_EQ(CurrentDrawSettings.brightBlue, 128);
    EXPECT_EQ(GetDrawBrightColor(), 0x00FF0080u);
    EXPECT_EQ(CurrentDrawSettings.brightColor, 0x00FF0080u);

    SetDrawBrightnessColor(0xAB123456u);
    EXPECT_EQ(GetDrawBrightColor(), 0x00123456u);
    EXPECT_EQ(CurrentDrawSettings.brightRed, 0x12);
    EXPECT_EQ(CurrentDrawSettings.brightGreen, 0x34);
    EXPECT_EQ(CurrentDrawSettings.brightBlue, 0x56);
    EXPECT_EQ(CurrentDrawSettings.diffuseColor & 0xFFFFFF, 0x123456u);
}

TEST_F(DrawSettingsTest, TheDiffuseColourCarriesTheBlendParameterOnlyWhenBlending) {
    SetBlendModeAndParam(0, 100);
    SetDrawBrightnessRGB(255, 128, 0);
    EXPECT_EQ(GetDrawDiffuseColor(), 0xFFFF8000u);
    EXPECT_EQ(CurrentDrawSettings.diffuseColor, 0xFFFF8000u);
    SetBlendModeAndParam(1, 100);
    EXPECT_EQ(GetDrawDiffuseColor(), 0x64FF8000u);
}

TEST_F(DrawSettingsTest, TheDrawAreaIsOrderedAndClampedToTheTarget) {
    const struct {
        RECT given, area;
        int empty;
    } cases[] = {
        {{600, 400, 100, 50}, {100, 50, 600, 400}, 0},
        {{-10, -10, 700, 500}, {0, 0, 640, 480}, 0},
        {{10, 10, 10, 300}, {10, 10, 10, 300}, 1},
        {{700, 10, 900, 20}, {640, 10, 640, 20}, 1},
        {{5, 6, 7, 8}, {5, 6, 7, 8}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SetDrawAreaRect(c.given.left, c.given.top, c.given.right, c.given.bottom), 0);
        EXPECT_TRUE(SameRect(Area(), c.area)) << c.given.left << "," << c.given.top;
        EXPECT_TRUE(SameRect(CurrentDrawSettings.requestedDrawArea, c.given));
        EXPECT_EQ(CurrentDrawSettings.drawAreaEmpty, c.empty);
        EXPECT_EQ(CurrentDrawSettings.drawAreaFloat[0], static_cast<float>(c.area.left));
        EXPECT_EQ(CurrentDrawSettings.drawAreaFloat[3], static_cast<float>(c.area.bottom));
    }
}

TEST_F(DrawSettingsTest, TheDrawAreaFollowsAGraphicTarget) {
    const int target = MakeSoftwareGraphic(100, 50);
    ASSERT_EQ(SelectDrawTarget(target), 0);
    EXPECT_EQ(SetDrawAreaRect(-5, 10, 300, 300), 0);
    EXPECT_TRUE(SameRect(Area(), RECT{0, 10, 100, 50}));
    // A target whose graphic is gone has no size to clamp to.
    CurrentDrawSettings.drawTarget = target + (1 << 16);
    EXPECT_EQ(SetDrawAreaRect(0, 0, 10, 10), -1);
    CurrentDrawSettings.drawTarget = target;
    // The rectangle last given is clamped anew to the screen.
    ASSERT_EQ(SelectDrawTarget(-2), 0);
    SetDrawAreaRect(600, 0, 700, 100);
    EXPECT_EQ(ReapplyDrawAreaRect(), 0);
    EXPECT_TRUE(SameRect(Area(), RECT{600, 0, 640, 100}));
}

TEST_F(DrawSettingsTest, OnlyGraphicsThatCanBeDrawnIntoBecomeTargets) {
    const int plain = AllocGraphicHandle();  // no image block
    EXPECT_EQ(SelectDrawTarget(plain), -1);
    EXPECT_EQ(SelectDrawTarget(0x08000000 | 999), -1);
    EXPECT_EQ(GetDrawTarget(), -4);
    EXPECT_EQ(SoftwareDrawTarget, &PrimaryScreenMemImg);
}

TEST_F(DrawSettingsTest, TheBlendGraphicTakesTheBlocksImageAndClampedParameters) {
    const int blend = MakeSoftwareGraphic(32, 32);
    EXPECT_EQ(SetBlendGraphicAndParams(0x08000000 | 999, 1, 2), -1);
    EXPECT_EQ(CurrentDrawSettings.blendGraphic, -1);
    EXPECT_EQ(SetBlendGraphicAndParams(blend, 300, -4), 0);
    EXPECT_EQ(CurrentDrawSettings.blendGraphic, blend);
    EXPECT_EQ(CurrentDrawSettings.blendGraphicParam1, 255);
    EXPECT_EQ(CurrentDrawSettings.blendGraphicParam2, 0);
    EXPECT_EQ(CurrentDrawSettings.blendImage, &GetGraphicRecord(blend)->image->memImg);

    const int fits = MakeSoftwareGraphic(32, 16);
    const int wide = MakeSoftwareGraphic(33, 16);
    const int tall = MakeSoftwareGraphic(8, 40);
    EXPECT_EQ(CheckBlendGraphicCovers(GetGraphicRecord(fits)), 0);
    EXPECT_EQ(CheckBlendGraphicCovers(GetGraphicRecord(wide)), -1);
    EXPECT_EQ(CheckBlendGraphicCovers(GetGraphicRecord(tall)), -1);

    EXPECT_EQ(SetBlendGraphicAndParams(-1, 0, 0), 0);
    EXPECT_EQ(CurrentDrawSettings.blendImage, nullptr);
    EXPECT_EQ(CheckBlendGraphicCovers(GetGraphicRecord(fits)), -1);
}

TEST_F(DrawSettingsTest, ScreenColourCodesFollowTheScreenDepth) {
    EXPECT_EQ(MakeScreenColorCode(255, 128, 0), 0xFC00u);
    int red = 0, green = 0, blue = 0;
    SplitScreenColorCode(0xFC1Fu, &red, &green, &blue);
    EXPECT_EQ(red, 255);
    EXPECT_EQ(green, 32 * 255 / 63);
    EXPECT_EQ(blue, 255);

    RequestedScreenMode.colorBits = 32;
    EXPECT_EQ(MakeScreenColorCode(255, 128, 1), 0x00FF8001u);
    SplitScreenColorCode(0x00FF8001u, &red, &green, &blue);
    EXPECT_EQ(red, 255);
    EXPECT_EQ(green, 128);
    EXPECT_EQ(blue, 1);
    RequestedScreenMode.colorBits = 0;
}

TEST_F(DrawSettingsTest, TheResetGivesEveryDefaultAndKeepsWhatLivesOutside) {
    SetBlendModeAndParam(3, 99);
    SetDrawBrightnessRGB(1, 2, 3);
    SetTextureFilterMode(2);
    SetFogMode(1);
    SetFogColor(1, 2, 3);
    SetFogStartEnd(5, 6);
    SetNewGraphColorDepth(32);
    SetNewGraphTransFlag(0);
    SetNewGraphAlphaFlag(1);
    SetDrawTransparentColor(0xFF00FF);
    CurrentDrawSettings.textureAddressU[4] = 1;
    CurrentDrawSettings.materialChanged = 0;
    CurrentDrawSettings.projection.mode = 2;
    SetScreen320x240Flag(1);
    SetWaitVSyncFlag(0);
    MaskScreenUseFlag = 0;

    EXPECT_EQ(ResetGraphicsSettings(), 0);
    const DrawSettings& s = CurrentDrawSettings;
    EXPECT_EQ(s.blendMode, 0);
    EXPECT_EQ(s.blendParam, 0);
    EXPECT_EQ(s.brightColor, 0x00FFFFFFu);
    EXPECT_EQ(s.diffuseColor, 0xFFFFFFFFu);
    EXPECT_EQ(s.blendGraphic, -1);
    EXPECT_EQ(s.filterMode, 0);
    EXPECT_EQ(s.depth2D, 0.2f);
    for (const DepthSettings& depth : {s.depthSet2D, s.depthSet3D}) {
        EXPECT_EQ(depth.enable, 0);
        EXPECT_EQ(depth.write, 0);
        EXPECT_EQ(depth.function, 4);
    }
    for (int stage = 0; stage < kSamplerStageCount; ++stage) {
        EXPECT_EQ(s.textureAddressU[stage], 3);
        EXPECT_EQ(s.textureAddressV[stage], 3);
    }
    EXPECT_EQ(s.pipelineSwitch, 1);
    EXPECT_EQ(s.fogMode, 3);
    EXPECT_EQ(s.fogColor, 0xFFFFFFFFu);
    EXPECT_EQ(s.fogStart, 0.0f);
    EXPECT_EQ(s.fogEnd, 1500.0f);
    EXPECT_EQ(s.projection.mode, 0);
    // The front screen the reset selects sets the camera that looks at it
    // from the distance where 60 degrees span its 480 rows.
    const float distance = 240.0f / 0.57735026f;
    EXPECT_FLOAT_EQ(s.projection.nearZ, distance * 0.1f);
    EXPECT_FLOAT_EQ(s.projection.farZ, distance + 20000.0f);
    EXPECT_EQ(s.projection.fieldOfView, 1.0471976f);
    EXPECT_EQ(s.material.diffuse.x, 0.8f);
    EXPECT_EQ(s.material.diffuse.w, 1.0f);
    EXPECT_EQ(s.material.specular.w, 0.0f);
    EXPECT_EQ(s.material.power, 20.0f);
    EXPECT_EQ(s.materialChanged, 1);
    EXPECT_EQ(GetNewGraphColorDepth(), 0);
    EXPECT_EQ(GetNewGraphTransFlag(), 1);
    EXPECT_EQ(GetNewGraphAlphaFlag(), 0);
    EXPECT_EQ(GetNewGraphDrawTargetFlag(), 0);
    EXPECT_EQ(GetNewGraphUnmanagedFlag(), 0);
    EXPECT_EQ(GetDrawTransparentColor(), 0u);
    EXPECT_EQ(MaskScreenUseFlag, 1);
    EXPECT_EQ(MaskScreenEffectiveFlag, 0);
    EXPECT_EQ(GetDrawTarget(), -4);
    EXPECT_TRUE(SameRect(s.drawArea, RECT{0, 0, 640, 480}));
    EXPECT_EQ(s.drawAreaEmpty, 0);

    EXPECT_EQ(Screen320x240Flag, 1);
    EXPECT_EQ(GetWaitVSyncFlag(), 0);
    SetScreen320x240Flag(0);
    SetWaitVSyncFlag(1);
}

}  // namespace
}  // namespace graphicstest
