// The play-time clock, the best times and the save file: the clock over
// pauses, restarts and the millisecond counter's wrap, the best-time rule,
// the digit strip, and the save file's bytes, its malformed forms and its
// replacement in one step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/base/time_functions.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "game/app/play_time.h"
#include "game/framework/game_config.h"
#include "platform/kernel/manual_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/game/game_test.h"

namespace {

class PlayTimeTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        GetGameConfig();
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        FillBestTimeRecordList();
        GameProgress = 0;
    }
    void TearDown() override {
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        GameProgress = 0;
        GameTest::TearDown();
    }

    static void Advance(uint64_t milliseconds) { platform::AdvanceManualClockMilliseconds(milliseconds); }

    // A new run, as the stage scene starts one.
    static PlayTimer NewRun() {
        PlayTimer timer = {static_cast<uint32_t>(GetMillisecondCount()), 0, 0, 0, 0, false};
        return timer;
    }
    static void RestartClock(PlayTimer* timer) {
        timer->start = static_cast<uint32_t>(GetMillisecondCount());
        timer->paused = false;
    }

    std::string SaveBytes() const { return folder_.readFile("save_ver_1.dat"); }
};

std::string Words(const std::vector<int32_t>& words) {
    std::string bytes;
    for (int32_t word : words)
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<uint32_t>(word) >> (8 * i)) & 0xFF);
    return bytes;
}

std::string Shown(const PlayTimer& timer) {
    return std::to_string(timer.minutes) + ":" + std::to_string(timer.seconds) + "." +
           std::to_string(timer.milliseconds);
}

// ---- the clock ------------------------------------------------------------------------

TEST_F(PlayTimeTest, TheClockCountsOnlyWhileItRuns) {
    enum Op { Wait, Update, Pause, Restart };
    struct Step {
        Op op;
        int value;  // milliseconds to wait, or the result expected
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* shown;
        int32_t offset;
    };
    const Case cases[] = {
        {"Running", {{Wait, 62345}, {Update, 0}}, "1:2.345", 0},
        {"PausedTenSecondsThenRestarted",
         {{Wait, 62345}, {Pause, 0}, {Wait, 10000}, {Restart, 0}, {Wait, 1000}, {Update, 0}},
         "1:3.345",
         62345},
        {"UpdateWhilePausedChangesNothing",
         {{Wait, 5000}, {Pause, 0}, {Wait, 7000}, {Update, -1}},
         "0:5.0",
         5000},
        {"SecondPauseChangesNothing", {{Wait, 5000}, {Pause, 0}, {Wait, 7000}, {Pause, 0}}, "0:5.0", 5000},
        {"MinutesPastAnHour", {{Wait, 61 * 60000 + 999}, {Update, 0}}, "61:0.999", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlayTimer timer = NewRun();
        for (const Step& step : c.steps) {
            switch (step.op) {
            case Wait: Advance(static_cast<uint64_t>(step.value)); break;
            case Update: EXPECT_EQ(PlayTimer::Update(&timer), step.value); break;
            case Pause: EXPECT_EQ(PlayTimer::Pause(&timer), 0); break;
            case Restart: RestartClock(&timer); break;
            }
        }
        EXPECT_EQ(Shown(timer), c.shown);
        EXPECT_EQ(timer.offset, c.offset);
    }
}

// The millisecond count wraps from 2^31 - 1 to 0 after 24.8 days: a clock
// running across it goes on counting.
TEST_F(PlayTimeTest, TheClockRunsOnAcrossTheMillisecondCountsWrap) {
    platform::MachineProfile& profile = platform::Profile();
    profile.clock.timeGetTimeOrigin += 0x7FFFFFFFu - 499u - static_cast<uint32_t>(GetMillisecondCount());
    PlayTimer timer = NewRun();
    Advance(1500);
    ASSERT_LT(GetMillisecondCount(), 1500);
    EXPECT_EQ(PlayTimer::Update(&timer), 0);
    EXPECT_EQ(Shown(timer), "0:1.500");
    EXPECT_EQ(PlayTimer::Pause(&timer), 0);
    EXPECT_EQ(timer.offset, 1500);
}

TEST_F(PlayTimeTest, ABestTimeIsTakenOnlyWhenStrictlySmaller) {
    struct Case {
        PlayTimer record;
        PlayTimer time;
        const char* kept;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 1, false}, {0, 0, 999, 59, 0, false}, "0:59.999"},
        {{0, 0, 0, 0, 1, false}, {0, 0, 0, 0, 1, false}, "1:0.0"},
        {{0, 0, 0, 0, 1, false}, {0, 0, 1, 0, 1, false}, "1:0.0"},
        {{0, 0, 500, 10, 2, false}, {0, 0, 0, 59, 1, false}, "1:59.0"},
        {{0, 0, 500, 10, 2, false}, {0, 0, 499, 10, 2, false}, "2:10.499"},
        {{0, 0, 500, 10, 2, false}, {0, 0, 0, 11, 2, false}, "2:10.500"},
        {kUnsetPlayTime, {0, 0, 0, 0, 998, false}, "998:0.0"},
    };
    for (const Case& c : cases) {
        SaveRecord record = c.record;
        record.start = 77;
        record.offset = 88;
        UpdateBestTime(&record, c.time);
        EXPECT_EQ(Shown(record), c.kept) << Shown(c.record) << " against " << Shown(c.time);
        EXPECT_EQ(record.start, 77u);
        EXPECT_EQ(record.offset, 88);
    }
}

