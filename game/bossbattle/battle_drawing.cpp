// The boss battle's drawing routines: the robots' frames, the shots of more
// than one image, the cockpit crew, the effects and the bosses' other states.
#include "game/bossbattle/battle_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/graphics/graphics.h"
#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/battle_shots.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

int Image(const int* images, int position) { return BossBattleImage(images, position); }

void At(int x, int y, int handle) {
    if (handle != -1) DrawGraphicAtPoint(x, y, handle, 1);
}

void Mirrored(int x, int y, int handle) {
    if (handle != -1) DrawGraphicMirrored(x, y, handle, 1);
}

void Stretched(int x1, int y1, int x2, int y2, int handle) {
    if (handle != -1) DrawGraphicStretched(x1, y1, x2, y2, handle, 1);
}

void Rotated(int x, int y, double scale, double angle, int handle, int turn) {
    if (handle != -1) DrawGraphicRotated(x, y, scale, angle, handle, 1, turn);
}

bool IsBoss(int bossId, int story) { return bossId == story || bossId == story * 1000; }

// The looping walks: the picture of the counter, then the counter back to 1
// once it has reached the loop's length. A counter that went past the
// length without being drawn (the boss blinking after a hit) starts the
// loop again instead of reaching pictures beyond the walk.
int DrawLoop(int& counter, int x, int y, int first, int step, int limit, bool mirrored, const int* images) {
    if (counter > limit) counter = 1;
    const int position = first + step * (counter / 5);
    if (mirrored)
        Mirrored(x, y, Image(images, position));
    else
        At(x, y, Image(images, position));
    if (counter >= limit) counter = 1;
    return 0;
}

// The basic attack's rule on a run of 21 pictures starting at `first`; past
// its last frame the last picture is held.
int AttackAPosition(int first, int c) {
    if (c < 20) return first + c / 2;
    if (c < 30) return first + 10;
    if (c < 40) return c + first - 20;
    if (c < 60) return first + 20;
    return first + 20 - (std::min(c, 99) - 60) / 2;
}

// One particle table per user: the burst shot and the burst effect.
struct BurstParticle {
    int dx;
    int dy;
    int size;
};
BurstParticle BurstShotParticles[20];
BurstParticle BurstEffectParticles[20];

void DrawBurst(int x, int y, int c, BurstParticle* particles, const int* images) {
    if (c == 1) {
        for (int i = 0; i < 20; ++i) {
            particles[i].dx = std::rand() % 14 - 7;
            particles[i].dy = std::rand() % 14 - 7;
            particles[i].size = 32 * (std::rand() % 3 + 1);
        }
    }
    if (c <= 1) return;
    // The burst fades relative to the brightness the battle draws with (the
    // pause menu dims the whole view), which is put back afterwards.
    const uint32_t previous = GetDrawBrightColor();
    const int fade = std::clamp((85 - c) * 3, 0, 255);
    auto scaled = [&](int shift) { return fade * static_cast<int>(previous >> shift & 0xFF) / 255; };
    SetDrawBrightnessRGB(scaled(16), scaled(8), scaled(0));
    for (int i = 0; i < 20; ++i) {
        const int cx = x + particles[i].dx * c;
        const int cy = y + particles[i].dy * c;
        const int half = particles[i].size / 2;
        Stretched(cx - half, cy - half, cx + half, cy + half, Image(images, 406));
    }
    Stretched(x - 20 * c, y - 20 * c, x + 20 * c, y + 20 * c, Image(images, 407));
    SetDrawBrightnessColor(previous);
}

// The last frame each effect kind shows; -1 for a kind that never ends.
int LastEffectFrame(int kind) {
    switch (kind) {
    case 1: return 5;
    case 101: return 11;
    case 102: return 120;
    case 103: return 60;
    case 104: return 17;  // while 400 + f / 3 stays within the six jump pictures
    case 105: return 90;
    case 106:
    case 107: return 60;
    case 108:
    case 109: return 20;
    default: return -1;
    }
}

}  // namespace

// ---- the robots' frames --------------------------------------------------------------

int DrawRobotAttackA(int counter, int x, int y, const int* images) {
    At(x, y, Image(images, AttackAPosition(51, counter)));
    return 0;
}

