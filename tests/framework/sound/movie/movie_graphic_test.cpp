// A movie file loaded as a graphic: LoadGraphFile opens it as a movie of its
// frame size, its frames reach the graphic's image as it plays, and deleting
// the graphic closes the movie.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/textures/texture_upload.h"
#include "framework/sound/movie/movie_handles.h"
#include "framework/sound/movie/movie_record.h"
#include "platform/dshow/reference_clock.h"
#include "platform/profile/machine_profile.h"
#include "tests/framework/graphics/graphics_test_support.h"
#include "tests/support/step_clock.h"
#include "tests/support/thread_activity.h"

namespace {

class MovieGraphicTest : public graphicstest::GraphicsTest {
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

    testsupport::StepClock* clock_ = nullptr;
};

TEST_F(MovieGraphicTest, AMovieFileBecomesAGraphicThatShowsItsFrames) {
    std::ifstream fixture(std::string(KILN_TEST_DATA_DIR) + "/grey_ramp_32x24_10fps.wmv", std::ios::binary);
    std::ofstream(folder_.hostPath() + "/MOVIE.WMV", std::ios::binary) << fixture.rdbuf();
    const std::string path = folder_.windowsPath() + "\\MOVIE.WMV";

    const int graphic = LoadGraphFile(path.c_str(), 0);
    ASSERT_GE(graphic, 0);
    const GraphicRecord* record = GetGraphicRecord(graphic);
    ASSERT_GE(record->movieHandle, 0);
    EXPECT_EQ(record->width, 32);
    EXPECT_EQ(record->height, 24);
    const int movie = record->movieHandle;
    ASSERT_NE(GetMovieRecord(movie), nullptr);

    ASSERT_EQ(PlayGraphicMovie(graphic, 1, 0), 0);
    EXPECT_EQ(GetGraphicMovieState(graphic), 1);
    // The first frame is black; a later one lights the graphic up.
    clock_->Advance(5000000);
    const auto lit = [&] {
        UpdateMovieFrame(movie, 0);
        const MEMIMG& image = GetGraphicRecord(graphic)->memImg;
        return image.pixels != nullptr && image.pixels[0] != 0;
    };
    EXPECT_TRUE(testsupport::WaitUntil(lit));

    ASSERT_EQ(DeleteGraphicHandle(graphic, 0), 0);
    EXPECT_EQ(GetMovieRecord(movie), nullptr);
    EXPECT_EQ(MovieTable().liveCount, 0);
}

}  // namespace
