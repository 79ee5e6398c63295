// Loading sounds: a file or a file image in memory becomes a memory sound
// (converted whole and uploaded into its voices) or a stream sound.
#include "framework/sound/sound_loading.h"

#include <cstring>

#include "framework/base/log.h"
#include "framework/base/tracked_memory.h"
#include "framework/files/file_access_table.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"

namespace {

constexpr DWORD kMemorySoundFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                                    DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;
constexpr DWORD kPlainMemorySoundFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_STATIC;
// Longer sounds (in whole seconds) are streamed.
constexpr uint32_t kLongestMemorySoundSeconds = 180;

// Makes the sound a stream sound from the file image and fills its ring.
int MakeStreamSoundFromImage(const void* image, int size, int handle, int loadType, int shareWith) {
    if (AddStreamSoundMemory(image, size, 0, handle, loadType, shareWith) != 0) {
        DeleteSoundHandle(handle, 0);
        return -1;
    }
    PrepareStreamSound(handle);
    return handle;
}

// Copies the data into every voice that does not have it yet. Duplicates
// share their original's memory, so this writes the same bytes again.
int UploadPcmData(SoundRecord* record) {
    for (int i = 0; i < record->voiceCount; ++i) {
        if (record->voiceFilled[i] == 1) continue;
        SoundBufferVoice* voice = &record->voices[i];
        void* part1 = nullptr;
        void* part2 = nullptr;
        uint32_t size1 = 0;
        uint32_t size2 = 0;
        if (LockSoundBufferVoice(voice, 0, record->dataSize, &part1, &size1, &part2, &size2) != 0)
            return WriteLogLine("サウンドデータの転送に失敗しました_1\n");
        const uint8_t* data = static_cast<const uint8_t*>(record->pcmData);
        const uint32_t first = record->dataSize < size1 ? record->dataSize : size1;
        std::memcpy(part1, data, first);
        const uint32_t rest = record->dataSize - first < size2 ? record->dataSize - first : size2;
        if (part2 != nullptr && rest != 0) std::memcpy(part2, data + first, rest);
        if (UnlockSoundBufferVoice(voice, part1, size1, part2, size2) != 0)
            return WriteLogLine("サウンドデータの転送に失敗しました_2\n");
        record->voiceFilled[i] = 1;
    }
    return 0;
}

// The memory-sound road of CreateSoundHandleFromStream, under the lock.
int CreateMemorySound(const void* image, int size, int bufferCount, int handle, int shareWith) {
    const uintptr_t memory = OpenMemoryStream(image, static_cast<uint32_t>(size));
    SoundConverter converter{};
    if (memory != 0) {
        const StreamSource source{*GetMemoryStreamFunctions(), memory};
        if (OpenSoundConverter(&source, &converter) == 0) {
            WAVEFORMATEX format{};
            void* pcm = nullptr;
            int bytes = 0;
            const int converted = ConvertWholeSoundToPcm(&converter, &format, &pcm, &bytes);
            CloseSoundConverter(&converter);
            CloseMemoryStream(memory);
            if (converted != 0) {
                DeleteSoundHandle(handle, 0);
                return WriteLogLine("音声ファイルを格納するメモリ領域の確保に失敗しました\n");
            }

            const uint32_t dataBytes = static_cast<uint32_t>(bytes);
            if (dataBytes / format.nAvgBytesPerSec > kLongestMemorySoundSeconds ||
                CreateSoundBuffersFromPcm(&format, dataBytes, 0, bufferCount, handle) != 0) {
                FreeMemory(pcm);
                return MakeStreamSoundFromImage(image, size, handle, kSoundLoadStreamMemory, shareWith);
            }

            SoundRecord* record = GetSoundRecord(handle);
            record->frequency = format.nSamplesPerSec;
            record->pcmRefCount = static_cast<int32_t*>(AllocMemory(sizeof(int32_t), __FILE__, __LINE__));
            if (record->pcmRefCount == nullptr) {
                FreeMemory(pcm);
                DeleteSoundHandle(handle, 0);
                return WriteLogLine("サウンドデータの参照数を保存するメモリ領域の確保に失敗しました\n");
            }
            *record->pcmRefCount = 1;
            record->format = format;
            record->dataSize = dataBytes;
            record->pcmData = pcm;
            if (UploadPcmData(record) != 0) {
                DeleteSoundHandle(handle, 0);
                return -1;
            }
            return handle;
        }
        CloseMemoryStream(memory);
    }
    DeleteSoundHandle(handle, 0);
    return WriteLogLine("音声ファイルのＰＣＭへの変換に失敗しました\n");
}

}  // namespace

