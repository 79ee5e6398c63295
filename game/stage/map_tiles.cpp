// The tile pass: the picture of each tile kind by stage, and the cells that
// wake enemies and place things as they come near the screen.
#include "game/stage/map_tiles.h"

#include "framework/graphics/graphics.h"
#include "game/stage/stage_images.h"

namespace {

bool TallWindowStage(int stageCode) { return stageCode == 3 || stageCode == 302; }

struct Overlay {
    bool active;
    int x;
    int y;
    int value;
    int extra;
};

struct OverlayList {
    Overlay entries[kMapOverlayCount];
    int count = 0;
    // A full list takes no further entries.
    void Add(int x, int y, int value, int extra) {
        if (count >= kMapOverlayCount) return;
        entries[count++] = {true, x, y, value, extra};
    }
};

// The forward-only search of one pool for its next asleep entry; it stops
// at the pool's end and then wakes nothing.
template <typename Kind>
Kind* NextAsleep(Kind* pool, int* cursor) {
    if (pool == nullptr) return nullptr;
    while (*cursor < kEnemyPoolSize) {
        Kind* entry = &pool[(*cursor)++];
        if (entry->state == kEnemyFree) return entry;
    }
    return nullptr;
}

struct Cursors {
    int pool[9] = {};
};

template <typename Kind>
void WakeEnemy(Kind* pool, int* cursor, int mapX, int mapY, int homeY, int state) {
    Kind* entry = NextAsleep(pool, cursor);
    if (entry == nullptr) return;
    entry->spawnX = mapX;
    entry->spawnY = mapY;
    entry->baseY = homeY;
    entry->state = state;
}

void WakeChinton(Chinton* pool, int* cursor, int mapX, int mapY, int homeY) {
    if (pool == nullptr || *cursor >= kEnemyPoolSize) return;
    // The chinton is placed wherever the cursor stands; only an asleep one
    // is woken and gets its home.
    Chinton* entry = &pool[*cursor];
    *cursor += 1;
    entry->baseY = homeY;
    if (entry->state == kEnemyFree) {
        entry->state = 3;
        entry->spawnX = mapX;
        entry->spawnY = mapY;
    }
}

void Draw(int x, int y, const int* images, int position) {
    DrawGraphicAtPoint(x, y, StageImageAt(images, position), 1);
}

// Where the pass draws a kind's picture: in the walk over the cells, as an
// overlay after every tile, or not at all (what the cell places draws it).
enum class TileLayer { kNone, kWalk, kOverlay };

// A kind's picture: a position in the stage image list, drawn dy pixels
// below the cell's top (above it when negative).
struct TilePictureRow {
    int kind;
    int image;
    int dy;
    TileLayer layer;
};

constexpr int kGoalFirstImage = 657;  // the goal's animation: goal000 to goal005

constexpr TilePictureRow kTilePictures[] = {
    {kTileGround, 1, 0, TileLayer::kWalk},
    {kTileGoal, kGoalFirstImage, 0, TileLayer::kNone},  // animated by its own overlay
    {kTileSpikes, 108, 0, TileLayer::kOverlay},
    {kTileElevatorLeft, 104, 0, TileLayer::kNone},
    {kTileElevatorMiddle, 105, 0, TileLayer::kNone},
    {kTileElevatorRight, 106, 0, TileLayer::kNone},
    {kTileRecoveryItem, 107, 0, TileLayer::kOverlay},
    {kTileBlock, 111, 0, TileLayer::kOverlay},
    {kTileFloor, 112, -32, TileLayer::kWalk},
    {kTileWall, 133, 0, TileLayer::kWalk},
    {kTileDecoration, 134, -64, TileLayer::kWalk},
    {kTileSpellArt, 89, 0, TileLayer::kWalk},
    {kTileHighDecoration, 134, -256, TileLayer::kWalk},
    {kTileSpellItem, 674, 0, TileLayer::kOverlay},
    {kTileUpSign, 109, 0, TileLayer::kOverlay},
    {kTileCrumblingBlock, 701, -32, TileLayer::kNone},
    {kTilePillar, 14, 0, TileLayer::kWalk},
    {kTilePillarTop, 15, -32, TileLayer::kWalk},
    {kTileRopedPillarLeft, 16, 0, TileLayer::kWalk},
    {kTileRopedPillarMiddle, 17, 0, TileLayer::kWalk},
    {kTileRopedPillarRight, 18, 0, TileLayer::kWalk},
    {kTileRope, 19, 0, TileLayer::kWalk},
};

const TilePictureRow* FindTilePicture(int kind) {
    for (const TilePictureRow& row : kTilePictures)
        if (row.kind == kind) return &row;
    return nullptr;
}

// The floor stands two screen rows higher in the tall-window stages, and the
// wall piece of stage 102 (its chandelier) 20 pixels up.
int PictureDy(const TilePictureRow& row, int stageCode) {
    if (row.kind == kTileFloor && TallWindowStage(stageCode)) return -128;
    if (row.kind == kTileWall && stageCode == 102) return -20;
    return row.dy;
}

}  // namespace

