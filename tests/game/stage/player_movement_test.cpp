#include "game/stage/player_movement.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "game/framework/input_manager.h"
#include "game/stage/side_elevator.h"
#include "game/stage/stage_table.h"

namespace {

// A stage in memory, stepped frame by frame in the stage scene's order: the
// side elevators, horizontal movement, vertical movement, the state rules,
// then the animation's advance of the action frame.
struct World {
    int columns;
    int rows;
    std::vector<int> tiles;
    std::vector<int> positions;
    std::vector<CElevatorToSide> elevators;
    PlayerRecord player;
    PlayerFrameState frame;
    RestartPoint restart;
    ShotSlot shots[kShotTableSize] = {};
    EffectSlot effects[kEffectTableSize];
    std::vector<int> sounds = std::vector<int>(43, -1);
    std::set<int> held;
    ButtonHeldFrames buttons;
    bool advanceActionFrame = true;
    bool arrived = false;

    // A floor of the kind along row 8 (top 512); the player stands on it at x 100.
    World(int columnCount = 30, int rowCount = 10, int floorKind = 1)
        : columns(columnCount), rows(rowCount), tiles(columnCount * rowCount, 0),
          positions(2 * kStagePlaneSize, -1) {
        TileIndexWidth = columns;
        MapColumns = columns;
        for (int c = 0; c < columns; ++c) Set(c, 8, floorKind);
        for (EffectSlot& slot : effects) ResetEffect(&slot);
        player.x = 100;
        player.mapY = 384;
        frame.jumpCount = 1;
    }
    void Set(int column, int row, int kind) { tiles[column + row * columns] = kind; }
    void BuildPlanes() {
        std::fill(positions.begin(), positions.end(), -1);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                positions[c + r * columns] = c * 64 - static_cast<int>(player.scrollX);
                positions[kStagePlaneSize + c + r * columns] = r * 64;
            }
        }
    }
    PlayerGround Ground() {
        PlayerGround ground;
        ground.tiles = tiles.data();
        ground.positions = positions.data();
        ground.columns = columns;
        ground.rows = rows;
        ground.sideElevators = elevators.data();
        ground.sideElevatorCount = static_cast<int>(elevators.size());
        ground.verticalBase = 64;
        return ground;
    }
    void Hold(int bit) { held.insert(bit); }
    void Release(int bit) { held.erase(bit); }
    void Step() {
        for (int bit : {JUMP, KEY_RIGHT, KEY_LEFT, KEY_UP, KEY_DOWN}) {
            buttons[bit] = held.count(bit) ? buttons[bit] + 1 : 0;
        }
        BuildPlanes();
        player.previousX = player.x;
        player.previousYRel = player.yRel;
        player.previousScrollX = player.scrollX;
        player.previousScrollY = player.scrollY;
        frame.onGround = false;
        frame.blocked = false;
        int hitPoints = player.hitPoints;
        int state = player.state;
        for (CElevatorToSide& elevator : elevators) elevator.Update();
        PlayerGround ground = Ground();
        MovePlayerHorizontal(&player, buttons, ground, restart, &frame, effects, sounds.data());
        MovePlayerVertical(&player, buttons, ground, restart, &frame, effects, sounds.data());
        PlayerStateInputs inputs;
        inputs.hitPointsAtStart = hitPoints;
        inputs.stateAtStart = state;
        inputs.scrollStepX = player.scrollX - player.previousScrollX;
        inputs.scrollStepY = player.scrollY - player.previousScrollY;
        inputs.frame = &frame;
        inputs.restart = &restart;
        inputs.playerShots = shots;
        arrived = ResolvePlayerState(&player, inputs, effects, sounds.data());
        if (advanceActionFrame) player.actionFrame += 1;
    }
    void Steps(int count) {
        for (int i = 0; i < count; ++i) Step();
    }
    int CountEffects(int kind) const {
        int count = 0;
        for (const EffectSlot& slot : effects) {
            if (slot.x != -1 && slot.y != -1 && slot.kind == kind) ++count;
        }
        return count;
    }
};

