// A frame of every stage part, walked on its generated map, shows all the
// layers of a stage view at once: a background, tiles, the player, an enemy
// and the HUD's gauge, as the draw observer sees them; and the captured
// pixels of that frame are not a single colour.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/framework/input_manager.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_hud.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_scene.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "tests/game/stage/stage_scene_fixture.h"
#include "tests/support/game/game_test.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace {

using namespace stagetest;

class StageFrameFixture : public StageSceneFixture {
protected:
    // The folder of each picture of the code's list, keyed by the file name
    // the draw observer reports ("" folder for names the list lacks).
    static std::map<std::string, std::string> FoldersOfPictures(int code) {
        std::map<std::string, std::string> folders;
        int count = 0;
        const char* const* names = StageImageList(code, &count);
        for (int i = 0; i < count; ++i) {
            if (names[i] == nullptr) continue;
            std::string path = names[i];
            size_t slash = path.find_last_of('\\');
            if (slash == std::string::npos) continue;
            folders[path.substr(slash + 1)] = path.substr(0, slash + 1);
        }
        return folders;
    }
};

// What one frame showed, by layer.
struct FrameLayers {
    bool background = false;
    bool tile = false;
    bool player = false;
    bool enemy = false;
    bool gaugeFrame = false;  // hp01
    bool gaugeBar = false;    // hp02
    bool All() const { return background && tile && player && enemy && gaugeFrame && gaugeBar; }
};

bool Under(const std::string& folder, const std::string& part) { return folder.find(part) != std::string::npos; }

FrameLayers LayersOf(const std::vector<gametest::SeenDraw>& draws, const std::map<std::string, std::string>& folders) {
    FrameLayers seen;
    for (const gametest::SeenDraw& d : draws) {
        if (d.picture.empty()) continue;
        auto found = folders.find(d.picture);
        const std::string folder = found == folders.end() ? std::string() : found->second;
        if (Under(folder, "picture\\background\\") && !Under(d.picture, "spell")) seen.background = true;
        if (Under(folder, "picture\\mapchip\\")) seen.tile = true;
        if (Under(folder, "picture\\playercharacter\\")) seen.player = true;
        if (Under(folder, "picture\\enemy\\")) seen.enemy = true;
        if (d.picture == "hp01.png") seen.gaugeFrame = true;
        if (d.picture == "hp02.png") seen.gaugeBar = true;
    }
    return seen;
}

std::string Missing(const FrameLayers& s) {
    std::string out;
    if (!s.background) out += " background";
    if (!s.tile) out += " tile";
    if (!s.player) out += " player";
    if (!s.enemy) out += " enemy";
    if (!s.gaugeFrame) out += " gauge frame (hp01)";
    if (!s.gaugeBar) out += " gauge bar (hp02)";
    return out;
}

class StageFrameTest : public StageFrameFixture, public ::testing::WithParamInterface<int> {};

// The walk ends (a posted quit) at the first played frame that shows every
// layer; the frame's pixels are captured as that frame ends.
TEST_P(StageFrameTest, AFrameShowsBackgroundTilesPlayerEnemyAndGauge) {
    UseGeneratedMaps();
    const int code = GetParam();
    const std::map<std::string, std::string> folders = FoldersOfPictures(code);
    ASSERT_FALSE(folders.empty());
    constexpr int kPlayedFrames = 900;
    const int firstPlayed = FramesEnded() + 1 + kOpeningFrames;
    int chosen = 0;
    FrameLayers best;
    int bestCount = -1;
    std::vector<uint32_t> pixels;
    std::string drawsOfBest;
    EveryFrame(firstPlayed, kPlayedFrames, [&](int f) {
        if (chosen != 0 || FramesEnded() < f) return;
        FrameLayers s = LayersOf(DrawsOfFrame(f), folders);
        int count = s.background + s.tile + s.player + s.enemy + s.gaugeFrame + s.gaugeBar;
        if (count > bestCount) {
            bestCount = count;
            best = s;
            drawsOfBest.clear();
            for (const gametest::SeenDraw& d : DrawsOfFrame(f)) drawsOfBest += "\n  " + gametest::Describe(d);
        }
        if (!s.All()) return;
        chosen = f;
        pixels = CaptureFrame();
        PostQuitMessage(0);
    });
    const int result = WalkGeneratedMap(code, kPlayedFrames);
    ASSERT_NE(chosen, 0) << "no frame showed every layer; the fullest lacked" << Missing(best) << " (" << lastSeen
                         << ", result " << result << "):" << drawsOfBest;
    EXPECT_EQ(result, -1);
    ASSERT_FALSE(pixels.empty());
    std::set<uint32_t> colours(pixels.begin(), pixels.end());
    EXPECT_GT(colours.size(), 1u) << "frame " << chosen << " is one colour";
}

INSTANTIATE_TEST_SUITE_P(StageParts, StageFrameTest, ::testing::Values(1, 102, 2, 202, 3, 302, 4, 402, 5, 502),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "code" + std::to_string(info.param);
                         });

}  // namespace
