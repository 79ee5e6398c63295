#include "game/stage/tile_collision.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/stage/stage_table.h"

namespace {

// A tile grid in memory with its two position planes, as the stage scene
// builds them: the x plane holds each cell's screen x, the y plane its map y.
struct TileMap {
    int columns;
    int rows;
    std::vector<int> tiles;
    std::vector<int> positions;

    TileMap(int columnCount, int rowCount)
        : columns(columnCount), rows(rowCount), tiles(columnCount * rowCount, 0),
          positions(2 * kStagePlaneSize, -1) {
        TileIndexWidth = columns;
        MapColumns = columns;
        Place(0);
    }
    void Set(int column, int row, int kind) { tiles[column + row * columns] = kind; }
    void Place(int scrollX) {
        std::fill(positions.begin(), positions.end(), -1);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                int index = c + r * columns;
                if (index >= kStagePlaneSize) continue;
                positions[index] = c * 64 - scrollX;
                positions[kStagePlaneSize + index] = r * 64;
            }
        }
    }
    int Floor(int x, int y, int* kind = nullptr) const {
        return FindFloorBelow(tiles.data(), positions.data(), columns, rows, x, y, kind);
    }
    int Ceiling(int x, int y) const { return FindCeilingAbove(tiles.data(), positions.data(), columns, rows, x, y); }
    bool Right(int x, int y, int mode = 0, int* out = nullptr, const int* box = nullptr) const {
        return TestWallRight(box, x, y, tiles.data(), positions.data(), columns, rows, mode, out);
    }
    bool Left(int x, int y, int mode = 0, int* out = nullptr, const int* box = nullptr) const {
        return TestWallLeft(box, x, y, tiles.data(), positions.data(), columns, rows, mode, out);
    }
};

struct SearchCase {
    const char* name;
    int x;
    int y;
    int expected;
};

// One floor tile at column 2, row 3: tx 128, ty 192.
TEST(FindFloorBelowTest, TileQualifiesByItsTopAndItsCore) {
    const SearchCase cases[] = {
        {"top exactly at y + 64", 100, 128, 192},
        {"top at y + 63", 100, 129, -1},
        {"far above", 100, 0, 192},
        {"below the body", 100, 200, -1},
        {"core's left end meets the body's right end", 128 - 88, 0, 192},
        {"one pixel further left", 128 - 89, 0, -1},
        {"core's right end meets the body's left end", 128 + 28, 0, 192},
        {"one pixel further right", 128 + 29, 0, -1},
    };
    TileMap map(5, 5);
    map.Set(2, 3, 1);
    for (const SearchCase& c : cases) {
        int kind = -7;
        EXPECT_EQ(map.Floor(c.x, c.y, &kind), c.expected) << c.name;
        EXPECT_EQ(kind, c.expected == -1 ? -7 : 1) << c.name;
    }
}

TEST(FindFloorBelowTest, SmallestTopWinsAndTiesKeepTheFirstColumn) {
    TileMap map(5, 6);
    map.Set(1, 4, 17);
    map.Set(2, 4, 18);
    map.Set(2, 5, 19);
    int kind = 0;
    EXPECT_EQ(map.Floor(64, 0, &kind), 256);
    EXPECT_EQ(kind, 17);

    // A higher top in a later column beats the earlier column.
    map.Set(2, 3, 20);
    EXPECT_EQ(map.Floor(64, 0, &kind), 192);
    EXPECT_EQ(kind, 20);
    // The out kind may be null.
    EXPECT_EQ(map.Floor(64, 0, nullptr), 192);
}

TEST(TileKindsTest, KindFiveIsOnlyAFloor) {
    TileMap map(5, 5);
    map.Set(2, 1, 5);
    int kind = 0;
    EXPECT_EQ(map.Floor(100, 0, &kind), 64);
    EXPECT_EQ(kind, 5);
    EXPECT_EQ(map.Ceiling(100, 100), -1);
    EXPECT_FALSE(map.Right(60, 0));
    EXPECT_FALSE(map.Left(120, 0));

    map.Set(2, 1, 1);
    EXPECT_EQ(map.Ceiling(100, 100), 64);
    EXPECT_TRUE(map.Right(60, 0));
    EXPECT_TRUE(map.Left(120, 0));
}

