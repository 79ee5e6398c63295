// Slow, literal statements of the blit at a position and of the stretched
// blit, for checking the fast ones: pixels are addressed by multiplying
// coordinates, every pixel goes through the per-pixel reference of the blend
// rules (blend_reference.h), the clipping and the sampling are written as the
// rules read (the stretched columns in closed form), and nothing is shared
// with the framework's blits. Also the small test images both blits draw.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "framework/softrender/memimg.h"
#include "platform/win_types.h"

// The draw settings and machine facts a draw reads.
struct ReferenceSettings {
    int blendMode = 0;
    int blendParam = 0;
    uint32_t brightColor = 0x00FFFFFF;
    RECT drawArea = {0, 0, 0, 0};
    // The blend graphic's weight table is built from these two.
    int borderParam = 0;
    int borderRange = 0;
    bool mmx = false;
};

// What BlitMemImg should leave in `destination`, drawn into it.
void ReferenceBlit(MEMIMG* destination, const MEMIMG* source, int x, int y, int transparencyFlag,
                   const MEMIMG* blendGraphic, const ReferenceSettings& settings);
// What StretchBlitMemImg should leave in `destination`, drawn into it.
void ReferenceStretchBlit(MEMIMG* destination, const MEMIMG* source, const RECT& rect, int transparencyFlag,
                          const MEMIMG* blendImage, const ReferenceSettings& settings);

// A memory image that frees itself.
class TestImage {
public:
    TestImage() = default;
    ~TestImage() { FreeMemImg(&image_); }
    TestImage(const TestImage&) = delete;
    TestImage& operator=(const TestImage&) = delete;

    MEMIMG* get() { return &image_; }
    const MEMIMG* get() const { return &image_; }
    MemImgBase* base() { return image_.base; }

private:
    MEMIMG image_{};
};

// A set-up image with work buffers; pixels zero. Colour type 2 images are
// blend graphics. With `exactMemory` the pixels live in a block of exactly
// pitch x height bytes that the caller's vector owns, so a write past the
// image is caught by the address checker.
std::unique_ptr<TestImage> MakeTestImage(int width, int height, int colorType, int paletteFlag = 0,
                                         int alphaFlag = 0, uint32_t transparentColor = 0,
                                         std::vector<uint8_t>* exactMemory = nullptr);
// A view of (x, y, width, height) of `parent`.
std::unique_ptr<TestImage> MakeTestView(const MEMIMG* parent, int x, int y, int width, int height);

uint32_t ReadTestPixel(const MEMIMG* image, int x, int y);
void WriteTestPixel(MEMIMG* image, int x, int y, uint32_t value);
// Every pixel of the view, row by row.
std::vector<uint32_t> TestPixels(const MEMIMG* image);
// Rebuilds the base's run codes from its pixels and marks them valid.
void MakeRunCodesValid(MEMIMG* image);

// Random contents: about one pixel in four is the transparent colour (or has
// alpha 0), one in four has alpha 255; palettes get 256 random entries.
void FillRandom(MEMIMG* image, std::mt19937& random);
// A hash of the view's pixels, for golden results kept in the test source.
uint32_t HashPixels(const MEMIMG* image);
