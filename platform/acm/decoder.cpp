// The FFmpeg side of a stream: opening the decoder for a source format,
// sending it packets and turning its frames, in whatever sample format it
// gives them, into interleaved 16-bit samples.
#include "platform/acm/decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/samplefmt.h>
}

#include <cmath>
#include <cstring>
#include <mutex>

namespace platform::acm {
namespace {

AVCodecID CodecId(Codec codec) {
    switch (codec) {
        case Codec::MsAdpcm: return AV_CODEC_ID_NONE;  // decoded by our own
        case Codec::ImaAdpcm: return AV_CODEC_ID_ADPCM_IMA_WAV;
        case Codec::ALaw: return AV_CODEC_ID_PCM_ALAW;
        case Codec::MuLaw: return AV_CODEC_ID_PCM_MULAW;
        case Codec::Gsm610: return AV_CODEC_ID_GSM_MS;
        case Codec::MpegLayer3: return AV_CODEC_ID_MP3;
    }
    return AV_CODEC_ID_NONE;
}

int16_t FromFloat(float value) {
    if (!(value == value)) return 0;  // NaN
    const float scaled = std::nearbyint(value * 32768.0f);
    if (scaled >= 32767.0f) return 32767;
    if (scaled <= -32768.0f) return -32768;
    return static_cast<int16_t>(scaled);
}

// Sample `index` of channel `channel` of a decoded frame, as 16 bits.
int16_t SampleAt(const AVFrame* frame, int channel, int index) {
    const AVSampleFormat format = static_cast<AVSampleFormat>(frame->format);
    const int channels = frame->ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const uint8_t* plane = frame->extended_data[planar ? channel : 0];
    const int position = planar ? index : index * channels + channel;
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_U8: return static_cast<int16_t>((plane[position] - 128) * 256);
        case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(plane)[position];
        case AV_SAMPLE_FMT_S32: return static_cast<int16_t>(reinterpret_cast<const int32_t*>(plane)[position] >> 16);
        case AV_SAMPLE_FMT_FLT: return FromFloat(reinterpret_cast<const float*>(plane)[position]);
        case AV_SAMPLE_FMT_DBL:
            return FromFloat(static_cast<float>(reinterpret_cast<const double*>(plane)[position]));
        default: return 0;
    }
}

}  // namespace

Decoder::~Decoder() {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&context_);
}

bool Decoder::Open(const SourceFormat& format) {
    if (format.codec == Codec::MsAdpcm) {
        if (format.adpcmCoefficients.empty() || format.samplesPerBlock < 2) return false;
        adpcm_ = MsAdpcmLayout{format.channels, format.blockAlign, format.samplesPerBlock, format.adpcmCoefficients};
        msAdpcm_ = true;
        channels_ = format.channels;
        return true;
    }
    // Damaged data is the caller's to notice, by what a conversion gives: the
    // decoders' complaints go nowhere, unless the program chose a level of
    // its own.
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        if (av_log_get_level() == AV_LOG_INFO) av_log_set_level(AV_LOG_QUIET);
    });
    const AVCodec* codec = avcodec_find_decoder(CodecId(format.codec));
    if (codec == nullptr) return false;
    context_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (context_ == nullptr || packet_ == nullptr || frame_ == nullptr) return false;
    av_channel_layout_default(&context_->ch_layout, format.channels);
    context_->sample_rate = static_cast<int>(format.rate);
    context_->block_align = format.blockAlign;
    context_->bits_per_coded_sample = format.bitsPerSample;
    if (avcodec_open2(context_, codec, nullptr) != 0) return false;
    channels_ = format.channels;
    return true;
}

bool Decoder::Decode(const uint8_t* data, uint32_t size, std::vector<int16_t>* samples) {
    if (msAdpcm_) {
        // Whole blocks; a block naming a pair the table lacks refuses the
        // packet.
        const size_t before = samples->size();
        for (uint32_t at = 0; size - at >= adpcm_.blockAlign; at += adpcm_.blockAlign) {
            if (!DecodeMsAdpcmBlock(adpcm_, data + at, samples)) {
                samples->resize(before);
                return false;
            }
        }
        return true;
    }
    if (context_ == nullptr || av_new_packet(packet_, static_cast<int>(size)) != 0) return false;
    std::memcpy(packet_->data, data, size);
    const int sent = avcodec_send_packet(context_, packet_);
    av_packet_unref(packet_);
    if (sent != 0) return false;
    const size_t before = samples->size();
    for (;;) {
        const int received = avcodec_receive_frame(context_, frame_);
        if (received == AVERROR(EAGAIN)) break;
        if (received != 0) {
            samples->resize(before);
            return false;
        }
        AppendFrame(samples);
        av_frame_unref(frame_);
    }
    return true;
}

void Decoder::AppendFrame(std::vector<int16_t>* samples) const {
    const int from = frame_->ch_layout.nb_channels;
    if (from < 1 || frame_->nb_samples <= 0) return;
    const size_t start = samples->size();
    samples->resize(start + size_t(frame_->nb_samples) * channels_);
    int16_t* out = samples->data() + start;
    for (int index = 0; index < frame_->nb_samples; ++index) {
        for (int channel = 0; channel < channels_; ++channel) {
            int16_t value;
            if (from == channels_ || (from > channels_ && channels_ > 1)) {
                value = SampleAt(frame_, channel, index);
            } else if (from == 1) {
                value = SampleAt(frame_, 0, index);
            } else {
                // Stereo heard in mono: the mean of the two.
                value = static_cast<int16_t>((SampleAt(frame_, 0, index) + SampleAt(frame_, 1, index)) / 2);
            }
            *out++ = value;
        }
    }
}

}  // namespace platform::acm