TEST(TileKindsTest, SolidSets) {
    const int solid[] = {1, 17, 18, 19, 20, 28, 56, 57, 58, 59, 60, 61};
    for (int kind : solid) {
        EXPECT_TRUE(IsBlockKind(kind)) << kind;
        EXPECT_TRUE(IsFloorKind(kind)) << kind;
    }
    const int passable[] = {-49, -1, 0, 2, 4, 6, 7, 8, 9, 16, 21, 27, 32, 41, 55, 62};
    for (int kind : passable) {
        EXPECT_FALSE(IsBlockKind(kind)) << kind;
        EXPECT_FALSE(IsFloorKind(kind)) << kind;
    }
    EXPECT_TRUE(IsFloorKind(5));
    EXPECT_FALSE(IsBlockKind(5));
}

// One block at column 2, row 1: tx 128, bottom 128.
TEST(FindCeilingAboveTest, BottomInTheBodysTopRowAndAProbeUnderTheTile) {
    const SearchCase cases[] = {
        {"bottom at y", 100, 128, 64},
        {"bottom at y + 63", 100, 66, 64},
        {"bottom at y + 64", 100, 64, -1},
        {"bottom one above y", 100, 129, -1},
        {"right probe on the tile's left edge", 128 - 90, 100, 64},
        {"right probe one pixel left of it", 128 - 91, 100, -1},
        {"left probe on the tile's last column", 128 + 28, 100, 64},
        {"left probe one pixel beyond", 128 + 29, 100, -1},
    };
    TileMap map(5, 5);
    map.Set(2, 1, 1);
    for (const SearchCase& c : cases) EXPECT_EQ(map.Ceiling(c.x, c.y), c.expected) << c.name;
}

struct WallCase {
    const char* name;
    int x;
    int y;
    int mode;
    bool expected;
};

// One block at column 2, row 1: tx 128, ty 64.
TEST(TestWallRightTest, LeftEdgeInsideTheBodySpan) {
    const WallCase cases[] = {
        {"left edge at x + right", 128 - 98, 0, 0, true},
        {"left edge one beyond x + right", 128 - 99, 0, 0, false},
        {"left edge at x + left", 128 - 32, 0, 0, false},
        {"left edge one inside x + left", 128 - 33, 0, 0, true},
        {"tile top at the body's bottom", 60, -64, 0, false},
        {"tile bottom at the body's top", 60, 128, 0, false},
        {"tile beside the upper half, full body", 60, 0, 0, true},
        {"tile beside the upper half, low body", 60, 0, kLowBodyMode, false},
        {"low body reaching the tile", 60, 1, kLowBodyMode, true},
    };
    TileMap map(5, 5);
    map.Set(2, 1, 1);
    for (const WallCase& c : cases) {
        int out = -5;
        EXPECT_EQ(map.Right(c.x, c.y, c.mode, &out), c.expected) << c.name;
        EXPECT_EQ(out, c.expected ? 128 : -5) << c.name;
    }
}

TEST(TestWallLeftTest, ProbeInsideTheTileOrOnItsRightEdge) {
    const WallCase cases[] = {
        {"probe on the tile's right edge", 128 + 64 - 31, 0, 0, true},
        {"probe one beyond the right edge", 128 + 65 - 31, 0, 0, false},
        {"probe on the tile's left edge", 128 - 31, 0, 0, false},
        {"probe one inside the left edge", 128 + 1 - 31, 0, 0, true},
        {"low body above the tile", 130, -64, kLowBodyMode, false},
        {"low body overlapping", 130, 10, kLowBodyMode, true},
    };
    TileMap map(5, 5);
    map.Set(2, 1, 1);
    for (const WallCase& c : cases) {
        int out = -5;
        EXPECT_EQ(map.Left(c.x, c.y, c.mode, &out), c.expected) << c.name;
        EXPECT_EQ(out, c.expected ? 128 : -5) << c.name;
    }
}

TEST(WallTestsTest, CallerBoxAndRowMajorOrder) {
    TileMap map(5, 5);
    map.Set(3, 0, 1);  // tx 192, row 0
    map.Set(2, 1, 1);  // tx 128, row 1
    int out = 0;
    // Both lie in (x + 32, x + 98]: the scan goes row by row.
    ASSERT_TRUE(map.Right(94, 0, 0, &out));
    EXPECT_EQ(out, 192);

    const int narrow[4] = {32, 0, 33, 0};
    EXPECT_FALSE(map.Right(94, 0, 0, nullptr, narrow));
    const int wide[4] = {0, 0, 112, 0};
    EXPECT_TRUE(map.Right(20, 0, 0, &out, wide));
    EXPECT_EQ(out, 128);
    const int leftBox[4] = {150, 0, 0, 0};
    EXPECT_TRUE(map.Left(0, 64, 0, &out, leftBox));
    EXPECT_EQ(out, 128);
}

