// Which wave formats the decoders take, how many samples a block of each
// holds, and the PCM they decode to.
#include "platform/acm/source_formats.h"

#include <cstring>

#include "platform/acm/layer3_frames.h"

namespace platform::acm {
namespace {

// The predictor pairs every MS ADPCM block names by index; the decoder knows
// only these, so a format that brings a table of its own is not taken.
constexpr int16_t kStandardAdpcmCoefficients[7][2] = {{256, 0},  {512, -256}, {0, 0},     {192, 64},
                                                      {240, 0},  {460, -208}, {392, -232}};

uint16_t Little16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

// The table behind an MS ADPCM format (samples per block, the count of
// pairs, the pairs), when it has one, must be the standard one.
bool HasStandardCoefficients(const WAVEFORMATEX* format) {
    if (format->cbSize < 4) return true;
    const uint8_t* extra = reinterpret_cast<const uint8_t*>(format) + sizeof(WAVEFORMATEX);
    const uint16_t count = Little16(extra + 2);
    if (count != 7 || format->cbSize < 4 + 7 * 4) return false;
    for (int pair = 0; pair < 7; ++pair) {
        for (int half = 0; half < 2; ++half) {
            const int16_t value = static_cast<int16_t>(Little16(extra + 4 + pair * 4 + half * 2));
            if (value != kStandardAdpcmCoefficients[pair][half]) return false;
        }
    }
    return true;
}

}  // namespace

bool DescribeSource(const WAVEFORMATEX* format, SourceFormat* out) {
    if (format == nullptr) return false;
    SourceFormat source{};
    source.channels = format->nChannels;
    source.rate = format->nSamplesPerSec;
    source.blockAlign = format->nBlockAlign;
    source.bitsPerSample = format->wBitsPerSample;
    if (source.channels < 1 || source.channels > 2 || source.rate == 0 || source.blockAlign == 0) return false;
    // The output's bytes per second must fit a signed 32-bit count.
    if (uint64_t(source.rate) * OutputFrameBytes(source) > 0x7FFFFFFF) return false;

    const uint32_t channels = source.channels;
    switch (format->wFormatTag) {
        case WAVE_FORMAT_ADPCM:
            // A block header of 7 bytes per channel (predictor, delta and two
            // samples), then two samples per byte and channel.
            if (source.bitsPerSample != 4 || source.blockAlign < 7 * channels) return false;
            if (!HasStandardCoefficients(format)) return false;
            source.codec = Codec::MsAdpcm;
            source.samplesPerBlock = (source.blockAlign - 7 * channels) * 2 / channels + 2;
            break;
        case WAVE_FORMAT_IMA_ADPCM:
            // A header of 4 bytes per channel holding the first sample, then
            // words of 4 bytes per channel, 8 samples each.
            if (source.bitsPerSample != 4 || source.blockAlign < 4 * channels) return false;
            source.codec = Codec::ImaAdpcm;
            source.samplesPerBlock = (source.blockAlign - 4 * channels) / (4 * channels) * 8 + 1;
            break;
        case WAVE_FORMAT_ALAW:
        case WAVE_FORMAT_MULAW:
            if (source.bitsPerSample != 8 || source.blockAlign != channels) return false;
            source.codec = format->wFormatTag == WAVE_FORMAT_ALAW ? Codec::ALaw : Codec::MuLaw;
            source.samplesPerBlock = 1;
            break;
        case WAVE_FORMAT_GSM610:
            // 320 samples in 65 bytes (two frames of 160).
            if (channels != 1 || source.blockAlign != 65) return false;
            source.codec = Codec::Gsm610;
            source.samplesPerBlock = 320;
            break;
        case WAVE_FORMAT_MPEGLAYER3: {
            Layer3Frame smallest;
            if (!SmallestLayer3Frame(source.rate, &smallest)) return false;
            source.codec = Codec::MpegLayer3;
            source.samplesPerBlock = 0;
            break;
        }
        default: return false;
    }
    *out = source;
    return true;
}

WAVEFORMATEX PcmOutput(const SourceFormat& source) {
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = source.channels;
    pcm.nSamplesPerSec = source.rate;
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(OutputFrameBytes(source));
    pcm.nAvgBytesPerSec = source.rate * OutputFrameBytes(source);
    pcm.cbSize = 0;
    return pcm;
}

}  // namespace platform::acm
