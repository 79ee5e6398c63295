// The player's attacks, stepped frame by frame the way the stage runs them:
// UpdatePlayerAttack with the frame's buttons, then the animation's advance
// of the action frame.
#include "game/stage/player_attacks.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "game/framework/input_manager.h"
#include "game/stage/stage_table.h"
#include "game/stage/tile_collision.h"

namespace {

// An attack run: the record, its resources, both tables and an empty map.
class AttackRun {
public:
    explicit AttackRun(int character, int facing = 2, int level = 1, int state = kPlayerStanding)
        : tiles_(20 * 10, 0), positions_(2 * kStagePlaneSize, -1) {
        MapColumns = 30;
        TileIndexWidth = 20;
        TamselChargeFrames = 0;
        KolvaComboFlag = false;
        player.character = character;
        player.facing = facing;
        player.attackLevel = level;
        player.state = state;
        player.x = 200;
        player.screenY = 150;
        player.mapY = 400;
        player.scrollX = 640;
        for (ShotSlot& s : shots) ResetShot(&s);
        for (EffectSlot& e : effects) ResetEffect(&e);
        ground.tiles = tiles_.data();
        ground.positions = positions_.data();
        ground.columns = 20;
        ground.rows = 10;
    }

    // A solid cell at (column, row) with its screen position.
    void Wall(int column, int row) {
        const int index = column + row * 20;
        tiles_[index] = 1;
        positions_[index] = column * 64;
        positions_[kStagePlaneSize + index] = row * 64;
    }

    // One frame with these buttons held for these frame counts.
    void Frame(std::map<int, int> held = {}) {
        buttons = held;
        const int stateBefore = player.state;
        UpdatePlayerAttack(&player, buttons, &throwCount, &ready, nullptr, shots, ground, &frame, effects);
        // The animation advances the action frame of a running attack.
        if (player.state == kPlayerAttacking || player.state == kPlayerHoverShot ||
            stateBefore == kPlayerAttacking)
            ++player.actionFrame;
    }

    // Presses ATTACK (with these keys held), then holds ATTACK for the given
    // frames, then lets it go; returns after the release frame.
    void Press(std::vector<int> keys = {}, int heldFrames = 1) {
        for (int f = 1; f <= heldFrames; ++f) {
            std::map<int, int> held{{ATTACK, f}};
            for (int k : keys) held[k] = 5;
            Frame(held);
        }
        std::map<int, int> held;
        for (int k : keys) held[k] = 5;
        Frame(held);
    }

    int Flying(int kind) const {
        int n = 0;
        for (const ShotSlot& s : shots)
            if (s.state == kShotFlying && s.kind == kind) ++n;
        return n;
    }

