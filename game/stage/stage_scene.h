// The side-scrolling stage scene: one stage part from its start to the goal,
// the player's death or a quit through the pause menu.
#pragma once

struct PlayerRecord;

// Part a's hit points (0 to 100) and attack level (1 to 3), handed on to
// part b; reset to 100 and 1 after a loss.
extern int CarriedHitPoints;
extern int CarriedAttackLevel;
// The character in play when the last stage or battle ended (1 to 4), for
// the game-over scene.
extern int LastCharacter;

// Returns the scene code for the story's driver.
int RunStageScene(int stageCode, int hitPoints, int attackLevel, int retry);

// The pause menu is open; while paused, the menu and its dimming are hidden;
// a guide message box is open this frame.
extern bool StagePaused;
extern bool StagePauseMenuHidden;
extern bool StageMessageActive;

// The world runs this frame: neither paused nor halted by a message box.
bool IsStagePlaying();

// A test seam: the player of the running stage scene, null between scenes.
// Only read, by scripted runs that steer by the player's position.
extern const PlayerRecord* RunningStagePlayer;

// Where each stage part's goal leads; -1 for codes that are not stage parts.
int StageGoalResult(int stageCode);
