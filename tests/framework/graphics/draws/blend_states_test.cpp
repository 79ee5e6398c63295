#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/graphics/draws/blend_states.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

// The blend states as the device ends up holding them, from the draw inputs
// set straight in the cache.
class BlendStatesTest : public HardwareDrawTest {
protected:
    void SetUp() override {
        HardwareDrawTest::SetUp();
        image_ = TextureOf(MakeTextureGraphic(32, 32, {32}, {32}), 0);
        blend_ = TextureOf(MakeTextureGraphic(64, 64, {64}, {64}), 0);
        TakeCalls();
    }

    struct Inputs {
        int mode = 0;
        int alpha = 0;
        int transparent = 0;
        int bright = 0;
        int param = 0;
        bool texture = true;
        bool blendTexture = false;
        int border = 0;
        int range = 0;
        int zOn = 0;
        int blendOperation = 0;
    };

    void Apply(const Inputs& in) {
        DeviceStateCache& cache = DeviceStates;
        cache.blendMode = in.mode;
        cache.alphaChannel = in.alpha;
        cache.transparentColor = in.transparent;
        cache.brightFlag = in.bright;
        cache.blendParamFlag = in.param;
        cache.texture = in.texture ? image_ : nullptr;
        cache.blendTexture = in.blendTexture ? blend_ : nullptr;
        cache.blendTextureParam1 = in.border;
        cache.blendTextureParam2 = in.range;
        cache.zEnable = in.zOn;
        Direct3DDevice.blendOperationCapable = in.blendOperation;
        cache.statesDirty = 1;
        EXPECT_EQ(ApplyDrawBlendStates(nullptr, 1, 0), 0);
        // A caller's block in force leaves the marks for the states it hides.
        EXPECT_EQ(cache.statesDirty, cache.userStateBlockInForce);
    }

    static DWORD RenderState(D3DRENDERSTATETYPE state) { return DeviceNow().renderStates[state]; }
    static DWORD StageState(int stage, D3DTEXTURESTAGESTATETYPE type) { return DeviceNow().stageStates[stage][type]; }

    IDirect3DTexture9* image_ = nullptr;
    IDirect3DTexture9* blend_ = nullptr;
};

struct RenderStateValue {
    D3DRENDERSTATETYPE state;
    DWORD value;
};
struct StageStateValue {
    int stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};

