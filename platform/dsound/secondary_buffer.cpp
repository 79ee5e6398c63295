// Secondary buffers: PCM data with its own cursor, rate, volume and pan,
// played once or looping by the mixer, locked for writing in one or two
// pieces (heard from the unlock on), and duplicated over the same memory.
// Every member takes the mixer's lock for the voice's state, so the main
// thread, the stream thread and the output's thread may call at once.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/dsound/mixer.h"
#include "platform/dsound/sound_objects.h"
#include "platform/profile/machine_profile.h"

namespace platform::dsound {

class SecondaryBuffer final : public com::Object<SecondaryBuffer, SoundBufferInterface> {
public:
    SecondaryBuffer(DWORD flags, std::shared_ptr<SoundData> data, uint32_t frequency, LONG volume, LONG pan)
        : flags_(flags) {
        voice_.data = std::move(data);
        voice_.frequency = frequency;
        voice_.volume = volume;
        voice_.pan = pan;
        voice_.gains = GainsOf(volume, pan);
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        TheMixer().Add(&voice_);
    }

    SecondaryBuffer* Secondary() override { return this; }

    HRESULT WINAPI GetCaps(LPDSBCAPS caps) override {
        if (caps == nullptr || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
        caps->dwFlags = flags_;
        caps->dwBufferBytes = Data().size;
        return DS_OK;
    }

    HRESULT WINAPI GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override {
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        // Everything before the cursor has been mixed: writing may start there.
        const DWORD cursor = static_cast<DWORD>(voice_.position >> 32) * Data().format.nBlockAlign;
        if (playCursor != nullptr) *playCursor = cursor;
        if (writeCursor != nullptr) *writeCursor = cursor;
        return DS_OK;
    }

    HRESULT WINAPI GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD written) override {
        if (format == nullptr) {
            if (written == nullptr) return DSERR_INVALIDPARAM;
            *written = sizeof(WAVEFORMATEX);
            return DS_OK;
        }
        if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
        *format = Data().format;
        if (written != nullptr) *written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }

    HRESULT WINAPI GetVolume(LONG* volume) override {
        if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
        if (volume == nullptr) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        *volume = voice_.volume;
        return DS_OK;
    }

    HRESULT WINAPI GetFrequency(LPDWORD frequency) override {
        if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
        if (frequency == nullptr) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        *frequency = voice_.frequency;
        return DS_OK;
    }

    HRESULT WINAPI GetStatus(LPDWORD status) override {
        if (status == nullptr) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        *status = voice_.playing ? (DSBSTATUS_PLAYING | (voice_.looping ? DSBSTATUS_LOOPING : 0)) : 0;
        return DS_OK;
    }

    HRESULT WINAPI Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD size1, LPVOID* part2, LPDWORD size2,
                        DWORD flags) override {
        if (part1 == nullptr || size1 == nullptr) return DSERR_INVALIDPARAM;
        *part1 = nullptr;
        *size1 = 0;
        if (part2 != nullptr) *part2 = nullptr;
        if (size2 != nullptr) *size2 = 0;
        const SoundData& data = Data();
        if (flags != 0 || bytes == 0 || offset >= data.size || bytes > data.size) return DSERR_INVALIDPARAM;
        const DWORD first = std::min(bytes, data.size - offset);
        const DWORD second = bytes - first;
        if (second != 0 && (part2 == nullptr || size2 == nullptr)) return DSERR_INVALIDPARAM;
        if (TakeInjectedFailure(Profile().failures.sound.locks)) return DSERR_GENERIC;
        *part1 = data.staged.get() + offset;
        *size1 = first;
        if (second != 0) {
            *part2 = data.staged.get();
            *size2 = second;
        }
        return DS_OK;
    }

