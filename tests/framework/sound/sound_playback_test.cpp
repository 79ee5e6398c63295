// Loading and playing memory sounds on the virtual output: what is heard,
// the voices taken in turn, buffer counts, the volume scale, lengths and
// positions, the wait of play type 0, the 180-second line and the failures
// of loading.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "framework/window/main_window_state.h"
#include "platform/dsound/virtual_output.h"
#include "platform/profile/machine_profile.h"
#include "platform/user/user.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

using soundtest::MakeWave16;
using soundtest::Samples16;

class SoundPlaybackTest : public soundtest::SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(StartSound());
    }

    int FromMemory(const std::string& file, int buffers) {
        return CreateSoundHandleFromStream(file.data(), static_cast<int>(file.size()), buffers, -1);
    }

    static uint32_t Cursor(int handle, int voice) {
        DWORD cursor = 0;
        GetSoundRecord(handle)->voices[voice].buffer->GetCurrentPosition(&cursor, nullptr);
        return cursor;
    }
    static bool VoicePlays(int handle, int voice) {
        uint32_t status = 0;
        GetSoundBufferVoiceStatus(&GetSoundRecord(handle)->voices[voice], &status);
        return (status & DSBSTATUS_PLAYING) != 0;
    }
};

// 44.1 kHz stereo 16-bit data plays at the output's own format, so the mix
// is the data itself.
TEST_F(SoundPlaybackTest, ThePlayedWaveIsHeardAsItsSamples) {
    const std::vector<int16_t> samples = Samples16(2000, 2);
    const int handle = LoadSoundFileToHandle(WriteFile("a.wav", MakeWave16(samples, 2, 44100)).c_str(), 3, -1);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(GetSoundHandleTotalSamples(handle), 2000);
    EXPECT_EQ(GetSoundHandleTotalTimeMs(handle), 45);

    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 1);
    std::vector<int16_t> heard = Mix(1500);
    EXPECT_EQ(GetSoundHandlePosition(handle), 1500);
    EXPECT_EQ(GetSoundHandleBytePosition(handle), 6000);
    EXPECT_EQ(GetSoundHandlePlayTimeMs(handle), 1500 * 1000 / 44100);
    const std::vector<int16_t> rest = Mix(600);
    heard.insert(heard.end(), rest.begin(), rest.end());
    std::vector<int16_t> expected = samples;
    expected.resize(2100 * 2, 0);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
    EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
}

TEST_F(SoundPlaybackTest, ALoopIsHeardAgainAndAStopResumesWhereItStood) {
    const std::vector<int16_t> samples = Samples16(700, 2, 5);
    const int handle = FromMemory(MakeWave16(samples, 2, 44100), 1);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeLoop, 1), 0);
    std::vector<int16_t> twice = samples;
    twice.insert(twice.end(), samples.begin(), samples.end());
    EXPECT_EQ(Mix(1400), twice);

    Mix(300);
    ASSERT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
    EXPECT_EQ(Mix(10), std::vector<int16_t>(20, 0));
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 0), 0);
    EXPECT_EQ(Mix(400), std::vector<int16_t>(samples.begin() + 600, samples.end()));
}

TEST_F(SoundPlaybackTest, VoicesAreTakenInTurn) {
    const std::string file = MakeWave16(Samples16(4410, 2), 2, 44100);
    for (int fromTop : {1, 0}) {
        SCOPED_TRACE(fromTop);
        const int handle = FromMemory(file, 3);
        ASSERT_NE(handle, -1);
        ASSERT_EQ(GetSoundRecord(handle)->voiceCount, 3);
        // Plays go to voices 1, 2, 0 and then 1 again.
        for (int play = 0; play < 3; ++play) {
            ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
            Mix(100);
        }
        EXPECT_EQ(Cursor(handle, 1), 1200u);
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, fromTop), 0);
        EXPECT_EQ(GetSoundRecord(handle)->currentVoice, 1);
        EXPECT_TRUE(VoicePlays(handle, 1));
        // From the top the first voice starts again; otherwise it sounds on.
        EXPECT_EQ(Cursor(handle, 1), fromTop ? 0u : 1200u);
        EXPECT_TRUE(VoicePlays(handle, 2));
        EXPECT_TRUE(VoicePlays(handle, 0));
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
}

