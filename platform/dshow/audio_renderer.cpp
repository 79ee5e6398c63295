// The audio renderer: one input pin that takes 16-bit (or 8-bit) PCM, and a
// DirectSound stream buffer of two seconds that the samples are written into
// just ahead of the play cursor. The buffer plays while the graph runs; what
// has been played is cleared behind the cursor, so that a stream that falls
// behind is heard as silence rather than as old sound. A sample waits for
// room while the buffer is full; a flush or a stop wakes it. The end of the
// stream reaches the graph while running (or when it next runs). The volume
// is the buffer's (IBasicAudio).
#include "platform/dshow/audio_renderer.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/dshow/base_filter.h"
#include "platform/dshow/base_pin.h"
#include "platform/dsound/dsound.h"

namespace platform::dshow {
namespace {

constexpr DWORD kBufferSeconds = 2;
// How often a full buffer looks again for room: the buffer gives no
// notification when its cursor moves.
constexpr auto kRoomCheck = std::chrono::milliseconds(5);
constexpr WORD kExtensibleFormatTag = 0xFFFE;

class AudioRenderer;

class AudioRendererPin final : public RendererInputPin {
public:
    explicit AudioRendererPin(AudioRenderer& renderer);

protected:
    bool Takes(const AM_MEDIA_TYPE& mediaType) const override;
    // Without a sound device the stream cannot be rendered here.
    HRESULT CompleteConnect(IPin* connector, const AM_MEDIA_TYPE& mediaType) override;
    void BreakConnect() override;
    HRESULT Render(IMediaSample* sample) override;
    void OnBeginFlush() override;
    void OnEndFlush() override;

private:
    AudioRenderer& renderer_;
};

class AudioRenderer final : public FilterObject<AudioRenderer, IBasicAudio> {
public:
    AudioRenderer() : pin_(*this) {}
    ~AudioRenderer() override { ReleaseBuffer(); }

    HRESULT WINAPI put_Volume(LONG volume) override {
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return E_INVALIDARG;
        std::lock_guard<std::recursive_mutex> hold(Lock());
        volume_ = volume;
        if (buffer_) buffer_->SetVolume(volume);
        return S_OK;
    }

    HRESULT WINAPI get_Volume(LONG* volume) override {
        if (volume == nullptr) return E_POINTER;
        std::lock_guard<std::recursive_mutex> hold(Lock());
        *volume = volume_;
        return S_OK;
    }

    // The stream buffer for a connection in `format`; false when no sound
    // object or buffer can be had.
    bool MakeBuffer(const WAVEFORMATEX& format);
    void ReleaseBuffer();
    HRESULT Write(const BYTE* data, size_t bytes);
    // A flush wakes a write that waits for room, and drops what was written
    // and not played as it ends; both under the lock.
    void WakeWriter() { roomChanged_.notify_all(); }
    void DropUnplayed() {
        UpdatePlayedLocked();
        ClearAheadLocked();
        written_ = played_;
    }

protected:
    CLSID ClassId() const override { return CLSID_AudioRenderer; }
    std::vector<BasePin*> Pins() override { return {&pin_}; }
    void OnPaused() override {
        if (buffer_) buffer_->Stop();
    }
    void OnRunning() override {
        if (buffer_) buffer_->Play(0, 0, DSBPLAY_LOOPING);
    }
    void OnStopping() override {
        if (buffer_) buffer_->Stop();
        ClearLocked();
        roomChanged_.notify_all();
    }

private:
    // Moves `played_` on by what the cursor passed and clears it.
    void UpdatePlayedLocked();
    void Fill(DWORD offset, DWORD bytes, const BYTE* data);
    void ClearAheadLocked();
    void ClearLocked();

    AudioRendererPin pin_;
    // Under the filter's lock: the buffer and its positions.
    std::condition_variable_any roomChanged_;
    LONG volume_ = 0;

    Ref<IDirectSound> sound_;
    Ref<IDirectSoundBuffer> buffer_;
    DWORD size_ = 0;
    DWORD block_ = 1;
    BYTE silence_ = 0;
    // Bytes since the last stop: played (behind the cursor) and written.
    uint64_t played_ = 0;
    uint64_t written_ = 0;
    DWORD cursor_ = 0;
};

bool AudioRenderer::MakeBuffer(const WAVEFORMATEX& format) {
    std::lock_guard<std::recursive_mutex> hold(Lock());
    if (buffer_) return true;
    void* made = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &made)) ||
        made == nullptr)
        return false;
    Ref<IDirectSound> sound(static_cast<IDirectSound*>(made));
    if (FAILED(sound->Initialize(nullptr))) return false;
    sound->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    WAVEFORMATEX wave = format;
    wave.cbSize = 0;
    DSBUFFERDESC description{};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = wave.nAvgBytesPerSec * kBufferSeconds;
    description.lpwfxFormat = &wave;
    Ref<IDirectSoundBuffer> buffer;
    if (FAILED(sound->CreateSoundBuffer(&description, buffer.out(), nullptr)) || !buffer) return false;
    sound_ = std::move(sound);
    buffer_ = std::move(buffer);
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
    std::lock_guard<std::recursive_mutex> hold(Lock());
    if (buffer_) buffer_->Stop();
    buffer_ = Ref<IDirectSoundBuffer>();
    sound_ = Ref<IDirectSound>();
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
    if (!buffer_ || size_ == 0) return;
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
    if (!buffer_ || written_ <= played_) return;
    Fill(static_cast<DWORD>(played_ % size_), static_cast<DWORD>(written_ - played_), nullptr);
}

void AudioRenderer::ClearLocked() {
    played_ = 0;
    written_ = 0;
    cursor_ = 0;
    if (!buffer_) return;
    buffer_->SetCurrentPosition(0);
    Fill(0, size_, nullptr);
}

HRESULT AudioRenderer::Write(const BYTE* data, size_t bytes) {
    std::unique_lock<std::recursive_mutex> hold(Lock());
    // Whole blocks only.
    bytes -= bytes % block_;
    while (bytes > 0) {
        if (IsStopped()) return VFW_E_WRONG_STATE;
        if (pin_.IsFlushing()) return S_FALSE;
        if (!buffer_) return S_OK;
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

AudioRendererPin::AudioRendererPin(AudioRenderer& renderer)
    : RendererInputPin(renderer, L"Audio Input pin (rendered)"), renderer_(renderer) {}

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

bool AudioRendererPin::Takes(const AM_MEDIA_TYPE& mediaType) const {
    WAVEFORMATEX wave{};
    return PlainPcmFormat(mediaType, wave);
}

HRESULT AudioRendererPin::CompleteConnect(IPin* connector, const AM_MEDIA_TYPE& mediaType) {
    WAVEFORMATEX wave{};
    PlainPcmFormat(mediaType, wave);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    return renderer_.MakeBuffer(wave) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

void AudioRendererPin::BreakConnect() { renderer_.ReleaseBuffer(); }

HRESULT AudioRendererPin::Render(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || data == nullptr) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    return renderer_.Write(data, length > 0 ? static_cast<size_t>(length) : 0);
}

void AudioRendererPin::OnBeginFlush() { renderer_.WakeWriter(); }

void AudioRendererPin::OnEndFlush() { renderer_.DropUnplayed(); }

}  // namespace

HRESULT CreateAudioRenderer(REFIID iid, void** object) { return AudioRenderer::Create(iid, object); }

}  // namespace platform::dshow
