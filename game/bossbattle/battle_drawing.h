// The boss battle's pictures: the robots' animation frames by state and
// counter, the cockpit crew, the shots that take more than one image, the
// battle's effects, and what the battle scene draws of its own (the bosses'
// other states, the remaining shot kinds, the bars, the weak point and the
// pilots' cut-ins). Every routine draws from the 417-entry battle image table
// with the transparency flag set; an empty entry draws nothing.
#pragma once

#include "game/bossbattle/battle_records.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

// ---- the robots' frames --------------------------------------------------------------
// Each picks an image from the counter and draws it with its top-left corner
// at (x, y). Returns 0.
int DrawRobotAttackA(int counter, int x, int y, const int* images);
int DrawRobotAttackAMirrored(int counter, int x, int y, const int* images);
int DrawRobotJumpAttack(int counter, int x, int y, const int* images);
int DrawRobotGuard(int counter, int x, int y, const int* images);
int DrawRobotGuardMirrored(int counter, int x, int y, const int* images);
int DrawRobotAttackBMirrored(int counter, int x, int y, const int* images);
// The looping walks wrap the counter they are given back to 1.
int DrawBossWalkLoop(int& counter, int x, int y, const int* images);
int DrawBossBackLoop(int& counter, int x, int y, const int* images);
int DrawBossWalkLoopLong(int& counter, int x, int y, const int* images);
int DrawBossWalkLoopReverse(int& counter, int x, int y, const int* images);
int DrawBossWalkLoopMirrored(int& counter, int x, int y, const int* images);
int DrawBossAttackNear(int counter, int x, int y, const int* images);
int DrawBossAttackMiddle(int counter, int x, int y, const int* images);
int DrawBossAttackFar(int counter, int x, int y, const int* images);
int DrawBossAttackMiddleShort(int counter, int x, int y, const int* images);
int DrawBossAttackFarLong(int counter, int x, int y, const int* images);

// The player robot swung by the boss, on a circle of 200 pixels about the
// centre (from its 20th held frame on).
int DrawHeldRobot(int counter, int centreX, int centreY, const int* images);

// ---- shots of more than one image ---------------------------------------------------
// The scan beam spins open, then pulses; the frame wraps back to 30.
int DrawScanBeam(int x, int y, int& frame, const int* images);
// The lobbed shell (the rocket against boss 5, whose counter wraps to 1).
int DrawArcShell(int x, int y, int& counter, int bossId, const int* images);
// Twenty spheres flying apart round a growing hole.
int DrawBurstShot(int x, int y, int counter, const int* images);
// Four dolls fly to the corners of the boss's body, hold it and shrink away.
int DrawDollBind(int frame, BossRobot boss, const int* sounds, const int* images);

// The four consoles and the crew under the screen, by the player robot's
// state and state counter; the seats depend on the boss.
int DrawCockpitCrew(int playerState, int playerStateFrame, int bossId, const int* images);

// One effect slot: -1 when it is free, else 0. The slot's frame counts on
// after every draw; a slot past its kind's last frame is freed instead.
int DrawBattleEffect(EffectSlot* effect, const int* images);

// ---- what the battle scene draws of its own ----------------------------------------
// The boss by its id and state at its screen position; its walk counters wrap.
void DrawBossRobot(BossRobot* boss, int bossId, const int* images);
// The part of the weak point that the scan beam covers, while it does.
void DrawWeakPoint(const BossRobot& boss, const int* images);
// One slot of a shot table: an exploding slot, or a flying one by its kind.
void DrawBattleShot(ShotSlot* slot, int bossId, const BossRobot& boss, const int* sounds, const int* images);
// The cockpit frame, both hit-point bars (a cell per point, 25 at most) and
// the psychic-power bar.
void DrawBattleGauges(int playerHitPoints, int bossHitPoints, int psychicPower, const int* images);
// The pilot's picture sliding in over the cockpit, additive, brighter with
// the event counter up to 30.
void DrawPilotCutIn(int pilot, int eventCounter, const int* images);
