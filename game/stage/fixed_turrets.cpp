// The gun turrets: waking near the screen, their bullets and what stops them,
// damage to the turret, and drawing.
#include "game/stage/fixed_turrets.h"

#include <algorithm>
#include <cmath>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/attack_hits.h"
#include "game/stage/enemy_characters.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/player_character.h"
#include "game/stage/tile_kinds.h"

namespace {

// Bullets hit with this part of their box, from their top-left corner.
constexpr int kBulletHitLeft = 21;
constexpr int kBulletHitRight = 46;
constexpr int kBulletHitTop = 29;
constexpr int kBulletHitBottom = 59;

int FloorDiv(int value, int divisor) {
    int q = value / divisor;
    if (value % divisor != 0 && value < 0) --q;
    return q;
}

bool StopsBullet(int kind) {
    return kind == kTileGround || kind == kTileSpikes || kind == kTileElevatorLeft || kind == kTileElevatorMiddle ||
           kind == kTileElevatorRight || kind == kTileBlock || kind == kTileFloor;
}

bool InDrawWindow(int sx, int sy, int width, int height) {
    return -3 - width <= sx && sx < 644 && -3 - height <= sy && sy < 484;
}

}  // namespace

bool IsInWakeWindow(double x, double y, int width, int height, double scrollX, double scrollY) {
    const int sx = static_cast<int>(x - scrollX);
    const int sy = static_cast<int>(y - scrollY);
    return -64 - width <= sx && sx <= 704 && -192 - height <= sy && sy <= 672;
}

CFixedBattery::CFixedBattery(int* tileKinds, int columns, int rows)
    : tileKinds(tileKinds), columns(columns), rows(rows) {}

CFixedBattery::~CFixedBattery() {
    for (CBatteryBullet* bullet : bullets) delete bullet;
    bullets.clear();
}

int CFixedBattery::CellIndex() const {
    const int row = static_cast<int>(y) / 64;
    const int column = static_cast<int>(x) / 64;
    if (tileKinds == nullptr || x < 0 || y < 0 || row >= rows || column >= columns) return -1;
    return row * columns + column;
}

void CFixedBattery::ClearCell() {
    const int index = CellIndex();
    if (index >= 0) tileKinds[index] = 0;
}

bool CFixedBattery::TakeDamage(int damage) {
    if (hurt) return false;
    hitPoints -= damage;
    hitPoints = std::clamp(hitPoints, 0, 100);
    return true;
}

bool CFixedBattery::HitTest(double left, double top, double boxHeight) const {
    return x + width > left && top + boxHeight > y && y + height > top;
}

CBatteryBullet* CFixedBattery::FindHitBullet(const PlayerRecord* player, int left, int right, int top,
                                             int bottom) const {
    const double worldX = player->scrollX + player->x;
    const int boxLeft = static_cast<int>(worldX + left);
    const int boxRight = static_cast<int>(worldX + right);
    const int boxTop = static_cast<int>(player->mapY + top);
    const int boxBottom = static_cast<int>(player->mapY + bottom);
    for (CBatteryBullet* bullet : bullets) {
        if (boxRight > bullet->x + kBulletHitLeft && boxLeft < bullet->x + kBulletHitRight &&
            boxBottom > bullet->y + kBulletHitTop && boxTop < bullet->y + kBulletHitBottom)
            return bullet;
    }
    return nullptr;
}

bool CFixedBattery::RemoveBullet(CBatteryBullet* bullet) {
    auto found = std::find(bullets.begin(), bullets.end(), bullet);
    if (found == bullets.end()) return false;
    bullets.erase(found);
    delete bullet;
    return true;
}

