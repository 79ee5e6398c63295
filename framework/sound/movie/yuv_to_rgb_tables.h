// The lookup tables of movie playback's YUV-to-RGB conversion.
#pragma once

#include <cstdint>

// Fixed-point terms with 14 fraction bits, one entry per 8-bit sample value:
// the luma term 1.164 (Y - 16) and the chroma terms of the three primaries.
struct YuvToRgbTables {
    int32_t y[256];
    int32_t vToR[256];
    int32_t uToG[256];
    int32_t vToG[256];
    int32_t uToB[256];
};

// Fills the tables. Returns 0.
int InitYuvToRgbTables();
// The clamp table: entry v (-512 to 767) is v limited to 0 to 255.
uint8_t ClampYuvComponent(int value);
const YuvToRgbTables& GetYuvToRgbTables();
