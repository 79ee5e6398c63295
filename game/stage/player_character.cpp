// The player record's routines: its reset, starting a spell, changing the
// character, and the state chosen each frame.
#include "game/stage/player_character.h"

#include "framework/sound/sound_playback.h"

int HeldFrames(const ButtonHeldFrames& buttons, int bit) {
    auto found = buttons.find(bit);
    return found == buttons.end() ? 0 : found->second;
}

void PlacePlayerEffect(EffectSlot* effects, int kind, int x, int y) {
    for (int i = 0; i < kEffectTableSize; ++i) {
        if (effects[i].x != -1 && effects[i].y != -1) continue;
        StartEffect(&effects[i], x, y);
        effects[i].kind = kind;
        effects[i].frame = 0;
        return;
    }
}

void InitPlayerRecord(PlayerRecord* player) {
    *player = PlayerRecord{};
}

void ResetPlayerHitBox(PlayerRecord* player) {
    player->hitLeft = 50;
    player->hitTop = 40;
    player->hitRight = 73;
    player->hitBottom = 110;
}

bool StartPlayerSpell(PlayerRecord* player, const ButtonHeldFrames& buttons) {
    if (HeldFrames(buttons, D_BUTTON) != 1 || player->state != kPlayerStanding || player->spellStock <= 0) {
        return false;
    }
    player->spellStock -= 1;
    player->blinkCounter = 0;
    player->damaged = false;
    player->state = kPlayerSpell;
    player->spellFrame = 0;
    return true;
}

bool ChangePlayerCharacter(PlayerRecord* player, const ButtonHeldFrames& buttons, int stageCode, EffectSlot* effects,
                           const int* sounds, int* tamselCharge) {
    if (HeldFrames(buttons, CHANGE) != 1 || player->state != kPlayerStanding) return false;
    bool fourthOffered = stageCode != 1 && stageCode != 102;
    switch (player->character) {
        case 1:
            player->character = 2;
            break;
        case 2:
            player->character = 3;
            break;
        case 3:
            player->character = fourthOffered ? 4 : 1;
            if (tamselCharge) *tamselCharge = 0;
            break;
        default:
            player->character = 1;
            break;
    }
    PlaySoundHandle(sounds[kSoundCharacterChange], kPlayTypeBackground, 1);
    PlacePlayerEffect(effects, kEffectCharacterChange, static_cast<int>(player->x), static_cast<int>(player->screenY));
    return true;
}