TEST_F(BlendStatesTest, EachDrawComesToItsRenderAndStageStates) {
    constexpr auto ATE = D3DRS_ALPHATESTENABLE, REF = D3DRS_ALPHAREF, FUNC = D3DRS_ALPHAFUNC,
                   ABE = D3DRS_ALPHABLENDENABLE, TF = D3DRS_TEXTUREFACTOR, SRC = D3DRS_SRCBLEND,
                   DEST = D3DRS_DESTBLEND, OP = D3DRS_BLENDOP;
    constexpr auto COP = D3DTSS_COLOROP, CA1 = D3DTSS_COLORARG1, CA2 = D3DTSS_COLORARG2, AOP = D3DTSS_ALPHAOP,
                   AA1 = D3DTSS_ALPHAARG1, AA2 = D3DTSS_ALPHAARG2, TCI = D3DTSS_TEXCOORDINDEX;
    struct Case {
        const char* name;
        Inputs inputs;
        std::vector<RenderStateValue> renderStates;
        std::vector<StageStateValue> stageStates;
        int format;
        int discard;
    };
    // Each case's values are the device's whatever the case before left.
    const Case cases[] = {
        {"an alpha graphic in mode 0 blends by its alpha (variant 1)",
         {.alpha = 1},
         {{ATE, 0}, {ABE, 1}, {SRC, D3DBLEND_SRCALPHA}, {DEST, D3DBLEND_INVSRCALPHA}, {OP, D3DBLENDOP_ADD}},
         {{0, COP, D3DTOP_SELECTARG1}, {0, CA1, D3DTA_TEXTURE}, {0, AOP, D3DTOP_SELECTARG1}, {0, AA1, D3DTA_TEXTURE},
          {1, COP, D3DTOP_DISABLE}, {1, AOP, D3DTOP_DISABLE}},
         1, 0},
        {"a colour-keyed graphic tests its alpha and does not blend (variant 2)",
         {.transparent = 1},
         {{ATE, 1}, {REF, 16}, {FUNC, D3DCMP_GREATER}, {ABE, 0}},
         {{0, AOP, D3DTOP_SELECTARG1}, {0, AA1, D3DTA_TEXTURE}},
         1, 0},
        {"with Z on an opaque graphic still drops alpha 0",
         {.zOn = 1},
         {{ATE, 1}, {REF, 0}, {FUNC, D3DCMP_GREATER}, {ABE, 0}},
         {{0, AOP, D3DTOP_SELECTARG1}},
         1, 0},
        {"an opaque graphic takes the vertex alpha (variant 0)",
         {},
         {{ATE, 0}, {ABE, 0}},
         {{0, AOP, D3DTOP_SELECTARG2}, {0, AA2, D3DTA_DIFFUSE}},
         1, 0},
        {"mode 1 with the bright colour and the parameter",
         {.mode = 1, .bright = 1, .param = 1},
         {{ABE, 1}, {SRC, D3DBLEND_SRCALPHA}, {DEST, D3DBLEND_INVSRCALPHA}},
         {{0, COP, D3DTOP_MODULATE}, {0, CA1, D3DTA_TEXTURE}, {0, CA2, D3DTA_DIFFUSE}, {0, AOP, D3DTOP_SELECTARG2}},
         1, 0},
        {"mode 3 without the blend operation keeps ADD",
         {.mode = 3},
         {{ABE, 1}, {SRC, D3DBLEND_INVDESTCOLOR}, {DEST, D3DBLEND_ZERO}, {OP, D3DBLENDOP_ADD}},
         {},
         1, 0},
        {"mode 3 with the blend operation subtracts",
         {.mode = 3, .blendOperation = 1},
         {{SRC, D3DBLEND_SRCALPHA}, {DEST, D3DBLEND_ONE}, {OP, D3DBLENDOP_REVSUBTRACT}},
         {},
         1, 0},
        {"mode 12", {.mode = 12}, {{SRC, D3DBLEND_SRCALPHA}, {DEST, D3DBLEND_ONE}, {OP, D3DBLENDOP_REVSUBTRACT}}, {}, 1, 0},
        {"mode 10 inverts the texture colour",
         {.mode = 10},
         {{SRC, D3DBLEND_SRCALPHA}, {DEST, D3DBLEND_INVSRCALPHA}, {OP, D3DBLENDOP_ADD}},
         {{0, COP, D3DTOP_SELECTARG1}, {0, CA1, D3DTA_TEXTURE | D3DTA_COMPLEMENT}},
         1, 0},
        {"mode 11 fades the graphic to white in a second stage",
         {.mode = 11, .param = 1},
         {{TF, 0xFFFFFFFFu}, {SRC, D3DBLEND_ZERO}, {DEST, D3DBLEND_SRCCOLOR}},
         {{1, COP, D3DTOP_BLENDCURRENTALPHA}, {1, CA1, D3DTA_CURRENT}, {1, CA2, D3DTA_TFACTOR}, {1, TCI, 1},
          {1, AOP, D3DTOP_SELECTARG1}, {1, AA1, D3DTA_CURRENT}, {2, COP, D3DTOP_DISABLE}},
         1, 0},
        {"a blend graphic of range 1 and border 0 on a keyed graphic tests from 1",
         {.transparent = 1, .blendTexture = true, .border = 0, .range = 1},
         {{ATE, 1}, {REF, 1}, {FUNC, D3DCMP_GREATEREQUAL}, {ABE, 0}, {TF, 0x00FFFFFFu}},
         {{0, COP, D3DTOP_SELECTARG2}, {0, AOP, D3DTOP_ADD}, {0, AA1, D3DTA_TEXTURE}, {0, AA2, D3DTA_TFACTOR},
          {0, TCI, 0}, {1, COP, D3DTOP_SELECTARG1}, {1, AOP, D3DTOP_MODULATE}, {1, AA1, D3DTA_TEXTURE}, {1, TCI, 1}},
         2, 0},
        {"an untextured box in mode 0 keeps the texture factor it finds",
         {.texture = false},
         {{ATE, 0}, {ABE, 0}, {TF, 0x00FFFFFFu}},
         {{0, COP, D3DTOP_SELECTARG2}, {0, CA2, D3DTA_DIFFUSE}, {0, AOP, D3DTOP_SELECTARG2}, {1, COP, D3DTOP_DISABLE},
          {1, CA1, D3DTA_DIFFUSE}},
         0, 0},
        {"a box in mode 11 fades toward white by a factor of white",
         {.mode = 11, .texture = false},
         {{TF, 0xFFFFFFFFu}, {ABE, 1}, {SRC, D3DBLEND_ZERO}, {DEST, D3DBLEND_SRCCOLOR}},
         {{0, COP, D3DTOP_BLENDDIFFUSEALPHA}, {0, CA1, D3DTA_DIFFUSE}, {0, CA2, D3DTA_TFACTOR}},
         0, 0},
        {"a box in mode 10 takes the complement of its colour",
         {.mode = 10, .texture = false},
         {{ABE, 1}},
         {{0, COP, D3DTOP_SELECTARG1}, {0, CA1, D3DTA_DIFFUSE | D3DTA_COMPLEMENT}},
         0, 0},
        {"a box in mode 3 has its own stage list",
         {.mode = 3, .texture = false},
         {{ABE, 1}},
         {{0, COP, D3DTOP_SELECTARG1}, {0, CA1, D3DTA_DIFFUSE}, {0, AOP, D3DTOP_SELECTARG2}},
         0, 0},
        {"a blend graphic of range 0 on an opaque graphic tests from its border",
         {.blendTexture = true, .border = 40, .range = 0},
         {{ATE, 1}, {REF, 40}, {FUNC, D3DCMP_GREATEREQUAL}, {ABE, 0}, {SRC, D3DBLEND_SRCALPHA},
          {DEST, D3DBLEND_INVSRCALPHA}},
         {{1, AOP, D3DTOP_MODULATE}, {1, AA1, D3DTA_CURRENT}, {1, AA2, D3DTA_DIFFUSE}},
         2, 0},
        {"a narrow soft border adds to the blend alpha and multiplies by 4",
         {.blendTexture = true, .border = 10, .range = 10},
         {{ATE, 0}, {ABE, 1}, {TF, 0x33FFFFFFu}},
         {{0, AOP, D3DTOP_ADD}, {1, AOP, D3DTOP_MODULATE4X}},
         2, 0},
        {"a middle soft border subtracts and multiplies by 2",
         {.blendTexture = true, .border = 128, .range = 100},
         {{ATE, 0}, {ABE, 1}, {TF, 0x41FFFFFFu}},
         {{0, AOP, D3DTOP_SUBTRACT}, {1, AOP, D3DTOP_MODULATE2X}},
         2, 0},
        {"a wide soft border subtracts and multiplies by 1",
         {.blendTexture = true, .border = 200, .range = 200},
         {{TF, 0x91FFFFFFu}},
         {{0, AOP, D3DTOP_SUBTRACT}, {1, AOP, D3DTOP_MODULATE}},
         2, 0},
        {"an alpha graphic with a blend graphic samples itself in stage 2",
         {.alpha = 1, .param = 1, .blendTexture = true, .border = 0, .range = 0},
         {{REF, 1}},
         {{1, COP, D3DTOP_SELECTARG1}, {1, CA1, D3DTA_CURRENT}, {1, AA1, D3DTA_SPECULAR}, {2, AOP, D3DTOP_MODULATE},
          {2, AA1, D3DTA_TEXTURE}, {2, TCI, 1}, {3, AOP, D3DTOP_MODULATE}, {3, AA1, D3DTA_DIFFUSE}, {3, TCI, 0},
          {4, COP, D3DTOP_DISABLE}},
         2, 0},
        {"a mode outside the table draws as mode 0",
         {.mode = 40},
         {{ATE, 0}, {ABE, 0}, {OP, D3DBLENDOP_ADD}},
         {{0, AOP, D3DTOP_SELECTARG2}},
         1, 0},
        {"a border of 255 hides everything", {.blendTexture = true, .border = 255, .range = 0}, {{REF, 255}}, {}, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Apply(c.inputs);
        for (const RenderStateValue& expected : c.renderStates) {
            SCOPED_TRACE(testing::Message() << "render state " << expected.state);
            EXPECT_EQ(RenderState(expected.state), expected.value);
        }
        for (const StageStateValue& expected : c.stageStates) {
            SCOPED_TRACE(testing::Message() << "stage " << expected.stage << " state " << expected.type);
            EXPECT_EQ(StageState(expected.stage, expected.type), expected.value);
        }
        EXPECT_EQ(DrawVertexBatch.format, c.format);
        EXPECT_EQ(DrawVertexBatch.discard, c.discard);
        // What went to the device is what the cache holds.
        EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), DeviceStates.textureFactor);
        EXPECT_EQ(RenderState(D3DRS_ALPHAREF), static_cast<DWORD>(DeviceStates.alphaRef));
    }
}