    PlayerRecord player;
    int throwCount = kStartDollCount;
    int ready = kStartAttackReady;
    ShotSlot shots[kShotTableSize] = {};
    EffectSlot effects[kEffectTableSize] = {};
    PlayerGround ground;
    PlayerFrameState frame;
    ButtonHeldFrames buttons;

private:
    std::vector<int> tiles_;
    std::vector<int> positions_;
};

struct SpawnCase {
    const char* name;
    int character, facing, level, state;
    std::vector<int> keys;
    int held;         // frames ATTACK is held
    int spawnFrame;   // the action frame at which the shot appears
    int kind, count;  // of the first shot
    int width, height;
    int hitLeft, hitTop, hitRight, hitBottom;
    int vx, vy;
    int dx;           // shot x less player x
};

TEST(PlayerAttackSpawnTest, EachAttackSpawnsItsShotOnItsFrame) {
    const SpawnCase cases[] = {
        {"thrust right", 1, 2, 1, 1, {}, 1, 10, kShotDoll, 1, 128, 64, 10, -30, 118, 94, 5, 0, 64},
        {"thrust left", 1, 1, 1, 1, {}, 1, 10, kShotDoll, 1, 128, 64, 10, -30, 118, 94, 5, 0, -64},
        {"grab right", 1, 2, 1, 1, {KEY_UP}, 1, 10, kShotString, 1, 64, 64, 0, 0, 64, 64, 10, 0, 0},
        {"grab left", 1, 1, 1, 1, {KEY_UP}, 1, 10, kShotString, 1, 64, 64, 0, 0, 64, 64, -10, 0, 0},
        {"up shot", 3, 2, 1, 1, {KEY_UP}, 1, 10, kShotAnchor, 1, 50, 50, 0, 0, 50, 64, 0, 4, 0},
        {"dive", 3, 1, 1, 2, {KEY_DOWN}, 1, 24, kShotDive, 1, 128, 64, 0, 0, 128, 64, 0, 15, 0},
        {"beam", 4, 2, 1, 1, {}, 40, 30, kShotFlame, 1, 128, 64, 10, 10, 120, 60, 0, 0, 0},
        {"spread level 1", 4, 2, 1, 1, {KEY_RIGHT}, 1, 30, kShotGear, 1, 64, 64, 8, 8, 56, 56, 4, -1, 0},
        {"spread level 2 left", 4, 1, 2, 1, {KEY_LEFT}, 1, 30, kShotGear, 1, 128, 128, 16, 16, 111, 111, -4, -1, 0},
        {"spread level 3", 4, 2, 3, 1, {KEY_RIGHT}, 1, 30, kShotGear, 2, 128, 128, 16, 16, 111, 111, 4, -2, 0},
        {"low spread level 1", 4, 2, 1, 1, {KEY_UP}, 1, 30, kShotGear, 1, 64, 64, 8, 8, 56, 56, 2, -3, 0},
        {"low spread level 3 left", 4, 1, 3, 1, {KEY_UP}, 1, 30, kShotGear, 2, 128, 128, 16, 16, 111, 111, -4, -3, 0},
        {"pillars", 4, 2, 1, 1, {KEY_DOWN}, 1, 10, kShotWall, 2, 64, 96, 0, 96, 64, 96, 0, -10, 96},
    };
    for (const SpawnCase& c : cases) {
        SCOPED_TRACE(c.name);
        AttackRun run(c.character, c.facing, c.level, c.state);
        int spawnFrame = -1;
        for (int f = 1; f <= 60 && spawnFrame == -1; ++f) {
            std::map<int, int> held;
            if (f <= c.held) held[ATTACK] = f;
            for (int k : c.keys) held[k] = 5;
            const int actionFrame = run.player.actionFrame;
            run.Frame(held);
            if (run.shots[0].state == kShotFlying) spawnFrame = actionFrame;
        }
        EXPECT_EQ(spawnFrame, c.spawnFrame);
        EXPECT_EQ(run.player.state, kPlayerAttacking);
        EXPECT_EQ(run.Flying(c.kind), c.count);
        const ShotSlot& s = run.shots[0];
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_EQ(s.facing, c.facing);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
        EXPECT_EQ(s.hitLeft, c.hitLeft);
        EXPECT_EQ(s.hitTop, c.hitTop);
        EXPECT_EQ(s.hitRight, c.hitRight);
        EXPECT_EQ(s.hitBottom, c.hitBottom);
        EXPECT_EQ(s.vx, c.vx);
        EXPECT_EQ(s.vy, c.vy);
        EXPECT_EQ(s.x - 200, c.dx);
        EXPECT_EQ(s.frame, 0);
    }
}

TEST(PlayerAttackSpawnTest, SecondShotsOfTheLevelThreeSpreads) {
    AttackRun spread(4, 2, 3);
    spread.Press({KEY_RIGHT});
    for (int f = 0; f < 30; ++f) spread.Frame();
    EXPECT_EQ(spread.shots[1].vx, 4);
    EXPECT_EQ(spread.shots[1].vy, -1);
    AttackRun low(4, 2, 3);
    low.Press({KEY_UP});
    for (int f = 0; f < 30; ++f) low.Frame();
    EXPECT_EQ(low.shots[0].vx, 4);
    EXPECT_EQ(low.shots[1].vx, 2);
    EXPECT_EQ(low.shots[1].vy, -3);
}

TEST(PlayerAttackSpawnTest, PillarsByLevelFlankThePlayerAndGrowTaller) {
    for (int level = 1; level <= 3; ++level) {
        AttackRun run(4, 2, level);
        run.Press({KEY_DOWN});
        for (int f = 0; f < 40; ++f) run.Frame();
        EXPECT_EQ(run.Flying(kShotWall), 2 * level) << level;
        for (int i = 0; i < 2 * level; ++i) {
            const ShotSlot& s = run.shots[i];
            const int step = i / 2 + 1;
            EXPECT_EQ(s.height, 80 + 16 * step);
            EXPECT_EQ(s.x, 200 + 32 + (i % 2 == 0 ? 64 : -64) * step);
            EXPECT_EQ(s.y + s.height, 150 + 128);
        }
    }
    // Pillars again: the standing ones go first.
    AttackRun run(4, 2, 1);
    run.Press({KEY_DOWN});
    for (int f = 0; f < 20; ++f) run.Frame();
    run.player.state = kPlayerStanding;
    run.shots[0].x = 999;
    run.Press({KEY_DOWN});
    EXPECT_EQ(run.Flying(kShotWall), 0);
}

TEST(PlayerAttackTest, ChargedShotSizeBySpeedByLevel) {
    struct Case {
        int charge;
        int level;
        int facing;
        int width, height, speed, vy;
        int hitLeft, hitTop, hitRight, hitBottom;
    };
    const Case cases[] = {
        {89, 1, 2, 128, 64, 4, 5, 50, 5, 120, 90},   {89, 2, 1, 128, 64, 6, 5, 8, 5, 78, 90},
        {90, 3, 2, 192, 96, 8, 5, 75, 7, 182, 90},   {179, 1, 1, 192, 96, 4, 5, 12, 7, 117, 90},
        {180, 1, 2, 256, 128, 8, 0, 100, 10, 240, 120}, {400, 2, 1, 256, 128, 8, 0, 16, 10, 156, 120},
        {1, 1, 2, 128, 64, 4, 5, 50, 5, 120, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charge);
        AttackRun run(3, c.facing, c.level);
        run.Press({}, c.charge);
        EXPECT_EQ(TamselChargeFrames, 0);
        EXPECT_EQ(run.player.state, kPlayerAttacking);
        EXPECT_EQ(run.player.attackKind, kTamselChargedShot);
        while (run.player.actionFrame <= 5) run.Frame();
        const ShotSlot& s = run.shots[0];
        ASSERT_EQ(s.state, kShotFlying);
        EXPECT_EQ(s.kind, kShotRocket);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
        EXPECT_EQ(s.vx, c.speed);
        EXPECT_EQ(s.vy, c.vy);
        EXPECT_EQ(s.hitLeft, c.hitLeft);
        EXPECT_EQ(s.hitTop, c.hitTop);
        EXPECT_EQ(s.hitRight, c.hitRight);
        EXPECT_EQ(s.hitBottom, c.hitBottom);
        EXPECT_EQ(s.x, 200 + 64 - c.width / 2);
        EXPECT_EQ(s.tileTestY, 400);
    }
    // From the hover the shot is fired in state 13.
    AttackRun hover(3, 2, 1, kPlayerHovering);
    hover.Press({}, 10);
    EXPECT_EQ(hover.player.state, kPlayerHoverShot);
}

TEST(PlayerAttackTest, ChargeCountsOnlyWhileItMay) {
    struct Case {
        const char* name;
        int state;
        bool dashing;
        int ready;
        int want;
    };
    const Case cases[] = {
        {"standing", kPlayerStanding, false, 1, 5},
        {"low form", kPlayerLowForm, false, 1, 0},
        {"dashing", kPlayerStanding, true, 1, 0},
        {"not ready", kPlayerStanding, false, 0, 0},
    };
    for (const Case& c : cases) {
        AttackRun run(3, 2, 1, c.state);
        run.player.dashing = c.dashing;
        run.ready = c.ready;
        for (int f = 1; f <= 5; ++f) run.Frame({{ATTACK, f}});
        EXPECT_EQ(TamselChargeFrames, c.want) << c.name;
    }
    // During an up shot nothing is charged; the charge is let go on release.
    AttackRun run(3);
    run.Press({KEY_UP}, 5);
    EXPECT_EQ(run.player.attackKind, kTamselUpShot);
    EXPECT_EQ(TamselChargeFrames, 0);
    EXPECT_EQ(run.player.state, kPlayerAttacking);
}

TEST(PlayerAttackTest, KolvaComboChainsOnlyInsideItsWindows) {
    struct Case {
        int pressAt;   // action frame of the second press
        bool chains;
    };
    for (const Case& c : {Case{5, true}, Case{23, true}, Case{24, false}, Case{25, false}, Case{4, false}}) {
        AttackRun run(2);
        run.Press();
        while (run.player.actionFrame < c.pressAt) run.Frame();
        run.Frame({{ATTACK, 1}});
        while (run.player.actionFrame <= 26) run.Frame();
        EXPECT_EQ(run.player.state, c.chains ? kPlayerAttacking : kPlayerStanding) << c.pressAt;
        EXPECT_FALSE(KolvaComboFlag);
    }
    // The second window: 47 chains into the third swing, 48 ends at 50.
    for (const Case& c : {Case{30, true}, Case{47, true}, Case{48, false}}) {
        AttackRun run(2);
        run.Press();
        while (run.player.actionFrame < 10) run.Frame();
        run.Frame({{ATTACK, 1}});
        while (run.player.actionFrame < c.pressAt) run.Frame();
        run.Frame({{ATTACK, 1}});
        while (run.player.actionFrame <= 50) run.Frame();
        EXPECT_EQ(run.player.state, c.chains ? kPlayerAttacking : kPlayerStanding) << c.pressAt;
    }
}

TEST(PlayerAttackTest, KolvaSwingReachesForwardAndIsGuarded) {
    for (int facing : {2, 1}) {
        AttackRun run(2, facing);
        run.Press();
        while (run.player.actionFrame <= 5) run.Frame();
        EXPECT_TRUE(run.player.guarded);
        EXPECT_EQ(run.player.hitRight, facing == 2 ? 150 : 73);
        EXPECT_EQ(run.player.hitLeft, facing == 2 ? 50 : -22);
        while (run.player.actionFrame <= 25) run.Frame();
        EXPECT_FALSE(run.player.guarded);
        EXPECT_EQ(run.player.hitRight, 73);
        EXPECT_EQ(run.player.hitLeft, 50);
    }
    // The broom on frame 2; the stars of the third swing step ahead.
    AttackRun run(2, 2);
    run.Press();
    while (run.player.actionFrame < 10) run.Frame();
    run.Frame({{ATTACK, 1}});
    while (run.player.actionFrame < 35) run.Frame();
    run.Frame({{ATTACK, 1}});
    while (run.player.actionFrame <= 67) run.Frame();
    EXPECT_EQ(run.effects[0].kind, 10);
    EXPECT_EQ(run.effects[0].x, 232);
    EXPECT_EQ(run.effects[1].kind, 10);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(run.effects[2 + i].x, 200 + 64 + 32 * i);
        EXPECT_GE(run.effects[2 + i].kind, 7);
        EXPECT_LE(run.effects[2 + i].kind, 9);
    }
}

