// The two robots' per-frame movement: the player robot's walk and knock-back
// with the camera, and the bosses' ranges and attack timelines.
#include "game/bossbattle/boss_behaviour.h"

#include <cstdlib>

#include "game/bossbattle/battle_shots.h"
#include "game/bossbattle/command_input.h"

int BossRangeMode = -100000;
bool BossInPosition = false;

namespace {

constexpr int kFieldWidth = 1280;
constexpr int kKeep = kKeepVelocity;

// Bosses by id: the boss-rush ids fight the same bosses, and every id not
// named is boss 1.
int BossNumber(int bossId) {
    switch (bossId) {
    case 2:
    case 2000: return 2;
    case 3:
    case 3000: return 3;
    case 5:
    case 5000: return 5;
    case 6:
    case 6000: return 6;
    default: return 1;
    }
}

int BossColumn(int bossNumber) {
    switch (bossNumber) {
    case 2: return 1;
    case 3: return 2;
    case 5: return 3;
    case 6: return 4;
    default: return 0;
    }
}

enum class EffectAt {
    None,
    BossMuzzle,   // (boss screen x - 28, boss screen y + 50)
    ShotCorner,   // the shot's (x, y)
    ShotCentre,   // the shot's centre
    BossCorner,   // (boss screen x, boss screen y)
};

// One attack timeline. The shot's x and y are offsets from the boss's screen
// position; every timeline ends on the first frame after lastFrame.
struct AttackPattern {
    int spawnFrames[3];
    int spawnCount;
    ShotLaunch shot;
    bool hitBoxIsBody;  // the shot hits with the boss's own body box
    bool arc;           // a lobbed shot: its arc starts where it is put
    int sound;          // at each spawn; -1 none
    bool soundOnEvenFrames;  // instead: on every even frame below 62
    int effectKind;
    EffectAt effectAt;
    int effectFrame;  // -1: at each spawn
    // The boss and its shot lunge: moveStep per frame over the two spans.
    int lungeFrom;
    int lungeTo;
    int lungeStep;
    int returnFrom;
    int returnTo;
    int returnStep;
    int removeAfter;  // the kind is removed on every frame past it; -1 never
    bool removalEndsInvulnerability;
    bool invulnerable;  // from frame 0 to the end
    int lastFrame;
};

constexpr int kNone = -1;

// [boss column][range 0 near, 1 middle, 2 far]
const AttackPattern kAttackPatterns[5][3] = {
    {
        // boss 1
        {{55}, 1, {101, 64, 64, 0, 0, 64, 64, 0, kKeep, 5, 190, 1, 2}, false, false, kNone, false, 0,
         EffectAt::None, kNone, 0, -1, 0, 0, -1, 0, 64, false, false, 64},
        {{125}, 1, {104, 512, 32, 0, 0, 32, 32, -8, 0, 67, 166, 1, 4}, false, false, 10, false, 103,
         EffectAt::BossMuzzle, kNone, 0, -1, 0, 0, -1, 0, kNone, false, false, 149},
        {{50}, 1, {105, 384, 384, 0, 0, 0, 0, -9, 0, 0, 0, 1, 7}, true, false, 10, false, 0, EffectAt::None,
         kNone, 0, -1, 0, 0, -1, 0, kNone, false, true, 100},
    },
    {
        // boss 2
        {{34}, 1, {101, 128, 128, -64, 0, 64, 128, 0, kKeep, 70, 190, 1, 3}, false, false, 14, false, 0,
         EffectAt::None, kNone, 34, 50, -3, 51, 64, 3, 64, false, false, 64},
        {{70, 75, 80}, 3, {112, 64, 64, 10, 10, 55, 55, -8, 0, 160, 170, 1, 4}, false, true, 15, false, 0,
         EffectAt::None, kNone, 0, -1, 0, 0, -1, 0, kNone, false, false, 144},
        {{30}, 1, {101, 128, 128, -64, 0, 64, 128, 0, kKeep, 15, 210, 1, 7}, false, false, 3, false, 0,
         EffectAt::None, kNone, 30, 54, -10, 0, -1, 0, 54, false, false, 60},
    },
    {
        // boss 3
        {{45}, 1, {101, 64, 64, 0, 0, 64, 64, 0, kKeep, -30, 165, 1, 3}, false, false, 14, false, 0,
         EffectAt::None, kNone, 0, -1, 0, 0, -1, 0, 60, false, false, 60},
        {{30}, 1, {113, 484, 256, 0, 0, 512, 256, 0, kKeep, -64, 110, 1, 5}, false, false, 16, false, 0,
         EffectAt::None, kNone, 0, -1, 0, 0, -1, 0, 70, false, true, 90},
        {{5}, 1, {114, 64, 64, 0, 0, 64, 64, 0, kKeep, -5, 165, 1, 3}, false, false, 14, false, 109,
         EffectAt::ShotCorner, kNone, 0, -1, 0, 0, -1, 0, 20, false, false, 20},
    },
    {
        // boss 5
        {{50}, 1, {111, 128, 64, 0, 0, 128, 64, -7, kKeep, 115, 115, 1, 2}, false, false, 15, false, 0,
         EffectAt::None, kNone, 0, -1, 0, 0, -1, 0, kNone, false, false, 60},
        {{40, 50, 60}, 3, {112, 64, 64, 10, 10, 55, 55, -7, kKeep, 190, 120, 1, 4}, false, true, 15, false, 0,
         EffectAt::None, kNone, 0, -1, 0, 0, -1, 0, kNone, false, false, 70},
        {{50}, 1, {104, 512, 32, 0, 0, 32, 32, -8, 0, 160, 160, 1, 10}, false, false, 10, false, 103,
         EffectAt::BossMuzzle, kNone, 0, -1, 0, 0, -1, 0, kNone, false, false, 70},
    },
    {
        // boss 6
        {{45}, 1, {101, 128, 64, 0, 0, 128, 64, 0, kKeep, 40, 180, 1, 3}, false, false, kNone, false, 0,
         EffectAt::None, kNone, 0, -1, 0, 0, -1, 0, 64, true, false, 64},
        {{35}, 1, {102, 128, 256, 20, 60, 108, 196, -5, 0, 10, 80, 1, 5}, false, false, 5, false, 105,
         EffectAt::ShotCentre, kNone, 0, -1, 0, 0, -1, 0, kNone, false, false, 60},
        {{}, 0, {}, false, false, 14, true, 107, EffectAt::BossCorner, 5, 0, -1, 0, 0, -1, 0, kNone, false, true,
         63},
    },
};

// The near, middle and far distances of each boss.
const int kWantedDistances[3][5] = {
    {120, 30, 120, 200, 120},
    {400, 200, 150, 200, 300},
    {300, 100, 80, 350, 250},
};

void PlacePatternEffect(const AttackPattern& pattern, const BossRobot& boss, const ShotLaunch& shot,
                        EffectSlot* effects) {
    int x = 0;
    int y = 0;
    switch (pattern.effectAt) {
    case EffectAt::None: return;
    case EffectAt::BossMuzzle:
        x = boss.screenX - 28;
        y = boss.screenY + 50;
        break;
    case EffectAt::ShotCorner:
        x = shot.x;
        y = shot.y;
        break;
    case EffectAt::ShotCentre:
        x = shot.x + shot.width / 2;
        y = shot.y + shot.height / 2;
        break;
    case EffectAt::BossCorner:
        x = boss.screenX;
        y = boss.screenY;
        break;
    }
    PlaceBattleEffect(effects, x, y, pattern.effectKind);
}

ShotSlot* FirstFlyingShot(ShotSlot* table, int kind) {
    for (int i = 0; i < kShotTableSize; ++i)
        if (table[i].state == 2 && table[i].kind == kind) return &table[i];
    return nullptr;
}

void Lunge(BossRobot* boss, ShotSlot* bossShots, int kind, int step) {
    boss->worldX += step;
    boss->screenX += step;
    if (ShotSlot* shot = FirstFlyingShot(bossShots, kind)) shot->x += step;
}

bool HoldsButton(Manager::CInputManager* input, int bit) { return RobotButtonFrames(input, bit) != 0; }

void RemoveFlyingShot(ShotSlot* shots, int kind) { RemoveBattleShot(shots, kind); }

// The knock-back: the robot is thrown back along a hop for 30 frames.
void KnockBack(PlayerRobot* player, BossRobot* boss, int& walkMode, int& farScroll, int& nearScroll) {
    if (player->stateCounter >= 30) {
        player->screenY = 70;
        player->state = kRobotStanding;
        return;
    }
    player->worldX -= 3;
    const int f = player->stateCounter;
    player->screenY = ((f - 15) * (f - 15) - 225) / 4 + 70;
    if (player->worldX < -player->boxLeft) player->worldX = -player->boxLeft;
    if (player->worldX + player->boxLeft == 0) return;
    if (player->screenX + player->boxLeft != 0) {
        player->screenX -= 3;
        if (player->screenX < -player->boxLeft) player->screenX = -player->boxLeft;
        walkMode = 1;
    } else {
        boss->screenX += 3;
        walkMode = 2;
        farScroll += 1;
        nearScroll += 3;
    }
}

// A step to the right; true when the robot walked.
bool WalkRight(PlayerRobot* player, BossRobot* boss, int& walkMode, int& farScroll, int& nearScroll) {
    const int bossRight = boss->worldX + boss->boxRight;
    const bool overlap = player->worldX + player->boxLeft < bossRight &&
                         player->worldX + player->boxRight >= boss->worldX + boss->boxLeft;
    if (overlap) {
        if (bossRight < kFieldWidth) player->worldX += 1;
    } else {
        player->worldX += 3;
    }
    if (player->worldX > kFieldWidth - player->boxRight) player->worldX = kFieldWidth - player->boxRight;

    // Near the middle of the screen the robot snaps onto it, where the view
    // starts to follow.
    const bool fieldContinues = player->worldX + player->boxRight + 320 < kFieldWidth;
    int front = player->screenX + player->boxRight;
    if (front >= 311 && front <= 329 && fieldContinues) {
        player->worldX += 320 - player->boxRight - player->screenX;
        player->screenX = 320 - player->boxRight;
        front = 320;
    }
    if (front >= 640) return false;

    if (front == 320 && player->worldX + player->boxRight + 320 < kFieldWidth) {
        walkMode = 2;
        if (!overlap) {
            farScroll -= 1;
            nearScroll -= 3;
            boss->screenX -= 3;
            return true;
        }
        if (bossRight < kFieldWidth) {
            // Pushing the boss along the field.
            nearScroll -= 1;
            boss->worldX += 1;
            return true;
        }
        return false;
    }

    walkMode = 1;
    if (overlap) {
        if (bossRight >= kFieldWidth) {
            // Both against the field's end.
            boss->worldX = kFieldWidth - boss->boxRight;
            boss->screenX = 640 - boss->boxRight;
            player->worldX = boss->worldX - player->boxRight + boss->boxLeft;
            player->screenX = boss->screenX - player->boxRight + boss->boxLeft;
            return false;
        }
        player->screenX += 1;
        boss->screenX += 1;
        boss->worldX += 1;
        return true;
    }
    player->screenX += 3;
    if (player->screenX >= 640 - player->boxRight) {
        player->screenX = 640 - player->boxRight;
        return false;
    }
    return true;
}

// A step to the left; true when the robot walked.
bool WalkLeft(PlayerRobot* player, BossRobot* boss, int& walkMode, int& farScroll, int& nearScroll) {
    player->worldX -= 3;
    if (player->worldX + player->boxLeft < 0) {
        player->worldX = -player->boxLeft;
        player->screenX = -player->boxLeft;
        nearScroll = 0;
    }
    if (player->worldX + player->boxLeft == 0) return false;
    if (player->screenX + player->boxLeft != 0) {
        player->screenX -= 3;
        if (player->screenX < -player->boxLeft) player->screenX = -player->boxLeft;
        walkMode = 1;
    } else {
        walkMode = 2;
        farScroll += 1;
        nearScroll += 3;
        boss->screenX += 3;
    }
    return true;
}

}  // namespace

