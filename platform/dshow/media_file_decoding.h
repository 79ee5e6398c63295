// A media file opened and decoded through FFmpeg: its first video stream as
// 24-bit rows (blue, green, red; top row first, rows padded to 4 bytes) and
// its first audio stream as interleaved 16-bit samples (one or two
// channels), each with its time in 100 ns units from the start of the media.
// The container is found from the content, not from the name. Private to
// platform/dshow.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/dshow/dshow.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;
struct SwsContext;

namespace platform::dshow {

// A decoded picture: `rows` holds height rows of `pitch` bytes.
using DecodedVideo = std::function<bool(const uint8_t* rows, REFERENCE_TIME start, REFERENCE_TIME stop)>;
// `frames` frames of interleaved samples; false stops the decoding.
using DecodedSound = std::function<bool(const int16_t* samples, size_t frames, REFERENCE_TIME start)>;

class MediaFileDecoding {
public:
    MediaFileDecoding() = default;
    ~MediaFileDecoding();
    MediaFileDecoding(const MediaFileDecoding&) = delete;
    MediaFileDecoding& operator=(const MediaFileDecoding&) = delete;

    // False when the file is missing or holds no stream we can decode.
    bool Open(const std::string& hostPath);

    bool HasVideo() const { return video_ != nullptr; }
    bool HasAudio() const { return audio_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return (width_ * 3 + 3) & ~3; }
    // Average time of one picture; 0 when unknown.
    REFERENCE_TIME FrameDuration() const { return frameDuration_; }
    int Rate() const { return rate_; }
    int Channels() const { return channels_; }
    REFERENCE_TIME Duration() const { return duration_; }

    // Reads and decodes one packet; pictures and sound before `from` are
    // dropped. False at the end of the file, on an error or when a callback
    // stopped it.
    bool Step(REFERENCE_TIME from, const DecodedVideo& video, const DecodedSound& sound);
    // What the decoders still hold after the last packet.
    void Drain(REFERENCE_TIME from, const DecodedVideo& video, const DecodedSound& sound);
    // Moves to the last key frame at or before `position`.
    bool Seek(REFERENCE_TIME position);

private:
    bool TakeVideo(REFERENCE_TIME from, const DecodedVideo& out);
    bool TakeSound(REFERENCE_TIME from, const DecodedSound& out);
    REFERENCE_TIME TimeOf(int64_t timestamp, int stream) const;

    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    int videoStream_ = -1;
    int audioStream_ = -1;
    SwsContext* scaler_ = nullptr;
    SwrContext* resampler_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    REFERENCE_TIME frameDuration_ = 0;
    int rate_ = 0;
    int channels_ = 0;
    REFERENCE_TIME duration_ = 0;
    std::vector<uint8_t> picture_;
    std::vector<int16_t> sound_;
};

}  // namespace platform::dshow
