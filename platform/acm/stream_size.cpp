// How many PCM bytes a length of source data can give at most: whole blocks
// only, and for MPEG audio as many frames as fit if each had the smallest
// size the stream's rate allows, so that the answer is never short of what
// a conversion delivers, whatever the bitrates.
#include "platform/acm/layer3_frames.h"
#include "platform/acm/stream_objects.h"
#include "platform/profile/machine_profile.h"

using namespace platform::acm;

MMRESULT WINAPI acmStreamSize(HACMSTREAM handle, DWORD inputBytes, LPDWORD outputBytes, DWORD flags) {
    AcmStream* stream = FindStream(handle);
    if (stream == nullptr) return MMSYSERR_INVALHANDLE;
    if (outputBytes == nullptr) return MMSYSERR_INVALPARAM;
    if (flags != ACM_STREAMSIZEF_SOURCE) return MMSYSERR_INVALFLAG;
    *outputBytes = 0;
    if (platform::Profile().failures.acm.streamSize) return MMSYSERR_ERROR;

    const SourceFormat& source = stream->source;
    uint64_t samples = 0;
    if (source.codec == Codec::MpegLayer3) {
        Layer3Frame smallest;
        if (!SmallestLayer3Frame(source.rate, &smallest)) return ACMERR_NOTPOSSIBLE;
        samples = uint64_t(inputBytes / smallest.bytes) * smallest.samples;
    } else {
        samples = uint64_t(inputBytes / source.blockAlign) * source.samplesPerBlock;
    }
    const uint64_t bytes = samples * OutputFrameBytes(source);
    if (bytes > 0xFFFFFFFFu) return ACMERR_NOTPOSSIBLE;
    *outputBytes = static_cast<DWORD>(bytes);
    return MMSYSERR_NOERROR;
}
