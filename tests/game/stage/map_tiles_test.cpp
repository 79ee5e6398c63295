// The tile pass: which cells the window covers, where tiles are drawn, and
// what the cells that stand for things wake or place.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/graphics/draws/draw_observer.h"
#include "game/stage/map_tiles.h"

namespace {

struct Seen {
    int handle;
    int x;
    int y;
};
std::vector<Seen>* seen = nullptr;
void Record(const ObservedGraphicDraw& draw) {
    seen->push_back({draw.handle, static_cast<int>(draw.points[0]), static_cast<int>(draw.points[1])});
}

class MapTilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        seen = &draws;
        SetGraphicDrawObserver(&Record);
        for (int i = 0; i < 800; ++i) images[i] = 1000 + i;
        tiles.assign(columns * rows, 0);
        player.x = 256;
        player.screenY = 200;
    }
    void TearDown() override {
        SetGraphicDrawObserver(nullptr);
        seen = nullptr;
    }
    void Set(int c, int r, int value) { tiles[c + r * columns] = value; }
    MapTilePass Pass(int stageCode = 1, int rowOffset = 4) {
        MapTilePass pass;
        pass.stageCode = stageCode;
        pass.rowOffset = rowOffset;
        pass.player = &player;
        pass.columns = columns;
        pass.rows = rows;
        pass.tiles = tiles.data();
        pass.goal = &goal;
        pass.restart = &restart;
        pass.images = images;
        return pass;
    }
    std::vector<Seen> DrawsOf(int handle) const {
        std::vector<Seen> out;
        for (const Seen& d : draws)
            if (d.handle == handle) out.push_back(d);
        return out;
    }

    int columns = 40;
    int rows = 12;
    std::vector<int> tiles;
    int images[800];
    PlayerRecord player;
    GoalMark goal;
    RestartPoint restart;
    std::vector<Seen> draws;
};

TEST_F(MapTilesTest, WindowAroundTheView) {
    struct Case {
        int stage;
        int rowOffset;
        double sx;
        double sy;
        MapTileWindow want;
    };
    const Case cases[] = {
        // sx 0: columns from -6 (the first six skipped) to below 11.
        {1, 4, 0.0, 0.0, {-6, 11, -6, 9, 0}},
        {1, 4, 100.0, 64.0, {-5, 12, -5, 10, 0}},
        {3, 4, 0.0, 0.0, {-6, 11, -6, 11, 0}},  // two more rows in stage 3
        // R > 4: rows R - 11 + Sy .. R + 5 + Sy, drawn R - 4 rows up.
        {1, 9, 0.0, 0.0, {-6, 11, -2, 12, 5}},
        {302, 9, 0.0, 0.0, {-6, 11, -2, 12, 5}},  // R + 7 = 16 is cut at the map's 12 rows
        {1, 4, 2400.0, 0.0, {31, 40, -6, 9, 0}},   // cut at the map's 40 columns
    };
    for (const Case& c : cases) {
        MapTileWindow w = ComputeMapTileWindow(c.stage, c.rowOffset, c.sx, c.sy, columns, rows);
        SCOPED_TRACE(c.stage * 1000 + c.sx);
        EXPECT_EQ(w.firstColumn, c.want.firstColumn);
        EXPECT_EQ(w.endColumn, c.want.endColumn);
        EXPECT_EQ(w.firstRow, c.want.firstRow);
        EXPECT_EQ(w.endRow, c.want.endRow);
        EXPECT_EQ(w.rowShift, c.want.rowShift);
    }
}

TEST_F(MapTilesTest, FloorTileIsDrawnTwoRowsHigherInStageThree) {
    Set(2, 5, 20);
    Set(3, 5, 1);
    player.scrollX = 10;
    for (int stage : {1, 3, 302}) {
        draws.clear();
        DrawMapTiles(Pass(stage));
        std::vector<Seen> floor = DrawsOf(1112);
        ASSERT_EQ(floor.size(), 1u) << stage;
        EXPECT_EQ(floor[0].x, 128 - 10);
        EXPECT_EQ(floor[0].y, 320 + (stage == 1 ? -32 : -128)) << stage;
        std::vector<Seen> ground = DrawsOf(1001);
        ASSERT_EQ(ground.size(), 1u);
        EXPECT_EQ(ground[0].y, 320);
    }
}

