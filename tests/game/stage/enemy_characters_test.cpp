#include "game/stage/enemy_characters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "game/stage/stage_images.h"
#include "tests/game/stage/enemy_test_tables.h"
#include "tests/support/game/game_test.h"

namespace {

using enemytest::StageTables;
constexpr double kPi = std::numbers::pi;

struct AimCase {
    int vx, vy;
    int wantVx, wantVy;
    double wantAngle;
};

TEST(AimShotTest, LongerAxisMovesFivePixelsAndAngleFollowsTheSigns) {
    const AimCase cases[] = {
        {-3, 3, -5, 5, 3 * kPi / 4},  {10, 2, 5, 1, kPi / 4},     {4, -8, 2, -5, 7 * kPi / 4},
        {-8, -4, -5, -2, 5 * kPi / 4}, {-10, 0, -5, 0, kPi},       {7, 0, 5, 0, 0.0},
        {0, -7, 0, -5, 3 * kPi / 2},  {1, 9, 0, 5, kPi / 2},      {0, 0, 0, 5, kPi / 2},  // no direction: down
    };
    for (const AimCase& c : cases) {
        ShotSlot shot{};
        shot.vx = c.vx;
        shot.vy = c.vy;
        AimShot(&shot);
        EXPECT_EQ(shot.vx, c.wantVx) << c.vx << "," << c.vy;
        EXPECT_EQ(shot.vy, c.wantVy) << c.vx << "," << c.vy;
        EXPECT_DOUBLE_EQ(shot.angle, c.wantAngle) << c.vx << "," << c.vy;
    }
}

TEST(EnemyKindsTest, ConstructorsAndResetGiveTheKindsDefaults) {
    Fenwa fenwa;
    EXPECT_EQ(fenwa.kindName, "フェンワ");
    EXPECT_EQ(fenwa.hitPoints, 300);
    EXPECT_EQ(fenwa.hitRight, 96);
    StoneSnake snake;
    EXPECT_EQ(snake.height, 256);
    EXPECT_EQ(snake.hitBottom, 224);
    ArmorDevil devil;
    devil.summoned = true;
    devil.state = 102;
    devil.hitPoints = 3;
    devil.spawnX = 5;
    devil.frameCounter = 77;
    devil.Reset();
    EXPECT_FALSE(devil.summoned);
    EXPECT_EQ(devil.state, kEnemyFree);
    EXPECT_EQ(devil.hitPoints, 100);
    EXPECT_EQ(devil.spawnX, -1);
    EXPECT_EQ(devil.frameCounter, 0);
    Watadama watadama;
    watadama.frameCounter = 9;
    watadama.Reset();
    EXPECT_EQ(watadama.frameCounter, 1);
}

TEST(EnemyKindsTest, CopyThroughTheBaseKeepsTheSummonedFlag) {
    ArmorDevil a;
    ArmorDevil b;
    b.summoned = true;
    b.offsetX = 12;
    EnemyCharacter& base = a;
    base = b;
    EXPECT_TRUE(a.summoned);
    EXPECT_EQ(a.offsetX, 12);
}

// A ground of tile kinds and positions: columns x rows cells, 64 pixels each,
// every cell's screen position known.
struct Ground {
    int columns;
    int rows;
    std::vector<int> kinds;
    std::vector<int> positions;
    Ground(int c, int r) : columns(c), rows(r), kinds(c * r, 0), positions(32768 * 2, -1) {
        for (int row = 0; row < r; ++row)
            for (int col = 0; col < c; ++col) {
                positions[row * c + col] = col * 64;
                positions[row * c + col + 32768] = row * 64;
            }
    }
    void Set(int col, int row, int kind) { kinds[row * columns + col] = kind; }
};

// Walks for `frames` frames from screen x `startX` and reports the range of
// screen x it covered.
std::pair<int, int> WalkRange(const Ground& ground, int startX, int direction, int frames) {
    EnemyCharacter e;
    e.baseY = 64;  // feet on row 2
    e.direction = direction;
    int low = startX;
    int high = startX;
    for (int f = 0; f < frames; ++f) {
        e.screenX = startX + e.offsetX;
        e.Walk(ground.kinds.data(), ground.positions.data(), ground.columns, ground.rows);
        const int x = startX + e.offsetX;
        low = std::min(low, x);
        high = std::max(high, x);
    }
    EXPECT_EQ(e.state, kEnemyWalking);
    return {low, high};
}

TEST(EnemyWalkTest, TurnsAtLedgesAndWalls) {
    {
        SCOPED_TRACE("one-tile platform");
        Ground ground(10, 3);
        ground.Set(5, 2, 1);
        const auto [low, high] = WalkRange(ground, 320, 1, 200);
        EXPECT_EQ(low, 319);
        EXPECT_EQ(high, 321);
    }
    {
        SCOPED_TRACE("wall on flat ground");
        Ground ground(10, 3);
        for (int c = 0; c < 10; ++c) ground.Set(c, 2, 18);
        ground.Set(7, 1, 1);
        ground.Set(2, 1, 20);
        const auto [low, high] = WalkRange(ground, 300, 2, 600);
        EXPECT_EQ(high, 384);  // right edge at the wall's left
        EXPECT_EQ(low, 192);   // left edge at the wall's right
    }
    {
        SCOPED_TRACE("no rows");
        EnemyCharacter e;
        e.Walk(nullptr, nullptr, 10, 0);
        EXPECT_EQ(e.offsetX, -1);
    }
}

TEST(MirelleTest, PicksHerPlaceFromTheSecondThrowsFiveKnivesAndLeaves) {
    static const int kPlaces[8][3] = {{50, 20, 2},   {256, 0, 1},   {462, 20, 1},  {50, 176, 2},
                                      {462, 176, 1}, {50, 332, 2}, {256, 352, 1}, {462, 332, 1}};
    StageTables t;
    Mirelle m;
    const std::time_t second = enemytest::InOneSecond([&] {
        m = Mirelle();
        m.state = 1;
        Mirelle::Act(&m, &t.player, t.enemyShots, t.sounds);
    });
    const int p = enemytest::SeededRand(second) % 8;
    EXPECT_EQ(m.patternIndex, p);
    EXPECT_EQ(m.screenX, kPlaces[p][0]);
    EXPECT_EQ(m.screenY, kPlaces[p][1]);
    EXPECT_EQ(m.direction, kPlaces[p][2]);
    EXPECT_EQ(m.state, 2);
    EXPECT_EQ(m.frameCounter, 1);

    std::vector<int> states;
    while (m.frameCounter <= 300) {
        Mirelle::Act(&m, &t.player, t.enemyShots, t.sounds);
        if (states.empty() || states.back() != m.state) states.push_back(m.state);
    }
    EXPECT_EQ(states, (std::vector<int>{2, 3, 1, kEnemyFree}));
    ASSERT_EQ(t.UsedEnemyShots(), 5);
    EXPECT_EQ(t.enemyShots[0].kind, 1);
    EXPECT_EQ(t.enemyShots[0].x, kPlaces[p][0] + 32);
    EXPECT_EQ(t.enemyShots[0].state, 2);
}

TEST(ChintonTest, WaitsHiddenPopsUpNearThePlayerAndHidesAgain) {
    StageTables t;
    Chinton c;
    c.state = 3;
    c.screenX = 600;
    c.frameCounter = 181;
    t.player.x = 100;  // 600 - 128 > 100 + 128: too far
    Chinton::Act(&c, &t.player, t.enemyShots, t.sounds);
    EXPECT_EQ(c.state, 3);
    EXPECT_EQ(c.frameCounter, 181);

    t.player.x = 400;
    struct Step {
        int afterCalls;
        int state;
    };
    const Step steps[] = {{1, 1}, {31, 1}, {32, 2}, {180, 2}, {181, 3}};
    int calls = 0;
    for (const Step& step : steps) {
        while (calls < step.afterCalls) {
            Chinton::Act(&c, &t.player, t.enemyShots, t.sounds);
            ++calls;
        }
        EXPECT_EQ(c.state, step.state) << "after " << step.afterCalls << " calls";
    }
    EXPECT_EQ(c.offsetX, 0);
    EXPECT_EQ(t.UsedEnemyShots(), 0);
}

TEST(HamushiShotTest, VolleysReuseTheVelocityAimedAtFrame120AcrossObjects) {
    StageTables t;
    HamushiShot a;
    HamushiShot b;
    a.screenX = 400;
    a.screenY = 100;
    b.screenX = 100;
    b.screenY = 400;
    a.frameCounter = 120;
    HamushiShot::Act(&a, &t.player, t.enemyShots, t.sounds);
    ASSERT_EQ(t.UsedEnemyShots(), 3);
    const int vx = t.enemyShots[0].vx;
    const int vy = t.enemyShots[0].vy;
    EXPECT_EQ(vx, -5);  // aim vector (180 - 400, 280 - 100)
    EXPECT_EQ(vy, 4);
    EXPECT_EQ(t.enemyShots[1].vx, vx + 1);
    EXPECT_EQ(t.enemyShots[2].vy, vy - 1);
    EXPECT_EQ(t.enemyShots[0].x, 416);

    b.frameCounter = 130;  // another object, somewhere else
    HamushiShot::Act(&b, &t.player, t.enemyShots, t.sounds);
    ASSERT_EQ(t.UsedEnemyShots(), 6);
    EXPECT_EQ(t.enemyShots[3].vx, vx);
    EXPECT_EQ(t.enemyShots[3].vy, vy);
    EXPECT_EQ(t.enemyShots[4].vx, vx + 1);
    EXPECT_EQ(t.enemyShots[5].vx, vx - 1);

    b.frameCounter = 240;
    HamushiShot::Act(&b, &t.player, t.enemyShots, t.sounds);
    EXPECT_EQ(b.frameCounter, 0);
}

TEST(HamushiShotTest, ApproachesThePlayerWithADeadZone) {
    StageTables t;
    struct Case {
        int x, y;
        int wantDx, wantDy, wantDirection;
    };
    const Case cases[] = {{150, 200, -2, 0, 1}, {50, 100, 2, 2, 2}, {105, 195, 0, 0, 1}, {94, 206, 2, -2, 2}};
    for (const Case& c : cases) {
        HamushiShot h;
        h.screenX = c.x;
        h.screenY = c.y;
        HamushiShot::Act(&h, &t.player, t.enemyShots, t.sounds);
        EXPECT_EQ(h.offsetX, c.wantDx) << c.x;
        EXPECT_EQ(h.offsetY, c.wantDy) << c.y;
        EXPECT_EQ(h.direction, c.wantDirection) << c.x;
    }
}

TEST(ArmorDevilLeaderTest, SummonsAtFrame10OfEvery300AndNotWithAFullPool) {
    StageTables t;
    static ArmorDevil devils[kEnemyPoolSize];
    ArmorDevilLeader leader;
    leader.state = 102;
    leader.spawnX = 1000;
    leader.spawnY = 128;
    leader.baseY = 128;
    leader.screenX = 300;
    leader.screenY = 150;
    t.player.x = 500;  // to the right: the leader faces right
    std::vector<int> summonFrames;
    for (int frame = 1; frame <= 620; ++frame) {
        ++leader.frameCounter;  // the scene's count
        const int before = devils[0].state == kEnemyFree ? 0 : devils[1].state == kEnemyFree ? 1 : 2;
        ArmorDevilLeader::Act(&leader, &t.player, devils, t.effects, t.sounds);
        const int after = devils[0].state == kEnemyFree ? 0 : devils[1].state == kEnemyFree ? 1 : 2;
        if (after != before) summonFrames.push_back(frame);
    }
    EXPECT_EQ(summonFrames, (std::vector<int>{10, 310}));
    EXPECT_TRUE(devils[0].summoned);
    EXPECT_EQ(devils[0].state, kEnemyWalking);
    EXPECT_EQ(devils[0].spawnX, 1000 + 50 + 64);
    EXPECT_EQ(devils[0].screenX, 300 + 50 + 64);
    EXPECT_EQ(devils[0].screenY, 150);
    EXPECT_EQ(devils[0].baseY, 128);
    EXPECT_EQ(t.effects[0].kind, 3);
    EXPECT_EQ(t.effects[0].x, 414);

    for (ArmorDevil& d : devils) d.state = kEnemyWalking;
    StageTables full;
    leader.frameCounter = 10;
    ArmorDevilLeader::Act(&leader, &full.player, devils, full.effects, full.sounds);
    EXPECT_EQ(full.UsedEffects(), 0);
    for (ArmorDevil& d : devils) d.Reset();
}

TEST(SekitoTest, DropsItsTowerOnce) {
    StageTables t;
    Sekito s;
    s.state = 102;
    s.screenX = 110;  // the trap's box meets the player's at any height
    Sekito::Act(&s, &t.player, t.enemyShots, t.sounds);
    ASSERT_EQ(t.UsedEnemyShots(), 1);
    EXPECT_EQ(s.screenY, 200);
    EXPECT_EQ(t.enemyShots[0].kind, 9);
    EXPECT_EQ(t.enemyShots[0].x, 160);
    EXPECT_EQ(t.enemyShots[0].y, 0);
    EXPECT_EQ(t.enemyShots[0].vy, 1);
    EXPECT_EQ(s.frameCounter, -500);
    Sekito::Act(&s, &t.player, t.enemyShots, t.sounds);
    EXPECT_EQ(t.UsedEnemyShots(), 1);
}

TEST(FenwaTest, PlacesARingOfTwentyStillShotsAndLaunchesThemAt160) {
    StageTables t;
    Fenwa f;
    f.state = 102;
    f.screenX = 400;
    f.screenY = 100;
    for (int c = 60; c <= 159; ++c) {
        f.frameCounter = c;
        Fenwa::Act(&f, &t.player, t.enemyShots, t.sounds, 0, 0);
    }
    ASSERT_EQ(t.UsedEnemyShots(), 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(t.enemyShots[i].vx, 0);
        EXPECT_EQ(t.enemyShots[i].vy, 0);
    }
    // k = 0: 115.2 * cos(-pi/4) + 400 - 64
    EXPECT_EQ(t.enemyShots[0].x, static_cast<int>(115.2 * std::cos(-kPi / 4) + 336));
    EXPECT_EQ(t.enemyShots[5].y, static_cast<int>(128 * std::sin(5 * kPi / 10 + kPi / 4) + 164));
    f.frameCounter = 160;
    Fenwa::Act(&f, &t.player, t.enemyShots, t.sounds, 0, 0);
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(t.enemyShots[i].vx != 0 || t.enemyShots[i].vy != 0) << i;
    EXPECT_EQ(t.enemyShots[0].vx, -5);
}

TEST(FenwaTest, HoldsItsPlaceOnScreenThenHeadsForThePlayerAndFliesOff) {
    StageTables t;
    Fenwa f;
    f.screenX = 600;
    f.screenY = 200;
    f.frameCounter = 10;
    Fenwa::Act(&f, &t.player, t.enemyShots, t.sounds, 3, -2);
    EXPECT_EQ(f.offsetX, 3 - 8);  // target x 300: to the left
    EXPECT_EQ(f.offsetY, -2);     // within 8 of the player's y
    EXPECT_EQ(f.direction, 1);
    f.frameCounter = 220;
    Fenwa::Act(&f, &t.player, t.enemyShots, t.sounds, 3, -2);
    EXPECT_EQ(f.offsetX, -5 + 8);
    EXPECT_EQ(f.offsetY, -2 - 7);
}

TEST(StoneSnakeTest, RisesShootsIceAndSinksInsteadOfDying) {
    StageTables t;
    StoneSnake s;
    s.state = 5;
    s.screenX = 620;
    s.screenY = 300;
    auto frame = [&] {
        ++s.frameCounter;
        StoneSnake::Act(&s, &t.player, t.enemyShots, t.sounds);
    };
    frame();
    EXPECT_EQ(s.state, 1);
    EXPECT_EQ(s.frameCounter, 0);
    while (s.state == 1) frame();
    EXPECT_EQ(s.offsetY, -8 * 31);
    EXPECT_EQ(s.state, 2);
    while (s.frameCounter < 90) frame();
    ASSERT_EQ(t.UsedEnemyShots(), 3);
    EXPECT_EQ(t.enemyShots[0].kind, 10);
    EXPECT_EQ(t.enemyShots[1].vx, t.enemyShots[0].vx + 1);

    s.hitPoints = 0;
    frame();
    EXPECT_EQ(s.state, 4);
    while (s.state == 4) frame();
    EXPECT_EQ(s.state, 5);
    EXPECT_EQ(s.offsetY, 0);
    frame();
    EXPECT_EQ(s.state, 5);  // no hit points: it stays down
}

TEST(EnemyLooksTest, LooksPickImagesWithinTheStageList) {
    StageTables t;
    for (int c : {0, 27, 100, 174, 200}) {
        DrawChintonLook(c, 1, 0, 0, t.images);
        DrawMirelleLook(c, 2, 0, 0, t.images);
        DrawStoneSnakeLook(c, 2, 0, 0, t.images);
        DrawFenwaLook(c, 1, 0, 0, t.images);
        DrawFirstDeath(c, 0, 0, t.images);
        DrawSecondDeath(c, 0, 0, t.images);
    }
}

// The looks as the draw observer sees them: picture, mirroring and place.
constexpr int kHandleBase = 0x40000;  // image position p is drawn as handle kHandleBase + p

class EnemyLookDrawTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        for (int i = 0; i < 760; ++i) images_[i] = kHandleBase + i;
    }
    template <class Draw>
    std::vector<gametest::SeenDraw> Seen(Draw draw) {
        const size_t before = OpenFrameDraws().size();
        draw();
        return {OpenFrameDraws().begin() + static_cast<long>(before), OpenFrameDraws().end()};
    }
    int images_[760] = {};
};

