// The clamp table of the YUV-to-RGB conversion. It spans -512 to 767 so that
// a sum of a luma value and chroma terms can index it without tests.
#include "framework/sound/movie/yuv_to_rgb_tables.h"

namespace {

constexpr int kClampLow = -512;
constexpr int kClampHigh = 767;
uint8_t ClampTable[kClampHigh - kClampLow + 1];

}  // namespace

int InitYuvToRgbTables() {
    for (int value = kClampLow; value <= kClampHigh; ++value)
        ClampTable[value - kClampLow] = static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    return 0;
}

uint8_t ClampYuvComponent(int value) {
    if (value < kClampLow) value = kClampLow;
    if (value > kClampHigh) value = kClampHigh;
    return ClampTable[value - kClampLow];
}
