// Preparing and unpreparing a conversion's header. A prepared header
// remembers the lengths it was prepared with (in the driver's reserved
// words), and no conversion through it may use more.
#include "platform/acm/stream_objects.h"
#include "platform/profile/machine_profile.h"

using namespace platform::acm;

MMRESULT WINAPI acmStreamPrepareHeader(HACMSTREAM handle, LPACMSTREAMHEADER header, DWORD flags) {
    if (FindStream(handle) == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if ((header->pbSrc == nullptr && header->cbSrcLength != 0) ||
        (header->pbDst == nullptr && header->cbDstLength != 0))
        return MMSYSERR_INVALPARAM;
    if (TakeInjectedFailure(platform::Profile().failures.acm.prepareHeaders)) return MMSYSERR_ERROR;
    header->dwReservedDriver[kPreparedSourceLength] = header->cbSrcLength;
    header->dwReservedDriver[kPreparedDestinationLength] = header->cbDstLength;
    header->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI acmStreamUnprepareHeader(HACMSTREAM handle, LPACMSTREAMHEADER header, DWORD flags) {
    if (FindStream(handle) == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if ((header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0) return ACMERR_UNPREPARED;
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}
