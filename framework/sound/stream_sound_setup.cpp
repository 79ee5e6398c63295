// Making a sound a stream sound: its data source (a memory copy of the file,
// or the file itself), its converter, its ring buffer and its place in the
// stream list; and taking all of it apart again.
#include <cstring>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/files/file_access_table.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"

namespace {

constexpr DWORD kRingBufferFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME |
                                   DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;

// Undoes a source that was set up as far as `entry` shows.
void ClearSource(StreamSourceEntry* entry) {
    if (entry->converter.open) CloseSoundConverter(&entry->converter);
    if (entry->memoryStream.stream != 0) CloseMemoryStream(entry->memoryStream.stream);
    FreeMemory(entry->image);
    std::memset(entry, 0, sizeof *entry);
}

// Opens the data source of `handle`'s sound, its converter and its ring
// buffer, under the sound lock. A failure that is logged leaves its text in
// `*failure`, for the caller to log after leaving the lock.
int SetUpStreamSource(const StreamSource* source, uint8_t loopCount, int handle, int dataType, int* copied,
                      const char** failure) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    // The converter is opened in its place in the record: the decoders keep
    // the address of the source it holds.
    StreamSourceEntry* entry = &record->source;
    std::memset(entry, 0, sizeof *entry);
    entry->dataType = dataType;
    entry->endSample = -1;
    source->functions.seek(source->stream, 0, 0);

    if (dataType == kSoundLoadStreamMemory) {
        void* image = nullptr;
        int size = 0;
        if (LoadWholeStreamToMemory(source, &image, &size) != 0) {
            ClearSource(entry);
            *failure = "音声データの読み込みに失敗しました\n";
            return -1;
        }
        entry->image = image;
        entry->imageSize = static_cast<uint32_t>(size);
        entry->memoryStream = StreamSource{*GetMemoryStreamFunctions(), OpenMemoryStream(image, entry->imageSize)};
        if (entry->memoryStream.stream == 0 || OpenSoundConverter(&entry->memoryStream, &entry->converter) != 0) {
            ClearSource(entry);
            *failure = "音声データのオープンに失敗しました\n";
            return -1;
        }
        *copied = 1;
    } else {
        if (OpenSoundConverter(source, &entry->converter) != 0) {
            ClearSource(entry);
            *failure = "音声データのオープンに失敗しました\n";
            return -1;
        }
        *copied = 0;
    }

    WAVEFORMATEX format{};
    GetSoundConverterFormat(&entry->converter, &format);
    // A ring that cannot be made fails this sound only.
    if (CreateStreamRingBuffer(&format, handle) != 0) {
        ClearSource(entry);
        return -1;
    }
    record->format = format;
    entry->loopCount = loopCount;
    record->sourceCount = 1;
    record->totalSamples = GetSoundConverterPcmSize(&entry->converter) / format.nBlockAlign;
    return 0;
}

}  // namespace

int LoadWholeStreamToMemory(const StreamSource* source, void** block, int* size) {
    if (source->functions.seek(source->stream, 0, 2) != 0) return -1;
    const int32_t length = source->functions.tell(source->stream);
    if (length < 0 || source->functions.seek(source->stream, 0, 0) != 0) return -1;
    void* memory = AllocMemory(length != 0 ? length : 1, __FILE__, __LINE__);
    if (memory == nullptr) return WriteLogLine("ストリームの読み込みに必要なメモリの確保に失敗しました\n");
    const uint32_t read = source->functions.read(memory, 1, static_cast<uint32_t>(length), source->stream);
    *block = memory;
    *size = static_cast<int>(read);
    return 0;
}

int CreateStreamRingBuffer(const WAVEFORMATEX* format, int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    const uint32_t block = format->nBlockAlign;
    const uint32_t ring = (format->nAvgBytesPerSec + block - 1) / block * block;
    WAVEFORMATEX bufferFormat = *format;
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), kRingBufferFlags, ring, 0, &bufferFormat, {}};
    if (CreateSoundBufferVoice(&record->voices[0], &description) != 0)
        return WriteLogLine("ストリーム風サウンドバッファの作成に失敗しました\n");
    record->ringBufferSize = ring;
    record->voiceCount = 1;
    record->isStream = 1;
    ListAdd(StreamListTail.previous, &record->streamListNode, handle, record);
    record->frequency = format->nSamplesPerSec;
    return 0;
}

int AddSreamSound(const StreamSource* source, uint8_t loopCount, int handle, int dataType, int* copied,
                  int shareWith) {
    if (!SoundSystemStarted()) return -1;
    const char* failure = nullptr;
    int result;
    {
        SoundLockGuard lock;
        result = SetUpStreamSource(source, loopCount, handle, dataType, copied, &failure);
    }
    return failure != nullptr ? WriteLogLine(failure) : result;
}

int AddStreamSoundFile(const char* path, uint8_t loopCount, int handle, int loadType, int shareWith) {
    const uintptr_t file = FileStreamOpen(path, 0, 1, 0);
    if (file == 0) return WriteLogFormat("右記のＷＡＶファイルのロードに失敗しました：%s ", path);
    const StreamSource source{*GetFileStreamFunctions(), file};
    int copied = 0;
    if (AddSreamSound(&source, loopCount, handle, loadType, &copied, shareWith) != 0) {
        FileStreamClose(file);
        return WriteLogFormat("右記のＷＡＶファイルのセットアップに失敗しました：%s ", path);
    }
    if (copied) {
        FileStreamClose(file);
    } else {
        GetSoundRecord(handle)->sourceOwnsStream = 1;
    }
    return 0;
}

int AddStreamSoundMemory(const void* image, int size, uint8_t loopCount, int handle, int loadType, int shareWith) {
    const uintptr_t memory = size >= 0 ? OpenMemoryStream(image, static_cast<uint32_t>(size)) : 0;
    if (memory == 0) return WriteLogLine("ＷＡＶファイルのストリームイメージハンドルの作成に失敗しました \n");
    const StreamSource source{*GetMemoryStreamFunctions(), memory};
    int copied = 0;
    // The caller frees the image, so the data is always copied.
    const int result = AddSreamSound(&source, loopCount, handle, kSoundLoadStreamMemory, &copied, shareWith);
    CloseMemoryStream(memory);
    if (result != 0) return WriteLogLine("ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n");
    return 0;
}

void ReleaseStreamSoundSource(SoundRecord* record) {
    StreamSourceEntry* entry = &record->source;
    ListRemove(&record->streamListNode);
    const StreamSource file = entry->converter.source;
    const bool closeFile = record->sourceOwnsStream == 1 && entry->dataType == kSoundLoadStreamFile;
    ClearSource(entry);
    if (closeFile) file.functions.close(file.stream);
    record->sourceOwnsStream = 0;
    if (record->voices[0].valid) ReleaseSoundBufferVoice(&record->voices[0]);
}