int UpdateRobotWalk(ShotSlot* playerShots, PlayerRobot* player, BossRobot* boss, Manager::CInputManager* input,
                    const int* sounds, int& walkMode, int& farScroll, int& nearScroll) {
    switch (player->state) {
    case kRobotKnockedBack:
        RemoveFlyingShot(playerShots, 101);
        KnockBack(player, boss, walkMode, farScroll, nearScroll);
        return 0;
    case kRobotGrabbed:
    case kRobotHeld: RemoveFlyingShot(playerShots, 101); return 0;
    case kRobotBasicAttack:
    case kRobotHeavyAttack:
    case kRobotDashAttack:
    case kRobotGuard: return 0;
    default: break;
    }

    if (player->state == kRobotPilotSpecial && player->pilot == 3) {
        // Steering the scan beam; the robot stands still.
        for (int i = 0; i < kShotTableSize; ++i) {
            ShotSlot& beam = playerShots[i];
            if (beam.kind != 103) continue;
            if (HoldsButton(input, KEY_RIGHT) && beam.x + beam.width < 640) beam.x += beam.vx;
            if (HoldsButton(input, KEY_LEFT) && beam.x > 0) beam.x -= beam.vx;
            if (HoldsButton(input, KEY_UP) && beam.y > 0) beam.y -= beam.vy;
            if (HoldsButton(input, KEY_DOWN) && beam.y + beam.height < 480) beam.y += beam.vy;
            break;
        }
        return 0;
    }

    const bool right = HoldsButton(input, KEY_RIGHT);
    const bool left = HoldsButton(input, KEY_LEFT);
    bool walked = false;
    if (right && !left) walked = WalkRight(player, boss, walkMode, farScroll, nearScroll);
    else if (left && !right) walked = WalkLeft(player, boss, walkMode, farScroll, nearScroll);
    if (walked) PlayBattleSoundIfIdle(sounds, 1);
    return 0;
}

