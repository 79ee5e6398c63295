// Opening a media file through libavformat (the content decides the
// container), decoding its first video and audio streams through libavcodec,
// and turning pictures into 24-bit rows (libswscale) and sound into 16-bit
// samples (libswresample).
#include "platform/dshow/media_file_decoding.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace platform::dshow {
namespace {

constexpr AVRational kUnits = {1, 10000000};

AVCodecContext* OpenDecoder(AVFormatContext* format, int stream) {
    const AVCodecParameters* parameters = format->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (codec == nullptr) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (context == nullptr) return nullptr;
    if (avcodec_parameters_to_context(context, parameters) < 0 || avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    return context;
}

}  // namespace

MediaFileDecoding::~MediaFileDecoding() {
    sws_freeContext(scaler_);
    swr_free(&resampler_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    avformat_close_input(&format_);
}

bool MediaFileDecoding::Open(const std::string& hostPath) {
    if (avformat_open_input(&format_, hostPath.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format_, nullptr) < 0) return false;
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (packet_ == nullptr || frame_ == nullptr) return false;

    const int video = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video >= 0) {
        video_ = OpenDecoder(format_, video);
        if (video_ != nullptr && video_->width > 0 && video_->height > 0 && video_->pix_fmt != AV_PIX_FMT_NONE) {
            scaler_ = sws_getContext(video_->width, video_->height, video_->pix_fmt, video_->width, video_->height,
                                     AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        }
        if (scaler_ == nullptr) {
            avcodec_free_context(&video_);
        } else {
            videoStream_ = video;
            width_ = video_->width;
            height_ = video_->height;
            const AVRational rate = av_guess_frame_rate(format_, format_->streams[video], nullptr);
            if (rate.num > 0 && rate.den > 0) frameDuration_ = av_rescale_q(1, av_inv_q(rate), kUnits);
            picture_.resize(static_cast<size_t>(Pitch()) * static_cast<size_t>(height_));
        }
    }

    const int audio = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audio >= 0) {
        audio_ = OpenDecoder(format_, audio);
        if (audio_ != nullptr && audio_->sample_rate > 0 && audio_->ch_layout.nb_channels > 0) {
            channels_ = audio_->ch_layout.nb_channels > 1 ? 2 : 1;
            rate_ = audio_->sample_rate;
            AVChannelLayout out{};
            av_channel_layout_default(&out, channels_);
            if (swr_alloc_set_opts2(&resampler_, &out, AV_SAMPLE_FMT_S16, rate_, &audio_->ch_layout,
                                    audio_->sample_fmt, rate_, 0, nullptr) < 0 ||
                swr_init(resampler_) < 0) {
                swr_free(&resampler_);
            }
            av_channel_layout_uninit(&out);
        }
        if (resampler_ == nullptr) {
            avcodec_free_context(&audio_);
            channels_ = 0;
            rate_ = 0;
        } else {
            audioStream_ = audio;
        }
    }
    if (format_->duration > 0) duration_ = av_rescale_q(format_->duration, AV_TIME_BASE_Q, kUnits);
    return video_ != nullptr || audio_ != nullptr;
}

REFERENCE_TIME MediaFileDecoding::TimeOf(int64_t timestamp, int stream) const {
    if (timestamp == AV_NOPTS_VALUE) return -1;
    const AVStream* owner = format_->streams[stream];
    if (owner->start_time != AV_NOPTS_VALUE) timestamp -= owner->start_time;
    return av_rescale_q(timestamp, owner->time_base, kUnits);
}

bool MediaFileDecoding::TakeVideo(REFERENCE_TIME from, const DecodedVideo& out) {
    while (avcodec_receive_frame(video_, frame_) >= 0) {
        REFERENCE_TIME start = TimeOf(frame_->best_effort_timestamp, videoStream_);
        if (start < 0) start = 0;
        const REFERENCE_TIME stop = start + (frameDuration_ > 0 ? frameDuration_ : 1);
        bool goOn = true;
        if (stop > from) {
            uint8_t* planes[4] = {picture_.data(), nullptr, nullptr, nullptr};
            int pitches[4] = {Pitch(), 0, 0, 0};
            sws_scale(scaler_, frame_->data, frame_->linesize, 0, height_, planes, pitches);
            goOn = out(picture_.data(), start, stop);
        }
        av_frame_unref(frame_);
        if (!goOn) return false;
    }
    return true;
}

bool MediaFileDecoding::TakeSound(REFERENCE_TIME from, const DecodedSound& out) {
    while (avcodec_receive_frame(audio_, frame_) >= 0) {
        REFERENCE_TIME start = TimeOf(frame_->best_effort_timestamp, audioStream_);
        if (start < 0) start = 0;
        const int frames = frame_->nb_samples;
        const REFERENCE_TIME stop = start + static_cast<REFERENCE_TIME>(frames) * 10000000 / rate_;
        bool goOn = true;
        if (stop > from && frames > 0) {
            sound_.resize(static_cast<size_t>(swr_get_out_samples(resampler_, frames)) *
                          static_cast<size_t>(channels_));
            uint8_t* target[1] = {reinterpret_cast<uint8_t*>(sound_.data())};
            const int converted = swr_convert(resampler_, target, static_cast<int>(sound_.size()) / channels_,
                                              const_cast<const uint8_t**>(frame_->extended_data), frames);
            if (converted > 0) goOn = out(sound_.data(), static_cast<size_t>(converted), start);
        }
        av_frame_unref(frame_);
        if (!goOn) return false;
    }
    return true;
}

bool MediaFileDecoding::Step(REFERENCE_TIME from, const DecodedVideo& video, const DecodedSound& sound) {
    if (av_read_frame(format_, packet_) < 0) return false;
    bool goOn = true;
    if (packet_->stream_index == videoStream_ && video_ != nullptr) {
        // A refused packet (a damaged one) is skipped; what decoded stands.
        avcodec_send_packet(video_, packet_);
        goOn = TakeVideo(from, video);
    } else if (packet_->stream_index == audioStream_ && audio_ != nullptr) {
        avcodec_send_packet(audio_, packet_);
        goOn = TakeSound(from, sound);
    }
    av_packet_unref(packet_);
    return goOn;
}

void MediaFileDecoding::Drain(REFERENCE_TIME from, const DecodedVideo& video, const DecodedSound& sound) {
    if (video_ != nullptr && avcodec_send_packet(video_, nullptr) >= 0 && !TakeVideo(from, video)) return;
    if (audio_ != nullptr && avcodec_send_packet(audio_, nullptr) >= 0) TakeSound(from, sound);
}

bool MediaFileDecoding::Seek(REFERENCE_TIME position) {
    const int64_t target = av_rescale_q(position, kUnits, AV_TIME_BASE_Q);
    const bool moved = av_seek_frame(format_, -1, target, AVSEEK_FLAG_BACKWARD) >= 0 ||
                       av_seek_frame(format_, -1, target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) >= 0;
    if (video_ != nullptr) avcodec_flush_buffers(video_);
    if (audio_ != nullptr) avcodec_flush_buffers(audio_);
    return moved;
}

}  // namespace platform::dshow
