// Stream sounds on the virtual output, with the refill called by the test
// after each 30 ms of output, or after a stall of several hundred (the test
// holds the sound lock, so the stream thread waits): fill sizes and the span
// test, what is heard once and looping, resume and restart, the silence
// after the end, the 180-second line and the fall-backs; and the real thread
// on the null output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_loading.h"
#include "framework/sound/sound_playback.h"
#include "framework/sound/sound_system_state.h"
#include "framework/sound/stream_sound.h"
#include "platform/dsound/virtual_output.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/sound/sound_test_fixture.h"

namespace {

using soundtest::MakeWave16;
using soundtest::Samples16;

constexpr uint32_t kStepFrames = 1323;  // 30 ms at 44.1 kHz
constexpr uint32_t kAverage = 176400;   // 44.1 kHz stereo 16-bit

class StreamSoundTest : public soundtest::SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_TRUE(StartSound());
        lock_.emplace();
    }
    void TearDown() override {
        lock_.reset();
        SoundTest::TearDown();
    }

    // 30 ms of output heard (or `frames`, a stall of the stream thread), then
    // the refill. The refill's result.
    int Step(int handle, uint32_t frames = kStepFrames) {
        const std::vector<int16_t> heard = Mix(frames);
        heard_.insert(heard_.end(), heard.begin(), heard.end());
        return ProcessStreamSound(handle);
    }
    // Steps until the sound stops, at most `limit` steps; true when it did.
    // (A refill answers -1 while more than 3/4 second is queued.)
    bool PlayOut(int handle, int limit) {
        for (int i = 0; i < limit && CheckSoundHandlePlaying(handle) == 1; ++i) Step(handle);
        return CheckSoundHandlePlaying(handle) == 0;
    }
    int StreamFromMemory(const std::string& file) {
        return CreateSoundHandleFromStream(file.data(), static_cast<int>(file.size()), 1, -1);
    }
    // Marks the ring past what the first fill wrote, so that anything heard
    // from there is not mistaken for silence.
    static void MarkRingAfterFirstFill(SoundRecord* record) {
        const uint32_t from = static_cast<uint32_t>(record->writePosition);
        void* part1 = nullptr;
        void* part2 = nullptr;
        uint32_t size1 = 0;
        uint32_t size2 = 0;
        ASSERT_EQ(LockSoundBufferVoice(&record->voices[0], from, record->ringBufferSize - from, &part1, &size1, &part2,
                                       &size2),
                  0);
        std::memset(part1, 0x55, size1);
        UnlockSoundBufferVoice(&record->voices[0], part1, size1, part2, size2);
    }
    // `samples` over and over, as long as what was heard (silence when there
    // are none): what a loop of them sounds like.
    std::vector<int16_t> HeardAsLooped(const std::vector<int16_t>& samples) const {
        std::vector<int16_t> looped;
        while (!samples.empty() && looped.size() < heard_.size())
            looped.insert(looped.end(), samples.begin(), samples.end());
        looped.resize(heard_.size());
        return looped;
    }
    // Where two sample runs first differ (the shorter one's size when one
    // starts the other), so that a failure names a place, not a million
    // samples.
    static size_t FirstDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
        const size_t common = std::min(a.size(), b.size());
        return std::mismatch(a.begin(), a.begin() + common, b.begin()).first - a.begin();
    }

    std::vector<int16_t> heard_;
    std::optional<SoundLockGuard> lock_;  // held from a started sound system on
};

