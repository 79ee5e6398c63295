// The sound system's start and end: the log it writes, the primary format it
// chooses from the device's capabilities, what each failure leaves, and the
// stream thread's start and stop.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/sound/music.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_system.h"
#include "framework/sound/sound_system_state.h"
#include "framework/window/main_window_state.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

using soundtest::SoundTest;

class SoundSystemTest : public SoundTest {};

const char kStartLog[] =
    "DirectSound の初期化を行います\r\n"
    "DirectSound インターフェースの取得を行います....  成功\r\n"
    "引き続きインターフェースの初期化処理...  成功\r\n"
    "\tDirectSound デバイスを列挙します\r\n"
    "\t\tモジュール名:                 ドライバ記述:Primary Sound Driver\r\n"
    "\t\tモジュール名:      testsound  ドライバ記述:Test output\r\n"
    "\t最大サンプリングレート:48.00KHz 最小サンプリングレート:8.00KHz\r\n"
    "\t総サウンドメモリ領域:256.00KB 空きサウンドメモリ領域:128.00KB\r\n"
    "\t利用可能サンプリング精度\r\n"
    "\t プライマリ １６bit = OK  ８bit = NO \r\n"
    "\t セカンダリ １６bit = OK  ８bit = OK \r\n"
    "\t利用可能チャンネル\r\n"
    "\t プライマリ MONO = OK  STEREO = OK \r\n"
    "\t セカンダリ MONO = NO  STEREO = OK \r\n"
    "DirectSound の初期化は正常に終了しました\r\n";

TEST_F(SoundSystemTest, StartAndEndWriteTheDeviceReport) {
    platform::Profile().sound.caps.primary8Bit = false;
    platform::Profile().sound.caps.secondaryMono = false;
    const size_t mark = LogText().size();
    ASSERT_EQ(InitSoundSystem(), 0);
    EXPECT_EQ(LinesSince(mark), kStartLog);

    // A second start is refused and writes nothing.
    IDirectSound* object = DirectSoundObject;
    const size_t afterStart = LogText().size();
    EXPECT_EQ(InitSoundSystem(), -1);
    EXPECT_EQ(DirectSoundObject, object);
    EXPECT_EQ(LogText().size(), afterStart);

    EXPECT_EQ(TermSoundSystem(), 0);
    EXPECT_EQ(LinesSince(afterStart), "DirectSound の終了処理は正常に終了しました\r\n");
    EXPECT_EQ(DirectSoundObject, nullptr);
    EXPECT_EQ(TermSoundSystem(), -1);
}

TEST_F(SoundSystemTest, ThePrimaryFormatFollowsTheCapabilities) {
    struct Case {
        const char* name;
        bool stereo;
        bool sixteen;
        uint32_t maxRate;
        WORD channels;
        WORD bits;
        DWORD rate;
    };
    const Case cases[] = {
        {"stereo 16-bit, 48 kHz limited to 44.1", true, true, 48000, 2, 16, 44100},
        {"mono 8-bit at 22.05 kHz", false, false, 22050, 1, 8, 22050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::SoundCaps& caps = platform::Profile().sound.caps;
        caps.primaryStereo = c.stereo;
        caps.primary16Bit = c.sixteen;
        caps.maxSecondaryRate = c.maxRate;
        ASSERT_EQ(InitSoundSystem(), 0);
        WAVEFORMATEX format{};
        ASSERT_EQ(PrimarySoundBuffer->GetFormat(&format, sizeof format, nullptr), DS_OK);
        EXPECT_EQ(format.nChannels, c.channels);
        EXPECT_EQ(format.wBitsPerSample, c.bits);
        EXPECT_EQ(format.nSamplesPerSec, c.rate);
        EXPECT_EQ(format.nBlockAlign, c.channels * c.bits / 8);
        EXPECT_EQ(format.nAvgBytesPerSec, format.nBlockAlign * c.rate);
        EXPECT_EQ(TermSoundSystem(), 0);
    }
}

TEST_F(SoundSystemTest, AFailedStartLeavesNothingAndALaterStartWorks) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        const char* lastLine;
    };
    const Case cases[] = {
        {"no sound class", [] { platform::Profile().sound.directSound = false; },
         "DirectSound インターフェースの取得を行います....  DirectSoundインターフェースの作成に失敗しました\r\n"},
        {"no driver", [] { platform::Profile().failures.sound.initialize = true; },
         "引き続きインターフェースの初期化処理...  初期化に失敗しました\r\n"},
        {"cooperative level", [] { platform::Profile().failures.sound.cooperativeLevel = true; },
         "DirectSoundの協調レベルの設定に失敗しました\r\n"},
        {"primary buffer", [] { platform::Profile().failures.sound.createPrimaryBuffer = true; },
         "DirectSoundのプライマリサウンドバッファの作成に失敗しました\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.fail();
        const size_t mark = LogText().size();
        EXPECT_EQ(InitSoundSystem(), -1);
        const std::string lines = LinesSince(mark);
        ASSERT_GE(lines.size(), std::string(c.lastLine).size());
        EXPECT_EQ(lines.substr(lines.size() - std::string(c.lastLine).size()), c.lastLine);
        EXPECT_EQ(DirectSoundObject, nullptr);
        EXPECT_EQ(SoundStreamThread, nullptr);
        EXPECT_EQ(TermSoundSystem(), -1);

        platform::Profile().sound.directSound = true;
        platform::Profile().failures.sound = platform::SoundFailures{};
        ASSERT_EQ(InitSoundSystem(), 0);
        EXPECT_EQ(TermSoundSystem(), 0);
    }
}

