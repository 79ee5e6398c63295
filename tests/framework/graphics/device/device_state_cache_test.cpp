#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

class DeviceStateCacheTest : public DeviceLayerTest {
protected:
    void SetUp() override {
        DeviceLayerTest::SetUp();
        StartWindowed();
        // Constants are left out unless a test asks for them.
        ProgrammableShadersOn = 0;
        TakeCalls();
    }
};

std::vector<std::string> Repeated(const std::string& call, int times) { return std::vector<std::string>(times, call); }

TEST_F(DeviceStateCacheTest, ARenderStateIsSentOnceAndAgainOnlyWhenForced) {
    struct Case {
        const char* name;
        std::function<int(int)> setter;
        int value;
        std::string sent;
    };
    const Case cases[] = {
        {"Z enable", SetDeviceZEnable, 1, "SetRenderState(7, 0x1)"},
        {"Z enable other than 1", SetDeviceZEnable, 2, "SetRenderState(7, 0x0)"},
        {"Z write", SetDeviceZWriteEnable, 1, "SetRenderState(14, 0x1)"},
        {"Z function", SetDeviceZFunc, D3DCMP_GREATER, "SetRenderState(23, 0x5)"},
        {"depth bias", SetDeviceDepthBias, 3, "SetRenderState(195, 0x3)"},
        {"cull none", SetDeviceCullMode, 0, "SetRenderState(22, 0x1)"},
        {"cull clockwise", SetDeviceCullMode, 2, "SetRenderState(22, 0x2)"},
        {"cull of an unknown code", SetDeviceCullMode, 5, "SetRenderState(22, 0x3)"},
        {"diffuse from the vertex", SetDeviceDiffuseMaterialSource, 1, "SetRenderState(145, 0x1)"},
        {"specular from the vertex", SetDeviceSpecularMaterialSource, 1, "SetRenderState(146, 0x2)"},
        {"diffuse from the material", SetDeviceDiffuseMaterialSource, 0, "SetRenderState(145, 0x0)"},
        {"lighting", SetDeviceLightingEnable, 1, "SetRenderState(137, 0x1)"},
        {"fog", SetDeviceFogEnable, 1, "SetRenderState(28, 0x1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceStates = DeviceStateCache{};
        DeviceStates.diffuseMaterialSource = 255;
        DeviceStates.specularMaterialSource = 255;
        // The cache holds some other value first.
        c.setter(c.value == 0 ? 7 : 0);
        TakeCalls();
        EXPECT_EQ(c.setter(c.value), 0);
        EXPECT_EQ(c.setter(c.value), 0);
        EXPECT_EQ(TakeCalls(), Repeated(c.sent, 1));
        DeviceStates.forceSet = 1;
        c.setter(c.value);
        c.setter(c.value);
        DeviceStates.forceSet = 0;
        EXPECT_EQ(TakeCalls(), Repeated(c.sent, 2));
    }
}

TEST_F(DeviceStateCacheTest, AChangedStateDrawsThePendingBatchFirstAndAnUnchangedOneLeavesIt) {
    SetDeviceZFunc(D3DCMP_LESS);
    TakeCalls();
    QueueVertices(6);
    SetDeviceZFunc(D3DCMP_LESS);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(DrawVertexBatch.vertexCount, 6);
    SetDeviceZFunc(D3DCMP_ALWAYS);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"BeginScene()", "SetFVF(0x44)", "DrawPrimitiveUP(4, 2, 20)",
                                                     "SetRenderState(23, 0x8)"}));
    EXPECT_EQ(DrawVertexBatch.vertexCount, 0);
}