TEST_F(StreamSoundTest, FillSizesAndTheSpanTest) {
    SetSoundLoadType(2);
    const int handle = StreamFromMemory(MakeWave16(Samples16(44100 * 3, 2), 2, 44100));
    ASSERT_NE(handle, -1);
    SoundRecord* record = GetSoundRecord(handle);
    ASSERT_EQ(record->isStream, 1);
    EXPECT_EQ(record->ringBufferSize, kAverage);
    EXPECT_EQ(GetSoundHandleTotalSamples(handle), 44100 * 3);
    // The first fill: 3/4 second.
    EXPECT_EQ(record->writePosition, int32_t(kAverage * 3 / 4));
    EXPECT_EQ(record->writeLimit, 0);

    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
    // A full queue takes an eighth of a second (in whole blocks).
    const int32_t eighth = kAverage / 8 / 4 * 4;
    const int32_t written = kAverage * 3 / 4 + eighth;
    EXPECT_EQ(ProcessStreamSound(handle), 0);
    EXPECT_EQ(record->writePosition, written);
    EXPECT_EQ(record->writeLimit, written - int32_t(kAverage * 3 / 4));
    // More than 3/4 second queued: nothing is written.
    EXPECT_EQ(ProcessStreamSound(handle), -1);
    EXPECT_EQ(record->writePosition, written);

    // 0.6 s played leaves about 0.275 s queued: the top-up to 0.375 s.
    Mix(26460);
    ASSERT_EQ(ProcessStreamSound(handle), 0);
    const uint32_t queuedTime = (written - 105840) * 512 / kAverage;
    ASSERT_LT(queuedTime, 192u);
    const uint32_t topUp = (192 - queuedTime) * kAverage / 512 / 4 * 4;
    EXPECT_EQ(record->writePosition, int32_t(written + topUp));

    // An underrun: the cursor ran past what was written.
    Mix(22050);
    EXPECT_EQ(ProcessStreamSound(handle), -1);
    // Once it is a quarter second past, refills go on.
    Mix(11025);
    EXPECT_EQ(ProcessStreamSound(handle), 0);
}