TEST(PlayerJumpTest, HeldJumpRisesByOneLessEachFrameAndLandsExactly) {
    World world;
    world.Hold(JUMP);
    std::vector<double> speeds;
    double highest = world.player.mapY;
    for (int i = 0; i < 6; ++i) {
        world.Step();
        speeds.push_back(world.player.vy);
    }
    EXPECT_EQ(speeds, (std::vector<double>{20, 19, 18, 17, 16, 15}));
    EXPECT_EQ(world.player.state, kPlayerAirborne);
    EXPECT_EQ(world.CountEffects(kEffectJumpDust), 1);
    int frames = 6;
    while (world.player.state != kPlayerStanding && frames < 200) {
        world.Step();
        highest = std::min(highest, world.player.mapY);
        ASSERT_GE(world.player.vy, -15);
        ++frames;
    }
    EXPECT_EQ(highest, 384 - 210);
    EXPECT_EQ(world.player.mapY, 384);
    EXPECT_EQ(world.player.vy, 0);
    EXPECT_TRUE(world.frame.onGround);
    EXPECT_EQ(world.frame.jumpCount, 1);
}

TEST(PlayerJumpTest, ReadsTheInputManagersCounters) {
    Manager::CInputManager* input = Manager::CInputManager::GetInstance();
    World world;
    world.BuildPlanes();
    PlayerGround ground = world.Ground();
    input->heldFrames[JUMP] = 2;  // held on, not pressed this frame
    MovePlayerVertical(&world.player, input->heldFrames, ground, world.restart, &world.frame, world.effects,
                       world.sounds.data());
    EXPECT_EQ(world.player.vy, 0);
    input->heldFrames[JUMP] = 1;
    MovePlayerVertical(&world.player, input->heldFrames, ground, world.restart, &world.frame, world.effects,
                       world.sounds.data());
    EXPECT_EQ(world.player.vy, 20);
    input->heldFrames[JUMP] = 0;
}

TEST(PlayerJumpTest, FallReachesTerminalSpeedAndStays) {
    World world(30, 40);
    world.player.mapY = 0;
    world.player.state = kPlayerAirborne;
    world.tiles.assign(world.tiles.size(), 0);
    world.Set(3, 39, 1);
    std::vector<double> speeds;
    for (int i = 0; i < 20; ++i) {
        world.Step();
        speeds.push_back(world.player.vy);
    }
    EXPECT_EQ(speeds[13], -14);
    for (int i = 14; i < 20; ++i) EXPECT_EQ(speeds[i], -15) << i;
}

// The animation advances the action frame after the state rules; a jump from
// the ground is still "standing" on the frame after the press, so its cut
// starts at action frame 2.
TEST(PlayerJumpTest, ReleasingJumpCutsTheRise) {
    struct CutCase {
        bool fromTheAir;
        int releaseFrame;            // first frame with JUMP up
        std::vector<double> speeds;  // vy from that frame on
    };
    const CutCase cases[] = {
        {true, 2, {14, 12, 10, 8, 6, 3, 2, 1, 0}},
        {false, 2, {19, 12, 10, 8, 6, 3, 2, 1, 0}},
        {false, 4, {10, 8, 6, 3, 2, 1}},
        {false, 6, {6, 3, 2, 1}},
        {false, 8, {11, 8, 5, 2, 1}},
        {false, 17, {4, 3, 2, 1}},
    };
    for (const CutCase& c : cases) {
        World world;
        if (c.fromTheAir) {
            world.player.state = kPlayerAirborne;
            world.player.mapY = 100;
        }
        world.Hold(JUMP);
        world.Steps(c.releaseFrame - 1);
        world.Release(JUMP);
        std::vector<double> speeds;
        for (size_t i = 0; i < c.speeds.size(); ++i) {
            world.Step();
            speeds.push_back(world.player.vy);
        }
        EXPECT_EQ(speeds, c.speeds) << "released on frame " << c.releaseFrame << (c.fromTheAir ? " in the air" : "");
    }
}

TEST(PlayerJumpTest, OneMoreJumpInTheAirThenNone) {
    World world;
    world.Hold(JUMP);
    world.Steps(5);
    world.Release(JUMP);
    world.Step();
    double before = world.player.vy;
    world.Hold(JUMP);
    world.Step();
    EXPECT_EQ(world.player.vy, 20);
    EXPECT_LT(before, 20);
    EXPECT_EQ(world.frame.jumpCount, 0);
    world.Release(JUMP);
    world.Steps(3);
    world.Hold(JUMP);
    world.Step();
    EXPECT_LT(world.player.vy, 20);
}

