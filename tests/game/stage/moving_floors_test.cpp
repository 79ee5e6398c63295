#include "game/stage/moving_floors.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "framework/graphics/handles/graphic_creation.h"
#include "game/framework/fps_manager.h"
#include "game/framework/input_manager.h"
#include "game/stage/player_character.h"
#include "game/stage/player_movement.h"
#include "game/stage/side_elevator.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_table.h"
#include "tests/support/game/game_test.h"

namespace {

// A stage in memory stepped in the stage scene's order: horizontal and
// vertical movement, the floors and blocks, then the state rules (which are
// told whether the player stands on an up-down elevator, and whose arrival
// at the restart point puts the floors and blocks back).
struct World {
    int columns;
    int rows;
    std::vector<int> tiles;
    std::vector<int> positions;
    MovingFloor elevators[kMovingFloorCount];
    MovingFloor sinking[kMovingFloorCount];
    std::vector<GimmickBlock> falling = std::vector<GimmickBlock>(kGimmickBlockCount);
    std::vector<GimmickBlock> crumbling = std::vector<GimmickBlock>(kGimmickBlockCount);
    std::vector<CElevatorToSide> sideElevators;
    PlayerRecord player;
    PlayerFrameState frame;
    RestartPoint restart;
    ShotSlot shots[kShotTableSize] = {};
    EffectSlot effects[kEffectTableSize];
    std::vector<int> sounds = std::vector<int>(43, -1);
    std::set<int> held;
    ButtonHeldFrames buttons;

    World(int columnCount, int rowCount)
        : columns(columnCount), rows(rowCount), tiles(columnCount * rowCount, 0), positions(2 * kStagePlaneSize, -1) {
        TileIndexWidth = columns;
        MapColumns = columns;
        for (MovingFloor& floor : elevators) ResetElevator(&floor);
        for (MovingFloor& floor : sinking) ResetSinkingFloor(&floor);
        MakeFallingBlockTable(falling.data());
        MakeCrumblingBlockTable(crumbling.data());
        for (EffectSlot& slot : effects) ResetEffect(&slot);
        player.x = 100;
        frame.jumpCount = 1;
    }
    void Set(int column, int row, int kind) { tiles[column + row * columns] = kind; }
    void BuildPlanes() {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                positions[c + r * columns] = c * 64 - static_cast<int>(player.scrollX);
                positions[kStagePlaneSize + c + r * columns] = r * 64;
            }
        }
    }
    // The player standing at map y with the view following it.
    void StandAt(double mapY) {
        player.mapY = mapY;
        FollowPlayerVertically(&player, rows);
    }
    // A floor on its cell as the tile drawing places it.
    void Place(MovingFloor* floor, int screenX, int mapY) {
        PlaceMovingFloor(floor, screenX, mapY - static_cast<int>(player.scrollY), screenX, mapY);
    }
    void Place(GimmickBlock* block, int screenX, int mapY) {
        PlaceBlock(block, screenX, mapY - static_cast<int>(player.scrollY), screenX, mapY);
    }
    GimmickMap Map() const { return {tiles.data(), positions.data(), columns, rows}; }
    void Step() {
        for (int bit : {JUMP, KEY_RIGHT, KEY_LEFT}) buttons[bit] = held.count(bit) ? buttons[bit] + 1 : 0;
        BuildPlanes();
        player.previousX = player.x;
        player.previousScrollX = player.scrollX;
        player.previousScrollY = player.scrollY;
        frame.onGround = false;
        frame.blocked = false;
        int hitPoints = player.hitPoints;
        int state = player.state;
        PlayerGround ground;
        ground.tiles = tiles.data();
        ground.positions = positions.data();
        ground.columns = columns;
        ground.rows = rows;
        ground.movingFloors[0] = elevators;
        ground.movingFloors[1] = sinking;
        ground.blockTables[0] = falling.data();
        ground.blockTables[1] = crumbling.data();
        ground.sideElevators = sideElevators.data();
        ground.sideElevatorCount = static_cast<int>(sideElevators.size());
        for (CElevatorToSide& elevator : sideElevators) elevator.Update();
        MovePlayerHorizontal(&player, buttons, ground, restart, &frame, effects, sounds.data());
        MovePlayerVertical(&player, buttons, ground, restart, &frame, effects, sounds.data());

        GimmickScroll scroll{player.scrollX - player.previousScrollX, player.scrollY - player.previousScrollY,
                             player.scrollY};
        for (MovingFloor& floor : elevators) UpdateMovingFloors(&floor, &player.mapY, scroll);
        for (MovingFloor& floor : sinking) UpdateMovingFloors(&floor, &player.mapY, scroll);
        GimmickBlockTables tables{falling.data(), crumbling.data()};
        for (int i = 0; i < kGimmickBlockCount; ++i) {
            UpdateFallingBlock(&falling[i], scroll, Map(), tables, &player, state, shots, effects, sounds.data());
            UpdateCrumblingBlock(&crumbling[i], scroll, effects, sounds.data());
        }

        PlayerStateInputs inputs;
        inputs.hitPointsAtStart = hitPoints;
        inputs.stateAtStart = state;
        inputs.onUpDownElevator = StandsOnUpDownElevator(elevators);
        inputs.frame = &frame;
        inputs.restart = &restart;
        inputs.playerShots = shots;
        if (ResolvePlayerState(&player, inputs, effects, sounds.data())) {
            ResetUsedSinkingFloors(sinking);
            ResetBlocksAtRestart(falling.data(), crumbling.data());
        }
    }
    int CountEffects(int kind) const {
        int count = 0;
        for (const EffectSlot& slot : effects) {
            if (slot.x != -1 && slot.y != -1 && slot.kind == kind) ++count;
        }
        return count;
    }
};

