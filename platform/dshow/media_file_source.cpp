// The media file source: loading a file (its wide name back to the system's
// path and on to the host's), an output pin per decodable stream that offers
// its type and agrees an allocator with its peer, the streaming thread that
// decodes from the pause until the stop and delivers each stream to its pin,
// and seeking, which flushes the streams and starts them again at the new
// position.
#include "platform/dshow/media_file_source.h"

#include <atomic>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dshow/graph_objects.h"
#include "platform/dshow/media_file_decoding.h"
#include "platform/dshow/sample_pool.h"
#include "platform/kernel/path_mapping.h"
#include "platform/kernel/shift_jis.h"

namespace platform::dshow {
namespace {

constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002u);
// Sound goes downstream in pieces of about a tenth of a second.
constexpr int kSoundPiecesPerSecond = 10;

// A wide name as UTF-8; false for a code point that is none.
bool WideToUtf8(const WCHAR* wide, std::string& utf8) {
    utf8.clear();
    for (; *wide != L'\0'; ++wide) {
        const uint32_t c = static_cast<uint32_t>(*wide);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            if (c >= 0xD800 && c < 0xE000) return false;
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

class MediaFileSource;

class SourcePin final : public IPin {
public:
    SourcePin(MediaFileSource* filter, const WCHAR* name, bool video) : filter_(filter), name_(name), video_(video) {}
    ~SourcePin() { Drop(); }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPin)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IPin*>(this);
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override {
        return E_UNEXPECTED;
    }
    HRESULT WINAPI Disconnect() override;
    HRESULT WINAPI ConnectedTo(IPin** pin) override;
    HRESULT WINAPI ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI QueryPinInfo(PIN_INFO* info) override;
    HRESULT WINAPI QueryDirection(PIN_DIRECTION* direction) override {
        if (direction == nullptr) return E_POINTER;
        *direction = PINDIR_OUTPUT;
        return S_OK;
    }
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override;
    HRESULT WINAPI EndOfStream() override { return E_UNEXPECTED; }
    HRESULT WINAPI BeginFlush() override { return E_UNEXPECTED; }
    HRESULT WINAPI EndFlush() override { return E_UNEXPECTED; }
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override { return E_UNEXPECTED; }

    const WCHAR* Name() const { return name_; }
    bool IsConnected() const { return connected_ != nullptr; }
    IMemAllocator* Allocator() const { return allocator_; }
    IMemInputPin* Peer() const { return peerInput_; }
    IPin* PeerPin() const { return connected_; }

private:
    bool OfferedType(AM_MEDIA_TYPE& type);
    HRESULT DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator);
    void Drop();

    MediaFileSource* filter_;
    const WCHAR* name_;
    const bool video_;
    // Under the filter's lock.
    IPin* connected_ = nullptr;
    IMemInputPin* peerInput_ = nullptr;
    IMemAllocator* allocator_ = nullptr;
    AM_MEDIA_TYPE type_{};
};

class MediaFileSource final
    : public com::Object<MediaFileSource, IBaseFilter, IFileSourceFilter, IMediaSeeking> {
public:
    MediaFileSource() : video_(this, L"Video", true), audio_(this, L"Audio", false) {}
    ~MediaFileSource() override {
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
        *classId = CLSID_MediaFileSource;
        return S_OK;
    }

    HRESULT WINAPI Load(LPCWSTR fileName, const AM_MEDIA_TYPE* mediaType) override {
        if (fileName == nullptr) return E_POINTER;
        std::lock_guard<std::recursive_mutex> hold(lock_);
        if (loaded_) return E_UNEXPECTED;
        std::string utf8;
        std::string shiftJis;
        std::string hostPath;
        if (!WideToUtf8(fileName, utf8) || !Utf8ToShiftJis(utf8, shiftJis) ||
            !MapWindowsPath(shiftJis.c_str(), hostPath))
            return kFileNotFound;
        if (!decoding_.Open(hostPath)) {
            // A file that is there but holds nothing we decode.
            FILE* probe = std::fopen(hostPath.c_str(), "rb");
            if (probe == nullptr) return kFileNotFound;
            std::fclose(probe);
            return VFW_E_UNSUPPORTED_STREAM;
        }
        loaded_ = true;
        return S_OK;
    }

    HRESULT WINAPI Stop() override {
        {
            std::lock_guard<std::recursive_mutex> hold(lock_);
            state_.store(State_Stopped);
        }
        StopStreaming();
        std::lock_guard<std::recursive_mutex> hold(lock_);
        // The next run starts again from the position last set.
        seekPending_ = true;
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
        {
            std::lock_guard<std::recursive_mutex> hold(lock_);
            if (decoding_.HasVideo()) pins.push_back(Ref<IPin>::Share(&video_));
            if (decoding_.HasAudio()) pins.push_back(Ref<IPin>::Share(&audio_));
        }
        return MakePinEnumerator(std::move(pins), enumerator);
    }

    HRESULT WINAPI FindPin(LPCWSTR id, IPin** pin) override {
        if (id == nullptr || pin == nullptr) return E_POINTER;
        *pin = nullptr;
        std::lock_guard<std::recursive_mutex> hold(lock_);
        SourcePin* found = nullptr;
        if (decoding_.HasVideo() && std::wcscmp(id, video_.Name()) == 0) found = &video_;
        if (decoding_.HasAudio() && std::wcscmp(id, audio_.Name()) == 0) found = &audio_;
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
        graph_ = graph;  // weak, as the graph holds this filter
        name_ = name != nullptr ? name : L"";
        return S_OK;
    }

    HRESULT WINAPI GetStopPosition(LONGLONG* stop) override {
        if (stop == nullptr) return E_POINTER;
        std::lock_guard<std::recursive_mutex> hold(lock_);
        *stop = stop_ >= 0 ? stop_ : decoding_.Duration();
        return S_OK;
    }

    HRESULT WINAPI GetCurrentPosition(LONGLONG* current) override {
        if (current == nullptr) return E_POINTER;
        *current = reached_.load();
        return S_OK;
    }

    HRESULT WINAPI SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;

    std::recursive_mutex& Lock() { return lock_; }
    bool IsStopped() const { return state_.load() == State_Stopped; }
    const MediaFileDecoding& Decoding() const { return decoding_; }

private:
    HRESULT StartStreaming();
    void StopStreaming();
    void Stream(REFERENCE_TIME from, REFERENCE_TIME end, bool seek);
    // One picture or piece of sound to `pin`; false once the stream is to
    // end.
    bool Deliver(SourcePin& pin, const BYTE* data, size_t bytes, REFERENCE_TIME start, REFERENCE_TIME stop,
                 bool& first);
    bool DeliverSound(const int16_t* samples, size_t frames, REFERENCE_TIME start, REFERENCE_TIME from,
                      bool& first);

    SourcePin video_;
    SourcePin audio_;
    std::recursive_mutex lock_;  // state, connections, positions, the thread's start and end
    std::atomic<FILTER_STATE> state_{State_Stopped};
    IReferenceClock* clock_ = nullptr;
    IFilterGraph* graph_ = nullptr;
    std::wstring name_;
    bool loaded_ = false;
    // Used by the streaming thread while it runs, else under the lock.
    MediaFileDecoding decoding_;
    LONGLONG start_ = 0;      // where the next stream begins
    LONGLONG stop_ = -1;      // -1: the end of the media
    bool seekPending_ = false;
    std::atomic<LONGLONG> reached_{0};

    std::mutex threadLock_;  // the thread handle
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

ULONG WINAPI SourcePin::AddRef() { return filter_->AddRef(); }

ULONG WINAPI SourcePin::Release() { return filter_->Release(); }

HRESULT WINAPI SourcePin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    *pin = connected_;
    if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
    connected_->AddRef();
    return S_OK;
}

HRESULT WINAPI SourcePin::ConnectionMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (connected_ == nullptr) {
        *mediaType = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*mediaType, type_) ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI SourcePin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = PINDIR_OUTPUT;
    std::wcsncpy(info->achName, name_, 127);
    info->achName[127] = L'\0';
    return S_OK;
}