TEST_F(StreamSoundTest, WhatIsHeardIsTheDataInOrderThenSilence) {
    const std::vector<int16_t> samples = Samples16(70560, 2, 3);  // 1.6 s
    const std::string wave = MakeWave16(samples, 2, 44100);
    const std::string path = WriteFile("long.wav", wave);
    struct Case {
        const char* name;
        int loadType;
        bool fromFile;
        int dataType;
    };
    const Case cases[] = {
        {"file read while playing", 3, true, 3},
        {"memory copy of a file", 2, true, 2},
        {"memory image", 3, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        heard_.clear();
        SetSoundLoadType(c.loadType);
        const int handle = c.fromFile ? LoadSoundFileToHandle(path.c_str(), 1, -1) : StreamFromMemory(wave);
        ASSERT_NE(handle, -1);
        SoundRecord* record = GetSoundRecord(handle);
        ASSERT_EQ(record->isStream, 1);
        EXPECT_EQ(record->source.dataType, c.dataType);
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
        EXPECT_TRUE(PlayOut(handle, 200));
        EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
        EXPECT_EQ(record->streamActive, 0);
        EXPECT_EQ(record->finished, 1);
        ASSERT_GE(heard_.size(), samples.size());
        EXPECT_TRUE(std::equal(samples.begin(), samples.end(), heard_.begin()));
        EXPECT_EQ(std::vector<int16_t>(heard_.begin() + samples.size(), heard_.end()),
                  std::vector<int16_t>(heard_.size() - samples.size(), 0));

        // Played again it starts from the top.
        heard_.clear();
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 0), 0);
        Step(handle);
        EXPECT_TRUE(std::equal(heard_.begin(), heard_.end(), samples.begin()));
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

// Lengths in frames of 44.1 kHz stereo around what matters to the refill:
// a 30 ms step (1323), the first fill (33075), the one-second ring (44100).
const uint32_t kStreamLengths[] = {1, 3, 110, 441, 1200, 1323, 1324, 4410, 33075, 33076, 40000, 44100, 44101, 88200};

TEST_F(StreamSoundTest, PlayedOnceASoundOfAnyLengthIsHeardOnceAndStopsAtTheFirstRefillPastItsEnd) {
    SetSoundLoadType(2);
    for (const uint32_t frames : kStreamLengths) {
        SCOPED_TRACE(testing::Message() << frames << " frames");
        heard_.clear();
        const std::vector<int16_t> samples = Samples16(frames, 2, int(frames % 1000));
        const int handle = StreamFromMemory(MakeWave16(samples, 2, 44100));
        ASSERT_NE(handle, -1);
        SoundRecord* record = GetSoundRecord(handle);
        MarkRingAfterFirstFill(record);
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
        // The first refill with the cursor at or past the end stops the ring.
        const int refills = int((frames + kStepFrames - 1) / kStepFrames);
        int steps = 0;
        while (steps < refills + 200 && CheckSoundHandlePlaying(handle) == 1) {
            Step(handle);
            ++steps;
        }
        EXPECT_EQ(steps, refills);
        EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
        EXPECT_EQ(record->streamActive, 0);
        EXPECT_EQ(record->finished, 1);
        // The data once, then silence up to the stop.
        ASSERT_GE(heard_.size(), samples.size());
        EXPECT_EQ(FirstDifference(heard_, samples), samples.size());
        const std::vector<int16_t> after(heard_.begin() + samples.size(), heard_.end());
        EXPECT_EQ(FirstDifference(after, std::vector<int16_t>(after.size(), 0)), after.size());
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

// The stream thread can be held up for several hundred milliseconds (a
// stalled frame, a busy machine). The cursor then moves far between two
// refills, and may go round the ring past the place where it stood when the
// end was written: the end must still be found at the first refill at or
// past it, not a ring afterwards.
TEST_F(StreamSoundTest, AfterStallsOfSeveralHundredMillisecondsASoundPlayedOnceStopsAtTheFirstRefillPastItsEnd) {
    struct Case {
        const char* name;
        uint32_t frames;
        bool stepUntilEndWritten;      // 30 ms steps until a refill has written the end, then the stalls
        std::vector<uint32_t> stalls;  // frames of output between refills
    };
    const Case cases[] = {
        // 0.6 s, all in the first fill: 0.4 s, then 0.65 s, which ends
        // 1.05 s after the start, 0.05 s into the ring again.
        {"end written by the first fill", 26460, false, {17640, 28665}},
        // 1 s: the refill after a 0.7 s stall writes the end, 0.3 s ahead;
        // 0.25 s short of it, then 0.8 s past it.
        {"end written after a stall", 44100, false, {30870, 11025, 35280}},
        // 3 s: the end is written by a 30 ms refill, some 0.75 s ahead; 0.5 s
        // short of it, then 0.6 s past it.
        {"end written by a 30 ms refill", 132300, true, {22050, 26460}},
        // Two stalls of 0.3 s end right on the last frame.
        {"a stall onto the end", 26460, false, {13230, 13230}},
    };
    SetSoundLoadType(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        heard_.clear();
        const std::vector<int16_t> samples = Samples16(c.frames, 2, 6);
        const int handle = StreamFromMemory(MakeWave16(samples, 2, 44100));
        ASSERT_NE(handle, -1);
        SoundRecord* record = GetSoundRecord(handle);
        MarkRingAfterFirstFill(record);
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
        uint32_t played = 0;
        while (c.stepUntilEndWritten && record->ending == 0 && played < c.frames) {
            Step(handle);
            played += kStepFrames;
            ASSERT_EQ(CheckSoundHandlePlaying(handle), 1);
        }
        for (size_t i = 0; i < c.stalls.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "after stall " << i);
            Step(handle, c.stalls[i]);
            played += c.stalls[i];
            EXPECT_EQ(CheckSoundHandlePlaying(handle), played < c.frames ? 1 : 0);
        }
        ASSERT_GE(played, c.frames) << "the case reaches the end";
        EXPECT_EQ(record->streamActive, 0);
        EXPECT_EQ(record->finished, 1);
        // The ring held the data ahead of every stall. (After the end a
        // stall runs past the silence into what the ring held before.)
        ASSERT_GE(heard_.size(), samples.size());
        EXPECT_EQ(FirstDifference(heard_, samples), samples.size());
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

TEST_F(StreamSoundTest, ALoopOfAnyLengthIsHeardWithoutAGapAndCountsItsPlayedBytesFromTheLastWrap) {
    SetSoundLoadType(2);
    // More than two rings of output.
    constexpr int kSteps = 80;
    for (const uint32_t frames : kStreamLengths) {
        SCOPED_TRACE(testing::Message() << frames << " frames");
        heard_.clear();
        const std::vector<int16_t> samples = Samples16(frames, 2, int(frames % 1000));
        const int handle = StreamFromMemory(MakeWave16(samples, 2, 44100));
        ASSERT_NE(handle, -1);
        MarkRingAfterFirstFill(GetSoundRecord(handle));
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeLoop, 1), 0);
        for (int i = 0; i < kSteps; ++i) Step(handle);
        const std::vector<int16_t> expected = HeardAsLooped(samples);
        EXPECT_EQ(FirstDifference(heard_, expected), heard_.size());
        EXPECT_EQ(GetStreamSoundPlayedBytes(handle), int(kSteps * kStepFrames % frames * 4));
        EXPECT_EQ(CheckSoundHandlePlaying(handle), 1);
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

TEST_F(StreamSoundTest, ALoopStalledForSeveralHundredMillisecondsGoesOnAndCountsFromTheLastWrapAfterEachRefill) {
    // Stalls no longer than what the ring holds ahead: 0.7 s while the first
    // fill's 3/4 second is queued; after that each refill tops the queue up
    // to 0.375 s, so up to 0.36 s, with some 30 ms steps between.
    const uint32_t stalls[] = {30870, 13230, 1323, 15876, 4410, 13230, 1323, 1323, 15876, 9261,
                               15876, 13230, 15876, 1323, 13230, 15876, 15876, 11025, 15876, 13230};
    SetSoundLoadType(2);
    for (const uint32_t frames : kStreamLengths) {
        SCOPED_TRACE(testing::Message() << frames << " frames");
        heard_.clear();
        const std::vector<int16_t> samples = Samples16(frames, 2, int(frames % 1000));
        const int handle = StreamFromMemory(MakeWave16(samples, 2, 44100));
        ASSERT_NE(handle, -1);
        MarkRingAfterFirstFill(GetSoundRecord(handle));
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeLoop, 1), 0);
        uint64_t played = 0;
        for (const uint32_t stall : stalls) {
            Step(handle, stall);
            played += stall;
            ASSERT_EQ(GetStreamSoundPlayedBytes(handle), int(played % frames * 4)) << "after " << played << " frames";
            ASSERT_EQ(CheckSoundHandlePlaying(handle), 1);
        }
        const std::vector<int16_t> expected = HeardAsLooped(samples);
        EXPECT_EQ(FirstDifference(heard_, expected), heard_.size());
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

TEST_F(StreamSoundTest, ALoopRestartsOnAWholeFrameAndDataOfNoWholeFrameLoopsAsSilence) {
    SetSoundLoadType(2);
    for (const uint32_t frames : {0u, 110u, 5000u}) {
        SCOPED_TRACE(testing::Message() << frames << " frames and half a frame");
        heard_.clear();
        const std::vector<int16_t> samples = Samples16(frames, 2, 5);
        soundtest::WaveSpec spec;
        spec.data = soundtest::BytesOf(samples) + "\x11\x22";
        const int handle = StreamFromMemory(soundtest::MakeWave(spec));
        ASSERT_NE(handle, -1);
        MarkRingAfterFirstFill(GetSoundRecord(handle));
        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeLoop, 1), 0);
        for (int i = 0; i < 40; ++i) Step(handle);
        const std::vector<int16_t> expected = HeardAsLooped(samples);
        EXPECT_EQ(FirstDifference(heard_, expected), heard_.size());
        EXPECT_EQ(CheckSoundHandlePlaying(handle), 1);
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

TEST_F(StreamSoundTest, ALoopIsTheDataAgainAndItsPlayedBytesStartAgainAtTheWrap) {
    // Half a second: shorter than the first fill.
    const std::vector<int16_t> samples = Samples16(22050, 2, 9);
    SetSoundLoadType(2);
    const int handle = StreamFromMemory(MakeWave16(samples, 2, 44100));
    ASSERT_NE(handle, -1);
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeLoop, 1), 0);
    bool restarted = false;
    int previous = 0;
    for (int i = 0; i < 54; ++i) {
        Step(handle);
        const int played = GetStreamSoundPlayedBytes(handle);
        if (played < previous) restarted = true;
        previous = played;
    }
    EXPECT_TRUE(restarted);
    // 54 steps are three passes and 5292 frames of the third.
    EXPECT_EQ(GetStreamSoundPlayedBytes(handle), 5292 * 4);
    EXPECT_EQ(GetSoundHandleBytePosition(handle), 5292 * 4);
    EXPECT_EQ(GetSoundHandlePlayTimeMs(handle), 5292 * 1000 / 44100);
    const std::vector<int16_t> expected = HeardAsLooped(samples);
    EXPECT_EQ(heard_, expected);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 1);
    EXPECT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
}

TEST_F(StreamSoundTest, StopResumesWhereItStoodAndFromTheTopRestarts) {
    const std::vector<int16_t> samples = Samples16(88200, 2, 4);
    SetSoundLoadType(2);
    const int handle = StreamFromMemory(MakeWave16(samples, 2, 44100));
    ASSERT_NE(handle, -1);
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
    for (int i = 0; i < 20; ++i) Step(handle);
    ASSERT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(GetStreamSoundPlayedBytes(handle), int(20 * kStepFrames * 4));
    // Stopped, the refill does nothing and nothing is heard.
    EXPECT_EQ(Step(handle), 0);
    EXPECT_EQ(std::vector<int16_t>(heard_.end() - kStepFrames * 2, heard_.end()),
              std::vector<int16_t>(kStepFrames * 2, 0));
    heard_.clear();

    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 0), 0);
    for (int i = 0; i < 20; ++i) Step(handle);
    EXPECT_EQ(heard_, std::vector<int16_t>(samples.begin() + 20 * kStepFrames * 2, samples.begin() + 40 * kStepFrames * 2));
    // Playing it again from fromTop 0 while it plays changes nothing.
    EXPECT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 0), 0);
    heard_.clear();

    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
    for (int i = 0; i < 20; ++i) Step(handle);
    EXPECT_EQ(heard_, std::vector<int16_t>(samples.begin(), samples.begin() + 20 * kStepFrames * 2));
}

