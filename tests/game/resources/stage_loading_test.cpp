// The stage's loaders run headless against the generated tree: every stage
// code loads its whole image list and its 43 sounds, and every map index its
// map and layout, without a message box or a quit.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "game/framework/resource_managers.h"
#include "game/stage/stage_background.h"
#include "game/stage/stage_images.h"
#include "game/stage/stage_sounds.h"
#include "game/stage/stage_table.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"
#include "tools/placeholder_resources/stage_maps.h"

namespace {

class StageLoadingTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
    }

    static bool QuitPosted() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_QUIT) return true;
        return false;
    }
};

TEST_F(StageLoadingTest, EveryStageCodeLoadsItsImagesAndSounds) {
    std::vector<int> codes = {701};
    int count = 0;
    const StageTableEntry* entries = StageTableEntries(&count);
    for (int i = 0; i < count; ++i) codes.push_back(entries[i].code);
    std::set<const char* const*> listsLoaded;  // codes that share a list load it once here
    for (int code : codes) {
        SCOPED_TRACE(code);
        int length = 0;
        const char* const* list = StageImageList(code, &length);
        if (listsLoaded.insert(list).second) {
            std::vector<int> images(kStageImageTableSize, 77);
            ASSERT_EQ(LoadStageImages(images.data(), code), 0);
            for (int position = 0; position < length; ++position)
                EXPECT_EQ(images[position] >= 0, list[position] != nullptr) << position;
        }
        std::vector<int> sounds(kStageSoundCount, 77);
        ASSERT_EQ(LoadStageSounds(code, sounds.data()), kStageSoundCount);
        for (int index = 0; index < kStageSoundCount; ++index) EXPECT_GE(sounds[index], 0) << index;
        ReleaseStageSoundEffects();
        Manager::CTextureManager::GetInstance()->ReleaseAll();
    }
    EXPECT_TRUE(messageBoxes.empty());
    EXPECT_FALSE(QuitPosted());
}

TEST_F(StageLoadingTest, EveryMapLoadsWithItsLayout) {
    for (int mapIndex = 1; mapIndex <= kStageMapCount; ++mapIndex) {
        SCOPED_TRACE(mapIndex);
        const placeholder::StageMapDesign design = placeholder::DesignStageMap(mapIndex);
        std::vector<int> tiles(design.rows * design.columns, 77);
        CStageBackground layout;
        ASSERT_EQ(LoadStageMapFiles(tiles.data(), &layout, mapIndex, design.rows, design.columns), 0);
        // The grid holds the design cell for cell.
        for (int row = 0; row < design.rows; ++row)
            for (int column = 0; column < design.columns; ++column)
                ASSERT_EQ(tiles[row * design.columns + column], design.cells[row][column] - '0') << row << ", " << column;
        EXPECT_FALSE(layout.rows.empty());
    }
    EXPECT_TRUE(messageBoxes.empty());
    EXPECT_FALSE(QuitPosted());
}

}  // namespace
