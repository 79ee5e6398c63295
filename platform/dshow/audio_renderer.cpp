// The audio renderer: one input pin that takes 16-bit (or 8-bit) PCM, and a
// DirectSound stream buffer of two seconds that the samples are written into
// just ahead of the play cursor. The buffer plays while the graph runs; what
// has been played is cleared behind the cursor, so that a stream that falls
// behind is heard as silence rather than as old sound. A sample waits for
// room while the buffer is full; a flush or a stop wakes it. The end of the
// stream reaches the graph while running (or when it next runs). The volume
// is the buffer's (IBasicAudio).
#include "platform/dshow/audio_renderer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>

#include "platform/dshow/graph_objects.h"
#include "platform/dsound/dsound.h"

namespace platform::dshow {
namespace {

constexpr DWORD kBufferSeconds = 2;
// How often a full buffer looks again for room: the buffer gives no
// notification when its cursor moves.
constexpr auto kRoomCheck = std::chrono::milliseconds(5);
constexpr WORD kExtensibleFormatTag = 0xFFFE;

class AudioRenderer;

class AudioRendererPin final : public IPin, public IMemInputPin {
public:
    explicit AudioRendererPin(AudioRenderer* filter) : filter_(filter) {}
    ~AudioRendererPin() {
        if (connected_ != nullptr) connected_->Release();
        FreeMediaType(type_);
    }

    HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) {
            *object = static_cast<IPin*>(this);
        } else if (IsEqualIID(iid, IID_IMemInputPin)) {
            *object = static_cast<IMemInputPin*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;

    HRESULT WINAPI Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override { return E_UNEXPECTED; }
    HRESULT WINAPI ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT WINAPI Disconnect() override;
    HRESULT WINAPI ConnectedTo(IPin** pin) override {
        if (pin == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        *pin = connected_;
        if (connected_ == nullptr) return VFW_E_NOT_CONNECTED;
        connected_->AddRef();
        return S_OK;
    }
    HRESULT WINAPI ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override {
        if (mediaType == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        if (connected_ == nullptr) {
            *mediaType = AM_MEDIA_TYPE{};
            return VFW_E_NOT_CONNECTED;
        }
        return CopyMediaType(*mediaType, type_) ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT WINAPI QueryPinInfo(PIN_INFO* info) override;
    HRESULT WINAPI QueryDirection(PIN_DIRECTION* direction) override {
        if (direction == nullptr) return E_POINTER;
        *direction = PINDIR_INPUT;
        return S_OK;
    }
    HRESULT WINAPI QueryAccept(const AM_MEDIA_TYPE* mediaType) override {
        if (mediaType == nullptr) return E_POINTER;
        return Takes(*mediaType) ? S_OK : S_FALSE;
    }
    HRESULT WINAPI EnumMediaTypes(IEnumMediaTypes** enumerator) override {
        return MakeEmptyMediaTypeEnumerator(enumerator);
    }
    HRESULT WINAPI EndOfStream() override;
    HRESULT WINAPI BeginFlush() override;
    HRESULT WINAPI EndFlush() override;
    HRESULT WINAPI NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override { return S_OK; }

    HRESULT WINAPI GetAllocator(IMemAllocator** allocator) override {
        if (allocator != nullptr) *allocator = nullptr;
        return VFW_E_NO_ALLOCATOR;
    }
    HRESULT WINAPI NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override {
        return allocator != nullptr ? S_OK : E_POINTER;
    }
    HRESULT WINAPI GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override { return E_NOTIMPL; }
    HRESULT WINAPI Receive(IMediaSample* sample) override;

    static bool Takes(const AM_MEDIA_TYPE& mediaType);
    bool Connected() {
        std::lock_guard<std::mutex> hold(lock_);
        return connected_ != nullptr;
    }

private:
    AudioRenderer* filter_;
    std::mutex lock_;
    IPin* connected_ = nullptr;
    AM_MEDIA_TYPE type_{};
};

class AudioRenderer final : public com::Object<AudioRenderer, IBaseFilter, IBasicAudio> {
public:
    AudioRenderer() : pin_(this) {}
    ~AudioRenderer() override {
        ReleaseBuffer();
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
        *classId = CLSID_AudioRenderer;
        return S_OK;
    }

    HRESULT WINAPI Stop() override {
        std::lock_guard<std::mutex> hold(lock_);
        state_.store(State_Stopped);
        endOfStream_ = false;
        flushing_ = false;
        if (buffer_ != nullptr) buffer_->Stop();
        ClearLocked();
        roomChanged_.notify_all();
        return S_OK;
    }

    HRESULT WINAPI Pause() override {
        std::lock_guard<std::mutex> hold(lock_);
        if (state_.load() == State_Stopped) endOfStream_ = false;
        if (buffer_ != nullptr) buffer_->Stop();
        state_.store(State_Paused);
        return S_OK;
    }

    HRESULT WINAPI Run(REFERENCE_TIME start) override {
        std::lock_guard<std::mutex> hold(lock_);
        if (state_.load() == State_Stopped) endOfStream_ = false;
        if (buffer_ != nullptr) buffer_->Play(0, 0, DSBPLAY_LOOPING);
        state_.store(State_Running);
        if (endOfStream_ && !reported_) Report();
        return S_OK;
    }

    HRESULT WINAPI GetState(DWORD milliseconds, FILTER_STATE* state) override {
        if (state == nullptr) return E_POINTER;
        *state = state_.load();
        return S_OK;
    }

    HRESULT WINAPI SetSyncSource(IReferenceClock* clock) override {
        std::lock_guard<std::mutex> hold(lock_);
        return HoldReferenceClock(clock_, clock);
    }

    HRESULT WINAPI GetSyncSource(IReferenceClock** clock) override {
        if (clock == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        return HandOutReferenceClock(clock_, clock);
    }

    HRESULT WINAPI EnumPins(IEnumPins** enumerator) override {
        std::vector<Ref<IPin>> pins;
        pins.push_back(Ref<IPin>::Share(&pin_));
        return MakePinEnumerator(std::move(pins), enumerator);
    }

    HRESULT WINAPI FindPin(LPCWSTR id, IPin** pin) override {
        if (id == nullptr || pin == nullptr) return E_POINTER;
        *pin = nullptr;
        if (std::wcscmp(id, kPinName) != 0) return VFW_E_NOT_FOUND;
        *pin = &pin_;
        pin_.AddRef();
        return S_OK;
    }

    HRESULT WINAPI QueryFilterInfo(FILTER_INFO* info) override {
        if (info == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        return DescribeFilter(name_, graph_, info);
    }

    HRESULT WINAPI JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override {
        std::lock_guard<std::mutex> hold(lock_);
        graph_ = graph;
        sink_ = nullptr;
        // Weak, as the graph holds this filter.
        if (graph != nullptr) sink_ = Ref<IMediaEventSink>::Query(graph, IID_IMediaEventSink).get();
        name_ = name != nullptr ? name : L"";
        return S_OK;
    }

    HRESULT WINAPI put_Volume(LONG volume) override {
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return E_INVALIDARG;
        std::lock_guard<std::mutex> hold(lock_);
        volume_ = volume;
        if (buffer_ != nullptr) buffer_->SetVolume(volume);
        return S_OK;
    }

    HRESULT WINAPI get_Volume(LONG* volume) override {
        if (volume == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> hold(lock_);
        *volume = volume_;
        return S_OK;
    }

    FILTER_STATE State() const { return state_.load(); }

    // The stream buffer for a connection in `format`; false when no sound
    // object or buffer can be had.
    bool MakeBuffer(const WAVEFORMATEX& format);
    void ReleaseBuffer();
    HRESULT Write(const BYTE* data, size_t bytes);
    void BeginFlush() {
        std::lock_guard<std::mutex> hold(lock_);
        flushing_ = true;
        endOfStream_ = false;
        roomChanged_.notify_all();
    }
    void EndFlush() {
        std::lock_guard<std::mutex> hold(lock_);
        flushing_ = false;
        // What was written and not played is dropped.
        UpdatePlayedLocked();
        ClearAheadLocked();
        written_ = played_;
    }
    HRESULT EndOfStream() {
        std::lock_guard<std::mutex> hold(lock_);
        if (state_.load() == State_Stopped) return VFW_E_WRONG_STATE;
        if (flushing_ || endOfStream_) return S_OK;
        endOfStream_ = true;
        reported_ = false;
        if (state_.load() == State_Running) Report();
        return S_OK;
    }

    static constexpr const WCHAR* kPinName = L"Audio Input pin (rendered)";

private:
    void Report() {
        reported_ = true;
        if (sink_ != nullptr)
            sink_->Notify(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    }
    // Moves `played_` on by what the cursor passed and clears it.
    void UpdatePlayedLocked();
    void Fill(DWORD offset, DWORD bytes, const BYTE* data);
    void ClearAheadLocked();
    void ClearLocked();

    AudioRendererPin pin_;
    std::mutex lock_;  // state, the buffer and its positions
    std::condition_variable roomChanged_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    IReferenceClock* clock_ = nullptr;
    IFilterGraph* graph_ = nullptr;
    IMediaEventSink* sink_ = nullptr;
    std::wstring name_;
    bool endOfStream_ = false;
    bool reported_ = false;
    bool flushing_ = false;
    LONG volume_ = 0;

    IDirectSound* sound_ = nullptr;
    IDirectSoundBuffer* buffer_ = nullptr;
    DWORD size_ = 0;
    DWORD block_ = 1;
    BYTE silence_ = 0;
    // Bytes since the last stop: played (behind the cursor) and written.
    uint64_t played_ = 0;
    uint64_t written_ = 0;
    DWORD cursor_ = 0;
};

bool AudioRenderer::MakeBuffer(const WAVEFORMATEX& format) {
    std::lock_guard<std::mutex> hold(lock_);
    if (buffer_ != nullptr) return true;
    void* made = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &made)) ||
        made == nullptr)
        return false;
    sound_ = static_cast<IDirectSound*>(made);
    if (FAILED(sound_->Initialize(nullptr))) {
        sound_->Release();
        sound_ = nullptr;
        return false;
    }
    sound_->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    WAVEFORMATEX wave = format;
    wave.cbSize = 0;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = wave.nAvgBytesPerSec * kBufferSeconds;
    description.lpwfxFormat = &wave;
    if (FAILED(sound_->CreateSoundBuffer(&description, &buffer_, nullptr)) || buffer_ == nullptr) {
        buffer_ = nullptr;
        sound_->Release();
        sound_ = nullptr;
        return false;
    }
    DSBCAPS caps{};
    caps.dwSize = sizeof caps;
    buffer_->GetCaps(&caps);
    size_ = caps.dwBufferBytes;
    block_ = wave.nBlockAlign > 0 ? wave.nBlockAlign : 1;
    silence_ = wave.wBitsPerSample == 8 ? 0x80 : 0;
    buffer_->SetVolume(volume_);
    ClearLocked();
    return true;
}

void AudioRenderer::ReleaseBuffer() {
    std::lock_guard<std::mutex> hold(lock_);
    if (buffer_ != nullptr) {
        buffer_->Stop();
        buffer_->Release();
    }
    buffer_ = nullptr;
    if (sound_ != nullptr) sound_->Release();
    sound_ = nullptr;
    size_ = 0;
}

void AudioRenderer::Fill(DWORD offset, DWORD bytes, const BYTE* data) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD size1 = 0;
    DWORD size2 = 0;
    if (bytes == 0 || FAILED(buffer_->Lock(offset, bytes, &part1, &size1, &part2, &size2, 0))) return;
    if (data != nullptr) {
        std::memcpy(part1, data, size1);
        if (part2 != nullptr) std::memcpy(part2, data + size1, size2);
    } else {
        std::memset(part1, silence_, size1);
        if (part2 != nullptr) std::memset(part2, silence_, size2);
    }
    buffer_->Unlock(part1, size1, part2, size2);
}

void AudioRenderer::UpdatePlayedLocked() {
    if (buffer_ == nullptr || size_ == 0) return;
    DWORD cursor = 0;
    if (FAILED(buffer_->GetCurrentPosition(&cursor, nullptr))) return;
    const DWORD passed = (cursor + size_ - cursor_) % size_;
    if (passed > 0) Fill(cursor_, passed, nullptr);
    cursor_ = cursor;
    played_ += passed;
    // Played past what was written: the next sound goes at the cursor.
    if (written_ < played_) written_ = played_;
}

void AudioRenderer::ClearAheadLocked() {
    if (buffer_ == nullptr || written_ <= played_) return;
    Fill(static_cast<DWORD>(played_ % size_), static_cast<DWORD>(written_ - played_), nullptr);
}

void AudioRenderer::ClearLocked() {
    played_ = 0;
    written_ = 0;
    cursor_ = 0;
    if (buffer_ == nullptr) return;
    buffer_->SetCurrentPosition(0);
    Fill(0, size_, nullptr);
}

HRESULT AudioRenderer::Write(const BYTE* data, size_t bytes) {
    std::unique_lock<std::mutex> hold(lock_);
    // Whole blocks only.
    bytes -= bytes % block_;
    while (bytes > 0) {
        if (state_.load() == State_Stopped) return VFW_E_WRONG_STATE;
        if (flushing_) return S_FALSE;
        if (buffer_ == nullptr) return S_OK;
        UpdatePlayedLocked();
        // The buffer loops: what is written stays one block short of the
        // cursor, whose own block is being played.
        const uint64_t room = size_ - block_ - (written_ - played_);
        if (room == 0 || room > size_) {
            roomChanged_.wait_for(hold, kRoomCheck);
            continue;
        }
        const DWORD piece = static_cast<DWORD>(bytes < room ? bytes : room);
        Fill(static_cast<DWORD>((cursor_ + (written_ - played_)) % size_), piece, data);
        written_ += piece;
        data += piece;
        bytes -= piece;
    }
    return S_OK;
}

ULONG WINAPI AudioRendererPin::AddRef() { return filter_->AddRef(); }

ULONG WINAPI AudioRendererPin::Release() { return filter_->Release(); }

// The plain record of a PCM format: tag 1, or the extensible form (tag
// 0xFFFE) whose sample format is PCM. False for anything else.
bool PlainPcmFormat(const AM_MEDIA_TYPE& mediaType, WAVEFORMATEX& wave) {
    if (!IsEqualGUID(mediaType.majortype, MEDIATYPE_Audio) || !IsEqualGUID(mediaType.subtype, MEDIASUBTYPE_PCM) ||
        !IsEqualGUID(mediaType.formattype, FORMAT_WaveFormatEx) || mediaType.pbFormat == nullptr ||
        mediaType.cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD))
        return false;
    wave = WAVEFORMATEX{};
    std::memcpy(&wave, mediaType.pbFormat,
                mediaType.cbFormat < sizeof wave ? mediaType.cbFormat : static_cast<ULONG>(sizeof wave));
    if (wave.wFormatTag == kExtensibleFormatTag) {
        // The sample format's GUID follows the valid bits and speaker mask.
        constexpr size_t kSubFormatAt = sizeof(WAVEFORMATEX) + 6;
        GUID subFormat{};
        if (wave.cbSize < 22 || mediaType.cbFormat < kSubFormatAt + sizeof subFormat) return false;
        std::memcpy(&subFormat, mediaType.pbFormat + kSubFormatAt, sizeof subFormat);
        if (!IsEqualGUID(subFormat, MEDIASUBTYPE_PCM)) return false;
        wave.wFormatTag = WAVE_FORMAT_PCM;
    }
    wave.cbSize = 0;
    return wave.wFormatTag == WAVE_FORMAT_PCM && (wave.nChannels == 1 || wave.nChannels == 2) &&
           (wave.wBitsPerSample == 8 || wave.wBitsPerSample == 16) && wave.nSamplesPerSec > 0 &&
           wave.nBlockAlign == wave.nChannels * wave.wBitsPerSample / 8;
}

bool AudioRendererPin::Takes(const AM_MEDIA_TYPE& mediaType) {
    WAVEFORMATEX wave{};
    return PlainPcmFormat(mediaType, wave);
}

HRESULT WINAPI AudioRendererPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) {
    if (connector == nullptr || mediaType == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> hold(lock_);
    if (connected_ != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (DirectionOf(connector) != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    WAVEFORMATEX wave{};
    if (!PlainPcmFormat(*mediaType, wave)) return VFW_E_TYPE_NOT_ACCEPTED;
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    // Without a sound device the stream cannot be rendered here.
    if (!filter_->MakeBuffer(wave)) return VFW_E_TYPE_NOT_ACCEPTED;
    FreeMediaType(type_);
    if (!CopyMediaType(type_, *mediaType)) return E_OUTOFMEMORY;
    connected_ = connector;
    connected_->AddRef();
    return S_OK;
}

HRESULT WINAPI AudioRendererPin::Disconnect() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
        if (connected_ == nullptr) return S_FALSE;
        connected_->Release();
        connected_ = nullptr;
        FreeMediaType(type_);
    }
    filter_->ReleaseBuffer();
    return S_OK;
}

HRESULT WINAPI AudioRendererPin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = PINDIR_INPUT;
    std::wcsncpy(info->achName, AudioRenderer::kPinName, 127);
    info->achName[127] = L'\0';
    return S_OK;
}

HRESULT WINAPI AudioRendererPin::EndOfStream() {
    if (!Connected()) return VFW_E_NOT_CONNECTED;
    return filter_->EndOfStream();
}

HRESULT WINAPI AudioRendererPin::BeginFlush() {
    filter_->BeginFlush();
    return S_OK;
}

HRESULT WINAPI AudioRendererPin::EndFlush() {
    filter_->EndFlush();
    return S_OK;
}

HRESULT WINAPI AudioRendererPin::Receive(IMediaSample* sample) {
    if (sample == nullptr) return E_POINTER;
    if (!Connected()) return VFW_E_NOT_CONNECTED;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || data == nullptr) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    return filter_->Write(data, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

HRESULT CreateAudioRenderer(REFIID iid, void** object) { return AudioRenderer::Create(iid, object); }

}  // namespace platform::dshow