int DrawRobotAttackAMirrored(int counter, int x, int y, const int* images) {
    Mirrored(x, y, Image(images, AttackAPosition(109, counter)));
    return 0;
}

int DrawRobotJumpAttack(int counter, int x, int y, const int* images) {
    const int c = counter;
    if (c < 26) {
        At(x, y, Image(images, 25 + c / 2));
    } else if (c < 66) {
        Mirrored(x, y, Image(images, std::min(57 + (c - 26) / 2, 71)));
    } else {
        At(x, y, Image(images, 37 - (std::min(c, 91) - 66) / 2));
    }
    return 0;
}

int DrawRobotGuard(int counter, int x, int y, const int* images) {
    const int c = counter;
    int position = 73;
    if (c < 39) position = 72 + c / 3;
    else if (c < 48) position = 72 + (c - 18) / 3;
    else if (c < 62) position = 77 - (c - 48) / 3;
    At(x, y, Image(images, position));
    return 0;
}

int DrawRobotGuardMirrored(int counter, int x, int y, const int* images) {
    const int c = counter;
    int position = 99;
    if (c < 33) position = 98 + c / 3;
    else if (c < 54) position = 98 + (c - 24) / 3;
    else if (c < 62) position = 101 - (c - 54) / 3;
    Mirrored(x, y, Image(images, position));
    return 0;
}

int DrawRobotAttackBMirrored(int counter, int x, int y, const int* images) {
    const int c = std::min(counter, 48);
    Mirrored(x, y, Image(images, c < 35 ? 85 + c / 4 : 93 + (c - 35) / 3));
    return 0;
}

int DrawBossWalkLoop(int& counter, int x, int y, const int* images) {
    return DrawLoop(counter, x, y, 151, 1, 64, false, images);
}

int DrawBossBackLoop(int& counter, int x, int y, const int* images) {
    return DrawLoop(counter, x, y, 138, 1, 64, false, images);
}

int DrawBossWalkLoopLong(int& counter, int x, int y, const int* images) {
    return DrawLoop(counter, x, y, 138, 1, 69, false, images);
}

int DrawBossWalkLoopReverse(int& counter, int x, int y, const int* images) {
    return DrawLoop(counter, x, y, 152, -1, 69, false, images);
}

int DrawBossWalkLoopMirrored(int& counter, int x, int y, const int* images) {
    return DrawLoop(counter, x, y, 138, 1, 104, true, images);
}

int DrawBossAttackNear(int counter, int x, int y, const int* images) {
    At(x, y, Image(images, std::min(85 + counter / 5, 97)));
    return 0;
}

int DrawBossAttackMiddle(int counter, int x, int y, const int* images) {
    At(x, y, Image(images, std::min(109 + counter / 5, 137)));
    return 0;
}

int DrawBossAttackFar(int counter, int x, int y, const int* images) {
    const int k = counter / 5;
    const int position = 98 + k <= 108 ? 98 + k : std::max(108 - k, 98);
    At(x, y, Image(images, position));
    return 0;
}

int DrawBossAttackMiddleShort(int counter, int x, int y, const int* images) {
    At(x, y, Image(images, std::min(98 + counter / 5, 108)));
    return 0;
}

int DrawBossAttackFarLong(int counter, int x, int y, const int* images) {
    At(x, y, Image(images, std::min(109 + counter / 5, 123)));
    return 0;
}

int DrawHeldRobot(int counter, int centreX, int centreY, const int* images) {
    const int c = counter;
    const double angle = (c >= 20 && c <= 54) ? kPi + ((c - 20) / 35.0) * kPi / 2
                                               : 3 * kPi / 2 - ((c - 55) / 76.0) * kPi / 2;
    const int x = centreX + static_cast<int>(200 * std::cos(angle));
    const int y = centreY + static_cast<int>(200 * std::sin(angle));
    At(x, y, Image(images, 180));
    return 0;
}

// ---- shots of more than one image ---------------------------------------------------

int DrawScanBeam(int x, int y, int& frame, const int* images) {
    const int f = frame;
    if (f < 30) {
        Rotated(x + 32, y + 32, f / 30.0, f * kPi / 30, Image(images, 178), 0);
    } else if (f < 120) {
        const int p = (f % 30) / 3;
        Stretched(x - p, y - p, x + 64 + p, y + 64 + p, Image(images, 178));
    }
    if (frame >= 119) frame = 30;
    return 0;
}

