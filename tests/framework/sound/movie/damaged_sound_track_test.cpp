// Theora movies whose Vorbis sound track has a codebook in its setup header
// that the decoder does not survive: the track is refused as a damaged sound
// file is, and the movie plays without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "framework/graphics/handles/movie_entries.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/yuv_to_rgb_tables.h"
#include "framework/sound/sound_handles.h"
#include "framework/sound/sound_system.h"
#include "movie_fixture.h"
#include "numbered_theora_writer.h"
#include "platform/kernel/manual_clock.h"
#include "tests/framework/sound/vorbis_setup_edits.h"

namespace movietest {
namespace {

constexpr int kPlayNormal = 1;

std::string FirstBookOfDimensionZero(const std::string& setup) {
    std::string bits = vorbisedit::ToBits(setup);
    bits.replace(vorbisedit::ReadLayout(bits).books.front().dimension, 16, vorbisedit::Field(0, 16));
    return vorbisedit::FromBits(bits);
}

struct Damage {
    const char* name;
    std::string (*edit)(const std::string& setup);
    // What ends the library as it reads the track, or 0: a book of
    // dimension 0 ends it only once the decoding comes to use the book,
    // which the sound tests show on sound files.
    int signal;
};
const Damage kDamages[] = {
    {"the first book of dimension 0", FirstBookOfDimensionZero, 0},
    {"a residue book of dimension 0", vorbisedit::DividingSetup, 0},
    {"code lengths that over-fill the tree", [](const std::string& s) { return vorbisedit::ChangedLengthSetup(s, -1); },
     SIGFPE},
    {"code lengths that under-fill the tree",
     [](const std::string& s) { return vorbisedit::ChangedLengthSetup(s, 1); }, SIGFPE},
    {"a book of 2^20 entries", [](const std::string& s) { return vorbisedit::WithBookOfEntries(s, 1u << 20); },
     SIGSEGV},
};

// The damaged movies below are ones the library alone dies on as it reads
// their sound track (it cannot seek a track beside pictures).
TEST(DamagedSoundTrackDeathTest, TheLibraryDiesReadingTheTrack) {
    for (const Damage& damage : kDamages) {
        if (damage.signal == 0) continue;
        SCOPED_TRACE(damage.name);
        const std::string movie = WriteNumberedTheoraWithSound(10, 33075, damage.edit);
        EXPECT_EXIT(vorbisedit::DecodeWithTheLibraryAlone(movie, false), testing::KilledBySignal(damage.signal), "");
    }
}

class DamagedSoundTrackTest : public MovieTest {
protected:
    static int RememberNumber(MovieRecord* movie, int) {
        const PixelImage* frame = GetMovieFrameImage(movie);
        numbers_.push_back(frame != nullptr ? ReadFrameNumber(frame->pixels, frame->pitch) : -1);
        return 0;
    }
    static std::vector<int> numbers_;
};

std::vector<int> DamagedSoundTrackTest::numbers_;

TEST_F(DamagedSoundTrackTest, AMovieWhoseSoundTrackHasABookTheDecoderCannotSurvivePlaysWithoutIt) {
    InitYuvToRgbTables();
    ASSERT_EQ(InitSoundSystem(), 0);
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.name);
        WriteFile("DAMAGED.OGV", WriteNumberedTheoraWithSound(10, 33075, damage.edit));
        const size_t mark = LogText().size();
        const int movie = OpenMovie("DAMAGED.OGV", nullptr, nullptr, 0);
        ASSERT_GE(movie, 0);
        EXPECT_EQ(GetMovieRecord(movie)->isTheora, 1u);
        EXPECT_EQ(GetMovieRecord(movie)->sound, -1);
        const std::string lines = LinesSince(mark);
        const size_t refused = lines.find("音声データのオープンに失敗しました\r\n");
        EXPECT_NE(refused, std::string::npos);
        EXPECT_NE(lines.find("右記のＷＡＶファイルのセットアップに失敗しました：DAMAGED.OGV", refused),
                  std::string::npos);
        EXPECT_EQ(SoundHandleTable.liveCount, 0);
        EXPECT_EQ(GetSoundLoadType(), 0) << "the load type is restored";

        // The picture follows the clock, as in a movie without sound, and
        // holds its last frame.
        numbers_.clear();
        SetMovieFrameCallback(movie, RememberNumber, 0);
        PlayMovie(movie, kPlayNormal, 0);
        for (int step = 0; step < 15; ++step) {
            platform::AdvanceManualClockMilliseconds(100);
            UpdateMovieFrame(movie, 0);
        }
        ASSERT_FALSE(numbers_.empty());
        EXPECT_TRUE(std::is_sorted(numbers_.begin(), numbers_.end()));
        EXPECT_EQ(numbers_.back(), 9);
        EXPECT_EQ(GetMovieState(movie), 0);
        EXPECT_EQ(CloseMovie(movie), 0);
    }
    EXPECT_EQ(TermSoundSystem(), 0);
}

}  // namespace
}  // namespace movietest