TEST_F(DeviceStateCacheTest, AddressModesGoToOneSamplerOrToAllEightAndNoFurther) {
    SetDeviceSamplerAddressU(-1, D3DTADDRESS_CLAMP);
    TakeCalls();
    EXPECT_EQ(SetDeviceSamplerAddressU(3, D3DTADDRESS_WRAP), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetSamplerState(3, 1, 0x1)"}));
    EXPECT_EQ(SetDeviceSamplerAddressU(-1, D3DTADDRESS_CLAMP), 0);
    std::vector<std::string> all;
    for (int sampler = 7; sampler >= 0; --sampler) all.push_back("SetSamplerState(" + std::to_string(sampler) + ", 1, 0x3)");
    EXPECT_EQ(TakeCalls(), all);
    EXPECT_EQ(SetDeviceSamplerAddressU(-1, D3DTADDRESS_CLAMP), 0);
    EXPECT_EQ(SetDeviceSamplerAddressU(8, D3DTADDRESS_MIRROR), -1);
    EXPECT_EQ(SetDeviceSamplerAddressV(-2, D3DTADDRESS_MIRROR), -1);
    EXPECT_TRUE(TakeCalls().empty());
    for (int sampler = 0; sampler < kDeviceSamplerCount; ++sampler) EXPECT_EQ(DeviceStates.addressU[sampler], 3);
    EXPECT_EQ(SetDeviceSamplerAddressV(0, D3DTADDRESS_MIRROR), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetSamplerState(0, 2, 0x2)"}));
}

TEST_F(DeviceStateCacheTest, FilterAndAnisotropyReachOnlyTheSamplersInUse) {
    DeviceStates.samplersInUse = 2;
    EXPECT_EQ(SetDeviceSamplerFilter(3), -1);
    EXPECT_EQ(SetDeviceSamplerFilter(-1), -1);
    EXPECT_TRUE(TakeCalls().empty());

    EXPECT_EQ(SetDeviceSamplerFilter(2), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{
                               "SetSamplerState(0, 5, 0x2)", "SetSamplerState(0, 6, 0x3)", "SetSamplerState(0, 7, 0x2)",
                               "SetSamplerState(1, 5, 0x2)", "SetSamplerState(1, 6, 0x3)", "SetSamplerState(1, 7, 0x2)"}));
    EXPECT_EQ(SetDeviceSamplerFilter(2), 0);
    // Linear keeps the magnification filter each sampler already has.
    EXPECT_EQ(SetDeviceSamplerFilter(1), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetSamplerState(0, 6, 0x2)", "SetSamplerState(0, 7, 0x0)",
                                                     "SetSamplerState(1, 6, 0x2)", "SetSamplerState(1, 7, 0x0)"}));

    EXPECT_EQ(SetDeviceMaxAnisotropy(0), 0);
    EXPECT_EQ(DeviceStates.maxAnisotropy, 1);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetSamplerState(0, 10, 0x1)", "SetSamplerState(1, 10, 0x1)"}));
    EXPECT_EQ(SetDeviceMaxAnisotropy(-4), 0);
    EXPECT_TRUE(TakeCalls().empty());
    // A sampler newly in use gets the value when it is re-sent with force.
    DeviceStates.samplersInUse = 3;
    DeviceStates.forceSet = 1;
    SetDeviceMaxAnisotropy(1);
    DeviceStates.forceSet = 0;
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetSamplerState(2, 10, 0x1)"}));
}

TEST_F(DeviceStateCacheTest, TextureTransformsAreSentOnlyWhereTheyChangeSomething) {
    D3DMATRIX matrix = {};
    for (int i = 0; i < 4; ++i) matrix.m[i][i] = 2.0f;
    QueueVertices(3);
    SetDeviceTextureTransforms(2, 0, &matrix);
    EXPECT_TRUE(TakeCalls().empty());
    EXPECT_EQ(DrawVertexBatch.vertexCount, 3);

    SetDeviceTextureTransforms(2, 1, &matrix);
    std::vector<std::string> calls = TakeCalls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[2], "DrawPrimitiveUP(4, 1, 20)");
    EXPECT_EQ(calls[3], "SetTextureStageState(2, 24, 0x3)");
    EXPECT_EQ(calls[4].rfind("SetTransform(18, 2, 0, 0, 0, 0, 2,", 0), 0u);
    SetDeviceTextureTransforms(2, 1, &matrix);
    calls = TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("SetTransform(18,", 0), 0u);
    SetDeviceTextureTransforms(2, 0, nullptr);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetTextureStageState(2, 24, 0x0)"}));
    SetDeviceTextureTransforms(8, 1, &matrix);
    EXPECT_TRUE(TakeCalls().empty());

    SetDeviceTextureTransforms(-1, 1, &matrix);
    calls = TakeCalls();
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(calls[0], "SetTextureStageState(0, 24, 0x3)");
    EXPECT_EQ(calls[3], "SetTextureStageState(3, 24, 0x3)");
    EXPECT_EQ(calls[7].rfind("SetTransform(19,", 0), 0u);
    for (int stage = 0; stage < 4; ++stage) EXPECT_EQ(DeviceStates.textureTransformUse[stage], 1);
}

