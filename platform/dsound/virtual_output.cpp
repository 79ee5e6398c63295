// The virtual output: no thread; each advance mixes the frames a device
// would have consumed and keeps them for the test to read.
#include "platform/dsound/virtual_output.h"

#include <mutex>

#include "platform/dsound/sound_output.h"
#include "platform/profile/machine_profile.h"

namespace platform::dsound {
namespace {

struct VirtualState {
    std::mutex lock;
    bool open = false;
    OutputFormat format;
    VirtualMix record;
};

VirtualState& TheVirtualOutput() {
    static VirtualState* state = new VirtualState;  // outlives objects released at exit
    return *state;
}

void ForgetMix() {
    VirtualState& state = TheVirtualOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    state.record = VirtualMix{};
}

const ResetHook kVirtualMixReset(ForgetMix);

class VirtualOutput final : public SoundOutput {
public:
    bool Open(const OutputFormat& format) override {
        VirtualState& state = TheVirtualOutput();
        std::lock_guard<std::mutex> guard(state.lock);
        state.open = true;
        state.format = format;
        // Samples of another format would not read as this one's.
        if (state.record.frequency != format.frequency || state.record.channels != format.channels)
            state.record = VirtualMix{format.frequency, format.channels, {}};
        return true;
    }

    void Close() override {
        VirtualState& state = TheVirtualOutput();
        std::lock_guard<std::mutex> guard(state.lock);
        state.open = false;
    }
};

}  // namespace

std::unique_ptr<SoundOutput> MakeVirtualOutput() { return std::make_unique<VirtualOutput>(); }

bool AdvanceVirtualOutput(uint32_t frames) {
    VirtualState& state = TheVirtualOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.open) return false;
    std::vector<int16_t>& samples = state.record.samples;
    const size_t start = samples.size();
    samples.resize(start + size_t{frames} * state.format.channels);
    TheMixer().Render(samples.data() + start, frames, state.format);
    return true;
}

VirtualMix TakeVirtualOutput() {
    VirtualState& state = TheVirtualOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    VirtualMix taken = std::move(state.record);
    state.record = VirtualMix{taken.frequency, taken.channels, {}};
    return taken;
}

}  // namespace platform::dsound
