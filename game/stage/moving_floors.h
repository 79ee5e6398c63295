// The ground that moves besides the tile map: up-down elevators and sinking
// floors (two tables of 32 floors each, told apart by their kind name),
// falling and crumbling blocks (two tables of 512 blocks), and stage 302's
// destruction front, which sweeps the map from the left. The stage scene
// places them from the map and steps each once per played frame; the
// player's movement stands on them, bumps into them and marks the one it
// stands on.
//
// Floors, blocks and the front keep screen positions (they follow the scroll
// by this frame's scroll steps) beside their map y, which is what the
// player's map y is tested against.
#pragma once

#include <string>

#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

struct PlayerRecord;

// No object stands here.
constexpr int kNoObject = -100000;

constexpr int kMovingFloorCount = 32;
constexpr int kGimmickBlockCount = 512;

// Kind names of the two floor tables.
extern const char* const kUpDownElevatorName;  // "上下エレベーター"
extern const char* const kSinkingFloorName;     // "沈む床"

enum MovingFloorDirection { kFloorRising = 3, kFloorSinking = 4 };
enum MovingFloorKindCode { kFloorKindElevator = 1, kFloorKindSinking = 3 };

struct MovingFloor {
    bool active = false;
    bool stoodOn = false;  // the player's landing marks it; cleared by each vertical move
    int direction = kFloorRising;
    std::string kindName;
    int startX = kNoObject;  // screen x where it was placed
    int mapX = kNoObject;    // map x of its cell
    int spare = kNoObject;
    int homeY = kNoObject;  // map y of its cell
    int x = kNoObject;      // screen x
    int y = kNoObject;      // screen y
    int mapY = kNoObject;   // the floor's top in map pixels
    int width = 0;
    int height = 0;
    int frame = 0;
    int kindCode = 0;
    int range = 0;
};

// The start values of each table.
void ResetElevator(MovingFloor* floor);
void ResetSinkingFloor(MovingFloor* floor);
bool IsUpDownElevator(const MovingFloor& floor);
bool IsSinkingFloor(const MovingFloor& floor);

// Places a floor on its cell: active, at the cell's screen position, its
// home the cell's map y.
void PlaceMovingFloor(MovingFloor* floor, int screenX, int screenY, int mapX, int mapY);

// Whether the player stands on one of the 32 up-down elevators.
bool StandsOnUpDownElevator(const MovingFloor* elevators);
// Puts every used sinking floor of the table back to its start.
void ResetUsedSinkingFloors(MovingFloor* floors);

// How far the view moved this frame (scroll less its value before the
// player moved), and where the view stands.
struct GimmickScroll {
    double stepX = 0.0;
    double stepY = 0.0;
    double scrollY = 0.0;  // map y of the view's top edge
};

// One floor's step; playerMapY is moved with a floor the player stands on.
void UpdateMovingFloors(MovingFloor* floor, double* playerMapY, const GimmickScroll& scroll);
// The floor stands in the way of a body at screen x and map y (the body is
// 128 wide, 64 in the low form, state 11).
bool HitTestMovingFloor(const MovingFloor& floor, int x, int y, int playerState);
void DrawMovingFloor(const MovingFloor& floor, const int* images);

// The blocks. The stage's first block table holds the falling blocks (tile
// kind 42), whose free entries are empty (101); the second holds the
// crumbling blocks (tile kind 55), created with never-placed entries
// (kNoObject, "-100 or below"), which the tile drawing fills, so a block
// that has crumbled (empty, 101) is not put back while it lasts.
enum GimmickBlockKind { kBlockEmpty = 101, kBlockStanding = 102, kBlockBreaking = 103 };

struct GimmickBlock {
    int kind = kBlockEmpty;
    bool stoodOn = false;
    int x = kNoObject;  // screen
    int y = kNoObject;
    int startX = kNoObject;
    int mapX = kNoObject;
    int mapY = kNoObject;  // top in map pixels
    int width = 64;
    int height = 64;
    int frame = 0;
};

constexpr int kCrumbleFrames = 30;