TEST(MovingFloorTest, StartValuesOfTheTwoTables) {
    MovingFloor elevator;
    MovingFloor floor;
    ResetElevator(&elevator);
    ResetSinkingFloor(&floor);
    EXPECT_TRUE(IsUpDownElevator(elevator));
    EXPECT_TRUE(IsSinkingFloor(floor));
    EXPECT_EQ(elevator.kindName, "\x8f\xe3\x89\xba\x83\x47\x83\x8c\x83\x78\x81\x5b\x83\x5e\x81\x5b");
    EXPECT_EQ(floor.kindName, "\x92\xbe\x82\xde\x8f\xb0");
    EXPECT_EQ(elevator.direction, kFloorRising);
    EXPECT_EQ(floor.direction, kFloorSinking);
    EXPECT_EQ(elevator.width, 448);
    EXPECT_EQ(elevator.height, 64);
    EXPECT_EQ(floor.width, 64);
    EXPECT_EQ(floor.height, 256);
    EXPECT_EQ(elevator.range, 1728);
    EXPECT_EQ(floor.range, 192);
    EXPECT_EQ(elevator.x, kNoObject);
    EXPECT_EQ(elevator.homeY, kNoObject);
    EXPECT_FALSE(elevator.active);
}

TEST(MovingFloorTest, ElevatorCarriesTheStandingPlayerOnePixelAFrameAndTurnsAtBothEnds) {
    World world(20, 60);
    const int home = 3008;  // at most 4000: the range is 2560
    world.StandAt(home - 128);
    world.Place(&world.elevators[0], 0, home);
    std::vector<int> turns;
    int previousDirection = world.elevators[0].direction;
    int highest = home;
    int lowest = home;
    for (int frame = 1; frame <= 5200; ++frame) {
        int before = world.elevators[0].mapY;
        world.Step();
        const MovingFloor& elevator = world.elevators[0];
        ASSERT_TRUE(elevator.active) << frame;
        ASSERT_LE(std::abs(elevator.mapY - before), 1) << frame;
        ASSERT_EQ(world.player.mapY, elevator.mapY - 128) << frame;
        ASSERT_EQ(elevator.y, elevator.mapY - static_cast<int>(world.player.scrollY)) << frame;
        ASSERT_NE(world.player.state, kPlayerAirborne) << frame;
        highest = std::min(highest, elevator.mapY);
        lowest = std::max(lowest, elevator.mapY);
        if (elevator.direction != previousDirection) {
            turns.push_back(frame);
            EXPECT_EQ(elevator.mapY, before) << "a turning frame does not move";
            previousDirection = elevator.direction;
        }
    }
    EXPECT_EQ(world.elevators[0].range, 2560);
    // Up to one pixel past home - range, back down to one past home.
    EXPECT_EQ(highest, home - 2560 - 1);
    EXPECT_EQ(lowest, home + 1);
    EXPECT_EQ(turns, (std::vector<int>{2562, 5125}));
}

