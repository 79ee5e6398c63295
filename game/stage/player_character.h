// The player of a stage: one plain record in the stage scene's frame, handed
// by address to every routine that moves, hurts, draws or arms the player.
#pragma once

#include <map>

#include "game/framework/input_manager.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"
#include "game/stage/tile_collision.h"

class CElevatorToSide;

// Action states.
enum PlayerState {
    kPlayerStanding = 1,
    kPlayerAirborne = 2,
    kPlayerWalking = 3,
    kPlayerAttacking = 5,
    kPlayerDead = 6,
    kPlayerGoal = 7,
    kPlayerSpell = 8,
    kPlayerWallSlide = 10,
    kPlayerLowForm = 11,
    kPlayerHovering = 12,
    kPlayerHoverShot = 13,
    kPlayerKnockedBack = 14,
    kPlayerThrowing = 15,
    kPlayerReturning = 16,
    kPlayerLeftByMenu = 99,
};

struct PlayerRecord {
    int hitPoints = 100;
    int state = kPlayerStanding;
    int attackLevel = 1;
    int spellStock = 1;
    bool damaged = false;
    bool flag = true;  // not read by the stage's routines
    bool guarded = false;
    bool dashing = false;
    bool carried = false;
    bool pushed = false;
    double x = 0.0;      // screen x of the sprite cell's left edge
    double yRel = 0.0;   // map y less the stage's vertical base
    double vy = 0.0;     // positive upward
    double mapY = 0.0;   // top of the 128-pixel body in map pixels
    double previousX = 0.0;
    double previousYRel = 0.0;
    double screenY = 0.0;
    int facing = 2;  // 1 left, 2 right
    int blinkCounter = 0;
    int stateFrames = 0;  // frames in the current state, kept by the stage scene
    int actionFrame = 0;
    int spellFrame = 0;  // frames of the spell, kept by the stage scene
    int dashFrame = 0;
    double scrollX = 0.0;
    double scrollY = 0.0;
    double previousScrollX = 0.0;
    double previousScrollY = 0.0;
    int character = 1;  // 1 ressa, 2 kolva, 3 tamsel, 4 wendrik
    int attackKind = 0;
    int attackWork[4] = {};  // used by the attack routines
    int width = 64;
    int height = 64;
    CElevatorToSide* platform = nullptr;
    int hitLeft = 50;
    int hitTop = 40;
    int hitRight = 73;
    int hitBottom = 110;
    int spare = 0;
};

// Where the player comes back to after a pit: the restart marker's box (its
// position starts at -10,000,000, off every map), its flags and counts, the
// copy of the player taken when the marker was touched, and the restart map
// position.
struct RestartPoint {
    ObjectBox marker = {-10000000, -10000000, -10000000, -10000000, 64, 64, 0};
    bool active = false;
    int counts[2] = {};
    int secondWidth = 64;
    int secondHeight = 64;
    PlayerRecord player;
    double restartMapY = 0.0;
    double restartMapX = 0.0;
};

// What this frame's movement left for the state rules, and the jump
// resources. The stage scene keeps it beside the record and clears the two
// frame flags at the start of every frame.
struct PlayerFrameState {
    bool onGround = false;  // the body stands on a floor
    bool blocked = false;   // the horizontal move was undone by a wall or block
    int floorY = -1;        // the floor under the body found this frame, -1 none
    int jumpCount = 0;
    int jumpHeldFrames = 0;  // frames JUMP has been held while standing
};

// The button map of the input manager: frames each button has been held
// (1 on the frame it goes down, 0 when up).
using ButtonHeldFrames = std::map<int, int>;
int HeldFrames(const ButtonHeldFrames& buttons, int bit);

// Entries of the stage sound table that the player's routines play.
enum PlayerSound {
    kSoundCharacterChange = 8,
    kSoundDamage = 9,
    kSoundJump = 10,
    kSoundWallSlide = 19,
    kSoundWallJump = 20,
    kSoundLowForm = 21,
    kSoundHover = 22,
    kSoundRestart = 31,
    kSoundStartStep = 35,
};

// Effect kinds placed at the player.
enum PlayerEffect {
    kEffectJumpDust = 4,
    kEffectWallSlide = 5,
    kEffectCharacterChange = 101,
    kEffectDash = 102,
    kEffectLowForm = 104,
    kEffectRestart = 105,
};

// Places an effect of the kind in the first free slot of the 100-entry table
// (a slot whose x or y is -1); a full table drops it.
void PlacePlayerEffect(EffectSlot* effects, int kind, int x, int y);

void InitPlayerRecord(PlayerRecord* player);
void ResetPlayerHitBox(PlayerRecord* player);

// D_BUTTON newly pressed while standing with a spell in stock starts a spell.
bool StartPlayerSpell(PlayerRecord* player, const ButtonHeldFrames& buttons);

// CHANGE newly pressed while standing switches to the next character
// (character 4 is not offered in stage codes 1 and 102). Leaving character 3
// zeroes its shot charge (tamselCharge, may be null).
bool ChangePlayerCharacter(PlayerRecord* player, const ButtonHeldFrames& buttons, int stageCode, EffectSlot* effects,
                           const int* sounds, int* tamselCharge);

// What the end-of-frame state rules read besides the record.
struct PlayerStateInputs {
    int hitPointsAtStart = 0;
    int stateAtStart = 0;
    double scrollStepX = 0.0;
    double scrollStepY = 0.0;
    bool onUpDownElevator = false;  // the player stands on an up-down elevator
    const PlayerFrameState* frame = nullptr;
    const RestartPoint* restart = nullptr;
    const ShotSlot* playerShots = nullptr;  // the player's 100-slot shot table
};

// The end-of-frame state rules. Returns true on the frame the player arrives
// back at the restart point: the caller then puts the sinking floors and the
// crumbling and falling blocks back to their start.
bool ResolvePlayerState(PlayerRecord* player, const PlayerStateInputs& inputs, EffectSlot* effects,
                        const int* sounds);
