// Reading a draw's fixed-function key from the device's states.
#include "platform/d3d9/fixed_function_key.h"

namespace platform::d3d9 {
namespace {

constexpr DWORD kLastOp = D3DTOP_LERP;

// An operation the device may be given but Direct3D does not know counts
// as DISABLE.
uint8_t Op(DWORD value) {
    return static_cast<uint8_t>(value >= D3DTOP_DISABLE && value <= kLastOp ? value : DWORD{D3DTOP_DISABLE});
}

uint8_t Arg(DWORD value) { return static_cast<uint8_t>(value & (D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)); }

bool Reads(uint8_t argument, DWORD what) { return (argument & D3DTA_SELECTMASK) == what; }

// The arguments each operation reads: 1 and 2, or also 0.
bool ReadsArgument0(uint8_t op) { return op == D3DTOP_MULTIPLYADD || op == D3DTOP_LERP; }

}  // namespace

size_t FixedFunctionKeyHash::operator()(const FixedFunctionKey& key) const {
    // FNV-1a over the key's bytes.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&key);
    size_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < sizeof(key); ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

bool StageSamples(const FixedFunctionKey::Stage& stage) {
    if (stage.colourOp == D3DTOP_BLENDTEXTUREALPHA || stage.colourOp == D3DTOP_BLENDTEXTUREALPHAPM ||
        stage.alphaOp == D3DTOP_BLENDTEXTUREALPHA || stage.alphaOp == D3DTOP_BLENDTEXTUREALPHAPM)
        return true;
    const int colourArgs = ReadsArgument0(stage.colourOp) ? 3 : 2;
    const int alphaArgs = ReadsArgument0(stage.alphaOp) ? 3 : 2;
    for (int i = 0; i < colourArgs; ++i)
        if (Reads(stage.colourArgs[i], D3DTA_TEXTURE)) return true;
    for (int i = 0; i < alphaArgs && stage.alphaOp != D3DTOP_DISABLE; ++i)
        if (Reads(stage.alphaArgs[i], D3DTA_TEXTURE)) return true;
    return false;
}

FixedFunctionKey KeyOf(const DeviceState& state, const FvfLayout& layout) {
    FixedFunctionKey key;
    std::memset(&key, 0, sizeof(key));
    key.pretransformed = layout.pretransformed;
    key.hasDiffuse = layout.diffuse != FvfLayout::kNone;
    key.hasSpecular = layout.specular != FvfLayout::kNone;
    key.texCoordSets = static_cast<uint8_t>(layout.texCoordSets);
    for (uint32_t set = 0; set < layout.texCoordSets; ++set)
        key.texCoordFloats[set] = static_cast<uint8_t>(layout.texCoordFloats[set]);

    for (DWORD stage = 0; stage < kTextureStages; ++stage) {
        const DWORD* states = state.stageStates[stage];
        const uint8_t colourOp = Op(states[D3DTSS_COLOROP]);
        if (colourOp == D3DTOP_DISABLE) break;
        FixedFunctionKey::Stage& into = key.stages[stage];
        into.colourOp = colourOp;
        into.alphaOp = Op(states[D3DTSS_ALPHAOP]);
        // Argument 0 keeps Direct3D's default, the current colour: the device
        // takes no other.
        into.colourArgs[0] = Arg(states[D3DTSS_COLORARG1]);
        into.colourArgs[1] = Arg(states[D3DTSS_COLORARG2]);
        into.colourArgs[2] = D3DTA_CURRENT;
        into.alphaArgs[0] = Arg(states[D3DTSS_ALPHAARG1]);
        into.alphaArgs[1] = Arg(states[D3DTSS_ALPHAARG2]);
        into.alphaArgs[2] = D3DTA_CURRENT;
        const DWORD set = states[D3DTSS_TEXCOORDINDEX] & 0xFFFFu;
        into.texCoordSet = static_cast<uint8_t>(set < 8 ? set : 8);
        const DWORD transform = states[D3DTSS_TEXTURETRANSFORMFLAGS];
        const DWORD count = transform & 0xFFu;
        into.transformCount = static_cast<uint8_t>(count <= 4 ? count : 4);
        into.transformProjected = into.transformCount >= 2 && (transform & D3DTTFF_PROJECTED) != 0;
        key.stageCount = static_cast<uint8_t>(stage + 1);
    }

    const DWORD* render = state.renderStates;
    const DWORD function = render[D3DRS_ALPHAFUNC];
    key.alphaFunction = static_cast<uint8_t>(
        render[D3DRS_ALPHATESTENABLE] && function >= D3DCMP_NEVER && function < D3DCMP_ALWAYS ? function
                                                                                              : D3DCMP_ALWAYS);
    if (render[D3DRS_FOGENABLE]) {
        switch (layout.pretransformed ? D3DFOG_NONE : render[D3DRS_FOGVERTEXMODE]) {
            case D3DFOG_EXP: key.fog = FogKind::Exponential; break;
            case D3DFOG_EXP2: key.fog = FogKind::ExponentialSquared; break;
            case D3DFOG_LINEAR: key.fog = FogKind::Linear; break;
            default: key.fog = FogKind::FromSpecularAlpha; break;
        }
    }
    key.specularSum = render[D3DRS_SPECULARENABLE] != FALSE;
    return key;
}

}  // namespace platform::d3d9
