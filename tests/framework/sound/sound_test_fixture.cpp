#include "tests/framework/sound/sound_test_fixture.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/base/tracked_memory.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_system.h"
#include "framework/sound/sound_system_state.h"
#include "platform/dsound/virtual_output.h"
#include "platform/platform.h"
#include "platform/profile/machine_profile.h"

namespace soundtest {

std::vector<int16_t> Samples16(uint32_t frames, int channels, int seed) {
    std::vector<int16_t> samples(size_t(frames) * channels);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>((i * 7919 + seed * 104729) % 60000 - 30000);
    return samples;
}

std::string Le16(uint16_t value) { return std::string{char(value & 0xFF), char(value >> 8)}; }

std::string Le32(uint32_t value) {
    return std::string{char(value & 0xFF), char(value >> 8 & 0xFF), char(value >> 16 & 0xFF), char(value >> 24)};
}

std::string Chunk(const char id[4], const std::string& body) {
    std::string chunk(id, 4);
    chunk += Le32(static_cast<uint32_t>(body.size()));
    chunk += body;
    if (body.size() % 2 != 0) chunk += '\0';
    return chunk;
}

std::string MakeWave(const WaveSpec& spec) {
    std::string fmt = spec.fmtBody;
    if (fmt.empty()) {
        const uint16_t blockAlign = static_cast<uint16_t>(spec.channels * spec.bits / 8);
        fmt = Le16(1) + Le16(static_cast<uint16_t>(spec.channels)) + Le32(spec.rate) + Le32(spec.rate * blockAlign) +
              Le16(blockAlign) + Le16(static_cast<uint16_t>(spec.bits));
    }
    std::string body = "WAVE" + spec.chunksBeforeFmt + Chunk("fmt ", fmt) + spec.chunksBeforeData;
    body += "data";
    body += Le32(spec.declaredDataSize >= 0 ? static_cast<uint32_t>(spec.declaredDataSize)
                                            : static_cast<uint32_t>(spec.data.size()));
    body += spec.data;
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}

std::string BytesOf(const std::vector<int16_t>& samples) {
    return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
}

std::string MakeWave16(const std::vector<int16_t>& samples, int channels, uint32_t rate) {
    WaveSpec spec;
    spec.channels = channels;
    spec.rate = rate;
    spec.data = BytesOf(samples);
    return MakeWave(spec);
}

std::string MakeOggVorbis(int channels, long rate, uint32_t frames, float quality, int serial) {
    vorbis_info info;
    vorbis_info_init(&info);
    EXPECT_EQ(vorbis_encode_init_vbr(&info, channels, rate, quality), 0);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    std::string file;
    ogg_page page;
    auto take = [&](ogg_page& p) {
        file.append(reinterpret_cast<const char*>(p.header), p.header_len);
        file.append(reinterpret_cast<const char*>(p.body), p.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    while (ogg_stream_flush(&stream, &page) != 0) take(page);

    uint32_t done = 0;
    bool ended = false;
    while (!ended) {
        const uint32_t step = frames - done < 1024 ? frames - done : 1024;
        if (step == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** input = vorbis_analysis_buffer(&dsp, static_cast<int>(step));
            for (uint32_t i = 0; i < step; ++i)
                for (int c = 0; c < channels; ++c)
                    input[c][i] = 0.25f * std::sin(0.05f * float(done + i) * float(c + 1));
            vorbis_analysis_wrote(&dsp, static_cast<int>(step));
            done += step;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    take(page);
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
    return file;
}

void SoundTest::SetUp() {
    MainWindowTest::SetUp();
    platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
    platform::Profile().sound.devices = {{"Primary Sound Driver", ""}, {"Test output", "testsound"}};
    platform::SoundCaps& caps = platform::Profile().sound.caps;
    caps.minSecondaryRate = 8000;
    caps.maxSecondaryRate = 48000;
    caps.totalHardwareMemory = 262144;
    caps.freeHardwareMemory = 131072;
    CoInitialize(nullptr);
    blocksAtStart_ = LiveBlocks();
}

void SoundTest::TearDown() {
    TermSoundSystem();
    EXPECT_EQ(LiveBlocks(), blocksAtStart_) << "a record, buffer or block was left behind";
    EXPECT_EQ(CheckMemoryAllocations(), 0);
    CoUninitialize();
    MainWindowTest::TearDown();
}

bool SoundTest::StartSound() { return InitSoundSystem() == 0; }

int SoundTest::LiveBlocks() {
    const size_t mark = LogText().size();
    DumpMemoryAllocations();
    const std::string dump = LogSince(mark);
    const size_t at = dump.find("Alloc num:");
    return at == std::string::npos ? -1 : std::atoi(dump.c_str() + at + 10);
}

std::string SoundTest::WriteFile(const std::string& name, const std::string& bytes) {
    FILE* file = std::fopen((folder_.hostPath() + "/" + name).c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return folder_.windowsPath() + "\\" + name;
}

void SoundTest::ExpectLoadRefused(const std::string& path, int bufferCount, const std::vector<std::string>& lines,
                                  int blocks) {
    const size_t mark = LogText().size();
    EXPECT_EQ(LoadSoundFileToHandle(path.c_str(), bufferCount, -1), -1);
    const std::string logged = LinesSince(mark);
    size_t at = 0;
    for (const std::string& line : lines) {
        at = logged.find(line, at);
        EXPECT_NE(at, std::string::npos) << line;
    }
    EXPECT_NE(logged.find(path), std::string::npos);
    EXPECT_EQ(SoundHandleTable.liveCount, 0);
    EXPECT_EQ(LiveBlocks(), blocks);
}

std::vector<int16_t> SoundTest::Mix(uint32_t frames) {
    EXPECT_TRUE(platform::dsound::AdvanceVirtualOutput(frames));
    return platform::dsound::TakeVirtualOutput().samples;
}

}  // namespace soundtest