TEST(MovingFloorTest, ElevatorRangeFollowsItsHome) {
    MovingFloor low;
    MovingFloor high;
    ResetElevator(&low);
    ResetElevator(&high);
    PlaceMovingFloor(&low, 0, 0, 0, 4000);
    PlaceMovingFloor(&high, 0, 0, 0, 4064);
    double mapY = 0;
    UpdateMovingFloors(&low, &mapY, {});
    UpdateMovingFloors(&high, &mapY, {});
    EXPECT_EQ(low.range, 2560);
    EXPECT_EQ(high.range, 1728);
}

TEST(MovingFloorTest, SinkingFloorSinksUnderThePlayerAndClimbsBackWhenLeft) {
    World world(20, 20);
    const int home = 640;
    world.StandAt(home - 128);
    world.Place(&world.sinking[0], 80, home);
    // Stood on: 3 pixels a frame with the player on it.
    for (int frame = 1; frame <= 20; ++frame) {
        world.Step();
        ASSERT_EQ(world.sinking[0].mapY, home + 3 * frame) << frame;
        ASSERT_EQ(world.player.mapY, world.sinking[0].mapY - 128) << frame;
        ASSERT_EQ(world.player.state, kPlayerStanding) << frame;
    }
    EXPECT_EQ(world.sinking[0].direction, kFloorSinking);
    // Its range is recomputed from its home like an elevator's.
    EXPECT_EQ(world.sinking[0].range, 2560);

    // Lifted off it, the floor climbs back 3 pixels a frame and stops at home.
    world.player.x = 400;
    world.player.mapY = 0;
    std::vector<int> climb;
    for (int frame = 1; frame <= 30; ++frame) {
        world.Step();
        climb.push_back(world.sinking[0].mapY);
    }
    EXPECT_EQ(climb[0], home + 57);
    EXPECT_EQ(climb[18], home + 3);
    EXPECT_EQ(climb[19], home);
    EXPECT_EQ(climb[29], home);
    EXPECT_EQ(world.sinking[0].direction, kFloorRising);
}

TEST(MovingFloorTest, SinkingFloorStopsPastHomePlusItsRange) {
    MovingFloor floor;
    ResetSinkingFloor(&floor);
    PlaceMovingFloor(&floor, 0, 300, 0, 4064);  // home above 4000: range 1728
    floor.mapY = 4064 + 1728 - 1;
    floor.stoodOn = true;
    double playerMapY = 0;
    UpdateMovingFloors(&floor, &playerMapY, {});
    EXPECT_EQ(floor.mapY, 4064 + 1728 + 2);
    EXPECT_EQ(playerMapY, 4064 + 1728 - 1 - 125);
    UpdateMovingFloors(&floor, &playerMapY, {});
    EXPECT_EQ(floor.mapY, 4064 + 1728 + 2);
}

TEST(MovingFloorTest, FloorPushedOutOfTheAreaIsResetAndStaysInactive) {
    struct Case {
        int x;
        int y;
        double stepX;
        double stepY;
        bool reset;
    };
    const Case cases[] = {
        {-390, 100, 5, 0, false},  // -395: still inside
        {-398, 100, 5, 0, true},   // -403
        {1036, 100, -5, 0, true},  // 1041
        {100, -395, 0, 10, true},  // y -405
        {100, 875, 0, -10, true},  // y 885
        {100, 870, 0, -10, false}, // y 880
    };
    for (const Case& c : cases) {
        for (bool elevator : {true, false}) {
            MovingFloor floor;
            elevator ? ResetElevator(&floor) : ResetSinkingFloor(&floor);
            PlaceMovingFloor(&floor, c.x, c.y, 0, 1000);
            double mapY = 0;
            GimmickScroll scroll{c.stepX, c.stepY, 0};
            UpdateMovingFloors(&floor, &mapY, scroll);
            EXPECT_EQ(!floor.active, c.reset) << c.x << "," << c.y;
            if (!c.reset) continue;
            EXPECT_EQ(floor.x, kNoObject);
            EXPECT_EQ(elevator, IsUpDownElevator(floor));
            UpdateMovingFloors(&floor, &mapY, {});
            EXPECT_FALSE(floor.active);
            EXPECT_EQ(floor.x, kNoObject);
        }
    }
}

