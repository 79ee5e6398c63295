// Ogg Vorbis through vorbisfile: the decoder reads the converter's stream
// through callbacks, and its output is 16-bit signed little-endian PCM.
// While the decoder opens the stream (when it reads the headers of every
// link), every byte it reads passes the setup header watch as well: a stream
// with a codebook the decoder cannot survive is refused before anything is
// decoded. Once the decoder has failed to ready itself for decoding, it is
// not called again: it leaves its tables half made, and the next call would
// decode with them.
#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <type_traits>

#include "framework/base/tracked_memory.h"
#include "framework/sound/sound_converter_kinds.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/vorbis_setup_check.h"

namespace {

constexpr uint32_t kOggBufferSize = 4096;

// What the callbacks read through. The decoder's state comes first: the
// converter keeps its address, which is this block's.
struct OggVorbisSource {
    OggVorbis_File file;
    const StreamSource* source;
    VorbisSetupWatch watch;
    // While the stream opens.
    bool watching;
    // The decoder failed to ready itself, or answered a read with an error
    // other than a hole.
    bool failed;
    // The links of a chained file that make the sound.
    int links;
};
static_assert(std::is_standard_layout_v<OggVorbisSource>);

// A damaged setup header is let through to the open, which reads it
// without decoding, and the stream is refused once the open is done: a read
// that failed within the open would have the library leave blocks of its
// own behind (its paths out of a failed open free not all it made).
size_t ReadCallback(void* buffer, size_t size, size_t count, void* datasource) {
    auto* vorbis = static_cast<OggVorbisSource*>(datasource);
    if (vorbis == nullptr) return 0;
    const StreamSource* source = vorbis->source;
    const uint32_t items =
        source->functions.read(buffer, static_cast<uint32_t>(size), static_cast<uint32_t>(count), source->stream);
    if (vorbis->watching) WatchVorbisBytes(&vorbis->watch, buffer, size_t(items) * size);
    return items;
}

int SeekCallback(void* datasource, ogg_int64_t offset, int whence) {
    auto* vorbis = static_cast<OggVorbisSource*>(datasource);
    if (vorbis == nullptr) return -1;
    if (offset > INT32_MAX || offset < INT32_MIN) return -1;
    return vorbis->source->functions.seek(vorbis->source->stream, static_cast<int32_t>(offset), whence);
}

long TellCallback(void* datasource) {
    const auto* vorbis = static_cast<const OggVorbisSource*>(datasource);
    if (vorbis == nullptr) return -1;
    return vorbis->source->functions.tell(vorbis->source->stream);
}

// The stream belongs to the converter's caller.
int CloseCallback(void*) { return 0; }

void StopWatching(OggVorbisSource* vorbis) {
    if (!vorbis->watching) return;
    EndVorbisSetupWatch(&vorbis->watch);
    vorbis->watching = false;
}

void FreeOggVorbisSource(OggVorbisSource* vorbis) {
    StopWatching(vorbis);
    FreeMemory(vorbis);
}

OggVorbisSource* SourceOf(SoundConverter* converter) {
    return reinterpret_cast<OggVorbisSource*>(converter->vorbisFile);
}

}  // namespace

