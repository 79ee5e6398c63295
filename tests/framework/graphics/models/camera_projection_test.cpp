#include <gtest/gtest.h>

#include "framework/graphics/models/camera_projection.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {
namespace {

// The camera's projection, rebuilt for the 640 by 480 back buffer.
using CameraProjectionTest = HardwareDrawTest;

void ExpectMatrix(const MATRIX& actual, const MATRIX& expected) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column)
            EXPECT_FLOAT_EQ(actual.m[row][column], expected.m[row][column]) << row << ", " << column;
    }
}

TEST_F(CameraProjectionTest, TheFieldOfViewBringsBackPerspectiveWithTheDepthRangeKept) {
    EXPECT_EQ(SetCameraDepthRange(20.0f, 500.0f), 0);
    MATRIX expected;
    MatrixPerspective(&expected, 1.0471976f, 20.0f, 500.0f, 0.75f);
    ExpectMatrix(CurrentDrawSettings.projectionMatrix, expected);

    const MATRIX given = {{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 1}, {0, 0, 5, 0}}};
    EXPECT_EQ(SetCameraProjection(&given.m[0][0]), 0);
    EXPECT_EQ(CurrentDrawSettings.projection.mode, 2);
    ExpectMatrix(CurrentDrawSettings.projectionMatrix, given);
    EXPECT_EQ(SetCameraProjection(nullptr), -1);

    EXPECT_EQ(SetCameraFov(0.5f), 0);
    EXPECT_EQ(CurrentDrawSettings.projection.mode, 0);
    MatrixPerspective(&expected, 0.5f, 20.0f, 500.0f, 0.75f);
    ExpectMatrix(CurrentDrawSettings.projectionMatrix, expected);

    // The aspect is the target's, times the aspect scale; the orthographic
    // view takes it too.
    CurrentDrawSettings.projection.aspectScale = 2.0f;
    CurrentDrawSettings.projection.mode = 1;
    RebuildProjection();
    MatrixOrtho(&expected, 1.0f, 20.0f, 500.0f, 1.5f);
    ExpectMatrix(CurrentDrawSettings.projectionMatrix, expected);
}

TEST_F(CameraProjectionTest, SettingsTheMatrixCannotTakeLeaveThePreviousOneInForce) {
    SetCameraDepthRange(10.0f, 100.0f);
    const MATRIX before = CurrentDrawSettings.projectionMatrix;
    TakeCalls();
    EXPECT_EQ(SetCameraDepthRange(5.0f, 5.0f), 0);
    ExpectMatrix(CurrentDrawSettings.projectionMatrix, before);
    // Sent again all the same.
    ASSERT_EQ(CallsNamed("SetTransform").size(), 1u);
    EXPECT_EQ(CallsNamed("SetTransform")[0].Text().rfind("SetTransform(3,", 0), 0u);
    EXPECT_EQ(SetCameraFov(0.0f), 0);
    ExpectMatrix(CurrentDrawSettings.projectionMatrix, before);
}

}  // namespace
}  // namespace graphicstest