TEST(MovingFloorTest, HitTestOfTheBodyAgainstAFloor) {
    struct Case {
        int floorX;
        int floorTop;
        int x;
        int y;
        int state;
        bool hit;
    };
    const Case cases[] = {
        {200, 500, 100, 420, kPlayerStanding, true},   // top at y + 80
        {227, 500, 100, 420, kPlayerStanding, true},   // floor x = x + 127
        {228, 500, 100, 420, kPlayerStanding, false},  // floor x = x + 128
        {164, 500, 100, 420, kPlayerLowForm, false},   // the low body is 64 wide
        {163, 500, 100, 420, kPlayerLowForm, true},
        {37, 500, 100, 420, kPlayerStanding, true},    // floor x + 64 = x + 1
        {36, 500, 100, 420, kPlayerStanding, false},   // floor x + 64 = x
        {200, 452, 100, 420, kPlayerStanding, false},  // top = y + 32
        {200, 453, 100, 420, kPlayerStanding, true},
        {200, 516, 100, 420, kPlayerStanding, true},   // top = y + 96
        {200, 517, 100, 420, kPlayerStanding, false},
    };
    for (const Case& c : cases) {
        MovingFloor floor;
        ResetSinkingFloor(&floor);
        PlaceMovingFloor(&floor, c.floorX, c.floorTop, 0, c.floorTop);
        EXPECT_EQ(HitTestMovingFloor(floor, c.x, c.y, c.state), c.hit) << c.floorX << " " << c.floorTop;
    }
    MovingFloor absent;
    ResetSinkingFloor(&absent);
    EXPECT_FALSE(HitTestMovingFloor(absent, kNoObject, kNoObject - 40, kPlayerStanding));
}

TEST(MovingFloorTest, WalkingIntoASinkingFloorIsBlocked) {
    World world(20, 12);
    for (int c = 0; c < 20; ++c) world.Set(c, 10, 1);
    world.StandAt(640 - 128);
    world.Place(&world.sinking[0], 260, 560);  // its top 48 below the body's top
    world.held.insert(KEY_RIGHT);
    for (int i = 0; i < 60; ++i) world.Step();
    // 100 + 5n stops at the last x whose 128-wide body clears x 260.
    EXPECT_EQ(world.player.x, 130);
    EXPECT_TRUE(world.frame.blocked);
}

TEST(MovingFloorTest, HeadBumpUnderASinkingFloorPutsTheBodyBelowItsBottom) {
    World world(20, 20);
    for (int c = 0; c < 20; ++c) world.Set(c, 15, 1);
    world.StandAt(960 - 128);
    world.Place(&world.sinking[0], 110, 500);  // bottom at 756
    world.held.insert(JUMP);
    int highest = 10000;
    for (int i = 0; i < 40; ++i) {
        world.Step();
        highest = std::min(highest, static_cast<int>(world.player.mapY));
    }
    EXPECT_EQ(highest, 756);
}

