// The battle's shot tables at work: launching and removing shots, placing
// effects and playing sounds, moving the shots and testing them against both
// robots, and the scan beam on the weak point.
#include "game/bossbattle/battle_shots.h"

#include "framework/sound/sound_playback.h"
#include "game/stage/enemy_updating.h"

ShotSlot* LaunchBattleShot(ShotSlot* table, const ShotLaunch& launch) {
    for (int i = 0; i < kShotTableSize; ++i) {
        ShotSlot& slot = table[i];
        if (slot.state != 0) continue;
        slot.state = 2;
        slot.width = launch.width;
        slot.height = launch.height;
        slot.kind = launch.kind;
        slot.hitLeft = launch.hitLeft;
        slot.hitTop = launch.hitTop;
        slot.hitRight = launch.hitRight;
        slot.hitBottom = launch.hitBottom;
        if (launch.vx != kKeepVelocity) slot.vx = launch.vx;
        if (launch.vy != kKeepVelocity) slot.vy = launch.vy;
        slot.x = launch.x;
        slot.y = launch.y;
        slot.facing = launch.facing;
        slot.power = launch.power;
        return &slot;
    }
    return nullptr;
}

bool RemoveBattleShot(ShotSlot* table, int kind) {
    for (int i = 0; i < kShotTableSize; ++i) {
        if (table[i].state == 2 && table[i].kind == kind) {
            ResetShot(&table[i]);
            return true;
        }
    }
    return false;
}

namespace {

bool PlaceEffectOfKind(EffectSlot* effects, int x, int y, int kind) {
    for (int i = 0; i < kEffectTableSize; ++i) {
        if (StartEffect(&effects[i], x, y) == 0) {
            effects[i].kind = kind;
            return true;
        }
    }
    return false;
}

}  // namespace

void PlaceBattleEffect(EffectSlot* effects, int x, int y, int kind) { PlaceEffectOfKind(effects, x, y, kind); }

void PlayBattleSound(const int* sounds, int index) { PlaySoundHandle(sounds[index], kPlayTypeBackground, 1); }

void PlayBattleSoundIfIdle(const int* sounds, int index) {
    if (CheckSoundHandlePlaying(sounds[index]) != 1) PlayBattleSound(sounds, index);
}

void StopBattleSoundIfPlaying(const int* sounds, int index) {
    if (CheckSoundHandlePlaying(sounds[index]) == 1) StopSoundHandle(sounds[index]);
}

namespace {

bool OutsideMargin(int x, int y) { return x < -200 || x > 840 || y < -200 || y > 680; }

// The hurt box and the hit box overlap; the bottom test admits equality.
bool Overlaps(const ShotSlot& shot, int left, int top, int right, int bottom) {
    return left < shot.x + shot.hitRight && shot.x + shot.hitLeft < right && top < shot.y + shot.hitBottom &&
           shot.y + shot.hitTop <= bottom;
}

// A spark where the shot meets the robot's box, with the damage sound; both
// are left out when no effect slot is free.
void PlaceSpark(EffectSlot* effects, const int* sounds, const ShotSlot& shot, int left, int top, int right,
                int bottom) {
    int x = 0;
    int y = 0;
    ComputeHitPoint(shot.x + shot.hitLeft, shot.y + shot.hitTop, shot.hitRight - shot.hitLeft,
                    shot.hitBottom - shot.hitTop, left, top, right - left, bottom - top, &x, &y);
    if (PlaceEffectOfKind(effects, x, y, 1)) PlayBattleSound(sounds, 4);
}

}  // namespace

int MoveBattleShots(ShotSlot* playerShots, ShotSlot* bossShots, PlayerRobot* player, BossRobot* boss, int dx) {
    // While the view follows the robot, everything on screen moves against
    // the robot's world motion so that it keeps its place on the field.
    const bool viewFollows = player->screenX + player->boxRight == 320;
    const int shift = viewFollows ? dx : 0;
    for (int i = 0; i < kShotTableSize; ++i) {
        ShotSlot& enemy = bossShots[i];
        if (enemy.state == 2) {
            enemy.x -= shift;
            switch (enemy.kind) {
            case 102:
            case 104:
            case 105:
            case 111:
                enemy.x += enemy.vx;
                enemy.y += enemy.vy;
                break;
            case 112: UpdateParabolicArc(&enemy); break;
            default: break;
            }
            // A boss shot leaves on the left only once its right edge is past
            // the margin.
            if (enemy.x + enemy.width < -200 || enemy.x > 840 || enemy.y < -200 || enemy.y > 680 ||
                (enemy.kind == 101 && enemy.frame > 60))
                ResetShot(&enemy);
        } else if (enemy.state == 3) {
            enemy.x -= shift;
        }

        ShotSlot& own = playerShots[i];
        if (own.state == 2) {
            own.x -= shift;
            switch (own.kind) {
            case 2:
            case 102:
                own.x += own.vx;
                own.y += own.vy;
                break;
            case 106:
                // The marker holds the boss: back to deciding, its wait
                // starting again, each frame while the marker lives.
                boss->state = kBossDeciding;
                boss->stateCounter = 0;
                break;
            case 107:
            case 108:
            case 109:
            case 110: UpdateOrbitPosition(&own, player->screenX, player->screenY); break;
            default: break;
            }
            if (OutsideMargin(own.x, own.y) || (own.kind == 106 && own.frame > 180) ||
                (own.kind == 101 && own.frame > 60))
                ResetShot(&own);
        } else if (own.state == 3) {
            own.x -= shift;
        }
    }
    return 0;
}

