// Layer III frame headers: sync, version, layer, bitrate, rate and padding,
// and the frame length they give.
#include "platform/acm/layer3_frames.h"

namespace platform::acm {
namespace {

// kbit/s by bitrate index; 0 is free format.
constexpr uint32_t kMpeg1Bitrates[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr uint32_t kMpeg2Bitrates[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr uint32_t kMpeg1Rates[3] = {44100, 48000, 32000};
constexpr uint32_t kMpeg2Rates[3] = {22050, 24000, 16000};

}  // namespace

bool ReadLayer3Frame(const uint8_t* bytes, Layer3Frame* frame) {
    if (bytes[0] != 0xFF || (bytes[1] & 0xF0) != 0xF0) return false;
    if (((bytes[1] >> 1) & 3) != 1) return false;  // Layer III
    const bool mpeg1 = (bytes[1] & 0x08) != 0;
    const uint32_t bitrateIndex = bytes[2] >> 4;
    const uint32_t rateIndex = (bytes[2] >> 2) & 3;
    if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    const uint32_t padding = (bytes[2] >> 1) & 1;
    const uint32_t bitrate = (mpeg1 ? kMpeg1Bitrates : kMpeg2Bitrates)[bitrateIndex];
    frame->rate = (mpeg1 ? kMpeg1Rates : kMpeg2Rates)[rateIndex];
    frame->samples = mpeg1 ? 1152 : 576;
    frame->bytes = (mpeg1 ? 144000 : 72000) * bitrate / frame->rate + padding;
    return true;
}

bool SmallestLayer3Frame(uint32_t rate, Layer3Frame* frame) {
    for (int index = 0; index < 3; ++index) {
        if (rate == kMpeg1Rates[index]) {
            *frame = Layer3Frame{144000 * kMpeg1Bitrates[1] / rate, 1152, rate};
            return true;
        }
        if (rate == kMpeg2Rates[index]) {
            *frame = Layer3Frame{72000 * kMpeg2Bitrates[1] / rate, 576, rate};
            return true;
        }
    }
    return false;
}

}  // namespace platform::acm
