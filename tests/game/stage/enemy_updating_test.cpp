#include "game/stage/enemy_updating.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/stage/attack_hits.h"
#include "game/stage/stage_images.h"
#include "tests/game/stage/enemy_test_tables.h"
#include "tests/support/game/game_test.h"

namespace {

using enemytest::StageTables;

// A pool of one kind with its pointer table, as the scene keeps them.
template <class T>
struct Pool {
    T objects[kEnemyPoolSize];
    EnemyCharacter* table[kEnemyPoolSize];
    Pool() {
        for (int i = 0; i < kEnemyPoolSize; ++i) table[i] = &objects[i];
    }
    // An active enemy standing on screen at (x, y).
    T& Place(int i, int x, int y) {
        T& e = objects[i];
        e.state = kEnemyWalking;
        e.spawnX = x;
        e.spawnY = y;
        e.baseY = y;
        e.screenX = x;
        e.screenY = y;
        return e;
    }
};

struct EnemyUpdatingTest : ::testing::Test {
    StageTables t;
    int hitX = -1;
    int hitY = -1;
    EnemyStepContext Context(bool kill = false) {
        EnemyStepContext c;
        c.player = &t.player;
        c.playerShots = t.playerShots;
        c.enemyShots = t.enemyShots;
        c.effects = t.effects;
        c.sounds = t.sounds;
        c.hitX = &hitX;
        c.hitY = &hitY;
        c.kill = kill;
        return c;
    }
    // A player shot of `kind` lying over the box at (x, y).
    ShotSlot& Shot(int slot, int kind, int x, int y) {
        ShotSlot& s = t.playerShots[slot];
        s.state = 2;
        s.kind = kind;
        s.x = x;
        s.y = y;
        s.width = 64;
        s.height = 64;
        s.hitLeft = 0;
        s.hitTop = 0;
        s.hitRight = 64;
        s.hitBottom = 64;
        s.facing = 2;
        return s;
    }
    int Damage(Pool<EnemyCharacter>& pool, int i) {
        return DamageEnemy(&t.player, pool.table, i, t.playerShots, t.sounds, &hitX, &hitY, t.effects, false,
                           t.enemyShots);
    }
};

TEST(DamageForHitCodeTest, GivesTheTableAndZeroForOtherCodes) {
    const std::pair<int, int> table[] = {{101, 100}, {102, 50},  {103, 100}, {201, 50},  {202, 70},   {203, 120},
                                         {204, 100}, {301, 50},  {302, 100}, {303, 150}, {304, 100},  {305, 100},
                                         {401, 100}, {402, 100}, {404, 50},  {501, 40},  {601, 10000}, {0, 0},
                                         {403, 0},   {1001, 0},  {-1, 0}};
    for (auto [code, damage] : table) EXPECT_EQ(DamageForHitCode(code), damage) << code;
}

TEST(EnemyRangeTest, ScreenOrSpawnPositionKeepsAnEnemyInRange) {
    struct Case {
        double scroll;
        int screenX, spawnX;
        bool in;
    };
    const Case cases[] = {
        {0, 100, 100, true},      {0, 1039, 900, true},    {0, 1040, 900, false}, {0, 1040, 839, true},
        {0, -465, -65, false},    {0, -464, -65, true},    {500, -464, 0, true},  {500, -465, 0, false},
        {500, -465, 437, true},   {500, 1040, 1539, true}, {500, 1040, 1540, false},
    };
    for (const Case& c : cases) {
        StageTables t;
        t.player.scrollX = c.scroll;
        EnemyCharacter e;
        e.screenX = c.screenX;
        e.spawnX = c.spawnX;
        EnemyCharacter* table[] = {&e};
        EXPECT_EQ(IsEnemyInRange(table, 0, &t.player), c.in) << c.scroll << " " << c.screenX << " " << c.spawnX;
    }
}

TEST_F(EnemyUpdatingTest, AnEnemyOutOfRangeLeavesAndThePoolClosesUp) {
    auto generic = std::make_unique<Pool<EnemyCharacter>>();
    auto hamushi = std::make_unique<Pool<HamushiShot>>();
    for (int i = 0; i < kEnemyPoolSize; ++i) {
        generic->Place(i, 64 * (i % 10), 128).offsetY = i;
        hamushi->Place(i, 64 * (i % 10), 128).offsetY = i;
    }
    generic->objects[5].screenX = generic->objects[5].spawnX = 5000;
    hamushi->objects[5].screenX = hamushi->objects[5].spawnX = 5000;
    const WalkGrid grid{};
    UpdateEnemiesOfKind(generic->objects, generic->table, 5, Context(), grid);
    UpdateEnemiesOfKind(hamushi->objects, hamushi->table, 5, Context());
    EXPECT_EQ(generic->objects[4].offsetY, 4);
    EXPECT_EQ(generic->objects[5].offsetY, 6);
    EXPECT_EQ(generic->objects[126].offsetY, 127);
    EXPECT_EQ(generic->objects[127].offsetY, 127);  // the walker keeps the last slot as it was
    EXPECT_EQ(hamushi->objects[5].offsetY, 6);
    EXPECT_EQ(hamushi->objects[127].state, kEnemyFree);  // the shooter resets it
    EXPECT_EQ(hamushi->objects[127].offsetY, 0);
}

TEST_F(EnemyUpdatingTest, AHitEnemyCannotBeHitAgainFor20Frames) {
    auto pool = std::make_unique<Pool<EnemyCharacter>>();
    EnemyCharacter& e = pool->Place(0, 300, 200);
    e.hitPoints = 250;
    Shot(0, 7, 300, 200);  // a young doll: code 101, 100 damage
    Damage(*pool, 0);
    EXPECT_EQ(e.hitPoints, 150);
    EXPECT_TRUE(e.hurt);
    ASSERT_EQ(t.effects[0].kind, 1);
    EXPECT_EQ(t.effects[0].x, hitX);
    int frames = 0;
    while (e.hitPoints == 150 && frames < 100) {
        Damage(*pool, 0);
        ++frames;
    }
    EXPECT_EQ(frames, 21);
    EXPECT_EQ(e.hitPoints, 50);
}

TEST_F(EnemyUpdatingTest, DeathEffectAndSoundFollowTheCharacter) {
    struct Case {
        int character, attackKind, wantKind;
    };
    const Case cases[] = {{1, 1, 2}, {2, 1, 1}, {3, 1, 1}, {3, 2, 4}, {4, 3, 4}};
    for (const Case& c : cases) {
        StageTables fresh;
        t = fresh;
        t.player.character = c.character;
        t.player.attackKind = c.attackKind;
        auto pool = std::make_unique<Pool<EnemyCharacter>>();
        EnemyCharacter& e = pool->Place(0, 300, 200);
        Shot(0, 4, 300, 200);
        Damage(*pool, 0);
        EXPECT_EQ(e.state, kEnemyDying);
        EXPECT_EQ(e.frameCounter, 0);
        EXPECT_EQ(t.effects[0].kind, 1);
        EXPECT_EQ(t.effects[1].kind, c.wantKind) << c.character << " " << c.attackKind;
    }
}

TEST_F(EnemyUpdatingTest, TheStringCapturesWhatItKillsWhileAPlayerSlotIsFree) {
    struct Case {
        bool fullPlayerTable;
        bool fullEffects;
    };
    for (const Case& c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        StageTables fresh;
        t = fresh;
        auto pool = std::make_unique<Pool<EnemyCharacter>>();
        EnemyCharacter& e = pool->Place(0, 300, 200);
        e.hitPoints = 100;
        ShotSlot& string = Shot(0, 12, 300, 200);
        if (c.fullPlayerTable)
            for (int i = 1; i < kShotTableSize; ++i) Shot(i, 99, 0, 0);
        if (c.fullEffects)
            for (EffectSlot& effect : t.effects) effect.x = effect.y = 5;
        Damage(*pool, 0);
        EXPECT_EQ(e.state, kEnemyDying);
        if (c.fullPlayerTable) {
            EXPECT_EQ(t.player.state, kPlayerStanding);
            EXPECT_EQ(t.effects[1].kind, 2);  // an ordinary death of character 1
        } else {
            const ShotSlot& captured = t.playerShots[1];
            EXPECT_EQ(captured.kind, 1002);
            EXPECT_EQ(captured.state, 2);
            EXPECT_EQ(captured.x, 300);
            EXPECT_EQ(captured.hitRight, 44);
            EXPECT_EQ(captured.vx, 5);
            EXPECT_EQ(t.player.state, kPlayerThrowing);
            if (!c.fullEffects) {
                EXPECT_EQ(t.effects[1].kind, 12);
            }
        }
        EXPECT_EQ(string.state, 2);
    }
}

TEST_F(EnemyUpdatingTest, TheStoneSnakeIsNeverCapturedAndSinksInsteadOfDying) {
    auto pool = std::make_unique<Pool<StoneSnake>>();
    StoneSnake& s = pool->Place(0, 300, 100);
    s.state = 2;
    s.hitPoints = 100;
    Shot(0, 12, 300, 150);
    UpdateEnemiesOfKind(pool->objects, pool->table, 0, Context());
    EXPECT_EQ(s.hitPoints, 0);
    EXPECT_EQ(s.state, 4);  // its behaviour ran at 0 hit points
    EXPECT_EQ(t.playerShots[1].state, 0);
    EXPECT_EQ(t.player.state, kPlayerStanding);
}

TEST_F(EnemyUpdatingTest, ChintonAndSekitoTakeNoDamage) {
    auto chintons = std::make_unique<Pool<Chinton>>();
    auto sekitos = std::make_unique<Pool<Sekito>>();
    Chinton& c = chintons->Place(0, 100, 200);
    c.state = 2;
    Sekito& s = sekitos->Place(0, 600, 200);
    Shot(0, 12, 100, 200);
    Shot(1, 12, 600, 200);
    UpdateEnemiesOfKind(chintons->objects, chintons->table, 0, Context());
    UpdateEnemiesOfKind(sekitos->objects, sekitos->table, 0, Context());
    EXPECT_EQ(c.hitPoints, 100);
    EXPECT_EQ(s.hitPoints, 100);
    EXPECT_EQ(t.player.state, kPlayerStanding);
}

TEST_F(EnemyUpdatingTest, AKilledWatadamaBurstsIntoOneAimedBullet) {
    auto pool = std::make_unique<Pool<Watadama>>();
    Watadama& w = pool->Place(0, 400, 200);
    Shot(0, 4, 400, 200);
    UpdateEnemiesOfKind(pool->objects, pool->table, 0, Context(), WalkGrid{});
    EXPECT_EQ(w.state, kEnemyDying);
    ASSERT_EQ(t.UsedEnemyShots(), 1);
    EXPECT_EQ(t.enemyShots[0].kind, 2);
    EXPECT_EQ(t.enemyShots[0].x, 416);
    EXPECT_EQ(t.enemyShots[0].vx, -5);  // aim vector (180 - 400, 280 - 200)
    EXPECT_EQ(t.enemyShots[0].vy, 1);
    EXPECT_EQ(w.offsetX, 0);  // the dead do not walk
}

TEST_F(EnemyUpdatingTest, AKilledFenwaReleasesItsStillShots) {
    auto pool = std::make_unique<Pool<Fenwa>>();
    Fenwa& f = pool->Place(0, 300, 100);
    f.hitPoints = 50;
    f.frameCounter = 300;  // past its ring
    for (int i = 0; i < 3; ++i) {
        ShotSlot& still = t.enemyShots[i];
        still.state = 2;
        still.kind = 2;
    }
    t.enemyShots[3].state = 2;
    t.enemyShots[3].kind = 10;
    Shot(0, 4, 300, 100);
    std::srand(1);
    UpdateEnemiesOfKind(pool->objects, pool->table, 0, Context(), 0, 0);
    EXPECT_EQ(f.state, kEnemyDying);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(t.enemyShots[i].vx != 0 || t.enemyShots[i].vy != 0) << i;
        EXPECT_TRUE(std::abs(t.enemyShots[i].vx) == 5 || std::abs(t.enemyShots[i].vy) == 5) << i;
    }
    EXPECT_EQ(t.enemyShots[3].vx, 0);
}

