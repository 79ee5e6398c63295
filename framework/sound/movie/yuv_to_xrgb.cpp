// YUV to XRGB. The common 4:2:0 layout uses only table lookups, adds and
// divisions, two rows of two pixels per chroma sample; the rarer layouts are
// converted per pixel in floating point.
#include "framework/sound/movie/yuv_to_xrgb.h"

#include "framework/sound/movie/yuv_to_rgb_tables.h"

namespace {

void PutPixel(uint8_t* pixel, int luma, int uToB, int uvToG, int vToR) {
    pixel[0] = ClampYuvComponent((luma + uToB) / 16384);
    pixel[1] = ClampYuvComponent((luma + uvToG) / 16384);
    pixel[2] = ClampYuvComponent((luma + vToR) / 16384);
    pixel[3] = 255;
}

void Convert420(const YuvPlanes& p, uint8_t* dest, int destPitch) {
    const YuvToRgbTables& t = GetYuvToRgbTables();
    for (int row = 0; row < p.yHeight; row += 2) {
        const uint8_t* y0 = p.y + static_cast<long>(row) * p.yStride;
        const uint8_t* y1 = row + 1 < p.yHeight ? y0 + p.yStride : nullptr;
        const long chromaRow = static_cast<long>(row / 2) * p.chromaStride;
        const uint8_t* u = p.u + chromaRow;
        const uint8_t* v = p.v + chromaRow;
        uint8_t* d0 = dest + static_cast<long>(row) * destPitch;
        uint8_t* d1 = d0 + destPitch;
        for (int col = 0; col < p.yWidth; col += 2) {
            const int uToB = t.uToB[u[col / 2]];
            const int uvToG = t.uToG[u[col / 2]] + t.vToG[v[col / 2]];
            const int vToR = t.vToR[v[col / 2]];
            const bool second = col + 1 < p.yWidth;
            PutPixel(d0 + col * 4, t.y[y0[col]], uToB, uvToG, vToR);
            if (second) PutPixel(d0 + col * 4 + 4, t.y[y0[col + 1]], uToB, uvToG, vToR);
            if (y1) {
                PutPixel(d1 + col * 4, t.y[y1[col]], uToB, uvToG, vToR);
                if (second) PutPixel(d1 + col * 4 + 4, t.y[y1[col + 1]], uToB, uvToG, vToR);
            }
        }
    }
}

uint8_t ClampToByte(double value) {
    if (value < 0.0) return 0;
    if (value > 255.0) return 255;
    return static_cast<uint8_t>(value);
}

// The chroma sample of a pixel lies at the same fraction of the chroma
// plane as the pixel does of the luma plane, whatever the subsampling.
void ConvertAnyLayout(const YuvPlanes& p, uint8_t* dest, int destPitch) {
    for (int row = 0; row < p.yHeight; ++row) {
        const uint8_t* y = p.y + static_cast<long>(row) * p.yStride;
        const long chromaRow = static_cast<long>(row) * p.chromaHeight / p.yHeight * p.chromaStride;
        const uint8_t* u = p.u + chromaRow;
        const uint8_t* v = p.v + chromaRow;
        uint8_t* d = dest + static_cast<long>(row) * destPitch;
        for (int col = 0; col < p.yWidth; ++col) {
            const int chromaCol = static_cast<int>(static_cast<long>(col) * p.chromaWidth / p.yWidth);
            const double luma = 1.164 * (y[col] - 16);
            const double cb = u[chromaCol] - 128;
            const double cr = v[chromaCol] - 128;
            d[col * 4 + 0] = ClampToByte(luma + 2.018 * cb);
            d[col * 4 + 1] = ClampToByte(luma - 0.391 * cb - 0.813 * cr);
            d[col * 4 + 2] = ClampToByte(luma + 1.596 * cr);
            d[col * 4 + 3] = 255;
        }
    }
}

}  // namespace

void ConvertYuvToXrgb(const YuvPlanes& planes, uint8_t* dest, int destPitch) {
    if (planes.yWidth <= 0 || planes.yHeight <= 0) return;
    const bool is420 = planes.chromaWidth == (planes.yWidth + 1) / 2 && planes.chromaHeight == (planes.yHeight + 1) / 2;
    if (is420)
        Convert420(planes, dest, destPitch);
    else
        ConvertAnyLayout(planes, dest, destPitch);
}
