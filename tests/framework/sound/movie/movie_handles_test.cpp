// Movie handles over the filter graph: a WMV opened with its size, its
// frames reaching the callback in order on the graph clock, the end of the
// movie and the loop bit, the system pause and resume, the table's bound
// and check values, a movie inside an archive played from a temporary copy,
// the failure texts, close while playing, and the sound reaching the mixer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/sound/movie/movie_playback.h"
#include "platform/dsound/virtual_output.h"
#include "platform/kernel/path_mapping.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/sound/movie/movie_fixture.h"
#include "tests/support/thread_activity.h"

namespace movietest {
namespace {

constexpr int kPlayOnce = 1;
constexpr int kPlayLoop = 3;

bool HostFileExists(const std::string& hostPath) {
    struct stat status {};
    return stat(hostPath.c_str(), &status) == 0;
}

TEST_F(MovieTest, OpensAWmvAndShowsItsFramesInOrderUntilItEnds) {
    PutMovie("MOVIE.WMV");
    int width = 0;
    int height = 0;
    const int movie = OpenMovie("movie.wmv", &width, &height, 0);
    ASSERT_GE(movie, 0);
    EXPECT_EQ(movie & 0x78000000, 0x18000000);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 24);
    EXPECT_EQ(GetMovieState(movie), 0);
    ASSERT_EQ(SetMovieFrameCallback(movie, Remember, 7), 0);
    ASSERT_EQ(PlayMovie(movie, kPlayOnce, 0), 0);
    EXPECT_EQ(GetMovieState(movie), 1);

    // One frame each time the clock reaches its time.
    for (int frame = 0; frame < 10; ++frame) {
        if (frame > 0) Advance(kFrameTime);
        ASSERT_TRUE(UpdateUntil(movie, [&] { return static_cast<int>(seen_.size()) > frame; })) << frame;
    }
    for (size_t i = 1; i < seen_.size(); ++i) EXPECT_GT(seen_[i], seen_[i - 1] + 10) << i;
    EXPECT_EQ(GetMovieState(movie), 1);

    Advance(2 * kFrameTime);
    EXPECT_TRUE(UpdateUntil(movie, [&] { return GetMovieState(movie) == 0; }));
    EXPECT_EQ(GetMovieRecord(movie)->paused, 1u);
    EXPECT_EQ(CloseMovie(movie), 0);
    EXPECT_EQ(CloseMovie(movie), -1);
}

TEST_F(MovieTest, TheLoopBitStartsTheMovieAgainFromItsFirstFrame) {
    PutMovie("MOVIE.WMV");
    const int movie = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    ASSERT_GE(movie, 0);
    SetMovieFrameCallback(movie, Remember, 0);
    ASSERT_EQ(PlayMovie(movie, kPlayLoop, 0), 0);
    for (int frame = 0; frame < 10; ++frame) {
        if (frame > 0) Advance(kFrameTime);
        ASSERT_TRUE(UpdateUntil(movie, [&] { return static_cast<int>(seen_.size()) > frame; })) << frame;
    }
    const int first = seen_.front();
    ASSERT_GT(seen_.back(), first + 100);
    // Past its end the movie goes back to its start and keeps playing.
    Advance(2 * kFrameTime);
    ASSERT_TRUE(UpdateUntil(movie, [&] { return seen_.back() <= first + 10; }));
    EXPECT_EQ(GetMovieState(movie), 1);
    EXPECT_EQ(GetMovieRecord(movie)->paused, 0u);
}

// The frame callback reads the whole frame while the streaming thread is
// already free to copy the next one in: the two take turns, so every frame
// the callback sees is one frame, never the halves of two.
TEST_F(MovieTest, TheCallbackReadsAWholeFrameWhileTheStreamRunsOn) {
    PutMovie("MOVIE.WMV");
    int width = 0;
    int height = 0;
    const int movie = OpenMovie("MOVIE.WMV", &width, &height, 0);
    ASSERT_GE(movie, 0);
    static size_t frameBytes;
    static uint32_t checksum;
    frameBytes = static_cast<size_t>((width * 3 + 3) & ~3) * static_cast<size_t>(height);
    SetMovieFrameCallback(movie, [](MovieRecord* record, int) {
        const PixelImage* frame = GetMovieFrameImage(record);
        if (frame == nullptr) return 0;
        for (size_t i = 0; i < frameBytes; ++i) checksum += frame->pixels[i];
        seen_.push_back(frame->pixels[0]);
        return 0;
    }, 0);
    // Without a clock the stream delivers frame after frame at once.
    IMediaFilter* graph = nullptr;
    ASSERT_EQ(GetMovieRecord(movie)->graphBuilder->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&graph)),
              S_OK);
    ASSERT_EQ(graph->SetSyncSource(nullptr), S_OK);
    graph->Release();
    ASSERT_EQ(PlayMovie(movie, kPlayLoop, 0), 0);
    EXPECT_TRUE(UpdateUntil(movie, [&] { return seen_.size() >= 20; })) << seen_.size();
    EXPECT_EQ(CloseMovie(movie), 0);
}