int Position(const gametest::SeenDraw& draw) { return draw.handle - kHandleBase; }

// Chinton opens, stays open and closes, never mirrored.
TEST_F(EnemyLookDrawTest, ChintonOpensStaysOpenAndCloses) {
    struct Span {
        int image;
        std::vector<std::pair<int, int>> counters;
    };
    const Span spans[] = {
        {450, {{0, 2}, {175, 400}}}, {451, {{3, 4}, {172, 174}}},   {452, {{5, 7}, {170, 171}}},
        {453, {{8, 9}, {167, 169}}}, {454, {{10, 12}, {165, 166}}}, {455, {{13, 14}, {162, 164}}},
        {456, {{15, 17}, {160, 161}}}, {457, {{18, 19}, {157, 159}}}, {458, {{20, 22}, {155, 156}}},
        {459, {{23, 24}, {152, 154}}}, {460, {{25, 27}, {150, 151}}}, {461, {{28, 149}}},
    };
    int want[401];
    for (const Span& span : spans)
        for (const auto& [first, last] : span.counters)
            for (int c = first; c <= last; ++c) want[c] = span.image;
    for (int c = 0; c <= 400; ++c) {
        for (int facing : {1, 2}) {
            const auto draws = Seen([&] { DrawChintonLook(c, facing, 30, 40, images_); });
            ASSERT_EQ(draws.size(), 1u) << c;
            EXPECT_EQ(Position(draws[0]), want[c]) << c;
            EXPECT_EQ(draws[0].call, "DrawGraphicAtPoint") << c;
            EXPECT_EQ(draws[0].points, (std::vector<int>{30, 40}));
        }
    }
}

