#include "tools/placeholder_resources/movie.h"

#include <cmath>
#include <cstdio>

#include "tools/placeholder_resources/canvas.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace placeholder {

namespace {

constexpr int kAudioRate = 22050;

// Everything the writer opens, closed in one place whatever the outcome.
struct MovieWriter {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool fileOpen = false;

    ~MovieWriter() {
        if (fileOpen) avio_closep(&format->pb);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        avformat_free_context(format);
    }

    // Sends one frame (null to drain) and writes what the encoder gives back.
    bool Encode(AVCodecContext* codec, AVStream* stream, AVFrame* input) {
        if (avcodec_send_frame(codec, input) < 0) return false;
        for (;;) {
            const int result = avcodec_receive_packet(codec, packet);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
            if (result < 0) return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0) return false;
        }
    }
};

AVCodecContext* OpenEncoder(MovieWriter& writer, AVCodecID id, AVStream** streamOut) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (codec == nullptr) return nullptr;
    AVStream* stream = avformat_new_stream(writer.format, nullptr);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (stream == nullptr || context == nullptr) {
        avcodec_free_context(&context);
        return nullptr;
    }
    *streamOut = stream;
    return context;
}

// The picture of frame n: the movie's name, its frame number and a bar that
// sweeps across, converted to the encoder's YUV 4:2:0.
void FillVideoFrame(AVFrame* frame, const std::string& name, int n) {
    Canvas canvas(kMovieWidth, kMovieHeight, Colour{20, 30, 60, 255});
    canvas.FrameRect(0, 0, kMovieWidth, kMovieHeight, Colour{255, 255, 255, 255});
    canvas.Text(20, 20, name, Colour{255, 255, 255, 255}, 2);
    char text[32];
    std::snprintf(text, sizeof text, "frame %02d / %d", n, kMovieFrames);
    canvas.Text(20, 60, text, Colour{255, 230, 0, 255}, 3);
    canvas.FillRect(n * (kMovieWidth - 64) / (kMovieFrames - 1), 200, 64, 80, Colour{220, 60, 40, 255});
    const std::vector<uint8_t>& rgba = canvas.pixels();
    for (int y = 0; y < kMovieHeight; ++y)
        for (int x = 0; x < kMovieWidth; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * kMovieWidth + x) * 4];
            frame->data[0][y * frame->linesize[0] + x] =
                static_cast<uint8_t>(16 + (66 * p[0] + 129 * p[1] + 25 * p[2]) / 256);
            if (y % 2 == 0 && x % 2 == 0) {
                frame->data[1][(y / 2) * frame->linesize[1] + x / 2] =
                    static_cast<uint8_t>(128 + (-38 * p[0] - 74 * p[1] + 112 * p[2]) / 256);
                frame->data[2][(y / 2) * frame->linesize[2] + x / 2] =
                    static_cast<uint8_t>(128 + (112 * p[0] - 94 * p[1] - 18 * p[2]) / 256);
            }
        }
}

}  // namespace

bool WriteMovieWmv(const std::string& hostPath, const std::string& name) {
    MovieWriter writer;
    if (avformat_alloc_output_context2(&writer.format, nullptr, "asf", hostPath.c_str()) < 0) return false;

    writer.video = OpenEncoder(writer, AV_CODEC_ID_WMV2, &writer.videoStream);
    if (writer.video == nullptr) return false;
    writer.video->width = kMovieWidth;
    writer.video->height = kMovieHeight;
    writer.video->pix_fmt = AV_PIX_FMT_YUV420P;
    writer.video->time_base = AVRational{1, kMovieFramesPerSecond};
    writer.video->framerate = AVRational{kMovieFramesPerSecond, 1};
    writer.video->bit_rate = 800000;
    writer.video->gop_size = 10;
    writer.videoStream->time_base = writer.video->time_base;

    writer.audio = OpenEncoder(writer, AV_CODEC_ID_WMAV2, &writer.audioStream);
    if (writer.audio == nullptr) return false;
    writer.audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
    writer.audio->sample_rate = kAudioRate;
    av_channel_layout_default(&writer.audio->ch_layout, 1);
    writer.audio->bit_rate = 64000;
    writer.audio->time_base = AVRational{1, kAudioRate};
    writer.audioStream->time_base = writer.audio->time_base;

    if (writer.format->oformat->flags & AVFMT_GLOBALHEADER) {
        writer.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        writer.audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(writer.video, writer.video->codec, nullptr) < 0) return false;
    if (avcodec_open2(writer.audio, writer.audio->codec, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(writer.videoStream->codecpar, writer.video) < 0) return false;
    if (avcodec_parameters_from_context(writer.audioStream->codecpar, writer.audio) < 0) return false;

    if (avio_open(&writer.format->pb, hostPath.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    writer.fileOpen = true;
    if (avformat_write_header(writer.format, nullptr) < 0) return false;

    writer.frame = av_frame_alloc();
    writer.packet = av_packet_alloc();
    if (writer.frame == nullptr || writer.packet == nullptr) return false;

    // Video first, then the sound track of the same length; the muxer
    // interleaves them by time.
    writer.frame->format = writer.video->pix_fmt;
    writer.frame->width = kMovieWidth;
    writer.frame->height = kMovieHeight;
    if (av_frame_get_buffer(writer.frame, 0) < 0) return false;
    for (int n = 0; n < kMovieFrames; ++n) {
        if (av_frame_make_writable(writer.frame) < 0) return false;
        FillVideoFrame(writer.frame, name, n);
        writer.frame->pts = n;
        if (!writer.Encode(writer.video, writer.videoStream, writer.frame)) return false;
    }
    if (!writer.Encode(writer.video, writer.videoStream, nullptr)) return false;

    av_frame_unref(writer.frame);
    const int frameSize = writer.audio->frame_size > 0 ? writer.audio->frame_size : 1024;
    writer.frame->format = writer.audio->sample_fmt;
    writer.frame->sample_rate = kAudioRate;
    writer.frame->nb_samples = frameSize;
    if (av_channel_layout_copy(&writer.frame->ch_layout, &writer.audio->ch_layout) < 0) return false;
    if (av_frame_get_buffer(writer.frame, 0) < 0) return false;
    const int total = kAudioRate * kMovieFrames / kMovieFramesPerSecond;
    for (int start = 0; start < total; start += frameSize) {
        if (av_frame_make_writable(writer.frame) < 0) return false;
        float* samples = reinterpret_cast<float*>(writer.frame->data[0]);
        for (int i = 0; i < frameSize; ++i)
            samples[i] = start + i < total ? 0.2f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * (start + i) / kAudioRate)) : 0.0f;
        writer.frame->pts = start;
        if (!writer.Encode(writer.audio, writer.audioStream, writer.frame)) return false;
    }
    if (!writer.Encode(writer.audio, writer.audioStream, nullptr)) return false;

    return av_write_trailer(writer.format) == 0;
}

}  // namespace placeholder
