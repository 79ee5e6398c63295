// MP3 files through the audio compression manager: the frames between the
// ID3 tags, a Layer III source format made from the first frame, and the
// total sample count from the frame scan.
#include <algorithm>
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/sound/mp3_frame_scan.h"
#include "framework/sound/sound_converter_kinds.h"

namespace {

constexpr uint32_t kId3v1Bytes = 128;

// The whole file's size; -1 when the stream cannot tell.
int32_t StreamSize(const StreamSource& source) {
    if (SeekStream(source, 0, 2) != 0) return -1;
    const int32_t size = TellStream(source);
    if (SeekStream(source, 0, 0) != 0) return -1;
    return size;
}

// Where the audio ends: before a trailing ID3v1 tag if there is one.
uint32_t AudioEnd(const StreamSource& source, uint32_t fileSize) {
    char tag[3];
    if (fileSize > kId3v1Bytes && SeekStream(source, static_cast<int32_t>(fileSize - kId3v1Bytes), 0) == 0 &&
        ReadStreamBytes(source, tag, 3) == 3 && std::memcmp(tag, "TAG", 3) == 0)
        return fileSize - kId3v1Bytes;
    return fileSize;
}

// The source format the first frame describes, in a block as large as the
// largest format the manager knows (never smaller than the format itself).
WAVEFORMATEX* MakeLayer3Format(const MpegAudioFrameHeader& first) {
    DWORD bytes = 30;
    if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &bytes) != MMSYSERR_NOERROR) bytes = 30;
    bytes = std::max<DWORD>(bytes, sizeof(MPEGLAYER3WAVEFORMAT));
    auto* format = static_cast<MPEGLAYER3WAVEFORMAT*>(AllocZeroedMemory(bytes, __FILE__, __LINE__));
    if (format == nullptr) return nullptr;
    format->wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    format->wfx.nChannels = static_cast<WORD>(first.channels);
    format->wfx.nSamplesPerSec = static_cast<DWORD>(first.sampleRate);
    format->wfx.nAvgBytesPerSec = static_cast<DWORD>(first.bitrate * 1000 / 8);
    format->wfx.nBlockAlign = 1;
    format->wfx.wBitsPerSample = 0;
    format->wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    format->wID = MPEGLAYER3_ID_MPEG;
    format->fdwFlags = static_cast<DWORD>(first.padding);
    format->nBlockSize = static_cast<WORD>(first.frameBytes);
    format->nFramesPerBlock = 1;
    format->nCodecDelay = 700;
    return &format->wfx;
}

}  // namespace

int OpenAcmMp3(SoundConverter* converter) {
    const StreamSource& source = converter->source;
    const int32_t fileSize = StreamSize(source);
    if (fileSize <= 0) return -1;

    uint8_t head[10] = {};
    const uint32_t headBytes = ReadStreamBytes(source, head, sizeof head);
    const uint32_t skip = headBytes == sizeof head ? LeadingId3Bytes(head) : 0;
    const uint32_t end = AudioEnd(source, static_cast<uint32_t>(fileSize));
    if (skip >= end) return -1;

    // Everything between the tags, scanned in memory; the frames are then
    // moved to the front and kept as the compressed copy.
    const uint32_t audioBytes = end - skip;
    auto* audio = static_cast<uint8_t*>(AllocMemory(audioBytes, __FILE__, __LINE__));
    if (audio == nullptr) return -1;
    Mp3Frames frames;
    if (SeekStream(source, static_cast<int32_t>(skip), 0) != 0 ||
        ReadStreamBytes(source, audio, audioBytes) != audioBytes || !ScanMp3Frames(audio, audioBytes, &frames) ||
        frames.firstHeader.layer != 2) {
        // Layer I and II are for the decoders after this one.
        FreeMemory(audio);
        return -1;
    }
    const uint32_t dataSize = frames.dataEnd - frames.firstFrame;
    std::memmove(audio, audio + frames.firstFrame, dataSize);
    converter->acmData = audio;
    converter->acmDataSize = dataSize;
    converter->dataStart = skip + frames.firstFrame;
    converter->dataSize = dataSize;

    converter->acmSourceFormat = MakeLayer3Format(frames.firstHeader);
    if (converter->acmSourceFormat == nullptr || StartAcmConversion(converter) != 0 ||
        frames.totalSamples * converter->format.nBlockAlign > 0x7FFFFFFF) {
        CloseAcm(converter);
        return -1;
    }
    converter->acmTotalSamples = static_cast<int32_t>(frames.totalSamples);
    converter->bufferSize = static_cast<uint32_t>(uint64_t(converter->format.nAvgBytesPerSec) * 4 / 3);
    converter->kind = kSoundConverterAcm;
    return 0;
}
