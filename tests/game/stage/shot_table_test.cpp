// The shot tables: the per-kind motion, the bounds and the scroll shift of
// UpdateShots, the tile test, the explosion's lifetime and the shot drawing.
#include "game/stage/shot_table.h"

#include <gtest/gtest.h>

#include <map>
#include <numbers>
#include <vector>

#include "framework/graphics/draw_settings.h"
#include "game/framework/input_manager.h"
#include "game/stage/player_character.h"
#include "game/stage/tile_collision.h"
#include "tests/support/game/game_test.h"

namespace {

struct Tables {
    Tables() {
        for (ShotSlot& s : player) ResetShot(&s);
        for (ShotSlot& s : enemy) ResetShot(&s);
        for (EffectSlot& e : effects) ResetEffect(&e);
    }
    ShotSlot player[kShotTableSize] = {};
    ShotSlot enemy[kShotTableSize] = {};
    EffectSlot effects[kEffectTableSize] = {};
};

ShotSlot Flying(int kind, int x, int y, int width = 64, int height = 64) {
    ShotSlot s{};
    ResetShot(&s);
    s.state = kShotFlying;
    s.kind = kind;
    s.x = x;
    s.y = y;
    s.width = width;
    s.height = height;
    s.hitRight = width;
    s.hitBottom = height;
    s.facing = 2;
    return s;
}

PlayerRecord PlayerAt(double x, double screenY) {
    PlayerRecord p;
    p.x = x;
    p.screenY = screenY;
    return p;
}

// A map of solid cells: columns x rows cells whose screen x is column * 64 +
// shiftX and whose map y is row * 64.
struct TileMap {
    TileMap(int c, int r, int shiftX = 0) : columns(c), rows(r), tiles(c * r, 0), positions(2 * kStagePlaneSize, -1) {
        for (int row = 0; row < r; ++row)
            for (int col = 0; col < c; ++col) {
                positions[col + row * c] = col * 64 + shiftX;
                positions[kStagePlaneSize + col + row * c] = row * 64;
            }
    }
    void Set(int col, int row, int kind) { tiles[col + row * columns] = kind; }
    ShotTileWindow Window() const { return ShotTileWindow{tiles.data(), positions.data(), columns, rows}; }
    int columns;
    int rows;
    std::vector<int> tiles;
    std::vector<int> positions;
};

TEST(ShotBoundsTest, ShotsTwoHundredPixelsOffScreenStayOneMoreAreFreed) {
    struct Case {
        int x, y;
        bool stays;
    };
    const Case cases[] = {
        {-200, 100, true}, {840, 100, true}, {100, -200, true}, {100, 680, true},
        {-201, 100, false}, {841, 100, false}, {100, -201, false}, {100, 681, false},
    };
    for (const Case& c : cases) {
        Tables t;
        PlayerRecord player = PlayerAt(100, 100);
        t.enemy[3] = Flying(kShotRedBullet, c.x, c.y);
        t.player[3] = Flying(kShotGear, c.x, c.y);
        UpdateShots(t.player, &player, t.enemy, {});
        Tables d;
        d.player[4] = Flying(kShotDoll, c.x, c.y);
        d.player[4].frame = 30;  // hovering: it does not move
        UpdateShots(d.player, &player, d.enemy, {});
        EXPECT_EQ(t.enemy[3].state, c.stays ? kShotFlying : kShotFree) << c.x << "," << c.y;
        EXPECT_EQ(t.player[3].state, c.stays ? kShotFlying : kShotFree) << c.x << "," << c.y;
        EXPECT_EQ(d.player[4].state, kShotFlying) << "the doll is never freed for leaving the screen";
    }
}

TEST(ShotScrollTest, HorizontalShiftOnlyAtTheScrollPointVerticalAlways) {
    struct Case {
        double playerX;
        int wantDx;
    };
    for (const Case& c : {Case{256.0, 7}, Case{255.9, 0}, Case{256.1, 0}}) {
        Tables t;
        PlayerRecord player = PlayerAt(c.playerX, 100);
        t.enemy[0] = Flying(kShotRedBullet, 300, 300);
        t.player[0] = Flying(kShotDive, 300, 300);
        t.player[1] = Flying(kShotRocket, 300, 300);
        t.player[1].state = kShotExploding;
        t.player[2] = Flying(kShotDoll, 300, 300);
        t.player[2].state = kShotParked;
        t.player[2].frame = 170;
        t.player[3] = Flying(kShotString, 300, 300);
        t.player[3].state = kShotParked;
        t.player[4] = Flying(kShotGear, 300, 300);
        t.player[4].state = kShotFree;
        ShotStepInputs in;
        in.scrollDx = 7.9;
        in.scrollDy = -3.5;
        UpdateShots(t.player, &player, t.enemy, in);
        SCOPED_TRACE(c.playerX);
        EXPECT_EQ(t.enemy[0].x, 300 - c.wantDx);
        EXPECT_EQ(t.enemy[0].y, 303);
        EXPECT_EQ(t.player[0].x, 300 - c.wantDx);
        EXPECT_EQ(t.player[1].x, 300 - c.wantDx);
        EXPECT_EQ(t.player[1].y, 303);
        // The parked doll shifts too (then flies home by 10 on each axis).
        EXPECT_EQ(t.player[2].y, 303 - 10);
        // A parked string and a free slot stay.
        EXPECT_EQ(t.player[3].x, 300);
        EXPECT_EQ(t.player[3].y, 300);
        EXPECT_EQ(t.player[4].x, 300);
    }
}

TEST(ShotTableTest, ClearFlagEmptiesTheEnemyTableWhereverTheBulletsAre) {
    Tables t;
    PlayerRecord player = PlayerAt(100, 100);
    for (int i = 0; i < kShotTableSize; ++i) t.enemy[i] = Flying(kShotKnife, 10 + i, 20);
    t.player[0] = Flying(kShotGear, 100, 100);
    ShotStepInputs in;
    in.clearFlag = 1;
    UpdateShots(t.player, &player, t.enemy, in);
    for (const ShotSlot& s : t.enemy) EXPECT_EQ(s.state, kShotFree);
    EXPECT_EQ(t.player[0].state, kShotFlying);
}

TEST(ShotTableTest, EnemyKindsMove) {
    Tables t;
    PlayerRecord player = PlayerAt(100, 100);
    t.enemy[0] = Flying(kShotKnife, 100, 100);
    t.enemy[0].vx = 3;
    t.enemy[0].vy = -2;
    t.enemy[1] = Flying(kShotFallingStone, 100, 100);
    t.enemy[1].vx = 5;
    t.enemy[1].vy = 8;
    t.enemy[2] = Flying(77, 100, 100);
    t.enemy[2].vx = 5;
    for (int i = 0; i < 4; ++i) UpdateShots(t.player, &player, t.enemy, {});
    EXPECT_EQ(t.enemy[0].x, 112);
    EXPECT_EQ(t.enemy[0].y, 92);
    // The stone falls faster up to 10 pixels a frame, straight down.
    EXPECT_EQ(t.enemy[1].x, 100);
    EXPECT_EQ(t.enemy[1].y, 100 + 9 + 10 + 10 + 10);
    EXPECT_EQ(t.enemy[2].x, 100);
}

TEST(DollShotTest, FliesOutHoversThenComesHomeAndGivesTheDollBack) {
    Tables t;
    PlayerRecord player = PlayerAt(100, 100);
    int dolls = 0;
    ShotStepInputs in;
    in.dollCount = &dolls;
    ShotSlot& doll = t.player[0];
    doll = Flying(kShotDoll, 164, 100, 128, 64);
    doll.vx = 5;
    std::vector<int> power;
    for (int frame = 0; frame < 170; ++frame) {
        UpdateShots(t.player, &player, t.enemy, in);
        power.push_back(doll.power);
        CountShotFrames(t.player, t.enemy);
    }
    EXPECT_EQ(power[0], 100);
    EXPECT_EQ(power[19], 100);
    EXPECT_EQ(power[20], 50);
    EXPECT_EQ(doll.x, 164 + 20 * 5);
    EXPECT_EQ(doll.state, kShotFlying);
    // Home: the doll's centre at (player x + 64, player y + 80); the centre
    // starts 164 pixels right of it and 48 above.
    int frames = 0;
    while (doll.state != kShotFree && frames < 100) {
        UpdateShots(t.player, &player, t.enemy, in);
        CountShotFrames(t.player, t.enemy);
        ++frames;
        if (doll.state == kShotParked) { EXPECT_EQ(doll.power, 50); }
    }
    // 15 steps of 10 bring the centre within 15 pixels, one more snaps it.
    EXPECT_EQ(frames, 16);
    EXPECT_EQ(dolls, 1);
}

TEST(DollShotTest, CountRisesUpToTheAttackLevelPlusOne) {
    struct Case {
        int level;
        int count;
        int want;
    };
    const Case cases[] = {{1, 1, 2}, {1, 2, 2}, {2, 2, 3}, {2, 3, 3}, {3, 3, 4}, {3, 4, 4}, {0, 0, 0}, {4, 1, 1}};
    for (const Case& c : cases) {
        Tables t;
        PlayerRecord player = PlayerAt(100, 100);
        player.attackLevel = c.level;
        ShotSlot& doll = t.player[0];
        // Already home: centre at (164, 180).
        doll = Flying(kShotDoll, 100, 148, 128, 64);
        doll.frame = 170;
        int dolls = c.count;
        UpdateDollShot(&doll, &player, t.enemy, t.effects, nullptr, &dolls);
        EXPECT_EQ(dolls, c.want) << c.level << "/" << c.count;
        EXPECT_EQ(doll.state, kShotFree);
    }
}

TEST(DollShotTest, DollAndWallCancelTouchedEnemyBullets) {
    struct Case {
        int bulletY;
        bool cancelled;
    };
    // The shot's box spans y 100..164; the bullet's is 64 high.
    const Case cases[] = {{164, true}, {165, false}, {37, true}, {36, false}};
    for (const Case& c : cases) {
        Tables t;
        ShotSlot doll = Flying(kShotDoll, 100, 100);
        doll.frame = 30;
        t.enemy[5] = Flying(kShotKnife, 120, c.bulletY);
        PlayerRecord player = PlayerAt(0, 0);
        UpdateDollShot(&doll, &player, t.enemy, t.effects, nullptr, nullptr);
        EXPECT_EQ(t.enemy[5].state, c.cancelled ? kShotFree : kShotFlying) << c.bulletY;
        EXPECT_EQ(t.effects[0].x != -1, c.cancelled);
        if (c.cancelled) { EXPECT_EQ(t.effects[0].kind, 6); }

        Tables w;
        ShotSlot wall = Flying(kShotWall, 100, 100);
        w.enemy[5] = Flying(kShotKnife, 120, c.bulletY);
        UpdateWallShot(&wall, w.enemy, w.effects, nullptr);
        EXPECT_EQ(w.enemy[5].state, c.cancelled ? kShotFree : kShotFlying) << "wall " << c.bulletY;
    }
    // A doll on its way home cancels nothing.
    Tables t;
    ShotSlot doll = Flying(kShotDoll, 100, 100);
    doll.frame = 170;
    t.enemy[0] = Flying(kShotKnife, 100, 100);
    PlayerRecord player = PlayerAt(0, 0);
    UpdateDollShot(&doll, &player, t.enemy, t.effects, nullptr, nullptr);
    EXPECT_EQ(t.enemy[0].state, kShotFlying);
}

TEST(WallShotTest, RisesFromItsFootAndLastsOneHundredTwentyFrames) {
    Tables t;
    ShotSlot wall = Flying(kShotWall, 100, 100, 64, 96);
    wall.hitTop = 96;
    wall.hitBottom = 96;
    wall.vy = -10;
    std::vector<int> tops;
    for (int f = 0; f <= 120; ++f) {
        wall.frame = f;
        UpdateWallShot(&wall, t.enemy, t.effects, nullptr);
        if (f < 12) tops.push_back(wall.hitTop);
    }
    EXPECT_EQ(tops, (std::vector<int>{86, 76, 66, 56, 46, 36, 26, 16, 6, -4, -4, -4}));
    EXPECT_EQ(wall.state, kShotFlying);
    wall.frame = 121;
    UpdateWallShot(&wall, t.enemy, t.effects, nullptr);
    EXPECT_EQ(wall.state, kShotFree);
}

TEST(StringShotTest, ShootsOutAndPullsBackThenIsParked) {
    for (int facing : {2, 1}) {
        PlayerRecord player = PlayerAt(100, 150);
        ShotSlot s = Flying(kShotString, 100, 150);
        s.facing = facing;
        s.vx = facing == 2 ? 10 : -10;
        int longest = 0;
        int frames = 0;
        while (s.state == kShotFlying && frames < 100) {
            UpdateStringShot(&s, &player);
            EXPECT_EQ(s.y, 214);
            longest = std::max(longest, s.hitRight - s.hitLeft);
            ++s.frame;
            ++frames;
        }
        SCOPED_TRACE(facing);
        // 10 + 9 + ... + 1 pixels out, then back past its start.
        EXPECT_EQ(longest, 64 + 55);
        EXPECT_EQ(frames, 26);
        EXPECT_EQ(s.state, kShotParked);
        EXPECT_LT(s.hitRight - s.hitLeft, 0);
    }
}

TEST(RocketShotTest, FliesSlowsAndSinks) {
    ShotSlot s = Flying(kShotRocket, 100, 100, 128, 64);
    s.vx = 4;
    s.vy = 5;
    s.tileTestY = 300;
    s.facing = 1;
    std::vector<int> xs;
    for (int f = 0; f < 130; ++f) {
        s.frame = f;
        UpdateRocketShot(&s, {}, nullptr);
        xs.push_back(s.x);
    }
    EXPECT_EQ(xs[24], 100 - 25 * 4);
    EXPECT_EQ(xs[44], xs[24] - 20 * 4);
    EXPECT_EQ(xs[45], xs[44] - 3);
    // Speed 0 from frame 105, negative (no move) from frame 125.
    EXPECT_EQ(xs[129], xs[124]);
    EXPECT_EQ(s.y, 100 + 105 * 5);
    EXPECT_EQ(s.tileTestY, 300 + 105 * 5);

    ShotSlot big = Flying(kShotRocket, 100, 100, 256, 128);
    big.vx = 8;
    big.frame = 50;
    UpdateRocketShot(&big, {}, nullptr);
    EXPECT_EQ(big.x, 108);
    EXPECT_EQ(big.y, 100);
}

TEST(RocketShotTest, ExplodesOnATileForExactlySixtyFramesThenItsSlotIsFree) {
    TileMap map(10, 6);
    map.Set(4, 3, 17);
    Tables t;
    PlayerRecord player = PlayerAt(100, 100);
    ShotSlot& s = t.player[0];
    s = Flying(kShotRocket, 100, 150, 128, 64);
    s.hitLeft = 50;
    s.hitTop = 5;
    s.hitRight = 120;
    s.hitBottom = 90;
    s.tileTestY = 150;
    s.vx = 4;
    s.vy = 5;
    ShotStepInputs in;
    in.tiles = map.Window();
    int frames = 0;
    while (s.state == kShotFlying && frames < 200) {
        UpdateShots(t.player, &player, t.enemy, in);
        CountShotFrames(t.player, t.enemy);
        ++frames;
    }
    ASSERT_EQ(s.state, kShotExploding);
    // Moved 4 a frame until its box (x + 50 .. x + 120) reached into the cell
    // at 256.
    EXPECT_EQ(frames, 10);
    EXPECT_EQ(s.width, 256);
    EXPECT_EQ(s.height, 256);
    EXPECT_EQ(s.x, 140 + 64 - 128 + 32);
    EXPECT_EQ(s.y, 150 + 32 - 128);
    EXPECT_EQ(s.hitLeft, 64);
    EXPECT_EQ(s.hitBottom, 192);
    // CountShotFrames ran once since the explosion began.
    EXPECT_EQ(s.frame, 1);
    s.frame = 0;
    int drawn = 0;
    while (s.state == kShotExploding && drawn < 100) {
        DrawShotExplosion(&s, nullptr);
        if (s.state == kShotExploding) ++drawn;
        UpdateShots(t.player, &player, t.enemy, in);
        CountShotFrames(t.player, t.enemy);
    }
    EXPECT_EQ(drawn, 60);
    EXPECT_EQ(s.state, kShotFree);
    EXPECT_EQ(s.kind, 2);
    EXPECT_EQ(s.power, 10);

    // Already 256 wide: a tile does not make it explode again.
    ShotSlot wide = Flying(kShotRocket, 200, 150, 256, 128);
    wide.tileTestY = 150;
    UpdateRocketShot(&wide, map.Window(), nullptr);
    EXPECT_EQ(wide.state, kShotFlying);
}

TEST(ShotTileTest, SolidKindsOverlappingStrictlyAtTheirScreenPosition) {
    struct Case {
        int kind;
        int x, tileTestY;
        bool hit;
    };
    // The cell (2, 1) spans x 128..192 and map y 64..128; the shot is 64 by
    // 64 with a full hit box.
    const Case cases[] = {
        {1, 100, 40, true},   {61, 100, 40, true},  {28, 100, 40, true}, {5, 100, 40, false},
        {2, 100, 40, false},  {17, 64, 40, false},  {17, 65, 40, true},  {17, 192, 40, false},
        {17, 191, 40, true},  {17, 100, 0, false},  {17, 100, 1, true},  {17, 100, 128, false},
    };
    for (const Case& c : cases) {
        TileMap map(5, 3);
        map.Set(2, 1, c.kind);
        ShotSlot s = Flying(kShotRocket, c.x, 0);
        s.tileTestY = c.tileTestY;
        EXPECT_EQ(ShotHitsSolidTile(&s, map.tiles.data(), map.positions.data(), 5, 3), c.hit)
            << c.kind << " " << c.x << "," << c.tileTestY;
    }
    // A cell whose screen x is unknown, and a window of no rows.
    TileMap map(5, 3);
    map.Set(2, 1, 1);
    ShotSlot s = Flying(kShotRocket, 140, 0);
    s.tileTestY = 70;
    EXPECT_TRUE(ShotHitsSolidTile(&s, map.tiles.data(), map.positions.data(), 5, 3));
    EXPECT_FALSE(ShotHitsSolidTile(&s, map.tiles.data(), map.positions.data(), 5, 0));
    map.positions[2 + 5] = -1;
    EXPECT_FALSE(ShotHitsSolidTile(&s, map.tiles.data(), map.positions.data(), 5, 3));
}

TEST(VerticalShotTest, RisesHoldsAndComesBackByThePlayersAnimation) {
    PlayerRecord player = PlayerAt(100, 100);
    player.state = kPlayerAttacking;
    ShotSlot s = Flying(kShotAnchor, 100, 300, 50, 50);
    s.vy = 4;
    s.tileTestY = 500;
    s.limitY = 300;
    s.limitTileTestY = 500;
    std::map<int, int> ys;
    for (int t = 10; t < 160 && s.state == kShotFlying; ++t) {
        player.actionFrame = t;
        UpdateVerticalShot(&s, &player, {}, nullptr, nullptr);
        ys[t] = s.y;
    }
    EXPECT_EQ(ys[55], 300 - 46 * 4);
    EXPECT_EQ(ys[89], ys[55]);
    EXPECT_EQ(ys[90], ys[55] + 4);
    // Back at its start, no lower.
    EXPECT_EQ(ys[158], 300);
    EXPECT_EQ(s.tileTestY, 500);
    EXPECT_EQ(s.state, kShotFree);
    EXPECT_EQ(ys.rbegin()->first, 159);
}

TEST(VerticalShotTest, CatchingATileHangsThePlayer) {
    TileMap map(5, 8);
    map.Set(1, 2, 1);  // x 64..128, map y 128..192
    PlayerRecord player = PlayerAt(100, 100);
    player.state = kPlayerAttacking;
    player.actionFrame = 20;
    ShotSlot s = Flying(kShotAnchor, 70, 260, 50, 50);
    s.hitBottom = 64;
    s.vy = 4;
    s.tileTestY = 196;
    s.limitY = 260;
    s.limitTileTestY = 196;
    int hang = -1;
    UpdateVerticalShot(&s, &player, map.Window(), nullptr, &hang);
    EXPECT_EQ(s.state, kShotFlying);
    UpdateVerticalShot(&s, &player, map.Window(), nullptr, &hang);
    EXPECT_EQ(s.state, kShotFree);
    EXPECT_EQ(player.state, kPlayerHovering);
    EXPECT_EQ(hang, 252);
}

TEST(FlameShotTest, PinnedBeforeThePlayer) {
    for (int facing : {1, 2}) {
        PlayerRecord player = PlayerAt(200.7, 150.2);
        player.facing = facing;
        ShotSlot s = Flying(kShotFlame, 0, 0, 128, 64);
        UpdateFlameShot(&s, &player, nullptr);
        EXPECT_EQ(s.x, facing == 2 ? 328 : 72);
        EXPECT_EQ(s.y, 182);
    }
}

TEST(CapturedEnemyTest, SteeredByTheHeldKeysWithinTheScreen) {
    struct Case {
        std::vector<int> keys;
        int x, y;
        int wantX, wantY, wantFacing;
    };
    const Case cases[] = {
        {{KEY_LEFT}, 100, 100, 95, 100, 1},
        {{KEY_RIGHT}, 100, 100, 105, 100, 2},
        {{KEY_UP, KEY_RIGHT}, 100, 100, 105, 95, 2},
        {{KEY_DOWN}, 100, 100, 100, 105, 2},
        {{KEY_LEFT, KEY_RIGHT}, 100, 100, 100, 100, 2},
        {{KEY_LEFT}, -1, 100, -1, 100, 1},
        {{KEY_LEFT}, 0, 100, -5, 100, 1},
        {{KEY_RIGHT}, 576, 100, 576, 100, 2},
        {{KEY_RIGHT}, 575, 100, 580, 100, 2},
        {{KEY_UP}, 100, -1, 100, -1, 2},
        {{KEY_DOWN}, 100, 416, 100, 416, 2},
    };
    for (const Case& c : cases) {
        std::map<int, int> buttons;
        for (int k : c.keys) buttons[k] = 3;
        ShotSlot s = Flying(1002, c.x, c.y);
        s.vx = s.vy = 5;
        UpdateCapturedEnemy(&s, buttons, nullptr);
        EXPECT_EQ(s.x, c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(s.y, c.wantY) << c.x << "," << c.y;
        EXPECT_EQ(s.facing, c.wantFacing);
    }
    // ATTACK detonates it around its centre.
    std::map<int, int> buttons{{ATTACK, 1}};
    ShotSlot s = Flying(1005, 200, 150);
    s.vx = 5;
    s.frame = 40;
    UpdateCapturedEnemy(&s, buttons, nullptr);
    EXPECT_EQ(s.state, kShotExploding);
    EXPECT_EQ(s.x, 200 + 32 - 128);
    EXPECT_EQ(s.y, 150 + 32 - 128);
    EXPECT_EQ(s.width, 256);
    EXPECT_EQ(s.hitTop, 64);
    EXPECT_EQ(s.frame, 0);
    // Exploding, it no longer steers.
    buttons = {{KEY_LEFT, 2}};
    UpdateCapturedEnemy(&s, buttons, nullptr);
    EXPECT_EQ(s.x, 200 + 32 - 128);
}

TEST(BattleShotMotionTest, OrbitersCircleAQuarterTurnApart) {
    struct Case {
        int kind, frame;
        int wantX, wantY;
    };
    // Centre (100, 50): the circle's middle is (292, 242).
    const Case cases[] = {
        {107, 0, 420, 242}, {108, 0, 292, 370}, {109, 0, 164, 242},
        {107, 30, 292, 370}, {107, 120, 420, 242}, {108, 240, 292, 370},
    };
    for (const Case& c : cases) {
        ShotSlot s = Flying(c.kind, 0, 0);
        s.frame = c.frame;
        UpdateOrbitPosition(&s, 100, 50);
        EXPECT_EQ(s.x, c.wantX) << c.kind << "@" << c.frame;
        EXPECT_EQ(s.y, c.wantY) << c.kind << "@" << c.frame;
    }
}

TEST(BattleShotMotionTest, ArcRisesOneHundredTwelveAndComesBackDown) {
    ShotSlot s = Flying(120, 500, 300);
    s.startX = 500;
    s.startY = 300;
    s.vx = -10;
    s.arcTravel = 77;  // left over from an earlier flight
    s.arcOffset = 5;
    std::vector<int> ys;
    for (int i = 0; i < 30; ++i) {
        UpdateParabolicArc(&s);
        ys.push_back(s.y);
    }
    EXPECT_EQ(ys[0], 286);
    EXPECT_EQ(ys[14], 188);
    EXPECT_EQ(ys[29], 300);
    EXPECT_EQ(s.x, 200);
}

// ---------------------------------------------------------------------------
// Drawing.

constexpr int kHandleBase = 0x50000;

class ShotDrawTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        for (int i = 0; i < 760; ++i) images_[i] = kHandleBase + i;
    }
    std::vector<gametest::SeenDraw> DrawBoth(ShotSlot* player, ShotSlot* enemy, const PlayerRecord& record) {
        const size_t before = OpenFrameDraws().size();
        DrawShots(player, enemy, &record, images_);
        return {OpenFrameDraws().begin() + static_cast<long>(before), OpenFrameDraws().end()};
    }
    std::vector<gametest::SeenDraw> DrawOne(ShotSlot s, int level = 2) {
        Tables t;
        t.player[0] = s;
        PlayerRecord record = PlayerAt(100, 100);
        record.attackLevel = level;
        return DrawBoth(t.player, t.enemy, record);
    }
    int images_[760] = {};
};

