// The Theora player: the probe, the index, the decode thread's stock across
// seeks, jumps and the loop point, the frames it converts, and its failures.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "framework/base/tracked_memory.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/movie/theora_movie_record.h"
#include "framework/sound/movie/yuv_to_rgb_tables.h"
#include "movie_fixture.h"
#include "numbered_theora_writer.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/thread_activity.h"

namespace movietest {
namespace {

// A file in memory that counts what is read from it, and that can be made
// as slow as a disk on a loaded machine.
struct MemoryFile {
    std::string bytes;
    size_t position = 0;
    size_t bytesRead = 0;
    std::atomic<int> readDelayMs{0};
};

uint32_t MemoryRead(void* buffer, uint32_t size, uint32_t count, uintptr_t file) {
    MemoryFile* f = reinterpret_cast<MemoryFile*>(file);
    if (f->readDelayMs > 0) Sleep(static_cast<DWORD>(f->readDelayMs.load()));
    const size_t want = static_cast<size_t>(size) * count;
    const size_t got = std::min(want, f->bytes.size() - f->position);
    std::memcpy(buffer, f->bytes.data() + f->position, got);
    f->position += got;
    f->bytesRead += got;
    return static_cast<uint32_t>(got / size);
}

int MemorySeek(uintptr_t file, int32_t offset, int origin) {
    MemoryFile* f = reinterpret_cast<MemoryFile*>(file);
    const long base = origin == 0 ? 0 : origin == 1 ? static_cast<long>(f->position) : static_cast<long>(f->bytes.size());
    if (base + offset < 0 || base + offset > static_cast<long>(f->bytes.size())) return -1;
    f->position = static_cast<size_t>(base + offset);
    return 0;
}

int MemoryEnd(uintptr_t file) {
    MemoryFile* f = reinterpret_cast<MemoryFile*>(file);
    return f->position >= f->bytes.size() ? 1 : 0;
}

FileAccessTable MemoryAccess() {
    FileAccessTable table = {};
    table.read = MemoryRead;
    table.seek = MemorySeek;
    table.endOfFile = MemoryEnd;
    return table;
}

uintptr_t Handle(MemoryFile& file) { return reinterpret_cast<uintptr_t>(&file); }

class TheoraMovieTest : public MovieTest {
protected:
    // Framework start-up fills the tables; these tests do without it.
    void SetUp() override {
        MovieTest::SetUp();
        InitYuvToRgbTables();
    }
    TheoraMovie* Open(MemoryFile& file) {
        const FileAccessTable access = MemoryAccess();
        return OpenTheoraMovie(Handle(file), &access, 10);
    }
    // Converts the wanted frame, which waits for the thread to have it.
    static bool Convert(TheoraMovie* movie) { return ConvertTheoraFrameToRgb(movie, 1, 0) == 1; }
    static int ShownNumber(TheoraMovie* movie) {
        const PixelImage* image = GetTheoraRgbImage(movie);
        return ReadFrameNumber(image->pixels, image->pitch);
    }
};

TEST_F(TheoraMovieTest, AFileThatIsNoOggIsRefusedAfterItsFirstFourBytes) {
    for (const char* bytes : {"RIFF\x10\0\0\0WAVEfmt ", "Og", ""}) {
        SCOPED_TRACE(bytes);
        MemoryFile file{std::string(bytes, std::strlen(bytes) + (bytes[0] == 'R' ? 4 : 0))};
        const size_t mark = LogText().size();
        EXPECT_EQ(Open(file), nullptr);
        EXPECT_LE(file.bytesRead, 4u);
        EXPECT_EQ(LinesSince(mark), "");
    }
}

TEST_F(TheoraMovieTest, AStreamWithoutFramesIsRefused) {
    MemoryFile file{WriteNumberedTheora(0, 8)};
    const size_t mark = LogText().size();
    EXPECT_EQ(Open(file), nullptr);
    EXPECT_EQ(LinesSince(mark), "");
}

TEST_F(TheoraMovieTest, AnOggFileWithoutTheoraIsRefusedWithoutAMessage) {
    // The sound track alone: the Vorbis-first fixture up to its Theora page.
    const std::string movie = FixtureBytes("grey_ramp_vorbis_first_32x24_10fps.ogv");
    const size_t theoraPage = movie.find("OggS", movie.find("vorbis"));
    ASSERT_NE(theoraPage, std::string::npos);
    MemoryFile file{movie.substr(0, theoraPage) + "OggS junk that is no page"};
    const size_t mark = LogText().size();
    EXPECT_EQ(Open(file), nullptr);
    EXPECT_EQ(LinesSince(mark), "");
}

TEST_F(TheoraMovieTest, EncodedFilesPlayEveryFrameInOrder) {
    struct Case {
        const char* file;
    };
    for (const Case& c : {Case{"grey_ramp_32x24_10fps.ogv"}, Case{"grey_ramp_vorbis_first_32x24_10fps.ogv"}}) {
        SCOPED_TRACE(c.file);
        MemoryFile file{FixtureBytes(c.file)};
        ASSERT_FALSE(file.bytes.empty());
        TheoraMovie* movie = Open(file);
        ASSERT_NE(movie, nullptr);
        TheoraMovieInfo info;
        GetTheoraMovieInfo(movie, &info);
        EXPECT_DOUBLE_EQ(info.frameRate, 10.0);
        EXPECT_EQ(info.totalFrames, 10u);
        EXPECT_EQ(info.width, 32u);
        EXPECT_EQ(info.height, 32u);  // the coded size
        for (int frame = 0; frame < 12; ++frame) {
            SCOPED_TRACE(frame);
            EXPECT_EQ(GetTheoraCurrentFrame(movie), frame % 10);
            ASSERT_TRUE(Convert(movie));
            const int grey = static_cast<int>(std::lround(1.164 * 20 * (frame % 10)));
            const uint8_t* pixel = GetTheoraRgbImage(movie)->pixels + 12 * GetTheoraRgbImage(movie)->pitch + 16 * 4;
            EXPECT_NEAR(pixel[0], grey, 6);
            EXPECT_NEAR(pixel[1], grey, 6);
            EXPECT_NEAR(pixel[2], grey, 6);
            EXPECT_EQ(pixel[3], 255);
            AdvanceTheoraFrame(movie, 1);
        }
        EXPECT_EQ(CloseTheoraMovie(movie), 0);
    }
}

TEST_F(TheoraMovieTest, FullChromaPicturesKeepTheirChromaPerColumn) {
    MemoryFile file{FixtureBytes("blue_columns_444_32x24.ogv")};
    TheoraMovie* movie = Open(file);
    ASSERT_NE(movie, nullptr);
    ASSERT_TRUE(Convert(movie));
    const PixelImage* image = GetTheoraRgbImage(movie);
    for (int col = 0; col < 32; ++col) {
        SCOPED_TRACE(col);
        const double luma = 1.164 * (128 - 16);
        const double blue = std::clamp(luma + 2.018 * (col * 8 - 128), 0.0, 255.0);
        EXPECT_NEAR(image->pixels[10 * image->pitch + col * 4], blue, 12);
    }
    CloseTheoraMovie(movie);
}

TEST_F(TheoraMovieTest, ALongMovieIsIndexedAndPlaysAcrossTheLoopPoint) {
    MemoryFile file{WriteNumberedTheora(1100, 32)};
    TheoraMovie* movie = Open(file);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->totalFrames, 1100);
    EXPECT_GT(movie->pageCount, 1000);
    // The encoder may choose more keyframes than it is forced to.
    int keyframes = 0;
    for (int frame = 0; frame < 1100; ++frame) {
        if (frame % 32 == 0) {
            EXPECT_EQ(movie->keyframeFlags[frame], 1) << frame;
        }
        keyframes += movie->keyframeFlags[frame];
    }
    EXPECT_LT(keyframes, 550) << "most frames need the ones before them";
    int indexed = 0;
    for (int entry = 0; entry < movie->pageCount; ++entry) {
        if (entry > 0) {
            EXPECT_GT(movie->pageIndex[entry].offset, movie->pageIndex[entry - 1].offset);
        }
        EXPECT_EQ(movie->pageIndex[entry].firstFrame, indexed);
        indexed += movie->pageIndex[entry].frameCount;
    }
    EXPECT_EQ(indexed, 1100);

