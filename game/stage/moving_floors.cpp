// The moving ground: elevators and sinking floors, falling and crumbling
// blocks, and the destruction front, each placed, moved, tested and drawn.
#include "game/stage/moving_floors.h"

#include <cstdlib>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/attack_hits.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_images.h"
#include "game/stage/tile_collision.h"
#include "game/stage/tile_kinds.h"

const char* const kUpDownElevatorName = "上下エレベーター";
const char* const kSinkingFloorName = "沈む床";

namespace {

constexpr int kFrameWrap = 1000000;

int Trunc(double value) {
    return static_cast<int>(value);
}

void PlaySound(const int* sounds, int index) {
    if (sounds != nullptr) PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

// Gimmicks keep screen positions: they move against the view's motion. The
// step is followed whatever the scroll's value, so that a step that carries
// the scroll onto or past one of its ends does not leave a floor off its
// cell.
void FollowScroll(int* x, int* y, const GimmickScroll& scroll) {
    *x -= Trunc(scroll.stepX);
    *y -= Trunc(scroll.stepY);
}

bool OutsideArea(int x, int y, int left, int top, int right, int bottom) {
    return x < left || x > right || y < top || y > bottom;
}

void ResetFloor(MovingFloor* floor, const char* name, int direction, int width, int height, int kindCode,
                int range) {
    *floor = MovingFloor{};
    floor->direction = direction;
    floor->kindName = name;
    floor->width = width;
    floor->height = height;
    floor->kindCode = kindCode;
    floor->range = range;
}

}  // namespace

void ResetElevator(MovingFloor* floor) {
    ResetFloor(floor, kUpDownElevatorName, kFloorRising, 448, 64, kFloorKindElevator, 1728);
}

void ResetSinkingFloor(MovingFloor* floor) {
    ResetFloor(floor, kSinkingFloorName, kFloorSinking, 64, 256, kFloorKindSinking, 192);
}

bool IsUpDownElevator(const MovingFloor& floor) {
    return floor.kindName == kUpDownElevatorName;
}

bool IsSinkingFloor(const MovingFloor& floor) {
    return floor.kindName == kSinkingFloorName;
}

void PlaceMovingFloor(MovingFloor* floor, int screenX, int screenY, int mapX, int mapY) {
    floor->active = true;
    floor->x = screenX;
    floor->startX = screenX;
    floor->y = screenY;
    floor->mapX = mapX;
    floor->mapY = mapY;
    floor->homeY = mapY;
}

bool StandsOnUpDownElevator(const MovingFloor* elevators) {
    for (int i = 0; elevators != nullptr && i < kMovingFloorCount; ++i) {
        if (elevators[i].stoodOn && IsUpDownElevator(elevators[i])) return true;
    }
    return false;
}

void ResetUsedSinkingFloors(MovingFloor* floors) {
    for (int i = 0; floors != nullptr && i < kMovingFloorCount; ++i) {
        if (floors[i].active) ResetSinkingFloor(&floors[i]);
    }
}

void UpdateMovingFloors(MovingFloor* floor, double* playerMapY, const GimmickScroll& scroll) {
    floor->range = floor->homeY <= 4000 ? 2560 : 1728;
    if (!floor->active) return;
    floor->frame += 1;
    if (floor->frame >= kFrameWrap) floor->frame = 0;
    FollowScroll(&floor->x, &floor->y, scroll);

    if (IsUpDownElevator(*floor)) {
        floor->kindCode = kFloorKindElevator;
        if (OutsideArea(floor->x, floor->y, -400, -400, 1040, 880)) {
            ResetElevator(floor);
            return;
        }
        if (floor->direction == kFloorRising) {
            if (floor->mapY < floor->homeY - floor->range) {
                floor->direction = kFloorSinking;
            } else {
                floor->y -= 1;
                floor->mapY -= 1;
                if (floor->stoodOn) *playerMapY -= 1;
            }
        } else if (floor->direction == kFloorSinking) {
            if (floor->mapY > floor->homeY) {
                floor->direction = kFloorRising;
            } else {
                floor->y += 1;
                floor->mapY += 1;
                if (floor->stoodOn) *playerMapY += 1;
            }
        }
    } else if (IsSinkingFloor(*floor)) {
        floor->kindCode = kFloorKindSinking;
        if (OutsideArea(floor->x, floor->y, -400, -400, 1040, 880)) {
            ResetSinkingFloor(floor);
            return;
        }
        if (floor->stoodOn && floor->mapY <= floor->homeY + floor->range) {
            int oldMapY = floor->mapY;
            floor->y += 3;
            floor->mapY += 3;
            floor->direction = kFloorSinking;
            *playerMapY = oldMapY - 125;
        } else if (!floor->stoodOn && floor->mapY > floor->homeY) {
            floor->y -= 3;
            floor->mapY -= 3;
            floor->direction = kFloorRising;
        }
    }
}

bool HitTestMovingFloor(const MovingFloor& floor, int x, int y, int playerState) {
    if (floor.x == kNoObject || floor.mapY == kNoObject) return false;
    int bodyWidth = playerState == kPlayerLowForm ? 64 : 128;
    return floor.x < x + bodyWidth && floor.x + floor.width > x && y + 32 < floor.mapY && floor.mapY <= y + 96;
}

void DrawMovingFloor(const MovingFloor& floor, const int* images) {
    if (!floor.active) return;
    if (IsUpDownElevator(floor)) {
        DrawGraphicAtPoint(floor.x, floor.y, images[StageImage::kElevator], 1);
    } else if (IsSinkingFloor(floor)) {
        DrawGraphicAtPoint(floor.x, floor.y - 16, images[StageImage::kSinkingFloor], 1);
    }
}

// ---- blocks -------------------------------------------------------------------

void EmptyBlock(GimmickBlock* block) {
    *block = GimmickBlock{};
}

void MakeFallingBlockTable(GimmickBlock* blocks) {
    for (int i = 0; i < kGimmickBlockCount; ++i) EmptyBlock(&blocks[i]);
}

void MakeCrumblingBlockTable(GimmickBlock* blocks) {
    for (int i = 0; i < kGimmickBlockCount; ++i) {
        EmptyBlock(&blocks[i]);
        blocks[i].kind = kNoObject;
    }
}

void PlaceBlock(GimmickBlock* block, int screenX, int screenY, int mapX, int mapY) {
    block->kind = kBlockStanding;
    block->stoodOn = false;
    block->x = screenX;
    block->startX = screenX;
    block->y = screenY;
    block->mapX = mapX;
    block->mapY = mapY;
    block->frame = 0;
}

void ResetBlocksAtRestart(GimmickBlock* falling, GimmickBlock* crumbling) {
    for (int i = 0; falling != nullptr && i < kGimmickBlockCount; ++i) {
        if (falling[i].kind != kBlockEmpty) EmptyBlock(&falling[i]);
    }
    if (crumbling != nullptr) MakeCrumblingBlockTable(crumbling);
}

void UpdateCrumblingBlock(GimmickBlock* block, const GimmickScroll& scroll, EffectSlot* effects, const int* sounds) {
    if (block->kind == kBlockStanding) {
        FollowScroll(&block->x, &block->y, scroll);
        if (!block->stoodOn) return;
        block->frame += 1;
        if (block->frame < kCrumbleFrames) return;
        block->kind = kBlockBreaking;
        PlacePlayerEffect(effects, kEffectDebris, block->x + block->width / 2, block->y + block->height / 2);
        block->stoodOn = false;
        PlaySound(sounds, kSoundCrumble);
    } else if (block->kind == kBlockBreaking) {
        FollowScroll(&block->x, &block->y, scroll);
        if (OutsideArea(block->x, block->y, -300, -300, 940, 780)) EmptyBlock(block);
    }
}

namespace {

bool FallingBlockRestsOnKind(int kind) {
    switch (kind) {
        case kTileGround:
        case kTileSpikes:
        case kTileTurretFacingLeft:
        case kTileTurretFacingRight:
        case kTileBlock:
        case kTileFloor:
        case kTileWall:
        case kTileStoneSnake:
            return true;
        default:
            return false;
    }
}

void LowerTop(const GimmickBlock* table, const GimmickBlock& block, int centre, int* best) {
    for (int i = 0; table != nullptr && i < kGimmickBlockCount; ++i) {
        const GimmickBlock& other = table[i];
        if (&other == &block || other.kind != kBlockStanding) continue;
        if (!(other.x < block.x + block.width && other.x + other.width > block.x)) continue;
        if (other.mapY <= centre) continue;
        if (*best == kNoObject || other.mapY < *best) *best = other.mapY;
    }
}

}  // namespace

int FindFallingBlockFloor(const GimmickBlock& block, const GimmickMap& map, const GimmickBlockTables& tables) {
    int centre = block.mapY + block.height / 2;
    int best = kNoObject;
    const int* xPlane = map.positions;
    const int* yPlane = map.positions != nullptr ? map.positions + kStagePlaneSize : nullptr;
    for (int r = 0; xPlane != nullptr && map.tiles != nullptr && r < map.rows; ++r) {
        for (int c = 0; c < map.columns; ++c) {
            int index = c + r * map.columns;
            if (index >= kStagePlaneSize) break;
            if (!FallingBlockRestsOnKind(map.tiles[index])) continue;
            int tx = xPlane[index];
            int ty = yPlane[index];
            if (tx == -1 || ty == -1) continue;
            if (!(tx < block.x + block.width && tx + 64 > block.x)) continue;
            if (ty <= centre) continue;
            if (best == kNoObject || ty < best) best = ty;
        }
    }
    LowerTop(tables.falling, block, centre, &best);
    LowerTop(tables.crumbling, block, centre, &best);
    return best == kNoObject ? kNoObject : best - block.height;
}

void UpdateFallingBlock(GimmickBlock* block, const GimmickScroll& scroll, const GimmickMap& map,
                        const GimmickBlockTables& tables, const PlayerRecord* player, int stateAtFrameStart,
                        ShotSlot* playerShots, EffectSlot* effects, const int* sounds) {
    if (block->kind != kBlockStanding && block->kind != kBlockBreaking) return;
    block->frame += 1;
    if (block->frame >= kFrameWrap) block->frame = 0;
    FollowScroll(&block->x, &block->y, scroll);

    if (block->kind == kBlockStanding) {
        block->mapY += 5;
        block->y += 5;
        int rest = FindFallingBlockFloor(*block, map, tables);
        if (rest != kNoObject && block->mapY > rest) {
            block->y -= block->mapY - rest;
            block->mapY = rest;
        }
        int hitX = 0;
        int hitY = 0;
        if (player != nullptr && CheckShotHits(player, block->x, block->y, playerShots, sounds, 0, 0, block->width,
                                               block->height, stateAtFrameStart, &hitX, &hitY) != kHitNone) {
            block->kind = kBlockBreaking;
            block->frame = 0;
            PlacePlayerEffect(effects, kEffectBlockHit, hitX, hitY);
            PlaySound(sounds, kSoundBlockBreak);
        }
    }
    if (block->x < -200 || block->x > 840) EmptyBlock(block);
}

void DrawFallingBlock(const GimmickBlock& block, const int* images) {
    if (block.kind == kBlockStanding) {
        DrawGraphicAtPoint(block.x, block.y, images[StageImage::kCrumblingBlock], 1);
    } else if (block.kind == kBlockBreaking && block.frame / 5 < 12) {
        SetBlendModeAndParam(kBlendModeAdd, 255);
        DrawGraphicStretched(block.x - 64, block.y, block.x + block.width + 1, block.y + block.height + 1,
                             images[StageImage::kBlockBreak + block.frame / 5], 1);
        SetBlendModeAndParam(kBlendModeNone, 255);
    }
}

void DrawCrumblingBlock(const GimmickBlock& block, const int* images) {
    if (block.kind == kBlockStanding) DrawGraphicAtPoint(block.x, block.y - 32, images[701], 1);
}

// ---- the destruction front -----------------------------------------------------

void InitDestructionFront(DestructionFront* front, int y) {
    *front = DestructionFront{};
    front->x = kFrontStartX;
    front->y = y;
    front->hitLeft = 0;
    front->hitTop = -64;
    front->hitRight = kFrontWidth;
    front->hitBottom = kFrontHeight - 64;
}

namespace {

bool BreaksBeforeFront(int kind) {
    switch (kind) {
        case kTileGround:
        case kTileTurretFacingLeft:
        case kTileTurretFacingRight:
        case kTileBlock:
        case kTileFloor:
        case kTileWall:
            return true;
        default:
            return false;
    }
}

}  // namespace

void UpdateDestructionFront(DestructionFront* front, const GimmickScroll& scroll, const GimmickMap& map,
                            EffectSlot* effects, const int* sounds) {
    front->frame += 1;
    if (front->frame > 59) front->frame = 0;
    front->speedFrame += 1;
    if (front->speedFrame >= kFrameWrap) front->speedFrame = 0;
    FollowScroll(&front->x, &front->y, scroll);
    if (front->speedFrame % kFrontSpeedUpFrames == 0 && front->speed < kFrontTopSpeed) front->speed += 1;

    if (front->frame % 10 == 0 && map.tiles != nullptr && map.positions != nullptr) {
        const int* xPlane = map.positions;
        const int* yPlane = map.positions + kStagePlaneSize;
        int bandTop = front->y + front->hitTop;
        int bandBottom = front->y + front->hitBottom;
        bool placed = false;
        for (int r = 0; r < map.rows; ++r) {
            for (int c = 0; c < map.columns; ++c) {
                int index = c + r * map.columns;
                if (index >= kStagePlaneSize) break;
                if (!BreaksBeforeFront(map.tiles[index])) continue;
                int tx = xPlane[index];
                int ty = yPlane[index];
                if (tx == -1 || ty == -1) continue;
                int screenY = ty - Trunc(scroll.scrollY);
                if (!(screenY < bandBottom && screenY + 64 > bandTop)) continue;
                if (!(front->x < tx && tx <= front->x + kFrontWidth)) continue;
                PlacePlayerEffect(effects, kEffectDebris, tx + std::rand() % 64, screenY + std::rand() % 64);
                placed = true;
            }
        }
        if (placed && front->frame % 30 == 0) PlaySound(sounds, kSoundFrontRumble);
    }
    front->x += front->speed;
    if (sounds != nullptr && CheckSoundHandlePlaying(sounds[kSoundFrontLoop]) != 1) {
        PlaySound(sounds, kSoundFrontLoop);
    }
}

void DrawDestructionFront(const DestructionFront& front, const int* images) {
    DrawGraphicAtPoint(front.x, front.y - 64, images[StageImage::kDestructionFront + front.frame / 5], 1);
}

bool HitTestDestructionFront(const DestructionFront& front, int bodyX, int bodyY, int left, int top, int right,
                             int bottom) {
    ObjectBox box = {front.x + front.hitLeft, front.y + front.hitTop, 0, 0, front.hitRight - front.hitLeft,
                     front.hitBottom - front.hitTop, 1};
    return HitTestObjectRect(box, bodyX, bodyY, left, top, right, bottom);
}

bool HurtByDestructionFront(const DestructionFront& front, PlayerRecord* player, const int* sounds) {
    if (player->damaged) return false;
    if (!HitTestDestructionFront(front, Trunc(player->x), Trunc(player->screenY), player->hitLeft, player->hitTop,
                                 player->hitRight, player->hitBottom)) {
        return false;
    }
    ApplyDamage(player, kFrontDamage, sounds != nullptr ? sounds[kSoundDamage] : -1);
    return true;
}