int CreateSoundHandleFromStream(const void* image, int size, int bufferCount, int shareWith) {
    if (!SoundSystemStarted() || bufferCount > kMaxSoundBuffers || image == nullptr || size < 0) return -1;
    SoundLockGuard lock;
    int handle = AddSoundData(-1);
    if (handle != -1) {
        const int loadType = GetSoundLoadType();
        if (loadType == kSoundLoadStreamMemory || loadType == kSoundLoadStreamFile)
            handle = MakeStreamSoundFromImage(image, size, handle, loadType, shareWith);
        else
            handle = CreateMemorySound(image, size, bufferCount, handle, shareWith);
    }
    return handle;
}

int LoadSoundFileToHandle(const char* path, int bufferCount, int shareWith) {
    if (!SoundSystemStarted()) return -1;
    SoundLockGuard lock;
    int result = -1;
    const int loadType = GetSoundLoadType();
    if (loadType == kSoundLoadStreamMemory || loadType == kSoundLoadStreamFile) {
        const int handle = AddSoundData(-1);
        if (handle != -1) {
            if (AddStreamSoundFile(path, 0, handle, loadType, shareWith) == 0) {
                PrepareStreamSound(handle);
                result = handle;
            } else {
                DeleteSoundHandle(handle, 0);
            }
        }
    } else {
        void* image = nullptr;
        int size = 0;
        if (LoadWholeFileToMemory(path, &image, &size) != 0) {
            WriteLogFormat("右記の音声ファイルのロードに失敗しました_1：%s", path);
        } else {
            result = CreateSoundHandleFromStream(image, size, bufferCount < kMaxSoundBuffers ? bufferCount
                                                                                              : kMaxSoundBuffers,
                                                 -1);
            FreeMemory(image);
            if (result == -1) WriteLogFormat("右記の音声ファイルのロードに失敗しました_2：%s", path);
        }
    }
    return result;
}

int LoadSoundFile(const char* path, int bufferCount, int shareWith) {
    return LoadSoundFileToHandle(path, bufferCount, shareWith);
}

int CreateSoundBuffersFromPcm(const WAVEFORMATEX* format, uint32_t dataBytes, int isStream, int voiceCount,
                              int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (isStream) return CreateStreamRingBuffer(format, handle);

    // A count below 1 asks for no voice: the sound exists and cannot play.
    if (voiceCount > kMaxSoundBuffers) voiceCount = kMaxSoundBuffers;
    if (voiceCount < 1) {
        record->voiceCount = 0;
        record->isStream = 0;
        return 0;
    }
    WAVEFORMATEX bufferFormat = *format;
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), kMemorySoundFlags, dataBytes, 0, &bufferFormat, {}};
    if (CreateSoundBufferVoice(&record->voices[0], &description) != 0) {
        description.dwFlags = kPlainMemorySoundFlags;
        if (CreateSoundBufferVoice(&record->voices[0], &description) != 0)
            return WriteLogLine("DirectSoundBuffer の作成に失敗しました\n");
    }
    int made = 1;
    while (made < voiceCount && DuplicateSoundBufferVoice(&record->voices[made], &record->voices[0]) == 0) ++made;
    record->voiceCount = made;
    for (int i = 0; i < made; ++i) record->voiceFilled[i] = 0;
    record->isStream = 0;
    return 0;
}

int LoadWholeFileToMemory(const char* path, void** block, int* size) {
    const uintptr_t file = FileStreamOpen(path, 0, 1, 0);
    if (file == 0) return WriteLogFormat("右記のファイルのオープンに失敗しました：%s", path);
    FileStreamSeek(file, 0, 2);
    const int32_t length = FileStreamTell(file);
    FileStreamSeek(file, 0, 0);
    void* memory = length >= 0 ? AllocMemory(length != 0 ? length : 1, __FILE__, __LINE__) : nullptr;
    if (memory == nullptr) {
        FileStreamClose(file);
        return WriteLogFormat("右記のファイルのロードに必要なメモリの確保に失敗しました：%s", path);
    }
    const uint32_t read = FileStreamRead(memory, 1, static_cast<uint32_t>(length), file);
    FileStreamClose(file);
    *block = memory;
    *size = static_cast<int>(read);
    return 0;
}
