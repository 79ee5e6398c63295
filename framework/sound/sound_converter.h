// The sound converter: reads a sound file through a StreamSource and
// delivers plain PCM, block by block, with seeking by sample. It knows, in
// the order it tries them: RIFF/WAVE with PCM data, RIFF/WAVE with data the
// audio compression manager decodes, Ogg Vorbis, and MP3 (by the audio
// compression manager, then through DirectShow).
//
// A converter is used by one thread at a time and logs nothing: its callers
// do. Every failed open frees what it allocated and leaves `open` at 0.
#pragma once

#include <cstdint>

#include "framework/files/stream_functions.h"
#include "platform/acm/acm.h"
#include "platform/winmm/winmm.h"

struct OggVorbis_File;

enum SoundConverterKind : int32_t {
    kSoundConverterWavePcm = 0,
    kSoundConverterAcm = 1,  // compressed WAVE or MP3
    kSoundConverterOggVorbis = 2,
    kSoundConverterDecodedPcm = 3,  // decoded into memory through DirectShow
};

struct SoundConverter {
    int32_t open;   // 1 after a successful OpenSoundConverter
    int32_t atEnd;  // 1 once a read could not be completed because the data ended
    int32_t kind;
    StreamSource source;
    uint32_t fmtChunkPos;  // where the WAVE "fmt " chunk's body lies
    uint32_t fmtChunkSize;
    uint32_t dataStart;  // where the data to convert lies in the stream
    uint32_t dataSize;
    WAVEFORMATEX format;  // the output: always PCM, extra size 0

    // Compressed WAVE and MP3: the source format (a block of the framework's
    // allocator), the compression manager's stream, the compressed data
    // copied whole at open, the bytes of it converted so far, and the total
    // sample count (-1 for WAVE, whose size the compression manager tells).
    WAVEFORMATEX* acmSourceFormat;
    HACMSTREAM acmStream;
    uint8_t* acmData;
    uint32_t acmDataSize;
    uint32_t acmConsumed;
    int32_t acmTotalSamples;

    // Ogg Vorbis: whether the decoder is open, its state and the bytes per
    // output sample.
    int32_t vorbisOpened;
    OggVorbis_File* vorbisFile;
    int32_t vorbisBytesPerSample;

    // Decoded into memory through DirectShow: the PCM block, its capacity,
    // the bytes in it (the decoded size once complete) and the read
    // position.
    uint8_t* decodedPcm;
    uint32_t decodedCapacity;
    uint32_t decodedBytes;
    uint32_t decodedPosition;

    uint8_t* buffer;  // the conversion buffer
    uint32_t bufferSize;
    uint32_t bufferBytes;   // converted bytes not yet read from the buffer
    uint32_t bufferOffset;  // where they start
    uint32_t pcmPosition;   // PCM bytes delivered so far: the output position
};

// 0, or -1 when no kind reads the stream or the buffer cannot be allocated.
int OpenSoundConverter(const StreamSource* source, SoundConverter* converter);
// Up to `bytes` bytes of PCM into `destination`: fewer at the end of the
// data and 0 once `atEnd` is set; -1 when the converter is not open.
int ReadSoundConverterPcm(SoundConverter* converter, void* destination, int bytes);
// Moves the output to `sample`; a target within 15 bytes of the position
// does nothing. 0, or -1 when the stream or the decoder refuses the seek.
int SeekSoundConverter(SoundConverter* converter, int sample);
int GetSoundConverterFormat(const SoundConverter* converter, WAVEFORMATEX* out);
// The total PCM bytes of the output.
uint32_t GetSoundConverterPcmSize(SoundConverter* converter);
// The whole output from the start into a new block of the framework's
// allocator: its format, the block and the bytes delivered. -1 when the
// block cannot be allocated.
int ConvertWholeSoundToPcm(SoundConverter* converter, WAVEFORMATEX* format, void** pcm, int* bytes);
// 0, or -1 when the converter is not open.
int CloseSoundConverter(SoundConverter* converter);
