// The four spells: a shared backdrop (the scrolling spell background, the
// character's stand picture and the spell's title) and each character's own
// animation over it. The world stands still while one plays (state 8).
#pragma once

#include "game/stage/effects.h"
#include "game/stage/player_character.h"

// The backdrop of a spell at its counter t (1 on the first frame): the spell
// background added at brightness min(t, 30), the stand picture rising and
// fading in and out, the title flying in. Leaves brightness 255 and normal
// blending. character is 1 to 4; another draws nothing.
void DrawSpellBackdrop(int character, int t, const int* images);

// The frame on which each character's spell ends.
int SpellEndFrame(int character);

// One frame of the player's spell (state 8). When playing, the record's
// spell frame is advanced first, so the first frame draws t = 1; sounds play
// and effects are placed only when playing. At the character's end frame
// (370, 250, 330, 310) that frame is drawn, then the state becomes 1 and
// *killFlag (may be null) 1. Returns 1 on the frame the spell ends, else 0.
int DrawPlayerSpell(PlayerRecord* player, const int* images, const int* sounds, EffectSlot* effects, int* killFlag,
                    bool playing);

// The stage sounds the spells play.
enum SpellSound {
    kSoundSpellBurst = 3,
    kSoundSpellDash = 10,
    kSoundSpellCall = 18,
    kSoundBombard = 23,
    kSoundDollRush = 27,
    kSoundDollStrike = 28,
    kSoundDashStart = 29,
    kSoundDashEnd = 31,
    kSoundBombardLaunch = 32,
    kSoundFlare = 36,
};
