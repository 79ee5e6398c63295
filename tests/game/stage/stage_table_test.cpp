#include "game/stage/stage_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/stage/stage_background.h"
#include "platform/user/message_box_sink.h"
#include "platform/user/user.h"
#include "tests/support/started_log_fixture.h"

namespace {

struct ByteSource {
    std::string bytes;
    size_t at = 0;
};

int NextByte(void* source) {
    auto* s = static_cast<ByteSource*>(source);
    return s->at < s->bytes.size() ? static_cast<unsigned char>(s->bytes[s->at++]) : -1;
}

std::vector<int> ReadCells(const std::string& bytes, int rows, int columns) {
    std::vector<int> tiles(rows > 0 && columns > 0 ? rows * columns : 1, 12345);
    ByteSource source{bytes};
    ReadMapCells(tiles.data(), rows, columns, NextByte, &source);
    return tiles;
}

struct MapCase {
    const char* name;
    std::string bytes;
    std::vector<int> grid;  // 2 rows of 3
};

const MapCase kMapCases[] = {
    {"CrLfRows", "012\r\n345\r\n", {0, 1, 2, 3, 4, 5}},
    {"CommaSeparated", "0,1,2,\r\n3,4,5", {0, 1, 2, 3, 4, 5}},
    {"JoinedRows", "012345", {0, 1, 2, 3, 4, 5}},
    {"RowSplitAcrossLines", "01\r\n2345\r\n", {0, 1, 2, 3, 4, 5}},
    {"SurplusIgnored", "012\r\n345678\r\n", {0, 1, 2, 3, 4, 5}},
    {"LetterRanges", "9AZ\r\naz0", {9, 17, 42, 49, 74, 0}},
    {"PunctuationBetweenRangesSkipped", ":@[`{9 ~\x7f\x82\xa0" "ABCDE", {9, 17, 18, 19, 20, 21}},
    {"ShortFileEndsInEndOfFileCode", "01\r\n", {0, 1, -49, -49, -49, -49}},
    {"EmptyFile", "", {-49, -49, -49, -49, -49, -49}},
};

void PrintTo(const MapCase& c, std::ostream* os) { *os << c.name; }

class MapCellTest : public testing::TestWithParam<MapCase> {};

TEST_P(MapCellTest, ReadsTheGrid) { EXPECT_EQ(ReadCells(GetParam().bytes, 2, 3), GetParam().grid); }

INSTANTIATE_TEST_SUITE_P(Cases, MapCellTest, testing::ValuesIn(kMapCases),
                         [](const testing::TestParamInfo<MapCase>& info) { return std::string(info.param.name); });

TEST(MapCellTest, NoRowsReadsNothing) {
    EXPECT_EQ(ReadCells("012", 0, 3), std::vector<int>{12345});
    EXPECT_EQ(ReadCells("012", 3, 0), std::vector<int>{12345});
}

TEST(StageTableTest, RowsOfTheStageParts) {
    const StageTableEntry* stage202 = FindStageTableEntry(202);
    ASSERT_NE(stage202, nullptr);
    EXPECT_EQ(stage202->mapIndex, 4);
    EXPECT_EQ(stage202->columns, 70);
    EXPECT_EQ(stage202->rows, 82);
    EXPECT_EQ(stage202->viewRow, 76);
    EXPECT_EQ(stage202->scrollBackground, StageScrollBackground::Stage2B);
    EXPECT_EQ(stage202->musicEntry, 30);
    // 502 is part b of stage 5 but plays the first music entry.
    EXPECT_EQ(FindStageTableEntry(502)->musicEntry, 16);
    EXPECT_EQ(FindStageTableEntry(102)->scrollBackground, StageScrollBackground::None);
    for (int code : {0, 6, 101, 503, 602, 701, -1}) EXPECT_EQ(FindStageTableEntry(code), nullptr) << code;
    int count = 0;
    const StageTableEntry* all = StageTableEntries(&count);
    ASSERT_EQ(count, 10);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(FindStageTableEntry(all[i].code), &all[i]);
        EXPECT_NE(StageMapFileName(all[i].mapIndex), nullptr);
        // The map never holds more cells than the position planes.
        EXPECT_LE(all[i].rows * all[i].columns, 32768) << all[i].code;
    }
}

