// A Theora movie whose Vorbis sound track has a codebook of dimension 0 in
// its setup header: the track is refused as a damaged sound file is, and
// the movie plays without it.
#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <algorithm>
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

namespace movietest {
namespace {

constexpr int kPlayNormal = 1;

// Gives the first codebook of the file's Vorbis setup header dimension 0
// and seals its page again. The field lies at a fixed place: after the
// packet type and "vorbis", the count of codebooks (8 bits) and the
// codebook's sync (24 bits).
void ZeroFirstCodebookDimension(std::string* file) {
    const size_t setup = file->find("\x05vorbis");
    ASSERT_NE(setup, std::string::npos);
    ASSERT_EQ(file->substr(setup + 8, 3), "BCV");
    const size_t pageStart = file->rfind("OggS", setup);
    ASSERT_NE(pageStart, std::string::npos);
    auto* header = reinterpret_cast<unsigned char*>(&(*file)[pageStart]);
    ogg_page page{};
    page.header = header;
    page.header_len = 27 + header[26];
    page.body = header + page.header_len;
    for (int segment = 0; segment < header[26]; ++segment) page.body_len += header[27 + segment];
    ASSERT_LE(setup + 13, pageStart + page.header_len + page.body_len) << "the field is in the page";
    (*file)[setup + 11] = '\0';
    (*file)[setup + 12] = '\0';
    ogg_page_checksum_set(&page);
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

TEST_F(DamagedSoundTrackTest, AMovieWhoseSoundTrackHasACodebookOfDimensionZeroPlaysWithoutIt) {
    InitYuvToRgbTables();
    ASSERT_EQ(InitSoundSystem(), 0);
    std::string bytes = WriteNumberedTheoraWithSound(10, 33075);
    ZeroFirstCodebookDimension(&bytes);
    WriteFile("DAMAGED.OGV", bytes);
    const size_t mark = LogText().size();
    const int movie = OpenMovie("DAMAGED.OGV", nullptr, nullptr, 0);
    ASSERT_GE(movie, 0);
    EXPECT_EQ(GetMovieRecord(movie)->isTheora, 1u);
    EXPECT_EQ(GetMovieRecord(movie)->sound, -1);
    const std::string lines = LinesSince(mark);
    const size_t refused = lines.find("音声データのオープンに失敗しました\r\n");
    EXPECT_NE(refused, std::string::npos);
    EXPECT_NE(lines.find("右記のＷＡＶファイルのセットアップに失敗しました：DAMAGED.OGV", refused), std::string::npos);
    EXPECT_EQ(SoundHandleTable.liveCount, 0);
    EXPECT_EQ(GetSoundLoadType(), 0) << "the load type is restored";

    // The picture follows the clock, as in a movie without sound, and holds
    // its last frame.
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
    EXPECT_EQ(TermSoundSystem(), 0);
}

}  // namespace
}  // namespace movietest