TEST(PlayerAttackTest, KolvaRushRunsAlongTheFacing) {
    AttackRun run(2, 2);
    run.player.x = 100;
    run.player.scrollX = 0;
    run.Press({KEY_RIGHT});
    EXPECT_EQ(run.player.attackKind, kKolvaRush);
    std::vector<double> xs;
    while (run.player.actionFrame <= 45) {
        run.Frame();
        xs.push_back(run.player.x);
        EXPECT_TRUE(run.player.guarded);
        EXPECT_EQ(run.player.vy, 0);
    }
    // 7 frames of 9 (to 163), then 10 a frame up to the scroll point.
    EXPECT_EQ(run.player.x, 256);
    EXPECT_EQ(run.player.scrollX, 10.0 * 11);
}

TEST(PlayerAttackTest, MoveAlongFacingScrollsAndStopsAtWalls) {
    struct Case {
        int facing;
        double x, scroll;
        int n;
        double wantX, wantScroll;
    };
    // The scroll limit is (30 - 10) * 64 = 1280.
    const Case cases[] = {
        {2, 100, 0, 10, 110, 0},       {2, 250, 0, 10, 260, 0},      {2, 260, 0, 10, 256, 10},
        {2, 256, 0, 10, 256, 10},      {2, 266, 0, 10, 266, 0},      {2, 256, 1280, 10, 266, 1280},
        {2, 508, 1280, 10, 512, 1280}, {2, 0, 0, 10, 0, 0},          {1, 300, 0, 10, 290, 0},
        {1, 260, 100, 10, 250, 100},   {1, 250, 100, 10, 256, 90},   {1, 256, 100, 10, 256, 90},
        {1, 256, 0, 10, 246, 0},       {1, 5, 0, 10, 0, 0},          {1, 246, 100, 10, 246, 100},
    };
    for (const Case& c : cases) {
        AttackRun run(2, c.facing);
        run.player.x = c.x;
        run.player.scrollX = c.scroll;
        MovePlayerAlongFacing(&run.player, c.n, run.ground);
        EXPECT_EQ(run.player.x, c.wantX) << c.facing << " " << c.x << " " << c.scroll;
        EXPECT_EQ(run.player.scrollX, c.wantScroll) << c.facing << " " << c.x << " " << c.scroll;
    }
    // A wall ahead undoes the step.
    AttackRun run(2, 2);
    run.player.x = 100;
    run.player.scrollX = 0;
    run.player.mapY = 128;
    run.Wall(3, 2);
    run.Wall(3, 3);
    MovePlayerAlongFacing(&run.player, 10, run.ground);
    const double blockedAt = run.player.x;
    for (int i = 0; i < 10; ++i) MovePlayerAlongFacing(&run.player, 10, run.ground);
    EXPECT_EQ(run.player.x, blockedAt);
    EXPECT_LT(blockedAt, 192 - 34);
}

