// Moving the player once per frame: walking with the scroll, walls and the
// platforms that push (horizontal), then gravity, ceilings, floors, landing
// damage and jumping (vertical). Positions are doubles; every tile and box
// test reads them truncated toward zero.
#pragma once

#include "game/stage/moving_floors.h"
#include "game/stage/player_character.h"

class CElevatorToSide;

// What the player moves against.
struct PlayerGround {
    const int* tiles = nullptr;      // tile-kind grid
    const int* positions = nullptr;  // x plane then y plane, kStagePlaneSize each
    int columns = 0;
    int rows = 0;
    CElevatorToSide* sideElevators = nullptr;  // the placed side elevators
    int sideElevatorCount = 0;
    double verticalBase = 0.0;  // StageVerticalBase of the stage
    // The up-down elevators and the sinking floors (kMovingFloorCount each),
    // and the falling and crumbling blocks (kGimmickBlockCount each); null
    // where the stage has none.
    MovingFloor* movingFloors[2] = {};
    GimmickBlock* blockTables[2] = {};
};

// The horizontal scroll runs from 0 to this: (MapColumns - 10) * 64.
double HorizontalScrollLimit();

// The stage's vertical base: the map y of the view's top edge when the stage
// starts, (view row - 4) * 64. Scroll y is the map y of the view's top edge,
// y rel the map y less this base.
double StageVerticalBase(int viewRow);

// The view follows the player up and down so that the body's top stays
// between these screen rows, within the map.
constexpr double kViewBandTop = 96.0;
constexpr double kViewBandBottom = 256.0;
constexpr double kScreenHeight = 480.0;
// Moves scroll y so the body's screen y lies in the band, clamps it to the
// map (rows of 64 pixels), and sets screen y.
void FollowPlayerVertically(PlayerRecord* player, int rows);

void MovePlayerHorizontal(PlayerRecord* player, const ButtonHeldFrames& buttons, const PlayerGround& ground,
                          const RestartPoint& restart, PlayerFrameState* frame, EffectSlot* effects,
                          const int* sounds);
void MovePlayerVertical(PlayerRecord* player, const ButtonHeldFrames& buttons, const PlayerGround& ground,
                        const RestartPoint& restart, PlayerFrameState* frame, EffectSlot* effects, const int* sounds);
