// The shot tables at work: moving each shot kind, its tile and bullet tests,
// its explosion, and drawing both tables.
#include "game/stage/shot_table.h"

#include <cmath>
#include <numbers>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/enemy_characters.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/player_character.h"
#include "game/stage/tile_collision.h"

namespace {

constexpr double kPi = std::numbers::pi;

// Shots further than 200 pixels outside the 640 by 480 screen are gone.
constexpr int kLeftBound = -200;
constexpr int kRightBound = 640 + 200;
constexpr int kTopBound = -200;
constexpr int kBottomBound = 480 + 200;

// Stage sound table entries the shots play.
constexpr int kSoundBulletCancelled = 7;
constexpr int kSoundExplosion = 23;
constexpr int kSoundFlame = 24;
constexpr int kSoundAnchorCatch = 34;

constexpr int kEffectCancelSpark = 6;

void PlaySound(const int* sounds, int index) {
    if (sounds != nullptr) PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

// The handle at an image position, or -1 for a position that is not in every
// stage's list (nothing is drawn for it).
int Image(const int* images, int position) {
    if (images == nullptr || position < 0 || position >= kImagesInEveryStage) return -1;
    return images[position];
}

bool IsCaptured(int kind) { return kind >= kShotFirstCaptured && kind <= kShotLastCaptured; }

bool OutOfBounds(const ShotSlot& slot) {
    return slot.x < kLeftBound || slot.x > kRightBound || slot.y < kTopBound || slot.y > kBottomBound;
}

int Along(int facing, int step) { return facing == 2 ? step : -step; }

void BecomeExplosion(ShotSlot* slot) {
    slot->x += slot->width / 2 - 128;
    slot->y += slot->height / 2 - 128;
    slot->width = 256;
    slot->height = 256;
    slot->hitLeft = 64;
    slot->hitTop = 64;
    slot->hitRight = 192;
    slot->hitBottom = 192;
    slot->state = kShotExploding;
}

// The doll's and the wall's overlap: three edges strict, the shot's bottom
// reaching the bullet's top counts.
bool CancelsBullet(const ShotSlot& shot, const ShotSlot& bullet) {
    const int sl = shot.x + shot.hitLeft, sr = shot.x + shot.hitRight;
    const int st = shot.y + shot.hitTop, sb = shot.y + shot.hitBottom;
    const int bl = bullet.x + bullet.hitLeft, br = bullet.x + bullet.hitRight;
    const int bt = bullet.y + bullet.hitTop, bb = bullet.y + bullet.hitBottom;
    return sl < br && bl < sr && st < bb && sb >= bt;
}

void CancelTouchedBullets(const ShotSlot& shot, ShotSlot* enemyShots, EffectSlot* effects, const int* sounds) {
    for (int i = 0; enemyShots != nullptr && i < kShotTableSize; ++i) {
        ShotSlot& bullet = enemyShots[i];
        if (bullet.state != kShotFlying || !CancelsBullet(shot, bullet)) continue;
        int hx = 0;
        int hy = 0;
        ComputeHitPoint(shot.x + shot.hitLeft, shot.y + shot.hitTop, shot.hitRight - shot.hitLeft,
                        shot.hitBottom - shot.hitTop, bullet.x + bullet.hitLeft, bullet.y + bullet.hitTop,
                        bullet.hitRight - bullet.hitLeft, bullet.hitBottom - bullet.hitTop, &hx, &hy);
        if (effects != nullptr) PlaceEffectInTable(effects, hx, hy, kEffectCancelSpark);
        PlaySound(sounds, kSoundBulletCancelled);
        ResetShot(&bullet);
    }
}

void MoveEnemyShot(ShotSlot* slot) {
    switch (slot->kind) {
    case kShotKnife:
    case kShotRedBullet:
    case kShotIce:
        slot->x += slot->vx;
        slot->y += slot->vy;
        break;
    case kShotFallingStone:
        if (slot->vy < 10) slot->vy += 1;
        slot->y += slot->vy;
        break;
    default:
        break;
    }
}

void MovePlayerShot(ShotSlot* slot, PlayerRecord* player, ShotSlot* enemyShots, const ShotStepInputs& in) {
    switch (slot->kind) {
    case kShotRocket: UpdateRocketShot(slot, in.tiles, in.sounds); break;
    case kShotFlame: UpdateFlameShot(slot, player, in.sounds); break;
    case kShotGear:
    case kShotDive:
        slot->x += slot->vx;
        slot->y += slot->vy;
        break;
    case kShotAnchor: UpdateVerticalShot(slot, player, in.tiles, in.sounds, in.hangY); break;
    case kShotWall: UpdateWallShot(slot, enemyShots, in.effects, in.sounds); break;
    case kShotString: UpdateStringShot(slot, player); break;
    default:
        if (IsCaptured(slot->kind) && in.buttons != nullptr) UpdateCapturedEnemy(slot, *in.buttons, in.sounds);
        break;
    }
}

}  // namespace

void ResetShot(ShotSlot* slot) {
    slot->angle = 0.0;
    slot->state = 0;
    slot->kind = 2;
    slot->power = 10;
    slot->frame = 0;
    slot->vx = 0;
    slot->vy = 0;
}

void UpdateOrbitPosition(ShotSlot* slot, int centreX, int centreY) {
    double base = 0.0;
    switch (slot->kind) {
    case 108: base = M_PI / 2; break;
    case 109: base = M_PI; break;
    case 110: base = 3 * M_PI / 2; break;
    default: break;
    }
    const double angle = base + (slot->frame % 120) * 2 * M_PI / 120;
    slot->x = static_cast<int>(std::cos(angle) * 128 + centreX + 256 - 64);
    slot->y = static_cast<int>(std::sin(angle) * 128 + centreY + 256 - 64);
}

void UpdateParabolicArc(ShotSlot* slot) {
    if (slot->x == slot->startX && slot->y == slot->startY) {
        slot->arcTravel = 0;
        slot->arcOffset = 0;
    }
    slot->arcTravel += slot->vx;
    slot->x += slot->vx;
    const int offset = (slot->arcTravel + 150) * (slot->arcTravel + 150) / 200 - 112;
    slot->y += offset - slot->arcOffset;
    slot->arcOffset = offset;
}

void CountShotFrames(ShotSlot* playerShots, ShotSlot* enemyShots) {
    for (int i = 0; i < kShotTableSize; ++i) {
        if (enemyShots != nullptr && (enemyShots[i].state == kShotFlying || enemyShots[i].state == kShotExploding))
            ++enemyShots[i].frame;
        if (playerShots == nullptr) continue;
        ShotSlot& s = playerShots[i];
        if (s.state == kShotFlying || s.state == kShotExploding || (s.state == kShotParked && s.kind == kShotDoll))
            ++s.frame;
    }
}

bool ShotHitsSolidTile(const ShotSlot* slot, const int* tiles, const int* positions, int columns, int rows) {
    if (tiles == nullptr || positions == nullptr || columns <= 0 || rows <= 0) return false;
    const int left = slot->x + slot->hitLeft;
    const int right = slot->x + slot->hitRight;
    const int top = slot->tileTestY + slot->hitTop;
    const int bottom = slot->tileTestY + slot->hitBottom;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const long long index = c + static_cast<long long>(r) * columns;
            // The position planes hold no more cells than this.
            if (index >= kStagePlaneSize) return false;
            if (!IsBlockKind(tiles[index])) continue;  // shots stop where bodies do
            const int tx = positions[index];
            if (tx == -1) continue;
            const int ty = positions[kStagePlaneSize + index];
            if (left < tx + 64 && tx < right && top < ty + 64 && ty < bottom) return true;
        }
    }
    return false;
}