TEST(PlayerJumpTest, HeadBumpStopsTheBodyJustBelowTheCeiling) {
    World world;
    world.Set(2, 3, 1);  // bottom at 256 over the body's probes
    world.Hold(JUMP);
    const double expected[] = {384, 364, 345, 327, 310, 294, 279, 265, 256};
    for (double mapY : expected) {
        world.Step();
        EXPECT_EQ(world.player.mapY, mapY);
    }
    EXPECT_EQ(world.player.vy, -1);
    double highest = world.player.mapY;
    for (int i = 0; i < 60; ++i) {
        world.Step();
        highest = std::min(highest, world.player.mapY);
    }
    EXPECT_EQ(highest, 256);
    EXPECT_EQ(world.player.mapY, 384);
}

TEST(PlayerWalkTest, RightWithTheScrollUpToTheMapsEnd) {
    World world;
    world.player.x = 250;
    world.Hold(KEY_RIGHT);
    const double xs[] = {255, 260, 256, 256};
    const double scrolls[] = {0, 0, 5, 10};
    for (int i = 0; i < 4; ++i) {
        world.Step();
        EXPECT_EQ(world.player.x, xs[i]) << i;
        EXPECT_EQ(world.player.scrollX, scrolls[i]) << i;
        EXPECT_EQ(world.player.state, kPlayerWalking) << i;
    }
    EXPECT_EQ(world.CountEffects(kEffectDash), 1);
    // (30 - 10) * 64 = 1280; the scroll gets there in steps of 5.
    while (world.player.scrollX < 1280) {
        world.Step();
        ASSERT_EQ(world.player.x, 256);
    }
    EXPECT_EQ(world.player.scrollX, 1280);
    world.Step();
    EXPECT_EQ(world.player.x, 261);
    EXPECT_EQ(world.player.scrollX, 1280);
    world.Steps(60);
    EXPECT_EQ(world.player.x, 512);
    EXPECT_EQ(world.player.scrollX, 1280);
}

TEST(PlayerWalkTest, LeftKeepsTheBodyAt256UntilTheScrollIsAtZero) {
    World world;
    world.player.x = 256;
    world.player.scrollX = 100;
    world.player.facing = 2;
    world.Hold(KEY_LEFT);
    for (int i = 1; i <= 20; ++i) {
        world.Step();
        ASSERT_EQ(world.player.x, 256);
        ASSERT_EQ(world.player.scrollX, 100 - 5 * i);
    }
    EXPECT_EQ(world.player.facing, 1);
    world.Step();
    EXPECT_EQ(world.player.x, 251);
    EXPECT_EQ(world.player.scrollX, 0);
    world.Steps(60);
    EXPECT_EQ(world.player.x, 0);
}

TEST(PlayerWalkTest, BothKeysHeldStandStill) {
    World world;
    world.Hold(KEY_LEFT);
    world.Hold(KEY_RIGHT);
    world.Steps(3);
    EXPECT_EQ(world.player.x, 100);
    EXPECT_EQ(world.player.state, kPlayerStanding);
    EXPECT_EQ(world.player.facing, 1);
}

TEST(PlayerWalkTest, WallsUndoTheStep) {
    World right;
    right.Set(4, 6, 1);
    right.Set(4, 7, 1);  // tx 256 beside the body
    right.player.x = 150;
    right.Hold(KEY_RIGHT);
    right.Step();
    EXPECT_EQ(right.player.x, 155);
    right.Step();
    EXPECT_EQ(right.player.x, 155);
    EXPECT_TRUE(right.frame.blocked);
    EXPECT_EQ(right.player.state, kPlayerStanding);

    World left;
    left.Set(0, 6, 1);
    left.Set(0, 7, 1);
    left.player.x = 45;
    left.Hold(KEY_LEFT);
    left.Steps(2);
    EXPECT_EQ(left.player.x, 35);
    EXPECT_FALSE(left.frame.blocked);
    left.Step();
    EXPECT_EQ(left.player.x, 35);
    EXPECT_TRUE(left.frame.blocked);
}

TEST(PlayerWalkTest, DashRunsRightAt13WhateverIsHeld) {
    World world;
    world.player.dashing = true;
    world.player.facing = 1;
    world.Hold(KEY_LEFT);
    world.Step();
    EXPECT_EQ(world.player.x, 113);
    EXPECT_EQ(world.player.facing, 2);
    EXPECT_TRUE(world.player.guarded);
    EXPECT_EQ(world.CountEffects(kEffectDash), 1);
}

