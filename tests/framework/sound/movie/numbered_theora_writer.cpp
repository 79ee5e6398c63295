#include "numbered_theora_writer.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

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

}  // namespace

std::string WriteNumberedTheora(int frames, int keyframeInterval) {
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
    std::string out;
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    bool first = true;
    while (th_encode_flushheader(encoder, &comment, &packet) > 0) {
        ogg_stream_packetin(&stream, &packet);
        if (first) FlushPages(stream, out);  // the identification header has a page of its own
        first = false;
    }
    FlushPages(stream, out);

    std::vector<unsigned char> luma(32 * 32), chroma(16 * 16, 128);
    for (int frame = 0; frame < frames; ++frame) {
        for (int row = 0; row < 32; ++row)
            for (int col = 0; col < 32; ++col) {
                const int bit = (row / 8) * 4 + col / 8;
                luma[row * 32 + col] = row < kHeight && ((frame >> bit) & 1) ? 235 : 16;
            }
        th_ycbcr_buffer picture = {{32, 32, 32, luma.data()}, {16, 16, 16, chroma.data()}, {16, 16, 16, chroma.data()}};
        th_encode_ycbcr_in(encoder, picture);
        while (th_encode_packetout(encoder, frame == frames - 1, &packet) > 0) {
            ogg_stream_packetin(&stream, &packet);
            FlushPages(stream, out);
        }
    }
    th_comment_clear(&comment);
    th_encode_free(encoder);
    ogg_stream_clear(&stream);
    th_info_clear(&info);
    return out;
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
