// The objects of a stage's map that are not enemies, tested against the
// player once per played frame: the goal, the guide message boxes, recovery
// and spell items, the restart marker, the pits that send the player back to
// it, and the dash zones. The stage scene places and owns them; this only
// tests and consumes them.
#pragma once

#include <vector>

#include "game/stage/effects.h"
#include "game/stage/moving_floors.h"
#include "game/stage/shot_table.h"
#include "game/stage/tile_collision.h"
#include "game/stage/tile_kinds.h"

struct PlayerRecord;
struct RestartPoint;
class GuideMessageBox;
class IStageClock;

// The rectangle record of the map objects. A non-zero useFirst tests it at
// (x, y), zero at the alternate pair.
struct Item {
    int x = 0;
    int y = 0;
    int altX = 0;
    int altY = 0;
    int width = 64;
    int height = 64;
    int useFirst = 0;
    bool active = false;  // per-frame tables: armed this frame
    int spare[2] = {0, 0};
    int secondWidth = 64;
    int secondHeight = 64;
};

// A recovery or spell item: a rectangle and what it gives.
struct ValueItem : Item {
    int value = 0;
};

constexpr int kRecoveryValue = 40;  // hit points a recovery item adds
constexpr int kPitCount = 512;
constexpr int kDashZoneCount = 512;

// Sounds and effects of the map objects.
constexpr int kSoundPit = 8;
constexpr int kSoundItem = 13;
constexpr int kSoundDashZone = 25;
constexpr int kEffectItem = 103;
constexpr int kEffectPit = 105;

ObjectBox BoxOf(const Item& item);

// Everything UpdateMapObjects tests, as the stage scene keeps it.
struct MapObjects {
    Item* goal = nullptr;
    RestartPoint* restart = nullptr;
    Item* pits = nullptr;       // kPitCount, armed by the tile drawing each frame
    Item* dashZones = nullptr;  // kDashZoneCount, refilled by the tile drawing each frame
    std::vector<ValueItem*>* recoveryItems = nullptr;  // heap items, deleted when consumed
    std::vector<ValueItem*>* spellItems = nullptr;
    std::vector<GuideMessageBox*>* messageBoxes = nullptr;
    int* tiles = nullptr;  // tile-kind grid, rows of `columns` cells
    int columns = 0;
    int rows = 0;
    MovingFloor* sinkingFloors = nullptr;  // kMovingFloorCount
};

// The player against the map objects; not run while the player returns to
// the restart point (state 16).
void UpdateMapObjects(PlayerRecord* player, const MapObjects& objects, ShotSlot* enemyShots, ShotSlot* playerShots,
                      EffectSlot* effects, const int* sounds, IStageClock* clock);