TEST_F(BlendStatesTest, TheGraphicAndTheBlendGraphicGoToTheirStages) {
    Apply({.transparent = 1, .blendTexture = true, .range = 0});
    EXPECT_EQ(DeviceStates.stageTexture[0], blend_);
    EXPECT_EQ(DeviceStates.stageTexture[1], image_);
    Apply({.alpha = 1, .blendTexture = true, .range = 0});
    EXPECT_EQ(DeviceStates.stageTexture[1], nullptr);
    EXPECT_EQ(DeviceStates.stageTexture[2], image_);
    Apply({});
    EXPECT_EQ(DeviceStates.stageTexture[0], image_);
    EXPECT_EQ(DeviceStates.stageTexture[1], nullptr);
}

TEST_F(BlendStatesTest, NothingDirtySendsNothingAndATextureAloneGoesToItsStage) {
    Apply({});
    TakeCalls();
    EXPECT_EQ(ApplyDrawBlendStates(nullptr, 1, 0), -1);
    EXPECT_TRUE(TakeCalls().empty());

    DeviceStates.texture = blend_;
    DeviceStates.textureDirty = 1;
    EXPECT_EQ(ApplyDrawBlendStates(nullptr, 1, 0), 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetTexture(0, object)"}));
    EXPECT_EQ(DeviceStates.textureDirty, 0);

    // With a blend graphic and an alpha channel the graphic is sampled in stage 2.
    Apply({.alpha = 1, .blendTexture = true, .range = 0});
    TakeCalls();
    DeviceStates.texture = blend_;
    DeviceStates.textureDirty = 1;
    ApplyDrawBlendStates(nullptr, 1, 0);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"SetTexture(2, object)"}));
}