TEST(PlayerWallSlideTest, CharacterTwoSlidesAndJumpsOffTheWall) {
    World world;
    for (int r = 0; r < 8; ++r) world.Set(4, r, 1);  // a wall at tx 256
    world.player.character = 2;
    world.player.x = 155;
    world.player.mapY = 100;
    world.player.state = kPlayerAirborne;
    world.Hold(KEY_RIGHT);
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerWallSlide);
    EXPECT_EQ(world.player.x, 155);
    world.Step();
    EXPECT_EQ(world.player.mapY, 101);
    EXPECT_EQ(world.player.vy, -3);
    for (int i = 0; i < 14; ++i) {
        double before = world.player.mapY;
        world.Step();
        ASSERT_EQ(world.player.mapY, before + 3);
        ASSERT_EQ(world.player.state, kPlayerWallSlide);
    }
    // Action frame 15 places the slide's dust ahead of the body.
    EXPECT_EQ(world.CountEffects(kEffectWallSlide), 1);

    world.Hold(JUMP);
    world.Step();
    EXPECT_EQ(world.player.vy, 15);
    EXPECT_EQ(world.player.state, kPlayerAirborne);
    double before = world.player.mapY;
    world.Step();
    EXPECT_EQ(world.player.mapY, before - 15);
}

TEST(PlayerWallSlideTest, OtherCharactersJustFall) {
    World world;
    for (int r = 0; r < 8; ++r) world.Set(4, r, 1);
    world.player.character = 3;
    world.player.x = 155;
    world.player.mapY = 100;
    world.player.state = kPlayerAirborne;
    world.Hold(KEY_RIGHT);
    world.Steps(5);
    EXPECT_EQ(world.player.state, kPlayerAirborne);
    EXPECT_EQ(world.player.vy, -5);
}

TEST(PlayerLowFormTest, HoldingJumpShrinksCharacterOneWhoPassesUnderLowBlocks) {
    World world;
    world.frame.jumpCount = 0;  // a press that cannot jump
    world.Set(4, 6, 1);         // a block over the lower half's passage: tx 256, rows 384 to 448
    world.Hold(JUMP);
    world.Steps(60);
    EXPECT_EQ(world.player.state, kPlayerStanding);
    world.Step();
    ASSERT_EQ(world.player.state, kPlayerLowForm);
    EXPECT_EQ(world.player.hitTop, 80);
    world.Release(JUMP);

    world.Hold(KEY_RIGHT);
    for (int i = 0; i < 30; ++i) {
        world.Step();
        ASSERT_FALSE(world.frame.blocked) << i;
        ASSERT_EQ(world.player.state, kPlayerLowForm) << i;
    }
    EXPECT_EQ(world.player.x, 250);
    world.Release(KEY_RIGHT);

    // Under the block there is no room to stand.
    world.Hold(JUMP);
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerLowForm);
    world.Release(JUMP);
    world.Step();

    // Clear of it the press stands the player up.
    world.player.x = 20;
    world.Hold(JUMP);
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerStanding);
    EXPECT_EQ(world.player.hitTop, 40);
    EXPECT_EQ(world.player.vy, 0);
}

TEST(PlayerLowFormTest, TheFullBodyIsBlockedWhereTheLowOneIsNot) {
    World world;
    world.Set(4, 6, 1);
    world.player.x = 150;
    world.Hold(KEY_RIGHT);
    world.Steps(5);
    EXPECT_EQ(world.player.x, 155);
    EXPECT_TRUE(world.frame.blocked);
}

TEST(PlayerHoverTest, CharacterThreeHangsAndMovesUpAndDown) {
    World world;
    world.player.character = 3;
    world.player.state = kPlayerHovering;
    world.player.mapY = 200;
    world.Steps(5);
    EXPECT_EQ(world.player.mapY, 200);
    EXPECT_EQ(world.player.vy, 0);
    EXPECT_EQ(world.player.state, kPlayerHovering);

    world.Hold(KEY_UP);
    world.Steps(3);
    EXPECT_EQ(world.player.mapY, 188);
    world.Hold(KEY_DOWN);
    world.Steps(3);
    EXPECT_EQ(world.player.mapY, 188);
    world.Release(KEY_UP);
    world.Steps(2);
    EXPECT_EQ(world.player.mapY, 196);
    world.Release(KEY_DOWN);

    world.frame.jumpCount = 0;
    world.Hold(JUMP);
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerAirborne);
    EXPECT_EQ(world.player.vy, 20);
    EXPECT_EQ(world.frame.jumpCount, 1);
}