TEST_F(EnemyUpdatingTest, ASummonedDevilLeavesNoCorpse) {
    auto pool = std::make_unique<Pool<ArmorDevil>>();
    ArmorDevil& summoned = pool->Place(0, 300, 200);
    summoned.summoned = true;
    summoned.hitPoints = 0;
    summoned.state = kEnemyDying;
    pool->Place(1, 400, 200).offsetY = 7;
    UpdateEnemiesOfKind(pool->objects, pool->table, 0, Context());
    EXPECT_EQ(pool->objects[0].offsetY, 7);
    EXPECT_FALSE(pool->objects[0].summoned);
}

TEST_F(EnemyUpdatingTest, TheKillFlagEmptiesHitPoints) {
    auto pool = std::make_unique<Pool<HamushiShot>>();
    HamushiShot& h = pool->Place(0, 300, 200);
    UpdateEnemiesOfKind(pool->objects, pool->table, 0, Context(true));
    EXPECT_EQ(h.hitPoints, 0);
}

TEST_F(EnemyUpdatingTest, AQuarterOfTheDeadLeaveAnItemFromTheSecond) {
    auto pool = std::make_unique<Pool<EnemyCharacter>>();
    EnemyCharacter& e = pool->objects[0];
    const std::time_t second = enemytest::InOneSecond([&] {
        pool->Place(0, 300, 200);
        e.hitPoints = 0;
        e.state = kEnemyDying;
        e.frameCounter = 46;
        Damage(*pool, 0);
    });
    if (enemytest::SeededRand(second) % 4 == 0) {
        EXPECT_EQ(e.state, kEnemyDyingSecond);
        EXPECT_EQ(e.frameCounter, 1);
        EXPECT_EQ(e.hitRight, 64);
    } else {
        EXPECT_EQ(e.state, kEnemyDying);
        EXPECT_EQ(e.frameCounter, 46);
    }
    e.state = kEnemyDying;
    e.frameCounter = 45;
    Damage(*pool, 0);
    EXPECT_EQ(e.state, kEnemyDying);
}

