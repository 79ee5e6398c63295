// Private to platform/dsound: what the sound object, its buffers and the
// device list share.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/com/object_base.h"
#include "platform/dsound/dsound.h"

namespace platform::dsound {

class SecondaryBuffer;

// The buffer interface as our buffers offer it: one more member, which
// tells a secondary buffer from the primary one.
struct SoundBufferInterface : IDirectSoundBuffer {
    virtual SecondaryBuffer* Secondary() = 0;
};

}  // namespace platform::dsound

namespace platform::com {
template <>
struct InterfaceId<IDirectSound> {
    static constexpr const GUID& value = IID_IDirectSound;
};
template <>
struct InterfaceId<dsound::SoundBufferInterface> {
    static constexpr const GUID& value = IID_IDirectSoundBuffer;
};
}  // namespace platform::com

namespace platform::dsound {

// Makes a sound object, not yet initialised: the class factory behind
// CoCreateInstance.
HRESULT CreateDirectSound(REFIID iid, void** object);

// The GUID of the device at `index` of the profile's list, and back.
GUID DeviceGuid(uint32_t index);
bool IsListedDevice(const GUID& guid);

// What a sound object shares with the primary buffers it makes.
struct DeviceState {
    std::atomic<DWORD> cooperativeLevel{0};
    std::atomic<bool> primaryPlaying{false};
};

// The buffers a sound object makes, returned with one reference. A
// secondary buffer's description has been checked; `bytes` is a whole
// number of blocks.
HRESULT CreatePrimaryBuffer(const std::shared_ptr<DeviceState>& device, LPDIRECTSOUNDBUFFER* buffer);
HRESULT CreateSecondaryBuffer(DWORD flags, const WAVEFORMATEX& format, DWORD bytes, LPDIRECTSOUNDBUFFER* buffer);
// A new buffer over the memory of `original`, which must be one of ours.
HRESULT DuplicateBuffer(IDirectSoundBuffer* original, LPDIRECTSOUNDBUFFER* duplicate);

// Lists the profile's devices.
HRESULT WINAPI DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context);

// Takes one of the injected failures that `count` (a count of the profile's
// sound failures) still holds: true when the call is to fail.
bool TakeInjectedFailure(uint32_t& count);

// The rates a secondary buffer may be made at or set to. Every one is mixed
// in software, which takes any rate of this range: the capabilities' rate
// range tells what a sound card's own mixing would take, and bounds only
// the primary buffer's format.
constexpr DWORD kLowestBufferRate = 100;
constexpr DWORD kHighestBufferRate = 200000;

// Whether the profile's capabilities let a buffer (`primary` or secondary)
// have this format: PCM, 8 or 16 bits, mono or stereo, a whole block per
// frame; a primary rate within the capabilities' secondary rate range, a
// secondary rate within the range above.
bool FormatAllowed(const WAVEFORMATEX& format, bool primary);

}  // namespace platform::dsound