TEST_F(SoundSystemTest, PrimaryFormatAndSilentBufferFailuresOnlyLog) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        const char* line;
    };
    const Case cases[] = {
        {"primary format", [] { platform::Profile().failures.sound.primaryFormat = true; },
         "DirectSoundのプライマリサウンドバッファのフォーマット設定に失敗しました\r\n"},
        {"silent buffer", [] { platform::Profile().failures.sound.createBuffers = 1; },
         "無音バッファの作成に失敗しました\r\n"},
        {"silent buffer lock", [] { platform::Profile().failures.sound.locks = 1; },
         "無音バッファのロックに失敗しました\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::Profile().failures.sound = platform::SoundFailures{};
        c.fail();
        const size_t mark = LogText().size();
        ASSERT_EQ(InitSoundSystem(), 0);
        EXPECT_NE(LinesSince(mark).find(c.line), std::string::npos);
        EXPECT_NE(LinesSince(mark).find("DirectSound の初期化は正常に終了しました"), std::string::npos);
        EXPECT_EQ(TermSoundSystem(), 0);
    }
}

TEST_F(SoundSystemTest, TheStreamThreadRunsUntilTheEndEvenWhenTheProgramQuits) {
    ASSERT_EQ(InitSoundSystem(), 0);
    ASSERT_NE(SoundStreamThread, nullptr);
    EXPECT_EQ(GetThreadPriority(SoundStreamThread), THREAD_PRIORITY_TIME_CRITICAL);
    // With the quit posted the message loop no longer waits; the end still
    // waits for the thread before it releases what the thread uses.
    MainWindow.quitFlag = 1;
    EXPECT_EQ(TermSoundSystem(), 0);
    EXPECT_EQ(SoundStreamThreadTerminate.load(), 2);
    EXPECT_EQ(SoundStreamThread, nullptr);
}

TEST_F(SoundSystemTest, NothingLoadsBeforeTheStartAndNothingIsLogged) {
    const std::string wave = soundtest::MakeWave16(soundtest::Samples16(100, 2), 2, 44100);
    const std::string path = WriteFile("a.wav", wave);
    const size_t mark = LogText().size();
    EXPECT_EQ(AddSoundData(-1), -1);
    EXPECT_EQ(LoadSoundFileToHandle(path.c_str(), 3, -1), -1);
    EXPECT_EQ(CreateSoundHandleFromStream(wave.data(), static_cast<int>(wave.size()), 3, -1), -1);
    EXPECT_EQ(DeleteAllSoundHandles(0), -1);
    EXPECT_EQ(LogText().size(), mark);
}

TEST_F(SoundSystemTest, TheMusicEntryPointsKeepTheirResults) {
    const int music = 0x58000000;
    for (int started : {0, 1}) {
        SCOPED_TRACE(started);
        if (started) {
            ASSERT_EQ(InitSoundSystem(), 0);
        }
        EXPECT_EQ(CheckMusicHandlePlaying(music), -1);
        EXPECT_EQ(StopMusicHandle(music), -1);
        EXPECT_EQ(DeleteMusicHandle(music), -1);
        EXPECT_EQ(DeleteAllMusicHandles(), started ? 0 : -1);
        EXPECT_EQ(PollMusicPlayState(), started ? 0 : -1);
        EXPECT_EQ(HandleMciNotify(), 0);
        EXPECT_EQ(StopCurrentMusic(), 0);
    }
}

}  // namespace