void UpdateRocketShot(ShotSlot* slot, const ShotTileWindow& tiles, const int* sounds) {
    if (slot->width <= 200) {
        if (slot->frame < 25) {
            slot->x += Along(slot->facing, slot->vx);
        } else {
            const int speed = slot->vx - (slot->frame - 25) / 20;
            if (speed >= 0) slot->x += Along(slot->facing, speed);
            slot->y += slot->vy;
            slot->tileTestY += slot->vy;
        }
    } else {
        slot->x += Along(slot->facing, slot->vx);
    }
    if (slot->width < 200 && ShotHitsSolidTile(slot, tiles.tiles, tiles.positions, tiles.columns, tiles.rows)) {
        PlaySound(sounds, kSoundExplosion);
        BecomeExplosion(slot);
        slot->x += Along(slot->facing, 32);
        slot->frame = 0;
    }
}

void UpdateFlameShot(ShotSlot* slot, const PlayerRecord* player, const int* sounds) {
    if (sounds != nullptr && CheckSoundHandlePlaying(sounds[kSoundFlame]) != 1) PlaySound(sounds, kSoundFlame);
    const int px = static_cast<int>(player->x);
    slot->y = static_cast<int>(player->screenY) + 32;
    slot->x = player->facing == 2 ? px + 128 : px - 128;
}

