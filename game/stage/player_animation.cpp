// The player character's animations: standing, running, airborne and goal
// frames by character, and the choice among them by the player's state.
#include "game/stage/player_animation.h"

#include <algorithm>

#include "framework/graphics/graphics.h"
#include "framework/sound/sound_playback.h"
#include "game/stage/spells.h"
#include "game/stage/stage_images.h"

namespace {

// False while the blink hides the sprite: the routines still keep their
// counters, sounds, hit boxes and ends, but draw nothing.
bool SpriteShown = true;

int Image(const int* images, int position) {
    if (images == nullptr || position < 0 || position >= kStageImageTableSize) return -1;
    return images[position];
}

// Facing 2 draws the picture as stored, facing 1 mirrored, any other nothing.
void DrawFacing(int facing, int x, int y, const int* images, int position) {
    if (!SpriteShown) return;
    if (facing == 2)
        DrawGraphicAtPoint(x, y, Image(images, position), 1);
    else if (facing == 1)
        DrawGraphicMirrored(x, y, Image(images, position), 1);
}

// A cell of a one-row sheet, mirrored unless facing 2.
void DrawSheetCell(int facing, int x, int y, int cell, int cellWidth, int cellHeight, const int* images,
                   int position) {
    if (!SpriteShown) return;
    DrawGraphicPart(x, y, cell * cellWidth, 0, cellWidth, cellHeight, Image(images, position), 1, facing == 2 ? 0 : 1);
}

void Play(const int* sounds, int index, bool playing) {
    if (playing && sounds != nullptr) PlaySoundHandle(sounds[index], kPlayTypeBackground, 1);
}

// The arm of character 3 reaching from the anchor's height down to her.
void DrawTamselArm(int x, int y, int hangY, const int* images) {
    if (hangY == 0 || !SpriteShown) return;
    DrawGraphicFourCorners(x + 32, hangY, x + 96, hangY, x + 96, y + 64, x + 32, y + 64,
                           Image(images, PlayerImage::kTamselArm), 1);
}

bool ValidCharacter(int character) { return character >= 1 && character <= 4; }

int KolvaComboCell(int c) {
    if (c >= 18 && c <= 24) return 5;
    if (c < 25) return (c - 1) / 3;
    return (c - 8) / 3;
}

}  // namespace

int DrawStandingFrame(int character, int* counter, int facing, int x, int y, const int* images) {
    if (!ValidCharacter(character)) return 0;
    if (*counter > 58) *counter = 1;
    DrawFacing(facing, x, y, images, PlayerImage::kStanding[character] + *counter / 5);
    return 0;
}

int DrawRunningFrame(int character, int* counter, int facing, int x, int y, const int* images, bool dashing) {
    if (!ValidCharacter(character)) return 0;
    int& c = *counter;
    int step = 0;
    switch (character) {
    case 1:
    case 2:
        if (dashing) {
            if (c > 22) c = 1;
            step = c / 2;
        } else {
            if (c >= 47) c = 1;
            step = c / 4;
        }
        break;
    case 3:
        if (dashing) {
            if (c > 11) c = 1;
            step = c;
        } else {
            if (c > 34) c = 1;
            step = c / 3;
        }
        break;
    default:
        if (dashing) {
            if (c > 34) c = 1;
            step = c / 3;
        } else {
            if (c > 58) c = 1;
            step = c / 5;
        }
        break;
    }
    DrawFacing(facing, x, y, images, PlayerImage::kRunning[character] + ((step % 12) + 12) % 12);
    return 0;
}

int DrawAirborneFrame(int character, int* counter, int facing, int x, int y, const int* images, int jumpValue) {
    if (!ValidCharacter(character)) return 0;
    if (character == 4) {
        // Character 4 has no jump pictures: she runs on in the air.
        if (*counter > 58) *counter = 1;
        DrawFacing(facing, x, y, images, PlayerImage::kRunning[4] + *counter / 5);
        return 0;
    }
    const int j = jumpValue;
    if (j > 20) return 0;
    int frame = 3;
    if (character == 1)
        frame = j == 20 ? 0 : j == 19 ? 1 : j >= 17 ? 2 : 3;
    else if (character == 2)
        frame = j >= 17 ? 0 : j >= 12 ? 1 : j >= 7 ? 2 : 3;
    else
        frame = j >= 19 ? 0 : j >= 17 ? 1 : j >= 15 ? 2 : 3;
    DrawFacing(facing, x, y, images, PlayerImage::kJump[character] + frame);
    return 0;
}

int DrawGoalFrame(int character, int counter, int facing, int x, int y, const int* images) {
    if (!ValidCharacter(character)) return 0;
    const int first = PlayerImage::kGoal[character];
    DrawFacing(facing, x, y, images, std::clamp(first + counter / 5, first, first + 11));
    return 0;
}

int DrawDownFrame(int character, int counter, int facing, int x, int y, const int* images, const int* sounds,
                  bool playing) {
    if (!ValidCharacter(character)) return 0;
    const int first = PlayerImage::kDown[character];
    const int image = counter < 30 ? first : std::min(first + (counter - 30) / 5, PlayerImage::kDownLast[character]);
    DrawFacing(facing, x, y, images, image);
    if (character == 3 && SpriteShown) {
        // Her broom spins away as she falls.
        DrawGraphicRotated(x + 64, y + 64, 1.0, counter * 0.1, Image(images, StageImage::kTamselDownSpin), 1, 0);
    }
    if (counter == 30) Play(sounds, kSoundDown, playing);
    return 0;
}

