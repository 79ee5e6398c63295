// The hit tests of the player's attacks and shots, and the damage of each hit
// code.
#include "game/stage/attack_hits.h"

#include "framework/sound/sound_playback.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/fixed_turrets.h"
#include "game/stage/player_character.h"

namespace {

constexpr int kExplosionSound = 23;

struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

bool IsCapturedEnemy(int kind) { return kind > 1000 && kind < 2000; }

// The code a touch by this shot gives; 0 for shots that hit nothing.
int CodeForShot(const ShotSlot& shot, bool turret) {
    switch (shot.kind) {
    case 7:
        return !turret && shot.frame > 19 ? kHitDollLate : kHitDollThrust;
    case 12:
        return turret ? kHitNone : kHitString;
    case 3:
        if (shot.state == 3) return kHitExplosion;
        if (shot.width == 128) return kHitRocketSmall;
        if (shot.width == 192) return kHitRocketMiddle;
        return kHitRocketLarge;
    case 6:
        return kHitAnchor;
    case 11:
        return kHitDive;
    case 4:
        return kHitBeam;
    case 5:
        return kHitGear;
    case 8:
        return kHitWall;
    default:
        return shot.kind >= 1001 && shot.kind <= 1007 ? kHitExplosion : kHitNone;
    }
}

void HitPointBetween(const Box& a, const Box& b, int* hitX, int* hitY) {
    ComputeHitPoint(a.left, a.top, a.right - a.left, a.bottom - a.top, b.left, b.top, b.right - b.left,
                    b.bottom - b.top, hitX, hitY);
}

// The swing and the dash share this box: from x + 64 (facing right) or the
// hit box's left to its right, and from the body's top to its bottom offset.
Box BodyFrontBox(const PlayerRecord* player, double x, double y) {
    const int left = static_cast<int>(player->facing == 2 ? x + 64 : x + player->hitLeft);
    return Box{left, static_cast<int>(y), static_cast<int>(x + player->hitRight),
               static_cast<int>(y + player->hitBottom)};
}

bool TouchesTopInclusive(const Box& attack, const Box& target) {
    return target.left < attack.right && attack.left < target.right && target.top < attack.bottom &&
           attack.top <= target.bottom;
}

void Explode(ShotSlot* shot) {
    shot->x += shot->width / 2 - 128;
    shot->y += shot->height / 2 - 128;
    shot->width = 256;
    shot->height = 256;
    shot->hitLeft = 64;
    shot->hitTop = 64;
    shot->hitRight = 192;
    shot->hitBottom = 192;
    shot->state = 3;
}

void PlayExplosion(const int* sounds) {
    if (sounds != nullptr) PlaySoundHandle(sounds[kExplosionSound], kPlayTypeBackground, 1);
}

}  // namespace

int DamageForHitCode(int code) {
    switch (code) {
    case 101: return 100;
    case 102: return 50;
    case 103: return 100;
    case 201: return 50;
    case 202: return 70;   // no attack gives this code
    case 203: return 120;  // no attack gives this code
    case 204: return 100;
    case 301: return 50;
    case 302: return 100;
    case 303: return 150;
    case 304: return 100;
    case 305: return 100;
    case 401: return 100;
    case 402: return 100;
    case 404: return 50;
    case 501: return 40;
    case 601: return 10000;
    default: return 0;
    }
}