TEST(PlayerAttackTest, ThrustNeedsADollAndEndsAfterFrameTwenty) {
    AttackRun none(1);
    none.throwCount = 0;
    none.Press();
    EXPECT_EQ(none.player.state, kPlayerStanding);
    EXPECT_EQ(none.throwCount, 0);

    AttackRun run(1);
    run.Press();
    EXPECT_EQ(run.player.state, kPlayerAttacking);
    EXPECT_EQ(run.throwCount, kStartDollCount - 1);
    EXPECT_EQ(run.ready, 0);
    while (run.player.state == kPlayerAttacking && run.player.actionFrame < 40) run.Frame();
    EXPECT_EQ(run.player.actionFrame, 22);
    EXPECT_EQ(run.player.state, kPlayerStanding);
}

TEST(PlayerAttackTest, GrabLastsWhileItsStringIsOut) {
    AttackRun run(1);
    run.Press({KEY_UP});
    EXPECT_EQ(run.player.attackKind, kRessaGrab);
    EXPECT_EQ(run.throwCount, kStartDollCount);
    // The string flies while the attack runs; parked, it is let go.
    while (run.player.actionFrame < 25) run.Frame();
    EXPECT_EQ(run.player.state, kPlayerAttacking);
    run.shots[0].state = kShotParked;
    run.Frame();
    EXPECT_EQ(run.shots[0].state, kShotFree);
    EXPECT_EQ(run.player.state, kPlayerStanding);
}

