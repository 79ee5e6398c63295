// The voice calls: the valid flag first, then one call on the buffer.
#include "framework/sound/sound_buffer_voice.h"

#include "framework/sound/sound_system_state.h"

namespace {

bool Valid(const SoundBufferVoice* voice) { return voice != nullptr && voice->valid != 0; }

int Result(HRESULT result) { return SUCCEEDED(result) ? 0 : -1; }

}  // namespace

int CreateSoundBufferVoice(SoundBufferVoice* voice, const DSBUFFERDESC* description) {
    if (voice == nullptr || voice->valid || DirectSoundObject == nullptr) return -1;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(DirectSoundObject->CreateSoundBuffer(description, &buffer, nullptr))) return -1;
    voice->buffer = buffer;
    voice->valid = 1;
    return 0;
}

int DuplicateSoundBufferVoice(SoundBufferVoice* voice, const SoundBufferVoice* source) {
    if (voice == nullptr || voice->valid || !Valid(source) || DirectSoundObject == nullptr) return -1;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(DirectSoundObject->DuplicateSoundBuffer(source->buffer, &buffer))) return -1;
    voice->buffer = buffer;
    voice->valid = 1;
    return 0;
}

int ReleaseSoundBufferVoice(SoundBufferVoice* voice) {
    if (!Valid(voice)) return -1;
    voice->buffer->Release();
    voice->buffer = nullptr;
    voice->valid = 0;
    return 0;
}

int PlaySoundBufferVoice(SoundBufferVoice* voice, int loop) {
    if (!Valid(voice)) return -1;
    return static_cast<int>(voice->buffer->Play(0, 0, loop != 0 ? DSBPLAY_LOOPING : 0));
}

int StopSoundBufferVoice(SoundBufferVoice* voice) {
    if (!Valid(voice)) return -1;
    voice->buffer->Stop();
    return 0;
}

int GetSoundBufferVoiceStatus(SoundBufferVoice* voice, uint32_t* status) {
    if (!Valid(voice)) return -1;
    return Result(voice->buffer->GetStatus(status));
}

int LockSoundBufferVoice(SoundBufferVoice* voice, uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1,
                         void** part2, uint32_t* size2) {
    if (!Valid(voice)) return -1;
    return Result(voice->buffer->Lock(offset, bytes, part1, size1, part2, size2, 0));
}

int UnlockSoundBufferVoice(SoundBufferVoice* voice, void* part1, uint32_t size1, void* part2, uint32_t size2) {
    if (!Valid(voice)) return -1;
    return Result(voice->buffer->Unlock(part1, size1, part2, size2));
}

int SetSoundBufferVoiceFrequency(SoundBufferVoice* voice, uint32_t hz) {
    if (!Valid(voice)) return -1;
    voice->buffer->SetFrequency(hz);
    return 0;
}

int SetSoundBufferVoicePan(SoundBufferVoice* voice, int32_t pan) {
    if (!Valid(voice)) return -1;
    voice->buffer->SetPan(pan);
    return 0;
}

int SetSoundBufferVoiceVolume(SoundBufferVoice* voice, int32_t volume) {
    if (!Valid(voice)) return -1;
    voice->buffer->SetVolume(volume);
    return 0;
}

int SetSoundBufferVoicePosition(SoundBufferVoice* voice, uint32_t byteOffset) {
    if (!Valid(voice)) return -1;
    voice->buffer->SetCurrentPosition(byteOffset);
    return 0;
}
