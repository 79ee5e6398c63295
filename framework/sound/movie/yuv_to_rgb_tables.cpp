// The tables of the integer YUV-to-RGB conversion. The clamp table spans -512
// to 767 so that a sum of a luma term and chroma terms, scaled back to whole
// numbers, can index it without tests.
#include "framework/sound/movie/yuv_to_rgb_tables.h"

namespace {

constexpr int kClampLow = -512;
constexpr int kClampHigh = 767;
uint8_t ClampTable[kClampHigh - kClampLow + 1];
YuvToRgbTables Tables;

}  // namespace

int InitYuvToRgbTables() {
    for (int value = kClampLow; value <= kClampHigh; ++value)
        ClampTable[value - kClampLow] = static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    for (int i = 0; i < 256; ++i) {
        Tables.y[i] = -305120 + 19070 * i;
        Tables.vToR[i] = -3346944 + 26148 * i;
        Tables.uToG[i] = 819968 - 6406 * i;
        Tables.vToG[i] = 1705984 - 13320 * i;
        Tables.uToB[i] = -4231936 + 33062 * i;
    }
    return 0;
}

uint8_t ClampYuvComponent(int value) {
    if (value < kClampLow) value = kClampLow;
    if (value > kClampHigh) value = kClampHigh;
    return ClampTable[value - kClampLow];
}

const YuvToRgbTables& GetYuvToRgbTables() { return Tables; }
