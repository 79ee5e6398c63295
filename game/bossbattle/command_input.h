// The player robot's fighting-game commands: direction presses recorded on
// the millisecond clock, matched against the command table when ATTACK is
// pressed, and the commands and pilot abilities they start.
#pragma once

#include "game/bossbattle/battle_records.h"
#include "game/framework/input_manager.h"
#include "game/stage/effects.h"
#include "game/stage/shot_table.h"

constexpr int kCommandBufferSize = 256;

// Direction codes; keys that arrive together combine by bitwise or.
enum : int {
    kCommandDown = 1,
    kCommandLeft = 2,
    kCommandRight = 4,
    kCommandUp = 8,
};

// Nine rows of direction codes, each ended by -1, and a closing row whose
// first entry is -1.
extern const int RobotCommandTable[10][kCommandBufferSize];

// The button's held-frame counter: 1 pressed this frame, above 0 held, 0 up.
int RobotButtonFrames(Manager::CInputManager* input, int bit);

// Once per frame, paused or not.
int RecordRobotCommandInput(Manager::CInputManager* input, int& previousCode, int now, int* buffer, int& lastTime,
                            int& count);
// The row of the table that is a prefix of the buffer (the longest, the
// earlier on a tie), or -1.
int MatchRobotCommand(const int* buffer);
int ClearRobotCommandBuffer(int* buffer, int& count, int& lastTime);
// Starts commands and the pilot ability, and steps the running action.
int UpdateRobotCommands(PlayerRobot* player, Manager::CInputManager* input, BossRobot* boss, ShotSlot* playerShots,
                        const int* sounds, int* buffer, int& lastTime, int& count, int& farScroll, int& nearScroll,
                        int bossId, EffectSlot* effects);