bool FindMapTilePicture(int kind, int stageCode, MapTilePicture* picture) {
    const TilePictureRow* row = FindTilePicture(kind);
    if (row == nullptr) return false;
    picture->image = row->image;
    picture->dy = PictureDy(*row, stageCode);
    return true;
}

MapTileWindow ComputeMapTileWindow(int stageCode, int rowOffset, double scrollX, double scrollY, int columns,
                                   int rows) {
    MapTileWindow window;
    int sy = static_cast<int>(scrollY / 64);
    window.firstColumn = -6 - static_cast<int>(-scrollX / 64);
    window.endColumn = static_cast<int>(scrollX / 64 + 1.0) + 10;
    if (window.endColumn > columns) window.endColumn = columns;
    int extra = TallWindowStage(stageCode) ? 2 : 0;
    if (rowOffset <= 4) {
        window.firstRow = sy - 6;
        window.endRow = 9 + sy + extra;
        window.rowShift = 0;
    } else {
        window.firstRow = rowOffset - 11 + sy;
        window.endRow = rowOffset + 5 + sy + extra;
        window.rowShift = rowOffset - 4;
    }
    if (window.endRow > rows) window.endRow = rows;
    return window;
}

int DrawMapTiles(const MapTilePass& pass) {
    const PlayerRecord& player = *pass.player;
    const int* images = pass.images;
    MapTileHooks noHooks;
    MapTileHooks& hooks = pass.hooks ? *pass.hooks : noHooks;
    OverlayList overlays;
    Cursors cursors;
    int pits = 0;
    int dashZones = 0;
    const MapTileEnemies& e = pass.enemies;

    if (pass.goal) {
        pass.goal->box.x = kGoalAway;
        pass.goal->box.y = kGoalAway;
    }
    // The player's scroll y is the map y of the view's top edge; the window
    // counts it from the stage's vertical base, where the view starts.
    double relativeScrollY = player.scrollY;
    if (pass.rowOffset > 4) relativeScrollY -= 64.0 * (pass.rowOffset - 4);
    MapTileWindow window = ComputeMapTileWindow(pass.stageCode, pass.rowOffset, player.scrollX, relativeScrollY,
                                                pass.columns, pass.rows);
    int scrollX = static_cast<int>(player.scrollX);
    int scrollY = static_cast<int>(relativeScrollY);

    for (int m = window.firstRow; m < window.endRow; ++m) {
        if (m < 0) continue;
        int s = m - window.rowShift;
        for (int c = window.firstColumn; c < window.endColumn; ++c) {
            if (c < 0) continue;
            int cell = c + m * pass.columns;
            int value = pass.tiles[cell];
            int x = 64 * c - scrollX;
            int y = 64 * s - scrollY;
            int mapX = 64 * c;
            // Enemies and floors keep map y in the same frame as the
            // player's scroll y: the map row's own.
            int mapY = 64 * m;
            int homeY = 64 * m;
            switch (value) {
                case kTileWalker:
                    WakeEnemy(e.walkers, &cursors.pool[0], mapX, mapY, homeY, kEnemyWalking);
                    break;
                case kTileChinton: WakeChinton(e.chintons, &cursors.pool[1], mapX, mapY, homeY); break;
                case kTileHamushiShot:
                    WakeEnemy(e.hamushiShots, &cursors.pool[2], mapX, mapY, homeY, kEnemyWalking);
                    break;
                case kTileWatadama:
                    WakeEnemy(e.watadamas, &cursors.pool[3], mapX, mapY, homeY, kEnemyWalking);
                    break;
                case kTileSekito: WakeEnemy(e.sekitos, &cursors.pool[4], mapX, mapY, homeY, kEnemyWalking); break;
                case kTileArmorDevil:
                    WakeEnemy(e.armorDevils, &cursors.pool[5], mapX, mapY, homeY, kEnemyWalking);
                    break;
                case kTileArmorDevilLeader:
                    WakeEnemy(e.armorDevilLeaders, &cursors.pool[6], mapX, mapY, homeY, kEnemyWalking);
                    break;
                case kTileFenwa: WakeEnemy(e.fenwas, &cursors.pool[7], mapX, mapY, homeY, kEnemyWalking); break;
                case kTileStoneSnake: WakeEnemy(e.stoneSnakes, &cursors.pool[8], mapX, mapY, homeY, 5); break;
                case kTileMirelle:
                    if (e.mirelle && e.mirelle->state == kEnemyFree) {
                        e.mirelle->Reset();
                        e.mirelle->spawnX = mapX;
                        e.mirelle->spawnY = mapY;
                        e.mirelle->baseY = homeY;
                        e.mirelle->state = 1;
                    }
                    break;
                case kTileGoal:
                    overlays.Add(x, y, value, 0);
                    if (pass.goal) {
                        pass.goal->box.x = x;
                        pass.goal->box.y = y;
                        pass.goal->box.useFirst = 1;
                        if (pass.playing && pass.goal->period > 0) {
                            pass.goal->counter = (pass.goal->counter + 1) % pass.goal->period;
                        }
                    }
                    break;
                case kTileRestartMarker:
                    if (pass.restart) {
                        ObjectBox cellBox = {x, y, x, y, 64, 64, 1};
                        ObjectBox& marker = pass.restart->marker;
                        if (HitTestObjectRect(cellBox, static_cast<int>(player.x), static_cast<int>(player.screenY),
                                              player.hitLeft, player.hitTop, player.hitRight, player.hitBottom)) {
                            marker.x = x;
                            marker.y = y;
                            marker.useFirst = 1;
                            pass.restart->restartMapY = homeY;
                            pass.restart->restartMapX = mapX;
                        } else {
                            marker.x = -9999;
                            marker.y = -9999;
                        }
                    }
                    overlays.Add(x, y, value, 0);
                    break;
                case kTilePit:
                    if (pits < kMapMarkCount) hooks.StartPit(pits++, x, y);
                    overlays.Add(x, y, value, 0);
                    break;
                case kTileDashZone:
                    if (dashZones < kMapMarkCount) hooks.StartDashZone(dashZones++, x, y);
                    overlays.Add(x, y, value, 0);
                    break;
                case kTileMovingFloorFirstSet:
                case kTileMovingFloorSecondSet:
                    hooks.StartMovingFloor(value - kTileMovingFloorFirstSet, x, y, mapX, homeY);
                    break;
                case kTileFallingBlock: hooks.StartFallingBlock(x, y, mapX, homeY); break;
                case kTileCrumblingBlock: hooks.StartCrumblingBlock(x, y, mapX, homeY); break;
                default:
                    if (value >= kFirstGuideBoxTile && value <= kLastGuideBoxTile) {
                        overlays.Add(x, y, value, cell);
                    } else if (const TilePictureRow* picture = FindTilePicture(value)) {
                        if (picture->layer == TileLayer::kWalk)
                            Draw(x, y + PictureDy(*picture, pass.stageCode), images, picture->image);
                        else if (picture->layer == TileLayer::kOverlay)
                            overlays.Add(x, y, value, 0);
                    }
                    break;
            }
        }
    }

    for (int i = 0; i < overlays.count; ++i) {
        const Overlay& o = overlays.entries[i];
        switch (o.value) {
            case kTileGoal: {
                int step = pass.goal && pass.goal->step > 0 ? pass.goal->step : 1;
                int counter = pass.goal ? pass.goal->counter : 0;
                Draw(o.x, o.y, images, kGoalFirstImage + counter / step);
                break;
            }
            case kTileDashZone:
                SetBlendModeAndParam(kBlendModeAdd, 255);
                Draw(o.x, o.y, images, 686);
                SetBlendModeAndParam(kBlendModeNone, 255);
                break;
            default:
                if (o.value >= kFirstGuideBoxTile && o.value <= kLastGuideBoxTile) {
                    double ratio = 0.0;
                    if (hooks.GuideBoxFade(o.extra, &ratio)) {
                        SetBlendModeAndParam(kBlendModeAlpha, static_cast<int>(255 * ratio));
                        Draw(o.x, o.y, images, 37);
                        SetBlendModeAndParam(kBlendModeNone, 255);
                    }
                } else if (const TilePictureRow* picture = FindTilePicture(o.value);
                           picture != nullptr && picture->layer == TileLayer::kOverlay) {
                    Draw(o.x, o.y + PictureDy(*picture, pass.stageCode), images, picture->image);
                }
                break;
        }
    }
    return 0;
}
