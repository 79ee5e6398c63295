// MPEG audio (layers I to III) decoded through FFmpeg's parser and
// decoders into interleaved 16-bit samples. Private to platform/dshow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct AVCodecContext;
struct AVCodecParserContext;
struct AVFrame;
struct AVPacket;

namespace platform::dshow {

struct MpegAudioFormat {
    int codecId = 0;  // the FFmpeg decoder that takes the stream
    int rate = 0;
    int channels = 0;
};

// Called for each decoded frame: `frames` frames of `channels` interleaved
// samples at `rate`. False stops the decoding.
using DecodedAudio = std::function<bool(const int16_t* samples, size_t frames, int rate, int channels)>;

class MpegAudioDecoding {
public:
    MpegAudioDecoding() = default;
    ~MpegAudioDecoding();
    MpegAudioDecoding(const MpegAudioDecoding&) = delete;
    MpegAudioDecoding& operator=(const MpegAudioDecoding&) = delete;

    // False when the decoder cannot be opened.
    bool Open(int codecId);
    // Splits the bytes into frames and decodes them; with no bytes, decodes
    // what the parser and decoder still hold. False when `out` stopped it.
    bool Feed(const uint8_t* data, size_t size, const DecodedAudio& out);

private:
    bool DecodePacket(const uint8_t* data, int size, const DecodedAudio& out);
    bool Drain(const DecodedAudio& out);
    // Hands every frame the decoder has ready to `out`.
    bool TakeFrames(const DecodedAudio& out);

    AVCodecContext* context_ = nullptr;
    AVCodecParserContext* parser_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    std::vector<int16_t> interleaved_;
};

// The format of the first frame that decodes in `data`; false when none
// does.
bool ProbeMpegAudio(const uint8_t* data, size_t size, MpegAudioFormat* format);

}  // namespace platform::dshow