int OpenOggVorbis(SoundConverter* converter) {
    auto* vorbis = static_cast<OggVorbisSource*>(AllocZeroedMemory(sizeof(OggVorbisSource), __FILE__, __LINE__));
    if (vorbis == nullptr) return -1;
    vorbis->source = &converter->source;
    StartVorbisSetupWatch(&vorbis->watch);
    vorbis->watching = true;
    OggVorbis_File* file = &vorbis->file;
    const ov_callbacks callbacks{ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(vorbis, file, nullptr, 0, callbacks) != 0) {
        FreeOggVorbisSource(vorbis);
        return -1;
    }
    // The open has read the headers of every link, and the decoder reads
    // none after it: the bytes it reads from here on (the stream thread's
    // refills among them) need no watch. (A stream that cannot seek would
    // have its later links' headers read as it plays, but it has no total
    // length either and is refused below.)
    const bool damaged = vorbis->watch.damaged;
    StopWatching(vorbis);
    // The sound has one format, and the links of a chained file each their
    // own: the sound is the links that share the first one's, up to the
    // first that does not.
    const vorbis_info* info = ov_info(file, -1);
    ogg_int64_t samples = 0;
    const long links = ov_streams(file);
    while (info != nullptr && vorbis->links < links && samples >= 0) {
        const vorbis_info* link = ov_info(file, vorbis->links);
        if (link == nullptr || link->channels != info->channels || link->rate != info->rate) break;
        const ogg_int64_t length = ov_pcm_total(file, vorbis->links++);
        samples = length < 0 ? length : samples + length;
    }
    // 16-bit signed samples, or 8-bit unsigned ones as 8-bit WAVE data has.
    const int bytesPerSample = OggVorbisBytesPerSample == 1 ? 1 : 2;
    // Sizes are counted in 32 bits: a stream that cannot tell its length, or
    // whose PCM would not fit, is refused.
    if (damaged || info == nullptr || info->channels < 1 || info->channels > 255 || info->rate <= 0 || samples < 0 ||
        uint64_t(samples) * info->channels * bytesPerSample > 0x7FFFFFFF ||
        uint64_t(info->rate) * info->channels * bytesPerSample > 0x7FFFFFFF) {
        ov_clear(file);
        FreeOggVorbisSource(vorbis);
        return -1;
    }
    // In a file that carries other streams beside the Vorbis one (a movie's
    // sound track), the open leaves the decoder at the end of the sound:
    // back to its first byte.
    if (ov_pcm_tell(file) != 0 && ov_raw_seek(file, 0) != 0) {
        ov_clear(file);
        FreeOggVorbisSource(vorbis);
        return -1;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(info->channels);
    format.nSamplesPerSec = static_cast<DWORD>(info->rate);
    format.wBitsPerSample = static_cast<WORD>(bytesPerSample * 8);
    format.nBlockAlign = static_cast<WORD>(info->channels * bytesPerSample);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    converter->format = format;
    converter->dataSize = static_cast<uint32_t>(samples * info->channels * bytesPerSample);
    converter->vorbisFile = file;
    converter->vorbisOpened = 1;
    converter->vorbisBytesPerSample = bytesPerSample;
    converter->bufferSize = kOggBufferSize;
    converter->kind = kSoundConverterOggVorbis;
    return 0;
}

int RefillOggVorbis(SoundConverter* converter) {
    OggVorbisSource* vorbis = SourceOf(converter);
    if (vorbis->failed) return -1;
    for (;;) {
        int section = 0;
        const long bytes = ov_read(converter->vorbisFile, reinterpret_cast<char*>(converter->buffer),
                                   static_cast<int>(converter->bufferSize), 0, converter->vorbisBytesPerSample,
                                   converter->vorbisBytesPerSample == 2 ? 1 : 0,
                                   &section);
        // A link of another format ends the data.
        if (bytes > 0 && section >= vorbis->links) return -1;
        if (bytes > 0) {
            converter->bufferBytes = static_cast<uint32_t>(bytes);
            return 0;
        }
        // A hole in the data is passed over; any other error ends the data,
        // as the end of the stream does, for good.
        if (bytes == OV_HOLE) continue;
        if (bytes < 0) vorbis->failed = true;
        return -1;
    }
}

int SeekOggVorbis(SoundConverter* converter, int sample) {
    OggVorbisSource* vorbis = SourceOf(converter);
    if (vorbis->failed || sample < 0 ||
        uint64_t(sample) * converter->format.nBlockAlign > converter->dataSize)
        return -1;
    // A seek the decoder could not make leaves it as sound as before (it
    // fails so beside a movie's pictures), save the one that failed to
    // ready it.
    const int result = ov_pcm_seek(converter->vorbisFile, sample);
    if (result == OV_EBADLINK) vorbis->failed = true;
    return result == 0 ? 0 : -1;
}

uint32_t OggVorbisPcmSize(SoundConverter* converter) { return converter->dataSize; }

void CloseOggVorbis(SoundConverter* converter) {
    if (converter->vorbisOpened) ov_clear(converter->vorbisFile);
    if (converter->vorbisFile != nullptr)
        FreeOggVorbisSource(SourceOf(converter));
    converter->vorbisFile = nullptr;
    converter->vorbisOpened = 0;
}
