// Private to platform/dsound: the voices of the secondary buffers and the
// mix of those that play.
//
// Arithmetic of the mix, the same in every path:
// - A cursor is a frame position in 32.32 fixed point; each output frame
//   moves it by (buffer frequency << 32) / output rate, rounded up, so that
//   a whole number of frames that the two rates make exact is reached
//   exactly (441 output frames at 44100 Hz move data at 48000 Hz by 480).
// - A sample is 16-bit signed; 8-bit data is (byte - 128) << 8.
// - Between frames i and i + 1 the sample is a + (((b - a) * f) >> 15), where
//   f is the top 15 bits of the cursor's fraction. Past the last frame, b is
//   frame 0 for a looping voice and frame i itself for a voice played once.
// - Each channel is scaled by its gain (1.0 = 65536) as (s * gain) >> 16
//   and added into 32-bit sums; a mono voice feeds both channels.
// - The sums are saturated to 16 bits; a mono output takes the mean of the
//   two channels' sums, (left + right) >> 1, before saturating.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dsound/dsound.h"

namespace platform::dsound {

// The bytes of a buffer, shared with its duplicates. They never move while
// a buffer exists, so locked pointers stay good.
//
// A buffer has two copies of its bytes. Lock hands out pieces of `staged`,
// which writers fill on their own threads; Unlock copies the pieces it is
// given into `bytes` under the mixer's lock, which is what the mixer reads
// under. So what is written is heard from its Unlock on, whole, and never
// while it is being written, however close to the cursor it lies.
struct SoundData {
    // `bytes` is a whole number of blocks. Silence fills the memory (0x80 for
    // 8-bit data, 0 for 16-bit). Throws std::bad_alloc when it cannot be had.
    SoundData(const WAVEFORMATEX& format, uint32_t bytes);

    WAVEFORMATEX format;
    uint32_t size;    // bytes
    uint32_t frames;  // size / block align
    std::unique_ptr<uint8_t[]> bytes;   // played; changed only under the mixer's lock
    std::unique_ptr<uint8_t[]> staged;  // written between Lock and Unlock
};

constexpr int32_t UnitGain = 65536;

struct Gains {
    int32_t left = UnitGain;
    int32_t right = UnitGain;
};

// The gains of a volume and a pan in hundredths of a decibel: each side is
// attenuated by the volume and, on the side away from the pan, by the pan;
// DSBVOLUME_MIN and below is silence.
Gains GainsOf(LONG volume, LONG pan);

// The playing state of one secondary buffer. Everything but `data` is
// guarded by the mixer's lock.
struct Voice {
    std::shared_ptr<SoundData> data;
    uint64_t position = 0;   // frames, 32.32
    uint32_t frequency = 0;  // Hz
    LONG volume = 0;
    LONG pan = 0;
    Gains gains;
    bool playing = false;
    bool looping = false;
};

// Adds `frames` output frames of a playing voice at `outputRate` into `mix`
// (left and right sums, interleaved) and moves its cursor. A voice played
// once that reaches its end stops, with its cursor at 0, and adds nothing
// further.
void MixVoice(Voice& voice, int32_t* mix, uint32_t frames, uint32_t outputRate);

// Saturates `frames` frames of sums into `out` with 1 or 2 channels.
void StoreMix(const int32_t* mix, int16_t* out, uint32_t frames, int channels);

// The primary buffer's format: the output's rate and channels. The output
// is always 16-bit; `bits` is only what the primary buffer reports.
struct OutputFormat {
    uint32_t frequency = 22050;
    int channels = 2;
    int bits = 8;
};

// Frames mixed under one hold of the lock: 5 ms of output, so that cursors
// move in small steps and callers never wait long.
uint32_t ChunkFrames(uint32_t outputRate);

// Every secondary buffer of the process, whichever sound object made it.
class Mixer {
public:
    std::mutex& Lock() { return lock_; }
    // Under Lock(): a buffer joins when it is made and leaves when it goes.
    void Add(Voice* voice);
    void Remove(Voice* voice);

    // Mixes `frames` frames in `format` into `out`, as an output consumes
    // them, a chunk at a time.
    void Render(int16_t* out, uint32_t frames, const OutputFormat& format);

private:
    std::mutex lock_;
    std::vector<Voice*> voices_;
};

Mixer& TheMixer();

}  // namespace platform::dsound