TEST(TileCollisionTest, EmptyMapFindsNothing) {
    TileMap map(4, 4);
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) map.Set(c, r, 1);
    }
    const int sizes[][2] = {{0, 4}, {4, 0}, {-1, 4}, {4, -3}};
    for (const auto& size : sizes) {
        const int* tiles = map.tiles.data();
        const int* planes = map.positions.data();
        EXPECT_EQ(FindFloorBelow(tiles, planes, size[0], size[1], 0, -200, nullptr), -1);
        EXPECT_EQ(FindCeilingAbove(tiles, planes, size[0], size[1], 0, 100), -1);
        EXPECT_FALSE(TestWallRight(nullptr, 0, 0, tiles, planes, size[0], size[1], 0, nullptr));
        EXPECT_FALSE(TestWallLeft(nullptr, 40, 0, tiles, planes, size[0], size[1], 0, nullptr));
    }
}

// Columns beyond the grid's row length would read into the next row, and past
// the grid's end on the last row; such cells are not read (the sanitizer
// build reports a read past the grid).
TEST(TileCollisionTest, ColumnsBeyondTheRowLengthAreNotRead) {
    TileMap map(4, 4);
    map.Set(3, 3, 1);  // tx 192, ty 192
    const int* tiles = map.tiles.data();
    const int* planes = map.positions.data();
    for (int columns : {4, 8}) {
        EXPECT_EQ(FindFloorBelow(tiles, planes, columns, 4, 180, 0, nullptr), 192) << columns;
        EXPECT_EQ(FindCeilingAbove(tiles, planes, columns, 4, 180, 240), 192) << columns;
        EXPECT_TRUE(TestWallRight(nullptr, 120, 150, tiles, planes, columns, 4, 0, nullptr)) << columns;
        EXPECT_TRUE(TestWallLeft(nullptr, 200, 150, tiles, planes, columns, 4, 0, nullptr)) << columns;
    }
}

TEST(TileCollisionTest, CellsBeyondThePlanesAreNotRead) {
    // 300 columns by 120 rows: 36,000 cells, more than a position plane holds.
    TileMap map(300, 120);
    map.Set(10, 115, 1);  // index 34,510: no position for it
    map.Set(10, 100, 1);  // index 30,010
    EXPECT_EQ(map.Floor(10 * 64 - 60, 100 * 64 - 200), 100 * 64);
    EXPECT_EQ(map.Floor(10 * 64 - 60, 101 * 64), -1);
    EXPECT_FALSE(map.Left(10 * 64 + 10, 115 * 64));
}

struct ObjectCase {
    const char* name;
    int bodyX;
    int bodyY;
    bool expected;
};

TEST(HitTestObjectRectTest, BottomTouchCountsTheOtherEdgesDoNot) {
    // Object at (100, 200), 64 by 64; body box offsets 10, 20, 30, 40.
    const ObjectCase cases[] = {
        {"inside", 100, 200, true},
        {"bottom on the object's top", 100, 160, true},
        {"bottom one above", 100, 159, false},
        {"right on the object's left", 70, 200, false},
        {"right one inside", 71, 200, true},
        {"left on the object's right", 154, 200, false},
        {"left one inside", 153, 200, true},
        {"top on the object's bottom", 100, 244, false},
        {"top one inside", 100, 243, true},
    };
    ObjectBox object = {100, 200, -500, -500, 64, 64, 1};
    for (const ObjectCase& c : cases) {
        EXPECT_EQ(HitTestObjectRect(object, c.bodyX, c.bodyY, 10, 20, 30, 40), c.expected) << c.name;
    }
    // A zero placement flag takes the alternative corner.
    object.useFirst = 0;
    EXPECT_FALSE(HitTestObjectRect(object, 100, 200, 10, 20, 30, 40));
    EXPECT_TRUE(HitTestObjectRect(object, -500, -500, 10, 20, 30, 40));
}

}  // namespace
