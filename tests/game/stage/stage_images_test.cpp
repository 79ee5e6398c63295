#include "game/stage/stage_images.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "platform/user/user.h"
#include "game/framework/resource_managers.h"
#include "tests/support/game/game_test.h"

namespace {

std::string At(int code, int position) {
    int count = 0;
    const char* const* list = StageImageList(code, &count);
    if (list == nullptr || position < 0 || position >= count) return "<outside>";
    return list[position] != nullptr ? list[position] : "<empty>";
}

TEST(StageImageListTest, CodesAndLengths) {
    struct { int code; int length; } const kCases[] = {
        {1, 745}, {102, 745}, {2, 745}, {202, 745}, {3, 745}, {302, 745},
        {4, 745}, {402, 745}, {701, 745}, {5, 760}, {502, 760},
    };
    for (const auto& c : kCases) {
        int count = -1;
        EXPECT_NE(StageImageList(c.code, &count), nullptr) << c.code;
        EXPECT_EQ(count, c.length) << c.code;
    }
    for (int code : {0, 6, 101, 503, 601}) {
        int count = -1;
        EXPECT_EQ(StageImageList(code, &count), nullptr) << code;
        EXPECT_EQ(count, 0);
    }
    // Codes of one stage share one list.
    EXPECT_EQ(StageImageList(3, nullptr), StageImageList(302, nullptr));
    EXPECT_EQ(StageImageList(402, nullptr), StageImageList(701, nullptr));
    EXPECT_EQ(StageImageList(5, nullptr), StageImageList(502, nullptr));
    EXPECT_NE(StageImageList(4, nullptr), StageImageList(402, nullptr));
}

TEST(StageImageListTest, SharedPositionsAndStageDifferences) {
    for (int code : {1, 102, 2, 202, 3, 4, 402, 5}) {
        EXPECT_EQ(At(code, 402), "resource\\picture\\playercharacter\\ressa\\wait\\ressa_wait001.png");
        EXPECT_EQ(At(code, 413), "resource\\picture\\playercharacter\\ressa\\wait\\ressa_wait012.png");
        EXPECT_EQ(At(code, 4), "resource\\picture\\HPBar_Stage\\hp01.png");
        EXPECT_EQ(At(code, 316), "resource\\picture\\effect\\solvane\\flame\\flame_rgb055.png");
        EXPECT_EQ(At(code, 326), "resource\\picture\\effect\\solvane\\flame\\flame_rgb005.png");
        EXPECT_EQ(At(code, 327), "resource\\picture\\effect\\solvane\\flame\\flame_rgb001.png");
        EXPECT_EQ(At(code, 138), "resource\\picture\\effect\\solvane\\ray\\1\\ray 1_00030.png");
        EXPECT_EQ(At(code, 92), "resource\\picture\\enemy\\hamushi\\blue\\hamushi_blue1.png");
        EXPECT_EQ(At(code, 101), "resource\\picture\\enemy\\hamushi\\blue\\hamushi_blue10.png");
        EXPECT_EQ(At(code, 669), "resource\\picture\\effect\\battery_effect\\battery_effect64_003.png");
        EXPECT_EQ(At(code, 656), "resource\\picture\\effect\\tamsel_spell\\tamsel_spell_0060.png");
        EXPECT_EQ(At(code, 744), "resource\\picture\\effect\\wendrik_spell\\wendrik_spell035.png");
        EXPECT_EQ(At(code, 2), "<empty>");
    }
    EXPECT_EQ(At(2, 379), "resource\\picture\\background\\stage2a_background_sky.png");
    EXPECT_EQ(At(202, 379), At(2, 379));
    EXPECT_EQ(At(1, 379), "<empty>");
    EXPECT_EQ(At(3, 11), "resource\\picture\\background\\stage3_background_forest.png");
    EXPECT_EQ(At(5, 11), "resource\\picture\\background\\stage5_background_lake.png");
    EXPECT_EQ(At(4, 29), "resource\\picture\\background\\stage4_background_waterfall.png");
    EXPECT_EQ(At(5, 19), "resource\\picture\\mapchip\\stage5_rope.png");
    EXPECT_EQ(At(102, 133), "resource\\picture\\mapchip\\chandelier.png");
    EXPECT_EQ(At(402, 133), "resource\\picture\\barrage\\Kabe.png");
    // Stage 5 has the stone snake where stage 2 part b has its layout images.
    EXPECT_EQ(At(5, 688), "resource\\picture\\enemy\\stone_snake\\stand\\stone_snake_stand01.png");
    EXPECT_EQ(At(202, 688), "resource\\picture\\background\\stage2b\\stage2b_00.png");
    EXPECT_NE(At(5, 759), "<empty>");
    EXPECT_EQ(At(1, 745), "<outside>");
}

// The stretch a goal releases is the stage's layout images, each once.
TEST(StageImageListTest, GoalStretchIsTheLayoutImages) {
    struct { int code; int first; int count; const char* firstImage; } const kCases[] = {
        {1, 19, 11, "background\\stage1a\\stage1a_00.png"},
        {102, 18, 12, "background\\stage1b\\stage1b_01.png"},
        {2, 11, 3, "background\\stage2a\\stage2a_00.png"},
        {202, 688, 21, "background\\stage2b\\stage2b_00.png"},
        {4, 11, 11, "background\\stage4a\\stage4a_01.png"},
        {402, 11, 15, "background\\stage4b\\stage4b_00.png"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(At(c.code, c.first), std::string("resource\\picture\\") + c.firstImage) << c.code;
        const std::string folder = At(c.code, c.first).substr(0, At(c.code, c.first).rfind('\\'));
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(At(c.code, c.first + i).rfind(folder, 0), 0u) << c.code;
        EXPECT_EQ(At(c.code, c.first + c.count).rfind(folder, 0), std::string::npos) << c.code;
        EXPECT_EQ(At(c.code, c.first - 1).rfind(folder, 0), std::string::npos) << c.code;
    }
}

// No list names a file twice under names that differ only in letter case,
// and every name is a picture under "resource\picture\".
TEST(StageImageListTest, NamesAreWellFormed) {
    for (int code : {1, 102, 2, 202, 3, 4, 402, 5}) {
        int count = 0;
        const char* const* list = StageImageList(code, &count);
        std::set<std::string> exact;
        std::set<std::string> folded;
        for (int i = 0; i < count; ++i) {
            if (list[i] == nullptr) continue;
            const std::string name = list[i];
            EXPECT_EQ(name.rfind("resource\\picture\\", 0), 0u) << name;
            EXPECT_EQ(name.substr(name.size() - 4), ".png") << name;
            std::string lower = name;
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (exact.insert(name).second) {
                EXPECT_TRUE(folded.insert(lower).second) << name;
            }
        }
    }
}

TEST(StageImageListTest, CheckedAccessor) {
    std::vector<int> handles(kStageImageTableSize);
    for (int i = 0; i < kStageImageTableSize; ++i) handles[i] = i + 1000;
    EXPECT_EQ(StageImageAt(handles.data(), 0), 1000);
    EXPECT_EQ(StageImageAt(handles.data(), 759), 1759);
    EXPECT_EQ(StageImageAt(handles.data(), 760), -1);
    EXPECT_EQ(StageImageAt(handles.data(), -1), -1);
    EXPECT_EQ(StageImageAt(nullptr, 0), -1);
}

class StageImageLoadTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        WriteLoadingSheet();
        ReloadLoadingDrawer();
    }
};