int CheckShotHits(const PlayerRecord* player, int targetX, int targetY, ShotSlot* shots, const int* sounds,
                  int boxLeft, int boxTop, int boxRight, int boxBottom, int stateAtFrameStart, int* hitX, int* hitY) {
    const Box target{targetX + boxLeft, targetY + boxTop, targetX + boxRight, targetY + boxBottom};
    int code = kHitNone;
    const bool kolva = player->character == 2;

    if (kolva && stateAtFrameStart == kPlayerAttacking && player->attackKind == 1 && player->actionFrame > 10) {
        const Box swing = BodyFrontBox(player, player->x, player->screenY);
        if (TouchesTopInclusive(swing, target)) {
            HitPointBetween(swing, target, hitX, hitY);
            code = kHitSwing;
        }
    }
    if (kolva && player->attackKind == 2 && player->actionFrame > 21 && player->actionFrame < 71) {
        const Box body{static_cast<int>(player->x + player->hitLeft), static_cast<int>(player->screenY + player->hitTop),
                       static_cast<int>(player->x + player->hitRight),
                       static_cast<int>(player->screenY + player->hitBottom)};
        if (TouchesTopInclusive(body, target)) {
            HitPointBetween(body, target, hitX, hitY);
            code = kHitRush;
        }
    }
    ShotSlot* toExplode = nullptr;
    for (int i = 0; shots != nullptr && i < kShotTableSize; ++i) {
        ShotSlot& shot = shots[i];
        if (shot.state != 2 && shot.state != 3) continue;
        const Box box{shot.x + shot.hitLeft, shot.y + shot.hitTop, shot.x + shot.hitRight, shot.y + shot.hitBottom};
        if (!(box.right > target.left && box.bottom > target.top && target.bottom >= box.top &&
              box.left < target.right))
            continue;
        const int shotCode = CodeForShot(shot, false);
        if (shotCode == kHitNone) continue;
        if (shot.state == 2 && ((shot.kind == 3 && shot.frame < 200) || IsCapturedEnemy(shot.kind))) {
            PlayExplosion(sounds);
            shot.frame = 0;
            shot.x += shot.facing == 2 ? 32 : -32;
            toExplode = &shot;
        }
        HitPointBetween(box, target, hitX, hitY);
        code = shotCode;
    }
    if (player->dashing) {
        const Box body = BodyFrontBox(player, player->x, player->screenY);
        if (TouchesTopInclusive(body, target)) {
            HitPointBetween(body, target, hitX, hitY);
            code = kHitDash;
        }
    }
    if (toExplode != nullptr) Explode(toExplode);
    return code;
}

int CheckPlayerAttackHits(const PlayerRecord* player, const CFixedBattery* turret, ShotSlot* shots,
                          const int* sounds, int stateAtFrameStart, int* hitX, int* hitY) {
    const double downShift = player->mapY - player->screenY;
    const Box target{static_cast<int>(turret->x), static_cast<int>(turret->y),
                     static_cast<int>(turret->x) + turret->width, static_cast<int>(turret->y) + turret->height};
    // Hit points are shown on the screen.
    auto toScreen = [&](int* x, int* y) {
        *x = static_cast<int>(*x - player->scrollX);
        *y = static_cast<int>(*y - downShift);
    };

    if (player->character == 2 && stateAtFrameStart == kPlayerAttacking && player->attackKind == 1 &&
        player->actionFrame > 10) {
        const double worldX = player->x + player->scrollX;
        const double left = player->facing == 2 ? worldX + 64 : worldX + player->hitLeft;
        const double right = worldX + player->hitRight;
        if (right > turret->x && turret->HitTest(left, player->mapY, player->hitBottom)) {
            const Box swing{static_cast<int>(left), static_cast<int>(player->mapY), static_cast<int>(right),
                            static_cast<int>(player->mapY + player->hitBottom)};
            HitPointBetween(swing, target, hitX, hitY);
            toScreen(hitX, hitY);
            return kHitSwing;
        }
    }
    for (int i = 0; shots != nullptr && i < kShotTableSize; ++i) {
        ShotSlot& shot = shots[i];
        if (shot.state != 2 && shot.state != 3) continue;
        const double mx = shot.x + player->scrollX;
        const double my = shot.y + downShift;
        const double left = mx + shot.hitLeft;
        const double right = mx + shot.hitRight;
        const double top = my + shot.hitTop;
        const double bottom = my + shot.hitBottom;
        if (!(left < turret->x + turret->width && right > turret->x && top < turret->y + turret->height &&
              bottom > turret->y))
            continue;
        const int code = CodeForShot(shot, true);
        if (shot.state == 2 && shot.kind == 3 && shot.frame < 200) {
            PlayExplosion(sounds);
            Explode(&shot);
            shot.frame = 0;
            shot.x -= shot.facing == 2 ? 96 : 160;
        }
        if (code == kHitNone) continue;
        const Box box{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                      static_cast<int>(bottom)};
        HitPointBetween(box, target, hitX, hitY);
        toScreen(hitX, hitY);
        return code;
    }
    return kHitNone;
}