int Position(const gametest::SeenDraw& d) { return d.handle - kHandleBase; }

TEST_F(ShotDrawTest, PlayerKindsByTheirRules) {
    struct Case {
        ShotSlot slot;
        int level;
        std::vector<std::string> calls;
        std::vector<int> positions;
        std::vector<int> firstPoints;
    };
    ShotSlot rocketLeft = Flying(kShotRocket, 100, 50, 128, 64);
    rocketLeft.facing = 1;
    rocketLeft.frame = 57;
    ShotSlot rocketRight = rocketLeft;
    rocketRight.facing = 2;
    rocketRight.frame = 58;
    ShotSlot gear = Flying(kShotGear, 100, 50, 64, 64);
    gear.frame = 11;
    ShotSlot doll = Flying(kShotDoll, 100, 50, 128, 64);
    doll.frame = 20;
    ShotSlot dollHome = doll;
    dollHome.state = kShotParked;
    dollHome.frame = 170;
    ShotSlot wall = Flying(kShotWall, 100, 50, 64, 96);
    wall.hitTop = 40;
    ShotSlot stringRight = Flying(kShotString, 100, 50, 90, 64);
    ShotSlot stringLeft = stringRight;
    stringLeft.facing = 1;
    stringLeft.hitLeft = -30;
    ShotSlot parkedString = stringRight;
    parkedString.state = kShotParked;
    ShotSlot anchor = Flying(kShotAnchor, 100, 50);
    ShotSlot dive = Flying(kShotDive, 100, 50);
    ShotSlot hamushi = Flying(1002, 100, 50);
    hamushi.facing = 1;
    hamushi.frame = 12;
    ShotSlot devil = Flying(1006, 100, 50);
    devil.frame = 30;
    const Case cases[] = {
        {rocketLeft, 2, {"DrawGraphicStretched"}, {315}, {228, 50, 100, 114}},
        {rocketRight, 2, {"DrawGraphicStretched"}, {304}, {100, 50, 228, 114}},
        {gear, 1, {"DrawGraphicRotated", "DrawGraphicRotated"}, {341, 90}, {132, 82}},
        {doll, 2, {"DrawGraphicAtPoint"}, {369 + 0}, {100, 50}},
        {dollHome, 2, {"DrawGraphicStretched"}, {369 + 2}, {164, 82, 100, 50}},
        {wall, 2, {"DrawGraphicStretched"}, {673}, {100, 90, 164, 147}},
        {stringRight, 2, {"DrawGraphicStretched"}, {683}, {100, 50, 191, 115}},
        {stringLeft, 2, {"DrawGraphicStretched"}, {683}, {70, 50, 165, 115}},
        {parkedString, 2, {}, {}, {}},
        {anchor, 2, {}, {}, {}},
        {dive, 2, {}, {}, {}},
        {hamushi, 2, {"DrawGraphicMirrored"}, {94}, {100, 50}},
        {devil, 2, {"DrawGraphicPart"}, {678}, {100, 50}},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i++);
        const auto draws = DrawOne(c.slot, c.level);
        ASSERT_EQ(draws.size(), c.calls.size());
        for (size_t k = 0; k < draws.size(); ++k) {
            EXPECT_EQ(draws[k].call, c.calls[k]);
            EXPECT_EQ(Position(draws[k]), c.positions[k]);
        }
        if (!draws.empty()) { EXPECT_EQ(draws[0].points, c.firstPoints); }
    }
}

