// Which output is open, in which format, and for whom: the output opens when
// the first sound object is initialised and closes when the last one goes.
// The machine's reset closes it and puts the primary format back.
#include <mutex>

#include "platform/dsound/sound_output.h"
#include "platform/profile/machine_profile.h"

namespace platform::dsound {
namespace {

struct OutputState {
    std::mutex lock;
    uint64_t generation = 1;
    int holders = 0;
    OutputFormat format;
    std::unique_ptr<SoundOutput> open;
};

OutputState& TheOutput() {
    static OutputState* state = new OutputState;  // outlives objects released at exit
    return *state;
}

// The profile's output; the host's device falls back to the null output
// when it cannot be opened, as a machine without a sound card keeps time.
void OpenOutput(OutputState& state) {
    switch (Profile().sound.output) {
        case SoundOutputUse::Device:
            state.open = MakeDeviceOutput();
            if (state.open->Open(state.format)) return;
            break;
        case SoundOutputUse::Virtual:
            state.open = MakeVirtualOutput();
            if (state.open->Open(state.format)) return;
            break;
        case SoundOutputUse::Null:
            break;
    }
    state.open = MakeNullOutput();
    state.open->Open(state.format);
}

void CloseOutput(OutputState& state) {
    if (state.open == nullptr) return;
    state.open->Close();
    state.open.reset();
}

void ResetOutput() {
    OutputState& state = TheOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    CloseOutput(state);
    ++state.generation;
    state.holders = 0;
    state.format = OutputFormat{};
}

const ResetHook kOutputReset(ResetOutput);

}  // namespace

OutputTicket HoldOutput() {
    OutputState& state = TheOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.holders++ == 0) OpenOutput(state);
    return OutputTicket{state.generation};
}

void ReleaseOutput(const OutputTicket& ticket) {
    OutputState& state = TheOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    if (ticket.generation != state.generation) return;
    if (--state.holders == 0) CloseOutput(state);
}

OutputFormat CurrentOutputFormat() {
    OutputState& state = TheOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.format;
}

void SetOutputFormat(const OutputFormat& format) {
    OutputState& state = TheOutput();
    std::lock_guard<std::mutex> guard(state.lock);
    const bool reopen = format.frequency != state.format.frequency || format.channels != state.format.channels;
    state.format = format;
    if (reopen && state.open != nullptr) {
        CloseOutput(state);
        OpenOutput(state);
    }
}

}  // namespace platform::dsound
