// The command table and the player robot's command input: presses recorded and
// matched, the command or pilot ability started, and the action in progress
// stepped.
#include "game/bossbattle/command_input.h"

#include "game/bossbattle/battle_shots.h"
#include "game/bossbattle/robot_actions.h"

const int RobotCommandTable[10][kCommandBufferSize] = {
    {1, 5, 4, -1},  // down, down-right, right: dash attack
    {1, 4, -1},     // down, right: dash attack
    {4, 5, 1, 5, -1},  // right, down-right, down, down-right: heavy attack
    {4, 1, 5, -1},     // right, down, down-right: heavy attack
    {1, 1, -1},        // down, down: basic attack
    {1, 3, 2, -1},     // down, down-left, left: guard
    {1, 2, -1},        // down, left: guard
    {2, 3, 1, 3, -1},  // left, down-left, down, down-left: basic attack
    {2, 1, 3, -1},     // left, down, down-left: basic attack
    {-1},
};

namespace {

// Two presses this close together are one diagonal entry.
constexpr int kMergeMilliseconds = 10;
// This long without a press empties the buffer.
constexpr int kForgetMilliseconds = 250;

struct Command {
    int state;
    int cost;
};

// What ATTACK starts after each row; no match is the basic attack.
Command CommandForRow(int row) {
    switch (row) {
    case 0:
    case 1: return {kRobotDashAttack, 20};
    case 2:
    case 3: return {kRobotHeavyAttack, 60};
    case 5:
    case 6: return {kRobotGuard, 5};
    default: return {kRobotBasicAttack, 10};
    }
}

bool RefusesCommands(int state) {
    switch (state) {
    case kRobotBasicAttack:
    case kRobotHeavyAttack:
    case kRobotDashAttack:
    case kRobotGuard:
    case kRobotKnockedBack:
    case kRobotGrabbed:
    case kRobotHeld: return true;
    default: return false;
    }
}

int RunAction(int state, PlayerRobot* player, BossRobot* boss, ShotSlot* shots, const int* sounds,
              int& farScroll, int& nearScroll, int bossId, EffectSlot* effects) {
    // The boss's scan-off byte is the finisher flag: once the weak point is
    // scanned the heavy and dash attacks become finishers.
    switch (state) {
    case kRobotBasicAttack: return RobotBasicAttack(player, shots);
    case kRobotHeavyAttack: return RobotHeavyAttack(boss->scanOff, player, bossId, sounds, effects, shots);
    case kRobotDashAttack:
        return RobotDashAttack(player, farScroll, nearScroll, sounds, shots, boss, effects, bossId, boss->scanOff);
    case kRobotGuard: return RobotGuard(sounds, player, effects);
    default: return 0;
    }
}

void RemoveScanBeam(ShotSlot* shots, const int* sounds) {
    RemoveBattleShot(shots, 103);
    StopBattleSoundIfPlaying(sounds, 6);
}

}  // namespace

int RobotButtonFrames(Manager::CInputManager* input, int bit) {
    const auto found = input->heldFrames.find(bit);
    return found == input->heldFrames.end() ? 0 : found->second;
}

int RecordRobotCommandInput(Manager::CInputManager* input, int& previousCode, int now, int* buffer, int& lastTime,
                            int& count) {
    const int code = (RobotButtonFrames(input, KEY_LEFT) ? kCommandLeft : 0) |
                     (RobotButtonFrames(input, KEY_RIGHT) ? kCommandRight : 0) |
                     (RobotButtonFrames(input, KEY_UP) ? kCommandUp : 0) |
                     (RobotButtonFrames(input, KEY_DOWN) ? kCommandDown : 0);
    if (code != 0 && code != previousCode) {
        if (count > 0 && now - lastTime < kMergeMilliseconds) {
            buffer[count - 1] |= code;
        } else if (count < kCommandBufferSize) {
            buffer[count++] = code;
            lastTime = now;
        }
        // A press beyond the buffer's end is ignored.
    }
    if (lastTime != 0 && now - lastTime > kForgetMilliseconds) ClearRobotCommandBuffer(buffer, count, lastTime);
    previousCode = code;
    return 0;
}

