// The generated robot movies play by the road the battle takes: the
// framework opens the WMV file as a graphic of the movie's frame size and
// its frames reach the graphic as it plays.
#include <gtest/gtest.h>

#include <string>

#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/textures/texture_upload.h"
#include "framework/sound/movie/movie_handles.h"
#include "framework/sound/movie/movie_record.h"
#include "game/bossbattle/battle_assets.h"
#include "platform/dshow/reference_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/support/step_clock.h"
#include "tests/support/thread_activity.h"

namespace {

class RobotMovieFileTest : public graphicstest::GraphicsTest {
protected:
    void SetUp() override {
        graphicstest::GraphicsTest::SetUp();
        platform::Profile().sound.output = platform::SoundOutputUse::Virtual;
        clock_ = testsupport::StepClock::Make(0);
        platform::dshow::SetDefaultReferenceClock(clock_);
    }
    void TearDown() override {
        platform::dshow::SetDefaultReferenceClock(nullptr);
        clock_->Release();
        graphicstest::GraphicsTest::TearDown();
    }

    // The generated file as the framework spells an absolute path.
    static std::string WindowsPathOf(const char* name) {
        std::string path = std::string("C:") + BRACKENFOLD_RESOURCE_DIR + "\\" + name;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    testsupport::StepClock* clock_ = nullptr;
};

TEST_F(RobotMovieFileTest, EachRobotMovieOpensAsA640By480GraphicAndPlays) {
    for (const char* name : RobotMovieNames) {
        SCOPED_TRACE(name);
        const int graphic = LoadGraphFile(WindowsPathOf(name).c_str(), 0);
        ASSERT_GE(graphic, 0);
        const GraphicRecord* record = GetGraphicRecord(graphic);
        ASSERT_GE(record->movieHandle, 0);
        EXPECT_EQ(record->width, 640);
        EXPECT_EQ(record->height, 480);
        const int movie = record->movieHandle;

        ASSERT_EQ(PlayGraphicMovie(graphic, 1, 0), 0);
        EXPECT_EQ(GetGraphicMovieState(graphic), 1);
        // Every frame has a white border: the top-left pixel lights up once a
        // frame has been shown.
        clock_->Advance(5000000);
        const auto lit = [&] {
            UpdateMovieFrame(movie, 0);
            const MEMIMG& image = GetGraphicRecord(graphic)->memImg;
            return image.pixels != nullptr && image.pixels[0] != 0;
        };
        EXPECT_TRUE(testsupport::WaitUntil(lit));
        ASSERT_EQ(DeleteGraphicHandle(graphic, 0), 0);
        EXPECT_EQ(GetMovieRecord(movie), nullptr);
    }
}

}  // namespace
