// The sound object as CoCreateInstance makes it: initialisation on one of
// the listed devices (which holds the output open until the object goes),
// the cooperative level, the capabilities, and the making and duplicating
// of buffers.
#include <mutex>

#include "platform/dsound/sound_objects.h"
#include "platform/dsound/sound_output.h"
#include "platform/profile/machine_profile.h"

namespace platform::dsound {
namespace {

// The flags a secondary buffer may have; the others ask for what is left out.
constexpr DWORD kSecondaryFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                  DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;

class DirectSound final : public com::Object<DirectSound, IDirectSound> {
public:
    HRESULT WINAPI Initialize(const GUID* device) override {
        std::lock_guard<std::mutex> guard(initialising_);
        if (initialised_) return DSERR_ALREADYINITIALIZED;
        if (Profile().failures.sound.initialize || Profile().sound.devices.empty()) return DSERR_NODRIVER;
        if (device != nullptr && !IsListedDevice(*device)) return DSERR_NODRIVER;
        ticket_ = HoldOutput();
        initialised_ = true;
        return DS_OK;
    }

    HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD level) override {
        if (!initialised_) return DSERR_UNINITIALIZED;
        if (window == nullptr || (level != DSSCL_NORMAL && level != DSSCL_PRIORITY)) return DSERR_INVALIDPARAM;
        if (Profile().failures.sound.cooperativeLevel) return DSERR_GENERIC;
        state_->cooperativeLevel = level;
        return DS_OK;
    }

    HRESULT WINAPI GetCaps(LPDSCAPS caps) override {
        if (!initialised_) return DSERR_UNINITIALIZED;
        if (caps == nullptr || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
        const SoundCaps& profile = Profile().sound.caps;
        DWORD flags = DSCAPS_CONTINUOUSRATE;
        if (profile.primaryMono) flags |= DSCAPS_PRIMARYMONO;
        if (profile.primaryStereo) flags |= DSCAPS_PRIMARYSTEREO;
        if (profile.primary8Bit) flags |= DSCAPS_PRIMARY8BIT;
        if (profile.primary16Bit) flags |= DSCAPS_PRIMARY16BIT;
        if (profile.secondaryMono) flags |= DSCAPS_SECONDARYMONO;
        if (profile.secondaryStereo) flags |= DSCAPS_SECONDARYSTEREO;
        if (profile.secondary8Bit) flags |= DSCAPS_SECONDARY8BIT;
        if (profile.secondary16Bit) flags |= DSCAPS_SECONDARY16BIT;
        caps->dwFlags = flags;
        caps->dwMinSecondarySampleRate = profile.minSecondaryRate;
        caps->dwMaxSecondarySampleRate = profile.maxSecondaryRate;
        caps->dwTotalHwMemBytes = profile.totalHardwareMemory;
        caps->dwFreeHwMemBytes = profile.freeHardwareMemory;
        return DS_OK;
    }

    HRESULT WINAPI CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer,
                                     LPUNKNOWN outer) override {
        if (buffer == nullptr) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (!initialised_) return DSERR_UNINITIALIZED;
        if (outer != nullptr) return DSERR_NOAGGREGATION;
        if (description == nullptr || description->dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
        const SoundFailures& failures = Profile().failures.sound;
        if (description->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if ((description->dwFlags & ~(DSBCAPS_PRIMARYBUFFER | DSBCAPS_GLOBALFOCUS)) != 0 ||
                description->dwBufferBytes != 0 || description->lpwfxFormat != nullptr)
                return DSERR_INVALIDPARAM;
            if (failures.createPrimaryBuffer) return DSERR_OUTOFMEMORY;
            return CreatePrimaryBuffer(state_, buffer);
        }
        if ((description->dwFlags & ~kSecondaryFlags) != 0 || description->lpwfxFormat == nullptr)
            return DSERR_INVALIDPARAM;
        const WAVEFORMATEX& format = *description->lpwfxFormat;
        if (!FormatAllowed(format, false)) return DSERR_BADFORMAT;
        const DWORD bytes = description->dwBufferBytes - description->dwBufferBytes % format.nBlockAlign;
        if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
        if (TakeInjectedFailure(Profile().failures.sound.createBuffers)) return DSERR_OUTOFMEMORY;
        return CreateSecondaryBuffer(description->dwFlags, format, bytes, buffer);
    }

    HRESULT WINAPI DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override {
        if (duplicate == nullptr) return DSERR_INVALIDPARAM;
        *duplicate = nullptr;
        if (!initialised_) return DSERR_UNINITIALIZED;
        if (original == nullptr) return DSERR_INVALIDPARAM;
        if (TakeInjectedFailure(Profile().failures.sound.duplicates)) return DSERR_OUTOFMEMORY;
        return DuplicateBuffer(original, duplicate);
    }

private:
    ~DirectSound() override {
        if (initialised_) ReleaseOutput(ticket_);
    }

    std::shared_ptr<DeviceState> state_ = std::make_shared<DeviceState>();
    std::mutex initialising_;
    std::atomic<bool> initialised_{false};
    OutputTicket ticket_;
};

}  // namespace

HRESULT CreateDirectSound(REFIID iid, void** object) { return DirectSound::Create(iid, object); }

}  // namespace platform::dsound
