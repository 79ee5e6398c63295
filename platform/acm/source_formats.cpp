// Which wave formats the decoders take, how many samples a block of each
// holds, and the PCM they decode to.
#include "platform/acm/source_formats.h"

#include <cstring>
#include <iterator>

#include "platform/acm/layer3_frames.h"
#include "platform/acm/ms_adpcm.h"

namespace platform::acm {
namespace {

uint16_t Little16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

// The cbSize bytes behind a format.
const uint8_t* ExtraBytes(const WAVEFORMATEX* format) {
    return reinterpret_cast<const uint8_t*>(format) + sizeof(WAVEFORMATEX);
}

// The samples per block a format declares in the word behind it, when it
// has that word: at least `least` and no more than the block holds (the
// bytes after the declared samples are padding). Without the word, what
// the block holds.
bool DeclaredSamplesPerBlock(const WAVEFORMATEX* format, uint32_t capacity, uint32_t least, uint32_t* samples) {
    *samples = capacity;
    if (format->cbSize < 2) return true;
    const uint32_t declared = Little16(ExtraBytes(format));
    if (declared < least || declared > capacity) return false;
    *samples = declared;
    return true;
}

// The predictor table behind an MS ADPCM format (after the samples per
// block: the count of pairs, then the pairs), which must hold at least one
// pair and lie wholly within the cbSize bytes; a format without one uses the
// standard seven pairs.
bool ReadAdpcmCoefficients(const WAVEFORMATEX* format, std::vector<std::array<int16_t, 2>>* pairs) {
    if (format->cbSize < 4) {
        pairs->assign(std::begin(kStandardAdpcmCoefficients), std::end(kStandardAdpcmCoefficients));
        return true;
    }
    const uint8_t* extra = ExtraBytes(format);
    const uint32_t count = Little16(extra + 2);
    if (count == 0 || 4 + 4 * count > format->cbSize) return false;
    pairs->resize(count);
    for (uint32_t pair = 0; pair < count; ++pair) {
        (*pairs)[pair][0] = static_cast<int16_t>(Little16(extra + 4 + pair * 4));
        (*pairs)[pair][1] = static_cast<int16_t>(Little16(extra + 4 + pair * 4 + 2));
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
        case WAVE_FORMAT_ADPCM: {
            // A block header of 7 bytes per channel (predictor, delta and two
            // samples), then two samples per byte and channel.
            const uint32_t capacity = MsAdpcmBlockCapacity(source.blockAlign, source.channels);
            if (source.bitsPerSample != 4 || capacity == 0) return false;
            if (!DeclaredSamplesPerBlock(format, capacity, 2, &source.samplesPerBlock)) return false;
            if (!ReadAdpcmCoefficients(format, &source.adpcmCoefficients)) return false;
            source.codec = Codec::MsAdpcm;
            break;
        }
        case WAVE_FORMAT_IMA_ADPCM: {
            // A header of 4 bytes per channel holding the first sample, then
            // words of 4 bytes per channel, 8 samples each.
            if (source.bitsPerSample != 4 || source.blockAlign < 4 * channels) return false;
            const uint32_t capacity = (source.blockAlign - 4 * channels) / (4 * channels) * 8 + 1;
            if (!DeclaredSamplesPerBlock(format, capacity, 1, &source.samplesPerBlock)) return false;
            source.codec = Codec::ImaAdpcm;
            break;
        }
        case WAVE_FORMAT_ALAW:
        case WAVE_FORMAT_MULAW:
            if (source.bitsPerSample != 8 || source.blockAlign != channels) return false;
            source.codec = format->wFormatTag == WAVE_FORMAT_ALAW ? Codec::ALaw : Codec::MuLaw;
            source.samplesPerBlock = 1;
            break;
        case WAVE_FORMAT_GSM610:
            // 320 samples in 65 bytes (two frames of 160).
            if (channels != 1 || source.blockAlign != 65) return false;
            if (format->cbSize >= 2 && Little16(ExtraBytes(format)) != 320) return false;
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
