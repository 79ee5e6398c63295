// The blend states of a hardware draw: the render and texture-stage states
// that the cached draw inputs come to, and the vertex format of the vertices
// that follow.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"

constexpr int kBlendStageCount = 8;
// A state value that is left as the device has it.
constexpr int kBlendStateKept = -1;

// One texture stage of a complete blend state; -1 leaves a value unsent.
struct DrawBlendStage {
    // A device texture, or a graphic handle when the caller says so; wide
    // enough for a texture pointer.
    uintptr_t texture;
    int32_t texCoordIndex;
    int16_t alphaArg1;
    int16_t alphaArg2;
    int16_t alphaOp;
    int16_t colorArg1;
    int16_t colorArg2;
    int16_t colorOp;
};

// A complete blend state, as a caller hands it in or derived from the draw
// inputs. The source and destination factors and the blend operation take
// -1 to leave the device's value.
struct DrawBlendStateBlock {
    int32_t alphaTestEnable;
    int32_t alphaRef;
    int32_t alphaFunc;
    int32_t alphaBlendEnable;
    DWORD textureFactor;
    int32_t srcBlend;
    int32_t destBlend;
    int32_t blendOp;
    int32_t stageCount;  // the closing stage not counted
    DrawBlendStage stages[kBlendStageCount];
};

// The vertex formats of the batch a draw writes: no texture, one texture,
// the graphic and the blend graphic.
enum BlendVertexFormat : int {
    kVertexFormatPlain = 0,
    kVertexFormatTexture = 1,
    kVertexFormatBlendTexture = 2,
};

// With a block, sends its states as they stand (with `texturesAreHandles`
// its stage textures are graphic handles, each standing for its graphic's
// first texture). Without one, sends the user block in force, or else the
// states the cached draw inputs ask for when they are marked dirty or the
// force-set flag is on, and chooses the batch's vertex format. With
// `texturesOnly` only the stage textures and coordinate sets are sent.
// 0 when states were applied; -1 without a device or when nothing was dirty.
int ApplyDrawBlendStates(const DrawBlendStateBlock* block, int texturesAreHandles, int texturesOnly);
