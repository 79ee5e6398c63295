// Theora movies written with libtheora's encoder, one page per frame.
#include "numbered_theora_writer.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <functional>
#include <vector>

namespace movietest {

namespace {

void Append(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), page.header_len);
    out.append(reinterpret_cast<const char*>(page.body), page.body_len);
}

void FlushPages(ogg_stream_state& stream, std::string& out) {
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) Append(out, page);
}

// Fills a frame's 32x32 luma plane and 16x16 chroma planes.
using PictureMaker = std::function<void(int frame, unsigned char* luma, unsigned char* u, unsigned char* v)>;

// A stream's pages in three parts, so that another stream's can go between.
struct StreamPages {
    std::string first;    // the beginning-of-stream page
    std::string headers;  // the further header pages
    std::string data;
    std::string All() const { return first + headers + data; }
};

StreamPages WriteTheora(int frames, int keyframeInterval, const PictureMaker& make) {
    constexpr int kWidth = 32, kHeight = 24;
    th_info info;
    th_info_init(&info);
    info.frame_width = 32;
    info.frame_height = 32;
    info.pic_width = kWidth;
    info.pic_height = kHeight;
    info.pic_x = 0;
    info.pic_y = 0;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = TH_PF_420;
    info.fps_numerator = 10;
    info.fps_denominator = 1;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.quality = 63;
    info.target_bitrate = 0;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    int interval = keyframeInterval;
    th_encode_ctl(encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &interval, sizeof(interval));

    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x5EED);
    StreamPages out;
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    bool first = true;
    while (th_encode_flushheader(encoder, &comment, &packet) > 0) {
        ogg_stream_packetin(&stream, &packet);
        if (first) FlushPages(stream, out.first);  // the identification header has a page of its own
        first = false;
    }
    FlushPages(stream, out.headers);

    std::vector<unsigned char> luma(32 * 32), u(16 * 16, 128), v(16 * 16, 128);
    for (int frame = 0; frame < frames; ++frame) {
        make(frame, luma.data(), u.data(), v.data());
        th_ycbcr_buffer picture = {{32, 32, 32, luma.data()}, {16, 16, 16, u.data()}, {16, 16, 16, v.data()}};
        th_encode_ycbcr_in(encoder, picture);
        while (th_encode_packetout(encoder, frame == frames - 1, &packet) > 0) {
            ogg_stream_packetin(&stream, &packet);
            FlushPages(stream, out.data);
        }
    }
    th_comment_clear(&comment);
    th_encode_free(encoder);
    ogg_stream_clear(&stream);
    th_info_clear(&info);
    return out;
}

// A quiet tone of `samples` samples at 22050 Hz, one channel.
StreamPages WriteVorbis(int samples, const std::function<std::string(const std::string&)>& editSetup) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, 1, 22050, 0.1f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0xA0D10);
    StreamPages out;
    ogg_packet identification, commentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &commentHeader, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    FlushPages(stream, out.first);
    ogg_stream_packetin(&stream, &commentHeader);
    std::string setup(reinterpret_cast<const char*>(codebooks.packet), size_t(codebooks.bytes));
    if (editSetup) setup = editSetup(setup);
    codebooks.packet = reinterpret_cast<unsigned char*>(setup.data());
    codebooks.bytes = long(setup.size());
    ogg_stream_packetin(&stream, &codebooks);
    FlushPages(stream, out.headers);

    int done = 0;
    bool ended = false;
    while (!ended) {
        const int step = samples - done < 1024 ? samples - done : 1024;
        if (step == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** input = vorbis_analysis_buffer(&dsp, step);
            for (int i = 0; i < step; ++i) input[0][i] = 0.2f * std::sin(0.1f * static_cast<float>(done + i));
            vorbis_analysis_wrote(&dsp, step);
            done += step;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    Append(out.data, page);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

void NumberedPicture(int frame, unsigned char* luma, unsigned char*, unsigned char*) {
    for (int row = 0; row < 32; ++row)
        for (int col = 0; col < 32; ++col) {
            const int bit = (row / 8) * 4 + col / 8;
            luma[row * 32 + col] = row < 24 && ((frame >> bit) & 1) ? 235 : 16;
        }
}

}  // namespace

std::string WriteNumberedTheora(int frames, int keyframeInterval) {
    return WriteTheora(frames, keyframeInterval, NumberedPicture).All();
}

std::string WriteNumberedTheoraWithSound(int frames, int soundSamples,
                                         const std::function<std::string(const std::string&)>& editSetup) {
    const StreamPages video = WriteTheora(frames, 8, NumberedPicture);
    const StreamPages sound = WriteVorbis(soundSamples, editSetup);
    return sound.first + video.first + sound.headers + video.headers + sound.data + video.data;
}

std::string WriteColourTheora(int frames) {
    return WriteTheora(frames, 8, [](int frame, unsigned char* luma, unsigned char* u, unsigned char* v) {
        for (int row = 0; row < 32; ++row)
            for (int col = 0; col < 32; ++col) luma[row * 32 + col] = static_cast<unsigned char>(20 + 6 * col + row + frame);
        for (int row = 0; row < 16; ++row)
            for (int col = 0; col < 16; ++col) {
                u[row * 16 + col] = static_cast<unsigned char>(40 + 11 * col);
                v[row * 16 + col] = static_cast<unsigned char>(220 - 9 * row - 2 * col);
            }
    }).All();
}

int ReadFrameNumber(const unsigned char* pixels, int pitch) {
    int number = 0;
    for (int bit = 0; bit < 12; ++bit) {
        const unsigned char* centre = pixels + ((bit / 4) * 8 + 4) * pitch + ((bit % 4) * 8 + 4) * 4;
        if (centre[1] > 128) number |= 1 << bit;
    }
    return number;
}

}  // namespace movietest
