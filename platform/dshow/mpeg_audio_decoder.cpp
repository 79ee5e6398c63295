// The MPEG-audio decoder filter: an input pin that connects to a source by
// asking it for IAsyncReader and checks that the stream decodes, an output
// pin that offers the decoded 16-bit PCM and agrees an allocator with its
// peer, and the streaming thread that pulls, decodes and delivers from the
// pause until the stop.
#include "platform/dshow/mpeg_audio_decoder.h"

#include <atomic>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dshow/graph_objects.h"
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

// What the two pins share: the filter's reference count and name.
class DecoderPin : public IPin {
public:
    DecoderPin(MpegAudioDecoder* filter, const WCHAR* name, PIN_DIRECTION direction)
        : filter_(filter), name_(name), direction_(direction) {}
    virtual ~DecoderPin() = default;

    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    HRESULT WINAPI ConnectedTo(IPin** pin) override;
    HRESULT WINAPI ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI QueryPinInfo(PIN_INFO* info) override;
    HRESULT WINAPI QueryDirection(PIN_DIRECTION* direction) override {
        if (direction == nullptr) return E_POINTER;
        *direction = direction_;
        return S_OK;
    }
    HRESULT WINAPI EndOfStream() override { return E_UNEXPECTED; }
    HRESULT WINAPI BeginFlush() override { return E_UNEXPECTED; }
    HRESULT WINAPI EndFlush() override { return E_UNEXPECTED; }
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override { return S_OK; }

    const WCHAR* Name() const { return name_; }
    bool IsConnected() const { return connected_ != nullptr; }

protected:
    MpegAudioDecoder* filter_;
    const WCHAR* name_;
    PIN_DIRECTION direction_;
    // Under the filter's lock.
    IPin* connected_ = nullptr;
    AM_MEDIA_TYPE type_{};
};

class DecoderInput final : public DecoderPin {
public:
    explicit DecoderInput(MpegAudioDecoder* filter) : DecoderPin(filter, L"Input", PINDIR_INPUT) {}
    ~DecoderInput() override { Drop(); }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override;
    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override { return E_UNEXPECTED; }
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI Disconnect() override;
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override {
        if (mediaType == nullptr) return E_POINTER;
        return Takes(*mediaType) ? S_OK : S_FALSE;
    }
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override {
        return MakeEmptyMediaTypeEnumerator(enumerator);
    }

    static bool Takes(const AM_MEDIA_TYPE& type) {
        return IsEqualGUID(type.majortype, MEDIATYPE_Stream) && IsEqualGUID(type.subtype, MEDIASUBTYPE_MPEG1Audio);
    }

    IAsyncReader* Reader() const { return reader_; }
    IMemAllocator* ReaderAllocator() const { return readerAllocator_; }
    const MpegAudioFormat& Format() const { return format_; }

private:
    void Drop();

    IAsyncReader* reader_ = nullptr;
    IMemAllocator* readerAllocator_ = nullptr;
    MpegAudioFormat format_;
};

class DecoderOutput final : public DecoderPin {
public:
    explicit DecoderOutput(MpegAudioDecoder* filter) : DecoderPin(filter, L"Output", PINDIR_OUTPUT) {}
    ~DecoderOutput() override { Drop(); }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override;
    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override {
        return E_UNEXPECTED;
    }
    HRESULT WINAPI Disconnect() override;
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override;

    IMemAllocator* Allocator() const { return allocator_; }
    IMemInputPin* Peer() const { return peerInput_; }
    IPin* PeerPin() const { return connected_; }

private:
    // The decoded stream's type; false while the input is not connected.
    bool OfferedType(AM_MEDIA_TYPE& type);
    HRESULT DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator);
    void Drop();

    IMemInputPin* peerInput_ = nullptr;
    IMemAllocator* allocator_ = nullptr;
};

