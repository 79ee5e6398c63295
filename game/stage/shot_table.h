// Everything that flies: the stage scene's two tables of 100 shot slots (the
// player's and the enemies'); the boss battle keeps two of its own.
#pragma once

#include <map>

#include "game/stage/effects.h"

constexpr int kShotTableSize = 100;

struct PlayerRecord;

struct ShotSlot {
    int frame;
    int state;  // 0 free, 1 parked, 2 flying, 3 exploding
    int width;
    int height;
    int power;
    double angle;
    int vx;
    int vy;
    int x;
    int y;
    int startX;
    int startY;
    int arcTravel;
    int arcOffset;
    int tileTestY;
    int kind;
    int facing;  // 1 left, 2 right
    int limitY;
    int limitTileTestY;
    int hitLeft;
    int hitTop;
    int hitRight;
    int hitBottom;
};

// Slot states.
enum ShotState {
    kShotFree = 0,
    kShotParked = 1,
    kShotFlying = 2,
    kShotExploding = 3,
};

// The stage kinds of the player's table.
enum PlayerShotKind {
    kShotRocket = 3,
    kShotFlame = 4,
    kShotGear = 5,
    kShotAnchor = 6,
    kShotDoll = 7,
    kShotWall = 8,
    kShotDive = 11,
    kShotString = 12,
    kShotFirstCaptured = 1001,
    kShotLastCaptured = 1007,
};

// The stage kinds of the enemies' table.
enum EnemyShotKind {
    kShotKnife = 1,
    kShotRedBullet = 2,
    kShotFallingStone = 9,
    kShotIce = 10,
};

// Frees a slot; position, size and hit box keep their values.
void ResetShot(ShotSlot* slot);

// Battle kinds 107-110 circle 128 pixels around (centreX + 192, centreY + 192).
void UpdateOrbitPosition(ShotSlot* slot, int centreX, int centreY);
// The battle's lobbed shot.
void UpdateParabolicArc(ShotSlot* slot);

// The stage scene's per-frame count: every slot flying or exploding, and the
// doll on its way home, is one frame older.
void CountShotFrames(ShotSlot* playerShots, ShotSlot* enemyShots);

// The tile map as the shots see it: the tile-kind grid and the two position
// planes (x plane, then y plane; kStagePlaneSize entries each), rows of
// `columns` cells.
struct ShotTileWindow {
    const int* tiles = nullptr;
    const int* positions = nullptr;
    int columns = 0;
    int rows = 0;
};

// What one step of the shots reads and writes besides the two tables.
struct ShotStepInputs {
    const int* sounds = nullptr;             // the 43 stage sound handles
    ShotTileWindow tiles;                    // for the rocket and the anchor
    EffectSlot* effects = nullptr;           // the 100-slot effect table
    const std::map<int, int>* buttons = nullptr;  // held frames per button (captured enemies)
    int* dollCount = nullptr;                // the player's doll count, raised when a doll is home
    int* hangY = nullptr;                    // where the anchor caught, for the hover
    int clearFlag = 0;                       // 1 empties the enemy table this frame
    double scrollDx = 0.0;                   // this frame's map scroll
    double scrollDy = 0.0;
};

// One step of both tables, once per played frame. Returns 0.
int UpdateShots(ShotSlot* playerShots, PlayerRecord* player, ShotSlot* enemyShots, const ShotStepInputs& inputs);

// The motion of each player kind.
void UpdateRocketShot(ShotSlot* slot, const ShotTileWindow& tiles, const int* sounds);
void UpdateFlameShot(ShotSlot* slot, const PlayerRecord* player, const int* sounds);
void UpdateVerticalShot(ShotSlot* slot, PlayerRecord* player, const ShotTileWindow& tiles, const int* sounds,
                        int* hangY);
void UpdateDollShot(ShotSlot* slot, const PlayerRecord* player, ShotSlot* enemyShots, EffectSlot* effects,
                    const int* sounds, int* dollCount);
void UpdateWallShot(ShotSlot* slot, ShotSlot* enemyShots, EffectSlot* effects, const int* sounds);
void UpdateStringShot(ShotSlot* slot, const PlayerRecord* player);
void UpdateCapturedEnemy(ShotSlot* slot, const std::map<int, int>& buttons, const int* sounds);

// Whether the shot's box (its x, and tileTestY for y) overlaps a solid tile.
bool ShotHitsSolidTile(const ShotSlot* slot, const int* tiles, const int* positions, int columns, int rows);

// Draws an exploding slot; frees it once the twelve images have been shown.
void DrawShotExplosion(ShotSlot* slot, const int* images);
// Both tables, slot 0 to 99, the enemy slot first; nothing while the player
// casts a spell.
void DrawShots(ShotSlot* playerShots, ShotSlot* enemyShots, const PlayerRecord* player, const int* images);
void DrawPlayerShot(ShotSlot* slot, const PlayerRecord* player, const int* images);
void DrawEnemyShot(const ShotSlot* slot, const int* images);
