// The program's entry (WinMain, declared with the platform's calls) and
// what it hands to the scenes it runs.
#pragma once

#include "game/framework/resource_managers.h"

// The title sounds, loaded together at start: 0 the cursor's effect, 1 the
// confirm effect, 2 the title music. Their handles, in this order, go to
// every scene of the main menu and to the story.
extern const SoundListEntry TitleSoundList[3];
