// The player's attacks: starting them from the buttons and stepping the one
// in progress. Most attacks put a shot into the player's shot table on one
// action frame; character 2's close attacks widen the player's own hit box.
#pragma once

#include "game/stage/effects.h"
#include "game/stage/player_character.h"
#include "game/stage/player_movement.h"
#include "game/stage/shot_table.h"

// Frames ATTACK has been held by character 3 (at most 216,000); 90 and 180
// pick the middle and the largest rocket. The stage scene clears it at
// set-up and on leaving character 3.
extern int TamselChargeFrames;
// Set when ATTACK is pressed inside one of character 2's combo windows.
extern bool KolvaComboFlag;

constexpr int kTamselChargeLimit = 216000;

// Decisions the attacks rest on where the rules leave them open:
// - Character 1's grab starts with KEY_UP held and ATTACK pressed (the thrust
//   starts without KEY_UP). It needs no doll and leaves the doll count alone.
// - The ready flag starts at 1 and UpdatePlayerAttack raises it again at the
//   end of every frame in which ATTACK is up and no attack runs (state not 5
//   or 13):
//   each attack that lowers it needs a fresh press.
// - The doll count (character 1's throws) starts at kStartDollCount; a doll
//   coming home gives one back, up to the attack level + 1.
// - The sounds of the attack roles are the entries of AttackSound below.
constexpr int kStartDollCount = 2;
constexpr int kStartAttackReady = 1;

// Stage sound table entries the attacks play.
enum AttackSound {
    kSoundThrust = 28,      // character 1's doll
    kSoundGrab = 5,         // character 1's string
    kSoundRocket = 22,      // character 3's charged shot
    kSoundAnchorArm = 26,   // character 3's upward shot, out and back
    kSoundBeam = 6,         // character 4's flame
    kSoundPillar = 39,      // character 4's walls
};

// The attack kinds of the record, by character.
enum AttackKind {
    kRessaThrust = 1,
    kRessaGrab = 2,
    kKolvaCombo = 1,
    kKolvaRush = 2,
    kTamselChargedShot = 1,
    kTamselUpShot = 2,
    kTamselDive = 3,
    kWendrikBeam = 1,
    kWendrikSpread = 2,
    kWendrikSpreadLow = 3,
    kWendrikPillars = 4,
};

// One frame of the player's attacks, between the two movement steps.
// throwCount is the doll count; ready the attack-ready flag. Returns 0.
int UpdatePlayerAttack(PlayerRecord* player, const ButtonHeldFrames& buttons, int* throwCount, int* ready,
                       const int* sounds, ShotSlot* shots, const PlayerGround& ground, PlayerFrameState* frame,
                       EffectSlot* effects);

// The routines of the attacks, run with the record's action frame. Character
// 1's return -1 when their attack is over, every other 0.
int RessaThrust(PlayerRecord* player, ShotSlot* shots, const int* sounds);
int RessaGrab(PlayerRecord* player, ShotSlot* shots, const int* sounds);
int KolvaCombo(PlayerRecord* player, ShotSlot* shots, const int* sounds, const ButtonHeldFrames& buttons,
               EffectSlot* effects);
int KolvaRush(PlayerRecord* player, ShotSlot* shots, const int* sounds, const PlayerGround& ground);
// Walks n pixels along the facing with the scroll; a wall undoes the step.
int MovePlayerAlongFacing(PlayerRecord* player, int n, const PlayerGround& ground);
int TamselChargedShot(PlayerRecord* player, ShotSlot* shots, const int* sounds);
int TamselUpShot(PlayerRecord* player, ShotSlot* shots, const int* sounds);
int TamselDive(PlayerRecord* player, ShotSlot* shots, const int* sounds, const PlayerGround& ground,
               PlayerFrameState* frame);
int WendrikBeam(PlayerRecord* player, ShotSlot* shots, const int* sounds);
int WendrikSpread(PlayerRecord* player, ShotSlot* shots, const int* sounds);
int WendrikSpreadLow(PlayerRecord* player, ShotSlot* shots, const int* sounds);
int WendrikPillars(PlayerRecord* player, ShotSlot* shots, const int* sounds);
