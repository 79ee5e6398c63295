// Theora movies through the movie handles: the frame timing on the manual
// clock or the sound track, looping and holding the last frame, and the
// sound track.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "framework/files/stream_functions.h"
#include "framework/graphics/handles/movie_entries.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/movie/yuv_to_rgb_tables.h"
#include "framework/sound/sound_converter.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_playback.h"
#include "framework/sound/sound_system.h"
#include "framework/sound/stream_sound.h"
#include "movie_fixture.h"
#include "numbered_theora_writer.h"
#include "platform/dsound/virtual_output.h"
#include "platform/kernel/manual_clock.h"

namespace movietest {
namespace {

constexpr int kPlayNormal = 1;
constexpr int kPlayLoop = 3;

class TheoraPlaybackTest : public MovieTest {
protected:
    void SetUp() override {
        MovieTest::SetUp();
        InitYuvToRgbTables();
        numbers_.clear();
    }
    // The number of every frame the callback was handed.
    static int RememberNumber(MovieRecord* movie, int) {
        const PixelImage* frame = GetMovieFrameImage(movie);
        numbers_.push_back(frame != nullptr ? ReadFrameNumber(frame->pixels, frame->pitch) : -1);
        return 0;
    }
    // Steps the clock by one frame (100 ms) and brings the frame up to date.
    void NextFrame(int movie) {
        platform::AdvanceManualClockMilliseconds(100);
        UpdateMovieFrame(movie, 0);
    }
    static std::vector<int> numbers_;
};

std::vector<int> TheoraPlaybackTest::numbers_;

TEST_F(TheoraPlaybackTest, ALoopingMovieWithoutSoundFollowsTheClockAcrossTheLoopPoint) {
    WriteFile("COUNT.OGV", WriteNumberedTheora(30, 8));
    int width = 0, height = 0;
    const int movie = OpenMovie("COUNT.OGV", &width, &height, 0);
    ASSERT_GE(movie, 0);
    EXPECT_EQ(GetMovieRecord(movie)->isTheora, 1u);
    EXPECT_EQ(GetMovieRecord(movie)->sound, -1);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 32);
    SetMovieFrameCallback(movie, RememberNumber, 0);
    PlayMovie(movie, kPlayLoop, 0);
    UpdateMovieFrame(movie, 0);
    for (int step = 1; step < 36; ++step) NextFrame(movie);
    std::vector<int> expected;
    for (int frame = 0; frame < 36; ++frame) expected.push_back(frame % 30);
    EXPECT_EQ(numbers_, expected);
    EXPECT_EQ(GetMovieState(movie), 1);