TEST_F(DeviceStateCacheTest, TheDrawTextureMarksTheTextureAndTheStatesAsTheSwitchAsks) {
    IDirect3DTexture9* first = nullptr;
    IDirect3DTexture9* second = nullptr;
    ASSERT_EQ(Direct3DDevice.device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &first, nullptr), D3D_OK);
    ASSERT_EQ(Direct3DDevice.device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &second, nullptr),
              D3D_OK);
    struct Step {
        IDirect3DTexture9* texture;
        int textureDirty;
        int statesDirty;
    };
    const Step steps[] = {{first, 1, 1}, {second, 1, 0}, {second, 0, 0}, {nullptr, 1, 1}, {nullptr, 0, 0}};
    for (const Step& step : steps) {
        DeviceStates.textureDirty = 0;
        DeviceStates.statesDirty = 0;
        EXPECT_EQ(SetCurrentDrawTexture(step.texture), 0);
        EXPECT_EQ(DeviceStates.textureDirty, step.textureDirty);
        EXPECT_EQ(DeviceStates.statesDirty, step.statesDirty);
        EXPECT_EQ(DeviceStates.texture, step.texture);
    }
    first->Release();
    second->Release();
}

TEST_F(DeviceStateCacheTest, TheBlendInputsRecordAndMarkWithoutADeviceCall) {
    EXPECT_EQ(SetDeviceDrawBlendMode(1, 1, 0), 0);
    EXPECT_EQ(DeviceStates.statesDirty, 1);
    DeviceStates.statesDirty = 0;
    SetDeviceDrawBlendMode(1, 1, 0);
    EXPECT_EQ(DeviceStates.statesDirty, 0);

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(Direct3DDevice.device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3D_OK);
    TakeCalls();
    EXPECT_EQ(SetDeviceBlendTexture(nullptr, 5, 6), 0);
    EXPECT_EQ(DeviceStates.statesDirty, 0);  // no texture before and none now
    SetDeviceBlendTexture(texture, 10, 20);
    EXPECT_EQ(DeviceStates.statesDirty, 1);
    SetDeviceBlendTexture(texture, -1, 30);
    EXPECT_EQ(DeviceStates.blendTextureParam1, 10);
    EXPECT_EQ(DeviceStates.blendTextureParam2, 30);
    EXPECT_TRUE(TakeCalls().empty());
    texture->Release();

    DrawBlendStateBlock block = {};
    block.textureFactor = 0xABCD;
    DeviceStates.statesDirty = 0;
    EXPECT_EQ(SetDeviceUserStateBlock(&block, 1), 0);
    EXPECT_EQ(DeviceStates.userStateBlockInForce, 1);
    EXPECT_EQ(DeviceStates.userStateBlock.textureFactor, 0xABCDu);
    EXPECT_EQ(SetDeviceUserStateBlock(nullptr, 0), 0);
    EXPECT_EQ(DeviceStates.userStateBlockInForce, 0);
}

TEST_F(DeviceStateCacheTest, TheHighestEnabledLightFollowsTheLightsSwitchedOnAndOff) {
    struct Step {
        int light;
        int enable;
        int highest;
    };
    const Step steps[] = {{0, 1, 0}, {2, 1, 2}, {5, 1, 5}, {2, 0, 5}, {2, 1, 5}, {5, 0, 2}, {2, 0, 0}, {0, 0, 0}};
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.light << " " << step.enable);
        EXPECT_EQ(EnableDeviceLight(step.light, step.enable), 0);
        EXPECT_EQ(DeviceStates.highestEnabledLight, step.highest);
        EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"LightEnable(" + std::to_string(step.light) + ", " +
                                                         std::to_string(step.enable) + ")"}));
    }
}

