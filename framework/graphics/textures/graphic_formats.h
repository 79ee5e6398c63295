// The pixel layouts of graphics: which format index an image block takes from
// its description, the PixelFormat of each texture format index, and the
// PixelFormat of each Direct3D format the framework converts pixels into.
#pragma once

#include <cstdint>

struct GraphicImage;
struct PixelFormat;

// Format indexes of memory-image blocks (the software path); 0 to 13 are the
// texture format indexes of TextureFormatIndex.
enum SoftwareFormatIndex {
    kSoftwareFormat16 = 15,
    kSoftwareFormat16Alpha = 16,
    kSoftwareFormat32 = 17,
    kSoftwareFormat32Alpha = 18,
};

// The format index of a block from its description (hardware flag, alpha
// channel, render target, compressed kind, alpha test, colour bits). Any
// colour depth other than 16 counts as 32.
int ClassifyPixelFormat(const GraphicImage* description);
// The PixelFormat of the description's format index, or null for a memory
// image's index.
const PixelFormat* GetGraphicPixelFormat(const GraphicImage* description);
// The PixelFormat of a texture described by the four flags, uncompressed.
const PixelFormat* GetFontGraphicPixelFormat(int alpha, int alphaTest, int thirtyTwoBits, int renderTarget);

// The PixelFormat of texture format index 0 to 13, built on the first call;
// null for any other index. The block-compressed indexes keep the 32-bit
// alpha layout with their own bits per pixel and special-format code.
const PixelFormat* GetFormatIndexPixelFormat(int index);
// The PixelFormat of one of the fourteen packed Direct3D formats the
// framework converts into, built on first use; null for any other value
// (block-compressed and video formats among them).
const PixelFormat* GetPresetPixelFormat(uint32_t d3dFormat);
