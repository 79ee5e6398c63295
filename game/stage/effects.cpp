#include "game/stage/effects.h"

void ResetEffect(EffectSlot* slot) {
    slot->x = -1;
    slot->y = -1;
    slot->width = 64;
    slot->height = 64;
    slot->frame = 0;
    slot->kind = 1;
}

int StartEffect(EffectSlot* slot, int x, int y) {
    if (slot->x != -1 && slot->y != -1) return -1;
    slot->x = x;
    slot->y = y;
    return 0;
}