TEST(StageTableTest, GuideBoxFilesByMapAndTile) {
    EXPECT_STREQ(GuideMessageBoxFileName(1, 49), "resource\\senario\\Stage1a_messagebox_1.xml");
    EXPECT_STREQ(GuideMessageBoxFileName(1, 52), "resource\\senario\\Stage1a_messagebox_4.xml");
    EXPECT_STREQ(GuideMessageBoxFileName(4, 50), "resource\\senario\\Stage2b_messagebox_2.xml");
    EXPECT_STREQ(GuideMessageBoxFileName(7, 49), "resource\\senario\\Stage4a_messagebox_1.xml");
    // Boxes whose entry is empty, and values outside the table.
    for (auto [map, tile] : {std::pair{1, 53}, {2, 50}, {6, 49}, {11, 49}, {0, 49}, {12, 49}, {1, 48}, {1, 54}}) {
        EXPECT_EQ(GuideMessageBoxFileName(map, tile), nullptr) << map << " " << tile;
    }
}

// Files written into the test's folder, which is the current directory, so
// the game's relative "resource\..." names find them.
class StageMapFilesTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        platform::SetMessageBoxSink([this](const platform::MessageBoxRecord& box) {
            boxes_.push_back(box);
            return IDOK;
        });
        std::filesystem::create_directories(folder_.hostPath() + "/resource/mapdata");
    }

    void Write(const std::string& name, const std::string& bytes) {
        FILE* file = std::fopen((folder_.hostPath() + "/resource/mapdata/" + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    // The exit code of a posted quit message, or -1 when none is waiting.
    static int PostedQuitCode() {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
        }
        return -1;
    }

    std::vector<platform::MessageBoxRecord> boxes_;
};

TEST_F(StageMapFilesTest, LoadsTheMapAndItsLayout) {
    Write("stage2a", "12\r\n3A\r\n");
    Write("bg_stage2a", "640,640\r\n480,12\r\n");
    int tiles[4] = {7, 7, 7, 7};
    CStageBackground background;
    EXPECT_EQ(LoadStageMapFiles(tiles, &background, 3, 2, 2), 0);
    EXPECT_EQ(std::vector<int>(tiles, tiles + 4), (std::vector<int>{1, 2, 3, 17}));
    EXPECT_EQ(background.columnWidths, (std::vector<int>{640, 640}));
    ASSERT_EQ(background.rows.size(), 1u);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(PostedQuitCode(), -1);
}

TEST_F(StageMapFilesTest, MapsWithoutLayerNeedTheDummyLayout) {
    Write("stage3a", "1");
    int tiles[2] = {};
    CStageBackground background;
    EXPECT_EQ(LoadStageMapFiles(tiles, &background, 5, 1, 2), -1);
    EXPECT_TRUE(boxes_.empty());
    Write("bg_dummy", "");
    EXPECT_EQ(LoadStageMapFiles(tiles, &background, 5, 1, 2), 0);
    EXPECT_EQ(tiles[1], kTileEndOfFile);
}

TEST_F(StageMapFilesTest, MissingMapOrBadIndexFailsWithMessage) {
    Write("bg_dummy", "");
    for (int mapIndex : {0, 12, 11}) {  // 11 is valid but its file is missing
        boxes_.clear();
        int tiles[4] = {7, 7, 7, 7};
        CStageBackground background;
        EXPECT_EQ(LoadStageMapFiles(tiles, &background, mapIndex, 2, 2), -1) << mapIndex;
        // The grid is never left holding what was there before.
        EXPECT_EQ(std::vector<int>(tiles, tiles + 4), std::vector<int>(4, 0));
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, "Failed to load stage data.");
        EXPECT_FALSE(boxes_[0].hasCaption);
        EXPECT_EQ(boxes_[0].owner, nullptr);
        EXPECT_EQ(boxes_[0].type, MB_ICONERROR);
        EXPECT_EQ(PostedQuitCode(), 0);
    }
}

TEST_F(StageMapFilesTest, CodesOutsideTheTableAreReportedToTheScene) {
    for (int code : {0, 6}) {
        boxes_.clear();
        EXPECT_EQ(LookUpStageForScene(code), nullptr);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, "マップデータの読み込みに失敗");
        EXPECT_FALSE(boxes_[0].hasCaption);
        EXPECT_EQ(boxes_[0].type, MB_ICONERROR);
        EXPECT_EQ(PostedQuitCode(), 1);
    }
    boxes_.clear();
    EXPECT_EQ(LookUpStageForScene(302), FindStageTableEntry(302));
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