TEST_F(SoundPlaybackTest, BufferCounts) {
    const std::string file = MakeWave16(Samples16(100, 2), 2, 44100);
    const std::string path = WriteFile("b.wav", file);
    const int live = SoundHandleTable.liveCount;
    const int blocks = LiveBlocks();
    EXPECT_EQ(FromMemory(file, 11), -1);
    EXPECT_EQ(SoundHandleTable.liveCount, live);
    EXPECT_EQ(LiveBlocks(), blocks);

    const int clamped = LoadSoundFileToHandle(path.c_str(), 11, -1);
    ASSERT_NE(clamped, -1);
    EXPECT_EQ(GetSoundRecord(clamped)->voiceCount, 10);

    // A voice that cannot be duplicated leaves the sound with fewer.
    platform::Profile().failures.sound.duplicates = 1;
    const int fewer = FromMemory(file, 3);
    ASSERT_NE(fewer, -1);
    EXPECT_EQ(GetSoundRecord(fewer)->voiceCount, 1);
    ASSERT_EQ(PlaySoundHandle(fewer, kPlayTypeBackground, 1), 0);
    ASSERT_EQ(PlaySoundHandle(fewer, kPlayTypeBackground, 1), 0);
    EXPECT_EQ(GetSoundRecord(fewer)->currentVoice, 0);

    // No voice: the sound exists and cannot play.
    for (int count : {0, -3}) {
        SCOPED_TRACE(count);
        const int silent = FromMemory(file, count);
        ASSERT_NE(silent, -1);
        EXPECT_EQ(GetSoundRecord(silent)->voiceCount, 0);
        EXPECT_EQ(PlaySoundHandle(silent, kPlayTypeBackground, 1), -1);
        EXPECT_EQ(CheckSoundHandlePlaying(silent), 0);
        EXPECT_EQ(StopSoundHandle(silent), 0);
        EXPECT_EQ(GetSoundHandleBytePosition(silent), 0);
        EXPECT_EQ(DeleteSoundHandle(silent, 0), 0);
    }
    EXPECT_EQ(DeleteAllSoundHandles(0), 0);
}

TEST_F(SoundPlaybackTest, VolumeInHundredthsOfADecibel) {
    const int handle = FromMemory(MakeWave16(Samples16(100, 2), 2, 44100), 2);
    ASSERT_NE(handle, -1);
    const struct {
        int volume;
        int32_t decibels;
    } cases[] = {{300, 0}, {255, 0}, {128, -299}, {1, -2406}, {0, -10000}, {-20, -10000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        ASSERT_EQ(SetSoundHandleVolume(c.volume, handle), 0);
        EXPECT_EQ(GetSoundRecord(handle)->volume, c.decibels);
        for (int voice = 0; voice < 2; ++voice) {
            LONG set = 1;
            GetSoundRecord(handle)->voices[voice].buffer->GetVolume(&set);
            EXPECT_EQ(set, c.decibels);
        }
    }
    // Later plays keep it: silence.
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
    EXPECT_EQ(Mix(50), std::vector<int16_t>(100, 0));
}

// Each posted step message moves the virtual output on by 10 ms and posts
// the next, so the message pump of play type 0's wait is what moves time.
constexpr UINT kStepMessage = WM_USER + 7;
int gSteps = 0;
LRESULT StepOutput(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == kStepMessage) {
        ++gSteps;
        platform::dsound::AdvanceVirtualOutput(441);
        PostMessageA(window, kStepMessage, 0, 0);
    }
    return 0;
}