int BossWantedDistance(int mode, int bossId) {
    if (mode < 1 || mode > 3) return 0;
    return kWantedDistances[mode - 1][BossColumn(BossNumber(bossId))];
}

int RunBossAttackPattern(int bossId, BossRobot* boss, ShotSlot* bossShots, const int* sounds, EffectSlot* effects) {
    if (boss->state < kBossNearAttack || boss->state > kBossFarAttack) return 0;
    const AttackPattern& pattern = kAttackPatterns[BossColumn(BossNumber(bossId))][boss->state - kBossNearAttack];
    const int f = boss->stateCounter;

    if (pattern.invulnerable && f == 0) boss->invulnerable = 1;
    for (int i = 0; i < pattern.spawnCount; ++i) {
        if (f != pattern.spawnFrames[i]) continue;
        ShotLaunch shot = pattern.shot;
        shot.x += boss->screenX;
        shot.y += boss->screenY;
        if (pattern.hitBoxIsBody) {
            shot.hitLeft = boss->boxLeft;
            shot.hitTop = boss->boxTop;
            shot.hitRight = boss->boxRight;
            shot.hitBottom = boss->boxBottom;
        }
        ShotSlot* slot = LaunchBattleShot(bossShots, shot);
        if (slot && pattern.arc) {
            // The arc starts from where the shot is put, even when the view
            // shifts it before its first step.
            slot->startX = slot->x;
            slot->startY = slot->y;
            slot->arcTravel = 0;
            slot->arcOffset = 0;
        }
        if (pattern.sound != kNone) PlayBattleSound(sounds, pattern.sound);
        if (pattern.effectFrame == kNone) PlacePatternEffect(pattern, *boss, shot, effects);
    }
    if (pattern.effectFrame != kNone && f == pattern.effectFrame)
        PlacePatternEffect(pattern, *boss, pattern.shot, effects);
    if (pattern.soundOnEvenFrames && f % 2 == 0 && f < 62) PlayBattleSound(sounds, pattern.sound);

    if (f >= pattern.lungeFrom && f <= pattern.lungeTo) Lunge(boss, bossShots, pattern.shot.kind, pattern.lungeStep);
    if (f >= pattern.returnFrom && f <= pattern.returnTo)
        Lunge(boss, bossShots, pattern.shot.kind, pattern.returnStep);
    if (pattern.removeAfter != kNone && f > pattern.removeAfter) {
        const bool removed = RemoveBattleShot(bossShots, pattern.shot.kind);
        if (removed && pattern.removalEndsInvulnerability) boss->invulnerable = 0;
    }

    if (f > pattern.lastFrame) {
        if (pattern.invulnerable) boss->invulnerable = 0;
        return -1;
    }
    return 0;
}