TEST_F(EnemyLookDrawTest, LooksPickTheirPictureAndFacing) {
    struct Case {
        const char* name;
        void (*look)(int, int, int, int, const int*);
        int counter;
        int facing;
        const char* call;  // "" draws nothing
        int image;
        int sourceX;       // DrawGraphicPart's cell
    };
    const Case cases[] = {
        {"hamushi", DrawHamushiLook, 47, 2, "DrawGraphicAtPoint", 101, 0},
        {"hamushi", DrawHamushiLook, 48, 1, "DrawGraphicMirrored", 92, 0},
        {"hamushi", DrawHamushiLook, 5, 0, "", 0, 0},
        {"shooter", DrawHamushiShotLook, 96 + 12, 1, "DrawGraphicMirrored", 540, 0},
        {"watadama", DrawWatadamaLook, 33, 2, "DrawGraphicAtPoint", 675, 0},
        {"devil", DrawArmorDevilLook, 47, 2, "DrawGraphicPart", 677, 9 * 64},
        {"devil", DrawArmorDevilLook, 53, 1, "DrawGraphicPart", 677, 64},
        {"leader", DrawArmorDevilLeaderLook, 20, 2, "DrawGraphicPart", 678, 4 * 64},
        {"mirelle", DrawMirelleLook, 39, 2, "DrawGraphicAtPoint", 433, 0},
        {"mirelle", DrawMirelleLook, 40, 1, "DrawGraphicMirrored", 438, 0},
        {"mirelle", DrawMirelleLook, 159, 2, "DrawGraphicAtPoint", 437, 0},
        {"mirelle", DrawMirelleLook, 220, 2, "", 0, 0},
        {"fenwa", DrawFenwaLook, 0, 2, "DrawGraphicStretched", StageImage::kFenwa, 0},
        {"fenwa", DrawFenwaLook, 49, 2, "DrawGraphicStretched", StageImage::kFenwa + 9, 0},
        {"fenwa", DrawFenwaLook, 50, 1, "DrawGraphicStretched", StageImage::kFenwa, 0},
        {"snake", DrawStoneSnakeLook, 59, 2, "DrawGraphicAtPoint", 688, 0},
        {"snake", DrawStoneSnakeLook, 60, 1, "DrawGraphicMirrored", 690, 0},
        {"snake", DrawStoneSnakeLook, 150, 2, "DrawGraphicMirrored", 700, 0},
        {"snake", DrawStoneSnakeLook, 219, 1, "DrawGraphicAtPoint", 700, 0},
        {"snake", DrawStoneSnakeLook, 220, 2, "DrawGraphicAtPoint", 688, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.counter));
        const auto draws = Seen([&] { c.look(c.counter, c.facing, 30, 40, images_); });
        if (c.call[0] == '\0') {
            EXPECT_TRUE(draws.empty());
            continue;
        }
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].call, c.call);
        EXPECT_EQ(Position(draws[0]), c.image);
        if (draws[0].call == "DrawGraphicPart") {
            EXPECT_EQ(draws[0].source[0], c.sourceX);
            EXPECT_EQ(draws[0].source[2], 64);
            EXPECT_EQ(draws[0].turnFlag, c.facing == 1 ? 1 : 0);
        }
        if (draws[0].call == "DrawGraphicStretched") {
            EXPECT_EQ(draws[0].points, c.facing == 2 ? (std::vector<int>{30, 40, 158, 168})
                                                     : (std::vector<int>{158, 40, 30, 168}));
        }
    }
}