int TestBattleHits(ShotSlot* playerShots, ShotSlot* bossShots, PlayerRobot* player, BossRobot* boss,
                   const int* sounds, EffectSlot* effects, int bossId, int& farScroll, int& nearScroll) {
    // Each robot loses hit points at most once per call, however many shots
    // touch it.
    const int playerHitPoints = player->hitPoints;
    const int bossHitPoints = boss->hitPoints;
    for (int i = 0; i < kShotTableSize; ++i) {
        ShotSlot& enemy = bossShots[i];
        if (enemy.state == 2 && !player->damageBlink) {
            const int left = player->screenX + player->boxLeft;
            const int top = player->screenY + player->boxTop;
            const int right = player->screenX + player->boxRight;
            const int bottom = player->screenY + player->boxBottom;
            if (Overlaps(enemy, left, top, right, bottom)) {
                if (enemy.kind == 114 && !player->guarding) {
                    // The grab; the scene lets the player go after its time.
                    PlayBattleSound(sounds, 17);
                    player->state = kRobotGrabbed;
                    boss->state = kBossHolding;
                    boss->stateCounter = 0;
                    ResetShot(&enemy);
                } else {
                    PlaceSpark(effects, sounds, enemy, left, top, right, bottom);
                    const int damage = enemy.power - player->defence;
                    if (damage > 0 && player->hitPoints == playerHitPoints && !player->guarding)
                        player->hitPoints -= damage;
                }
            }
        }

        ShotSlot& own = playerShots[i];
        if (own.state == 2 && !boss->damageBlink && own.kind != 103 && own.kind != 106 &&
            !(own.kind >= 107 && own.kind <= 110)) {
            const int left = boss->screenX + boss->boxLeft;
            const int top = boss->screenY + boss->boxTop;
            const int right = boss->screenX + boss->boxRight;
            const int bottom = boss->screenY + boss->boxBottom;
            if (!Overlaps(own, left, top, right, bottom)) continue;
            if (boss->state == kBossFarAttack && (bossId == 6 || bossId == 6000)) {
                // The last boss counters its charge: both robots are thrown
                // back to where the battle began and its near attack starts.
                player->state = kRobotHeld;
                player->guarding = 0;
                player->worldX = 280;
                player->screenX = -40;
                boss->worldX = 380;
                boss->screenX = 60;
                farScroll = -320;
                nearScroll = -320;
                boss->state = kBossNearAttack;
                boss->stateCounter = 0;
                PlayBattleSound(sounds, 7);
                PlayBattleSound(sounds, 17);
                PlaceEffectOfKind(effects, player->screenX, player->screenY, 104);
                PlaceEffectOfKind(effects, boss->screenX + 64, boss->screenY, 104);
            } else {
                PlaceSpark(effects, sounds, own, left, top, right, bottom);
                if (boss->hitPoints == bossHitPoints && !boss->invulnerable) boss->hitPoints -= own.power;
            }
        }
    }
    return 0;
}

int TestScanBeamOnWeakPoint(BossRobot* boss, ShotSlot* playerShots, PlayerRobot* player) {
    ShotSlot* beam = nullptr;
    for (int i = 0; i < kShotTableSize && !beam; ++i)
        if (playerShots[i].kind == 103) beam = &playerShots[i];
    if (!beam) {
        boss->scanOverlaps = 0;
        return -1;
    }
    const int weakLeft = boss->screenX + boss->weakPointX;
    const int weakTop = boss->screenY + boss->weakPointY;
    const int weakWidth = boss->weakPointWidth;
    const int weakHeight = boss->weakPointHeight;
    const bool overlap = beam->x < weakLeft + weakWidth && beam->x + beam->width > weakLeft &&
                         beam->y < weakTop + weakHeight && beam->y + beam->height >= weakTop;
    if (!overlap) {
        boss->scanOverlaps = 0;
        return 0;
    }
    boss->scanOverlaps = 1;
    if (weakLeft >= beam->x) {
        boss->scannedLeft = 0;
        boss->scannedWidth = beam->x + beam->width - weakLeft;
    } else {
        boss->scannedLeft = beam->x - weakLeft;
        boss->scannedWidth = weakLeft + weakWidth - beam->x;
    }
    if (weakTop >= beam->y) {
        boss->scannedTop = 0;
        boss->scannedHeight = beam->y + beam->height - weakTop;
    } else {
        boss->scannedTop = beam->y - weakTop;
        boss->scannedHeight = weakTop + weakHeight - beam->y;
    }
    if (boss->scannedWidth >= boss->weakPointWidth && boss->scannedHeight >= boss->weakPointHeight) {
        // The whole weak point is scanned: pilot 3's event starts, and the
        // scan is over for this battle (the finishers now apply).
        player->state = kRobotStanding;
        player->pilotEventCounter = 1;
        ResetShot(beam);
        boss->scanOff = 1;
    }
    return 0;
}
