#include "game/stage/stage_background.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/started_log_fixture.h"

namespace {

using Rows = std::vector<std::vector<int>>;

struct LayoutCase {
    const char* name;
    std::string bytes;
    std::vector<int> widths;
    std::vector<int> heights;
    Rows rows;
};

const std::string kLongCells(600, '1');

const LayoutCase kLayoutCases[] = {
    {"WidthsAndRows", "640,640\r\n480,12\r\n240,01\r\n", {640, 640}, {480, 240}, {{1, 2}, {0, 1}}},
    {"NoFinalLineEnd", "64\r\n32,5", {64}, {32}, {{5}}},
    {"EmptyLineStopsReading", "64,64\r\n10,11\r\n\r\n20,22\r\n", {64, 64}, {10}, {{1, 1}}},
    {"EmptyFirstLineLeavesNothing", "\r\n64\r\n10,1\r\n", {}, {}, {}},
    // Empty tokens vanish as strtok drops them; a token is read like atoi.
    {"WidthTokens", ",64,,x7,12px, +8,\v-3,99999999999\r\n", {64, 0, 12, 8, -3, 16777216}, {}, {}},
    // The first width ends only at a comma; later ones at a comma, CR or LF.
    {"LoneCrAndLfInsideWidths", "64\r32,16\r8\n4\r\n", {64, 16, 8, 4}, {}, {}},
    {"MoreCellsThanWidthsStopAtTheWidths", "64,64\r\n10,12345\r\n", {64, 64}, {10}, {{1, 2}}},
    {"FewerCellsThanWidths", "64,64,64\r\n10,1\r\n", {64, 64, 64}, {10}, {{1}}},
    {"TrailingLineFeedDropped", "64,64\r\n10,12\n\r\n20,3\r\n", {64, 64}, {10, 20}, {{1, 2}, {3}}},
    // Cells are not tested: any byte counts as its value minus '0'.
    {"CellsUntested", "64,64\r\n10,a:\r\n", {64, 64}, {10}, {{'a' - '0', ':' - '0'}}},
    {"LineWithoutCellsIsNoRow", "64\r\n10,\r\n20\r\n30,\r\r\n40,7\r\n", {64}, {40}, {{7}}},
    {"OverLongLineIgnored", "64,64\r\n10," + kLongCells + "\r\n20,21\r\n", {64, 64}, {20}, {{2, 1}}},
    {"LineOfTheLimitIsRead", "64\r\n" + std::string("10,") + std::string(508, '3') + "\r\n", {64}, {10}, {{3}}},
    {"OverLongFirstLineGivesNoWidths", std::string(512, '6') + "\r\n10,1\r\n", {}, {10}, {{}}},
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

class BackgroundLayoutTest : public testsupport::StartedLogTest,
                             public testing::WithParamInterface<LayoutCase> {
protected:
    std::string Write(const std::string& bytes) {
        const std::string name = "layout";
        FILE* file = std::fopen((folder_.hostPath() + "/" + name).c_str(), "wb");
        EXPECT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return folder_.windowsPath() + "\\LAYOUT";
    }

    static Rows RowsOf(const CStageBackground& background) {
        Rows rows;
        for (const auto& row : background.rows) rows.push_back(*row);
        return rows;
    }
};

TEST_P(BackgroundLayoutTest, ReadsTheLayout) {
    const LayoutCase& c = GetParam();
    CStageBackground background;
    ASSERT_TRUE(background.LoadFromCsv(Write(c.bytes).c_str()));
    EXPECT_EQ(background.columnWidths, c.widths);
    EXPECT_EQ(background.rowHeights, c.heights);
    EXPECT_EQ(RowsOf(background), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Cases, BackgroundLayoutTest, testing::ValuesIn(kLayoutCases),
                         [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

using BackgroundFileTest = BackgroundLayoutTest;

TEST_F(BackgroundFileTest, OverLongLineIsLogged) {
    const size_t mark = LogText().size();
    CStageBackground background;
    ASSERT_TRUE(background.LoadFromCsv(Write("64\r\n10,1\r\n20," + kLongCells + "\r\n").c_str()));
    EXPECT_NE(LogSince(mark).find("line 3 is longer than 511 bytes and is ignored"), std::string::npos)
        << LogSince(mark);
}

TEST_F(BackgroundFileTest, MissingFileIsFalseAndClearEmpties) {
    CStageBackground background;
    EXPECT_FALSE(background.LoadFromCsv((folder_.windowsPath() + "\\missing").c_str()));
    EXPECT_FALSE(background.LoadFromCsv(nullptr));
    ASSERT_TRUE(background.LoadFromCsv(Write("64\r\n10,1\r\n").c_str()));
    background.Clear();
    EXPECT_TRUE(background.columnWidths.empty());
    EXPECT_TRUE(background.rowHeights.empty());
    EXPECT_TRUE(background.rows.empty());
    EXPECT_EQ(background.pieceImages, nullptr);
    EXPECT_EQ(background.pieceCount, 0);
    EXPECT_FALSE(background.transparent);
}

}  // namespace
