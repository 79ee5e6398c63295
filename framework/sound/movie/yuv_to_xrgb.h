// Conversion of a decoded YUV picture into 32-bit XRGB pixels.
#pragma once

#include <cstdint>

// One decoded picture: three planes with their sizes and signed strides.
struct YuvPlanes {
    const uint8_t* y;
    const uint8_t* u;
    const uint8_t* v;
    int yWidth, yHeight, yStride;
    int chromaWidth, chromaHeight, chromaStride;
};

// Writes yWidth x yHeight pixels as bytes B, G, R, 255 into `dest`, rows
// `destPitch` bytes apart. Pictures whose chroma planes are half the luma
// size both ways go through the integer tables (InitYuvToRgbTables must have
// run); other layouts go through floating point per pixel.
void ConvertYuvToXrgb(const YuvPlanes& planes, uint8_t* dest, int destPitch);
