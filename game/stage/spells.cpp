// The four spells frame by frame: the backdrop, each character's animation, and
// the frame at which each spell ends.
#include "game/stage/spells.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/player_animation.h"
#include "game/stage/stage_images.h"

namespace {

constexpr double kPi = std::numbers::pi;

constexpr int kSpellBackground = 136;
constexpr int kStandPicture[5] = {0, 110, 141, 142, 143};
constexpr int kSpellTitle[5] = {0, 135, 9, 3, 0};
constexpr int kDollImages = 369;
constexpr int kKolvaBeam = 580;
constexpr int kTamselBombard = 596;
constexpr int kWendrikFlare = 710;

int Image(const int* images, int position) {
    if (images == nullptr || position < 0 || position >= kStageImageTableSize) return -1;
    return images[position];
}

struct SpellFrame {
    PlayerRecord* player;
    const int* images;
    const int* sounds;
    EffectSlot* effects;
    int t;
    bool playing;
    int x;  // the player's sprite cell on the screen
    int y;

    void Play(int index) const {
        if (playing && sounds != nullptr) PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
    }
    void Stop(int index) const {
        if (playing && sounds != nullptr) StopSoundHandle(sounds[index]);
    }
    void Place(int kind, int px, int py, int width = 64, int height = 64) const {
        if (!playing || effects == nullptr) return;
        for (int i = 0; i < kEffectTableSize; ++i) {
            EffectSlot& slot = effects[i];
            if (StartEffect(&slot, px, py) != 0) continue;
            slot.kind = kind;
            slot.width = width;
            slot.height = height;
            return;
        }
    }
    // The character's pose before (and for character 1 during) the spell's
    // main phase: her goal animation at her place.
    void Pose() const {
        const int first = PlayerImage::kGoal[player->character];
        const int handle = Image(images, std::min(first + t / 5, first + 11));
        if (player->facing == 2)
            DrawGraphicAtPoint(x, y, handle, 1);
        else if (player->facing == 1)
            DrawGraphicMirrored(x, y, handle, 1);
    }
    // The white flash stretched from the screen's centre, s pixels each side.
    void Flash(int s) const {
        DrawGraphicStretched(320 - s, 240 - s, 320 + s, 240 + s, Image(images, StageImage::kWhiteFlash), 1);
    }
};

// Strikes at random points of the view, faster as the spell goes on: at
// every t divisible by 36 - t / 10.
bool StrikeFrame(int t) {
    const int every = 36 - t / 10;
    return every > 0 && t % every == 0;
}

void RandomPoint(int* x, int* y) {
    *x = std::rand() % 600;
    *y = std::rand() % 400;
}

// Character 1: the doll army circles her and strikes all over the view.
void RessaSpell(const SpellFrame& f) {
    const int t = f.t;
    f.Pose();
    if (t == 120 || t == 125 || t == 130 || t == 200 || t == 205 || t == 210) f.Play(kSoundDollRush);
    if (t >= 120 && t <= 369) {
        const int count = t < 200 ? 8 : 16;
        const double cx = f.x + 64;
        const double cy = f.y + 64;
        // The ring opens out from her, and from t = 200 it turns.
        const double radius = std::min(t - 120, 40) * 4.0;
        const double turn = t >= 200 ? (t - 200) * kPi / 45 : 0.0;
        const int handle = Image(f.images, kDollImages + t % 5);
        for (int i = 0; i < count; ++i) {
            const double a = 2 * kPi * i / count + turn;
            DrawGraphicRotated(static_cast<int>(cx + radius * std::cos(a)), static_cast<int>(cy + radius * std::sin(a)),
                               2.0, a, handle, 1, 0);
        }
    }
    if (t >= 150 && t <= 359 && StrikeFrame(t)) {
        f.Play(kSoundDollStrike);
        const int pairs = t < 200 ? 1 : t <= 259 ? 2 : t <= 299 ? 3 : 4;
        for (int i = 0; i < pairs; ++i) {
            int px = 0, py = 0;
            RandomPoint(&px, &py);
            f.Place(6, px, py);
            f.Place(2, px, py);
        }
    }
    if (t == 360) {
        f.Stop(kSoundDollStrike);
        f.Stop(kSoundBombard);
        f.Play(kSoundSpellBurst);
    }
    if (t >= 350) {
        SetBlendModeAndParam(kBlendModeAlpha, std::min(255, (t - 349) * 25));
        DrawGraphicStretched(0, 0, 640, 480, Image(f.images, StageImage::kWhiteFlash), 1);
        SetBlendModeAndParam(kBlendModeNone, 0);
    }
}

// Character 2: she dashes across the view with a beam behind her.
void KolvaSpell(const SpellFrame& f) {
    const int t = f.t;
    if (t == 120) f.Play(kSoundSpellDash);
    if (t == 170) f.Play(kSoundDashStart);
    if (t == 230) {
        f.Play(kSoundSpellBurst);
        f.Play(kSoundDashEnd);
    }
    if (t < 170) {
        f.Pose();
    } else if (t <= 229) {
        const int u = t - 170;
        const int kx = 800 - 30 * u;
        SetBlendModeAndParam(kBlendModeAdd, 255);
        const int beam = Image(f.images, kKolvaBeam + (u / 4) % 12);
        DrawGraphicStretched(1632 - 30 * u, 480, 672 - 30 * u, 0, beam, 1);
        SetBlendModeAndParam(kBlendModeNone, 0);
        // She runs to the left: the sheet's cells are drawn mirrored.
        DrawGraphicPart(kx, f.y, ((t - 171) / 5 + 5) * 256, 0, 256, 128, Image(f.images, PlayerImage::kKolvaRushSheet),
                        1, 1);
        if (f.playing) {
            static const int kSizes[4] = {32, 64, 96, 128};
            const int kind = 7 + std::rand() % 3;
            const int size = kSizes[std::rand() % 4];
            const int sy = f.y - 200 + std::rand() % 401;
            f.Place(kind, kx, sy, size, size);
        }
    }
    if (t >= 230) f.Flash(75 * (t - 229));
}

// Character 3: the view darkens and her bombardment rains over it.
void TamselSpell(const SpellFrame& f) {
    const int t = f.t;
    if (t == 120 || t == 140 || t == 160) f.Play(kSoundBombardLaunch);
    if (t == 280) f.Play(kSoundSpellBurst);
    if (t < 120) f.Pose();
    if (t >= 120) {
        SetBlendModeAndParam(kBlendModeAlpha, t < 180 ? 4 * t - 480 : 255);
        DrawGraphicStretched(0, 0, 640, 480, Image(f.images, StageImage::kBlack), 1);
        SetBlendModeAndParam(kBlendModeNone, 0);
    }
    if (t >= 180 && t <= 299) {
        SetBlendModeAndParam(kBlendModeAdd, 255);
        DrawGraphicStretched(0, 0, 640, 480, Image(f.images, std::min(kTamselBombard + (t - 180) / 2, 656)), 1);
        SetBlendModeAndParam(kBlendModeNone, 0);
        if (StrikeFrame(t)) {
            f.Play(kSoundBombard);
            const int hits = t < 200 ? 2 : t <= 259 ? 3 : 4;
            for (int i = 0; i < hits; ++i) {
                int px = 0, py = 0;
                RandomPoint(&px, &py);
                f.Place(6, px, py);
            }
        }
    }
    if (t >= 280) f.Flash(60 * (t - 279));
}

// Character 4: her flare opens at her place, then swells about her.
void WendrikSpell(const SpellFrame& f) {
    const int t = f.t;
    if (t == 125) f.Play(kSoundFlare);
    if (t == 250) {
        f.Play(kSoundBombard);
        f.Play(kSoundBombard);
    }
    if (t < 120) {
        f.Pose();
        return;
    }
    if (t > 309) return;
    const int handle = Image(f.images, std::min(kWendrikFlare + (t - 120) / 5, 744));
    SetBlendModeAndParam(kBlendModeAdd, 255);
    if (t <= 244) {
        DrawGraphicAtPoint(f.x, f.y, handle, 1);
    } else {
        const int s = 20 * (t - 244);
        DrawGraphicStretched(f.x - s, f.y - s, f.x + 128 + s, f.y + 128 + s, handle, 1);
    }
    SetBlendModeAndParam(kBlendModeNone, 0);
}

}  // namespace

