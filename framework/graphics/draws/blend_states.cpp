// The blend states of a hardware draw. The states are derived from the
// cached draw inputs through three tables: the blend modes' factors, the
// texture-stage templates by group and variant, and the stage lists of
// draws without a texture. What is derived (or handed in) is sent through
// the cache: only the values that differ, after the pending batch is drawn.
#include "framework/graphics/draws/blend_states.h"

#include <array>

#include "framework/graphics/device/device_state_setters.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/draws/graphic_draw_parts.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/draws/vertex_batch.h"

namespace {

constexpr int kNone = kBlendStateKept;
constexpr int kBlendModeCount = 13;

enum ColourKind : int { kPlain = 0, kFadeToWhite = 1, kInverted = 2 };

struct BlendModeRow {
    int srcBlend;
    int destBlend;
    int blendOp;
    int blending;  // the mode's alpha-blend switch
    ColourKind kind;
};

constexpr BlendModeRow kBlendModeStateTable[kBlendModeCount] = {
    {kNone, kNone, D3DBLENDOP_ADD, 0, kPlain},
    {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 1, kPlain},
    {D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, 1, kPlain},
    {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, 1, kPlain},
    {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, 1, kPlain},
    {D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, 1, kPlain},
    {kNone, kNone, D3DBLENDOP_ADD, 0, kPlain},
    {kNone, kNone, D3DBLENDOP_ADD, 1, kPlain},
    {D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, 1, kPlain},
    {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, 1, kPlain},
    {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 1, kInverted},
    {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, 1, kFadeToWhite},
    {D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, 1, kPlain},
};

// One operation of a stage: op(arg1, arg2), -1 where an argument is not sent.
struct StageOp {
    int op;
    int arg1;
    int arg2;
};

constexpr int kTexture = D3DTA_TEXTURE;
constexpr int kDiffuse = D3DTA_DIFFUSE;
constexpr int kCurrent = D3DTA_CURRENT;
constexpr int kFactor = D3DTA_TFACTOR;
constexpr int kSpecular = D3DTA_SPECULAR;
constexpr int kComplement = D3DTA_COMPLEMENT;

constexpr DrawBlendStage MakeStage(StageOp colour, StageOp alpha, int texCoordIndex) {
    return DrawBlendStage{0,
                          texCoordIndex,
                          static_cast<int16_t>(alpha.arg1),
                          static_cast<int16_t>(alpha.arg2),
                          static_cast<int16_t>(alpha.op),
                          static_cast<int16_t>(colour.arg1),
                          static_cast<int16_t>(colour.arg2),
                          static_cast<int16_t>(colour.op)};
}

constexpr StageOp kDisabledOp = {D3DTOP_DISABLE, kNone, kNone};
// The closing stage of the templates sends only its operations; that of the
// lists without a texture also its arguments and coordinate set.
constexpr DrawBlendStage kTemplateClosingStage = MakeStage(kDisabledOp, kDisabledOp, kNone);
constexpr DrawBlendStage kPlainClosingStage =
    MakeStage({D3DTOP_DISABLE, kDiffuse, kDiffuse}, {D3DTOP_DISABLE, kDiffuse, kDiffuse}, 0);

// Stage 0 of the groups without a blend texture: the colour by inverted
// (0 plain, 1 inverted) and bright flag; the alpha by variant 0 or not, and
// the blend-parameter flag.
constexpr StageOp kTextureColour[2][2] = {
    {{D3DTOP_SELECTARG1, kTexture, kNone}, {D3DTOP_MODULATE, kTexture, kDiffuse}},
    {{D3DTOP_SELECTARG1, kTexture | kComplement, kNone}, {D3DTOP_MODULATE, kTexture | kComplement, kDiffuse}},
};
constexpr StageOp kVertexAlpha = {D3DTOP_SELECTARG2, kNone, kDiffuse};
constexpr StageOp kTextureAlpha[2] = {{D3DTOP_SELECTARG1, kTexture, kNone}, {D3DTOP_MODULATE, kTexture, kDiffuse}};
// The second stage of the fade-to-white groups.
constexpr DrawBlendStage kFadeToWhiteStage =
    MakeStage({D3DTOP_BLENDCURRENTALPHA, kCurrent, kFactor}, {D3DTOP_SELECTARG1, kCurrent, kNone}, 1);

// The groups with a blend texture: stage 0 samples the blend graphic's alpha
// and adds the texture factor; the stages after it, by variant and
// blend-parameter flag, either take the image colour (by bright flag) or
// pass the colour on, each with its alpha operation and coordinate set.
constexpr DrawBlendStage kBlendTextureStage0 =
    MakeStage({D3DTOP_SELECTARG2, kNone, kDiffuse}, {D3DTOP_ADD, kTexture, kFactor}, 0);
constexpr StageOp kImageColour[2] = {{D3DTOP_SELECTARG1, kTexture, kNone}, {D3DTOP_MODULATE, kTexture, kDiffuse}};
constexpr StageOp kPassColour = {D3DTOP_SELECTARG1, kCurrent, kNone};

struct BlendTextureStep {
    bool imageColour;
    StageOp alpha;
    int texCoordIndex;
};
struct BlendTextureSteps {
    int count;
    BlendTextureStep steps[3];
};
constexpr StageOp kTimesDiffuse = {D3DTOP_MODULATE, kDiffuse, kCurrent};
constexpr StageOp kTimesTexture = {D3DTOP_MODULATE, kTexture, kCurrent};
constexpr StageOp kTimesSpecular = {D3DTOP_MODULATE, kSpecular, kCurrent};
constexpr BlendTextureSteps kBlendTextureStepTable[3][2] = {
    {{1, {{true, {D3DTOP_MODULATE, kCurrent, kDiffuse}, 1}}}, {1, {{true, kTimesDiffuse, 1}}}},
    {{2, {{false, kTimesSpecular, 1}, {true, kTimesTexture, 1}}},
     {3, {{false, kTimesSpecular, 1}, {true, kTimesTexture, 1}, {false, kTimesDiffuse, 0}}}},
    {{1, {{true, kTimesTexture, 1}}}, {2, {{true, kTimesTexture, 1}, {false, kTimesDiffuse, 1}}}},
};

struct StageList {
    int count;  // the closing stage, which follows, not counted
    DrawBlendStage stages[kBlendStageCount];
};

constexpr int kGroupCount = 24;
constexpr int kVariantCount = 3;

constexpr StageList BuildTemplate(int group, int variant) {
    StageList list{};
    const int bright = (group >> 1) & 1;
    const int param = group & 1;
    const int kind = group >> 3;
    if (kind == 0 && (group & 4) != 0) {
        list.stages[0] = kBlendTextureStage0;
        const BlendTextureSteps& steps = kBlendTextureStepTable[variant][param];
        for (int i = 0; i < steps.count; ++i) {
            const BlendTextureStep& step = steps.steps[i];
            list.stages[1 + i] =
                MakeStage(step.imageColour ? kImageColour[bright] : kPassColour, step.alpha, step.texCoordIndex);
        }
        list.count = 1 + steps.count;
    } else if ((group & 4) == 0) {
        const int inverted = kind == kInverted ? 1 : 0;
        const StageOp alpha = variant == 0 ? kVertexAlpha : kTextureAlpha[param];
        list.stages[0] = MakeStage(kTextureColour[inverted][bright], alpha, 0);
        list.count = 1;
        if (kind == kFadeToWhite) list.stages[list.count++] = kFadeToWhiteStage;
    }
    // Groups 12 to 15 stay empty: no colour kind leads to them.
    list.stages[list.count] = kTemplateClosingStage;
    return list;
}

constexpr std::array<std::array<StageList, kVariantCount>, kGroupCount> BuildTemplates() {
    std::array<std::array<StageList, kVariantCount>, kGroupCount> templates{};
    for (int group = 0; group < kGroupCount; ++group) {
        for (int variant = 0; variant < kVariantCount; ++variant) templates[group][variant] = BuildTemplate(group, variant);
    }
    return templates;
}

constexpr auto kBlendStageTemplates = BuildTemplates();

// Stage 0 of the draws without a texture, by colour kind, and the fixed
// list of the subtractive mode.
constexpr DrawBlendStage kUntexturedStages[3] = {
    MakeStage({D3DTOP_SELECTARG2, kDiffuse, kDiffuse}, {D3DTOP_SELECTARG2, kDiffuse, kDiffuse}, 0),
    MakeStage({D3DTOP_BLENDDIFFUSEALPHA, kDiffuse, kFactor}, {D3DTOP_SELECTARG2, kDiffuse, kDiffuse}, 0),
    MakeStage({D3DTOP_SELECTARG1, kDiffuse | kComplement, kDiffuse}, {D3DTOP_SELECTARG2, kDiffuse, kDiffuse}, 0),
};
constexpr DrawBlendStage kUntexturedSubtractStage =
    MakeStage({D3DTOP_SELECTARG1, kDiffuse, kNone}, {D3DTOP_SELECTARG2, kNone, kDiffuse}, 0);

// The soft border of the blend graphic: three bands of its range R, each
// with its scale S and the alpha operation of stage 1.
struct BorderBand {
    int scale;
    int stage1AlphaOp;
    int below;   // divisor of A = 255 - T x 255 / below
    int offset;  // and of A = (T - offset) x gain / 256
    int gain;
};

const BorderBand& BorderBandOf(int range) {
    static constexpr BorderBand kBands[3] = {
        {1280, D3DTOP_MODULATE4X, 1024, 1024, 64},
        {768, D3DTOP_MODULATE2X, 512, 512, 128},
        {512, D3DTOP_MODULATE, 256, 256, 255},
    };
    return kBands[range <= 64 ? 0 : (range <= 128 ? 1 : 2)];
}

uintptr_t TextureValue(IDirect3DTexture9* texture) {
    return reinterpret_cast<uintptr_t>(static_cast<IDirect3DBaseTexture9*>(texture));
}

struct DerivedStates {
    DrawBlendStateBlock block;
    int format;
    int discard;
};

void TakeStageList(DrawBlendStateBlock& block, const StageList& list) {
    block.stageCount = list.count;
    for (int i = 0; i <= list.count && i < kBlendStageCount; ++i) block.stages[i] = list.stages[i];
}

DerivedStates DeriveBlendStates() {
    const DeviceStateCache& cache = DeviceStates;
    // A blend mode outside the table draws as mode 0 rather than reading past it.
    const int mode = cache.blendMode >= 0 && cache.blendMode < kBlendModeCount ? cache.blendMode : kBlendModeNone;
    const BlendModeRow& row = kBlendModeStateTable[mode];
    DerivedStates derived{};
    DrawBlendStateBlock& block = derived.block;
    block.textureFactor = 0xFFFFFFFFu;
    block.srcBlend = row.srcBlend;
    block.destBlend = row.destBlend;
    block.blendOp = row.blendOp;
    if (mode == kBlendModeSubtract && Direct3DDevice.blendOperationCapable) {
        block.srcBlend = D3DBLEND_SRCALPHA;
        block.destBlend = D3DBLEND_ONE;
        block.blendOp = D3DBLENDOP_REVSUBTRACT;
    }
    block.alphaRef = cache.alphaRef;
    block.alphaFunc = cache.alphaFunc;
    const int alpha = cache.alphaChannel;
    const int transparent = cache.transparentColor;
    const int bright = cache.brightFlag ? 1 : 0;
    const int param = cache.blendParamFlag ? 1 : 0;

    if (cache.texture == nullptr) {
        StageList list{};
        list.count = 1;
        list.stages[0] = mode == kBlendModeSubtract ? kUntexturedSubtractStage : kUntexturedStages[row.kind];
        list.stages[1] = kPlainClosingStage;
        TakeStageList(block, list);
        block.alphaTestEnable = 0;
        block.alphaBlendEnable = row.blending;
        block.textureFactor = row.kind == kFadeToWhite ? 0xFFFFFFFFu : cache.textureFactor;
        derived.format = kVertexFormatPlain;
        return derived;
    }

    if (cache.blendTexture == nullptr) {
        const int variant = alpha ? 1 : (transparent || cache.zEnable == 1 ? 2 : 0);
        TakeStageList(block, kBlendStageTemplates[8 * row.kind + 2 * bright + param][variant]);
        if (transparent) {
            block.alphaTestEnable = 1;
            block.alphaRef = 16;
            block.alphaFunc = D3DCMP_GREATER;
        } else if (cache.zEnable == 1) {
            block.alphaTestEnable = 1;
            block.alphaRef = 0;
            block.alphaFunc = D3DCMP_GREATER;
        }
        if (!transparent && alpha && !row.blending) {
            block.srcBlend = D3DBLEND_SRCALPHA;
            block.destBlend = D3DBLEND_INVSRCALPHA;
        }
        block.alphaBlendEnable = alpha || row.blending ? 1 : 0;
        block.stages[0].texture = TextureValue(cache.texture);
        derived.format = kVertexFormatTexture;
        return derived;
    }

    const int variant = alpha ? 1 : (transparent ? 2 : 0);
    TakeStageList(block, kBlendStageTemplates[4 + 2 * bright + param][variant]);
    if (!row.blending) {
        block.srcBlend = D3DBLEND_SRCALPHA;
        block.destBlend = D3DBLEND_INVSRCALPHA;
    }
    block.stages[0].texture = TextureValue(cache.blendTexture);
    block.stages[alpha ? 2 : 1].texture = TextureValue(cache.texture);
    const int border = cache.blendTextureParam1;
    const int range = cache.blendTextureParam2;
    derived.discard = border == 255 ? 1 : 0;
    derived.format = kVertexFormatBlendTexture;
    if (range <= 1) {
        block.alphaTestEnable = 1;
        block.alphaRef = border == 0 && (alpha || transparent) ? 1 : border;
        block.alphaFunc = D3DCMP_GREATEREQUAL;
        block.alphaBlendEnable = 0;
        block.textureFactor = 0x00FFFFFFu;
        return derived;
    }
    const BorderBand& band = BorderBandOf(range);
    const int t = band.scale - (border * band.scale) / 255;
    int a = 0;
    if (t < band.scale - 256) {
        a = 255 - (t * 255) / band.below;
        block.stages[0].alphaOp = D3DTOP_SUBTRACT;
    } else {
        a = ((t - band.offset) * band.gain) / 256;
        block.stages[0].alphaOp = D3DTOP_ADD;
    }
    block.stages[1].alphaOp = static_cast<int16_t>(band.stage1AlphaOp);
    block.alphaTestEnable = 0;
    block.alphaBlendEnable = 1;
    block.textureFactor = static_cast<DWORD>(a) << 24 | 0x00FFFFFFu;
    return derived;
}

// The device texture a block's stage names.
IDirect3DBaseTexture9* StageTexture(uintptr_t value, int texturesAreHandles) {
    if (!texturesAreHandles) return reinterpret_cast<IDirect3DBaseTexture9*>(value);
    const GraphicRecord* record = GetGraphicRecord(static_cast<int>(static_cast<uint32_t>(value)));
    return record != nullptr ? GraphicFirstTexture(record) : nullptr;
}

// Sends the states of a block through the cache. The batch is drawn before
// the first value that changes, so that what it holds keeps the states it
// was queued under.
class BlendStateSender {
public:
    explicit BlendStateSender(IDirect3DDevice9* device) : device_(device), cache_(DeviceStates) {}