TEST_F(DeviceStateCacheTest, OnlyLightsZeroToThreeHaveConstantRegisters) {
    ProgrammableShadersOn = 1;
    D3DMATRIX view = {};
    for (int i = 0; i < 4; ++i) view.m[i][i] = 1.0f;
    view.m[3][0] = 10.0f;  // the view moves everything 10 along x
    SendViewMatrix(&view);
    D3DMATERIAL9 material = {};
    material.Ambient = {0.5f, 0.5f, 0.5f, 1.0f};
    SetDeviceMaterial(&material);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_POINT;
    light.Ambient = {1.0f, 0.5f, 0.25f, 1.0f};
    light.Position = {1.0f, 2.0f, 3.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    light.Range = 4.0f;
    TakeCalls();
    EXPECT_EQ(SendLightToDevice(1, &light), 0);
    std::vector<std::string> calls = TakeCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "SetVertexShaderConstantF(21, 1, 11, 2, 3, 1)");  // position, moved
    EXPECT_EQ(calls[1], "SetVertexShaderConstantF(22, 1, 0, 0, 1, 0)");   // direction, not moved
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetVertexShaderConstantF(26, 1, 16, 0, 0, 0)"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetVertexShaderConstantB(8, 2, 1, 0)"), calls.end());
    EXPECT_EQ(calls.back().rfind("SetLight(1, 1,", 0), 0u);

    // Light 6 has no registers: switching it on writes only the lights that do.
    EnableDeviceLight(1, 1);
    SendLightToDevice(6, &light);
    TakeCalls();
    EnableDeviceLight(6, 1);
    calls = TakeCalls();
    EXPECT_EQ(calls, (std::vector<std::string>{"SetVertexShaderConstantF(25, 1, 0.5, 0.25, 0.125, 1)",
                                               "SetPixelShaderConstantF(14, 1, 0.5, 0.25, 0.125, 1)",
                                               "SetVertexShaderConstantF(1, 1, 0, 0, 0, 0)",
                                               "SetPixelShaderConstantF(1, 1, 0, 0, 0, 0)", "LightEnable(6, 1)"}));
}

TEST_F(DeviceStateCacheTest, ShaderConstantsReachTheDeviceOnlyWithProgrammableShaders) {
    D3DMATERIAL9 material = {};
    material.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    material.Ambient = {0.5f, 0.5f, 0.5f, 1.0f};
    material.Emissive = {0.125f, 0.0f, 0.0f, 0.0f};
    material.Power = 8.0f;
    ProgrammableShadersOn = 0;
    EXPECT_EQ(SetDeviceMaterial(&material), 0);
    std::vector<std::string> calls = TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].rfind("SetMaterial(1, 0.5, 0.25, 1, 0.5,", 0), 0u);
    EXPECT_EQ(SetDeviceMaterial(&material), 0);
    EXPECT_TRUE(TakeCalls().empty());

    ProgrammableShadersOn = 1;
    DeviceStates.forceSet = 1;
    SetDeviceMaterial(&material);
    DeviceStates.forceSet = 0;
    calls = TakeCalls();
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(calls[8].rfind("SetMaterial(", 0), 0u);
    EXPECT_EQ(calls[0], "SetVertexShaderConstantF(11, 1, 1, 0.5, 0.25, 1)");
    EXPECT_EQ(calls[2], "SetVertexShaderConstantF(13, 1, 8, 0, 0, 0)");
    EXPECT_EQ(calls[3], "SetPixelShaderConstantF(2, 1, 1, 0.5, 0.25, 1)");
    // The global ambient (none yet) times the material's, plus its emissive.
    EXPECT_EQ(calls[6], "SetVertexShaderConstantF(1, 1, 0.125, 0, 0, 0)");

    // Fog kinds go to the bool registers first.
    SetDeviceFogMode(D3DFOG_EXP2);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetVertexShaderConstantB(0, 4, 0, 0, 1, 1)",
                                                     "SetRenderState(140, 0x2)"}));
    ProgrammableShadersOn = 0;
    SetDeviceFogMode(D3DFOG_LINEAR);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetRenderState(140, 0x3)"}));
}

