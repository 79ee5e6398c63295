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

}  // namespace

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
    bool tall = TallWindowStage(pass.stageCode);

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
                case 1: Draw(x, y, images, 1); break;
                case 20: Draw(x, y + (tall ? -128 : -32), images, 112); break;
                case 28: Draw(x, y + (pass.stageCode == 102 ? -20 : 0), images, 133); break;
                case 29: Draw(x, y - 64, images, 134); break;
                case 30: Draw(x, y, images, 89); break;
                case 31: Draw(x, y - 256, images, 134); break;
                case 56: Draw(x, y, images, 14); break;
                case 57: Draw(x, y - 32, images, 15); break;
                case 58: Draw(x, y, images, 16); break;
                case 59: Draw(x, y, images, 17); break;
                case 60: Draw(x, y, images, 18); break;
                case 61: Draw(x, y, images, 19); break;
                case 3: WakeEnemy(e.walkers, &cursors.pool[0], mapX, mapY, homeY, kEnemyWalking); break;
                case 22: WakeChinton(e.chintons, &cursors.pool[1], mapX, mapY, homeY); break;
                case 23: WakeEnemy(e.hamushiShots, &cursors.pool[2], mapX, mapY, homeY, kEnemyWalking); break;
                case 33: WakeEnemy(e.watadamas, &cursors.pool[3], mapX, mapY, homeY, kEnemyWalking); break;
                case 34: WakeEnemy(e.sekitos, &cursors.pool[4], mapX, mapY, homeY, kEnemyWalking); break;
                case 35: WakeEnemy(e.armorDevils, &cursors.pool[5], mapX, mapY, homeY, kEnemyWalking); break;
                case 36: WakeEnemy(e.armorDevilLeaders, &cursors.pool[6], mapX, mapY, homeY, kEnemyWalking); break;
                case 37: WakeEnemy(e.fenwas, &cursors.pool[7], mapX, mapY, homeY, kEnemyWalking); break;
                case 38: WakeEnemy(e.stoneSnakes, &cursors.pool[8], mapX, mapY, homeY, 5); break;
                case 21:
                    if (e.mirelle && e.mirelle->state == kEnemyFree) {
                        e.mirelle->Reset();
                        e.mirelle->spawnX = mapX;
                        e.mirelle->spawnY = mapY;
                        e.mirelle->baseY = homeY;
                        e.mirelle->state = 1;
                    }
                    break;
                case 4:
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
                case 5:
                case 9:
                case 19:
                case 32:
                case 54: overlays.Add(x, y, value, 0); break;
                case 26:
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
                case 27:
                    if (pits < kMapMarkCount) hooks.StartPit(pits++, x, y);
                    overlays.Add(x, y, value, 0);
                    break;
                case 41:
                    if (dashZones < kMapMarkCount) hooks.StartDashZone(dashZones++, x, y);
                    overlays.Add(x, y, value, 0);
                    break;
                case 39:
                case 40: hooks.StartMovingFloor(value - 39, x, y, mapX, homeY); break;
                case 42: hooks.StartBlock42(x, y, mapX, homeY); break;
                case 55: hooks.StartBlock55(x, y, mapX, homeY); break;
                case 49:
                case 50:
                case 51:
                case 52:
                case 53: overlays.Add(x, y, value, cell); break;
                default: break;
            }
        }
    }

    for (int i = 0; i < overlays.count; ++i) {
        const Overlay& o = overlays.entries[i];
        switch (o.value) {
            case 4: {
                int step = pass.goal && pass.goal->step > 0 ? pass.goal->step : 1;
                int counter = pass.goal ? pass.goal->counter : 0;
                Draw(o.x, o.y, images, 657 + counter / step);
                break;
            }
            case 5: Draw(o.x, o.y, images, 108); break;
            case 9: Draw(o.x, o.y, images, 107); break;
            case 19: Draw(o.x, o.y, images, 111); break;
            case 32: Draw(o.x, o.y, images, 674); break;
            case 41:
                SetBlendModeAndParam(2, 255);
                Draw(o.x, o.y, images, 686);
                SetBlendModeAndParam(0, 255);
                break;
            case 49:
            case 50:
            case 51:
            case 52:
            case 53: {
                double ratio = 0.0;
                if (hooks.GuideBoxFade(o.extra, &ratio)) {
                    SetBlendModeAndParam(1, static_cast<int>(255 * ratio));
                    Draw(o.x, o.y, images, 37);
                    SetBlendModeAndParam(0, 255);
                }
                break;
            }
            case 54: Draw(o.x, o.y, images, 109); break;
            default: break;
        }
    }
    return 0;
}
