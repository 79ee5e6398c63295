// The whole game played by a script, headless on the generated resource
// tree, from the logo to quit: every stage part, interlude, intermission,
// battle and stage clear of the story in the order it tells them, one lost
// battle continued, the ending and its staff roll, and the boss rush.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/game/scripted_player.h"

namespace {

using gametest::kMenuQuit;
using gametest::kMenuStory;

class PlaythroughTest : public gametest::ScriptedPlayerTest {};

TEST_F(PlaythroughTest, DISABLED_Explore) {
    menuChoices = {kMenuStory, kMenuStory, kMenuQuit};
    battlesToLose = {1};
    const int exitCode = RunGame();
    std::printf("%s", SceneTrace().c_str());
    std::printf("frames %d exit %d progress %d\n", FramesEnded(), exitCode, GameProgress);
    for (int i = 0; i < 7; ++i)
        std::printf("best %d: %d:%d.%d\n", i + 1, BestTimeTable[i].minutes, BestTimeTable[i].seconds,
                    BestTimeTable[i].milliseconds);
}

}  // namespace