TEST(PlayerHoverTest, TheDashEndsTheHover) {
    World world;
    world.player.character = 3;
    world.player.state = kPlayerHovering;
    world.player.mapY = 200;
    world.player.dashing = true;
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerStanding);
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerAirborne);
}

TEST(PlayerDamageFloorTest, SpikesHurtOncePerBlink) {
    World world(30, 10, 5);
    world.player.x = 200;
    std::vector<int> hurtFrames;
    for (int frame = 1; frame <= 300; ++frame) {
        int before = world.player.hitPoints;
        world.Step();
        if (world.player.hitPoints < before) hurtFrames.push_back(frame);
    }
    EXPECT_EQ(hurtFrames, (std::vector<int>{1, 122, 243}));
    EXPECT_EQ(world.player.hitPoints, 70);
}

TEST(PlayerDamageFloorTest, KnockBackRisesAndDriftsAwayFromTheFacing) {
    World world(30, 10, 5);
    world.player.x = 200;
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerKnockedBack);
    EXPECT_EQ(world.player.vy, 10);
    world.Step();
    EXPECT_EQ(world.player.x, 197);
    EXPECT_EQ(world.player.mapY, 374);
    world.Steps(18);
    EXPECT_EQ(world.player.state, kPlayerKnockedBack);
    // Action frame 21 ends the knock-back, still in the air; the next frame lands.
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerAirborne);
    world.Step();
    EXPECT_EQ(world.player.state, kPlayerStanding);
    EXPECT_EQ(world.player.mapY, 384);
    EXPECT_EQ(world.player.x, 200 - 3 * 20);
    EXPECT_EQ(world.player.hitPoints, 90);
}

TEST(PlayerDamageFloorTest, GuardedMovesAreSpared) {
    World world(30, 10, 5);
    world.player.x = 20;
    world.player.guarded = true;
    world.player.dashing = true;
    world.Steps(89);
    EXPECT_EQ(world.player.hitPoints, 100);
    world.Steps(2);
    EXPECT_EQ(world.player.hitPoints, 90);
}

TEST(PlayerDamageFloorTest, DeathOnTheFloor) {
    World world(30, 10, 5);
    world.player.hitPoints = 10;
    world.Step();
    EXPECT_EQ(world.player.hitPoints, 0);
    EXPECT_EQ(world.player.state, kPlayerDead);
}

TEST(PlayerRestartTest, ReturnConvergesOnTheRestartPoint) {
    World world;
    world.restart.player.x = 256;
    world.restart.player.scrollX = 200;
    world.restart.player.mapY = 384;
    world.restart.player.scrollY = 120;
    world.player.state = kPlayerReturning;
    world.player.x = 256;
    world.player.scrollX = 900;
    world.player.mapY = 100;
    world.Step();
    EXPECT_EQ(world.player.scrollX, 830);
    EXPECT_EQ(world.player.mapY, 128);
    EXPECT_EQ(world.player.yRel, 128 - 64);
    int frames = 1;
    while (world.player.state == kPlayerReturning && frames < 100) {
        world.Step();
        ++frames;
    }
    EXPECT_TRUE(world.arrived);
    EXPECT_LT(frames, 40);
    EXPECT_EQ(world.player.x, 256);
    EXPECT_EQ(world.player.scrollX, 200);
    EXPECT_EQ(world.player.mapY, 384);
    EXPECT_EQ(world.player.scrollY, 120);
    world.Step();
    EXPECT_FALSE(world.arrived);
}

TEST(PlayerRestartTest, NearTheTargetScrollTheBodyWalksBack) {
    World world;
    world.restart.player.x = 100;
    world.restart.player.scrollX = 0;
    world.restart.player.mapY = 384;
    world.player.state = kPlayerReturning;
    world.player.x = 300;
    world.player.scrollX = 20;
    world.player.mapY = 384;
    world.Hold(KEY_RIGHT);
    world.Step();
    EXPECT_EQ(world.player.scrollX, 0);
    EXPECT_EQ(world.player.x, 280);
    EXPECT_EQ(world.player.state, kPlayerReturning);
    world.Step();
    EXPECT_EQ(world.player.x, 262);
}