TEST_F(PlayTimeTest, TimesDrawAsDigitsCutFromTheStrip) {
    ASSERT_TRUE(StartFramework());
    WritePicture("Figures.png", 208, 20, 0xFFFFFF);
    const int strip = LoadGraphFile("Figures.png", 0);
    ASSERT_GE(strip, 0);
    const PlayTimer time = {0, 0, 567, 34, 12, false};
    DrawPlayTime(100, 50, strip, &time);
    DrawPlayTime(0, 0, strip, &kUnsetPlayTime);
    std::vector<std::string> seen;
    for (const gametest::SeenDraw& draw : OpenFrameDraws()) seen.push_back(gametest::Describe(draw));
    const std::string tail = " trans 1 blend 0/0 bright 255,255,255";
    const std::vector<std::string> expected = {
        "DrawGraphicPart Figures.png 100,50 part 0,0,57,20" + tail,
        "DrawGraphicPart Figures.png 167,50 part 57,0,14,20" + tail,   // 0
        "DrawGraphicPart Figures.png 181,50 part 71,0,14,20" + tail,   // 1
        "DrawGraphicPart Figures.png 195,50 part 85,0,14,20" + tail,   // 2
        "DrawGraphicPart Figures.png 213,50 part 198,0,10,20" + tail,  // :
        "DrawGraphicPart Figures.png 223,50 part 99,0,14,20" + tail,   // 3
        "DrawGraphicPart Figures.png 237,50 part 113,0,14,20" + tail,  // 4
        "DrawGraphicPart Figures.png 255,50 part 198,0,10,20" + tail,  // :
        "DrawGraphicPart Figures.png 265,50 part 127,0,14,20" + tail,  // 5
        "DrawGraphicPart Figures.png 279,50 part 141,0,14,20" + tail,  // 6
        "DrawGraphicPart Figures.png 0,0 part 0,0,57,20" + tail,
        "DrawGraphicPart Figures.png 67,0 part 183,0,14,20" + tail,
        "DrawGraphicPart Figures.png 81,0 part 183,0,14,20" + tail,
        "DrawGraphicPart Figures.png 95,0 part 183,0,14,20" + tail,
        "DrawGraphicPart Figures.png 113,0 part 198,0,10,20" + tail,
        "DrawGraphicPart Figures.png 123,0 part 183,0,14,20" + tail,
        "DrawGraphicPart Figures.png 137,0 part 183,0,14,20" + tail,
        "DrawGraphicPart Figures.png 155,0 part 198,0,10,20" + tail,
        "DrawGraphicPart Figures.png 165,0 part 183,0,14,20" + tail,
        "DrawGraphicPart Figures.png 179,0 part 183,0,14,20" + tail,
    };
    EXPECT_EQ(seen, expected);
}

// ---- the save file ------------------------------------------------------------------------

// Progress, the count 10, then per record its value count 3 and the
// milliseconds, seconds and minutes.
std::vector<int32_t> GoldenWords() {
    std::vector<int32_t> words = {3, 10};
    for (int i = 0; i < 10; ++i) {
        words.push_back(3);
        if (i < 3) {
            words.push_back(100 * i + 7);
            words.push_back(10 + i);
            words.push_back(i);
        } else {
            words.push_back(999);
            words.push_back(99);
            words.push_back(999);
        }
    }
    return words;
}