void MakeFallingBlockTable(GimmickBlock* blocks);    // 512 empty entries
void MakeCrumblingBlockTable(GimmickBlock* blocks);  // 512 never-placed entries
// Empty: kind 101, positions kNoObject, 64 by 64, counter 0.
void EmptyBlock(GimmickBlock* block);
// Places a block standing on its cell.
void PlaceBlock(GimmickBlock* block, int screenX, int screenY, int mapX, int mapY);
// On the player's arrival at the restart point: every falling block that is
// not empty is emptied, and every crumbling block is set back to never
// placed, so that the tile drawing puts both kinds back on their cells.
void ResetBlocksAtRestart(GimmickBlock* falling, GimmickBlock* crumbling);

// What the blocks are tested against.
struct GimmickMap {
    const int* tiles = nullptr;      // tile-kind grid
    const int* positions = nullptr;  // x plane then y plane
    int columns = 0;
    int rows = 0;
};

void UpdateCrumblingBlock(GimmickBlock* block, const GimmickScroll& scroll, EffectSlot* effects, const int* sounds);

// The two block tables, for the falling blocks to rest on.
struct GimmickBlockTables {
    const GimmickBlock* falling = nullptr;
    const GimmickBlock* crumbling = nullptr;
};
// The highest map y the block may stand at (resting on a tile or a standing
// block below its centre line, less its height), or kNoObject with nothing
// under it.
int FindFallingBlockFloor(const GimmickBlock& block, const GimmickMap& map, const GimmickBlockTables& tables);
// A hit of the player's attack breaks a standing falling block; the player
// and its state at the frame's start decide what the attack reaches.
void UpdateFallingBlock(GimmickBlock* block, const GimmickScroll& scroll, const GimmickMap& map,
                        const GimmickBlockTables& tables, const PlayerRecord* player, int stateAtFrameStart,
                        ShotSlot* playerShots, EffectSlot* effects, const int* sounds);
void DrawFallingBlock(const GimmickBlock& block, const int* images);
// The crumbling table's standing block: one picture, 32 pixels above its top.
void DrawCrumblingBlock(const GimmickBlock& block, const int* images);

// Stage 302's destruction front: it waits, then sweeps right ever faster,
// breaking the walls it passes into debris. Its touch is fatal.
struct DestructionFront {
    int x = 0;  // screen
    int y = 0;
    int speed = 0;  // at most kFrontTopSpeed
    int frame = 0;       // animation and debris counter (wraps at 59)
    int speedFrame = 0;  // counts the speed-ups
    int hitLeft = 0;
    int hitTop = 0;
    int hitRight = 0;
    int hitBottom = 0;
};

constexpr int kFrontTopSpeed = 8;
constexpr int kFrontSpeedUpFrames = 300;
// The front's picture, 256 wide and 960 high, drawn from 64 above its y; its
// span over the map is its width.
constexpr int kFrontWidth = 256;
constexpr int kFrontHeight = 960;
// It starts one width left of the view, standing still.
constexpr int kFrontStartX = -kFrontWidth;

// The front's start at screen y (given by the stage scene), standing still.
void InitDestructionFront(DestructionFront* front, int y);
void UpdateDestructionFront(DestructionFront* front, const GimmickScroll& scroll, const GimmickMap& map,
                            EffectSlot* effects, const int* sounds);
void DrawDestructionFront(const DestructionFront& front, const int* images);
bool HitTestDestructionFront(const DestructionFront& front, int bodyX, int bodyY, int left, int top, int right,
                             int bottom);
// What the front's touch takes from the player: always fatal.
constexpr int kFrontDamage = 1000000;
// The front against the player's body on the screen: a touch while the hit
// flag is clear takes kFrontDamage by the damage rule. True on a touch.
bool HurtByDestructionFront(const DestructionFront& front, PlayerRecord* player, const int* sounds);

// Effects and sounds of the gimmicks.
constexpr int kEffectBlockHit = 1;
constexpr int kEffectDebris = 14;
constexpr int kSoundBlockBreak = 7;   // a falling block hit
constexpr int kSoundCrumble = 41;     // a crumbling block gives way
constexpr int kSoundFrontLoop = 41;   // the front's grinding, kept going
constexpr int kSoundFrontRumble = 42; // walls breaking before the front