TEST_F(BlendStatesTest, WhatIsQueuedIsDrawnFirstInItsOwnFormat) {
    Apply({});
    TakeCalls();
    const auto drawnBeforeAnyState = [](const std::vector<std::string>& calls) {
        const auto draw = std::find(calls.begin(), calls.end(), "DrawPrimitiveUP(4, 1, 28)");
        const auto state = std::find_if(calls.begin(), calls.end(),
                                        [](const std::string& call) { return call.rfind("SetRenderState", 0) == 0; });
        return draw != calls.end() && draw < state;
    };
    QueueVertices(3);
    Apply({.mode = 1});
    EXPECT_TRUE(drawnBeforeAnyState(TakeCalls()));

    // A change of format draws the old vertices in their own layout.
    QueueVertices(3);
    Apply({.mode = 1, .texture = false});
    EXPECT_TRUE(drawnBeforeAnyState(TakeCalls()));
    EXPECT_EQ(DrawVertexBatch.vertexCount, 0);
    EXPECT_EQ(DrawVertexBatch.writePointer, BatchBuffer(0));
}

TEST_F(BlendStatesTest, RemovingTheBlendGraphicStopsThrowingVerticesAway) {
    Apply({.blendTexture = true, .border = 255, .range = 0});
    EXPECT_EQ(DrawVertexBatch.discard, 1);
    Apply({});
    EXPECT_EQ(DrawVertexBatch.discard, 0);
    Apply({.blendTexture = true, .border = 255, .range = 0});
    Apply({.texture = false});
    EXPECT_EQ(DrawVertexBatch.discard, 0);
}