void CFixedBattery::Update(double scrollX, double scrollY, bool destroyBullets, const ShotSlot* playerShots,
                           EffectSlot* effects, const int* sounds) {
    --hurtCounter;
    if (hurtCounter < 1) {
        hurt = false;
        hurtCounter = 0;
    }
    const int sx = static_cast<int>(x - scrollX);
    const int sy = static_cast<int>(y - scrollY);
    if (awake && offScreenCounter == 0) {
        ++fireCounter;
        if (hitPoints > 0 && fireInterval > 0 && fireCounter % fireInterval == 0) {
            auto* bullet = new CBatteryBullet;
            bullet->image = bulletImage;
            bullet->width = bulletWidth;
            bullet->height = bulletHeight;
            bullet->value = bulletValue;
            const double speed = std::fabs(bulletSpeedX);
            bullet->x = static_cast<int>(facesLeft ? x - width : x + width);
            // A bullet without horizontal speed starts level with the turret.
            bullet->y = speed == 0.0 ? static_cast<int>(y) : static_cast<int>(y + width / speed * bulletSpeedY);
            bullet->vx = facesLeft ? -speed : speed;
            bullet->vy = bulletSpeedY;
            bullets.push_back(bullet);
            for (int i = 0; effects != nullptr && i < kEffectTableSize; ++i) {
                EffectSlot& effect = effects[i];
                if (effect.x != -1 && effect.y != -1) continue;
                PlaceEffect(&effect, facesLeft ? sx - 32 : sx + 32, sy - 32);
                effect.kind = 11;
                effect.mirrored = facesLeft;
                break;
            }
        }
    }
    if (IsInWakeWindow(x, y, width, height, scrollX, scrollY))
        offScreenCounter = 0;
    else
        ++offScreenCounter;

    const int ownColumn = static_cast<int>(x) / 64;
    for (size_t i = 0; i < bullets.size();) {
        CBatteryBullet* bullet = bullets[i];
        bullet->x += bullet->vx;
        bullet->y += bullet->vy;
        if (IsInWakeWindow(bullet->x, bullet->y, bullet->width, bullet->height, scrollX, scrollY))
            bullet->offScreenCounter = 0;
        else
            ++bullet->offScreenCounter;

        bool gone = bullet->offScreenCounter > 119 || destroyBullets;
        if (!gone && playerShots != nullptr) {
            const int bx = static_cast<int>(bullet->x - scrollX);
            const int by = static_cast<int>(bullet->y - scrollY);
            for (int s = 0; s < kShotTableSize; ++s) {
                const ShotSlot& doll = playerShots[s];
                if (doll.state != 2 || doll.kind != 7) continue;
                if (doll.x + doll.hitLeft < bx + kBulletHitRight && bx + kBulletHitLeft < doll.x + doll.hitRight &&
                    by + kBulletHitTop < doll.y + doll.hitBottom && by + kBulletHitBottom >= doll.y + doll.hitTop) {
                    PlaceEffectInTable(effects, doll.x, doll.y - 32, 6);
                    if (sounds != nullptr) PlaySoundHandle(sounds[7], kPlayTypeBackground, 1);
                    gone = true;
                    break;
                }
            }
        }
        if (!gone && tileKinds != nullptr) {
            const int bx = static_cast<int>(bullet->x);
            const int by = static_cast<int>(bullet->y);
            const int firstColumn = std::max(FloorDiv(bx, 64), 0);
            const int lastColumn = std::min(FloorDiv(bx + bullet->width - 1, 64), columns - 1);
            const int firstRow = std::max(FloorDiv(by, 64), 0);
            const int lastRow = std::min(FloorDiv(by + bullet->height - 1, 64), rows - 1);
            for (int r = firstRow; r <= lastRow && !gone; ++r) {
                for (int c = firstColumn; c <= lastColumn; ++c) {
                    const int kind = tileKinds[r * columns + c];
                    const bool turret = kind == kTileTurretFacingLeft || kind == kTileTurretFacingRight;
                    if (StopsBullet(kind) || (turret && c != ownColumn)) {
                        gone = true;
                        break;
                    }
                }
            }
        }
        if (gone) {
            delete bullet;
            bullets.erase(bullets.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

void CFixedBattery::Draw(double scrollX, double scrollY, bool drawTurret) const {
    const int sx = static_cast<int>(x - scrollX);
    const int sy = static_cast<int>(y - scrollY);
    const bool blinkShown = !hurt || (blinkPeriod > 0 && (hurtCounter / blinkPeriod) % 2 == 1);
    if (drawTurret && InDrawWindow(sx, sy, width, height) && blinkShown)
        DrawGraphicPart(sx, sy, 0, 0, width, height, image, 1, facesLeft ? 0 : 1);
    for (const CBatteryBullet* bullet : bullets) {
        const int bx = static_cast<int>(bullet->x - scrollX);
        const int by = static_cast<int>(bullet->y - scrollY);
        if (!InDrawWindow(bx, by, bullet->width, bullet->height)) continue;
        DrawGraphicPart(bx, by, 0, 0, bullet->width, bullet->height, bullet->image, 1, bullet->vx > 0 ? 1 : 0);
    }
}

int DamageFixedBattery(CFixedBattery* turret, PlayerRecord* player, ShotSlot* playerShots, bool kill, int* hitX,
                       int* hitY, EffectSlot* effects, const int* sounds, int stateAtFrameStart) {
    if (kill) {
        turret->hitPoints = 0;
        turret->ClearCell();
        return 0;
    }
    if (!turret->hurt) {
        const int code = CheckPlayerAttackHits(player, turret, playerShots, sounds, stateAtFrameStart, hitX, hitY);
        if (code != kHitNone) {
            if (turret->TakeDamage(DamageForHitCode(code))) {
                turret->hurt = true;
                turret->hurtCounter = 20;
                turret->blinkPeriod = 1;
            }
            PlaceEffectInTable(effects, *hitX, *hitY, 1);
            if (sounds != nullptr) PlaySoundHandle(sounds[7], kPlayTypeBackground, 1);
        }
    }
    if (turret->hitPoints < 1) {
        turret->ClearCell();
        PlaceKillEffect(player, *hitX, *hitY, effects, sounds);
    }
    return 0;
}

int UpdateFixedBattery(CFixedBattery* turret, PlayerRecord* player, ShotSlot* playerShots, EffectSlot* effects,
                       const int* sounds, int* hitX, int* hitY, bool kill, bool destroyBullets,
                       int stateAtFrameStart) {
    const bool inside =
        IsInWakeWindow(turret->x, turret->y, turret->width, turret->height, player->scrollX, player->scrollY);
    if (inside && !turret->awake) {
        turret->awake = true;
        turret->fireCounter = 0;
    }
    if (turret->offScreenCounter > 299) turret->awake = false;
    if (turret->hitPoints > 0 && inside)
        DamageFixedBattery(turret, player, playerShots, kill, hitX, hitY, effects, sounds, stateAtFrameStart);
    turret->Update(player->scrollX, player->scrollY, destroyBullets, playerShots, effects, sounds);
    return 0;
}
