// The side-scrolling stage scene: one stage part from its start to the goal,
// the player's death or a quit through the pause menu.
#pragma once

// Part a's hit points (0 to 100) and attack level (1 to 3), handed on to
// part b; reset to 100 and 1 after a loss.
extern int CarriedHitPoints;
extern int CarriedAttackLevel;
// The character in play when the last stage or battle ended (1 to 4), for
// the game-over scene.
extern int LastCharacter;

// Returns the scene code for the story's driver.
int RunStageScene(int stageCode, int hitPoints, int attackLevel, int retry);