TEST_F(DeviceStateCacheTest, TheFogRangeDrawsTheBatchEvenUnchangedAndSendsWhatChanged) {
    SetDeviceFogStartEnd(0.0f, 100.0f);
    TakeCalls();
    QueueVertices(3);
    SetDeviceFogStartEnd(0.0f, 100.0f);
    std::vector<std::string> calls = TakeCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2], "DrawPrimitiveUP(4, 1, 20)");
    SetDeviceFogStartEnd(0.0f, 200.0f);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetRenderState(37, 0x43480000)"}));
}

TEST_F(DeviceStateCacheTest, AViewportIsComparedOnItsRectangleAndARefusedOneIsLoggedAndNotKept) {
    const D3DVIEWPORT9 area = {10, 20, 100, 200, 0.0f, 1.0f};
    EXPECT_EQ(SetDeviceViewport(&area), 0);
    const D3DVIEWPORT9 otherDepth = {10, 20, 100, 200, 0.5f, 1.0f};
    EXPECT_EQ(SetDeviceViewport(&otherDepth), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetViewport(10, 20, 100, 200, 0, 1)"}));

    const D3DVIEWPORT9 outside = {600, 0, 100, 100, 0.0f, 1.0f};
    const size_t mark = LogText().size();
    EXPECT_EQ(SetDeviceViewport(&outside), -1);
    EXPECT_EQ(LinesSince(mark), "ビューポートのセットに失敗しました ErrorCode 8876086c\r\n\r\n");
    EXPECT_EQ(DeviceStates.viewport.X, 10u);

    // A viewport, scissor or render target may not change inside a scene.
    BeginDeviceScene();
    TakeCalls();
    const RECT scissor = {1, 2, 3, 4};
    EXPECT_EQ(SetDeviceScissorRect(&scissor), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"EndScene()", "SetScissorRect(1, 2, 3, 4)"}));
    EXPECT_EQ(SetDeviceScissorRect(&scissor), 0);
    EXPECT_TRUE(TakeCalls().empty());

    ASSERT_EQ(CreateSubBackBuffer(), 0);
    TakeCalls();
    EXPECT_EQ(SetDeviceRenderTarget(Direct3DDevice.subBackBuffer), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetRenderTarget(0, object)", "SetViewport(0, 0, 640, 480, 0, 1)"}));
    EXPECT_EQ(SetDeviceRenderTarget(Direct3DDevice.subBackBuffer), 0);
    EXPECT_TRUE(TakeCalls().empty());
}