TEST_F(ShotDrawTest, GearTurnsBothWaysAndIsHalfSizeAtLevelOne) {
    ShotSlot gear = Flying(kShotGear, 100, 50, 64, 64);
    gear.frame = 11;
    for (int level : {1, 2}) {
        const auto draws = DrawOne(gear, level);
        ASSERT_EQ(draws.size(), 2u);
        EXPECT_DOUBLE_EQ(draws[0].angle, 3 * std::numbers::pi / 8);
        EXPECT_DOUBLE_EQ(draws[1].angle, -3 * std::numbers::pi / 8);
        EXPECT_DOUBLE_EQ(draws[0].scale, level == 1 ? 0.5 : 1.0);
    }
}

TEST_F(ShotDrawTest, FlameIsAdditiveAndLoopsOverItsLastImages) {
    Tables t;
    t.player[0] = Flying(kShotFlame, 100, 50, 128, 64);
    t.player[0].facing = 1;
    t.player[0].frame = 120;
    PlayerRecord record = PlayerAt(0, 0);
    const auto draws = DrawBoth(t.player, t.enemy, record);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(t.player[0].frame, 40);
    EXPECT_EQ(Position(draws[0]), 333);
    EXPECT_EQ(draws[0].call, "DrawGraphicMirrored");
    EXPECT_EQ(draws[0].blendMode, 2);
    EXPECT_EQ(draws[0].blendParam, 255);
    EXPECT_EQ(CurrentDrawSettings.blendMode, 0);
}