    ASSERT_TRUE(Convert(movie));
    EXPECT_EQ(ShownNumber(movie), 0);
    // A jump far ahead is caught up by skipping to the last keyframe before
    // it; then frame by frame across the loop point.
    AdvanceTheoraFrame(movie, 1090);
    for (int step = 0; step < 20; ++step) {
        const int want = (1090 + step) % 1100;
        ASSERT_EQ(GetTheoraCurrentFrame(movie), want);
        ASSERT_TRUE(Convert(movie)) << want;
        ASSERT_EQ(ShownNumber(movie), want);
        AdvanceTheoraFrame(movie, 1);
    }
    // A jump across the loop point from a full stock.
    AdvanceTheoraFrame(movie, 1085);  // to 1095
    ASSERT_TRUE(Convert(movie));
    EXPECT_EQ(ShownNumber(movie), 1095);
    AdvanceTheoraFrame(movie, 12);  // to 7
    ASSERT_TRUE(Convert(movie));
    EXPECT_EQ(ShownNumber(movie), 7);
    EXPECT_EQ(CloseTheoraMovie(movie), 0);
}

TEST_F(TheoraMovieTest, AConversionWaitsForItsFrameHoweverSlowlyTheThreadDecodes) {
    MemoryFile file{WriteNumberedTheora(300, 32)};
    TheoraMovie* movie = Open(file);
    ASSERT_NE(movie, nullptr);
    ASSERT_TRUE(Convert(movie));
    // Every read of the data now takes a quarter of a second, and the frame
    // wanted lies several reads ahead.
    file.readDelayMs = 250;
    AdvanceTheoraFrame(movie, 200);
    ASSERT_TRUE(Convert(movie));
    EXPECT_EQ(ShownNumber(movie), 200);
    file.readDelayMs = 0;
    EXPECT_EQ(CloseTheoraMovie(movie), 0);
}

TEST_F(TheoraMovieTest, AConversionWhoseFrameCanNeverComeGivesUp) {
    struct Case {
        const char* name;
        bool threadEnds;
    };
    for (const Case& c : {Case{"the data ended", false}, Case{"the decode thread ended", true}}) {
        SCOPED_TRACE(c.name);
        MemoryFile file{WriteNumberedTheora(300, 32)};
        TheoraMovie* movie = Open(file);
        ASSERT_NE(movie, nullptr);
        ASSERT_TRUE(Convert(movie));
        if (c.threadEnds) {
            movie->stopRequest = 1;
            ASSERT_TRUE(testsupport::WaitUntil([&] { return movie->threadState == kTheoraEnded; }));
        } else {
            // The file loses its second half after it was indexed, once the
            // thread has filled its stock and reads no more.
            ASSERT_TRUE(testsupport::WaitUntil([&] { return movie->threadState == kTheoraStockFull; }));
            file.bytes.resize(file.bytes.size() / 2);
        }
        AdvanceTheoraFrame(movie, 250);
        EXPECT_EQ(ConvertTheoraFrameToRgb(movie, 1, 0), 0);
        EXPECT_EQ(movie->endOfStream, c.threadEnds ? 0u : 1u);
        EXPECT_EQ(CloseTheoraMovie(movie), 0);
    }
}

TEST_F(TheoraMovieTest, EveryFailedAllocationOfTheOpenIsLoggedAndLeavesNothing) {
    const std::string bytes = FixtureBytes("grey_ramp_32x24_10fps.ogv");
    const std::vector<std::string> texts = {
        "Theora ムービーデコード処理用のメモリ確保に失敗しました\r\n",
        "Theora ページ情報格納用メモリの確保に失敗しました\r\n",
        "Theora キーフレーム情報格納用メモリの確保に失敗しました\r\n",
        "Theora ムービーデコードフレームストック用画像バッファの確保に失敗しました\r\n",
        "Theora ムービーデコードフレームストック用のメモリ確保に失敗しました\r\n",
    };
    std::vector<bool> seen(texts.size());
    TheoraMovie* movie = nullptr;
    for (uint64_t failing = 1; failing < 100 && movie == nullptr; ++failing) {
        SCOPED_TRACE(failing);
        MemoryFile file{bytes};
        platform::Profile().failures.heap.failAllocationNumber = failing;
        const size_t mark = LogText().size();
        movie = Open(file);
        // The decode thread allocates too: it ends before the profile changes.
        if (movie != nullptr) CloseTheoraMovie(movie);
        platform::Profile().failures.heap.failAllocationNumber = 0;
        if (movie != nullptr) break;
        const std::string lines = LinesSince(mark);
        bool known = false;
        for (size_t i = 0; i < texts.size(); ++i)
            if (lines.size() >= texts[i].size() && lines.compare(lines.size() - texts[i].size(), texts[i].size(), texts[i]) == 0)
                seen[i] = known = true;
        EXPECT_TRUE(known) << lines;
        EXPECT_EQ(CheckMemoryAllocations(), 0);
    }
    EXPECT_NE(movie, nullptr);
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_TRUE(seen[i]) << texts[i];
}

}  // namespace
}  // namespace movietest