class MpegAudioDecoder final : public com::Object<MpegAudioDecoder, IBaseFilter> {
public:
    MpegAudioDecoder() : input_(this), output_(this) {}
    ~MpegAudioDecoder() override {
        StopStreaming();
        if (clock_ != nullptr) clock_->Release();
    }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IPersist)) {
            *object = static_cast<IBaseFilter*>(this);
            AddRef();
            return S_OK;
        }
        return Object::QueryInterface(iid, object);
    }

    HRESULT WINAPI GetClassID(CLSID* classId) override {
        if (classId == nullptr) return E_POINTER;
        *classId = CLSID_MpegAudioDecoder;
        return S_OK;
    }

    HRESULT WINAPI Stop() override {
        {
            std::lock_guard<std::recursive_mutex> hold(lock_);
            state_.store(State_Stopped);
        }
        // The thread may wait for a buffer or a read: it is woken and joined
        // without the filter's lock.
        StopStreaming();
        return S_OK;
    }

    HRESULT WINAPI Pause() override {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        if (state_.load() == State_Stopped) {
            const HRESULT result = StartStreaming();
            if (FAILED(result)) return result;
        }
        state_.store(State_Paused);
        return S_OK;
    }

    HRESULT WINAPI Run(REFERENCE_TIME start) override {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        if (state_.load() == State_Stopped) {
            const HRESULT result = Pause();
            if (FAILED(result)) return result;
        }
        state_.store(State_Running);
        return S_OK;
    }

    HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) override {
        if (state == nullptr) return E_POINTER;
        *state = state_.load();
        return S_OK;
    }

    HRESULT WINAPI SetSyncSource(IReferenceClock* clock) override {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        return HoldReferenceClock(clock_, clock);
    }

    HRESULT WINAPI GetSyncSource(IReferenceClock** clock) override {
        if (clock == nullptr) return E_POINTER;
        std::lock_guard<std::recursive_mutex> hold(lock_);
        return HandOutReferenceClock(clock_, clock);
    }

    HRESULT WINAPI EnumPins(IEnumPins** enumerator) override {
        std::vector<Ref<IPin>> pins;
        pins.push_back(Ref<IPin>::Share(&input_));
        pins.push_back(Ref<IPin>::Share(&output_));
        return MakePinEnumerator(std::move(pins), enumerator);
    }

    HRESULT WINAPI FindPin(LPCWSTR id, IPin** pin) override {
        if (id == nullptr || pin == nullptr) return E_POINTER;
        *pin = nullptr;
        DecoderPin* found = nullptr;
        if (std::wcscmp(id, input_.Name()) == 0) found = &input_;
        if (std::wcscmp(id, output_.Name()) == 0) found = &output_;
        if (found == nullptr) return VFW_E_NOT_FOUND;
        found->AddRef();
        *pin = found;
        return S_OK;
    }

    HRESULT WINAPI QueryFilterInfo(FILTER_INFO* info) override {
        if (info == nullptr) return E_POINTER;
        std::lock_guard<std::recursive_mutex> hold(lock_);
        return DescribeFilter(name_, graph_, info);
    }

    HRESULT WINAPI JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override {
        std::lock_guard<std::recursive_mutex> hold(lock_);
        graph_ = graph;
        // Weak, as the graph holds this filter.
        sink_.store(graph != nullptr ? Ref<IMediaEventSink>::Query(graph, IID_IMediaEventSink).get() : nullptr);
        name_ = name != nullptr ? name : L"";
        return S_OK;
    }

    std::recursive_mutex& Lock() { return lock_; }
    bool IsStopped() const { return state_.load() == State_Stopped; }
    DecoderInput& Input() { return input_; }

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
    std::recursive_mutex lock_;  // state, connections, the thread's start and end
    std::atomic<FILTER_STATE> state_{State_Stopped};
    IReferenceClock* clock_ = nullptr;
    IFilterGraph* graph_ = nullptr;
    std::atomic<IMediaEventSink*> sink_{nullptr};
    std::wstring name_;

    std::mutex threadLock_;  // the thread handle
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    // The streaming thread's own.
    LONGLONG delivered_ = 0;  // frames delivered since the start
    bool first_ = true;
};

ULONG WINAPI DecoderPin::AddRef() { return filter_->AddRef(); }

ULONG WINAPI DecoderPin::Release() { return filter_->Release(); }

HRESULT WINAPI DecoderPin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    *pin = connected_;
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    connected_->AddRef();
    return S_OK;
}

