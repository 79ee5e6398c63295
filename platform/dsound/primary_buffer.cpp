// The primary buffer: the output's format, which the cooperative level
// DSSCL_PRIORITY lets the program set. Its data cannot be written here, so
// it has no cursor, no lock and no controls.
#include <new>

#include "platform/dsound/sound_objects.h"
#include "platform/dsound/sound_output.h"
#include "platform/profile/machine_profile.h"

namespace platform::dsound {
namespace {

WAVEFORMATEX WaveFormatOf(const OutputFormat& output) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(output.channels);
    format.nSamplesPerSec = output.frequency;
    format.wBitsPerSample = static_cast<WORD>(output.bits);
    format.nBlockAlign = static_cast<WORD>(output.channels * output.bits / 8);
    format.nAvgBytesPerSec = output.frequency * format.nBlockAlign;
    return format;
}

class PrimaryBuffer final : public com::Object<PrimaryBuffer, SoundBufferInterface> {
public:
    explicit PrimaryBuffer(std::shared_ptr<DeviceState> device) : device_(std::move(device)) {}

    SecondaryBuffer* Secondary() override { return nullptr; }

    HRESULT WINAPI GetCaps(LPDSBCAPS caps) override {
        if (caps == nullptr || caps->dwSize != sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
        caps->dwFlags = DSBCAPS_PRIMARYBUFFER;
        // One second of the output.
        caps->dwBufferBytes = WaveFormatOf(CurrentOutputFormat()).nAvgBytesPerSec;
        return DS_OK;
    }

    HRESULT WINAPI GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD written) override {
        if (format == nullptr) {
            if (written == nullptr) return DSERR_INVALIDPARAM;
            *written = sizeof(WAVEFORMATEX);
            return DS_OK;
        }
        if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
        *format = WaveFormatOf(CurrentOutputFormat());
        if (written != nullptr) *written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }

    HRESULT WINAPI SetFormat(LPCWAVEFORMATEX format) override {
        if (format == nullptr) return DSERR_INVALIDPARAM;
        if (device_->cooperativeLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
        if (Profile().failures.sound.primaryFormat) return DSERR_GENERIC;
        if (!FormatAllowed(*format, true)) return DSERR_BADFORMAT;
        SetOutputFormat(OutputFormat{format->nSamplesPerSec, format->nChannels, format->wBitsPerSample});
        return DS_OK;
    }

    // The primary buffer plays all the time that anything is mixed; playing
    // it is only remembered.
    HRESULT WINAPI Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (reserved != 0 || priority != 0 || flags != DSBPLAY_LOOPING) return DSERR_INVALIDPARAM;
        device_->primaryPlaying = true;
        return DS_OK;
    }

    HRESULT WINAPI Stop() override {
        device_->primaryPlaying = false;
        return DS_OK;
    }

    HRESULT WINAPI GetStatus(LPDWORD status) override {
        if (status == nullptr) return DSERR_INVALIDPARAM;
        *status = device_->primaryPlaying ? (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING) : 0;
        return DS_OK;
    }

    HRESULT WINAPI GetCurrentPosition(LPDWORD, LPDWORD) override { return DSERR_INVALIDCALL; }
    HRESULT WINAPI SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT WINAPI Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override {
        return DSERR_INVALIDCALL;
    }
    HRESULT WINAPI Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT WINAPI GetVolume(LONG*) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT WINAPI GetFrequency(LPDWORD) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT WINAPI SetVolume(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT WINAPI SetPan(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT WINAPI SetFrequency(DWORD) override { return DSERR_CONTROLUNAVAIL; }

private:
    ~PrimaryBuffer() override = default;

    std::shared_ptr<DeviceState> device_;
};

}  // namespace

HRESULT CreatePrimaryBuffer(const std::shared_ptr<DeviceState>& device, LPDIRECTSOUNDBUFFER* buffer) {
    PrimaryBuffer* made = new (std::nothrow) PrimaryBuffer(device);
    if (made == nullptr) return DSERR_OUTOFMEMORY;
    *buffer = made;
    return DS_OK;
}

}  // namespace platform::dsound
