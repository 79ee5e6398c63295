// The opening of a stage part: the first view fades in from black while the
// objects it needs are placed (the player's start, the goal, the restart
// marker, the pits and the first enemies of some kinds); then, for two stage
// parts and only on a first attempt, the part's intro scenario plays over
// the still view.
#pragma once

#include <functional>
#include <vector>

#include "framework/window/main_window_state.h"
#include "game/stage/enemy_characters.h"
#include "game/stage/map_objects.h"

struct PlayerRecord;
struct RestartPoint;
class GuideMessageBox;

constexpr int kStageEventSpriteCount = 256;

// One object the opening shows on the view.
struct StageEventSprite {
    bool drawn = false;
    int x = 0;
    int y = 0;
    int kind = 0;
    int layer = 1;  // 1 or 2
};

// The intro scenario of a stage code, or null.
const char* StageIntroScenario(int stageCode);

// What the opening works on: the stage scene's records.
struct StageEventRecords {
    int stageCode = 0;
    bool retry = false;  // a retry of the part plays no intro
    int musicHandle = -1;
    PlayerRecord* player = nullptr;
    const int* tiles = nullptr;  // tile-kind grid, rows of `mapColumns` cells
    int mapColumns = 0;
    int mapRows = 0;
    int scanColumns = 10;  // cells of the view scanned from column 0
    int scanRows = 8;      // and from the scroll row down
    int scrollRow = 0;
    const int* images = nullptr;  // the stage image table
    Item* goal = nullptr;
    RestartPoint* restart = nullptr;
    Item* pits = nullptr;  // kPitCount
    Chinton* chintons = nullptr;            // kEnemyPoolSize
    EnemyCharacter* otherEnemies = nullptr;  // kEnemyPoolSize, woken by tile kind 3
    // Released when the program ends during the opening.
    std::vector<ValueItem*>* recoveryItems = nullptr;
    std::vector<ValueItem*>* spellItems = nullptr;
    std::vector<GuideMessageBox*>* messageBoxes = nullptr;
    // The stage's active-state callback, registered when the intro starts
    // its music.
    ActiveStateCallbackRoutine activeCallback = nullptr;
    void* activeCallbackArgument = nullptr;
    // What the view shows that the rest of the stage draws: the scroll and
    // layered backgrounds (at the brightness in force), and the player at its
    // start. Either may be empty.
    std::function<void()> drawBackgrounds;
    std::function<void(const PlayerRecord&)> drawPlayer;
};

// 0 when the stage may begin, -1 when the program must stop.
int RunStageEvent(const StageEventRecords& records);
