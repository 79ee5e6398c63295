// The audio compression manager: streams that decode compressed wave data
// to 16-bit PCM, the format suggestion that names that PCM, the size query,
// and the one metric the framework asks for.
//
// Stands in for the compression manager the framework calls, with the names
// and numeric values the framework expects. It decodes MS ADPCM, IMA ADPCM,
// A-law, mu-law, GSM 6.10 and MPEG-1 and MPEG-2 Layer III; every other
// format tag is refused at open. Left out: encoding, conversions from PCM to
// PCM (other rates, channel counts or sample sizes), drivers and their
// enumeration, filters, format and filter choosers, asynchronous streams and
// callbacks, queries that open nothing, the destination-side size query, and
// every call the framework does not make. Sizes in the structures (the
// header's cbStruct, a destination format's size) are not checked against
// those of 32-bit Windows.
// Built on the host's FFmpeg decoders (libavcodec), one decoder per stream.
// The manager itself decides how much of the source a call converts: only
// whole source blocks (whole frames for MPEG audio), and no more of them than
// the destination holds. The machine profile can make calls fail
// (failures.acm).
#pragma once

#include "platform/winmm/winmm.h"

// ---- formats ---------------------------------------------------------------------

#define WAVE_FORMAT_ADPCM 0x0002u
#define WAVE_FORMAT_ALAW 0x0006u
#define WAVE_FORMAT_MULAW 0x0007u
#define WAVE_FORMAT_IMA_ADPCM 0x0011u
#define WAVE_FORMAT_GSM610 0x0031u
#define WAVE_FORMAT_MPEGLAYER3 0x0055u

#define MPEGLAYER3_WFX_EXTRA_BYTES 12u
#define MPEGLAYER3_ID_MPEG 1u
#define MPEGLAYER3_FLAG_PADDING_ISO 0x00000000u
#define MPEGLAYER3_FLAG_PADDING_ON 0x00000001u
#define MPEGLAYER3_FLAG_PADDING_OFF 0x00000002u

// Thirty bytes with no padding, like the wave format it extends.
#pragma pack(push, 2)
typedef struct mpeglayer3waveformat_tag {
    WAVEFORMATEX wfx;  // cbSize MPEGLAYER3_WFX_EXTRA_BYTES
    WORD wID;
    DWORD fdwFlags;
    WORD nBlockSize;  // bytes of a frame
    WORD nFramesPerBlock;
    WORD nCodecDelay;
} MPEGLAYER3WAVEFORMAT, *LPMPEGLAYER3WAVEFORMAT;
#pragma pack(pop)

// ---- results ---------------------------------------------------------------------

#define MMSYSERR_ERROR 1u
#define MMSYSERR_INVALHANDLE 5u
#define MMSYSERR_NOMEM 7u
#define MMSYSERR_NOTSUPPORTED 8u
#define MMSYSERR_INVALFLAG 10u
#define ACMERR_NOTPOSSIBLE 512u
#define ACMERR_UNPREPARED 514u

// ---- handles ---------------------------------------------------------------------

typedef HANDLE HACMOBJ;
typedef HANDLE HACMDRIVER;
typedef HANDLE HACMSTREAM;
typedef HACMSTREAM* LPHACMSTREAM;
typedef struct wavefilter_tag* LPWAVEFILTER;

// ---- metrics ---------------------------------------------------------------------

// The size in bytes of the largest format any decoder describes (a DWORD).
#define ACM_METRIC_MAX_SIZE_FORMAT 50u

// Only ACM_METRIC_MAX_SIZE_FORMAT of the whole manager (a null object) is
// answered; other metrics fail with MMSYSERR_NOTSUPPORTED, another object
// with MMSYSERR_INVALHANDLE.
MMRESULT WINAPI acmMetrics(HACMOBJ object, UINT metric, LPVOID value);

// ---- format suggestion ------------------------------------------------------------

#define ACM_FORMATSUGGESTF_WFORMATTAG 0x00010000u

// Fills `destination` (at least 16 bytes) with the PCM format `source`
// decodes to: 16-bit samples with the source's channels and rate (cbSize 0
// when 18 bytes or more are given). ACM_FORMATSUGGESTF_WFORMATTAG asks for the
// tag already in `destination`, which must be WAVE_FORMAT_PCM. A source no
// decoder takes gives ACMERR_NOTPOSSIBLE.
MMRESULT WINAPI acmFormatSuggest(HACMDRIVER driver, LPWAVEFORMATEX source, LPWAVEFORMATEX destination,
                                 DWORD destinationSize, DWORD flags);

// ---- streams ---------------------------------------------------------------------

#define ACM_STREAMOPENF_NONREALTIME 0x00000004u

// Opens a stream from `source` to the PCM format acmFormatSuggest names for
// it (any other destination gives ACMERR_NOTPOSSIBLE). The driver must be
// null, the filter null; the callback and its data are not used. A source
// format that no decoder takes gives ACMERR_NOTPOSSIBLE.
MMRESULT WINAPI acmStreamOpen(LPHACMSTREAM stream, HACMDRIVER driver, LPWAVEFORMATEX source,
                              LPWAVEFORMATEX destination, LPWAVEFILTER filter, DWORD_PTR callback,
                              DWORD_PTR callbackData, DWORD flags);
MMRESULT WINAPI acmStreamClose(HACMSTREAM stream, DWORD flags);

#define ACM_STREAMSIZEF_SOURCE 0x00000000u

// The most PCM bytes that `inputBytes` of source data can convert to (whole
// blocks only; for MPEG audio as if every frame had the smallest size the
// format allows). Never less than a conversion delivers.
MMRESULT WINAPI acmStreamSize(HACMSTREAM stream, DWORD inputBytes, LPDWORD outputBytes, DWORD flags);

#define ACMSTREAMHEADER_STATUSF_DONE 0x00010000u
#define ACMSTREAMHEADER_STATUSF_PREPARED 0x00020000u

// One conversion's source and destination. Prepare it with the lengths it
// will be converted with; a conversion may use shorter lengths, not longer.
typedef struct tACMSTREAMHEADER {
    DWORD cbStruct;
    DWORD fdwStatus;
    DWORD_PTR dwUser;
    LPBYTE pbSrc;
    DWORD cbSrcLength;
    DWORD cbSrcLengthUsed;  // set by acmStreamConvert
    DWORD_PTR dwSrcUser;
    LPBYTE pbDst;
    DWORD cbDstLength;
    DWORD cbDstLengthUsed;  // set by acmStreamConvert
    DWORD_PTR dwDstUser;
    DWORD dwReservedDriver[10];
} ACMSTREAMHEADER, *LPACMSTREAMHEADER;

MMRESULT WINAPI acmStreamPrepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
MMRESULT WINAPI acmStreamUnprepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);

#define ACM_STREAMCONVERTF_BLOCKALIGN 0x00000004u
#define ACM_STREAMCONVERTF_START 0x00000010u
#define ACM_STREAMCONVERTF_END 0x00000020u

// Converts whole source blocks (whole frames for MPEG audio; bytes between
// frames that start none are passed over) from the front of the source, as
// many as the destination holds, and reports the bytes used on each side.
// The first block is always converted when its output fits, so a call with a
// whole block and room for it never gives nothing. A block the decoder
// refuses is used and gives no output. Nothing is written past cbDstLength.
MMRESULT WINAPI acmStreamConvert(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD flags);
