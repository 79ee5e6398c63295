// What the image loader tests share: image files made in the test (PNG and
// JPEG through the libraries' writing sides, the other formats as bytes),
// decoding bytes through one loader, and reading pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/image/image_loaders.h"
#include "framework/graphics/image/pixel_format.h"
#include "framework/graphics/image/pixel_image.h"
#include "tests/support/stream_file_fixture.h"

namespace imagetest {

// A pixel image that is freed when it goes.
struct OwnedImage {
    PixelImage image{};
    OwnedImage() = default;
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;
    ~OwnedImage() { FreePixelImage(&image); }
    PixelImage* operator->() { return &image; }
    PixelImage* get() { return &image; }
};

// Decodes `bytes` from a memory stream with one loader (the loader table's
// job of clearing the record done here); the loader's result.
int DecodeWith(ImageLoader loader, const std::string& bytes, PixelImage* image);

// The little-endian value of the pixel at (x, y).
uint32_t PixelAt(const PixelImage& image, int x, int y);
// Row y's first `bytes` bytes.
std::string RowBytes(const PixelImage& image, int y, int bytes);

void Put16(std::string* out, uint32_t value);
void Put32(std::string* out, uint32_t value);

// ---- PNG and JPEG, written by the libraries -------------------------------

struct PngPicture {
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colourType = 2;  // PNG_COLOR_TYPE_RGB
    bool interlaced = false;
    std::vector<std::string> rows;       // each row as PNG stores it (packed, big-endian)
    std::vector<uint8_t> palette;        // red, green, blue of each entry
    std::vector<uint8_t> transparency;   // tRNS alpha of the first palette entries
};
std::string WritePng(const PngPicture& picture);

// components 1 (grey), 3 (RGB) or 4 (CMYK); samples row by row.
std::string WriteJpeg(int width, int height, int components, const std::vector<uint8_t>& samples,
                      bool progressive = false);
// A JPEG of one colour.
std::string WriteSolidJpeg(int width, int height, int components, const std::vector<uint8_t>& colour);

// ---- formats written as bytes ---------------------------------------------

struct BmpPicture {
    int width = 1;
    int height = 1;  // negative: rows top down
    int bits = 24;
    uint32_t compression = 0;
    uint32_t infoSize = 40;
    std::vector<uint32_t> palette;  // 0x00RRGGBB entries as stored
    std::vector<uint32_t> masks;    // bit-field masks, stored after a 40-byte info header
    std::string pixels;             // the pixel data as stored
};
std::string WriteBmp(const BmpPicture& picture);

struct TgaPicture {
    int type = 2;
    int width = 1;
    int height = 1;
    int pixelBits = 24;
    int descriptor = 0x20;  // top down
    int mapType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    std::string id;
    std::string map;
    std::string data;
    bool footer = false;
};
std::string WriteTga(const TgaPicture& picture);

struct DdsPicture {
    int width = 1;
    int height = 1;
    uint32_t flags = 0x1007;  // caps, height, width, pixel format
    uint32_t pitch = 0;
    uint32_t mipCount = 0;
    uint32_t pixelFlags = 0x41;  // RGB with alpha
    std::string fourCC = std::string(4, '\0');
    uint32_t bits = 32;
    uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    uint32_t caps = 0x1000;
    std::string data;
};
std::string WriteDds(const DdsPicture& picture);
// The FourCC field holding a number.
std::string FourCCNumber(uint32_t number);

std::string WriteBgra(uint32_t depth, int width, int height, const std::string& data);

// A test that decodes images: a started log in a fresh current folder and a
// check that every block taken from the framework's allocator is given back.
class ImageDecoderTest : public streamtest::StreamFileTest {};

}  // namespace imagetest