int SelectBossAttackPattern(PlayerRobot player, ShotSlot* bossShots, const int* sounds, EffectSlot* effects,
                            int bossId, BossRobot* boss) {
    const int number = BossNumber(bossId);
    const int step = (number == 5 || number == 6) ? 5 : 3;
    if (boss->state == kBossHolding) return 0;

    if (BossRangeMode < 1 || BossRangeMode > 3) {
        if (boss->hitPoints >= 17) {
            BossRangeMode = 1;
        } else if (boss->hitPoints >= 8) {
            BossRangeMode = std::rand() % 2 == 0 ? 1 : 2;
        } else if (number == 3) {
            BossRangeMode = 3;
        } else {
            BossRangeMode = std::rand() % 2 == 0 ? 3 : 2;
        }
    }
    const int wanted = BossWantedDistance(BossRangeMode, bossId);
    const int gap = boss->worldX + boss->boxLeft - (player.worldX + player.boxRight);
    auto atFieldEnd = [boss] { return boss->worldX + boss->boxRight >= kFieldWidth; };
    auto stop = [boss] {
        boss->state = kBossDeciding;
        BossInPosition = true;
        boss->stateCounter = 0;
    };
    auto move = [boss, sounds](int by) {
        PlayBattleSoundIfIdle(sounds, 3);
        boss->worldX += by;
        boss->screenX += by;
    };

    if (boss->state == kBossDeciding && boss->stateCounter > 60 && !BossInPosition) {
        if (gap >= wanted) {
            boss->state = kBossWalkingIn;
            move(-step);
        } else if (!atFieldEnd()) {
            boss->state = kBossWalkingAway;
            PlayBattleSoundIfIdle(sounds, 3);
            if (boss->worldX + boss->boxRight + 10 < kFieldWidth) move(step);
        }
    }
    if (boss->state == kBossWalkingIn) {
        if (gap < wanted || boss->stateCounter > 90) stop();
        else move(-step);
    }
    if (boss->state == kBossWalkingAway) {
        if (gap > wanted || boss->worldX + boss->boxRight + 10 >= kFieldWidth || boss->stateCounter > 90) stop();
        else move(step);
    }
    if (boss->state == kBossDeciding && boss->stateCounter > 60 && (BossInPosition || (gap < wanted && atFieldEnd()))) {
        boss->state = kBossNearAttack + BossRangeMode - 1;
        boss->stateCounter = 0;
        RunBossAttackPattern(bossId, boss, bossShots, sounds, effects);
    }
    if (boss->state >= kBossNearAttack && boss->state <= kBossFarAttack) {
        if (RunBossAttackPattern(bossId, boss, bossShots, sounds, effects) == -1) {
            boss->state = kBossDeciding;
            BossRangeMode = 0;
            BossInPosition = false;
        }
    }
    return 0;
}
