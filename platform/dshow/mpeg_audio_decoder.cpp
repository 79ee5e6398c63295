// The MPEG-audio decoder filter: an input pin that connects to a source by
// asking it for IAsyncReader and checks that the stream decodes, an output
// pin that offers the decoded 16-bit PCM and agrees an allocator with its
// peer, and the streaming thread that pulls, decodes and delivers from the
// pause until the stop.
#include "platform/dshow/mpeg_audio_decoder.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/dshow/base_filter.h"
#include "platform/dshow/base_pin.h"
#include "platform/dshow/mpeg_audio_decoding.h"
#include "platform/dshow/sample_pool.h"
#include "platform/profile/machine_profile.h"

namespace platform::dshow {
namespace {

constexpr REFERENCE_TIME kUnitsPerSecond = 10000000;
// How much of the stream's start must hold a frame that decodes.
constexpr LONG kProbeBytes = 64 * 1024;
// The size of each read from the source.
constexpr LONG kReadBytes = 16 * 1024;
// Samples per MPEG-1 frame, the most any layer decodes at once.
constexpr LONG kFrameSamples = 1152;
constexpr WORD kExtensibleFormatTag = 0xFFFE;

class MpegAudioDecoder;

// Connects to a source by asking it for IAsyncReader; the stream's start
// must decode.
class DecoderInput final : public InputPin {
public:
    explicit DecoderInput(MpegAudioDecoder& decoder);

    // The bytes are pulled: nothing is pushed to this pin.
    HRESULT WINAPI EndOfStream() override { return E_UNEXPECTED; }
    HRESULT WINAPI BeginFlush() override { return E_UNEXPECTED; }
    HRESULT WINAPI EndFlush() override { return E_UNEXPECTED; }

    IAsyncReader* Reader() const { return reader_.get(); }
    IMemAllocator* ReaderAllocator() const { return readerAllocator_.get(); }
    const MpegAudioFormat& Format() const { return format_; }

protected:
    bool Takes(const AM_MEDIA_TYPE& type) const override {
        return IsEqualGUID(type.majortype, MEDIATYPE_Stream) && IsEqualGUID(type.subtype, MEDIASUBTYPE_MPEG1Audio);
    }
    HRESULT CompleteConnect(IPin* connector, const AM_MEDIA_TYPE& type) override;
    void BreakConnect() override;

private:
    Ref<IAsyncReader> reader_;
    Ref<IMemAllocator> readerAllocator_;
    MpegAudioFormat format_;
};

// Offers the decoded 16-bit PCM once the input is connected.
class DecoderOutput final : public OutputPin {
public:
    explicit DecoderOutput(MpegAudioDecoder& decoder);

protected:
    bool OfferedType(AM_MEDIA_TYPE& type) override;
    void SizeBuffers(ALLOCATOR_PROPERTIES& wanted, LONG& leastBuffer) override;

private:
    MpegAudioDecoder& decoder_;
};

class MpegAudioDecoder final : public FilterObject<MpegAudioDecoder> {
public:
    MpegAudioDecoder() : input_(*this), output_(*this) {}
    ~MpegAudioDecoder() override { StopStreaming(); }

    DecoderInput& Input() { return input_; }

protected:
    CLSID ClassId() const override { return CLSID_MpegAudioDecoder; }
    std::vector<BasePin*> Pins() override { return {&input_, &output_}; }
    HRESULT OnStarting() override { return StartStreaming(); }
    // The thread may wait for a buffer or a read: it is woken and joined
    // without the filter's lock.
    void OnStopped() override { StopStreaming(); }

private:
    HRESULT StartStreaming();
    void StopStreaming();
    void Stream();
    // Hands `frames` decoded frames downstream in as many samples as they
    // need; false once the stream is to end.
    bool Deliver(const int16_t* samples, size_t frames);
    void GiveUp(HRESULT reason);

    DecoderInput input_;
    DecoderOutput output_;