TEST_F(EnemyUpdatingTest, MirelleDiesToAnyHitAndResetsOutOfRange) {
    Mirelle m;
    m.state = 2;
    m.frameCounter = 10;
    m.spawnX = 300;
    m.baseY = 100;
    m.screenX = 256;
    m.screenY = 100;
    t.player.x = 256.0;
    Shot(0, 5, 280, 130);
    UpdateMirelle(&m, &t.player, t.playerShots, t.sounds, &hitX, &hitY, t.effects, false, 4.0, 2.0, t.enemyShots);
    EXPECT_EQ(m.screenX, 252);  // the map scrolled under her
    EXPECT_EQ(m.screenY, 98);
    EXPECT_EQ(m.state, kEnemyDying);
    EXPECT_EQ(m.hitPoints, 0);
    EXPECT_EQ(t.effects[0].kind, 2);

    t.player.mapY = 1000;
    UpdateMirelle(&m, &t.player, t.playerShots, t.sounds, &hitX, &hitY, t.effects, false, 0, 0, t.enemyShots);
    EXPECT_EQ(m.state, kEnemyFree);
    EXPECT_EQ(m.hitPoints, 100);
}

TEST_F(EnemyUpdatingTest, DrawingPlacesTheEnemyAndRemovesDuplicatesOfItsCell) {
    auto pool = std::make_unique<Pool<EnemyCharacter>>();
    EnemyCharacter& e = pool->Place(0, 640, 256);
    e.offsetX = -10;
    e.frameCounter = 1;
    pool->Place(1, 640, 256);
    pool->Place(2, 704, 256).offsetY = 3;
    t.player.scrollX = 500.5;
    t.player.scrollY = 100;
    t.player.x = 200;
    DrawEnemy(pool->table, 0, &t.player, t.images);
    EXPECT_EQ(e.screenX, 129);
    EXPECT_EQ(e.screenY, 156);
    EXPECT_EQ(e.direction, 2);  // a new walker heads for the player
    EXPECT_EQ(pool->objects[1].spawnX, 704);
    EXPECT_EQ(pool->objects[1].offsetY, 3);
    EXPECT_EQ(pool->objects[2].state, kEnemyFree);
}