TEST_F(MovieTest, TheSystemPauseKeepsThePlayStateAndResumesOnlyThePlayingMovies) {
    PutMovie("MOVIE.WMV");
    const int playing = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    const int stopped = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    const int userPaused = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    ASSERT_GE(stopped, 0);
    ASSERT_GE(userPaused, 0);
    PlayMovie(playing, kPlayLoop, 0);
    PlayMovie(userPaused, kPlayOnce, 0);
    PauseMovie(userPaused, 0);
    // Resume-only leaves a movie the user paused alone.
    PlayMovie(userPaused, -1, 1);
    EXPECT_EQ(GetMovieRecord(userPaused)->paused, 1u);

    EXPECT_EQ(SystemPauseAllMovies(), 0);
    const MovieRecord* record = GetMovieRecord(playing);
    EXPECT_EQ(record->paused, 1u);
    EXPECT_EQ(record->playState, 1u);
    EXPECT_EQ(GetMovieRecord(stopped)->playState, 0u);

    EXPECT_EQ(ResumeSystemPausedMovies(), 0);
    EXPECT_EQ(record->paused, 0u);
    EXPECT_EQ(record->playType, kPlayLoop);
    EXPECT_EQ(GetMovieRecord(stopped)->paused, 1u);
    EXPECT_EQ(GetMovieRecord(userPaused)->paused, 1u);
    EXPECT_EQ(GetMovieRecord(userPaused)->playState, 0u);
}

TEST_F(MovieTest, TheTableHoldsAHundredMoviesAndAReusedSlotGetsANewCheckValue) {
    PutMovie("MOVIE.WMV");
    std::vector<int> movies;
    for (int i = 0; i < 100; ++i) {
        movies.push_back(OpenMovie("MOVIE.WMV", nullptr, nullptr, 0));
        ASSERT_GE(movies.back(), 0) << i;
        EXPECT_EQ(movies.back() & 0xFFFF, i);
    }
    EXPECT_EQ(OpenMovie("MOVIE.WMV", nullptr, nullptr, 0), -1);

    ASSERT_EQ(CloseMovie(movies[42]), 0);
    const int again = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    ASSERT_GE(again, 0);
    EXPECT_EQ(again & 0xFFFF, 42);
    EXPECT_NE(again, movies[42]);
    EXPECT_EQ(GetMovieRecord(movies[42]), nullptr);
    EXPECT_EQ(GetMovieState(movies[42]), -1);
    EXPECT_EQ(PlayMovie(movies[42], 1, 0), -1);
    EXPECT_EQ(GetMovieRecord(again)->playState, 0u);

    // The five tests of a handle.
    for (const int bad : {-1, (again & ~0x78000000) | 0x08000000, (again & ~0xFFFF) | 100, again + (1 << 16)})
        EXPECT_EQ(GetMovieRecord(bad), nullptr) << std::hex << bad;
}