int DrawArcShell(int x, int y, int& counter, int bossId, const int* images) {
    SetBlendModeAndParam(kBlendModeNone, 0);
    if (IsBoss(bossId, 5)) {
        Mirrored(x, y, Image(images, 375 + counter / 5));
        if (counter > 58) counter = 1;
    } else {
        Mirrored(x, y, Image(images, 343));
    }
    SetBlendModeAndParam(kBlendModeAdd, 255);
    return 0;
}

int DrawBurstShot(int x, int y, int counter, const int* images) {
    DrawBurst(x, y, counter, BurstShotParticles, images);
    return 0;
}

int DrawDollBind(int frame, BossRobot boss, const int* sounds, const int* images) {
    const int t = frame;
    if (t == 0 || t == 165) PlayBattleSound(sounds, 12);
    if (t == 15 || t == 180) PlayBattleSound(sounds, 4);

    const int left = boss.screenX + boss.boxLeft;
    const int right = boss.screenX + boss.boxRight;
    const int top = boss.screenY + boss.boxTop;
    const int bottom = boss.screenY + boss.boxBottom;
    int nearOffset = 0;  // added to the left and top coordinates
    int farOffset = 0;   // added to the right and bottom coordinates
    double scale = 2.0;
    double angle = 0.0;
    if (t < 15) {
        nearOffset = (5 * t - 75) * 2;
        farOffset = (15 - t) * 10;
        scale = t / 7.0;
        angle = 2 * kPi * t / 15;
    } else if (t >= 165) {
        const int shrink = t - 165;
        angle = 2 * kPi * shrink / 15;
        scale = 2.0 - shrink / 7.0;
    }
    SetBlendModeAndParam(kBlendModeNone, 0);
    if (scale > 0.0) {
        const int doll = Image(images, 207);
        Rotated(left + nearOffset, top + nearOffset, scale, angle, doll, 0);
        Rotated(left + nearOffset, bottom + farOffset, scale, angle, doll, 0);
        Rotated(right + farOffset, top + nearOffset, scale, angle, doll, 1);
        Rotated(right + farOffset, bottom + farOffset, scale, angle, doll, 1);
    }
    SetBlendModeAndParam(kBlendModeAdd, 255);
    return 0;
}

int DrawCockpitCrew(int playerState, int playerStateFrame, int bossId, const int* images) {
    for (int i = 0; i < 4; ++i) At(48 + 160 * i, 456, Image(images, 252 + i));
    const int s = playerStateFrame;
    // The seats in the order ressa, tamsel, kolva, wendrik: the first
    // picture of each run of the table.
    struct Seat {
        int x;
        int wait;
        int attack;
        int damage;
        bool seated;
    };
    const Seat seats[4] = {
        {208, 216, 256, 292, true},
        {48, 240, 280, 294, bossId != 6},
        {368, 228, 268, 293, bossId != 6},
        {528, 350, 362, 374, bossId != 1},
    };
    for (const Seat& seat : seats) {
        if (!seat.seated) continue;
        int position;
        if (playerState == kRobotKnockedBack) position = seat.damage;
        else if (playerState == kRobotBasicAttack || playerState == kRobotHeavyAttack || playerState == kRobotDashAttack)
            position = s / 4 < 12 ? seat.attack + s / 4 : seat.wait;
        else position = seat.wait + (s % 48) / 4;
        At(seat.x, 416, Image(images, position));
    }
    return 0;
}

