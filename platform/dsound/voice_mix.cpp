// The mix of one voice: resampling by linear interpolation, gains, and the
// saturation of the sums. The arithmetic is fixed in mixer.h; the loops
// below only split the work so that the frames whose neighbour lies inside
// the data run without any test of the buffer's end, and frames at the
// data's own rate skip the interpolation.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/dsound/mixer.h"

namespace platform::dsound {

SoundData::SoundData(const WAVEFORMATEX& waveFormat, uint32_t byteCount)
    : format(waveFormat), size(byteCount), frames(byteCount / waveFormat.nBlockAlign),
      bytes(new uint8_t[byteCount]), staged(new uint8_t[byteCount]) {
    std::memset(bytes.get(), waveFormat.wBitsPerSample == 8 ? 0x80 : 0, byteCount);
    std::memcpy(staged.get(), bytes.get(), byteCount);
}

namespace {

int32_t GainOfDecibels(LONG hundredths) {
    if (hundredths <= DSBVOLUME_MIN) return 0;
    if (hundredths >= 0) return UnitGain;
    return static_cast<int32_t>(std::lround(UnitGain * std::pow(10.0, hundredths / 2000.0)));
}

constexpr uint64_t kOneFrame = uint64_t{1} << 32;

template <int Bits>
struct SampleReader;

template <>
struct SampleReader<16> {
    using Unit = int16_t;
    static int32_t Read(const Unit* p) { return *p; }
};

template <>
struct SampleReader<8> {
    using Unit = uint8_t;
    static int32_t Read(const Unit* p) { return (static_cast<int32_t>(*p) - 128) * 256; }
};

inline int32_t Interpolate(int32_t a, int32_t b, uint64_t position) {
    const int32_t fraction = static_cast<int32_t>((position >> 17) & 0x7FFF);
    return a + (((b - a) * fraction) >> 15);
}

template <int Channels, int Bits>
class VoiceMixer {
    using Reader = SampleReader<Bits>;
    using Unit = typename Reader::Unit;

public:
    VoiceMixer(Voice& voice, uint32_t outputRate)
        : voice_(voice), samples_(reinterpret_cast<const Unit*>(voice.data->bytes.get())),
          frames_(voice.data->frames), step_(((uint64_t{voice.frequency} << 32) + outputRate - 1) / outputRate),
          left_(voice.gains.left), right_(voice.gains.right) {}

    void Mix(int32_t* mix, uint32_t count) {
        // Cursors below `inside` have their next frame inside the data.
        const uint64_t inside = uint64_t{frames_ - 1} << 32;
        const uint64_t end = uint64_t{frames_} << 32;
        uint64_t position = voice_.position;
        uint32_t done = 0;
        while (done < count) {
            if (position < inside) {
                const uint64_t reach = (inside - position - 1) / step_ + 1;
                const uint32_t run = static_cast<uint32_t>(std::min<uint64_t>(reach, count - done));
                if (step_ == kOneFrame && (position & 0xFFFFFFFFu) == 0)
                    Copy(mix + 2 * done, run, position);
                else
                    Resample(mix + 2 * done, run, position);
                position += run * step_;
                done += run;
            } else {
                // The last frame: its neighbour is the first frame or itself.
                const uint32_t index = static_cast<uint32_t>(position >> 32);
                const uint32_t next = voice_.looping ? 0 : index;
                Add(mix + 2 * done, At(index, 0), At(next, 0), At(index, Channels - 1), At(next, Channels - 1),
                    position);
                ++done;
                position += step_;
            }
            // A step longer than a frame may pass the end from anywhere.
            if (position >= end) {
                if (!voice_.looping) {
                    voice_.playing = false;
                    position = 0;
                    break;
                }
                position %= end;
            }
        }
        voice_.position = position;
    }

private:
    int32_t At(uint32_t frame, int channel) const { return Reader::Read(samples_ + frame * Channels + channel); }

    void Add(int32_t* out, int32_t a0, int32_t b0, int32_t a1, int32_t b1, uint64_t position) const {
        out[0] += (Interpolate(a0, b0, position) * left_) >> 16;
        out[1] += (Interpolate(a1, b1, position) * right_) >> 16;
    }

    // At the data's own rate with no fraction: each output frame is a frame.
    void Copy(int32_t* out, uint32_t run, uint64_t position) const {
        const Unit* p = samples_ + static_cast<uint32_t>(position >> 32) * Channels;
        for (uint32_t i = 0; i < run; ++i, p += Channels) {
            out[2 * i] += (Reader::Read(p) * left_) >> 16;
            out[2 * i + 1] += (Reader::Read(p + Channels - 1) * right_) >> 16;
        }
    }

    void Resample(int32_t* out, uint32_t run, uint64_t position) const {
        for (uint32_t i = 0; i < run; ++i, position += step_) {
            const Unit* p = samples_ + static_cast<uint32_t>(position >> 32) * Channels;
            const int32_t a0 = Reader::Read(p);
            const int32_t b0 = Reader::Read(p + Channels);
            out[2 * i] += (Interpolate(a0, b0, position) * left_) >> 16;
            if constexpr (Channels == 1) {
                out[2 * i + 1] += (Interpolate(a0, b0, position) * right_) >> 16;
            } else {
                out[2 * i + 1] += (Interpolate(Reader::Read(p + 1), Reader::Read(p + 3), position) * right_) >> 16;
            }
        }
    }

    Voice& voice_;
    const Unit* samples_;
    uint32_t frames_;
    uint64_t step_;
    int32_t left_;
    int32_t right_;
};

int16_t Saturate(int32_t sum) { return static_cast<int16_t>(std::clamp(sum, -32768, 32767)); }

}  // namespace

Gains GainsOf(LONG volume, LONG pan) {
    Gains gains;
    gains.left = GainOfDecibels(volume - std::max<LONG>(pan, 0));
    gains.right = GainOfDecibels(volume + std::min<LONG>(pan, 0));
    return gains;
}

void MixVoice(Voice& voice, int32_t* mix, uint32_t frames, uint32_t outputRate) {
    if (!voice.playing || voice.data->frames == 0) return;
    const WAVEFORMATEX& format = voice.data->format;
    const bool stereo = format.nChannels == 2;
    if (format.wBitsPerSample == 16) {
        if (stereo)
            VoiceMixer<2, 16>(voice, outputRate).Mix(mix, frames);
        else
            VoiceMixer<1, 16>(voice, outputRate).Mix(mix, frames);
    } else {
        if (stereo)
            VoiceMixer<2, 8>(voice, outputRate).Mix(mix, frames);
        else
            VoiceMixer<1, 8>(voice, outputRate).Mix(mix, frames);
    }
}

void StoreMix(const int32_t* mix, int16_t* out, uint32_t frames, int channels) {
    if (channels == 2) {
        for (uint32_t i = 0; i < 2 * frames; ++i) out[i] = Saturate(mix[i]);
    } else {
        for (uint32_t i = 0; i < frames; ++i) out[i] = Saturate((mix[2 * i] + mix[2 * i + 1]) >> 1);
    }
}

uint32_t ChunkFrames(uint32_t outputRate) { return std::max<uint32_t>(1, outputRate / 200); }

}  // namespace platform::dsound