// Each kind of cell on its own, with a ground tile in the next column: the
// picture it shows and how far up, drawn in the walk (before the ground) or
// as an overlay after every tile; the kinds not listed draw nothing here.
TEST_F(MapTilesTest, EachKindDrawsItsPictureAtItsOffsetInItsLayer) {
    struct Case {
        int stage;
        int kind;
        int image;
        int dy;
        bool overlay;
    };
    const Case cases[] = {
        {1, 1, 1, 0, false},       {1, 4, 657, 0, true},      {1, 5, 108, 0, true},
        {1, 9, 107, 0, true},      {1, 19, 111, 0, true},     {1, 20, 112, -32, false},
        {3, 20, 112, -128, false}, {1, 28, 133, 0, false},    {102, 28, 133, -20, false},
        {1, 29, 134, -64, false},  {1, 30, 89, 0, false},     {1, 31, 134, -256, false},
        {1, 32, 674, 0, true},     {1, 41, 686, 0, true},     {1, 54, 109, 0, true},
        {1, 56, 14, 0, false},     {1, 57, 15, -32, false},   {1, 58, 16, 0, false},
        {1, 59, 17, 0, false},     {1, 60, 18, 0, false},     {1, 61, 19, 0, false},
    };
    auto run = [&](int stage, int kind) {
        tiles.assign(columns * rows, 0);
        Set(2, 5, kind);
        Set(3, 5, 1);
        draws.clear();
        DrawMapTiles(Pass(stage));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stage * 1000 + c.kind);
        run(c.stage, c.kind);
        ASSERT_EQ(draws.size(), 2u);
        if (c.kind == 1) continue;  // both cells are ground
        const Seen& picture = c.overlay ? draws[1] : draws[0];
        const Seen& ground = c.overlay ? draws[0] : draws[1];
        EXPECT_EQ(picture.handle, 1000 + c.image);
        EXPECT_EQ(picture.x, 128);
        EXPECT_EQ(picture.y, 320 + c.dy);
        EXPECT_EQ(ground.handle, 1001);
        EXPECT_EQ(ground.x, 192);
    }
    for (int kind = 0; kind <= 74; ++kind) {
        bool listed = false;
        for (const Case& c : cases) listed = listed || c.kind == kind;
        if (listed) continue;
        SCOPED_TRACE(kind);
        run(1, kind);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].handle, 1001);
    }
}

TEST_F(MapTilesTest, GoalIsPlacedOnlyWhileItsCellIsInTheWindow) {
    Set(30, 5, 4);
    goal.box.x = 500;  // where it stood last frame
    goal.box.y = 300;
    DrawMapTiles(Pass());
    EXPECT_EQ(goal.box.x, kGoalAway);
    EXPECT_EQ(goal.box.y, kGoalAway);
    EXPECT_TRUE(DrawsOf(1657).empty());

    player.scrollX = 1500;  // column 30 is at screen x 420
    DrawMapTiles(Pass());
    EXPECT_EQ(goal.box.x, 30 * 64 - 1500);
    EXPECT_EQ(goal.box.y, 320);
    EXPECT_EQ(goal.counter, 1);
    ASSERT_EQ(DrawsOf(1657).size(), 1u);

    // A paused stage keeps the animation where it stands.
    MapTilePass paused = Pass();
    paused.playing = false;
    DrawMapTiles(paused);
    EXPECT_EQ(goal.counter, 1);
}

