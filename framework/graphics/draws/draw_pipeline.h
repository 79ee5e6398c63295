// The hardware draw pipeline: before each draw, the device state is brought
// in line with the draw settings (shaders, lighting, Z, fog, shading,
// samplers and the blend states), each state through the cache.
#pragma once

#include "platform/d3d9/d3d9.h"

struct GraphicImage;

// What a draw asks of the set-up.
enum DrawPipelineFlags : int {
    kPipelineTransparent = 0x0001,     // the caller's transparency flag
    kPipelineKeepOwnAlpha = 0x0002,    // the graphic's own alpha flags also in filter mode 1
    kPipelineGouraud = 0x0008,         // else flat shading
    kPipelineForceBright = 0x0020,
    kPipelineForceBlendParam = 0x0040,
    kPipelineFog = 0x0080,             // fog as the settings say; else off
    kPipelineKeepBlendStates = 0x0100, // leave the blend states and texture alone
    kPipelineLighting = 0x0200,        // unless the settings hold lighting off
    kPipelineSpecular = 0x0400,        // unless the settings hold specular off
    kPipeline3DDepth = 0x0800,         // the 3D Z settings; else the 2D ones
    kPipelineAddressModes = 0x1000,    // the settings' address modes; else clamp on samplers 0 to 3
    kPipelineKeepShaders = 0x2000,     // keep the user's shaders; else none
};

// The last set-up's arguments; a new scene clears them.
struct DrawPipelineSetup {
    const GraphicImage* drawInfo;
    IDirect3DTexture9* texture;
    int flags;
};
extern DrawPipelineSetup LastDrawPipelineSetup;

// A new scene starts with no set-up recorded.
void ClearLastDrawPipelineSetup();

// Prepares the device for one draw of `texture` (the first device texture of
// the graphic whose image block is `drawInfo`), or of no texture. 0, or -1
// without a device.
int SetupDrawPipeline(const GraphicImage* drawInfo, IDirect3DTexture9* texture, int flags);
