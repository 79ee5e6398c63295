// The media file source: loading a file (its wide name back to the system's
// path and on to the host's), an output pin per decodable stream that offers
// its type and agrees an allocator with its peer, the streaming thread that
// decodes from the pause until the stop and delivers each stream to its pin,
// and seeking, which flushes the streams and starts them again at the new
// position.
#include "platform/dshow/media_file_source.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dshow/base_filter.h"
#include "platform/dshow/base_pin.h"
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

// One stream of the file: the first video stream as 24-bit RGB, or the
// first audio stream as 16-bit PCM.
class SourcePin final : public OutputPin {
public:
    SourcePin(MediaFileSource& source, const WCHAR* name, bool video);

protected:
    bool OfferedType(AM_MEDIA_TYPE& type) override;
    void SizeBuffers(ALLOCATOR_PROPERTIES& wanted, LONG& leastBuffer) override;

private:
    MediaFileSource& source_;
    const bool video_;
};

class MediaFileSource final : public FilterObject<MediaFileSource, IFileSourceFilter, IMediaSeeking> {
public:
    MediaFileSource() : video_(*this, L"Video", true), audio_(*this, L"Audio", false) {}
    ~MediaFileSource() override { StopStreaming(); }

    HRESULT WINAPI Load(LPCWSTR fileName, const AM_MEDIA_TYPE* mediaType) override {
        if (fileName == nullptr) return E_POINTER;
        std::lock_guard<std::recursive_mutex> hold(Lock());
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

    HRESULT WINAPI GetStopPosition(LONGLONG* stop) override {
        if (stop == nullptr) return E_POINTER;
        std::lock_guard<std::recursive_mutex> hold(Lock());
        *stop = stop_ >= 0 ? stop_ : decoding_.Duration();
        return S_OK;
    }

    HRESULT WINAPI GetCurrentPosition(LONGLONG* current) override {
        if (current == nullptr) return E_POINTER;
        *current = reached_.load();
        return S_OK;
    }

    HRESULT WINAPI SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;

    const MediaFileDecoding& Decoding() const { return decoding_; }

protected:
    CLSID ClassId() const override { return CLSID_MediaFileSource; }
    // A pin for each stream the file has.
    std::vector<BasePin*> Pins() override {
        std::vector<BasePin*> pins;
        if (decoding_.HasVideo()) pins.push_back(&video_);
        if (decoding_.HasAudio()) pins.push_back(&audio_);
        return pins;
    }
    HRESULT OnStarting() override { return StartStreaming(); }
    void OnStopped() override {
        StopStreaming();
        std::lock_guard<std::recursive_mutex> hold(Lock());
        // The next run starts again from the position last set.
        seekPending_ = true;
    }

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

SourcePin::SourcePin(MediaFileSource& source, const WCHAR* name, bool video)
    : OutputPin(source, name), source_(source), video_(video) {}

bool SourcePin::OfferedType(AM_MEDIA_TYPE& type) {
    const MediaFileDecoding& decoding = source_.Decoding();
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

void SourcePin::SizeBuffers(ALLOCATOR_PROPERTIES& wanted, LONG& leastBuffer) {
    // A few whole pictures, or a few pieces of sound.
    const MediaFileDecoding& decoding = source_.Decoding();
    leastBuffer = video_ ? decoding.Pitch() * decoding.Height()
                         : decoding.Rate() / kSoundPiecesPerSecond * decoding.Channels() * 2;
    if (wanted.cBuffers <= 0) wanted.cBuffers = video_ ? 2 : 4;
    if (wanted.cbBuffer < leastBuffer) wanted.cbBuffer = leastBuffer;
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
    std::lock_guard<std::recursive_mutex> hold(Lock());
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
    if (!IsStopped()) return StartStreaming();
    return S_OK;
}

bool MediaFileSource::Deliver(SourcePin& pin, const BYTE* data, size_t bytes, REFERENCE_TIME start,
                              REFERENCE_TIME stop, bool& first) {
    if (stopping_.load()) return false;
    Ref<IMediaSample> sample;
    if (FAILED(pin.Allocator()->GetBuffer(sample.out(), nullptr, nullptr, 0)) || !sample) return false;
    BYTE* to = nullptr;
    sample->GetPointer(&to);
    if (to == nullptr || static_cast<size_t>(sample->GetSize()) < bytes) return false;
    std::memcpy(to, data, bytes);
    sample->SetActualDataLength(static_cast<LONG>(bytes));
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    if (first) sample->SetDiscontinuity(TRUE);
    first = false;
    // Downstream refused or flushes: the stream ends here.
    return pin.Peer()->Receive(sample.get()) == S_OK;
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
