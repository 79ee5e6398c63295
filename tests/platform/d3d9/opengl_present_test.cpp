// Presents under the OpenGL renderer: the back buffer reaches the window's
// frame whole, or a source rectangle stretched onto a destination rectangle
// of the client area (as the window-mode scaling does), leaving the rest of
// the frame as it was.
#include "platform/d3d9/opengl_renderer.h"
#include "tests/platform/d3d9/opengl_fixture.h"

namespace {

using d3d9test::Held;
using d3d9test::Near;

constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;
constexpr D3DCOLOR kBlue = 0xFF0000FF;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;

class PresentTest : public d3d9test::OpenGlTest {
protected:
    void SetUp() override {
        OpenGlTest::SetUp();
        if (device == nullptr) return;
        // Quarters of 32 by 32: red, green; blue, white.
        Held<IDirect3DSurface9> backBuffer;
        ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
        const D3DCOLOR colours[4] = {kRed, kGreen, kBlue, kWhite};
        for (LONG quarter = 0; quarter < 4; ++quarter) {
            const RECT rect{quarter % 2 * 32, quarter / 2 * 32, quarter % 2 * 32 + 32, quarter / 2 * 32 + 32};
            ASSERT_EQ(device->ColorFill(backBuffer, &rect, colours[quarter]), D3D_OK);
        }
    }

    std::vector<D3DCOLOR> Frame() {
        std::vector<uint32_t> pixels;
        UINT width = 0;
        UINT height = 0;
        EXPECT_TRUE(platform::d3d9::PresentedFrameOf(device, pixels, width, height));
        EXPECT_EQ(width, kSize);
        EXPECT_EQ(height, kSize);
        return pixels;
    }
};

TEST_F(PresentTest, TheWholeBackBufferFillsTheClientArea) {
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const std::vector<D3DCOLOR> frame = Frame();
    ASSERT_EQ(frame.size(), size_t{kSize} * kSize);
    EXPECT_TRUE(Near(frame[0], kRed));
    EXPECT_TRUE(Near(frame[31 * kSize + 32], kGreen));
    EXPECT_TRUE(Near(frame[32 * kSize + 31], kBlue));
    EXPECT_TRUE(Near(frame[63 * kSize + 63], kWhite));
}

TEST_F(PresentTest, ASourceRectangleIsStretchedOntoTheDestinationRectangle) {
    // The green quarter, twice as large, over the whole client area.
    const RECT green{32, 0, 64, 32};
    ASSERT_EQ(device->Present(&green, nullptr, nullptr, nullptr), D3D_OK);
    std::vector<D3DCOLOR> frame = Frame();
    ASSERT_EQ(frame.size(), size_t{kSize} * kSize);
    EXPECT_TRUE(Near(frame[0], kGreen));
    EXPECT_TRUE(Near(frame[63 * kSize + 63], kGreen));

    // The whole back buffer at half its size in the top-left quarter; the
    // rest of the frame keeps the green.
    const RECT quarter{0, 0, 32, 32};
    ASSERT_EQ(device->Present(nullptr, &quarter, nullptr, nullptr), D3D_OK);
    frame = Frame();
    ASSERT_EQ(frame.size(), size_t{kSize} * kSize);
    EXPECT_TRUE(Near(frame[2 * kSize + 2], kRed));
    EXPECT_TRUE(Near(frame[2 * kSize + 29], kGreen));
    EXPECT_TRUE(Near(frame[29 * kSize + 2], kBlue));
    EXPECT_TRUE(Near(frame[29 * kSize + 29], kWhite));
    EXPECT_TRUE(Near(frame[40 * kSize + 40], kGreen));
}

}  // namespace
