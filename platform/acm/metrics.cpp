// The manager's one metric the framework asks for: the largest format.
#include "platform/acm/acm.h"
#include "platform/profile/machine_profile.h"

namespace {

// An MS ADPCM format with its samples per block, its count of predictor
// pairs and the seven standard pairs: the largest standard format of any
// decoder here (a file's format may bring a longer table of its own, which
// its reader sizes by its own chunk).
constexpr DWORD kLargestFormatBytes = sizeof(WAVEFORMATEX) + 2 + 2 + 7 * 4;

}  // namespace

MMRESULT WINAPI acmMetrics(HACMOBJ object, UINT metric, LPVOID value) {
    if (value == nullptr) return MMSYSERR_INVALPARAM;
    if (object != nullptr) return MMSYSERR_INVALHANDLE;
    if (metric != ACM_METRIC_MAX_SIZE_FORMAT) return MMSYSERR_NOTSUPPORTED;
    if (platform::Profile().failures.acm.metrics) return MMSYSERR_NOTSUPPORTED;
    *static_cast<DWORD*>(value) = kLargestFormatBytes;
    return MMSYSERR_NOERROR;
}