int DrawAttackFrame(PlayerRecord* player, int* counter, int x, int y, const int* images, const int* sounds,
                    bool playing, int hangY) {
    int& c = *counter;
    const int facing = player->facing;
    const int kind = player->attackKind;
    switch (player->character) {
    case 1:
        DrawFacing(facing, x, y, images, std::min(PlayerImage::kRessaAttack + c / 2, 67));
        return 0;
    case 2:
        if (kind == 1) {
            if (c >= 80) return 1;
            if (c == 2 || c == 28 || c == 64) Play(sounds, kSoundKolvaSwing, playing);
            DrawSheetCell(facing, x - 64, y, KolvaComboCell(c), 256, 128, images, PlayerImage::kKolvaComboSheet);
            return 0;
        }
        if (kind == 2) {
            if (c >= 71) {
                ResetPlayerHitBox(player);
                return 1;
            }
            player->hitLeft = 0;
            player->hitRight = 128;
            if (c == 14) Play(sounds, kSoundKolvaSwing, playing);
            DrawSheetCell(facing, x - 64, y, (c - 1) / 3, 256, 128, images, PlayerImage::kKolvaRushSheet);
            return 0;
        }
        return 0;
    case 3:
        if (kind == 1 || player->state == kPlayerHoverShot) {
            if (c > 32) return 1;
            DrawTamselArm(x, y, hangY, images);
            DrawFacing(facing, x, y, images, PlayerImage::kTamselShot + c / 3);
            return 0;
        }
        if (kind == 2) {
            if (c > 159) c = 159;
            if (c == 55) c = 65;
            if (c == 100) c = 110;
            const int image = c <= 79 ? PlayerImage::kTamselUpShot + c / 5 : 221 - (c % 80) / 5;
            DrawFacing(facing, x, y, images, image);
            return c >= 159 ? 1 : 0;
        }
        if (kind == 3) {
            if (c >= 62) return 1;
            DrawSheetCell(facing, x, y, (c - 1) / 3, 128, 128, images, PlayerImage::kTamselDiveSheet);
            return 0;
        }
        return 0;
    case 4:
        if (kind == 1) {
            if (c >= 49) c = 30;
            DrawFacing(facing, x, y, images, PlayerImage::kWendrikBeam + c / 5);
            return 0;
        }
        if (kind >= 2 && kind <= 4) {
            if (c >= 54) return 1;
            DrawFacing(facing, x, y, images, PlayerImage::kWendrikSpread + c / 5);
            return 0;
        }
        return 0;
    default:
        return 0;
    }
}

int DrawPlayerCharacter(PlayerRecord* player, const int* images, bool force, const PlayerDrawInputs& inputs) {
    const int character = player->character;
    const int state = player->state;
    const bool playing = inputs.playing;
    const bool hidden = player->blinkCounter % 2 != 0 && !force;
    const int x = static_cast<int>(player->x);
    const int y = static_cast<int>(player->screenY);
    const int facing = player->facing;
    int* c = &player->actionFrame;

    if (state == kPlayerSpell) {
        // The spell is the whole screen, not the sprite: the blink does not
        // hide it (a spell starts with the blink cleared anyway).
        if (ValidCharacter(character))
            DrawPlayerSpell(player, images, inputs.sounds, inputs.effects, inputs.killFlag, playing);
        if (playing) player->actionFrame += 1;
        return 0;
    }

    SpriteShown = !hidden;
    int ended = 0;
    switch (state) {
    case kPlayerStanding: DrawStandingFrame(character, c, facing, x, y, images); break;
    case kPlayerWalking: DrawRunningFrame(character, c, facing, x, y, images, player->dashing); break;
    case kPlayerAirborne: DrawAirborneFrame(character, c, facing, x, y, images, static_cast<int>(player->vy)); break;
    case kPlayerAttacking:
        ended = DrawAttackFrame(player, c, x, y, images, inputs.sounds, playing, inputs.hangY);
        break;
    case kPlayerHoverShot:
        if (character == 3) ended = DrawAttackFrame(player, c, x, y, images, inputs.sounds, playing, inputs.hangY);
        break;
    case kPlayerGoal: DrawGoalFrame(character, player->stateFrames, facing, x, y, images); break;
    case kPlayerDead:
        DrawDownFrame(character, player->stateFrames, facing, x, y, images, inputs.sounds, playing);
        break;
    case kPlayerLowForm:
        if (character == 1) {
            if (*c > 60) *c = 1;
            DrawFacing(facing, x, y, images, std::min(PlayerImage::kRessaDollWalk + *c / 5, 156));
        }
        break;
    case kPlayerThrowing:
        if (character == 1) DrawFacing(facing, x, y, images, PlayerImage::kRessaThrow);
        break;
    case kPlayerWallSlide:
        if (character == 2) DrawFacing(facing, x, y, images, PlayerImage::kKolvaWallSlide);
        break;
    case kPlayerHovering:
        if (character == 3) {
            DrawTamselArm(x, y, inputs.hangY, images);
            DrawFacing(facing, x, y, images, PlayerImage::kTamselHanging);
        }
        break;
    case kPlayerKnockedBack:
        if (ValidCharacter(character)) DrawFacing(facing, x, y, images, PlayerImage::kKnockedBack[character]);
        break;
    default: break;
    }
    SpriteShown = true;
    if (ended) {
        if (state == kPlayerHoverShot) {
            player->state = kPlayerHovering;
        } else {
            player->state = kPlayerStanding;
            if (character == 2) player->guarded = false;
        }
    }
    if (playing) player->actionFrame += 1;
    return 0;
}
