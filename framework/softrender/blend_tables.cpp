// The blend and brightness tables, kept as static arrays: they are filled once
// (or, for the weight table, whenever the blend graphic changes) and read by
// every software draw through the row accessors, or through the rows that
// SetUpBlendKernelParams gathers for a draw; and the draw's own palette copy.
#include "framework/softrender/blend_tables.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "framework/softrender/blend_path.h"

namespace {

// Difference d of row r lives at entry d + 256; entry 0 of a row is never
// written and stays 0.
constexpr int kSignedZeroEntry = 256;

int32_t BlendMulTable[256][256];
int32_t BlendSignedMulTable[256][512];
uint8_t BlendMixTable[64][64][64];
uint8_t BlendGraphicParamTable[256];

}  // namespace

int BuildBlendTables() {
    for (int r = 0; r < 256; ++r)
        for (int d = -255; d <= 255; ++d)
            BlendSignedMulTable[r][d + kSignedZeroEntry] = r * d / 255;  // truncates toward zero

    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j) BlendMulTable[i][j] = i * j / 255;

    for (int o = 0; o < 64; ++o)
        for (int s = 0; s < 64; ++s)
            for (int d = 0; d < 64; ++d)
                BlendMixTable[o][s][d] = static_cast<uint8_t>((o * s + (63 - o) * d) / 63);
    return 0;
}

void BuildParamTable(int borderParam, int borderRange) {
    // A range of -1 would divide by zero below; the callers limit both values
    // already, so limiting them again changes nothing for them.
    const int border = std::clamp(borderParam, 0, 255);
    const int range = std::clamp(borderRange, 0, 255);
    const int step = 65536 / (range + 1);
    const int offset = 256 - ((step + 256) * border) / 256;
    for (int k = 0; k < 256; ++k) {
        int weight = (k * 256) / (range + 1) + offset;
        weight = std::min(weight, 255);
        if (offset <= 0) weight = std::max(weight, 0);
        BlendGraphicParamTable[k] = static_cast<uint8_t>(weight);
    }
}

const int32_t* BlendMulRow(uint8_t factor) { return BlendMulTable[factor]; }

const int32_t* BlendSignedMulRow(uint8_t p) { return &BlendSignedMulTable[p][kSignedZeroEntry]; }

const uint8_t* BlendMixBlock(uint8_t p) { return &BlendMixTable[p >> 2][0][0]; }

const uint8_t* BlendGraphicWeights() { return BlendGraphicParamTable; }

// Here beside the tables, so that a draw's set-up finds its rows in one call.
void SetUpBlendKernelParams(BlendKernelParams* params, int blendParam, uint32_t brightColor,
                            uint32_t transparentColor, const void* palette) {
    const uint8_t p = static_cast<uint8_t>(std::clamp(blendParam, 0, 255));
    params->param = p;
    params->brightColor = brightColor & 0x00FFFFFFu;
    params->mulParam = BlendMulTable[p];
    params->mulBright[0] = BlendMulTable[static_cast<uint8_t>(brightColor)];
    params->mulBright[1] = BlendMulTable[static_cast<uint8_t>(brightColor >> 8)];
    params->mulBright[2] = BlendMulTable[static_cast<uint8_t>(brightColor >> 16)];
    params->signedMulParam = &BlendSignedMulTable[p][kSignedZeroEntry];
    params->mixBlock = &BlendMixTable[p >> 2][0][0];
    params->graphicWeights = BlendGraphicParamTable;
    params->transparentColor = transparentColor;
    params->palette = palette;
}

const void* CopyDrawPalette(const MemImgBase& base, DrawPalette* copy) {
    const size_t entryBytes = base.colorType == kMemImgColor565 ? 2 : 4;
    const size_t used = static_cast<size_t>(std::clamp(base.paletteColorCount, 0, 256));
    const uint8_t* palette = static_cast<const uint8_t*>(base.paletteTable);
    std::memcpy(copy->bytes, palette, used * entryBytes);
    std::memcpy(copy->bytes + used * entryBytes, palette + used * entryBytes, (256 - used) * entryBytes);
    return copy->bytes;
}