TEST(MovingFloorTest, TheHigherOfAFloorAndASideElevatorCarriesThePlayer) {
    for (bool sideHigher : {true, false}) {
        World world(20, 20);
        world.StandAt(640);
        world.Place(&world.sinking[0], 120, 800);
        CElevatorToSide side;
        side.x = 60;
        side.y = sideHigher ? 780 : 820;
        side.active = true;
        side.speed = 2.0;
        side.runFrames = 96;
        side.waitFrames = 30;
        world.sideElevators.push_back(side);
        for (int i = 0; i < 10; ++i) world.Step();
        if (sideHigher) {
            // Landed on the 6th frame, carried from the 7th.
            EXPECT_EQ(world.player.platform, &world.sideElevators[0]);
            EXPECT_FALSE(world.sinking[0].stoodOn);
            EXPECT_EQ(world.sinking[0].mapY, 800);
            EXPECT_EQ(world.player.mapY, 780 - 128);
            EXPECT_EQ(world.player.x, 108);
        } else {
            // Landed on the 9th frame and sinking since.
            EXPECT_EQ(world.player.platform, nullptr);
            EXPECT_TRUE(world.sinking[0].stoodOn);
            EXPECT_EQ(world.sinking[0].mapY, 806);
            EXPECT_EQ(world.player.mapY, 806 - 128);
            EXPECT_EQ(world.player.x, 100);
        }
    }
}

TEST(CrumblingBlockTest, BreaksOnTheThirtiethFrameStoodOnAndKeepsTheCountWhenLeft) {
    World world(20, 12);
    for (int c = 0; c < 20; ++c) world.Set(c, 10, 1);
    world.StandAt(512 - 128);
    world.Place(&world.crumbling[0], 100, 512);
    GimmickBlock& block = world.crumbling[0];
    for (int i = 0; i < 10; ++i) world.Step();
    EXPECT_EQ(block.frame, 10);
    EXPECT_TRUE(block.stoodOn);
    // Lifted off it for a while: the count stays.
    world.player.x = 400;
    world.player.mapY = 640 - 128;
    for (int i = 0; i < 15; ++i) world.Step();
    EXPECT_EQ(block.frame, 10);
    EXPECT_FALSE(block.stoodOn);
    EXPECT_EQ(block.kind, kBlockStanding);
    // Back on it: 19 more frames stand, the 20th breaks it.
    world.player.x = 100;
    world.player.mapY = 512 - 128;
    for (int i = 0; i < 19; ++i) world.Step();
    EXPECT_EQ(block.kind, kBlockStanding);
    EXPECT_EQ(world.CountEffects(kEffectDebris), 0);
    world.Step();
    EXPECT_EQ(block.kind, kBlockBreaking);
    EXPECT_FALSE(block.stoodOn);
    EXPECT_EQ(world.CountEffects(kEffectDebris), 1);
    for (const EffectSlot& slot : world.effects) {
        if (slot.kind == kEffectDebris && slot.x != -1) {
            EXPECT_EQ(slot.x, block.x + 32);
            EXPECT_EQ(slot.y, block.y + 32);
        }
    }
    // The player falls through to the floor below.
    for (int i = 0; i < 30; ++i) world.Step();
    EXPECT_EQ(world.player.mapY, 640 - 128);
}

TEST(CrumblingBlockTest, BrokenBlockScrollsAlongUntilItLeavesTheArea) {
    GimmickBlock block;
    PlaceBlock(&block, 900, 200, 900, 200);
    block.kind = kBlockBreaking;
    EffectSlot effects[kEffectTableSize];
    for (EffectSlot& slot : effects) ResetEffect(&slot);
    UpdateCrumblingBlock(&block, {-30, 0, 0}, effects, nullptr);
    EXPECT_EQ(block.x, 930);
    EXPECT_EQ(block.kind, kBlockBreaking);
    UpdateCrumblingBlock(&block, {-20, 0, 0}, effects, nullptr);
    EXPECT_EQ(block.kind, kBlockEmpty);
    EXPECT_EQ(block.x, kNoObject);
    EXPECT_EQ(block.mapY, kNoObject);
    EXPECT_EQ(block.width, 64);
    EXPECT_EQ(block.frame, 0);
}

