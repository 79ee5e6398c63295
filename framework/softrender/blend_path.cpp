// Gathers what a blend path reads while it runs, once per draw.
#include "framework/softrender/blend_path.h"

#include <algorithm>

#include "framework/softrender/blend_tables.h"

void SetUpBlendKernelParams(BlendKernelParams* params, int blendParam, uint32_t brightColor,
                            uint32_t transparentColor, const void* palette) {
    const uint8_t p = static_cast<uint8_t>(std::clamp(blendParam, 0, 255));
    params->param = p;
    params->brightColor = brightColor & 0x00FFFFFFu;
    params->mulParam = BlendMulRow(p);
    params->mulBright[0] = BlendMulRow(static_cast<uint8_t>(brightColor));
    params->mulBright[1] = BlendMulRow(static_cast<uint8_t>(brightColor >> 8));
    params->mulBright[2] = BlendMulRow(static_cast<uint8_t>(brightColor >> 16));
    params->signedMulParam = BlendSignedMulRow(p);
    params->mixBlock = BlendMixBlock(p);
    params->graphicWeights = BlendGraphicWeights();
    params->transparentColor = transparentColor;
    params->palette = palette;
}