    void RenderState(D3DRENDERSTATETYPE state, int& cached, int value) {
        if (value == cached && !cache_.forceSet) return;
        Send(state, cached, value);
    }
    // A factor or operation of -1 leaves the device's value; while every
    // state is sent again, the kept value goes again when it is a real one.
    void KeptRenderState(D3DRENDERSTATETYPE state, int& cached, int value) {
        if (value == kNone) {
            if (cache_.forceSet && cached > 1) Send(state, cached, cached);
            return;
        }
        RenderState(state, cached, value);
    }
    void TextureFactor(DWORD value) {
        if (value == cache_.textureFactor && !cache_.forceSet) return;
        BeforeSend();
        device_->SetRenderState(D3DRS_TEXTUREFACTOR, value);
        cache_.textureFactor = value;
        float* floats = cache_.textureFactorRegister;
        floats[0] = static_cast<float>(value & 0xFF) / 255.0f;
        floats[1] = static_cast<float>(value >> 8 & 0xFF) / 255.0f;
        floats[2] = static_cast<float>(value >> 16 & 0xFF) / 255.0f;
        floats[3] = static_cast<float>(value >> 24) / 255.0f;
        SetPixelShaderConstants(5, floats, 1);
    }
    void Texture(int stage, IDirect3DBaseTexture9* texture) {
        if (texture == cache_.stageTexture[stage] && !cache_.forceSet) return;
        BeforeSend();
        device_->SetTexture(static_cast<DWORD>(stage), texture);
        cache_.stageTexture[stage] = texture;
    }
    void StageState(int stage, D3DTEXTURESTAGESTATETYPE type, int& cached, int value) {
        if (value == kNone || (value == cached && !cache_.forceSet)) return;
        BeforeSend();
        device_->SetTextureStageState(static_cast<DWORD>(stage), type, static_cast<DWORD>(value));
        cached = value;
    }
    void TexCoordIndex(int stage, int value) {
        DWORD& cached = cache_.texCoordIndex[stage];
        if (value == kNone || (static_cast<DWORD>(value) == cached && !cache_.forceSet)) return;
        BeforeSend();
        device_->SetTextureStageState(static_cast<DWORD>(stage), D3DTSS_TEXCOORDINDEX, static_cast<DWORD>(value));
        cached = static_cast<DWORD>(value);
    }

private:
    void BeforeSend() {
        if (flushed_) return;
        FlushVertexBatch();
        flushed_ = true;
    }
    void Send(D3DRENDERSTATETYPE state, int& cached, int value) {
        BeforeSend();
        device_->SetRenderState(state, static_cast<DWORD>(value));
        cached = value;
    }