TEST_F(DeviceStateCacheTest, ReapplyingSendsEveryCachedValueInItsOrder) {
    SetDeviceZEnable(1);
    SetDeviceZFunc(D3DCMP_LESS);
    SetDeviceCullMode(2);
    SetDeviceSamplerFilter(1);
    MakeViewportFromRect(0, 0, 320, 240);
    DeviceStates.samplersInUse = 1;
    TakeCalls();
    EXPECT_EQ(ReapplyDeviceStates(), 0);
    EXPECT_EQ(DeviceStates.forceSet, 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{
                               "SetViewport(0, 0, 320, 240, 0, 1)",
                               "SetScissorRect(0, 0, 0, 0)",
                               "SetSamplerState(0, 1, 0x0)",
                               "SetSamplerState(0, 2, 0x0)",
                               "SetSamplerState(1, 1, 0x0)",
                               "SetSamplerState(1, 2, 0x0)",
                               "SetSamplerState(2, 1, 0x0)",
                               "SetSamplerState(2, 2, 0x0)",
                               "SetSamplerState(3, 1, 0x0)",
                               "SetSamplerState(3, 2, 0x0)",
                               "SetTextureStageState(0, 11, 0x0)",
                               "SetTextureStageState(1, 11, 0x1)",
                               "SetTextureStageState(2, 11, 0x1)",
                               "SetTextureStageState(3, 11, 0x0)",
                               "SetRenderState(9, 0x2)",
                               "SetRenderState(137, 0x0)",
                               "SetRenderState(22, 0x1)",
                               "SetRenderState(26, 0x0)",
                               "SetSamplerState(0, 5, 0x2)",
                               "SetSamplerState(0, 6, 0x2)",
                               "SetSamplerState(0, 7, 0x0)",
                               // The blend states of an untextured draw in mode 0: a kept
                               // factor goes again only when it is above 1 (not ZERO).
                               "SetRenderState(25, 0x8)",
                               "SetRenderState(24, 0x0)",
                               "SetRenderState(15, 0x0)",
                               "SetRenderState(27, 0x0)",
                               "SetRenderState(60, 0xFFFFFFFF)",
                               "SetRenderState(19, 0x2)",
                               "SetRenderState(171, 0x1)",
                               "SetTexture(0, null)",
                               "SetTextureStageState(0, 11, 0x0)",
                               "SetTextureStageState(0, 4, 0x3)",
                               "SetTextureStageState(0, 5, 0x0)",
                               "SetTextureStageState(0, 6, 0x0)",
                               "SetTextureStageState(0, 1, 0x3)",
                               "SetTextureStageState(0, 2, 0x0)",
                               "SetTextureStageState(0, 3, 0x0)",
                               "SetTexture(1, null)",
                               "SetTextureStageState(1, 11, 0x0)",
                               "SetTextureStageState(1, 4, 0x1)",
                               "SetTextureStageState(1, 5, 0x0)",
                               "SetTextureStageState(1, 6, 0x0)",
                               "SetTextureStageState(1, 1, 0x1)",
                               "SetTextureStageState(1, 2, 0x0)",
                               "SetTextureStageState(1, 3, 0x0)",
                               "SetRenderState(7, 0x1)",
                               "SetRenderState(14, 0x0)",
                               "SetRenderState(23, 0x2)",
                               "SetRenderState(195, 0x0)",
                               "SetRenderState(22, 0x2)",
                               "SetRenderState(9, 0x2)",
                           }));
}

TEST_F(DeviceStateCacheTest, WithoutADeviceNothingIsSentAndTheSetupSettersReportIt) {
    TermGraphicsDevice();
    const D3DVIEWPORT9 viewport = {0, 0, 10, 10, 0.0f, 1.0f};
    const RECT rect = {0, 0, 10, 10};
    struct Case {
        const char* name;
        std::function<int()> call;
        int result;
    };
    const Case cases[] = {
        {"filter", [] { return SetDeviceSamplerFilter(1); }, -1},
        {"anisotropy", [] { return SetDeviceMaxAnisotropy(4); }, -1},
        {"Z enable", [] { return SetDeviceZEnable(1); }, -1},
        {"Z function", [] { return SetDeviceZFunc(2); }, -1},
        {"draw texture", [] { return SetCurrentDrawTexture(nullptr); }, -1},
        {"blend mode", [] { return SetDeviceDrawBlendMode(1, 0, 0); }, -1},
        {"viewport", [&] { return SetDeviceViewport(&viewport); }, -1},
        {"scissor", [&] { return SetDeviceScissorRect(&rect); }, -1},
        {"render target", [] { return SetDeviceRenderTarget(nullptr); }, -1},
        {"cull", [] { return SetDeviceCullMode(1); }, 0},
        {"lighting", [] { return SetDeviceLightingEnable(1); }, 0},
        {"fog mode", [] { return SetDeviceFogMode(1); }, 0},
        {"address", [] { return SetDeviceSamplerAddressU(0, 1); }, 0},
        {"light", [] { return EnableDeviceLight(1, 1); }, 0},
        {"dialog box", [] { return SetDeviceDialogBoxMode(1); }, 0},
        {"flush", [] { return FlushVertexBatch(); }, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.call(), c.result) << c.name;
    EXPECT_EQ(DeviceStates.cullMode, 0);
    EXPECT_EQ(DeviceStates.lightingEnable, 0);
}

}  // namespace
}  // namespace graphicstest
