// What the profile lets a buffer be, and the injected failures of the
// creating and locking calls.
#include <mutex>

#include "platform/dsound/sound_objects.h"
#include "platform/profile/machine_profile.h"

namespace platform::dsound {

bool TakeInjectedFailure(uint32_t& count) {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    if (count == 0) return false;
    --count;
    return true;
}

bool FormatAllowed(const WAVEFORMATEX& format, bool primary) {
    const SoundCaps& caps = Profile().sound.caps;
    if (format.wFormatTag != WAVE_FORMAT_PCM) return false;
    const bool mono = primary ? caps.primaryMono : caps.secondaryMono;
    const bool stereo = primary ? caps.primaryStereo : caps.secondaryStereo;
    const bool eightBit = primary ? caps.primary8Bit : caps.secondary8Bit;
    const bool sixteenBit = primary ? caps.primary16Bit : caps.secondary16Bit;
    if (!(format.nChannels == 1 && mono) && !(format.nChannels == 2 && stereo)) return false;
    if (!(format.wBitsPerSample == 8 && eightBit) && !(format.wBitsPerSample == 16 && sixteenBit)) return false;
    if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8) return false;
    const DWORD lowest = primary ? caps.minSecondaryRate : kLowestBufferRate;
    const DWORD highest = primary ? caps.maxSecondaryRate : kHighestBufferRate;
    return format.nSamplesPerSec >= lowest && format.nSamplesPerSec <= highest;
}

}  // namespace platform::dsound
