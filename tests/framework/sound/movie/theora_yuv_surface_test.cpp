// A Theora movie's YUV surface on a device that offers video surfaces: the
// format chosen, the decoded picture in the surface's own layout, a surface
// that cannot be locked, and a movie graphic fed through the surface (also
// after the screen is rebuilt), drawn as the RGB image draws it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/base/framework_state.h"
#include "framework/graphics/screen/back_buffer_access.h"
#include "framework/graphics/draw_settings.h"
#include "framework/graphics/screen/draw_target.h"
#include "framework/graphics/handles/graphic_creation.h"
#include "framework/graphics/draws/graphic_draws.h"
#include "framework/graphics/screen/screen_flip.h"
#include "framework/graphics/screen/screen_mode_change.h"
#include "framework/graphics/draws/vertex_batch.h"
#include "framework/sound/movie/movie_handles.h"
#include "framework/sound/movie/movie_record.h"
#include "framework/sound/movie/theora_movie.h"
#include "framework/sound/movie/theora_movie_record.h"
#include "framework/sound/movie/yuv_to_rgb_tables.h"
#include "numbered_theora_writer.h"
#include "platform/host/sdl_host.h"
#include "tests/framework/graphics/hardware_graphics_test_support.h"

namespace {

constexpr uint32_t kYv12 = D3DFMT_YV12;
constexpr uint32_t kYuy2 = D3DFMT_YUY2;
constexpr uint32_t kUyvy = D3DFMT_UYVY;

std::string FixtureBytes(const char* name) {
    std::ifstream file(std::string(KILN_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const char* NameOf(uint32_t fourCC) {
    return fourCC == kYv12 ? "YV12" : fourCC == kYuy2 ? "YUY2" : fourCC == kUyvy ? "UYVY" : "none";
}

// The stock's picture of the wanted frame.
const TheoraStockFrame* WantedPicture(TheoraMovie* movie) {
    for (int i = 0; i < movie->stockCount; ++i)
        if (movie->stock[i].valid && movie->stock[i].frame == movie->currentFrame) return &movie->stock[i];
    return nullptr;
}

// Two colours (0xRRGGBB) no channel of which differs by more than 1.
bool WithinRounding(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference < -1 || difference > 1) return false;
    }
    return true;
}

// The pixels (0xRRGGBB) of level 0 of a render-target texture, read back
// through a system-memory copy.
std::vector<uint32_t> ReadRenderTarget(IDirect3DTexture9* texture) {
    std::vector<uint32_t> pixels;
    IDirect3DSurface9* level = nullptr;
    if (texture->GetSurfaceLevel(0, &level) != D3D_OK) return pixels;
    D3DSURFACE_DESC description{};
    level->GetDesc(&description);
    IDirect3DSurface9* copy = nullptr;
    D3DLOCKED_RECT locked{};
    if (description.Format == D3DFMT_X8R8G8B8 &&
        Direct3DDevice.device->CreateOffscreenPlainSurface(description.Width, description.Height, description.Format,
                                                           D3DPOOL_SYSTEMMEM, &copy, nullptr) == D3D_OK &&
        Direct3DDevice.device->GetRenderTargetData(level, copy) == D3D_OK &&
        copy->LockRect(&locked, nullptr, D3DLOCK_READONLY) == D3D_OK) {
        for (UINT y = 0; y < description.Height; ++y)
            for (UINT x = 0; x < description.Width; ++x) {
                uint32_t value = 0;
                std::memcpy(&value, static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
                pixels.push_back(value & 0xFFFFFF);
            }
        copy->UnlockRect();
    }
    if (copy != nullptr) copy->Release();
    level->Release();
    return pixels;
}

// The movies of a test on the hardware path, closed at its end.
class TheoraSurfaceTest : public graphicstest::HardwareGraphicsTest {
protected:
    void SetUp() override {
        HardwareGraphicsTest::SetUp();
        InitYuvToRgbTables();
    }
    void TearDown() override {
        for (int movie : movies_) CloseMovie(movie);
        FrameworkInitialised = 0;
        HardwareGraphicsTest::TearDown();
    }

    // Writes the file into the test's folder; its Windows-shaped path.
    std::string Put(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_.hostPath() + "/" + name, std::ios::binary) << bytes;
        return folder_.windowsPath() + "\\" + name;
    }
    // Opens the bytes as a movie of a file of its own.
    TheoraMovie* Open(const std::string& bytes) {
        const std::string name = "MOVIE" + std::to_string(movies_.size()) + ".OGV";
        const int movie = OpenMovie(Put(name, bytes).c_str(), nullptr, nullptr, 0);
        if (movie < 0) return nullptr;
        movies_.push_back(movie);
        return GetMovieRecord(movie)->theora;
    }

    std::vector<int> movies_;
};

TEST_F(TheoraSurfaceTest, TheSurfaceIsTheFirstVideoFormatTheDeviceOffers) {
    StartGraphics(32);
    struct Case {
        std::vector<uint32_t> offered;
        bool fullChroma;
        uint32_t chosen;
    };
    for (const Case& c : {Case{{}, false, 0}, Case{{kUyvy, kYuy2, kYv12}, false, kYv12}, Case{{kUyvy, kYuy2}, false, kYuy2},
                          Case{{kUyvy}, false, kUyvy},
                          // Only the RGB image makes up chroma that is not 4:2:0.
                          Case{{kYv12, kYuy2, kUyvy}, true, 0}}) {
        SCOPED_TRACE(NameOf(c.chosen));
        platform::Profile().direct3d.plainSurfaceFormats = c.offered;
        TheoraMovie* movie = Open(c.fullChroma ? FixtureBytes("blue_columns_444_32x24.ogv") : movietest::WriteColourTheora(4));
        ASSERT_NE(movie, nullptr);
        EXPECT_EQ(movie->yuvFourCC, c.chosen);
        EXPECT_EQ(GetTheoraYuvSurface(movie) != nullptr, c.chosen != 0);
        if (c.chosen != 0) {
            D3DSURFACE_DESC description{};
            GetTheoraYuvSurface(movie)->GetDesc(&description);
            EXPECT_EQ(description.Format, static_cast<D3DFORMAT>(c.chosen));
            EXPECT_EQ(description.Width, 32u);  // the coded size
            EXPECT_EQ(description.Height, 32u);
            EXPECT_EQ(description.Pool, D3DPOOL_DEFAULT);
        }
    }
}

TEST_F(TheoraSurfaceTest, TheSurfaceHoldsTheWantedPictureInItsOwnLayout) {
    StartGraphics(32);
    for (const uint32_t fourCC : {kYv12, kYuy2, kUyvy}) {
        SCOPED_TRACE(NameOf(fourCC));
        platform::Profile().direct3d.plainSurfaceFormats = {fourCC};
        TheoraMovie* movie = Open(movietest::WriteColourTheora(6));
        ASSERT_NE(movie, nullptr);
        ASSERT_EQ(movie->yuvFourCC, fourCC);
        AdvanceTheoraFrame(movie, 3);
        ASSERT_EQ(ConvertTheoraFrameToRgb(movie, 0, 1), 1);
        const TheoraStockFrame* picture = WantedPicture(movie);
        ASSERT_NE(picture, nullptr);
        ASSERT_EQ(picture->yWidth, 32);
        ASSERT_EQ(picture->chromaWidth, 16);
        const auto luma = [&](int x, int y) { return picture->y[y * picture->yStride + x]; };
        const auto u = [&](int x, int y) { return picture->u[(y / 2) * picture->chromaStride + x / 2]; };
        const auto v = [&](int x, int y) { return picture->v[(y / 2) * picture->chromaStride + x / 2]; };

        D3DLOCKED_RECT locked{};
        ASSERT_EQ(GetTheoraYuvSurface(movie)->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const auto* bits = static_cast<const uint8_t*>(locked.pBits);
        const int pitch = locked.Pitch;
        int wrong = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                uint8_t seen[3];
                if (fourCC == kYv12) {
                    const uint8_t* vPlane = bits + pitch * 32;
                    const uint8_t* uPlane = vPlane + (pitch / 2) * 16;
                    const int chroma = (y / 2) * (pitch / 2) + x / 2;
                    seen[0] = bits[y * pitch + x];
                    seen[1] = uPlane[chroma];
                    seen[2] = vPlane[chroma];
                } else {
                    const uint8_t* pair = bits + y * pitch + (x / 2) * 4;
                    const bool yuy2 = fourCC == kYuy2;
                    seen[0] = pair[(yuy2 ? 0 : 1) + (x % 2) * 2];
                    seen[1] = pair[yuy2 ? 1 : 0];
                    seen[2] = pair[yuy2 ? 3 : 2];
                }
                if (seen[0] != luma(x, y) || seen[1] != u(x, y) || seen[2] != v(x, y)) {
                    if (++wrong < 5) ADD_FAILURE() << "pixel " << x << "," << y;
                }
            }
        EXPECT_EQ(wrong, 0);
        GetTheoraYuvSurface(movie)->UnlockRect();
        EXPECT_EQ(movie->surfaceReady, 1u);
        EXPECT_EQ(movie->rgbReady, 0u) << "only the surface was asked for";
    }
}

TEST_F(TheoraSurfaceTest, ASurfaceThatCannotBeLockedIsMadeAgainOrGivenUp) {
    StartGraphics(32);
    platform::Profile().direct3d.plainSurfaceFormats = {kYuy2};
    for (const bool newSurfaces : {true, false}) {
        SCOPED_TRACE(newSurfaces ? "made again" : "given up");
        TheoraMovie* movie = Open(movietest::WriteColourTheora(4));
        ASSERT_NE(movie, nullptr);
        // The test holds the surface locked, so the movie cannot lock it.
        IDirect3DSurface9* held = GetTheoraYuvSurface(movie);
        ASSERT_NE(held, nullptr);
        held->AddRef();
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(held->LockRect(&locked, nullptr, 0), D3D_OK);
        platform::Profile().failures.direct3d.createOffscreenPlainSurface = !newSurfaces;
        AdvanceTheoraFrame(movie, 1);
        EXPECT_EQ(ConvertTheoraFrameToRgb(movie, 1, 1), 1);
        platform::Profile().failures.direct3d.createOffscreenPlainSurface = false;
        if (newSurfaces) {
            ASSERT_NE(GetTheoraYuvSurface(movie), nullptr);
            EXPECT_NE(GetTheoraYuvSurface(movie), held);
            EXPECT_EQ(movie->yuvFourCC, kYuy2);
            EXPECT_EQ(movie->surfaceReady, 1u);
        } else {
            // The frames go to the RGB image only from now on.
            EXPECT_EQ(GetTheoraYuvSurface(movie), nullptr);
            EXPECT_EQ(movie->yuvFourCC, 0u);
        }
        EXPECT_EQ(movie->rgbReady, 1u);
        held->UnlockRect();
        held->Release();
    }
}

TEST_F(TheoraSurfaceTest, AMovieGraphicTakesItsFramesThroughTheSurfaceAlsoOnANewDevice) {
    platform::Profile().direct3d.plainSurfaceFormats = {kYv12};
    StartGraphics(32);
    FrameworkInitialised = 1;
    const int graphic = LoadGraphFile(Put("MOVIE.OGV", movietest::WriteColourTheora(4)).c_str(), 0);
    ASSERT_GE(graphic, 0);
    const int movieHandle = GetGraphicRecord(graphic)->movieHandle;
    TheoraMovie* movie = GetMovieRecord(movieHandle)->theora;
    ASSERT_NE(GetTheoraYuvSurface(movie), nullptr);

    // The texture against the RGB image of the same frame.
    const auto expectFrameInTexture = [&] {
        TakeCalls();
        ASSERT_EQ(UpdateMovieFrame(movieHandle, 0), 0);
        // Through the surface, not through a staging surface of the RGB image.
        const std::vector<platform::d3d9::RecordedCall> copies = CallsNamed("StretchRect");
        ASSERT_FALSE(copies.empty());
        EXPECT_EQ(copies.back().result, D3D_OK);
        EXPECT_TRUE(CallsNamed("UpdateSurface").empty());
        ASSERT_EQ(ConvertTheoraFrameToRgb(movie, 1, 0), 1);
        const PixelImage* rgb = GetTheoraRgbImage(movie);
        const std::vector<uint32_t> texels = ReadRenderTarget(graphicstest::TextureOf(graphic));
        ASSERT_EQ(texels.size(), 32u * 32u);
        int wrong = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                uint32_t expected = 0;
                std::memcpy(&expected, rgb->pixels + y * rgb->pitch + x * 4, 4);
                expected &= 0xFFFFFF;
                if (!WithinRounding(texels[static_cast<size_t>(y * 32 + x)], expected) && ++wrong < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << texels[static_cast<size_t>(y * 32 + x)]
                                  << " against " << expected;
            }
        EXPECT_EQ(wrong, 0);
    };
    expectFrameInTexture();
    AdvanceTheoraFrame(movie, 2);
    expectFrameInTexture();

    // The screen is rebuilt on a new device: the surface of the old one is
    // made again on it.
    ASSERT_EQ(ResetScreen(), 0);
    ASSERT_NE(Direct3DDevice.device, nullptr);
    expectFrameInTexture();
    EXPECT_NE(GetTheoraYuvSurface(movie), nullptr);
    EXPECT_EQ(DeleteGraphicHandle(graphic, 0), 0);
}

// The frame drawn on the screen through OpenGL, through the surface and
// through the RGB image.
class TheoraSurfaceOpenGlTest : public TheoraSurfaceTest {
protected:
    void SetUp() override {
        TheoraSurfaceTest::SetUp();
        platform::Profile().display.host = platform::HostDisplayUse::Automatic;
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::OpenGL;
        if (!platform::host::DisplayAvailable()) return Missing("SDL2's video did not start");
        platform::Profile().display.desktopBitsPerPixel = 32;
        MakeWindow(1);
        ASSERT_EQ(InitGraphicsSystem(), 0);
        if (IsDirect3DPathInUse() != 1) return Missing("no OpenGL context for the device");
        FrameworkInitialised = 1;
    }
    void Missing(const char* why) {
        if (std::getenv("CI") != nullptr)
            GTEST_FAIL() << "OpenGL is required under CI: " << why;
        else
            GTEST_SKIP() << "No OpenGL: " << why;
    }
};

TEST_F(TheoraSurfaceOpenGlTest, TheFrameDrawnThroughTheSurfaceIsTheFrameOfTheRgbImage) {
    const std::string path = Put("MOVIE.OGV", movietest::WriteColourTheora(4));
    platform::Profile().direct3d.plainSurfaceFormats.clear();
    const int rgbRoad = LoadGraphFile(path.c_str(), 0);
    ASSERT_GE(rgbRoad, 0);
    TheoraMovie* rgbMovie = GetMovieRecord(GetGraphicRecord(rgbRoad)->movieHandle)->theora;
    ASSERT_EQ(GetTheoraYuvSurface(rgbMovie), nullptr);
    // Both show their second frame (the first was converted at open).
    AdvanceTheoraFrame(rgbMovie, 1);
    SelectDrawTarget(-2);
    SetDrawAreaRect(0, 0, 640, 480);
    for (const uint32_t fourCC : {kYv12, kYuy2, kUyvy}) {
        SCOPED_TRACE(NameOf(fourCC));
        platform::Profile().direct3d.plainSurfaceFormats = {fourCC};
        const int yuvRoad = LoadGraphFile(path.c_str(), 0);
        ASSERT_GE(yuvRoad, 0);
        TheoraMovie* movie = GetMovieRecord(GetGraphicRecord(yuvRoad)->movieHandle)->theora;
        ASSERT_NE(GetTheoraYuvSurface(movie), nullptr);
        EXPECT_EQ(movie->yuvFourCC, fourCC);
        AdvanceTheoraFrame(movie, 1);

        ClearTargetScreen();
        ASSERT_EQ(DrawGraphicAtPoint(10, 20, rgbRoad, 0), 0);
        ASSERT_EQ(DrawGraphicAtPoint(100, 20, yuvRoad, 0), 0);
        FlushVertexBatch();
        EXPECT_EQ(movie->rgbReady, 0u) << "the surface carried the frame";
        const int rect[4] = {0, 0, 640, 480};
        PixelImage screen{};
        ASSERT_EQ(LockBackBuffer(rect, &screen), 0);
        const auto pixel = [&](int x, int y) {
            uint32_t value = 0;
            std::memcpy(&value, screen.pixels + y * screen.pitch + x * screen.format.bytesPerPixel,
                        screen.format.bytesPerPixel);
            return value & 0xFFFFFF;
        };
        int wrong = 0;
        int lit = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const uint32_t rgb = pixel(10 + x, 20 + y);
                const uint32_t yuv = pixel(100 + x, 20 + y);
                lit += rgb != 0 ? 1 : 0;
                if (!WithinRounding(rgb, yuv) && ++wrong < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << yuv << " against " << rgb;
            }
        UnlockBackBuffer();
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(lit, 32 * 32) << "the frame was drawn";
        EXPECT_EQ(DeleteGraphicHandle(yuvRoad, 0), 0);
    }
    EXPECT_EQ(DeleteGraphicHandle(rgbRoad, 0), 0);
}

}  // namespace
