// The scripted walk of a generated stage map, as the map's design says:
// KEY_RIGHT held from the first played frame, and JUMP held 25 frames
// whenever the player walks on the ground in the stretch from 64 c - 128 up
// to a jump column c. Shared by the stage scene's tests, which run one part
// on its own, and the scripted player of the whole game, which meets the
// parts as the story brings them.
#pragma once

#include <string>

#include "game/stage/player_character.h"
#include "game/stage/stage_table.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace gametest {

constexpr int kWalkRightKey = 39;  // KEY_RIGHT
constexpr int kWalkJumpKey = 'X';  // JUMP
// Long enough for the full rise, short of the low form.
constexpr int kWalkJumpFrames = 25;

class GeneratedMapWalk {
public:
    // The walk of the stage part `code`'s generated map.
    explicit GeneratedMapWalk(int code) {
        if (const StageTableEntry* entry = FindStageTableEntry(code))
            design_ = placeholder::DesignStageMap(entry->mapIndex);
    }

    // Looks at the player as frame `frame` ends: true when JUMP is to be
    // held from the next frame for kWalkJumpFrames frames. Records where the
    // player stood, for a failure's message.
    bool JumpNow(const PlayerRecord* p, int frame) {
        if (p == nullptr) return false;
        lastSeen_ = "frame " + std::to_string(frame) + " map x " + std::to_string(p->scrollX + p->x) + " map y " +
                    std::to_string(p->mapY) + " state " + std::to_string(p->state) + " hit points " +
                    std::to_string(p->hitPoints);
        if (frame < jumpUntil_ + 5) return false;
        if (p->state != kPlayerWalking && p->state != kPlayerStanding) return false;
        const double mapX = p->scrollX + p->x;
        for (int column : design_.jumpColumns) {
            if (mapX >= 64 * column - 128 && mapX < 64 * column - 64) {
                jumpUntil_ = frame + kWalkJumpFrames;
                return true;
            }
        }
        return false;
    }

    const std::string& LastSeen() const { return lastSeen_; }
    const placeholder::StageMapDesign& Design() const { return design_; }

private:
    placeholder::StageMapDesign design_;
    int jumpUntil_ = 0;
    std::string lastSeen_;
};

}  // namespace gametest
