#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/draws/draw_pipeline.h"
#include "framework/graphics/models/light_table.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

// The set-up before a hardware draw: the draw settings reach the device.
class DrawPipelineTest : public HardwareDrawTest {
protected:
    void TearDown() override {
        RemoveAllLights();
        LightTable = LightTableState{0, 0, 0, -1};
        HardwareDrawTest::TearDown();
    }
};

TEST_F(DrawPipelineTest, TheGraphicsTransparencyBecomesTheBlendInputs) {
    const int alphaGraphic = MakeTextureGraphic(8, 8, {8}, {8}, 1, 0);
    const int keyedGraphic = MakeTextureGraphic(8, 8, {8}, {8}, 0, 1);
    struct Case {
        const char* name;
        int graphic;
        int mode;
        int filter;
        int flags;
        int alphaChannel;
        int transparentColor;
    };
    const Case cases[] = {
        {"an alpha graphic in mode 0", alphaGraphic, 0, 0, 1, 1, 0},
        {"a keyed graphic in mode 0", keyedGraphic, 0, 0, 1, 0, 1},
        {"a keyed graphic in mode 8", keyedGraphic, 8, 0, 1, 0, 1},
        {"a keyed graphic filtered blends its edges", keyedGraphic, 0, 1, 1, 1, 0},
        {"unless the draw keeps its own flags", keyedGraphic, 0, 1, 3, 0, 1},
        {"a keyed graphic in another mode blends its edges", keyedGraphic, 1, 0, 1, 1, 0},
        {"a draw without transparency", alphaGraphic, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CurrentDrawSettings.blendMode = c.mode;
        CurrentDrawSettings.filterMode = c.filter;
        const GraphicRecord* record = GetGraphicRecord(c.graphic);
        EXPECT_EQ(SetupDrawPipeline(record->image, TextureOf(c.graphic, 0), c.flags), 0);
        EXPECT_EQ(DeviceStates.blendMode, c.mode);
        EXPECT_EQ(DeviceStates.alphaChannel, c.alphaChannel);
        EXPECT_EQ(DeviceStates.transparentColor, c.transparentColor);
        EXPECT_EQ(DeviceStates.texture, TextureOf(c.graphic, 0));
        // The blend states were applied on the way.
        EXPECT_EQ(DeviceStates.statesDirty, 0);
        EXPECT_EQ(DeviceStates.textureDirty, 0);
    }
    EXPECT_EQ(LastDrawPipelineSetup.drawInfo, GetGraphicRecord(alphaGraphic)->image);
    EXPECT_EQ(LastDrawPipelineSetup.texture, TextureOf(alphaGraphic, 0));
    EXPECT_EQ(LastDrawPipelineSetup.flags, 0);
}

TEST_F(DrawPipelineTest, TheBrightColourAndTheParameterTakePartWhenTheyAct) {
    struct Case {
        const char* name;
        int mode;
        int red;
        int flags;
        int bright;
        int param;
    };
    const Case cases[] = {
        {"white in mode 0", 0, 255, 0, 0, 0},
        {"a bright colour", 0, 128, 0, 1, 0},
        {"mode 1", 1, 255, 0, 0, 1},
        {"forced", 0, 255, kPipelineForceBright | kPipelineForceBlendParam, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetBlendModeAndParam(c.mode, 100);
        SetDrawBrightnessRGB(c.red, 255, 255);
        SetupDrawPipeline(nullptr, nullptr, c.flags);
        EXPECT_EQ(DeviceStates.brightFlag, c.bright);
        EXPECT_EQ(DeviceStates.blendParamFlag, c.param);
    }
    // Leaving the blend states alone leaves the inputs too.
    SetBlendModeAndParam(1, 100);
    SetupDrawPipeline(nullptr, nullptr, kPipelineKeepBlendStates);
    EXPECT_EQ(DeviceStates.blendMode, 0);
}

TEST_F(DrawPipelineTest, ShadersComeOffUnlessTheDrawKeepsThem) {
    // Only the cache's record of a shader matters here.
    DeviceStates.vertexShader = reinterpret_cast<IDirect3DVertexShader9*>(&DeviceStates);
    DeviceStates.pixelShader = reinterpret_cast<IDirect3DPixelShader9*>(&DeviceStates);
    SetupDrawPipeline(nullptr, nullptr, kPipelineKeepShaders);
    EXPECT_NE(DeviceStates.vertexShader, nullptr);
    DeviceStates.fvf = 0x144;
    TakeCalls();
    SetupDrawPipeline(nullptr, nullptr, 0);
    const std::vector<std::string> calls = TakeCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "SetVertexShader(null)");
    EXPECT_EQ(calls[1], "SetPixelShader(null)");
    EXPECT_EQ(DeviceStates.vertexShader, nullptr);
    EXPECT_EQ(DeviceStates.pixelShader, nullptr);
    EXPECT_EQ(DeviceStates.fvf, 0u);
}

TEST_F(DrawPipelineTest, FlagsChooseLightingSpecularDepthFogAndShading) {
    DrawSettings& settings = CurrentDrawSettings;
    settings.depthSet3D = {1, 1, D3DCMP_LESS, 2};
    settings.fogEnable = 1;
    const auto& states = DeviceNow().renderStates;
    SetupDrawPipeline(nullptr, nullptr,
                      kPipelineLighting | kPipelineSpecular | kPipeline3DDepth | kPipelineFog | kPipelineGouraud);
    EXPECT_EQ(states[D3DRS_LIGHTING], 1u);
    EXPECT_EQ(states[D3DRS_SPECULARENABLE], 1u);
    EXPECT_EQ(states[D3DRS_ZENABLE], 1u);
    EXPECT_EQ(states[D3DRS_ZWRITEENABLE], 1u);
    EXPECT_EQ(states[D3DRS_ZFUNC], DWORD{D3DCMP_LESS});
    EXPECT_EQ(states[D3DRS_DEPTHBIAS], 2u);
    EXPECT_EQ(states[D3DRS_FOGENABLE], 1u);
    EXPECT_EQ(states[D3DRS_SHADEMODE], DWORD{D3DSHADE_GOURAUD});
    // The material went with the first lit draw, and only then.
    EXPECT_EQ(settings.materialChanged, 0);
    EXPECT_FLOAT_EQ(DeviceNow().material.Power, 20.0f);

    SetupDrawPipeline(nullptr, nullptr, 0);
    EXPECT_EQ(states[D3DRS_LIGHTING], 0u);
    EXPECT_EQ(states[D3DRS_SPECULARENABLE], 0u);
    EXPECT_EQ(states[D3DRS_ZENABLE], 0u);
    EXPECT_EQ(states[D3DRS_FOGENABLE], 0u);
    EXPECT_EQ(states[D3DRS_SHADEMODE], DWORD{D3DSHADE_FLAT});

    // Settings that hold lighting and specular off win over the flags.
    settings.lightingOff = 1;
    settings.specularOff = 1;
    SetupDrawPipeline(nullptr, nullptr, kPipelineLighting | kPipelineSpecular);
    EXPECT_EQ(states[D3DRS_LIGHTING], 0u);
    EXPECT_EQ(states[D3DRS_SPECULARENABLE], 0u);
}

TEST_F(DrawPipelineTest, ALitDrawSendsTheLightsThatChanged) {
    const int light = CreateDirectionalLight(0.0f, 0.0f, 1.0f);
    SetupDrawPipeline(nullptr, nullptr, kPipelineLighting);
    EXPECT_EQ(LightsNeedSending(), 0);
    EXPECT_TRUE(DeviceNow().lights.at(0).enabled);
    TakeCalls();
    SetupDrawPipeline(nullptr, nullptr, kPipelineLighting);
    EXPECT_TRUE(CallsNamed("SetLight").empty());
    RemoveLight(light);
}

TEST_F(DrawPipelineTest, SamplersClampUnlessTheDrawTakesTheSettingsAddressModes) {
    DrawSettings& settings = CurrentDrawSettings;
    for (int& mode : settings.textureAddressU) mode = D3DTADDRESS_WRAP;
    settings.textureAddressV[5] = D3DTADDRESS_MIRROR;
    SetupDrawPipeline(nullptr, nullptr, kPipelineAddressModes);
    const auto& samplers = DeviceNow().samplerStates;
    EXPECT_EQ(samplers[5][D3DSAMP_ADDRESSU], DWORD{D3DTADDRESS_WRAP});
    EXPECT_EQ(samplers[5][D3DSAMP_ADDRESSV], DWORD{D3DTADDRESS_MIRROR});
    EXPECT_EQ(samplers[7][D3DSAMP_ADDRESSU], DWORD{D3DTADDRESS_WRAP});
    TakeCalls();
    SetupDrawPipeline(nullptr, nullptr, 0);
    for (int sampler = 0; sampler < 4; ++sampler) {
        EXPECT_EQ(samplers[sampler][D3DSAMP_ADDRESSU], DWORD{D3DTADDRESS_CLAMP});
        EXPECT_EQ(samplers[sampler][D3DSAMP_ADDRESSV], DWORD{D3DTADDRESS_CLAMP});
    }
    EXPECT_EQ(samplers[5][D3DSAMP_ADDRESSU], DWORD{D3DTADDRESS_WRAP});
    // Each sampler's pair went as one: U and V, though only U differed.
    EXPECT_EQ(CallsNamed("SetSamplerState").size(), 8u);
}

}  // namespace
}  // namespace graphicstest
