// Playing memory sounds through their voices, and handing stream sounds to
// the stream component. These take no lock: the voice calls are the
// platform's own to guard.
#include "framework/sound/sound_playback.h"

#include <cmath>

#include "framework/base/base_functions.h"
#include "framework/base/time_functions.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/stream_sound.h"
#include "framework/window/main_window.h"

namespace {

// The play cursor of the voice, or 0 when it has no buffer.
uint32_t PlayCursor(SoundBufferVoice* voice) {
    DWORD cursor = 0;
    if (voice->valid) voice->buffer->GetCurrentPosition(&cursor, nullptr);
    return cursor;
}

int WaitWhilePlaying(int handle) {
    while (ProcessWindowMessages() == 0 && CheckSoundHandlePlaying(handle) == 1) Sleep(1);
    return 0;
}

}  // namespace

int PlaySoundHandle(int handle, int playType, int fromTop) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream) return PlayStreamSoundHandle(handle, playType, fromTop);
    if (record->voiceCount < 1) return -1;

    const uint32_t cursor = PlayCursor(&record->voices[record->currentVoice]);
    record->currentVoice = record->currentVoice + 1 >= record->voiceCount ? 0 : record->currentVoice + 1;
    SoundBufferVoice* voice = &record->voices[record->currentVoice];

    uint32_t status = 0;
    if (GetSoundBufferVoiceStatus(voice, &status) != 0) return -1;
    if (status & DSBSTATUS_PLAYING) {
        if (fromTop == 0) return 0;
        StopSoundBufferVoice(voice);
    }
    SetSoundBufferVoicePosition(voice, fromTop == 1 ? 0 : cursor);
    SetSoundBufferVoiceVolume(voice, record->volume);
    SetSoundBufferVoicePan(voice, record->pan);
    SetSoundBufferVoiceFrequency(voice, record->frequency);
    if (PlaySoundBufferVoice(voice, playType == kPlayTypeLoop) != 0) return -1;
    record->playStartTime = GetMillisecondCount();

    if (playType == kPlayTypeWait) WaitWhilePlaying(handle);
    return 0;
}

int CheckSoundHandlePlaying(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream) return CheckStreamSoundPlaying(handle);
    for (int i = 0; i < record->voiceCount; ++i) {
        uint32_t status = 0;
        if (GetSoundBufferVoiceStatus(&record->voices[i], &status) == 0 && (status & DSBSTATUS_PLAYING)) return 1;
    }
    return 0;
}

int StopSoundHandle(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream) return StopStreamSound(handle);
    for (int i = 0; i < record->voiceCount; ++i) {
        uint32_t status = 0;
        if (GetSoundBufferVoiceStatus(&record->voices[i], &status) != 0) return -1;
        if (status & DSBSTATUS_PLAYING) StopSoundBufferVoice(&record->voices[i]);
    }
    return 0;
}

int32_t SoundVolumeToDecibels(int volume) {
    if (volume > 255) volume = 255;
    if (volume <= 0) return DSBVOLUME_MIN;
    const int decibels = DoubleToInt(std::log10(volume / 255.0) * 10.0 * 100.0);
    return decibels < DSBVOLUME_MIN ? DSBVOLUME_MIN : decibels;
}

int SetSoundHandleVolume(int volume, int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    record->volume = SoundVolumeToDecibels(volume);
    for (int i = 0; i < record->voiceCount; ++i) SetSoundBufferVoiceVolume(&record->voices[i], record->volume);
    return 0;
}

int GetSoundHandleTotalSamples(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream) return static_cast<int>(record->totalSamples);
    if (record->pcmData == nullptr || record->format.nBlockAlign == 0) return 0;
    return static_cast<int>(record->dataSize / record->format.nBlockAlign);
}

int GetSoundHandleTotalTimeMs(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    const int samples = GetSoundHandleTotalSamples(handle);
    if (record->format.nSamplesPerSec == 0) return 0;
    return static_cast<int>(int64_t(samples) * 1000 / record->format.nSamplesPerSec);
}

int GetSoundHandleBytePosition(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream) return GetStreamSoundPlayedBytes(handle);
    return static_cast<int>(PlayCursor(&record->voices[record->currentVoice]));
}

int GetSoundHandlePosition(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->format.nBlockAlign == 0) return 0;
    return GetSoundHandleBytePosition(handle) / record->format.nBlockAlign;
}

int GetSoundHandlePlayTimeMs(int handle) {
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->isStream) return GetStreamSoundPlayTimeMs(handle);
    if (record->format.nBlockAlign == 0 || record->format.nSamplesPerSec == 0) return 0;
    const uint32_t samples = PlayCursor(&record->voices[record->currentVoice]) / record->format.nBlockAlign;
    return static_cast<int>(int64_t(samples) * 1000 / record->format.nSamplesPerSec);
}