TEST_F(ShotDrawTest, EnemySlotFirstAndNothingDuringASpell) {
    Tables t;
    t.enemy[0] = Flying(kShotKnife, 10, 20, 32, 16);
    t.enemy[0].angle = 1.25;
    t.enemy[1] = Flying(kShotRedBullet, 30, 40);
    t.enemy[2] = Flying(kShotFallingStone, 50, 60);
    t.enemy[3] = Flying(kShotIce, 70, 80, 20, 20);
    t.player[0] = Flying(kShotGear, 100, 100);
    t.player[4] = Flying(kShotRocket, 100, 100, 256, 256);
    t.player[4].state = kShotExploding;
    t.player[4].frame = 59;
    PlayerRecord record = PlayerAt(0, 0);
    const auto draws = DrawBoth(t.player, t.enemy, record);
    ASSERT_EQ(draws.size(), 7u);
    EXPECT_EQ(Position(draws[0]), 140);
    EXPECT_EQ(draws[0].points, (std::vector<int>{26, 28}));
    EXPECT_DOUBLE_EQ(draws[0].angle, 1.25);
    EXPECT_EQ(Position(draws[1]), 341);  // the player's slot 0 after the enemy's
    EXPECT_EQ(Position(draws[3]), 139);
    EXPECT_EQ(draws[3].blendMode, 2);
    EXPECT_EQ(Position(draws[4]), 676);
    EXPECT_EQ(Position(draws[5]), 681);
    EXPECT_EQ(draws[5].points, (std::vector<int>{80, 90}));
    EXPECT_EQ(Position(draws[6]), 327);
    EXPECT_EQ(draws[6].points, (std::vector<int>{100, 100, 357, 357}));
    EXPECT_EQ(draws[6].blendMode, 2);

    record.state = kPlayerSpell;
    EXPECT_TRUE(DrawBoth(t.player, t.enemy, record).empty());
}

}  // namespace
