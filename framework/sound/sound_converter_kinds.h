// Internal to framework/sound (and its tests): the readers of each kind of
// sound data behind the sound converter. Each Open reads the stream from
// its current position (0), fills the converter's kind, format, data place
// and buffer size, and answers -1 when the stream is not of its kind (having
// freed what it made). Each Refill puts the next block into the buffer and
// answers 0, or -1 at the end of the data.
#pragma once

#include "framework/sound/sound_converter.h"

int OpenWavePcm(SoundConverter* converter);
int RefillWavePcm(SoundConverter* converter);

int OpenAcmWave(SoundConverter* converter);
int OpenAcmMp3(SoundConverter* converter);
// With the source format and the compressed data in place: the output
// format the compression manager suggests and a stream to it; -1 when it
// takes neither (the caller frees what was made, through CloseAcm).
int StartAcmConversion(SoundConverter* converter);
int RefillAcm(SoundConverter* converter);
// Moves the output to byte `target`, buffer included (see SeekSoundConverter).
int SeekAcm(SoundConverter* converter, uint32_t target);
uint32_t AcmPcmSize(SoundConverter* converter);
void CloseAcm(SoundConverter* converter);

int OpenDecodedMp3(SoundConverter* converter);
int RefillDecodedPcm(SoundConverter* converter);
void SeekDecodedPcm(SoundConverter* converter, uint32_t byte);
uint32_t DecodedPcmSize(SoundConverter* converter);
void CloseDecodedPcm(SoundConverter* converter);

int OpenOggVorbis(SoundConverter* converter);
int RefillOggVorbis(SoundConverter* converter);
int SeekOggVorbis(SoundConverter* converter, int sample);
uint32_t OggVorbisPcmSize(SoundConverter* converter);
void CloseOggVorbis(SoundConverter* converter);

// Stream helpers shared by the readers.
inline uint32_t ReadStreamBytes(const StreamSource& source, void* buffer, uint32_t bytes) {
    return source.functions.read(buffer, 1, bytes, source.stream);
}
inline int SeekStream(const StreamSource& source, int32_t offset, int origin) {
    return source.functions.seek(source.stream, offset, origin);
}
inline int32_t TellStream(const StreamSource& source) { return source.functions.tell(source.stream); }