HRESULT WINAPI DecoderPin::ConnectionMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (connected_ == nullptr) {
        *mediaType = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*mediaType, type_) ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI DecoderPin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = direction_;
    std::wcsncpy(info->achName, name_, 127);
    info->achName[127] = L'\0';
    return S_OK;
}

HRESULT WINAPI DecoderInput::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPin)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IPin*>(this);
    AddRef();
    return S_OK;
}

HRESULT WINAPI DecoderInput::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) {
    if (connector == nullptr || mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (DirectionOf(connector) != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (!Takes(*mediaType)) return VFW_E_TYPE_NOT_ACCEPTED;

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
    IMemAllocator* allocator = nullptr;
    result = reader->RequestAllocator(preferred.get(), &properties, &allocator);
    if (FAILED(result)) return result;

    if (!CopyMediaType(type_, *mediaType)) {
        allocator->Release();
        return E_OUTOFMEMORY;
    }
    connected_ = connector;
    connected_->AddRef();
    reader_ = reader.get();
    reader_->AddRef();
    readerAllocator_ = allocator;
    format_ = format;
    return S_OK;
}

void DecoderInput::Drop() {
    if (readerAllocator_ != nullptr) readerAllocator_->Release();
    readerAllocator_ = nullptr;
    if (reader_ != nullptr) reader_->Release();
    reader_ = nullptr;
    if (connected_ != nullptr) connected_->Release();
    connected_ = nullptr;
    FreeMediaType(type_);
    format_ = MpegAudioFormat{};
}

HRESULT WINAPI DecoderInput::Disconnect() {
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (connected_ == nullptr) return S_FALSE;
    Drop();
    return S_OK;
}

HRESULT WINAPI DecoderOutput::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPin)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IPin*>(this);
    AddRef();
    return S_OK;
}

bool DecoderOutput::OfferedType(AM_MEDIA_TYPE& type) {
    const MpegAudioFormat& format = filter_->Input().Format();
    if (!filter_->Input().IsConnected() || format.channels <= 0) return false;
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

HRESULT WINAPI DecoderOutput::QueryAccept(const AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    AM_MEDIA_TYPE ours{};
    if (!OfferedType(ours)) return S_FALSE;
    const bool same = IsEqualGUID(mediaType->majortype, ours.majortype) &&
                      IsEqualGUID(mediaType->subtype, ours.subtype) &&
                      IsEqualGUID(mediaType->formattype, ours.formattype) && mediaType->cbFormat == ours.cbFormat &&
                      mediaType->pbFormat != nullptr &&
                      std::memcmp(mediaType->pbFormat, ours.pbFormat, ours.cbFormat) == 0;
    FreeMediaType(ours);
    return same ? S_OK : S_FALSE;
}

HRESULT WINAPI DecoderOutput::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    AM_MEDIA_TYPE ours{};
    if (!OfferedType(ours)) return MakeEmptyMediaTypeEnumerator(enumerator);
    const HRESULT result = MakeMediaTypeEnumerator({&ours}, enumerator);
    FreeMediaType(ours);
    return result;
}

HRESULT DecoderOutput::DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator) {
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES wanted{};
    if (FAILED(peer->GetAllocatorRequirements(&wanted))) wanted = ALLOCATOR_PROPERTIES{};
    // What the peer asks for goes first; the rest is ours: a few buffers of
    // four whole frames each.
    const LONG frameBytes = kFrameSamples * 2 * filter_->Input().Format().channels;
    if (wanted.cBuffers <= 0) wanted.cBuffers = 4;
    if (wanted.cbBuffer <= 0) wanted.cbBuffer = frameBytes * 4;
    if (wanted.cbAlign <= 0) wanted.cbAlign = 1;
    if (wanted.cbPrefix < 0) wanted.cbPrefix = 0;

    return SettleAllocator(peer, wanted, 1, allocator);
}

