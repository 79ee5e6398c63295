// One decoder for one stream's source format, giving interleaved 16-bit
// samples with the format's channel count: our own for MS ADPCM, whose
// blocks name pairs of the format's own predictor table, FFmpeg's for the
// rest. Private to platform/acm; nothing outside this folder sees FFmpeg.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/acm/ms_adpcm.h"
#include "platform/acm/source_formats.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace platform::acm {

class Decoder {
public:
    Decoder() = default;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder();

    // False when there is no decoder for the format or it refuses it.
    bool Open(const SourceFormat& format);

    // Decodes one packet (whole blocks, or one whole frame) and appends what
    // it gives to `samples`. Output of another channel count is mixed down
    // or spread to the format's. False, with nothing appended, when the
    // decoder refuses the packet.
    bool Decode(const uint8_t* data, uint32_t size, std::vector<int16_t>* samples);

private:
    void AppendFrame(std::vector<int16_t>* samples) const;

    AVCodecContext* context_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int channels_ = 0;
    bool msAdpcm_ = false;
    MsAdpcmLayout adpcm_;
};

}  // namespace platform::acm