bool SourcePin::OfferedType(AM_MEDIA_TYPE& type) {
    const MediaFileDecoding& decoding = filter_->Decoding();
    type = AM_MEDIA_TYPE{};
    if (video_) {
        if (!decoding.HasVideo()) return false;
        BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
        if (block == nullptr) return false;
        VIDEOINFOHEADER info{};
        info.rcSource = RECT{0, 0, decoding.Width(), decoding.Height()};
        info.rcTarget = info.rcSource;
        info.AvgTimePerFrame = decoding.FrameDuration();
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = decoding.Width();
        // Top row first.
        info.bmiHeader.biHeight = -decoding.Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = 0;
        info.bmiHeader.biSizeImage = static_cast<DWORD>(decoding.Pitch() * decoding.Height());
        std::memcpy(block, &info, sizeof info);
        type.majortype = MEDIATYPE_Video;
        type.subtype = MEDIASUBTYPE_RGB24;
        type.bFixedSizeSamples = TRUE;
        type.lSampleSize = info.bmiHeader.biSizeImage;
        type.formattype = FORMAT_VideoInfo;
        type.cbFormat = sizeof info;
        type.pbFormat = block;
        return true;
    }
    if (!decoding.HasAudio()) return false;
    BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
    if (block == nullptr) return false;
    WAVEFORMATEX wave{};
    wave.wFormatTag = static_cast<WORD>(WAVE_FORMAT_PCM);
    wave.nChannels = static_cast<WORD>(decoding.Channels());
    wave.nSamplesPerSec = static_cast<DWORD>(decoding.Rate());
    wave.nBlockAlign = static_cast<WORD>(decoding.Channels() * 2);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    wave.wBitsPerSample = 16;
    std::memcpy(block, &wave, sizeof wave);
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = wave.nBlockAlign;
    type.formattype = FORMAT_WaveFormatEx;
    type.cbFormat = sizeof wave;
    type.pbFormat = block;
    return true;
}

