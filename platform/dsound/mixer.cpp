// The process's mixer: the list of every secondary buffer's voice, and the
// mix that an output pulls, a chunk at a time under the lock.
#include <algorithm>

#include "platform/dsound/mixer.h"

namespace platform::dsound {
namespace {

// The largest chunk: 5 ms at the highest rate a primary buffer takes.
constexpr uint32_t kMaxChunkFrames = 1024;

}  // namespace

void Mixer::Add(Voice* voice) { voices_.push_back(voice); }

void Mixer::Remove(Voice* voice) { voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end()); }

void Mixer::Render(int16_t* out, uint32_t frames, const OutputFormat& format) {
    const uint32_t chunk = std::min(ChunkFrames(format.frequency), kMaxChunkFrames);
    int32_t mix[2 * kMaxChunkFrames];
    while (frames > 0) {
        const uint32_t count = std::min(chunk, frames);
        std::fill(mix, mix + 2 * count, 0);
        {
            std::lock_guard<std::mutex> guard(lock_);
            for (Voice* voice : voices_) MixVoice(*voice, mix, count, format.frequency);
        }
        StoreMix(mix, out, count, format.channels);
        out += count * format.channels;
        frames -= count;
    }
}

Mixer& TheMixer() {
    static Mixer* mixer = new Mixer;  // outlives outputs still running at exit
    return *mixer;
}

}  // namespace platform::dsound
