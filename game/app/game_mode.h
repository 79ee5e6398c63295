// The story's driver and the scene results that every scene of the game
// hands back up the scene stack.
#pragma once

// -1 fatal load failure, 0 back to the main menu, 1 to 8 the stage select's
// choices, 9 end the program, 10 restart from the logo, 11 to 14 the main
// menu's choices, 99 left through a pause menu, 101 lost, and the stage and
// battle codes of the story.
using SceneCode = int;

// Entered from the main menu with the three title sound handles (0 select,
// 1 enter, 2 title music); 0 back to the main menu, 9 end the program, 10
// restart from the logo.
SceneCode RunGameMode(int* titleSounds);