TEST_F(EnemyLookDrawTest, TheSnakeRisesSinksAndStandsWithItsTwoSets) {
    struct Case {
        int mode, counter, facing, image;
    };
    for (const Case& c : {Case{1, 0, 2, 688}, Case{1, 58, 2, 702}, Case{4, 59, 1, 688}, Case{4, 31, 1, 695},
                          Case{2, 0, 2, 745}, Case{2, 58, 1, 759}, Case{2, 60, 2, 745}}) {
        SCOPED_TRACE(std::to_string(c.mode) + " at " + std::to_string(c.counter));
        const auto draws = Seen([&] { DrawStoneSnakeEntrance(c.counter, c.facing, 30, 40, images_, c.mode); });
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(Position(draws[0]), c.image);
        // Facing right is the mirrored one.
        EXPECT_EQ(draws[0].call, c.facing == 2 ? "DrawGraphicMirrored" : "DrawGraphicAtPoint");
    }
}

TEST_F(EnemyLookDrawTest, TheTwoDeathAnimations) {
    for (int c = 0; c <= 20; ++c) {
        const auto draws = Seen([&] { DrawFirstDeath(c, 30, 40, images_); });
        if (c > 17) {
            EXPECT_TRUE(draws.empty()) << c;
            continue;
        }
        ASSERT_EQ(draws.size(), 1u) << c;
        EXPECT_EQ(Position(draws[0]), 125 + c / 3);
        EXPECT_EQ(draws[0].blendMode, 2);
        EXPECT_EQ(draws[0].blendParam, 255);
    }
    // The attack-level item left behind: three pictures of its own.
    struct Item {
        int counter, image;
    };
    for (const Item& item : {Item{1, 344}, Item{7, 344}, Item{8, StageImage::kAttackLevelItem2},
                             Item{15, StageImage::kAttackLevelItem2}, Item{16, StageImage::kAttackLevelItem3},
                             Item{900, StageImage::kAttackLevelItem3}}) {
        const auto draws = Seen([&] { DrawSecondDeath(item.counter, 30, 40, images_); });
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(Position(draws[0]), item.image) << item.counter;
        EXPECT_EQ(draws[0].blendMode, 0);
    }
}

}  // namespace