    HRESULT WINAPI Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (reserved != 0 || priority != 0 || (flags & ~DSBPLAY_LOOPING) != 0) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        voice_.playing = true;
        voice_.looping = (flags & DSBPLAY_LOOPING) != 0;
        return DS_OK;
    }

    HRESULT WINAPI SetCurrentPosition(DWORD position) override {
        const SoundData& data = Data();
        if (position >= data.size) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        voice_.position = uint64_t{position / data.format.nBlockAlign} << 32;
        return DS_OK;
    }

    HRESULT WINAPI SetFormat(LPCWAVEFORMATEX) override { return DSERR_INVALIDCALL; }

    HRESULT WINAPI SetVolume(LONG volume) override {
        if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        voice_.volume = volume;
        voice_.gains = GainsOf(voice_.volume, voice_.pan);
        return DS_OK;
    }

    HRESULT WINAPI SetPan(LONG pan) override {
        if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
        if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        voice_.pan = pan;
        voice_.gains = GainsOf(voice_.volume, voice_.pan);
        return DS_OK;
    }

    HRESULT WINAPI SetFrequency(DWORD frequency) override {
        if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
        if (frequency == DSBFREQUENCY_ORIGINAL) frequency = Data().format.nSamplesPerSec;
        if (frequency < kLowestBufferRate || frequency > kHighestBufferRate) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        voice_.frequency = frequency;
        return DS_OK;
    }

    HRESULT WINAPI Stop() override {
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        voice_.playing = false;
        return DS_OK;
    }

    HRESULT WINAPI Unlock(LPVOID part1, DWORD size1, LPVOID part2, DWORD size2) override {
        if (!Inside(part1, size1) || (part2 != nullptr && !Inside(part2, size2))) return DSERR_INVALIDPARAM;
        if (TakeInjectedFailure(Profile().failures.sound.unlocks)) return DSERR_GENERIC;
        // The written bytes reach the mixer here, under its lock: never
        // half-written, and ordered before every later mix.
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        Commit(part1, size1);
        if (part2 != nullptr) Commit(part2, size2);
        return DS_OK;
    }

    // A duplicate over the same memory, stopped at 0, with the same settings.
    HRESULT Duplicate(LPDIRECTSOUNDBUFFER* duplicate) {
        uint32_t frequency;
        LONG volume;
        LONG pan;
        {
            std::lock_guard<std::mutex> guard(TheMixer().Lock());
            frequency = voice_.frequency;
            volume = voice_.volume;
            pan = voice_.pan;
        }
        SecondaryBuffer* made = new (std::nothrow) SecondaryBuffer(flags_, voice_.data, frequency, volume, pan);
        if (made == nullptr) return DSERR_OUTOFMEMORY;
        *duplicate = made;
        return DS_OK;
    }

private:
    ~SecondaryBuffer() override {
        std::lock_guard<std::mutex> guard(TheMixer().Lock());
        TheMixer().Remove(&voice_);
    }

    const SoundData& Data() const { return *voice_.data; }

    // Whether a piece handed back to Unlock lies in the memory Lock hands out.
    bool Inside(LPVOID part, DWORD size) const {
        const uintptr_t start = reinterpret_cast<uintptr_t>(Data().staged.get());
        const uintptr_t at = reinterpret_cast<uintptr_t>(part);
        return at >= start && at - start <= Data().size && size <= Data().size - (at - start);
    }

    // Under the mixer's lock: a written piece (Inside) becomes what plays.
    void Commit(LPVOID part, DWORD size) {
        const size_t at = static_cast<const uint8_t*>(part) - Data().staged.get();
        std::memcpy(voice_.data->bytes.get() + at, part, size);
    }

    const DWORD flags_;
    Voice voice_;
};

HRESULT CreateSecondaryBuffer(DWORD flags, const WAVEFORMATEX& format, DWORD bytes, LPDIRECTSOUNDBUFFER* buffer) {
    std::shared_ptr<SoundData> data;
    try {
        data = std::make_shared<SoundData>(format, bytes);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    SecondaryBuffer* made = new (std::nothrow) SecondaryBuffer(flags, std::move(data), format.nSamplesPerSec, 0, 0);
    if (made == nullptr) return DSERR_OUTOFMEMORY;
    *buffer = made;
    return DS_OK;
}

HRESULT DuplicateBuffer(IDirectSoundBuffer* original, LPDIRECTSOUNDBUFFER* duplicate) {
    SecondaryBuffer* secondary = static_cast<SoundBufferInterface*>(original)->Secondary();
    if (secondary == nullptr) return DSERR_INVALIDCALL;
    return secondary->Duplicate(duplicate);
}

}  // namespace platform::dsound