TEST_F(PlayTimeTest, TheSaveRoundTripsThroughItsGoldenBytes) {
    GameProgress = 3;
    for (int i = 0; i < 3; ++i) {
        BestTimeTable[i].milliseconds = 100 * i + 7;
        BestTimeTable[i].seconds = 10 + i;
        BestTimeTable[i].minutes = i;
    }
    BestTimeTable[1].start = 1234;
    BestTimeTable[1].offset = 5678;
    ASSERT_TRUE(SaveGameData());
    const std::string bytes = SaveBytes();
    ASSERT_EQ(bytes.size(), 168u);
    EXPECT_EQ(bytes.substr(0, 12), std::string("\x03\0\0\0\x0a\0\0\0\x03\0\0\0", 12));
    EXPECT_EQ(bytes, Words(GoldenWords()));
    EXPECT_FALSE(std::filesystem::exists(folder_.hostPath() + "/save_ver_1.tmp"));

    for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
    BestTimeTable[1].start = 1234;
    BestTimeTable[1].offset = 5678;
    GameProgress = 0;
    ASSERT_TRUE(LoadGameData());
    EXPECT_EQ(GameProgress, 3);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const std::vector<int32_t> golden = GoldenWords();
        EXPECT_EQ(BestTimeTable[i].milliseconds, golden[static_cast<size_t>(3 + 4 * i)]);
        EXPECT_EQ(BestTimeTable[i].seconds, golden[static_cast<size_t>(4 + 4 * i)]);
        EXPECT_EQ(BestTimeTable[i].minutes, golden[static_cast<size_t>(5 + 4 * i)]);
    }
    EXPECT_EQ(BestTimeTable[1].start, 1234u);
    EXPECT_EQ(BestTimeTable[1].offset, 5678);
}

// How record i shows once read from the golden save.
std::string GoldenTime(int i) {
    const std::vector<int32_t> golden = GoldenWords();
    const size_t at = static_cast<size_t>(3 + 4 * i);
    return std::to_string(golden[at + 2]) + ":" + std::to_string(golden[at + 1]) + "." +
           std::to_string(golden[at]);
}

// The values a save holds whole and in range are taken; what is cut off or
// out of range keeps the value it had (here progress 5 and every record at
// 5:55.555), together with what depends on it.
class SaveLoadTest : public PlayTimeTest {
protected:
    static constexpr SaveRecord kBefore = {1, 2, 555, 55, 5, false};

    // Loads `bytes`; the records taken from the file as 'T', the others '-'.
    std::string Load(const std::string& bytes, bool* loaded = nullptr) {
        for (SaveRecord& record : BestTimeTable) record = kBefore;
        GameProgress = 5;
        WriteFile("save_ver_1.dat", bytes);
        const bool result = LoadGameData();
        if (loaded != nullptr) *loaded = result;
        std::string taken;
        for (int i = 0; i < 10; ++i) {
            SCOPED_TRACE(i);
            const std::string shown = Shown(BestTimeTable[i]);
            EXPECT_TRUE(shown == "5:55.555" || shown == GoldenTime(i)) << shown;
            EXPECT_EQ(BestTimeTable[i].start, 1u);
            EXPECT_EQ(BestTimeTable[i].offset, 2);
            taken += shown == GoldenTime(i) ? 'T' : '-';
        }
        return taken;
    }
};

// A save cut at any byte, and so at every field boundary, keeps the progress
// once its 4 bytes are there and each record whose three values are there:
// the first 20 bytes of a save with progress 3 give progress 3, the first 100
// its first five records.
TEST_F(SaveLoadTest, ATruncatedSaveKeepsWhatItHoldsWhole) {
    const std::string valid = Words(GoldenWords());
    ASSERT_EQ(valid.size(), 168u);
    for (size_t cut = 0; cut <= valid.size(); ++cut) {
        SCOPED_TRACE(cut);
        bool loaded = false;
        const std::string taken = Load(valid.substr(0, cut), &loaded);
        EXPECT_TRUE(loaded);
        EXPECT_EQ(GameProgress, cut < 4 ? 0 : 3);
        // Record i ends with its minutes at byte 8 + 16 (i + 1).
        const size_t whole = cut < 8 ? 0 : std::min<size_t>((cut - 8) / 16, 10);
        EXPECT_EQ(taken, std::string(whole, 'T') + std::string(10 - whole, '-'));
    }
    EXPECT_EQ(Load(valid.substr(0, 20)), "----------");
    EXPECT_EQ(GameProgress, 3);
    EXPECT_EQ(Load(valid.substr(0, 100)), "TTTTT-----");
    EXPECT_EQ(GameProgress, 3);
}

