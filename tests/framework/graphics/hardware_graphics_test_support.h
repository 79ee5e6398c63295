// What the tests of graphics on the hardware path share: the graphics system
// started in a window on a desktop of a chosen depth, over devices that keep
// their bytes and make the exact copies (the CPU renderer); reading texture
// levels back; and small pixel images made in the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/graphics/handles/graphic_handles.h"
#include "framework/graphics/handles/graphic_image.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "tests/framework/graphics/device_test_support.h"

namespace graphicstest {

class HardwareGraphicsTest : public DeviceLayerTest {
protected:
    void SetUp() override {
        DeviceLayerTest::SetUp();
        platform::Profile().direct3d.renderer = platform::Direct3DRenderer::Cpu;
    }
    void TearDown() override {
        TermGraphicsSystem();
        DeviceLayerTest::TearDown();
    }

    // The graphics system up on the hardware path in a window on a desktop
    // of `desktopBits` (the screen takes its depth).
    void StartGraphics(int desktopBits) {
        platform::Profile().display.desktopBitsPerPixel = desktopBits;
        MakeWindow(1);
        ASSERT_EQ(InitGraphicsSystem(), 0);
        ASSERT_EQ(IsDirect3DPathInUse(), 1);
        TakeCalls();
    }

    size_t LogMark() const { return LogText().size(); }
};

inline GraphicImage* BlockOf(int handle) { return GetGraphicRecord(handle)->image; }

inline IDirect3DTexture9* TextureOf(int handle, int piece = 0) {
    return static_cast<IDirect3DTexture9*>(BlockOf(handle)->pieces[piece].texture);
}

// The pixel values of one level of a lockable texture, row by row.
inline std::vector<uint32_t> ReadLevel(IDirect3DTexture9* texture, int level, int bytesPerPixel) {
    IDirect3DSurface9* surface = nullptr;
    texture->GetSurfaceLevel(static_cast<UINT>(level), &surface);
    D3DSURFACE_DESC description{};
    surface->GetDesc(&description);
    surface->Release();
    std::vector<uint32_t> values;
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(static_cast<UINT>(level), &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return values;
    for (UINT y = 0; y < description.Height; ++y) {
        const auto* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < description.Width; ++x) {
            uint32_t value = 0;
            std::memcpy(&value, row + x * bytesPerPixel, static_cast<size_t>(bytesPerPixel));
            values.push_back(value);
        }
    }
    texture->UnlockRect(static_cast<UINT>(level));
    return values;
}

// The raw bytes of a whole level (block-compressed levels among them).
inline std::string LevelBytes(IDirect3DTexture9* texture, int level, size_t count) {
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(static_cast<UINT>(level), &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return {};
    std::string bytes(static_cast<const char*>(locked.pBits), count);
    texture->UnlockRect(static_cast<UINT>(level));
    return bytes;
}

// A pixel image that is freed when it goes.
struct TestImage {
    PixelImage image{};
    TestImage() = default;
    TestImage(const TestImage&) = delete;
    TestImage& operator=(const TestImage&) = delete;
    ~TestImage() { FreePixelImage(&image); }
    PixelImage* get() { return &image; }
    PixelImage* operator->() { return &image; }
};

// An X8R8G8B8 (or A8R8G8B8) image whose pixel (x, y) is colour(x, y).
template <class Colour>
void MakeImage32(TestImage& out, int width, int height, bool alpha, Colour colour) {
    alpha ? AllocArgb32PixelImage(width, height, out.get()) : AllocXrgb32PixelImage(width, height, out.get());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t value = colour(x, y);
            std::memcpy(out->pixels + y * out->pitch + x * 4, &value, 4);
        }
}

// An image holding raw bytes as it is (block data, further mip levels).
inline void MakeRawImage(TestImage& out, const PixelFormat& format, int width, int height, int pitch,
                         uint32_t mipCount, const std::string& bytes) {
    out->format = format;
    out->width = width;
    out->height = height;
    out->pitch = pitch;
    out->mipCount = mipCount;
    out->pixels = static_cast<uint8_t*>(AllocMemory(bytes.size(), __FILE__, __LINE__));
    std::memcpy(out->pixels, bytes.data(), bytes.size());
}

// A block-compressed format of kind 1 to 5, as the DDS loader makes it.
inline PixelFormat DxtFormat(uint32_t kind) {
    PixelFormat format{};
    DefinePixelFormat(&format, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    format.specialFormat = kind;
    format.bitsPerPixel = kind == 1 ? 4 : 8;
    return format;
}

// Distinct bytes.
inline std::string Counting(size_t count, int start = 1) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(start + static_cast<int>(i));
    return bytes;
}

}  // namespace graphicstest