int DrawBattleEffect(EffectSlot* effect, const int* images) {
    if (effect->x == -1 || effect->y == -1) return -1;
    const int f = effect->frame;
    const int last = LastEffectFrame(effect->kind);
    if (last != -1 && (f > last || f < 0)) {
        // A freed slot starts its next effect from its first picture.
        ResetEffect(effect);
        return 0;
    }
    const int x = effect->x;
    const int y = effect->y;
    switch (effect->kind) {
    case 1: At(x, y, Image(images, 181 + f)); break;
    case 101: At(x, y, Image(images, 187 + f)); break;
    case 102:
        if (f >= 81) SetBlendModeAndParam(kBlendModeAlpha, 735 - 6 * f);
        Stretched(0, 0, 640, 480, Image(images, std::min(295 + f / 5, 311)));
        if (f >= 81) SetBlendModeAndParam(kBlendModeAdd, 255);
        if (f / 4 <= 29) Stretched(x - 256, y - 256, x + 513, y + 513, Image(images, 312 + f / 4));
        break;
    case 103:
        SetBlendModeAndParam(kBlendModeAdd, 255 - 4 * f);
        Stretched(x - 3 * f, y - 3 * f, x + 257 + 3 * f, y + 257 + 3 * f, Image(images, 342));
        SetBlendModeAndParam(kBlendModeAdd, 255);
        break;
    case 104: Stretched(x + 128, y + 64, x + 384, y + 320, Image(images, 400 + f / 3)); break;
    case 105: DrawBurst(x, y, f, BurstEffectParticles, images); break;
    case 106: Stretched(x + 400, y, x + 200, y + 400, Image(images, 408 + (f % 21) / 5)); break;
    case 107: Stretched(x + 100, y, x + 300, y + 400, Image(images, 408 + (f % 21) / 5)); break;
    case 108: Stretched(x - 70 * f, y - 70 * f, x + 70 * f, y + 70 * f, Image(images, 380)); break;
    case 109: {
        const int r = 70 * (20 - f);
        Stretched(x - r, y - r, x + r, y + r, Image(images, 380));
        break;
    }
    default: break;
    }
    effect->frame += 1;
    return 0;
}

// ---- what the battle scene draws of its own ----------------------------------------
//
// The battle has pictures for these but no rule for using them; each is
// drawn in the least way that shows the player what happens: a boss is
// always visible and so is every shot.

void DrawBossRobot(BossRobot* boss, int bossId, const int* images) {
    const int x = boss->screenX;
    const int y = boss->screenY;
    int& c = boss->stateCounter;
    const int state = boss->state;
    if (IsBoss(bossId, 2)) {
        // The battleship floats: its waiting frames loop while it decides,
        // moves or holds; each range has its own attack run.
        if (state == kBossNearAttack) At(x, y, Image(images, std::min(85 + c / 5, 97)));
        else if (state == kBossMiddleAttack) At(x, y, Image(images, std::min(109 + c / 5, 137)));
        else if (state == kBossFarAttack) At(x, y, Image(images, std::min(98 + c / 5, 108)));
        else At(x, y, Image(images, 138 + (c / 5) % 26));
    } else if (IsBoss(bossId, 3)) {
        // Faces the player throughout, as it does on its way in.
        if (state == kBossNearAttack) Mirrored(x, y, Image(images, std::min(85 + c / 5, 93)));
        else if (state == kBossMiddleAttack) Mirrored(x, y, Image(images, std::min(98 + c / 5, 103)));
        else if (state == kBossFarAttack) Mirrored(x, y, Image(images, std::min(109 + c / 5, 116)));
        else if (state == kBossWalkingIn || state == kBossWalkingAway) Mirrored(x, y, Image(images, 138 + (c / 5) % 12));
        else Mirrored(x, y, Image(images, 151 + (c / 5) % 4));
    } else if (IsBoss(bossId, 5)) {
        if (state == kBossWalkingIn) DrawBossWalkLoopLong(c, x, y, images);
        else if (state == kBossWalkingAway) DrawBossWalkLoopReverse(c, x, y, images);
        else if (state == kBossNearAttack) At(x, y, Image(images, std::min(85 + c / 5, 97)));
        else if (state == kBossMiddleAttack) DrawBossAttackMiddleShort(c, x, y, images);
        else if (state == kBossFarAttack) DrawBossAttackFarLong(c, x, y, images);
        else At(x, y, Image(images, 138));
    } else if (IsBoss(bossId, 6)) {
        if (state == kBossWalkingIn || state == kBossWalkingAway) DrawBossWalkLoopMirrored(c, x, y, images);
        else if (state == kBossNearAttack) DrawRobotAttackAMirrored(c, x, y, images);
        else if (state == kBossMiddleAttack) DrawRobotAttackBMirrored(c, x, y, images);
        else if (state == kBossFarAttack) DrawRobotGuardMirrored(c, x, y, images);
        else Mirrored(x, y, Image(images, 138));
    } else {
        if (state == kBossWalkingIn) DrawBossWalkLoop(c, x, y, images);
        else if (state == kBossWalkingAway) DrawBossBackLoop(c, x, y, images);
        else if (state == kBossNearAttack) DrawBossAttackNear(c, x, y, images);
        else if (state == kBossMiddleAttack) DrawBossAttackMiddle(c, x, y, images);
        else if (state == kBossFarAttack) DrawBossAttackFar(c, x, y, images);
        else At(x, y, Image(images, 151));
    }
}

