// Converting a header's source: whole blocks, or whole Layer III frames,
// from its front, no more than the destination holds.
#include <algorithm>
#include <cstring>

#include "platform/acm/layer3_frames.h"
#include "platform/acm/stream_objects.h"
#include "platform/profile/machine_profile.h"

using namespace platform::acm;

namespace {

struct Conversion {
    uint32_t sourceUsed = 0;
    uint32_t written = 0;
};

// Decodes `bytes` source bytes and writes at most `limit` bytes of what they
// give at `destination`, counting them in `conversion`. What the decoder
// refuses gives nothing.
void DecodeInto(AcmStream& stream, const uint8_t* source, uint32_t bytes, uint8_t* destination, uint32_t limit,
                Conversion* conversion) {
    stream.decoded.clear();
    if (!stream.decoder.Decode(source, bytes, &stream.decoded)) return;
    const uint32_t given = static_cast<uint32_t>(std::min<size_t>(stream.decoded.size() * 2, limit));
    std::memcpy(destination, stream.decoded.data(), given);
    conversion->written += given;
}

Conversion ConvertBlocks(AcmStream& stream, const uint8_t* source, uint32_t sourceBytes, uint8_t* destination,
                         uint32_t destinationBytes) {
    const SourceFormat& format = stream.source;
    const uint32_t blockOutput = format.samplesPerBlock * OutputFrameBytes(format);
    Conversion done;
    while (sourceBytes - done.sourceUsed >= format.blockAlign) {
        const uint32_t room = destinationBytes - done.written;
        if (blockOutput > room) break;
        uint32_t blocks = 1;
        // Blocks of one sample per channel (A-law, mu-law) go in runs.
        if (format.codec == Codec::ALaw || format.codec == Codec::MuLaw)
            blocks = std::min((sourceBytes - done.sourceUsed) / format.blockAlign, room / blockOutput);
        const uint32_t bytes = blocks * format.blockAlign;
        DecodeInto(stream, source + done.sourceUsed, bytes, destination + done.written, blocks * blockOutput, &done);
        done.sourceUsed += bytes;
    }
    return done;
}

Conversion ConvertLayer3Frames(AcmStream& stream, const uint8_t* source, uint32_t sourceBytes, uint8_t* destination,
                               uint32_t destinationBytes) {
    const SourceFormat& format = stream.source;
    Conversion done;
    for (;;) {
        // Bytes that start no frame are passed over.
        Layer3Frame frame;
        while (sourceBytes - done.sourceUsed >= 4 && !ReadLayer3Frame(source + done.sourceUsed, &frame))
            ++done.sourceUsed;
        if (sourceBytes - done.sourceUsed < 4 || frame.bytes > sourceBytes - done.sourceUsed) break;
        // A frame at another rate is no part of this stream.
        if (frame.rate != format.rate) {
            done.sourceUsed += frame.bytes;
            continue;
        }
        const uint32_t output = frame.samples * OutputFrameBytes(format);
        if (output > destinationBytes - done.written) break;
        DecodeInto(stream, source + done.sourceUsed, frame.bytes, destination + done.written, output, &done);
        done.sourceUsed += frame.bytes;
    }
    return done;
}

}  // namespace

MMRESULT WINAPI acmStreamConvert(HACMSTREAM handle, LPACMSTREAMHEADER header, DWORD flags) {
    AcmStream* stream = FindStream(handle);
    if (stream == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    if ((flags & ~(ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END)) != 0)
        return MMSYSERR_INVALFLAG;
    if ((header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0) return ACMERR_UNPREPARED;
    if (header->cbSrcLength > header->dwReservedDriver[kPreparedSourceLength] ||
        header->cbDstLength > header->dwReservedDriver[kPreparedDestinationLength] ||
        (header->pbSrc == nullptr && header->cbSrcLength != 0) ||
        (header->pbDst == nullptr && header->cbDstLength != 0))
        return MMSYSERR_INVALPARAM;
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
    header->cbSrcLengthUsed = 0;
    header->cbDstLengthUsed = 0;
    if (TakeInjectedFailure(platform::Profile().failures.acm.converts)) return MMSYSERR_ERROR;

    const Conversion done =
        stream->source.codec == Codec::MpegLayer3
            ? ConvertLayer3Frames(*stream, header->pbSrc, header->cbSrcLength, header->pbDst, header->cbDstLength)
            : ConvertBlocks(*stream, header->pbSrc, header->cbSrcLength, header->pbDst, header->cbDstLength);
    header->cbSrcLengthUsed = done.sourceUsed;
    header->cbDstLengthUsed = done.written;
    header->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return MMSYSERR_NOERROR;
}
