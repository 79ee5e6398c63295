// The stage's pass over the cells near the view: plain tiles are drawn, and
// the cells that stand for things wake the enemy, place the goal or start
// the platform or mark at the cell, so that the map's things come to life
// the first time their cell comes near the screen.
#pragma once

#include "game/stage/enemy_characters.h"
#include "game/stage/map_objects.h"
#include "game/stage/player_character.h"
#include "game/stage/tile_collision.h"
#include "game/stage/tile_kinds.h"

// Where the goal stands while its cell is not in the window: off every map.
constexpr int kGoalAway = -10000000;
// Entries of the overlay list and of the per-frame mark tables.
constexpr int kMapOverlayCount = 512;
constexpr int kMapMarkCount = 512;

inline Item MakeAwayGoal() {
    Item goal;
    goal.x = goal.y = goal.altX = goal.altY = kGoalAway;
    goal.useFirst = 1;
    return goal;
}

// The goal: its box, and its animation (goal000.png to goal005.png) counted
// while the stage plays; image 657 + counter / step.
struct GoalMark {
    Item box = MakeAwayGoal();
    int counter = 0;
    int period = 36;
    int step = 6;
};

// The things the pass starts that other routines own. The stage scene
// passes its own; each does nothing by default.
class MapTileHooks {
public:
    virtual ~MapTileHooks() = default;
    // Pits and dash zones: entry index of this frame's table (0 up, one per
    // cell in walk order, below kMapMarkCount).
    virtual void StartPit(int /*index*/, int /*screenX*/, int /*screenY*/) {}
    virtual void StartDashZone(int /*index*/, int /*screenX*/, int /*screenY*/) {}
    // A floor of the first or second set (0 or 1).
    virtual void StartMovingFloor(int /*set*/, int /*screenX*/, int /*screenY*/, int /*mapX*/, int /*mapY*/) {}
    // The next object of the two block tables.
    virtual void StartFallingBlock(int /*screenX*/, int /*screenY*/, int /*mapX*/, int /*mapY*/) {}
    virtual void StartCrumblingBlock(int /*screenX*/, int /*screenY*/, int /*mapX*/, int /*mapY*/) {}
    // Whether the cell index has a guide message box, and its fade ratio
    // (0 once closed).
    virtual bool GuideBoxFade(int /*cellIndex*/, double* /*ratio*/) { return false; }
};

// The enemy pools the pass wakes (kEnemyPoolSize entries each; any may be
// null) and the single Mirelle.
struct MapTileEnemies {
    EnemyCharacter* walkers = nullptr;
    Chinton* chintons = nullptr;
    HamushiShot* hamushiShots = nullptr;
    Watadama* watadamas = nullptr;
    Sekito* sekitos = nullptr;
    ArmorDevil* armorDevils = nullptr;
    ArmorDevilLeader* armorDevilLeaders = nullptr;
    Fenwa* fenwas = nullptr;
    StoneSnake* stoneSnakes = nullptr;
    Mirelle* mirelle = nullptr;
};

struct MapTilePass {
    int stageCode = 0;
    int rowOffset = 0;  // the stage's view row
    const PlayerRecord* player = nullptr;
    int columns = 0;
    int rows = 0;
    const int* tiles = nullptr;
    MapTileEnemies enemies;
    GoalMark* goal = nullptr;
    RestartPoint* restart = nullptr;
    MapTileHooks* hooks = nullptr;  // may be null
    const int* images = nullptr;
    bool playing = true;  // IsStagePlaying: the goal's animation runs
};

// The window of cells the pass walks: columns firstColumn .. endColumn - 1
// and map rows firstRow .. endRow - 1 (negative cells skipped), map row m
// drawn as screen row m - rowShift. scrollY here is counted from the stage's
// vertical base ((rowOffset - 4) x 64) when rowOffset is above 4.
struct MapTileWindow {
    int firstColumn;
    int endColumn;
    int firstRow;
    int endRow;
    int rowShift;
};
MapTileWindow ComputeMapTileWindow(int stageCode, int rowOffset, double scrollX, double scrollY, int columns,
                                   int rows);

// One pass: draws the tiles and the overlays and wakes what the window
// holds. Returns 0.
int DrawMapTiles(const MapTilePass& pass);

// The picture that a tile kind shows on its cell in a stage: a position in
// the stage image list, drawn with transparency dy pixels below the cell's
// top (above it when negative). False for a kind without one.
struct MapTilePicture {
    int image;
    int dy;
};
bool FindMapTilePicture(int kind, int stageCode, MapTilePicture* picture);
