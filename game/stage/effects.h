// Short animations (sparks, explosions, dust, rings): a table of 100 slots
// that the stage scene keeps; the boss battle keeps one of its own.
#pragma once

constexpr int kEffectTableSize = 100;

struct EffectSlot {
    int x;  // -1 marks a free slot
    int y;  // -1 marks a free slot
    int width;
    int height;
    int frame;
    int kind;
    bool mirrored;
};

void ResetEffect(EffectSlot* slot);
// -1 when the slot is in use; else places it and returns 0. The caller sets
// the kind (and what the kind needs) after a successful start.
int StartEffect(EffectSlot* slot, int x, int y);
