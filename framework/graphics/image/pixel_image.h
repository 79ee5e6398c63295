// Operations on CPU-side pixel images: allocate, free, clear, mirror, per-pixel
// access, halving for mipmaps, clipped copy and scaling.
#pragma once

#include <cstdint>

#include "framework/graphics/image/pixel_format.h"

// Copies the whole format into the image, sets the size and the pitch
// ((bytesPerPixel x width + 3) rounded down to a multiple of 4) and allocates
// pitch x height bytes; mipCount 0. -1 for a bad size or a failed
// allocation, which leaves the record untouched.
int AllocPixelImageAs(int width, int height, const PixelFormat* format, PixelImage* image);
int AllocXrgb32PixelImage(int width, int height, PixelImage* image);
int AllocArgb32PixelImage(int width, int height, PixelImage* image);
// Frees the pixels when set and clears the whole record. Returns 0.
int FreePixelImage(PixelImage* image);

// Zeroes width x bytesPerPixel bytes in each of `height` rows from (x, y);
// -1 when the rectangle does not lie inside the image.
int ZeroPixelImageRect(PixelImage* image, int x, int y, int width, int height);
// Reverses every row; -1 for an image without width or height.
int MirrorPixelImage(PixelImage* image);

// The pixel at (x, y) as 0xAARRGGBB with each channel's bits at the top of
// its byte (a 5-bit v becomes v << 3); alpha only when the format has it.
// A palette image gives its entry's colour. 0 for an image without pixels or
// a position outside it.
uint32_t ReadPixelCode(const PixelImage* image, int x, int y);
// Writes or reads one pixel as 8-bit channels, expanding block-compressed
// pixels first. -1 for a position outside the image or blocks that cannot
// be expanded; null outputs are skipped.
int WritePixelRgba(PixelImage* image, int x, int y, int red, int green, int blue, int alpha);
int ReadPixelRgba(PixelImage* image, int x, int y, int* red, int* green, int* blue, int* alpha);

// Averages each 2 x 2 group (a pair when width or height is 1, a copy when
// both are) of the source block into one destination pixel, for 16- and
// 32-bit formats. Both blocks start at row y. -1 unless width and height are
// each 1 or even. The seventh argument is not read.
int HalvePixelBlock(const PixelFormat* format, void* dstPixels, int dstPitch, const void* srcPixels,
                    int srcPitch, int dstX, int unused, int srcX, int y, int width, int height);

// Copies a rectangle between images of any formats, clipped against both.
// Returns 0, or -1 when block-compressed pixels cannot be expanded.
int CopyPixelImageRect(int srcX, int srcY, int width, int height, int dstX, int dstY,
                       PixelImage* src, PixelImage* dst);
// Scales the source rectangle onto the destination rectangle (nearest pixel,
// or bilinear when `bilinear` is 1). -1 for a rectangle that is empty or not
// inside its image.
int ScalePixelImageRect(int srcLeft, int srcTop, int srcRight, int srcBottom, PixelImage* src,
                        int dstLeft, int dstTop, int dstRight, int dstBottom, PixelImage* dst,
                        int bilinear);
