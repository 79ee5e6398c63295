// The PCM format a compressed format decodes to.
#include "platform/acm/source_formats.h"
#include "platform/profile/machine_profile.h"

using namespace platform::acm;

MMRESULT WINAPI acmFormatSuggest(HACMDRIVER driver, LPWAVEFORMATEX source, LPWAVEFORMATEX destination,
                                 DWORD destinationSize, DWORD flags) {
    if (source == nullptr || destination == nullptr) return MMSYSERR_INVALPARAM;
    if (driver != nullptr) return MMSYSERR_INVALHANDLE;
    if ((flags & ~ACM_FORMATSUGGESTF_WFORMATTAG) != 0) return MMSYSERR_INVALFLAG;
    // The 16 bytes of a PCM format without its cbSize.
    constexpr DWORD kPcmFormatBytes = 16;
    if (destinationSize < kPcmFormatBytes) return MMSYSERR_INVALPARAM;
    if ((flags & ACM_FORMATSUGGESTF_WFORMATTAG) != 0 && destination->wFormatTag != WAVE_FORMAT_PCM)
        return ACMERR_NOTPOSSIBLE;
    if (platform::Profile().failures.acm.formatSuggest) return ACMERR_NOTPOSSIBLE;
    SourceFormat described{};
    if (!DescribeSource(source, &described)) return ACMERR_NOTPOSSIBLE;

    const WAVEFORMATEX pcm = PcmOutput(described);
    if (destinationSize >= sizeof(WAVEFORMATEX)) {
        *destination = pcm;
    } else {
        destination->wFormatTag = pcm.wFormatTag;
        destination->nChannels = pcm.nChannels;
        destination->nSamplesPerSec = pcm.nSamplesPerSec;
        destination->nAvgBytesPerSec = pcm.nAvgBytesPerSec;
        destination->nBlockAlign = pcm.nBlockAlign;
        destination->wBitsPerSample = pcm.wBitsPerSample;
    }
    return MMSYSERR_NOERROR;
}
