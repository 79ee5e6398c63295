// The null output: no device, but the mix is consumed at the wall clock's
// rate, so cursors move and sounds end as they would on a sound card.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <thread>
#include <vector>

#include "platform/dsound/sound_output.h"
#include "platform/kernel/clock_source.h"

namespace platform::dsound {
namespace {

// How often the output wakes to consume what is due.
constexpr std::chrono::milliseconds kWakeInterval{5};

class NullOutput final : public SoundOutput {
public:
    ~NullOutput() override { Close(); }

    bool Open(const OutputFormat& format) override {
        format_ = format;
        stopping_ = false;
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    void Close() override {
        if (!thread_.joinable()) return;
        {
            std::lock_guard<std::mutex> guard(lock_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

private:
    void Run() {
        const uint64_t start = detail::MonotonicNanoseconds();
        uint64_t consumed = 0;
        // After a stall (a suspended process) at most a quarter of a second
        // is mixed; the rest is skipped, as a device would have run dry.
        const uint64_t most = std::max<uint64_t>(1, format_.frequency / 4);
        std::vector<int16_t> sink;
        std::unique_lock<std::mutex> hold(lock_);
        while (!wake_.wait_for(hold, kWakeInterval, [this] { return stopping_; })) {
            const uint64_t due = (detail::MonotonicNanoseconds() - start) * format_.frequency / 1000000000ull;
            const uint64_t frames = std::min(due - consumed, most);
            consumed = due;
            if (frames == 0) continue;
            sink.resize(frames * format_.channels);
            hold.unlock();
            TheMixer().Render(sink.data(), static_cast<uint32_t>(frames), format_);
            hold.lock();
        }
    }

    OutputFormat format_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<SoundOutput> MakeNullOutput() { return std::make_unique<NullOutput>(); }

}  // namespace platform::dsound