TEST(PlayerAttackTest, ReleasingTheBeamEndsItAndClearsItsShots) {
    AttackRun run(4);
    for (int f = 1; f <= 40; ++f) {
        run.Frame({{ATTACK, f}});
        EXPECT_EQ(run.player.vy, -3);
    }
    ASSERT_EQ(run.Flying(kShotFlame), 1);
    run.shots[1] = run.shots[0];  // a second beam shot is cleared as well
    run.Frame();
    EXPECT_EQ(run.player.state, kPlayerStanding);
    EXPECT_EQ(run.Flying(kShotFlame), 0);
    EXPECT_EQ(run.shots[0].kind, 2);
    EXPECT_EQ(run.shots[0].power, 10);
    EXPECT_EQ(run.ready, 1);
}

TEST(PlayerAttackTest, ReadyComesBackOnlyWithAFreshPress) {
    AttackRun run(4);
    run.Frame({{ATTACK, 1}, {KEY_RIGHT, 1}});
    EXPECT_EQ(run.player.attackKind, kWendrikSpread);
    EXPECT_EQ(run.ready, 0);
    // ATTACK still held when the spread ends: no beam.
    for (int f = 2; f < 10; ++f) run.Frame({{ATTACK, f}});
    run.player.state = kPlayerStanding;
    for (int f = 10; f < 20; ++f) run.Frame({{ATTACK, f}});
    EXPECT_EQ(run.player.state, kPlayerStanding);
    run.Frame();
    EXPECT_EQ(run.ready, 1);
    run.Frame({{ATTACK, 1}});
    EXPECT_EQ(run.player.attackKind, kWendrikBeam);
    EXPECT_EQ(run.player.state, kPlayerAttacking);
}