TEST(PlayerSideElevatorTest, StandingPlayerIsCarriedExactly) {
    World world;
    CElevatorToSide elevator;
    elevator.x = 100;
    elevator.y = 448;
    elevator.runFrames = kSideElevatorRunFrames;
    elevator.waitFrames = kSideElevatorWaitFrames;
    elevator.speed = kSideElevatorSpeed;
    elevator.active = true;
    world.elevators.push_back(elevator);
    world.player.x = 120;
    world.player.mapY = 320;
    world.Step();
    EXPECT_EQ(world.player.platform, &world.elevators[0]);
    EXPECT_EQ(world.player.x, 120);
    for (int i = 0; i < 200; ++i) {
        world.Step();
        ASSERT_EQ(world.player.scrollX + world.player.x - world.elevators[0].x, 18) << i;
        ASSERT_EQ(world.player.mapY, 320) << i;
        ASSERT_EQ(world.player.state, kPlayerStanding) << i;
        ASSERT_TRUE(world.player.carried || world.elevators[0].waiting) << i;
    }
}

TEST(PlayerSideElevatorTest, RunningIntoTheBodyPushesItButTouchingDoesNot) {
    World world;
    CElevatorToSide elevator;
    elevator.x = 56;
    elevator.y = 416;  // beside the body's lower part, not under it
    elevator.runFrames = 1000;
    elevator.speed = 2.0;
    elevator.active = true;
    world.elevators.push_back(elevator);
    world.player.x = 200;  // hit box 250 to 273
    world.Step();
    EXPECT_EQ(world.elevators[0].x + 192, 250);
    EXPECT_EQ(world.player.x, 200);
    world.Step();
    EXPECT_EQ(world.player.x, 252 - 32);
}

TEST(PlayerSideElevatorTest, PushPastTheMiddleMovesTheScroll) {
    World world;
    CElevatorToSide elevator;
    elevator.x = 500;
    elevator.y = 416;
    world.elevators.push_back(elevator);
    world.player.x = 256;
    world.player.scrollX = 300;  // the platform at screen x 200, spanning 200 to 392
    world.Step();
    // Body left x + 32 to 392: x would be 360, so the scroll takes 104.
    EXPECT_EQ(world.player.x, 256);
    EXPECT_EQ(world.player.scrollX, 404);
}

TEST(PlayerSideElevatorTest, UndersideIsACeiling) {
    World world;
    CElevatorToSide elevator;
    elevator.x = 120;
    elevator.y = 200;  // underside 254
    world.elevators.push_back(elevator);
    world.Hold(JUMP);
    double highest = world.player.mapY;
    for (int i = 0; i < 40; ++i) {
        world.Step();
        highest = std::min(highest, world.player.mapY);
    }
    EXPECT_EQ(highest, 254);
}

struct FollowCase {
    const char* name;
    double mapY;
    double scrollY;
    double expectedScrollY;
};

TEST(FollowPlayerVerticallyTest, KeepsTheBodyInTheBandWithinTheMap) {
    // 20 rows: the view's top runs from 0 to 1280 - 480 = 800.
    const FollowCase cases[] = {
        {"in the band", 500, 300, 300},
        {"band top", 396, 300, 300},
        {"above the band", 395, 300, 299},
        {"band bottom", 556, 300, 300},
        {"below the band", 557, 300, 301},
        {"at the map's top", 50, 300, 0},
        {"at the map's bottom", 1150, 300, 800},
    };
    for (const FollowCase& c : cases) {
        PlayerRecord player;
        player.mapY = c.mapY;
        player.scrollY = c.scrollY;
        FollowPlayerVertically(&player, 20);
        EXPECT_EQ(player.scrollY, c.expectedScrollY) << c.name;
        EXPECT_EQ(player.screenY, c.mapY - c.expectedScrollY) << c.name;
    }
    EXPECT_EQ(StageVerticalBase(9), 320);
    EXPECT_EQ(StageVerticalBase(139), 135 * 64);
}

}  // namespace