TEST_F(StreamSoundTest, TheEndIsPaddedWithSilenceOfTheSampleSize) {
    struct Case {
        const char* name;
        int bits;
        uint32_t rate;
        uint8_t silence;
    };
    const Case cases[] = {{"8-bit", 8, 8000, 127}, {"16-bit", 16, 22050, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        soundtest::WaveSpec spec;
        spec.channels = 1;
        spec.rate = c.rate;
        spec.bits = c.bits;
        const uint32_t bytes = c.bits / 8;
        const uint32_t average = c.rate * bytes;
        const uint32_t firstFill = average * 3 / 4 / bytes * bytes;
        const uint32_t eighth = average / 8 / bytes * bytes;
        // Longer than the first fill: the end is written by a refill.
        const uint32_t dataBytes = firstFill + eighth / 2 / bytes * bytes;
        spec.data.assign(dataBytes, '\x30');
        SetSoundLoadType(2);
        const int handle = StreamFromMemory(soundtest::MakeWave(spec));
        ASSERT_NE(handle, -1);
        SoundRecord* record = GetSoundRecord(handle);
        EXPECT_EQ(record->writePosition, int32_t(firstFill));
        // Something other than silence where the padding goes.
        MarkRingAfterFirstFill(record);

        ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
        ASSERT_EQ(Step(handle), 0);
        EXPECT_EQ(record->ending, 1);
        EXPECT_EQ(record->endWriteOffset, dataBytes);
        void* part1 = nullptr;
        void* part2 = nullptr;
        uint32_t size1 = 0;
        uint32_t size2 = 0;
        ASSERT_EQ(LockSoundBufferVoice(&record->voices[0], dataBytes, eighth + 2, &part1, &size1, &part2, &size2), 0);
        const uint8_t* padding = static_cast<const uint8_t*>(part1);
        EXPECT_EQ(std::count(padding, padding + eighth, c.silence), int(eighth));
        EXPECT_EQ(padding[eighth], 0x55);
        UnlockSoundBufferVoice(&record->voices[0], part1, size1, part2, size2);

        EXPECT_TRUE(PlayOut(handle, 100));
        EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
        EXPECT_EQ(record->streamActive, 0);
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
    SetSoundLoadType(0);
}

// 8 kHz 8-bit mono: 8000 bytes a second.
TEST_F(StreamSoundTest, LongerThan180WholeSecondsIsStreamed) {
    struct Case {
        const char* name;
        uint32_t bytes;
        int isStream;
    };
    const Case cases[] = {{"180.5 s", 8000 * 180 + 4000, 0}, {"181 s", 8000 * 181, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        soundtest::WaveSpec spec;
        spec.channels = 1;
        spec.rate = 8000;
        spec.bits = 8;
        spec.data.assign(c.bytes, '\x80');
        const int handle = LoadSoundFileToHandle(WriteFile("long.wav", soundtest::MakeWave(spec)).c_str(), 3, -1);
        ASSERT_NE(handle, -1);
        EXPECT_EQ(GetSoundRecord(handle)->isStream, c.isStream);
        EXPECT_EQ(GetSoundHandleTotalSamples(handle), int(c.bytes));
        EXPECT_EQ(GetSoundHandleTotalTimeMs(handle), int(uint64_t(c.bytes) * 1000 / 8000));
        EXPECT_EQ(GetSoundLoadType(), 0);
        EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
    }
}

TEST_F(StreamSoundTest, AMemorySoundWithoutBuffersIsStreamedAndAFailedRingFailsTheSound) {
    const std::vector<int16_t> samples = Samples16(44100, 2, 8);
    const std::string wave = MakeWave16(samples, 2, 44100);
    size_t mark = LogText().size();
    platform::Profile().failures.sound.createBuffers = 2;
    const int streamed = StreamFromMemory(wave);
    ASSERT_NE(streamed, -1);
    EXPECT_NE(LinesSince(mark).find("DirectSoundBuffer の作成に失敗しました\r\n"), std::string::npos);
    EXPECT_EQ(GetSoundRecord(streamed)->isStream, 1);
    ASSERT_EQ(PlaySoundHandle(streamed, kPlayTypeBackground, 1), 0);
    EXPECT_TRUE(PlayOut(streamed, 100));
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), heard_.begin()));
    EXPECT_EQ(DeleteSoundHandle(streamed, 0), 0);

    const int blocks = LiveBlocks();
    mark = LogText().size();
    platform::Profile().failures.sound.createBuffers = 3;
    EXPECT_EQ(StreamFromMemory(wave), -1);
    const std::string lines = LinesSince(mark);
    EXPECT_NE(lines.find("ストリーム風サウンドバッファの作成に失敗しました\r\n"), std::string::npos);
    EXPECT_NE(lines.find("ＷＡＶファイルのストリームイメージのセットアップに失敗しました \r\n"), std::string::npos);
    EXPECT_EQ(SoundHandleTable.liveCount, 0);
    EXPECT_EQ(LiveBlocks(), blocks);
}