// What DrawEnemy and DrawMirelle draw, as the draw observer sees it.
constexpr int kHandleBase = 0x40000;  // image position p is drawn as handle kHandleBase + p

class EnemyDrawTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        for (int i = 0; i < 760; ++i) t.images[i] = kHandleBase + i;
    }
    template <class Draw>
    std::vector<gametest::SeenDraw> Seen(Draw draw) {
        const size_t before = OpenFrameDraws().size();
        draw();
        return {OpenFrameDraws().begin() + static_cast<long>(before), OpenFrameDraws().end()};
    }
    // The pictures and places of one DrawEnemy of object 0.
    template <class T>
    std::vector<gametest::SeenDraw> DrawFirst(Pool<T>& pool) {
        return Seen([&] { DrawEnemy(pool.table, 0, &t.player, t.images); });
    }
    StageTables t;
};

int Position(const gametest::SeenDraw& draw) { return draw.handle - kHandleBase; }

TEST_F(EnemyDrawTest, AnEnemyIsDrawnByItsKindAliveAndByItsDeathAnimationDead) {
    auto pool = std::make_unique<Pool<EnemyCharacter>>();
    EnemyCharacter& e = pool->Place(0, 300, 200);
    e.frameCounter = 10;
    e.direction = 1;
    auto draws = DrawFirst(*pool);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(Position(draws[0]), 94);
    EXPECT_EQ(draws[0].call, "DrawGraphicMirrored");
    EXPECT_EQ(draws[0].points, (std::vector<int>{300, 200}));

    // Hurt, it shows on even counts only.
    e.hurt = true;
    e.frameCounter = 11;
    EXPECT_TRUE(DrawFirst(*pool).empty());
    e.frameCounter = 12;
    EXPECT_EQ(DrawFirst(*pool).size(), 1u);

    // Dying: the sphere flash up and left of it, then the item it may leave.
    e.hitPoints = 0;
    e.state = kEnemyDying;
    e.frameCounter = 7;
    draws = DrawFirst(*pool);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(Position(draws[0]), 127);
    EXPECT_EQ(draws[0].points, (std::vector<int>{268, 168}));
    e.frameCounter = 30;
    EXPECT_TRUE(DrawFirst(*pool).empty());
    e.state = kEnemyDyingSecond;
    e.frameCounter = 9;
    draws = DrawFirst(*pool);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(Position(draws[0]), StageImage::kAttackLevelItem2);
    EXPECT_EQ(draws[0].points, (std::vector<int>{300, 200}));
}