TEST_F(BlendStatesTest, ANewStageCountSendsTheFilterToTheSamplersInUse) {
    SetDeviceSamplerFilter(1);
    Apply({});
    EXPECT_EQ(DeviceStates.samplersInUse, 1);
    TakeCalls();
    Apply({.alpha = 1, .param = 1, .blendTexture = true, .range = 0});
    EXPECT_EQ(DeviceStates.samplersInUse, 4);
    const std::vector<std::string> calls = TakeCalls();
    for (int sampler = 0; sampler < 4; ++sampler) {
        const std::string magnify = "SetSamplerState(" + std::to_string(sampler) + ", 5, 0x2)";
        EXPECT_NE(std::find(calls.begin(), calls.end(), magnify), calls.end()) << magnify;
    }
    EXPECT_EQ(std::find(calls.begin(), calls.end(), "SetSamplerState(4, 5, 0x2)"), calls.end());
}

TEST_F(BlendStatesTest, TheTextureFactorIsAlsoPixelRegister5) {
    ProgrammableShadersOn = 1;
    Apply({.blendTexture = true, .border = 128, .range = 100});
    const float* shadow = DeviceStates.textureFactorRegister;
    EXPECT_FLOAT_EQ(shadow[0], 1.0f);
    EXPECT_FLOAT_EQ(shadow[3], 65.0f / 255.0f);
    EXPECT_FLOAT_EQ(DeviceNow().pixelConstants[5][3], 65.0f / 255.0f);
    EXPECT_FLOAT_EQ(DeviceNow().pixelConstants[5][2], 1.0f);

    // Without shaders only the shadow follows.
    ProgrammableShadersOn = 0;
    Apply({.blendTexture = true, .range = 0});
    EXPECT_FLOAT_EQ(shadow[3], 0.0f);
    EXPECT_FLOAT_EQ(DeviceNow().pixelConstants[5][3], 65.0f / 255.0f);
}

// A caller's block with every stage in use.
DrawBlendStateBlock FullBlock(int stageCount) {
    DrawBlendStateBlock block = {};
    block.alphaFunc = D3DCMP_ALWAYS;
    block.textureFactor = 0xFFFFFFFFu;
    block.srcBlend = kBlendStateKept;
    block.destBlend = kBlendStateKept;
    block.blendOp = kBlendStateKept;
    block.stageCount = stageCount;
    for (DrawBlendStage& stage : block.stages) {
        stage = DrawBlendStage{0, kBlendStateKept, D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTOP_MODULATE,
                               D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTOP_MODULATE};
    }
    return block;
}