int MatchRobotCommand(const int* buffer) {
    int best = -1;
    int bestLength = 0;
    for (int row = 0; RobotCommandTable[row][0] != -1; ++row) {
        const int* sequence = RobotCommandTable[row];
        int matched = 0;
        while (matched < kCommandBufferSize && sequence[matched] != -1 && sequence[matched] == buffer[matched])
            ++matched;
        const bool whole = matched < kCommandBufferSize && sequence[matched] == -1;
        if (whole && matched > bestLength) {
            best = row;
            bestLength = matched;
        }
    }
    return best;
}

int ClearRobotCommandBuffer(int* buffer, int& count, int& lastTime) {
    for (int i = 0; i < count && i < kCommandBufferSize; ++i) buffer[i] = 0;
    count = 0;
    lastTime = 0;
    return 0;
}

int UpdateRobotCommands(PlayerRobot* player, Manager::CInputManager* input, BossRobot* boss, ShotSlot* playerShots,
                        const int* sounds, int* buffer, int& lastTime, int& count, int& farScroll, int& nearScroll,
                        int bossId, EffectSlot* effects) {
    const int attack = RobotButtonFrames(input, ATTACK);
    const int jump = RobotButtonFrames(input, JUMP);

    if (attack == 1 && !RefusesCommands(player->state)) {
        const Command command = CommandForRow(MatchRobotCommand(buffer));
        if (player->commandsEnabled == 1 && player->psychicPower >= command.cost) {
            player->state = command.state;
            player->stateCounter = 0;
            player->psychicPower -= command.cost;
            RunAction(command.state, player, boss, playerShots, sounds, farScroll, nearScroll, bossId, effects);
        }
        ClearRobotCommandBuffer(buffer, count, lastTime);
    }

    const int state = player->state;
    if (jump == 1 && state != kRobotKnockedBack && state != kRobotDashAttack && state != kRobotGrabbed &&
        state != kRobotHeld) {
        player->guarding = 0;
        switch (player->pilot) {
        case 1:
            if (player->psychicPower >= 30) {
                player->pilotEventCounter = 1;
                player->state = kRobotStanding;
                player->stateCounter = 0;
                player->psychicPower -= 30;
            }
            break;
        case 2:
            if (player->psychicPower >= 25) {
                player->state = kRobotPilotSpecial;
                player->stateCounter = 0;
                FireRobotOptions(player, sounds, playerShots);
                player->psychicPower -= 25;
            }
            break;
        case 3:
            player->state = kRobotPilotSpecial;
            player->stateCounter = 0;
            RobotScanBeam(sounds, player, playerShots);
            break;
        default: break;  // pilot 4's ability is its faster refill
        }
    }

    if (player->pilot == 3) {
        if (jump != 0 && player->state == kRobotPilotSpecial) PlayBattleSoundIfIdle(sounds, 6);
        if (jump == 0 && player->state == kRobotPilotSpecial) {
            RemoveScanBeam(playerShots, sounds);
            player->state = kRobotStanding;
        }
        if (jump == 0 || player->state == kRobotKnockedBack) RemoveScanBeam(playerShots, sounds);
    }

    int finished = 0;
    switch (player->state) {
    case kRobotBasicAttack:
    case kRobotHeavyAttack:
    case kRobotDashAttack:
    case kRobotGuard:
        finished = RunAction(player->state, player, boss, playerShots, sounds, farScroll, nearScroll, bossId,
                             effects);
        break;
    case kRobotPilotSpecial:
        if (player->pilot == 2) finished = FireRobotOptions(player, sounds, playerShots);
        break;
    default: break;
    }
    if (finished == -1) player->state = kRobotStanding;
    return 0;
}