TEST_F(MovieTest, AMovieInsideAnArchivePlaysFromATemporaryCopyThatCloseDeletes) {
    archivetest::ArchiveWriter writer;
    const std::string bytes = FixtureBytes(kMovieFixture);
    writer.AddFile("MOVIE.WMV", bytes, true);
    WriteArchive("DATA.KPK", writer);
    int width = 0;
    const int movie = OpenMovie("data\\movie.wmv", &width, nullptr, 0);
    ASSERT_GE(movie, 0);
    EXPECT_EQ(width, 32);
    const MovieRecord* record = GetMovieRecord(movie);
    ASSERT_EQ(record->tempFile, 1u);
    std::string copy;
    ASSERT_TRUE(platform::MapWindowsPath(record->fileName, copy));
    struct stat status {};
    ASSERT_EQ(stat(copy.c_str(), &status), 0);
    EXPECT_EQ(static_cast<size_t>(status.st_size), bytes.size());

    SetMovieFrameCallback(movie, Remember, 0);
    PlayMovie(movie, kPlayOnce, 0);
    EXPECT_TRUE(UpdateUntil(movie, [] { return !seen_.empty(); }));
    ASSERT_EQ(CloseMovie(movie), 0);
    EXPECT_FALSE(HostFileExists(copy));
}

FileAccessTable archiveAccess;

// Reads one byte less than the archive gives.
uint32_t ShortRead(void* buffer, uint32_t elementSize, uint32_t count, uintptr_t file) {
    const uint32_t got = archiveAccess.read(buffer, elementSize, count, file);
    return got > 1 && got != static_cast<uint32_t>(-1) ? got - 1 : got;
}