HRESULT WINAPI DecoderOutput::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) {
    if (receivePin == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (DirectionOf(receivePin) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    AM_MEDIA_TYPE ours{};
    if (!OfferedType(ours)) return VFW_E_NOT_CONNECTED;
    // A proposal names what it wants; the decoded type must be one of it.
    if (mediaType != nullptr &&
        ((!IsEqualGUID(mediaType->majortype, GUID_NULL) && !IsEqualGUID(mediaType->majortype, ours.majortype)) ||
         (!IsEqualGUID(mediaType->subtype, GUID_NULL) && !IsEqualGUID(mediaType->subtype, ours.subtype)) ||
         (!IsEqualGUID(mediaType->formattype, GUID_NULL) && !IsEqualGUID(mediaType->formattype, ours.formattype)))) {
        FreeMediaType(ours);
        return VFW_E_NO_ACCEPTABLE_TYPES;
    }
    Ref<IMemInputPin> peer = Ref<IMemInputPin>::Query(receivePin, IID_IMemInputPin);
    if (!peer) {
        FreeMediaType(ours);
        return E_NOINTERFACE;
    }
    HRESULT result = receivePin->ReceiveConnection(this, &ours);
    if (FAILED(result)) {
        FreeMediaType(ours);
        return result;
    }
    IMemAllocator* allocator = nullptr;
    result = DecideAllocator(peer.get(), &allocator);
    if (FAILED(result)) {
        receivePin->Disconnect();
        FreeMediaType(ours);
        return result;
    }
    connected_ = receivePin;
    connected_->AddRef();
    peerInput_ = peer.get();
    peerInput_->AddRef();
    allocator_ = allocator;
    type_ = ours;
    return S_OK;
}

void DecoderOutput::Drop() {
    if (allocator_ != nullptr) {
        allocator_->Decommit();
        allocator_->Release();
    }
    allocator_ = nullptr;
    if (peerInput_ != nullptr) peerInput_->Release();
    peerInput_ = nullptr;
    if (connected_ != nullptr) connected_->Release();
    connected_ = nullptr;
    FreeMediaType(type_);
}

HRESULT WINAPI DecoderOutput::Disconnect() {
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (connected_ == nullptr) return S_FALSE;
    Drop();
    return S_OK;
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
    if (IMediaEventSink* sink = sink_.load())
        sink->Notify(EC_ERRORABORT, reason, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
}

bool MpegAudioDecoder::Deliver(const int16_t* samples, size_t frames) {
    const MpegAudioFormat& format = input_.Format();
    const size_t frameBytes = static_cast<size_t>(format.channels) * 2;
    const BYTE* from = reinterpret_cast<const BYTE*>(samples);
    size_t left = frames * frameBytes;
    while (left > 0) {
        if (stopping_.load()) return false;
        IMediaSample* sample = nullptr;
        if (FAILED(output_.Allocator()->GetBuffer(&sample, nullptr, nullptr, 0)) || sample == nullptr) return false;
        BYTE* to = nullptr;
        sample->GetPointer(&to);
        // Whole frames only, as many as the buffer holds.
        size_t bytes = static_cast<size_t>(sample->GetSize()) / frameBytes * frameBytes;
        if (bytes == 0 || to == nullptr) {
            sample->Release();
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
        const HRESULT result = output_.Peer()->Receive(sample);
        sample->Release();
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
        IMediaSample* sample = nullptr;
        if (FAILED(reads->GetBuffer(&sample, nullptr, nullptr, 0)) || sample == nullptr) return;
        REFERENCE_TIME start = position * kUnitsPerSecond;
        REFERENCE_TIME stop = (position + sample->GetSize()) * kUnitsPerSecond;
        sample->SetTime(&start, &stop);
        HRESULT result = reader->Request(sample, 0);
        if (FAILED(result)) {
            sample->Release();
            GiveUp(result);
            return;
        }
        IMediaSample* filled = nullptr;
        DWORD_PTR user = 0;
        result = reader->WaitForNext(INFINITE, &filled, &user);
        if (filled == nullptr) filled = sample;
        if (SUCCEEDED(result) && Profile().failures.directShow.mpegAudioReads) result = E_FAIL;
        const LONG got = SUCCEEDED(result) ? filled->GetActualDataLength() : 0;
        BYTE* data = nullptr;
        filled->GetPointer(&data);
        bool goOn = SUCCEEDED(result) && got > 0;
        if (goOn) goOn = decoding.Feed(data, static_cast<size_t>(got), deliver);
        filled->Release();
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
