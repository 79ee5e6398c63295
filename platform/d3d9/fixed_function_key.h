// What decides the shaders that stand in for Direct3D's fixed-function
// pipeline in a draw: the vertex's parts, the texture stages in use (their
// operations, arguments with modifiers, coordinate sets and transforms), the
// alpha test's function, fog and the specular sum. Two draws with equal keys
// share one program; everything else a draw needs (the factor, the alpha
// reference, matrices, fog values) is a uniform. Private to platform/d3d9.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/d3d9/device_state.h"
#include "platform/d3d9/fvf_layout.h"

namespace platform::d3d9 {

enum class FogKind : uint8_t {
    None,
    FromSpecularAlpha,  // the vertex gives the factor (pre-transformed, or no vertex fog mode)
    Exponential,
    ExponentialSquared,
    Linear,
};

struct FixedFunctionKey {
    struct Stage {
        uint8_t colourOp;
        uint8_t colourArgs[3];  // D3DTA_ values with their modifiers: argument 1, 2 and 0
        uint8_t alphaOp;
        uint8_t alphaArgs[3];
        uint8_t texCoordSet;       // 8 and above: none
        uint8_t transformCount;    // D3DTTFF_COUNTn, 0 without a transform
        uint8_t transformProjected;
    };

    uint8_t pretransformed;
    uint8_t hasDiffuse;
    uint8_t hasSpecular;
    uint8_t texCoordSets;
    uint8_t texCoordFloats[8];
    uint8_t stageCount;  // the stages before the first whose colour operation is DISABLE
    uint8_t alphaFunction;  // D3DCMP_ALWAYS when the alpha test is off
    FogKind fog;
    uint8_t specularSum;
    Stage stages[8];

    bool operator==(const FixedFunctionKey& other) const { return std::memcmp(this, &other, sizeof(*this)) == 0; }
};

struct FixedFunctionKeyHash {
    size_t operator()(const FixedFunctionKey& key) const;
};

// The key of a draw with vertices of `layout` under `state`. Unused stages
// and fields are zero, so that equal pipelines give equal bytes.
FixedFunctionKey KeyOf(const DeviceState& state, const FvfLayout& layout);

// Whether a stage reads its texture.
bool StageSamples(const FixedFunctionKey::Stage& stage);

}  // namespace platform::d3d9
