#include "game/stage/enemy_updating.h"

#include "framework/sound/sound_playback.h"
#include "game/stage/player_character.h"

int PlaceEffect(EffectSlot* slot, int x, int y) {
    if (slot->x != -1 && slot->y != -1) return -1;
    slot->x = x;
    slot->y = y;
    return 0;
}

namespace {

// Per axis: from the box that starts first (box a on a tie), half its size
// plus half the distance to the other box's start, halved in integers.
int MeetingPoint(int aStart, int aSize, int bStart, int bSize) {
    if (bStart < aStart) return bStart + bSize / 2 + (aStart - bStart) / 2;
    return aStart + aSize / 2 + (bStart - aStart) / 2;
}

}  // namespace

void ComputeHitPoint(int ax, int ay, int aWidth, int aHeight, int bx, int by, int bWidth, int bHeight, int* xOut,
                     int* yOut) {
    *xOut = MeetingPoint(ax, aWidth, bx, bWidth);
    *yOut = MeetingPoint(ay, aHeight, by, bHeight);
}

void ApplyDamage(PlayerRecord* gauge, int damage, int soundHandle) {
    gauge->hitPoints -= damage;
    gauge->damaged = true;
    if (gauge->hitPoints < 0) {
        gauge->hitPoints = 0;
        gauge->state = kPlayerDead;
        gauge->damaged = false;
        return;
    }
    if (gauge->hitPoints < 1) {
        gauge->state = kPlayerDead;
        gauge->damaged = false;
        return;
    }
    if (gauge->hitPoints > 100) gauge->hitPoints = 100;
    PlaySoundHandle(soundHandle, kPlayTypeBackground, 1);
}