TEST_F(MapTilesTest, EnemyCellsWakeTheirOwnPoolEntriesAndAFullPoolWakesNothing) {
    auto walkers = std::make_unique<EnemyCharacter[]>(kEnemyPoolSize);
    auto snakes = std::make_unique<StoneSnake[]>(kEnemyPoolSize);
    auto chintons = std::make_unique<Chinton[]>(kEnemyPoolSize);
    Set(2, 5, 3);
    Set(4, 6, 3);
    Set(5, 5, 38);
    Set(6, 5, 22);
    walkers[0].state = kEnemyWalking;  // already awake: the search passes it
    MapTilePass pass = Pass();
    pass.enemies.walkers = walkers.get();
    pass.enemies.stoneSnakes = snakes.get();
    pass.enemies.chintons = chintons.get();
    DrawMapTiles(pass);
    EXPECT_EQ(walkers[1].state, kEnemyWalking);
    EXPECT_EQ(walkers[1].spawnX, 128);
    EXPECT_EQ(walkers[1].spawnY, 320);
    EXPECT_EQ(walkers[2].state, kEnemyWalking);
    EXPECT_EQ(walkers[2].spawnX, 256);
    EXPECT_EQ(walkers[2].baseY, 384);
    EXPECT_EQ(walkers[3].state, kEnemyFree);
    EXPECT_EQ(snakes[0].state, 5);
    EXPECT_EQ(chintons[0].state, 3);
    EXPECT_EQ(chintons[0].spawnX, 384);

    // Every entry awake: the search stops at the pool's end.
    for (int i = 0; i < kEnemyPoolSize; ++i) walkers[i].state = kEnemyWalking;
    walkers[kEnemyPoolSize - 1].spawnX = -5;
    DrawMapTiles(pass);
    EXPECT_EQ(walkers[kEnemyPoolSize - 1].spawnX, -5);
}

class CountingHooks : public MapTileHooks {
public:
    void StartPit(int index, int, int) override { pits.push_back(index); }
    void StartDashZone(int index, int, int) override { dashes.push_back(index); }
    std::vector<int> pits;
    std::vector<int> dashes;
};

TEST_F(MapTilesTest, MarkTablesAreRefilledFromZeroInWalkOrder) {
    // A window packed with pit cells and a column of dash zones.
    columns = 40;
    rows = 60;
    tiles.assign(columns * rows, 27);
    for (int r = 0; r < rows; ++r) tiles[5 + r * columns] = 41;
    CountingHooks hooks;
    MapTilePass pass = Pass(1, 30);  // R > 4: a tall window of 16 rows
    pass.hooks = &hooks;
    player.scrollX = 640;
    player.scrollY = 1000;
    DrawMapTiles(pass);
    MapTileWindow w = ComputeMapTileWindow(1, 30, 640, 1000 - 26 * 64, columns, rows);
    int cells = (w.endColumn - w.firstColumn) * (w.endRow - w.firstRow);
    ASSERT_EQ(cells, 17 * 16);
    EXPECT_EQ(hooks.dashes.size(), 16u);
    EXPECT_EQ(hooks.pits.size() + hooks.dashes.size(), static_cast<size_t>(cells));
    for (size_t i = 0; i < hooks.pits.size(); ++i) ASSERT_EQ(hooks.pits[i], static_cast<int>(i));
    // The next pass starts again at entry 0.
    hooks.pits.clear();
    DrawMapTiles(pass);
    ASSERT_FALSE(hooks.pits.empty());
    EXPECT_EQ(hooks.pits.front(), 0);
    // The dash zones' overlays are drawn (additive), pits are not.
    EXPECT_EQ(DrawsOf(1686).size(), hooks.dashes.size());
}

TEST_F(MapTilesTest, RestartMarkerFollowsThePlayersOverlap) {
    Set(4, 3, 26);  // screen (256, 192): the player's box overlaps it
    DrawMapTiles(Pass());
    EXPECT_EQ(restart.marker.x, 256);
    EXPECT_EQ(restart.marker.y, 192);
    EXPECT_EQ(restart.restartMapX, 256);
    player.x = 0;
    DrawMapTiles(Pass());
    EXPECT_EQ(restart.marker.x, -9999);
    EXPECT_EQ(restart.marker.y, -9999);
}

}  // namespace
