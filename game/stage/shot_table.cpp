#include "game/stage/shot_table.h"

#include <cmath>

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
