// The host's audio device as an output: SDL2's device thread pulls the mix
// for each period it plays.
#include "platform/dsound/sound_output.h"
#include "platform/host/host_audio.h"

namespace platform::dsound {
namespace {

// About 12 ms of sound per period, in a power of two of frames.
int PeriodFrames(uint32_t frequency) {
    int frames = 1;
    while (static_cast<uint64_t>(frames) * 2 * 1000 <= uint64_t{frequency} * 12) frames *= 2;
    return frames;
}

class DeviceOutput final : public SoundOutput {
public:
    bool Open(const OutputFormat& format) override {
        const AudioFormat device{static_cast<int>(format.frequency), format.channels, PeriodFrames(format.frequency)};
        return HostAudio().Open(device, [format](int16_t* samples, int frames) {
            TheMixer().Render(samples, static_cast<uint32_t>(frames), format);
        });
    }

    void Close() override { HostAudio().Close(); }
};

}  // namespace

std::unique_ptr<SoundOutput> MakeDeviceOutput() { return std::make_unique<DeviceOutput>(); }

}  // namespace platform::dsound