TEST(FallingBlockTest, FallsFiveAFrameAndRestsOnTilesAndOnBlocks) {
    World world(20, 12);
    for (int c = 0; c < 20; ++c) world.Set(c, 10, 1);  // top 640
    world.player.x = 500;
    world.StandAt(640 - 128);
    world.BuildPlanes();
    world.Place(&world.falling[0], 128, 300);
    world.Place(&world.falling[1], 160, 100);  // overlaps the first by half
    std::vector<int> first;
    for (int i = 0; i < 90; ++i) {
        world.Step();
        first.push_back(world.falling[0].mapY);
    }
    EXPECT_EQ(first[0], 305);
    EXPECT_EQ(first[1], 310);
    EXPECT_EQ(first[55], 640 - 64);
    EXPECT_EQ(first[89], 640 - 64);
    EXPECT_EQ(world.falling[1].mapY, 640 - 128);
    EXPECT_EQ(world.falling[0].y, world.falling[0].mapY - static_cast<int>(world.player.scrollY));
    EXPECT_EQ(world.falling[0].kind, kBlockStanding);
}

TEST(FallingBlockTest, RestsOnTheHighestOfTheFloorsBelowItsCentreOnly) {
    World world(10, 12);
    world.Set(2, 8, 5);    // top 512, a kind it rests on
    world.Set(2, 6, 2);    // not a floor kind
    world.Set(3, 3, 1);    // top 192: above the block's centre line
    world.BuildPlanes();
    GimmickBlock block;
    PlaceBlock(&block, 140, 200, 140, 200);  // spans columns 2 and 3
    GimmickBlockTables tables{world.falling.data(), world.crumbling.data()};
    EXPECT_EQ(FindFallingBlockFloor(block, world.Map(), tables), 512 - 64);
    world.Place(&world.crumbling[5], 150, 384);
    EXPECT_EQ(FindFallingBlockFloor(block, world.Map(), tables), 384 - 64);
    world.crumbling[5].kind = kBlockBreaking;  // only standing blocks hold it
    EXPECT_EQ(FindFallingBlockFloor(block, world.Map(), tables), 512 - 64);
}

TEST(FallingBlockTest, BreaksWhenAPlayerShotHitsItAndEmptiesOffTheArea) {
    World world(20, 12);
    for (int c = 0; c < 20; ++c) world.Set(c, 10, 1);
    world.player.x = 500;
    world.StandAt(640 - 128);
    world.Place(&world.falling[0], 200, 576);
    world.Step();
    ShotSlot& shot = world.shots[0];
    shot.state = 2;
    shot.kind = 4;  // a beam
    shot.x = 180;
    shot.y = world.falling[0].y + 10;
    shot.hitLeft = 0;
    shot.hitTop = 0;
    shot.hitRight = 40;
    shot.hitBottom = 20;
    world.Step();
    EXPECT_EQ(world.falling[0].kind, kBlockBreaking);
    EXPECT_EQ(world.falling[0].frame, 0);
    EXPECT_EQ(world.CountEffects(kEffectBlockHit), 1);
    // Broken, it no longer falls; it empties once it leaves x -200 to 840.
    int y = world.falling[0].mapY;
    shot.state = 0;
    world.Step();
    EXPECT_EQ(world.falling[0].mapY, y);
    EXPECT_EQ(world.falling[0].frame, 1);
    GimmickBlock moved = world.falling[0];
    UpdateFallingBlock(&moved, {-700, 0, 0}, world.Map(), {}, nullptr, 1, nullptr, world.effects, nullptr);
    EXPECT_EQ(moved.kind, kBlockEmpty);
    EXPECT_EQ(moved.x, kNoObject);
}

TEST(GimmickBlockTest, ArrivalAtTheRestartPointPutsFloorsAndBlocksBack) {
    World world(20, 12);
    for (int c = 0; c < 20; ++c) world.Set(c, 10, 1);
    world.StandAt(640 - 128);
    world.restart.player = world.player;
    world.Place(&world.sinking[3], 300, 600);
    world.sinking[3].mapY = 700;
    world.Place(&world.falling[7], 300, 100);
    world.Place(&world.crumbling[2], 400, 400);
    world.crumbling[3].kind = kBlockEmpty;  // crumbled earlier
    world.player.state = kPlayerReturning;
    world.Step();
    EXPECT_NE(world.player.state, kPlayerReturning);
    EXPECT_FALSE(world.sinking[3].active);
    EXPECT_EQ(world.sinking[3].x, kNoObject);
    EXPECT_TRUE(IsSinkingFloor(world.sinking[3]));
    EXPECT_EQ(world.falling[7].kind, kBlockEmpty);
    EXPECT_EQ(world.falling[7].x, kNoObject);
    for (int i : {2, 3}) {
        EXPECT_EQ(world.crumbling[i].kind, kNoObject) << i;
        EXPECT_EQ(world.crumbling[i].x, kNoObject) << i;
    }
}