void DrawWeakPoint(const BossRobot& boss, const int* images) {
    if (!boss.scanOverlaps || boss.scannedWidth <= 0 || boss.scannedHeight <= 0) return;
    const int handle = Image(images, 179);
    if (handle == -1) return;
    DrawGraphicPart(boss.screenX + boss.weakPointX + boss.scannedLeft, boss.screenY + boss.weakPointY + boss.scannedTop,
                    boss.scannedLeft, boss.scannedTop, boss.scannedWidth, boss.scannedHeight, handle, 1, 0);
}

void DrawBattleShot(ShotSlot* slot, int bossId, const BossRobot& boss, const int* sounds, const int* images) {
    if (slot->state == kShotExploding) {
        DrawShotExplosion(slot, images);
        SetBlendModeAndParam(kBlendModeAdd, 255);
        return;
    }
    if (slot->state != kShotFlying) return;
    const int x = slot->x;
    const int y = slot->y;
    const int right = x + slot->width;
    const int bottom = y + slot->height;
    switch (slot->kind) {
    case 101: Stretched(x, y, right, bottom, Image(images, 199)); break;  // the reach of a blow
    case 102: Stretched(x, y, right, bottom, Image(images, 166 + (slot->frame / 3) % 12)); break;
    case 103: DrawScanBeam(x, y, slot->frame, images); break;
    case 104: Stretched(x, y, right, bottom, Image(images, 203)); break;
    case 105: Stretched(x, y, right, bottom, Image(images, 204)); break;
    case 106: DrawDollBind(slot->frame, boss, sounds, images); break;
    case 107:
    case 108:
    case 109:
    case 110: Stretched(x, y, right, bottom, Image(images, 208 + slot->kind - 107)); break;
    case 111: Stretched(right, y, x, bottom, Image(images, 387 + (slot->frame / 3) % 13)); break;
    case 112: DrawArcShell(x, y, slot->frame, bossId, images); break;
    case 113: DrawBurstShot(x + slot->width / 2, y + slot->height / 2, slot->frame, images); break;
    case 114: Stretched(x, y, right, bottom, Image(images, 380)); break;
    default: Stretched(x, y, right, bottom, Image(images, 212)); break;  // 2: the options' bullets
    }
}

void DrawBattleGauges(int playerHitPoints, int bossHitPoints, int psychicPower, const int* images) {
    At(0, 0, Image(images, 1));
    At(0, 388, Image(images, 2));
    for (int i = 0; i < 25; ++i) {
        const int x = 370 + 8 * i;
        if (i < playerHitPoints) At(x - 310, 13, Image(images, 3));
        if (i < bossHitPoints) At(x, 13, Image(images, 3));
    }
    for (int i = 0; i < 100 && i < psychicPower; ++i) At(60 + 2 * i, 43, Image(images, 165));
}

void DrawPilotCutIn(int pilot, int eventCounter, const int* images) {
    static const int kStandPictures[4] = {205, 213, 214, 215};
    if (pilot < 1 || pilot > 4 || eventCounter <= 0) return;
    const int k = std::min(eventCounter, 30);
    const int bright = k * 255 / 30;
    const uint32_t previousBright = GetDrawBrightColor();
    SetBlendModeAndParam(kBlendModeAdd, 255);
    SetDrawBrightnessRGB(bright, bright, bright);
    // Slides in from the right edge over the first 30 frames.
    At(320 + (30 - k) * 10, 0, Image(images, kStandPictures[pilot - 1]));
    SetDrawBrightnessColor(previousBright);
    SetBlendModeAndParam(kBlendModeNone, 0);
}