TEST_F(EnemyDrawTest, TheStoneSnakeIsSeenRisingStandingAndSinking) {
    auto pool = std::make_unique<Pool<StoneSnake>>();
    StoneSnake& s = pool->Place(0, 300, 200);
    s.direction = 2;
    s.frameCounter = 8;
    struct Case {
        int state, hitPoints, image;
    };
    for (const Case& c : {Case{5, 300, -1}, Case{1, 300, 690}, Case{2, 300, 747}, Case{4, 0, 690},
                          Case{5, 0, -1}}) {
        SCOPED_TRACE(c.state);
        s.state = c.state;
        s.hitPoints = c.hitPoints;
        const auto draws = DrawFirst(*pool);
        if (c.image == -1) {
            EXPECT_TRUE(draws.empty());
            continue;
        }
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(Position(draws[0]), c.image);
        EXPECT_EQ(draws[0].call, "DrawGraphicMirrored");
    }
}

TEST_F(EnemyDrawTest, KindsWithoutALookAndFreeObjectsDrawNothing) {
    auto sekito = std::make_unique<Pool<Sekito>>();
    sekito->Place(0, 300, 200);
    EXPECT_TRUE(DrawFirst(*sekito).empty());
    auto pool = std::make_unique<Pool<EnemyCharacter>>();
    EXPECT_TRUE(DrawFirst(*pool).empty());
}

TEST_F(EnemyDrawTest, MirelleIsSeenWhileSheAppearsAndShoots) {
    Mirelle m;
    m.screenX = 320;
    m.screenY = 64;
    m.direction = 2;
    m.frameCounter = 45;
    struct Case {
        int state, hitPoints;
        const char* call;
        int image;
        int x, y;
    };
    const Case cases[] = {
        {1, 100, "", -1, 0, 0},
        {2, 100, "DrawGraphicAtPoint", 439, 320, 64},
        {3, 100, "DrawGraphicAtPoint", 439, 320, 64},
        {103, 0, "DrawGraphicAtPoint", -1, 320, 64},  // 45 is past the flash
        {104, 0, "DrawGraphicAtPoint", StageImage::kAttackLevelItem3, 320, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        m.state = c.state;
        m.hitPoints = c.hitPoints;
        const auto draws = Seen([&] { DrawMirelle(&m, t.images); });
        if (c.image == -1) {
            EXPECT_TRUE(draws.empty());
            continue;
        }
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].call, c.call);
        EXPECT_EQ(Position(draws[0]), c.image);
        EXPECT_EQ(draws[0].points, (std::vector<int>{c.x, c.y}));
    }
    // Dying, the flash is drawn at her own place.
    m.state = kEnemyDying;
    m.frameCounter = 3;
    const auto draws = Seen([&] { DrawMirelle(&m, t.images); });
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(Position(draws[0]), 126);
    EXPECT_EQ(draws[0].points, (std::vector<int>{320, 64}));
}

}  // namespace