void DrawSpellBackdrop(int character, int t, const int* images) {
    if (character < 1 || character > 4) return;
    const int ramp = std::min(t, 30);
    SetBlendModeAndParam(kBlendModeAdd, 255);
    SetDrawBrightnessRGB(ramp, ramp, ramp);
    const int m = t % 480;
    const double o = m * 1.3;
    const int background = Image(images, kSpellBackground);
    DrawGraphicAtPoint(static_cast<int>(-o), -m, background, 1);
    DrawGraphicAtPoint(static_cast<int>(o - 640), -m, background, 1);

    SetDrawBrightnessRGB(255, 255, 255);
    SetBlendModeAndParam(kBlendModeAdd, 255);
    const int fade = t < 60 ? 2 * t : t == 60 ? 120 : 2 * (120 - t);
    SetDrawBrightnessRGB(fade, fade, fade);
    DrawGraphicAtPoint(136, 120 - t, Image(images, kStandPicture[character]), 1);
    SetDrawBrightnessRGB(255, 255, 255);
    SetBlendModeAndParam(kBlendModeNone, 0);

    const int title = Image(images, kSpellTitle[character]);
    if (t < 30)
        DrawGraphicStretched(t - 20, t + 380, 222 - t, 470 - t, title, 1);
    else if (t < 90)
        DrawGraphicAtPoint(10, std::max(1010 - 20 * t, 135), title, 1);
    SetDrawBrightnessRGB(255, 255, 255);
}

int SpellEndFrame(int character) {
    switch (character) {
    case 1: return 370;
    case 2: return 250;
    case 3: return 330;
    case 4: return 310;
    default: return 0;
    }
}

int DrawPlayerSpell(PlayerRecord* player, const int* images, const int* sounds, EffectSlot* effects, int* killFlag,
                    bool playing) {
    const int character = player->character;
    if (character < 1 || character > 4) return 0;
    if (playing) player->spellFrame += 1;
    const int t = player->spellFrame;
    const SpellFrame f{player, images, sounds, effects, t, playing, static_cast<int>(player->x),
                       static_cast<int>(player->screenY)};
    DrawSpellBackdrop(character, t, images);
    if (t == 1) f.Play(kSoundSpellCall);
    switch (character) {
    case 1: RessaSpell(f); break;
    case 2: KolvaSpell(f); break;
    case 3: TamselSpell(f); break;
    default: WendrikSpell(f); break;
    }
    SetDrawBrightnessRGB(255, 255, 255);
    SetBlendModeAndParam(kBlendModeNone, 0);
    if (t < SpellEndFrame(character)) return 0;
    player->state = kPlayerStanding;
    if (killFlag != nullptr) *killFlag = 1;
    return 1;
}