    IDirect3DDevice9* device_;
    DeviceStateCache& cache_;
    bool flushed_ = false;
};

void SendBlendStates(const DrawBlendStateBlock& block, int texturesAreHandles, int texturesOnly) {
    DeviceStateCache& cache = DeviceStates;
    BlendStateSender send(Direct3DDevice.device);
    // A caller's count outside 0 to 8 is held to it.
    int count = block.stageCount < 0 ? 0 : (block.stageCount > kBlendStageCount ? kBlendStageCount : block.stageCount);
    if (count != cache.samplersInUse) {
        cache.samplersInUse = count;
        const int forced = cache.forceSet;
        cache.forceSet = 1;
        SetDeviceSamplerFilter(cache.filterMode);
        SetDeviceMaxAnisotropy(cache.maxAnisotropy);
        cache.forceSet = forced;
    }
    if (count < kBlendStageCount) ++count;  // the closing stage

    send.RenderState(D3DRS_ALPHAFUNC, cache.alphaFunc, block.alphaFunc);
    send.RenderState(D3DRS_ALPHAREF, cache.alphaRef, block.alphaRef);
    send.RenderState(D3DRS_ALPHATESTENABLE, cache.alphaTestEnable, block.alphaTestEnable);
    send.RenderState(D3DRS_ALPHABLENDENABLE, cache.alphaBlendEnable, block.alphaBlendEnable);
    send.TextureFactor(block.textureFactor);
    send.KeptRenderState(D3DRS_SRCBLEND, cache.srcBlend, block.srcBlend);
    send.KeptRenderState(D3DRS_DESTBLEND, cache.destBlend, block.destBlend);
    send.KeptRenderState(D3DRS_BLENDOP, cache.blendOp, block.blendOp);

    for (int stage = 0; stage < count; ++stage) {
        if (stage >= 2 && !texturesOnly && block.stages[stage - 1].alphaOp == D3DTOP_DISABLE) break;
        const DrawBlendStage& entry = block.stages[stage];
        send.Texture(stage, StageTexture(entry.texture, texturesAreHandles));
        send.TexCoordIndex(stage, entry.texCoordIndex);
        if (texturesOnly) continue;
        send.StageState(stage, D3DTSS_ALPHAOP, cache.stageAlphaOp[stage], entry.alphaOp);
        send.StageState(stage, D3DTSS_ALPHAARG1, cache.stageAlphaArg1[stage], entry.alphaArg1);
        send.StageState(stage, D3DTSS_ALPHAARG2, cache.stageAlphaArg2[stage], entry.alphaArg2);
        send.StageState(stage, D3DTSS_COLOROP, cache.stageColorOp[stage], entry.colorOp);
        send.StageState(stage, D3DTSS_COLORARG1, cache.stageColorArg1[stage], entry.colorArg1);
        send.StageState(stage, D3DTSS_COLORARG2, cache.stageColorArg2[stage], entry.colorArg2);
    }
}

}  // namespace

