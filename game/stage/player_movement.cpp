// The player's horizontal and vertical movement each frame, and the view that
// follows the player.
#include "game/stage/player_movement.h"

#include <cmath>
#include <initializer_list>

#include "framework/sound/sound_playback.h"
#include "game/stage/enemy_updating.h"
#include "game/stage/side_elevator.h"
#include "game/stage/stage_table.h"
#include "game/stage/tile_kinds.h"

double HorizontalScrollLimit() {
    return (MapColumns - 10) * 64.0;
}

double StageVerticalBase(int viewRow) {
    return (viewRow - 4) * 64.0;
}

void FollowPlayerVertically(PlayerRecord* player, int rows) {
    double top = player->mapY - player->scrollY;
    if (top < kViewBandTop) {
        player->scrollY = player->mapY - kViewBandTop;
    } else if (top > kViewBandBottom) {
        player->scrollY = player->mapY - kViewBandBottom;
    }
    double lowest = rows * 64.0 - kScreenHeight;
    if (player->scrollY > lowest) player->scrollY = lowest;
    if (player->scrollY < 0) player->scrollY = 0;
    player->screenY = player->mapY - player->scrollY;
}

namespace {

int Trunc(double value) {
    return static_cast<int>(value);
}

// A tenth of the way from value to target, truncated toward zero.
int TenthToward(double value, double target) {
    return Trunc((target - value) / 10.0);
}

void PlaySound(const int* sounds, int index) {
    PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

void PlaySoundUnlessPlaying(const int* sounds, int index) {
    if (CheckSoundHandlePlaying(sounds[index]) != 1) PlaySound(sounds, index);
}

bool InState(int state, std::initializer_list<int> states) {
    for (int s : states) {
        if (s == state) return true;
    }
    return false;
}

bool WallRight(const PlayerRecord& player, const PlayerGround& ground) {
    static const int kDashBox[4] = {32, 0, 112, 0};
    const int* box = player.dashing ? kDashBox : nullptr;
    if (player.state == kPlayerLowForm) {
        return TestWallRight(box, Trunc(player.x), Trunc(player.mapY) + 64, ground.tiles, ground.positions,
                             ground.columns, ground.rows, kLowBodyMode, nullptr);
    }
    return TestWallRight(box, Trunc(player.x), Trunc(player.mapY), ground.tiles, ground.positions, ground.columns,
                         ground.rows, 0, nullptr);
}

bool WallLeft(const PlayerRecord& player, const PlayerGround& ground) {
    if (player.state == kPlayerLowForm) {
        return TestWallLeft(nullptr, Trunc(player.x), Trunc(player.mapY) + 64, ground.tiles, ground.positions,
                            ground.columns, ground.rows, kLowBodyMode, nullptr);
    }
    return TestWallLeft(nullptr, Trunc(player.x), Trunc(player.mapY), ground.tiles, ground.positions, ground.columns,
                        ground.rows, 0, nullptr);
}

// The moving floors and standing blocks that stand in the body's way at its
// new x (their top in the lower part of the body).
bool BlockedByFloorsOrBlocks(const PlayerRecord& player, const PlayerGround& ground) {
    int x = Trunc(player.x);
    int y = Trunc(player.mapY);
    for (MovingFloor* floors : ground.movingFloors) {
        for (int i = 0; floors != nullptr && i < kMovingFloorCount; ++i) {
            if (floors[i].active && HitTestMovingFloor(floors[i], x, y, player.state)) return true;
        }
    }
    int bodyWidth = player.state == kPlayerLowForm ? 64 : 128;
    for (GimmickBlock* blocks : ground.blockTables) {
        for (int i = 0; blocks != nullptr && i < kGimmickBlockCount; ++i) {
            const GimmickBlock& block = blocks[i];
            if (block.kind != kBlockStanding) continue;
            if (block.x < x + bodyWidth && block.x + block.width > x && y + 32 < block.mapY && block.mapY <= y + 96) {
                return true;
            }
        }
    }
    return false;
}

void ReturnTowardRestartX(PlayerRecord* player, const PlayerRecord& target) {
    double limit = HorizontalScrollLimit();
    if ((target.x >= 256 || target.x < 0) && limit > target.scrollX) {
        player->x = 256;
        player->scrollX += TenthToward(player->scrollX, target.scrollX);
    } else if (std::fabs(target.scrollX - player->scrollX) <= 30) {
        player->scrollX = target.scrollX;
        player->x += TenthToward(player->x, target.x);
    } else {
        player->scrollX += TenthToward(player->scrollX, target.scrollX);
    }
}

// The pushes of the side elevators that run into the body: the body's left
// (x + 32) is put where the elevator says, the scroll taking the move while
// the view is free to scroll that way.
void PushAsideBySideElevators(PlayerRecord* player, const PlayerGround& ground) {
    double limit = HorizontalScrollLimit();
    for (int i = 0; i < ground.sideElevatorCount; ++i) {
        int bodyX = Trunc(player->x);
        int bodyY = Trunc(player->mapY);
        int clear = ground.sideElevators[i].TestSideHit(player->scrollX, bodyX + player->hitLeft,
                                                         bodyY + player->hitTop, bodyX + player->hitRight,
                                                         bodyY + player->hitBottom);
        if (clear == -1) continue;
        double newX = clear - 32;
        if ((newX > 256 && player->scrollX < limit) || (newX < 256 && player->scrollX > 0)) {
            player->scrollX += newX - 256;
            if (player->scrollX < 0) player->scrollX = 0;
            if (player->scrollX > limit) player->scrollX = limit;
            player->x = 256;
        } else {
            player->x = newX;
        }
    }
}

}  // namespace

void MovePlayerHorizontal(PlayerRecord* player, const ButtonHeldFrames& buttons, const PlayerGround& ground,
                          const RestartPoint& restart, PlayerFrameState* frame, EffectSlot* effects,
                          const int* sounds) {
    if (player->state == kPlayerReturning) {
        ReturnTowardRestartX(player, restart.player);
        return;
    }

    double limit = HorizontalScrollLimit();
    double startX = player->x;
    double startScrollX = player->scrollX;
    player->carried = false;
    player->pushed = false;

    // The step from the keys, the dash or the knock-back, and the platform's.
    double keyStep = 0.0;
    double step = 0.0;
    if (player->dashing) {
        step = 13.0;
        player->facing = 2;
    } else if (!InState(player->state, {kPlayerAttacking, kPlayerHovering, kPlayerHoverShot, kPlayerKnockedBack,
                                        kPlayerThrowing})) {
        bool right = HeldFrames(buttons, KEY_RIGHT) > 0;
        bool left = HeldFrames(buttons, KEY_LEFT) > 0;
        if (right) {
            keyStep += 5.0;
            player->facing = 2;
        }
        if (left) {
            keyStep -= 5.0;
            player->facing = 1;
        }
        step = keyStep;
    }
    if (player->state == kPlayerKnockedBack && player->actionFrame != 1) step = player->facing == 1 ? 3.0 : -3.0;
    double platformStep = 0.0;
    if (player->platform && player->platform->active && !player->platform->waiting) {
        platformStep = player->platform->speed * player->platform->direction;
    }
    if (step == 0.0 && platformStep != 0.0) player->carried = true;
    step += platformStep;

    bool blocked = false;
    bool mayMoveRight = player->state != kPlayerAttacking || platformStep != 0.0 ||
                        (player->character == 2 && player->attackKind == 2);
    if (step > 0 && mayMoveRight) {
        if (player->x >= 0 && player->x < 256) {
            player->x += step;
        } else if (std::fabs(player->x - 256) < step && player->scrollX < limit) {
            player->x = 256;
            player->scrollX += step;
        } else if (player->scrollX >= limit) {
            player->x += step;
            if (player->x > 512) player->x = 512;
            player->scrollX = limit;
        }
        blocked = WallRight(*player, ground) || BlockedByFloorsOrBlocks(*player, ground);
    } else if (step < 0) {
        if (player->x > 256 && player->x <= 512) {
            player->x += step;
        } else if (player->x > 251 && player->x < 261 && player->scrollX > 0) {
            player->x = 256;
            player->scrollX += step;
        } else if (player->scrollX <= 0) {
            player->x += step;
            if (player->x < 0) player->x = 0;
            player->scrollX = 0;
        }
        blocked = WallLeft(*player, ground) || BlockedByFloorsOrBlocks(*player, ground);
    }
    if (blocked) {
        player->x = startX;
        player->scrollX = startScrollX;
        frame->blocked = true;
    }

    PushAsideBySideElevators(player, ground);

    if (keyStep != 0.0 && !blocked) {
        player->pushed = true;
        bool startsWalking = player->state == kPlayerLowForm
                                 ? HeldFrames(buttons, KEY_RIGHT) == 1
                                 : !InState(player->state, {kPlayerWalking, kPlayerAirborne, kPlayerAttacking,
                                                            kPlayerKnockedBack});
        if (startsWalking && !player->dashing) {
            PlaySound(sounds, kSoundStartStep);
            PlacePlayerEffect(effects, kEffectDash, Trunc(player->x), Trunc(player->screenY));
        }
    }
}

namespace {

bool KeepsFallingWhileAttacking(const PlayerRecord& player) {
    int c = player.character;
    int k = player.attackKind;
    return (c == 2 && k == 1) || (c == 4 && k == 1) || (c == 1 && k == 2) || (c == 3 && k == 1);
}

bool FeelsGravityWhileAttacking(const PlayerRecord& player) {
    int c = player.character;
    int k = player.attackKind;
    return (c == 2 && k == 1) || (c == 1 && k == 2) || (c == 3 && k == 1);
}

// The lowest of the ceilings over the body (the largest y); the body is then
// put just below it. False when there is none.
bool FindCeiling(const PlayerRecord& player, const PlayerGround& ground, double* candidateOut) {
    bool found = false;
    double best = 0.0;
    int top = FindCeilingAbove(ground.tiles, ground.positions, ground.columns, ground.rows, Trunc(player.x),
                               Trunc(player.mapY));
    if (top != -1) {
        best = top;
        found = true;
    }
    int bodyLeft = Trunc(player.scrollX + player.x) + 37;
    int bodyRight = Trunc(player.scrollX + player.x) + 91;
    int mapY = Trunc(player.mapY);
    for (int i = 0; i < ground.sideElevatorCount; ++i) {
        const CElevatorToSide& elevator = ground.sideElevators[i];
        int left = Trunc(elevator.x);
        if (!(left < bodyRight && left + kSideElevatorWidth > bodyLeft)) continue;
        int underside = Trunc(elevator.y) + 54;
        if (!(underside > mapY && underside - mapY < 64)) continue;
        double candidate = underside - 64;
        if (!found || candidate > best) {
            best = candidate;
            found = true;
        }
    }
    // Moving floors and standing blocks whose span holds one of the body's
    // probes and that the body's top has reached from below: the body goes
    // just below the floor's bottom.
    int probeLeft = Trunc(player.x) + 34;
    int probeRight = Trunc(player.x) + 90;
    auto consider = [&](int x, int width, int top, int height) {
        bool spans = (x <= probeLeft && probeLeft < x + width) || (x <= probeRight && probeRight < x + width);
        if (!spans || !(top < mapY && top + height >= mapY)) return;
        double candidate = top + height - 64;
        if (!found || candidate > best) {
            best = candidate;
            found = true;
        }
    };
    for (const MovingFloor* floors : ground.movingFloors) {
        for (int i = 0; floors != nullptr && i < kMovingFloorCount; ++i) {
            if (floors[i].active) consider(floors[i].x, floors[i].width, floors[i].mapY, floors[i].height);
        }
    }
    for (const GimmickBlock* blocks : ground.blockTables) {
        for (int i = 0; blocks != nullptr && i < kGimmickBlockCount; ++i) {
            const GimmickBlock& block = blocks[i];
            if (block.kind == kBlockStanding) consider(block.x, block.width, block.mapY, block.height);
        }
    }
    *candidateOut = best;
    return found;
}

// Every moving floor and block is stood on only while this frame's landing
// says so.
void ClearStoodOn(const PlayerGround& ground) {
    for (MovingFloor* floors : ground.movingFloors) {
        for (int i = 0; floors != nullptr && i < kMovingFloorCount; ++i) floors[i].stoodOn = false;
    }
    for (GimmickBlock* blocks : ground.blockTables) {
        for (int i = 0; blocks != nullptr && i < kGimmickBlockCount; ++i) blocks[i].stoodOn = false;
    }
}

}  // namespace

void MovePlayerVertical(PlayerRecord* player, const ButtonHeldFrames& buttons, const PlayerGround& ground,
                        const RestartPoint& restart, PlayerFrameState* frame, EffectSlot* effects, const int* sounds) {
    ClearStoodOn(ground);
    if (player->state == kPlayerReturning) {
        player->mapY += TenthToward(player->mapY, restart.player.mapY);
        player->yRel = player->mapY - ground.verticalBase;
        FollowPlayerVertically(player, ground.rows);
        return;
    }

    bool hovering = player->state == kPlayerHovering || player->state == kPlayerHoverShot;
    bool attacking = player->state == kPlayerAttacking;
    if (!hovering && (!attacking || KeepsFallingWhileAttacking(*player))) player->mapY -= player->vy;

    if (player->state == kPlayerHovering) {
        bool up = HeldFrames(buttons, KEY_UP) > 0;
        bool down = HeldFrames(buttons, KEY_DOWN) > 0;
        if (up && !down) player->mapY -= 4;
        if (down && !up) player->mapY += 4;
        if (up != down) PlaySoundUnlessPlaying(sounds, kSoundHover);
    }

    double ceiling = 0.0;
    if (FindCeiling(*player, ground, &ceiling)) {
        player->mapY = ceiling + 64;
        player->vy = 0;
    }

    if (!hovering && (!attacking || FeelsGravityWhileAttacking(*player)) && player->vy > -15) player->vy -= 1;

    // The floor: the nearest tile top or side elevator top under the body.
    player->platform = nullptr;
    int floorKind = 0;
    int mapY = Trunc(player->mapY);
    int floor = FindFloorBelow(ground.tiles, ground.positions, ground.columns, ground.rows, Trunc(player->x), mapY,
                               &floorKind);
    CElevatorToSide* floorElevator = nullptr;
    int bodyX = Trunc(player->x);
    // The moving floors and standing blocks under the body; the one chosen
    // is marked stood on once the body reaches it.
    bool* floorStoodOn = nullptr;
    auto considerFloor = [&](int x, int width, int top, bool* stoodOn) {
        if (!(x < bodyX + 90 && x + width > bodyX + 34) || top < mapY + 64) return;
        if (floor == -1 || top < floor) {
            floor = top;
            floorKind = 0;
            floorStoodOn = stoodOn;
        }
    };
    for (MovingFloor* floors : ground.movingFloors) {
        for (int i = 0; floors != nullptr && i < kMovingFloorCount; ++i) {
            if (floors[i].active) considerFloor(floors[i].x, floors[i].width, floors[i].mapY, &floors[i].stoodOn);
        }
    }
    for (GimmickBlock* blocks : ground.blockTables) {
        for (int i = 0; blocks != nullptr && i < kGimmickBlockCount; ++i) {
            GimmickBlock& block = blocks[i];
            if (block.kind == kBlockStanding) considerFloor(block.x, block.width, block.mapY, &block.stoodOn);
        }
    }
    for (int i = 0; i < ground.sideElevatorCount; ++i) {
        CElevatorToSide* elevator = &ground.sideElevators[i];
        int left = Trunc(elevator->x - player->scrollX);
        if (!(left < bodyX + 90 && left + kSideElevatorWidth > bodyX + 34)) continue;
        int top = Trunc(elevator->y) + elevator->topOffset;
        if (top < mapY + 64) continue;
        if (floor == -1 || top < floor) {
            floor = top;
            floorKind = 7;
            floorElevator = elevator;
            floorStoodOn = nullptr;
        }
    }
    frame->floorY = floor;
    if (floorStoodOn != nullptr && floor - 128 <= player->mapY) *floorStoodOn = true;
    if (floor != -1 && floor - 128 <= player->mapY && player->mapY < floor - 64) {
        player->mapY = floor - 128;
        player->vy = 0;
        frame->onGround = true;
        player->platform = floorElevator;
        if (floorKind == kTileSpikes && !player->damaged && !player->guarded)
            ApplyDamage(player, 10, sounds[kSoundDamage]);
    }

    player->yRel = player->mapY - ground.verticalBase;
    FollowPlayerVertically(player, ground.rows);

    if (player->character == 2 && player->state == kPlayerWallSlide) {
        player->vy = -3;
        PlaySoundUnlessPlaying(sounds, kSoundWallSlide);
        if (player->actionFrame % 15 == 0) {
            int ahead = player->facing == 2 ? 32 : -32;
            PlacePlayerEffect(effects, kEffectWallSlide, Trunc(player->x) + ahead, Trunc(player->screenY) - 16);
        }
    }

    bool jumpHeld = HeldFrames(buttons, JUMP) > 0;
    if (HeldFrames(buttons, JUMP) == 1) {
        switch (player->state) {
            case kPlayerLowForm: {
                // Stand up only where the full-height body has room.
                int x = Trunc(player->x);
                int y = Trunc(player->mapY);
                if (!TestWallRight(nullptr, x, y, ground.tiles, ground.positions, ground.columns, ground.rows, 0,
                                   nullptr) &&
                    !TestWallLeft(nullptr, x, y, ground.tiles, ground.positions, ground.columns, ground.rows, 0,
                                  nullptr)) {
                    player->state = kPlayerStanding;
                }
                break;
            }
            case kPlayerHovering:
                player->state = kPlayerAirborne;
                frame->jumpCount = 1;
                player->vy = 20;
                PlaySound(sounds, kSoundJump);
                break;
            case kPlayerAttacking:
            case kPlayerHoverShot:
            case kPlayerKnockedBack:
            case kPlayerThrowing:
                break;
            case kPlayerWallSlide:
                PlaySound(sounds, kSoundWallJump);
                player->vy = 15;
                break;
            default:
                if (frame->jumpCount > 0) {
                    PlaySound(sounds, kSoundJump);
                    PlacePlayerEffect(effects, kEffectJumpDust, Trunc(player->x) + 32, Trunc(player->screenY) + 64);
                    player->vy = 20;
                    player->actionFrame = 0;
                    frame->jumpCount -= 1;
                }
                break;
        }
    }

    if (jumpHeld && player->state == kPlayerStanding) {
        frame->jumpHeldFrames += 1;
    } else {
        frame->jumpHeldFrames = 0;
    }

    if (!jumpHeld && player->state == kPlayerAirborne && player->actionFrame < 15) {
        static const double kCaps[6] = {0, 14, 12, 10, 8, 6};
        if (player->actionFrame >= 1 && player->actionFrame <= 5) {
            if (player->vy > kCaps[player->actionFrame]) player->vy = kCaps[player->actionFrame];
        } else if (player->vy > 2) {
            player->vy -= 2;
        }
    }

    if (floor != -1 && player->mapY == floor - 128) {
        frame->jumpCount = 1;
        frame->onGround = true;
    }
}