TEST_F(SoundPlaybackTest, PlayType0WaitsForTheEndOrTheQuit) {
    const int handle = FromMemory(MakeWave16(Samples16(44100 / 2, 2), 2, 44100), 1);
    ASSERT_NE(handle, -1);

    // The program quits: the wait ends at once with the sound still playing.
    MainWindow.quitFlag = 1;
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeWait, 1), 0);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 1);
    StopSoundHandle(handle);
    MainWindow.quitFlag = 0;

    MainWindow.settings.runWhenInactive = 1;
    MainWindow.settings.windowProcedureHook = StepOutput;
    HWND window = StartWindowMode();
    ASSERT_NE(window, nullptr);
    gSteps = 0;
    PostMessageA(window, kStepMessage, 0, 0);
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeWait, 1), 0);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
    // Half a second is 50 steps: the wait lasted at least that long.
    EXPECT_GE(gSteps, 50);
    MainWindow.settings.windowProcedureHook = nullptr;
}

TEST_F(SoundPlaybackTest, AnOggVorbisFileLoadsToItsStatedLength) {
    const int handle =
        LoadSoundFileToHandle(WriteFile("tone.ogg", soundtest::MakeOggVorbis(1, 44100, 30000)).c_str(), 1, -1);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(GetSoundHandleTotalSamples(handle), 30000);
    EXPECT_EQ(GetSoundRecord(handle)->format.nChannels, 1);
    EXPECT_EQ(GetSoundRecord(handle)->frequency, 44100u);
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
    const std::vector<int16_t> heard = Mix(1000);
    EXPECT_NE(heard, std::vector<int16_t>(heard.size(), 0));
}

// 8 kHz 8-bit mono: 8000 bytes a second.
TEST_F(SoundPlaybackTest, SoundsUpTo180WholeSecondsStayInMemory) {
    soundtest::WaveSpec spec;
    spec.channels = 1;
    spec.rate = 8000;
    spec.bits = 8;
    spec.data.assign(8000 * 180 + 7999, '\x80');
    const int memory = LoadSoundFileToHandle(WriteFile("long.wav", soundtest::MakeWave(spec)).c_str(), 1, -1);
    ASSERT_NE(memory, -1);
    EXPECT_EQ(GetSoundRecord(memory)->isStream, 0);
    EXPECT_EQ(GetSoundHandleTotalSamples(memory), 8000 * 180 + 7999);
}

TEST_F(SoundPlaybackTest, LoadingFailuresAreLoggedAndLeaveNothing) {
    struct Case {
        const char* name;
        std::string file;  // empty: no file
        uint32_t lockFailures;
        uint32_t unlockFailures;
        std::vector<std::string> lines;
    };
    const std::string wave = MakeWave16(Samples16(100, 2), 2, 44100);
    const Case cases[] = {
        {"missing file", "", 0, 0, {"右記のファイルのオープンに失敗しました：", "右記の音声ファイルのロードに失敗しました_1："}},
        {"no sound", std::string(300, 'q'), 0, 0,
         {"音声ファイルのＰＣＭへの変換に失敗しました", "右記の音声ファイルのロードに失敗しました_2："}},
        {"upload lock", wave, 1, 0, {"サウンドデータの転送に失敗しました_1", "右記の音声ファイルのロードに失敗しました_2："}},
        {"upload unlock", wave, 0, 1, {"サウンドデータの転送に失敗しました_2", "右記の音声ファイルのロードに失敗しました_2："}},
    };
    const int blocks = LiveBlocks();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.file.empty() ? folder_.windowsPath() + "\\none.wav" : WriteFile("f.wav", c.file);
        platform::Profile().failures.sound.locks = c.lockFailures;
        platform::Profile().failures.sound.unlocks = c.unlockFailures;
        ExpectLoadRefused(path, 3, c.lines, blocks);
    }
}

}  // namespace
