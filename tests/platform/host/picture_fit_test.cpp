// A picture fitted into an area of another shape: as large as it goes with
// its aspect kept, centred, bars on the sides or above and below.
#include <gtest/gtest.h>

#include "platform/host/host_video.h"

namespace {

TEST(PictureFitTest, KeepsTheAspectAndCentres) {
    struct Case {
        LONG width, height, areaWidth, areaHeight;
        RECT fit;
    } cases[] = {
        {640, 480, 1280, 1024, {0, 32, 1280, 992}},    // bars above and below
        {640, 480, 1920, 1080, {240, 0, 1680, 1080}},  // bars on the sides
        {640, 480, 1024, 768, {0, 0, 1024, 768}},      // the same shape
        {640, 480, 640, 480, {0, 0, 640, 480}},
        {800, 600, 1366, 768, {171, 0, 1195, 768}},    // an odd leftover: the extra pixel on the right
        {1920, 1080, 1280, 1024, {0, 152, 1280, 872}},  // shrunk
        {640, 480, 0, 768, {0, 0, 0, 0}},
        {0, 480, 1024, 768, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const RECT fit = platform::FitPicture(c.width, c.height, c.areaWidth, c.areaHeight);
        EXPECT_EQ(fit.left, c.fit.left) << c.width << "x" << c.height << " in " << c.areaWidth << "x" << c.areaHeight;
        EXPECT_EQ(fit.top, c.fit.top) << c.width << "x" << c.height << " in " << c.areaWidth << "x" << c.areaHeight;
        EXPECT_EQ(fit.right, c.fit.right) << c.width << "x" << c.height << " in " << c.areaWidth << "x" << c.areaHeight;
        EXPECT_EQ(fit.bottom, c.fit.bottom) << c.width << "x" << c.height << " in " << c.areaWidth << "x"
                                            << c.areaHeight;
    }
}

}  // namespace
