// Opening and closing streams, and the list of open ones that every call
// looks its handle up in, so that a closed or made-up handle is refused
// rather than followed.
#include <memory>
#include <mutex>
#include <unordered_set>

#include "platform/acm/stream_objects.h"
#include "platform/profile/machine_profile.h"

namespace platform::acm {
namespace {

struct OpenStreams {
    std::mutex lock;
    std::unordered_set<AcmStream*> streams;
};

OpenStreams& Streams() {
    static OpenStreams* streams = new OpenStreams;  // used by threads still running at exit
    return *streams;
}

void CloseEveryStream() {
    OpenStreams& open = Streams();
    std::lock_guard<std::mutex> guard(open.lock);
    for (AcmStream* stream : open.streams) delete stream;
    open.streams.clear();
}

const ResetHook kStreamsReset(CloseEveryStream);

bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
           a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.nBlockAlign == b.nBlockAlign &&
           a.wBitsPerSample == b.wBitsPerSample;
}

}  // namespace

AcmStream* FindStream(HACMSTREAM handle) {
    OpenStreams& open = Streams();
    std::lock_guard<std::mutex> guard(open.lock);
    auto found = open.streams.find(static_cast<AcmStream*>(handle));
    return found == open.streams.end() ? nullptr : *found;
}

bool TakeInjectedFailure(uint32_t& count) {
    if (count == 0) return false;
    --count;
    return true;
}

}  // namespace platform::acm

using namespace platform::acm;

MMRESULT WINAPI acmStreamOpen(LPHACMSTREAM handle, HACMDRIVER driver, LPWAVEFORMATEX source,
                              LPWAVEFORMATEX destination, LPWAVEFILTER filter, DWORD_PTR, DWORD_PTR, DWORD flags) {
    if (handle == nullptr || source == nullptr || destination == nullptr || filter != nullptr)
        return MMSYSERR_INVALPARAM;
    *handle = nullptr;
    if (driver != nullptr) return MMSYSERR_INVALHANDLE;
    if ((flags & ~ACM_STREAMOPENF_NONREALTIME) != 0) return MMSYSERR_INVALFLAG;

    auto stream = std::make_unique<AcmStream>();
    if (!DescribeSource(source, &stream->source)) return ACMERR_NOTPOSSIBLE;
    stream->output = PcmOutput(stream->source);
    if (!SameFormat(*destination, stream->output)) return ACMERR_NOTPOSSIBLE;
    if (TakeInjectedFailure(platform::Profile().failures.acm.streamOpens)) return MMSYSERR_NOMEM;
    if (!stream->decoder.Open(stream->source)) return ACMERR_NOTPOSSIBLE;

    OpenStreams& open = Streams();
    std::lock_guard<std::mutex> guard(open.lock);
    *handle = stream.get();
    open.streams.insert(stream.release());
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamClose(HACMSTREAM handle, DWORD flags) {
    if (flags != 0) return MMSYSERR_INVALFLAG;
    OpenStreams& open = Streams();
    std::unique_ptr<AcmStream> stream;
    {
        std::lock_guard<std::mutex> guard(open.lock);
        auto found = open.streams.find(static_cast<AcmStream*>(handle));
        if (found == open.streams.end()) return MMSYSERR_INVALHANDLE;
        stream.reset(*found);
        open.streams.erase(found);
    }
    return MMSYSERR_NOERROR;
}
