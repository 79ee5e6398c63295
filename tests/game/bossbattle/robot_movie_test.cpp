// The robot movie played from the generated WMV through the battle's image
// table: it shows its frames and ends by itself, a newly pressed key skips
// it, a key held since before it began does not, and the window closing
// ends it with -1.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/bossbattle/battle_assets.h"
#include "game/bossbattle/robot_movie.h"
#include "game/framework/fps_manager.h"
#include "platform/user/user.h"
#include "tests/support/game/game_test.h"

namespace {

constexpr int kKeyAttack = 90;  // Z

class RobotMovieTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(StartFramework());
        ASSERT_TRUE(SetCurrentDirectoryA(gametest::GeneratedTreeFolder().c_str()));
        ReloadLoadingDrawer();
        SetFrameLimit(3000);
    }

    void Load(int bossId) {
        ASSERT_EQ(LoadBossBattleAssets(bossId, images), 0);
        first = FramesEnded() + 1;
    }

    // Frames of the movie: those that drew the movie graphic.
    int MovieFrames(int movie) const {
        int count = 0;
        for (int frame = first; frame <= FramesEnded(); ++frame)
            for (const gametest::SeenDraw& draw : DrawsOfFrame(frame))
                if (draw.handle == movie) {
                    ++count;
                    break;
                }
        return count;
    }

    int images[kBossBattleImageCount];
    int first = 0;
};

TEST_F(RobotMovieTest, TheMoviePlaysItsFramesToTheEnd) {
    Load(1);
    const int movie = images[201];
    bool lit = false;
    // The generated frames have a white border: a shown frame lights the
    // screen's top-left pixel.
    for (int frame = first + 20; frame < first + 200; frame += 20)
        AtFrame(frame, [&] {
            const std::vector<uint32_t> pixels = CaptureFrame();
            if (!pixels.empty() && pixels[0] != 0) lit = true;
        });
    EXPECT_EQ(PlayRobotMovie(1, images), 0);
    EXPECT_TRUE(lit);
    // Two seconds of movie at 16 ms a frame, give or take the decoder's
    // start.
    EXPECT_GT(MovieFrames(movie), 100);
    EXPECT_LT(MovieFrames(movie), 400);
}

TEST_F(RobotMovieTest, OnlyANewlyPressedKeySkipsIt) {
    // The first boss-rush battle plays its own movie (entry 202).
    Load(1000);
    ASSERT_NE(images[202], images[201]);
    HoldKey(kKeyAttack, first + 10);
    EXPECT_EQ(PlayRobotMovie(1000, images), 0);
    EXPECT_EQ(MovieFrames(images[202]), 11);

    // A key held from before the movie through it does not skip it.
    Load(1);
    HoldKey(kKeyAttack, first, 400);
    Manager::CFPSManager::GetInstance()->Update();  // the key goes down
    Manager::CFPSManager::GetInstance()->Update();  // and is still held
    first = FramesEnded() + 1;
    EXPECT_EQ(PlayRobotMovie(1, images), 0);
    EXPECT_GT(MovieFrames(images[201]), 100);
}

TEST_F(RobotMovieTest, TheWindowClosingEndsItWithMinusOne) {
    Load(6);
    QuitAtFrame(first + 5);
    EXPECT_EQ(PlayRobotMovie(6, images), -1);
    EXPECT_EQ(MovieFrames(images[201]), 6);
}

}  // namespace