TEST_F(SaveLoadTest, ValuesOutOfRangeAreRefusedWithWhatDependsOnThem) {
    auto golden = [](size_t index, int32_t value) {
        std::vector<int32_t> words = GoldenWords();
        words[index] = value;
        return Words(words);
    };
    const std::string valid = Words(GoldenWords());
    struct Case {
        const char* name;
        std::string bytes;
        int progress;
        const char* taken;
    };
    const Case cases[] = {
        {"Valid", valid, 3, "TTTTTTTTTT"},
        {"ThreeBytes", std::string("\x02\0\0", 3), 0, "----------"},
        {"ProgressOnly", Words({4}), 4, "----------"},
        {"NineBytes", Words({2, 10}) + "x", 2, "----------"},
        {"NegativeProgressOnly", Words({-1}), 5, "----------"},
        {"ProgressAboveSix", golden(0, 7), 5, "TTTTTTTTTT"},
        {"NegativeProgress", golden(0, -3), 5, "TTTTTTTTTT"},
        {"OneByteTooMany", valid + "x", 3, "TTTTTTTTTT"},
        {"Oversized", valid + std::string(1 << 20, '\x7f'), 3, "TTTTTTTTTT"},
        // The count governs the records.
        {"ElevenRecords", golden(1, 11), 3, "----------"},
        {"NegativeRecordCount", golden(1, -1), 3, "----------"},
        {"HugeRecordCount", golden(1, 0x7FFFFFFF), 3, "----------"},
        {"FourRecords", golden(1, 4), 3, "TTTT------"},
        // A time is taken whole or not at all.
        {"NegativeMilliseconds", golden(3 + 4 * 2, -1), 3, "TT-TTTTTTT"},
        {"ThousandMilliseconds", golden(3 + 4 * 2, 1000), 3, "TT-TTTTTTT"},
        {"NegativeSeconds", golden(4, -1), 3, "-TTTTTTTTT"},
        {"NegativeMinutes", golden(5 + 4 * 9, -1), 3, "TTTTTTTTT-"},
        // A value count governs the values that follow: with two, record 5
        // has no time and record 6 starts at record 5's minutes (999
        // values, whose first three, 3, 999 and 99, are no time).
        {"TwoValues", golden(2 + 4 * 5, 2), 3, "TTTTT-----"},
        {"FourValuesAtTheEnd", golden(2 + 4 * 9, 4), 3, "TTTTTTTTTT"},
        {"NegativeValueCount", golden(2 + 4 * 9, -5), 3, "TTTTTTTTT-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool loaded = false;
        EXPECT_EQ(Load(c.bytes, &loaded), c.taken);
        EXPECT_TRUE(loaded);
        EXPECT_EQ(GameProgress, c.progress);
    }
    std::filesystem::remove(folder_.hostPath() + "/save_ver_1.dat");
    GameProgress = 5;
    EXPECT_FALSE(LoadGameData());
    EXPECT_EQ(GameProgress, 5);
}

TEST_F(PlayTimeTest, ASaveThatCannotBeWrittenLeavesTheOldOne) {
    GameProgress = 2;
    ASSERT_TRUE(SaveGameData());
    const std::string old = SaveBytes();

    // The temporary file cannot be made: a folder has its name.
    GameProgress = 6;
    std::filesystem::create_directory(folder_.hostPath() + "/save_ver_1.tmp");
    EXPECT_FALSE(SaveGameData());
    EXPECT_EQ(SaveBytes(), old);
    std::filesystem::remove(folder_.hostPath() + "/save_ver_1.tmp");

    // The save's own name is taken by a folder: the file written is not left.
    std::filesystem::rename(folder_.hostPath() + "/save_ver_1.dat", folder_.hostPath() + "/kept.dat");
    std::filesystem::create_directory(folder_.hostPath() + "/save_ver_1.dat");
    EXPECT_FALSE(SaveGameData());
    EXPECT_FALSE(std::filesystem::exists(folder_.hostPath() + "/save_ver_1.tmp"));
    std::filesystem::remove(folder_.hostPath() + "/save_ver_1.dat");
    std::filesystem::rename(folder_.hostPath() + "/kept.dat", folder_.hostPath() + "/save_ver_1.dat");

    // A data folder that is gone: nothing is written, and no error is shown.
    std::snprintf(DataFolderPath, sizeof(DataFolderPath), "./gone");
    EXPECT_FALSE(SaveGameData());
    std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
    EXPECT_EQ(SaveBytes(), old);
    EXPECT_TRUE(messageBoxes.empty());

    // And a save that works replaces the old one whole.
    ASSERT_TRUE(SaveGameData());
    EXPECT_EQ(SaveBytes().substr(0, 4), std::string("\x06\0\0\0", 4));
    EXPECT_EQ(SaveBytes().size(), 168u);
}

}  // namespace
