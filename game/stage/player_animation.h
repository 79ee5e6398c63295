// What the player sees of the player character: one flip-book animation per
// (character, state), picked from the stage image list by a counter.
//
// Counters. The record's action frame is the counter of every animation but
// three: it is set to 1 by the routines that start an action, drawn with,
// then advanced by 1 here on every played frame (whether or not the blink
// hides the sprite), so an attack's timing does not depend on the blink. The
// down (state 6) and goal (state 7) animations run on the record's
// frames-in-state counter, which the stage scene restarts at 1 on the frame
// the state changes; with the action frame they would start at whatever count
// the last action left, skipping the down sound. The spell runs on the
// record's spell frame (see spells.h).
//
// Choices the drawing rests on where the rules leave it open:
// - The blink hides the sprite only; counters, sounds, hit boxes and the ends
//   of animations run on underneath it.
// - "Ends when c reaches N" draws nothing at N: the state changes that frame.
//   Character 3's arm, which clamps its counter to 159, draws 159 and ends.
// - Character 3's down spins the second picture (StageImage::kTamselDownSpin)
//   about the body's centre by 0.1 radian a frame, after the body.
// - The spells' poses are the character's goal animation at her place:
//   character 1 keeps it through the doll army, characters 2 to 4 until their
//   main phase (170, 120, 120).
// - The doll army: a ring about the body's centre opening by 4 pixels a frame
//   to 160, each doll turned along its radius; from t = 200 the ring turns by
//   pi / 45 a frame. Its flash fades in over the view with alpha blending, 25
//   a frame from t = 350.
// - Character 2 crosses at her own screen y, her sheet mirrored (she runs
//   left); her stars lie within 200 pixels above or below it.
// - Character 4's flare stands with its top-left at hers until t = 244, then
//   swells about her 128 by 128 cell.
#pragma once

#include "game/stage/effects.h"
#include "game/stage/player_character.h"

// What the player's drawing reads and writes besides the record and images.
struct PlayerDrawInputs {
    const int* sounds = nullptr;     // the 43 stage sounds (may be null: silent)
    EffectSlot* effects = nullptr;   // the 100-slot effect table (the spells place effects)
    int* killFlag = nullptr;         // the stage's kill flag: a finished spell sets it to 1
    int hangY = 0;                   // character 3: screen y where the arm caught, 0 none
    bool playing = true;             // IsStagePlaying: counters advance and sounds play only then
};

// Draws the current frame of the player at (x, screen y) and advances its
// counter. Nothing is drawn on odd blink counts unless force is set (the
// scene forces it while the world stands still or the scene is leaving). An
// animation that ends sets the state it leads to: state 1 after the attacks
// of characters 2 (kinds 1, 2; guarded cleared), 3 (kinds 1 to 3) and 4
// (kinds 2 to 4), state 12 after character 3's state 13; a spell's end sets
// state 1 and the kill flag. Returns 0.
int DrawPlayerCharacter(PlayerRecord* player, const int* images, bool force, const PlayerDrawInputs& inputs);

// The frame routines, one per (character, state), for the tests and the
// drawing above: (counter, facing, x, y, images). The counter is the
// routine's own and may be wound back or clamped by it. Those that end
// return 1 when their animation is over (nothing drawn) and 0 before.
int DrawStandingFrame(int character, int* counter, int facing, int x, int y, const int* images);
int DrawRunningFrame(int character, int* counter, int facing, int x, int y, const int* images, bool dashing);
// jumpValue: the player's vertical speed truncated (20 at the take-off).
int DrawAirborneFrame(int character, int* counter, int facing, int x, int y, const int* images, int jumpValue);
int DrawGoalFrame(int character, int counter, int facing, int x, int y, const int* images);
// Plays the down sound (stage sound 17) at counter 30 when playing.
int DrawDownFrame(int character, int counter, int facing, int x, int y, const int* images, const int* sounds,
                  bool playing);
// The attack of (character, kind); player supplies the hit box that
// character 2's rush widens, and the kind is the record's attack kind.
int DrawAttackFrame(PlayerRecord* player, int* counter, int x, int y, const int* images, const int* sounds,
                    bool playing, int hangY);

// Image positions of the player's animations that the stage lists hold.
namespace PlayerImage {
constexpr int kStanding[5] = {0, 402, 345, 157, 244};
constexpr int kRunning[5] = {0, 40, 357, 169, 256};
constexpr int kJump[4] = {0, 52, 30, 181};
constexpr int kGoal[5] = {0, 414, 390, 232, 292};
constexpr int kDown[5] = {0, 462, 476, 496, 508};
constexpr int kDownLast[5] = {0, 473, 495, 507, 519};
constexpr int kKnockedBack[5] = {0, 469, 488, 496, 508};
constexpr int kRessaAttack = 56;
constexpr int kRessaThrow = 61;
constexpr int kRessaDollWalk = 145;
constexpr int kKolvaWallSlide = 144;
constexpr int kKolvaComboSheet = 378;  // 256 x 128 cells in one row
constexpr int kKolvaRushSheet = 10;    // 256 x 128 cells in one row
constexpr int kTamselShot = 193;
constexpr int kTamselUpShot = 205;
constexpr int kTamselDiveSheet = 682;  // 128 x 128 cells in one row
constexpr int kTamselArm = 342;
constexpr int kTamselHanging = 343;
constexpr int kWendrikBeam = 268;
constexpr int kWendrikSpread = 280;
}  // namespace PlayerImage

// The stage sounds the animations play.
enum PlayerAnimationSound {
    kSoundKolvaSwing = 11,
    kSoundDown = 17,
};