void UpdateVerticalShot(ShotSlot* slot, PlayerRecord* player, const ShotTileWindow& tiles, const int* sounds,
                        int* hangY) {
    const int t = player->actionFrame;
    if (t < 56) {
        slot->y -= slot->vy;
        slot->tileTestY -= slot->vy;
    } else if (t >= 90) {
        slot->y += slot->vy;
        slot->tileTestY += slot->vy;
        if (slot->y > slot->limitY) slot->y = slot->limitY;
        if (slot->tileTestY > slot->limitTileTestY) slot->tileTestY = slot->limitTileTestY;
    }
    if (ShotHitsSolidTile(slot, tiles.tiles, tiles.positions, tiles.columns, tiles.rows)) {
        PlaySound(sounds, kSoundAnchorCatch);
        player->state = kPlayerHovering;
        if (hangY != nullptr) *hangY = slot->y;
        ResetShot(slot);
        return;
    }
    if (t >= 159) ResetShot(slot);
}

void UpdateDollShot(ShotSlot* slot, const PlayerRecord* player, ShotSlot* enemyShots, EffectSlot* effects,
                    const int* sounds, int* dollCount) {
    if (slot->frame < 20) {
        slot->power = 100;
        slot->x += Along(slot->facing, slot->vx);
    } else if (slot->frame < 170) {
        slot->power = 50;
        slot->state = kShotFlying;
    } else {
        slot->state = kShotParked;
        const int px = static_cast<int>(player->x);
        const int py = static_cast<int>(player->screenY);
        // Each axis snaps onto its aim point inside a 15-pixel window, else
        // closes in by 10 pixels.
        auto home = [](int* position, int size, int aim) {
            const int centre = *position + size / 2;
            if (centre >= aim - 15 && centre <= aim + 15) {
                *position = aim - size / 2;
                return true;
            }
            *position += centre < aim ? 10 : -10;
            return false;
        };
        const bool inX = home(&slot->x, slot->width, px + 64);
        const bool inY = home(&slot->y, slot->height, py + 80);
        if (inX && inY) {
            const int level = player->attackLevel;
            if (dollCount != nullptr && level >= 1 && level <= 3 && *dollCount < level + 1) ++*dollCount;
            ResetShot(slot);
        }
        return;
    }
    CancelTouchedBullets(*slot, enemyShots, effects, sounds);
}

void UpdateWallShot(ShotSlot* slot, ShotSlot* enemyShots, EffectSlot* effects, const int* sounds) {
    if (slot->frame > 120) {
        ResetShot(slot);
        return;
    }
    if (slot->hitTop > 0) slot->hitTop += slot->vy;
    CancelTouchedBullets(*slot, enemyShots, effects, sounds);
}

void UpdateStringShot(ShotSlot* slot, const PlayerRecord* player) {
    slot->y = static_cast<int>(player->screenY) + 64;
    if (slot->facing == 2) {
        slot->hitRight += slot->vx - slot->frame;
        slot->width += slot->vx - slot->frame;
    } else {
        slot->hitLeft += slot->frame + slot->vx;
        slot->width -= slot->frame + slot->vx;
    }
    if (slot->hitRight - slot->hitLeft < 0) slot->state = kShotParked;
}