int ApplyDrawBlendStates(const DrawBlendStateBlock* block, int texturesAreHandles, int texturesOnly) {
    IDirect3DDevice9* device = Direct3DDevice.device;
    if (device == nullptr) return -1;
    DeviceStateCache& cache = DeviceStates;
    if (block != nullptr) {
        SendBlendStates(*block, texturesAreHandles, texturesOnly);
        return 0;
    }
    if (cache.userStateBlockInForce) {
        SendBlendStates(cache.userStateBlock, cache.userStateBlockTexturesAreHandles, 0);
        return 0;
    }
    if (!cache.forceSet && !cache.statesDirty) {
        if (!cache.textureDirty) return -1;
        // Only the texture changed: it goes to the stage that samples it.
        const int stage = cache.blendTexture == nullptr ? 0 : (cache.alphaChannel == 1 ? 2 : 1);
        BlendStateSender(device).Texture(stage, cache.texture);
        cache.textureDirty = 0;
        return 0;
    }
    cache.statesDirty = 0;
    cache.textureDirty = 0;
    const DerivedStates derived = DeriveBlendStates();
    // The vertices queued so far are drawn in their own format and under the
    // states they were queued with.
    SelectBatchFormat(derived.format);
    VertexBatch& batch = DrawVertexBatch;
    if (batch.discard != derived.discard) {
        FlushVertexBatch();
        batch.discard = derived.discard;
    }
    SendBlendStates(derived.block, 0, 0);
    return 0;
}