TEST_F(StageImageLoadTest, EveryPositionGetsItsHandleAndTheGoalReleasesAStretch) {
    int count = 0;
    const char* const* list = StageImageList(5, &count);
    for (int i = 0; i < count; ++i) {
        if (list[i] != nullptr) WritePicture(list[i], 2, 2, 0x808080);
    }
    std::vector<int> handles(kStageImageTableSize, 77);
    ASSERT_EQ(LoadStageImages(handles.data(), 502), 0);
    EXPECT_TRUE(messageBoxes.empty());
    Manager::CTextureManager* textures = Manager::CTextureManager::GetInstance();
    for (int i = 0; i < count; ++i) {
        if (list[i] == nullptr) {
            EXPECT_EQ(handles[i], -1) << i;
        } else {
            EXPECT_GE(handles[i], 0) << i;
            EXPECT_EQ(handles[i], textures->GetHandle(list[i])) << i;
        }
    }
    // The goal of stage 5 gives back its three scroll backgrounds only.
    EXPECT_EQ(ReleaseStageImages(502, 11, 3), 0);
    for (int i = 11; i < 14; ++i) EXPECT_EQ(textures->GetHandle(list[i]), -1) << i;
    EXPECT_GE(textures->GetHandle(list[10]), 0);
    EXPECT_GE(textures->GetHandle(list[14]), 0);
    EXPECT_GE(textures->GetHandle(list[count - 1]), 0);
}

TEST_F(StageImageLoadTest, CodeWithoutListLoadsNothingQuietly) {
    std::vector<int> handles(kStageImageTableSize, 77);
    EXPECT_EQ(LoadStageImages(handles.data(), 6), -1);
    EXPECT_EQ(handles, std::vector<int>(kStageImageTableSize, -1));
    EXPECT_TRUE(messageBoxes.empty());
}

TEST_F(StageImageLoadTest, MissingFileEndsTheLoadWithTheMessage) {
    std::vector<int> handles(kStageImageTableSize, 77);
    EXPECT_EQ(LoadStageImages(handles.data(), 302), -1);
    EXPECT_EQ(handles, std::vector<int>(kStageImageTableSize, -1));
    ASSERT_EQ(messageBoxes.size(), 2u);
    EXPECT_EQ(messageBoxes[0].text, "resource\\picture\\text\\wendrik_spell.png load failed");
    EXPECT_EQ(messageBoxes[1].text, "Failed to load Image. This program will quit.");
    EXPECT_FALSE(messageBoxes[1].hasCaption);
    EXPECT_EQ(messageBoxes[1].owner, nullptr);
    EXPECT_EQ(messageBoxes[1].type, MB_ICONERROR);
    MSG message{};
    int quitCode = -1;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) quitCode = static_cast<int>(message.wParam);
    }
    EXPECT_EQ(quitCode, 1);
}

TEST_F(StageImageLoadTest, ReleaseNeverTakesTheLastName) {
    struct { int code; int first; int count; int result; } const kCases[] = {
        {1, 0, 745, -1}, {1, 0, 744, 0}, {1, 744, 1, -1}, {1, 743, 1, 0}, {1, -1, 2, -1},
        {5, 0, 759, 0},  {5, 0, 760, -1}, {502, 11, 3, 0}, {0, 0, 1, -1}, {6, 0, 0, -1},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(ReleaseStageImages(c.code, c.first, c.count), c.result)
            << c.code << " " << c.first << " " << c.count;
    }
}

}  // namespace
