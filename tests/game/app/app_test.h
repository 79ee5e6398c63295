// The fixture of the scene tests: the real framework headless, the game
// running in the placeholder tree's folder, the configuration and the save
// in the test's own folder, and checks run at chosen frame ends.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/app/play_time.h"
#include "game/app/win_main.h"
#include "game/framework/fps_manager.h"
#include "game/framework/game_config.h"
#include "game/framework/resource_managers.h"
#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"

namespace apptest {

class AppTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        // The configuration and the save live in the test's folder; the
        // game runs in the tree's.
        GetGameConfig();
        *GetGameConfig() = GameConfig{};
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), "%s", folder_.windowsPath().c_str());
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "%s\\config_ver_1.xml", folder_.windowsPath().c_str());
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
        for (SaveRecord& record : BestTimeTable) record = kUnsetPlayTime;
        GameProgress = 0;
        baseHook_ = Manager::CFPSManager::frameHook;
        Manager::CFPSManager::frameHook = &AppTest::Hook;
        current_ = this;
    }
    void TearDown() override {
        current_ = nullptr;
        std::snprintf(DataFolderPath, sizeof(DataFolderPath), ".");
        std::snprintf(ConfigFilePath, sizeof(ConfigFilePath), "./config_ver_1.xml");
        *GetGameConfig() = GameConfig{};
        GameProgress = 0;
        GameTest::TearDown();
    }

    // Runs `check` at the end of frame `frame`, after its input update.
    void AtFrame(int frame, std::function<void()> check) { checks_[frame] = std::move(check); }

    // The pictures a frame drew, in order, without repeats side by side.
    std::vector<std::string> Pictures(int frame) const {
        std::vector<std::string> names;
        for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
            if (!draw.picture.empty() && (names.empty() || names.back() != draw.picture)) names.push_back(draw.picture);
        return names;
    }

    static bool QuitPosted(int* exitCode) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_QUIT) {
                *exitCode = static_cast<int>(message.wParam);
                return true;
            }
        return false;
    }

    void LoadTitleSounds(int* handles) { ASSERT_TRUE(LoadSoundsWithProgress(TitleSoundList, handles, 3)); }

private:
    static void Hook(int phase) {
        baseHook_(phase);
        if (phase != 1 || current_ == nullptr) return;
        auto found = current_->checks_.find(current_->FramesEnded());
        if (found != current_->checks_.end()) found->second();
        // A script that lost its way would leave a scene waiting for a
        // key for ever: the window closes instead.
        if (current_->FramesEnded() == kFrameLimit) {
            ADD_FAILURE() << "no scene ended within " << kFrameLimit << " frames";
            PostQuitMessage(0);
        }
    }

    static constexpr int kFrameLimit = 6000;
    static inline void (*baseHook_)(int) = nullptr;
    static inline AppTest* current_ = nullptr;
    std::map<int, std::function<void()>> checks_;
};

}  // namespace apptest