TEST(DestructionFrontTest, SpeedRisesEveryThreeHundredFramesToEight) {
    DestructionFront front;
    InitDestructionFront(&front, 0);
    EXPECT_EQ(front.speed, 0);
    EXPECT_EQ(front.x, kFrontStartX);
    std::vector<int> speeds;
    int x = front.x;
    for (int frame = 1; frame <= 3000; ++frame) {
        UpdateDestructionFront(&front, {}, {}, nullptr, nullptr);
        speeds.push_back(front.speed);
        ASSERT_EQ(front.x, x + front.speed) << frame;
        x = front.x;
    }
    EXPECT_EQ(speeds[298], 0);
    EXPECT_EQ(speeds[299], 1);
    EXPECT_EQ(speeds[2398], 7);
    EXPECT_EQ(speeds[2399], 8);
    EXPECT_EQ(speeds[2999], 8);
}

TEST(DestructionFrontTest, PlacesDebrisOnWallsInItsSpanEveryTenthFrame) {
    World world(20, 12);
    world.Set(3, 4, 1);   // x 192: inside the span
    world.Set(4, 4, 5);   // not broken by the front
    world.Set(4, 5, 17);  // x 256: the span's right end
    world.Set(5, 5, 28);  // x 320: beyond
    world.Set(2, 8, 1);    // x 128, lower down: inside the band
    world.BuildPlanes();
    DestructionFront front;
    InitDestructionFront(&front, 0);
    front.x = 0;
    EffectSlot effects[kEffectTableSize];
    for (EffectSlot& slot : effects) ResetEffect(&slot);
    std::vector<int> counts;
    for (int frame = 1; frame <= 20; ++frame) {
        UpdateDestructionFront(&front, {}, world.Map(), effects, nullptr);
        int count = 0;
        for (const EffectSlot& slot : effects) {
            if (slot.x == -1 || slot.y == -1) continue;
            ++count;
            EXPECT_EQ(slot.kind, kEffectDebris);
            bool inFirst = slot.x >= 192 && slot.x < 256 && slot.y >= 256 && slot.y < 320;
            bool inSecond = slot.x >= 256 && slot.x < 320 && slot.y >= 320 && slot.y < 384;
            bool inThird = slot.x >= 128 && slot.x < 192 && slot.y >= 512 && slot.y < 576;
            EXPECT_TRUE(inFirst || inSecond || inThird) << slot.x << "," << slot.y;
        }
        counts.push_back(count);
    }
    // Frames 10 and 20 each break the three walls in (0, 256].
    EXPECT_EQ(counts[8], 0);
    EXPECT_EQ(counts[9], 3);
    EXPECT_EQ(counts[19], 6);
}

TEST(DestructionFrontTest, ItsTouchIsTheObjectBoxOverlap) {
    DestructionFront front;
    InitDestructionFront(&front, 100);
    front.x = 0;
    // The body box 50..73 wide: its left must lie before the front's right edge.
    EXPECT_TRUE(HitTestDestructionFront(front, kFrontWidth - 51, 200, 50, 40, 73, 110));
    EXPECT_FALSE(HitTestDestructionFront(front, kFrontWidth - 50, 200, 50, 40, 73, 110));
    // Its box reaches 64 above its y.
    EXPECT_TRUE(HitTestDestructionFront(front, 10, 100 - 64 - 110, 50, 40, 73, 110));
    EXPECT_FALSE(HitTestDestructionFront(front, 10, 100 - 64 - 111, 50, 40, 73, 110));
}