void UpdateCapturedEnemy(ShotSlot* slot, const std::map<int, int>& buttons, const int* sounds) {
    if (slot->state != kShotFlying) return;
    if (HeldFrames(buttons, KEY_LEFT) > 0) {
        if (slot->x >= 0) slot->x -= slot->vx;
        slot->facing = 1;
    }
    if (HeldFrames(buttons, KEY_RIGHT) > 0) {
        if (slot->x + slot->width < 640) slot->x += slot->vx;
        slot->facing = 2;
    }
    if (HeldFrames(buttons, KEY_UP) > 0 && slot->y >= 0) slot->y -= slot->vx;
    if (HeldFrames(buttons, KEY_DOWN) > 0 && slot->y + slot->height < 480) slot->y += slot->vx;
    if (HeldFrames(buttons, ATTACK) > 0) {
        PlaySound(sounds, kSoundExplosion);
        BecomeExplosion(slot);
        slot->frame = 0;
    }
}

int UpdateShots(ShotSlot* playerShots, PlayerRecord* player, ShotSlot* enemyShots, const ShotStepInputs& inputs) {
    // The map moves instead of the player while the player stands at the
    // scroll point; the vertical scroll always moves the shots.
    const int shiftX = player->x == 256.0 ? static_cast<int>(inputs.scrollDx) : 0;
    const int shiftY = static_cast<int>(inputs.scrollDy);
    auto scroll = [&](ShotSlot& s) {
        if (s.state == kShotFlying || s.state == kShotExploding || (s.state == kShotParked && s.kind == kShotDoll)) {
            s.x -= shiftX;
            s.y -= shiftY;
        }
    };
    for (int i = 0; i < kShotTableSize; ++i) {
        if (enemyShots != nullptr) scroll(enemyShots[i]);
        if (playerShots != nullptr) scroll(playerShots[i]);

        if (enemyShots != nullptr && enemyShots[i].state == kShotFlying) {
            ShotSlot& e = enemyShots[i];
            MoveEnemyShot(&e);
            if (OutOfBounds(e) || inputs.clearFlag == 1) ResetShot(&e);
        }

        if (playerShots == nullptr) continue;
        ShotSlot& p = playerShots[i];
        if (p.kind == kShotDoll && (p.state == kShotFlying || p.state == kShotParked)) {
            UpdateDollShot(&p, player, enemyShots, inputs.effects, inputs.sounds, inputs.dollCount);
        } else if (p.state == kShotFlying) {
            MovePlayerShot(&p, player, enemyShots, inputs);
        }
        if (p.state == kShotFlying && p.kind != kShotDoll && OutOfBounds(p)) ResetShot(&p);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Drawing.

void DrawShotExplosion(ShotSlot* slot, const int* images) {
    SetBlendModeAndParam(kBlendModeAdd, 255);
    const int position = 316 + slot->frame / 5;
    if (position > 327 || slot->frame < 0) {
        ResetShot(slot);
    } else {
        const int handle = Image(images, position);
        if (handle != -1)
            DrawGraphicStretched(slot->x, slot->y, slot->x + slot->width + 1, slot->y + slot->height + 1, handle, 1);
    }
    SetBlendModeAndParam(kBlendModeNone, 0);
}

namespace {

void DrawAt(int x, int y, int handle, bool mirrored) {
    if (handle == -1) return;
    if (mirrored)
        DrawGraphicMirrored(x, y, handle, 1);
    else
        DrawGraphicAtPoint(x, y, handle, 1);
}

void DrawStretched(int x1, int y1, int x2, int y2, int handle) {
    if (handle != -1) DrawGraphicStretched(x1, y1, x2, y2, handle, 1);
}

void DrawRotated(int x, int y, double scale, double angle, int handle) {
    if (handle != -1) DrawGraphicRotated(x, y, scale, angle, handle, 1, 0);
}

void DrawCapturedEnemy(const ShotSlot& s, const int* images) {
    switch (s.kind) {
    case 1001: DrawMirelleLook(s.frame, s.facing, s.x, s.y, images); break;
    case 1002: DrawHamushiLook(s.frame, s.facing, s.x, s.y, images); break;
    case 1003: DrawHamushiShotLook(s.frame, s.facing, s.x, s.y, images); break;
    case 1004: DrawWatadamaLook(s.frame, s.facing, s.x, s.y, images); break;
    case 1005: DrawArmorDevilLook(s.frame, s.facing, s.x, s.y, images); break;
    case 1006: DrawArmorDevilLeaderLook(s.frame, s.facing, s.x, s.y, images); break;
    case 1007: DrawStoneSnakeLook(s.frame, s.facing, s.x, s.y, images); break;
    default: break;
    }
}

}  // namespace

void DrawEnemyShot(const ShotSlot* slot, const int* images) {
    const ShotSlot& s = *slot;
    if (s.state != kShotFlying) return;
    const int cx = s.x + s.width / 2;
    const int cy = s.y + s.height / 2;
    switch (s.kind) {
    case kShotKnife: DrawRotated(cx, cy, 1.0, s.angle, Image(images, 140)); break;
    case kShotRedBullet:
        SetBlendModeAndParam(kBlendModeAdd, 255);
        DrawAt(s.x, s.y, Image(images, 139), false);
        SetBlendModeAndParam(kBlendModeNone, 0);
        break;
    case kShotFallingStone: DrawAt(s.x, s.y, Image(images, 676), false); break;
    case kShotIce: DrawRotated(cx, cy, 1.0, s.angle, Image(images, 681)); break;
    default: break;
    }
}

void DrawPlayerShot(ShotSlot* slot, const PlayerRecord* player, const int* images) {
    ShotSlot& s = *slot;
    if (s.state == kShotExploding) {
        DrawShotExplosion(slot, images);
        return;
    }
    if (!(s.state == kShotFlying || (s.state == kShotParked && s.kind == kShotDoll))) return;
    switch (s.kind) {
    case kShotRocket: {
        const int handle = Image(images, 304 + (s.frame % 58) / 5);
        if (s.facing == 1)
            DrawStretched(s.x + s.width, s.y, s.x, s.y + s.height, handle);
        else
            DrawStretched(s.x, s.y, s.x + s.width, s.y + s.height, handle);
        break;
    }
    case kShotFlame:
        SetBlendModeAndParam(kBlendModeAdd, 255);
        // After the first pass the flame loops over its last eight images.
        if (s.frame >= 120) s.frame = 40;
        DrawAt(s.x, s.y, Image(images, 329 + s.frame / 10), s.facing == 1);
        SetBlendModeAndParam(kBlendModeNone, 0);
        break;
    case kShotGear: {
        const int p = s.frame % 8;
        const double scale = player != nullptr && player->attackLevel == 1 ? 0.5 : 1.0;
        const int cx = s.x + s.width / 2;
        const int cy = s.y + s.height / 2;
        DrawRotated(cx, cy, scale, p * kPi / 8, Image(images, 341));
        DrawRotated(cx, cy, scale, -p * kPi / 8, Image(images, 90));
        break;
    }
    case kShotDoll: {
        const int handle = Image(images, 369 + (s.frame / 3) % 6);
        if (s.frame < 170)
            DrawAt(s.x, s.y, handle, false);
        else
            DrawStretched(s.x + 64, s.y + 32, s.x + s.width - 128, s.y + s.height - 64, handle);
        break;
    }
    case kShotWall:
        DrawStretched(s.x, s.y + s.hitTop, s.x + s.width, s.y + s.height + 1, Image(images, 673));
        break;
    case kShotString:
        if (s.facing == 2)
            DrawStretched(s.x, s.y, s.x + s.width + 1, s.y + s.height + 1, Image(images, 683));
        else
            DrawStretched(s.x + s.hitLeft, s.y, s.x + 65, s.y + s.height + 1, Image(images, 683));
        break;
    default:
        if (IsCaptured(s.kind) && s.state == kShotFlying) DrawCapturedEnemy(s, images);
        break;
    }
}

void DrawShots(ShotSlot* playerShots, ShotSlot* enemyShots, const PlayerRecord* player, const int* images) {
    if (player != nullptr && player->state == kPlayerSpell) return;
    for (int i = 0; i < kShotTableSize; ++i) {
        if (enemyShots != nullptr) DrawEnemyShot(&enemyShots[i], images);
        if (playerShots != nullptr) DrawPlayerShot(&playerShots[i], player, images);
    }
}
