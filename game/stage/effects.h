// Short animations (sparks, explosions, dust, rings): a table of 100 slots
// that the stage scene keeps; the boss battle keeps one of its own.
#pragma once

constexpr int kEffectTableSize = 100;

// Image positions that every stage's image list holds (stage 5's list has
// 760, every other 745); the stage's draws use no position beyond these.
constexpr int kImagesInEveryStage = 745;

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

// Draws one slot by its kind and counts its frame on (unless paused); a slot
// past its kind's last frame is freed instead of drawn. -1 for a free slot,
// else 0. images holds the stage's graphic handles by image position.
//
// The ring and dash kinds draw with a blend parameter of their own; each puts
// the pass's additive blending at 255 back afterwards, so the slots drawn
// after them are not dimmed. The tinted kinds tint relative to the draw
// brightness in force (a dimmed or fading view stays so) and leave it as
// they found it.
int DrawEffect(EffectSlot* slot, const int* images, int playerX, int playerY, int playerState, int playerFacing,
               bool paused);
