// The stage scene's test fixture: the real framework headless, the
// placeholder tree's pictures and sounds linked into the test's folder (with
// small stand-ins for the stage files the tree lacks), and the scripted walk
// of a generated map.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/framework/input_manager.h"
#include "game/stage/player_character.h"
#include "game/stage/stage_hud.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_scene.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "tests/support/game/game_test.h"
#include "tests/support/game/map_walk.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace stagetest {

constexpr int kRight = 39;
constexpr int kJumpKey = 'X';
// The opening fades the first view in over 64 frames before play begins.
constexpr int kOpeningFrames = 64;

class StageSceneFixture : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        LinkTreeAndFillStageFiles();
        ReloadLoadingDrawer();
        SetFrameLimit(3000);
        StagePaused = false;
        StagePauseMenuHidden = false;
    }

    // The resource folders every test links to: the placeholder tree's
    // files, linked one by one, and the stage pictures and sounds that the
    // tree does not hold written small. Made once by the first test (in its
    // folder, then moved aside) and removed when the program ends.
    void LinkTreeAndFillStageFiles() {
        namespace fs = std::filesystem;
        static fs::path shared;
        const fs::path here = fs::path(folder_.hostPath());
        if (shared.empty()) {
            fs::path made = fs::temp_directory_path() / ("brackenfold_stage_" + std::to_string(getpid()));
            fs::remove_all(made);
            fs::create_directories(made);
            MakeStageFiles();
            fs::rename(here / "resource", made / "resource");
            shared = made;
            std::atexit([] { std::filesystem::remove_all(shared); });
        }
        fs::create_directories(here / "resource" / "mapdata");
        for (const char* part : {"picture", "sound", "senario", "movie"})
            if (fs::exists(shared / "resource" / part))
                fs::create_directory_symlink(shared / "resource" / part, here / "resource" / part);
    }

    void MakeStageFiles() {
        namespace fs = std::filesystem;
        const fs::path tree = fs::path(BRACKENFOLD_RESOURCE_DIR);
        const fs::path here = fs::path(folder_.hostPath());
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(tree / "resource")) {
            if (!e.is_regular_file()) continue;
            fs::path target = here / fs::relative(e.path(), tree);
            fs::create_directories(target.parent_path());
            fs::create_symlink(e.path(), target);
        }
        auto missing = [&](const std::string& name) {
            std::string path = name;
            for (char& c : path)
                if (c == '\\') c = '/';
            return !fs::exists(here / path);
        };
        for (const StageTableEntry* e = StageTableEntries(nullptr); e != StageTableEntries(nullptr) + kStageTableCount;
             ++e) {
            int count = 0;
            const char* const* names = StageImageList(e->code, &count);
            for (int i = 0; i < count; ++i)
                if (names[i] != nullptr && missing(names[i])) WritePicture(names[i], 8, 8, 0x808080);
            const char* music[2] = {nullptr, nullptr};
            StageMusicPair(e->code, &music[0], &music[1]);
            for (const char* name : music)
                if (name != nullptr && missing(name)) WriteTone(name, 200);
        }
        int soundCount = 0;
        const SoundListEntry* sounds = StageSoundList(&soundCount);
        for (int i = 0; i < soundCount; ++i)
            if (sounds[i].name != nullptr && missing(sounds[i].name)) WriteTone(sounds[i].name, 50);
        for (const char* name : {kPauseMenuPicture, kPlayTimeDigits})
            if (missing(name)) WritePicture(name, 512, 384, 0x404040);
    }

    // The generated maps and layouts of the placeholder tree in place of the
    // test's own.
    void UseGeneratedMaps() {
        namespace fs = std::filesystem;
        const fs::path tree = fs::path(BRACKENFOLD_RESOURCE_DIR) / "resource" / "mapdata";
        const fs::path here = fs::path(folder_.hostPath()) / "resource" / "mapdata";
        for (const fs::directory_entry& e : fs::directory_iterator(tree)) {
            fs::remove(here / e.path().filename());
            fs::create_symlink(e.path(), here / e.path().filename());
        }
    }

    // Where the player stood at the last frame end of a walk.
    std::string lastSeen;

    // Walks the code's generated map as its design says (see
    // gametest::GeneratedMapWalk), KEY_RIGHT held from the first played
    // frame. Returns the scene's result.
    int WalkGeneratedMap(int code, int frameLimit) {
        int first = FramesEnded() + 1;
        HoldKey(kRight, first + kOpeningFrames - 1, frameLimit);
        auto walk = std::make_shared<gametest::GeneratedMapWalk>(code);
        EveryFrame(first + kOpeningFrames, frameLimit, [this, walk](int f) {
            if (walk->JumpNow(RunningStagePlayer, f)) HoldKey(kJumpKey, f + 1, gametest::kWalkJumpFrames);
            if (RunningStagePlayer != nullptr) lastSeen = walk->LastSeen();
        });
        SetFrameLimit(FramesEnded() + kOpeningFrames + frameLimit);
        return RunStageScene(code, 100, 1, 1);
    }

    // Calls `step` at the end of `count` frames from `first` on, with the
    // number of the frame that ends.
    void EveryFrame(int first, int count, std::function<void(int)> step) {
        for (int f = first; f < first + count; ++f) AtFrame(f, [step, f] { step(f); });
    }
};

}  // namespace stagetest
