// Decoding MPEG audio with FFmpeg: the parser finds the frames in the byte
// stream, the decoder turns each into samples, which leave as interleaved
// 16-bit values whatever sample format the decoder works in.
#include "platform/dshow/mpeg_audio_decoding.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include <cmath>

namespace platform::dshow {
namespace {

int16_t FromFloat(float value) {
    const float scaled = std::nearbyint(value * 32768.0f);
    if (!(scaled > -32768.0f)) return -32768;  // also NaN
    if (scaled > 32767.0f) return 32767;
    return static_cast<int16_t>(scaled);
}

// Sample `index` of channel `channel` as a 16-bit value.
int16_t SampleAt(const AVFrame* frame, int channels, int channel, int index) {
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const uint8_t* plane = frame->extended_data[planar ? channel : 0];
    const int at = planar ? index : index * channels + channel;
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(plane)[at];
        case AV_SAMPLE_FMT_S32: return static_cast<int16_t>(reinterpret_cast<const int32_t*>(plane)[at] >> 16);
        case AV_SAMPLE_FMT_FLT: return FromFloat(reinterpret_cast<const float*>(plane)[at]);
        case AV_SAMPLE_FMT_DBL: return FromFloat(static_cast<float>(reinterpret_cast<const double*>(plane)[at]));
        case AV_SAMPLE_FMT_U8: return static_cast<int16_t>((plane[at] - 128) << 8);
        default: return 0;
    }
}

}  // namespace

MpegAudioDecoding::~MpegAudioDecoding() {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    if (parser_ != nullptr) av_parser_close(parser_);
    avcodec_free_context(&context_);
}

bool MpegAudioDecoding::Open(int codecId) {
    const AVCodec* codec = avcodec_find_decoder(static_cast<AVCodecID>(codecId));
    if (codec == nullptr) return false;
    context_ = avcodec_alloc_context3(codec);
    parser_ = av_parser_init(codecId);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (context_ == nullptr || parser_ == nullptr || packet_ == nullptr || frame_ == nullptr) return false;
    return avcodec_open2(context_, codec, nullptr) == 0;
}

bool MpegAudioDecoding::Feed(const uint8_t* data, size_t size, const DecodedAudio& out) {
    const bool flushing = size == 0;
    do {
        const int offered = size > 0x10000000 ? 0x10000000 : static_cast<int>(size);
        uint8_t* frame = nullptr;
        int frameSize = 0;
        const int used = av_parser_parse2(parser_, context_, &frame, &frameSize, flushing ? nullptr : data, offered,
                                          AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (used < 0) return true;
        data += used;
        size -= static_cast<size_t>(used);
        if (frameSize > 0 && !DecodePacket(frame, frameSize, out)) return false;
        if (flushing) break;
        if (used == 0 && frameSize == 0) break;
    } while (size > 0);
    if (flushing) return Drain(out);
    return true;
}

bool MpegAudioDecoding::DecodePacket(const uint8_t* data, int size, const DecodedAudio& out) {
    packet_->data = const_cast<uint8_t*>(data);
    packet_->size = size;
    // A damaged frame is passed over, as a player would.
    if (avcodec_send_packet(context_, packet_) < 0) return true;
    return TakeFrames(out);
}

bool MpegAudioDecoding::Drain(const DecodedAudio& out) {
    if (avcodec_send_packet(context_, nullptr) < 0) return true;
    return TakeFrames(out);
}

bool MpegAudioDecoding::TakeFrames(const DecodedAudio& out) {
    while (avcodec_receive_frame(context_, frame_) == 0) {
        const int channels = frame_->ch_layout.nb_channels;
        const int frames = frame_->nb_samples;
        bool goOn = true;
        if (channels > 0 && frames > 0) {
            interleaved_.resize(static_cast<size_t>(frames) * static_cast<size_t>(channels));
            for (int i = 0; i < frames; ++i)
                for (int c = 0; c < channels; ++c)
                    interleaved_[static_cast<size_t>(i) * channels + c] = SampleAt(frame_, channels, c, i);
            goOn = out(interleaved_.data(), static_cast<size_t>(frames), frame_->sample_rate, channels);
        }
        av_frame_unref(frame_);
        if (!goOn) return false;
    }
    return true;
}

bool ProbeMpegAudio(const uint8_t* data, size_t size, MpegAudioFormat* format) {
    // Layer III first: it is what such streams nearly always hold.
    for (const AVCodecID id : {AV_CODEC_ID_MP3, AV_CODEC_ID_MP2, AV_CODEC_ID_MP1}) {
        MpegAudioDecoding decoding;
        if (!decoding.Open(id)) continue;
        bool found = false;
        decoding.Feed(data, size, [&](const int16_t*, size_t, int rate, int channels) {
            if (rate <= 0 || channels <= 0 || channels > 8) return true;
            *format = MpegAudioFormat{id, rate, channels};
            found = true;
            return false;
        });
        if (found) return true;
    }
    return false;
}

}  // namespace platform::dshow