TEST(PlayerAttackTest, NoAttackStartsInTheBlockedStatesOrWhileDashing) {
    for (int state : {kPlayerLowForm, kPlayerHoverShot, kPlayerKnockedBack, kPlayerThrowing, kPlayerReturning}) {
        AttackRun run(1, 2, 1, state);
        run.Press();
        EXPECT_EQ(run.player.state, state);
        EXPECT_EQ(run.throwCount, kStartDollCount);
    }
    AttackRun dash(2);
    dash.player.dashing = true;
    dash.Press();
    EXPECT_EQ(dash.player.state, kPlayerStanding);
}

TEST(PlayerAttackTest, AFullTableStartsTheAttackButDropsTheShot) {
    AttackRun run(1);
    for (ShotSlot& s : run.shots) {
        s.state = kShotFlying;
        s.kind = kShotGear;
    }
    run.Press();
    EXPECT_EQ(run.player.state, kPlayerAttacking);
    while (run.player.actionFrame <= 12) run.Frame();
    EXPECT_EQ(run.Flying(kShotDoll), 0);
    EXPECT_EQ(run.Flying(kShotGear), kShotTableSize);
}

TEST(PlayerAttackTest, DiveDropsGuardedUntilTheFloor) {
    AttackRun run(3, 2, 1, kPlayerAirborne);
    run.player.mapY = 100;
    // A floor row at map y 512 under the body.
    for (int c = 0; c < 20; ++c) run.Wall(c, 8);
    run.Press({KEY_DOWN});
    ASSERT_EQ(run.player.attackKind, kTamselDive);
    while (run.player.actionFrame < 24) run.Frame();
    std::vector<double> ys;
    while (run.player.actionFrame < 43) {
        run.Frame();
        ys.push_back(run.player.mapY);
        EXPECT_TRUE(run.player.guarded);
    }
    // 15 a frame until the body stands on the floor: 100 + 15k passes 384 on
    // action frame 42, which jumps the animation on to 43.
    EXPECT_EQ(ys.size(), 19u);
    EXPECT_EQ(ys.front(), 115);
    EXPECT_EQ(run.player.mapY, 512 - 128);
    EXPECT_TRUE(run.frame.onGround);
    EXPECT_EQ(run.player.actionFrame, 44);
    // Standing on the floor at 44 does not send the animation back to 43.
    run.Frame();
    EXPECT_EQ(run.player.actionFrame, 45);
    EXPECT_TRUE(run.player.guarded);
    run.Frame();
    EXPECT_FALSE(run.player.guarded);

    // Its guard ends with the dive however the animation ended it.
    AttackRun cut(3, 2, 1, kPlayerAirborne);
    cut.Press({KEY_DOWN});
    while (cut.player.actionFrame <= 30) cut.Frame();
    ASSERT_TRUE(cut.player.guarded);
    cut.player.state = kPlayerStanding;
    cut.Frame();
    EXPECT_FALSE(cut.player.guarded);
}

}  // namespace