TEST_F(BlendStatesTest, ABlockOfEightStagesHasNoClosingStage) {
    DrawBlendStateBlock block = FullBlock(8);
    EXPECT_EQ(ApplyDrawBlendStates(&block, 0, 0), 0);
    for (int stage = 0; stage < 8; ++stage) EXPECT_EQ(StageState(stage, D3DTSS_COLOROP), DWORD{D3DTOP_MODULATE});
    EXPECT_EQ(DeviceStates.samplersInUse, 8);

    // Seven stages take the block's eighth entry as their closing stage.
    block = FullBlock(7);
    block.stages[7].colorOp = D3DTOP_DISABLE;
    block.stages[7].alphaOp = D3DTOP_DISABLE;
    ApplyDrawBlendStates(&block, 0, 0);
    EXPECT_EQ(StageState(7, D3DTSS_COLOROP), DWORD{D3DTOP_DISABLE});
}

TEST_F(BlendStatesTest, TheWalkEndsAfterAStageWhoseAlphaIsDisabled) {
    DrawBlendStateBlock block = FullBlock(4);
    block.stages[1].alphaOp = D3DTOP_DISABLE;
    block.stages[2].texture = reinterpret_cast<uintptr_t>(static_cast<IDirect3DBaseTexture9*>(image_));
    ApplyDrawBlendStates(&block, 0, 0);
    EXPECT_EQ(StageState(1, D3DTSS_ALPHAOP), DWORD{D3DTOP_DISABLE});
    EXPECT_EQ(StageState(2, D3DTSS_COLOROP), DWORD{D3DTOP_DISABLE});
    EXPECT_EQ(DeviceStates.stageTexture[2], nullptr);

    // Textures only: the walk goes on, and the operations stay as they are.
    ApplyDrawBlendStates(&block, 0, 1);
    EXPECT_EQ(DeviceStates.stageTexture[2], image_);
    EXPECT_EQ(StageState(2, D3DTSS_COLOROP), DWORD{D3DTOP_DISABLE});
}

TEST_F(BlendStatesTest, ABlocksGraphicHandlesStandForTheirFirstTexture) {
    const int graphic = MakeTextureGraphic(16, 16, {16}, {16});
    DrawBlendStateBlock block = FullBlock(2);
    block.stages[0].texture = static_cast<uint32_t>(graphic);
    block.stages[1].texture = static_cast<uint32_t>(graphic + 1);  // no such graphic
    DeviceStates.stageTexture[1] = image_;
    ApplyDrawBlendStates(&block, 1, 0);
    EXPECT_EQ(DeviceStates.stageTexture[0], TextureOf(graphic, 0));
    EXPECT_EQ(DeviceStates.stageTexture[1], nullptr);

    // A user block in force is what every draw then applies.
    block.stages[0].alphaOp = D3DTOP_ADD;
    EXPECT_EQ(SetDeviceUserStateBlock(&block, 1), 0);
    EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), DWORD{D3DTOP_ADD});
    Apply({.mode = 1});
    EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), DWORD{D3DTOP_ADD});
    SetDeviceUserStateBlock(nullptr, 0);
    Apply({.mode = 1});
    EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), DWORD{D3DTOP_SELECTARG2});
}

TEST_F(BlendStatesTest, WithEveryStateForcedTheKeptFactorsGoAgain) {
    Apply({.mode = 1});
    TakeCalls();
    DeviceStates.forceSet = 1;
    Apply({.mode = 0});
    DeviceStates.forceSet = 0;
    const std::vector<std::string> calls = TakeCalls();
    // Mode 0 keeps the factors: SRCALPHA (5) and INVSRCALPHA (6) go again.
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetRenderState(19, 0x5)"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetRenderState(20, 0x6)"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetRenderState(25, 0x8)"), calls.end());
}

TEST_F(BlendStatesTest, WithoutADeviceNothingIsApplied) {
    TermGraphicsDevice();
    DrawBlendStateBlock block = FullBlock(1);
    EXPECT_EQ(ApplyDrawBlendStates(nullptr, 1, 0), -1);
    EXPECT_EQ(ApplyDrawBlendStates(&block, 0, 0), -1);
}

}  // namespace
}  // namespace graphicstest
