// The map objects' pass each played frame: items taken, the goal, the restart
// marker, and the pits that send the player back to it.
#include "game/stage/map_objects.h"

#include "framework/sound/sound_playback.h"
#include "game/stage/guide_message_box.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_table.h"

ObjectBox BoxOf(const Item& item) {
    return {item.x, item.y, item.altX, item.altY, item.width, item.height, item.useFirst};
}

namespace {

int Trunc(double value) {
    return static_cast<int>(value);
}

void PlaySound(const int* sounds, int index) {
    if (sounds != nullptr) PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

// The body at a position, with the player's hit box.
struct Body {
    int x;
    int y;
    const PlayerRecord* player;
    bool Touches(const ObjectBox& box) const {
        return HitTestObjectRect(box, x, y, player->hitLeft, player->hitTop, player->hitRight, player->hitBottom);
    }
    bool Touches(const Item& item) const { return Touches(BoxOf(item)); }
};

// The item's cell goes back to empty when it still shows the item. An item
// placed off the grid has no cell to clear.
void ClearItemCell(const MapObjects& objects, const Item& item, int kind) {
    if (objects.tiles == nullptr) return;
    int x = item.useFirst != 0 ? item.x : item.altX;
    int y = item.useFirst != 0 ? item.y : item.altY;
    if (x < 0 || y < 0) return;
    int column = x / 64;
    int row = y / 64;
    if (column >= objects.columns || row >= objects.rows) return;
    int& cell = objects.tiles[column + row * objects.columns];
    if (cell == kind) cell = 0;
}

// Consumes every touched item of the list: its sound and effect, what it
// gives, its cell cleared, and the item deleted.
template <typename Give>
void ConsumeItems(std::vector<ValueItem*>* items, const Body& world, const Body& screen, const MapObjects& objects,
                  int tileKind, EffectSlot* effects, const int* sounds, Give give) {
    if (items == nullptr) return;
    for (size_t i = 0; i < items->size();) {
        ValueItem* item = (*items)[i];
        if (!world.Touches(*item)) {
            ++i;
            continue;
        }
        PlaySound(sounds, kSoundItem);
        PlacePlayerEffect(effects, kEffectItem, screen.x, screen.y);
        give(*item);
        ClearItemCell(objects, *item, tileKind);
        items->erase(items->begin() + static_cast<std::ptrdiff_t>(i));
        delete item;
    }
}

// Aims the restart copy at the restart position, steering the view so that
// the player comes back in sight of it.
void AimRestartCopy(const PlayerRecord& live, RestartPoint* restart) {
    PlayerRecord& copy = restart->player;
    double restartX = restart->restartMapX;
    double restartY = restart->restartMapY;
    double limit = (MapColumns - 10) * 64.0;
    if (restartY - 64 < live.mapY) copy.mapY = restartY - 64;
    double distance = restartX - (live.x + live.scrollX);
    if (distance > 32) {
        double extra = distance - 32;
        if (live.x + extra >= 256 || live.scrollX != 0) {
            double scroll = live.scrollX + extra;
            if (scroll < limit) {
                copy.scrollX = scroll - (copy.x - live.x);
            } else {
                copy.scrollX = limit;
                copy.x = restartX - 32 - live.scrollX;
            }
        } else {
            copy.x += extra;
        }
    } else if (distance < 0) {
        double scroll = distance - 32 + live.scrollX;
        if (scroll < limit) {
            if (scroll >= 0) {
                copy.scrollX = scroll - (copy.x - live.x);
            } else {
                copy.scrollX = 0;
                copy.x = restartX;
            }
        } else {
            copy.scrollX = limit;
            copy.x = restartX - live.scrollX;
        }
    }
    copy.scrollY = live.scrollY;
}

void FallIntoPit(PlayerRecord* player, const MapObjects& objects, ShotSlot* enemyShots, ShotSlot* playerShots,
                 EffectSlot* effects, const int* sounds) {
    player->state = kPlayerReturning;
    player->guarded = true;
    PlaySound(sounds, kSoundPit);
    if (objects.restart != nullptr) AimRestartCopy(*player, objects.restart);
    PlacePlayerEffect(effects, kEffectPit, Trunc(player->x), Trunc(player->screenY));
    for (int i = 0; enemyShots != nullptr && i < kShotTableSize; ++i) {
        if (enemyShots[i].state != 0) ResetShot(&enemyShots[i]);
    }
    for (int i = 0; playerShots != nullptr && i < kShotTableSize; ++i) {
        if (playerShots[i].state != 0 && playerShots[i].kind != 7) ResetShot(&playerShots[i]);
    }
    ResetUsedSinkingFloors(objects.sinkingFloors);
}

}  // namespace

void UpdateMapObjects(PlayerRecord* player, const MapObjects& objects, ShotSlot* enemyShots, ShotSlot* playerShots,
                      EffectSlot* effects, const int* sounds, IStageClock* clock) {
    const Body screen{Trunc(player->x), Trunc(player->screenY), player};
    const Body world{Trunc(player->scrollX + player->x), Trunc(player->mapY), player};

    if (objects.goal != nullptr && screen.Touches(*objects.goal)) player->state = kPlayerGoal;

    if (objects.messageBoxes != nullptr) {
        for (GuideMessageBox* box : *objects.messageBoxes) {
            if (!box->Ready() || !world.Touches(*box)) continue;
            if (box->scenario != nullptr) box->open = true;
            // The clock stops before the box's first frame, so that a
            // scenario that ends in that frame starts it again at once.
            if (clock != nullptr) clock->Pause();
            box->Update(clock);
        }
    }

    ConsumeItems(objects.recoveryItems, world, screen, objects, kTileRecoveryItem, effects, sounds,
                 [player](const ValueItem& item) {
                     player->hitPoints += item.value;
                     if (player->hitPoints > 100) player->hitPoints = 100;
                     if (player->hitPoints < 0) player->hitPoints = 0;
                 });
    ConsumeItems(objects.spellItems, world, screen, objects, kTileSpellItem, effects, sounds,
                 [player](const ValueItem&) {
                     if (player->spellStock < 1) player->spellStock = 1;
                 });

    if (objects.restart != nullptr && objects.restart->active && screen.Touches(objects.restart->marker)) {
        objects.restart->player = *player;
    }

    if (objects.pits != nullptr) {
        for (int i = 0; i < kPitCount; ++i) {
            if (objects.pits[i].active && screen.Touches(objects.pits[i])) {
                FallIntoPit(player, objects, enemyShots, playerShots, effects, sounds);
                break;
            }
        }
        for (int i = 0; i < kPitCount; ++i) objects.pits[i].active = false;
    }

    for (int i = 0; objects.dashZones != nullptr && i < kDashZoneCount; ++i) {
        const Item& zone = objects.dashZones[i];
        if (!zone.active) continue;
        if (player->dashFrame == 5 && player->dashing) PlaySound(sounds, kSoundDashZone);
        if (screen.Touches(zone)) {
            player->dashing = true;
            player->dashFrame = 0;
        }
    }
}
