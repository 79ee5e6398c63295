// The stage side of the placeholder tree: every name the stage tables give is
// there as spelt, every map reads into exactly its rows x columns with a start,
// a goal and its stage's objects on a route a scripted run can cross, and
// every layout loads with rows that fit its column widths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "game/stage/stage_background.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "tests/support/started_log_fixture.h"
#include "tools/placeholder_resources/resource_lists.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace {

using placeholder::HostPathOf;

const std::string kRoot = BRACKENFOLD_RESOURCE_DIR;

std::string Bytes(const std::string& name) {
    std::ifstream file(HostPathOf(kRoot, name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& name) { return std::filesystem::is_regular_file(HostPathOf(kRoot, name)); }

std::vector<int> StageCodes() {
    std::vector<int> codes = {701};
    int count = 0;
    const StageTableEntry* entries = StageTableEntries(&count);
    for (int i = 0; i < count; ++i) codes.push_back(entries[i].code);
    return codes;
}

// Straight from the tables, not through the generator's own list.
TEST(StageTreeTest, EveryNameOfTheStageTablesIsThereAsSpelt) {
    std::vector<std::string> names;
    for (int code : StageCodes()) {
        int length = 0;
        const char* const* list = StageImageList(code, &length);
        ASSERT_NE(list, nullptr) << code;
        for (int position = 0; position < length; ++position)
            if (list[position] != nullptr) names.push_back(list[position]);
        const char* first = nullptr;
        const char* second = nullptr;
        StageMusicPair(code, &first, &second);
        names.push_back(first);
        names.push_back(second);
    }
    int soundCount = 0;
    const SoundListEntry* sounds = StageSoundList(&soundCount);
    for (int i = 0; i < soundCount; ++i) names.push_back(sounds[i].name);
    for (int mapIndex = 1; mapIndex <= kStageMapCount; ++mapIndex) {
        names.push_back(StageMapFileName(mapIndex));
        names.push_back(StageBackgroundFileName(mapIndex));
        for (int tile = kFirstGuideBoxTile; tile <= kLastGuideBoxTile; ++tile)
            if (const char* box = GuideMessageBoxFileName(mapIndex, tile)) names.push_back(box);
    }
    std::vector<std::string> missing;
    for (const std::string& name : names)
        if (!Exists(name)) missing.push_back(name);
    EXPECT_TRUE(missing.empty()) << missing.size() << " missing, the first " << missing.front();
}

int ReadFromString(void* source) {
    auto* at = static_cast<std::pair<const std::string*, size_t>*>(source);
    if (at->second >= at->first->size()) return -1;
    return static_cast<unsigned char>((*at->first)[at->second++]);
}

// The tile values the walk and the jumps meet (see the collision rules).
bool Blocks(int tile) {
    static const std::set<int> kBlockSet = {1, 17, 18, 19, 20, 28, 56, 57, 58, 59, 60, 61};
    return kBlockSet.count(tile) != 0;
}
bool Carries(int tile) { return Blocks(tile); }
// The map objects that stop a walk as a wall does: the blocks and the
// moving floors.
bool ObjectBlocks(int tile) { return tile == 42 || tile == 55 || tile == 39 || tile == 40; }

class StageMapTest : public testing::TestWithParam<int> {};

TEST_P(StageMapTest, ReadsToItsSizeWithItsObjectsOnACrossableRoute) {
    const int mapIndex = GetParam();
    const placeholder::StageMapDesign design = placeholder::DesignStageMap(mapIndex);
    const int rows = design.rows;
    const int columns = design.columns;
    if (const StageTableEntry* entry = FindStageTableEntry(design.stageCode)) {
        ASSERT_EQ(entry->mapIndex, mapIndex);
        ASSERT_EQ(rows, entry->rows);
        ASSERT_EQ(columns, entry->columns);
    }
    const std::string bytes = Bytes(StageMapFileName(mapIndex));
    ASSERT_FALSE(bytes.empty());
    // Exactly rows x columns cells: one more read finds the end.
    std::vector<int> tiles((rows + 1) * columns, 0);
    std::pair<const std::string*, size_t> source{&bytes, 0};
    ReadMapCells(tiles.data(), rows + 1, columns, ReadFromString, &source);
    for (int i = 0; i < rows * columns; ++i) ASSERT_NE(tiles[i], kTileEndOfFile) << "cell " << i;
    EXPECT_EQ(tiles[rows * columns], kTileEndOfFile) << "surplus cells";
    const auto at = [&](int row, int column) { return tiles[row * columns + column]; };

    // One start, one goal, and every object of the stage.
    std::multiset<int> values(tiles.begin(), tiles.begin() + rows * columns);
    EXPECT_EQ(values.count(2), 1u);
    EXPECT_EQ(values.count(4), 1u);
    for (char tile : placeholder::RequiredStageTiles(mapIndex))
        EXPECT_NE(values.count(tile - '0'), 0u) << "no '" << tile << "'";
    // The stone snake and the pillar tiles draw from positions that only
    // stage 5's list fills; elsewhere those positions hold backgrounds.
    if (design.stageCode != 0 && design.stageCode != 5 && design.stageCode != 502) {
        for (int tile : {38, 56, 57, 58, 59, 60, 61}) EXPECT_EQ(values.count(tile), 0u) << tile;
    }
    // Guide boxes only where the table names a scenario.
    for (int tile = kFirstGuideBoxTile; tile <= kLastGuideBoxTile; ++tile)
        if (GuideMessageBoxFileName(mapIndex, tile) == nullptr) {
            EXPECT_EQ(values.count(tile), 0u) << tile;
        }

    // The route: the start stands on the floor row, the goal at its end; the
    // player walks the floor and jumps at the design's columns.
    const int f = design.floorRow;
    ASSERT_GE(f - 11, 0);
    ASSERT_LT(f, rows);
    EXPECT_EQ(at(f - 2, design.startColumn), 2);
    EXPECT_EQ(at(f - 1, design.goalColumn), 4);
    EXPECT_EQ(at(f - 1, design.dashColumn), 41);
    std::set<int> obstacles;  // the columns a jump clears: each jump column and the next
    for (int j : design.jumpColumns) {
        obstacles.insert(j);
        obstacles.insert(j + 1);
        // Level ground to take off from and to land on.
        for (int c : {j - 2, j - 1, j + 2, j + 3}) {
            EXPECT_TRUE(Carries(at(f, c))) << "column " << c;
            EXPECT_FALSE(Blocks(at(f - 1, c)) || ObjectBlocks(at(f - 1, c))) << "column " << c;
        }
    }
    for (int c = design.startColumn; c <= design.goalColumn; ++c) {
        // Nothing solid where the body flies: up to the top of a full jump.
        for (int rise = 2; rise <= 6; ++rise) EXPECT_FALSE(Blocks(at(f - rise, c))) << "column " << c;
        if (obstacles.count(c)) continue;
        EXPECT_FALSE(Blocks(at(f - 1, c)) || ObjectBlocks(at(f - 1, c))) << "column " << c;
        // Solid floor under every step of the walk: a sinking floor here
        // would take the player down into a hole it cannot leave.
        EXPECT_TRUE(Carries(at(f, c))) << "column " << c;
    }
    // Past the goal the walk meets a wall before the floor ends, so that the
    // dash cannot carry the player beyond the goal and off the map.
    bool stopped = false;
    for (int c = design.goalColumn + 1; c < columns && !stopped; ++c) {
        ASSERT_TRUE(Carries(at(f, c))) << "column " << c;
        stopped = Blocks(at(f - 1, c));
    }
    EXPECT_TRUE(stopped);
    // The jumps of a gap land on the floor beyond it; a pit lies in each gap.
    for (int j : design.jumpColumns)
        if (!Carries(at(f, j))) {
            EXPECT_TRUE(at(f, j) == 27 || at(f, j) == 5) << "column " << j;
        }
}

INSTANTIATE_TEST_SUITE_P(Maps, StageMapTest, testing::Range(1, kStageMapCount + 1));

// The layouts read through the game's own loader, from the tree.
class StageLayoutTest : public testsupport::StartedLogTest {};

TEST_F(StageLayoutTest, EveryLayoutLoadsWithRowsThatFitItsWidths) {
    std::set<std::string> seen;
    for (int mapIndex = 1; mapIndex <= kStageMapCount; ++mapIndex) {
        const std::string name = StageBackgroundFileName(mapIndex);
        if (!seen.insert(name).second) continue;
        SCOPED_TRACE(name);
        std::string path = "C:" + HostPathOf(kRoot, name);
        for (char& c : path)
            if (c == '/') c = '\\';
        CStageBackground layout;
        ASSERT_TRUE(layout.LoadFromCsv(path.c_str()));
        ASSERT_FALSE(layout.columnWidths.empty());
        ASSERT_FALSE(layout.rows.empty());
        ASSERT_EQ(layout.rows.size(), layout.rowHeights.size());
        for (const auto& row : layout.rows) {
            EXPECT_EQ(row->size(), layout.columnWidths.size());
            for (int cell : *row) EXPECT_TRUE(cell >= 0 && cell <= 9) << cell;
        }
        // The file's own lines hold exactly one cell per width, none cut off.
        const std::string bytes = Bytes(name);
        size_t start = bytes.find("\r\n") + 2;
        for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
            const std::string line = bytes.substr(start, end - start);
            EXPECT_EQ(line.size() - line.find(',') - 1, layout.columnWidths.size()) << line;
        }
        // A layout with pictures covers the map it lies behind.
        if (name.find("bg_dummy") == std::string::npos) {
            const placeholder::StageMapDesign design = placeholder::DesignStageMap(mapIndex);
            int width = 0;
            int height = 0;
            for (int w : layout.columnWidths) width += w;
            for (int h : layout.rowHeights) height += h;
            EXPECT_GE(width, design.columns * 64);
            EXPECT_GE(height, design.rows * 64);
        }
    }
    EXPECT_EQ(seen.size(), 7u);
}

}  // namespace