TEST_F(MovieTest, ATemporaryCopyThatCannotBeMadeWholeFailsTheOpenAndIsDeleted) {
    archivetest::ArchiveWriter writer;
    writer.AddFile("MOVIE.WMV", FixtureBytes(kMovieFixture), true);
    WriteArchive("DATA.KPK", writer);
    MakeFolder("TEMP");
    const char* savedTemp = std::getenv("TMPDIR");
    const std::string keptTemp = savedTemp != nullptr ? savedTemp : "";
    const auto temporaryFiles = [&] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(HostPath("TEMP"))) {
            (void)entry;
            ++count;
        }
        return count;
    };
    const char* failure = "ファイル:data\\movie.wmv が開けませんでした\r\n"
                          "ムービーファイルオープン処理時にエラーが発生しました\r\n";

    // The copy comes out a byte short.
    setenv("TMPDIR", HostPath("TEMP").c_str(), 1);
    archiveAccess = FileAccessTableInForce;
    FileAccessTable shortened = archiveAccess;
    shortened.read = ShortRead;
    SetFileAccessTable(&shortened);
    size_t mark = LogText().size();
    EXPECT_EQ(OpenMovie("data\\movie.wmv", nullptr, nullptr, 0), -1);
    SetFileAccessTable(nullptr);
    EXPECT_EQ(LinesSince(mark), failure);
    EXPECT_EQ(temporaryFiles(), 0);

    // No temporary file can be made at all.
    setenv("TMPDIR", HostPath("NO-SUCH-FOLDER").c_str(), 1);
    mark = LogText().size();
    EXPECT_EQ(OpenMovie("data\\movie.wmv", nullptr, nullptr, 0), -1);
    EXPECT_EQ(LinesSince(mark), failure);

    if (savedTemp != nullptr) {
        setenv("TMPDIR", keptTemp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_EQ(MovieTable().liveCount, 0);
}

struct FailureCase {
    const char* name;
    const char* file;
    void (*arrange)();
    const char* lines;
};

TEST_F(MovieTest, AFailedOpenLogsWhyAndLeavesNothingBehind) {
    PutMovie("MOVIE.WMV");
    WriteFile("TONE.MP3", FixtureBytes("tone_44100_stereo_128k.mp3"));
    const FailureCase cases[] = {
        {"no memory", "MOVIE.WMV", [] { platform::Profile().failures.heap.failAllocationNumber = 1; },
         "メモリの確保に失敗しました in OpenMovie\r\n"},
        {"no filter graph", "MOVIE.WMV", [] { platform::Profile().directShow.filterGraph = false; },
         "CLSID_FilterGraph の作成に失敗しました\r\nムービーファイルオープン処理時にエラーが発生しました\r\n"},
        {"renderer refused", "MOVIE.WMV", [] { platform::Profile().failures.directShow.addFilter = 1; },
         "Could not add renderer filter to graph!\r\nムービーファイルオープン処理時にエラーが発生しました\r\n"},
        {"missing file", "NOFILE.WMV", [] {},
         "ファイル:NOFILE.WMV が開けませんでした\r\nムービーファイルオープン処理時にエラーが発生しました\r\n"},
        {"sound only", "TONE.MP3", [] {},
         "ファイル:TONE.MP3 が開けませんでした\r\nムービーファイルオープン処理時にエラーが発生しました\r\n"},
    };
    for (const FailureCase& one : cases) {
        SCOPED_TRACE(one.name);
        one.arrange();
        const size_t mark = LogText().size();
        EXPECT_EQ(OpenMovie(one.file, nullptr, nullptr, 0), -1);
        // The allocator reports a refusal with a dump of its own first.
        const std::string lines = LinesSince(mark);
        const std::string expected = one.lines;
        EXPECT_EQ(lines.substr(lines.size() > expected.size() ? lines.size() - expected.size() : 0), expected);
        if (std::string(one.name) != "no memory") {
            EXPECT_EQ(lines, expected);
        }
        EXPECT_EQ(MovieTable().liveCount, 0);
        platform::Profile().directShow.filterGraph = true;
        platform::Profile().failures.directShow.addFilter = 0;
    }
}

TEST_F(MovieTest, EveryFailedAllocationOfAnArchivedMovieEndsCleanly) {
    archivetest::ArchiveWriter writer;
    writer.AddFile("MOVIE.WMV", FixtureBytes(kMovieFixture), true);
    WriteArchive("DATA.KPK", writer);
    int opened = -1;
    for (uint64_t failing = 1; failing < 200 && opened < 0; ++failing) {
        SCOPED_TRACE(failing);
        platform::Profile().failures.heap.failAllocationNumber = failing;
        opened = OpenMovie("data\\movie.wmv", nullptr, nullptr, 0);
        if (opened < 0) {
            EXPECT_EQ(MovieTable().liveCount, 0);
        }
    }
    platform::Profile().failures.heap.failAllocationNumber = 0;
    ASSERT_GE(opened, 0);
    EXPECT_EQ(CloseMovie(opened), 0);
}

TEST_F(MovieTest, ClosingWhilePlayingOrBeforeAnyFrameLeavesNothingBehind) {
    PutMovie("MOVIE.WMV");
    const int unplayed = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    ASSERT_GE(unplayed, 0);
    EXPECT_EQ(CloseMovie(unplayed), 0);

    const int movie = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    SetMovieFrameCallback(movie, Remember, 0);
    PlayMovie(movie, kPlayOnce, 0);
    ASSERT_TRUE(UpdateUntil(movie, [] { return !seen_.empty(); }));
    // The streaming thread waits on the clock for the next frame.
    Advance(kFrameTime / 2);
    EXPECT_EQ(CloseMovie(movie), 0);
}

TEST_F(MovieTest, AMovieSoundGoesThroughTheMixer) {
    PutMovie("MOVIE.WMV");
    const int movie = OpenMovie("MOVIE.WMV", nullptr, nullptr, 0);
    ASSERT_GE(movie, 0);
    PlayMovie(movie, kPlayOnce, 0);
    // The tone reaches the output once the renderer has written it ahead.
    EXPECT_TRUE(testsupport::WaitUntil([] {
        platform::dsound::AdvanceVirtualOutput(256);
        const platform::dsound::VirtualMix mix = platform::dsound::TakeVirtualOutput();
        for (const int16_t sample : mix.samples)
            if (std::abs(sample) > 1000) return true;
        return false;
    }));
}

}  // namespace
}  // namespace movietest
