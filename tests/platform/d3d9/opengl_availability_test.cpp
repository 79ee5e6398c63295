// Where no OpenGL context can be had, the machine has no Direct3D 9 for the
// OpenGL renderer, and the framework takes its software path: here, a
// display adapter that keeps windows as records.
#include <gtest/gtest.h>

#include "platform/d3d9/d3d9.h"
#include "platform/profile/machine_profile.h"
#include "tests/support/test_support.h"

namespace {

class OpenGlAvailabilityTest : public testsupport::PlatformTest {};

TEST_F(OpenGlAvailabilityTest, WithoutAContextDirect3DCreate9GivesNull) {
    platform::Profile().display.host = platform::HostDisplayUse::Off;
    ASSERT_EQ(platform::Profile().direct3d.renderer, platform::Direct3DRenderer::OpenGL);
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    // The renderers that make no pixels need no context.
    platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Recording;
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    d3d->Release();
}

}  // namespace