    std::mutex threadLock_;  // the thread handle
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    // The streaming thread's own.
    LONGLONG delivered_ = 0;  // frames delivered since the start
    bool first_ = true;
};

DecoderInput::DecoderInput(MpegAudioDecoder& decoder) : InputPin(decoder, L"Input") {}

HRESULT DecoderInput::CompleteConnect(IPin* connector, const AM_MEDIA_TYPE& type) {
    // The bytes are pulled: a source that cannot serve them is no use.
    Ref<IAsyncReader> reader = Ref<IAsyncReader>::Query(connector, IID_IAsyncReader);
    if (!reader) return VFW_E_TYPE_NOT_ACCEPTED;

    // The stream's start must hold a frame that decodes.
    LONGLONG total = 0;
    LONGLONG available = 0;
    if (FAILED(reader->Length(&total, &available)) || total <= 0) return VFW_E_TYPE_NOT_ACCEPTED;
    std::vector<BYTE> start(static_cast<size_t>(total < kProbeBytes ? total : kProbeBytes));
    if (FAILED(reader->SyncRead(0, static_cast<LONG>(start.size()), start.data()))) return VFW_E_TYPE_NOT_ACCEPTED;
    MpegAudioFormat format;
    if (!ProbeMpegAudio(start.data(), start.size(), &format)) return VFW_E_TYPE_NOT_ACCEPTED;

    // Our own pool is the allocator we would like the reads to fill.
    Ref<IMemAllocator> preferred;
    HRESULT result = CreateSamplePool(preferred.out());
    if (FAILED(result)) return result;
    ALLOCATOR_PROPERTIES properties{1, kReadBytes, 1, 0};
    Ref<IMemAllocator> allocator;
    result = reader->RequestAllocator(preferred.get(), &properties, allocator.out());
    if (FAILED(result)) return result;

    reader_ = std::move(reader);
    readerAllocator_ = std::move(allocator);
    format_ = format;
    return S_OK;
}

void DecoderInput::BreakConnect() {
    readerAllocator_ = Ref<IMemAllocator>();
    reader_ = Ref<IAsyncReader>();
    format_ = MpegAudioFormat{};
}

DecoderOutput::DecoderOutput(MpegAudioDecoder& decoder) : OutputPin(decoder, L"Output"), decoder_(decoder) {}

bool DecoderOutput::OfferedType(AM_MEDIA_TYPE& type) {
    const MpegAudioFormat& format = decoder_.Input().Format();
    if (!decoder_.Input().IsConnected() || format.channels <= 0) return false;
    const bool extensible = Profile().directShow.mpegAudioExtensibleFormat;
    // The extensible form adds the valid bits, the speaker mask and the
    // sample format behind the plain record.
    const ULONG length = extensible ? sizeof(WAVEFORMATEX) + 22 : sizeof(WAVEFORMATEX);
    BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (block == nullptr) return false;
    std::memset(block, 0, length);
    WAVEFORMATEX wave{};
    wave.wFormatTag = extensible ? kExtensibleFormatTag : static_cast<WORD>(WAVE_FORMAT_PCM);
    wave.nChannels = static_cast<WORD>(format.channels);
    wave.nSamplesPerSec = static_cast<DWORD>(format.rate);
    wave.nBlockAlign = static_cast<WORD>(format.channels * 2);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    wave.wBitsPerSample = 16;
    wave.cbSize = extensible ? 22 : 0;
    std::memcpy(block, &wave, sizeof wave);
    if (extensible) {
        const WORD validBits = 16;
        const DWORD speakers = format.channels == 1 ? 0x4u : 0x3u;
        std::memcpy(block + sizeof wave, &validBits, sizeof validBits);
        std::memcpy(block + sizeof wave + 2, &speakers, sizeof speakers);
        std::memcpy(block + sizeof wave + 6, &MEDIASUBTYPE_PCM, sizeof(GUID));
    }
    type = AM_MEDIA_TYPE{};
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = wave.nBlockAlign;
    type.formattype = FORMAT_WaveFormatEx;
    type.cbFormat = length;
    type.pbFormat = block;
    return true;
}

void DecoderOutput::SizeBuffers(ALLOCATOR_PROPERTIES& wanted, LONG& leastBuffer) {
    // A few buffers of four whole frames each.
    const LONG frameBytes = kFrameSamples * 2 * decoder_.Input().Format().channels;
    if (wanted.cBuffers <= 0) wanted.cBuffers = 4;
    if (wanted.cbBuffer <= 0) wanted.cbBuffer = frameBytes * 4;
}

HRESULT MpegAudioDecoder::StartStreaming() {
    // Called under the filter's lock, on the way out of stopped.
    if (!input_.IsConnected() || !output_.IsConnected()) return S_OK;
    HRESULT result = output_.Allocator()->Commit();
    if (SUCCEEDED(result)) result = input_.ReaderAllocator()->Commit();
    if (FAILED(result)) {
        output_.Allocator()->Decommit();
        return result;
    }
    std::lock_guard<std::mutex> hold(threadLock_);
    stopping_.store(false);
    delivered_ = 0;
    first_ = true;
    thread_ = std::thread([this] { Stream(); });
    return S_OK;
}

void MpegAudioDecoder::StopStreaming() {
    std::lock_guard<std::mutex> hold(threadLock_);
    if (!thread_.joinable()) return;
    stopping_.store(true);
    // Wakes the thread wherever it waits: for a read, or for a buffer.
    IAsyncReader* reader = input_.Reader();
    if (reader != nullptr) reader->BeginFlush();
    if (output_.Allocator() != nullptr) output_.Allocator()->Decommit();
    if (input_.ReaderAllocator() != nullptr) input_.ReaderAllocator()->Decommit();
    thread_.join();
    if (reader != nullptr) reader->EndFlush();
}

void MpegAudioDecoder::GiveUp(HRESULT reason) {
    if (stopping_.load()) return;
    NotifyGraph(EC_ERRORABORT, reason);
}

bool MpegAudioDecoder::Deliver(const int16_t* samples, size_t frames) {
    const MpegAudioFormat& format = input_.Format();
    const size_t frameBytes = static_cast<size_t>(format.channels) * 2;
    const BYTE* from = reinterpret_cast<const BYTE*>(samples);
    size_t left = frames * frameBytes;
    while (left > 0) {
        if (stopping_.load()) return false;
        Ref<IMediaSample> sample;
        if (FAILED(output_.Allocator()->GetBuffer(sample.out(), nullptr, nullptr, 0)) || !sample) return false;
        BYTE* to = nullptr;
        sample->GetPointer(&to);
        // Whole frames only, as many as the buffer holds.
        size_t bytes = static_cast<size_t>(sample->GetSize()) / frameBytes * frameBytes;
        if (bytes == 0 || to == nullptr) {
            GiveUp(VFW_E_BUFFER_OVERFLOW);
            return false;
        }
        if (bytes > left) bytes = left;
        std::memcpy(to, from, bytes);
        sample->SetActualDataLength(static_cast<LONG>(bytes));
        const LONGLONG count = static_cast<LONGLONG>(bytes / frameBytes);
        REFERENCE_TIME start = delivered_ * kUnitsPerSecond / format.rate;
        REFERENCE_TIME stop = (delivered_ + count) * kUnitsPerSecond / format.rate;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(TRUE);
        if (first_) sample->SetDiscontinuity(TRUE);
        first_ = false;
        const HRESULT result = output_.Peer()->Receive(sample.get());
        // Downstream refused or flushes: the stream ends here.
        if (result != S_OK) return false;
        delivered_ += count;
        from += bytes;
        left -= bytes;
    }
    return true;
}

void MpegAudioDecoder::Stream() {
    IAsyncReader* reader = input_.Reader();
    IMemAllocator* reads = input_.ReaderAllocator();
    const MpegAudioFormat format = input_.Format();
    MpegAudioDecoding decoding;
    if (!decoding.Open(format.codecId)) {
        GiveUp(E_FAIL);
        return;
    }
    // A frame whose rate or channels differ from the stream's start is
    // dropped: the connection's type describes only the first.
    const DecodedAudio deliver = [&](const int16_t* samples, size_t frames, int rate, int channels) {
        if (rate != format.rate || channels != format.channels) return !stopping_.load();
        return Deliver(samples, frames);
    };

    LONGLONG total = 0;
    LONGLONG available = 0;
    reader->Length(&total, &available);
    LONGLONG position = 0;
    while (position < total) {
        if (stopping_.load()) return;
        Ref<IMediaSample> sample;
        if (FAILED(reads->GetBuffer(sample.out(), nullptr, nullptr, 0)) || !sample) return;
        REFERENCE_TIME start = position * kUnitsPerSecond;
        REFERENCE_TIME stop = (position + sample->GetSize()) * kUnitsPerSecond;
        sample->SetTime(&start, &stop);
        HRESULT result = reader->Request(sample.get(), 0);
        if (FAILED(result)) {
            GiveUp(result);
            return;
        }
        // The one request comes back as it went: the reference is ours.
        IMediaSample* filled = nullptr;
        DWORD_PTR user = 0;
        result = reader->WaitForNext(INFINITE, &filled, &user);
        if (filled == nullptr) filled = sample.get();
        if (SUCCEEDED(result) && Profile().failures.directShow.mpegAudioReads) result = E_FAIL;
        const LONG got = SUCCEEDED(result) ? filled->GetActualDataLength() : 0;
        BYTE* data = nullptr;
        filled->GetPointer(&data);
        bool goOn = SUCCEEDED(result) && got > 0;
        if (goOn) goOn = decoding.Feed(data, static_cast<size_t>(got), deliver);
        if (FAILED(result)) {
            GiveUp(result);
            return;
        }
        if (!goOn) {
            // Only a read of nothing before the end is a fault of the source.
            if (got <= 0) GiveUp(E_FAIL);
            return;
        }
        position += got;
    }
    if (!decoding.Feed(nullptr, 0, deliver) || stopping_.load()) return;
    if (IPin* peer = output_.PeerPin()) peer->EndOfStream();
}

}  // namespace

HRESULT CreateMpegAudioDecoder(REFIID iid, void** object) { return MpegAudioDecoder::Create(iid, object); }

}  // namespace platform::dshow
