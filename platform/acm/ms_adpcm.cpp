// MS ADPCM: each block starts with a header per channel (the index of its
// predictor pair, the step size and the two latest samples, the older one
// first in time), then 4-bit differences, high nibble first, alternating
// channels in stereo. Each sample is predicted from the two before it by the
// block's pair (in 1/256), the difference times the step is added, and the
// step adapts to the size of the difference.
#include "platform/acm/ms_adpcm.h"

#include <algorithm>

namespace platform::acm {

const std::array<int16_t, 2> kStandardAdpcmCoefficients[7] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                                              {240, 0}, {460, -208}, {392, -232}};

namespace {

// How the step grows or shrinks after each difference, in 1/256.
constexpr int32_t kStepAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                         768, 614, 512, 409, 307, 230, 230, 230};
constexpr int32_t kSmallestStep = 16;
// Steps never grow past this, so that no product below overflows whatever
// a damaged block holds (real steps stay far below it).
constexpr int32_t kLargestStep = 0x7FFFFFFF / 768;

constexpr uint32_t kHeaderBytesPerChannel = 7;

int16_t Signed16(const uint8_t* bytes) { return static_cast<int16_t>(bytes[0] | bytes[1] << 8); }

struct Channel {
    int32_t coefficient1;
    int32_t coefficient2;
    int32_t step;
    int32_t sample1;  // the latest sample
    int32_t sample2;  // the one before it
};

int16_t Expand(Channel& channel, uint8_t nibble) {
    const int32_t difference = nibble >= 8 ? nibble - 16 : nibble;
    // C division: the prediction is cut towards zero.
    int64_t predicted =
        (int64_t(channel.sample1) * channel.coefficient1 + int64_t(channel.sample2) * channel.coefficient2) / 256;
    predicted += int64_t(difference) * channel.step;
    const int32_t sample = static_cast<int32_t>(std::clamp<int64_t>(predicted, -32768, 32767));
    channel.sample2 = channel.sample1;
    channel.sample1 = sample;
    channel.step = static_cast<int32_t>(std::clamp<int64_t>(int64_t(kStepAdaptation[nibble]) * channel.step / 256,
                                                            kSmallestStep, kLargestStep));
    return static_cast<int16_t>(sample);
}

}  // namespace

uint32_t MsAdpcmBlockCapacity(uint16_t blockAlign, uint16_t channels) {
    if (channels == 0 || blockAlign < kHeaderBytesPerChannel * channels) return 0;
    return (blockAlign - kHeaderBytesPerChannel * channels) * 2u / channels + 2;
}

bool DecodeMsAdpcmBlock(const MsAdpcmLayout& layout, const uint8_t* block, std::vector<int16_t>* samples) {
    const uint32_t channels = layout.channels;
    Channel state[2];
    for (uint32_t c = 0; c < channels; ++c) {
        const uint8_t pair = block[c];
        if (pair >= layout.coefficients.size()) return false;
        state[c].coefficient1 = layout.coefficients[pair][0];
        state[c].coefficient2 = layout.coefficients[pair][1];
        state[c].step = Signed16(block + channels + 2 * c);
        state[c].sample1 = Signed16(block + 3 * channels + 2 * c);
        state[c].sample2 = Signed16(block + 5 * channels + 2 * c);
    }
    const uint32_t frames = std::min(layout.samplesPerBlock, MsAdpcmBlockCapacity(layout.blockAlign, layout.channels));
    if (frames < 2) return false;
    const size_t start = samples->size();
    samples->resize(start + size_t(frames) * channels);
    int16_t* out = samples->data() + start;
    for (uint32_t c = 0; c < channels; ++c) *out++ = static_cast<int16_t>(state[c].sample2);
    for (uint32_t c = 0; c < channels; ++c) *out++ = static_cast<int16_t>(state[c].sample1);

    // The differences, one nibble per sample, in the order the samples are
    // interleaved.
    const uint8_t* nibbles = block + kHeaderBytesPerChannel * channels;
    const uint32_t count = (frames - 2) * channels;
    for (uint32_t n = 0; n < count; ++n) {
        const uint8_t byte = nibbles[n / 2];
        const uint8_t nibble = n % 2 == 0 ? byte >> 4 : byte & 0x0F;
        *out++ = Expand(state[n % channels], nibble);
    }
    return true;
}

}  // namespace platform::acm