HRESULT WINAPI SourcePin::QueryAccept(const AM_MEDIA_TYPE* mediaType) {
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

HRESULT WINAPI SourcePin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    AM_MEDIA_TYPE ours{};
    if (!OfferedType(ours)) return MakeEmptyMediaTypeEnumerator(enumerator);
    const HRESULT result = MakeMediaTypeEnumerator({&ours}, enumerator);
    FreeMediaType(ours);
    return result;
}

HRESULT SourcePin::DecideAllocator(IMemInputPin* peer, IMemAllocator** allocator) {
    *allocator = nullptr;
    const MediaFileDecoding& decoding = filter_->Decoding();
    ALLOCATOR_PROPERTIES wanted{};
    if (FAILED(peer->GetAllocatorRequirements(&wanted))) wanted = ALLOCATOR_PROPERTIES{};
    // What the peer asks for goes first; the rest is ours: a few whole
    // pictures, or a few pieces of sound.
    const LONG bytes = video_ ? decoding.Pitch() * decoding.Height()
                              : decoding.Rate() / kSoundPiecesPerSecond * decoding.Channels() * 2;
    if (wanted.cBuffers <= 0) wanted.cBuffers = video_ ? 2 : 4;
    if (wanted.cbBuffer < bytes) wanted.cbBuffer = bytes;
    if (wanted.cbAlign <= 0) wanted.cbAlign = 1;
    if (wanted.cbPrefix < 0) wanted.cbPrefix = 0;

    return SettleAllocator(peer, wanted, bytes, allocator);
}

