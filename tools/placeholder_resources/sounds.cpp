#include "tools/placeholder_resources/sounds.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace placeholder {

namespace {

double PitchOf(const std::string& name) {
    uint32_t hash = 2166136261u;
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return 220.0 + hash % 660;
}

// A tone with a short fade at both ends, so that it starts and stops
// without a click.
std::vector<float> Tone(const std::string& name, double seconds) {
    const int count = static_cast<int>(seconds * kSoundRate);
    const double pitch = PitchOf(name);
    const int fade = kSoundRate / 100;
    std::vector<float> samples(count);
    for (int i = 0; i < count; ++i) {
        double level = 0.3;
        if (i < fade) level *= static_cast<double>(i) / fade;
        if (count - i < fade) level *= static_cast<double>(count - i) / fade;
        samples[i] = static_cast<float>(level * std::sin(2.0 * M_PI * pitch * i / kSoundRate));
    }
    return samples;
}

void Put16(FILE* file, uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

void Put32(FILE* file, uint32_t value) {
    Put16(file, static_cast<uint16_t>(value));
    Put16(file, static_cast<uint16_t>(value >> 16));
}

bool WritePages(FILE* file, ogg_stream_state& stream, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
        if (std::fwrite(page.header, 1, page.header_len, file) != static_cast<size_t>(page.header_len)) return false;
        if (std::fwrite(page.body, 1, page.body_len, file) != static_cast<size_t>(page.body_len)) return false;
    }
    return true;
}

}  // namespace

bool WriteEffectWav(const std::string& hostPath, const std::string& name) {
    const std::vector<float> samples = Tone(name, kEffectSeconds);
    FILE* file = std::fopen(hostPath.c_str(), "wb");
    if (file == nullptr) return false;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, file);
    Put32(file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    Put32(file, 16);
    Put16(file, 1);  // PCM
    Put16(file, 1);  // mono
    Put32(file, kSoundRate);
    Put32(file, kSoundRate * 2);
    Put16(file, 2);
    Put16(file, 16);
    std::fwrite("data", 1, 4, file);
    Put32(file, dataBytes);
    for (float sample : samples) Put16(file, static_cast<uint16_t>(static_cast<int16_t>(sample * 32767.0f)));
    return std::fclose(file) == 0;
}

bool WriteMusicOgg(const std::string& hostPath, const std::string& name) {
    const std::vector<float> samples = Tone(name, kMusicSeconds);
    FILE* file = std::fopen(hostPath.c_str(), "wb");
    if (file == nullptr) return false;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, kSoundRate, 0.1f) != 0) {
        vorbis_info_clear(&info);
        std::fclose(file);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    bool ok = WritePages(file, stream, true);

    constexpr int kChunk = 1024;
    size_t done = 0;
    bool ended = false;
    while (ok && !ended) {
        const int count = static_cast<int>(std::min<size_t>(kChunk, samples.size() - done));
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, count);
            for (int i = 0; i < count; ++i) buffer[0][i] = samples[done + i];
            vorbis_analysis_wrote(&dsp, count);
            done += count;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                ok = ok && WritePages(file, stream, false);
                if (packet.e_o_s) ended = true;
            }
        }
    }
    ok = ok && WritePages(file, stream, true);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return std::fclose(file) == 0 && ok;
}

}  // namespace placeholder
