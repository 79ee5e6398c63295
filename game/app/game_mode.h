// The story's driver and the scene results that every scene of the game
// hands back up the scene stack.
#pragma once

// A scene's result. Besides the values below: 1 to 5 start part a of stage
// 1 to 5, 6 stage 6, 11 to 14 the main menu's choices, 102, 202, 302, 402
// and 502 start part b of stage 1 to 5, 103, 203, 303 and 503 the boss of
// stage 1, 2, 3 and 5, and 104, 204, 304, 403 and 504 stage 1 to 5 cleared.
using SceneCode = int;

constexpr SceneCode kSceneFatal = -1;            // a load failed: end the program
constexpr SceneCode kSceneMainMenu = 0;          // back to the main menu
constexpr SceneCode kSceneBossRush = 7;          // the boss-rush run
constexpr SceneCode kSceneEnding = 8;            // the ending as after a first clear
constexpr SceneCode kSceneEndProgram = 9;        // the window closed
constexpr SceneCode kSceneRestart = 10;          // start again from the logo
// Left through a pause menu; the boss-rush run's explanation and collection
// screens end with it too.
constexpr SceneCode kSceneLeftByPause = 99;
constexpr SceneCode kSceneLost = 101;            // the player lost: game over
constexpr SceneCode kSceneLastBossBeaten = 601;  // the story is over
constexpr SceneCode kSceneBossRushDone = 7100;   // the boss-rush run is over

// The scenes the driver runs. The game calls the real ones; a test puts
// scripted ones in their place to play a story without stages or battles.
struct StorySceneRoutines {
    SceneCode (*stageSelect)(int initialEntry, int* titleSounds);
    int (*stage)(int stageCode, int hitPoints, int attackLevel, int retry);
    int (*intermission)(int bossId, int* carriedHitPoints, bool retry);
    int (*bossRush)();
    int (*stageClear)();
    int (*gameOver)();
    SceneCode (*ending)(bool firstClear);
};

// The routines the story calls; starts as DefaultStoryScenes().
extern StorySceneRoutines StoryScenes;
StorySceneRoutines DefaultStoryScenes();

// Entered from the main menu with the three title sound handles (0 select,
// 1 enter, 2 title music); 0 back to the main menu, 9 end the program, 10
// restart from the logo.
SceneCode RunGameMode(int* titleSounds);

// A scenario played between two scenes on its own background, with the
// talk music: 0 when it has ended, 9 when it failed to load or the program
// must end.
int RunScenarioInterlude(const char* scenario, const char* background);
