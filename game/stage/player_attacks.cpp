// Each character's attacks frame by frame, and the shots and effects they put
// out.
#include "game/stage/player_attacks.h"

#include <cstdlib>
#include <initializer_list>

#include "framework/sound/sound_playback.h"
#include "game/stage/enemy_characters.h"
#include "game/stage/tile_collision.h"

int TamselChargeFrames = 0;
bool KolvaComboFlag = false;

namespace {

constexpr int kEffectBroom = 10;
constexpr int kEffectFirstStar = 7;

void PlaySound(const int* sounds, int index) {
    if (sounds != nullptr) PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

bool Held(const ButtonHeldFrames& buttons, int bit) { return HeldFrames(buttons, bit) > 0; }

int Trunc(double value) { return static_cast<int>(value); }

// What a new shot is: kind, size, hit box and velocity.
struct ShotShape {
    int kind;
    int width;
    int height;
    int hitLeft;
    int hitTop;
    int hitRight;
    int hitBottom;
    int vx;
    int vy;
};

// Puts a shot into the first free slot, flying with the player's facing from
// the player's screen position (the map y is its tile-test y). A full table
// drops it: null.
ShotSlot* SpawnShot(const PlayerRecord& player, ShotSlot* shots, const ShotShape& shape) {
    ShotSlot* slot = FindFreeShot(shots);
    if (slot == nullptr) return nullptr;
    slot->state = kShotFlying;
    slot->frame = 0;
    slot->angle = 0.0;
    slot->facing = player.facing;
    slot->x = Trunc(player.x);
    slot->y = Trunc(player.screenY);
    slot->tileTestY = Trunc(player.mapY);
    slot->kind = shape.kind;
    slot->width = shape.width;
    slot->height = shape.height;
    slot->hitLeft = shape.hitLeft;
    slot->hitTop = shape.hitTop;
    slot->hitRight = shape.hitRight;
    slot->hitBottom = shape.hitBottom;
    slot->vx = shape.vx;
    slot->vy = shape.vy;
    return slot;
}

bool InAny(int state, std::initializer_list<int> states) {
    for (int s : states)
        if (s == state) return true;
    return false;
}

void PlaceEffect(EffectSlot* effects, int x, int y, int kind) {
    if (effects != nullptr) PlaceEffectInTable(effects, x, y, kind);
}

int Toward(int facing, int n) { return facing == 2 ? n : -n; }

// Attack starts, by character, on the frame ATTACK goes down.
void StartAttack(PlayerRecord* player, const ButtonHeldFrames& buttons, int* throwCount, int* ready,
                 const int* sounds, ShotSlot* shots) {
    const bool up = Held(buttons, KEY_UP);
    const bool down = Held(buttons, KEY_DOWN);
    const bool forward = (Held(buttons, KEY_LEFT) && player->facing == 1) ||
                         (Held(buttons, KEY_RIGHT) && player->facing == 2);
    player->actionFrame = 1;
    switch (player->character) {
    case 1:
        if (!up && *throwCount > 0) {
            player->attackKind = kRessaThrust;
            RessaThrust(player, shots, sounds);
            *throwCount -= 1;
            player->state = kPlayerAttacking;
            *ready = 0;
        } else if (up) {
            player->attackKind = kRessaGrab;
            RessaGrab(player, shots, sounds);
            player->state = kPlayerAttacking;
            *ready = 0;
        }
        break;
    case 2:
        if (*ready <= 0) break;
        player->attackKind = forward ? kKolvaRush : kKolvaCombo;
        if (!forward) KolvaComboFlag = false;
        player->state = kPlayerAttacking;
        *ready = 0;
        break;
    case 3:
        if (*ready <= 0) break;
        if (up && player->state != kPlayerHovering) {
            player->attackKind = kTamselUpShot;
            player->state = kPlayerAttacking;
        } else if (down && player->state != kPlayerHovering && player->state == kPlayerAirborne) {
            player->attackKind = kTamselDive;
            player->state = kPlayerAttacking;
        }
        break;
    case 4:
        if (*ready <= 0) break;
        if (forward) {
            player->attackKind = kWendrikSpread;
            player->state = kPlayerAttacking;
            *ready = 0;
        } else if (up) {
            player->attackKind = kWendrikSpreadLow;
            player->state = kPlayerAttacking;
            *ready = 0;
        } else if (down && player->state != kPlayerAirborne) {
            for (int i = 0; shots != nullptr && i < kShotTableSize; ++i)
                if (shots[i].state == kShotFlying && shots[i].kind == kShotWall) ResetShot(&shots[i]);
            player->attackKind = kWendrikPillars;
            player->state = kPlayerAttacking;
        }
        break;
    default:
        break;
    }
}

// The attack in progress, by (character, kind). -1 ends character 1's.
int StepAttack(PlayerRecord* player, const ButtonHeldFrames& buttons, const int* sounds, ShotSlot* shots,
               const PlayerGround& ground, PlayerFrameState* frame, EffectSlot* effects) {
    switch (player->character * 10 + player->attackKind) {
    case 11: return RessaThrust(player, shots, sounds);
    case 12: return RessaGrab(player, shots, sounds);
    case 21: return KolvaCombo(player, shots, sounds, buttons, effects);
    case 22: return KolvaRush(player, shots, sounds, ground);
    case 31: return TamselChargedShot(player, shots, sounds);
    case 32: return TamselUpShot(player, shots, sounds);
    case 33: return TamselDive(player, shots, sounds, ground, frame);
    case 41: return WendrikBeam(player, shots, sounds);
    case 42: return WendrikSpread(player, shots, sounds);
    case 43: return WendrikSpreadLow(player, shots, sounds);
    case 44: return WendrikPillars(player, shots, sounds);
    default: return 0;
    }
}

}  // namespace

int UpdatePlayerAttack(PlayerRecord* player, const ButtonHeldFrames& buttons, int* throwCount, int* ready,
                       const int* sounds, ShotSlot* shots, const PlayerGround& ground, PlayerFrameState* frame,
                       EffectSlot* effects) {
    const int stateAtStart = player->state;
    const int attack = HeldFrames(buttons, ATTACK);

    // The attack in progress.
    if (player->state == kPlayerAttacking || player->state == kPlayerHoverShot) {
        const int result = StepAttack(player, buttons, sounds, shots, ground, frame, effects);
        if (player->character == 1 && result == -1) player->state = kPlayerStanding;
    } else if (player->character == 3 && player->attackKind == kTamselDive && !player->dashing) {
        // The dive's guard ends with the dive, however its animation ended.
        player->guarded = false;
    }

    // A new attack.
    if (attack == 1 && !player->dashing &&
        !InAny(player->state, {kPlayerAttacking, kPlayerLowForm, kPlayerHoverShot, kPlayerKnockedBack,
                               kPlayerThrowing, kPlayerReturning}))
        StartAttack(player, buttons, throwCount, ready, sounds, shots);

    // ATTACK held: character 3 charges, character 4 fires the beam.
    if (attack > 0 && !player->dashing && *ready > 0) {
        const bool free = player->state != kPlayerAttacking && player->state != kPlayerLowForm;
        if (player->character == 3) {
            const bool chargingAttack = player->state == kPlayerAttacking && player->attackKind != kTamselUpShot &&
                                        player->attackKind != kTamselDive && !Held(buttons, KEY_UP);
            if ((free || chargingAttack) && TamselChargeFrames < kTamselChargeLimit) ++TamselChargeFrames;
        } else if (player->character == 4 && free) {
            player->attackKind = kWendrikBeam;
            player->actionFrame = 1;
            player->state = kPlayerAttacking;
            *ready = 0;
            WendrikBeam(player, shots, sounds);
        }
    }

    // ATTACK up: the beam stops; character 3's charge is let go.
    if (attack == 0) {
        if (stateAtStart == kPlayerAttacking && player->character == 4 && player->attackKind == kWendrikBeam) {
            player->state = kPlayerStanding;
            for (int i = 0; shots != nullptr && i < kShotTableSize; ++i)
                if (shots[i].state == kShotFlying && shots[i].kind == kShotFlame) ResetShot(&shots[i]);
        }
        if (player->character == 3 && TamselChargeFrames > 0 && !player->dashing &&
            !InAny(player->state, {kPlayerAttacking, kPlayerLowForm, kPlayerHoverShot, kPlayerKnockedBack,
                                   kPlayerReturning}) &&
            *ready > 0) {
            player->actionFrame = 1;
            player->attackKind = kTamselChargedShot;
            TamselChargedShot(player, shots, sounds);
            player->state = player->state == kPlayerHovering ? kPlayerHoverShot : kPlayerAttacking;
            *ready = 0;
        }
        if (player->character == 3) TamselChargeFrames = 0;
        if (player->state != kPlayerAttacking && player->state != kPlayerHoverShot) *ready = 1;
    }
    return 0;
}

int RessaThrust(PlayerRecord* player, ShotSlot* shots, const int* sounds) {
    if (player->actionFrame == 10) {
        ShotSlot* doll = SpawnShot(*player, shots, ShotShape{kShotDoll, 128, 64, 10, -30, 118, 94, 5, 0});
        if (doll != nullptr) doll->x = Trunc(player->x) + Toward(player->facing, 64);
        PlaySound(sounds, kSoundThrust);
    }
    return player->actionFrame > 20 ? -1 : 0;
}

int RessaGrab(PlayerRecord* player, ShotSlot* shots, const int* sounds) {
    if (player->actionFrame == 10) {
        SpawnShot(*player, shots, ShotShape{kShotString, 64, 64, 0, 0, 64, 64, Toward(player->facing, 10), 0});
        PlaySound(sounds, kSoundGrab);
    }
    if (player->actionFrame < 20) return 0;
    // The string that has come back is let go; the grab lasts while one is
    // still out.
    bool out = false;
    for (int i = 0; shots != nullptr && i < kShotTableSize; ++i) {
        if (shots[i].kind != kShotString) continue;
        if (shots[i].state == kShotParked) ResetShot(&shots[i]);
        if (shots[i].state == kShotFlying) out = true;
    }
    return out ? 0 : -1;
}

int KolvaCombo(PlayerRecord* player, ShotSlot*, const int*, const ButtonHeldFrames& buttons, EffectSlot* effects) {
    const int f = player->actionFrame;
    if (HeldFrames(buttons, ATTACK) == 1 && ((f >= 5 && f <= 23) || (f >= 30 && f <= 47))) KolvaComboFlag = true;
    if (f == 26 || f == 50) {
        if (!KolvaComboFlag) player->state = kPlayerStanding;
        KolvaComboFlag = false;
    }
    if (f == 5 || f == 27 || f == 51) {
        player->guarded = true;
        if (player->facing == 2)
            player->hitRight = 150;
        else
            player->hitLeft = -22;
    }
    if (f == 25 || f == 49 || f == 79) {
        ResetPlayerHitBox(player);
        player->guarded = false;
    }
    const int x = Trunc(player->x);
    const int y = Trunc(player->screenY);
    if (f == 2 || f == 28) PlaceEffect(effects, x + 32, y, kEffectBroom);
    if (f == 58 || f == 61 || f == 64 || f == 67) {
        const int ahead = 64 + 32 * ((f - 58) / 3);
        PlaceEffect(effects, x + Toward(player->facing, ahead), y, kEffectFirstStar + std::rand() % 3);
    }
    return 0;
}

int KolvaRush(PlayerRecord* player, ShotSlot*, const int*, const PlayerGround& ground) {
    player->vy = 0;
    player->guarded = true;
    const int f = player->actionFrame;
    if (f >= 16 && f <= 22)
        MovePlayerAlongFacing(player, 9, ground);
    else if (f >= 23 && f <= 43)
        MovePlayerAlongFacing(player, 10, ground);
    return 0;
}

int MovePlayerAlongFacing(PlayerRecord* player, int n, const PlayerGround& ground) {
    const double startX = player->x;
    const double startScroll = player->scrollX;
    const double limit = HorizontalScrollLimit();
    const bool closeToScrollPoint = player->x > 256 - n && player->x < 256 + n;
    bool wall = false;
    if (player->facing == 2) {
        if (player->x > 0 && player->x < 256) {
            player->x += n;
        } else if (closeToScrollPoint && player->scrollX < limit) {
            player->x = 256;
            player->scrollX += n;
        } else if (player->scrollX >= limit) {
            player->x += n;
            if (player->x > 512) player->x = 512;
            player->scrollX = limit;
        }
        wall = TestWallRight(nullptr, Trunc(player->x), Trunc(player->mapY), ground.tiles, ground.positions,
                             ground.columns, ground.rows, 0, nullptr);
    } else {
        if (player->x > 256 && player->x <= 512) {
            player->x -= n;
        } else if (closeToScrollPoint && player->scrollX > 0) {
            player->x = 256;
            player->scrollX -= n;
        } else if (player->scrollX <= 0) {
            player->x -= n;
            if (player->x < 0) player->x = 0;
            player->scrollX = 0;
        }
        wall = TestWallLeft(nullptr, Trunc(player->x), Trunc(player->mapY), ground.tiles, ground.positions,
                            ground.columns, ground.rows, 0, nullptr);
    }
    if (wall) {
        player->x = startX;
        player->scrollX = startScroll;
    }
    return 0;
}

int TamselChargedShot(PlayerRecord* player, ShotSlot* shots, const int* sounds) {
    // The charge is let go when the shot starts; the rocket keeps its size.
    if (player->actionFrame <= 1) player->attackWork[0] = TamselChargeFrames;
    if (player->actionFrame != 5) return 0;
    const int charge = player->attackWork[0];
    const int level = player->attackLevel;
    const int speed = level == 3 ? 8 : level == 2 ? 6 : 4;
    const bool right = player->facing == 2;
    ShotShape shape{};
    if (charge < 90)
        shape = right ? ShotShape{kShotRocket, 128, 64, 50, 5, 120, 90, speed, 5}
                      : ShotShape{kShotRocket, 128, 64, 8, 5, 78, 90, speed, 5};
    else if (charge < 180)
        shape = right ? ShotShape{kShotRocket, 192, 96, 75, 7, 182, 90, speed, 5}
                      : ShotShape{kShotRocket, 192, 96, 12, 7, 117, 90, speed, 5};
    else
        shape = right ? ShotShape{kShotRocket, 256, 128, 100, 10, 240, 120, 8, 0}
                      : ShotShape{kShotRocket, 256, 128, 16, 10, 156, 120, 8, 0};
    ShotSlot* rocket = SpawnShot(*player, shots, shape);
    // Centred on the player's middle, x + 64.
    if (rocket != nullptr) rocket->x = Trunc(player->x) + 64 - shape.width / 2;
    PlaySound(sounds, kSoundRocket);
    TamselChargeFrames = 0;
    return 0;
}

int TamselUpShot(PlayerRecord* player, ShotSlot* shots, const int* sounds) {
    const int f = player->actionFrame;
    if (f == 10) {
        ShotSlot* anchor = SpawnShot(*player, shots, ShotShape{kShotAnchor, 50, 50, 0, 0, 50, 64, 0, 4});
        if (anchor != nullptr) {
            anchor->startX = anchor->x;
            anchor->startY = anchor->tileTestY;
            // It comes back down no lower than it started.
            anchor->limitY = anchor->y;
            anchor->limitTileTestY = anchor->tileTestY;
        }
    }
    if (f == 15 || f == 95) PlaySound(sounds, kSoundAnchorArm);
    return 0;
}

int TamselDive(PlayerRecord* player, ShotSlot* shots, const int*, const PlayerGround& ground,
               PlayerFrameState* frame) {
    const int f = player->actionFrame;
    if (f == 24) SpawnShot(*player, shots, ShotShape{kShotDive, 128, 64, 0, 0, 128, 64, 0, 15});
    if (f < 24) return 0;
    if (f > 44) {
        player->guarded = false;
        return 0;
    }
    player->guarded = true;
    const int floor = FindFloorBelow(ground.tiles, ground.positions, ground.columns, ground.rows, Trunc(player->x),
                                     Trunc(player->mapY), nullptr);
    if (floor != -1 && player->mapY + 15 >= floor - 128) {
        player->mapY = floor - 128;
        if (frame != nullptr) frame->onGround = true;
        // Forward only: a dive that stands on the floor at frame 44 must not
        // be sent back to 43 again and again.
        if (player->actionFrame < 43) player->actionFrame = 43;
    } else {
        player->mapY += 15;
    }
    return 0;
}

int WendrikBeam(PlayerRecord* player, ShotSlot* shots, const int* sounds) {
    player->vy = -3;
    if (player->actionFrame == 30) {
        SpawnShot(*player, shots, ShotShape{kShotFlame, 128, 64, 10, 10, 120, 60, 0, 0});
        PlaySound(sounds, kSoundBeam);
    }
    return 0;
}

namespace {

// The gears: one, or two at attack level 3; small at level 1.
void SpawnGears(const PlayerRecord& player, ShotSlot* shots, bool low) {
    const int n = player.attackLevel == 3 ? 2 : 1;
    const bool small = player.attackLevel == 1;
    const int size = small ? 64 : 128;
    for (int i = 0; i < n; ++i) {
        const int speed = low ? 2 * n - 2 * i : 4;
        const int vy = low ? -3 : -n + i;
        const ShotShape shape = small ? ShotShape{kShotGear, size, size, 8, 8, 56, 56, Toward(player.facing, speed), vy}
                                      : ShotShape{kShotGear, size, size, 16, 16, 111, 111,
                                                  Toward(player.facing, speed), vy};
        SpawnShot(player, shots, shape);
    }
}

}  // namespace

int WendrikSpread(PlayerRecord* player, ShotSlot* shots, const int*) {
    if (player->actionFrame == 30) SpawnGears(*player, shots, false);
    return 0;
}

int WendrikSpreadLow(PlayerRecord* player, ShotSlot* shots, const int*) {
    if (player->actionFrame == 30) SpawnGears(*player, shots, true);
    return 0;
}

int WendrikPillars(PlayerRecord* player, ShotSlot* shots, const int* sounds) {
    const int f = player->actionFrame;
    int step = 0;
    if (f == 10)
        step = 1;
    else if (f == 20 && player->attackLevel >= 2)
        step = 2;
    else if (f == 30 && player->attackLevel >= 3)
        step = 3;
    if (step == 0) return 0;
    const int height = 80 + 16 * step;
    // A pair flanking the player's middle (x + 64), each step one wall
    // further out, standing on the player's feet and rising from them.
    const int offsets[2] = {32 + 64 * step, 32 - 64 * step};
    for (int offset : offsets) {
        ShotSlot* wall = SpawnShot(*player, shots, ShotShape{kShotWall, 64, height, 0, height, 64, height, 0, -10});
        if (wall == nullptr) continue;
        wall->x = Trunc(player->x) + offset;
        wall->y = Trunc(player->screenY) + 128 - height;
        wall->tileTestY = Trunc(player->mapY) + 128 - height;
    }
    PlaySound(sounds, kSoundPillar);
    return 0;
}