TEST_F(StreamSoundTest, StreamSetUpFailuresAreLogged) {
    SetSoundLoadType(3);
    const std::string missing = folder_.windowsPath() + "\\missing.wav";
    size_t mark = LogText().size();
    EXPECT_EQ(LoadSoundFileToHandle(missing.c_str(), 1, -1), -1);
    EXPECT_NE(LinesSince(mark).find("右記のＷＡＶファイルのロードに失敗しました：" + missing + " \r\n"), std::string::npos);

    const std::string junk = WriteFile("junk.wav", std::string(400, 'j'));
    mark = LogText().size();
    EXPECT_EQ(LoadSoundFileToHandle(junk.c_str(), 1, -1), -1);
    const std::string lines = LinesSince(mark);
    EXPECT_NE(lines.find("音声データのオープンに失敗しました\r\n"), std::string::npos);
    EXPECT_NE(lines.find("右記のＷＡＶファイルのセットアップに失敗しました：" + junk + " \r\n"), std::string::npos);
    EXPECT_EQ(SoundHandleTable.liveCount, 0);
    SetSoundLoadType(0);
}

// The stream thread itself, on the null output that plays in real time.
class StreamThreadTest : public soundtest::SoundTest {};

TEST_F(StreamThreadTest, TheThreadPlaysAHalfSecondSoundToItsEnd) {
    platform::Profile().sound.output = platform::SoundOutputUse::Null;
    ASSERT_TRUE(StartSound());
    SetSoundLoadType(2);
    const std::string wave = MakeWave16(Samples16(22050, 2), 2, 44100);
    const int handle = CreateSoundHandleFromStream(wave.data(), static_cast<int>(wave.size()), 1, -1);
    SetSoundLoadType(0);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(PlaySoundHandle(handle, kPlayTypeBackground, 1), 0);
    // Generous: the sound lasts half a second.
    for (int i = 0; i < 3000 && CheckSoundHandlePlaying(handle) == 1; ++i) Sleep(10);
    EXPECT_EQ(CheckSoundHandlePlaying(handle), 0);
    {
        SoundLockGuard lock;
        EXPECT_EQ(GetSoundRecord(handle)->streamActive, 0);
        EXPECT_EQ(GetSoundRecord(handle)->finished, 1);
    }
    EXPECT_EQ(DeleteSoundHandle(handle, 0), 0);
}

}  // namespace