namespace {

// Within 64 pixels of the target: the lower bound strict, the upper inclusive.
bool Near(double value, double target) {
    return value > target - 64 && value <= target + 64;
}

void PlaceAtPlayer(const PlayerRecord& player, EffectSlot* effects, int kind) {
    PlacePlayerEffect(effects, kind, static_cast<int>(player.x), static_cast<int>(player.screenY));
}

void ScrollEffects(const PlayerRecord& player, const PlayerStateInputs& inputs, EffectSlot* effects) {
    int stepX = player.x == 256.0 ? static_cast<int>(inputs.scrollStepX) : 0;
    int stepY = static_cast<int>(inputs.scrollStepY);
    for (int i = 0; i < kEffectTableSize; ++i) {
        if (effects[i].x == -1 || effects[i].y == -1) continue;
        effects[i].x -= stepX;
        effects[i].y -= stepY;
    }
}

bool ArriveAtRestartPoint(PlayerRecord* player, const RestartPoint& restart, EffectSlot* effects,
                          const int* sounds) {
    const PlayerRecord& target = restart.player;
    if (!Near(player->mapY, target.mapY) || !Near(player->scrollX, target.scrollX) || !Near(player->x, target.x)) {
        return false;
    }
    player->mapY = target.mapY;
    player->scrollX = target.scrollX;
    player->scrollY = target.scrollY;
    player->x = target.x;
    player->screenY = player->mapY - player->scrollY;
    player->guarded = false;
    player->state = kPlayerStanding;
    ResetPlayerHitBox(player);
    PlaySoundHandle(sounds[kSoundRestart], kPlayTypeBackground, 1);
    PlaceAtPlayer(*player, effects, kEffectRestart);
    return true;
}

bool CapturedEnemyThrown(const ShotSlot* shots) {
    if (!shots) return false;
    for (int i = 0; i < kShotTableSize; ++i) {
        if (shots[i].kind > 1000 && shots[i].kind < 2000 && shots[i].state == 3) return true;
    }
    return false;
}

bool KeepsStateThisFrame(int state) {
    switch (state) {
        case kPlayerAttacking:
        case kPlayerDead:
        case kPlayerGoal:
        case kPlayerSpell:
        case kPlayerHovering:
        case kPlayerHoverShot:
        case kPlayerKnockedBack:
        case kPlayerThrowing:
        case kPlayerReturning:
            return true;
        default:
            return false;
    }
}

void ChooseFreeState(PlayerRecord* player, const PlayerStateInputs& inputs, EffectSlot* effects, const int* sounds) {
    static const PlayerFrameState kNoMovement;
    const PlayerFrameState& frame = inputs.frame ? *inputs.frame : kNoMovement;
    bool lowForm = player->state == kPlayerLowForm;
    // Without any floor under it the body is falling, not standing.
    bool aboveFloor = frame.floorY == -1 || player->mapY < frame.floorY - 128;
    if (player->hitPoints < inputs.hitPointsAtStart && !lowForm) {
        player->state = kPlayerKnockedBack;
        player->vy = 10;
        player->actionFrame = 1;
    } else if (aboveFloor && !lowForm && !inputs.onUpDownElevator) {
        player->state = kPlayerAirborne;
        if (player->character == 2 && !frame.onGround && frame.blocked && player->vy < 0) {
            player->state = kPlayerWallSlide;
            player->dashing = false;
            player->dashFrame = 0;
            player->guarded = false;
        }
    } else if ((player->x != player->previousX || player->scrollX != player->previousScrollX || player->pushed) &&
               !lowForm && !player->carried) {
        player->state = kPlayerWalking;
    } else if (player->character == 1 && player->state == kPlayerStanding && frame.jumpHeldFrames >= 61) {
        player->state = kPlayerLowForm;
        player->hitLeft = 60;
        player->hitTop = 80;
        player->hitRight = 65;
        player->hitBottom = 110;
        PlaySoundHandle(sounds[kSoundLowForm], kPlayTypeBackground, 1);
        PlaceAtPlayer(*player, effects, kEffectLowForm);
    } else if (!lowForm) {
        player->state = kPlayerStanding;
    }
}

}  // namespace

bool ResolvePlayerState(PlayerRecord* player, const PlayerStateInputs& inputs, EffectSlot* effects,
                        const int* sounds) {
    ScrollEffects(*player, inputs, effects);

    bool arrived = false;
    if (player->state == kPlayerReturning && inputs.restart) {
        arrived = ArriveAtRestartPoint(player, *inputs.restart, effects, sounds);
    }
    if (player->state == kPlayerThrowing && CapturedEnemyThrown(inputs.playerShots)) player->state = kPlayerStanding;
    if (player->state == kPlayerKnockedBack && player->actionFrame > 20) player->state = kPlayerStanding;

    if (!KeepsStateThisFrame(player->state)) ChooseFreeState(player, inputs, effects, sounds);
    if (inputs.stateAtStart == kPlayerLowForm && player->state != kPlayerLowForm) {
        ResetPlayerHitBox(player);
        PlaySoundHandle(sounds[kSoundLowForm], kPlayTypeBackground, 1);
        PlaceAtPlayer(*player, effects, kEffectLowForm);
    }

    if (player->damaged) {
        player->blinkCounter += 1;
        if (player->blinkCounter > 120) {
            player->blinkCounter = 0;
            player->damaged = false;
        }
    }

    if (player->dashing) {
        if (player->state == kPlayerHovering) player->state = kPlayerStanding;
        if (player->dashFrame % 10 == 0) PlaceAtPlayer(*player, effects, kEffectDash);
        player->dashFrame += 1;
        player->guarded = true;
        if (player->dashFrame >= 90) {
            player->dashing = false;
            player->dashFrame = 0;
            player->guarded = false;
        }
    }
    return arrived;
}