TEST(DestructionFrontTest, ItsTouchIsFatalUnlessThePlayerIsAlreadyHit) {
    DestructionFront front;
    InitDestructionFront(&front, 100);
    front.x = 0;
    struct Case {
        double x;
        bool damaged;
        bool touched;
    };
    const Case cases[] = {{150, false, true}, {150, true, false}, {300, false, false}};
    for (const Case& c : cases) {
        PlayerRecord player;
        player.x = c.x;
        player.screenY = 200;
        player.damaged = c.damaged;
        EXPECT_EQ(HurtByDestructionFront(front, &player, nullptr), c.touched) << c.x;
        EXPECT_EQ(player.hitPoints, c.touched ? 0 : 100);
        EXPECT_EQ(player.state, c.touched ? kPlayerDead : kPlayerStanding);
    }
}

class GimmickDrawTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        images_.assign(kStageImageTableSize, -1);
        Picture(StageImage::kElevator, "elevator.png");
        Picture(StageImage::kSinkingFloor, "sinking.png");
        Picture(StageImage::kCrumblingBlock, "falling.png");
        Picture(701, "crumbling.png");
        for (int i = 0; i < 12; ++i) {
            Picture(StageImage::kBlockBreak + i, "break" + std::to_string(i) + ".png");
            Picture(StageImage::kDestructionFront + i, "front" + std::to_string(i) + ".png");
        }
    }
    void Picture(int index, const std::string& file) {
        WritePicture("pic\\" + file, 16, 16, 0x808080);
        images_[index] = LoadGraphicFile(("pic\\" + file).c_str(), 1, 0, 0);
        ASSERT_NE(images_[index], -1);
    }
    // What was drawn since the last call.
    std::vector<std::string> Drawn() {
        Manager::CFPSManager::GetInstance()->Update();
        std::vector<std::string> lines;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(FramesEnded())) lines.push_back(gametest::Describe(draw));
        return lines;
    }
    std::vector<int> images_;
};

TEST_F(GimmickDrawTest, FloorsBlocksAndTheFrontDrawTheirPictures) {
    MovingFloor elevator;
    MovingFloor sinking;
    ResetElevator(&elevator);
    ResetSinkingFloor(&sinking);
    DrawMovingFloor(elevator, images_.data());
    DrawMovingFloor(sinking, images_.data());
    EXPECT_EQ(Drawn(), std::vector<std::string>{}) << "inactive floors draw nothing";
    PlaceMovingFloor(&elevator, 100, 200, 0, 0);
    PlaceMovingFloor(&sinking, 300, 200, 0, 0);
    DrawMovingFloor(elevator, images_.data());
    DrawMovingFloor(sinking, images_.data());
    EXPECT_EQ(Drawn(), (std::vector<std::string>{
                           "DrawGraphicAtPoint elevator.png 100,200 trans 1 blend 0/0 bright 255,255,255",
                           "DrawGraphicAtPoint sinking.png 300,184 trans 1 blend 0/0 bright 255,255,255"}));

    GimmickBlock block;
    PlaceBlock(&block, 50, 60, 0, 0);
    DrawFallingBlock(block, images_.data());
    DrawCrumblingBlock(block, images_.data());
    block.kind = kBlockBreaking;
    block.frame = 14;
    DrawFallingBlock(block, images_.data());
    DrawCrumblingBlock(block, images_.data());
    block.frame = 60;  // the break is over
    DrawFallingBlock(block, images_.data());
    EXPECT_EQ(Drawn(), (std::vector<std::string>{
                           "DrawGraphicAtPoint falling.png 50,60 trans 1 blend 0/0 bright 255,255,255",
                           "DrawGraphicAtPoint crumbling.png 50,28 trans 1 blend 0/0 bright 255,255,255",
                           "DrawGraphicStretched break2.png -14,60 115,125 trans 1 blend 2/255 bright 255,255,255"}));

    // The break's additive blending is put back to normal.
    DestructionFront front;
    InitDestructionFront(&front, 300);
    front.frame = 59;
    DrawDestructionFront(front, images_.data());
    EXPECT_EQ(Drawn(), (std::vector<std::string>{
                           "DrawGraphicAtPoint front11.png -256,236 trans 1 blend 0/255 bright 255,255,255"}));
}

}  // namespace