    // A jump of several frames across the loop point.
    numbers_.clear();
    platform::AdvanceManualClockMilliseconds(2800);  // from frame 35 to 63, that is 3
    UpdateMovieFrame(movie, 0);
    EXPECT_EQ(numbers_, std::vector<int>{3});
    EXPECT_EQ(CloseMovie(movie), 0);
}

TEST_F(TheoraPlaybackTest, AMovieThatPlaysOnceHoldsItsLastFrameAndStops) {
    WriteFile("COUNT.OGV", WriteNumberedTheora(12, 8));
    const int movie = OpenMovie("COUNT.OGV", nullptr, nullptr, 0);
    ASSERT_GE(movie, 0);
    SetMovieFrameCallback(movie, RememberNumber, 0);
    PlayMovie(movie, kPlayNormal, 0);
    for (int step = 0; step < 15; ++step) NextFrame(movie);
    EXPECT_EQ(GetMovieState(movie), 0);
    ASSERT_FALSE(numbers_.empty());
    EXPECT_EQ(numbers_.back(), 11);
    // Paused, the picture stays where it stopped.
    NextFrame(movie);
    EXPECT_EQ(numbers_.back(), 11);

    // Played again, it continues from its current frame.
    PlayMovie(movie, kPlayLoop, 0);
    NextFrame(movie);
    EXPECT_EQ(numbers_.back(), 0);
    EXPECT_EQ(CloseMovie(movie), 0);
}

TEST_F(TheoraPlaybackTest, AMoviePlayedOnceHoldsItsLastFrameWithOrWithoutSound) {
    ASSERT_EQ(InitSoundSystem(), 0);
    // Ten frames (1 s), without sound or with 1.5 s of sound.
    for (const bool withSound : {false, true}) {
        SCOPED_TRACE(withSound ? "with sound" : "without sound");
        const std::string name = withSound ? "SOUND.OGV" : "SILENT.OGV";
        WriteFile(name, withSound ? WriteNumberedTheoraWithSound(10, 33075) : WriteNumberedTheora(10, 8));
        const int movie = OpenMovie(name.c_str(), nullptr, nullptr, 0);
        ASSERT_GE(movie, 0);
        const int sound = GetMovieRecord(movie)->sound;
        ASSERT_EQ(sound != -1, withSound);
        numbers_.clear();
        SetMovieFrameCallback(movie, RememberNumber, 0);
        // The test refills the sound track's stream after each 30 ms of
        // output; the stream thread waits on the lock meanwhile.
        EnterSoundLock();
        PlayMovie(movie, kPlayNormal, 0);
        std::vector<int16_t> heard;
        // 2.4 s in steps of 30 ms.
        for (int step = 0; step < 80; ++step) {
            platform::AdvanceManualClockMilliseconds(30);
            if (withSound) {
                ASSERT_TRUE(platform::dsound::AdvanceVirtualOutput(1323));
                const platform::dsound::VirtualMix mix = platform::dsound::TakeVirtualOutput();
                ASSERT_EQ(mix.frequency, 44100u);
                ASSERT_EQ(mix.channels, 2);
                heard.insert(heard.end(), mix.samples.begin(), mix.samples.end());
                ProcessStreamSound(sound);
            }
            UpdateMovieFrame(movie, 0);
        }
        if (withSound) {
            EXPECT_EQ(CheckSoundHandlePlaying(sound), 0) << "the sound has ended";
            // The track is heard from the start of play, whole: the writer's
            // tone at 0.2 of full scale, a sample every 1/22050 s, which the
            // output at 44.1 kHz takes as two frames on both sides (the
            // second between two samples; after the last one, between it and
            // the silence); then silence. At the writer's low quality Vorbis
            // keeps the tone within about 0.8% of full scale: 2% is allowed,
            // well below what a shifted or missing track is off by. The
            // track's level is its gain over the tone, which the coding
            // noise hardly moves: it is held within 1% (0.09 dB), where a
            // track played a few tenths of a decibel low is off by several.
            constexpr size_t kTrackFrames = 2 * 33075;
            ASSERT_EQ(heard.size(), size_t(2 * 80 * 1323));
            double worst = 0;
            size_t worstAt = 0;
            double heardOverTone = 0;
            double toneOverTone = 0;
            for (size_t frame = 0; frame < kTrackFrames - 1; ++frame) {
                const double tone = 0.2 * 32768 * std::sin(0.05 * static_cast<double>(frame));
                for (int side = 0; side < 2; ++side) {
                    const double error = std::fabs(heard[2 * frame + side] - tone);
                    heardOverTone += heard[2 * frame + side] * tone;
                    toneOverTone += tone * tone;
                    if (error > worst) {
                        worst = error;
                        worstAt = frame;
                    }
                }
            }
            EXPECT_LE(worst, 0.02 * 32768) << "at output frame " << worstAt;
            EXPECT_NEAR(heardOverTone / toneOverTone, 1.0, 0.01) << "the track's gain";
            EXPECT_EQ(std::count(heard.begin() + 2 * kTrackFrames, heard.end(), 0),
                      std::ptrdiff_t(heard.size() - 2 * kTrackFrames));
        }
        LeaveSoundLock();
        ASSERT_FALSE(numbers_.empty());
        EXPECT_TRUE(std::is_sorted(numbers_.begin(), numbers_.end())) << "the picture never went back";
        EXPECT_EQ(numbers_.back(), 9);
        EXPECT_EQ(GetMovieState(movie), 0);
        UpdateMovieFrame(movie, 0);
        EXPECT_EQ(numbers_.back(), 9);
        EXPECT_EQ(CloseMovie(movie), 0);
    }
    EXPECT_EQ(TermSoundSystem(), 0);
}

TEST_F(TheoraPlaybackTest, ALoopingMovieWithSoundStartsAgainWithItsSound) {
    ASSERT_EQ(InitSoundSystem(), 0);
    WriteFile("SOUND.OGV", WriteNumberedTheoraWithSound(10, 33075));
    const int movie = OpenMovie("SOUND.OGV", nullptr, nullptr, 0);
    ASSERT_GE(movie, 0);
    const int sound = GetMovieRecord(movie)->sound;
    ASSERT_NE(sound, -1);
    SetMovieFrameCallback(movie, RememberNumber, 0);
    EnterSoundLock();
    PlayMovie(movie, kPlayLoop, 0);
    // 2.4 s in steps of 30 ms: the 1.5 s sound and the picture start again.
    for (int step = 0; step < 80; ++step) {
        ASSERT_TRUE(platform::dsound::AdvanceVirtualOutput(1323));
        platform::dsound::TakeVirtualOutput();
        ProcessStreamSound(sound);
        UpdateMovieFrame(movie, 0);
    }
    EXPECT_EQ(CheckSoundHandlePlaying(sound), 1);
    LeaveSoundLock();
    const auto wrap = std::adjacent_find(numbers_.begin(), numbers_.end(), [](int a, int b) { return b < a; });
    ASSERT_NE(wrap, numbers_.end()) << "the picture started again";
    EXPECT_EQ(*wrap, 9);
    EXPECT_EQ(*(wrap + 1), 0);
    EXPECT_GT(numbers_.back(), 0) << "and went on with the sound";
    EXPECT_EQ(GetMovieState(movie), 1);
    EXPECT_EQ(CloseMovie(movie), 0);
    EXPECT_EQ(TermSoundSystem(), 0);
}

// Beside a movie's pictures the decoder cannot seek the sound track (as when
// a paused movie plays on): the seek fails, and the track goes on from where
// the decoder stands.
TEST_F(TheoraPlaybackTest, ASoundTrackSeekThatFailsLeavesTheTrackPlaying) {
    const std::string movie = WriteNumberedTheoraWithSound(10, 33075);
    const uintptr_t stream = OpenMemoryStream(movie.data(), static_cast<uint32_t>(movie.size()));
    const StreamSource source{*GetMemoryStreamFunctions(), stream};
    SoundConverter converter{};
    ASSERT_EQ(OpenSoundConverter(&source, &converter), 0);
    EXPECT_EQ(converter.kind, kSoundConverterOggVorbis);
    std::vector<char> pcm(8192);
    EXPECT_EQ(ReadSoundConverterPcm(&converter, pcm.data(), 8192), 8192);
    EXPECT_EQ(SeekSoundConverter(&converter, 20000), -1);
    EXPECT_EQ(ReadSoundConverterPcm(&converter, pcm.data(), 8192), 8192);
    EXPECT_EQ(converter.atEnd, 0);
    CloseSoundConverter(&converter);
    CloseMemoryStream(stream);
}

TEST_F(TheoraPlaybackTest, TheSoundTrackIsAStreamSoundThatCloseDeletes) {
    ASSERT_EQ(InitSoundSystem(), 0);
    WriteFile("MOVIE.OGV", FixtureBytes("grey_ramp_vorbis_first_32x24_10fps.ogv"));
    const int movie = OpenMovie("MOVIE.OGV", nullptr, nullptr, 0);
    ASSERT_GE(movie, 0);
    const int sound = GetMovieRecord(movie)->sound;
    ASSERT_NE(sound, -1);
    EXPECT_NE(GetSoundRecord(sound), nullptr);
    EXPECT_EQ(GetSoundLoadType(), 0) << "the load type is restored";
    EXPECT_EQ(CloseMovie(movie), 0);
    EXPECT_EQ(GetSoundRecord(sound), nullptr);
    EXPECT_EQ(TermSoundSystem(), 0);
}

}  // namespace
}  // namespace movietest