HRESULT WINAPI SourcePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) {
    if (receivePin == nullptr) return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (DirectionOf(receivePin) != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    AM_MEDIA_TYPE ours{};
    if (!OfferedType(ours)) return VFW_E_NO_ACCEPTABLE_TYPES;
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

void SourcePin::Drop() {
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

HRESULT WINAPI SourcePin::Disconnect() {
    std::lock_guard<std::recursive_mutex> hold(filter_->Lock());
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (connected_ == nullptr) return S_FALSE;
    Drop();
    return S_OK;
}

HRESULT MediaFileSource::StartStreaming() {
    // Called under the filter's lock, on the way out of stopped or after a
    // seek.
    if (!video_.IsConnected() && !audio_.IsConnected()) return S_OK;
    for (SourcePin* pin : {&video_, &audio_}) {
        if (!pin->IsConnected()) continue;
        const HRESULT result = pin->Allocator()->Commit();
        if (FAILED(result)) {
            for (SourcePin* committed : {&video_, &audio_})
                if (committed->Allocator() != nullptr) committed->Allocator()->Decommit();
            return result;
        }
    }
    std::lock_guard<std::mutex> hold(threadLock_);
    stopping_.store(false);
    const REFERENCE_TIME from = start_;
    const bool seek = seekPending_;
    seekPending_ = false;
    reached_.store(from);
    // Read here, under the lock: the thread must not wait for the lock,
    // which a seek holds while it waits for the thread to end.
    const REFERENCE_TIME end = stop_ >= 0 ? stop_ : decoding_.Duration();
    thread_ = std::thread([this, from, end, seek] { Stream(from, end, seek); });
    return S_OK;
}

void MediaFileSource::StopStreaming() {
    std::lock_guard<std::mutex> hold(threadLock_);
    if (!thread_.joinable()) return;
    stopping_.store(true);
    // Wakes the thread where it waits for a buffer.
    for (SourcePin* pin : {&video_, &audio_})
        if (pin->Allocator() != nullptr) pin->Allocator()->Decommit();
    thread_.join();
}

HRESULT WINAPI MediaFileSource::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                             DWORD stopFlags) {
    const DWORD currentMode = currentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stopMode = stopFlags & AM_SEEKING_PositioningBitsMask;
    if ((currentMode != AM_SEEKING_NoPositioning && current == nullptr) ||
        (stopMode != AM_SEEKING_NoPositioning && stop == nullptr))
        return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (stopMode == AM_SEEKING_AbsolutePositioning) stop_ = *stop;
    if (stopMode == AM_SEEKING_RelativePositioning) stop_ = (stop_ >= 0 ? stop_ : decoding_.Duration()) + *stop;
    if (currentMode == AM_SEEKING_NoPositioning) return S_OK;
    LONGLONG target = *current;
    if (currentMode == AM_SEEKING_RelativePositioning) target += reached_.load();
    if (target < 0) target = 0;

    // The streams downstream let go of what they hold, the thread ends, and
    // a new one starts at the new position.
    std::vector<IPin*> peers;
    for (SourcePin* pin : {&video_, &audio_})
        if (pin->IsConnected()) peers.push_back(pin->PeerPin());
    for (IPin* peer : peers) peer->BeginFlush();
    StopStreaming();
    for (IPin* peer : peers) peer->EndFlush();
    start_ = target;
    seekPending_ = true;
    reached_.store(target);
    if (state_.load() != State_Stopped) return StartStreaming();
    return S_OK;
}

bool MediaFileSource::Deliver(SourcePin& pin, const BYTE* data, size_t bytes, REFERENCE_TIME start,
                              REFERENCE_TIME stop, bool& first) {
    if (stopping_.load()) return false;
    IMediaSample* sample = nullptr;
    if (FAILED(pin.Allocator()->GetBuffer(&sample, nullptr, nullptr, 0)) || sample == nullptr) return false;
    BYTE* to = nullptr;
    sample->GetPointer(&to);
    if (to == nullptr || static_cast<size_t>(sample->GetSize()) < bytes) {
        sample->Release();
        return false;
    }
    std::memcpy(to, data, bytes);
    sample->SetActualDataLength(static_cast<LONG>(bytes));
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    if (first) sample->SetDiscontinuity(TRUE);
    first = false;
    const HRESULT result = pin.Peer()->Receive(sample);
    sample->Release();
    // Downstream refused or flushes: the stream ends here.
    return result == S_OK;
}

bool MediaFileSource::DeliverSound(const int16_t* samples, size_t frames, REFERENCE_TIME start,
                                   REFERENCE_TIME from, bool& first) {
    const size_t frameBytes = static_cast<size_t>(decoding_.Channels()) * 2;
    const int rate = decoding_.Rate();
    // Sound from before the position is cut off to the frame.
    if (start < from) {
        const size_t skip = static_cast<size_t>((from - start) * rate / 10000000);
        if (skip >= frames) return true;
        samples += skip * static_cast<size_t>(decoding_.Channels());
        frames -= skip;
        start = from;
    }
    const size_t piece = static_cast<size_t>(rate / kSoundPiecesPerSecond);
    while (frames > 0) {
        const size_t count = frames < piece ? frames : piece;
        const REFERENCE_TIME stop = start + static_cast<REFERENCE_TIME>(count) * 10000000 / rate;
        if (!Deliver(audio_, reinterpret_cast<const BYTE*>(samples), count * frameBytes, start - from, stop - from,
                     first))
            return false;
        start = stop;
        samples += count * static_cast<size_t>(decoding_.Channels());
        frames -= count;
    }
    return true;
}

void MediaFileSource::Stream(REFERENCE_TIME from, REFERENCE_TIME end, bool seek) {
    if (seek) decoding_.Seek(from);
    const bool toVideo = video_.IsConnected();
    const bool toAudio = audio_.IsConnected();
    for (SourcePin* pin : {&video_, &audio_})
        if (pin->IsConnected()) pin->PeerPin()->NewSegment(from, end, 1.0);
    bool firstVideo = true;
    bool firstSound = true;
    bool refused = false;
    bool past = false;
    const size_t pictureBytes = static_cast<size_t>(decoding_.Pitch()) * static_cast<size_t>(decoding_.Height());
    const DecodedVideo video = [&](const uint8_t* rows, REFERENCE_TIME start, REFERENCE_TIME stop) {
        if (!toVideo) return true;
        if (start >= end) {
            past = true;
            return false;
        }
        if (!Deliver(video_, rows, pictureBytes, start - from, stop - from, firstVideo)) {
            refused = true;
            return false;
        }
        if (stop > reached_.load()) reached_.store(stop);
        return true;
    };
    const DecodedSound sound = [&](const int16_t* samples, size_t frames, REFERENCE_TIME start) {
        if (!toAudio) return true;
        if (start >= end) {
            past = true;
            return false;
        }
        if (!DeliverSound(samples, frames, start, from, firstSound)) {
            refused = true;
            return false;
        }
        return true;
    };
    while (!stopping_.load() && decoding_.Step(from, video, sound)) {
    }
    if (stopping_.load() || refused) return;
    if (!past) decoding_.Drain(from, video, sound);
    if (stopping_.load() || refused) return;
    for (SourcePin* pin : {&video_, &audio_})
        if (pin->IsConnected()) pin->PeerPin()->EndOfStream();
}

}  // namespace

HRESULT CreateMediaFileSource(REFIID iid, void** object) { return MediaFileSource::Create(iid, object); }

}  // namespace platform::dshow
